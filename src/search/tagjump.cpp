#include "search/tagjump.h"

#include "platform/pathnames.h"
#include "search/wildcard.h"
#include "text/codec.h"
#include "text/sjis.h"

#include <cctype>

namespace {

// Every delimiter is below 0x40, so none can be the trail byte of a
// double-byte character and bytes can be tested one by one.
bool IsHardDelimiter(char ch)
{
    switch (ch) {
    case '"':
    case '\t':
    case '\r':
    case '\n':
    case '\'':
    case ',':
    case ';':
    case '<':
    case '>':
    case '=':
        return true;
    default:
        return false;
    }
}

} // namespace

bool FindTokenAtCaret(std::string_view line, int nCaret, int &nStart, int &nEnd)
{
    const int nLength = static_cast<int>(line.size());
    nCaret = nCaret < 0 ? 0 : nCaret > nLength ? nLength : nCaret;
    nStart = -1;
    int nSoftStart = -1;
    for (int i = nCaret - 1; i >= 0 && nStart < 0; --i) {
        if (IsHardDelimiter(line[static_cast<std::size_t>(i)]))
            nStart = i + 1;
        else if (line[static_cast<std::size_t>(i)] == ' ' && nSoftStart < 0)
            nSoftStart = i + 1;
    }
    if (nStart < 0)
        nStart = nSoftStart >= 0 ? nSoftStart : 0;
    nEnd = -1;
    int nSoftEnd = -1;
    for (int i = nCaret; i < nLength && nEnd < 0; ++i) {
        if (IsHardDelimiter(line[static_cast<std::size_t>(i)]) && i != nCaret)
            nEnd = i;
        else if (line[static_cast<std::size_t>(i)] == ' ' && nSoftEnd < 0)
            nSoftEnd = i;
    }
    if (nEnd < 0)
        nEnd = nSoftEnd >= 0 ? nSoftEnd : nLength;
    return nEnd > nStart;
}

std::string_view JumpTextOf(std::string_view selected)
{
    while (!selected.empty() && (selected.front() == ' ' || selected.front() == '\t'))
        selected.remove_prefix(1);
    while (!selected.empty() && (selected.back() == ' ' || selected.back() == '\t'))
        selected.remove_suffix(1);
    const std::size_t nCut = selected.find_first_of(" ,\"\t\r\n");
    return selected.substr(0, nCut);
}

bool IsJumpUrl(std::string_view text)
{
    // https is what nearly every page links to now.
    for (std::string_view prefix : {"http://", "https://", "file://", "mailto:"}) {
        if (text.size() < prefix.size())
            continue;
        bool bSame = true;
        for (std::size_t i = 0; i < prefix.size() && bSame; ++i)
            bSame = std::tolower(static_cast<unsigned char>(text[i])) == prefix[i];
        if (bSame)
            return true;
    }
    return false;
}

int ClassifyJumpText(std::string_view selected, const std::string &strDocPath, std::string &strPath,
                     const std::function<bool(const std::string &)> &fnExists)
{
    strPath.clear();
    const std::string_view text = JumpTextOf(selected);
    if (text.empty())
        return JUMP_NONE;
    if (IsJumpUrl(text))
        return JUMP_URL;
    // A '\' that is the second byte of a character stays as it is.
    std::string strBytes(text);
    const int nLength = static_cast<int>(strBytes.size());
    for (int i = 0; i < nLength; i = SjisNextChar(strBytes.data(), nLength, i)) {
        if (strBytes[static_cast<std::size_t>(i)] == '\\')
            strBytes[static_cast<std::size_t>(i)] = '/';
    }
    const std::string strName = Cp932ToUtf8(strBytes);
    const std::size_t nSlash = strDocPath.rfind('/');
    if (nSlash != std::string::npos && (strName.empty() || strName[0] != '/')) {
        const std::string strBeside = strDocPath.substr(0, nSlash + 1) + strName;
        if (fnExists(strBeside)) {
            strPath = strBeside;
            return JUMP_FILE;
        }
    }
    if (fnExists(strName)) {
        strPath = strName;
        return JUMP_FILE;
    }
    return JUMP_NONE;
}

bool HasExtensionIn(const std::string &strPath, std::string_view strList)
{
    return CExtensionList(strList).Matches(BaseName(strPath));
}

bool ParseResultLine(std::string_view line, std::string &strPath, int &nLine)
{
    const std::size_t nColon = line.find(": ");
    if (nColon == std::string_view::npos || nColon < 3 || line[nColon - 1] != ')')
        return false;
    const std::string_view head = line.substr(0, nColon - 1);
    const std::size_t nOpen = head.rfind('(');
    if (nOpen == std::string_view::npos || nOpen == 0 || nOpen + 1 == head.size())
        return false;
    int nNumber = 0;
    for (const char ch : head.substr(nOpen + 1)) {
        if (ch < '0' || ch > '9' || nNumber > 100000000)
            return false;
        nNumber = nNumber * 10 + (ch - '0');
    }
    strPath.assign(head.substr(0, nOpen));
    nLine = nNumber;
    return true;
}
