// The tray icon: a click brings the main window back, a double click runs the
// first command of its menu, the right button opens the menu.
#pragma once

#include <QObject>

#include <functional>

class QMainWindow;
class QMenu;
class QSystemTrayIcon;

class CTrayIcon : public QObject
{
    Q_OBJECT

public:
    // The menu stays the caller's.
    CTrayIcon(QMainWindow *pFrame, QMenu *pMenu, const std::function<void(int)> &fnCommand);
    ~CTrayIcon() override;

    void SetVisible(bool bVisible);
    bool IsVisible() const;
    void SetTip(const QString &strTip);

private:
    void RestoreFrame();

    QMainWindow *m_pFrame;
    QMenu *m_pMenu;
    QSystemTrayIcon *m_pIcon = nullptr;
    std::function<void(int)> m_fnCommand;
};
