#include "view/textgeom.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <locale.h>

int ExtraCharCells(char32_t c)
{
    // Nothing below the Hangul jamo is wide.
    if (c < 0x1100)
        return 1;
    // The private use area holds the user-defined characters of Japanese
    // files, drawn full-width as their Shift-JIS codes always were.
    if (IsEmojiPicture(c) || (c >= 0xE000 && c <= 0xF8FF))
        return 2;
    // The C library knows the widths of the Unicode version it was built
    // with; its UTF-8 locale is asked on this thread alone.
    static const locale_t loc = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (loc) {
        const locale_t previous = ::uselocale(loc);
        const int nWidth = ::wcwidth(static_cast<wchar_t>(c));
        ::uselocale(previous);
        return nWidth == 2 ? 2 : 1;
    }
    // Without that locale: the wide blocks that matter most.
    const bool bWide = c <= 0x115F || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3)
                       || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
                       || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return bWide ? 2 : 1;
}

namespace {

// The column after the bytes p .. pEnd - 1 of a line without a table of
// cells, p starting in nColumn: one cell a byte, and a tab to its next stop.
// Tabs are few, so the bytes between them are counted by the run, not one
// by one: this measures every line of a file before its first picture.
int ColumnAfterBytes(const char *p, const char *pEnd, int nColumn, int nTabSize)
{
    while (const void *pTab = std::memchr(p, '\t', static_cast<std::size_t>(pEnd - p))) {
        const char *pAt = static_cast<const char *>(pTab);
        nColumn = NextColumn('\t', nColumn + static_cast<int>(pAt - p), nTabSize);
        p = pAt + 1;
    }
    return nColumn + static_cast<int>(pEnd - p);
}

} // namespace

int TextToColumn(std::string_view line, int nCharIndex, int nTabSize, const CExtraChars *pExtra)
{
    int nColumn = 0;
    const int nEnd = nCharIndex < static_cast<int>(line.size()) ? nCharIndex : static_cast<int>(line.size());
    if (!HasCellTable(pExtra))
        return nEnd > 0 ? ColumnAfterBytes(line.data(), line.data() + nEnd, 0, nTabSize) : 0;
    for (int i = 0; i < nEnd;) {
        int j = i;
        const int nNext = StepColumn(line, j, nColumn, nTabSize, pExtra);
        if (j > nEnd)
            return std::min(nColumn + 1, nNext);
        i = j;
        nColumn = nNext;
    }
    return nColumn;
}

int ColumnToText(std::string_view line, int nColumn, int nTabSize, const CExtraChars *pExtra)
{
    if (nColumn <= 0)
        return 0;
    const int nTab = nTabSize > 0 ? nTabSize : 1;
    int nCurrent = 0;
    if (!HasCellTable(pExtra)) {
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
    for (int i = 0; i < static_cast<int>(line.size());) {
        int j = i;
        const int nNext = StepColumn(line, j, nCurrent, nTab, pExtra);
        if (nNext >= nColumn) {
            if (line[static_cast<std::size_t>(i)] == '\t')
                return nTab > 1 && nColumn <= nNext - nTab / 2 ? i : j;
            // A column inside a character of two cells names its second byte, as above.
            return nNext == nColumn ? j : i + std::min(nColumn - nCurrent, j - i);
        }
        i = j;
        nCurrent = nNext;
    }
    return static_cast<int>(line.size());
}

int ColumnToTextCell(std::string_view line, int nColumn, int nTabSize, const CExtraChars *pExtra)
{
    int nCurrent = 0;
    if (!HasCellTable(pExtra)) {
        for (int i = 0; i < static_cast<int>(line.size()); ++i) {
            nCurrent = NextColumn(line[static_cast<std::size_t>(i)], nCurrent, nTabSize);
            if (nCurrent > nColumn)
                return i;
        }
        return static_cast<int>(line.size());
    }
    for (int i = 0; i < static_cast<int>(line.size());) {
        int j = i;
        const int nNext = StepColumn(line, j, nCurrent, nTabSize, pExtra);
        if (nNext > nColumn)
            return i + std::clamp(nColumn - nCurrent, 0, j - i - 1);
        i = j;
        nCurrent = nNext;
    }
    return static_cast<int>(line.size());
}

int LineDisplayLength(std::string_view line, int nTabSize, const CExtraChars *pExtra)
{
    return TextToColumn(line, static_cast<int>(line.size()), nTabSize, pExtra);
}

int ColumnAfter(std::string_view line, int nFrom, int nTo, int nColumn, int nTabSize, const CExtraChars *pExtra)
{
    if (!HasCellTable(pExtra))
        return nFrom < nTo ? ColumnAfterBytes(line.data() + nFrom, line.data() + nTo, nColumn, nTabSize) : nColumn;
    for (int i = nFrom; i < nTo;)
        nColumn = StepColumn(line, i, nColumn, nTabSize, pExtra);
    return nColumn;
}
