// The site's folders as the check sees them: each listed once and kept, and
// names looked up the way a server that tells capitals from small letters
// would, with a second look that ignores case to say what the author meant.
// Names on disk may be UTF-8 or Shift-JIS; both are compared in UTF-8.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

enum ESiteTarget
{
    SITETARGET_FOUND,
    SITETARGET_CASE,     // found only with other capitals: strReal names the file on disk
    SITETARGET_MISSING,
    SITETARGET_OUTSIDE,  // "../" above the site's folder
};

struct CSiteResolved
{
    ESiteTarget eTarget = SITETARGET_MISSING;
    bool bFolder = false;
    std::string strRelative;  // on disk, from the site's folder, '/' between names
    std::string strReal;      // for SITETARGET_CASE: the path as the reference should write it
};

class CSiteFolders
{
public:
    explicit CSiteFolders(std::string strRoot);

    const std::string &GetRoot() const { return m_strRoot; }
    // The full path of a path relative to the site's folder.
    std::string FullPath(const std::string &strRelative) const;

    // Resolves strPath (UTF-8, %-escapes already decoded, no query or
    // fragment), written in a page whose folder is strBase (relative to the
    // site's folder, names as on disk, "" for the top). A path that starts
    // with '/' is taken from the site's folder.
    CSiteResolved Resolve(const std::string &strBase, const std::string &strPath);

private:
    struct CEntry
    {
        std::string strName;  // as on disk
        std::string strKey;   // in UTF-8
        int nFolder = -1;     // -1 not yet known, 0 no, 1 yes
    };
    struct CListing
    {
        std::vector<CEntry> aEntries;
        std::unordered_map<std::string, std::size_t> exact;
        std::unordered_map<std::string, std::size_t> folded;  // the first of each ASCII-folded key
    };
    CListing &List(const std::string &strRelative);
    bool IsFolder(const std::string &strRelative, CEntry &entry);

    std::string m_strRoot;  // without a trailing '/'
    std::unordered_map<std::string, std::unique_ptr<CListing>> m_listings;
};

// The name in UTF-8: as it is when it is valid UTF-8, else read as Shift-JIS.
std::string FileNameToUtf8(const std::string &strName);
