// Drag and drop of text: a drag out of the selection (moving it undoes in one
// step), drops of text from this or another view or program.
#include "view/ui/crystaleditview.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>

namespace {

constexpr int DRAG_SCROLL_MARGIN = 5;

bool HasDroppableText(const QMimeData *pData)
{
    return pData && (pData->hasText() || pData->hasFormat(QString::fromLatin1(WRENPAD_MIME_SJIS)));
}

} // namespace

CPoint CCrystalEditView::DropPositionAt(const QPoint &pt)
{
    QPoint ptRounded = pt;
    RoundPointX(ptRounded);
    return AfterTrailByte(PointToText(ptRounded));
}

void CCrystalEditView::StartTextDrag()
{
    if (!m_pTextBuffer || !IsSelection())
        return;
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    // A move within this view undoes in one step: the drop and the deletion.
    CUndoGroup group(*m_pTextBuffer, this);
    m_ptDraggedTextBegin = b;
    m_ptDraggedTextEnd = e;
    m_bDragging = true;

    const Qt::DropActions allowed = CanEdit() ? (Qt::CopyAction | Qt::MoveAction) : Qt::CopyAction;
    const Qt::DropAction result = ExecDrag(
        MimeFromLines(m_pTextBuffer->GetTextLines(b.y, b.x, e.y, e.x), false, m_pTextBuffer->GetExtraChars()), allowed);

    // The dragged range has followed every edit made meanwhile (a drop into
    // this buffer before it, say) through the change hints.
    if (result == Qt::MoveAction && CanEdit() && m_ptDraggedTextBegin != m_ptDraggedTextEnd)
        m_pTextBuffer->DeleteText(this, m_ptDraggedTextBegin.y, m_ptDraggedTextBegin.x, m_ptDraggedTextEnd.y,
                                  m_ptDraggedTextEnd.x, ACTION_DRAGDROP);
    m_bDragging = false;
    group.Close();
    m_bDropPosVisible = false;
    viewport()->update();
}

Qt::DropAction CCrystalEditView::ExecDrag(QMimeData *pData, Qt::DropActions allowed)
{
    auto *pDrag = new QDrag(this);
    pDrag->setMimeData(pData);
    return pDrag->exec(allowed, Qt::MoveAction);
}

void CCrystalEditView::dragEnterEvent(QDragEnterEvent *pEvent)
{
    if (HasDroppableText(pEvent->mimeData()) && CanEdit()) {
        pEvent->setDropAction((pEvent->modifiers() & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction);
        pEvent->accept();
        SetShowInactiveSelection(true);
        return;
    }
    if (pEvent->mimeData() && pEvent->mimeData()->hasUrls()) {
        pEvent->acceptProposedAction();
        return;
    }
    pEvent->ignore();
}

void CCrystalEditView::dragMoveEvent(QDragMoveEvent *pEvent)
{
    if (!HasDroppableText(pEvent->mimeData()) || !CanEdit()) {
        if (pEvent->mimeData() && pEvent->mimeData()->hasUrls())
            pEvent->acceptProposedAction();
        else
            pEvent->ignore();
        return;
    }
    // Near an edge the view scrolls one step that way.
    const QPoint pt = pEvent->position().toPoint();
    const QRect rc = viewport()->rect();
    if (pt.y() < DRAG_SCROLL_MARGIN)
        ScrollUp();
    else if (pt.y() > rc.height() - DRAG_SCROLL_MARGIN)
        ScrollDown();
    if (pt.x() < GetMarginWidth() + DRAG_SCROLL_MARGIN && m_nFirstVisibleColumn > 0) {
        ScrollToFirstColumn(m_nFirstVisibleColumn - 1);
        SyncSplitScroll(false);
    } else if (pt.x() > rc.width() - DRAG_SCROLL_MARGIN && m_nFirstVisibleColumn < GetWidestLine() - 1) {
        ScrollToFirstColumn(m_nFirstVisibleColumn + 1);
        SyncSplitScroll(false);
    }
    m_ptDropPos = DropPositionAt(pt);
    m_bDropPosVisible = true;
    viewport()->update();
    pEvent->setDropAction((pEvent->modifiers() & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction);
    pEvent->accept();
}

void CCrystalEditView::dragLeaveEvent(QDragLeaveEvent *pEvent)
{
    m_bDropPosVisible = false;
    SetShowInactiveSelection(false);
    viewport()->update();
    pEvent->accept();
}

bool CCrystalEditView::OnDropOther(QDropEvent *pEvent)
{
    (void)pEvent;
    return false;
}

void CCrystalEditView::dropEvent(QDropEvent *pEvent)
{
    m_bDropPosVisible = false;
    SetShowInactiveSelection(false);
    viewport()->update();
    const QMimeData *pData = pEvent->mimeData();
    if (!HasDroppableText(pData)) {
        if (OnDropOther(pEvent))
            pEvent->acceptProposedAction();
        else
            pEvent->ignore();
        return;
    }
    if (!CanEdit()) {
        pEvent->ignore();
        return;
    }
    const CPoint pt = DropPositionAt(pEvent->position().toPoint());
    const bool bFromHere = m_bDragging && pEvent->source() == this;
    if (bFromHere) {
        // Dropped onto the dragged text itself: only the caret moves.
        const bool bInside = (pt.y > m_ptDraggedTextBegin.y || (pt.y == m_ptDraggedTextBegin.y && pt.x >= m_ptDraggedTextBegin.x))
                             && (pt.y < m_ptDraggedTextEnd.y || (pt.y == m_ptDraggedTextEnd.y && pt.x < m_ptDraggedTextEnd.x));
        if (bInside) {
            PlaceCaret(pt);
            pEvent->setDropAction(Qt::IgnoreAction);
            pEvent->accept();
            return;
        }
    }
    CPoint ptEnd;
    if (!InsertMimeText(pData, pt, ACTION_DRAGDROP, ptEnd)) {
        pEvent->ignore();
        return;
    }
    // The inserted text becomes the selection.
    MoveCaret(ptEnd);
    SetSelectionAnchor(pt);
    SelectRange(pt, ptEnd);
    ScrollToPosition(ptEnd);
    setFocus(Qt::OtherFocusReason);
    pEvent->setDropAction((pEvent->modifiers() & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction);
    pEvent->accept();
}

void CCrystalEditView::DrawOverlay(QPainter &painter)
{
    if (!m_bDropPosVisible || m_ptDropPos.y >= GetLineCount())
        return;
    const QPoint pt = TextToPoint(m_ptDropPos);
    painter.fillRect(QRect(pt.x(), pt.y(), 2, GetLineHeight()), ColorFromRef(GetColor(COLORINDEX_NORMALTEXT)));
}
