// Plug-in commands in the view: the selection goes to the plug-in, and its
// results come back through the same routines as the web commands' markup.
#include "app/ui/wrenpadview.h"

#include "platform/ui/msgbox.h"
#include "plugin/plugincommand.h"
#include "plugin/pluginregistry.h"
#include "plugin/ui/appplugins.h"
#include "res/commands.h"

void CWrenpadView::RegisterPluginCommands()
{
    OnCommandRange(ID_PLUGIN_FIRST, ID_PLUGIN_LAST, [this](int nID) { RunPluginCommand(nID - ID_PLUGIN_FIRST); });
    OnUpdateRange(ID_PLUGIN_FIRST, ID_PLUGIN_LAST, [this](CCmdUI *pCmdUI) {
        pCmdUI->Enable(CanEdit() && AppPluginRegistry().GetRow(pCmdUI->GetID() - ID_PLUGIN_FIRST) != nullptr);
    });
}

void CWrenpadView::RunPluginCommand(int nRow)
{
    if (!m_pTextBuffer || !CanEdit())
        return;
    const CPluginRow *pRow = AppPluginRegistry().GetRow(nRow);
    if (!pRow || pRow->strFile.empty() || pRow->strFunction.empty())
        return;
    CWaitCursor wait;
    const bool bSelection = IsSelection();
    const std::string strSelection = bSelection ? GetSelectedText() : std::string();
    CPluginResults results;
    const EPluginRunResult eResult = ::RunPluginCommand(AppPluginFolders(), *pRow, GetDocumentPath(),
                                                        bSelection ? &strSelection : nullptr, results);
    if (eResult != PLUGIN_RUN_OK) {
        const char *pszMessage = PluginRunMessage(eResult);
        if (*pszMessage)
            MessageBox(this, QString::fromUtf8(pszMessage), QString(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    switch (PluginInsertionOf(pRow->nType)) {
    case PLUGIN_INSERT_WRAP:
        InsertTagPair(results.strFirst, results.strSecond, true, true);
        break;
    case PLUGIN_INSERT_BEFORE:
        InsertTagPair(results.strFirst, std::string(), false, true);
        break;
    case PLUGIN_INSERT_AFTER:
        InsertTagPair(std::string(), results.strFirst, false, true);
        break;
    case PLUGIN_INSERT_REPLACE:
        ReplaceSelectedText(results.strFirst, ACTION_REPLACE);
        break;
    }
}
