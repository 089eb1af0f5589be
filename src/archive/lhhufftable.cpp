#include "archive/lhhufftable.h"

#include <algorithm>

bool CLhHuffTable::Build(const std::uint8_t *pLengths, int nSymbols)
{
    m_nSingle = -1;
    std::fill(std::begin(m_aCount), std::end(m_aCount), 0);
    for (int i = 0; i < nSymbols; ++i) {
        if (pLengths[i] > 16)
            return false;
        ++m_aCount[pLengths[i]];
    }
    m_aCount[0] = 0;
    std::uint32_t nSpace = 0;  // of 1 << 16
    for (int nLen = 1; nLen <= 16; ++nLen)
        nSpace += static_cast<std::uint32_t>(m_aCount[nLen]) << (16 - nLen);
    if (nSpace > (1u << 16))
        return false;

    int aNext[17];
    int nIndex = 0;
    for (int nLen = 1; nLen <= 16; ++nLen) {
        aNext[nLen] = nIndex;
        nIndex += m_aCount[nLen];
    }
    m_aSorted.assign(static_cast<std::size_t>(nIndex), 0);
    for (int i = 0; i < nSymbols; ++i)
        if (pLengths[i] != 0)
            m_aSorted[static_cast<std::size_t>(aNext[pLengths[i]]++)] = i;

    m_aLookup.assign(std::size_t(1) << LOOKUP_BITS, LOOKUP_LONGER);
    std::uint32_t nCode = 0;
    nIndex = 0;
    for (unsigned nLen = 1; nLen <= LOOKUP_BITS; ++nLen) {
        for (int i = 0; i < m_aCount[nLen]; ++i, ++nCode) {
            const std::uint16_t entry =
                static_cast<std::uint16_t>(m_aSorted[static_cast<std::size_t>(nIndex++)] << 4 | (nLen - 1));
            const unsigned nShift = LOOKUP_BITS - nLen;
            std::fill_n(m_aLookup.begin() + (nCode << nShift), std::size_t(1) << nShift, entry);
        }
        nCode <<= 1;
    }
    return true;
}

void CLhHuffTable::BuildSingle(int nSymbol)
{
    m_nSingle = nSymbol;
}

int CLhHuffTable::Decode(CLhBitReader &bits) const
{
    if (m_nSingle >= 0)
        return m_nSingle;
    if (m_aLookup.empty())
        return -1;
    const std::uint32_t nPeek = bits.Peek(16);
    const std::uint16_t entry = m_aLookup[nPeek >> (16 - LOOKUP_BITS)];
    if (entry != LOOKUP_LONGER) {
        bits.Skip((entry & 15u) + 1);
        return entry >> 4;
    }
    // Longer codes, one length at a time: codes of each length follow on
    // from the shorter ones, doubled.
    std::uint32_t nCode = 0;
    std::uint32_t nFirst = 0;
    int nIndex = 0;
    for (unsigned nLen = 1; nLen <= 16; ++nLen) {
        nCode |= (nPeek >> (16 - nLen)) & 1u;
        const std::uint32_t nCount = static_cast<std::uint32_t>(m_aCount[nLen]);
        if (nCode - nFirst < nCount) {
            bits.Skip(nLen);
            return m_aSorted[static_cast<std::size_t>(nIndex) + (nCode - nFirst)];
        }
        nIndex += static_cast<int>(nCount);
        nFirst = (nFirst + nCount) << 1;
        nCode <<= 1;
    }
    return -1;
}
