#include "platform/focusreturn.h"

#include <QApplication>
#include <QWidget>

CFocusReturn::CFocusReturn(QWidget *pParent)
{
    QWidget *pFocus = QApplication::focusWidget();
    if (!pFocus && pParent)
        pFocus = pParent->window()->focusWidget();
    m_pFocus = pFocus ? pFocus : pParent;
}

CFocusReturn::~CFocusReturn()
{
    QWidget *pFocus = m_pFocus;
    if (!pFocus)
        return;
    QWidget *pWindow = pFocus->window();
    if (!pWindow->isVisible())
        return;
    // Asked of the window system even when the toolkit still counts the
    // window as active: the X input focus may be elsewhere all the same.
    pWindow->activateWindow();
    if (pFocus->isVisible() && pFocus->isEnabled())
        pFocus->setFocus(Qt::ActiveWindowFocusReason);
}
