#include "html/usertags.h"

#include "text/fileio.h"
#include "text/kanjiio.h"
#include "text/sjis.h"

#include <algorithm>

namespace {

// "//ユーザータグリストです" and "//構文：#tag=タイトル 1st=前のタグ 2st=後ろのタグ #end".
constexpr std::string_view FILE_HEADER =
    "//\x83\x86\x81\x5b\x83\x55\x81\x5b\x83\x5e\x83\x4f\x83\x8a\x83\x58\x83\x67\x82\xc5\x82\xb7\r\n"
    "//\x8d\x5c\x95\xb6\x81\x46#tag=\x83\x5e\x83\x43\x83\x67\x83\x8b 1st=\x91\x4f\x82\xcc\x83\x5e\x83\x4f"
    " 2st=\x8c\xe3\x82\xeb\x82\xcc\x83\x5e\x83\x4f #end\r\n";

bool HasMarker(std::string_view line, std::string_view marker)
{
    if (line.size() < marker.size())
        return false;
    for (std::size_t i = 0; i < marker.size(); ++i) {
        char c = line[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != marker[i])
            return false;
    }
    return true;
}

// The lines of a text held with CR LF; a lone CR or LF breaks a line too, so
// that every line is written on a line of its own and none is lost.
std::vector<std::string_view> TextLines(std::string_view text)
{
    std::vector<std::string_view> aLines;
    std::size_t nStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        aLines.push_back(text.substr(nStart, i - nStart));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        nStart = i + 1;
    }
    aLines.push_back(text.substr(nStart));
    return aLines;
}

std::string_view FirstLine(std::string_view text)
{
    return text.substr(0, std::min(text.find('\r'), text.find('\n')));
}

} // namespace

void CUserTagList::RemoveAll()
{
    m_astrTitle.clear();
    m_astrOpen.clear();
    m_astrClose.clear();
}

void CUserTagList::Load(const std::string &strPath)
{
    std::string bytes;
    if (ReadWholeFile(strPath, bytes) != FILEERR_NONE)
        bytes.clear();
    Parse(bytes);
}

void CUserTagList::Parse(std::string_view bytes)
{
    RemoveAll();
    bool bInEntry = false;
    bool bHasOpen = false;
    bool bHasClose = false;
    std::string strTitle;
    std::string strOpen;
    std::string strClose;
    std::size_t nPos = 0;
    while (nPos < bytes.size() && GetCount() < USERTAG_MAX_COUNT) {
        // Lines end at LF; the CR of a CR LF is not part of the line.
        std::size_t nEnd = bytes.find('\n', nPos);
        if (nEnd == std::string_view::npos)
            nEnd = bytes.size();
        std::string_view line = bytes.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (HasMarker(line, "#tag")) {
            bInEntry = true;
            bHasOpen = bHasClose = false;
            strTitle = line.size() > 5 ? line.substr(5) : std::string_view();
            strOpen.clear();
            strClose.clear();
        } else if (!bInEntry) {
            continue;
        } else if (HasMarker(line, "1st=")) {
            if (bHasOpen)
                strOpen += "\r\n";
            strOpen += line.substr(4);
            bHasOpen = true;
        } else if (HasMarker(line, "2nd=")) {
            if (bHasClose)
                strClose += "\r\n";
            strClose += line.substr(4);
            bHasClose = true;
        } else if (HasMarker(line, "#end")) {
            m_astrTitle.push_back(strTitle);
            m_astrOpen.push_back(strOpen);
            m_astrClose.push_back(strClose);
            bInEntry = false;
        }
    }
}

std::string CUserTagList::Format() const
{
    std::string out(FILE_HEADER);
    for (std::size_t i = 0; i < m_astrTitle.size(); ++i) {
        out += "#tag=";
        out += FirstLine(m_astrTitle[i]);
        out += "\r\n";
        for (const std::string_view line : TextLines(m_astrOpen[i])) {
            out += "1st=";
            out += line;
            out += "\r\n";
        }
        for (const std::string_view line : TextLines(m_astrClose[i])) {
            out += "2nd=";
            out += line;
            out += "\r\n";
        }
        out += "#end\r\n";
    }
    return out;
}

bool CUserTagList::Save(const std::string &strPath) const
{
    CAtomicFile file;
    return file.Open(strPath) && file.Write(Format()) && file.Commit();
}

bool CUserTagList::GetEntry(int nIndex, std::string &strOpen, std::string &strClose) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return false;
    strOpen = m_astrOpen[static_cast<std::size_t>(nIndex)];
    strClose = m_astrClose[static_cast<std::size_t>(nIndex)];
    return true;
}

bool CUserTagList::Add(std::string_view strTitle, std::string_view strOpen, std::string_view strClose)
{
    if (GetCount() >= USERTAG_MAX_COUNT)
        return false;
    InsertAt(GetCount(), strTitle, strOpen, strClose);
    return true;
}

bool CUserTagList::SetAt(int nIndex, std::string_view strTitle, std::string_view strOpen,
                         std::string_view strClose)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return false;
    const auto i = static_cast<std::size_t>(nIndex);
    m_astrTitle[i] = strTitle;
    m_astrOpen[i] = strOpen;
    m_astrClose[i] = strClose;
    return true;
}

void CUserTagList::RemoveAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_astrTitle.erase(m_astrTitle.begin() + nIndex);
    m_astrOpen.erase(m_astrOpen.begin() + nIndex);
    m_astrClose.erase(m_astrClose.begin() + nIndex);
}

void CUserTagList::InsertAt(int nIndex, std::string_view strTitle, std::string_view strOpen,
                            std::string_view strClose)
{
    nIndex = std::clamp(nIndex, 0, GetCount());
    m_astrTitle.insert(m_astrTitle.begin() + nIndex, std::string(strTitle));
    m_astrOpen.insert(m_astrOpen.begin() + nIndex, std::string(strOpen));
    m_astrClose.insert(m_astrClose.begin() + nIndex, std::string(strClose));
}

void CUserTagList::Move(int nFrom, int nTo)
{
    if (nFrom < 0 || nFrom >= GetCount() || nTo < 0 || nTo >= GetCount() || nFrom == nTo)
        return;
    const auto i = static_cast<std::size_t>(nFrom);
    const std::string strTitle = m_astrTitle[i];
    const std::string strOpen = m_astrOpen[i];
    const std::string strClose = m_astrClose[i];
    RemoveAt(nFrom);
    InsertAt(nTo, strTitle, strOpen, strClose);
}

std::string UserTagTitleFromText(std::string_view text)
{
    const std::size_t nStop = text.find_first_of("\r\n\t");
    std::string_view title = text.substr(0, nStop);
    std::size_t nLength = 0;
    while (nLength < title.size()) {
        const auto n = static_cast<std::size_t>(SjisCharLength(title.data() + nLength, title.size() - nLength));
        if (nLength + n > 30)
            break;
        nLength += n;
    }
    return std::string(title.substr(0, nLength));
}
