// Collects what a folder search reports: its result lines as the results bar
// shows them (UTF-8) and its two status lines. fnEach, when set, runs after
// each result line with the number of lines so far; it may cancel or throw.
#pragma once

#include "search/foldersearch.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CLineCollector : public CFolderSearchSink
{
public:
    void OnResult(const CSearchResult &result) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        aLines.push_back(FormatResultLineUtf8(result));
        if (fnEach)
            fnEach(aLines.size());
    }
    void OnStatus(int nLine, const std::string &strText) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        (nLine == 1 ? strStatus1 : strStatus2) = strText;
    }
    std::string Status(int nLine)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return nLine == 1 ? strStatus1 : strStatus2;
    }
    // The result lines, each ended by "\n".
    std::string Joined() const
    {
        std::string s;
        for (const std::string &line : aLines)
            s += line + "\n";
        return s;
    }

    std::vector<std::string> aLines;
    std::string strStatus1;
    std::string strStatus2;
    std::function<void(std::size_t)> fnEach;

private:
    std::mutex m_mutex;
};
