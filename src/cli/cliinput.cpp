// The paths wrenpad-tool reads: one check for every command, so that a bad
// path is refused the same way whichever command is given it.
#include "cli/cli.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool CliCheckInput(const std::string &strPath, ECliInput eKind)
{
    const char *pszReason = nullptr;
    struct stat st;
    if (::stat(strPath.c_str(), &st) != 0) {
        pszReason = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        if (eKind != ECliInput::Folder)
            pszReason = std::strerror(EISDIR);
        else if (::access(strPath.c_str(), R_OK | X_OK) != 0)
            pszReason = std::strerror(errno);
    } else if (eKind == ECliInput::Folder) {
        pszReason = std::strerror(ENOTDIR);
    } else if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) {
        // Reading a device could block, never end, or change it.
        pszReason = "a device or a socket, not a file";
    } else if (::access(strPath.c_str(), R_OK) != 0) {
        pszReason = std::strerror(errno);
    }
    if (!pszReason)
        return true;
    CliFail("cannot read " + strPath + ": " + pszReason);
    return false;
}
