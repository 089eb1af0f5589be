// Painting of the text view: lines split into colour runs by the parser and
// by the selection, each character in its own cells, marks for tabs,
// full-width spaces and line ends, and the margin with bookmark images.
#include "view/crystaltextview.h"

#include "text/codec.h"
#include "text/sjis.h"
#include "view/markimages.h"
#include "view/textgeom.h"

#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <climits>

namespace {

// The "　" full-width space.
bool IsZenSpace(std::string_view line, int i)
{
    return static_cast<unsigned char>(line[static_cast<std::size_t>(i)]) == 0x81
           && static_cast<unsigned char>(line[static_cast<std::size_t>(i) + 1]) == 0x40;
}

// Whether a code point draws as a glyph of its own (not a control or a gap).
bool IsDrawable(char32_t c)
{
    return c >= 0x20 && c != 0x7F && c != CODEC_INVALID && !(c >= 0x80 && c < 0xA0);
}

} // namespace

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
    if (m_bHasFocus && !m_bCaretHidden && m_ptCaret.y < nCount
        && TextToColumn(m_ptCaret.y, m_ptCaret.x) >= m_nFirstVisibleColumn) {
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
    const QPixmap &pix = CMarkImages::Get(nImage);
    if (!pix.isNull())
        painter.drawPixmap(x, rcCell.top() + (rcCell.height() - CMarkImages::SIZE) / 2, pix);
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

    if (bPastRight)
        return;
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
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    int nSelFrom = INT_MAX;
    int nSelTo = INT_MAX;
    if (nLine >= b.y && nLine <= e.y) {
        nSelFrom = nLine == b.y ? b.x : 0;
        nSelTo = nLine == e.y ? e.x : INT_MAX;
    }
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
    int nColumn = nStartColumn;
    for (int i = nOffset; i < nOffset + nCount; ++i)
        nColumn = NextColumn(line[static_cast<std::size_t>(i)], nColumn, nTab);
    nColumnInOut = nColumn;
    const int nColumns = nColumn - nStartColumn;
    const int nRunLeft = ptOrigin.x();
    const int nRunRight = nRunLeft + nColumns * nCharWidth;
    ptOrigin.rx() = nRunRight;
    if (nRunRight <= rcClip.left() || nRunLeft > rcClip.right())
        return;
    if (crBkgnd != m_crRunBkgnd)
        painter.fillRect(QRect(nRunLeft, ptOrigin.y(), nRunRight - nRunLeft, rcClip.height()), ColorFromRef(crBkgnd));

    const int nBaseline = ptOrigin.y() + m_nAscent;
    const QColor colText = ColorFromRef(crText);
    painter.setPen(colText);

    // Characters whose glyphs fill exactly their cells go out together as one
    // string; any other is placed on its own, centred in its cells, so that
    // the columns line up whatever the font.
    // The glyphs are looked up in the font directly and put at their cells;
    // only a run with a character the font lacks goes through text layout
    // (which finds a fallback font).
    QString strBatch;
    QList<QPointF> aPositions;
    auto flush = [&]() {
        if (strBatch.isEmpty())
            return;
        QList<quint32> aGlyphs = m_rawFont.isValid() ? m_rawFont.glyphIndexesForString(strBatch) : QList<quint32>();
        if (aGlyphs.size() == aPositions.size() && !aGlyphs.contains(0)) {
            QGlyphRun run;
            run.setRawFont(m_rawFont);
            run.setGlyphIndexes(aGlyphs);
            run.setPositions(aPositions);
            painter.drawGlyphRun(QPointF(0, nBaseline), run);
        } else {
            painter.drawText(QPointF(aPositions.front().x(), nBaseline), strBatch);
        }
        strBatch.clear();
        aPositions.clear();
    };
    auto append = [&](int x, const QString &str) {
        strBatch += str;
        aPositions.append(QPointF(x, 0));
    };

    nColumn = nStartColumn;
    const int nEnd = nOffset + nCount;
    for (int i = nOffset; i < nEnd;) {
        const int x = nRunLeft + (nColumn - nStartColumn) * nCharWidth;
        const auto ch = static_cast<unsigned char>(line[static_cast<std::size_t>(i)]);
        if (ch == '\t') {
            flush();
            const int nNext = NextColumn('\t', nColumn, nTab);
            if (m_bShowTabs && x >= rcClip.left())
                DrawMarkImage(painter, nCharWidth >= 8 ? 16 : 17, x, rcClip);
            nColumn = nNext;
            ++i;
            continue;
        }
        int nBytes = SjisCharLength(line.data() + i, line.size() - static_cast<std::size_t>(i));
        nBytes = std::min(nBytes, nEnd - i);
        const int nCellsRight = x + nBytes * nCharWidth;
        if (nCellsRight <= rcClip.left() || x > rcClip.right()) {
            flush();
            nColumn += nBytes;
            i += nBytes;
            continue;
        }
        if (nBytes == 1 && ch >= 0x20 && ch < 0x7F && m_bAsciiUniform) {
            append(x, QString(QLatin1Char(static_cast<char>(ch))));
            nColumn += 1;
            i += 1;
            continue;
        }
        int nDecoded = 0;
        const char32_t c = Cp932DecodeChar(line.data() + i, static_cast<std::size_t>(nBytes), nDecoded);
        const QRect rcCells(x, ptOrigin.y(), nBytes * nCharWidth, rcClip.height());
        if (nBytes == 2 && IsZenSpace(line, i) && m_bShowZenSpace) {
            flush();
            painter.save();
            painter.setPen(QColor(0x80, 0x80, 0x80));
            painter.drawText(rcCells, Qt::AlignCenter, QStringLiteral("□"));
            painter.restore();
        } else if (IsDrawable(c)) {
            const QString str = QString::fromUcs4(&c, 1);
            if (FitsCells(c, nBytes)) {
                append(x, str);
            } else {
                flush();
                const int nAdvance = painter.fontMetrics().horizontalAdvance(str);
                painter.drawText(x + (rcCells.width() - nAdvance) / 2, nBaseline, str);
            }
        } else {
            // Control bytes, NUL and bytes that are not CP932: a visible box.
            flush();
            QColor colMark = colText;
            colMark.setAlpha(160);
            painter.setPen(colMark);
            painter.drawRect(rcCells.adjusted(1, 2, -2, -3));
            if (c == 0)
                painter.drawLine(rcCells.left() + 1, rcCells.bottom() - 3, rcCells.right() - 2, rcCells.top() + 2);
            painter.setPen(colText);
        }
        nColumn += nBytes;
        i += nBytes;
    }
    flush();
}
