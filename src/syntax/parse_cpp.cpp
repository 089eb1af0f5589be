// C, C++, Java, JavaScript and resource scripts: comments, literals,
// preprocessor lines, keywords, Win32 type names, numbers and operators.
#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "syntax/parsescan.h"

namespace {

enum : DWORD
{
    COOKIE_COMMENT = 0x01,       // "//" to the line end
    COOKIE_PREPROCESSOR = 0x02,  // a line that began with '#'
    COOKIE_EXT_COMMENT = 0x04,   // "/*" ... "*/"
    COOKIE_STRING = 0x08,
    COOKIE_CHAR = 0x10,
};

// Operators and blanks are drawn in the operator colour, and so is whatever
// follows them up to the next block; words and numbers start normal text.
int CppBlockColor(const CParseScan &scan, DWORD dwCookie, int nPos)
{
    if (dwCookie & (COOKIE_COMMENT | COOKIE_EXT_COMMENT))
        return COLORINDEX_COMMENT;
    if (dwCookie & (COOKIE_STRING | COOKIE_CHAR))
        return COLORINDEX_STRING;
    if (dwCookie & COOKIE_PREPROCESSOR)
        return COLORINDEX_PREPROCESSOR;
    const unsigned char c = scan.At(nPos);
    if (scan.IsDoubleByteAt(nPos) || CParseScan::IsAsciiAlnum(c) || c == '_'
        || scan.IsNumberDotAt(nPos))
        return COLORINDEX_NORMALTEXT;
    return COLORINDEX_OPERATOR;
}

bool IsCppWordByte(const CParseScan &scan, int nPos)
{
    const unsigned char c = scan.At(nPos);
    return scan.IsDoubleByteAt(nPos) || CParseScan::IsAsciiAlnum(c) || c == '_'
           || scan.IsNumberDotAt(nPos);
}

void ColorCppWord(CParseScan &scan, int nBegin, int nEnd)
{
    const char *pWord = scan.Text() + nBegin;
    const int nWord = nEnd - nBegin;
    if (IsCppKeyword(pWord, nWord))
        scan.AddBlock(nBegin, COLORINDEX_KEYWORD);
    else if (IsCppKeyword2(pWord, nWord))
        scan.AddBlock(nBegin, COLORINDEX_KEYWORD2);
    else if (IsNumberToken(pWord, nWord))
        scan.AddBlock(nBegin, COLORINDEX_NUMBER);
}

} // namespace

DWORD ParseLineCpp(const CLineSource &lines, DWORD dwCookie, int nLineIndex, ColorBlock *pBuf,
                   int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0)
        return dwCookie & COOKIE_EXT_COMMENT;

    bool bFirstChar = (dwCookie & ~DWORD(COOKIE_EXT_COMMENT)) == 0;
    bool bRedefineBlock = true;
    bool bDecIndex = false;
    bool bWasCommentStart = false;
    int nIdentBegin = -1;
    int I = 0;
    for (;; ++I) {
        scan.MoveTo(I);
        if (bRedefineBlock) {
            const int nPos = bDecIndex ? I - 1 : I;
            scan.AddBlock(nPos, CppBlockColor(scan, dwCookie, nPos));
            bRedefineBlock = false;
            bDecIndex = false;
        }
        if (I == nLength)
            break;
        const unsigned char c = scan.At(I);

        if (dwCookie & COOKIE_COMMENT) {
            scan.AddBlock(I, COLORINDEX_COMMENT);
            break;
        }
        // Inside a literal or a comment only its end matters: jump to it (or
        // to the last byte, when it ends on a later line).
        if (dwCookie & (COOKIE_STRING | COOKIE_CHAR)) {
            I = scan.FindClosingQuote(I, (dwCookie & COOKIE_STRING) ? '"' : '\'');
            if (I == nLength) {
                I = nLength - 1;
                continue;
            }
            dwCookie &= ~DWORD(COOKIE_STRING | COOKIE_CHAR);
            bRedefineBlock = true;
            continue;
        }
        if (dwCookie & COOKIE_EXT_COMMENT) {
            // The star of "/*" does not also close the comment; a line that
            // begins inside a comment may close it at once.
            I = scan.FindPairEnd(bWasCommentStart ? I + 1 : I, '*', '/');
            bWasCommentStart = false;
            if (I == nLength) {
                I = nLength - 1;
                continue;
            }
            dwCookie &= ~DWORD(COOKIE_EXT_COMMENT);
            bRedefineBlock = true;
            continue;
        }
        if (I > 0 && c == '/' && scan.At(I - 1) == '/') {
            scan.AddBlock(I - 1, COLORINDEX_COMMENT);
            dwCookie |= COOKIE_COMMENT;
            break;
        }
        if (dwCookie & COOKIE_PREPROCESSOR) {
            if (I > 0 && c == '*' && scan.At(I - 1) == '/') {
                scan.AddBlock(I - 1, COLORINDEX_COMMENT);
                dwCookie |= COOKIE_EXT_COMMENT;
            }
            continue;
        }
        if (c == '"' || c == '\'') {
            scan.AddBlock(I, COLORINDEX_STRING);
            dwCookie |= c == '"' ? COOKIE_STRING : COOKIE_CHAR;
            continue;
        }
        if (I > 0 && c == '*' && scan.At(I - 1) == '/') {
            scan.AddBlock(I - 1, COLORINDEX_COMMENT);
            dwCookie |= COOKIE_EXT_COMMENT;
            bWasCommentStart = true;
            continue;
        }
        bWasCommentStart = false;
        if (bFirstChar) {
            if (c == '#') {
                scan.AddBlock(I, COLORINDEX_PREPROCESSOR);
                dwCookie |= COOKIE_PREPROCESSOR;
                continue;
            }
            if (!CParseScan::IsBlank(c))
                bFirstChar = false;
        }
        // Words change no state: without blocks only the scan moves on.
        if (!scan.HasBuffer()) {
            if (IsCppWordByte(scan, I))
                I = scan.SkipWordChars() - 1;
            else if (CParseScan::IsBlank(c))
                I = scan.SkipBlanks(I + 1) - 1;
            continue;
        }
        if (IsCppWordByte(scan, I)) {
            if (nIdentBegin < 0)
                nIdentBegin = I;
            I = scan.SkipWordChars() - 1;
        } else if (nIdentBegin >= 0) {
            ColorCppWord(scan, nIdentBegin, I);
            nIdentBegin = -1;
            bRedefineBlock = true;
            bDecIndex = true;
        } else if (CParseScan::IsBlank(c)) {
            I = scan.SkipBlanks(I + 1) - 1;
        }
    }
    if (nIdentBegin >= 0)
        ColorCppWord(scan, nIdentBegin, I);

    scan.MoveTo(nLength - 1);
    if (!scan.IsBackslashAt(nLength - 1))
        dwCookie &= COOKIE_EXT_COMMENT;
    return dwCookie;
}
