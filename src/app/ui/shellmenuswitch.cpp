#include "app/ui/shellmenuswitch.h"

#include "platform/shellmenu.h"
#include "platform/ui/msgbox.h"
#include "platform/userfolders.h"

#include <QCoreApplication>
#include <QString>

#include <cstdlib>

namespace {

unsigned KindsHere()
{
    const char *pszPath = std::getenv("PATH");
    return pszPath ? DetectShellMenuKinds(pszPath) : 0;
}

} // namespace

bool IsShellMenuSupported()
{
    return KindsHere() != 0;
}

bool ApplyShellMenuSwitch(bool bOn, QWidget *pParent, bool bQuiet)
{
    const std::string strData = UserDataFolder();
    const unsigned nKinds = bOn ? KindsHere() : 0;
    if (nKinds == 0) {
        if (RemoveShellMenu(strData))
            return false;
        if (!bQuiet)
            MessageBox(pParent, QStringLiteral("ファイルマネージャーのメニューから削除できませんでした。"),
                       QStringLiteral("エラー"), MB_OK | MB_ICONEXCLAMATION);
        return InstalledShellMenuKinds(strData) != 0;
    }
    std::string strError;
    if (InstallShellMenu(strData, QCoreApplication::applicationFilePath().toStdString(), nKinds, strError))
        return true;
    if (!bQuiet)
        MessageBox(pParent,
                   QStringLiteral("ファイルマネージャーのメニューに追加できませんでした。\n")
                       + QString::fromStdString(strError),
                   QStringLiteral("エラー"), MB_OK | MB_ICONEXCLAMATION);
    return false;
}
