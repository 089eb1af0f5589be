#include "explorer/explorerfiles.h"

#include "search/wildcard.h"
#include "text/filehandle.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

unsigned char FoldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

// An open folder, closed on every path.
class CDirStream
{
public:
    explicit CDirStream(const std::string &strFolder) : m_pDir(::opendir(strFolder.c_str())) {}
    ~CDirStream()
    {
        if (m_pDir)
            ::closedir(m_pDir);
    }
    CDirStream(const CDirStream &) = delete;
    CDirStream &operator=(const CDirStream &) = delete;

    bool IsOpen() const { return m_pDir != nullptr; }
    int Fd() const { return ::dirfd(m_pDir); }
    const dirent *Next() { return ::readdir(m_pDir); }

private:
    DIR *m_pDir;
};

// What a folder entry is, following a link to see whether it ends in a folder.
void Classify(int nDirFd, const dirent *pEntry, bool &bFolder, bool &bLink)
{
    bLink = pEntry->d_type == DT_LNK;
    if (pEntry->d_type == DT_DIR || pEntry->d_type == DT_REG) {
        bFolder = pEntry->d_type == DT_DIR;
        return;
    }
    struct stat st;
    if (pEntry->d_type == DT_UNKNOWN && ::fstatat(nDirFd, pEntry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
        bLink = S_ISLNK(st.st_mode);
    bFolder = ::fstatat(nDirFd, pEntry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

bool IsHidden(const char *pszName)
{
    return pszName[0] == '.';
}

// Makes a new file under the first free candidate name; O_EXCL makes taking
// the name and creating the file one step, so nothing existing is replaced.
CFileOpResult CreateExclusive(const std::string &strFolder, std::string_view strName, std::string_view strExt,
                              CFileHandle &fd)
{
    CFileOpResult result;
    for (int n = 0; n <= NEW_NAME_LAST; ++n) {
        result.strPath = JoinPath(strFolder, NewItemName(strName, strExt, n));
        fd = CFileHandle::Open(result.strPath, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd.IsOpen()) {
            result.bOk = true;
            return result;
        }
        if (errno != EEXIST) {
            result.nError = errno;
            return result;
        }
    }
    result.nError = EEXIST;
    return result;
}

// Ends a new file: closes it, and removes it again when it was not written whole.
CFileOpResult FinishNewFile(CFileOpResult result, CFileHandle &fd, bool bWritten, int nWriteError)
{
    const int nCloseError = fd.Close() ? 0 : errno;
    if (bWritten && nCloseError == 0)
        return result;
    ::unlink(result.strPath.c_str());
    result.bOk = false;
    result.nError = bWritten ? nCloseError : nWriteError;
    return result;
}

} // namespace

// ---------------------------------------------------------------------------
// Order

int CompareExplorerNames(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Listing

CFolderListing ListExplorerFolder(const std::string &strFolder, const CExtensionList &filter, bool bFiles,
                                  const std::atomic<bool> *pCancel)
{
    CFolderListing listing;
    CDirStream dir(strFolder);
    if (!dir.IsOpen()) {
        listing.nError = errno;
        return listing;
    }
    std::vector<CExplorerEntry> aFolders;
    std::vector<CExplorerEntry> aFiles;
    unsigned nSeen = 0;
    while (const dirent *pEntry = dir.Next()) {
        if ((++nSeen & 0xFF) == 0 && pCancel && pCancel->load(std::memory_order_relaxed)) {
            listing.bCancelled = true;
            return listing;
        }
        if (IsHidden(pEntry->d_name))
            continue;
        CExplorerEntry entry;
        Classify(dir.Fd(), pEntry, entry.bFolder, entry.bLink);
        entry.strName = pEntry->d_name;
        if (entry.bFolder)
            aFolders.push_back(std::move(entry));
        else if (bFiles && (filter.IsEmpty() || filter.Matches(entry.strName)))
            aFiles.push_back(std::move(entry));
    }
    auto byName = [](const CExplorerEntry &a, const CExplorerEntry &b) {
        return CompareExplorerNames(a.strName, b.strName) < 0;
    };
    std::sort(aFolders.begin(), aFolders.end(), byName);
    std::sort(aFiles.begin(), aFiles.end(), byName);
    listing.aEntries = std::move(aFolders);
    listing.aEntries.insert(listing.aEntries.end(), std::make_move_iterator(aFiles.begin()),
                            std::make_move_iterator(aFiles.end()));
    return listing;
}

bool FolderHasShownEntries(const std::string &strFolder, const CExtensionList &filter, bool bFiles)
{
    CDirStream dir(strFolder);
    if (!dir.IsOpen())
        return false;
    while (const dirent *pEntry = dir.Next()) {
        if (IsHidden(pEntry->d_name))
            continue;
        if (bFiles && filter.IsEmpty())
            return true;
        bool bFolder = false;
        bool bLink = false;
        Classify(dir.Fd(), pEntry, bFolder, bLink);
        if (bFolder || (bFiles && filter.Matches(pEntry->d_name)))
            return true;
    }
    return false;
}

std::string NewItemName(std::string_view strName, std::string_view strExt, int n)
{
    std::string strResult(strName);
    if (n > 0)
        strResult += " (" + std::to_string(n) + ")";
    strResult += strExt;
    return strResult;
}

void SplitTemplateName(std::string_view strTemplate, std::string &strName, std::string &strExt)
{
    const std::size_t nDot = strTemplate.rfind('.');
    if (nDot == std::string_view::npos || nDot == 0 || nDot + 1 == strTemplate.size()) {
        strName = strTemplate;
        strExt = ".txt";
        return;
    }
    strName = strTemplate.substr(0, nDot);
    strExt = strTemplate.substr(nDot);
}

// ---------------------------------------------------------------------------
// New items

CFileOpResult CreateNewFolder(const std::string &strFolder, std::string_view strName)
{
    CFileOpResult result;
    for (int n = 0; n <= NEW_NAME_LAST; ++n) {
        result.strPath = JoinPath(strFolder, NewItemName(strName, std::string_view(), n));
        if (::mkdir(result.strPath.c_str(), 0777) == 0) {
            result.bOk = true;
            return result;
        }
        if (errno != EEXIST) {
            result.nError = errno;
            return result;
        }
    }
    result.nError = EEXIST;
    return result;
}

CFileOpResult CreateNewFile(const std::string &strFolder, std::string_view strName, std::string_view strExt,
                            std::string_view strContent)
{
    CFileHandle fd;
    CFileOpResult result = CreateExclusive(strFolder, strName, strExt, fd);
    if (!result.bOk)
        return result;
    const bool bWritten = fd.WriteFully(strContent.data(), strContent.size());
    return FinishNewFile(std::move(result), fd, bWritten, bWritten ? 0 : errno);
}

CFileOpResult CopyNewFile(const std::string &strSource, const std::string &strFolder, std::string_view strName,
                          std::string_view strExt)
{
    CFileOpResult result;
    const CFileHandle source = CFileHandle::Open(strSource, O_RDONLY);
    struct stat st;
    if (!source.IsOpen() || ::fstat(source.Get(), &st) != 0) {
        result.nError = errno;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.nError = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    CFileHandle fd;
    result = CreateExclusive(strFolder, strName, strExt, fd);
    if (!result.bOk)
        return result;
    std::vector<char> buffer(1 << 16);
    int nError = 0;
    bool bWritten = true;
    for (;;) {
        const ssize_t nRead = source.Read(buffer.data(), buffer.size());
        if (nRead == 0)
            break;
        if (nRead < 0 || !fd.WriteFully(buffer.data(), static_cast<std::size_t>(nRead))) {
            nError = errno;
            bWritten = false;
            break;
        }
    }
    return FinishNewFile(std::move(result), fd, bWritten, nError);
}

// ---------------------------------------------------------------------------
// Renaming

ERenameResult RenameExplorerItem(const std::string &strPath, std::string_view strNewName, std::string &strNewPath,
                                 int &nError)
{
    nError = 0;
    if (strNewName.empty() || strNewName == "." || strNewName == ".."
        || strNewName.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
        return RENAME_INVALID_NAME;
    if (strNewName == BaseName(strPath))
        return RENAME_UNCHANGED;
    strNewPath = JoinPath(ParentPath(strPath), strNewName);
    if (::renameat2(AT_FDCWD, strPath.c_str(), AT_FDCWD, strNewPath.c_str(), RENAME_NOREPLACE) == 0)
        return RENAME_DONE;
    nError = errno;
    struct stat stOld;
    struct stat stNew;
    const bool bTargetThere = ::lstat(strNewPath.c_str(), &stNew) == 0;
    if (nError == EEXIST || ((nError == EINVAL || nError == ENOSYS) && bTargetThere)) {
        // On a file system that ignores case, a name that differs only in
        // case is the item itself: renaming it changes just the case.
        if (!bTargetThere || ::lstat(strPath.c_str(), &stOld) != 0 || stOld.st_dev != stNew.st_dev
            || stOld.st_ino != stNew.st_ino)
            return RENAME_EXISTS;
    } else if (nError != EINVAL && nError != ENOSYS) {
        return RENAME_FAILED;
    }
    // Either the same item under another case, or a file system without an
    // exclusive rename where nothing is in the way.
    if (::rename(strPath.c_str(), strNewPath.c_str()) == 0) {
        nError = 0;
        return RENAME_DONE;
    }
    nError = errno;
    return RENAME_FAILED;
}

// ---------------------------------------------------------------------------
// Deleting for good

namespace {

thread_local int t_nDeleteError = 0;

int RemoveEntry(const char *pszPath, const struct stat *, int nType, struct FTW *)
{
    const int nResult = nType == FTW_DP ? ::rmdir(pszPath) : ::unlink(pszPath);
    if (nResult != 0 && t_nDeleteError == 0)
        t_nDeleteError = errno;
    // Going on removes what can be removed; the first failure is reported.
    return 0;
}

} // namespace

int DeleteTree(const std::string &strPath)
{
    struct stat st;
    if (::lstat(strPath.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(strPath.c_str()) == 0 ? 0 : errno;
    t_nDeleteError = 0;
    if (::nftw(strPath.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS) != 0 && t_nDeleteError == 0)
        t_nDeleteError = errno;
    return t_nDeleteError;
}
