// Display columns of a line: every byte takes one column (a double-byte
// character two), and a tab advances to the next multiple of the tab size.
// A tab size of 0 counts as 1.
#pragma once

#include <string_view>

// The column at which byte nCharIndex of the line starts.
int TextToColumn(std::string_view line, int nCharIndex, int nTabSize);

// The byte index for a column: ordinary bytes give exactly that column, and a
// column inside a tab goes to the nearer side of the tab. The line's length
// when the line ends first.
int ColumnToText(std::string_view line, int nColumn, int nTabSize);

// The byte whose cell holds nColumn (the first byte whose end column passes
// nColumn), or the line's length past its end. Used for mouse points.
int ColumnToTextCell(std::string_view line, int nColumn, int nTabSize);

// The line's length in columns.
int LineDisplayLength(std::string_view line, int nTabSize);

// The column that follows a byte starting at nColumn.
inline int NextColumn(char ch, int nColumn, int nTabSize)
{
    if (ch != '\t')
        return nColumn + 1;
    const int nTab = nTabSize > 0 ? nTabSize : 1;
    return nColumn + nTab - nColumn % nTab;
}
