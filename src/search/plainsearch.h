// Plain-text search over Shift-JIS bytes: a match never starts or ends inside
// a double-byte character, and case folding touches only single-byte ASCII
// letters (full-width letters keep their case, and a trail byte that happens
// to equal an ASCII letter is never changed).
#pragma once

#include <string>
#include <string_view>

// Upper-cases (lower-cases) the single-byte ASCII letters of text in place.
void UpperCaseSingleBytes(std::string &text);
void LowerCaseSingleBytes(std::string &text);

// Whether a byte is an ASCII letter or digit.
inline constexpr bool IsAsciiAlnum(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Finds what in text among the occurrences that start at or after nFrom and
// end at or before nLimit, on character boundaries. With bWholeWord an
// occurrence next to an ASCII letter or digit is skipped; the bytes outside
// [nFrom, nLimit) still count as its neighbours, and the trail byte of a
// double-byte character is never a letter. Returns the first occurrence, or
// with bLast the last one; -1 when there is none (or what is empty).
int FindPlainText(std::string_view text, std::string_view what, int nFrom, int nLimit, bool bWholeWord,
                  bool bLast = false);

// Finds a byte string in large amounts of text: scans with memchr for the
// needle's rarest byte (by how often bytes occur in source code and prose)
// and compares the rest there, falling back to memmem when that byte turns
// out to be common in the text.
class CByteFinder
{
public:
    explicit CByteFinder(std::string_view needle = std::string_view());
    // The first occurrence in [p, p + n), or null.
    const char *Find(const char *p, std::size_t n) const;
    bool IsEmpty() const { return m_strNeedle.empty(); }

private:
    std::string m_strNeedle;
    std::size_t m_nRare = 0;  // index of the byte to scan for
};
