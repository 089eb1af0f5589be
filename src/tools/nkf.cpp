#include "tools/nkf.h"

#include "text/kanji.h"
#include "text/sjis.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

using Byte = unsigned char;

const char *const CODE_CP932 = "CP932";
// Unlike plain EUC-JP, EUC-JP-MS keeps the NEC and IBM extensions of CP932.
const char *const CODE_EUC = "EUC-JP-MS";

// iconv handle that is closed on every path.
class CIconv
{
public:
    CIconv(const char *pszTo, const char *pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
    ~CIconv()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    CIconv(const CIconv &) = delete;
    CIconv &operator=(const CIconv &) = delete;
    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

inline bool IsEucByte(Byte c)
{
    return c >= 0xA1 && c <= 0xFE;
}

// Output that takes converted bytes and bytes kept as they stood alike.
struct CAppendSink
{
    std::string &out;
    void Converted(const char *p, std::size_t n) { out.append(p, n); }
    void Raw(const Byte *p, std::size_t n) { out.append(reinterpret_cast<const char *>(p), n); }
};

// Streams text through iconv into sink. Where iconv stops at a sequence it
// cannot convert, fallback hands the sink a form of it (or the bytes as they
// stand) and returns how many input bytes it took.
template <typename Sink, typename Fallback>
void IconvStream(iconv_t cd, std::string_view in, Sink &sink, Fallback fallback)
{
    char buf[1 << 15];
    char *pin = const_cast<char *>(in.data());
    std::size_t inleft = in.size();
    while (inleft > 0) {
        char *pout = buf;
        std::size_t outleft = sizeof buf;
        const std::size_t r = iconv(cd, &pin, &inleft, &pout, &outleft);
        const int nErr = errno;
        sink.Converted(buf, static_cast<std::size_t>(pout - buf));
        if (r != static_cast<std::size_t>(-1) || nErr == E2BIG)
            continue;
        const std::size_t nTaken = fallback(reinterpret_cast<const Byte *>(pin), inleft, sink);
        pin += nTaken;
        inleft -= nTaken;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

// Opens the converter and streams; without iconv every byte is kept.
template <typename Sink, typename Fallback>
void Convert(const char *pszTo, const char *pszFrom, std::string_view in, Sink &sink,
             Fallback fallback)
{
    CIconv cd(pszTo, pszFrom);
    if (cd.IsOpen())
        IconvStream(cd.Get(), in, sink, fallback);
    else
        sink.Raw(reinterpret_cast<const Byte *>(in.data()), in.size());
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

// EUC -> CP932: a JIS X 0208 cell iconv does not know takes its arithmetic
// Shift-JIS form; anything else is kept.
template <typename Sink>
std::size_t EucFallback(const Byte *p, std::size_t n, Sink &sink)
{
    const std::size_t nLength = EucSequenceLength(p, n);
    if (nLength == 2 && p[0] != 0x8E) {
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
        if (jis.c1 >= 0x21 && jis.c1 <= 0x7E) {
            const char pair[2] = {static_cast<char>(jis.c1 | 0x80), static_cast<char>(jis.c2 | 0x80)};
            sink.Converted(pair, 2);
            return 2;
        }
    }
    sink.Raw(p, static_cast<std::size_t>(nLength));
    return static_cast<std::size_t>(nLength);
}

// UTF-8 and other codes met in MIME words: a character without a CP932 form
// keeps its bytes.
template <typename Sink>
std::size_t Utf8Fallback(const Byte *p, std::size_t n, Sink &sink)
{
    std::size_t nLength = 1;
    if (p[0] >= 0xC2 && p[0] <= 0xF4) {
        const std::size_t nWant = p[0] < 0xE0 ? 2 : p[0] < 0xF0 ? 3 : 4;
        while (nLength < nWant && nLength < n && (p[nLength] & 0xC0) == 0x80)
            ++nLength;
    }
    sink.Raw(p, nLength);
    return nLength;
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

// Length of the escape sequence at p and the mode it selects; 0 when it is
// not one we know.
std::size_t JisEscape(const Byte *p, std::size_t n, EJisMode &mode)
{
    struct Known
    {
        const char *psz;
        EJisMode mode;
    };
    static const Known known[] = {
        {"\x1b$B", JIS_KANJI},  {"\x1b$@", JIS_KANJI},  {"\x1b$(B", JIS_KANJI},
        {"\x1b$(Q", JIS_KANJI}, {"\x1b$(O", JIS_KANJI}, {"\x1b$(D", JIS_X0212},
        {"\x1b(B", JIS_ASCII},  {"\x1b(J", JIS_ASCII},  {"\x1b(H", JIS_ASCII},
        {"\x1b(I", JIS_KANA},   {"\x1bK", JIS_KANJI},   {"\x1bH", JIS_ASCII},
    };
    for (const Known &k : known) {
        const std::size_t nLen = std::strlen(k.psz);
        if (n >= nLen && std::memcmp(p, k.psz, nLen) == 0) {
            mode = k.mode;
            return nLen;
        }
    }
    // The JIS X 0208-1990 announcer before ESC $ B changes nothing.
    if (n >= 3 && std::memcmp(p, "\x1b&@", 3) == 0)
        return 3;
    return 0;
}

bool HasJisEscape(std::string_view text)
{
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    const Byte *end = p + text.size();
    while ((p = static_cast<const Byte *>(std::memchr(p, KANJI_ESC, end - p))) != nullptr) {
        EJisMode mode = JIS_ASCII;
        if (JisEscape(p, end - p, mode) != 0 && mode != JIS_ASCII)
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
    std::string out;
    out.reserve(text.size());
    CAppendSink sink{out};
    CIconv cd(CODE_CP932, CODE_EUC);
    if (!cd.IsOpen())
        return std::string(text);
    std::string run;
    auto flush = [&] {
        IconvStream(cd.Get(), run, sink, EucFallback<CAppendSink>);
        run.clear();
    };
    auto keep = [&](Byte c) {
        flush();
        out += static_cast<char>(c);
    };
    EJisMode mode = JIS_ASCII;
    bool bShift = false;  // SO in force
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    const Byte *end = p + text.size();
    while (p < end) {
        const Byte c = *p;
        if (c == KANJI_ESC) {
            const std::size_t n = JisEscape(p, static_cast<std::size_t>(end - p), mode);
            if (n == 0) {
                keep(c);
                ++p;
            } else {
                p += n;
            }
        } else if (c == KANJI_SO || c == KANJI_SI) {
            bShift = c == KANJI_SO;
            ++p;
        } else if (c < 0x21 || c == 0x7F) {
            run += static_cast<char>(c);
            ++p;
        } else if (c >= 0x80) {
            // 8-bit katakana (JIS8) are read in any mode.
            if (IsSjisKana(c)) {
                run += '\x8E';
                run += static_cast<char>(c);
            } else {
                keep(c);
            }
            ++p;
        } else if ((bShift || mode == JIS_KANA) && c <= 0x5F) {
            run += '\x8E';
            run += static_cast<char>(c | 0x80);
            ++p;
        } else if (!bShift && (mode == JIS_KANJI || mode == JIS_X0212) && end - p >= 2 && p[1] >= 0x21
                   && p[1] <= 0x7E) {
            if (mode == JIS_X0212)
                run += '\x8F';
            run += static_cast<char>(c | 0x80);
            run += static_cast<char>(p[1] | 0x80);
            p += 2;
        } else if (mode == JIS_ASCII && !bShift) {
            run += static_cast<char>(c);
            ++p;
        } else {
            // Half a double-byte character, or a byte outside the katakana set.
            keep(c);
            ++p;
        }
    }
    flush();
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
// MIME encoded words: =?charset?B?text?= and =?charset?Q?text?=.

int Base64Value(Byte c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool DecodeBase64(std::string_view text, std::string &out)
{
    while (!text.empty() && text.back() == '=')
        text.remove_suffix(1);
    if (text.size() % 4 == 1)
        return false;
    unsigned nBits = 0;
    int nCount = 0;
    for (const char ch : text) {
        const int v = Base64Value(static_cast<Byte>(ch));
        if (v < 0)
            return false;
        nBits = (nBits << 6) | static_cast<unsigned>(v);
        nCount += 6;
        if (nCount >= 8) {
            nCount -= 8;
            out += static_cast<char>((nBits >> nCount) & 0xFF);
        }
    }
    return true;
}

int HexValue(Byte c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool DecodeQuoted(std::string_view text, std::string &out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Byte c = static_cast<Byte>(text[i]);
        if (c == '_') {
            out += ' ';
        } else if (c == '=') {
            if (i + 2 >= text.size())
                return false;
            const int hi = HexValue(static_cast<Byte>(text[i + 1]));
            const int lo = HexValue(static_cast<Byte>(text[i + 2]));
            if (hi < 0 || lo < 0)
                return false;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return true;
}

std::string UpperAscii(std::string_view text)
{
    std::string s(text);
    for (char &ch : s) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    return s;
}

// Converts the decoded bytes of a word to CP932; false for a character set we
// do not take (the word then stays as it was).
bool WordToCp932(std::string_view strCharset, std::string_view bytes, std::string &out)
{
    const std::string name = UpperAscii(strCharset);
    auto is = [&](std::initializer_list<const char *> names) {
        for (const char *psz : names) {
            if (name == psz)
                return true;
        }
        return false;
    };
    if (is({"ISO-2022-JP", "ISO-2022-JP-1", "ISO-2022-JP-2", "ISO-2022-JP-3", "CSISO2022JP"})) {
        out += JisToCp932(bytes);
    } else if (is({"SHIFT_JIS", "SHIFT-JIS", "SJIS", "X-SJIS", "CP932", "MS932", "WINDOWS-31J",
                   "MS_KANJI", "CSSHIFTJIS", "CSWINDOWS31J"})) {
        out += bytes;
    } else if (is({"EUC-JP", "EUCJP", "X-EUC-JP", "EUC-JP-MS", "CSEUCPKDFMTJAPANESE"})) {
        out += NkfToCp932(bytes, KANJI_EUC);
    } else if (is({"UTF-8", "UTF8", "US-ASCII", "ISO-8859-1", "LATIN1"})) {
        CAppendSink sink{out};
        Convert(CODE_CP932, name == "UTF8" ? "UTF-8" : name.c_str(), bytes, sink,
                Utf8Fallback<CAppendSink>);
    } else {
        return false;
    }
    return true;
}

bool IsCharsetChar(Byte c)
{
    return c > 0x20 && c < 0x7F && !std::strchr("()<>@,;\"/[]?=", c);
}

// Parses and decodes the encoded word at text[i] ("=?"); returns the index
// after it, or 0 when there is none.
std::size_t DecodeWordAt(std::string_view text, std::size_t i, std::string &out)
{
    std::size_t j = i + 2;
    const std::size_t nCharsetStart = j;
    while (j < text.size() && IsCharsetChar(static_cast<Byte>(text[j])))
        ++j;
    if (j == nCharsetStart || j - nCharsetStart > 40 || j + 2 >= text.size() || text[j] != '?'
        || text[j + 2] != '?')
        return 0;
    std::string_view strCharset = text.substr(nCharsetStart, j - nCharsetStart);
    strCharset = strCharset.substr(0, strCharset.find('*'));  // drop a language tag
    const char chEncoding = text[j + 1];
    const std::size_t nTextStart = j + 3;
    std::size_t k = nTextStart;
    while (k < text.size() && text[k] > 0x20 && text[k] < 0x7F && text[k] != '?')
        ++k;
    if (k + 1 >= text.size() || text[k] != '?' || text[k + 1] != '=')
        return 0;
    const std::string_view strEncoded = text.substr(nTextStart, k - nTextStart);
    std::string bytes;
    bool bOk = false;
    if (chEncoding == 'B' || chEncoding == 'b')
        bOk = DecodeBase64(strEncoded, bytes);
    else if (chEncoding == 'Q' || chEncoding == 'q')
        bOk = DecodeQuoted(strEncoded, bytes);
    if (!bOk || !WordToCp932(strCharset, bytes, out))
        return 0;
    return k + 2;
}

// ---------------------------------------------------------------------------

int CountSjisErrors(std::string_view text)
{
    int nErrors = 0;
    const char *p = text.data();
    std::size_t n = text.size();
    while (n > 0) {
        const Byte c = static_cast<Byte>(*p);
        const int nLength = SjisCharLength(p, n);
        if (nLength == 1 && c >= 0x80 && !IsSjisKana(c))
            ++nErrors;
        p += nLength;
        n -= static_cast<std::size_t>(nLength);
    }
    return nErrors;
}

int CountEucErrors(std::string_view text)
{
    int nErrors = 0;
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    std::size_t n = text.size();
    while (n > 0) {
        const std::size_t nLength = EucSequenceLength(p, n);
        if (nLength == 1 && *p >= 0x80)
            ++nErrors;
        p += nLength;
        n -= nLength;
    }
    return nErrors;
}

} // namespace

// ---------------------------------------------------------------------------

int NkfGuessCode(std::string_view text)
{
    if (HasJisEscape(text))
        return KANJI_JIS;
    const int nSjisErrors = CountSjisErrors(text);
    const int nEucErrors = CountEucErrors(text);
    if (nSjisErrors != nEucErrors)
        return nSjisErrors < nEucErrors ? KANJI_SJIS : KANJI_EUC;
    // Both readings are equally well formed (short texts of katakana-range
    // bytes): let the built-in guess break the tie, Shift-JIS when it cannot.
    return DetectKanjiCode(text) == KANJI_EUC ? KANJI_EUC : KANJI_SJIS;
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
    Convert(CODE_CP932, CODE_EUC, text, sink, EucFallback<CAppendSink>);
    return out;
}

std::string NkfFromCp932(std::string_view cp932, int nOutCode)
{
    std::string out;
    if (nOutCode == OUTCODE_EUC) {
        out.reserve(cp932.size() + cp932.size() / 8);
        CAppendSink sink{out};
        Convert(CODE_EUC, CODE_CP932, cp932, sink, Cp932Fallback<CAppendSink>);
    } else if (nOutCode == OUTCODE_JIS) {
        // ISO-2022-JP has no half-width katakana.
        const std::string wide = NkfWidenKana(cp932);
        out.reserve(wide.size() + wide.size() / 4);
        CIso2022Sink sink{out};
        Convert(CODE_EUC, CODE_CP932, wide, sink, Cp932Fallback<CIso2022Sink>);
        sink.SetMode(JIS_ASCII);
    } else {
        out = cp932;
    }
    return out;
}

std::string NkfDecodeMime(std::string_view cp932)
{
    std::string out;
    out.reserve(cp932.size());
    std::size_t i = 0;
    std::size_t nAfterWord = std::string_view::npos;  // end of the last decoded word
    while (i < cp932.size()) {
        const std::size_t j = cp932.find("=?", i);
        if (j == std::string_view::npos)
            break;
        std::string word;
        const std::size_t k = DecodeWordAt(cp932, j, word);
        if (k == 0) {
            out.append(cp932.substr(i, j + 2 - i));
            i = j + 2;
            continue;
        }
        // White space between two encoded words (a folded header line too)
        // belongs to neither.
        const std::string_view gap = cp932.substr(i, j - i);
        if (nAfterWord != i || gap.find_first_not_of(" \t\r\n") != std::string_view::npos)
            out.append(gap);
        out += word;
        i = nAfterWord = k;
    }
    out.append(cp932.substr(i));
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
    if (m_bMime)
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
