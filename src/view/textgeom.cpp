#include "view/textgeom.h"

int TextToColumn(std::string_view line, int nCharIndex, int nTabSize)
{
    int nColumn = 0;
    const int nEnd = nCharIndex < static_cast<int>(line.size()) ? nCharIndex : static_cast<int>(line.size());
    for (int i = 0; i < nEnd; ++i)
        nColumn = NextColumn(line[static_cast<std::size_t>(i)], nColumn, nTabSize);
    return nColumn;
}

int ColumnToText(std::string_view line, int nColumn, int nTabSize)
{
    if (nColumn <= 0)
        return 0;
    const int nTab = nTabSize > 0 ? nTabSize : 1;
    int nCurrent = 0;
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
        nCurrent = NextColumn(line[static_cast<std::size_t>(i)], nCurrent, nTab);
        if (nCurrent >= nColumn) {
            // Only a tab can pass the column; it rounds to its nearer side.
            const bool bTab = line[static_cast<std::size_t>(i)] == '\t' && nTab > 1;
            return bTab && nColumn <= nCurrent - nTab / 2 ? i : i + 1;
        }
    }
    return static_cast<int>(line.size());
}

int ColumnToTextCell(std::string_view line, int nColumn, int nTabSize)
{
    int nCurrent = 0;
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
        nCurrent = NextColumn(line[static_cast<std::size_t>(i)], nCurrent, nTabSize);
        if (nCurrent > nColumn)
            return i;
    }
    return static_cast<int>(line.size());
}

int LineDisplayLength(std::string_view line, int nTabSize)
{
    return TextToColumn(line, static_cast<int>(line.size()), nTabSize);
}
