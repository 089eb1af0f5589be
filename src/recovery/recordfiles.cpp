#include "recovery/recordfiles.h"

#include "recovery/crc32c.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

CFd &CFd::operator=(CFd &&other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int CFd::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void CFd::Reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

std::string SystemErrorText(const std::string &strPath)
{
    return strPath + ": " + std::strerror(errno);
}

int CreateLockedFile(const std::string &strPath, std::string &strError)
{
    const int fd = ::open(strPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        strError = SystemErrorText(strPath);
        return -1;
    }
    // Nobody else has the file yet, but a file system without locks would
    // refuse here; the owner's process id in the header then speaks for it.
    (void)TryLockFile(fd);
    return fd;
}

bool TryLockFile(int fd)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

bool WriteAll(int fd, std::string_view bytes)
{
    const char *p = bytes.data();
    std::size_t n = bytes.size();
    while (n > 0) {
        const ssize_t r = ::write(fd, p, n);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (r == 0) {
            errno = ENOSPC;
            return false;
        }
        p += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

bool ReadWholeFile(int fd, std::string &strData)
{
    strData.clear();
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return false;
    char block[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        strData.append(block, static_cast<std::size_t>(n));
    }
}

void SyncFolder(const std::string &strFolder)
{
    const int fd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

ECopyResult CopyCheckedFile(const std::string &strSource, const CFileIdentity &expected, int fdOut,
                            std::uint64_t &nSize, std::uint32_t &nCrc, std::string &strError)
{
    CFd in(::open(strSource.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.IsOpen() || !(FdFileIdentity(in.Get()) == expected))
        return COPY_CHANGED;
    ::posix_fadvise(in.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<char> block(1 << 20);
    nSize = 0;
    nCrc = 0;
    for (;;) {
        const ssize_t n = ::read(in.Get(), block.data(), block.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            strError = SystemErrorText(strSource);
            return COPY_FAILED;
        }
        if (n == 0)
            break;
        if (!WriteAll(fdOut, std::string_view(block.data(), static_cast<std::size_t>(n)))) {
            strError = std::strerror(errno);
            return COPY_FAILED;
        }
        nCrc = Crc32c(block.data(), static_cast<std::size_t>(n), nCrc);
        nSize += static_cast<std::uint64_t>(n);
    }
    // Written to in place while we read it: what we have is no snapshot.
    if (!(FdFileIdentity(in.Get()) == expected) || nSize != expected.nSize)
        return COPY_CHANGED;
    return COPY_OK;
}
