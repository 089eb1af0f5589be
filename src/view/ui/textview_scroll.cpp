// Scrolling of the text view: keeping a position in sight, moving the window
// by lines and columns, the scroll bars and the panes of a split window.
#include "view/ui/crystaltextview.h"

#include <QScrollBar>

#include <algorithm>

void CCrystalTextView::ScrollToPosition(CPoint pt)
{
    ScrollToCell(pt.y, TextToColumn(pt.y, pt.x));
}

void CCrystalTextView::ScrollToCell(int nLine, int nColumn)
{
    const int nCount = GetLineCount();
    const int nScreenLines = GetVisibleLineCount();
    int nFirstLine = m_nFirstVisibleLine;
    if (nLine >= nFirstLine + nScreenLines)
        nFirstLine = nLine - nScreenLines + 1;
    else if (nLine < nFirstLine)
        nFirstLine = nLine;
    nFirstLine = std::clamp(nFirstLine, 0, std::max(0, nCount - 1));
    if (nFirstLine != m_nFirstVisibleLine) {
        ScrollToFirstLine(nFirstLine);
        SyncSplitScroll(true);
    }

    const int nScreenChars = GetVisibleColumnCount();
    int nFirstColumn = m_nFirstVisibleColumn;
    if (nColumn > nFirstColumn + nScreenChars)
        nFirstColumn = nColumn - nScreenChars;
    else if (nColumn < nFirstColumn)
        nFirstColumn = nColumn;
    nFirstColumn = std::clamp(nFirstColumn, 0, std::max(0, GetWidestLine() - 1));
    if (nFirstColumn != m_nFirstVisibleColumn) {
        ScrollToFirstColumn(nFirstColumn);
        SyncSplitScroll(false);
    }
    UpdateCaretDisplay();
}

// ---------------------------------------------------------------------------
// Scrolling

void CCrystalTextView::ScrollToFirstLine(int nLine, bool bTrackScrollBar)
{
    if (nLine == m_nFirstVisibleLine)
        return;
    const int nDelta = (m_nFirstVisibleLine - nLine) * GetLineHeight();
    m_nFirstVisibleLine = nLine;
    if (std::abs(nDelta) < viewport()->height()) {
        viewport()->scroll(0, nDelta);
        m_rcCaretShown.translate(0, nDelta);
    } else {
        viewport()->update();
    }
    if (bTrackScrollBar)
        RecalcVertScroll(true);
}

void CCrystalTextView::ScrollToFirstColumn(int nColumn, bool bTrackScrollBar)
{
    if (nColumn == m_nFirstVisibleColumn)
        return;
    const int nDelta = (m_nFirstVisibleColumn - nColumn) * GetCharWidth();
    m_nFirstVisibleColumn = nColumn;
    const QRect rcText(GetMarginWidth(), 0, viewport()->width() - GetMarginWidth(), viewport()->height());
    if (std::abs(nDelta) < rcText.width()) {
        viewport()->scroll(nDelta, 0, rcText);
        m_rcCaretShown.translate(nDelta, 0);
    } else {
        viewport()->update(rcText);
    }
    if (bTrackScrollBar)
        RecalcHorzScroll(true);
}

void CCrystalTextView::RecalcVertScroll(bool bPositionOnly)
{
    QScrollBar *pBar = verticalScrollBar();
    const QSignalBlocker block(pBar);
    if (!bPositionOnly) {
        const int nCount = GetLineCount();
        const int nScreen = GetVisibleLineCount();
        if (nScreen >= nCount && m_nFirstVisibleLine > 0) {
            m_nFirstVisibleLine = 0;
            viewport()->update();
            UpdateCaretDisplay();
        }
        pBar->setRange(0, std::max(0, nCount - 1));
        pBar->setPageStep(std::max(1, nScreen));
        pBar->setSingleStep(1);
        pBar->setEnabled(nScreen < nCount);
    }
    pBar->setValue(m_nFirstVisibleLine);
}

void CCrystalTextView::RecalcHorzScroll(bool bPositionOnly)
{
    QScrollBar *pBar = horizontalScrollBar();
    const QSignalBlocker block(pBar);
    if (!bPositionOnly) {
        const int nWidest = GetWidestLine();
        const int nScreen = GetVisibleColumnCount();
        if (nScreen >= nWidest && m_nFirstVisibleColumn > 0) {
            m_nFirstVisibleColumn = 0;
            viewport()->update();
            UpdateCaretDisplay();
        }
        pBar->setRange(0, std::max(0, nWidest - 1));
        pBar->setPageStep(std::max(1, nScreen));
        pBar->setSingleStep(1);
        pBar->setEnabled(nScreen < nWidest);
    }
    pBar->setValue(m_nFirstVisibleColumn);
}

void CCrystalTextView::scrollContentsBy(int dx, int dy)
{
    // The bars moved (drag, click, wheel): follow them.
    (void)dx;
    (void)dy;
    const int nLine = std::clamp(verticalScrollBar()->value(), 0, std::max(0, GetLineCount() - 1));
    if (nLine != m_nFirstVisibleLine) {
        ScrollToFirstLine(nLine, false);
        SyncSplitScroll(true);
    }
    const int nColumn = std::clamp(horizontalScrollBar()->value(), 0, std::max(0, GetWidestLine() - 1));
    if (nColumn != m_nFirstVisibleColumn) {
        ScrollToFirstColumn(nColumn, false);
        SyncSplitScroll(false);
    }
    UpdateCaretDisplay();
}

void CCrystalTextView::SyncSplitScroll(bool bVertical)
{
    if (!m_fnSplitPanes || m_bInScrollSync)
        return;
    m_bInScrollSync = true;
    for (CCrystalTextView *pPane : m_fnSplitPanes(this, bVertical))
        if (pPane != this)
            pPane->OnSplitScrolled(this, bVertical);
    m_bInScrollSync = false;
}

void CCrystalTextView::OnSplitScrolled(CCrystalTextView *pSource, bool bVertical)
{
    if (bVertical) {
        if (pSource->m_nFirstVisibleLine != m_nFirstVisibleLine) {
            m_nFirstVisibleLine = std::clamp(pSource->m_nFirstVisibleLine, 0, std::max(0, GetLineCount() - 1));
            viewport()->update();
        }
    } else if (pSource->m_nFirstVisibleColumn != m_nFirstVisibleColumn) {
        m_nFirstVisibleColumn = std::max(0, pSource->m_nFirstVisibleColumn);
        viewport()->update();
    }
    RecalcVertScroll(true);
    RecalcHorzScroll(true);
    UpdateCaretDisplay();
}

void CCrystalTextView::InvalidateLines(int nLine1, int nLine2, bool bInvalidateMargin)
{
    if (nLine2 - nLine1 > 1024) {
        viewport()->update();
        return;
    }
    const int nHeight = GetLineHeight();
    const int nLeft = bInvalidateMargin ? 0 : GetMarginWidth();
    const int nTop = (nLine1 - m_nFirstVisibleLine) * nHeight;
    const int nBottom = nLine2 < 0 ? viewport()->height() : (nLine2 - m_nFirstVisibleLine + 1) * nHeight;
    if (nBottom < 0 || nTop > viewport()->height())
        return;
    viewport()->update(QRect(nLeft, nTop, viewport()->width() - nLeft, nBottom - nTop));
}
