#include "plugin/pluginlibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>

namespace {

std::string Joined(const std::string &strFolder, std::string_view strName)
{
    std::string strPath = strFolder;
    if (strPath.back() != '/')
        strPath += '/';
    strPath += strName;
    return strPath;
}

} // namespace

bool CPluginLibrary::Load(const std::string &strPath)
{
    Unload();
    // Resolve everything now: a plug-in with a missing symbol fails here,
    // not in the middle of a call. A name without a slash would make the
    // loader search its own folders; plug-ins are always named by path.
    if (strPath.find('/') == std::string::npos)
        return false;
    m_hModule = dlopen(strPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    return m_hModule != nullptr;
}

void CPluginLibrary::Unload()
{
    if (m_hModule)
        dlclose(m_hModule);
    m_hModule = nullptr;
}

void *CPluginLibrary::Symbol(const char *pszName) const
{
    return m_hModule ? dlsym(m_hModule, pszName) : nullptr;
}

std::string FindPluginFile(const std::vector<std::string> &aFolders, std::string_view strName)
{
    for (const std::string &strFolder : aFolders) {
        if (strFolder.empty())
            continue;
        const std::string strPath = Joined(strFolder, strName);
        struct stat st;
        if (stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return strPath;
    }
    return std::string();
}

EImageMapResult CImageMapPlugin::Open(const std::vector<std::string> &aFolders)
{
    m_fnShow = nullptr;
    const std::string strPath = FindPluginFile(aFolders, IMAGEMAP_PLUGIN);
    if (strPath.empty() || !m_library.Load(strPath))
        return IMAGEMAP_LOAD_FAILED;
    m_fnShow = m_library.Entry<WpShowImageMapFn>("ShowWpImageMap");
    if (!m_fnShow) {
        m_library.Unload();
        return IMAGEMAP_NO_ENTRY;
    }
    return IMAGEMAP_OK;
}

EImageMapResult CImageMapPlugin::Run(const std::string &strImagePath, std::string &strMarkup) const
{
    strMarkup.clear();
    if (!m_fnShow)
        return IMAGEMAP_LOAD_FAILED;
    // One byte more than the plug-in is told, so that the text always ends.
    std::vector<char> aBuffer(static_cast<std::size_t>(IMAGEMAP_BUFFER_SIZE) + 1, '\0');
    if (m_fnShow(aBuffer.data(), IMAGEMAP_BUFFER_SIZE, strImagePath.c_str()) <= 0)
        return IMAGEMAP_NO_MARKUP;
    strMarkup.assign(aBuffer.data(), strnlen(aBuffer.data(), static_cast<std::size_t>(IMAGEMAP_BUFFER_SIZE)));
    return IMAGEMAP_OK;
}

bool CanLoadImageMapPlugin(const std::vector<std::string> &aFolders)
{
    const std::string strPath = FindPluginFile(aFolders, IMAGEMAP_PLUGIN);
    return !strPath.empty() && CPluginLibrary(strPath).IsLoaded();
}

EImageMapResult GetImageSizeThroughPlugin(const std::vector<std::string> &aFolders, const std::string &strImagePath,
                                          int &nWidth, int &nHeight)
{
    nWidth = 0;
    nHeight = 0;
    const std::string strPath = FindPluginFile(aFolders, IMAGEMAP_PLUGIN);
    if (strPath.empty())
        return IMAGEMAP_LOAD_FAILED;
    CPluginLibrary library(strPath);
    if (!library.IsLoaded())
        return IMAGEMAP_LOAD_FAILED;
    const auto fnSize = library.Entry<WpGetImageSizeFn>("WpGetImageSize");
    if (!fnSize)
        return IMAGEMAP_NO_ENTRY;
    int nW = 0;
    int nH = 0;
    if (fnSize(strImagePath.c_str(), &nW, &nH) == 0 || nW <= 0 || nH <= 0)
        return IMAGEMAP_NO_MARKUP;
    nWidth = nW;
    nHeight = nH;
    return IMAGEMAP_OK;
}
