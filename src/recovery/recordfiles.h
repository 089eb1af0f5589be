// File operations of the recovery records: files created under a lock,
// complete writes, a checked copy of a document's file, reads of a whole
// record. Every descriptor is opened close-on-exec: a program the editor
// starts must not inherit a record's lock and keep it alive after us.
#pragma once

#include "recovery/journalformat.h"

#include <string>
#include <string_view>

// A descriptor closed when the object goes.
class CFd
{
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() { Reset(); }
    CFd(CFd &&other) noexcept : m_fd(other.Release()) {}
    CFd &operator=(CFd &&other) noexcept;
    CFd(const CFd &) = delete;
    CFd &operator=(const CFd &) = delete;
    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    int Release();
    void Reset(int fd = -1);

private:
    int m_fd;
};

// "path: reason" for the last failed call.
std::string SystemErrorText(const std::string &strPath);

// Creates a new file (readable by the user alone) and locks it; -1 on failure.
int CreateLockedFile(const std::string &strPath, std::string &strError);
// Takes the exclusive lock of an open file without waiting.
bool TryLockFile(int fd);
bool WriteAll(int fd, std::string_view bytes);
bool ReadWholeFile(int fd, std::string &strData);
// Makes a rename or removal in the folder durable.
void SyncFolder(const std::string &strFolder);

enum ECopyResult
{
    COPY_OK,
    COPY_CHANGED,  // the file is not the one expected (replaced, written, gone)
    COPY_FAILED,   // reading or writing failed
};

// Copies the file at strSource to fdOut, provided it still is the file with
// the expected identity, before and after the copy. Gives its size and checksum.
ECopyResult CopyCheckedFile(const std::string &strSource, const CFileIdentity &expected, int fdOut,
                            std::uint64_t &nSize, std::uint32_t &nCrc, std::string &strError);
