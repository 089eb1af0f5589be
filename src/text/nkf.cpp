#include "text/nkf.h"

#include "text/filecode.h"
#include "text/iconvstream.h"
#include "text/kanji.h"
#include "text/sjis.h"

#include <algorithm>
#include <cstring>

namespace {

using Byte = unsigned char;

const char *const CODE_CP932 = "CP932";
// Unlike plain EUC-JP, EUC-JP-MS keeps the NEC and IBM extensions of CP932.
const char *const CODE_EUC = "EUC-JP-MS";

inline bool IsEucByte(Byte c)
{
    return c >= 0xA1 && c <= 0xFE;
}

// Length of a well-formed EUC sequence at p, or 1 for a byte that starts none.
std::size_t EucSequenceLength(const Byte *p, std::size_t n)
{
    if (p[0] == 0x8E)
        return n >= 2 && IsSjisKana(p[1]) ? 2 : 1;
    if (p[0] == 0x8F)
        return n >= 3 && IsEucByte(p[1]) && IsEucByte(p[2]) ? 3 : 1;
    if (IsEucByte(p[0]))
        return n >= 2 && IsEucByte(p[1]) ? 2 : 1;
    return 1;
}

// Rows 1 to 84 are JIS X 0208 (with the NEC row 13), where CP932 and EUC-JP-MS
// follow the arithmetic mapping; rows 85 to 94 hold user-defined characters
// that they place differently.
inline bool IsArithmeticRow(Byte row)
{
    return row >= 0x21 && row <= 0x74;
}

// EUC -> CP932: an empty JIS X 0208 cell, which iconv refuses, takes its
// arithmetic Shift-JIS form; anything else is kept.
template <typename Sink>
std::size_t EucFallback(const Byte *p, std::size_t n, Sink &sink)
{
    const std::size_t nLength = EucSequenceLength(p, n);
    if (nLength == 2 && IsArithmeticRow(p[0] & 0x7F)) {
        const KanjiBytePair s = JisToSjisPair(p[0] & 0x7F, p[1] & 0x7F);
        const char pair[2] = {static_cast<char>(s.c1), static_cast<char>(s.c2)};
        sink.Converted(pair, 2);
    } else {
        sink.Raw(p, nLength);
    }
    return nLength;
}

// CP932 -> EUC: the same the other way round.
template <typename Sink>
std::size_t Cp932Fallback(const Byte *p, std::size_t n, Sink &sink)
{
    const int nLength = SjisCharLength(reinterpret_cast<const char *>(p), n);
    if (nLength == 2) {
        const KanjiBytePair jis = SjisToJisPair(p[0], p[1]);
        if (IsArithmeticRow(jis.c1)) {
            const char pair[2] = {static_cast<char>(jis.c1 | 0x80), static_cast<char>(jis.c2 | 0x80)};
            sink.Converted(pair, 2);
            return 2;
        }
    }
    sink.Raw(p, static_cast<std::size_t>(nLength));
    return static_cast<std::size_t>(nLength);
}

// ---------------------------------------------------------------------------
// ISO-2022-JP input.

enum EJisMode
{
    JIS_ASCII,
    JIS_KANJI,  // JIS X 0208 (or X 0213 plane 1, read as 0208)
    JIS_X0212,
    JIS_KANA    // JIS X 0201 katakana
};

struct JisEscapeInfo
{
    std::size_t nLength;  // 0: not an escape sequence we know
    EJisMode mode;        // the mode it selects
};

// The escape sequence at p, given the mode in force.
JisEscapeInfo JisEscape(const Byte *p, std::size_t n, EJisMode mode)
{
    if (n < 2)
        return {0, mode};
    switch (p[1]) {
    case 'K':  // NEC kanji in
        return {2, JIS_KANJI};
    case 'H':  // NEC kanji out
        return {2, JIS_ASCII};
    case '(':
        if (n < 3)
            return {0, mode};
        switch (p[2]) {
        case 'B':
        case 'J':
        case 'H':
            return {3, JIS_ASCII};
        case 'I':
            return {3, JIS_KANA};
        default:
            return {0, mode};
        }
    case '$':
        if (n >= 3 && (p[2] == 'B' || p[2] == '@'))
            return {3, JIS_KANJI};
        if (n < 4 || p[2] != '(')
            return {0, mode};
        switch (p[3]) {
        case 'B':
        case 'Q':
        case 'O':
            return {4, JIS_KANJI};
        case 'D':
            return {4, JIS_X0212};
        default:
            return {0, mode};
        }
    case '&':
        // The JIS X 0208-1990 announcer before ESC $ B changes nothing.
        return {n >= 3 && p[2] == '@' ? 3u : 0u, mode};
    default:
        return {0, mode};
    }
}

inline bool IsJis7(Byte c)
{
    return c >= 0x21 && c <= 0x7E;
}

bool HasJisEscape(std::string_view text)
{
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    const Byte *end = p + text.size();
    while ((p = static_cast<const Byte *>(std::memchr(p, KANJI_ESC, end - p))) != nullptr) {
        const JisEscapeInfo esc = JisEscape(p, static_cast<std::size_t>(end - p), JIS_ASCII);
        if (esc.nLength != 0 && esc.mode != JIS_ASCII)
            return true;
        ++p;
    }
    return false;
}

// JIS -> CP932. The text is rewritten as EUC run by run and each run goes
// through iconv; bytes that belong to no character set of the text (8-bit
// bytes other than katakana, unknown escapes) are kept outside the runs, so
// iconv can never read them as part of a character.
std::string JisToCp932(std::string_view text)
{
    CIconv cd(CODE_CP932, CODE_EUC);
    if (!cd.IsOpen())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    CAppendSink sink{out};
    char run[1 << 14];
    char *q = run;  // end of the run
    // Plain functions rather than lambdas over q, so that q can stay in a register.
    const auto flush = [](iconv_t cd, char *pRun, char *pEnd, CAppendSink &sink) {
        IconvStream(cd, std::string_view(pRun, static_cast<std::size_t>(pEnd - pRun)), sink,
                    EucFallback<CAppendSink>);
        return pRun;
    };
    EJisMode mode = JIS_ASCII;
    bool bShift = false;  // SO in force
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    const Byte *end = p + text.size();
    while (p < end) {
        if (run + sizeof run - q < 4)
            q = flush(cd.Get(), run, q, sink);
        // Runs of kanji and of ASCII, the bulk of a text, in loops of their own.
        const std::size_t nRoom = std::min(static_cast<std::size_t>(end - p),
                                           static_cast<std::size_t>(run + sizeof run - q));
        if (!bShift && mode == JIS_KANJI) {
            const Byte *pStop = p + (nRoom & ~std::size_t{1});
            for (; p < pStop && IsJis7(p[0]) && IsJis7(p[1]); p += 2) {
                *q++ = static_cast<char>(p[0] | 0x80);
                *q++ = static_cast<char>(p[1] | 0x80);
            }
        } else if (!bShift && mode == JIS_ASCII) {
            const Byte *pStop = p + nRoom;
            for (; p < pStop && *p < 0x80 && *p != KANJI_ESC && *p != KANJI_SO && *p != KANJI_SI; ++p)
                *q++ = static_cast<char>(*p);
        }
        if (p == end || run + sizeof run - q < 4)
            continue;
        const Byte c = *p;
        if (c == KANJI_ESC) {
            const JisEscapeInfo esc = JisEscape(p, static_cast<std::size_t>(end - p), mode);
            mode = esc.mode;
            if (esc.nLength == 0) {
                q = flush(cd.Get(), run, q, sink);
                out += static_cast<char>(c);
                ++p;
            } else {
                p += esc.nLength;
            }
        } else if (c == KANJI_SO || c == KANJI_SI) {
            bShift = c == KANJI_SO;
            ++p;
        } else if (c < 0x21 || c == 0x7F) {
            *q++ = static_cast<char>(c);
            ++p;
        } else if (c >= 0x80) {
            // 8-bit katakana (JIS8) are read in any mode.
            if (IsSjisKana(c)) {
                *q++ = '\x8E';
                *q++ = static_cast<char>(c);
            } else {
                q = flush(cd.Get(), run, q, sink);
                out += static_cast<char>(c);
            }
            ++p;
        } else if ((bShift || mode == JIS_KANA) && c <= 0x5F) {
            *q++ = '\x8E';
            *q++ = static_cast<char>(c | 0x80);
            ++p;
        } else if (!bShift && (mode == JIS_KANJI || mode == JIS_X0212) && end - p >= 2 && IsJis7(p[1])) {
            if (mode == JIS_X0212)
                *q++ = '\x8F';
            *q++ = static_cast<char>(c | 0x80);
            *q++ = static_cast<char>(p[1] | 0x80);
            p += 2;
        } else if (mode == JIS_ASCII && !bShift) {
            *q++ = static_cast<char>(c);
            ++p;
        } else {
            // Half a double-byte character, or a byte outside the katakana set.
            q = flush(cd.Get(), run, q, sink);
            out += static_cast<char>(c);
            ++p;
        }
    }
    flush(cd.Get(), run, q, sink);
    return out;
}

// ---------------------------------------------------------------------------
// ISO-2022-JP output: takes EUC from iconv and writes 7-bit JIS, returning to
// ASCII before every byte that is not a kanji, so each line ends in ASCII.
struct CIso2022Sink
{
    std::string &out;
    EJisMode mode = JIS_ASCII;

    void SetMode(EJisMode next)
    {
        if (mode == next)
            return;
        out += next == JIS_ASCII ? "\x1b(B" : next == JIS_KANJI ? "\x1b$B" : "\x1b$(D";
        mode = next;
    }
    void Converted(const char *pText, std::size_t n)
    {
        const auto *p = reinterpret_cast<const Byte *>(pText);
        const Byte *end = p + n;
        while (p < end) {
            const std::size_t nLength = EucSequenceLength(p, static_cast<std::size_t>(end - p));
            if (nLength == 2 && p[0] != 0x8E) {
                SetMode(JIS_KANJI);
                out += static_cast<char>(p[0] & 0x7F);
                out += static_cast<char>(p[1] & 0x7F);
            } else if (nLength == 3) {
                SetMode(JIS_X0212);
                out += static_cast<char>(p[1] & 0x7F);
                out += static_cast<char>(p[2] & 0x7F);
            } else {
                // Katakana never get here: they are widened before conversion.
                Raw(p, nLength);
            }
            p += nLength;
        }
    }
    void Raw(const Byte *p, std::size_t n)
    {
        SetMode(JIS_ASCII);
        out.append(reinterpret_cast<const char *>(p), n);
    }
};

// ---------------------------------------------------------------------------

// Bytes that belong to no character when the text is read as Shift-JIS.
int CountSjisErrors(std::string_view text)
{
    int nErrors = 0;
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    const Byte *end = p + text.size();
    while (p < end) {
        const Byte c = *p;
        if (c < 0x80) {
            ++p;
        } else if (IsSjisLeadByte(c) && end - p >= 2 && IsSjisTrailByte(p[1])) {
            p += 2;
        } else {
            nErrors += IsSjisKana(c) ? 0 : 1;
            ++p;
        }
    }
    return nErrors;
}

// The same read as EUC.
int CountEucErrors(std::string_view text)
{
    int nErrors = 0;
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    const Byte *end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const std::size_t nLength = EucSequenceLength(p, static_cast<std::size_t>(end - p));
        nErrors += nLength == 1 ? 1 : 0;
        p += nLength;
    }
    return nErrors;
}

} // namespace

// ---------------------------------------------------------------------------

int NkfGuessCode(std::string_view text)
{
    if (HasJisEscape(text))
        return KANJI_JIS;
    // A megabyte of Japanese text tells the codes apart as well as the whole
    // of a long file would; the window starts where the first 8-bit byte is.
    constexpr std::size_t WINDOW = 1 << 20;
    const auto it = std::find_if(text.begin(), text.end(),
                                 [](char ch) { return static_cast<Byte>(ch) >= 0x80; });
    const std::string_view window = text.substr(static_cast<std::size_t>(it - text.begin()), WINDOW);
    const int nSjisErrors = CountSjisErrors(window);
    const int nEucErrors = CountEucErrors(window);
    if (nSjisErrors != nEucErrors)
        return nSjisErrors < nEucErrors ? KANJI_SJIS : KANJI_EUC;
    // Both readings are equally well formed (EUC without the bytes 0xFD and
    // 0xFE, texts of katakana-range bytes): the built-in guess breaks the tie,
    // Shift-JIS when it cannot, and when half-width katakana only look like
    // EUC kanji, as opening the file would decide.
    return DetectKanjiCode(text) == KANJI_EUC && EucReadingIsLikelier(text) ? KANJI_EUC : KANJI_SJIS;
}

std::string NkfToCp932(std::string_view text, int nKanjiCode)
{
    if (nKanjiCode == KANJI_JIS)
        return JisToCp932(text);
    if (nKanjiCode != KANJI_EUC)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    CAppendSink sink{out};
    IconvConvert(CODE_CP932, CODE_EUC, text, sink, EucFallback<CAppendSink>);
    return out;
}

std::string NkfFromCp932(std::string_view cp932, int nOutCode)
{
    std::string out;
    if (nOutCode == OUTCODE_EUC) {
        out.reserve(cp932.size() + cp932.size() / 8);
        CAppendSink sink{out};
        IconvConvert(CODE_EUC, CODE_CP932, cp932, sink, Cp932Fallback<CAppendSink>);
    } else if (nOutCode == OUTCODE_JIS) {
        // ISO-2022-JP has no half-width katakana.
        const std::string wide = NkfWidenKana(cp932);
        out.reserve(wide.size() + wide.size() / 4);
        CIso2022Sink sink{out};
        IconvConvert(CODE_EUC, CODE_CP932, wide, sink, Cp932Fallback<CIso2022Sink>);
        sink.SetMode(JIS_ASCII);
    } else {
        out = cp932;
    }
    return out;
}

std::string NkfWidenKana(std::string_view cp932)
{
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 4);
    std::size_t i = 0;
    while (i < cp932.size()) {
        const int nLength = SjisCharLength(cp932.data() + i, cp932.size() - i);
        const Byte c = static_cast<Byte>(cp932[i]);
        if (nLength == 2 || !IsSjisKana(c)) {
            out.append(cp932.substr(i, static_cast<std::size_t>(nLength)));
            i += static_cast<std::size_t>(nLength);
            continue;
        }
        KanjiBytePair jis = KanaToJisPair(c);
        ++i;
        const Byte mark = i < cp932.size() ? static_cast<Byte>(cp932[i]) : 0;
        const bool bVoicedRow = (c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE);  // ｶ-ﾄ, ﾊ-ﾎ
        if (mark == 0xDE && bVoicedRow) {         // ﾞ
            jis.c2 += 1;
            ++i;
        } else if (mark == 0xDE && c == 0xB3) {   // ｳﾞ
            jis.c2 = 0x74;
            ++i;
        } else if (mark == 0xDF && c >= 0xCA && c <= 0xCE) {  // ﾟ after ﾊ-ﾎ
            jis.c2 += 2;
            ++i;
        }
        const KanjiBytePair s = JisToSjisPair(jis.c1, jis.c2);
        out += static_cast<char>(s.c1);
        out += static_cast<char>(s.c2);
    }
    return out;
}

void NkfNarrowAlnum(std::string &cp932)
{
    std::size_t r = 0;
    std::size_t w = 0;
    const std::size_t n = cp932.size();
    while (r < n) {
        const int nLength = SjisCharLength(cp932.data() + r, n - r);
        if (nLength == 2) {
            const Byte c1 = static_cast<Byte>(cp932[r]);
            const Byte c2 = static_cast<Byte>(cp932[r + 1]);
            char narrow = 0;
            if (c1 == 0x81 && c2 == 0x40)
                narrow = ' ';
            else if (c1 == 0x82 && c2 >= 0x4F && c2 <= 0x58)
                narrow = static_cast<char>('0' + (c2 - 0x4F));
            else if (c1 == 0x82 && c2 >= 0x60 && c2 <= 0x79)
                narrow = static_cast<char>('A' + (c2 - 0x60));
            else if (c1 == 0x82 && c2 >= 0x81 && c2 <= 0x9A)
                narrow = static_cast<char>('a' + (c2 - 0x81));
            if (narrow != 0) {
                cp932[w++] = narrow;
                r += 2;
                continue;
            }
        }
        for (int k = 0; k < nLength; ++k)
            cp932[w++] = cp932[r++];
    }
    cp932.resize(w);
}

// ---------------------------------------------------------------------------

CNkfLibrary::CNkfLibrary() : m_nOutCode(OUTCODE_JIS)
{
    Load();
}

bool CNkfLibrary::Load()
{
    const char *const pairs[][2] = {
        {CODE_EUC, CODE_CP932}, {CODE_CP932, CODE_EUC}, {CODE_CP932, "UTF-8"}};
    m_bLoaded = true;
    for (const auto &pair : pairs) {
        if (!CIconv(pair[0], pair[1]).IsOpen())
            m_bLoaded = false;
    }
    return m_bLoaded;
}

std::string CNkfLibrary::GetNkfVersion() const
{
    return m_bLoaded ? "Wrenpad NKF 1.0 (glibc iconv)" : "";
}

void CNkfLibrary::SetNkfOption(std::string_view strOption)
{
    if (!m_bLoaded)
        return;
    m_nOutCode = OUTCODE_JIS;
    m_bMime = false;
    for (std::size_t i = 0; i < strOption.size(); ++i) {
        switch (strOption[i]) {
        case 's':
            m_nOutCode = OUTCODE_SJIS;
            break;
        case 'e':
            m_nOutCode = OUTCODE_EUC;
            break;
        case 'j':
            m_nOutCode = OUTCODE_JIS;
            break;
        case 'm':
            m_bMime = i + 1 >= strOption.size() || strOption[i + 1] != '0';
            break;
        default:
            break;
        }
    }
}

bool CNkfLibrary::NkfConvert(std::string_view input, std::string &strOutput) const
{
    if (!m_bLoaded)
        return false;
    std::string cp932 = m_nOutCode == OUTCODE_SJIS ? NkfToCp932(input, NkfGuessCode(input))
                                                   : std::string(input);
    if (m_bMime && cp932.find("=?") != std::string::npos)
        cp932 = NkfDecodeMime(cp932);
    strOutput = m_nOutCode == OUTCODE_SJIS ? std::move(cp932) : NkfFromCp932(cp932, m_nOutCode);
    return true;
}

bool CNkfLibrary::ToHankaku(std::string &strText) const
{
    if (!m_bLoaded)
        return false;
    NkfNarrowAlnum(strText);
    return true;
}

bool CNkfLibrary::ToZenkakuKana(std::string_view input, std::string &strOutput) const
{
    if (!m_bLoaded)
        return false;
    strOutput = NkfWidenKana(input);
    return true;
}

CNkfLibrary &NkfLibrary()
{
    static CNkfLibrary library;
    return library;
}
