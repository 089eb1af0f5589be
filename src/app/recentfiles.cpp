#include "app/recentfiles.h"

#include <algorithm>

namespace {

std::string EntryName(int nIndex)
{
    return "File" + std::to_string(nIndex + 1);
}

} // namespace

CRecentFileList::CRecentFileList(int nSize) : m_nSize(std::max(0, nSize)) {}

void CRecentFileList::Add(const std::string &strPath)
{
    if (m_nSize == 0 || strPath.empty())
        return;
    m_aPaths.erase(std::remove(m_aPaths.begin(), m_aPaths.end(), strPath), m_aPaths.end());
    m_aPaths.insert(m_aPaths.begin(), strPath);
    if (GetSize() > m_nSize)
        m_aPaths.resize(static_cast<std::size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex >= 0 && nIndex < GetSize())
        m_aPaths.erase(m_aPaths.begin() + nIndex);
}

void CRecentFileList::RemoveAll()
{
    m_aPaths.clear();
}

void CRecentFileList::ReadList(const CProfileStore &store)
{
    m_aPaths.clear();
    for (int i = 0; i < m_nSize; ++i) {
        const std::string strPath = store.GetString(SECTION_RECENT_FILES, EntryName(i), "");
        if (!strPath.empty() && std::find(m_aPaths.begin(), m_aPaths.end(), strPath) == m_aPaths.end())
            m_aPaths.push_back(strPath);
    }
}

void CRecentFileList::WriteList(CProfileStore &store) const
{
    for (int i = 0; i < m_nSize; ++i)
        store.WriteString(SECTION_RECENT_FILES, EntryName(i), i < GetSize() ? m_aPaths[static_cast<std::size_t>(i)] : "");
}
