#include "archive/archivepath.h"

#include "text/codec.h"
#include "text/utf8check.h"

namespace {

bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    return CheckUtf8(text) != EUtf8Check::Invalid;
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
