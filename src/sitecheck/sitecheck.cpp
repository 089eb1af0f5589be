#include "sitecheck/sitecheck.h"

#include "sitecheck/pagescan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <dirent.h>
#include <sys/stat.h>

namespace {

std::string LowerAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
    return s;
}

std::string FolderOf(const std::string &strRelative)
{
    const std::size_t nSlash = strRelative.rfind('/');
    return nSlash == std::string::npos ? std::string() : strRelative.substr(0, nSlash);
}

} // namespace


bool IsSitePageName(const std::string &strName)
{
    const std::size_t nDot = strName.rfind('.');
    if (nDot == std::string::npos)
        return false;
    const std::string strExt = LowerAscii(strName.substr(nDot + 1));
    return strExt == "html" || strExt == "htm" || strExt == "shtml" || strExt == "xhtml";
}

CSiteCheck::CSiteCheck(std::string strRoot) : m_folders(std::move(strRoot))
{
    std::error_code ec;
    m_strRootAbsolute = std::filesystem::absolute(m_folders.GetRoot(), ec).lexically_normal().string();
    while (m_strRootAbsolute.size() > 1 && m_strRootAbsolute.back() == '/')
        m_strRootAbsolute.pop_back();
}

CSiteCheck::~CSiteCheck() = default;

void CSiteCheck::SetPageBytes(const std::string &strRelative, std::string bytes)
{
    m_pageBytes[strRelative] = std::move(bytes);
    m_anchors.erase(strRelative);
}

void CSiteCheck::AddPage(const std::string &strRelative, const std::string &strDisplay)
{
    if (m_pageSet.insert(strRelative).second)
        m_aPages.push_back(CPage{strRelative, strDisplay});
}

void CSiteCheck::AddFolder(const std::string &strRelative, bool bRecursive, const std::string &strDisplay)
{
    WalkFolder(strRelative, strDisplay, bRecursive);
}

void CSiteCheck::WalkFolder(const std::string &strRelative, const std::string &strDisplay, bool bRecursive)
{
    const std::string strPath = m_folders.FullPath(strRelative);
    const CPage folder{strRelative, strDisplay.empty() ? std::string(".") : strDisplay};
    struct stat st {};
    if (stat(strPath.c_str(), &st) != 0) {
        Add(folder, 0, false, std::string("フォルダを読めません: ") + std::strerror(errno));
        return;
    }
    // A folder reached a second time (through a link, perhaps one that loops) is not read again.
    if (!m_visitedFolders.insert(std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino)).second) {
        Add(folder, 0, true, "既に読んだフォルダへのリンクなので、中は検査しません");
        return;
    }
    DIR *pDir = opendir(strPath.c_str());
    if (!pDir) {
        Add(folder, 0, false, std::string("フォルダを読めません: ") + std::strerror(errno));
        return;
    }
    std::vector<std::string> aNames;
    while (const dirent *pEntry = readdir(pDir)) {
        const std::string strName = pEntry->d_name;
        if (strName != "." && strName != "..")
            aNames.push_back(strName);
    }
    closedir(pDir);
    std::sort(aNames.begin(), aNames.end());
    std::vector<std::string> aFolders;
    for (const std::string &strName : aNames) {
        const std::string strChild = strRelative.empty() ? strName : strRelative + "/" + strName;
        const std::string strShown = (strDisplay.empty() ? std::string() : strDisplay + "/") + FileNameToUtf8(strName);
        struct stat child {};
        if (stat(m_folders.FullPath(strChild).c_str(), &child) != 0)
            continue;  // a dangling link is no page; a reference to it is reported as missing
        if (S_ISDIR(child.st_mode)) {
            if (bRecursive && strName[0] != '.')
                aFolders.push_back(strName);
        } else if (S_ISREG(child.st_mode) && IsSitePageName(strName)) {
            AddPage(strChild, strShown);
        }
    }
    for (const std::string &strName : aFolders) {
        const std::string strChild = strRelative.empty() ? strName : strRelative + "/" + strName;
        WalkFolder(strChild, (strDisplay.empty() ? std::string() : strDisplay + "/") + FileNameToUtf8(strName), true);
    }
}

bool CSiteCheck::ReadPage(const std::string &strRelative, std::string &bytes, int &nErrno) const
{
    const auto it = m_pageBytes.find(strRelative);
    if (it != m_pageBytes.end()) {
        bytes = it->second;
        return true;
    }
    const std::string strPath = m_folders.FullPath(strRelative);
    struct stat st {};
    if (stat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        nErrno = errno != 0 ? errno : EISDIR;
        return false;
    }
    std::ifstream in(strPath, std::ios::binary);
    if (!in) {
        nErrno = errno != 0 ? errno : EIO;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        nErrno = EIO;
        return false;
    }
    return true;
}

const std::unordered_map<std::string, int> &CSiteCheck::AnchorsOf(const std::string &strRelative)
{
    auto it = m_anchors.find(strRelative);
    if (it != m_anchors.end())
        return it->second;
    std::string bytes;
    int nErrno = 0;
    std::unordered_map<std::string, int> anchors;
    if (ReadPage(strRelative, bytes, nErrno))
        anchors = std::move(ScanSitePage(bytes, true).anchors);
    return m_anchors.emplace(strRelative, std::move(anchors)).first->second;
}

void CSiteCheck::Add(const CPage &page, int nLine, bool bNote, std::string strMessage)
{
    CSiteFinding finding;
    finding.strPath = page.strDisplay;
    finding.nLine = nLine;
    finding.bNote = bNote;
    finding.strMessage = std::move(strMessage);
    m_aFindings.push_back(std::move(finding));
}

int CSiteCheck::GetErrorCount() const
{
    return static_cast<int>(std::count_if(m_aFindings.begin(), m_aFindings.end(),
                                          [](const CSiteFinding &f) { return !f.bNote; }));
}

bool CSiteCheck::Run(const std::atomic<bool> *pbCancel, const CProgress &fnProgress)
{
    for (std::size_t i = 0; i < m_aPages.size(); ++i) {
        if (pbCancel && pbCancel->load())
            return false;
        if (fnProgress)
            fnProgress(static_cast<int>(i), static_cast<int>(m_aPages.size()), m_aPages[i].strDisplay);
        CheckPage(m_aPages[i]);
    }
    return true;
}

void CSiteCheck::CheckPage(const CPage &page)
{
    std::string bytes;
    int nErrno = 0;
    if (!ReadPage(page.strRelative, bytes, nErrno)) {
        Add(page, 0, false, std::string("ファイルを読めません: ") + std::strerror(nErrno));
        return;
    }
    CSitePageScan scan = ScanSitePage(bytes);
    bytes = std::string();
    const std::size_t nFirst = m_aFindings.size();
    for (const CSiteFinding &finding : scan.aFindings)
        Add(page, finding.nLine, finding.bNote, finding.strMessage);
    if (scan.bBase)
        Add(page, 1, true, "<base href> があるので、相対パスのリンクは確認していません");
    CCheckedPage checked{page, FolderOf(page.strRelative), scan};
    for (const CSiteRef &ref : scan.aRefs)
        CheckReference(checked, ref);
    m_anchors.try_emplace(page.strRelative, std::move(scan.anchors));
    std::stable_sort(m_aFindings.begin() + static_cast<std::ptrdiff_t>(nFirst), m_aFindings.end(),
                     [](const CSiteFinding &a, const CSiteFinding &b) { return a.nLine < b.nLine; });
}
