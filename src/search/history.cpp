#include "search/history.h"

#include <algorithm>

std::vector<std::string> SplitHistory(std::string_view strStored)
{
    std::vector<std::string> aEntries;
    std::size_t nStart = 0;
    while (nStart < strStored.size()) {
        std::size_t nEnd = strStored.find('\n', nStart);
        if (nEnd == std::string_view::npos)
            nEnd = strStored.size();
        if (nEnd > nStart)
            aEntries.emplace_back(strStored.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return aEntries;
}

std::string JoinHistory(const std::vector<std::string> &aEntries, bool bTerminate)
{
    std::string s;
    for (std::size_t i = 0; i < aEntries.size(); ++i) {
        s += aEntries[i];
        if (bTerminate || i + 1 < aEntries.size())
            s += '\n';
    }
    return s;
}

void PushHistory(std::vector<std::string> &aEntries, const std::string &strEntry, std::size_t nMax)
{
    if (strEntry.empty())
        return;
    aEntries.erase(std::remove(aEntries.begin(), aEntries.end(), strEntry), aEntries.end());
    aEntries.insert(aEntries.begin(), strEntry);
    if (aEntries.size() > nMax)
        aEntries.resize(nMax);
}
