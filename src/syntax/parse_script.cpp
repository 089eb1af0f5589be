// VB, Perl and Pascal. The three share one scheme: block colours from the
// state, quoted strings with backslash escapes, a trailing backslash that
// carries the whole state to the next line, and words looked up in a keyword
// list or tested as numbers. Only their comments and word bytes differ.
#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "syntax/parsescan.h"

namespace {

enum : DWORD
{
    COOKIE_COMMENT = 0x01,         // to the line end
    COOKIE_DIRECTIVE = 0x02,       // Pascal: a line that began with '#'
    COOKIE_PAREN_COMMENT = 0x04,   // Pascal: "(*" ... "*)"
    COOKIE_STRING = 0x08,
    COOKIE_CHAR = 0x10,
    COOKIE_BRACE_COMMENT = 0x20,   // Pascal: "{" ... "}"
};

struct CScriptLanguage
{
    bool (*pfnIsKeyword)(const char *pszWord, int nLength);
    DWORD dwCommentBits;      // drawn in the comment colour
    DWORD dwDirectiveBits;    // drawn in the preprocessor colour
    DWORD dwKeepBits;         // kept at the end of a line without a backslash
    bool bUnderscoreIsText;   // a block starting at '_' is normal text
    bool bSigilsInWords;      // '$' and '@' belong to words
    bool bRemEndsWords;       // a comment may begin after any letter (VB)
};

const CScriptLanguage s_vb = {IsVBKeyword, 0x05, 0, 0x04, true, false, true};
const CScriptLanguage s_perl = {IsPerlKeyword, 0x05, 0, 0x04, false, true, false};
const CScriptLanguage s_pascal = {IsPascalKeyword, 0x25, COOKIE_DIRECTIVE, 0x24, false, false,
                                  false};

// What a language's own step did with a byte.
enum EStep
{
    STEP_WORD,  // nothing: the byte is left to the word scan
    STEP_DONE,  // the byte was consumed
    STEP_STOP,  // the rest of the line is a comment
};

// The loop shared by the three routines. The language's step sees the bytes
// outside line comments and strings, and may move the scan ahead.
class CScriptParse
{
public:
    CScriptParse(const CScriptLanguage &lang, CParseScan &scan, DWORD dwCookie)
        : m_lang(lang), m_scan(scan), m_dwCookie(dwCookie)
    {
    }

    DWORD &Cookie() { return m_dwCookie; }
    void BeginBlockAfter() { m_bRedefineBlock = true; }

    template <typename Step>
    DWORD Run(Step step)
    {
        const int nLength = m_scan.Length();
        int I = 0;
        for (;; ++I) {
            m_scan.MoveTo(I);
            if (m_bRedefineBlock) {
                const int nPos = m_bDecIndex ? I - 1 : I;
                m_scan.AddBlock(nPos, BlockColor(nPos));
                m_bRedefineBlock = false;
                m_bDecIndex = false;
            }
            if (I == nLength)
                break;
            const unsigned char c = m_scan.At(I);
            if (m_dwCookie & COOKIE_COMMENT) {
                m_scan.AddBlock(I, COLORINDEX_COMMENT);
                break;
            }
            if (m_dwCookie & (COOKIE_STRING | COOKIE_CHAR)) {
                // Only the closing quote matters: jump to it.
                I = m_scan.FindClosingQuote(I, (m_dwCookie & COOKIE_STRING) ? '"' : '\'');
                if (I == nLength) {
                    I = nLength - 1;
                    continue;
                }
                m_dwCookie &= ~DWORD(COOKIE_STRING | COOKIE_CHAR);
                m_bRedefineBlock = true;
                continue;
            }
            const EStep eStep = step(I, c);
            if (eStep == STEP_STOP)
                break;
            if (eStep == STEP_DONE)
                continue;
            if (IsWordByte(I)) {
                if (m_nIdentBegin < 0 && m_scan.HasBuffer())
                    m_nIdentBegin = I;
                // REM is looked for after every letter, so VB steps over
                // letters and digits only.
                I = (m_lang.bRemEndsWords ? m_scan.SkipAlnum(I + 1) : m_scan.SkipWordChars()) - 1;
            } else if (m_nIdentBegin >= 0) {
                ColorWord(m_nIdentBegin, I);
                m_nIdentBegin = -1;
                m_bRedefineBlock = true;
                m_bDecIndex = true;
            } else if (CParseScan::IsBlank(c)) {
                I = m_scan.SkipBlanks(I + 1) - 1;
            }
        }
        if (m_nIdentBegin >= 0)
            ColorWord(m_nIdentBegin, I);
        m_scan.MoveTo(nLength - 1);
        if (!m_scan.IsBackslashAt(nLength - 1))
            m_dwCookie &= m_lang.dwKeepBits;
        return m_dwCookie;
    }

private:
    int BlockColor(int nPos) const
    {
        if (m_dwCookie & m_lang.dwCommentBits)
            return COLORINDEX_COMMENT;
        if (m_dwCookie & (COOKIE_STRING | COOKIE_CHAR))
            return COLORINDEX_STRING;
        if (m_dwCookie & m_lang.dwDirectiveBits)
            return COLORINDEX_PREPROCESSOR;
        const unsigned char c = m_scan.At(nPos);
        if (m_scan.IsDoubleByteAt(nPos) || CParseScan::IsAsciiAlnum(c)
            || (c == '_' && m_lang.bUnderscoreIsText) || m_scan.IsNumberDotAt(nPos))
            return COLORINDEX_NORMALTEXT;
        return COLORINDEX_OPERATOR;
    }

    bool IsWordByte(int nPos) const
    {
        const unsigned char c = m_scan.At(nPos);
        return m_scan.IsDoubleByteAt(nPos) || CParseScan::IsAsciiAlnum(c) || c == '_'
               || ((c == '$' || c == '@') && m_lang.bSigilsInWords) || m_scan.IsNumberDotAt(nPos);
    }

    void ColorWord(int nBegin, int nEnd)
    {
        const char *pWord = m_scan.Text() + nBegin;
        const int nWord = nEnd - nBegin;
        if (m_lang.pfnIsKeyword(pWord, nWord))
            m_scan.AddBlock(nBegin, COLORINDEX_KEYWORD);
        else if (IsNumberToken(pWord, nWord))
            m_scan.AddBlock(nBegin, COLORINDEX_NUMBER);
    }

    const CScriptLanguage &m_lang;
    CParseScan &m_scan;
    DWORD m_dwCookie;
    bool m_bRedefineBlock = true;
    bool m_bDecIndex = false;
    int m_nIdentBegin = -1;
};

bool IsCaseless(unsigned char c, char cLower)
{
    return (c | 0x20) == static_cast<unsigned char>(cLower);
}

} // namespace

DWORD ParseLineVB(const CLineSource &lines, DWORD dwCookie, int nLineIndex, ColorBlock *pBuf,
                  int &nActualItems)
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
        if (I >= 3 && !CParseScan::IsAsciiAlnum(c) && IsCaseless(scan.At(I - 3), 'r')
            && IsCaseless(scan.At(I - 2), 'e') && IsCaseless(scan.At(I - 1), 'm')) {
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

DWORD ParseLinePerl(const CLineSource &lines, DWORD dwCookie, int nLineIndex, ColorBlock *pBuf,
                    int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    if (scan.Length() == 0)
        return dwCookie & s_perl.dwKeepBits;
    CScriptParse parse(s_perl, scan, dwCookie);
    return parse.Run([&](int &I, unsigned char c) {
        // "$#array" is the last index of an array, not a comment.
        if (c == '#' && (I == 0 || scan.At(I - 1) != '$')) {
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

DWORD ParseLinePascal(const CLineSource &lines, DWORD dwCookie, int nLineIndex, ColorBlock *pBuf,
                      int &nActualItems)
{
    CParseScan scan(lines, nLineIndex, pBuf, nActualItems);
    if (scan.Length() == 0)
        return dwCookie & s_pascal.dwKeepBits;
    CScriptParse parse(s_pascal, scan, dwCookie);
    bool bFirstChar = (dwCookie & ~DWORD(COOKIE_PAREN_COMMENT | COOKIE_BRACE_COMMENT)) == 0;
    bool bWasCommentStart = false;
    return parse.Run([&](int &I, unsigned char c) {
        DWORD &dwState = parse.Cookie();
        // Inside a comment only its end matters: jump to it (or to the last
        // byte, when it ends on a later line).
        if (dwState & (COOKIE_PAREN_COMMENT | COOKIE_BRACE_COMMENT)) {
            const int nLength = scan.Length();
            if (dwState & COOKIE_PAREN_COMMENT) {
                // The star of "(*" does not also close the comment: "(*)" stays open.
                I = scan.FindPairEnd(bWasCommentStart ? I + 1 : I, '*', ')');
                bWasCommentStart = false;
            } else {
                I = scan.Find(I, '}');
                for (; I < nLength; I = scan.Find(I + 1, '}')) {
                    scan.MoveTo(I);
                    if (!scan.IsTrailAt(I))
                        break;
                }
            }
            if (I == nLength) {
                I = nLength - 1;
                return STEP_DONE;
            }
            dwState &= ~DWORD(COOKIE_PAREN_COMMENT | COOKIE_BRACE_COMMENT);
            parse.BeginBlockAfter();
            return STEP_DONE;
        }
        if (I > 0 && c == '/' && scan.At(I - 1) == '/') {
            scan.AddBlock(I - 1, COLORINDEX_COMMENT);
            dwState |= COOKIE_COMMENT;
            return STEP_STOP;
        }
        const bool bParenOpen = I > 0 && c == '*' && scan.At(I - 1) == '(';
        const bool bBraceOpen = c == '{' && !scan.IsTrailAt(I);
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
