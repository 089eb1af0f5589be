#include "view/boxgeom.h"

#include "text/sjis.h"
#include "view/textgeom.h"

namespace {

// One character of a line: its bytes and the cells it takes from nColumn.
struct CCell
{
    int nBytes;
    int nEndColumn;
    bool bTab;
};

CCell CellAt(std::string_view line, int i, int nColumn, int nTabSize, const CExtraChars *pExtra)
{
    const bool bTab = line[static_cast<std::size_t>(i)] == '\t';
    int nNext = i;
    const int nEndColumn = StepColumn(line, nNext, nColumn, nTabSize, pExtra);
    return {nNext - i, nEndColumn, bTab};
}

std::string Blanks(int n)
{
    return std::string(static_cast<std::size_t>(n > 0 ? n : 0), ' ');
}

} // namespace

CBoxSpan BoxSpanOfLine(std::string_view line, int nLeft, int nRight, int nTabSize, const CExtraChars *pExtra)
{
    CBoxSpan span;
    const int nLength = static_cast<int>(line.size());
    if (nRight < nLeft)
        nRight = nLeft;
    int i = 0;
    int nColumn = 0;
    // Characters wholly left of the box.
    CCell cell{0, 0, false};
    while (i < nLength) {
        cell = CellAt(line, i, nColumn, nTabSize, pExtra);
        if (cell.nEndColumn > nLeft)
            break;
        nColumn = cell.nEndColumn;
        i += cell.nBytes;
    }
    if (i == nLength) {
        span.nFrom = span.nTo = nLength;
        span.nFromColumn = span.nToColumn = nColumn;
        return span;
    }

    if (nColumn < nLeft) {
        // The character at i is cut by the left edge.
        if (cell.bTab) {
            span.nTabBefore = i;
            span.nTabStartColumn = nColumn;
            if (cell.nEndColumn > nRight || nLeft == nRight) {
                // The box lies inside this one tab.
                span.nTabAfter = i;
                span.nTabEndColumn = cell.nEndColumn;
                span.nFrom = span.nTo = i;
                span.nFromColumn = span.nToColumn = nLeft;
                return span;
            }
            i += 1;
            nColumn = cell.nEndColumn;
        } else if (nLeft == nRight) {
            // A box of no width stands after the character, as the caret would.
            span.nFrom = span.nTo = i + cell.nBytes;
            span.nFromColumn = span.nToColumn = cell.nEndColumn;
            return span;
        }
    }
    span.nFrom = i;
    span.nFromColumn = nColumn;

    // Characters that start inside the box.
    while (i < nLength && nColumn < nRight) {
        cell = CellAt(line, i, nColumn, nTabSize, pExtra);
        if (cell.nEndColumn > nRight && cell.bTab) {
            span.nTabAfter = i;
            span.nTabEndColumn = cell.nEndColumn;
            break;
        }
        nColumn = cell.nEndColumn;
        i += cell.nBytes;
    }
    span.nTo = i;
    span.nToColumn = nColumn;
    return span;
}

std::string BoxTextOfLine(std::string_view line, int nLeft, int nRight, int nTabSize, const CExtraChars *pExtra)
{
    const CBoxSpan span = BoxSpanOfLine(line, nLeft, nRight, nTabSize, pExtra);
    if (span.nTabBefore >= 0 && span.nTabBefore == span.nTabAfter)
        return Blanks(nRight - nLeft);
    std::string strText;
    if (span.nTabBefore >= 0)
        strText = Blanks(span.nFromColumn - nLeft);
    strText.append(line.substr(static_cast<std::size_t>(span.nFrom), static_cast<std::size_t>(span.nTo - span.nFrom)));
    if (span.nTabAfter >= 0)
        strText += Blanks(nRight - span.nToColumn);
    return strText;
}

CBoxLineEdit BoxLineEdit(std::string_view line, int nLeft, int nRight, int nTabSize, std::string_view text, bool bPad,
                         const CExtraChars *pExtra)
{
    if (nRight < nLeft)
        nRight = nLeft;
    const CBoxSpan span = BoxSpanOfLine(line, nLeft, nRight, nTabSize, pExtra);
    CBoxLineEdit edit;
    edit.nFrom = span.nFrom;
    edit.nTo = span.nTo;
    std::string strBefore;
    std::string strAfter;
    if (span.nTabBefore >= 0) {
        // The tab's cells left of the box stay as blanks.
        edit.nFrom = span.nTabBefore;
        strBefore = Blanks(nLeft - span.nTabStartColumn);
    } else if (bPad && !text.empty() && span.nFrom == static_cast<int>(line.size()) && span.nFromColumn < nLeft) {
        strBefore = Blanks(nLeft - span.nFromColumn);
    }
    if (span.nTabAfter >= 0) {
        edit.nTo = span.nTabAfter + 1;
        strAfter = Blanks(span.nTabEndColumn - nRight);
    }
    edit.strText = strBefore;
    edit.strText.append(text);
    edit.strText += strAfter;
    edit.nTextFrom = static_cast<int>(strBefore.size());
    edit.nTextTo = edit.nTextFrom + static_cast<int>(text.size());
    return edit;
}
