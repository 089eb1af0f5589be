#include "archive/lholddecoder.h"

#include "archive/lhadaptivetree.h"
#include "archive/lhhufftable.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

namespace {

constexpr std::size_t LH_DICT_SIZE = std::size_t(1) << 13;
constexpr std::size_t LH_DICT_MASK = LH_DICT_SIZE - 1;
// Literals, then match lengths from LH_MIN_MATCH on; the last symbol is
// followed by 8 bits that add to it, for the longer matches.
constexpr int LH_CHARS = 286;
constexpr int LH_LONG_MATCH = LH_CHARS - 1;
constexpr int LH_MIN_MATCH = 3;
// Positions are coded as their top 7 bits, then the low 6 as they are.
constexpr int LH_POSITION_CODES = 128;
constexpr unsigned LH_POSITION_LOW_BITS = 6;

// -lh2-: a position code joins the tree each time another 64 bytes have
// been decoded, as positions that far back become possible.
constexpr std::uint64_t LH2_POSITION_STEP = 64;

// -lh3-: the position code of blocks that carry none, as the first
// symbol of each code length.
constexpr struct
{
    int nFirst;
    std::uint8_t nLength;
} LH3_FIXED_POSITIONS[] = {{0, 2}, {1, 4}, {3, 5}, {6, 6}, {13, 7}, {31, 8}, {78, 9}};

} // namespace

bool LhOldMethodFromName(const std::string &strMethod, ELhOldMethod &method)
{
    if (strMethod == "-lh2-")
        method = ELhOldMethod::Lh2;
    else if (strMethod == "-lh3-")
        method = ELhOldMethod::Lh3;
    else
        return false;
    return true;
}

struct CLhOldDecoder::CState
{
    CState(ELhOldMethod m, CByteSource &source, std::uint64_t n)
        : method(m), bits(source), nLength(n), aWindow(LH_DICT_SIZE)
    {
        if (method == ELhOldMethod::Lh2) {
            chars.StartFull(LH_CHARS);
            positions.StartGrowing(LH_POSITION_CODES);
        }
    }

    // The next literal (< 256) or match length code; -1 when damaged.
    int DecodeChar()
    {
        int c;
        if (method == ELhOldMethod::Lh2) {
            c = chars.Decode(bits);
            if (c < 0)
                return -1;
            chars.Update(c);
        } else {
            if (nBlockLeft == 0 && !ReadBlockHeader())
                return -1;
            --nBlockLeft;
            c = charCode.Decode(bits);
            if (c < 0)
                return -1;
        }
        if (c == LH_LONG_MATCH)
            c += static_cast<int>(bits.Get(8));
        return c;
    }

    // How far back a match starts, less one; -1 when damaged.
    int DecodePosition()
    {
        int p;
        if (method == ELhOldMethod::Lh2) {
            while (nDone > nNextPositionCode) {
                positions.AddSymbol(static_cast<int>(nNextPositionCode / LH2_POSITION_STEP));
                nNextPositionCode += LH2_POSITION_STEP;
                if (nNextPositionCode >= LH_DICT_SIZE)
                    nNextPositionCode = std::numeric_limits<std::uint64_t>::max();
            }
            p = positions.Decode(bits);
            if (p >= 0)
                positions.Update(p);
        } else {
            p = positionCode.Decode(bits);
        }
        if (p < 0)
            return -1;
        return (p << LH_POSITION_LOW_BITS) | static_cast<int>(bits.Get(LH_POSITION_LOW_BITS));
    }

    // Three lengths of 1 can be no code: they mark a block that uses one
    // symbol only, whose number follows.
    static bool IsSingleMark(const std::uint8_t *pLengths)
    {
        return pLengths[0] == 1 && pLengths[1] == 1 && pLengths[2] == 1;
    }

    bool ReadBlockHeader()
    {
        // A count of 0 can only be a 16-bit counter that went round.
        nBlockLeft = bits.Get(16);
        if (nBlockLeft == 0)
            nBlockLeft = 1u << 16;

        std::uint8_t aLengths[LH_CHARS];
        bool bSingle = false;
        for (int i = 0; i < LH_CHARS; ++i) {
            aLengths[i] = bits.GetBit() ? static_cast<std::uint8_t>(bits.Get(4) + 1) : 0;
            if (i == 2 && IsSingleMark(aLengths)) {
                const int c = static_cast<int>(bits.Get(9));
                if (c >= LH_CHARS)
                    return false;
                charCode.BuildSingle(c);
                bSingle = true;
                break;
            }
        }
        if (!bSingle && !charCode.Build(aLengths, LH_CHARS))
            return false;

        std::uint8_t aPositionLengths[LH_POSITION_CODES] = {};
        if (bits.GetBit()) {
            for (int i = 0; i < LH_POSITION_CODES; ++i) {
                aPositionLengths[i] = static_cast<std::uint8_t>(bits.Get(4));
                if (i == 2 && IsSingleMark(aPositionLengths)) {
                    positionCode.BuildSingle(static_cast<int>(bits.Get(7)));
                    return !bits.IsOverrun();
                }
            }
        } else {
            const std::size_t nRuns = std::size(LH3_FIXED_POSITIONS);
            for (std::size_t r = 0; r < nRuns; ++r) {
                const int nEnd = r + 1 < nRuns ? LH3_FIXED_POSITIONS[r + 1].nFirst : LH_POSITION_CODES;
                std::fill(aPositionLengths + LH3_FIXED_POSITIONS[r].nFirst, aPositionLengths + nEnd,
                          LH3_FIXED_POSITIONS[r].nLength);
            }
        }
        return positionCode.Build(aPositionLengths, LH_POSITION_CODES) && !bits.IsOverrun();
    }

    std::size_t Read(unsigned char *pOut, std::size_t n)
    {
        std::size_t k = 0;
        while (k < n) {
            if (nCopyLeft > 0) {
                const unsigned char c = aWindow[nCopyFrom++ & LH_DICT_MASK];
                aWindow[nDone++ & LH_DICT_MASK] = c;
                pOut[k++] = c;
                --nCopyLeft;
                continue;
            }
            if (nDone == nLength || bDamaged)
                break;
            const int c = DecodeChar();
            if (c < 0 || bits.IsOverrun()) {
                bDamaged = true;
                break;
            }
            if (c < 256) {
                aWindow[nDone++ & LH_DICT_MASK] = static_cast<unsigned char>(c);
                pOut[k++] = static_cast<unsigned char>(c);
                continue;
            }
            const std::uint64_t nMatch = static_cast<std::uint64_t>(c - 256 + LH_MIN_MATCH);
            const int nPosition = DecodePosition();
            if (nPosition < 0 || bits.IsOverrun() || static_cast<std::uint64_t>(nPosition) >= nDone ||
                nMatch > nLength - nDone) {
                bDamaged = true;
                break;
            }
            nCopyFrom = nDone - static_cast<std::uint64_t>(nPosition) - 1;
            nCopyLeft = static_cast<unsigned>(nMatch);
        }
        return k;
    }

    ELhOldMethod method;
    CLhBitReader bits;
    std::uint64_t nLength;
    std::uint64_t nDone = 0;
    bool bDamaged = false;
    std::vector<unsigned char> aWindow;
    std::uint64_t nCopyFrom = 0;
    unsigned nCopyLeft = 0;

    CLhAdaptiveTree chars;
    CLhAdaptiveTree positions;
    std::uint64_t nNextPositionCode = LH2_POSITION_STEP;

    CLhHuffTable charCode;
    CLhHuffTable positionCode;
    std::uint32_t nBlockLeft = 0;
};

CLhOldDecoder::CLhOldDecoder(ELhOldMethod method, CByteSource &source, std::uint64_t nLength)
    : m_p(std::make_unique<CState>(method, source, nLength))
{
}

CLhOldDecoder::~CLhOldDecoder() = default;

std::size_t CLhOldDecoder::Read(void *p, std::size_t n)
{
    return m_p->Read(static_cast<unsigned char *>(p), n);
}

bool CLhOldDecoder::IsDamaged() const
{
    return m_p->bDamaged;
}

std::uint64_t CLhOldDecoder::GetPackedBytesUsed() const
{
    return m_p->bits.GetBytesUsed();
}

bool LhOldDecode(ELhOldMethod method, const std::string &strPacked, std::uint64_t nLength, std::string &strOut)
{
    CMemoryByteSource source(strPacked.data(), strPacked.size());
    CLhOldDecoder decoder(method, source, nLength);
    strOut.clear();
    char aBuf[1 << 14];
    while (const std::size_t n = decoder.Read(aBuf, sizeof aBuf))
        strOut.append(aBuf, n);
    return !decoder.IsDamaged() && strOut.size() == nLength;
}
