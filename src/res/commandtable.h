// The command table: one row per command id, holding everything the user sees
// of the command — its menu label, the keys that run it and in which key table
// they sit, its status-bar prompt, its tool tip and its tool-bar icon. Menus,
// tool bars, both key tables and the status bar are built from these rows;
// menu and tool-bar layouts (res/menus.cpp, res/toolbars.cpp) list ids only.
// The table knows nothing of handlers, which live with the command targets.
//
// Adding a command:
//   1. its id in res/commands.h and one CMD row in res/commandtable.cpp
//      (while nothing handles it yet, the row carries CMD_NOT_BUILT; its menu
//      items and buttons show disabled and its keys do nothing);
//   2. its place in a menu or tool bar, by id, if it has one;
//   3. one handler registered with CCmdTarget::OnCommand (or OnCommandRange),
//      plus OnUpdate where it is enabled, checked or relabelled by state, on
//      the target that owns it (view, document, child frame, main frame or
//      application); then drop CMD_NOT_BUILT from its row.
// The tests under tests/res check that every id in use has exactly one row,
// that no key runs two commands in one table, that every menu item and button
// has a handler or is marked not built (and that no mark is stale), and that
// the keys a label shows are bound to it.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

enum ECommandFlags : unsigned
{
    // The keys of the row belong to the text view's own table, which the view
    // consults before the window sees the key.
    CMD_KEYS_VIEW = 1u << 0,
    // The keys of the row belong to the main window's table: they work
    // wherever the keyboard focus is in the window.
    CMD_KEYS_FRAME = 1u << 1,
    // Shown in menus, tool bars or key tables, but no handler is written yet.
    CMD_NOT_BUILT = 1u << 2,
};

struct CCommandInfo
{
    int nID;
    // The row covers nID..nLast; the same as nID for a single command.
    int nLast;
    // The enum constant of the id, for listings and messages.
    const char *pszName;
    // The menu label as the program shows it, UTF-8; "\t" separates the key
    // shown beside it. A menu may override it (res/menus.h). For a status-bar
    // indicator, the text it shows while on. Null: no label.
    const char *pszLabel;
    // What the status bar says while the item or button is highlighted.
    const char *pszPrompt;
    // The tool tip of its tool-bar button.
    const char *pszTip;
    // The name of its icon in the resources (":/icons/NAME.svg").
    const char *pszIcon;
    // Keys in the toolkit's portable form, separated by blanks ("Ctrl+C Ctrl+Ins").
    const char *pszKeys;
    unsigned nFlags;

    bool IsBuilt() const { return (nFlags & CMD_NOT_BUILT) == 0; }
};

// Every row, ordered by area as the table is written.
std::span<const CCommandInfo> CommandTable();

// The row that covers the id, or null.
const CCommandInfo *FindCommandInfo(int nID);

// Calls fn(key, nID) for every key of every row whose keys belong to the
// given table (CMD_KEYS_VIEW or CMD_KEYS_FRAME), in table order. Range rows
// carry no keys.
template <typename Fn>
void ForEachCommandKey(unsigned nScope, Fn &&fn)
{
    for (const CCommandInfo &info : CommandTable()) {
        if ((info.nFlags & nScope) == 0 || !info.pszKeys)
            continue;
        std::string_view keys(info.pszKeys);
        while (!keys.empty()) {
            const std::size_t nBlank = keys.find(' ');
            const std::string_view key = keys.substr(0, nBlank);
            if (!key.empty())
                fn(key, info.nID);
            if (nBlank == std::string_view::npos)
                break;
            keys.remove_prefix(nBlank + 1);
        }
    }
}
