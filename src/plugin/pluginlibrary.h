// Plug-ins: ELF shared objects with the extension ".wpi" and C exports (the
// interface is written down for plug-in authors in plugins/wpplugin.h),
// looked for in the program folder first and then in the installation's
// plug-in folder. A plug-in is loaded for the duration of one call and
// released on every way out, so a plug-in file may be replaced while the
// program runs.
//
// The image-map plug-in "WpImgMap.wpi" gives the size of an image and turns
// an image into map markup. Paths are passed as the file system spells them
// (UTF-8); the markup comes back in Shift-JIS.
#pragma once

#include "wpplugin.h"

#include <string>
#include <string_view>
#include <vector>

class CPluginLibrary
{
public:
    CPluginLibrary() = default;
    explicit CPluginLibrary(const std::string &strPath) { Load(strPath); }
    ~CPluginLibrary() { Unload(); }
    CPluginLibrary(const CPluginLibrary &) = delete;
    CPluginLibrary &operator=(const CPluginLibrary &) = delete;

    bool Load(const std::string &strPath);
    void Unload();
    bool IsLoaded() const { return m_hModule != nullptr; }

    // The address of an export, or null.
    void *Symbol(const char *pszName) const;
    template <typename Fn>
    Fn Entry(const char *pszName) const
    {
        return reinterpret_cast<Fn>(Symbol(pszName));
    }

private:
    void *m_hModule = nullptr;
};

// The path of the first folder's file of that name, or empty.
std::string FindPluginFile(const std::vector<std::string> &aFolders, std::string_view strName);

inline constexpr const char *IMAGEMAP_PLUGIN = "WpImgMap.wpi";
// The size of the buffer the image-map entry writes into.
inline constexpr int IMAGEMAP_BUFFER_SIZE = WPIMGMAP_BUFFER_SIZE;

enum EImageMapResult
{
    IMAGEMAP_OK,
    IMAGEMAP_LOAD_FAILED,  // no plug-in, or it does not load
    IMAGEMAP_NO_ENTRY,     // it lacks the entry asked for
    IMAGEMAP_NO_MARKUP,    // it returned 0 or less
};

// The image-map plug-in, held from Open until the object goes.
class CImageMapPlugin
{
public:
    // Loads it from the first folder that has it and finds its entry.
    EImageMapResult Open(const std::vector<std::string> &aFolders);
    // Asks for the markup of an image (after a successful Open).
    EImageMapResult Run(const std::string &strImagePath, std::string &strMarkup) const;

private:
    CPluginLibrary m_library;
    WpShowImageMapFn m_fnShow = nullptr;
};

// Whether the image-map plug-in is there and loads (the clickable-map menu
// item is offered only then).
bool CanLoadImageMapPlugin(const std::vector<std::string> &aFolders);

// The size of an image in pixels through the image-map plug-in, which is
// loaded for this call alone. IMAGEMAP_NO_MARKUP when it found no size.
EImageMapResult GetImageSizeThroughPlugin(const std::vector<std::string> &aFolders, const std::string &strImagePath,
                                          int &nWidth, int &nHeight);
