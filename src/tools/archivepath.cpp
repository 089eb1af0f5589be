#include "tools/archivepath.h"

#include "text/codec.h"

namespace {

bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int nMore;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            nMore = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nMore = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nMore = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(nMore) >= n)
            return false;
        for (int k = 1; k <= nMore; ++k) {
            const unsigned char t = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode.
        if ((nMore == 2 && cp < 0x800) || (nMore == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(nMore) + 1;
    }
    return true;
}

std::string DecodeEntryName(std::string_view raw)
{
    if (IsValidUtf8(raw))
        return std::string(raw);
    int nInvalid = 0;
    std::string strUtf8 = Cp932ToUtf8(raw, &nInvalid);
    if (nInvalid == 0)
        return strUtf8;
    return std::string(raw);
}

EEntryPathProblem SplitEntryPath(std::string_view name, std::vector<std::string> &aParts)
{
    aParts.clear();
    if (!name.empty() && IsSeparator(name[0]))
        return ENTRY_PATH_ABSOLUTE;
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return ENTRY_PATH_ABSOLUTE;
    std::size_t nStart = 0;
    while (nStart <= name.size()) {
        std::size_t nEnd = nStart;
        while (nEnd < name.size() && !IsSeparator(name[nEnd]))
            ++nEnd;
        const std::string_view part = name.substr(nStart, nEnd - nStart);
        if (part == "..") {
            aParts.clear();
            return ENTRY_PATH_PARENT;
        }
        if (!part.empty() && part != ".")
            aParts.emplace_back(part);
        nStart = nEnd + 1;
    }
    return aParts.empty() ? ENTRY_PATH_EMPTY : ENTRY_PATH_OK;
}

bool IsLinkTargetInside(const std::vector<std::string> &aFolder, std::string_view target)
{
    if (target.empty() || IsSeparator(target[0]))
        return false;
    if (target.size() >= 2 && target[1] == ':')
        return false;
    // ".." is allowed only in front: the link's own folders are real ones,
    // but a later part may itself be a link, and ".." after it would climb
    // from wherever that link leads.
    std::size_t nDepth = aFolder.size();
    bool bDescended = false;
    std::size_t nStart = 0;
    while (nStart <= target.size()) {
        std::size_t nEnd = nStart;
        while (nEnd < target.size() && !IsSeparator(target[nEnd]))
            ++nEnd;
        const std::string_view part = target.substr(nStart, nEnd - nStart);
        if (part == "..") {
            if (nDepth == 0 || bDescended)
                return false;
            --nDepth;
        } else if (!part.empty() && part != ".") {
            ++nDepth;
            bDescended = true;
        }
        nStart = nEnd + 1;
    }
    return true;
}

std::string PrintableName(std::string_view name)
{
    std::string s(name);
    for (char &ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            ch = '?';
    }
    return s;
}
