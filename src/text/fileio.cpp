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

// Removes a temporary file unless it was put in place.
class CTempFileGuard
{
public:
    explicit CTempFileGuard(std::string strPath) : m_strPath(std::move(strPath)) {}
    ~CTempFileGuard()
    {
        if (!m_strPath.empty())
            ::unlink(m_strPath.c_str());
    }
    CTempFileGuard(const CTempFileGuard &) = delete;
    CTempFileGuard &operator=(const CTempFileGuard &) = delete;
    void Release() { m_strPath.clear(); }

private:
    std::string m_strPath;
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

int DetectLineEndMode(const char *p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] == '\n')
            return LINEEND_LF;
        if (p[i] == '\r')
            return (i + 1 < n && p[i + 1] == '\n') ? LINEEND_CRLF : LINEEND_CR;
    }
    return LINEEND_CRLF;
}

} // namespace

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
        nLineEndMode = DetectLineEndMode(block.data(), static_cast<std::size_t>(nRead));
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
    // Write the file the link points to, not over the link.
    const std::string strTarget = ResolveSymlinks(strPath);
    struct stat st;
    const bool bExists = ::stat(strTarget.c_str(), &st) == 0;
    if (bExists && (!S_ISREG(st.st_mode) || IsFileReadOnly(strTarget)))
        return false;

    std::string strBase = strTarget.substr(strTarget.rfind('/') + 1);
    std::string strTemp = DirectoryOf(strTarget) + "/." + strBase + ".wrenpad-XXXXXX";
    CFileHandle file(::mkostemp(strTemp.data(), O_CLOEXEC));
    if (!file.IsOpen())
        return false;
    CTempFileGuard guard(strTemp);

    const std::string_view sep = LineEndSeparator(nLineEndMode == -1 ? m_nLineEndMode : nLineEndMode);
    CBufferedWriter writer(file.Get());
    const int nCount = GetLineCount();
    for (int i = 0; i < nCount; ++i) {
        const TextLine &line = m_aLines[i];
        if (line.nLength > 0 && !writer.Write(line.pszText, static_cast<std::size_t>(line.nLength)))
            return false;
        if (i + 1 < nCount && !writer.Write(sep.data(), sep.size()))
            return false;
    }
    if (!writer.Flush())
        return false;

    // The new file takes the place of the old one with its permissions (and,
    // where we may, its owner); a new file gets the usual permissions.
    const mode_t mode = bExists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (bExists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
        // Only possible for the superuser or a member of the file's group;
        // failing keeps our own ids, which is what a new file would have.
        (void)!::fchown(file.Get(), st.st_uid, st.st_gid);
    }
    if (::fchmod(file.Get(), mode) != 0)
        return false;
    if (::fsync(file.Get()) != 0 || !file.Close())
        return false;
    if (::rename(strTemp.c_str(), strTarget.c_str()) != 0)
        return false;
    guard.Release();

    // Make the rename itself durable.
    CFileHandle dir(::open(DirectoryOf(strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.IsOpen())
        ::fsync(dir.Get());

    if (bClearModified) {
        SetModified(false);
        m_nSavedUndoPos = m_nUndoPos;
    }
    return true;
}
