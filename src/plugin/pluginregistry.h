// The plug-in commands found at start: one row per command, in the order the
// plug-ins were found and the order each gives its commands. Row i is the
// menu command PLUGIN_COMMAND_FIRST + i and its help item
// PLUGIN_HELP_FIRST + i. The texts are Shift-JIS as the plug-ins gave them.
#pragma once

#include "wpplugin.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr int PLUGIN_COMMAND_FIRST = 7000;
inline constexpr int PLUGIN_HELP_FIRST = 7400;
// The menus have room for this many plug-in commands; discovery stops there.
inline constexpr int PLUGIN_COMMAND_LIMIT = 100;

struct CPluginRow
{
    std::string strFile;         // the ".wpi" file's name, without its folder
    int nIndex = 0;              // the command's index within its plug-in
    int nType = 0;               // how its result is inserted (wpplugin.h)
    std::string strFunction;     // the export that runs it
    std::string strMenuText;     // at most WPPLUGIN_NAME_SIZE bytes
    std::string strDescription;  // at most WPPLUGIN_DESCRIPTION_SIZE bytes
};

class CPluginRegistry
{
public:
    // Lists the plain files "*.wpi" of each folder (by name), loads each in
    // turn and takes the commands it reports. A name already found in an
    // earlier folder is skipped, since loading by name finds that one first.
    // Files that do not load, or report no commands, add nothing.
    void Discover(const std::vector<std::string> &aFolders);
    void Clear() { m_aRows.clear(); }

    int GetCount() const { return static_cast<int>(m_aRows.size()); }
    // Row i, or null.
    const CPluginRow *GetRow(int i) const;
    const std::vector<CPluginRow> &Rows() const { return m_aRows; }

    // The commands one plug-in file reports, at most nLimit of them; only its
    // first PLUGIN_COMMAND_LIMIT indices are asked about.
    static std::vector<CPluginRow> QueryPlugin(const std::string &strPath, int nLimit = PLUGIN_COMMAND_LIMIT);

private:
    std::vector<CPluginRow> m_aRows;
};

// The plain files "*.wpi" of a folder, sorted by name.
std::vector<std::string> ListPluginFiles(const std::string &strFolder);
