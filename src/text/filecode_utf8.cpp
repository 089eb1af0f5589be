// UTF-8 into the document's Shift-JIS and back, the hot loops of opening and
// saving a UTF-8 file.
//
// Japanese text alternates short runs of ASCII with short runs of other
// characters, and a loop that branches on each change mispredicts at every
// word. So the loops take 64 bytes at a time: a mask of the bytes that are
// not ASCII says where the other characters start, the ASCII between them is
// copied in whole vectors (the bytes stored past a gap are overwritten by
// what follows), and each character is one lookup of a packed entry whose
// bytes are stored with one write. Anything else (malformed bytes, characters
// without a form in the other code, both forms of a dual-form character,
// characters cut by the end of the input) leaves the loop for the careful
// path, one character at a time. Where the processor has AVX2 or AVX-512,
// decoding first tries whole blocks with the decoders of
// filecode_utf8_blocks.cpp, and this loop takes only the blocks they leave.
#include "text/filecode.h"
#include "text/filecode_detail.h"
#include "text/filecode_tables.h"
#include "text/sjis.h"

#include <algorithm>
#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::string_view BOM = "\xEF\xBB\xBF";

// The loops chosen for tests, or -1 for the best the processor has.
std::atomic<int> g_nLoops{-1};

// The primitives of the loops, as SSE2 vectors or as 64-bit words.
template <bool bVector>
inline void Copy16(char *q, const unsigned char *p)
{
#if defined(__SSE2__)
    if constexpr (bVector) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(q), _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)));
        return;
    }
#endif
    std::uint64_t w[2];
    std::memcpy(w, p, 16);
    std::memcpy(q, w, 16);
}

// A bit for each byte of the 64 at p that is not ASCII.
template <bool bVector>
inline std::uint64_t NonAsciiMask64(const unsigned char *p)
{
#if defined(__SSE2__)
    if constexpr (bVector) {
        std::uint64_t mask = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
            mask |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v))) << (16 * k);
        }
        return mask;
    }
#endif
    std::uint64_t mask = 0;
    for (int k = 0; k < 8; ++k) {
        std::uint64_t w;
        std::memcpy(&w, p + 8 * k, 8);
        // The high bit of each byte, gathered into the top byte by the multiply.
        mask |= (((w & 0x8080808080808080ULL) >> 7) * 0x0102040810204080ULL) >> 56 << (8 * k);
    }
    return mask;
}

// Copies the n ASCII bytes at p to q in whole pieces of 16 (the bytes past n
// are written over later), so q must have room up to the next 16 past n.
// Most gaps between the other characters are short: one store covers them.
template <bool bVector>
inline void CopyAscii(char *q, const unsigned char *p, unsigned n)
{
    Copy16<bVector>(q, p);
    if (n > 16) [[unlikely]] {
        for (unsigned k = 16; k < n; k += 16)
            Copy16<bVector>(q + k, p + k);
    }
}

// Whether the loops can take a character whose entry is more than a plain
// code: a dual form that does not meet its other form (recorded in nSeen).
inline bool TakeDualForm(std::uint32_t nEntry, unsigned &nSeen)
{
    if (!(nEntry & FROMUNI_DUAL) || PackedCount(nEntry, 16) == 0)
        return false;
    const unsigned nNew = nSeen | SeenBitOf(nEntry);
    if (SeenBothForms(nNew))
        return false;
    nSeen = nNew;
    return true;
}

// Stores a code of the table of extra characters; false for none.
inline bool PutExtra(std::uint16_t nCode, char *&q)
{
    if (nCode == 0)
        return false;
    q[0] = static_cast<char>(nCode >> 8);
    q[1] = static_cast<char>(nCode & 0xFF);
    q += 2;
    return true;
}

// Decodes the character at p if it is one the loop takes (two or three bytes
// with one Shift-JIS form, a dual form that does not meet its other form, or
// a character the table of extra characters already holds, the form of a
// dual-form character met second among them); returns its length in the
// input, 0 for the careful path. At least four bytes are readable at p.
inline int DecodeChar(const unsigned char *p, char *&q, unsigned &nSeen, const std::uint32_t *aFrom,
                      const CExtraChars &extra)
{
    const unsigned c = p[0];
    unsigned cp;
    int nIn;
    if (c >= 0xF0) {
        // Beyond the basic plane: only the table has codes there.
        if (c > 0xF4 || extra.IsEmpty())
            return 0;
        const unsigned c1 = p[1] ^ 0x80u;
        const unsigned c2 = p[2] ^ 0x80u;
        const unsigned c3 = p[3] ^ 0x80u;
        if ((c1 | c2 | c3) >= 0x40)
            return 0;
        cp = (c & 0x07) << 18 | c1 << 12 | c2 << 6 | c3;
        if (cp < 0x10000 || cp > 0x10FFFF)
            return 0;
        return PutExtra(extra.Find(cp), q) ? 4 : 0;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned c1 = p[1] ^ 0x80u;
        const unsigned c2 = p[2] ^ 0x80u;
        if ((c1 | c2) >= 0x40)
            return 0;
        cp = (c & 0x0F) << 12 | c1 << 6 | c2;
        // Overlong forms and surrogates.
        if (cp < 0x800 || cp - 0xD800 < 0x800)
            return 0;
        nIn = 3;
    } else if (c >= 0xC2 && c <= 0xDF) {
        const unsigned c1 = p[1] ^ 0x80u;
        if (c1 >= 0x40)
            return 0;
        cp = (c & 0x1F) << 6 | c1;
        nIn = 2;
    } else {
        return 0;
    }
    const std::uint32_t nEntry = aFrom[cp];
    if (nEntry == 0 || ((nEntry >> 16) - 1 > 1 && !TakeDualForm(nEntry, nSeen)))
        return !extra.IsEmpty() && PutExtra(extra.Find(cp), q) ? nIn : 0;
    std::memcpy(q, &nEntry, 2);
    q += PackedCount(nEntry, 16);
    return nIn;
}

// Decodes from p while the bytes are ASCII or characters DecodeChar takes
// that end before pStop; returns where it stopped. Output never outgrows
// input, so q has room for what p has before pStop, and the pieces written
// whole stay within that.
template <EUtf8Loops eLoops>
const unsigned char *DecodeRun(const unsigned char *p, const unsigned char *pStop, char *&q, bool &bWideOut,
                               unsigned &nSeenOut, const CExtraChars &extra, const std::uint16_t *aExtraMap)
{
    const std::uint32_t *const aFrom = FromUnicodeTable();
    // Kept in registers: the bytes written could alias the caller's members.
    char *o = q;
    bool bWide = bWideOut;
    unsigned nSeen = nSeenOut;
    const auto leave = [&](const unsigned char *pAt) {
        q = o;
        bWideOut = bWide;
        nSeenOut = nSeen;
        return pAt;
    };
    // Sixty-four bytes at a time, each block starting at a character: their
    // ASCII gaps are copied whole and only the other characters are visited,
    // so that the way through a block does not depend on how its words
    // alternate between ASCII and the rest.
    constexpr bool bVector = eLoops >= EUtf8Loops::Sse2;
    constexpr std::ptrdiff_t BLOCK = 64;
    constexpr std::ptrdiff_t READ_AHEAD = BLOCK + 48;
    while (pStop - p >= READ_AHEAD) {
        if constexpr (eLoops >= EUtf8Loops::Avx2) {
            // The vector blocks, as far as they go; the block they leave
            // alone is taken below, a character at a time.
            const unsigned char *const pLast = pStop - READ_AHEAD;
            if constexpr (eLoops == EUtf8Loops::Avx512)
                p = DecodeUtf8BlocksAvx512(p, pLast, o, bWide, nSeen);
            else
                p = DecodeUtf8BlocksAvx2(p, pLast, o, bWide, nSeen, extra, aExtraMap);
            if (pStop - p < READ_AHEAD)
                break;
        }
        std::uint64_t mask = NonAsciiMask64<bVector>(p);
        unsigned nPos = 0;
        while (mask) {
            const auto i = static_cast<unsigned>(__builtin_ctzll(mask));
            CopyAscii<bVector>(o, p + nPos, i - nPos);
            o += i - nPos;
            const int nIn = DecodeChar(p + i, o, nSeen, aFrom, extra);
            if (nIn == 0)
                return leave(p + i);
            bWide = true;
            nPos = i + static_cast<unsigned>(nIn);
            mask = nPos < BLOCK ? mask & ~0ULL << nPos : 0;
        }
        if (nPos < BLOCK) {
            CopyAscii<bVector>(o, p + nPos, BLOCK - nPos);
            o += BLOCK - nPos;
            nPos = BLOCK;
        }
        p += nPos;
    }
    // The end of the block, a character at a time.
    while (p < pStop) {
        if (*p < 0x80) {
            *o++ = static_cast<char>(*p++);
            continue;
        }
        if (pStop - p < 4)
            break;
        const int nIn = DecodeChar(p, o, nSeen, aFrom, extra);
        if (nIn == 0)
            break;
        bWide = true;
        p += nIn;
    }
    return leave(p);
}

} // namespace

void SetUtf8Loops(EUtf8Loops eLoops)
{
    g_nLoops.store(static_cast<int>(std::min(eLoops, BestUtf8Loops())), std::memory_order_relaxed);
}

EUtf8Loops Utf8Loops()
{
    const int nLoops = g_nLoops.load(std::memory_order_relaxed);
    return nLoops < 0 ? BestUtf8Loops() : static_cast<EUtf8Loops>(nLoops);
}

const char *Utf8LoopsName(EUtf8Loops eLoops)
{
    switch (eLoops) {
    case EUtf8Loops::Portable:
        return "portable";
    case EUtf8Loops::Sse2:
        return "SSE2";
    case EUtf8Loops::Avx2:
        return "AVX2";
    case EUtf8Loops::Avx512:
        return "AVX-512";
    }
    return "?";
}

// ---------------------------------------------------------------------------
// UTF-8 a block at a time

CUtf8StreamDecoder::CUtf8StreamDecoder(std::string_view bytes, bool bBail, bool bBom)
    : m_bytes(bytes), m_nEnd(bytes.size()), m_bBail(bBail)
{
    m_result.eCode = bBom ? ETextCode::Utf8Bom : ETextCode::Utf8;
    m_nPos = bytes.starts_with(BOM) ? BOM.size() : 0;
}

void CUtf8StreamDecoder::Problem(ETextProblem eProblem, const unsigned char *pAt, char32_t c, char32_t cOther)
{
    NoteFirstProblem(m_result, m_bytes, pAt, eProblem, c, cOther);
}

void CUtf8StreamDecoder::MapExtra(char32_t c, std::uint16_t nCode)
{
    if (c < m_aExtraMap.size())
        m_aExtraMap[c] = static_cast<std::uint16_t>(nCode >> 8 | (nCode & 0xFF) << 8);
}

std::size_t CUtf8StreamDecoder::Decode(char *pOut, std::size_t nCap)
{
    EUtf8Loops eLoops = Utf8Loops();
    // The AVX-512 blocks leave a character of the table to the loop below,
    // a character at a time; once the table holds any, the AVX2 blocks,
    // which take them from the map, are the faster way.
    if (eLoops == EUtf8Loops::Avx512 && !m_result.extra.IsEmpty())
        eLoops = EUtf8Loops::Avx2;
    // Only the AVX2 blocks read the map.
    const bool bMap = eLoops == EUtf8Loops::Avx2;
    if (bMap && m_aExtraMap.empty() && !m_result.extra.IsEmpty()) {
        m_aExtraMap.resize(0x10000);
        for (const char32_t c : m_result.extra.Chars())
            MapExtra(c, m_result.extra.Find(c));
    }
    const std::uint16_t *aExtraMap = m_aExtraMap.empty() ? nullptr : m_aExtraMap.data();
    const std::uint32_t *const aFrom = FromUnicodeTable();
    const auto *const pBase = reinterpret_cast<const unsigned char *>(m_bytes.data());
    const unsigned char *p = pBase + m_nPos;
    const unsigned char *const pEnd = pBase + m_nEnd;
    char *q = pOut;
    // Every input byte gives at most one output byte, so an output block is
    // filled by as many input bytes at least.
    const unsigned char *const pStop = p + std::min(nCap, static_cast<std::size_t>(pEnd - p));
    while (p < pStop && !m_bMalformed) {
        switch (eLoops) {
        case EUtf8Loops::Portable:
            p = DecodeRun<EUtf8Loops::Portable>(p, pStop, q, m_bWide, m_nSeen, m_result.extra, aExtraMap);
            break;
        case EUtf8Loops::Sse2:
            p = DecodeRun<EUtf8Loops::Sse2>(p, pStop, q, m_bWide, m_nSeen, m_result.extra, aExtraMap);
            break;
        case EUtf8Loops::Avx2:
            p = DecodeRun<EUtf8Loops::Avx2>(p, pStop, q, m_bWide, m_nSeen, m_result.extra, aExtraMap);
            break;
        case EUtf8Loops::Avx512:
            p = DecodeRun<EUtf8Loops::Avx512>(p, pStop, q, m_bWide, m_nSeen, m_result.extra, aExtraMap);
            break;
        }
        if (p >= pStop)
            break;
        int n = 0;
        const char32_t cp = ReadUtf8(p, pEnd, n);
        // A character cut by the block's end waits for the next block.
        if (p + n > pStop && q != pOut)
            break;
        if (cp == UTF8_MALFORMED) {
            Problem(ETextProblem::Malformed, p);
            if (m_bBail) {
                m_bMalformed = true;
                break;
            }
            *q++ = '?';
            p += n;
            continue;
        }
        m_bWide = true;
        const std::uint32_t nEntry = cp < 0x10000 ? aFrom[cp] : 0;
        const std::uint16_t nCode = CFileCodeTables::CodeOf(nEntry);
        // The form of a dual-form character met second is one more
        // character Shift-JIS lacks: the code belongs to the first.
        if (nCode == FILECODE_NONE || ((nEntry & FROMUNI_DUAL) && SeenBothForms(m_nSeen | SeenBitOf(nEntry)))) {
            const std::uint16_t nExtra = m_result.extra.Add(cp);
            if (!PutExtra(nExtra, q)) {
                Problem(ETextProblem::TooManyExtra, p, cp);
                *q++ = '?';
            } else if (bMap) {
                // A new character: the blocks from here on take it too.
                if (m_aExtraMap.empty()) {
                    m_aExtraMap.resize(0x10000);
                    aExtraMap = m_aExtraMap.data();
                }
                MapExtra(cp, nExtra);
            }
        } else {
            if (nCode >= 0x100)
                *q++ = static_cast<char>(nCode >> 8);
            *q++ = static_cast<char>(nCode & 0xFF);
            if (nEntry & FROMUNI_DUAL)
                m_nSeen |= SeenBitOf(nEntry);
        }
        p += n;
    }
    m_nPos = static_cast<std::size_t>(p - pBase);
    return static_cast<std::size_t>(q - pOut);
}

CDecodedText CUtf8StreamDecoder::Result() const
{
    CDecodedText result = m_result;
    for (std::size_t i = 0; i < DUAL_FORMS.size(); ++i)
        result.forms.abOther[i] = (m_nSeen >> (2 * i + 1) & 1) != 0;
    return result;
}

CUtf8StreamDecoder CUtf8StreamDecoder::Split(std::size_t nAt)
{
    nAt = std::clamp(nAt, m_nPos, m_nEnd);
    // A byte that is not a trail byte begins a character or is malformed on
    // its own, however the bytes before it decode: both sides then decode
    // as the whole text would.
    while (nAt < m_nEnd && (static_cast<unsigned char>(m_bytes[nAt]) & 0xC0) == 0x80)
        ++nAt;
    m_nSplitExtra = m_result.extra.Size();
    CUtf8StreamDecoder second = *this;
    second.m_nPos = nAt;
    m_nEnd = nAt;
    return second;
}

bool CUtf8StreamDecoder::Join(const CUtf8StreamDecoder &second, CExtraRenumbering *pRenumbering)
{
    m_nEnd = second.m_nEnd;
    if (pRenumbering)
        *pRenumbering = CExtraRenumbering();
    if (m_bMalformed)
        return true;
    // Both sides started from the state at the cut, so the second's output
    // is this one's unless this side met something that changes how the
    // second's characters decode: the other form of a dual-form character
    // the second met first (it took the shared code there), or new
    // characters of the table while the second added some too (its codes
    // follow this side's then).
    const bool bExtraHere = m_result.extra.Size() > m_nSplitExtra;
    const bool bExtraThere = second.m_result.extra.Size() > m_nSplitExtra;
    if (SeenBothForms(m_nSeen | second.m_nSeen))
        return false;
    if (bExtraHere && bExtraThere) {
        // The second's new characters, in the order it met them, go on
        // this table as they would have going on; they must all fit, since
        // one that did not would have been a "?" of another length.
        const std::vector<char32_t> &aThere = second.m_result.extra.Chars();
        if (!pRenumbering || second.m_result.eProblem == ETextProblem::TooManyExtra)
            return false;
        std::size_t nNew = 0;
        for (std::size_t i = m_nSplitExtra; i < aThere.size(); ++i)
            nNew += m_result.extra.Find(aThere[i]) == 0;
        if (m_result.extra.Size() + nNew > EXTRA_CHAR_LIMIT)
            return false;
        pRenumbering->nFirst = m_nSplitExtra;
        for (std::size_t i = m_nSplitExtra; i < aThere.size(); ++i)
            pRenumbering->aCodes.push_back(m_result.extra.Add(aThere[i]));
        // Built again from the table if decoding goes on.
        m_aExtraMap.clear();
    } else if (bExtraThere) {
        m_result.extra = second.m_result.extra;
        m_aExtraMap = second.m_aExtraMap;
    }
    m_nPos = second.m_nPos;
    m_bMalformed = second.m_bMalformed;
    m_bWide = m_bWide || second.m_bWide;
    m_nSeen |= second.m_nSeen;
    if (m_result.eProblem == ETextProblem::None) {
        m_result.eProblem = second.m_result.eProblem;
        m_result.nProblemLine = second.m_result.nProblemLine;
        m_result.cProblem = second.m_result.cProblem;
        m_result.cProblemOther = second.m_result.cProblemOther;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Shift-JIS into UTF-8

namespace {

// Writes the UTF-8 bytes of c at q; their count.
inline int PutUtf8(char *q, char32_t c)
{
    if (c < 0x80) {
        q[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        q[0] = static_cast<char>(0xC0 | c >> 6);
        q[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        q[0] = static_cast<char>(0xE0 | c >> 12);
        q[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        q[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    q[0] = static_cast<char>(0xF0 | c >> 18);
    q[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    q[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    q[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// Encodes the character at p into q; its length in the input, 0 when it has
// no UTF-8 form (a lead byte without its trail, a code that is no character).
inline int EncodeChar(const unsigned char *p, const unsigned char *pEnd, char *&q, const CFileCodeTables &t,
                      const CTextForms &forms, const CExtraChars *pExtra)
{
    const unsigned c = *p;
    std::uint32_t nEntry;
    int nIn = 1;
    if (c - EXTRA_LEAD_FIRST <= EXTRA_LEAD_LAST - EXTRA_LEAD_FIRST && pExtra && pEnd - p >= 2) {
        if (const char32_t cExtra = pExtra->CharOf(static_cast<unsigned char>(c), p[1])) {
            q += PutUtf8(q, cExtra);
            return 2;
        }
    }
    if (IsSjisLeadByte(static_cast<unsigned char>(c))) {
        nEntry = pEnd - p >= 2 ? t.aUtf8Double[c << 8 | p[1]] : 0;
        nIn = 2;
    } else {
        nEntry = t.aUtf8Single[c];
    }
    if (nEntry & TOUTF8_DUAL) {
        const auto nDual = static_cast<std::size_t>(t.aDualIndex[c << 8 | p[1]]);
        if (forms.abOther[nDual])
            nEntry = t.aUtf8Other[nDual];
    }
    if (nEntry == 0)
        return 0;
    std::memcpy(q, &nEntry, 4);
    q += PackedCount(nEntry, 24);
    return nIn;
}

// The encoder's loop, shaped like the decoder's. A trail byte may be ASCII,
// which the mask does not mark, but a character is always taken whole from
// its lead byte.
template <bool bVector>
CTextEncoder::EStop EncodeUtf8Run(const unsigned char *&p, const unsigned char *pEnd, char *&q, char *qEnd,
                                  const CTextForms &forms, const CExtraChars *pExtra)
{
    const CFileCodeTables &t = FileCodeTables();
    constexpr std::ptrdiff_t BLOCK = 64;
    constexpr std::ptrdiff_t READ_AHEAD = BLOCK + 48;
    // A half-width katakana byte becomes three.
    constexpr auto OUT_ROOM = static_cast<std::ptrdiff_t>(3 * BLOCK + CTextEncoder::ENCODE_ROOM);
    while (pEnd - p >= READ_AHEAD && qEnd - q >= OUT_ROOM) {
        std::uint64_t mask = NonAsciiMask64<bVector>(p);
        unsigned nPos = 0;
        while (mask) {
            const auto i = static_cast<unsigned>(__builtin_ctzll(mask));
            CopyAscii<bVector>(q, p + nPos, i - nPos);
            q += i - nPos;
            const int nIn = EncodeChar(p + i, pEnd, q, t, forms, pExtra);
            if (nIn == 0) {
                p += i;
                return CTextEncoder::EStop::Unencodable;
            }
            nPos = i + static_cast<unsigned>(nIn);
            mask = nPos < BLOCK ? mask & ~0ULL << nPos : 0;
        }
        if (nPos < BLOCK) {
            CopyAscii<bVector>(q, p + nPos, BLOCK - nPos);
            q += BLOCK - nPos;
            nPos = BLOCK;
        }
        p += nPos;
    }
    while (p < pEnd) {
        if (qEnd - q < static_cast<std::ptrdiff_t>(CTextEncoder::ENCODE_ROOM))
            return CTextEncoder::EStop::Full;
        if (*p < 0x80) {
            *q++ = static_cast<char>(*p++);
            continue;
        }
        const int nIn = EncodeChar(p, pEnd, q, t, forms, pExtra);
        if (nIn == 0)
            return CTextEncoder::EStop::Unencodable;
        p += nIn;
    }
    return CTextEncoder::EStop::Done;
}

} // namespace

CTextEncoder::EStop CTextEncoder::EncodeUtf8(const char *&pIn, const char *pInEnd, char *&pOut, char *pOutEnd)
{
    const auto *p = reinterpret_cast<const unsigned char *>(pIn);
    const auto *const pEnd = reinterpret_cast<const unsigned char *>(pInEnd);
    const EStop eStop = Utf8Loops() >= EUtf8Loops::Sse2
                            ? EncodeUtf8Run<true>(p, pEnd, pOut, pOutEnd, m_forms, m_pExtra)
                            : EncodeUtf8Run<false>(p, pEnd, pOut, pOutEnd, m_forms, m_pExtra);
    pIn = reinterpret_cast<const char *>(p);
    return eStop;
}
