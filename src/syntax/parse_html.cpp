// HTML: the detailed routine colours tag names, attribute names, values and
// numbers inside tags; the simple one only tells tags and comments from text.
#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "syntax/parsescan.h"

namespace {

enum : DWORD
{
    HTML_TAG = 0x02,
    HTML_COMMENT = 0x04,
    HTML_DQ_VALUE = 0x08,
    HTML_SQ_VALUE = 0x10,
    HTML_LINE_MASK = 0x0F,  // a single-quoted value ends with its line
};

enum : DWORD
{
    SIMPLE_COMMENT = 0x01,
    SIMPLE_STRING = 0x08,
    SIMPLE_TAG = 0x20,
    SIMPLE_LINE_MASK = 0x29,
};

bool IsHexDigit(unsigned char c)
{
    return CParseScan::IsAsciiDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

int HtmlBlockColor(DWORD dwCookie)
{
    if (dwCookie & 0x05)
        return COLORINDEX_COMMENT;
    if (dwCookie & (HTML_DQ_VALUE | HTML_SQ_VALUE))
        return COLORINDEX_STRING;
    if (dwCookie & HTML_TAG)
        return COLORINDEX_PREPROCESSOR;
    return COLORINDEX_NORMALTEXT;
}

bool IsHtmlWordByte(const CParseScan &scan, int nPos)
{
    const unsigned char c = scan.At(nPos);
    return scan.IsDoubleByteAt(nPos) || CParseScan::IsAsciiAlnum(c) || c == '#'
           || scan.IsNumberDotAt(nPos);
}

// Colours the word [nBegin, nEnd) found inside a tag; false when it is none of
// the known kinds.
bool ColorHtmlWord(CParseScan &scan, int nBegin, int nEnd)
{
    const char *pWord = scan.Text() + nBegin;
    const int nWord = nEnd - nBegin;
    if (IsHtmlTagName(pWord, nWord))
        scan.AddBlock(nBegin, COLORINDEX_TAG);
    else if (IsHtmlAttributeName(pWord, nWord))
        scan.AddBlock(nBegin, COLORINDEX_TAGOPTION);
    else if (IsHtmlNumberToken(pWord, nWord))
        scan.AddBlock(nBegin, COLORINDEX_NUMBER);
    else
        return false;
    return true;
}

bool IsCommentOpenerAt(const CParseScan &scan, int nPos)
{
    return nPos + 3 < scan.Length() && scan.At(nPos) == '<' && scan.At(nPos + 1) == '!'
           && scan.At(nPos + 2) == '-' && scan.At(nPos + 3) == '-';
}

// The '>' of the "-->" that ends a comment, at or after nFrom; the line
// length if none. The dashes of "<!--" (opened at nCommentStart on this line,
// or -1) do not count: "<!-->" stays open.
int FindCommentEnd(const CParseScan &scan, int nFrom, int nCommentStart)
{
    for (int J = scan.Find(nFrom, '>'); J < scan.Length(); J = scan.Find(J + 1, '>')) {
        if (J >= 2 && scan.At(J - 1) == '-' && scan.At(J - 2) == '-'
            && (nCommentStart < 0 || J - 2 >= nCommentStart + 4))
            return J;
    }
    return scan.Length();
}

} // namespace

bool IsHtmlNumberToken(const char *pszWord, int nLength)
{
    if (pszWord == nullptr || nLength <= 0)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(pszWord);
    int nHexFrom = -1;
    if (nLength > 2 && p[0] == '0' && p[1] == 'x')
        nHexFrom = 2;
    else if (nLength > 1 && p[0] == '#')
        nHexFrom = 1;
    if (nHexFrom >= 0) {
        for (int i = nHexFrom; i < nLength; ++i) {
            if (!IsHexDigit(p[i]))
                return false;
        }
        return true;
    }
    return IsNumberToken(pszWord, nLength);
}

DWORD ParseLineHtml(const CLineSource &lines, DWORD dwCookie, int nLineIndex, ColorBlock *pBuf,
                    int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0)
        return dwCookie & HTML_LINE_MASK;

    bool bRedefineBlock = true;
    bool bDecIndex = false;
    int nIdentBegin = -1;
    int nCommentStart = -1;  // where "<!--" stood on this line
    for (int I = 0;; ++I) {
        scan.MoveTo(I);
        if (bRedefineBlock) {
            scan.AddBlock(bDecIndex ? I - 1 : I, HtmlBlockColor(dwCookie));
            bRedefineBlock = false;
            bDecIndex = false;
        }
        if (I == nLength)
            break;
        const unsigned char c = scan.At(I);

        // Inside a value or a comment only its end matters: jump to it (or to
        // the last byte, when it ends on a later line).
        if (dwCookie & (HTML_DQ_VALUE | HTML_SQ_VALUE | HTML_COMMENT)) {
            if (dwCookie & (HTML_DQ_VALUE | HTML_SQ_VALUE))
                I = scan.FindClosingQuote(I, (dwCookie & HTML_DQ_VALUE) ? '"' : '\'');
            else
                I = FindCommentEnd(scan, I, nCommentStart);
            if (I == nLength) {
                I = nLength - 1;
                continue;
            }
            dwCookie &= ~DWORD(HTML_DQ_VALUE | HTML_SQ_VALUE | HTML_COMMENT);
            bRedefineBlock = true;
            continue;
        }
        if ((c == '"' || c == '\'') && (dwCookie & HTML_TAG)) {
            scan.AddBlock(I, COLORINDEX_STRING);
            dwCookie |= c == '"' ? HTML_DQ_VALUE : HTML_SQ_VALUE;
            continue;
        }
        if (IsCommentOpenerAt(scan, I)) {
            scan.AddBlock(I, COLORINDEX_COMMENT);
            dwCookie = (dwCookie & ~DWORD(HTML_TAG)) | HTML_COMMENT;
            nCommentStart = I;
            I += 3;
            continue;
        }
        if (IsHtmlWordByte(scan, I)) {
            if (nIdentBegin < 0)
                nIdentBegin = I;
            I = scan.SkipWordChars() - 1;
            continue;
        }
        // A delimiter. A word that is not recognised stays open, so that the
        // next test covers it together with what follows ("name=value").
        if (nIdentBegin >= 0 && (dwCookie & HTML_TAG) && scan.HasBuffer()
            && ColorHtmlWord(scan, nIdentBegin, I)) {
            nIdentBegin = -1;
            bRedefineBlock = true;
            bDecIndex = true;
        }
        if (c == '<') {
            scan.AddBlock(I + 1, COLORINDEX_PREPROCESSOR);
            dwCookie |= HTML_TAG;
            nIdentBegin = -1;
        } else if (c == '>' && (dwCookie & HTML_TAG)) {
            dwCookie &= ~DWORD(HTML_TAG);
            nIdentBegin = -1;
            bRedefineBlock = true;
            bDecIndex = true;
        } else if (CParseScan::IsBlank(c)) {
            nIdentBegin = -1;
            bRedefineBlock = true;
            bDecIndex = true;
        }
    }
    if (nIdentBegin >= 0 && (dwCookie & HTML_TAG) && scan.HasBuffer())
        ColorHtmlWord(scan, nIdentBegin, nLength);
    // A '<' or '>' at the end of a line inside a comment or a value opens or
    // closes no tag: the lines after the comment would otherwise be coloured
    // as the inside of a tag.
    return dwCookie & HTML_LINE_MASK;
}

DWORD ParseLineHtmlSimple(const CLineSource &lines, DWORD dwCookie, int nLineIndex,
                          ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0)
        return dwCookie & SIMPLE_LINE_MASK;

    // None of the bytes looked at here can be the second byte of a
    // double-byte character, so the scan needs no classification.
    bool bRedefineBlock = true;
    for (int I = 0;; ++I) {
        if (bRedefineBlock) {
            int nColor = COLORINDEX_NORMALTEXT;
            if (dwCookie & SIMPLE_COMMENT)
                nColor = COLORINDEX_COMMENT;
            else if (dwCookie & SIMPLE_STRING)
                nColor = COLORINDEX_STRING;
            else if (dwCookie & SIMPLE_TAG)
                nColor = COLORINDEX_TAG;
            scan.AddBlock(I, nColor);
            bRedefineBlock = false;
        }
        if (I == nLength)
            break;
        const unsigned char c = scan.At(I);
        if (dwCookie & SIMPLE_TAG) {
            if (c == '>') {
                dwCookie &= ~DWORD(SIMPLE_TAG);
                bRedefineBlock = true;
            }
        } else if (dwCookie & SIMPLE_COMMENT) {
            if (c == '>' && I > 1 && scan.At(I - 1) == '-' && scan.At(I - 2) == '-') {
                dwCookie &= ~DWORD(SIMPLE_COMMENT);
                bRedefineBlock = true;
            }
        } else if (c == '<') {
            if (IsCommentOpenerAt(scan, I)) {
                scan.AddBlock(I, COLORINDEX_COMMENT);
                dwCookie |= SIMPLE_COMMENT;
            } else {
                scan.AddBlock(I, COLORINDEX_TAG);
                dwCookie |= SIMPLE_TAG;
            }
        }
    }
    return dwCookie & SIMPLE_LINE_MASK;
}
