#include "platform/userfolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

bool IsFolder(const std::string &strPath)
{
    struct stat st;
    return !strPath.empty() && stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Joined(const std::string &strFolder, const char *pszName)
{
    std::string strPath = strFolder;
    if (strPath.empty() || strPath.back() != '/')
        strPath += '/';
    return strPath + pszName;
}

} // namespace

std::string UserDataFolder()
{
    const char *pszData = std::getenv("XDG_DATA_HOME");
    // A relative value is invalid and ignored, as the base-directory rules say.
    if (pszData && pszData[0] == '/')
        return pszData;
    const char *pszHome = std::getenv("HOME");
    if (!pszHome || !*pszHome)
        return std::string();
    return Joined(pszHome, ".local/share");
}

std::string UserProgramFolder()
{
    const std::string strData = UserDataFolder();
    return strData.empty() ? std::string() : Joined(strData, "Orvane Applet/Wrenpad");
}

std::string InstalledPluginFolder(const std::string &strProgramFolder, const char *pszInstalled)
{
    if (!strProgramFolder.empty()) {
        for (const char *pszBeside : {"../lib/wrenpad/plugins", "plugins"}) {
            const std::string strPath = Joined(strProgramFolder, pszBeside);
            if (!IsFolder(strPath))
                continue;
            // Without the "bin/.." that took us there.
            std::unique_ptr<char, decltype(&std::free)> pReal(realpath(strPath.c_str(), nullptr), &std::free);
            return pReal ? std::string(pReal.get()) : strPath;
        }
    }
    if (pszInstalled && IsFolder(pszInstalled))
        return pszInstalled;
    return std::string();
}

std::string RunningProgramFolder()
{
    std::vector<char> aPath(4096);
    const ssize_t n = ::readlink("/proc/self/exe", aPath.data(), aPath.size() - 1);
    if (n <= 0 || static_cast<std::size_t>(n) >= aPath.size() - 1)
        return std::string();
    std::string strPath(aPath.data(), static_cast<std::size_t>(n));
    const std::size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash ? nSlash : 1);
}
