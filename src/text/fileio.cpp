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
    CBufferedWriter writer(file);
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
    const CFileHandle dir = CFileHandle::Open(DirectoryOf(strTarget), O_RDONLY | O_DIRECTORY);
    if (dir.IsOpen())
        ::fsync(dir.Get());

    if (bClearModified) {
        SetModified(false);
        m_nSavedUndoPos = m_nUndoPos;
    }
    return true;
}
