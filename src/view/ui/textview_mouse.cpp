// Mouse selection of the text view: by characters, by words (double-click,
// Ctrl+click) and by lines (the margin), with auto-scrolling while the mouse
// is held outside the window.
#include "view/ui/crystaltextview.h"

#include "view/wordclass.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// The line-selection cursor of the margin: an arrow pointing right.
const QCursor &MarginCursor()
{
    static const QCursor cursor = [] {
        QPixmap pix(32, 32);
        pix.fill(Qt::transparent);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF arrow[] = {{20, 2}, {20, 19}, {16, 15}, {13, 22}, {10, 21}, {13, 14}, {8, 14}};
        p.setBrush(Qt::white);
        p.setPen(QPen(Qt::black, 1));
        p.drawPolygon(arrow, 7);
        return QCursor(pix, 20, 2);
    }();
    return cursor;
}

} // namespace

CPoint CCrystalTextView::WordStartBefore(CPoint pt) const
{
    int nStart = 0;
    int nEnd = 0;
    MouseWordBounds(GetLineChars(pt.y), pt.x, nStart, nEnd);
    return CPoint(nStart, pt.y);
}

CPoint CCrystalTextView::WordEndAfter(CPoint pt) const
{
    int nStart = 0;
    int nEnd = 0;
    MouseWordBounds(GetLineChars(pt.y), pt.x, nStart, nEnd);
    return CPoint(nEnd, pt.y);
}

void CCrystalTextView::ExtendMouseSelection(CPoint ptMouse)
{
    const int nLast = GetLineCount() - 1;
    auto lineAfter = [&](int nLine) {
        return nLine < nLast ? CPoint(0, nLine + 1) : CPoint(GetLineLength(nLast), nLast);
    };
    CPoint ptFrom = m_ptSelAnchor;
    CPoint ptTo = ptMouse;
    if (m_bLineSelecting) {
        if (ptMouse.y >= m_ptSelAnchor.y) {
            ptFrom = CPoint(0, m_ptSelAnchor.y);
            ptTo = lineAfter(ptMouse.y);
        } else {
            ptFrom = lineAfter(m_ptSelAnchor.y);
            ptTo = CPoint(0, ptMouse.y);
        }
    } else if (m_bWordSelecting) {
        const bool bForward = ptMouse.y > m_ptSelAnchor.y
                              || (ptMouse.y == m_ptSelAnchor.y && ptMouse.x >= m_ptSelAnchor.x);
        if (bForward) {
            ptFrom = WordStartBefore(m_ptSelAnchor);
            ptTo = WordEndAfter(ptMouse);
        } else {
            ptFrom = WordEndAfter(m_ptSelAnchor);
            ptTo = WordStartBefore(ptMouse);
        }
    }
    m_ptCaret = ptTo;
    m_nWantedColumn = TextToColumn(ptTo.y, ptTo.x);
    UpdateCaretDisplay();
    SelectRange(ptFrom, ptTo);
}

void CCrystalTextView::mousePressEvent(QMouseEvent *pEvent)
{
    const QPoint pt = pEvent->position().toPoint();
    m_ptLastMouse = pt;
    setFocus(Qt::MouseFocusReason);
    QPoint ptRounded = pt;
    RoundPointX(ptRounded);
    const CPoint ptText = AfterTrailByte(PointToText(ptRounded));
    const bool bShift = pEvent->modifiers() & Qt::ShiftModifier;
    const bool bCtrl = pEvent->modifiers() & Qt::ControlModifier;

    if (pEvent->button() == Qt::RightButton) {
        // Outside the selection the caret goes to the click; inside it the
        // selection stays for the context menu.
        if (!IsInSelection(ptText))
            PlaceCaret(ptText);
        pEvent->ignore();
        return;
    }
    if (pEvent->button() != Qt::LeftButton)
        return;

    // Alt+drag selects a box of cells; with Shift too it moves the caret's corner.
    if ((pEvent->modifiers() & Qt::AltModifier) && pt.x() >= GetMarginWidth()) {
        const int nLine = PointToText(pt).y;
        const int nColumn = BoxColumnAt(pt);
        if (bShift && m_bBoxSelect)
            SelectBox(m_ptSelAnchor.y, m_nBoxAnchorColumn, nLine, nColumn);
        else
            SelectBox(nLine, nColumn, nLine, nColumn);
        m_bBoxSelecting = true;
        m_bMouseSelecting = true;
        m_bLineSelecting = m_bWordSelecting = false;
        m_timerAutoScroll.start();
        return;
    }

    if (pt.x() < GetMarginWidth()) {
        if (bCtrl) {
            SelectAllText();
            return;
        }
        const CPoint ptLine(0, ptText.y);
        if (!bShift)
            m_ptSelAnchor = ptLine;
        m_bLineSelecting = true;
        m_bWordSelecting = false;
        m_bMouseSelecting = true;
        ExtendMouseSelection(ptLine);
        m_timerAutoScroll.start();
        return;
    }

    // A box is not dragged as text: a click in it starts a new selection.
    if (!bShift && !m_bBoxSelect && IsInSelection(ptText) && CanStartDrag()) {
        m_bDragPending = true;
        m_ptDragStart = ptText;
        m_ptPressPixel = pt;
        return;
    }
    if (!bShift)
        m_ptSelAnchor = ptText;
    m_bLineSelecting = false;
    m_bWordSelecting = bCtrl;
    m_bMouseSelecting = true;
    ExtendMouseSelection(ptText);
    m_timerAutoScroll.start();
}

void CCrystalTextView::mouseMoveEvent(QMouseEvent *pEvent)
{
    const QPoint pt = pEvent->position().toPoint();
    m_ptLastMouse = pt;
    if (m_bDragPending) {
        if ((pt - m_ptPressPixel).manhattanLength() >= QApplication::startDragDistance()) {
            m_bDragPending = false;
            StartTextDrag();
        }
        return;
    }
    if (m_bMouseSelecting) {
        if (m_bBoxSelecting) {
            ExtendBoxSelection(pt);
            return;
        }
        QPoint ptRounded = pt;
        RoundPointX(ptRounded);
        ExtendMouseSelection(AfterTrailByte(PointToText(ptRounded)));
        return;
    }
    // The cursor tells what a press would do here.
    if (pt.x() < GetMarginWidth()) {
        viewport()->setCursor(MarginCursor());
    } else {
        QPoint ptRounded = pt;
        RoundPointX(ptRounded);
        const CPoint ptText = PointToText(pt);
        viewport()->setCursor(!m_bBoxSelect && IsInSelection(ptText) ? Qt::ArrowCursor : Qt::IBeamCursor);
    }
}

void CCrystalTextView::mouseReleaseEvent(QMouseEvent *pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    if (m_bDragPending) {
        // A press on the selection that never moved places the caret.
        m_bDragPending = false;
        PlaceCaret(m_ptDragStart);
        return;
    }
    if (m_bMouseSelecting && m_bBoxSelecting) {
        m_bMouseSelecting = m_bBoxSelecting = false;
        m_timerAutoScroll.stop();
        ExtendBoxSelection(pEvent->position().toPoint());
        ScrollToCell(m_ptCaret.y, m_nBoxCaretColumn);
        return;
    }
    if (m_bMouseSelecting) {
        m_bMouseSelecting = false;
        m_timerAutoScroll.stop();
        QPoint ptRounded = pEvent->position().toPoint();
        RoundPointX(ptRounded);
        ExtendMouseSelection(AfterTrailByte(PointToText(ptRounded)));
        m_bWordSelecting = false;
        m_bLineSelecting = false;
        ScrollToPosition(m_ptCaret);
    }
}

void CCrystalTextView::mouseDoubleClickEvent(QMouseEvent *pEvent)
{
    if (pEvent->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(pEvent);
        return;
    }
    const QPoint pt = pEvent->position().toPoint();
    if (pt.x() < GetMarginWidth() || (pEvent->modifiers() & Qt::AltModifier)) {
        mousePressEvent(pEvent);
        return;
    }
    QPoint ptRounded = pt;
    RoundPointX(ptRounded);
    const CPoint ptText = AfterTrailByte(PointToText(ptRounded));
    m_bDragPending = false;
    m_ptSelAnchor = ptText;
    m_bWordSelecting = true;
    m_bLineSelecting = false;
    m_bMouseSelecting = true;
    ExtendMouseSelection(ptText);
    m_timerAutoScroll.start();
}

void CCrystalTextView::OnAutoScrollTimer()
{
    if (!m_bMouseSelecting) {
        m_timerAutoScroll.stop();
        return;
    }
    const QPoint pt = viewport()->mapFromGlobal(QCursor::pos());
    const int nLineHeight = GetLineHeight();
    const int nLast = GetLineCount() - 1;
    bool bChanged = false;
    int nLine = m_nFirstVisibleLine;
    if (pt.y() < 0)
        nLine -= pt.y() < -nLineHeight ? 3 : 1;
    else if (pt.y() >= viewport()->height())
        nLine += pt.y() >= viewport()->height() + nLineHeight ? 3 : 1;
    nLine = std::clamp(nLine, 0, std::max(0, nLast));
    if (nLine != m_nFirstVisibleLine) {
        ScrollToFirstLine(nLine);
        SyncSplitScroll(true);
        bChanged = true;
    }
    int nColumn = m_nFirstVisibleColumn;
    if (pt.x() < GetMarginWidth())
        --nColumn;
    else if (pt.x() >= viewport()->width())
        ++nColumn;
    nColumn = std::clamp(nColumn, 0, std::max(0, GetWidestLine() - 1));
    if (nColumn != m_nFirstVisibleColumn) {
        ScrollToFirstColumn(nColumn);
        SyncSplitScroll(false);
        bChanged = true;
    }
    if (bChanged && m_bBoxSelecting) {
        ExtendBoxSelection(pt);
    } else if (bChanged) {
        QPoint ptRounded = pt;
        RoundPointX(ptRounded);
        ExtendMouseSelection(AfterTrailByte(PointToText(ptRounded)));
    }
}
