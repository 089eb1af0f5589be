// Shift-JIS (CP932) byte classification.
//
// A double-byte character is a lead byte (0x81-0x9F, 0xE0-0xFC) followed by a
// trail byte (0x40-0x7E, 0x80-0xFC). Whether a byte is a lead or a trail byte
// depends on what precedes it, so every test that asks about a byte inside a
// line scans from the line start: a line never begins with a trail byte.
//
// A lead byte that is not followed by a valid trail byte (the last byte of a
// line, or a lead byte before a space, a line break, a quote ...) is an invalid
// single byte, so an ASCII delimiter is never swallowed by a broken character.
#pragma once

#include <cstddef>
#include <string_view>

inline constexpr bool IsSjisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline constexpr bool IsSjisTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Calls fn(lead, trail) for every pair of a lead and a trail byte, in the
// order of their codes: the tables over all double-byte characters are made
// from it.
template <typename Fn>
inline void ForEachSjisDoubleByte(Fn fn)
{
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsSjisLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (IsSjisTrailByte(static_cast<unsigned char>(trail)))
                fn(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    }
}

// Half-width katakana and their punctuation: single bytes 0xA1-0xDF.
inline constexpr bool IsSjisKana(unsigned char c)
{
    return c >= 0xA1 && c <= 0xDF;
}

// Number of bytes of the character that starts at p[0] within [p, p + n):
// 2 for a lead byte followed by a trail byte, otherwise 1 (0 when n is 0).
inline constexpr int SjisCharLength(const char *p, std::size_t n)
{
    if (n == 0)
        return 0;
    if (n >= 2 && IsSjisLeadByte(static_cast<unsigned char>(p[0]))
        && IsSjisTrailByte(static_cast<unsigned char>(p[1])))
        return 2;
    return 1;
}

enum ESjisByteKind
{
    SJIS_SINGLE = 0,  // a character of one byte (valid or not)
    SJIS_LEAD = 1,    // first byte of a double-byte character
    SJIS_TRAIL = 2    // second byte of a double-byte character
};

// Classifies the byte at nPos of the line [pszLine, pszLine + nLength), scanning
// from the line start. nPos outside the line gives SJIS_SINGLE.
ESjisByteKind SjisByteKindAt(const char *pszLine, int nLength, int nPos);

inline bool SjisIsLeadAt(const char *pszLine, int nLength, int nPos)
{
    return SjisByteKindAt(pszLine, nLength, nPos) == SJIS_LEAD;
}

inline bool SjisIsTrailAt(const char *pszLine, int nLength, int nPos)
{
    return SjisByteKindAt(pszLine, nLength, nPos) == SJIS_TRAIL;
}

// The start of the character that holds byte nPos (nPos itself unless it is a
// trail byte). nPos may equal nLength (the end of the line).
int SjisCharStart(const char *pszLine, int nLength, int nPos);

// The position after the character that starts at nPos (nPos < nLength).
inline int SjisNextChar(const char *pszLine, int nLength, int nPos)
{
    return nPos + SjisCharLength(pszLine + nPos, static_cast<std::size_t>(nLength - nPos));
}

// The start of the character before nPos (nPos > 0), scanning from the line start.
int SjisPrevChar(const char *pszLine, int nLength, int nPos);

inline ESjisByteKind SjisByteKindAt(std::string_view line, int nPos)
{
    return SjisByteKindAt(line.data(), static_cast<int>(line.size()), nPos);
}

// Changes the case of the single-byte ASCII letters of [p, p + n), which must
// start on a character boundary. Trail bytes that equal ASCII letters and
// full-width letters are left alone.
void SjisUpperAscii(char *p, std::size_t n);
void SjisLowerAscii(char *p, std::size_t n);
