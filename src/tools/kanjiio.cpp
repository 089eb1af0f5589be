#include "tools/kanjiio.h"

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
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileErrorFromErrno(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int nErr = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return FileErrorFromErrno(nErr);
    }
    if (S_ISREG(st.st_mode))
        strBytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int nErr = errno;
            ::close(fd);
            strBytes.clear();
            return FileErrorFromErrno(nErr);
        }
        if (n == 0)
            break;
        strBytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return FILEERR_NONE;
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
