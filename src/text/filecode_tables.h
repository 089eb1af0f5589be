// The lookup tables behind the file codes, built once from the codec's CP932
// table: internal to the file-code converters.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

inline constexpr std::uint16_t FILECODE_NONE = 0xFFFF;

// The UTF-8 loops read a packed entry and store its bytes with one unaligned
// write, so both directions keep the bytes in the order they are written.
//
// Unicode to Shift-JIS: bits 0-15 the bytes, bits 16-17 their count (0: no
// Shift-JIS form), and for either form of a dual-form character, from bit 18
// up, the bit that form sets in a mask of the forms seen: two bits for each
// dual-form character (its index into DUAL_FORMS), the lower one for its
// usual form. So the forms of many characters are gathered by OR-ing their
// entries.
inline constexpr unsigned FROMUNI_SEEN_SHIFT = 18;
inline constexpr std::uint32_t FROMUNI_DUAL = ~0u << FROMUNI_SEEN_SHIFT;

// The bit a dual form sets in a mask of forms seen (0 for other entries).
inline constexpr unsigned SeenBitOf(std::uint32_t nFromUnicode)
{
    return nFromUnicode >> FROMUNI_SEEN_SHIFT;
}
// The index into DUAL_FORMS of a dual form's entry, and whether it is the
// other form.
inline constexpr unsigned DualIndexOf(std::uint32_t nFromUnicode)
{
    return static_cast<unsigned>(__builtin_ctz(SeenBitOf(nFromUnicode))) / 2;
}
inline constexpr bool IsOtherForm(std::uint32_t nFromUnicode)
{
    return (static_cast<unsigned>(__builtin_ctz(SeenBitOf(nFromUnicode))) & 1) != 0;
}
// Whether a mask of forms seen holds both forms of one character.
inline constexpr bool SeenBothForms(unsigned nSeen)
{
    return (nSeen & nSeen >> 1 & 0x1555u) != 0;
}
// Shift-JIS to UTF-8: bits 0-23 the bytes, bits 24-25 their count (0: no
// character), TOUTF8_DUAL for a dual-form code.
inline constexpr std::uint32_t TOUTF8_DUAL = 1u << 31;

inline constexpr unsigned PackedCount(std::uint32_t nEntry, unsigned nShift)
{
    return (nEntry >> nShift) & 3;
}

struct CFileCodeTables
{
    // Shift-JIS to Unicode: single bytes and [lead * 256 + trail]; 0 where
    // the code is no character (the NUL byte aside).
    std::array<char32_t, 256> aSingle{};
    std::vector<char32_t> aDouble;
    // aSingle and aDouble as UTF-8, packed as above; aUtf8Other holds the
    // other form of each dual-form character.
    std::array<std::uint32_t, 256> aUtf8Single{};
    std::vector<std::uint32_t> aUtf8Double;
    std::array<std::uint32_t, 7> aUtf8Other{};
    // The index into DUAL_FORMS of a Shift-JIS pair, -1 for the others.
    std::vector<std::int8_t> aDualIndex;
    // The same character below lead 0xF0, for the IBM extensions that EUC and
    // JIS can only write in their NEC-selected (or JIS X 0208) place;
    // FILECODE_NONE when there is none.
    std::vector<std::uint16_t> aLowTwin;

    CFileCodeTables();

    // The Shift-JIS code of a packed Unicode entry (a single byte below
    // 0x100); FILECODE_NONE when there is none.
    static std::uint16_t CodeOf(std::uint32_t nFromUnicode)
    {
        switch (PackedCount(nFromUnicode, 16)) {
        case 1:
            return static_cast<std::uint16_t>(nFromUnicode & 0xFF);
        case 2:
            return static_cast<std::uint16_t>((nFromUnicode & 0xFF) << 8 | (nFromUnicode >> 8 & 0xFF));
        default:
            return FILECODE_NONE;
        }
    }
};

const CFileCodeTables &FileCodeTables();

// Unicode (the basic plane, 0x10000 entries) to Shift-JIS, packed as above.
// Both forms of a dual-form character lead to its code; of the NEC and IBM
// twins, the one the system's encoder chooses. Built apart from the other
// tables, on first use: it is all that reading UTF-8 needs, and building the
// rest would more than double the cost of opening the first UTF-8 file.
const std::uint32_t *FromUnicodeTable();

// JIS X 0212 (EUC-JP's three-byte characters, JIS's ESC $ ( D) as the
// system's EUC-JP converter reads it, with its user-defined rows 85-94 read
// as U+E3AC-U+E757 after the JIS X 0208 ones' U+E000-U+E3AB (as EUC-JP-MS
// does): [(row - 1) * 94 + cell - 1], 0 for no character; and back.
struct CJisX0212Table
{
    std::vector<char32_t> aChars;
    std::unordered_map<char32_t, std::uint16_t> mapJis;  // row << 8 | cell, 0x21-based
    CJisX0212Table();
};
const CJisX0212Table &JisX0212Table();

// The characters of the user-defined rows (85-94) of JIS X 0208 and JIS X
// 0212, as EUC-JP-MS reads them; Shift-JIS has the same characters at
// 0xF040-0xF9FC.
inline constexpr char32_t USER_AREA_FIRST = 0xE000;
inline constexpr char32_t USER_AREA_0212 = 0xE3AC;
inline constexpr char32_t USER_AREA_LAST = 0xE757;

// The seven-bit pair (0x21-based row << 8 | cell) of a character of a
// document's table in EUC-JP or JIS, and whether it is in JIS X 0212; false
// when neither set has it.
bool ExtraCharJisPair(char32_t c, std::uint16_t &nPair, bool &b0212);
