// The web menu file WpWebMnu.ini: extra items of the tag menu, each one a text
// inserted at the caret or a pair that wraps the selection.
//
//     # a comment; empty lines are passed over too
//     見出し/                     a line ending in "/" without ":" sets a path prefix
//     h:<h1>\t</h1>;<h2>\t</h2>   path ":" items separated by ";"
//     :SEPARATOR;<hr>             "SEPARATOR" is a separator line
//
// The path is a "/"-separated chain of submenus inside the tag menu (empty:
// the tag menu itself). A ";" that ends a character reference ("&amp;",
// "&#12354;") belongs to its item, so entities can be items. An item with a tab is an opening and a closing text;
// an item without one is inserted as it is. Items are numbered from 8000 in
// file order, at most 999 of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char *WEBMENU_FILE_NAME = "WpWebMnu.ini";
inline constexpr int WEBMENU_FIRST_ID = 8000;
inline constexpr int WEBMENU_MAX_ITEMS = 999;

struct CWebMenuItem
{
    std::vector<std::string> aPath;  // submenu names from the tag menu down
    bool bSeparator = false;
    std::string strText;             // as the file gives it, tab included
    int nID = 0;                     // 0 for a separator
};

class CWebMenuFile
{
public:
    // A missing or unreadable file gives no items.
    void Load(const std::string &strPath);
    void Parse(std::string_view bytes);

    const std::vector<CWebMenuItem> &GetItems() const { return m_aItems; }
    // The item of a command id; null when there is none.
    const CWebMenuItem *FindItem(int nID) const;

private:
    std::vector<CWebMenuItem> m_aItems;
};

// Splits an item's text at its first tab into the opening and the closing
// text; false (strOpen the whole text) when it holds no tab.
bool SplitWebMenuPair(std::string_view strText, std::string &strOpen, std::string &strClose);
