#include "html/charsetdecl.h"

#include <algorithm>
#include <cctype>

namespace {

std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t nFrom)
{
    const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(std::min(nFrom, text.size())), text.end(),
                                what.begin(), what.end(), [](char a, char b) {
                                    return std::tolower(static_cast<unsigned char>(a))
                                           == std::tolower(static_cast<unsigned char>(b));
                                });
    return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

} // namespace

bool ReplaceDeclaredCharset(std::string &html, std::string_view strCharset)
{
    const std::string_view text(html);
    std::size_t nEnd = FindNoCase(text, "</head", 0);
    if (nEnd == std::string_view::npos)
        nEnd = text.size();
    std::size_t nAt = 0;
    while ((nAt = FindNoCase(text, "<meta", nAt)) < nEnd) {
        std::size_t nClose = text.find('>', nAt);
        if (nClose == std::string_view::npos)
            nClose = text.size();
        const std::string_view tag = text.substr(0, nClose);
        std::size_t nName = nAt;
        while ((nName = FindNoCase(tag, "charset", nName)) != std::string_view::npos) {
            std::size_t i = nName + 7;
            while (i < tag.size() && IsBlank(tag[i]))
                ++i;
            if (i >= tag.size() || tag[i] != '=') {
                nName += 7;
                continue;
            }
            ++i;
            while (i < tag.size() && IsBlank(tag[i]))
                ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\''))
                ++i;
            std::size_t j = i;
            while (j < tag.size() && !IsBlank(tag[j]) && tag[j] != '"' && tag[j] != '\'' && tag[j] != ';'
                   && tag[j] != '/' && tag[j] != '>')
                ++j;
            if (j == i)
                return false;
            html.replace(i, j - i, strCharset);
            return true;
        }
        nAt = nClose;
    }
    return false;
}
