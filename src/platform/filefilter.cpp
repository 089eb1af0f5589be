#include "platform/filefilter.h"

namespace {

std::vector<std::string_view> Split(std::string_view s, char ch)
{
    std::vector<std::string_view> parts;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nPos = s.find(ch, nStart);
        parts.push_back(s.substr(nStart, nPos == std::string_view::npos ? std::string_view::npos : nPos - nStart));
        if (nPos == std::string_view::npos)
            return parts;
        nStart = nPos + 1;
    }
}

} // namespace

std::vector<CFileFilter> ParseFileFilter(std::string_view filter)
{
    std::vector<CFileFilter> aFilters;
    const std::vector<std::string_view> parts = Split(filter, '|');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        CFileFilter f;
        f.strLabel = std::string(parts[i]);
        for (std::string_view pattern : Split(parts[i + 1], ';'))
            if (!pattern.empty())
                f.aPatterns.emplace_back(pattern);
        if (!f.aPatterns.empty())
            aFilters.push_back(std::move(f));
    }
    return aFilters;
}

std::vector<std::string> DialogFilterStrings(std::string_view filter)
{
    std::vector<std::string> aStrings;
    for (const CFileFilter &f : ParseFileFilter(filter)) {
        std::string str = f.strLabel.substr(0, std::min(f.strLabel.rfind('('), f.strLabel.size()));
        str += '(';
        // "*.*" meant every file; here it would hide the many without a dot.
        for (std::size_t i = 0; i < f.aPatterns.size(); ++i)
            str += (i ? " " : "") + (f.aPatterns[i] == "*.*" ? std::string("*") : f.aPatterns[i]);
        str += ')';
        aStrings.push_back(std::move(str));
    }
    return aStrings;
}
