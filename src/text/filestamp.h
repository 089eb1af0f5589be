// What a file on disk looked like when the editor last read or wrote it: its
// modification time, size and identity (device and inode). Another program
// that appends to the file, rewrites it, renames a new file over it or
// deletes it changes at least one of them; comparing stamps tells the editor
// that the text on screen is no longer what the file holds.
#pragma once

#include <cstdint>
#include <string>

struct CFileStamp
{
    bool bExists = false;
    std::int64_t nSize = 0;
    std::int64_t nModifiedNs = 0;  // modification time, nanoseconds since the epoch
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;

    friend bool operator==(const CFileStamp &, const CFileStamp &) = default;
};

// The stamp of the file a path names (following symbolic links); a path
// that names nothing, or something that cannot be examined, has a stamp that
// does not exist.
CFileStamp FileStampOf(const std::string &strPath);
