// Table-driven, eight bytes at a time: fast enough to check a 100 MB base
// copy in a fraction of a second without depending on processor extensions.
#include "recovery/crc32c.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t POLY = 0x82F63B78u;  // reflected Castagnoli polynomial

using CTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CTables MakeTables()
{
    CTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ POLY : c >> 1;
        t[0][i] = c;
    }
    for (std::size_t n = 1; n < 8; ++n)
        for (std::uint32_t i = 0; i < 256; ++i)
            t[n][i] = (t[n - 1][i] >> 8) ^ t[0][t[n - 1][i] & 0xFF];
    return t;
}

constexpr CTables TABLES = MakeTables();

// The eight-byte step reads words in the machine's order.
static_assert(std::endian::native == std::endian::little);

} // namespace

std::uint32_t Crc32c(const void *pData, std::size_t nLength, std::uint32_t nCrc)
{
    const auto *p = static_cast<const unsigned char *>(pData);
    std::uint32_t c = ~nCrc;
    while (nLength >= 8) {
        std::uint32_t lo;
        std::uint32_t hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
        lo ^= c;
        c = TABLES[7][lo & 0xFF] ^ TABLES[6][(lo >> 8) & 0xFF] ^ TABLES[5][(lo >> 16) & 0xFF]
            ^ TABLES[4][lo >> 24] ^ TABLES[3][hi & 0xFF] ^ TABLES[2][(hi >> 8) & 0xFF]
            ^ TABLES[1][(hi >> 16) & 0xFF] ^ TABLES[0][hi >> 24];
        p += 8;
        nLength -= 8;
    }
    while (nLength-- > 0)
        c = (c >> 8) ^ TABLES[0][(c ^ *p++) & 0xFF];
    return ~c;
}
