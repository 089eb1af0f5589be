// Display columns of a line: every byte takes one column (a double-byte
// character two), and a tab advances to the next multiple of the tab size.
// A tab size of 0 counts as 1.
//
// A document with a table of characters Shift-JIS lacks (pExtra, null for a
// Shift-JIS document) is measured the same way except for the table's codes:
// each takes the cells of its character, one for a narrow one (é, ©, a
// non-breaking space, a combining mark) and two for a wide one (kanji of
// other sets, emoji). Every column of the view, the box selection and the
// printed page is counted through CharCells, so that they agree.
#pragma once

#include "text/extrachars.h"
#include "text/sjis.h"

#include <string_view>

// The cells a character of the table takes: two for an East Asian wide or
// full-width character, for emoji and for a user-defined character (the
// private use area), one for any other.
int ExtraCharCells(char32_t c);

// Characters drawn as pictures unless asked otherwise: the emoji blocks of
// the supplementary plane and the regional indicators that pair into flags.
inline bool IsEmojiPicture(char32_t c)
{
    return (c >= 0x1F1E6 && c <= 0x1F1FF) || (c >= 0x1F300 && c <= 0x1F64F) || (c >= 0x1F680 && c <= 0x1F6FF)
           || (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x1FA70 && c <= 0x1FAFF);
}

// Whether columns must be counted character by character: only a table that
// holds something changes a byte's cells.
inline bool HasCellTable(const CExtraChars *pExtra)
{
    return pExtra && !pExtra->IsEmpty();
}

// The cells of the character of nBytes bytes at p (not a tab): one a byte,
// except a code of the table, which takes the cells of its character.
inline int CharCells(const char *p, int nBytes, const CExtraChars *pExtra)
{
    if (nBytes == 2 && pExtra) {
        const auto lead = static_cast<unsigned char>(p[0]);
        if (lead >= EXTRA_LEAD_FIRST && lead <= EXTRA_LEAD_LAST) {
            if (const char32_t c = pExtra->CharOf(lead, static_cast<unsigned char>(p[1])))
                return ExtraCharCells(c);
        }
    }
    return nBytes;
}

// The column at which byte nCharIndex of the line starts. A byte inside a
// character of two cells or more starts one column after the character.
int TextToColumn(std::string_view line, int nCharIndex, int nTabSize, const CExtraChars *pExtra = nullptr);

// The byte index for a column: ordinary bytes give exactly that column, and a
// column inside a tab goes to the nearer side of the tab. The line's length
// when the line ends first.
int ColumnToText(std::string_view line, int nColumn, int nTabSize, const CExtraChars *pExtra = nullptr);

// The byte whose cell holds nColumn (the first byte whose end column passes
// nColumn), or the line's length past its end. Used for mouse points.
int ColumnToTextCell(std::string_view line, int nColumn, int nTabSize, const CExtraChars *pExtra = nullptr);

// The line's length in columns.
int LineDisplayLength(std::string_view line, int nTabSize, const CExtraChars *pExtra = nullptr);

// The column after bytes nFrom .. nTo - 1 of the line, nFrom a character's
// first byte in column nColumn.
int ColumnAfter(std::string_view line, int nFrom, int nTo, int nColumn, int nTabSize, const CExtraChars *pExtra);

// The column that follows a byte starting at nColumn.
inline int NextColumn(char ch, int nColumn, int nTabSize)
{
    if (ch != '\t')
        return nColumn + 1;
    const int nTab = nTabSize > 0 ? nTabSize : 1;
    return nColumn + nTab - nColumn % nTab;
}

// Steps over the character at byte i (inside the line) that starts in
// nColumn: i moves past it, and the column after it is returned.
inline int StepColumn(std::string_view line, int &i, int nColumn, int nTabSize, const CExtraChars *pExtra)
{
    const char *p = line.data() + i;
    if (*p == '\t') {
        ++i;
        return NextColumn('\t', nColumn, nTabSize);
    }
    const int nBytes = SjisCharLength(p, line.size() - static_cast<std::size_t>(i));
    i += nBytes;
    return nColumn + CharCells(p, nBytes, pExtra);
}
