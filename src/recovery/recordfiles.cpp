#include "recovery/recordfiles.h"

#include "recovery/crc32c.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

std::string SystemErrorText(const std::string &strPath)
{
    return strPath + ": " + std::strerror(errno);
}

CFileHandle CreateLockedFile(const std::string &strPath, std::string &strError)
{
    CFileHandle file = CFileHandle::Open(strPath, O_RDWR | O_CREAT | O_EXCL, 0600);
    if (!file.IsOpen()) {
        strError = SystemErrorText(strPath);
        return file;
    }
    // Nobody else has the file yet, but a file system without locks would
    // refuse here; the owner's process id in the header then speaks for it.
    (void)TryLockFile(file.Get());
    return file;
}

bool TryLockFile(int fd)
{
    return RetryInterrupted([fd] { return ::flock(fd, LOCK_EX | LOCK_NB); }) == 0;
}

void SyncFolder(const std::string &strFolder)
{
    const CFileHandle folder = CFileHandle::Open(strFolder, O_RDONLY | O_DIRECTORY);
    if (folder.IsOpen())
        ::fsync(folder.Get());
}

ECopyResult CopyCheckedFile(const std::string &strSource, const CFileIdentity &expected, int fdOut,
                            std::uint64_t &nSize, std::uint32_t &nCrc, std::string &strError)
{
    const CFileHandle in = CFileHandle::Open(strSource, O_RDONLY);
    if (!in.IsOpen() || !(FdFileIdentity(in.Get()) == expected))
        return COPY_CHANGED;
    ::posix_fadvise(in.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<char> block(1 << 20);
    nSize = 0;
    nCrc = 0;
    for (;;) {
        const ssize_t n = in.Read(block.data(), block.size());
        if (n < 0) {
            strError = SystemErrorText(strSource);
            return COPY_FAILED;
        }
        if (n == 0)
            break;
        if (!FdWriteFully(fdOut, block.data(), static_cast<std::size_t>(n))) {
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
