#include "text/kanjiio.h"

#include "text/filehandle.h"
#include "text/textbuffer.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int FileErrorFromErrno(int nErrno)
{
    switch (nErrno) {
    case 0:
        return FILEERR_NONE;
    case ENOENT:
        return FILEERR_NOT_FOUND;
    case EMFILE:
    case ENFILE:
        return FILEERR_TOO_MANY_OPEN;
    case EIO:
        return FILEERR_HARDWARE;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return FILEERR_BAD_PATH;
    case ESPIPE:
        return FILEERR_SEEK;
    case ENOSPC:
    case EDQUOT:
        return FILEERR_DISK_FULL;
    case EBADF:
        return FILEERR_BAD_HANDLE;
    default:
        return FILEERR_GENERIC;
    }
}

const char *FileErrorText(int nError)
{
    switch (nError) {
    case FILEERR_NOT_FOUND:
        return "Error: The file could not be located.";
    case FILEERR_TOO_MANY_OPEN:
        return "Error: No more file handles available";
    case FILEERR_HARDWARE:
        return "Error: There was a hardware error.";
    case FILEERR_BAD_PATH:
        return "Error: All or part of the path is invalid";
    case FILEERR_SEEK:
        return "Error: There was an error trying to set the file pointer.";
    case FILEERR_DISK_FULL:
        return "Error: The disk is full.";
    case FILEERR_BAD_HANDLE:
        return "Error: There was an attempt to use an invalid file handle.";
    default:
        return "Error: UnKnown file error";
    }
}

int ReadWholeFile(const std::string &strPath, std::string &strBytes)
{
    strBytes.clear();
    // Reading is all the import needs: a file the user may not write imports too.
    const CFileHandle file = CFileHandle::Open(strPath, O_RDONLY);
    if (!file.IsOpen())
        return FileErrorFromErrno(errno);
    struct stat st;
    if (::fstat(file.Get(), &st) != 0)
        return FileErrorFromErrno(errno);
    if (S_ISDIR(st.st_mode))
        return FileErrorFromErrno(EISDIR);
    return file.ReadToEnd(strBytes) ? FILEERR_NONE : FileErrorFromErrno(errno);
}

std::vector<std::string_view> SplitLinesForMode(std::string_view text, int nMode)
{
    const std::string_view sep = nMode == LINEEND_LF ? "\n" : nMode == LINEEND_CR ? "\r" : "\r\n";
    std::vector<std::string_view> aLines;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nAt = text.find(sep, nStart);
        if (nAt == std::string_view::npos) {
            aLines.push_back(text.substr(nStart));
            return aLines;
        }
        aLines.push_back(text.substr(nStart, nAt - nStart));
        nStart = nAt + sep.size();
    }
}
