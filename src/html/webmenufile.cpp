#include "html/webmenufile.h"

#include "text/kanjiio.h"

namespace {

// Calls fn for each line of the bytes, without its CR LF or LF.
template <typename Fn>
void ForEachLine(std::string_view bytes, Fn fn)
{
    std::size_t nPos = 0;
    while (nPos < bytes.size()) {
        std::size_t nEnd = bytes.find('\n', nPos);
        if (nEnd == std::string_view::npos)
            nEnd = bytes.size();
        std::string_view line = bytes.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!fn(line))
            return;
    }
}

// Whether text ends in the start of a character reference: "&" followed by
// letters, digits or "#" only. Its ";" belongs to the item.
bool EndsInReferenceStart(std::string_view text)
{
    const std::size_t nAmp = text.rfind('&');
    if (nAmp == std::string_view::npos || nAmp + 1 == text.size())
        return false;
    for (std::size_t i = nAmp + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#'))
            return false;
    }
    return true;
}

// The non-empty pieces of a text cut at a delimiter. The delimiters used here
// are below 0x40, so none is ever the second byte of a double-byte character.
// With bKeepReferences a ";" that ends a character reference ("&amp;",
// "&#x3042;") does not cut, so that entities can be menu items.
std::vector<std::string_view> Split(std::string_view text, char chDelimiter, bool bKeepReferences = false)
{
    std::vector<std::string_view> aPieces;
    std::size_t nStart = 0;
    std::size_t nFrom = 0;
    for (;;) {
        const std::size_t nEnd = text.find(chDelimiter, nFrom);
        if (nEnd != std::string_view::npos && bKeepReferences
            && EndsInReferenceStart(text.substr(nStart, nEnd - nStart))) {
            nFrom = nEnd + 1;
            continue;
        }
        const std::string_view piece = text.substr(nStart, nEnd == std::string_view::npos ? nEnd : nEnd - nStart);
        if (!piece.empty())
            aPieces.push_back(piece);
        if (nEnd == std::string_view::npos)
            return aPieces;
        nStart = nFrom = nEnd + 1;
    }
}

} // namespace

void CWebMenuFile::Load(const std::string &strPath)
{
    std::string bytes;
    if (ReadWholeFile(strPath, bytes) != FILEERR_NONE)
        bytes.clear();
    Parse(bytes);
}

void CWebMenuFile::Parse(std::string_view bytes)
{
    m_aItems.clear();
    std::string strPrefix;
    int nCount = 0;
    ForEachLine(bytes, [&](std::string_view line) {
        if (line.empty() || line[0] == '#')
            return true;
        const std::size_t nColon = line.find(':');
        if (nColon == std::string_view::npos) {
            if (line.back() == '/')
                strPrefix = line;
            return true;
        }
        const std::string strPath = strPrefix + std::string(line.substr(0, nColon));
        std::vector<std::string> aPath;
        for (const std::string_view name : Split(strPath, '/'))
            aPath.emplace_back(name);
        for (const std::string_view item : Split(line.substr(nColon + 1), ';', true)) {
            CWebMenuItem entry;
            entry.aPath = aPath;
            if (item == "SEPARATOR") {
                entry.bSeparator = true;
            } else {
                if (nCount == WEBMENU_MAX_ITEMS)
                    return false;
                entry.strText = item;
                entry.nID = WEBMENU_FIRST_ID + nCount++;
            }
            m_aItems.push_back(std::move(entry));
        }
        return true;
    });
}

const CWebMenuItem *CWebMenuFile::FindItem(int nID) const
{
    const int nIndex = nID - WEBMENU_FIRST_ID;
    if (nIndex < 0 || nIndex >= WEBMENU_MAX_ITEMS)
        return nullptr;
    // Items are numbered in order, separators between them.
    for (const CWebMenuItem &item : m_aItems) {
        if (item.nID == nID)
            return &item;
    }
    return nullptr;
}

bool SplitWebMenuPair(std::string_view strText, std::string &strOpen, std::string &strClose)
{
    const std::size_t nTab = strText.find('\t');
    if (nTab == std::string_view::npos) {
        strOpen = strText;
        strClose.clear();
        return false;
    }
    strOpen = strText.substr(0, nTab);
    strClose = strText.substr(nTab + 1);
    return true;
}
