// Gives the keyboard focus back to the window and control that had it when a
// modal dialog or message box opened, once it has closed. Without a window
// manager nobody else does: the closed dialog's window keeps the X input
// focus, no window of ours is active, and keys go nowhere until the user
// clicks. Every door that runs a modal dialog (dialogs.h, msgbox.h,
// filedialogs.h, the progress dialogs) holds one for the dialog's life, so
// no command handler has to remember it.
#pragma once

#include <QPointer>

class QWidget;

class CFocusReturn
{
public:
    // Remembers the control with the keyboard focus; when no window of ours
    // is active, the one pParent's window last gave it to, or pParent.
    explicit CFocusReturn(QWidget *pParent);
    // Activates that control's window and gives the control the focus, if
    // both are still shown; when the control is gone, the window alone.
    ~CFocusReturn();
    CFocusReturn(const CFocusReturn &) = delete;
    CFocusReturn &operator=(const CFocusReturn &) = delete;

private:
    QPointer<QWidget> m_pFocus;
    QPointer<QWidget> m_pWindow;
};
