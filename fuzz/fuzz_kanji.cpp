// Kanji code detection, the built-in converter and the NKF layer on arbitrary
// bytes: no crash or overrun anywhere, and round trips that must hold on the
// well-formed text filtered out of the same input.
#include "text/codec.h"
#include "text/kanji.h"
#include "text/nkf.h"
#include "text/sjis.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool bOk, const char *pszWhat)
{
    if (!bOk) {
        std::fprintf(stderr, "property failed: %s\n", pszWhat);
        std::abort();
    }
}

// Keeps the characters every routine converts without loss: printable ASCII,
// tab and line ends, half-width katakana, and pairs that CP932 maps (bOnlyJisRows:
// only those whose arithmetic JIS row lies within 0x21-0x7E).
std::string WellFormed(std::string_view in, bool bOnlyJisRows)
{
    std::string out;
    std::size_t i = 0;
    while (i < in.size()) {
        const auto c = static_cast<unsigned char>(in[i]);
        const int n = SjisCharLength(in.data() + i, in.size() - i);
        if (n == 2) {
            int nDecoded = 0;
            const KanjiBytePair jis = SjisToJisPair(c, static_cast<unsigned char>(in[i + 1]));
            const bool bRowOk = jis.c1 >= 0x21 && jis.c1 <= 0x7E;
            const bool bMapped = Cp932DecodeChar(in.data() + i, 2, nDecoded) != CODEC_INVALID;
            if (bOnlyJisRows ? bRowOk : bMapped)
                out.append(in.substr(i, 2));
        } else if ((c >= 0x20 && c <= 0x7E) || c == '\t' || c == '\n' || c == '\r' || IsSjisKana(c)) {
            out += static_cast<char>(c);
        }
        i += static_cast<std::size_t>(n);
    }
    return out;
}

bool SevenBit(const std::string &s)
{
    for (unsigned char c : s) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

void BuiltInConverter(std::string_view in)
{
    const int nCode = DetectKanjiCode(reinterpret_cast<const unsigned char *>(in.data()),
                                      static_cast<int>(in.size()));
    Check(nCode >= KANJI_SJIS && nCode <= KANJI_UNKNOWN, "detected code in range");
    for (int nIn : {KANJI_SJIS, KANJI_EUC, KANJI_JIS, KANJI_UNKNOWN}) {
        for (int nOut : {OUTCODE_SJIS, OUTCODE_EUC, OUTCODE_JIS}) {
            const std::string out = ConvertKanjiCodeFrom(in, nIn, nOut);
            Check(out.find('\0') == std::string::npos, "output stops at the first NUL");
        }
    }
    ConvertKanjiCode(in, OUTCODE_JIS);

    const std::string sjis = WellFormed(in, true);
    const std::string wide = ConvertKanjiCodeFrom(sjis, KANJI_SJIS, OUTCODE_SJIS);
    const std::string euc = ConvertKanjiCodeFrom(sjis, KANJI_SJIS, OUTCODE_EUC);
    const std::string jis = ConvertKanjiCodeFrom(sjis, KANJI_SJIS, OUTCODE_JIS);
    Check(ConvertKanjiCodeFrom(euc, KANJI_EUC, OUTCODE_SJIS) == wide, "SJIS -> EUC -> SJIS");
    Check(ConvertKanjiCodeFrom(jis, KANJI_JIS, OUTCODE_SJIS) == wide, "SJIS -> JIS -> SJIS");
    Check(ConvertKanjiCodeFrom(jis, KANJI_JIS, OUTCODE_EUC) == euc, "SJIS -> JIS -> EUC");
    Check(ConvertKanjiCodeFrom(jis, KANJI_JIS, OUTCODE_JIS) == jis, "JIS output is canonical");
    Check(ConvertKanjiCodeFrom(euc, KANJI_EUC, OUTCODE_JIS) == jis, "EUC -> JIS");
    Check(ConvertKanjiCodeFrom(euc, KANJI_EUC, OUTCODE_EUC) == euc, "EUC -> EUC");
    Check(SevenBit(jis), "JIS output is 7-bit");
}

void NkfLayer(std::string_view in)
{
    NkfGuessCode(in);
    for (int nCode : {KANJI_SJIS, KANJI_EUC, KANJI_JIS})
        NkfToCp932(in, nCode);
    for (int nOut : {OUTCODE_SJIS, OUTCODE_EUC, OUTCODE_JIS})
        NkfFromCp932(in, nOut);
    NkfDecodeMime(in);
    Check(NkfWidenKana(in).size() <= 2 * in.size(), "widening at most doubles");
    std::string narrow(in);
    NkfNarrowAlnum(narrow);
    Check(narrow.size() <= in.size(), "narrowing never grows");

    static CNkfLibrary nkf;
    static const char *const options[] = {"sm", "e", "j", "s", ""};
    nkf.SetNkfOption(options[in.empty() ? 0 : static_cast<unsigned char>(in[0]) % 5]);
    std::string out;
    Check(nkf.NkfConvert(in, out), "library loaded");

    const std::string cp932 = WellFormed(in, false);
    const std::string euc = NkfFromCp932(cp932, OUTCODE_EUC);
    const std::string jis = NkfFromCp932(cp932, OUTCODE_JIS);
    Check(SevenBit(jis), "NKF JIS output is 7-bit");
    Check(Cp932ToUtf8(NkfToCp932(euc, KANJI_EUC)) == Cp932ToUtf8(cp932), "NKF EUC round trip");
    Check(Cp932ToUtf8(NkfToCp932(jis, KANJI_JIS)) == Cp932ToUtf8(NkfWidenKana(cp932)),
          "NKF JIS round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view in(reinterpret_cast<const char *>(data), size);
    BuiltInConverter(in);
    NkfLayer(in);
    return 0;
}
