// The colouring rules written the slow, obvious way, for checking the routines
// against: every byte of a line is looked at in turn, its double-byte class
// comes from one walk over the whole line, and keywords are found by scanning
// the lists. The routines jump over what cannot change their state and look
// words up in indexes; on any line they must give exactly these blocks and
// these states.
#pragma once

#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "text/sjis.h"

#include <string_view>
#include <vector>

namespace bytewise {

class CLine
{
public:
    CLine(std::string_view line, std::vector<ColorBlock> *pBlocks) : m_line(line), m_pBlocks(pBlocks)
    {
        m_aKinds.assign(line.size(), SJIS_SINGLE);
        for (std::size_t i = 0; i < line.size();) {
            if (SjisCharLength(line.data() + i, line.size() - i) == 2) {
                m_aKinds[i] = SJIS_LEAD;
                m_aKinds[i + 1] = SJIS_TRAIL;
                i += 2;
            } else {
                ++i;
            }
        }
    }

    int Length() const { return static_cast<int>(m_line.size()); }
    bool HasBlocks() const { return m_pBlocks != nullptr; }
    unsigned char At(int p) const
    {
        return p >= 0 && p < Length() ? static_cast<unsigned char>(m_line[static_cast<std::size_t>(p)]) : 0;
    }
    std::string_view Word(int nBegin, int nEnd) const
    {
        return m_line.substr(static_cast<std::size_t>(nBegin), static_cast<std::size_t>(nEnd - nBegin));
    }
    ESjisByteKind Kind(int p) const
    {
        return p >= 0 && p < Length() ? m_aKinds[static_cast<std::size_t>(p)] : SJIS_SINGLE;
    }
    bool IsDoubleByte(int p) const { return Kind(p) != SJIS_SINGLE; }
    bool IsBackslash(int p) const { return At(p) == '\\' && Kind(p) != SJIS_TRAIL; }
    bool IsEscaped(int p) const { return IsBackslash(p - 1) && !IsBackslash(p - 2); }
    bool IsLetter(int p) const
    {
        const unsigned char c = At(p);
        return (c | 0x20) >= 'a' && (c | 0x20) <= 'z' && Kind(p) != SJIS_TRAIL;
    }
    bool IsNumberDot(int p) const { return p > 0 && At(p) == '.' && !IsLetter(p - 1) && !IsLetter(p + 1); }

    static bool IsAlnum(unsigned char c)
    {
        return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || (c >= '0' && c <= '9');
    }
    static bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    // The block rule, with room for 3 blocks per byte.
    void Add(int nPos, int nColor)
    {
        if (m_pBlocks == nullptr || static_cast<int>(m_pBlocks->size()) >= 3 * Length())
            return;
        if (!m_pBlocks->empty() && m_pBlocks->back().nCharPos > nPos)
            return;
        m_pBlocks->push_back({nPos, nColor});
    }

    bool InList(const char *const *ppszList, int nBegin, int nEnd, bool bMatchCase) const
    {
        const std::string_view word = Word(nBegin, nEnd);
        return IsKeywordInList(ppszList, word.data(), static_cast<int>(word.size()), bMatchCase);
    }

private:
    std::string_view m_line;
    std::vector<ColorBlock> *m_pBlocks;
    std::vector<ESjisByteKind> m_aKinds;
};

// The colour a state gives the start of a line (HTML and the standard type).
inline int StateColor(std::uint32_t dw)
{
    return (dw & 0x05) ? COLORINDEX_COMMENT
         : (dw & 0x18) ? COLORINDEX_STRING
         : (dw & 0x02) ? COLORINDEX_PREPROCESSOR
                       : COLORINDEX_NORMALTEXT;
}

// A double or single quote opens a string.
inline bool OpenString(CLine &L, int I, unsigned char c, std::uint32_t &dw)
{
    if (c != '"' && c != '\'')
        return false;
    L.Add(I, COLORINDEX_STRING);
    dw |= c == '"' ? 0x08 : 0x10;
    return true;
}

inline bool HtmlWord(CLine &L, int nBegin, int nEnd)
{
    const std::string_view word = L.Word(nBegin, nEnd);
    if (L.InList(g_apszHtmlTagNames, nBegin, nEnd, false))
        L.Add(nBegin, COLORINDEX_TAG);
    else if (L.InList(g_apszHtmlAttributeNames, nBegin, nEnd, false))
        L.Add(nBegin, COLORINDEX_TAGOPTION);
    else if (IsHtmlNumberToken(word.data(), static_cast<int>(word.size())))
        L.Add(nBegin, COLORINDEX_NUMBER);
    else
        return false;
    return true;
}

inline std::uint32_t Html(CLine &L, std::uint32_t dw)
{
    const int n = L.Length();
    if (n == 0)
        return dw & 0x0F;
    bool bNew = true;
    bool bBack = false;
    int nWord = -1;
    int nCommentStart = -1;
    for (int I = 0;; ++I) {
        if (bNew) {
            L.Add(bBack ? I - 1 : I, StateColor(dw));
            bNew = bBack = false;
        }
        if (I == n)
            break;
        const unsigned char c = L.At(I);
        if (dw & 0x18) {
            if (c == ((dw & 0x08) ? '"' : '\'') && !L.IsEscaped(I)) {
                dw &= ~std::uint32_t(0x1C);
                bNew = true;
            }
            continue;
        }
        if (dw & 0x04) {
            if (c == '>' && I >= 2 && L.At(I - 1) == '-' && L.At(I - 2) == '-'
                && (nCommentStart < 0 || I - 2 >= nCommentStart + 4)) {
                dw &= ~std::uint32_t(0x1C);
                bNew = true;
            }
            continue;
        }
        if ((dw & 0x02) && OpenString(L, I, c, dw))
            continue;
        if (I + 3 < n && c == '<' && L.At(I + 1) == '!' && L.At(I + 2) == '-' && L.At(I + 3) == '-') {
            L.Add(I, COLORINDEX_COMMENT);
            dw = (dw & ~std::uint32_t(0x02)) | 0x04;
            nCommentStart = I;
            I += 3;
            continue;
        }
        if (L.IsDoubleByte(I) || CLine::IsAlnum(c) || c == '#' || L.IsNumberDot(I)) {
            if (nWord < 0)
                nWord = I;
            continue;
        }
        if (nWord >= 0 && (dw & 0x02) && L.HasBlocks() && HtmlWord(L, nWord, I)) {
            nWord = -1;
            bNew = bBack = true;
        }
        if (c == '<') {
            L.Add(I + 1, COLORINDEX_PREPROCESSOR);
            dw |= 0x02;
            nWord = -1;
        } else if (c == '>' && (dw & 0x02)) {
            dw &= ~std::uint32_t(0x02);
            nWord = -1;
            bNew = bBack = true;
        } else if (CLine::IsBlank(c)) {
            nWord = -1;
            bNew = bBack = true;
        }
    }
    if (nWord >= 0 && (dw & 0x02) && L.HasBlocks())
        HtmlWord(L, nWord, n);
    return dw & 0x0F;
}

inline std::uint32_t HtmlSimple(CLine &L, std::uint32_t dw)
{
    const int n = L.Length();
    if (n == 0)
        return dw & 0x29;
    bool bNew = true;
    for (int I = 0;; ++I) {
        if (bNew) {
            L.Add(I, (dw & 0x01) ? COLORINDEX_COMMENT
                     : (dw & 0x08) ? COLORINDEX_STRING
                     : (dw & 0x20) ? COLORINDEX_TAG
                                   : COLORINDEX_NORMALTEXT);
            bNew = false;
        }
        if (I == n)
            break;
        const unsigned char c = L.At(I);
        if (dw & 0x20) {
            if (c == '>') {
                dw &= ~std::uint32_t(0x20);
                bNew = true;
            }
        } else if (dw & 0x01) {
            if (c == '>' && I > 1 && L.At(I - 1) == '-' && L.At(I - 2) == '-') {
                dw &= ~std::uint32_t(0x01);
                bNew = true;
            }
        } else if (c == '<') {
            const bool bComment = I + 3 < n && L.At(I + 1) == '!' && L.At(I + 2) == '-' && L.At(I + 3) == '-';
            L.Add(I, bComment ? COLORINDEX_COMMENT : COLORINDEX_TAG);
            dw |= bComment ? 0x01 : 0x20;
        }
    }
    return dw & 0x29;
}

// The scheme of the C/C++ and script routines. A language says which bits
// colour comments and directives, what it keeps at a line end, its word bytes
// and keywords, and what it does with a byte outside comments and strings.
enum EStep { STEP_WORD, STEP_DONE, STEP_STOP };

struct CScheme
{
    std::uint32_t dwCommentBits;
    std::uint32_t dwDirectiveBits;
    std::uint32_t dwKeepBits;
    bool bUnderscoreIsText;
    bool bSigilsInWords;
    const char *const *ppszKeywords;
    const char *const *ppszKeywords2;
    bool bMatchCase;
};

// A '#' before anything but blanks opens a directive line (C/C++ and Pascal).
inline EStep Directive(CLine &L, int I, unsigned char c, std::uint32_t &dw, bool &bFirst)
{
    if (bFirst && c == '#') {
        L.Add(I, COLORINDEX_PREPROCESSOR);
        dw |= 0x02;
        return STEP_DONE;
    }
    bFirst = bFirst && CLine::IsBlank(c);
    return STEP_WORD;
}

template <typename Step>
std::uint32_t Scheme(CLine &L, std::uint32_t dw, const CScheme &s, Step step)
{
    const int n = L.Length();
    if (n == 0)
        return dw & s.dwKeepBits;
    auto color = [&](int p) {
        if (dw & s.dwCommentBits)
            return COLORINDEX_COMMENT;
        if (dw & 0x18)
            return COLORINDEX_STRING;
        if (dw & s.dwDirectiveBits)
            return COLORINDEX_PREPROCESSOR;
        const unsigned char c = L.At(p);
        if (L.IsDoubleByte(p) || CLine::IsAlnum(c) || (c == '_' && s.bUnderscoreIsText) || L.IsNumberDot(p))
            return COLORINDEX_NORMALTEXT;
        return COLORINDEX_OPERATOR;
    };
    auto word = [&](int nBegin, int nEnd) {
        const std::string_view w = L.Word(nBegin, nEnd);
        if (L.InList(s.ppszKeywords, nBegin, nEnd, s.bMatchCase))
            L.Add(nBegin, COLORINDEX_KEYWORD);
        else if (s.ppszKeywords2 != nullptr && L.InList(s.ppszKeywords2, nBegin, nEnd, s.bMatchCase))
            L.Add(nBegin, COLORINDEX_KEYWORD2);
        else if (IsNumberToken(w.data(), static_cast<int>(w.size())))
            L.Add(nBegin, COLORINDEX_NUMBER);
    };
    bool bNew = true;
    bool bBack = false;
    int nWord = -1;
    int I = 0;
    for (;; ++I) {
        if (bNew) {
            L.Add(bBack ? I - 1 : I, color(bBack ? I - 1 : I));
            bNew = bBack = false;
        }
        if (I == n)
            break;
        const unsigned char c = L.At(I);
        if (dw & 0x01) {
            L.Add(I, COLORINDEX_COMMENT);
            break;
        }
        if (dw & 0x18) {
            if (c == ((dw & 0x08) ? '"' : '\'') && !L.IsEscaped(I)) {
                dw &= ~std::uint32_t(0x18);
                bNew = true;
            }
            continue;
        }
        const EStep e = step(I, c, dw, bNew);
        if (e == STEP_STOP)
            break;
        if (e == STEP_DONE || !L.HasBlocks())
            continue;
        if (L.IsDoubleByte(I) || CLine::IsAlnum(c) || c == '_' || ((c == '$' || c == '@') && s.bSigilsInWords)
            || L.IsNumberDot(I)) {
            if (nWord < 0)
                nWord = I;
        } else if (nWord >= 0) {
            word(nWord, I);
            nWord = -1;
            bNew = bBack = true;
        }
    }
    if (nWord >= 0)
        word(nWord, I);
    if (!L.IsBackslash(n - 1))
        dw &= s.dwKeepBits;
    return dw;
}

inline std::uint32_t Cpp(CLine &L, std::uint32_t dw)
{
    static const CScheme s = {0x05, 0x02, 0x04, true, false, g_apszCppKeywords, g_apszCppKeywords2, true};
    bool bFirst = (dw & ~std::uint32_t(0x04)) == 0;
    bool bOpened = false;  // the byte before is the star of "/*"
    return Scheme(L, dw, s, [&](int I, unsigned char c, std::uint32_t &d, bool &bNew) {
        if (d & 0x04) {
            if (!bOpened && I >= 1 && c == '/' && L.At(I - 1) == '*') {
                d &= ~std::uint32_t(0x04);
                bNew = true;
            }
            bOpened = false;
            return STEP_DONE;
        }
        if (I > 0 && c == '/' && L.At(I - 1) == '/') {
            L.Add(I - 1, COLORINDEX_COMMENT);
            d |= 0x01;
            return STEP_STOP;
        }
        if (I > 0 && c == '*' && L.At(I - 1) == '/') {
            // In a directive line a comment opened with "/*" may close at once.
            L.Add(I - 1, COLORINDEX_COMMENT);
            bOpened = !(d & 0x02);
            d |= 0x04;
            return STEP_DONE;
        }
        if ((d & 0x02) || OpenString(L, I, c, d))
            return STEP_DONE;
        return Directive(L, I, c, d, bFirst);
    });
}

inline std::uint32_t VB(CLine &L, std::uint32_t dw)
{
    static const CScheme s = {0x05, 0, 0x04, true, false, g_apszVBKeywords, nullptr, false};
    return Scheme(L, dw, s, [&](int I, unsigned char c, std::uint32_t &d, bool &) {
        auto isCaseless = [&](int p, char cLower) { return (L.At(p) | 0x20) == cLower; };
        if (c == '\'' || (I >= 3 && !CLine::IsAlnum(c) && isCaseless(I - 3, 'r') && isCaseless(I - 2, 'e')
                          && isCaseless(I - 1, 'm'))) {
            L.Add(c == '\'' ? I : I - 3, COLORINDEX_COMMENT);
            d |= 0x01;
            return STEP_STOP;
        }
        if (c == '"') {
            L.Add(I, COLORINDEX_STRING);
            d |= 0x08;
            return STEP_DONE;
        }
        return STEP_WORD;
    });
}

inline std::uint32_t Perl(CLine &L, std::uint32_t dw)
{
    static const CScheme s = {0x05, 0, 0x04, false, true, g_apszPerlKeywords, nullptr, true};
    return Scheme(L, dw, s, [&](int I, unsigned char c, std::uint32_t &d, bool &) {
        if (c == '#' && L.At(I - 1) != '$') {
            L.Add(I, COLORINDEX_COMMENT);
            d |= 0x01;
            return STEP_STOP;
        }
        if (OpenString(L, I, c, d))
            return STEP_DONE;
        return STEP_WORD;
    });
}

inline std::uint32_t Pascal(CLine &L, std::uint32_t dw)
{
    static const CScheme s = {0x25, 0x02, 0x24, false, false, g_apszPascalKeywords, nullptr, false};
    bool bFirst = (dw & ~std::uint32_t(0x24)) == 0;
    bool bOpened = false;  // the byte before is the star of "(*"
    return Scheme(L, dw, s, [&](int I, unsigned char c, std::uint32_t &d, bool &bNew) {
        if (d & 0x24) {
            const bool bEnd = (d & 0x04) ? !bOpened && I >= 1 && c == ')' && L.At(I - 1) == '*'
                                         : c == '}' && L.Kind(I) != SJIS_TRAIL;
            bOpened = false;
            if (bEnd) {
                d &= ~std::uint32_t(0x24);
                bNew = true;
            }
            return STEP_DONE;
        }
        if (I > 0 && c == '/' && L.At(I - 1) == '/') {
            L.Add(I - 1, COLORINDEX_COMMENT);
            d |= 0x01;
            return STEP_STOP;
        }
        const bool bParen = I > 0 && c == '*' && L.At(I - 1) == '(';
        const bool bBrace = c == '{' && L.Kind(I) != SJIS_TRAIL;
        if (bParen || bBrace) {
            // In a directive line a comment opened with "(*" may close at once.
            L.Add(bParen ? I - 1 : I, COLORINDEX_COMMENT);
            bOpened = bParen && !(d & 0x02);
            d |= bParen ? 0x04 : 0x20;
            return STEP_DONE;
        }
        if ((d & 0x02) || OpenString(L, I, c, d))
            return STEP_DONE;
        return Directive(L, I, c, d, bFirst);
    });
}

inline std::uint32_t Standard(CLine &L, std::uint32_t dw)
{
    const int n = L.Length();
    if (n == 0)
        return dw & 0x04;
    const int nColor = StateColor(dw);
    L.Add(0, nColor);
    auto link = [&](int nBegin, int nEnd) {
        const std::string_view w = L.Word(nBegin, nEnd);
        if ((nEnd > 5 && nBegin + 7 <= n && L.Word(nBegin, nBegin + 7) == "http://")
            || (nEnd > 5 && nBegin + 8 <= n && L.Word(nBegin, nBegin + 8) == "https://")
            || w.find('@') != std::string_view::npos)
            L.Add(nBegin, COLORINDEX_KEYWORD);
    };
    int nWord = -1;
    for (int I = 0; I < n; ++I) {
        const unsigned char c = L.At(I);
        const bool bWordByte = !L.IsDoubleByte(I)
                               && (CLine::IsAlnum(c) || std::string_view("_-.@/:~").find(static_cast<char>(c))
                                                            != std::string_view::npos);
        if (bWordByte) {
            if (nWord < 0)
                nWord = I;
        } else if (nWord >= 0) {
            link(nWord, I);
            L.Add(I, nColor);
            nWord = -1;
        }
    }
    if (nWord >= 0)
        link(nWord, n);
    return dw;
}

inline std::uint32_t Plain(CLine &L, std::uint32_t dw)
{
    const int nColor = (dw & 0x05) ? COLORINDEX_COMMENT : COLORINDEX_NORMALTEXT;
    if (L.Length() > 0)
        L.Add(0, nColor);
    for (int I = 0; I < L.Length(); ++I) {
        if (!L.IsDoubleByte(I))
            L.Add(I, nColor);
    }
    return dw;
}

// The rules of a view type: the routine's number in the type table.
inline std::uint32_t ParseByViewType(int nViewType, std::string_view line, std::uint32_t dw,
                                     std::vector<ColorBlock> *pBlocks)
{
    CLine L(line, pBlocks);
    switch (nViewType) {
    case 0: return Cpp(L, dw);
    case 1: return VB(L, dw);
    case 2: return Html(L, dw);
    case 3: return HtmlSimple(L, dw);
    case 4: return Plain(L, dw);
    case 5: return Perl(L, dw);
    case 6: return Pascal(L, dw);
    default: return Standard(L, dw);
    }
}

} // namespace bytewise
