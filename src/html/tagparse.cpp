#include "html/tagparse.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::size_t FindTagEnd(std::string_view text, std::size_t nStart)
{
    bool bAfterEquals = false;
    for (std::size_t i = nStart + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '>')
            return i + 1;
        if (c == '<')
            return std::string_view::npos;
        if ((c == '"' || c == '\'') && bAfterEquals) {
            const std::size_t nClose = text.find(c, i + 1);
            if (nClose == std::string_view::npos)
                return std::string_view::npos;
            i = nClose;
            bAfterEquals = false;
            continue;
        }
        if (c == '=')
            bAfterEquals = true;
        else if (!IsBlank(c))
            bAfterEquals = false;
    }
    return std::string_view::npos;
}

bool FindTagAround(std::string_view text, std::size_t nOffset, std::size_t &nStart, std::size_t &nEnd)
{
    // Walks the tags from the start, so that a ">" or "<" inside a quoted
    // value is never taken for the edge of a tag.
    std::size_t i = 0;
    while (i < text.size() && i <= nOffset) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (text.substr(i, 4) == "<!--") {
            const std::size_t nClose = text.find("-->", i + 4);
            if (nClose == std::string_view::npos)
                return false;
            i = nClose + 3;
            continue;
        }
        const std::size_t nTagEnd = FindTagEnd(text, i);
        if (nTagEnd == std::string_view::npos) {
            ++i;
            continue;
        }
        if (nOffset < nTagEnd) {
            const char chNext = i + 1 < text.size() ? text[i + 1] : '\0';
            if (chNext == '/' || chNext == '!' || chNext == '?' || TagName(text.substr(i, nTagEnd - i)).empty())
                return false;
            nStart = i;
            nEnd = nTagEnd;
            return true;
        }
        i = nTagEnd;
    }
    return false;
}

std::string TagName(std::string_view strTag)
{
    std::string strName;
    std::size_t i = strTag.empty() || strTag[0] != '<' ? 0 : 1;
    for (; i < strTag.size(); ++i) {
        const char c = strTag[i];
        if (IsBlank(c) || c == '>' || c == '/' || c == '<')
            break;
        strName += LowerAscii(c);
    }
    return strName;
}

CTagAttributeMap ParseTagAttributes(std::string_view strTag)
{
    CTagAttributeMap attributes;
    std::size_t i = strTag.empty() || strTag[0] != '<' ? 0 : 1;
    // Past the tag's name.
    while (i < strTag.size() && !IsBlank(strTag[i]) && strTag[i] != '>')
        ++i;
    std::size_t nEnd = strTag.size();
    if (nEnd > 0 && strTag[nEnd - 1] == '>')
        --nEnd;
    while (i < nEnd) {
        if (IsBlank(strTag[i]) || strTag[i] == '/') {
            ++i;
            continue;
        }
        std::string strName;
        while (i < nEnd && !IsBlank(strTag[i]) && strTag[i] != '=' && strTag[i] != '>')
            strName += LowerAscii(strTag[i++]);
        std::size_t j = i;
        while (j < nEnd && IsBlank(strTag[j]))
            ++j;
        std::string strValue;
        if (j < nEnd && strTag[j] == '=') {
            i = j + 1;
            while (i < nEnd && IsBlank(strTag[i]))
                ++i;
            if (i < nEnd && (strTag[i] == '"' || strTag[i] == '\'')) {
                const char chQuote = strTag[i];
                std::size_t nClose = strTag.find(chQuote, i + 1);
                if (nClose == std::string_view::npos || nClose > nEnd)
                    nClose = nEnd;
                strValue.assign(strTag.substr(i + 1, nClose - i - 1));
                i = nClose < nEnd ? nClose + 1 : nEnd;
            } else {
                const std::size_t nValueStart = i;
                while (i < nEnd && !IsBlank(strTag[i]))
                    ++i;
                strValue.assign(strTag.substr(nValueStart, i - nValueStart));
            }
        }
        if (!strName.empty())
            attributes.emplace(std::move(strName), std::move(strValue));
    }
    return attributes;
}

std::string TakeAttribute(CTagAttributeMap &attributes, std::string_view strName)
{
    const auto it = attributes.find(std::string(strName));
    if (it == attributes.end())
        return std::string();
    std::string strValue = std::move(it->second);
    attributes.erase(it);
    return strValue;
}

std::string OtherAttributesText(const CTagAttributeMap &attributes)
{
    std::string s;
    for (const auto &[strName, strValue] : attributes) {
        if (!s.empty())
            s += ' ';
        s += strName;
        if (strValue.empty())
            continue;
        const char chQuote = strValue.find('"') == std::string::npos ? '"' : '\'';
        s.append(1, '=').append(1, chQuote).append(strValue).append(1, chQuote);
    }
    return s;
}
