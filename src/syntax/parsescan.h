// What the parse routines share while they walk one line: its bytes, the
// double-byte class of the bytes just behind the scan position and the block
// output. Only the routines include this header.
#pragma once

#include "syntax/parse.h"
#include "text/sjis.h"

#include <cstring>

class CParseScan
{
public:
    CParseScan(const CLineSource &lines, int nLineIndex, ColorBlock *pBuf, int &nActualItems)
        : m_pBuf(pBuf), m_nActualItems(nActualItems)
    {
        // A line that does not exist reads as an empty line.
        if (nLineIndex >= 0 && nLineIndex < lines.GetLineCount()) {
            m_nLength = lines.GetLineLength(nLineIndex);
            m_pText = lines.GetLineText(nLineIndex);
        }
        if (m_pText == nullptr || m_nLength < 0)
            m_nLength = 0;
        m_nCapacity = ColorBlockCapacity(m_nLength);
    }

    int Length() const { return m_nLength; }
    const char *Text() const { return m_pText; }
    bool HasBuffer() const { return m_pBuf != nullptr; }

    // The byte at nPos; 0 outside the line, so that a test of a neighbour at
    // the line's ends never reads past it.
    unsigned char At(int nPos) const
    {
        return nPos >= 0 && nPos < m_nLength ? static_cast<unsigned char>(m_pText[nPos]) : 0;
    }

    void AddBlock(int nPos, int nColorIndex)
    {
        AddColorBlock(m_pBuf, m_nActualItems, m_nCapacity, nPos, nColorIndex);
    }

    // Classifies the bytes up to nPos (positions only grow during a scan);
    // afterwards KindAt answers for nPos - 2 .. nPos. Walking character by
    // character from the line start keeps a scan linear in the line length;
    // remembering the last two lead bytes is enough for three positions.
    void MoveTo(int nPos)
    {
        if (nPos >= m_nLength)
            nPos = m_nLength - 1;
        while (m_nCharEnd <= nPos)
            StepChar();
    }

    // The class of a byte at or just before the position last moved to.
    ESjisByteKind KindAt(int nPos) const
    {
        if (nPos < 0 || nPos >= m_nLength)
            return SJIS_SINGLE;
        if (nPos == m_nLastLead || nPos == m_nPrevLead)
            return SJIS_LEAD;
        if (nPos == m_nLastLead + 1 || nPos == m_nPrevLead + 1)
            return SJIS_TRAIL;
        return SJIS_SINGLE;
    }

    bool IsDoubleByteAt(int nPos) const { return KindAt(nPos) != SJIS_SINGLE; }
    bool IsTrailAt(int nPos) const { return KindAt(nPos) == SJIS_TRAIL; }

    // A real backslash, not the second byte of a double-byte character.
    bool IsBackslashAt(int nPos) const { return At(nPos) == '\\' && !IsTrailAt(nPos); }

    // A quote at nPos is escaped by a backslash before it, unless that
    // backslash is itself escaped by one more.
    bool IsEscapedAt(int nPos) const
    {
        return IsBackslashAt(nPos - 1) && !IsBackslashAt(nPos - 2);
    }

    // An ASCII letter that is a character of its own. Only bytes up to the scan
    // position are known to be trail bytes; a byte after a single-byte
    // character never is one.
    bool IsLetterAt(int nPos) const { return IsAsciiLetter(At(nPos)) && !IsTrailAt(nPos); }

    // A '.' inside a number: not the first byte and no letter on either side.
    bool IsNumberDotAt(int nPos) const
    {
        return nPos > 0 && At(nPos) == '.' && !IsLetterAt(nPos - 1) && !IsLetterAt(nPos + 1);
    }

    // The first position from nFrom on that holds c; the line length if none.
    int Find(int nFrom, unsigned char c) const
    {
        if (nFrom >= m_nLength)
            return m_nLength;
        const void *p = std::memchr(m_pText + nFrom, c, static_cast<std::size_t>(m_nLength - nFrom));
        return p != nullptr ? static_cast<int>(static_cast<const char *>(p) - m_pText) : m_nLength;
    }

    // The first position J >= nFrom (and >= 1) with cFirst at J - 1 and cSecond
    // at J, as the '/' of "*/"; the line length if none. Neither byte can be
    // the second byte of a double-byte character.
    int FindPairEnd(int nFrom, unsigned char cFirst, unsigned char cSecond) const
    {
        for (int J = Find(nFrom < 1 ? 1 : nFrom, cSecond); J < m_nLength; J = Find(J + 1, cSecond)) {
            if (At(J - 1) == cFirst)
                return J;
        }
        return m_nLength;
    }

    // The closing quote of a string at or after nFrom: the first cQuote that
    // no backslash escapes; the line length if none.
    int FindClosingQuote(int nFrom, unsigned char cQuote)
    {
        for (int J = Find(nFrom, cQuote); J < m_nLength; J = Find(J + 1, cQuote)) {
            MoveTo(J);
            if (!IsEscapedAt(J))
                return J;
        }
        return m_nLength;
    }

    // The first position from nFrom on whose byte is no ASCII letter or digit.
    // Such runs change no state in any routine, so scans step over them.
    int SkipAlnum(int nFrom) const
    {
        while (nFrom < m_nLength && IsAsciiAlnum(static_cast<unsigned char>(m_pText[nFrom])))
            ++nFrom;
        return nFrom;
    }

    // The first position from nFrom on whose byte is no white space. Outside
    // a word a run of blanks changes no state either.
    int SkipBlanks(int nFrom) const
    {
        while (nFrom < m_nLength && IsBlank(static_cast<unsigned char>(m_pText[nFrom])))
            ++nFrom;
        return nFrom;
    }

    // After MoveTo: the end of the run of ASCII letters, digits and
    // double-byte characters that follows the character at the scan position.
    // The run is classified on the way.
    int SkipWordChars()
    {
        while (m_nCharEnd < m_nLength
               && (IsAsciiAlnum(static_cast<unsigned char>(m_pText[m_nCharEnd]))
                   || SjisCharLength(m_pText + m_nCharEnd,
                                     static_cast<std::size_t>(m_nLength - m_nCharEnd)) == 2))
            StepChar();
        return m_nCharEnd;
    }

    static bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
    static bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
    static bool IsAsciiAlnum(unsigned char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }
    // The C locale's white space.
    static bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

private:
    // Classifies the character at m_nCharEnd.
    void StepChar()
    {
        const int nChar = SjisCharLength(m_pText + m_nCharEnd,
                                         static_cast<std::size_t>(m_nLength - m_nCharEnd));
        if (nChar == 2) {
            m_nPrevLead = m_nLastLead;
            m_nLastLead = m_nCharEnd;
        }
        m_nCharEnd += nChar;
    }

    const char *m_pText = nullptr;
    int m_nLength = 0;
    ColorBlock *m_pBuf;
    int &m_nActualItems;
    int m_nCapacity = 0;
    int m_nCharEnd = 0;     // the end of the last classified character
    int m_nLastLead = -3;   // the last two lead bytes classified
    int m_nPrevLead = -3;
};
