#include "platform/ui/msgbox.h"

#include "platform/ui/focusreturn.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MsgBoxHook &Hook()
{
    static MsgBoxHook hook;
    return hook;
}

std::function<void()> &BeepHookFn()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void SetMessageBoxHook(MsgBoxHook hook)
{
    Hook() = std::move(hook);
}

void SetBeepHook(std::function<void()> hook)
{
    BeepHookFn() = std::move(hook);
}

int MessageBox(QWidget *pParent, const QString &strText, const QString &strCaption, unsigned nStyle)
{
    const CFocusReturn focus(pParent);
    const QString strTitle = strCaption.isEmpty() ? QStringLiteral("Wrenpad") : strCaption;
    if (Hook())
        return Hook()(CMsgBoxRequest{strText, strTitle, nStyle});

    QMessageBox box(pParent);
    box.setWindowTitle(strTitle);
    // Messages quote the user's text, tags included: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(strText);
    switch (nStyle & 0xF0) {
    case MB_ICONSTOP:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons buttons;
    switch (nStyle & 0xF) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    default:
        buttons = QMessageBox::Ok;
        break;
    }
    box.setStandardButtons(buttons);
    if (nStyle & MB_DEFBUTTON2) {
        if (buttons & QMessageBox::No)
            box.setDefaultButton(QMessageBox::No);
        else if (buttons & QMessageBox::Cancel)
            box.setDefaultButton(QMessageBox::Cancel);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

void Beep()
{
    if (BeepHookFn())
        BeepHookFn()();
    else
        QApplication::beep();
}

CWaitCursor::CWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor()
{
    QApplication::restoreOverrideCursor();
}
