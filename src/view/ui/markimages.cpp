#include "view/ui/markimages.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

QPixmap NumberedBookmark(int nDigit)
{
    QPixmap pix(CMarkImages::SIZE, CMarkImages::SIZE);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1F, 0x3A, 0x93), 1));
    p.setBrush(QColor(0x3F, 0x6F, 0xD8));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, CMarkImages::SIZE, CMarkImages::SIZE), Qt::AlignCenter, QString::number(nDigit));
    return pix;
}

QPixmap PlainBookmark()
{
    QPixmap pix(CMarkImages::SIZE, CMarkImages::SIZE);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // A ribbon: a rectangle with a notch at the bottom.
    QPainterPath path;
    path.moveTo(4, 1.5);
    path.lineTo(12, 1.5);
    path.lineTo(12, 14.5);
    path.lineTo(8, 10.5);
    path.lineTo(4, 14.5);
    path.closeSubpath();
    p.setPen(QPen(QColor(0x0A, 0x6E, 0x4F), 1));
    p.setBrush(QColor(0x22, 0xB5, 0x73));
    p.drawPath(path);
    return pix;
}

// The end-of-line mark: a return arrow, 12 or 6 pixels wide.
QPixmap LineEndMark(bool bWide)
{
    QPixmap pix(CMarkImages::SIZE, CMarkImages::SIZE);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x80, 0xC0), 1.2));
    const double r = bWide ? 10.5 : 5.5;
    const double l = 1.5;
    p.drawLine(QPointF(r, 4), QPointF(r, 10));
    p.drawLine(QPointF(r, 10), QPointF(l, 10));
    p.drawLine(QPointF(l, 10), QPointF(l + 3, 7));
    p.drawLine(QPointF(l, 10), QPointF(l + 3, 13));
    return pix;
}

// The tab mark: a right arrow, 12 or 6 pixels wide.
QPixmap TabMark(bool bWide)
{
    QPixmap pix(CMarkImages::SIZE, CMarkImages::SIZE);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1.2));
    const double r = bWide ? 11.5 : 6.5;
    p.drawLine(QPointF(1.5, 8), QPointF(r, 8));
    p.drawLine(QPointF(r, 8), QPointF(r - 3, 5));
    p.drawLine(QPointF(r, 8), QPointF(r - 3, 11));
    return pix;
}

} // namespace

const QPixmap &CMarkImages::Get(int nImage)
{
    static const std::array<QPixmap, COUNT> images = [] {
        std::array<QPixmap, COUNT> a;
        for (int n = 1; n <= 9; ++n)
            a[static_cast<std::size_t>(n + 2)] = NumberedBookmark(n);
        a[12] = NumberedBookmark(0);
        a[13] = PlainBookmark();
        a[14] = LineEndMark(true);
        a[15] = LineEndMark(false);
        a[16] = TabMark(true);
        a[17] = TabMark(false);
        return a;
    }();
    static const QPixmap empty;
    return nImage >= 0 && nImage < COUNT ? images[static_cast<std::size_t>(nImage)] : empty;
}
