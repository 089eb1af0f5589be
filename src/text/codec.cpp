#include "text/codec.h"

#include "text/iconvstream.h"
#include "text/sjis.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace {

// CP932 -> Unicode tables taken once from glibc's converter: single bytes, and
// every lead/trail pair. 0 marks a byte or pair that has no mapping (except for
// the NUL byte itself).
struct CDecodeTable
{
    std::array<char32_t, 256> aSingle{};
    std::vector<char32_t> aDouble;  // [lead][trail], 256 x 256

    CDecodeTable() : aDouble(256 * 256, 0)
    {
        CIconv cd("UTF-32LE", "CP932");
        if (!cd.IsOpen())
            return;
        auto convert = [&](const char *in, std::size_t n) -> char32_t {
            char inbuf[2] = {in[0], n > 1 ? in[1] : '\0'};
            char outbuf[16];
            char *pin = inbuf;
            char *pout = outbuf;
            std::size_t inleft = n;
            std::size_t outleft = sizeof outbuf;
            iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd.Get(), &pin, &inleft, &pout, &outleft) == static_cast<std::size_t>(-1)
                || inleft != 0 || sizeof outbuf - outleft != 4)
                return 0;
            const auto *u = reinterpret_cast<const unsigned char *>(outbuf);
            return static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (u[3] << 24));
        };
        for (int c = 1; c < 256; ++c) {
            if (IsSjisLeadByte(static_cast<unsigned char>(c)))
                continue;
            char b = static_cast<char>(c);
            aSingle[c] = convert(&b, 1);
        }
        ForEachSjisDoubleByte([&](unsigned char lead, unsigned char trail) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            aDouble[lead * 256 + trail] = convert(pair, 2);
        });
    }
};

const CDecodeTable &DecodeTable()
{
    static const CDecodeTable table;
    return table;
}

template <typename Append>
int DecodeAll(std::string_view bytes, Append append)
{
    int nInvalid = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        int n = 0;
        char32_t c = Cp932DecodeChar(bytes.data() + i, bytes.size() - i, n);
        if (c == CODEC_INVALID)
            ++nInvalid;
        append(c);
        i += static_cast<std::size_t>(n);
    }
    return nInvalid;
}


char16_t *PutUtf16(char16_t *q, char32_t c)
{
    if (c < 0x10000) {
        *q++ = static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        *q++ = static_cast<char16_t>(0xD800 | (c >> 10));
        *q++ = static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
    return q;
}

// Encodes with iconv; every input sequence it cannot take becomes "?".
// nUnit is the size of one input code unit, and unitsOf tells how many units
// the sequence at a position spans, so that a bad one is skipped whole.
template <typename UnitsOf>
std::string Encode(const char *pszFrom, const char *in, std::size_t inBytes, std::size_t nUnit,
                   UnitsOf unitsOf, int *pnUnmappable)
{
    std::string out;
    out.reserve(inBytes);
    int nBad = 0;
    CIconv cd("CP932", pszFrom);
    if (!cd.IsOpen()) {
        out.assign(inBytes / nUnit, '?');
        nBad = static_cast<int>(inBytes / nUnit);
    } else {
        CAppendSink sink{out};
        IconvStream(cd.Get(), std::string_view(in, inBytes), sink,
                    [&](const unsigned char *p, std::size_t left, CAppendSink &s) {
                        s.Converted("?", 1);
                        ++nBad;
                        return std::min(left, unitsOf(reinterpret_cast<const char *>(p), left) * nUnit);
                    });
    }
    if (pnUnmappable)
        *pnUnmappable = nBad;
    return out;
}

} // namespace

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t Cp932DecodeChar(const char *p, std::size_t n, int &nBytes)
{
    const CDecodeTable &table = DecodeTable();
    nBytes = SjisCharLength(p, n);
    const auto b0 = static_cast<unsigned char>(p[0]);
    char32_t c;
    if (nBytes == 2)
        c = table.aDouble[b0 * 256 + static_cast<unsigned char>(p[1])];
    else
        c = b0 == 0 ? 0 : table.aSingle[b0];
    if (c == 0 && !(nBytes == 1 && b0 == 0))
        return CODEC_INVALID;
    return c;
}

std::u16string Cp932ToUtf16(std::string_view bytes, int *pnInvalid)
{
    std::u16string out(bytes.size(), u'\0');
    out.resize(Cp932ToUtf16(bytes, out.data(), pnInvalid));
    return out;
}

std::size_t Cp932ToUtf16(std::string_view bytes, char16_t *pOut, int *pnInvalid)
{
    char16_t *q = pOut;
    int n = DecodeAll(bytes, [&q](char32_t c) { q = PutUtf16(q, c); });
    if (pnInvalid)
        *pnInvalid = n;
    return static_cast<std::size_t>(q - pOut);
}

std::string Cp932ToUtf8(std::string_view bytes, int *pnInvalid)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    int n = DecodeAll(bytes, [&](char32_t c) { AppendUtf8(out, c); });
    if (pnInvalid)
        *pnInvalid = n;
    return out;
}

std::string Utf16ToCp932(std::u16string_view text, int *pnUnmappable)
{
    auto unitsOf = [](const char *p, std::size_t left) -> std::size_t {
        if (left >= 4) {
            char16_t u = static_cast<char16_t>(static_cast<unsigned char>(p[0])
                                               | (static_cast<unsigned char>(p[1]) << 8));
            char16_t v = static_cast<char16_t>(static_cast<unsigned char>(p[2])
                                               | (static_cast<unsigned char>(p[3]) << 8));
            if (u >= 0xD800 && u < 0xDC00 && v >= 0xDC00 && v < 0xE000)
                return 2;
        }
        return 1;
    };
    return Encode("UTF-16LE", reinterpret_cast<const char *>(text.data()), text.size() * 2, 2,
                  unitsOf, pnUnmappable);
}

std::string Utf8ToCp932(std::string_view text, int *pnUnmappable)
{
    auto unitsOf = [](const char *p, std::size_t left) -> std::size_t {
        const auto c = static_cast<unsigned char>(p[0]);
        std::size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        // Skip a whole sequence (or what there is of one cut off at the end)
        // only when its continuation bytes are there; a stray byte goes alone.
        n = std::min(n, left);
        for (std::size_t i = 1; i < n; ++i)
            if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80)
                return 1;
        return n;
    };
    return Encode("UTF-8", text.data(), text.size(), 1, unitsOf, pnUnmappable);
}
