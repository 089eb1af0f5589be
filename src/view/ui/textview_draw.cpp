// Painting of the text view: lines split into colour runs by the parser and
// by the selection, backgrounds, the line-end mark and the margin with
// bookmark images. The characters of each run go into their cells through
// the line painter, which the printer shares.
#include "view/ui/crystaltextview.h"

#include "text/sjis.h"
#include "view/textgeom.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <climits>

void CCrystalTextView::paintEvent(QPaintEvent *pEvent)
{
    QPainter painter(viewport());
    DrawArea(painter, pEvent->rect());
}

bool CCrystalTextView::IsSelectionShown() const
{
    return m_bHasFocus || m_bShowInactiveSelection;
}

void CCrystalTextView::DrawArea(QPainter &painter, const QRect &rcUpdate)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    const int nLineHeight = GetLineHeight();
    const int nMargin = GetMarginWidth();
    const int nWidth = viewport()->width();
    const int nHeight = std::max(viewport()->height(), rcUpdate.bottom() + 1);
    const int nCount = GetLineCount();
    painter.setFont(m_font);

    int nLine = m_nFirstVisibleLine;
    for (int y = 0; y < nHeight; y += nLineHeight, ++nLine) {
        if (y + nLineHeight <= rcUpdate.top() || y > rcUpdate.bottom())
            continue;
        const int nDrawLine = nLine < nCount ? nLine : -1;
        const QRect rcMargin(0, y, nMargin, nLineHeight);
        const QRect rcLine(nMargin, y, nWidth - nMargin, nLineHeight);
        painter.setClipRect(rcMargin);
        DrawMargin(painter, rcMargin, nDrawLine);
        painter.setClipRect(rcLine);
        DrawLine(painter, rcLine, nDrawLine);
    }
    painter.setClipping(false);

    // The caret and the input method's pre-edit text go on top.
    if (m_bHasFocus && !m_bCaretHidden && m_ptCaret.y < nCount && GetCaretColumn() >= m_nFirstVisibleColumn) {
        const QRect rcCaret = CaretRect();
        if (!m_strPreedit.isEmpty()) {
            const QFontMetrics fm(m_font);
            const QRect rcPre(rcCaret.left(), rcCaret.top(), fm.horizontalAdvance(m_strPreedit), nLineHeight);
            painter.fillRect(rcPre, ColorFromRef(GetColor(COLORINDEX_BKGND)));
            painter.setPen(ColorFromRef(GetColor(COLORINDEX_NORMALTEXT)));
            painter.drawText(rcPre.left(), rcPre.top() + fm.ascent(), m_strPreedit);
            painter.drawLine(rcPre.bottomLeft() - QPoint(0, 1), rcPre.bottomRight() - QPoint(0, 1));
        } else if (m_bCaretBlinkOn) {
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(rcCaret, Qt::white);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
    DrawOverlay(painter);
}

std::uint32_t CCrystalTextView::GetColor(int nColorIndex) const
{
    if (nColorIndex >= COLOR_COUNT || nColorIndex < 0)
        nColorIndex = COLORINDEX_WHITESPACE;
    else if (nColorIndex == 21)
        nColorIndex = COLORINDEX_NORMALTEXT;
    return m_crColors[static_cast<std::size_t>(nColorIndex)];
}

void CCrystalTextView::SetColor(int nColorIndex, std::uint32_t cr)
{
    if (nColorIndex >= 0 && nColorIndex < COLOR_COUNT)
        m_crColors[static_cast<std::size_t>(nColorIndex)] = cr;
}

void CCrystalTextView::GetLineColors(int nLine, std::uint32_t &crBkgnd, std::uint32_t &crText,
                                     bool &bDrawWhitespace)
{
    (void)nLine;
    crBkgnd = static_cast<std::uint32_t>(-1);
    crText = static_cast<std::uint32_t>(-1);
    bDrawWhitespace = false;
}

bool CCrystalTextView::GetBold(int nColorIndex) const
{
    (void)nColorIndex;
    return false;
}

bool CCrystalTextView::GetItalic(int nColorIndex) const
{
    (void)nColorIndex;
    return false;
}

void CCrystalTextView::DrawMarkImage(QPainter &painter, int nImage, int x, const QRect &rcCell)
{
    CLinePainter::DrawMarkImage(painter, nImage, x, rcCell);
}

void CCrystalTextView::DrawMargin(QPainter &painter, const QRect &rc, int nLine)
{
    if (!m_bSelMargin) {
        painter.fillRect(rc, ColorFromRef(GetColor(COLORINDEX_BKGND)));
        return;
    }
    painter.fillRect(rc, ColorFromRef(GetColor(COLORINDEX_SELMARGIN)));
    if (nLine < 0)
        return;
    const std::uint32_t dwFlags = GetLineFlags(nLine);
    // Numbered bookmarks 1-9 first, then 0, then the plain bookmark.
    int nImage = -1;
    for (int n = 1; n <= 10 && nImage < 0; ++n) {
        const int nMark = n % 10;
        if (dwFlags & LF_NUMBERED_BOOKMARK(nMark))
            nImage = nMark == 0 ? 12 : nMark + 2;
    }
    if (nImage < 0 && (dwFlags & LF_BOOKMARK))
        nImage = 13;
    if (nImage >= 0)
        DrawMarkImage(painter, nImage, rc.left() + 2, rc);
}

void CCrystalTextView::DrawLine(QPainter &painter, const QRect &rc, int nLine)
{
    if (nLine < 0) {
        painter.fillRect(rc, ColorFromRef(GetColor(COLORINDEX_WHITESPACE)));
        return;
    }
    const int nCharWidth = GetCharWidth();
    const int nLength = GetLineLength(nLine);
    QPoint ptOrigin(rc.left() - m_nFirstVisibleColumn * nCharWidth, rc.top());
    const bool bSelShown = IsSelectionShown();

    if (nLength == 0) {
        QRect rcRest = rc;
        if (m_nFirstVisibleColumn == 0 && bSelShown && IsInSelection(CPoint(0, nLine))) {
            painter.fillRect(QRect(rc.left(), rc.top(), nCharWidth, rc.height()),
                             ColorFromRef(GetColor(COLORINDEX_SELBKGND)));
            rcRest.setLeft(rc.left() + nCharWidth);
        }
        painter.fillRect(rcRest, ColorFromRef(GetColor(COLORINDEX_WHITESPACE)));
        if (m_bShowLineEnds && m_nFirstVisibleColumn == 0)
            DrawMarkImage(painter, nCharWidth >= 8 ? 14 : 15, rc.left(), rc);
        DrawBoxCells(painter, rc, nLine);
        // Keep the cached state of an empty line current too.
        GetLineParseState(nLine);
        return;
    }

    std::uint32_t crBkgnd;
    std::uint32_t crText;
    bool bDrawWhitespace;
    GetLineColors(nLine, crBkgnd, crText, bDrawWhitespace);

    int nBlocks = 0;
    const ColorBlock *pBlocks = nullptr;
    const bool bLong = nLength >= LONG_LINE;
    if (bLong) {
        if (m_longLine.nLine != nLine || m_longLine.nGeneration != m_nGeneration) {
            m_lineStates.ParseLineForDrawing(*this, nLine, m_longLine.aBlocks, m_longLine.nBlocks);
            m_longLine.nLine = nLine;
            m_longLine.nGeneration = m_nGeneration;
        }
        pBlocks = m_longLine.aBlocks.data();
        nBlocks = m_longLine.nBlocks;
    } else {
        m_lineStates.ParseLineForDrawing(*this, nLine, m_aBlockBuffer, nBlocks);
        pBlocks = m_aBlockBuffer.data();
    }

    const std::uint32_t crLineBkgnd =
        crBkgnd != static_cast<std::uint32_t>(-1) ? crBkgnd : GetColor(COLORINDEX_BKGND);
    int nColumn = 0;
    bool bPastRight = false;
    auto drawRun = [&](int nColorIndex, int nFrom, int nTo) {
        // Runs right of the window need no drawing (nor their columns).
        if (nTo > nFrom && !bPastRight) {
            DrawTextRun(painter, ptOrigin, nColumn, rc, nColorIndex, nLine, nFrom, nTo - nFrom, crText);
            bPastRight = ptOrigin.x() > rc.right();
        }
    };
    // Runs use the line's background; DrawTextRun reads it from the override.
    // It is filled once here, so that runs in it only draw their text.
    m_crRunBkgnd = crLineBkgnd;
    painter.fillRect(rc, ColorFromRef(crLineBkgnd));
    // A long line starts at its first visible character: the runs before it
    // are skipped whole, with their columns counted once.
    int nFirstByte = 0;
    if (bLong && m_nFirstVisibleColumn > 0) {
        const std::string_view line = GetLineChars(nLine);
        nFirstByte = SjisCharStart(line.data(), nLength, ColumnToTextCell(nLine, m_nFirstVisibleColumn));
        nColumn = TextToColumn(nLine, nFirstByte);
        ptOrigin.rx() += nColumn * GetCharWidth();
    }
    // The first block that covers nFirstByte.
    const ColorBlock *pEnd = pBlocks + nBlocks;
    const ColorBlock *pFirst = std::upper_bound(pBlocks, pEnd, nFirstByte, [](int nPos, const ColorBlock &block) {
        return nPos < block.nCharPos;
    });
    if (pFirst == pBlocks) {
        drawRun(COLORINDEX_NORMALTEXT, nFirstByte, nBlocks > 0 ? std::clamp(pBlocks[0].nCharPos, nFirstByte, nLength) : nLength);
    } else {
        --pFirst;
    }
    for (const ColorBlock *p = pFirst; p < pEnd && !bPastRight; ++p) {
        const int nFrom = std::clamp(std::max(p->nCharPos, nFirstByte), 0, nLength);
        const int nTo = p + 1 < pEnd ? std::clamp((p + 1)->nCharPos, nFrom, nLength) : nLength;
        drawRun(p->nColorIndex, nFrom, nTo);
    }

    if (bPastRight) {
        DrawBoxCells(painter, rc, nLine);
        return;
    }
    // Right of the text: the selected line end and the empty area.
    const int nLineEndX = ptOrigin.x();
    QRect rcRest = rc;
    rcRest.setLeft(std::max(rc.left(), nLineEndX));
    const bool bEndVisible = nLineEndX >= rc.left();
    if (bEndVisible && bSelShown && IsInSelection(CPoint(nLength, nLine))) {
        painter.fillRect(QRect(nLineEndX, rc.top(), nCharWidth, rc.height()),
                         ColorFromRef(GetColor(COLORINDEX_SELBKGND)));
        rcRest.setLeft(nLineEndX + nCharWidth);
    }
    painter.fillRect(rcRest, ColorFromRef(bDrawWhitespace ? crLineBkgnd : GetColor(COLORINDEX_WHITESPACE)));
    if (m_bShowLineEnds && bEndVisible)
        DrawMarkImage(painter, nCharWidth >= 8 ? 14 : 15, nLineEndX, rc);
    DrawBoxCells(painter, rc, nLine);
}

void CCrystalTextView::DrawTextRun(QPainter &painter, QPoint &ptOrigin, int &nColumn,
                                   const QRect &rcClip, int nColorIndex, int nLine, int nOffset,
                                   int nCount, std::uint32_t crTextOverride)
{
    const std::uint32_t crText =
        crTextOverride != static_cast<std::uint32_t>(-1) ? crTextOverride : GetColor(nColorIndex);
    if (!IsSelectionShown()) {
        DrawTextSegment(painter, ptOrigin, nColumn, rcClip, crText, m_crRunBkgnd, nLine, nOffset, nCount);
        return;
    }
    int nSelFrom = INT_MAX;
    int nSelTo = INT_MAX;
    if (!GetLineSelectedBytes(nLine, nSelFrom, nSelTo))
        nSelFrom = nSelTo = INT_MAX;
    const int nEnd = nOffset + nCount;
    const int nA = std::clamp(nSelFrom, nOffset, nEnd);
    const int nB = std::clamp(nSelTo, nA, nEnd);
    if (nA > nOffset)
        DrawTextSegment(painter, ptOrigin, nColumn, rcClip, crText, m_crRunBkgnd, nLine, nOffset, nA - nOffset);
    if (nB > nA)
        DrawTextSegment(painter, ptOrigin, nColumn, rcClip, GetColor(COLORINDEX_SELTEXT),
                        GetColor(COLORINDEX_SELBKGND), nLine, nA, nB - nA);
    if (nEnd > nB)
        DrawTextSegment(painter, ptOrigin, nColumn, rcClip, crText, m_crRunBkgnd, nLine, nB, nEnd - nB);
}

void CCrystalTextView::DrawTextSegment(QPainter &painter, QPoint &ptOrigin, int &nColumnInOut,
                                       const QRect &rcClip, std::uint32_t crText,
                                       std::uint32_t crBkgnd, int nLine, int nOffset, int nCount)
{
    const std::string_view line = GetLineChars(nLine);
    const int nCharWidth = GetCharWidth();
    const int nTab = m_nTabSize > 0 ? m_nTabSize : 1;
    const int nStartColumn = nColumnInOut;

    // The run's columns, to fill its background in one go.
    const int nColumn = ColumnAfter(line, nOffset, nOffset + nCount, nStartColumn, nTab, GetCellTable());
    nColumnInOut = nColumn;
    const int nColumns = nColumn - nStartColumn;
    const int nRunLeft = ptOrigin.x();
    const int nRunRight = nRunLeft + nColumns * nCharWidth;
    ptOrigin.rx() = nRunRight;
    if (nRunRight <= rcClip.left() || nRunLeft > rcClip.right())
        return;
    if (crBkgnd != m_crRunBkgnd)
        painter.fillRect(QRect(nRunLeft, ptOrigin.y(), nRunRight - nRunLeft, rcClip.height()), ColorFromRef(crBkgnd));

    CLineMarks marks;
    marks.bTabs = m_bShowTabs;
    marks.bZenSpace = m_bShowZenSpace;
    const QRect rcRow(rcClip.left(), ptOrigin.y(), rcClip.width(), rcClip.height());
    m_linePainter.DrawChars(painter, line, nOffset, nCount, nStartColumn, nRunLeft, rcRow, ColorFromRef(crText),
                            m_nTabSize, marks, m_pTextBuffer ? m_pTextBuffer->GetExtraChars() : nullptr);
}
