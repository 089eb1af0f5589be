// What the parse routines share while they walk one line: its bytes, the
// double-byte tests on them and the block output. Only the routines include
// this header.
//
// The routines walk a line character by character from its start, and jump
// only to ASCII delimiters below 0x40 (quotes, '>', '/', ')'), which are never
// the second byte of a character, or to a position whose class they checked.
// So the walk always stands at the start of a character and knows the class
// of the byte before it. Where a test needs the class of a byte the walk did
// not pass (the byte before a quote found by a jump), it looks back over the
// run of lead-range bytes before it, as the Shift-JIS helpers do.
#pragma once

#include "syntax/parse.h"
#include "text/sjis.h"

#include <array>
#include <cstring>
#include <limits>

// Byte classes for the scans, one table lookup each.
enum : unsigned char
{
    PARSE_CLASS_ALNUM = 0x01,  // an ASCII letter or digit
    PARSE_CLASS_BLANK = 0x02,  // white space of the C locale
    PARSE_CLASS_LEAD = 0x04,   // may begin a double-byte character
    PARSE_CLASS_TRAIL = 0x08,  // may end one
};

inline constexpr std::array<unsigned char, 256> MakeParseClasses()
{
    std::array<unsigned char, 256> a{};
    for (int i = 0; i < 256; ++i) {
        const auto c = static_cast<unsigned char>(i);
        unsigned char k = 0;
        if (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || (c >= '0' && c <= '9'))
            k |= PARSE_CLASS_ALNUM;
        if (c == ' ' || (c >= '\t' && c <= '\r'))
            k |= PARSE_CLASS_BLANK;
        if (IsSjisLeadByte(c))
            k |= PARSE_CLASS_LEAD;
        if (IsSjisTrailByte(c))
            k |= PARSE_CLASS_TRAIL;
        a[static_cast<std::size_t>(i)] = k;
    }
    return a;
}

inline constexpr std::array<unsigned char, 256> g_aParseClass = MakeParseClasses();

class CParseScan
{
public:
    CParseScan(const CLineSource &lines, int nLineIndex, ColorBlock *pBuf, int &nActualItems)
        : m_pBuf(pBuf), m_nActualItems(nActualItems), m_nItems(nActualItems)
    {
        if (m_pBuf != nullptr && m_nItems > 0)
            m_nLastPos = m_pBuf[m_nItems - 1].nCharPos;
        // A line that does not exist reads as an empty line.
        if (nLineIndex >= 0 && nLineIndex < lines.GetLineCount()) {
            m_nLength = lines.GetLineLength(nLineIndex);
            m_pText = reinterpret_cast<const unsigned char *>(lines.GetLineText(nLineIndex));
        }
        if (m_pText == nullptr || m_nLength < 0)
            m_nLength = 0;
        m_nCapacity = ColorBlockCapacity(m_nLength);
    }

    // The count goes back to the caller when the routine is done: kept here,
    // it is not read back from memory after every block written.
    ~CParseScan() { m_nActualItems = m_nItems; }

    CParseScan(const CParseScan &) = delete;
    CParseScan &operator=(const CParseScan &) = delete;

    int Length() const { return m_nLength; }
    const char *Text() const { return reinterpret_cast<const char *>(m_pText); }
    bool HasBuffer() const { return m_pBuf != nullptr; }

    // The byte at nPos; 0 outside the line, so that a test of a neighbour at
    // the line's ends never reads past it.
    unsigned char At(int nPos) const
    {
        return nPos >= 0 && nPos < m_nLength ? m_pText[nPos] : 0;
    }
    // The byte at nPos, which the caller knows to lie in the line.
    unsigned char Byte(int nPos) const { return m_pText[nPos]; }

    // The rule of AddColorBlock.
    void AddBlock(int nPos, int nColorIndex)
    {
        if (m_pBuf == nullptr || m_nItems >= m_nCapacity || m_nLastPos > nPos)
            return;
        m_pBuf[m_nItems].nCharPos = nPos;
        m_pBuf[m_nItems].nColorIndex = nColorIndex;
        ++m_nItems;
        m_nLastPos = nPos;
    }

    // The length of the character that starts at nPos (inside the line): 2 for
    // a lead byte followed by a trail byte, otherwise 1.
    int CharLengthAt(int nPos) const
    {
        return (g_aParseClass[m_pText[nPos]] & PARSE_CLASS_LEAD) && nPos + 1 < m_nLength
                       && (g_aParseClass[m_pText[nPos + 1]] & PARSE_CLASS_TRAIL)
                   ? 2
                   : 1;
    }

    // Whether the byte at nPos is the second byte of a double-byte character,
    // for a byte the walk did not pass: a byte outside the lead range always
    // ends a character, so the lead-range bytes after the last such byte pair
    // off two by two from there.
    bool IsTrailAt(int nPos) const
    {
        if (nPos <= 0 || nPos >= m_nLength || !IsSjisTrailByte(m_pText[nPos]))
            return false;
        int nRun = 0;
        for (int i = nPos - 1; i >= 0 && IsSjisLeadByte(m_pText[i]); --i)
            ++nRun;
        return nRun % 2 == 1;
    }

    // A real backslash, not the second byte of a double-byte character.
    bool IsBackslashAt(int nPos) const { return At(nPos) == '\\' && !IsTrailAt(nPos); }

    // A quote at nPos is escaped by a backslash before it, unless that
    // backslash is itself escaped by one more.
    bool IsEscapedAt(int nPos) const { return IsBackslashAt(nPos - 1) && !IsBackslashAt(nPos - 2); }

    // A '.' inside a number at a character start nPos: not the first byte and
    // no letter on either side. bTrailBefore says whether the byte before it
    // is the second byte of a character (which is no letter of its own); the
    // byte after a '.' always starts a character.
    bool IsNumberDotAt(int nPos, bool bTrailBefore) const
    {
        return nPos > 0 && m_pText[nPos] == '.' && !(IsAsciiLetter(m_pText[nPos - 1]) && !bTrailBefore)
               && !IsAsciiLetter(At(nPos + 1));
    }

    // Whether the character that starts at nPos is a double-byte character;
    // false at the line end.
    bool IsDoubleByteCharAt(int nPos) const { return nPos < m_nLength && CharLengthAt(nPos) == 2; }

    // The first position from nFrom on that holds c; the line length if none.
    int Find(int nFrom, unsigned char c) const
    {
        if (nFrom >= m_nLength)
            return m_nLength;
        const void *p = std::memchr(m_pText + nFrom, c, static_cast<std::size_t>(m_nLength - nFrom));
        return p != nullptr ? static_cast<int>(static_cast<const unsigned char *>(p) - m_pText) : m_nLength;
    }

    // The first position from nFrom on whose byte is marked in abStop (a
    // table of 256 entries); the line length if none.
    int FindAny(int nFrom, const bool *abStop) const
    {
        int i = nFrom;
        // Four at a time: most bytes stop nothing.
        for (; i + 4 <= m_nLength; i += 4) {
            if (abStop[m_pText[i]] | abStop[m_pText[i + 1]] | abStop[m_pText[i + 2]] | abStop[m_pText[i + 3]])
                break;
        }
        while (i < m_nLength && !abStop[m_pText[i]])
            ++i;
        return i;
    }

    // The first position J >= nFrom (and >= 1) with cFirst at J - 1 and cSecond
    // at J, as the '/' of "*/"; the line length if none. Neither byte can be
    // the second byte of a double-byte character.
    int FindPairEnd(int nFrom, unsigned char cFirst, unsigned char cSecond) const
    {
        for (int J = Find(nFrom < 1 ? 1 : nFrom, cSecond); J < m_nLength; J = Find(J + 1, cSecond)) {
            if (m_pText[J - 1] == cFirst)
                return J;
        }
        return m_nLength;
    }

    // The closing quote of a string at or after nFrom: the first cQuote that
    // no backslash escapes; the line length if none.
    int FindClosingQuote(int nFrom, unsigned char cQuote) const
    {
        for (int J = Find(nFrom, cQuote); J < m_nLength; J = Find(J + 1, cQuote)) {
            if (!IsEscapedAt(J))
                return J;
        }
        return m_nLength;
    }

    // The first position from nFrom on whose byte is no ASCII letter or digit.
    int SkipAlnum(int nFrom) const
    {
        while (nFrom < m_nLength && (g_aParseClass[m_pText[nFrom]] & PARSE_CLASS_ALNUM))
            ++nFrom;
        return nFrom;
    }

    // The first position from nFrom on whose byte is no white space.
    int SkipBlanks(int nFrom) const
    {
        while (nFrom < m_nLength && (g_aParseClass[m_pText[nFrom]] & PARSE_CLASS_BLANK))
            ++nFrom;
        return nFrom;
    }

    // From the character start nFrom: the end of the run of ASCII letters,
    // digits and double-byte characters there; bTrailBefore tells whether the
    // run ends after a double-byte character.
    int SkipWordChars(int nFrom, bool &bTrailBefore) const
    {
        for (;;) {
            const int nAlnum = SkipAlnum(nFrom);
            if (nAlnum > nFrom) {
                nFrom = nAlnum;
                bTrailBefore = false;
            }
            if (nFrom >= m_nLength || CharLengthAt(nFrom) != 2)
                return nFrom;
            nFrom += 2;
            bTrailBefore = true;
        }
    }

    static constexpr bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
    static constexpr bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
    static constexpr bool IsAsciiAlnum(unsigned char c) { return (g_aParseClass[c] & PARSE_CLASS_ALNUM) != 0; }
    // The C locale's white space.
    static constexpr bool IsBlank(unsigned char c) { return (g_aParseClass[c] & PARSE_CLASS_BLANK) != 0; }

private:
    const unsigned char *m_pText = nullptr;
    int m_nLength = 0;
    ColorBlock *m_pBuf;
    int &m_nActualItems;
    int m_nItems;  // blocks in m_pBuf
    int m_nLastPos = std::numeric_limits<int>::min();  // the position of the last of them
    int m_nCapacity = 0;
};
