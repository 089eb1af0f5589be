#include "html/tagalign.h"

#include "text/kanjiio.h"
#include "text/sjis.h"

#include <algorithm>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    // A trailing blank may be a trail byte only of a character that ends
    // earlier, never a trail byte itself (trail bytes are 0x40 and above).
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    SjisLowerAscii(out.data(), out.size());
    return out;
}

} // namespace

void CAlignList::Load(const std::string &strPath)
{
    std::string bytes;
    if (ReadWholeFile(strPath, bytes) != FILEERR_NONE)
        bytes.clear();
    Parse(bytes);
}

void CAlignList::Parse(std::string_view bytes)
{
    m_aLines.clear();
    std::size_t nPos = 0;
    while (nPos < bytes.size()) {
        std::size_t nEnd = bytes.find('\n', nPos);
        if (nEnd == std::string_view::npos)
            nEnd = bytes.size();
        std::string_view line = bytes.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line.find(':') == std::string_view::npos)
            continue;
        m_aLines.emplace_back(line);
    }
}

std::vector<CAlignItem> CAlignList::FindItems(std::string_view strKey, bool bLowerKey) const
{
    std::vector<CAlignItem> aItems;
    for (const std::string &line : m_aLines) {
        const std::size_t nColon = line.find(':');
        const std::string_view key = Trim(std::string_view(line).substr(0, nColon));
        if (bLowerKey ? LowerAscii(key) != strKey : key != strKey)
            continue;
        std::string_view rest = std::string_view(line).substr(nColon + 1);
        for (;;) {
            const std::size_t nComma = rest.find(',');
            std::string_view item = Trim(rest.substr(0, nComma));
            CAlignItem entry;
            if (!item.empty() && item[0] == '@') {
                entry.bSecondIcon = true;
                item.remove_prefix(1);
            }
            if (!item.empty()) {
                entry.strText = item;
                aItems.push_back(std::move(entry));
            }
            if (nComma == std::string_view::npos)
                break;
            rest.remove_prefix(nComma + 1);
        }
        break;
    }
    return aItems;
}

const std::vector<std::string> &FixedTagNames()
{
    static const std::vector<std::string> s_aNames = [] {
        static const char *const NAMES[] = {
            "HTML",    "BODY",     "TABLE",      "A",        "TR",     "TD",       "FONT",   "B",      "I",
            "U",       "HR",       "BR",         "P",        "CENTER", "SCRIPT",   "NOSCRIPT", "TT",   "PRE",
            "LAYER",   "HEAD",     "TITLE",      "META",     "BASEFONT", "IMG",    "DIV",    "OL",     "DL",
            "UL",      "FORM",     "INPUT",      "TEXTAREA", "S",      "BLOCKQUOTE", "ADDRESS", "BASE", "BIG",
            "SMALL",   "BLINK",    "MARQUEE",    "EM",       "STRONG", "NOBR",     "CAPTION", "LI",    "BGSOUND",
            "EMBED",   "NOEMBED",  "OBJECT",     "APPLET",   "PARAM",  "SELECT",   "OPTION", "FRAMESET", "FRAME",
            "NOFRAME", "DOCTYPE",  "STYLE",      "MAP",      "AREA",   "CITE",     "CODE",   "DD",     "DIR",
            "DT",      "ISINDEX",  "SUP",        "SUB",      "TH",     "WBR",      "H1",     "H2",     "H3",
            "H4",      "H5",       "H6",
        };
        std::vector<std::string> aNames;
        for (const char *psz : NAMES)
            aNames.push_back(LowerAscii(psz));
        return aNames;
    }();
    return s_aNames;
}

CCompletion FindCompletion(std::string_view lineBeforeCaret, const CAlignList &tagAlign,
                           const CAlignList &usrAlign)
{
    CCompletion result;
    const int nLength = static_cast<int>(lineBeforeCaret.size());
    result.nReplaceFrom = nLength;

    // One pass by characters from the line start, so that no trail byte is
    // taken for a delimiter: the last "<" not closed since, and where the
    // word in front of the caret starts.
    int nOpen = -1;
    int nWordStart = 0;
    for (int nPos = 0; nPos < nLength;) {
        const int n = SjisCharLength(lineBeforeCaret.data() + nPos, static_cast<std::size_t>(nLength - nPos));
        const char c = lineBeforeCaret[static_cast<std::size_t>(nPos)];
        nPos += n;
        if (n != 1)
            continue;
        if (c == '<')
            nOpen = nPos - 1;
        else if (c == '>')
            nOpen = -1;
        else if (IsBlank(c) || c == '\n')
            nWordStart = nPos;
    }
    if (nOpen >= 0) {
        const std::string_view inTag = lineBeforeCaret.substr(static_cast<std::size_t>(nOpen) + 1);
        const std::size_t nNameEnd = inTag.find_first_of(" \t\n>");
        const std::string strName = LowerAscii(inTag.substr(0, nNameEnd));
        if (nNameEnd != std::string_view::npos && !strName.empty())
            result.aItems = tagAlign.FindItems(strName, true);
        if (result.aItems.empty()) {
            for (const std::string &name : FixedTagNames())
                result.aItems.push_back({name, false});
            // While the name is still being typed the chosen name replaces
            // it, and the list opens on the first name it can be the start of.
            if (nNameEnd == std::string_view::npos) {
                result.nReplaceFrom = nOpen + 1;
                const auto it = std::find_if(result.aItems.begin(), result.aItems.end(), [&](const CAlignItem &item) {
                    return LowerAscii(item.strText).starts_with(strName);
                });
                if (it != result.aItems.end())
                    result.nCurrent = static_cast<int>(it - result.aItems.begin());
            }
        }
        return result;
    }

    const std::string_view word = lineBeforeCaret.substr(static_cast<std::size_t>(nWordStart));
    if (!word.empty())
        result.aItems = usrAlign.FindItems(word, false);
    return result;
}
