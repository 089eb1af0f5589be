// The about box ("バージョン情報") and the splash window shown at start.
#pragma once

#include <QDialog>
#include <QWidget>

class QLabel;
class QTimer;

class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *pParent = nullptr);

private:
    void Animate();

    QLabel *m_pIcon;
    QTimer *m_pTimer;
    int m_nFrame = 0;
};

// A frameless window centred on the main window (which owns it) that closes
// itself after 1500 ms (or on a click).
class CSplashWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int SHOW_MS = 1500;
    explicit CSplashWnd(QWidget *pCentreOn);

protected:
    void paintEvent(QPaintEvent *pEvent) override;
    void mousePressEvent(QMouseEvent *pEvent) override;
};

// The program's version text, "Version 0.1.0".
QString VersionText();
