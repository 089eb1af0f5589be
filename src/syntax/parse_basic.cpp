// The number test shared by the language routines, and the two routines that
// know no language: the standard one (URLs and mail addresses) and the plain one.
#include "syntax/parse.h"
#include "syntax/parsescan.h"

#include <cstring>

bool IsNumberToken(const char *pszWord, int nLength)
{
    if (pszWord == nullptr || nLength <= 0)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(pszWord);
    if (nLength > 2 && p[0] == '0' && p[1] == 'x') {
        for (int i = 2; i < nLength; ++i) {
            const unsigned char c = p[i];
            if (!CParseScan::IsAsciiDigit(c) && !((c | 0x20) >= 'a' && (c | 0x20) <= 'f'))
                return false;
        }
        return true;
    }
    if (!CParseScan::IsAsciiDigit(p[0]))
        return false;
    for (int i = 1; i < nLength; ++i) {
        const unsigned char c = p[i];
        if (!CParseScan::IsAsciiDigit(c) && c != '+' && c != '-' && c != '.' && c != 'e'
            && c != 'E')
            return false;
    }
    return true;
}

namespace {

enum : std::uint32_t
{
    STANDARD_KEEP_EMPTY = 0x04,  // the only bit an empty line passes on
};

int StandardColor(std::uint32_t dwCookie)
{
    if (dwCookie & 0x05)
        return COLORINDEX_COMMENT;
    if (dwCookie & 0x18)
        return COLORINDEX_STRING;
    if (dwCookie & 0x02)
        return COLORINDEX_PREPROCESSOR;
    return COLORINDEX_NORMALTEXT;
}

// A single-byte character that belongs to a link or a mail address.
bool IsUrlWordByte(unsigned char c)
{
    switch (c) {
    case '_': case '-': case '.': case '@': case '/': case ':': case '~':
        return true;
    default:
        return CParseScan::IsAsciiAlnum(c);
    }
}

// Colours the word [nBegin, nEnd) as a link when it starts with "http://" or
// "https://", or holds an '@' anywhere.
void ColorUrlWord(CParseScan &scan, int nBegin, int nEnd)
{
    const char *pWord = scan.Text() + nBegin;
    for (std::string_view prefix : {"http://", "https://"}) {
        const int nPrefix = static_cast<int>(prefix.size());
        if (nEnd > 5 && nBegin + nPrefix <= scan.Length() && std::memcmp(pWord, prefix.data(), prefix.size()) == 0) {
            scan.AddBlock(nBegin, COLORINDEX_KEYWORD);
            return;
        }
    }
    if (std::memchr(pWord, '@', static_cast<std::size_t>(nEnd - nBegin)) != nullptr)
        scan.AddBlock(nBegin, COLORINDEX_KEYWORD);
}

} // namespace

std::uint32_t ParseLineStandard(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                                ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0)
        return dwCookie & STANDARD_KEEP_EMPTY;
    const int nColor = StandardColor(dwCookie);
    scan.AddBlock(0, nColor);
    if (!scan.HasBuffer())
        return dwCookie;

    // A double-byte character ends a word and begins none.
    int nWordBegin = -1;
    for (int I = 0; I < nLength;) {
        const int nChar = scan.CharLengthAt(I);
        if (nChar == 1 && IsUrlWordByte(scan.Byte(I))) {
            if (nWordBegin < 0)
                nWordBegin = I;
        } else if (nWordBegin >= 0) {
            ColorUrlWord(scan, nWordBegin, I);
            // The run after a word starts at its terminator.
            scan.AddBlock(I, nColor);
            nWordBegin = -1;
        }
        I += nChar;
    }
    if (nWordBegin >= 0)
        ColorUrlWord(scan, nWordBegin, nLength);
    return dwCookie;
}

std::uint32_t ParseLinePlain(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                             ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0 || !scan.HasBuffer())
        return dwCookie;
    const int nColor = (dwCookie & 0x05) ? COLORINDEX_COMMENT : COLORINDEX_NORMALTEXT;
    scan.AddBlock(0, nColor);
    // Double-byte characters are covered by the run begun before them.
    for (int I = 0; I < nLength;) {
        const int nChar = scan.CharLengthAt(I);
        if (nChar == 1)
            scan.AddBlock(I, nColor);
        I += nChar;
    }
    return dwCookie;
}
