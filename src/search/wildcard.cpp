#include "search/wildcard.h"

#include <algorithm>

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}


std::size_t Utf8CharLength(std::string_view s, std::size_t i)
{
    std::size_t k = i + 1;
    while (k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80)
        ++k;
    return k - i;
}

unsigned char FoldAscii(char ch)
{
    const unsigned char c = static_cast<unsigned char>(ch);
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

bool MatchPlain(std::string_view strPattern, std::string_view strName)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t nStarP = std::string_view::npos;
    std::size_t nStarN = 0;
    while (n < strName.size()) {
        if (p < strPattern.size() && strPattern[p] == '*') {
            nStarP = ++p;
            nStarN = n;
        } else if (p < strPattern.size() && strPattern[p] == '?') {
            ++p;
            n += Utf8CharLength(strName, n);
        } else if (p < strPattern.size() && FoldAscii(strPattern[p]) == FoldAscii(strName[n])) {
            ++p;
            ++n;
        } else if (nStarP != std::string_view::npos) {
            // Let the last '*' take one more character and try again.
            p = nStarP;
            nStarN += Utf8CharLength(strName, nStarN);
            n = nStarN;
        } else {
            return false;
        }
    }
    while (p < strPattern.size() && strPattern[p] == '*')
        ++p;
    return p == strPattern.size();
}

// The byte length of the first n characters of s, or npos when s has no more
// than n characters.
std::size_t PrefixOfChars(std::string_view s, int n)
{
    std::size_t i = 0;
    for (int k = 0; k < n; ++k) {
        if (i >= s.size())
            return std::string_view::npos;
        i += Utf8CharLength(s, i);
    }
    return i < s.size() ? i : std::string_view::npos;
}

} // namespace

bool MatchWildcard(std::string_view strPattern, std::string_view strName)
{
    if (strPattern == "*.*" || MatchPlain(strPattern, strName))
        return true;
    // A three-character extension also stands for the longer ones it begins.
    const std::size_t nPatternDot = strPattern.rfind('.');
    const std::size_t nNameDot = strName.rfind('.');
    if (nPatternDot == std::string_view::npos || nNameDot == std::string_view::npos)
        return false;
    const std::string_view ext = strPattern.substr(nPatternDot + 1);
    if (ext.find_first_of("*?") != std::string_view::npos || PrefixOfChars(ext, 3) != std::string_view::npos ||
        PrefixOfChars(ext, 2) == std::string_view::npos)
        return false;
    const std::size_t nPrefix = PrefixOfChars(strName.substr(nNameDot + 1), 3);
    if (nPrefix == std::string_view::npos)
        return false;
    return MatchPlain(strPattern, strName.substr(0, nNameDot + 1 + nPrefix));
}

CExtensionList::CExtensionList(std::string_view strList)
{
    while (!strList.empty()) {
        const std::size_t nSemi = strList.find(';');
        std::string_view entry = TrimBlanks(strList.substr(0, nSemi));
        if (entry.starts_with("*."))
            entry.remove_prefix(2);
        else if (entry.starts_with('.'))
            entry.remove_prefix(1);
        if (!entry.empty())
            m_aPatterns.push_back("*." + std::string(entry));
        if (nSemi == std::string_view::npos)
            break;
        strList.remove_prefix(nSemi + 1);
    }
}

bool CExtensionList::Matches(std::string_view strName) const
{
    return std::any_of(m_aPatterns.begin(), m_aPatterns.end(),
                       [strName](const std::string &strPattern) { return MatchWildcard(strPattern, strName); });
}
