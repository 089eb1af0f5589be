// The -lh5- parser. A binary-tree match finder lists, for every position of
// a block, the matches of each length worth having, and a shortest-path
// search over the block picks the literals and matches that cost the fewest
// bits under the block's own Huffman codes. The codes depend on the parse
// and the parse on the codes: the first block of a segment takes its first
// estimate from a quick greedy parse, later ones from the block before.
//
// Positions are numbered on from segment to segment with a gap wider than
// the dictionary, so what the tables hold of an earlier segment is simply
// too far away and the tables never need clearing.
#include "archive/lh5encoder.h"

#include "archive/lh5block.h"

#include <algorithm>
#include <array>
#include <cstring>

using namespace lh5;

namespace {

// The match finder descends this many tree nodes per position and compares
// strings no further than NICE_LENGTH; a match that long is followed to its
// end, and the positions it covers are only entered into the tree, not
// searched. Measured on C headers: twice the depth or the nice length
// gains 0.1-0.3% for 5-12% more time.
constexpr unsigned SEARCH_DEPTH = 16;
constexpr unsigned NICE_LENGTH = 48;

constexpr unsigned HASH_BITS = 15;
constexpr unsigned HASH_SIZE = 1u << HASH_BITS;
constexpr std::uint32_t NONE = 0xFFFFFFFFu;
// Positions are renumbered from 0 before they come near NONE.
constexpr std::uint32_t POSITION_LIMIT = 0xE0000000u;

// Input bytes per block (a block's codes are counted in 16 bits, and there
// are never more codes than bytes).
constexpr std::uint32_t BLOCK_BYTES = 32768;

// What a symbol the current codes do not have is assumed to cost.
constexpr std::uint32_t UNSEEN_LITERAL = 12;
constexpr std::uint32_t UNSEEN_LENGTH = 14;
constexpr std::uint32_t UNSEEN_CLASS = 7;

// The most matches one search lists: one per tree node passed.
constexpr std::size_t MAX_FOUND = SEARCH_DEPTH;

// Marks a match offered inside a longer one (see FindBlockMatches).
constexpr std::uint16_t CONTINUED = 0x8000;

struct CMatch
{
    std::uint16_t nLen;
    std::uint16_t nDist;
};

} // namespace

struct CLh5SegmentCoder::CState
{
    CState(int nPBit, unsigned nDicBit) : nPBit(nPBit), nMaxDist((1u << nDicBit) - 1)
    {
        aHead.assign(HASH_SIZE, NONE);
        aTree.assign(2 * DICSIZ, NONE);
        aCodes.resize(BLOCK_BYTES);
        aOffsets.resize(BLOCK_BYTES);
        aFirst.resize(BLOCK_BYTES + 1);
        aCost.resize(BLOCK_BYTES + MAX_MATCH + 1);
        aChoiceLen.resize(BLOCK_BYTES);
        aChoiceDist.resize(BLOCK_BYTES);
    }

    const int nPBit;  // width of the distance table's count
    // The farthest match: one less than the dictionary, so a match never
    // reaches the very slot a decoder with a ring buffer of the
    // dictionary's size is writing.
    const unsigned nMaxDist;

    // The segment's bytes: p[0] is position nBase, the input ends at nEnd.
    const unsigned char *p = nullptr;
    std::uint32_t nBase = 0;
    std::uint32_t nEnd = 0;
    // Positions before this one are in the tree.
    std::uint32_t nEntered = 0;

    // Hash heads of three-byte prefixes, and for each position of the last
    // DICSIZ the two subtrees of the strings that are smaller and larger.
    std::vector<std::uint32_t> aHead;
    std::vector<std::uint32_t> aTree;

    // The block being parsed: the matches of its position i are
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

    const unsigned char *At(std::uint32_t nAbs) const { return p + (nAbs - nBase); }

    // How far a and b agree, knowing the first nLen bytes do, up to nLimit.
    static unsigned MatchLength(const unsigned char *a, const unsigned char *b, unsigned nLen, unsigned nLimit)
    {
        while (nLen + 8 <= nLimit) {
            std::uint64_t x, y;
            std::memcpy(&x, a + nLen, 8);
            std::memcpy(&y, b + nLen, 8);
            if (x != y)
                return nLen + static_cast<unsigned>(__builtin_ctzll(x ^ y)) / 8;
            nLen += 8;
        }
        while (nLen < nLimit && a[nLen] == b[nLen])
            ++nLen;
        return nLen;
    }

    static unsigned Hash(const unsigned char *pb)
    {
        const std::uint32_t v = (std::uint32_t(pb[0]) << 16) | (std::uint32_t(pb[1]) << 8) | pb[2];
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
            // Positions of earlier segments are numbered far below: too far.
            if (nCand == NONE || nAbs - nCand > nMaxDist || nDepth == 0) {
                *pLeft = *pRight = NONE;
                return nFound;
            }
            std::uint32_t *pPair = &aTree[2 * (nCand & (DICSIZ - 1))];
            const unsigned char *pMatch = At(nCand);
            // Everything between the two bounds shares their shorter prefix.
            const unsigned nLen = MatchLength(pCur, pMatch, std::min(nLenLeft, nLenRight), nLimit);
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

    unsigned LimitAt(std::uint32_t nAbs) const { return std::min<std::uint32_t>(MAX_MATCH, nEnd - nAbs); }

    // Enters the positions up to nAbs without searching.
    void EnterUpTo(std::uint32_t nAbs)
    {
        for (; nEntered < nAbs; ++nEntered)
            if (nEnd - nEntered >= MIN_MATCH)
                Walk(nEntered, std::min(LimitAt(nEntered), NICE_LENGTH), nullptr);
    }

    // Lists the matches of every position of [nStart, nStart + n). Matches
    // may run on past the block, up to the end of the segment. Inside a
    // match of NICE_LENGTH or more nothing is searched: those positions only
    // go into the tree and are offered the rest of that match, marked
    // CONTINUED since the shorter lengths of it are offered where it starts.
    void FindBlockMatches(std::uint32_t nStart, std::uint32_t n)
    {
        EnterUpTo(nStart);
        // Room for the most a block can list: every search's matches.
        if (aMatches.size() < std::size_t(n) * MAX_FOUND)
            aMatches.resize(std::size_t(n) * MAX_FOUND);
        CMatch *pOut = aMatches.data();
        std::uint32_t nCount = 0;
        std::uint32_t nSkipTo = 0;
        std::uint16_t nSkipDist = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            aFirst[i] = nCount;
            const std::uint32_t nAbs = nStart + i;
            if (nEnd - nAbs < MIN_MATCH)
                continue;
            const unsigned nLimit = LimitAt(nAbs);
            const unsigned nTreeLimit = std::min(nLimit, NICE_LENGTH);
            if (i < nSkipTo) {
                Walk(nAbs, nTreeLimit, nullptr);
                const unsigned nLen = nSkipTo - i;
                if (nLen >= MIN_MATCH)
                    pOut[nCount++] = {static_cast<std::uint16_t>(nLen | CONTINUED), nSkipDist};
                continue;
            }
            CMatch *pFound = pOut + nCount;
            const unsigned nFound = Walk(nAbs, nTreeLimit, pFound);
            if (nFound == 0)
                continue;
            nCount += nFound;
            CMatch &m = pFound[nFound - 1];
            if (m.nLen == nTreeLimit && nTreeLimit < nLimit) {
                // The tree compares no further than a nice length: the
                // longest match is followed to its end here.
                const unsigned char *pCur = At(nAbs);
                m.nLen = static_cast<std::uint16_t>(MatchLength(pCur, pCur - m.nDist, m.nLen, nLimit));
            }
            if (m.nLen >= NICE_LENGTH) {
                nSkipTo = i + m.nLen;
                nSkipDist = m.nDist;
            }
        }
        aFirst[n] = nCount;
        nEntered = nStart + n;
    }

    void ClearCodes()
    {
        nCodes = 0;
        aCFreq.fill(0);
        aPFreq.fill(0);
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

    // Prices from the frequencies of the codes last made.
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

    // A first estimate of the codes: the longest match wherever there is one.
    void GreedyParse(const unsigned char *pb, std::uint32_t n)
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
            EmitLiteral(pb[i++]);
        }
    }

    // The cheapest parse of the block under the current prices, left as
    // codes; returns how far it reaches (a last match may run past n).
    // Costs are found from the end backwards: the cost of position i is
    // that of its best step plus the cost from where the step lands, and
    // landing anywhere past the block costs nothing more.
    std::uint32_t OptimalParse(const unsigned char *pb, std::uint32_t n)
    {
        std::fill(aCost.begin() + n, aCost.begin() + n + MAX_MATCH + 1, 0u);
        for (std::uint32_t i = n; i-- > 0;) {
            std::uint32_t nBest = aCPrice[pb[i]] + aCost[i + 1];
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
                // Every length this match adds: the cheapest is found with a
                // plain minimum (which vectorises), then looked up.
                const std::uint32_t *pLenPrice = aCPrice.data() + 256 - MIN_MATCH;
                const std::uint32_t *pCostAt = aCost.data() + i;
                std::uint32_t nMin = 0xFFFFFFFFu;
                for (unsigned n = nLen; n <= m.nLen; ++n)
                    nMin = std::min(nMin, pLenPrice[n] + pCostAt[n]);
                if (nMin + nDistPrice < nBest) {
                    while (pLenPrice[nLen] + pCostAt[nLen] != nMin)
                        ++nLen;
                    nBest = nMin + nDistPrice;
                    nBestLen = nLen;
                    nBestDist = m.nDist;
                }
                nLen = m.nLen + 1u;
            }
            aCost[i] = nBest;
            aChoiceLen[i] = static_cast<std::uint16_t>(nBestLen);
            aChoiceDist[i] = static_cast<std::uint16_t>(nBestDist);
        }
        ClearCodes();
        std::uint32_t i = 0;
        while (i < n) {
            if (aChoiceLen[i] == 1) {
                EmitLiteral(pb[i++]);
            } else {
                EmitMatch(aChoiceLen[i], aChoiceDist[i]);
                i += aChoiceLen[i];
            }
        }
        return i;
    }

    // Codes the segment p[nHistory, nHistory + n).
    void Code(const unsigned char *pIn, std::size_t nHistory, std::size_t n, CLhBits &out)
    {
        // Number this segment's positions well past the last one's.
        const std::uint64_t nNext = std::uint64_t(nEnd) + DICSIZ + 1;
        if (nNext + nHistory + n >= POSITION_LIMIT) {
            std::fill(aHead.begin(), aHead.end(), NONE);
            nBase = 0;
        } else {
            nBase = static_cast<std::uint32_t>(nNext);
        }
        p = pIn;
        nEntered = nBase;
        nEnd = nBase + static_cast<std::uint32_t>(nHistory + n);

        out.aBytes.clear();
        out.aBytes.reserve(n / 2 + 64);
        CBitWriter bits(out.aBytes);
        bool bFirst = true;
        std::uint32_t nPos = nBase + static_cast<std::uint32_t>(nHistory);
        while (nPos < nEnd) {
            const std::uint32_t nBlock = std::min(nEnd - nPos, BLOCK_BYTES);
            const unsigned char *pb = At(nPos);
            FindBlockMatches(nPos, nBlock);
            // The block before is the first estimate of this one's codes.
            if (bFirst)
                GreedyParse(pb, nBlock);
            bFirst = false;
            SetPrices();
            nPos += OptimalParse(pb, nBlock);
            WriteBlock(bits, CBlock{aCodes.data(), aOffsets.data(), nCodes, aCFreq.data(), aPFreq.data()}, nPBit);
        }
        out.nBits = bits.Finish();
        nEnd = std::max(nEnd, nEntered);
    }
};

CLh5SegmentCoder::CLh5SegmentCoder(ELhStream stream)
    : m_p(std::make_unique<CState>(stream == ELhStream::Lh4 || stream == ELhStream::Lh5 ? PBIT_LH45 : PBIT_LH67,
                                   stream == ELhStream::Lh4 ? DICBIT - 1 : DICBIT))
{
}

CLh5SegmentCoder::~CLh5SegmentCoder() = default;

void CLh5SegmentCoder::Code(const unsigned char *p, std::size_t nHistory, std::size_t n, CLhBits &out)
{
    m_p->Code(p, std::min(nHistory, LH5_HISTORY), std::min(n, LH5_SEGMENT), out);
}

bool CLhBitJoiner::Put(const unsigned char *p, std::size_t n)
{
    if (n == 0)
        return !m_bFailed;
    if (!m_bFailed && !m_sink.Put(p, n))
        m_bFailed = true;
    m_nOut += n;
    return !m_bFailed;
}

bool CLhBitJoiner::Append(const CLhBits &bits)
{
    const std::size_t nFull = static_cast<std::size_t>(bits.nBits / 8);
    const unsigned nRest = static_cast<unsigned>(bits.nBits % 8);
    const unsigned k = m_nPending;
    if (k == 0) {
        Put(bits.aBytes.data(), nFull);
    } else {
        // Every byte straddles two output bytes.
        m_aShifted.resize(nFull);
        unsigned nCarry = m_nPendingByte;
        for (std::size_t i = 0; i < nFull; ++i) {
            const unsigned b = bits.aBytes[i];
            m_aShifted[i] = static_cast<unsigned char>(nCarry | (b >> k));
            nCarry = (b << (8 - k)) & 0xFF;
        }
        m_nPendingByte = nCarry;
        Put(m_aShifted.data(), nFull);
    }
    if (nRest != 0) {
        const unsigned t = bits.aBytes[nFull] & (0xFF00u >> nRest) & 0xFF;
        if (m_nPending + nRest >= 8) {
            const unsigned char b = static_cast<unsigned char>(m_nPendingByte | (t >> m_nPending));
            m_nPendingByte = (t << (8 - m_nPending)) & 0xFF;
            m_nPending = m_nPending + nRest - 8;
            Put(&b, 1);
        } else {
            m_nPendingByte |= t >> m_nPending;
            m_nPending += nRest;
        }
    }
    return !m_bFailed;
}

bool CLhBitJoiner::Finish()
{
    if (m_nPending != 0) {
        const unsigned char b = static_cast<unsigned char>(m_nPendingByte);
        m_nPending = 0;
        m_nPendingByte = 0;
        Put(&b, 1);
    }
    return !m_bFailed;
}

CLh5Encoder::CLh5Encoder(CByteSink &sink, ELhStream stream) : m_coder(stream), m_joiner(sink) {}

CLh5Encoder::~CLh5Encoder() = default;

bool CLh5Encoder::CodeSegment()
{
    m_coder.Code(m_aBuf.data(), m_nHistory, m_nFill - m_nHistory, m_bits);
    if (!m_joiner.Append(m_bits))
        m_bFailed = true;
    // The end of this segment is the next one's history.
    const std::size_t nKeep = std::min(m_nFill, LH5_HISTORY);
    std::memmove(m_aBuf.data(), m_aBuf.data() + m_nFill - nKeep, nKeep);
    m_nHistory = nKeep;
    m_nFill = nKeep;
    return !m_bFailed;
}

bool CLh5Encoder::Write(const void *p, std::size_t n)
{
    if (m_aBuf.empty())
        m_aBuf.resize(LH5_HISTORY + LH5_SEGMENT);
    const unsigned char *pIn = static_cast<const unsigned char *>(p);
    while (n > 0 && !m_bFailed) {
        if (m_nFill - m_nHistory == LH5_SEGMENT && !CodeSegment())
            break;
        const std::size_t nTake = std::min(n, LH5_SEGMENT - (m_nFill - m_nHistory));
        std::memcpy(m_aBuf.data() + m_nFill, pIn, nTake);
        m_nFill += nTake;
        pIn += nTake;
        n -= nTake;
    }
    return !m_bFailed;
}

bool CLh5Encoder::Finish()
{
    if (m_nFill > m_nHistory)
        CodeSegment();
    if (!m_joiner.Finish())
        m_bFailed = true;
    return !m_bFailed;
}
