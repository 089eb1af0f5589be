#include "app/docfile.h"

#include <sys/stat.h>
#include <unistd.h>

EOpenCheck CheckFileForOpening(const std::string &strPath, long long nMaxBytes)
{
    struct stat st;
    if (strPath.empty() || ::stat(strPath.c_str(), &st) != 0)
        return OPEN_MISSING;
    if (S_ISDIR(st.st_mode))
        return OPEN_FOLDER;
    if (!S_ISREG(st.st_mode))
        return OPEN_NOT_REGULAR;
    if (::access(strPath.c_str(), R_OK) != 0)
        return OPEN_NO_PERMISSION;
    if (static_cast<long long>(st.st_size) > nMaxBytes)
        return OPEN_TOO_LARGE;
    return OPEN_OK;
}
