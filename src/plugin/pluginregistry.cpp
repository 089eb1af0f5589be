#include "plugin/pluginregistry.h"

#include "plugin/pluginlibrary.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

namespace {

// A text a plug-in wrote into a buffer of nSize bytes; the buffer has one
// more byte, always zero, so a text without its terminator still ends.
std::string BufferText(const std::vector<char> &aBuffer, int nSize)
{
    return std::string(aBuffer.data(), strnlen(aBuffer.data(), static_cast<std::size_t>(nSize)));
}

} // namespace

std::vector<std::string> ListPluginFiles(const std::string &strFolder)
{
    std::vector<std::string> aNames;
    if (strFolder.empty())
        return aNames;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(strFolder.c_str()), closedir);
    if (!dir)
        return aNames;
    while (const dirent *pEntry = readdir(dir.get())) {
        const std::string_view strName(pEntry->d_name);
        if (strName.size() <= 4 || strName.substr(strName.size() - 4) != ".wpi")
            continue;
        const std::string strPath = strFolder + "/" + pEntry->d_name;
        struct stat st;
        if (stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            aNames.emplace_back(strName);
    }
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}

std::vector<CPluginRow> CPluginRegistry::QueryPlugin(const std::string &strPath, int nLimit)
{
    std::vector<CPluginRow> aRows;
    CPluginLibrary library(strPath);
    if (!library.IsLoaded())
        return aRows;
    const auto fnCount = library.Entry<WpQueryPulginCountFn>("QueryPulginCount");
    const auto fnQuery = library.Entry<WpQueryPulginFn>("QueryPulgin");
    if (!fnCount || !fnQuery)
        return aRows;
    const int nCount = fnCount();
    const std::size_t nSlash = strPath.rfind('/');
    const std::string strFile = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    // Indices beyond what the menus can hold are not asked about: a plug-in
    // that claims millions of commands would otherwise keep the start waiting.
    const int nAsked = std::min(nCount, PLUGIN_COMMAND_LIMIT);
    for (int i = 0; i < nAsked && static_cast<int>(aRows.size()) < nLimit; ++i) {
        std::vector<char> aFunction(WPPLUGIN_NAME_SIZE + 1, '\0');
        std::vector<char> aMenu(WPPLUGIN_NAME_SIZE + 1, '\0');
        std::vector<char> aDescription(WPPLUGIN_DESCRIPTION_SIZE + 1, '\0');
        int nType = 0;
        if (fnQuery(i, &nType, aFunction.data(), aMenu.data(), aDescription.data()) == 0)
            continue;
        CPluginRow row;
        row.strFile = strFile;
        row.nIndex = i;
        row.nType = nType;
        row.strFunction = BufferText(aFunction, WPPLUGIN_NAME_SIZE);
        row.strMenuText = BufferText(aMenu, WPPLUGIN_NAME_SIZE);
        row.strDescription = BufferText(aDescription, WPPLUGIN_DESCRIPTION_SIZE);
        aRows.push_back(std::move(row));
    }
    return aRows;
}

void CPluginRegistry::Discover(const std::vector<std::string> &aFolders)
{
    std::set<std::string> seen;
    for (const std::string &strFolder : aFolders) {
        for (const std::string &strName : ListPluginFiles(strFolder)) {
            if (!seen.insert(strName).second)
                continue;
            const int nRoom = PLUGIN_COMMAND_LIMIT - GetCount();
            if (nRoom <= 0)
                return;
            for (CPluginRow &row : QueryPlugin(strFolder + "/" + strName, nRoom))
                m_aRows.push_back(std::move(row));
        }
    }
}

const CPluginRow *CPluginRegistry::GetRow(int i) const
{
    return i >= 0 && i < GetCount() ? &m_aRows[static_cast<std::size_t>(i)] : nullptr;
}
