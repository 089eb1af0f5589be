// Whether a file can be opened as a document, checked before loading so that
// the user learns why not instead of waiting for a load that cannot succeed.
#pragma once

#include <string>

enum EOpenCheck
{
    OPEN_OK,
    OPEN_MISSING,       // nothing at the path
    OPEN_FOLDER,        // a folder
    OPEN_NOT_REGULAR,   // a device, a pipe, a socket: reading might never end
    OPEN_NO_PERMISSION, // the user may not read it
    OPEN_TOO_LARGE,     // larger than the editor holds
};

// Files above this size are refused: the editor keeps every byte in memory,
// several times over while it loads.
inline constexpr long long MAX_DOCUMENT_BYTES = 1LL << 30;

EOpenCheck CheckFileForOpening(const std::string &strPath, long long nMaxBytes = MAX_DOCUMENT_BYTES);
