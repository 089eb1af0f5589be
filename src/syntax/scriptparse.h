// The scan loop of the routines for programming languages: C and C++, VB,
// Perl and Pascal. They share one scheme: block colours from the state, quoted
// strings with backslash escapes, a trailing backslash that carries the whole
// state to the next line, and words looked up in keyword lists or tested as
// numbers. Each language adds its comments and directives through a step.
// Only the routines include this header.
#pragma once

#include "syntax/parse.h"
#include "syntax/parsescan.h"

enum : std::uint32_t
{
    SCRIPT_COMMENT = 0x01,  // to the line end
    SCRIPT_STRING = 0x08,
    SCRIPT_CHAR = 0x10,
};

struct CScriptLanguage
{
    // The colour of a word by the language's lists; 0 for none.
    int (*pfnKeywordColor)(const char *pszWord, int nLength);
    std::uint32_t dwCommentBits;    // drawn in the comment colour
    std::uint32_t dwDirectiveBits;  // drawn in the preprocessor colour
    std::uint32_t dwKeepBits;       // kept at the end of a line without a backslash
    bool bUnderscoreIsText;   // a block starting at '_' is normal text
    bool bSigilsInWords;      // '$' and '@' belong to words
    bool bRemEndsWords;       // a comment may begin after any letter (VB)
};

// What a language's step did with a byte.
enum EStep
{
    STEP_WORD,  // nothing: the byte is left to the word scan
    STEP_DONE,  // the byte was consumed
    STEP_STOP,  // the rest of the line is a comment
};

// The loop. It walks the line character by character, stepping over words
// and runs of blanks, and jumps over strings. The language's step sees every
// character outside line comments and strings that the loop does not step
// over, always at a character start; it may move the scan ahead to an ASCII
// delimiter, or leave it on the character it consumed.
class CScriptParse
{
public:
    CScriptParse(const CScriptLanguage &lang, CParseScan &scan, std::uint32_t dwCookie)
        : m_lang(lang), m_scan(scan), m_dwCookie(dwCookie)
    {
    }

    std::uint32_t &Cookie() { return m_dwCookie; }
    // A new block begins after the byte the step consumed.
    void BeginBlockAfter() { m_bBlockAfter = true; }

    template <typename Step>
    std::uint32_t Run(Step step)
    {
        const int nLength = m_scan.Length();
        const bool bBlocks = m_scan.HasBuffer();
        bool bTrailBefore = false;  // the byte before I ends a double-byte character
        m_scan.AddBlock(0, BlockColor(0, false));
        int I = 0;
        while (I < nLength) {
            if (m_dwCookie & SCRIPT_COMMENT) {
                m_scan.AddBlock(I, COLORINDEX_COMMENT);
                break;
            }
            if (m_dwCookie & (SCRIPT_STRING | SCRIPT_CHAR)) {
                // Only the closing quote matters: jump to it.
                const int J = m_scan.FindClosingQuote(I, (m_dwCookie & SCRIPT_STRING) ? '"' : '\'');
                if (J >= nLength) {
                    I = nLength;
                    break;
                }
                m_dwCookie &= ~std::uint32_t(SCRIPT_STRING | SCRIPT_CHAR);
                I = J + 1;
                bTrailBefore = false;
                m_scan.AddBlock(I, BlockColor(I, false));
                continue;
            }
            const unsigned char c = m_scan.Byte(I);
            const EStep eStep = step(I, c);
            if (eStep == STEP_STOP)
                break;
            if (eStep == STEP_DONE) {
                // Past the character the step stopped on: its second byte,
                // if any, is nothing to any step.
                const int nDone = m_scan.CharLengthAt(I);
                I += nDone;
                bTrailBefore = nDone == 2;
                if (m_bBlockAfter) {
                    m_bBlockAfter = false;
                    m_scan.AddBlock(I, BlockColor(I, false));
                }
                continue;
            }
            const int nChar = m_scan.CharLengthAt(I);
            if (nChar == 2 || IsWordByte(c) || (c == '.' && m_scan.IsNumberDotAt(I, bTrailBefore))) {
                if (m_nIdentBegin < 0 && bBlocks)
                    m_nIdentBegin = I;
                bTrailBefore = nChar == 2;
                I += nChar;
                // REM is looked for after every letter, so VB steps over
                // letters and digits only.
                if (m_lang.bRemEndsWords) {
                    const int J = m_scan.SkipAlnum(I);
                    bTrailBefore = bTrailBefore && J == I;
                    I = J;
                } else {
                    I = m_scan.SkipWordChars(I, bTrailBefore);
                }
                continue;
            }
            if (m_nIdentBegin >= 0) {
                ColorWord(m_nIdentBegin, I);
                m_nIdentBegin = -1;
                // The run after a word starts at its terminator.
                m_scan.AddBlock(I, BlockColor(I, bTrailBefore));
                ++I;
            } else if (CParseScan::IsBlank(c)) {
                I = m_scan.SkipBlanks(I + 1);
            } else {
                ++I;
            }
            bTrailBefore = false;
        }
        if (m_nIdentBegin >= 0)
            ColorWord(m_nIdentBegin, I);
        if (!m_scan.IsBackslashAt(nLength - 1))
            m_dwCookie &= m_lang.dwKeepBits;
        return m_dwCookie;
    }

private:
    // The colour of a run that begins at the character start nPos.
    int BlockColor(int nPos, bool bTrailBefore) const
    {
        if (m_dwCookie & m_lang.dwCommentBits)
            return COLORINDEX_COMMENT;
        if (m_dwCookie & (SCRIPT_STRING | SCRIPT_CHAR))
            return COLORINDEX_STRING;
        if (m_dwCookie & m_lang.dwDirectiveBits)
            return COLORINDEX_PREPROCESSOR;
        if (nPos >= m_scan.Length())
            return COLORINDEX_OPERATOR;
        const unsigned char c = m_scan.Byte(nPos);
        if (CParseScan::IsAsciiAlnum(c) || (c == '_' && m_lang.bUnderscoreIsText)
            || m_scan.IsDoubleByteCharAt(nPos) || (c == '.' && m_scan.IsNumberDotAt(nPos, bTrailBefore)))
            return COLORINDEX_NORMALTEXT;
        return COLORINDEX_OPERATOR;
    }

    // A single byte that belongs to words (double-byte characters and the
    // dot of a number aside).
    bool IsWordByte(unsigned char c) const
    {
        return CParseScan::IsAsciiAlnum(c) || c == '_' || ((c == '$' || c == '@') && m_lang.bSigilsInWords);
    }

    void ColorWord(int nBegin, int nEnd)
    {
        const char *pWord = m_scan.Text() + nBegin;
        const int nWord = nEnd - nBegin;
        if (const int nColor = m_lang.pfnKeywordColor(pWord, nWord))
            m_scan.AddBlock(nBegin, nColor);
        else if (IsNumberToken(pWord, nWord))
            m_scan.AddBlock(nBegin, COLORINDEX_NUMBER);
    }

    const CScriptLanguage &m_lang;
    CParseScan &m_scan;
    std::uint32_t m_dwCookie;
    bool m_bBlockAfter = false;
    int m_nIdentBegin = -1;
};
