// Plug-ins for the tests, put into folders as the editor finds them, and a
// hold on one that keeps it loaded, so that what it counted survives the
// editor unloading it after each call.
#pragma once

#include "support/testutil.h"

#include <dlfcn.h>

#include <string>

inline std::string InstallPluginFile(const std::string &strFolder, const std::string &strName, const char *pszBuilt)
{
    const std::string strPath = strFolder + "/" + strName;
    WriteFileBytes(strPath, ReadFileBytes(pszBuilt));
    return strPath;
}

class CPluginHold
{
public:
    explicit CPluginHold(const std::string &strPath) : m_hModule(dlopen(strPath.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~CPluginHold()
    {
        if (m_hModule)
            dlclose(m_hModule);
    }
    CPluginHold(const CPluginHold &) = delete;
    CPluginHold &operator=(const CPluginHold &) = delete;

    bool IsLoaded() const { return m_hModule != nullptr; }
    // How often the plug-in's command functions ran.
    int Calls() const
    {
        auto fn = reinterpret_cast<int (*)()>(dlsym(m_hModule, "WpTestCalls"));
        return fn ? fn() : -1;
    }
    // The selection the last command on the selection was given.
    std::string Selection() const
    {
        auto fn = reinterpret_cast<const char *(*)()>(dlsym(m_hModule, "WpTestSelection"));
        return fn ? fn() : std::string();
    }

private:
    void *m_hModule;
};
