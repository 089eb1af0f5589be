// File operations of the recovery records: files created under a lock,
// complete writes, a checked copy of a document's file, reads of a whole
// record. Every descriptor is opened close-on-exec: a program the editor
// starts must not inherit a record's lock and keep it alive after us.
#pragma once

#include "recovery/journalformat.h"
#include "text/filehandle.h"

#include <string>

// "path: reason" for the last failed call.
std::string SystemErrorText(const std::string &strPath);

// Creates a new file (readable by the user alone) and locks it; not open on failure.
CFileHandle CreateLockedFile(const std::string &strPath, std::string &strError);
// Takes the exclusive lock of an open file without waiting.
bool TryLockFile(int fd);
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
