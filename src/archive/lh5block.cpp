#include "archive/lh5block.h"

#include <algorithm>
#include <array>

namespace lh5 {

namespace {

// Canonical codes: shorter codes are numerically smaller, equal lengths in
// symbol order, which is how the decoder rebuilds them from the lengths.
void MakeCodes(const std::uint8_t *pLen, int n, std::uint16_t *pCode)
{
    std::array<int, MAX_CODE_BITS + 1> aCount{};
    for (int i = 0; i < n; ++i)
        ++aCount[pLen[i]];
    aCount[0] = 0;
    std::array<std::uint32_t, MAX_CODE_BITS + 2> aStart{};
    for (int len = 1; len <= MAX_CODE_BITS; ++len)
        aStart[len + 1] = (aStart[len] + static_cast<std::uint32_t>(aCount[len])) << 1;
    for (int i = 0; i < n; ++i)
        pCode[i] = pLen[i] ? static_cast<std::uint16_t>(aStart[pLen[i]]++) : 0;
}

int TrimmedCount(const std::uint8_t *pLen, int n)
{
    while (n > 0 && pLen[n - 1] == 0)
        --n;
    return n;
}

// The lengths of a small table, for the code-length and distance codes:
// 0-6 in three bits, longer ones as 7 followed by a unary rest. After the
// third length of the code-length table, two bits skip up to three zero
// lengths.
void WritePtLen(CBitWriter &out, const std::uint8_t *pLen, int n, int nBitsOfCount, int nSpecial)
{
    n = TrimmedCount(pLen, n);
    out.Put(static_cast<unsigned>(nBitsOfCount), static_cast<std::uint32_t>(n));
    int i = 0;
    while (i < n) {
        const unsigned k = pLen[i++];
        if (k <= 6)
            out.Put(3, k);
        else
            out.Put(k - 3, 0xFFFFFFFEu);
        if (i == nSpecial) {
            // Only zeros before the last sent length may be skipped; some
            // decoders refuse a skip past the count.
            while (i < 6 && i < n && pLen[i] == 0)
                ++i;
            out.Put(2, static_cast<std::uint32_t>((i - 3) & 3));
        }
    }
}

// Runs of zero lengths in the literal table: one or two are sent one by one
// (code 0), 3-18 as code 1 with four bits, 19 as code 0 then code 1, 20 and
// more as code 2 with nine bits.
template <typename Fn>
void ForEachCLenCode(const std::uint8_t *pCLen, Fn &&fn)
{
    const int n = TrimmedCount(pCLen, NC);
    int i = 0;
    while (i < n) {
        const unsigned k = pCLen[i++];
        if (k != 0) {
            fn(k + 2, 0, 0);
            continue;
        }
        unsigned nRun = 1;
        while (i < n && pCLen[i] == 0) {
            ++i;
            ++nRun;
        }
        if (nRun <= 2) {
            for (unsigned j = 0; j < nRun; ++j)
                fn(0, 0, 0);
        } else if (nRun <= 18) {
            fn(1, 4, nRun - 3);
        } else if (nRun == 19) {
            fn(0, 0, 0);
            fn(1, 4, 15);
        } else {
            fn(2, CBIT, nRun - 20);
        }
    }
}

} // namespace

int BuildLengths(const std::uint32_t *pFreq, int n, std::uint8_t *pLen, int &nSingle)
{
    std::fill(pLen, pLen + n, std::uint8_t(0));
    std::array<int, NC> aSyms;
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (pFreq[i] != 0)
            aSyms[m++] = i;
    nSingle = m == 1 ? aSyms[0] : 0;
    if (m < 2)
        return m;
    std::stable_sort(aSyms.begin(), aSyms.begin() + m, [pFreq](int a, int b) { return pFreq[a] < pFreq[b]; });

    // Two-queue Huffman: leaves in ascending order, internal nodes are made
    // in ascending order too, so the two smallest are always at the fronts.
    std::array<std::uint64_t, 2 * NC> aWeight;
    std::array<int, 2 * NC> aParent;
    for (int i = 0; i < m; ++i)
        aWeight[i] = pFreq[aSyms[i]];
    int nLeaf = 0;
    int nInner = m;
    auto takeSmallest = [&](int nNext) {
        if (nLeaf < m && (nInner >= nNext || aWeight[nLeaf] <= aWeight[nInner]))
            return nLeaf++;
        return nInner++;
    };
    for (int nNext = m; nNext < 2 * m - 1; ++nNext) {
        const int a = takeSmallest(nNext);
        const int b = takeSmallest(nNext);
        aWeight[nNext] = aWeight[a] + aWeight[b];
        aParent[a] = nNext;
        aParent[b] = nNext;
    }
    std::array<int, 2 * NC> aDepth;
    aDepth[2 * m - 2] = 0;
    for (int i = 2 * m - 3; i >= 0; --i)
        aDepth[i] = aDepth[aParent[i]] + 1;

    // Count the leaves per length, the too deep ones at the limit; then make
    // the code complete again by moving leaves down from shallower levels,
    // one unit of the Kraft sum at a time.
    std::array<int, MAX_CODE_BITS + 2> aCount{};
    for (int i = 0; i < m; ++i)
        ++aCount[std::min(aDepth[i], MAX_CODE_BITS)];
    std::uint64_t nKraft = 0;
    for (int len = 1; len <= MAX_CODE_BITS; ++len)
        nKraft += static_cast<std::uint64_t>(aCount[len]) << (MAX_CODE_BITS - len);
    while (nKraft > (std::uint64_t(1) << MAX_CODE_BITS)) {
        --aCount[MAX_CODE_BITS];
        for (int len = MAX_CODE_BITS - 1; len > 0; --len) {
            if (aCount[len] != 0) {
                --aCount[len];
                aCount[len + 1] += 2;
                break;
            }
        }
        --nKraft;
    }
    // The most frequent symbols take the shortest codes.
    int nSym = m - 1;
    for (int len = 1; len <= MAX_CODE_BITS; ++len)
        for (int k = 0; k < aCount[len]; ++k)
            pLen[aSyms[nSym--]] = static_cast<std::uint8_t>(len);
    return m;
}

std::uint64_t CBitWriter::Finish()
{
    const std::uint64_t nTotal = static_cast<std::uint64_t>(m_aOut.size()) * 8 + m_nBits;
    while (m_nBits >= 8) {
        m_nBits -= 8;
        m_aOut.push_back(static_cast<unsigned char>(m_nAcc >> m_nBits));
    }
    if (m_nBits > 0) {
        m_aOut.push_back(static_cast<unsigned char>(m_nAcc << (8 - m_nBits)));
        m_nBits = 0;
    }
    return nTotal;
}

void WriteBlock(CBitWriter &out, const CBlock &block, int nPBit)
{
    if (block.nCodes == 0)
        return;
    std::array<std::uint8_t, NC> aCLen;
    std::array<std::uint16_t, NC> aCCode;
    std::array<std::uint8_t, NT> aTLen;
    std::array<std::uint16_t, NT> aTCode;
    std::array<std::uint8_t, NP> aPLen;
    std::array<std::uint16_t, NP> aPCode;

    out.Put(16, static_cast<std::uint32_t>(block.nCodes));
    int nSingle = 0;
    if (BuildLengths(block.pCFreq, NC, aCLen.data(), nSingle) >= 2) {
        std::array<std::uint32_t, NT> aTFreq{};
        ForEachCLenCode(aCLen.data(), [&](unsigned t, unsigned, unsigned) { ++aTFreq[t]; });
        int nTSingle = 0;
        if (BuildLengths(aTFreq.data(), NT, aTLen.data(), nTSingle) >= 2) {
            WritePtLen(out, aTLen.data(), NT, TBIT, 3);
        } else {
            out.Put(TBIT, 0);
            out.Put(TBIT, static_cast<std::uint32_t>(nTSingle));
        }
        MakeCodes(aTLen.data(), NT, aTCode.data());
        out.Put(CBIT, static_cast<std::uint32_t>(TrimmedCount(aCLen.data(), NC)));
        ForEachCLenCode(aCLen.data(), [&](unsigned t, unsigned nExtra, unsigned nValue) {
            out.Put(aTLen[t], aTCode[t]);
            out.Put(nExtra, nValue);
        });
    } else {
        out.Put(TBIT, 0);
        out.Put(TBIT, 0);
        out.Put(CBIT, 0);
        out.Put(CBIT, static_cast<std::uint32_t>(nSingle));
    }
    MakeCodes(aCLen.data(), NC, aCCode.data());

    int nPSingle = 0;
    if (BuildLengths(block.pPFreq, NP, aPLen.data(), nPSingle) >= 2) {
        WritePtLen(out, aPLen.data(), NP, nPBit, -1);
    } else {
        out.Put(static_cast<unsigned>(nPBit), 0);
        out.Put(static_cast<unsigned>(nPBit), static_cast<std::uint32_t>(nPSingle));
    }
    MakeCodes(aPLen.data(), NP, aPCode.data());

    for (std::size_t i = 0; i < block.nCodes; ++i) {
        const unsigned c = block.pCodes[i];
        out.Put(aCLen[c], aCCode[c]);
        if (c >= 256) {
            const unsigned nOffset = block.pOffsets[i];
            const unsigned p = BitLength(nOffset);
            out.Put(aPLen[p], aPCode[p]);
            if (p > 1)
                out.Put(p - 1, nOffset);
        }
    }
}

} // namespace lh5
