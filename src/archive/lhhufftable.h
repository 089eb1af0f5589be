// A canonical Huffman code given by its code lengths, as LZH streams with
// static codes store them: shorter codes first, and among codes of one
// length the smaller symbol first. Decodes from an LZH bit reader.
#pragma once

#include "archive/lhbitreader.h"

#include <cstdint>
#include <vector>

class CLhHuffTable
{
public:
    // Lengths of 0 (symbol unused) to 16 bits. False when the lengths ask
    // for more codes than there are; a code with gaps is taken, and its
    // missing codes decode as -1.
    bool Build(const std::uint8_t *pLengths, int nSymbols);
    // A code of one symbol that takes no bits.
    void BuildSingle(int nSymbol);

    // The next symbol, or -1 where the bits are no code of the table.
    int Decode(CLhBitReader &bits) const;

private:
    static constexpr unsigned LOOKUP_BITS = 10;
    static constexpr std::uint16_t LOOKUP_LONGER = 0xFFFF;

    int m_nSingle = -1;
    // symbol << 4 | (length - 1) for codes of LOOKUP_BITS bits or fewer.
    std::vector<std::uint16_t> m_aLookup;
    int m_aCount[17] = {};
    std::vector<int> m_aSorted;  // symbols in code order
};
