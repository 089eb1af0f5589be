// The file side of the kanji import and exports: reading a whole file with
// every byte (NUL bytes too), the kinds of file errors the import reports,
// and cutting an imported text into lines by its own line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum EFileError
{
    FILEERR_NONE = 0,
    FILEERR_NOT_FOUND,
    FILEERR_TOO_MANY_OPEN,
    FILEERR_HARDWARE,
    FILEERR_BAD_PATH,
    FILEERR_SEEK,
    FILEERR_DISK_FULL,
    FILEERR_BAD_HANDLE,
    FILEERR_GENERIC,
};

// The kind of an errno value.
int FileErrorFromErrno(int nErrno);
// The message the import shows for a kind ("Error: The file could not be located." ...).
const char *FileErrorText(int nError);

// Reads the whole file; FILEERR_NONE, or the kind of the failure.
int ReadWholeFile(const std::string &strPath, std::string &strBytes);

// The lines of a text for a line-end mode (LINEEND_*): split at CR LF, at
// LF or at CR only; other line-end bytes stay in the lines, so joining the
// pieces with the mode's separator gives the text back.
std::vector<std::string_view> SplitLinesForMode(std::string_view text, int nMode);
