#include "platform/profile.h"

#include <charconv>

int CMemoryProfileStore::GetInt(const std::string &strSection, const std::string &strEntry, int nDefault) const
{
    auto it = m_values.find({strSection, strEntry});
    if (it == m_values.end())
        return nDefault;
    int n = 0;
    const char *p = it->second.data();
    const auto r = std::from_chars(p, p + it->second.size(), n);
    return r.ec == std::errc() ? n : nDefault;
}

std::string CMemoryProfileStore::GetString(const std::string &strSection, const std::string &strEntry,
                                           const std::string &strDefault) const
{
    auto it = m_values.find({strSection, strEntry});
    return it == m_values.end() ? strDefault : it->second;
}

void CMemoryProfileStore::WriteInt(const std::string &strSection, const std::string &strEntry, int nValue)
{
    m_values[{strSection, strEntry}] = std::to_string(nValue);
}

void CMemoryProfileStore::WriteString(const std::string &strSection, const std::string &strEntry,
                                      const std::string &strValue)
{
    m_values[{strSection, strEntry}] = strValue;
}

bool CMemoryProfileStore::HasEntry(const std::string &strSection, const std::string &strEntry) const
{
    return m_values.count({strSection, strEntry}) > 0;
}

namespace {

CMemoryProfileStore &FallbackStore()
{
    static CMemoryProfileStore store;
    return store;
}

CProfileStore *&CurrentStore()
{
    static CProfileStore *pStore = &FallbackStore();
    return pStore;
}

} // namespace

CProfileStore &AppProfile()
{
    return *CurrentStore();
}

void SetAppProfile(CProfileStore *pStore)
{
    CurrentStore() = pStore ? pStore : &FallbackStore();
}
