// The menu layouts: the main menus (128 without a document window, 129 with
// one), the editing view's context menu (134), the drop-down menus of the
// tool-bar buttons (161) and the explorer pane's context menu (168). A layout lists command ids, separators and pop-ups;
// labels and prompts come from the command table. A pop-up is defined once
// and referred to from every menu that shows it, so the web menu of the menu
// bar and of the context menu are the same definition.
#pragma once

#include <span>

enum
{
    IDR_MAINFRAME = 128,
    IDR_WRENPADTYPE = 129,
    IDR_CONTEXT_MENU = 134,
    IDR_WEB_DROPDOWN = 161,
    IDR_DIRLIST_MENU = 168,
};

// The pop-ups of the context menu: the menu itself, and the two that are put
// on top of it under "開く(&O)" when the selection names a URL or a file.
enum
{
    CONTEXT_POPUP_MENU = 0,
    CONTEXT_POPUP_URL = 1,
    CONTEXT_POPUP_FILE = 2,
};

enum EMenuItemKind
{
    MENU_COMMAND,
    MENU_SEPARATOR,
    MENU_POPUP,
};

struct CMenuPopup;

struct CMenuItem
{
    EMenuItemKind eKind;
    int nID;                   // MENU_COMMAND
    const CMenuPopup *pPopup;  // MENU_POPUP
    // This menu's own text where it differs from the command's label or the
    // pop-up's title; null for the usual one.
    const char *pszLabel;
};

struct CMenuPopup
{
    const char *pszTitle;  // UTF-8; "\t" separates a key shown beside it
    std::span<const CMenuItem> items;
};

struct CMenuResource
{
    int nID;
    std::span<const CMenuItem> items;  // the top-level pop-ups
};

constexpr CMenuItem MenuCommand(int nID, const char *pszLabel = nullptr)
{
    return {MENU_COMMAND, nID, nullptr, pszLabel};
}

constexpr CMenuItem MenuPopup(const CMenuPopup &popup, const char *pszTitle = nullptr)
{
    return {MENU_POPUP, 0, &popup, pszTitle};
}

constexpr CMenuItem MENU_SEP = {MENU_SEPARATOR, 0, nullptr, nullptr};

// The menu resource with the given id, or null.
const CMenuResource *FindMenuResource(int nID);

// Every menu resource.
std::span<const CMenuResource> MenuResources();
