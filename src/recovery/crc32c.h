// CRC-32C (Castagnoli), the checksum of every record the editor keeps for
// recovering unsaved text.
#pragma once

#include <cstddef>
#include <cstdint>

// The checksum of nLength bytes, continuing from nCrc (0 to start).
std::uint32_t Crc32c(const void *pData, std::size_t nLength, std::uint32_t nCrc = 0);
