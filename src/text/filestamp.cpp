#include "text/filestamp.h"

#include <sys/stat.h>

CFileStamp FileStampOf(const std::string &strPath)
{
    CFileStamp stamp;
    struct stat st;
    if (strPath.empty() || ::stat(strPath.c_str(), &st) != 0)
        return stamp;
    stamp.bExists = true;
    stamp.nSize = static_cast<std::int64_t>(st.st_size);
    stamp.nModifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.nDevice = static_cast<std::uint64_t>(st.st_dev);
    stamp.nInode = static_cast<std::uint64_t>(st.st_ino);
    return stamp;
}
