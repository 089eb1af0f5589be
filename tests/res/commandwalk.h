// Walks over every place a command id is used: menu items and pop-up titles
// of every menu layout, tool-bar buttons, status panes and both key tables.
#pragma once

#include "res/commandtable.h"
#include "res/menus.h"
#include "res/toolbars.h"

#include <functional>
#include <string>
#include <vector>

// One menu item as it will be shown: its id and the text this menu gives it.
struct CShownItem
{
    std::string strWhere;  // "129/編集(&E)/検索(&F)"
    int nID;
    std::string strLabel;  // the override, else the row's label ("" for none)
};

inline void WalkPopup(const CMenuPopup &popup, const std::string &strWhere,
                      const std::function<void(const CShownItem &)> &fnItem,
                      const std::function<void(const std::string &, const std::string &)> &fnPopupTitle)
{
    for (const CMenuItem &item : popup.items) {
        if (item.eKind == MENU_POPUP) {
            const std::string strTitle = item.pszLabel ? item.pszLabel : item.pPopup->pszTitle;
            fnPopupTitle(strWhere, strTitle);
            WalkPopup(*item.pPopup, strWhere + "/" + strTitle, fnItem, fnPopupTitle);
        } else if (item.eKind == MENU_COMMAND) {
            const CCommandInfo *pInfo = FindCommandInfo(item.nID);
            const char *pszLabel = item.pszLabel ? item.pszLabel : pInfo ? pInfo->pszLabel : nullptr;
            fnItem({strWhere, item.nID, pszLabel ? pszLabel : ""});
        }
    }
}

// Every command item of every menu layout; fnPopupTitle sees every pop-up title.
inline void WalkMenus(const std::function<void(const CShownItem &)> &fnItem,
                      const std::function<void(const std::string &, const std::string &)> &fnPopupTitle =
                          [](const std::string &, const std::string &) {})
{
    for (const CMenuResource &menu : MenuResources()) {
        const CMenuPopup top = {"", menu.items};
        WalkPopup(top, std::to_string(menu.nID), fnItem, fnPopupTitle);
    }
}

// Every id that a menu, tool bar, status pane or key table uses.
inline std::vector<int> UsedCommandIds()
{
    std::vector<int> aIDs;
    WalkMenus([&aIDs](const CShownItem &item) { aIDs.push_back(item.nID); });
    for (const CToolBarResource &bar : ToolBarResources())
        for (const int nID : bar.buttons)
            if (nID != 0)
                aIDs.push_back(nID);
    for (const CStatusPane &pane : StatusPanes())
        if (pane.nID != 0)
            aIDs.push_back(pane.nID);
    ForEachCommandKey(CMD_KEYS_VIEW | CMD_KEYS_FRAME, [&aIDs](std::string_view, int nID) { aIDs.push_back(nID); });
    return aIDs;
}
