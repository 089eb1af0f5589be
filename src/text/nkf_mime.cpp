// MIME encoded words (=?charset?B?text?= and =?charset?Q?text?=) decoded
// into CP932.
#include "text/iconvstream.h"
#include "text/kanji.h"
#include "text/nkf.h"

#include <cstring>
#include <initializer_list>

namespace {

using Byte = unsigned char;

// UTF-8 met in a MIME word: a character without a CP932 form keeps its bytes.
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

// Single-byte codes met in MIME words: the same, byte by byte.
template <typename Sink>
std::size_t ByteFallback(const Byte *p, std::size_t, Sink &sink)
{
    sink.Raw(p, 1);
    return 1;
}

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
        nBits = ((nBits << 6) | static_cast<unsigned>(v)) & 0xFFFF;
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
        out += NkfToCp932(bytes, KANJI_JIS);
    } else if (is({"SHIFT_JIS", "SHIFT-JIS", "SJIS", "X-SJIS", "CP932", "MS932", "WINDOWS-31J",
                   "MS_KANJI", "CSSHIFTJIS", "CSWINDOWS31J"})) {
        out += bytes;
    } else if (is({"EUC-JP", "EUCJP", "X-EUC-JP", "EUC-JP-MS", "CSEUCPKDFMTJAPANESE"})) {
        out += NkfToCp932(bytes, KANJI_EUC);
    } else if (is({"UTF-8", "UTF8"})) {
        CAppendSink sink{out};
        IconvConvert("CP932", "UTF-8", bytes, sink, Utf8Fallback<CAppendSink>);
    } else if (is({"US-ASCII", "ISO-8859-1", "LATIN1"})) {
        CAppendSink sink{out};
        IconvConvert("CP932", name.c_str(), bytes, sink, ByteFallback<CAppendSink>);
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

} // namespace

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
