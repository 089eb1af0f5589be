#include "platform/pathnames.h"

std::string JoinPath(std::string_view strFolder, std::string_view strName)
{
    std::string strPath(strFolder);
    if (strPath.empty() || strPath.back() != '/')
        strPath += '/';
    strPath += strName;
    return strPath;
}

std::string ParentPath(std::string_view strPath)
{
    while (strPath.size() > 1 && strPath.back() == '/')
        strPath.remove_suffix(1);
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string_view::npos || strPath == "/")
        return std::string();
    return std::string(strPath.substr(0, nSlash == 0 ? 1 : nSlash));
}

std::string_view BaseName(std::string_view strPath)
{
    while (strPath.size() > 1 && strPath.back() == '/')
        strPath.remove_suffix(1);
    const std::size_t nSlash = strPath.rfind('/');
    return nSlash == std::string_view::npos || strPath == "/" ? strPath : strPath.substr(nSlash + 1);
}
