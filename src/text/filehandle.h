// Owned file descriptors and folder listings, and the reads and writes every
// file of the program goes through. Each object closes what it holds on every
// path out of its scope, exceptions included, and can be moved but never
// copied, so a descriptor has exactly one owner at a time.
//
// The reads and writes go on after a signal interrupts them (EINTR) and after
// short transfers, so that no caller writes that loop again. They keep errno
// of the call that failed. The functions over a bare descriptor serve one
// held elsewhere (a caller's, or a record's kept open across calls); a
// CFileHandle offers the same on its own.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <dirent.h>
#include <string>
#include <sys/types.h>

// Calls a system call again as long as it fails with EINTR; its result otherwise.
template <typename Call>
auto RetryInterrupted(Call call)
{
    for (;;) {
        const auto r = call();
        if (!(r == -1 && errno == EINTR))
            return r;
    }
}

// One read(2) or pread(2): the bytes read, 0 at the end of the file, -1 on an error.
ssize_t FdRead(int fd, void *p, std::size_t n);
ssize_t FdReadAt(int fd, void *p, std::size_t n, std::int64_t nOffset);
// Reads until n bytes are in or the file ends: the bytes read, or -1 on an error.
ssize_t FdReadFully(int fd, void *p, std::size_t n);
ssize_t FdReadFullyAt(int fd, void *p, std::size_t n, std::int64_t nOffset);
// Writes all n bytes; false on an error, with errno ENOSPC when the file
// takes no more without saying why.
bool FdWriteFully(int fd, const void *p, std::size_t n);
bool FdWriteFullyAt(int fd, const void *p, std::size_t n, std::int64_t nOffset);
// Everything from the descriptor's position to the end of the file, which
// may be a pipe; or from nOffset on, leaving the position where it was. False
// (and strData empty) on an error.
bool FdReadToEnd(int fd, std::string &strData);
bool FdReadToEndAt(int fd, std::string &strData, std::int64_t nOffset);

class CFileHandle
{
public:
    CFileHandle() = default;
    explicit CFileHandle(int fd) : m_fd(fd) {}
    ~CFileHandle() { Close(); }
    CFileHandle(CFileHandle &&other) noexcept : m_fd(other.Release()) {}
    CFileHandle &operator=(CFileHandle &&other) noexcept;
    CFileHandle(const CFileHandle &) = delete;
    CFileHandle &operator=(const CFileHandle &) = delete;

    // open(2) and openat(2) with O_CLOEXEC added; a handle that is not open
    // (errno says why) when they fail.
    static CFileHandle Open(const std::string &strPath, int nFlags, mode_t mode = 0);
    static CFileHandle OpenAt(const CFileHandle &folder, const std::string &strName, int nFlags,
                              mode_t mode = 0);

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Gives the descriptor up without closing it.
    int Release();
    // False when close(2) reports an error, which for a file just written
    // means its data may not have reached it. errno is kept on success.
    bool Close();

    // The reads and writes above, on this descriptor.
    ssize_t Read(void *p, std::size_t n) const { return FdRead(m_fd, p, n); }
    ssize_t ReadAt(void *p, std::size_t n, std::int64_t nOffset) const { return FdReadAt(m_fd, p, n, nOffset); }
    ssize_t ReadFully(void *p, std::size_t n) const { return FdReadFully(m_fd, p, n); }
    ssize_t ReadFullyAt(void *p, std::size_t n, std::int64_t nOffset) const
    {
        return FdReadFullyAt(m_fd, p, n, nOffset);
    }
    bool WriteFully(const void *p, std::size_t n) const { return FdWriteFully(m_fd, p, n); }
    bool WriteFullyAt(const void *p, std::size_t n, std::int64_t nOffset) const
    {
        return FdWriteFullyAt(m_fd, p, n, nOffset);
    }
    bool ReadToEnd(std::string &strData) const { return FdReadToEnd(m_fd, strData); }
    bool ReadToEndAt(std::string &strData, std::int64_t nOffset) const
    {
        return FdReadToEndAt(m_fd, strData, nOffset);
    }

private:
    int m_fd = -1;
};

// The entries of a folder, read through a stream of their own over a copy of
// the folder's descriptor, so that the folder handle stays free for openat.
class CFolderStream
{
public:
    CFolderStream() = default;
    // Not open (errno says why) when the folder cannot be listed.
    explicit CFolderStream(const CFileHandle &folder);
    ~CFolderStream();
    CFolderStream(CFolderStream &&other) noexcept : m_pDir(other.m_pDir) { other.m_pDir = nullptr; }
    CFolderStream &operator=(CFolderStream &&other) noexcept;
    CFolderStream(const CFolderStream &) = delete;
    CFolderStream &operator=(const CFolderStream &) = delete;

    bool IsOpen() const { return m_pDir != nullptr; }
    // The next entry, "." and ".." included; null at the end of the folder.
    const dirent *Next();

private:
    void Close();

    DIR *m_pDir = nullptr;
};
