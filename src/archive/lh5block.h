// The block layer of -lh5- streams, shared by the parser: Huffman code
// lengths, canonical codes, and the writing of one block (its three tables,
// then its codes) as bits.
#pragma once

#include "archive/lh5encoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lh5 {

inline constexpr unsigned DICBIT = 13;
inline constexpr unsigned DICSIZ = 1u << DICBIT;
inline constexpr unsigned MIN_MATCH = 3;
inline constexpr unsigned MAX_MATCH = 256;

inline constexpr int NC = 256 + MAX_MATCH - MIN_MATCH + 1;  // literals and match lengths: 510
inline constexpr int NP = DICBIT + 1;                       // distance classes: 14
inline constexpr int NT = 16 + 3;                           // code-length codes: 19
inline constexpr int CBIT = 9;
inline constexpr int PBIT_LH45 = 4;
inline constexpr int PBIT_LH67 = 5;
inline constexpr int TBIT = 5;
inline constexpr int MAX_CODE_BITS = 16;

// The number of bits x needs (0 for 0): the class of a distance.
inline unsigned BitLength(unsigned x)
{
    return x == 0 ? 0 : 32 - static_cast<unsigned>(__builtin_clz(x));
}

// Code lengths of a Huffman code for the frequencies, none longer than
// MAX_CODE_BITS. Returns the number of symbols in use; with exactly one,
// nSingle is that symbol and every length stays 0 (the block then names
// the symbol instead of sending a table).
int BuildLengths(const std::uint32_t *pFreq, int n, std::uint8_t *pLen, int &nSingle);

// Bits, most significant first, into a growing byte buffer.
class CBitWriter
{
public:
    explicit CBitWriter(std::vector<unsigned char> &aOut) : m_aOut(aOut) {}
    void Put(unsigned n, std::uint32_t x)
    {
        if (n == 0)
            return;
        m_nAcc = (m_nAcc << n) | (x & ((std::uint64_t(1) << n) - 1));
        m_nBits += n;
        if (m_nBits >= 32) {
            m_nBits -= 32;
            const std::uint32_t w = static_cast<std::uint32_t>(m_nAcc >> m_nBits);
            const unsigned char bytes[4] = {static_cast<unsigned char>(w >> 24), static_cast<unsigned char>(w >> 16),
                                            static_cast<unsigned char>(w >> 8), static_cast<unsigned char>(w)};
            m_aOut.insert(m_aOut.end(), bytes, bytes + 4);
        }
    }
    // Writes out the bits held back, the last byte padded; returns the
    // number of bits written in all.
    std::uint64_t Finish();

private:
    std::vector<unsigned char> &m_aOut;
    std::uint64_t m_nAcc = 0;
    unsigned m_nBits = 0;
};

// One block: aCodes holds literals (0-255) and match lengths (256 + length
// - 3), aOffsets the distance less one of each match; the frequencies are
// those of the codes.
struct CBlock
{
    const std::uint16_t *pCodes;
    const std::uint16_t *pOffsets;
    std::size_t nCodes;
    const std::uint32_t *pCFreq;  // NC entries
    const std::uint32_t *pPFreq;  // NP entries
};
void WriteBlock(CBitWriter &out, const CBlock &block, int nPBit);

} // namespace lh5
