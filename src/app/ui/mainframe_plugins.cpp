// The plug-ins in the main window: found once when the bars are restored,
// their commands behind the separator after the table conversion in the web
// menu's tool pop-up, their descriptions behind the one after the version
// information in the help menu, and the clickable-map item only where the
// image-map plug-in loads.
#include "app/ui/mainframe.h"

#include "platform/ui/msgbox.h"
#include "plugin/pluginlibrary.h"
#include "plugin/pluginregistry.h"
#include "plugin/ui/appplugins.h"
#include "res/commands.h"
#include "res/ui/menubuilder.h"
#include "text/ui/codec_qt.h"

#include <QAction>
#include <QMenu>

namespace {

// Replaces what stands from two places after the anchor's item to the end of
// its pop-up with one item per plug-in command; a pop-up that ends with the
// anchor gets the separator first.
void FillPluginItems(QMenu *pTop, int nAnchor, int nFirstID, const CommandFn &fnCommand)
{
    QAction *pAnchor = FindCommandAction(pTop, nAnchor);
    auto *pMenu = pAnchor ? qobject_cast<QMenu *>(pAnchor->parent()) : nullptr;
    if (!pMenu)
        return;
    const QList<QAction *> actions = pMenu->actions();
    const int nAt = static_cast<int>(actions.indexOf(pAnchor));
    for (int i = nAt + 2; i < actions.size(); ++i) {
        pMenu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const CPluginRegistry &registry = AppPluginRegistry();
    if (registry.GetCount() == 0)
        return;
    if (nAt + 1 >= actions.size())
        pMenu->addSeparator();
    for (int i = 0; i < registry.GetCount() && i < PLUGIN_COMMAND_LIMIT; ++i)
        pMenu->addAction(
            MakeCommandAction(nFirstID + i, Cp932ToQString(registry.GetRow(i)->strMenuText), pMenu, fnCommand));
}

} // namespace

void CMainFrame::RegisterPluginCommands()
{
    OnCommandRange(ID_PLUGIN_HELP_FIRST, ID_PLUGIN_HELP_LAST, [this](int nID) { ShowPluginHelp(nID); });
    OnUpdateRange(ID_PLUGIN_HELP_FIRST, ID_PLUGIN_HELP_LAST, [](CCmdUI *pCmdUI) {
        pCmdUI->Enable(AppPluginRegistry().GetRow(pCmdUI->GetID() - ID_PLUGIN_HELP_FIRST) != nullptr);
    });
}

void CMainFrame::LoadPlugins()
{
    CPluginRegistry &registry = AppPluginRegistry();
    const std::vector<std::string> aFolders = AppPluginFolders();
    registry.Clear();
    registry.Discover(aFolders);
    m_bImageMapPlugin = CanLoadImageMapPlugin(aFolders);
    for (QMenu *pMenu : m_aMenu128 + m_aMenu129)
        AddPluginItems(pMenu);
}

void CMainFrame::AddPluginItems(QMenu *pMenu)
{
    const CommandFn fnCommand = [this](int nID) { ExecuteCommand(nID); };
    if (!m_bImageMapPlugin) {
        while (QAction *pImageMap = FindCommandAction(pMenu, ID_WEB_IMAGE_MAP)) {
            auto *pHolder = qobject_cast<QMenu *>(pImageMap->parent());
            if (!pHolder)
                break;
            pHolder->removeAction(pImageMap);
            pImageMap->deleteLater();
        }
    }
    FillPluginItems(pMenu, ID_TABLE_TO_CSV, ID_PLUGIN_FIRST, fnCommand);
    FillPluginItems(pMenu, ID_APP_ABOUT, ID_PLUGIN_HELP_FIRST, fnCommand);
}

void CMainFrame::ShowPluginHelp(int nID)
{
    const CPluginRow *pRow = AppPluginRegistry().GetRow(nID - ID_PLUGIN_HELP_FIRST);
    if (!pRow)
        return;
    MessageBox(this, Cp932ToQString(pRow->strDescription), Cp932ToQString(pRow->strMenuText), MB_OK | MB_ICONQUESTION);
}
