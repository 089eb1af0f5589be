// Plug-ins: ELF shared objects with the extension ".wpi" and C exports, looked
// for in the program folder first and then in the installation's plug-in
// folder. A plug-in is loaded for the duration of one call and released on
// every way out, so a plug-in file may be replaced while the program runs.
//
// The image-map plug-in "WpImgMap.wpi" turns an image into map markup:
//     int ShowWpImageMap(char *pszBuffer, int nSize, const char *pszImagePath);
// writes at most nSize bytes of Shift-JIS markup (zero-terminated) and
// returns a value above 0 when it wrote some. The path is the file's name as
// the file system spells it (UTF-8).
#pragma once

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
inline constexpr int IMAGEMAP_BUFFER_SIZE = 5000;

enum EImageMapResult
{
    IMAGEMAP_OK,
    IMAGEMAP_LOAD_FAILED,  // no plug-in, or it does not load
    IMAGEMAP_NO_ENTRY,     // it lacks "ShowWpImageMap"
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
    using ShowWpImageMapFn = int (*)(char *, int, const char *);
    CPluginLibrary m_library;
    ShowWpImageMapFn m_fnShow = nullptr;
};
