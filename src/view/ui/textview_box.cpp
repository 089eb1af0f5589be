// Box selection of the text view: a box of screen cells between the anchor's
// corner and the caret's, made with Alt+drag or Alt+Shift and the movement
// keys. Which bytes of each line a box covers is boxgeom's; here the corners
// move, the box is drawn cell for cell, and commands that know nothing of
// boxes see the plain selection between the corners.
#include "view/ui/crystaltextview.h"

#include "res/commands.h"
#include "text/sjis.h"
#include "view/boxgeom.h"
#include "view/textgeom.h"

#include <QPainter>

#include <algorithm>
#include <climits>

void CCrystalTextView::RegisterBoxCommands()
{
    OnCommandRange(ID_EDIT_BOX_LEFT, ID_EDIT_BOX_END, [this](int nID) { MoveBoxCaret(nID); });
}

bool CCrystalTextView::IsBoxCommand(int nID) const
{
    return nID >= ID_EDIT_BOX_LEFT && nID <= ID_EDIT_BOX_END;
}

bool CCrystalTextView::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    if (!pCmdUI && m_bBoxSelect && !IsBoxCommand(nID) && HasCommand(nID))
        EndBoxSelection();
    return CCmdTarget::OnCmdMsg(nID, pCmdUI);
}

CBox CCrystalTextView::GetSelectionBox() const
{
    CBox box;
    box.nTop = std::min(m_ptSelAnchor.y, m_ptCaret.y);
    box.nBottom = std::max(m_ptSelAnchor.y, m_ptCaret.y);
    box.nLeft = std::min(m_nBoxAnchorColumn, m_nBoxCaretColumn);
    box.nRight = std::max(m_nBoxAnchorColumn, m_nBoxCaretColumn);
    return box;
}

int CCrystalTextView::GetCaretColumn() const
{
    return m_bBoxSelect ? m_nBoxCaretColumn : TextToColumn(m_ptCaret.y, m_ptCaret.x);
}

int CCrystalTextView::CaretByteAtColumn(int nLine, int nColumn) const
{
    return BoxSpanOfLine(GetLineChars(nLine), nColumn, nColumn, m_nTabSize, GetCellTable()).nFrom;
}

void CCrystalTextView::SelectBox(int nAnchorLine, int nAnchorColumn, int nCaretLine, int nCaretColumn)
{
    const int nLast = GetLineCount() - 1;
    nAnchorLine = std::clamp(nAnchorLine, 0, nLast);
    nCaretLine = std::clamp(nCaretLine, 0, nLast);
    nAnchorColumn = std::max(0, nAnchorColumn);
    nCaretColumn = std::max(0, nCaretColumn);
    // The old box and the new one repaint, whatever of them changed.
    const CBox boxOld = GetSelectionBox();
    const bool bWasBox = m_bBoxSelect;
    m_bBoxSelect = true;
    m_nBoxAnchorColumn = nAnchorColumn;
    m_nBoxCaretColumn = nCaretColumn;
    const CPoint ptAnchor(CaretByteAtColumn(nAnchorLine, nAnchorColumn), nAnchorLine);
    m_ptSelAnchor = ptAnchor;
    m_ptCaret = CPoint(CaretByteAtColumn(nCaretLine, nCaretColumn), nCaretLine);
    m_nWantedColumn = nCaretColumn;
    if (bWasBox)
        InvalidateLines(boxOld.nTop, boxOld.nBottom);
    InvalidateLines(std::min(nAnchorLine, nCaretLine), std::max(nAnchorLine, nCaretLine));
    SetSelectionPoints(ptAnchor, m_ptCaret);
    UpdateCaretDisplay();
}

void CCrystalTextView::EndBoxSelection()
{
    if (!m_bBoxSelect)
        return;
    SelectRange(m_ptSelAnchor, m_ptCaret);
    UpdateCaretDisplay();
}

void CCrystalTextView::MoveBoxCaret(int nID)
{
    const int nAnchorLine = m_ptSelAnchor.y;
    const int nAnchorColumn = m_bBoxSelect ? m_nBoxAnchorColumn : TextToColumn(m_ptSelAnchor.y, m_ptSelAnchor.x);
    int nLine = m_ptCaret.y;
    int nColumn = GetCaretColumn();
    const std::string_view line = GetLineChars(nLine);
    const int nLineColumns = GetLineDisplayLength(nLine);
    const int nLast = GetLineCount() - 1;
    const int nPage = std::max(1, GetVisibleLineCount() - 1);
    switch (nID) {
    case ID_EDIT_BOX_LEFT:
        if (nColumn > nLineColumns) {
            --nColumn;
        } else if (nColumn > 0) {
            // By whole characters within the line.
            const int x = CaretByteAtColumn(nLine, nColumn);
            const int nAt = TextToColumn(nLine, x);
            nColumn = nAt == nColumn && x > 0
                          ? TextToColumn(nLine, SjisPrevChar(line.data(), static_cast<int>(line.size()), x))
                          : nColumn - 1;
        }
        break;
    case ID_EDIT_BOX_RIGHT:
        if (nColumn < nLineColumns) {
            const int x = CaretByteAtColumn(nLine, nColumn);
            nColumn = TextToColumn(nLine, SjisNextChar(line.data(), static_cast<int>(line.size()), x));
        } else if (nColumn < GetWidestLine()) {
            // Past the line's end the corner moves over empty cells, as far as the widest line.
            ++nColumn;
        }
        break;
    case ID_EDIT_BOX_UP:
        nLine = std::max(0, nLine - 1);
        break;
    case ID_EDIT_BOX_DOWN:
        nLine = std::min(nLast, nLine + 1);
        break;
    case ID_EDIT_BOX_PAGE_UP:
        nLine = std::max(0, nLine - nPage);
        break;
    case ID_EDIT_BOX_PAGE_DOWN:
        nLine = std::min(nLast, nLine + nPage);
        break;
    case ID_EDIT_BOX_HOME: {
        // As Home: the end of the indentation, or the line's start from there.
        int nHome = 0;
        while (nHome < static_cast<int>(line.size())
               && (line[static_cast<std::size_t>(nHome)] == ' ' || line[static_cast<std::size_t>(nHome)] == '\t'))
            ++nHome;
        const int nHomeColumn = nHome < static_cast<int>(line.size()) ? TextToColumn(nLine, nHome) : 0;
        nColumn = nColumn == nHomeColumn ? 0 : nHomeColumn;
        break;
    }
    case ID_EDIT_BOX_END:
        nColumn = nLineColumns;
        break;
    default:
        return;
    }
    SelectBox(nAnchorLine, nAnchorColumn, nLine, nColumn);
    ScrollToCell(m_ptCaret.y, m_nBoxCaretColumn);
}

int CCrystalTextView::BoxColumnAt(const QPoint &ptClient)
{
    const int nCharWidth = GetCharWidth();
    const int x = ptClient.x() - GetMarginWidth() + nCharWidth / 2;
    // The nearest cell boundary; left of the text it counts back from the window's edge.
    const int nColumn = x >= 0 ? x / nCharWidth : -((-x + nCharWidth - 1) / nCharWidth);
    return std::clamp(nColumn + m_nFirstVisibleColumn, 0, std::max(GetWidestLine(), m_nFirstVisibleColumn + GetVisibleColumnCount()));
}

void CCrystalTextView::ExtendBoxSelection(const QPoint &ptClient)
{
    const int nLine = PointToText(ptClient).y;
    SelectBox(m_ptSelAnchor.y, m_nBoxAnchorColumn, nLine, BoxColumnAt(ptClient));
}

bool CCrystalTextView::GetLineSelectedBytes(int nLine, int &nFrom, int &nTo)
{
    if (m_bBoxSelect) {
        const CBox box = GetSelectionBox();
        if (nLine < box.nTop || nLine > box.nBottom || !box.HasWidth())
            return false;
        const CBoxSpan span = BoxSpanOfLine(GetLineChars(nLine), box.nLeft, box.nRight, m_nTabSize, GetCellTable());
        nFrom = span.nFrom;
        nTo = span.nTo;
        return nTo > nFrom;
    }
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (nLine < b.y || nLine > e.y)
        return false;
    nFrom = nLine == b.y ? b.x : 0;
    nTo = nLine == e.y ? e.x : INT_MAX;
    return true;
}

void CCrystalTextView::DrawBoxCells(QPainter &painter, const QRect &rc, int nLine)
{
    if (!m_bBoxSelect || !IsSelectionShown())
        return;
    const CBox box = GetSelectionBox();
    if (nLine < box.nTop || nLine > box.nBottom)
        return;
    const int nCharWidth = GetCharWidth();
    auto xOf = [&](int nColumn) { return rc.left() + (nColumn - m_nFirstVisibleColumn) * nCharWidth; };
    const QColor colSel = ColorFromRef(GetColor(COLORINDEX_SELBKGND));
    if (!box.HasWidth()) {
        // A box of no width shows where text typed now would go on each line.
        painter.fillRect(QRect(xOf(box.nLeft), rc.top(), 2, rc.height()), colSel);
        return;
    }
    const CBoxSpan span = BoxSpanOfLine(GetLineChars(nLine), box.nLeft, box.nRight, m_nTabSize, GetCellTable());
    if (span.nFromColumn > box.nLeft) {
        const int nTo = std::min(span.nFromColumn, box.nRight);
        painter.fillRect(QRect(xOf(box.nLeft), rc.top(), (nTo - box.nLeft) * nCharWidth, rc.height()), colSel);
    }
    if (span.nToColumn < box.nRight) {
        const int nFrom = std::max(span.nToColumn, box.nLeft);
        painter.fillRect(QRect(xOf(nFrom), rc.top(), (box.nRight - nFrom) * nCharWidth, rc.height()), colSel);
    }
}
