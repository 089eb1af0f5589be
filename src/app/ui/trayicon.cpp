#include "app/ui/trayicon.h"

#include "res/ui/menubuilder.h"

#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>

CTrayIcon::CTrayIcon(QMainWindow *pFrame, QMenu *pMenu, const std::function<void(int)> &fnCommand)
    : QObject(pFrame), m_pFrame(pFrame), m_pMenu(pMenu), m_fnCommand(fnCommand)
{
}

CTrayIcon::~CTrayIcon()
{
    delete m_pIcon;
}

void CTrayIcon::SetVisible(bool bVisible)
{
    if (bVisible && !m_pIcon) {
        // Created only when wanted: the icon talks to the desktop's tray.
        m_pIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/wrenpad.svg")));
        m_pIcon->setContextMenu(m_pMenu);
        m_pIcon->setToolTip(m_pFrame->windowTitle().left(64));
        connect(m_pIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            switch (reason) {
            case QSystemTrayIcon::Trigger:
            case QSystemTrayIcon::Context:
                RestoreFrame();
                break;
            case QSystemTrayIcon::DoubleClick:
                RestoreFrame();
                for (QAction *pAction : m_pMenu->actions())
                    if (CommandOf(pAction) != 0) {
                        m_fnCommand(CommandOf(pAction));
                        break;
                    }
                break;
            default:
                break;
            }
        });
    }
    if (m_pIcon)
        m_pIcon->setVisible(bVisible);
}

bool CTrayIcon::IsVisible() const
{
    return m_pIcon && m_pIcon->isVisible();
}

void CTrayIcon::SetTip(const QString &strTip)
{
    if (m_pIcon)
        m_pIcon->setToolTip(strTip.left(64));
}

void CTrayIcon::RestoreFrame()
{
    if (m_pFrame->isMinimized())
        m_pFrame->showNormal();
    m_pFrame->raise();
    m_pFrame->activateWindow();
}
