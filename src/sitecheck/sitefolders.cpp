#include "sitecheck/sitefolders.h"

#include "text/codec.h"
#include "text/utf8check.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace {

std::string FoldAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
    return s;
}

} // namespace

std::string FileNameToUtf8(const std::string &strName)
{
    if (CheckUtf8(strName) != EUtf8Check::Invalid)
        return strName;
    return Cp932ToUtf8(strName);
}

CSiteFolders::CSiteFolders(std::string strRoot) : m_strRoot(std::move(strRoot))
{
    while (m_strRoot.size() > 1 && m_strRoot.back() == '/')
        m_strRoot.pop_back();
    if (m_strRoot.empty())
        m_strRoot = ".";
}

std::string CSiteFolders::FullPath(const std::string &strRelative) const
{
    if (strRelative.empty())
        return m_strRoot;
    return m_strRoot == "/" ? "/" + strRelative : m_strRoot + "/" + strRelative;
}

CSiteFolders::CListing &CSiteFolders::List(const std::string &strRelative)
{
    std::unique_ptr<CListing> &pListing = m_listings[strRelative];
    if (pListing)
        return *pListing;
    pListing = std::make_unique<CListing>();
    if (DIR *pDir = opendir(FullPath(strRelative).c_str())) {
        while (const dirent *pEntry = readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName == "." || strName == "..")
                continue;
            CEntry entry;
            entry.strName = strName;
            entry.strKey = FileNameToUtf8(strName);
            if (pEntry->d_type == DT_DIR)
                entry.nFolder = 1;
            else if (pEntry->d_type == DT_REG)
                entry.nFolder = 0;
            pListing->aEntries.push_back(std::move(entry));
        }
        closedir(pDir);
    }
    // Sorted, so that of two names differing in case the same one is named every time.
    std::sort(pListing->aEntries.begin(), pListing->aEntries.end(),
              [](const CEntry &a, const CEntry &b) { return a.strName < b.strName; });
    for (std::size_t i = 0; i < pListing->aEntries.size(); ++i) {
        pListing->exact.emplace(pListing->aEntries[i].strKey, i);
        pListing->folded.emplace(FoldAscii(pListing->aEntries[i].strKey), i);
    }
    return *pListing;
}

bool CSiteFolders::IsFolder(const std::string &strRelative, CEntry &entry)
{
    if (entry.nFolder < 0) {
        struct stat st {};
        entry.nFolder = stat(FullPath(strRelative).c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 1 : 0;
    }
    return entry.nFolder == 1;
}

CSiteResolved CSiteFolders::Resolve(const std::string &strBase, const std::string &strPath)
{
    CSiteResolved resolved;
    // The names to walk, as the reference writes them (the base as on disk).
    std::vector<std::string> aNames;
    auto Split = [&aNames, &resolved](std::string_view path) {
        std::size_t nAt = 0;
        while (nAt <= path.size()) {
            std::size_t nSlash = path.find('/', nAt);
            if (nSlash == std::string_view::npos)
                nSlash = path.size();
            const std::string_view name = path.substr(nAt, nSlash - nAt);
            if (name == "..") {
                if (aNames.empty()) {
                    resolved.eTarget = SITETARGET_OUTSIDE;
                    return false;
                }
                aNames.pop_back();
            } else if (!name.empty() && name != ".") {
                aNames.emplace_back(name);
            }
            nAt = nSlash + 1;
        }
        return true;
    };
    if (strPath.empty() || strPath[0] != '/')
        Split(strBase);
    if (!Split(strPath))
        return resolved;

    std::string strRelative;
    std::string strReal;
    bool bCaseDiffers = false;
    bool bFolder = true;
    for (std::size_t i = 0; i < aNames.size(); ++i) {
        CListing &listing = List(strRelative);
        const std::string strKey = FileNameToUtf8(aNames[i]);
        auto it = listing.exact.find(strKey);
        if (it == listing.exact.end()) {
            it = listing.folded.find(FoldAscii(strKey));
            if (it == listing.folded.end())
                return resolved;
            bCaseDiffers = true;
        }
        CEntry &entry = listing.aEntries[it->second];
        const std::string strNext = strRelative.empty() ? entry.strName : strRelative + "/" + entry.strName;
        bFolder = IsFolder(strNext, entry);
        if (!bFolder && i + 1 < aNames.size())
            return resolved;  // a file where a folder is needed
        strRelative = strNext;
        strReal = strReal.empty() ? entry.strKey : strReal + "/" + entry.strKey;
    }
    resolved.eTarget = bCaseDiffers ? SITETARGET_CASE : SITETARGET_FOUND;
    resolved.bFolder = bFolder;
    resolved.strRelative = strRelative;
    resolved.strReal = strReal;
    return resolved;
}
