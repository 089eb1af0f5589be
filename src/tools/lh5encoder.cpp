// The -lh5- compressor. Positions are counted from the start of the input
// (a file in an archive stays below 4 GiB), so the match finder never needs
// rebasing when the window buffer slides.
//
// Each block of input is parsed as a whole: a binary-tree match finder lists,
// for every position, the matches of each length worth having, and a
// shortest-path search over the block picks the literals and matches that
// cost the fewest bits under the block's own Huffman codes. The codes depend
// on the parse and the parse on the codes, so a quick greedy parse gives the
// first estimate and the search runs again on the codes its own result makes.
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

constexpr int NC = 256 + MAX_MATCH - MIN_MATCH + 1;  // literals and match lengths: 510
constexpr int NP = DICBIT + 1;                       // distance classes: 14
constexpr int NT = 16 + 3;                           // code-length codes: 19
constexpr int CBIT = 9;
constexpr int PBIT_LH45 = 4;
constexpr int PBIT_LH67 = 5;
constexpr int TBIT = 5;
constexpr int MAX_CODE_BITS = 16;

// The match finder descends this many tree nodes per position; a match this
// long ends the search, and the positions it covers are only entered into
// the tree, not searched. Measured on C headers, deeper searches and longer
// nice lengths gained under 0.3% for much more time.
constexpr unsigned SEARCH_DEPTH = 16;
constexpr unsigned NICE_LENGTH = 48;

constexpr unsigned HASH_BITS = 16;
constexpr unsigned HASH_SIZE = 1u << HASH_BITS;
constexpr std::uint32_t NONE = 0xFFFFFFFFu;

// Input bytes per block (a block's codes are counted in 16 bits, and there
// are never more codes than bytes), and the passes of the search per block.
constexpr std::uint32_t BLOCK_BYTES = 32768;
constexpr int PARSE_PASSES = 1;
constexpr std::size_t BUF_SIZE = std::size_t(1) << 17;
constexpr std::size_t OUT_FLUSH = std::size_t(1) << 16;

// What a symbol the current codes do not have is assumed to cost.
constexpr std::uint32_t UNSEEN_LITERAL = 12;
constexpr std::uint32_t UNSEEN_LENGTH = 14;
constexpr std::uint32_t UNSEEN_CLASS = 7;

// Marks a match offered inside a longer one (see FindBlockMatches).
constexpr std::uint16_t CONTINUED = 0x8000;

struct CMatch
{
    std::uint16_t nLen;
    std::uint16_t nDist;
};

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
        aHead.assign(HASH_SIZE, NONE);
        aTree.assign(2 * DICSIZ, NONE);
        aBuf.resize(BUF_SIZE);
        aCodes.resize(BLOCK_BYTES);
        aOffsets.resize(BLOCK_BYTES);
        aFirst.resize(BLOCK_BYTES + 1);
        aCost.resize(BLOCK_BYTES + 1);
        aChoiceLen.resize(BLOCK_BYTES);
        aChoiceDist.resize(BLOCK_BYTES);
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

    // Window: aBuf[0] holds input position nBase; data ends at nEnd; the
    // next block starts at nPos.
    std::vector<unsigned char> aBuf;
    std::uint32_t nBase = 0;
    std::uint32_t nEnd = 0;
    std::uint32_t nPos = 0;

    // Hash heads of three-byte prefixes, and for each position of the last
    // DICSIZ the two subtrees of the strings that are smaller and larger.
    std::vector<std::uint32_t> aHead;
    std::vector<std::uint32_t> aTree;

    // The block being parsed: the matches of position i are
    // aMatches[aFirst[i]] to aMatches[aFirst[i + 1]], shortest first.
    std::vector<CMatch> aMatches;
    std::vector<std::uint32_t> aFirst;
    std::vector<std::uint32_t> aCost;
    std::vector<std::uint16_t> aChoiceLen;
    std::vector<std::uint16_t> aChoiceDist;

    // Bit prices under the current estimate of the block's codes.
    std::array<std::uint32_t, NC> aCPrice{};
    std::array<std::uint32_t, NP> aPPrice{};

    // The block being coded.
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

    // Enters nAbs into the tree of its hash and, with pOut, lists the
    // matches found on the way that are longer than every closer one. The
    // tree keeps the strings of the window in sorted order, so a descent
    // meets the nearest strings sharing the longest prefixes; every string
    // passed is hung on the new node's left (smaller) or right side.
    // nLimit caps the length compared; returns the number of matches.
    unsigned Walk(std::uint32_t nAbs, unsigned nLimit, CMatch *pOut)
    {
        const unsigned char *pCur = At(nAbs);
        const unsigned h = Hash(pCur);
        std::uint32_t nCand = aHead[h];
        aHead[h] = nAbs;
        std::uint32_t *pLeft = &aTree[2 * (nAbs & (DICSIZ - 1))];
        std::uint32_t *pRight = pLeft + 1;
        unsigned nLenLeft = 0;
        unsigned nLenRight = 0;
        unsigned nBest = MIN_MATCH - 1;
        unsigned nFound = 0;
        for (unsigned nDepth = SEARCH_DEPTH;; --nDepth) {
            if (nCand == NONE || nAbs - nCand > nMaxDist || nDepth == 0) {
                *pLeft = *pRight = NONE;
                return nFound;
            }
            std::uint32_t *pPair = &aTree[2 * (nCand & (DICSIZ - 1))];
            const unsigned char *pMatch = At(nCand);
            // Everything between the two bounds shares their shorter prefix.
            unsigned nLen = std::min(nLenLeft, nLenRight);
            while (nLen + 8 <= nLimit) {
                std::uint64_t a, b;
                std::memcpy(&a, pCur + nLen, 8);
                std::memcpy(&b, pMatch + nLen, 8);
                if (a != b) {
                    nLen += static_cast<unsigned>(__builtin_ctzll(a ^ b)) / 8;
                    goto compared;
                }
                nLen += 8;
            }
            while (nLen < nLimit && pCur[nLen] == pMatch[nLen])
                ++nLen;
        compared:
            if (nLen > nBest) {
                nBest = nLen;
                if (pOut)
                    pOut[nFound++] = {static_cast<std::uint16_t>(nLen), static_cast<std::uint16_t>(nAbs - nCand)};
                if (nLen >= nLimit) {
                    // Equal as far as compared: the candidate's subtrees
                    // become the new node's, and the candidate leaves the tree.
                    *pLeft = pPair[0];
                    *pRight = pPair[1];
                    return nFound;
                }
            }
            if (pMatch[nLen] < pCur[nLen]) {
                *pLeft = nCand;
                pLeft = pPair + 1;
                nCand = *pLeft;
                nLenLeft = nLen;
            } else {
                *pRight = nCand;
                pRight = pPair;
                nCand = *pRight;
                nLenRight = nLen;
            }
        }
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

    void EmitLiteral(unsigned char c)
    {
        aCodes[nCodes++] = c;
        ++aCFreq[c];
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
    }

    std::uint32_t MatchPrice(unsigned nLen, unsigned nDist) const
    {
        const unsigned p = BitLength(nDist - 1);
        return aCPrice[nLen - MIN_MATCH + 256] + aPPrice[p] + (p > 1 ? p - 1 : 0);
    }

    // Prices from the frequencies the last parse produced.
    void SetPrices()
    {
        std::array<std::uint8_t, NC> aCLen;
        std::array<std::uint8_t, NP> aPLen;
        int nSingle = 0;
        BuildLengths(aCFreq.data(), NC, aCLen.data(), nSingle);
        for (int i = 0; i < NC; ++i)
            aCPrice[i] = aCLen[i] ? aCLen[i] : (i < 256 ? UNSEEN_LITERAL : UNSEEN_LENGTH);
        BuildLengths(aPFreq.data(), NP, aPLen.data(), nSingle);
        for (int i = 0; i < NP; ++i)
            aPPrice[i] = aPLen[i] ? aPLen[i] : UNSEEN_CLASS;
    }

    void ClearCodes()
    {
        nCodes = 0;
        aCFreq.fill(0);
        aPFreq.fill(0);
    }

    // Lists the matches of every position of the block [nStart, nStart + n).
    // Matches never reach past the block, which is coded on its own. Inside
    // a match of NICE_LENGTH or more nothing is searched: those positions
    // only go into the tree and are offered the rest of that match, marked
    // CONTINUED since the shorter lengths of it are offered where it starts.
    void FindBlockMatches(std::uint32_t nStart, std::uint32_t n)
    {
        aMatches.clear();
        std::array<CMatch, SEARCH_DEPTH> aFound;
        std::uint32_t nSkipTo = 0;
        std::uint16_t nSkipDist = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            aFirst[i] = static_cast<std::uint32_t>(aMatches.size());
            const std::uint32_t nAbs = nStart + i;
            const std::uint32_t nLookahead = nEnd - nAbs;
            if (nLookahead < MIN_MATCH)
                continue;
            const unsigned nLimit = std::min<std::uint32_t>(MAX_MATCH, nLookahead);
            if (i < nSkipTo) {
                Walk(nAbs, nLimit, nullptr);
                const unsigned nLen = std::min(nSkipTo, n) - i;
                if (nLen >= MIN_MATCH)
                    aMatches.push_back({static_cast<std::uint16_t>(nLen | CONTINUED), nSkipDist});
                continue;
            }
            const unsigned nFound = Walk(nAbs, nLimit, aFound.data());
            const unsigned nRoom = n - i;
            unsigned nLast = MIN_MATCH - 1;
            for (unsigned k = 0; k < nFound; ++k) {
                const unsigned nLen = std::min<unsigned>(aFound[k].nLen, nRoom);
                if (nLen > nLast) {
                    aMatches.push_back({static_cast<std::uint16_t>(nLen), aFound[k].nDist});
                    nLast = nLen;
                }
            }
            if (nFound > 0 && aFound[nFound - 1].nLen >= NICE_LENGTH) {
                nSkipTo = i + aFound[nFound - 1].nLen;
                nSkipDist = aFound[nFound - 1].nDist;
            }
        }
        aFirst[n] = static_cast<std::uint32_t>(aMatches.size());
    }

    // A first estimate of the codes: the longest match wherever there is one.
    void GreedyParse(const unsigned char *p, std::uint32_t n)
    {
        ClearCodes();
        for (std::uint32_t i = 0; i < n;) {
            if (aFirst[i] != aFirst[i + 1]) {
                const CMatch &m = aMatches[aFirst[i + 1] - 1];
                const unsigned nLen = m.nLen & ~CONTINUED;
                // A short match far away costs more than its literals.
                if (nLen > MIN_MATCH || m.nDist <= 1024) {
                    EmitMatch(nLen, m.nDist);
                    i += nLen;
                    continue;
                }
            }
            EmitLiteral(p[i++]);
        }
    }

    // The cheapest parse of the block under the current prices, left as
    // codes. Costs are found from the end backwards: the cost of position
    // i is that of its best step plus the cost from where the step lands.
    void OptimalParse(const unsigned char *p, std::uint32_t n)
    {
        aCost[n] = 0;
        for (std::uint32_t i = n; i-- > 0;) {
            std::uint32_t nBest = aCPrice[p[i]] + aCost[i + 1];
            unsigned nBestLen = 1;
            unsigned nBestDist = 0;
            unsigned nLen = MIN_MATCH;
            for (std::uint32_t k = aFirst[i]; k < aFirst[i + 1]; ++k) {
                const CMatch m = aMatches[k];
                const unsigned nClass = BitLength(m.nDist - 1u);
                const std::uint32_t nDistPrice = aPPrice[nClass] + (nClass > 1 ? nClass - 1 : 0);
                if (m.nLen & CONTINUED) {
                    const unsigned nFull = m.nLen & ~CONTINUED;
                    const std::uint32_t nCost = aCPrice[nFull - MIN_MATCH + 256] + nDistPrice + aCost[i + nFull];
                    if (nCost < nBest) {
                        nBest = nCost;
                        nBestLen = nFull;
                        nBestDist = m.nDist;
                    }
                    continue;
                }
                for (; nLen <= m.nLen; ++nLen) {
                    const std::uint32_t nCost = aCPrice[nLen - MIN_MATCH + 256] + nDistPrice + aCost[i + nLen];
                    if (nCost < nBest) {
                        nBest = nCost;
                        nBestLen = nLen;
                        nBestDist = m.nDist;
                    }
                }
            }
            aCost[i] = nBest;
            aChoiceLen[i] = static_cast<std::uint16_t>(nBestLen);
            aChoiceDist[i] = static_cast<std::uint16_t>(nBestDist);
        }
        ClearCodes();
        for (std::uint32_t i = 0; i < n;) {
            if (aChoiceLen[i] == 1) {
                EmitLiteral(p[i++]);
            } else {
                EmitMatch(aChoiceLen[i], aChoiceDist[i]);
                i += aChoiceLen[i];
            }
        }
    }

    void CodeBlock(std::uint32_t n)
    {
        const unsigned char *p = At(nPos);
        FindBlockMatches(nPos, n);
        GreedyParse(p, n);
        for (int nPass = 0; nPass < PARSE_PASSES; ++nPass) {
            SetPrices();
            OptimalParse(p, n);
        }
        SendBlock();
        nPos += n;
    }

    // Codes every whole block whose matches can be found in full; with
    // bFinal, everything.
    void Compress(bool bFinal)
    {
        while (!bFailed) {
            const std::uint32_t nAhead = nEnd - nPos;
            if (nAhead == 0 || (!bFinal && nAhead < BLOCK_BYTES + MAX_MATCH))
                break;
            CodeBlock(std::min(nAhead, BLOCK_BYTES));
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
    s.FlushOut(true);
    m_nOutTotal = s.nOutTotal;
    return !s.bFailed;
}
