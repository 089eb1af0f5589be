// Character conversions: blanks, widths, letter case, reversal.
#include "html/textconv.h"

#include "search/plainsearch.h"
#include "text/nkf.h"
#include "text/sjis.h"

#include <cstring>

namespace {

using Byte = unsigned char;

// The full-width forms of the printable ASCII characters 0x20-0x7E, as
// Shift-JIS codes: the same table the system's single-byte to double-byte
// mapping uses (a quote becomes a typographic quote, '\' the yen sign, '~'
// the overline).
constexpr unsigned short FULL_WIDTH_ASCII[95] = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,  //  !"#$%&'
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // ()*+,-./
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 01234567
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 89:;<=>?
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // @ABCDEFG
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // HIJKLMNO
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // PQRSTUVW
    0x8277, 0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151,  // XYZ[\]^_
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // `abcdefg
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // hijklmno
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // pqrstuvw
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,          // xyz{|}~
};

inline int CharLengthAt(std::string_view text, std::size_t i)
{
    return SjisCharLength(text.data() + i, text.size() - i);
}

} // namespace

std::string TabsToBlanks(std::string_view text, int nTabWidth)
{
    const std::size_t nBlanks = nTabWidth > 0 ? static_cast<std::size_t>(nTabWidth) : 1;
    std::string out;
    out.reserve(text.size());
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nTab = text.find('\t', nStart);
        out.append(text.substr(nStart, nTab - nStart));
        if (nTab == std::string_view::npos)
            return out;
        out.append(nBlanks, ' ');
        nStart = nTab + 1;
    }
}

std::string DeleteAllBlanks(std::string_view text)
{
    // None of these bytes is ever the second byte of a character.
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        if (ch != '\t' && ch != '\n' && ch != '\r' && ch != ' ')
            out += ch;
    }
    return out;
}

std::string HalfKanaToFull(std::string_view text)
{
    std::string out;
    if (!NkfLibrary().ToZenkakuKana(text, out))
        return std::string(text);
    return out;
}

std::string HalfWidthToFull(std::string_view text)
{
    std::string wide;
    if (!NkfLibrary().ToZenkakuKana(text, wide))
        return std::string(text);
    std::string out;
    out.reserve(wide.size() * 2);
    for (std::size_t i = 0; i < wide.size();) {
        const int nLength = CharLengthAt(wide, i);
        const Byte c = static_cast<Byte>(wide[i]);
        if (nLength == 1 && c >= 0x20 && c <= 0x7E) {
            const unsigned short code = FULL_WIDTH_ASCII[c - 0x20];
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out.append(wide, i, static_cast<std::size_t>(nLength));
        }
        i += static_cast<std::size_t>(nLength);
    }
    return out;
}

std::string FullAlnumToHalf(std::string_view text)
{
    std::string out(text);
    NkfLibrary().ToHankaku(out);
    return out;
}

bool FullSpacesToBlanks(std::string_view text, std::string &strOut)
{
    std::string out;
    bool bFound = false;
    std::size_t nCopied = 0;  // text before this is in out
    for (std::size_t i = 0; i < text.size();) {
        const int nLength = CharLengthAt(text, i);
        if (nLength == 2 && text[i] == '\x81' && text[i + 1] == '\x40') {
            if (!bFound) {
                out.reserve(text.size() + 16);
                bFound = true;
            }
            out.append(text.substr(nCopied, i - nCopied));
            out += "  ";
            nCopied = i + 2;
        }
        i += static_cast<std::size_t>(nLength);
    }
    if (!bFound)
        return false;
    out.append(text.substr(nCopied));
    strOut = std::move(out);
    return true;
}

std::string LowerCaseText(std::string_view text)
{
    std::string out(text);
    LowerCaseSingleBytes(out);
    return out;
}

std::string UpperCaseText(std::string_view text)
{
    std::string out(text);
    UpperCaseSingleBytes(out);
    return out;
}

std::string ReverseCharacters(std::string_view text)
{
    // Each character (or CR LF pair) is written at its mirrored place.
    const std::size_t n = text.size();
    std::string out(n, '\0');
    char *const pOut = out.data();
    const char *const p = text.data();
    for (std::size_t i = 0; i < n;) {
        std::size_t nLength;
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            nLength = 2;
        else
            nLength = static_cast<std::size_t>(SjisCharLength(p + i, n - i));
        std::memcpy(pOut + (n - i - nLength), p + i, nLength);
        i += nLength;
    }
    return out;
}
