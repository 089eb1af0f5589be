#include "platform/dialogs.h"

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
    if (Hook())
        return Hook()(pDialog);
    return pDialog->exec();
}

void SetDialogHook(std::function<int(QDialog *)> hook)
{
    Hook() = std::move(hook);
}
