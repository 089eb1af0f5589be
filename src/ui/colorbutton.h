// A button that shows a colour, lets the user pick another and remembers a
// reset colour.
#pragma once

#include <QColor>
#include <QPushButton>

class CColorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CColorButton(QWidget *pParent = nullptr);

    QColor GetColor() const { return m_color; }
    void SetColor(const QColor &color);
    QColor GetResetColor() const { return m_colorReset; }
    void SetResetColor(const QColor &color) { m_colorReset = color; }
    // Back to the reset colour.
    void Reset() { SetColor(m_colorReset); }

signals:
    void ColorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *pEvent) override;

private:
    void Choose();

    QColor m_color;
    QColor m_colorReset;
};
