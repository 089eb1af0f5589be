// Owned file descriptors and folder listings. Each object closes what it
// holds on every path out of its scope, exceptions included, and can be moved
// but never copied, so a descriptor has exactly one owner at a time.
#pragma once

#include <cstddef>
#include <dirent.h>
#include <string>
#include <sys/types.h>

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

    // Reads until n bytes are in or the file ends, going on after
    // interruptions and short reads: the bytes read, or -1 on an error.
    ssize_t ReadFully(char *p, std::size_t n) const;
    // Writes all n bytes; false on an error.
    bool WriteFully(const char *p, std::size_t n) const;

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
