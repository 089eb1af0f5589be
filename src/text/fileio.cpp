// Saving the buffer, byte for byte, and the file-system helpers of loading and saving.
#include "text/fileio.h"

#include "text/filehandle.h"
#include "text/textbuffer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t WRITE_BLOCK = 1 << 20;

// Gathers small writes into large ones.
class CBufferedWriter
{
public:
    explicit CBufferedWriter(const CFileHandle &file) : m_file(file), m_pBuf(new char[WRITE_BLOCK]) {}
    bool Write(const char *p, std::size_t n)
    {
        if (n > WRITE_BLOCK - m_nUsed) {
            if (!Flush())
                return false;
            if (n >= WRITE_BLOCK)
                return m_file.WriteFully(p, n);
        }
        std::memcpy(m_pBuf.get() + m_nUsed, p, n);
        m_nUsed += n;
        return true;
    }
    bool Flush()
    {
        const bool bOk = m_file.WriteFully(m_pBuf.get(), m_nUsed);
        m_nUsed = 0;
        return bOk;
    }

private:
    const CFileHandle &m_file;
    std::unique_ptr<char[]> m_pBuf;
    std::size_t m_nUsed = 0;
};

mode_t CurrentUmask()
{
    static const mode_t mask = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

std::string DirectoryOf(const std::string &strPath)
{
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos)
        return ".";
    if (nSlash == 0)
        return "/";
    return strPath.substr(0, nSlash);
}

} // namespace

bool CLineEndDetector::Feed(std::string_view piece)
{
    if (m_nMode >= 0 || piece.empty())
        return m_nMode >= 0;
    if (m_bPendingCR) {
        m_bPendingCR = false;
        m_nMode = piece.front() == '\n' ? LINEEND_CRLF : LINEEND_CR;
        return true;
    }
    // LF and CR LF files are the common ones: the LF is looked for first,
    // then a CR only in the bytes before it.
    const char *p = piece.data();
    const void *pLF = std::memchr(p, '\n', piece.size());
    const std::size_t nBefore = pLF ? static_cast<std::size_t>(static_cast<const char *>(pLF) - p) : piece.size();
    const void *pCR = std::memchr(p, '\r', nBefore);
    if (!pCR) {
        if (pLF)
            m_nMode = LINEEND_LF;
        return pLF != nullptr;
    }
    const std::size_t nCR = static_cast<std::size_t>(static_cast<const char *>(pCR) - p);
    if (nCR + 1 == piece.size()) {
        m_bPendingCR = true;
        return false;
    }
    m_nMode = p[nCR + 1] == '\n' ? LINEEND_CRLF : LINEEND_CR;
    return true;
}

void CLineEndDetector::Finish()
{
    if (m_nMode < 0)
        m_nMode = m_bPendingCR ? LINEEND_CR : LINEEND_CRLF;
    m_bPendingCR = false;
}

int CLineEndDetector::GetMode() const
{
    return m_nMode < 0 ? LINEEND_CRLF : m_nMode;
}

int DetectLineEndMode(std::string_view text)
{
    CLineEndDetector detector;
    detector.Feed(text);
    detector.Finish();
    return detector.GetMode();
}

std::string ResolveSymlinks(const std::string &strPath)
{
    std::string strCurrent = strPath;
    for (int nHops = 0; nHops < 40; ++nHops) {
        struct stat st;
        if (::lstat(strCurrent.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return strCurrent;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(strCurrent.c_str(), target, sizeof target - 1);
        if (n < 0)
            return strCurrent;
        std::string strTarget(target, static_cast<std::size_t>(n));
        if (strTarget.empty())
            return strCurrent;
        if (strTarget[0] != '/')
            strTarget = DirectoryOf(strCurrent) + "/" + strTarget;
        strCurrent = strTarget;
    }
    return strCurrent;
}

bool IsFileReadOnly(const std::string &strPath)
{
    struct stat st;
    if (::stat(strPath.c_str(), &st) != 0)
        return false;
    if (::access(strPath.c_str(), W_OK) != 0)
        return true;
    return ::geteuid() == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool CCrystalTextBuffer::SaveToFile(const std::string &strPath, int nLineEndMode, bool bClearModified)
{
    CAtomicFile file;
    if (!file.Open(strPath))
        return false;

    const std::string_view sep = LineEndSeparator(nLineEndMode == -1 ? m_nLineEndMode : nLineEndMode);
    CBufferedWriter writer(file.GetFile());
    const int nCount = GetLineCount();
    for (int i = 0; i < nCount; ++i) {
        const TextLine &line = m_aLines[i];
        if (line.nLength > 0 && !writer.Write(line.pszText, static_cast<std::size_t>(line.nLength)))
            return false;
        if (i + 1 < nCount && !writer.Write(sep.data(), sep.size()))
            return false;
    }
    if (!writer.Flush() || !file.Commit())
        return false;

    if (bClearModified)
        SetSavePoint();
    return true;
}

void CCrystalTextBuffer::SetSavePoint()
{
    SetModified(false);
    m_nSavedUndoPos = m_nUndoPos;
}

// ---------------------------------------------------------------------------
// Writing beside the target

CAtomicFile::~CAtomicFile()
{
    Abandon();
}

bool CAtomicFile::Open(const std::string &strPath)
{
    Abandon();
    // Write the file the link points to, not over the link.
    const std::string strTarget = ResolveSymlinks(strPath);
    struct stat st;
    if (::stat(strTarget.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            errno = EINVAL;
            return false;
        }
        if (IsFileReadOnly(strTarget)) {
            errno = EACCES;
            return false;
        }
    }
    CFileHandle folder = CFileHandle::Open(DirectoryOf(strTarget), O_RDONLY | O_DIRECTORY);
    if (!folder.IsOpen() || !OpenAt(folder.Get(), strTarget.substr(strTarget.rfind('/') + 1)))
        return false;
    m_ownFolder = std::move(folder);
    return true;
}

bool CAtomicFile::OpenAt(int nFolderFd, const std::string &strName)
{
    Abandon();
    if (strName.empty() || strName == "." || strName == ".." || strName.find('/') != std::string::npos) {
        errno = EINVAL;
        return false;
    }
    m_nFolderFd = nFolderFd;
    m_strName = strName;
    m_bTargetExists = ::fstatat(nFolderFd, strName.c_str(), &m_stTarget, AT_SYMLINK_NOFOLLOW) == 0;
    if (m_bTargetExists && S_ISDIR(m_stTarget.st_mode)) {
        errno = EISDIR;
        m_nFolderFd = -1;
        return false;
    }
    // A link or a special file is replaced by a plain file that gets the
    // usual permissions, not the link's.
    if (m_bTargetExists && !S_ISREG(m_stTarget.st_mode))
        m_bTargetExists = false;
    if (!CreateTemp()) {
        m_nFolderFd = -1;
        return false;
    }
    return true;
}

bool CAtomicFile::CreateTemp()
{
    // Hidden, beside the target, and unguessable, as mkstemp makes them; the
    // name is cut so that it stays within the file system's limit.
    static constexpr char DIGITS[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string strBase(1, '.');
    strBase.append(m_strName, 0, 200).append(".wrenpad-");
    for (int nTry = 0; nTry < 100; ++nTry) {
        unsigned char random[8];
        if (::getentropy(random, sizeof random) != 0)
            return false;
        std::string strTemp = strBase;
        for (unsigned char b : random)
            strTemp += DIGITS[b % (sizeof DIGITS - 1)];
        CFileHandle file(::openat(m_nFolderFd, strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                  0600));
        if (file.IsOpen()) {
            m_file = std::move(file);
            m_strTemp = std::move(strTemp);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool CAtomicFile::Write(const char *p, std::size_t n)
{
    return m_file.IsOpen() && m_file.WriteFully(p, n);
}

bool CAtomicFile::Commit()
{
    if (!m_file.IsOpen()) {
        errno = EBADF;
        return false;
    }
    // The new file takes the place of the old one with its permissions (and,
    // where we may, its owner); a new file gets the usual permissions.
    mode_t mode = m_bTargetExists ? (m_stTarget.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (m_bModeSet)
        mode = m_mode;
    if (m_bTargetExists && (m_stTarget.st_uid != ::geteuid() || m_stTarget.st_gid != ::getegid())) {
        // Only possible for the superuser or a member of the file's group;
        // failing keeps our own ids, which is what a new file would have.
        (void)!::fchown(m_file.Get(), m_stTarget.st_uid, m_stTarget.st_gid);
    }
    bool bOk = ::fchmod(m_file.Get(), mode) == 0 && (!m_bSync || ::fsync(m_file.Get()) == 0);
    bOk = m_file.Close() && bOk;
    bOk = bOk && ::renameat(m_nFolderFd, m_strTemp.c_str(), m_nFolderFd, m_strName.c_str()) == 0;
    if (!bOk) {
        const int nErr = errno;
        Abandon();
        errno = nErr;
        return false;
    }
    m_strTemp.clear();
    // Make the rename itself durable.
    if (m_bSync)
        ::fsync(m_nFolderFd);
    Abandon();
    return true;
}

void CAtomicFile::Abandon()
{
    const int nErr = errno;
    m_file.Close();
    if (!m_strTemp.empty()) {
        ::unlinkat(m_nFolderFd, m_strTemp.c_str(), 0);
        m_strTemp.clear();
    }
    m_ownFolder.Close();
    m_nFolderFd = -1;
    errno = nErr;
}
