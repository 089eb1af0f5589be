// The menu resources: the main menus (128 without a document window, 129
// with one), the editing view's context menu (134) and the drop-down menus of
// the tool bar buttons (161). Each is a flat list in which MENU_POPUP opens a
// pop-up that the matching MENU_END closes, as a resource script would write it.
#pragma once

#include <cstddef>

enum EMenuEntryKind
{
    MENU_ITEM,
    MENU_SEPARATOR,
    MENU_POPUP,
    MENU_END,
};

struct CMenuEntry
{
    EMenuEntryKind eKind;
    int nID;              // the command of an item, 0 otherwise
    const char *pszText;  // UTF-8 label; "\t" separates the key shown beside it
};

struct CMenuResource
{
    int nID;
    const CMenuEntry *pEntries;
    std::size_t nCount;
};

enum
{
    IDR_MAINFRAME = 128,
    IDR_WRENPADTYPE = 129,
    IDR_CONTEXT_MENU = 134,
    IDR_WEB_DROPDOWN = 161,
};

// The menu resource with the given id, or null.
const CMenuResource *FindMenuResource(int nID);
