#include "text/filehandle.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

CFileHandle &CFileHandle::operator=(CFileHandle &&other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.Release();
    }
    return *this;
}

CFileHandle CFileHandle::Open(const std::string &strPath, int nFlags, mode_t mode)
{
    return CFileHandle(::open(strPath.c_str(), nFlags | O_CLOEXEC, mode));
}

CFileHandle CFileHandle::OpenAt(const CFileHandle &folder, const std::string &strName, int nFlags, mode_t mode)
{
    return CFileHandle(::openat(folder.Get(), strName.c_str(), nFlags | O_CLOEXEC, mode));
}

int CFileHandle::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool CFileHandle::Close()
{
    if (m_fd < 0)
        return true;
    // Linux frees the descriptor even when close reports EINTR, so it is
    // never closed twice.
    const int nSavedErrno = errno;
    const int r = ::close(m_fd);
    m_fd = -1;
    if (r == 0)
        errno = nSavedErrno;
    return r == 0;
}

ssize_t CFileHandle::ReadFully(char *p, std::size_t n) const
{
    std::size_t nDone = 0;
    while (nDone < n) {
        const ssize_t r = ::read(m_fd, p + nDone, n - nDone);
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

bool CFileHandle::WriteFully(const char *p, std::size_t n) const
{
    while (n > 0) {
        const ssize_t r = ::write(m_fd, p, n);
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

CFolderStream::CFolderStream(const CFileHandle &folder)
{
    CFileHandle copy(::fcntl(folder.Get(), F_DUPFD_CLOEXEC, 0));
    if (!copy.IsOpen())
        return;
    m_pDir = ::fdopendir(copy.Get());
    if (m_pDir)
        copy.Release();  // the stream owns it now
}

CFolderStream::~CFolderStream()
{
    Close();
}

CFolderStream &CFolderStream::operator=(CFolderStream &&other) noexcept
{
    if (this != &other) {
        Close();
        m_pDir = other.m_pDir;
        other.m_pDir = nullptr;
    }
    return *this;
}

const dirent *CFolderStream::Next()
{
    return m_pDir ? ::readdir(m_pDir) : nullptr;
}

void CFolderStream::Close()
{
    if (m_pDir)
        ::closedir(m_pDir);
    m_pDir = nullptr;
}
