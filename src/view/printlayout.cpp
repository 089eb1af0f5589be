// Row breaking walks a line once, character by character, remembering the
// last place where a new row may begin; when a character overflows the row
// the row ends there (or the character hangs, or the row is forced to end at
// the overflowing character when no such place exists).
#include "view/printlayout.h"

#include "html/textconv.h"
#include "text/sjis.h"
#include "view/textgeom.h"

#include <algorithm>

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// ASCII letters, digits and signs: runs of them are words, kept whole.
bool IsWordChar(std::string_view ch)
{
    return ch.size() == 1 && ch[0] > ' ' && ch[0] < 0x7F;
}

struct CRowEnd
{
    int nTo;          // the row holds [start, nTo)
    int nNext;        // where the next row begins
    int nNextColumn;  // the line's column at nNext
};

class CRowBreaker
{
public:
    CRowBreaker(std::string_view line, const CPrintWrap &wrap)
        : m_line(line), m_nLength(static_cast<int>(line.size())), m_nColumns(std::max(1, wrap.nColumns)),
          m_nTab(wrap.nTabSize > 0 ? wrap.nTabSize : 1), m_nHang(std::max(0, wrap.nHangCells)), m_pExtra(wrap.pExtra)
    {
    }

    int Length() const { return m_nLength; }

    // The row that begins at byte nFrom, display column nColumn.
    CRowEnd NextRow(int nFrom, int nColumn) const
    {
        int nBreak = -1;
        int nBreakColumn = 0;
        std::string_view prev;
        int c = nColumn;
        for (int i = nFrom; i < m_nLength;) {
            const std::string_view ch = CharAt(i);
            const int nWidth = ch[0] == '\t' ? NextColumn('\t', c, m_nTab) - c
                                              : CharCells(ch.data(), static_cast<int>(ch.size()), m_pExtra);
            const bool bBlank = IsBlank(ch[0]);
            if (i > nFrom && MayBreakBetween(prev, ch)) {
                nBreak = i;
                nBreakColumn = c;
            }
            if (c + nWidth - nColumn > m_nColumns) {
                if (bBlank)
                    return SkipBlanks(i, i, c);
                const int nEnd = i + static_cast<int>(ch.size());
                if (i > nFrom && m_nHang > 0 && IsKinsokuClosing(ch) && c + nWidth - nColumn <= m_nColumns + m_nHang
                    && (nEnd >= m_nLength || !IsKinsokuClosing(CharAt(nEnd))))
                    return SkipBlanks(nEnd, nEnd, c + nWidth);
                if (nBreak > nFrom)
                    return {nBreak, nBreak, nBreakColumn};
                // A character wider than a whole row still needs a row of its own.
                if (i == nFrom)
                    return SkipBlanks(nEnd, nEnd, c + nWidth);
                return {i, i, c};
            }
            c += nWidth;
            prev = ch;
            i += static_cast<int>(ch.size());
        }
        return {m_nLength, m_nLength, c};
    }

private:
    std::string_view CharAt(int i) const
    {
        return m_line.substr(static_cast<std::size_t>(i),
                             static_cast<std::size_t>(SjisCharLength(m_line.data() + i,
                                                                     static_cast<std::size_t>(m_nLength - i))));
    }

    // Letters and signs of ASCII, and the narrow characters of the table
    // (é, ü, a non-breaking space), which stand in words of Latin script.
    bool IsInWord(std::string_view ch) const
    {
        return IsWordChar(ch) || (ch.size() == 2 && CharCells(ch.data(), 2, m_pExtra) == 1);
    }

    // A new row may begin at ch, after prev: after blanks, or where a
    // character that is not part of an ASCII word meets another character;
    // never before a closing character or after an opening one.
    bool MayBreakBetween(std::string_view prev, std::string_view ch) const
    {
        if (IsBlank(ch[0]))
            return false;
        if (!IsBlank(prev[0]) && IsInWord(prev) && IsInWord(ch))
            return false;
        return !IsKinsokuClosing(ch) && !IsKinsokuOpening(prev);
    }

    // Ends the row at nTo; the blanks from nAt on stay with it unseen.
    CRowEnd SkipBlanks(int nTo, int nAt, int nColumn) const
    {
        while (nAt < m_nLength && IsBlank(m_line[static_cast<std::size_t>(nAt)])) {
            nColumn = NextColumn(m_line[static_cast<std::size_t>(nAt)], nColumn, m_nTab);
            ++nAt;
        }
        return {nTo, nAt, nColumn};
    }

    std::string_view m_line;
    int m_nLength;
    int m_nColumns;
    int m_nTab;
    int m_nHang;
    const CExtraChars *m_pExtra;
};

} // namespace

void WrapPrintLine(std::string_view line, const CPrintWrap &wrap, std::vector<CPrintRow> &aRows)
{
    aRows.clear();
    const CRowBreaker breaker(line, wrap);
    int nFrom = 0;
    int nColumn = 0;
    do {
        const CRowEnd end = breaker.NextRow(nFrom, nColumn);
        aRows.push_back({nFrom, end.nTo, nColumn});
        nFrom = end.nNext;
        nColumn = end.nNextColumn;
    } while (nFrom < breaker.Length());
}

int CountPrintRows(std::string_view line, const CPrintWrap &wrap)
{
    const CRowBreaker breaker(line, wrap);
    int nRows = 0;
    int nFrom = 0;
    int nColumn = 0;
    do {
        const CRowEnd end = breaker.NextRow(nFrom, nColumn);
        ++nRows;
        nFrom = end.nNext;
        nColumn = end.nNextColumn;
    } while (nFrom < breaker.Length());
    return nRows;
}

std::vector<CPrintPageStart> LayoutPrintPages(int nLineCount, const PrintLineFn &fnLine, const CPrintWrap &wrap,
                                              int nRowsPerPage)
{
    const int nPageRows = std::max(1, nRowsPerPage);
    std::vector<CPrintPageStart> aPages{{0, 0}};
    int nUsed = 0;  // rows taken on the last page
    for (int nLine = 0; nLine < nLineCount; ++nLine) {
        const int nRows = CountPrintRows(fnLine(nLine), wrap);
        if (nUsed > 0 && nUsed + nRows > nPageRows) {
            aPages.push_back({nLine, 0});
            nUsed = 0;
        }
        // A line taller than a page goes on over as many pages as it needs.
        int nRow = nPageRows - nUsed;
        for (; nRow < nRows; nRow += nPageRows)
            aPages.push_back({nLine, nRow});
        nUsed = nRows <= nPageRows - nUsed ? nUsed + nRows : nRows - (nRow - nPageRows);
    }
    return aPages;
}
