#include "ui/colorbutton.h"

#include "platform/ui/filedialogs.h"

#include <QPainter>

CColorButton::CColorButton(QWidget *pParent) : QPushButton(pParent), m_color(Qt::black), m_colorReset(Qt::black)
{
    setMinimumSize(48, 22);
    connect(this, &QPushButton::clicked, this, &CColorButton::Choose);
}

void CColorButton::SetColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
    emit ColorChanged(color);
}

void CColorButton::Choose()
{
    QColor chosen;
    if (ChooseColor(this, m_color, chosen))
        SetColor(chosen);
}

void CColorButton::paintEvent(QPaintEvent *pEvent)
{
    QPushButton::paintEvent(pEvent);
    QPainter painter(this);
    const QRect rc = rect().adjusted(6, 5, -6, -5);
    painter.fillRect(rc, m_color);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rc.adjusted(0, 0, -1, -1));
}
