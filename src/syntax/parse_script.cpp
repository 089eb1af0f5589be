// VB, Perl and Pascal on the scan loop they share with C and C++
// (scriptparse.h): only their comments, directives, quotes, word bytes and
// keyword lists are their own.
#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "syntax/scriptparse.h"

namespace {

enum : std::uint32_t
{
    COOKIE_COMMENT = SCRIPT_COMMENT,  // to the line end
    COOKIE_DIRECTIVE = 0x02,          // Pascal: a line that began with '#'
    COOKIE_PAREN_COMMENT = 0x04,      // Pascal: "(*" ... "*)"
    COOKIE_STRING = SCRIPT_STRING,
    COOKIE_CHAR = SCRIPT_CHAR,
    COOKIE_BRACE_COMMENT = 0x20,  // Pascal: "{" ... "}"
};

const CScriptLanguage s_vb = {VBKeywordColor, 0x05, 0, 0x04, true, false, true};
const CScriptLanguage s_perl = {PerlKeywordColor, 0x05, 0, 0x04, false, true, false};
const CScriptLanguage s_pascal = {PascalKeywordColor, 0x25, COOKIE_DIRECTIVE, 0x24, false, false, false};

bool IsCaseless(unsigned char c, char cLower)
{
    return (c | 0x20) == static_cast<unsigned char>(cLower);
}

} // namespace

std::uint32_t ParseLineVB(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                          ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    if (scan.Length() == 0)
        return dwCookie & s_vb.dwKeepBits;
    CScriptParse parse(s_vb, scan, dwCookie);
    return parse.Run([&](int &I, unsigned char c) {
        if (c == '\'') {
            scan.AddBlock(I, COLORINDEX_COMMENT);
            parse.Cookie() |= COOKIE_COMMENT;
            return STEP_STOP;
        }
        // REM ends any word ("harem x" is a comment too). Its letters are read
        // as bytes, without asking whether they are halves of characters.
        if (I >= 3 && IsCaseless(scan.Byte(I - 1), 'm') && !CParseScan::IsAsciiAlnum(c)
            && IsCaseless(scan.Byte(I - 3), 'r') && IsCaseless(scan.Byte(I - 2), 'e')) {
            scan.AddBlock(I - 3, COLORINDEX_COMMENT);
            parse.Cookie() |= COOKIE_COMMENT;
            return STEP_STOP;
        }
        if (c == '"') {
            scan.AddBlock(I, COLORINDEX_STRING);
            parse.Cookie() |= COOKIE_STRING;
            return STEP_DONE;
        }
        return STEP_WORD;
    });
}

std::uint32_t ParseLinePerl(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                            ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    if (scan.Length() == 0)
        return dwCookie & s_perl.dwKeepBits;
    CScriptParse parse(s_perl, scan, dwCookie);
    return parse.Run([&](int &I, unsigned char c) {
        // "$#array" is the last index of an array, not a comment.
        if (c == '#' && (I == 0 || scan.Byte(I - 1) != '$')) {
            scan.AddBlock(I, COLORINDEX_COMMENT);
            parse.Cookie() |= COOKIE_COMMENT;
            return STEP_STOP;
        }
        if (c == '"' || c == '\'') {
            scan.AddBlock(I, COLORINDEX_STRING);
            parse.Cookie() |= c == '"' ? COOKIE_STRING : COOKIE_CHAR;
            return STEP_DONE;
        }
        return STEP_WORD;
    });
}

std::uint32_t ParseLinePascal(const CLineSource &lines, std::uint32_t dwCookie, int nLineIndex,
                              ColorBlock *pBuf, int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    const int nLength = scan.Length();
    if (nLength == 0)
        return dwCookie & s_pascal.dwKeepBits;
    CScriptParse parse(s_pascal, scan, dwCookie);
    bool bFirstChar = (dwCookie & ~std::uint32_t(COOKIE_PAREN_COMMENT | COOKIE_BRACE_COMMENT)) == 0;
    bool bWasCommentStart = false;
    return parse.Run([&](int &I, unsigned char c) {
        std::uint32_t &dwState = parse.Cookie();
        // Inside a comment only its end matters: jump to it (or to the last
        // byte, when it ends on a later line).
        if (dwState & (COOKIE_PAREN_COMMENT | COOKIE_BRACE_COMMENT)) {
            if (dwState & COOKIE_PAREN_COMMENT) {
                // The star of "(*" does not also close the comment: "(*)" stays open.
                I = scan.FindPairEnd(bWasCommentStart ? I + 1 : I, '*', ')');
                bWasCommentStart = false;
            } else {
                I = scan.Find(I, '}');
                while (I < nLength && scan.IsTrailAt(I))
                    I = scan.Find(I + 1, '}');
            }
            if (I == nLength) {
                I = nLength - 1;
                return STEP_DONE;
            }
            dwState &= ~std::uint32_t(COOKIE_PAREN_COMMENT | COOKIE_BRACE_COMMENT);
            parse.BeginBlockAfter();
            return STEP_DONE;
        }
        if (I > 0 && c == '/' && scan.Byte(I - 1) == '/') {
            scan.AddBlock(I - 1, COLORINDEX_COMMENT);
            dwState |= COOKIE_COMMENT;
            return STEP_STOP;
        }
        // The walk stands at a character start, so a '{' here is a brace.
        const bool bParenOpen = I > 0 && c == '*' && scan.Byte(I - 1) == '(';
        const bool bBraceOpen = c == '{';
        if (dwState & COOKIE_DIRECTIVE) {
            if (bParenOpen) {
                scan.AddBlock(I - 1, COLORINDEX_COMMENT);
                dwState |= COOKIE_PAREN_COMMENT;
            } else if (bBraceOpen) {
                scan.AddBlock(I, COLORINDEX_COMMENT);
                dwState |= COOKIE_BRACE_COMMENT;
            }
            return STEP_DONE;
        }
        if (c == '"' || c == '\'') {
            scan.AddBlock(I, COLORINDEX_STRING);
            dwState |= c == '"' ? COOKIE_STRING : COOKIE_CHAR;
            return STEP_DONE;
        }
        if (bParenOpen) {
            scan.AddBlock(I - 1, COLORINDEX_COMMENT);
            dwState |= COOKIE_PAREN_COMMENT;
            bWasCommentStart = true;
            return STEP_DONE;
        }
        if (bBraceOpen) {
            scan.AddBlock(I, COLORINDEX_COMMENT);
            dwState |= COOKIE_BRACE_COMMENT;
            return STEP_DONE;
        }
        if (bFirstChar) {
            if (c == '#') {
                scan.AddBlock(I, COLORINDEX_PREPROCESSOR);
                dwState |= COOKIE_DIRECTIVE;
                return STEP_DONE;
            }
            if (!CParseScan::IsBlank(c))
                bFirstChar = false;
        }
        return STEP_WORD;
    });
}
