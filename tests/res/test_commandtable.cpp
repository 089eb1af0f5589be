// The command table against the menus, tool bars, status panes and key
// tables built from it: every id in use has exactly one row, no key runs two
// commands, and what a label promises is true.
#include "commandwalk.h"

#include "res/commands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string_view>

namespace {

// The keys a label shows after its tab, in the key table's spelling. The web
// menu writes Ctrl+Shift as "CtSh" and two keys as "Ctrl+K/E"; "Delete" and
// "Enter" are the old names of Del and Return.
std::vector<std::string> ShownKeys(std::string_view label)
{
    const std::size_t nTab = label.find('\t');
    if (nTab == std::string_view::npos)
        return {};
    std::string text(label.substr(nTab + 1));
    if (text.starts_with("CtSh+"))
        text = "Ctrl+Shift+" + text.substr(5);
    const std::size_t nPlus = text.rfind('+', text.size() - 2);
    const std::string prefix = nPlus == std::string::npos ? std::string() : text.substr(0, nPlus + 1);
    std::string_view keys = std::string_view(text).substr(prefix.size());
    std::vector<std::string> aKeys;
    while (!keys.empty()) {
        const std::size_t nSlash = keys.size() > 1 ? keys.find('/') : std::string_view::npos;
        std::string key(keys.substr(0, nSlash));
        if (key == "Delete")
            key = "Del";
        else if (key == "Enter")
            key = "Return";
        aKeys.push_back(prefix + key);
        if (nSlash == std::string_view::npos)
            break;
        keys.remove_prefix(nSlash + 1);
    }
    return aKeys;
}

// Key -> the commands it runs in one table.
std::map<std::string, std::vector<int>> KeyTable(unsigned nScope)
{
    std::map<std::string, std::vector<int>> table;
    ForEachCommandKey(nScope, [&table](std::string_view key, int nID) { table[std::string(key)].push_back(nID); });
    return table;
}

std::string NameOf(int nID)
{
    const CCommandInfo *pInfo = FindCommandInfo(nID);
    return pInfo ? pInfo->pszName : std::to_string(nID) + " (no row)";
}

} // namespace

TEST(CommandTable, EveryIdHasExactlyOneNamedRow)
{
    std::map<int, std::string> mapOwner;
    std::set<std::string> names;
    for (const CCommandInfo &info : CommandTable()) {
        EXPECT_LE(info.nID, info.nLast) << info.pszName;
        EXPECT_TRUE(std::string_view(info.pszName).starts_with("ID_")) << info.pszName;
        EXPECT_TRUE(names.insert(info.pszName).second) << "two rows named " << info.pszName;
        for (int nID = info.nID; nID <= info.nLast; ++nID) {
            auto [it, bNew] = mapOwner.emplace(nID, info.pszName);
            EXPECT_TRUE(bNew) << nID << " is in the rows " << it->second << " and " << info.pszName;
        }
        // A range shares its texts; keys would run only its first command.
        EXPECT_TRUE(!info.pszKeys || info.nLast == info.nID) << info.pszName << " is a range with keys";
        EXPECT_TRUE(!info.pszKeys || (info.nFlags & (CMD_KEYS_VIEW | CMD_KEYS_FRAME)) != 0)
            << info.pszName << " has keys in no table";
    }
    for (const int nID : UsedCommandIds())
        EXPECT_NE(FindCommandInfo(nID), nullptr) << nID << " is used but has no row";
    EXPECT_EQ(FindCommandInfo(0), nullptr);
}

TEST(CommandTable, NoKeyRunsTwoCommands)
{
    const auto view = KeyTable(CMD_KEYS_VIEW);
    const auto frame = KeyTable(CMD_KEYS_FRAME);
    for (const auto *pTable : {&view, &frame})
        for (const auto &[key, ids] : *pTable)
            EXPECT_EQ(ids.size(), 1u) << key << " is bound to " << NameOf(ids[0]) << " and " << NameOf(ids.back());
    // The view takes its own keys before the window sees them, so a key in
    // both tables must mean the same there, or the window's command is lost
    // whenever the text has the focus.
    for (const auto &[key, ids] : frame) {
        auto it = view.find(key);
        if (it != view.end()) {
            EXPECT_EQ(it->second, ids) << key << " runs " << NameOf(it->second[0]) << " in the view but "
                                       << NameOf(ids[0]) << " in the window";
        }
    }
    // The keys everybody relies on are where they should be.
    EXPECT_EQ(view.at("Ctrl+C"), std::vector<int>{ID_EDIT_COPY});
    EXPECT_EQ(view.at("Shift+Tab"), std::vector<int>{ID_EDIT_UNTAB});
    EXPECT_EQ(frame.at("Ctrl+K"), frame.at("Ctrl+E"));
    EXPECT_EQ(frame.at("Ctrl+S"), std::vector<int>{ID_FILE_SAVE});
}

TEST(CommandTable, TheKeyALabelShowsRunsItsCommandAndEveryItemWithKeysShowsOne)
{
    EXPECT_EQ(ShownKeys("太字(&B)\tCtSh+B"), std::vector<std::string>{"Ctrl+Shift+B"});
    EXPECT_EQ(ShownKeys("ﾀｸﾞ繰り返し(K)\tCtrl+K/E"), (std::vector<std::string>{"Ctrl+K", "Ctrl+E"}));
    EXPECT_EQ(ShownKeys("対応括弧(&C)\tCtrl+]"), std::vector<std::string>{"Ctrl+]"});
    EXPECT_EQ(ShownKeys("削除(&D)\tDelete"), std::vector<std::string>{"Del"});

    const auto view = KeyTable(CMD_KEYS_VIEW);
    const auto frame = KeyTable(CMD_KEYS_FRAME);
    auto runs = [&](const std::string &key, int nID) {
        for (const auto *pTable : {&view, &frame}) {
            auto it = pTable->find(key);
            if (it != pTable->end() && it->second == std::vector<int>{nID})
                return true;
        }
        return false;
    };
    int nChecked = 0;
    int nWithKeys = 0;
    WalkMenus(
        [&](const CShownItem &item) {
            EXPECT_FALSE(item.strLabel.empty()) << item.strWhere << ": " << NameOf(item.nID) << " has no label";
            const CCommandInfo *pInfo = FindCommandInfo(item.nID);
            if (pInfo && pInfo->pszKeys && (pInfo->nFlags & (CMD_KEYS_VIEW | CMD_KEYS_FRAME)) != 0) {
                EXPECT_FALSE(ShownKeys(item.strLabel).empty())
                    << item.strWhere << ": \"" << item.strLabel << "\" shows none of " << pInfo->pszKeys;
                ++nWithKeys;
            }
            for (const std::string &key : ShownKeys(item.strLabel)) {
                // The desktop closes the whole window on Alt+F4; the file
                // menu has always shown it beside "閉じる".
                if (key == "Alt+F4" && item.nID == ID_FILE_CLOSE)
                    continue;
                EXPECT_TRUE(runs(key, item.nID))
                    << item.strWhere << ": \"" << item.strLabel << "\" shows " << key << ", which does not run "
                    << NameOf(item.nID);
                ++nChecked;
            }
        },
        [&](const std::string &strWhere, const std::string &strTitle) {
            // A pop-up shows the key of the command its items vary.
            for (const std::string &key : ShownKeys(strTitle))
                EXPECT_TRUE(frame.count(key) || view.count(key)) << strWhere << ": \"" << strTitle << "\"";
        });
    EXPECT_GT(nChecked, 40);
    EXPECT_GT(nWithKeys, 40);
}

TEST(CommandTable, ButtonsAndPanesHaveWhatTheyShow)
{
    for (const CToolBarResource &bar : ToolBarResources())
        for (const int nID : bar.buttons) {
            if (nID == 0)
                continue;
            const CCommandInfo *pInfo = FindCommandInfo(nID);
            ASSERT_NE(pInfo, nullptr) << nID;
            EXPECT_NE(pInfo->pszIcon, nullptr) << bar.nID << ": " << pInfo->pszName << " has no icon";
            EXPECT_NE(pInfo->pszTip, nullptr) << bar.nID << ": " << pInfo->pszName << " has no tool tip";
            EXPECT_NE(pInfo->pszPrompt, nullptr) << bar.nID << ": " << pInfo->pszName << " has no prompt";
        }
    // An indicator without text would show an empty pane while on; the
    // position and line-end panes take their text from the view, the
    // character-code pane from the document.
    for (const CStatusPane &pane : StatusPanes()) {
        if (pane.nID == 0 || pane.nID == ID_EDIT_INDICATOR_POSITION || pane.nID == ID_EDIT_INDICATOR_CRLF
            || pane.nID == ID_INDICATOR_FILECODE)
            continue;
        const CCommandInfo *pInfo = FindCommandInfo(pane.nID);
        ASSERT_NE(pInfo, nullptr) << pane.nID;
        EXPECT_NE(pInfo->pszLabel, nullptr) << pInfo->pszName;
    }
}
