// Settings in memory that remember which entries were written, in order.
#pragma once

#include "platform/profile.h"

#include <string>
#include <vector>

class CRecordingStore : public CMemoryProfileStore
{
public:
    void WriteInt(const std::string &strSection, const std::string &strEntry, int nValue) override
    {
        m_aWrites.push_back(strEntry);
        CMemoryProfileStore::WriteInt(strSection, strEntry, nValue);
    }
    void WriteString(const std::string &strSection, const std::string &strEntry, const std::string &strValue) override
    {
        m_aWrites.push_back(strEntry);
        CMemoryProfileStore::WriteString(strSection, strEntry, strValue);
    }
    std::vector<std::string> m_aWrites;
};
