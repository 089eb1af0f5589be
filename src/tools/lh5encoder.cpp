// The -lh5- compressor. Positions are counted from the start of the input
// (a file in an archive stays below 4 GiB), so the hash chains never need
// rebasing when the window buffer slides.
#include "tools/lh5encoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned DICBIT = 13;
constexpr unsigned DICSIZ = 1u << DICBIT;
constexpr unsigned MIN_MATCH = 3;
constexpr unsigned MAX_MATCH = 256;
constexpr unsigned MIN_LOOKAHEAD = MAX_MATCH + MIN_MATCH + 1;

constexpr int NC = 256 + MAX_MATCH - MIN_MATCH + 1;  // literals and match lengths: 510
constexpr int NP = DICBIT + 1;                       // distance classes: 14
constexpr int NT = 16 + 3;                           // code-length codes: 19
constexpr int CBIT = 9;
constexpr int PBIT_LH45 = 4;
constexpr int PBIT_LH67 = 5;
constexpr int TBIT = 5;
constexpr int MAX_CODE_BITS = 16;

// Chains are followed this far (a quarter as far once a match this good is
// in hand), a match this long stops the search, and a match this long is
// taken without looking one byte on. The small dictionary makes thorough
// searching cheap: measured on C headers, these settings give 0.6% smaller
// output than gzip's default ones for about a third more time.
constexpr unsigned MAX_CHAIN = 256;
constexpr unsigned GOOD_LENGTH = 32;
constexpr unsigned MAX_LAZY = MAX_MATCH + 1;
constexpr unsigned NICE_LENGTH = MAX_MATCH;
// A three-byte match this far away costs about as many bits as three
// literals (its distance alone takes 10 bits or more).
constexpr unsigned TOO_FAR = 1024;

constexpr unsigned HASH_BITS = 15;
constexpr unsigned HASH_SIZE = 1u << HASH_BITS;
constexpr std::uint32_t NONE = 0xFFFFFFFFu;

constexpr std::size_t BUF_SIZE = std::size_t(1) << 17;
// Codes per block; the block header counts them in 16 bits.
constexpr std::size_t BLOCK_CODES = 32768;
constexpr std::size_t OUT_FLUSH = std::size_t(1) << 16;

// The number of bits x needs (0 for 0): the class of a distance.
unsigned BitLength(unsigned x)
{
    return x == 0 ? 0 : 32 - static_cast<unsigned>(__builtin_clz(x));
}

// Code lengths of a Huffman code for the frequencies, none longer than
// MAX_CODE_BITS. Returns the number of symbols in use; with exactly one,
// nSingle is that symbol and every length stays 0 (the block then names
// the symbol instead of sending a table).
int BuildLengths(const std::uint32_t *pFreq, int n, std::uint8_t *pLen, int &nSingle)
{
    std::fill(pLen, pLen + n, std::uint8_t(0));
    std::vector<int> aSyms;
    for (int i = 0; i < n; ++i)
        if (pFreq[i] != 0)
            aSyms.push_back(i);
    const int m = static_cast<int>(aSyms.size());
    nSingle = m == 1 ? aSyms[0] : 0;
    if (m < 2)
        return m;
    std::stable_sort(aSyms.begin(), aSyms.end(), [pFreq](int a, int b) { return pFreq[a] < pFreq[b]; });

    // Two-queue Huffman: leaves in ascending order, internal nodes are made
    // in ascending order too, so the two smallest are always at the fronts.
    std::vector<std::uint64_t> aWeight(static_cast<std::size_t>(2 * m - 1));
    std::vector<int> aParent(static_cast<std::size_t>(2 * m - 1), -1);
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
    std::vector<int> aDepth(static_cast<std::size_t>(2 * m - 1), 0);
    for (int i = 2 * m - 3; i >= 0; --i)
        aDepth[i] = aDepth[aParent[i]] + 1;

    // Count the leaves per length, the too deep ones at the limit; then
    // make the code complete again by moving leaves down from shallower
    // levels, one unit of the Kraft sum at a time.
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

} // namespace

struct CLh5Encoder::CState
{
    CState(CByteSink &s, int nPBit, unsigned nDicBit) : sink(s), nPBit(nPBit), nMaxDist((1u << nDicBit) - 1)
    {
        aHead.fill(NONE);
        aPrev.fill(NONE);
        aBuf.resize(BUF_SIZE);
        aCodes.resize(BLOCK_CODES);
        aOffsets.resize(BLOCK_CODES);
        aOut.reserve(OUT_FLUSH + 64);
    }

    CByteSink &sink;
    const int nPBit;  // width of the distance table's count
    // The farthest match: one less than the dictionary, so a match never
    // reaches the very slot a decoder with a ring buffer of the
    // dictionary's size is writing.
    const unsigned nMaxDist;
    bool bFailed = false;
    std::uint64_t nOutTotal = 0;

    // Window: aBuf[0] holds input position nBase; data ends at nEnd.
    std::vector<unsigned char> aBuf;
    std::uint32_t nBase = 0;
    std::uint32_t nEnd = 0;
    std::uint32_t nPos = 0;
    std::array<std::uint32_t, HASH_SIZE> aHead;
    std::array<std::uint32_t, DICSIZ> aPrev;

    // Lazy matching between calls.
    unsigned nMatchLength = MIN_MATCH - 1;
    std::uint32_t nMatchStart = 0;
    bool bMatchAvailable = false;

    // The block being gathered.
    std::vector<std::uint16_t> aCodes;
    std::vector<std::uint16_t> aOffsets;
    std::size_t nCodes = 0;
    std::array<std::uint32_t, NC> aCFreq{};
    std::array<std::uint32_t, NP> aPFreq{};

    // Bits, most significant first.
    std::uint64_t nAcc = 0;
    unsigned nBits = 0;
    std::vector<unsigned char> aOut;

    const unsigned char *At(std::uint32_t nAbs) const { return aBuf.data() + (nAbs - nBase); }

    static unsigned Hash(const unsigned char *p)
    {
        const std::uint32_t v = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        return (v * 2654435761u) >> (32 - HASH_BITS);
    }

    std::uint32_t Insert(std::uint32_t nAbs)
    {
        const unsigned h = Hash(At(nAbs));
        const std::uint32_t nHead = aHead[h];
        aPrev[nAbs & (DICSIZ - 1)] = nHead;
        aHead[h] = nAbs;
        return nHead;
    }

    // The longest match for nPos among the chain from nCand, longer than
    // nBest; nMatchStart gets its position.
    unsigned LongestMatch(std::uint32_t nCand, unsigned nBest)
    {
        const unsigned nLookahead = nEnd - nPos;
        const unsigned nMax = std::min(MAX_MATCH, nLookahead);
        if (nBest >= nMax)
            return nBest;
        unsigned nChain = nBest >= GOOD_LENGTH ? MAX_CHAIN / 4 : MAX_CHAIN;
        const unsigned nNice = std::min(NICE_LENGTH, nMax);
        const std::uint32_t nLimit = nPos > nMaxDist ? nPos - nMaxDist : 0;
        const unsigned char *pScan = At(nPos);
        do {
            const unsigned char *pMatch = At(nCand);
            if (pMatch[nBest] != pScan[nBest] || pMatch[nBest - 1] != pScan[nBest - 1] || pMatch[0] != pScan[0] ||
                pMatch[1] != pScan[1])
                continue;
            unsigned nLen = 2;
            while (nLen + 8 <= nMax) {
                std::uint64_t a, b;
                std::memcpy(&a, pScan + nLen, 8);
                std::memcpy(&b, pMatch + nLen, 8);
                if (a != b) {
                    nLen += static_cast<unsigned>(__builtin_ctzll(a ^ b)) / 8;
                    goto compared;
                }
                nLen += 8;
            }
            while (nLen < nMax && pScan[nLen] == pMatch[nLen])
                ++nLen;
        compared:
            if (nLen > nBest) {
                nMatchStart = nCand;
                nBest = nLen;
                if (nLen >= nNice)
                    break;
            }
        } while ((nCand = aPrev[nCand & (DICSIZ - 1)]) != NONE && nCand >= nLimit && --nChain != 0);
        return nBest;
    }

    void PutBits(unsigned n, std::uint32_t x)
    {
        if (n == 0)
            return;
        nAcc = (nAcc << n) | (x & ((std::uint64_t(1) << n) - 1));
        nBits += n;
        if (nBits >= 32) {
            nBits -= 32;
            const std::uint32_t w = static_cast<std::uint32_t>(nAcc >> nBits);
            const unsigned char bytes[4] = {static_cast<unsigned char>(w >> 24), static_cast<unsigned char>(w >> 16),
                                            static_cast<unsigned char>(w >> 8), static_cast<unsigned char>(w)};
            aOut.insert(aOut.end(), bytes, bytes + 4);
        }
    }

    void FlushOut(bool bAll)
    {
        if (bAll) {
            while (nBits >= 8) {
                nBits -= 8;
                aOut.push_back(static_cast<unsigned char>(nAcc >> nBits));
            }
            if (nBits > 0) {
                aOut.push_back(static_cast<unsigned char>(nAcc << (8 - nBits)));
                nBits = 0;
            }
        }
        if ((bAll || aOut.size() >= OUT_FLUSH) && !aOut.empty()) {
            if (!bFailed && !sink.Put(aOut.data(), aOut.size()))
                bFailed = true;
            nOutTotal += aOut.size();
            aOut.clear();
        }
    }

    void EmitLiteral(unsigned char c)
    {
        aCodes[nCodes++] = c;
        ++aCFreq[c];
        if (nCodes == BLOCK_CODES)
            SendBlock();
    }

    void EmitMatch(unsigned nLen, unsigned nDist)
    {
        const unsigned c = nLen - MIN_MATCH + 256;
        const unsigned nOffset = nDist - 1;
        aCodes[nCodes] = static_cast<std::uint16_t>(c);
        aOffsets[nCodes] = static_cast<std::uint16_t>(nOffset);
        ++nCodes;
        ++aCFreq[c];
        ++aPFreq[BitLength(nOffset)];
        if (nCodes == BLOCK_CODES)
            SendBlock();
    }

    // The lengths of a small table, for the code-length and distance codes:
    // 0-6 in three bits, longer ones as 7 followed by a unary rest. After
    // the third length of the code-length table, two bits skip up to three
    // zero lengths.
    void WritePtLen(const std::uint8_t *pLen, int n, int nBitsOfCount, int nSpecial)
    {
        while (n > 0 && pLen[n - 1] == 0)
            --n;
        PutBits(static_cast<unsigned>(nBitsOfCount), static_cast<std::uint32_t>(n));
        int i = 0;
        while (i < n) {
            const unsigned k = pLen[i++];
            if (k <= 6)
                PutBits(3, k);
            else
                PutBits(k - 3, 0xFFFFFFFEu);
            if (i == nSpecial) {
                // Only zeros before the last sent length may be skipped;
                // some decoders refuse a skip past the count.
                while (i < 6 && i < n && pLen[i] == 0)
                    ++i;
                PutBits(2, static_cast<std::uint32_t>((i - 3) & 3));
            }
        }
    }

    static int TrimmedCount(const std::uint8_t *pLen, int n)
    {
        while (n > 0 && pLen[n - 1] == 0)
            --n;
        return n;
    }

    // Runs of zero lengths in the literal table: one or two are sent one by
    // one (code 0), 3-18 as code 1 with four bits, 19 as code 0 then code 1,
    // 20 and more as code 2 with nine bits.
    template <typename Fn>
    static void ForEachCLenCode(const std::uint8_t *pCLen, Fn &&fn)
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

    void SendBlock()
    {
        if (nCodes == 0)
            return;
        std::array<std::uint8_t, NC> aCLen;
        std::array<std::uint16_t, NC> aCCode;
        std::array<std::uint8_t, NT> aTLen;
        std::array<std::uint16_t, NT> aTCode;
        std::array<std::uint8_t, NP> aPLen;
        std::array<std::uint16_t, NP> aPCode;

        PutBits(16, static_cast<std::uint32_t>(nCodes));
        int nSingle = 0;
        if (BuildLengths(aCFreq.data(), NC, aCLen.data(), nSingle) >= 2) {
            std::array<std::uint32_t, NT> aTFreq{};
            ForEachCLenCode(aCLen.data(), [&](unsigned t, unsigned, unsigned) { ++aTFreq[t]; });
            int nTSingle = 0;
            if (BuildLengths(aTFreq.data(), NT, aTLen.data(), nTSingle) >= 2) {
                WritePtLen(aTLen.data(), NT, TBIT, 3);
            } else {
                PutBits(TBIT, 0);
                PutBits(TBIT, static_cast<std::uint32_t>(nTSingle));
            }
            MakeCodes(aTLen.data(), NT, aTCode.data());
            PutBits(CBIT, static_cast<std::uint32_t>(TrimmedCount(aCLen.data(), NC)));
            ForEachCLenCode(aCLen.data(), [&](unsigned t, unsigned nExtra, unsigned nValue) {
                PutBits(aTLen[t], aTCode[t]);
                PutBits(nExtra, nValue);
            });
        } else {
            PutBits(TBIT, 0);
            PutBits(TBIT, 0);
            PutBits(CBIT, 0);
            PutBits(CBIT, static_cast<std::uint32_t>(nSingle));
        }
        MakeCodes(aCLen.data(), NC, aCCode.data());

        int nPSingle = 0;
        if (BuildLengths(aPFreq.data(), NP, aPLen.data(), nPSingle) >= 2) {
            WritePtLen(aPLen.data(), NP, nPBit, -1);
        } else {
            PutBits(static_cast<unsigned>(nPBit), 0);
            PutBits(static_cast<unsigned>(nPBit), static_cast<std::uint32_t>(nPSingle));
        }
        MakeCodes(aPLen.data(), NP, aPCode.data());

        for (std::size_t i = 0; i < nCodes; ++i) {
            const unsigned c = aCodes[i];
            PutBits(aCLen[c], aCCode[c]);
            if (c >= 256) {
                const unsigned nOffset = aOffsets[i];
                const unsigned p = BitLength(nOffset);
                PutBits(aPLen[p], aPCode[p]);
                if (p > 1)
                    PutBits(p - 1, nOffset);
            }
            if ((i & 1023) == 1023)
                FlushOut(false);
        }
        nCodes = 0;
        aCFreq.fill(0);
        aPFreq.fill(0);
        FlushOut(false);
    }

    // Codes every position that has enough input after it; with bFinal, all
    // of them.
    void Compress(bool bFinal)
    {
        for (;;) {
            const std::uint32_t nLookahead = nEnd - nPos;
            if (nLookahead == 0 || (!bFinal && nLookahead < MIN_LOOKAHEAD))
                break;
            std::uint32_t nHashHead = NONE;
            if (nLookahead >= MIN_MATCH)
                nHashHead = Insert(nPos);
            const unsigned nPrevLength = nMatchLength;
            const std::uint32_t nPrevMatch = nMatchStart;
            nMatchLength = MIN_MATCH - 1;
            if (nHashHead != NONE && nPrevLength < MAX_LAZY && nPos - nHashHead <= nMaxDist) {
                nMatchLength = LongestMatch(nHashHead, nPrevLength > MIN_MATCH - 1 ? nPrevLength : MIN_MATCH - 1);
                if (nMatchLength <= nPrevLength)
                    nMatchLength = MIN_MATCH - 1;
                else if (nMatchLength == MIN_MATCH && nPos - nMatchStart > TOO_FAR)
                    nMatchLength = MIN_MATCH - 1;
            }
            if (nPrevLength >= MIN_MATCH && nMatchLength <= nPrevLength) {
                // The match found one byte back is at least as good: take it.
                const std::uint32_t nLastInsert = nEnd - MIN_MATCH;
                EmitMatch(nPrevLength, nPos - 1 - nPrevMatch);
                for (unsigned n = nPrevLength - 2; n != 0; --n)
                    if (++nPos <= nLastInsert)
                        Insert(nPos);
                bMatchAvailable = false;
                nMatchLength = MIN_MATCH - 1;
                ++nPos;
            } else if (bMatchAvailable) {
                EmitLiteral(*At(nPos - 1));
                ++nPos;
            } else {
                bMatchAvailable = true;
                ++nPos;
            }
        }
        if (bFinal && bMatchAvailable) {
            EmitLiteral(*At(nPos - 1));
            bMatchAvailable = false;
        }
    }

    // Keeps the dictionary behind the current position and what is ahead of it.
    void Slide()
    {
        const std::uint32_t nKeep = nPos > nBase + DICSIZ ? nPos - DICSIZ : nBase;
        const std::size_t nMove = nEnd - nKeep;
        std::memmove(aBuf.data(), At(nKeep), nMove);
        nBase = nKeep;
    }
};

CLh5Encoder::CLh5Encoder(CByteSink &sink, ELhStream stream)
    : m_p(std::make_unique<CState>(sink, stream == ELhStream::Lh4 || stream == ELhStream::Lh5 ? PBIT_LH45 : PBIT_LH67,
                                   stream == ELhStream::Lh4 ? DICBIT - 1 : DICBIT))
{
}

CLh5Encoder::~CLh5Encoder() = default;

bool CLh5Encoder::Write(const void *p, std::size_t n)
{
    CState &s = *m_p;
    const unsigned char *pIn = static_cast<const unsigned char *>(p);
    while (n > 0 && !s.bFailed) {
        std::size_t nSpace = BUF_SIZE - (s.nEnd - s.nBase);
        if (nSpace == 0) {
            s.Compress(false);
            s.Slide();
            nSpace = BUF_SIZE - (s.nEnd - s.nBase);
        }
        const std::size_t nTake = std::min(nSpace, n);
        std::memcpy(s.aBuf.data() + (s.nEnd - s.nBase), pIn, nTake);
        s.nEnd += static_cast<std::uint32_t>(nTake);
        pIn += nTake;
        n -= nTake;
    }
    m_nOutTotal = s.nOutTotal;
    return !s.bFailed;
}

bool CLh5Encoder::Finish()
{
    CState &s = *m_p;
    s.Compress(true);
    s.SendBlock();
    s.FlushOut(true);
    m_nOutTotal = s.nOutTotal;
    return !s.bFailed;
}
