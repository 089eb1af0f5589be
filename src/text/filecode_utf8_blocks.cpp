// Decoding UTF-8 a 64-byte block at a time with vector instructions.
//
// Japanese text is mostly characters of three bytes mixed with short runs of
// ASCII, and the loop in filecode_utf8.cpp visits each character in turn: the
// next one's place depends on the last one's length, which makes a chain of
// dependent steps per character. Here the whole block is classified first:
// masks of lead, continuation and ASCII bytes say where every character
// starts before any is read, so the block can be checked at once (each lead
// byte followed by exactly its continuation bytes, no overlong form or
// surrogate) and its code points assembled side by side. Each character's
// code is looked up and written over its first two bytes, and the bytes that
// stay (ASCII, and those two bytes of each character) are packed with byte
// shuffles. A block whose characters all have three bytes, as most of
// Japanese text does, skips the work for the other lengths.
//
// Characters the document's table of extra characters already holds take
// their codes there (with AVX2, characters of four bytes too: they hold only
// such codes). Whatever the block cannot take (a character the table has yet
// to meet, a code of one byte for two or more, both forms of a dual-form
// character, malformed bytes) sends the block back whole to the loop that
// called, which knows the rules for it. Nothing written for a block counts
// until the block is taken.
#include "text/filecode_detail.h"
#include "text/filecode_tables.h"

#include <array>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define WP_UTF8_BLOCKS 1
#endif

namespace {

constexpr std::ptrdiff_t BLOCK = 64;

#if defined(WP_UTF8_BLOCKS)

// The byte indices that pack the marked bytes of 8 to the front, for each of
// the 256 masks (an index with its high bit set makes a zero).
constexpr std::array<std::uint64_t, 256> MakePackTable()
{
    std::array<std::uint64_t, 256> a{};
    for (unsigned m = 0; m < 256; ++m) {
        std::uint64_t nIndices = 0x8080808080808080ULL;
        unsigned k = 0;
        for (unsigned b = 0; b < 8; ++b) {
            if (m >> b & 1) {
                nIndices &= ~(0xFFULL << (8 * k));
                nIndices |= static_cast<std::uint64_t>(b) << (8 * k);
                ++k;
            }
        }
        a[m] = nIndices;
    }
    return a;
}
alignas(64) constexpr std::array<std::uint64_t, 256> PACK = MakePackTable();

// The masks of one block, a bit for each byte.
struct CBlockMasks
{
    std::uint64_t nNonAscii = 0;
    std::uint64_t nCont = 0;    // 0x80-0xBF
    std::uint64_t nLead2 = 0;   // 0xC2-0xDF
    std::uint64_t nLead3 = 0;   // 0xE0-0xEF
    std::uint64_t nLead4 = 0;   // 0xF0-0xF4
    std::uint64_t nBad3 = 0;    // a lead byte whose character would be overlong or a surrogate
    std::uint64_t nKana = 0;    // a lead byte of U+FF61-U+FF9F
};

inline std::uint64_t BitsBelow(std::uint64_t n, unsigned i)
{
    return i >= 64 ? n : n & ((1ULL << i) - 1);
}

// Half-width katakana, the one kind of character that becomes a single
// Shift-JIS byte, are made in the vector (U+FF61-U+FF9F are 0xA1-0xDF), so
// that every character looked up has two bytes. Where the table says
// otherwise, blocks holding them are left to the other loops.
bool KanaFollowTheirCodes()
{
    static const bool bPlain = [] {
        const std::uint32_t *const aFrom = FromUnicodeTable();
        for (unsigned k = 0; k <= 0x3E; ++k)
            if (aFrom[0xFF61 + k] != ((0xA1 + k) | 1u << 16))
                return false;
        return true;
    }();
    return bPlain;
}

// Stores a code of the table of extra characters at q; false for none.
inline bool PutExtraCode(const CExtraChars &extra, char32_t c, char *q)
{
    const std::uint16_t nCode = extra.Find(c);
    if (nCode == 0)
        return false;
    q[0] = static_cast<char>(nCode >> 8);
    q[1] = static_cast<char>(nCode & 0xFF);
    return true;
}

// Looks the characters of a checked block up (half-width katakana aside) and
// stores each code over the first two bytes of its character in aBlock, the
// block's bytes, before they are packed: p is the block's input, aExtraMap
// the table's codes of the basic plane (bExtra: there is a table). False when
// a character has no code of two bytes (its own, or the table's) or a dual
// form meets its other form; nSeen then stays as it was.
template <bool bExtra>
[[gnu::always_inline]] inline bool PutCharacters(const CBlockMasks &m, const std::uint16_t *aCp,
                                                 const unsigned char *p, const CExtraChars &extra,
                                                 const std::uint16_t *aExtraMap, char *aBlock, unsigned &nSeen)
{
    const std::uint32_t *const aFrom = FromUnicodeTable();
    std::uint32_t nAll = ~0u;
    std::uint32_t nAny = 0;
    // Without branches: the table's characters stand among the others at
    // random in a page that has them.
    for (std::uint64_t n = (m.nLead2 | m.nLead3) & ~m.nKana; n; n &= n - 1) {
        const auto i = static_cast<unsigned>(__builtin_ctzll(n));
        std::uint32_t nEntry = aFrom[aCp[i]];
        if constexpr (bExtra) {
            // A character without a code of its own takes the table's, with
            // the count of two that says it has one.
            const std::uint32_t nExtra = aExtraMap[aCp[i]];
            nEntry = nEntry == 0 && nExtra != 0 ? nExtra | 2u << 16 : nEntry;
        }
        nAll &= nEntry;
        nAny |= nEntry;
        // Characters have two bytes or more: the codes never overlap.
        std::memcpy(aBlock + i, &nEntry, 2);
    }
    // A count of two has its high bit set; a count of one or none has not.
    if (!(nAll & 2u << 16))
        return false;
    for (std::uint64_t n = m.nLead4; n; n &= n - 1) {
        const auto i = static_cast<unsigned>(__builtin_ctzll(n));
        const char32_t c = (p[i] & 0x07u) << 18 | (p[i + 1] & 0x3Fu) << 12 | (p[i + 2] & 0x3Fu) << 6 | (p[i + 3] & 0x3Fu);
        // Overlong forms and code points past U+10FFFF.
        if (c < 0x10000 || c > 0x10FFFF)
            return false;
        if (!PutExtraCode(extra, c, aBlock + i))
            return false;
    }
    const unsigned nNew = nSeen | SeenBitOf(nAny);
    if (SeenBothForms(nNew))
        return false;
    nSeen = nNew;
    return true;
}

// The block's end and a check of its bytes: a character that would cross the
// end is left for the next block; every byte beyond ASCII must be a lead byte
// or one of the continuation bytes its lead byte calls for.
[[gnu::always_inline]] inline unsigned CheckBlock(CBlockMasks &m, bool bKanaPlain)
{
    const std::uint64_t nCut = (m.nLead4 & 7ULL << 61) | (m.nLead3 & 3ULL << 62) | (m.nLead2 & 1ULL << 63);
    const unsigned nEnd = nCut ? static_cast<unsigned>(__builtin_ctzll(nCut)) : 64;
    const std::uint64_t nRange = BitsBelow(~0ULL, nEnd);
    m.nLead2 &= nRange;
    m.nLead3 &= nRange;
    m.nLead4 &= nRange;
    m.nKana &= nRange;
    const std::uint64_t nExpect =
        m.nLead2 << 1 | m.nLead3 << 1 | m.nLead3 << 2 | m.nLead4 << 1 | m.nLead4 << 2 | m.nLead4 << 3;
    if ((m.nNonAscii & nRange) != (m.nLead2 | m.nLead3 | m.nLead4 | nExpect) || (m.nCont & nExpect) != nExpect
        || (m.nBad3 & m.nLead3) || (m.nKana && !bKanaPlain))
        return 0;
    return nEnd;
}

// Packs the bytes of v that nKeep marks to q, eight at a time (each store
// writes eight bytes, so q needs room for 16); returns the end.
[[gnu::target("ssse3,popcnt"), gnu::always_inline]] inline char *Pack16(__m128i v, unsigned nKeep, char *q)
{
    const unsigned nLow = nKeep & 0xFF;
    const unsigned nHigh = nKeep >> 8 & 0xFF;
    _mm_storel_epi64(reinterpret_cast<__m128i *>(q),
                     _mm_shuffle_epi8(v, _mm_loadl_epi64(reinterpret_cast<const __m128i *>(&PACK[nLow]))));
    q += __builtin_popcount(nLow);
    _mm_storel_epi64(reinterpret_cast<__m128i *>(q),
                     _mm_shuffle_epi8(_mm_srli_si128(v, 8),
                                      _mm_loadl_epi64(reinterpret_cast<const __m128i *>(&PACK[nHigh]))));
    return q + __builtin_popcount(nHigh);
}

#endif

} // namespace

EUtf8Loops BestUtf8Loops()
{
    static const EUtf8Loops eBest = [] {
#if defined(WP_UTF8_BLOCKS)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
            && __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi")
            && __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt"))
            return EUtf8Loops::Avx512;
        if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2")
            && __builtin_cpu_supports("popcnt"))
            return EUtf8Loops::Avx2;
#endif
#if defined(__SSE2__)
        return EUtf8Loops::Sse2;
#else
        return EUtf8Loops::Portable;
#endif
    }();
    return eBest;
}

#if defined(WP_UTF8_BLOCKS)

// The code points are assembled from the bytes after each lead byte:
//   three bytes  hi = b0 << 4 | b1 >> 2 & 0x0F,   lo = b1 << 6 | b2 & 0x3F
//   two bytes    hi = b0 >> 2 & 0x07,             lo = b0 << 6 | b1 & 0x3F
// (x86 has no byte shifts: 16-bit shifts, masked to the byte's own bits).
// Lanes that hold no lead byte get values nobody reads.

namespace {

[[gnu::target("avx2,bmi,bmi2,popcnt"), gnu::always_inline]] inline std::uint64_t Bits32(__m256i x)
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(x));
}

// One 32-byte half of a block: its masks into m (at bit nShift), its code
// points into aCp, and the bytes to pack (a kana's lead byte replaced by its
// Shift-JIS code). With bOnly3 the half's bytes beyond ASCII are all lead
// bytes of three bytes and continuation bytes, the common case of Japanese
// text, whose masks the caller has made: only the code points of three
// bytes, the overlong forms and surrogates, and the kana are made.
template <bool bOnly3>
[[gnu::target("avx2,bmi,bmi2,popcnt"), gnu::always_inline]] inline __m256i ClassifyAvx2(const unsigned char *pAt,
                                                                                         CBlockMasks &m,
                                                                                         unsigned nShift,
                                                                                         std::uint16_t *aCp)
{
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pAt));
    const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pAt + 1));
    const __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pAt + 2));
    const __m256i vC0 = _mm256_set1_epi8(static_cast<char>(0xC0));
    const __m256i vF0 = _mm256_set1_epi8(static_cast<char>(0xF0));
    const __m256i vE0 = _mm256_set1_epi8(static_cast<char>(0xE0));
    const __m256i v3F = _mm256_set1_epi8(0x3F);
    const __m256i vLead3 = _mm256_cmpeq_epi8(_mm256_and_si256(v, vF0), vE0);
    const __m256i vLow1 = _mm256_cmpgt_epi8(_mm256_set1_epi8(-96), v1);
    const __m256i vBad =
        _mm256_or_si256(_mm256_and_si256(_mm256_cmpeq_epi8(v, vE0), vLow1),
                        _mm256_andnot_si256(vLow1, _mm256_cmpeq_epi8(v, _mm256_set1_epi8(static_cast<char>(0xED)))));
    __m256i vHi = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(v, 4), vF0),
                                  _mm256_and_si256(_mm256_srli_epi16(v1, 2), _mm256_set1_epi8(0x0F)));
    __m256i vLo = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(v1, 6), vC0), _mm256_and_si256(v2, v3F));
    if constexpr (!bOnly3) {
        const __m256i vCont = _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), v);
        const __m256i vLead2 = _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8(-63)),
                                                _mm256_cmpgt_epi8(_mm256_set1_epi8(-32), v));
        const __m256i vLead4 = _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8(-17)),
                                                _mm256_cmpgt_epi8(_mm256_set1_epi8(-11), v));
        const __m256i vHi2 = _mm256_and_si256(_mm256_srli_epi16(v, 2), _mm256_set1_epi8(0x07));
        const __m256i vLo2 =
            _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(v, 6), vC0), _mm256_and_si256(v1, v3F));
        vHi = _mm256_blendv_epi8(vHi2, vHi, vLead3);
        vLo = _mm256_blendv_epi8(vLo2, vLo, vLead3);
        m.nCont |= Bits32(vCont) << nShift;
        m.nLead2 |= Bits32(vLead2) << nShift;
        m.nLead3 |= Bits32(vLead3) << nShift;
        m.nLead4 |= Bits32(vLead4) << nShift;
    }
    const __m256i vKanaLo = _mm256_sub_epi8(vLo, _mm256_set1_epi8(0x61));
    const __m256i vKana =
        _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(vHi, _mm256_set1_epi8(-1)), vLead3),
                         _mm256_cmpeq_epi8(_mm256_min_epu8(vKanaLo, _mm256_set1_epi8(0x3E)), vKanaLo));
    m.nBad3 |= Bits32(vBad) << nShift;
    m.nKana |= Bits32(vKana) << nShift;
    // The 64-bit quarters in the order 0 2 1 3, so that the byte interleave
    // (which works within 128-bit halves) gives the code points in order.
    const __m256i vLoQ = _mm256_permute4x64_epi64(vLo, 0xD8);
    const __m256i vHiQ = _mm256_permute4x64_epi64(vHi, 0xD8);
    _mm256_store_si256(reinterpret_cast<__m256i *>(aCp), _mm256_unpacklo_epi8(vLoQ, vHiQ));
    _mm256_store_si256(reinterpret_cast<__m256i *>(aCp + 16), _mm256_unpackhi_epi8(vLoQ, vHiQ));
    return _mm256_blendv_epi8(v, _mm256_add_epi8(vLo, _mm256_set1_epi8(0x40)), vKana);
}

// Checks a classified block, looks its characters up and packs it to q: the
// block's end, or 0 when the block is left to the caller (nothing written
// then counts).
[[gnu::target("avx2,bmi,bmi2,popcnt"), gnu::always_inline]] inline unsigned
TakeBlockAvx2(CBlockMasks &m, __m256i vA, __m256i vB, const std::uint16_t *aCp, const unsigned char *p,
              bool bKanaPlain, const CExtraChars &extra, const std::uint16_t *aExtraMap, char *&q, unsigned &nSeen)
{
    const unsigned nEnd = CheckBlock(m, bKanaPlain);
    if (nEnd == 0)
        return 0;
    alignas(32) char aBlock[BLOCK];
    _mm256_store_si256(reinterpret_cast<__m256i *>(aBlock), vA);
    _mm256_store_si256(reinterpret_cast<__m256i *>(aBlock + 32), vB);
    if (!(aExtraMap ? PutCharacters<true>(m, aCp, p, extra, aExtraMap, aBlock, nSeen)
                    : PutCharacters<false>(m, aCp, p, extra, aExtraMap, aBlock, nSeen)))
        return 0;
    vA = _mm256_load_si256(reinterpret_cast<const __m256i *>(aBlock));
    vB = _mm256_load_si256(reinterpret_cast<const __m256i *>(aBlock + 32));
    const std::uint64_t nKeep =
        BitsBelow(~0ULL, nEnd) & ~(m.nLead3 << 2 | m.nKana << 1 | m.nLead4 << 2 | m.nLead4 << 3);
    q = Pack16(_mm256_castsi256_si128(vA), static_cast<unsigned>(nKeep) & 0xFFFF, q);
    q = Pack16(_mm256_extracti128_si256(vA, 1), static_cast<unsigned>(nKeep >> 16) & 0xFFFF, q);
    q = Pack16(_mm256_castsi256_si128(vB), static_cast<unsigned>(nKeep >> 32) & 0xFFFF, q);
    q = Pack16(_mm256_extracti128_si256(vB, 1), static_cast<unsigned>(nKeep >> 48) & 0xFFFF, q);
    return nEnd;
}

} // namespace

[[gnu::target("avx2,bmi,bmi2,popcnt")]] const unsigned char *
DecodeUtf8BlocksAvx2(const unsigned char *p, const unsigned char *pLast, char *&qOut, bool &bWideOut,
                     unsigned &nSeenOut, const CExtraChars &extra, const std::uint16_t *aExtraMap)
{
    const bool bKanaPlain = KanaFollowTheirCodes();
    char *q = qOut;
    bool bWide = bWideOut;
    unsigned nSeen = nSeenOut;
    alignas(32) std::uint16_t aCp[BLOCK];
    while (p <= pLast) {
        __m256i vA = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        __m256i vB = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 32));
        const std::uint64_t nNonAscii =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(vA))
            | static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(vB))) << 32;
        if (nNonAscii == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(q), vA);
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(q + 32), vB);
            q += BLOCK;
            p += BLOCK;
            continue;
        }
        CBlockMasks m;
        m.nNonAscii = nNonAscii;
        const __m256i vF0 = _mm256_set1_epi8(static_cast<char>(0xF0));
        const __m256i vE0 = _mm256_set1_epi8(static_cast<char>(0xE0));
        const std::uint64_t nCont = Bits32(_mm256_cmpgt_epi8(_mm256_set1_epi8(-64), vA))
                                    | Bits32(_mm256_cmpgt_epi8(_mm256_set1_epi8(-64), vB)) << 32;
        const std::uint64_t nLead3 = Bits32(_mm256_cmpeq_epi8(_mm256_and_si256(vA, vF0), vE0))
                                     | Bits32(_mm256_cmpeq_epi8(_mm256_and_si256(vB, vF0), vE0)) << 32;
        if ((nNonAscii & ~nCont & ~nLead3) == 0) {
            m.nCont = nCont;
            m.nLead3 = nLead3;
            vA = ClassifyAvx2<true>(p, m, 0, aCp);
            vB = ClassifyAvx2<true>(p + 32, m, 32, aCp + 32);
        } else {
            vA = ClassifyAvx2<false>(p, m, 0, aCp);
            vB = ClassifyAvx2<false>(p + 32, m, 32, aCp + 32);
        }
        const unsigned nEnd = TakeBlockAvx2(m, vA, vB, aCp, p, bKanaPlain, extra, aExtraMap, q, nSeen);
        if (nEnd == 0)
            break;
        bWide = bWide || (m.nLead2 | m.nLead3 | m.nLead4) != 0;
        p += nEnd;
    }
    qOut = q;
    bWideOut = bWide;
    nSeenOut = nSeen;
    return p;
}

// GCC 12's AVX-512 conversions start from a register left undefined on
// purpose, which its own flow analysis then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// With AVX-512 the whole block is one register and nothing is visited one
// character at a time: the code points of the lead bytes are packed side by
// side, their entries gathered, and the two-byte codes spread back over the
// lead bytes and the byte after each (a character always has two bytes or
// more, so these never overlap) before the block is packed.
[[gnu::target("avx512f,avx512bw,avx512vbmi2,bmi,bmi2,popcnt")]] const unsigned char *
DecodeUtf8BlocksAvx512(const unsigned char *p, const unsigned char *pLast, char *&qOut, bool &bWideOut,
                       unsigned &nSeenOut)
{
    const bool bKanaPlain = KanaFollowTheirCodes();
    const auto *const aFrom = reinterpret_cast<const int *>(FromUnicodeTable());
    char *q = qOut;
    bool bWide = bWideOut;
    unsigned nSeen = nSeenOut;
    const __m512i vC0 = _mm512_set1_epi8(static_cast<char>(0xC0));
    const __m512i vF0 = _mm512_set1_epi8(static_cast<char>(0xF0));
    const __m512i vE0 = _mm512_set1_epi8(static_cast<char>(0xE0));
    const __m512i v3F = _mm512_set1_epi8(0x3F);
    const __m512i vCount2 = _mm512_set1_epi32(2 << 16);
    // The bits of the dual forms not seen yet: as long as no entry has one,
    // the forms seen stay as they are and no two can meet.
    __m512i vUnseen = _mm512_set1_epi32(static_cast<int>(~nSeen << FROMUNI_SEEN_SHIFT & FROMUNI_DUAL));
    while (p <= pLast) {
        const __m512i v = _mm512_loadu_si512(p);
        CBlockMasks m;
        m.nNonAscii = _mm512_movepi8_mask(v);
        if (m.nNonAscii == 0) {
            _mm512_storeu_si512(q, v);
            q += BLOCK;
            p += BLOCK;
            continue;
        }
        const __m512i v1 = _mm512_loadu_si512(p + 1);
        const __m512i v2 = _mm512_loadu_si512(p + 2);
        m.nCont = _mm512_cmplt_epi8_mask(v, _mm512_set1_epi8(-64));
        m.nLead3 = _mm512_cmpeq_epi8_mask(_mm512_and_si512(v, vF0), vE0);
        m.nLead2 = _mm512_cmple_epu8_mask(_mm512_sub_epi8(v, _mm512_set1_epi8(static_cast<char>(0xC2))),
                                          _mm512_set1_epi8(0xDF - 0xC2));
        const __mmask64 nLow1 = _mm512_cmplt_epi8_mask(v1, _mm512_set1_epi8(-96));
        m.nBad3 = (_mm512_cmpeq_epi8_mask(v, vE0) & nLow1)
                  | (_mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(static_cast<char>(0xED))) & ~nLow1);
        const __m512i vHi3 = _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(v, 4), vF0),
                                             _mm512_and_si512(_mm512_srli_epi16(v1, 2), _mm512_set1_epi8(0x0F)));
        const __m512i vLo3 =
            _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(v1, 6), vC0), _mm512_and_si512(v2, v3F));
        const __m512i vHi2 = _mm512_and_si512(_mm512_srli_epi16(v, 2), _mm512_set1_epi8(0x07));
        const __m512i vLo2 =
            _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(v, 6), vC0), _mm512_and_si512(v1, v3F));
        const __m512i vHi = _mm512_mask_blend_epi8(m.nLead3, vHi2, vHi3);
        const __m512i vLo = _mm512_mask_blend_epi8(m.nLead3, vLo2, vLo3);
        m.nKana = m.nLead3 & _mm512_cmpeq_epi8_mask(vHi, _mm512_set1_epi8(-1))
                  & _mm512_cmple_epu8_mask(_mm512_sub_epi8(vLo, _mm512_set1_epi8(0x61)), _mm512_set1_epi8(0x3E));
        const unsigned nEnd = CheckBlock(m, bKanaPlain);
        if (nEnd == 0)
            break;
        const std::uint64_t nLeads = (m.nLead2 | m.nLead3) & ~m.nKana;
        const auto nChars = static_cast<unsigned>(__builtin_popcountll(nLeads));
        // The code points side by side: at most 32 characters fit in 64 bytes.
        const __m512i vLoPacked = _mm512_maskz_compress_epi8(nLeads, vLo);
        const __m512i vHiPacked = _mm512_maskz_compress_epi8(nLeads, vHi);
        __m512i vLoIdx = _mm512_cvtepu8_epi32(_mm512_castsi512_si128(vLoPacked));
        __m512i vHiIdx = _mm512_cvtepu8_epi32(_mm512_castsi512_si128(vHiPacked));
        const auto nValid0 = static_cast<__mmask16>(BitsBelow(0xFFFF, nChars));
        const __m512i vEntries0 = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), nValid0,
                                                              _mm512_or_si512(vLoIdx, _mm512_slli_epi32(vHiIdx, 8)),
                                                              aFrom, 4);
        // Masked-off lanes stay zero: no count, no forms.
        __mmask16 nBad = nValid0 & ~_mm512_test_epi32_mask(vEntries0, vCount2);
        __m512i vForms = vEntries0;
        __m512i vCodes = _mm512_castsi256_si512(_mm512_cvtepi32_epi16(vEntries0));
        if (nChars > 16) {
            vLoIdx = _mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(vLoPacked, 1));
            vHiIdx = _mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(vHiPacked, 1));
            const auto nValid1 = static_cast<__mmask16>(BitsBelow(0xFFFF, nChars - 16));
            const __m512i vEntries1 = _mm512_mask_i32gather_epi32(
                _mm512_setzero_si512(), nValid1, _mm512_or_si512(vLoIdx, _mm512_slli_epi32(vHiIdx, 8)), aFrom, 4);
            nBad |= nValid1 & ~_mm512_test_epi32_mask(vEntries1, vCount2);
            vForms = _mm512_or_si512(vForms, vEntries1);
            vCodes = _mm512_inserti64x4(vCodes, _mm512_cvtepi32_epi16(vEntries1), 1);
        }
        if (nBad)
            break;
        if (_mm512_test_epi32_mask(vForms, vUnseen)) {
            const unsigned nNewSeen = nSeen | SeenBitOf(static_cast<unsigned>(_mm512_reduce_or_epi32(vForms)));
            if (SeenBothForms(nNewSeen))
                break;
            nSeen = nNewSeen;
            vUnseen = _mm512_set1_epi32(static_cast<int>(~nSeen << FROMUNI_SEEN_SHIFT & FROMUNI_DUAL));
        }
        // Each code over its lead byte and the next; each kana's code over its lead byte.
        const __m512i vWithKana = _mm512_mask_add_epi8(v, m.nKana, vLo, _mm512_set1_epi8(0x40));
        const __m512i vOut = _mm512_mask_expand_epi8(vWithKana, nLeads | nLeads << 1, vCodes);
        const std::uint64_t nKeep = BitsBelow(~0ULL, nEnd) & ~(m.nLead3 << 2 | m.nKana << 1);
        _mm512_storeu_si512(q, _mm512_maskz_compress_epi8(nKeep, vOut));
        q += __builtin_popcountll(nKeep);
        bWide = bWide || (m.nLead2 | m.nLead3) != 0;
        p += nEnd;
    }
    qOut = q;
    bWideOut = bWide;
    nSeenOut = nSeen;
    return p;
}

#pragma GCC diagnostic pop

#else

const unsigned char *DecodeUtf8BlocksAvx2(const unsigned char *p, const unsigned char *, char *&, bool &, unsigned &,
                                          const CExtraChars &, const std::uint16_t *)
{
    return p;
}

const unsigned char *DecodeUtf8BlocksAvx512(const unsigned char *p, const unsigned char *, char *&, bool &,
                                            unsigned &)
{
    return p;
}

#endif
