// Pieces shared by the file-code converters: internal to them and to their
// tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/filecode.h"

// Length of the ASCII run at p, eight bytes at a time.
inline std::size_t AsciiRun(const unsigned char *p, const unsigned char *pEnd)
{
    const unsigned char *q = p;
    while (pEnd - q >= 8) {
        std::uint64_t w;
        std::memcpy(&w, q, 8);
        if (w & 0x8080808080808080ULL)
            break;
        q += 8;
    }
    while (q < pEnd && *q < 0x80)
        ++q;
    return static_cast<std::size_t>(q - p);
}

inline constexpr char32_t UTF8_MALFORMED = 0xFFFFFFFF;

// Reads one UTF-8 sequence at p; UTF8_MALFORMED when it is malformed (n is
// then 1). Overlong forms, surrogates and code points past U+10FFFF are
// malformed.
inline char32_t ReadUtf8(const unsigned char *p, const unsigned char *pEnd, int &n)
{
    const unsigned char c = p[0];
    int nMore;
    char32_t cMin;
    if (c >= 0xC2 && c <= 0xDF) {
        nMore = 1;
        cMin = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        nMore = 2;
        cMin = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        nMore = 3;
        cMin = 0x10000;
    } else {
        n = 1;
        return UTF8_MALFORMED;
    }
    n = 1;
    if (pEnd - p <= nMore)
        return UTF8_MALFORMED;
    char32_t cp = c & (0x3F >> nMore);
    for (int k = 1; k <= nMore; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return UTF8_MALFORMED;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < cMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return UTF8_MALFORMED;
    n = nMore + 1;
    return cp;
}

// The line (from 1) of a byte offset: CR LF, LF and a lone CR each end one.
int LineOfOffset(std::string_view bytes, std::size_t nOffset);

// Records a problem of decoding bytes unless an earlier one is recorded: the
// read-only message names the first.
void NoteFirstProblem(CDecodedText &result, std::string_view bytes, const unsigned char *pAt, ETextProblem eProblem,
                      char32_t c, char32_t cOther);

// The loops that decode and encode UTF-8, from the plainest up. The portable
// loops copy ASCII eight bytes at a time, the SSE2 ones sixteen; with AVX2
// (and BMI2), and more so with AVX-512 (BW and VBMI2, which pack bytes),
// decoding also takes whole 64-byte blocks of ASCII and characters of two and
// three bytes at once. The best the processor has is chosen once; choosing
// another is process-wide and only there so that tests and benchmarks can run
// every kind (a choice the processor cannot run is lowered to the best it can).
enum class EUtf8Loops
{
    Portable,
    Sse2,
    Avx2,
    Avx512,
};
EUtf8Loops BestUtf8Loops();
void SetUtf8Loops(EUtf8Loops eLoops);
EUtf8Loops Utf8Loops();
const char *Utf8LoopsName(EUtf8Loops eLoops);

// The block decoders behind Avx2 and Avx512 (filecode_utf8_blocks.cpp).
// Each decodes 64-byte blocks from p, a character's start, while p <= pLast
// (at least 112 bytes are readable at p, and q has as much room as p has
// input before it) and each block holds nothing but ASCII and characters of
// two or three bytes whose Shift-JIS form the fast loops may take: a plain
// code, or a dual form that does not meet its other form in nSeen. With AVX2,
// characters (of four bytes too) that extra already holds are also taken;
// aExtraMap has its codes of the basic plane (CUtf8StreamDecoder keeps it;
// null without a table). A block ends early before a character that would
// cross its end. Returns where it stopped, at the start of the first block
// it left alone.
const unsigned char *DecodeUtf8BlocksAvx2(const unsigned char *p, const unsigned char *pLast, char *&q,
                                          bool &bWide, unsigned &nSeen, const CExtraChars &extra,
                                          const std::uint16_t *aExtraMap);
const unsigned char *DecodeUtf8BlocksAvx512(const unsigned char *p, const unsigned char *pLast, char *&q,
                                            bool &bWide, unsigned &nSeen);
