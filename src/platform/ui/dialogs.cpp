#include "platform/ui/dialogs.h"

#include "platform/ui/focusreturn.h"

#include <QDialog>

namespace {

std::function<int(QDialog *)> &Hook()
{
    static std::function<int(QDialog *)> hook;
    return hook;
}

} // namespace

int ExecDialog(QDialog *pDialog)
{
    const CFocusReturn focus(pDialog->parentWidget());
    if (Hook())
        return Hook()(pDialog);
    return pDialog->exec();
}

void SetDialogHook(std::function<int(QDialog *)> hook)
{
    Hook() = std::move(hook);
}
