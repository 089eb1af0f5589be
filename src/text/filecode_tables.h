// The lookup tables behind the file codes, built once from the codec's CP932
// table: internal to the file-code converters.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

inline constexpr std::uint16_t FILECODE_NONE = 0xFFFF;

struct CFileCodeTables
{
    // Shift-JIS to Unicode: single bytes and [lead * 256 + trail]; 0 where
    // the code is no character (the NUL byte aside).
    std::array<char32_t, 256> aSingle{};
    std::vector<char32_t> aDouble;
    // Unicode (the basic plane) to Shift-JIS: a single byte below 0x100, a
    // pair as lead * 256 + trail, FILECODE_NONE where there is none. Both
    // forms of a dual-form character lead to its code; of the NEC and IBM
    // twins the one the system's encoder chooses.
    std::vector<std::uint16_t> aFromUnicode;
    // The index into DUAL_FORMS of a Shift-JIS pair, -1 for the others.
    std::vector<std::int8_t> aDualIndex;
    // The same character below lead 0xF0, for the IBM extensions that EUC and
    // JIS can only write in their NEC-selected (or JIS X 0208) place;
    // FILECODE_NONE when there is none.
    std::vector<std::uint16_t> aLowTwin;

    CFileCodeTables();
};

const CFileCodeTables &FileCodeTables();
