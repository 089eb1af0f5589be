#include "view/ui/linepainter.h"

#include "text/codec.h"
#include "text/extrachars.h"
#include "text/sjis.h"
#include "view/textgeom.h"
#include "view/ui/markimages.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>

#include <algorithm>

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

const QString &ColourEmojiFamily()
{
    static const QString strFamily = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString &strName : families) {
            if (strName.contains(QLatin1String("Color Emoji"), Qt::CaseInsensitive)
                || strName.contains(QLatin1String("Colour Emoji"), Qt::CaseInsensitive))
                return strName;
        }
        return QString();
    }();
    return strFamily;
}

} // namespace

void CLinePainter::SetFont(const QFont &font, const QPaintDevice *pDevice)
{
    m_font = font;
    // QFontMetrics wants a non-const device, but only reads its resolution.
    m_metrics = pDevice ? QFontMetrics(font, const_cast<QPaintDevice *>(pDevice)) : QFontMetrics(font);
    m_nLineHeight = std::max(1, m_metrics.height());
    m_nCharWidth = std::max(1, m_metrics.horizontalAdvance(QLatin1Char('X')));
    m_nAscent = m_metrics.ascent();
    m_rawFont = QRawFont::fromFont(font);
    m_bAsciiUniform = true;
    for (char c = 0x20; c < 0x7F && m_bAsciiUniform; ++c)
        m_bAsciiUniform = m_metrics.horizontalAdvance(QLatin1Char(c)) == m_nCharWidth;
    m_fitsCells.clear();

    // The emoji font is found when the first emoji is drawn: most documents
    // have none, and opening it takes a while.
    m_emojiFont.reset();
    m_bEmojiFontKnown = false;
}

const QFont *CLinePainter::EmojiFont() const
{
    if (!m_bEmojiFontKnown) {
        m_bEmojiFontKnown = true;
        if (!ColourEmojiFamily().isEmpty()) {
            QFont emoji = m_font;
            emoji.setFamilies({ColourEmojiFamily()});
            // Measured on the screen: the ratio of the two is the same on any device.
            const qreal dCells = 2 * QFontMetricsF(m_font).horizontalAdvance(QLatin1Char('X'));
            const qreal dAdvance = QFontMetricsF(emoji).horizontalAdvance(QString::fromUcs4(U"\U0001F600", 1));
            if (dAdvance > dCells) {
                const double dScale = dCells / dAdvance;
                if (emoji.pixelSize() > 0)
                    emoji.setPixelSize(std::max(1, static_cast<int>(emoji.pixelSize() * dScale)));
                else
                    emoji.setPointSizeF(emoji.pointSizeF() * dScale);
            }
            m_emojiFont = emoji;
        }
    }
    return m_emojiFont ? &*m_emojiFont : nullptr;
}

bool CLinePainter::FitsCells(char32_t c, int nCells) const
{
    auto it = m_fitsCells.constFind(c);
    if (it != m_fitsCells.constEnd())
        return *it != 0;
    const bool bFits = m_metrics.horizontalAdvance(QString::fromUcs4(&c, 1)) == nCells * m_nCharWidth;
    m_fitsCells.insert(c, bFits ? 1 : 0);
    return bFits;
}

void CLinePainter::DrawMarkImage(QPainter &painter, int nImage, int x, const QRect &rcCell)
{
    const QPixmap &pix = CMarkImages::Get(nImage);
    if (!pix.isNull())
        painter.drawPixmap(x, rcCell.top() + (rcCell.height() - CMarkImages::SIZE) / 2, pix);
}

void CLinePainter::DrawChars(QPainter &painter, std::string_view line, int nOffset, int nCount, int nColumn,
                             int nLeft, const QRect &rcRow, const QColor &colText, int nTabSize, CLineMarks marks,
                             const CExtraChars *pExtra) const
{
    const int nTab = nTabSize > 0 ? nTabSize : 1;
    const int nStartColumn = nColumn;
    const int nTop = rcRow.top();
    const int nBaseline = nTop + m_nAscent;
    painter.setPen(colText);

    // Characters whose glyphs fill exactly their cells go out together as one
    // glyph run, looked up in the font directly and put at their cells; only
    // a run with a character the font lacks goes through text layout (which
    // finds a fallback font). Any other character is placed on its own,
    // centred in its cells, so that the columns line up whatever the font.
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

    const int nEnd = nOffset + nCount;
    for (int i = nOffset; i < nEnd;) {
        const int x = nLeft + (nColumn - nStartColumn) * m_nCharWidth;
        const auto ch = static_cast<unsigned char>(line[static_cast<std::size_t>(i)]);
        if (ch == '\t') {
            flush();
            const int nNext = NextColumn('\t', nColumn, nTab);
            if (marks.bTabs && x >= rcRow.left())
                DrawMarkImage(painter, m_nCharWidth >= 8 ? 16 : 17, x, rcRow);
            nColumn = nNext;
            ++i;
            continue;
        }
        int nBytes = SjisCharLength(line.data() + i, line.size() - static_cast<std::size_t>(i));
        nBytes = std::min(nBytes, nEnd - i);
        const int nCells = CharCells(line.data() + i, nBytes, pExtra);
        const int nCellsRight = x + nCells * m_nCharWidth;
        if (nCellsRight <= rcRow.left() || x > rcRow.right()) {
            flush();
            nColumn += nCells;
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
        const auto trail = nBytes == 2 ? static_cast<unsigned char>(line[static_cast<std::size_t>(i) + 1]) : 0;
        char32_t c = nBytes == 2 && pExtra ? pExtra->CharOf(ch, trail) : 0;
        if (c == 0)
            c = Cp932DecodeChar(line.data() + i, static_cast<std::size_t>(nBytes), nDecoded);
        const QRect rcCells(x, nTop, nCells * m_nCharWidth, rcRow.height());
        if (nBytes == 2 && marks.bZenSpace && IsZenSpace(line, i)) {
            flush();
            painter.save();
            painter.setPen(QColor(0x80, 0x80, 0x80));
            painter.drawText(rcCells, Qt::AlignCenter, QStringLiteral("□"));
            painter.restore();
        } else if (IsDrawable(c)) {
            const QString str = QString::fromUcs4(&c, 1);
            const QFont *pEmojiFont = IsEmojiPicture(c) ? EmojiFont() : nullptr;
            if (pEmojiFont) {
                flush();
                painter.save();
                painter.setFont(*pEmojiFont);
                painter.drawText(rcCells, Qt::AlignCenter, str);
                painter.restore();
            } else if (FitsCells(c, nCells)) {
                append(x, str);
            } else {
                flush();
                const int nAdvance = m_metrics.horizontalAdvance(str);
                painter.drawText(x + (rcCells.width() - nAdvance) / 2, nBaseline, str);
            }
        } else {
            // Control bytes, NUL and bytes that are not CP932: a visible box.
            // Its lines grow with the cell, so that a printer page shows them too.
            flush();
            const int s = std::max(1, m_nCharWidth / 9);
            QColor colMark = colText;
            colMark.setAlpha(160);
            painter.setPen(QPen(colMark, s));
            painter.drawRect(rcCells.adjusted(s, 2 * s, -2 * s, -3 * s));
            if (c == 0)
                painter.drawLine(rcCells.left() + s, rcCells.bottom() - 3 * s, rcCells.right() - 2 * s,
                                 rcCells.top() + 2 * s);
            painter.setPen(colText);
        }
        nColumn += nCells;
        i += nBytes;
    }
    flush();
}
