// The site check: every page of a folder (and its subfolders, if asked) read
// in its own code, and every reference it makes followed on disk the way a
// server that tells capitals from small letters would follow it. A broken
// link or image, a name found only with other capitals, a missing #anchor,
// an image tag whose size is not the picture's, a charset declaration that
// does not match the file, elements left open or closed in the wrong order
// and an id given twice are errors; links that leave the site, paths from
// the server's root, and addresses on the network (never fetched) are notes.
//
// It never changes a file and never goes on the network. It follows folder
// links, but goes into each folder once, so a link loop ends.
#pragma once

#include "sitecheck/findings.h"
#include "sitecheck/sitefolders.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct CSitePageScan;
struct CSiteRef;

class CSiteCheck
{
public:
    // strRoot: the site's folder; references may not go above it.
    explicit CSiteCheck(std::string strRoot);
    ~CSiteCheck();

    // A page whose text is held in memory (a document not saved yet): its
    // bytes, in its file's code, are read instead of the file.
    void SetPageBytes(const std::string &strRelative, std::string bytes);

    // Adds the pages (.html, .htm, .shtml, .xhtml) of a folder relative to
    // the site's folder ("" for the site's folder itself). Findings name them
    // strDisplay followed by their path below that folder.
    void AddFolder(const std::string &strRelative, bool bRecursive, const std::string &strDisplay = std::string());
    // Adds one page, whatever its name, named strDisplay in the findings.
    void AddPage(const std::string &strRelative, const std::string &strDisplay);
    int GetPageCount() const { return static_cast<int>(m_aPages.size()); }

    // Checks the pages added, in order. fnProgress, when given, is called
    // before each page with the pages done, their number and the page's
    // name. False when pbCancel was set before the end.
    using CProgress = std::function<void(int nDone, int nTotal, const std::string &strPage)>;
    bool Run(const std::atomic<bool> *pbCancel = nullptr, const CProgress &fnProgress = CProgress());

    // Everything found, page by page in the order added, each page's by line.
    const std::vector<CSiteFinding> &GetFindings() const { return m_aFindings; }
    int GetErrorCount() const;

private:
    struct CPage
    {
        std::string strRelative;
        std::string strDisplay;
    };
    struct CCheckedPage
    {
        const CPage &page;
        std::string strFolder;  // relative to the site's folder
        const CSitePageScan &scan;
    };
    void WalkFolder(const std::string &strRelative, const std::string &strDisplay, bool bRecursive);
    bool ReadPage(const std::string &strRelative, std::string &bytes, int &nErrno) const;
    void CheckPage(const CPage &page);
    void CheckReference(CCheckedPage &checked, const CSiteRef &ref);
    // The ids and a names of a page, read (once) when a fragment points there.
    const std::unordered_map<std::string, int> &AnchorsOf(const std::string &strRelative);
    void Add(const CPage &page, int nLine, bool bNote, std::string strMessage);

    CSiteFolders m_folders;
    std::string m_strRootAbsolute;  // for file: addresses
    std::unordered_map<std::string, std::string> m_pageBytes;
    std::vector<CPage> m_aPages;
    std::unordered_set<std::string> m_pageSet;
    std::unordered_set<std::string> m_visitedFolders;  // device and inode
    std::unordered_map<std::string, std::unordered_map<std::string, int>> m_anchors;
    std::vector<CSiteFinding> m_aFindings;
};

// Whether a file name is that of a page the check reads.
bool IsSitePageName(const std::string &strName);
