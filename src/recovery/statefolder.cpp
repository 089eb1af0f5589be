#include "recovery/statefolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
std::string g_strOverride;

std::string HomeFolder()
{
    if (const char *psz = std::getenv("HOME"); psz && *psz)
        return psz;
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

std::string ErrorText(const std::string &strPath, int nErrno)
{
    return strPath + ": " + std::strerror(nErrno);
}

} // namespace

std::string StateFolder()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_strOverride.empty())
            return g_strOverride;
    }
    // A relative value is not a place the specification of these variables
    // allows; it would depend on the current folder.
    if (const char *psz = std::getenv("XDG_STATE_HOME"); psz && psz[0] == '/')
        return std::string(psz) + "/wrenpad";
    return HomeFolder() + "/.local/state/wrenpad";
}

void SetStateFolderOverride(const std::string &strPath)
{
    std::lock_guard lock(g_mutex);
    g_strOverride = strPath;
}

bool EnsurePrivateFolder(const std::string &strPath, std::string &strError)
{
    if (strPath.empty() || strPath[0] != '/') {
        strError = strPath + ": not an absolute path";
        return false;
    }
    for (std::size_t nSlash = strPath.find('/', 1);; nSlash = strPath.find('/', nSlash + 1)) {
        const std::string strPart = strPath.substr(0, nSlash);
        if (::mkdir(strPart.c_str(), 0700) != 0 && errno != EEXIST) {
            strError = ErrorText(strPart, errno);
            return false;
        }
        if (nSlash == std::string::npos)
            break;
    }
    struct stat st;
    if (::stat(strPath.c_str(), &st) != 0) {
        strError = ErrorText(strPath, errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        strError = ErrorText(strPath, ENOTDIR);
        return false;
    }
    if ((st.st_mode & 077) != 0 && st.st_uid == ::geteuid() && ::chmod(strPath.c_str(), st.st_mode & 07700) != 0) {
        strError = ErrorText(strPath, errno);
        return false;
    }
    return true;
}

bool CanCreateFilesIn(const std::string &strFolder, std::string &strError)
{
    std::string strProbe = strFolder + "/.probe-XXXXXX";
    const int fd = ::mkostemp(strProbe.data(), O_CLOEXEC);
    if (fd < 0) {
        strError = ErrorText(strFolder, errno);
        return false;
    }
    ::close(fd);
    ::unlink(strProbe.c_str());
    return true;
}
