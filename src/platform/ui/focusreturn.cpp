#include "platform/ui/focusreturn.h"

#include <QApplication>
#include <QWidget>

CFocusReturn::CFocusReturn(QWidget *pParent)
{
    QWidget *pFocus = QApplication::focusWidget();
    if (!pFocus && pParent)
        pFocus = pParent->window()->focusWidget();
    if (!pFocus)
        pFocus = pParent;
    m_pFocus = pFocus;
    m_pWindow = pFocus ? pFocus->window() : nullptr;
}

CFocusReturn::~CFocusReturn()
{
    // The control may have gone while the dialog was open; its window then
    // gives the focus to what it holds now.
    QWidget *pFocus = m_pFocus;
    QWidget *pWindow = pFocus ? pFocus->window() : m_pWindow.data();
    if (!pWindow || !pWindow->isVisible())
        return;
    // Asked of the window system even when the toolkit still counts the
    // window as active: the X input focus may be elsewhere all the same.
    pWindow->activateWindow();
    if (pFocus && pFocus->isVisible() && pFocus->isEnabled())
        pFocus->setFocus(Qt::ActiveWindowFocusReason);
}
