// The recent-file list: at most a fixed number of paths, the latest first,
// kept in the settings section "Recent File List" as File1, File2 ...
#pragma once

#include "platform/profile.h"

#include <string>
#include <vector>

inline constexpr const char *SECTION_RECENT_FILES = "Recent File List";

class CRecentFileList
{
public:
    explicit CRecentFileList(int nSize = 4);

    int GetMaxSize() const { return m_nSize; }
    int GetSize() const { return static_cast<int>(m_aPaths.size()); }
    const std::string &operator[](int nIndex) const { return m_aPaths[static_cast<std::size_t>(nIndex)]; }
    const std::vector<std::string> &Paths() const { return m_aPaths; }

    // Puts a path first, removing an earlier entry of the same path; the
    // oldest entry falls off a full list. A list of size 0 keeps nothing.
    void Add(const std::string &strPath);
    void Remove(int nIndex);
    void RemoveAll();

    void ReadList(const CProfileStore &store);
    // Writes every slot; emptied slots are written empty.
    void WriteList(CProfileStore &store) const;

private:
    int m_nSize;
    std::vector<std::string> m_aPaths;
};
