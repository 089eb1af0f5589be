#include "text/filehandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

// Repeats one transfer, given how much is done, until all n bytes have gone
// or it reports the end of the file: the bytes moved, or -1.
template <typename Transfer>
ssize_t TransferFully(std::size_t n, Transfer transfer)
{
    std::size_t nDone = 0;
    while (nDone < n) {
        const ssize_t r = transfer(nDone);
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        nDone += static_cast<std::size_t>(r);
    }
    return static_cast<ssize_t>(nDone);
}

bool WrittenWhole(ssize_t nWritten, std::size_t n)
{
    if (nWritten < 0)
        return false;
    // write(2) took nothing and gave no reason: the file takes no more.
    if (static_cast<std::size_t>(nWritten) < n) {
        errno = ENOSPC;
        return false;
    }
    return true;
}

// Reads blocks, given how much is in, until the end of the file.
template <typename ReadBlock>
bool ReadRest(int fd, std::string &strData, ReadBlock readBlock)
{
    strData.clear();
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        strData.reserve(static_cast<std::size_t>(st.st_size));
    char block[1 << 16];
    for (;;) {
        const ssize_t r = readBlock(block, sizeof block, strData.size());
        if (r < 0) {
            strData.clear();
            return false;
        }
        if (r == 0)
            return true;
        strData.append(block, static_cast<std::size_t>(r));
    }
}

} // namespace

ssize_t FdRead(int fd, void *p, std::size_t n)
{
    return RetryInterrupted([&] { return ::read(fd, p, n); });
}

ssize_t FdReadAt(int fd, void *p, std::size_t n, std::int64_t nOffset)
{
    return RetryInterrupted([&] { return ::pread(fd, p, n, static_cast<off_t>(nOffset)); });
}

ssize_t FdReadFully(int fd, void *p, std::size_t n)
{
    char *const pc = static_cast<char *>(p);
    return TransferFully(n, [&](std::size_t nDone) { return FdRead(fd, pc + nDone, n - nDone); });
}

ssize_t FdReadFullyAt(int fd, void *p, std::size_t n, std::int64_t nOffset)
{
    char *const pc = static_cast<char *>(p);
    return TransferFully(n, [&](std::size_t nDone) {
        return FdReadAt(fd, pc + nDone, n - nDone, nOffset + static_cast<std::int64_t>(nDone));
    });
}

bool FdWriteFully(int fd, const void *p, std::size_t n)
{
    const char *const pc = static_cast<const char *>(p);
    return WrittenWhole(TransferFully(n, [&](std::size_t nDone) {
                            return RetryInterrupted([&] { return ::write(fd, pc + nDone, n - nDone); });
                        }),
                        n);
}

bool FdWriteFullyAt(int fd, const void *p, std::size_t n, std::int64_t nOffset)
{
    const char *const pc = static_cast<const char *>(p);
    return WrittenWhole(TransferFully(n, [&](std::size_t nDone) {
                            return RetryInterrupted([&] {
                                return ::pwrite(fd, pc + nDone, n - nDone,
                                                static_cast<off_t>(nOffset + static_cast<std::int64_t>(nDone)));
                            });
                        }),
                        n);
}

bool FdReadToEnd(int fd, std::string &strData)
{
    return ReadRest(fd, strData, [fd](char *p, std::size_t n, std::size_t) { return FdRead(fd, p, n); });
}

bool FdReadToEndAt(int fd, std::string &strData, std::int64_t nOffset)
{
    return ReadRest(fd, strData, [fd, nOffset](char *p, std::size_t n, std::size_t nHave) {
        return FdReadAt(fd, p, n, nOffset + static_cast<std::int64_t>(nHave));
    });
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
