// The built-in kanji code converter: guesses whether a text is Shift-JIS, EUC
// or 7-bit JIS and converts it to any of the three with the arithmetic mapping
// between JIS X 0208 and Shift-JIS. It never fails: bytes it cannot decode are
// copied. Results are returned as strings, so they always fit however much
// escape sequences and widened half-width katakana lengthen the text.
#pragma once

#include <string>
#include <string_view>

enum
{
    KANJI_SJIS = 1,
    KANJI_EUC = 2,
    KANJI_JIS = 3,
    KANJI_UNKNOWN = 4  // only ASCII seen, or no decision
};

enum
{
    OUTCODE_SJIS = 0,
    OUTCODE_EUC = 1,
    OUTCODE_JIS = 2  // any other value counts as OUTCODE_SJIS
};

inline constexpr unsigned char KANJI_ESC = 0x1B;
inline constexpr unsigned char KANJI_SO = 0x0E;  // shift out: half-width katakana in JIS
inline constexpr unsigned char KANJI_SI = 0x0F;  // shift in

// One double-byte character: a JIS row and cell, or a Shift-JIS lead and trail.
struct KanjiBytePair
{
    unsigned char c1;
    unsigned char c2;
    friend bool operator==(const KanjiBytePair &, const KanjiBytePair &) = default;
};

inline constexpr KanjiBytePair SjisToJisPair(unsigned char c1, unsigned char c2)
{
    const int r = c1 <= 0x9F ? c1 - 0x70 : c1 - 0xB0;
    if (c2 >= 0x9F)
        return {static_cast<unsigned char>(2 * r), static_cast<unsigned char>(c2 - 0x7E)};
    return {static_cast<unsigned char>(2 * r - 1),
            static_cast<unsigned char>(c2 < 0x7F ? c2 - 0x1F : c2 - 0x20)};
}

inline constexpr KanjiBytePair JisToSjisPair(unsigned char row, unsigned char cell)
{
    int s1;
    int s2;
    if (row & 1) {
        s1 = row / 2 + 0x71;
        s2 = cell < 0x60 ? cell + 0x1F : cell + 0x20;
    } else {
        s1 = row / 2 + 0x70;
        s2 = cell + 0x7E;
    }
    if (s1 >= 0xA0)
        s1 += 0x40;
    return {static_cast<unsigned char>(s1), static_cast<unsigned char>(s2)};
}

// Full-width forms of the half-width katakana 0xA1-0xDF, one to one. Bit 7 set
// means JIS row 0x25 (katakana), clear means row 0x21 (symbols); bits 0-6 hold
// the cell.
extern const unsigned char KanaToZenkaku[63];

// The JIS row and cell of the full-width form of a half-width katakana byte
// (0xA1-0xDF).
inline KanjiBytePair KanaToJisPair(unsigned char kana)
{
    const unsigned char t = KanaToZenkaku[kana - 0xA1];
    return {static_cast<unsigned char>(t & 0x80 ? 0x25 : 0x21), static_cast<unsigned char>(t & 0x7F)};
}

// Guesses the code of nLength bytes at p. pbDecided, when given, tells
// whether a byte sequence decided before the bytes ran out: a Shift-JIS
// answer so decided holds for any longer text these bytes begin (an EUC
// answer may still rest on at most 1024 bytes after a shared pair).
int DetectKanjiCode(const unsigned char *p, int nLength, bool *pbDecided = nullptr);
inline int DetectKanjiCode(std::string_view text, bool *pbDecided = nullptr)
{
    return DetectKanjiCode(reinterpret_cast<const unsigned char *>(text.data()),
                           static_cast<int>(text.size()), pbDecided);
}

// Decides between Shift-JIS and EUC from the bytes that follow a pair both
// could hold (at most the first 1024 of them); KANJI_EUC when nothing decides.
int ResolveSjisOrEuc(const unsigned char *p, int nLength);

// Detects the code of the input (up to its first NUL) and converts it to
// nOutCode.
std::string ConvertKanjiCode(std::string_view input, int nOutCode);

// The same with the input's code given: one routine of the conversion table.
std::string ConvertKanjiCodeFrom(std::string_view input, int nInCode, int nOutCode);
