// Loading and saving of the buffer, byte for byte.
#include "text/fileio.h"

#include "text/textbuffer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t READ_BLOCK = 32768;
constexpr std::size_t WRITE_BLOCK = 1 << 20;

// A file descriptor that is closed on every path.
class CFileHandle
{
public:
    explicit CFileHandle(int fd = -1) : m_fd(fd) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle &) = delete;
    CFileHandle &operator=(const CFileHandle &) = delete;
    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    bool Close()
    {
        if (m_fd < 0)
            return true;
        const int r = ::close(m_fd);
        m_fd = -1;
        return r == 0;
    }

private:
    int m_fd;
};

// Reads up to n bytes, retrying short reads; -1 on error.
ssize_t ReadFully(int fd, char *p, std::size_t n)
{
    std::size_t nDone = 0;
    while (nDone < n) {
        const ssize_t r = ::read(fd, p + nDone, n - nDone);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        nDone += static_cast<std::size_t>(r);
    }
    return static_cast<ssize_t>(nDone);
}

bool WriteFully(int fd, const char *p, std::size_t n)
{
    while (n > 0) {
        const ssize_t r = ::write(fd, p, n);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (r == 0)
            return false;
        p += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

// Gathers small writes into large ones.
class CBufferedWriter
{
public:
    explicit CBufferedWriter(int fd) : m_fd(fd) { m_buf.reserve(WRITE_BLOCK); }
    bool Write(const char *p, std::size_t n)
    {
        if (m_buf.size() + n > WRITE_BLOCK) {
            if (!Flush())
                return false;
            if (n >= WRITE_BLOCK)
                return WriteFully(m_fd, p, n);
        }
        m_buf.append(p, n);
        return true;
    }
    bool Flush()
    {
        const bool bOk = WriteFully(m_fd, m_buf.data(), m_buf.size());
        m_buf.clear();
        return bOk;
    }

private:
    int m_fd;
    std::string m_buf;
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

int DetectLineEndMode(std::string_view text)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '\n')
            return LINEEND_LF;
        if (text[i] == '\r')
            return (i + 1 < n && text[i + 1] == '\n') ? LINEEND_CRLF : LINEEND_CR;
    }
    return LINEEND_CRLF;
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

bool CCrystalTextBuffer::LoadFromFile(const std::string &strPath, int nLineEndMode)
{
    struct stat st;
    if (::stat(strPath.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    CFileHandle file(::open(strPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsOpen())
        return false;
    ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    FreeAll();
    std::string block(READ_BLOCK, '\0');
    ssize_t nRead = ReadFully(file.Get(), block.data(), READ_BLOCK);
    if (nRead < 0)
        return false;

    if (nLineEndMode < LINEEND_CRLF || nLineEndMode > LINEEND_CR)
        nLineEndMode = DetectLineEndMode(std::string_view(block.data(), static_cast<std::size_t>(nRead)));
    m_nLineEndMode = nLineEndMode;
    m_aLines.SetGrowBy(4096);
    if (S_ISREG(st.st_mode))
        m_arena.SetChunkSize(std::clamp<std::size_t>(static_cast<std::size_t>(st.st_size) / 16,
                                                     std::size_t(1) << 20, std::size_t(16) << 20));

    // A line that runs over the end of a block is gathered here. For CR LF a
    // block may end between the CR and the LF: the CR stays in the pending
    // line until the next byte shows whether it ends it.
    const char chSep = nLineEndMode == LINEEND_LF ? '\n' : '\r';
    const bool bPair = nLineEndMode == LINEEND_CRLF;
    std::string strPending;
    bool bPendingCR = false;

    try {
        while (nRead > 0) {
            const char *p = block.data();
            const char *pEnd = p + nRead;
            if (bPendingCR) {
                bPendingCR = false;
                if (*p == '\n') {
                    m_aLines.Add(NewArenaLine(strPending.data(), static_cast<int>(strPending.size()) - 1));
                    strPending.clear();
                    ++p;
                }
            }
            while (p < pEnd) {
                const char *pSep = static_cast<const char *>(std::memchr(p, chSep, static_cast<std::size_t>(pEnd - p)));
                if (!pSep) {
                    strPending.append(p, pEnd);
                    break;
                }
                if (bPair) {
                    if (pSep + 1 == pEnd) {
                        strPending.append(p, pEnd);
                        bPendingCR = true;
                        break;
                    }
                    if (pSep[1] != '\n') {
                        // A lone CR is line content; look further.
                        strPending.append(p, pSep + 1);
                        p = pSep + 1;
                        continue;
                    }
                }
                if (strPending.empty()) {
                    m_aLines.Add(NewArenaLine(p, static_cast<int>(pSep - p)));
                } else {
                    strPending.append(p, pSep);
                    m_aLines.Add(NewArenaLine(strPending.data(), static_cast<int>(strPending.size())));
                    strPending.clear();
                }
                p = pSep + (bPair ? 2 : 1);
            }
            if (strPending.size() > static_cast<std::size_t>(INT_MAX - 32))
                throw std::bad_alloc();
            nRead = ReadFully(file.Get(), block.data(), READ_BLOCK);
            if (nRead < 0) {
                FreeAll();
                return false;
            }
        }
        m_aLines.Add(NewArenaLine(strPending.data(), static_cast<int>(strPending.size())));
    } catch (const std::bad_alloc &) {
        FreeAll();
        return false;
    }
    m_aLines.SetGrowBy(0);

    m_bInit = true;
    m_bReadOnly = IsFileReadOnly(strPath);
    m_bModified = false;
    m_bInUndoGroup = false;
    m_bNextStartsGroup = false;
    m_nUndoLimit = UNDO_LIMIT;
    m_nUndoPos = 0;
    m_nSavedUndoPos = 0;
    NotifyViews(nullptr, nullptr, NOTIFY_RESET, -1);
    return true;
}

bool CCrystalTextBuffer::SaveToFile(const std::string &strPath, int nLineEndMode, bool bClearModified)
{
    CAtomicFile file;
    if (!file.Open(strPath))
        return false;

    const std::string_view sep = LineEndSeparator(nLineEndMode == -1 ? m_nLineEndMode : nLineEndMode);
    CBufferedWriter writer(file.GetFd());
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

    if (bClearModified) {
        SetModified(false);
        m_nSavedUndoPos = m_nUndoPos;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Writing beside the target

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
    const int nFolder = ::open(DirectoryOf(strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFolder < 0)
        return false;
    if (!OpenAt(nFolder, strTarget.substr(strTarget.rfind('/') + 1))) {
        const int nErr = errno;
        ::close(nFolder);
        errno = nErr;
        return false;
    }
    m_bOwnFolder = true;
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
        const int fd = ::openat(m_nFolderFd, strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                0600);
        if (fd >= 0) {
            m_fd = fd;
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
    return m_fd >= 0 && WriteFully(m_fd, p, n);
}

bool CAtomicFile::Commit()
{
    if (m_fd < 0) {
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
        (void)!::fchown(m_fd, m_stTarget.st_uid, m_stTarget.st_gid);
    }
    bool bOk = ::fchmod(m_fd, mode) == 0 && (!m_bSync || ::fsync(m_fd) == 0);
    const int nClosed = ::close(m_fd);
    m_fd = -1;
    bOk = bOk && nClosed == 0 && ::renameat(m_nFolderFd, m_strTemp.c_str(), m_nFolderFd, m_strName.c_str()) == 0;
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
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_strTemp.empty()) {
        ::unlinkat(m_nFolderFd, m_strTemp.c_str(), 0);
        m_strTemp.clear();
    }
    if (m_bOwnFolder && m_nFolderFd >= 0)
        ::close(m_nFolderFd);
    m_bOwnFolder = false;
    m_nFolderFd = -1;
    errno = nErr;
}
