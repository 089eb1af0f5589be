// HTML conversions: special characters to entities and back, and decoding of
// submitted form data.
#include "html/textconv.h"

#include "text/codec.h"
#include "text/nkf.h"

#include <array>

namespace {

using Byte = unsigned char;

// The four entities, upper case, and the character each stands for.
struct CEntity
{
    std::string_view name;  // between '&' and ';'
    char ch;
};
constexpr std::array<CEntity, 4> ENTITIES = {{{"QUOT", '"'}, {"AMP", '&'}, {"LT", '<'}, {"GT", '>'}}};

inline char UpperAscii(char ch)
{
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 0x20) : ch;
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

std::string UrlDecode(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char ch = field[i];
        if (ch == '+') {
            out += ' ';
        } else if (ch == '%' && i + 2 < field.size() && HexValue(field[i + 1]) >= 0 && HexValue(field[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(field[i + 1]) * 16 + HexValue(field[i + 2]));
            i += 2;
        } else {
            out += ch;
        }
    }
    return out;
}

// Whether the bytes are well-formed UTF-8 with at least one character beyond
// ASCII. Shift-JIS and EUC text practically never is: their lead bytes are
// UTF-8 continuation bytes, or are followed by bytes that are not.
bool IsMultibyteUtf8(std::string_view text)
{
    bool bMultibyte = false;
    const auto *p = reinterpret_cast<const Byte *>(text.data());
    const Byte *end = p + text.size();
    while (p < end) {
        const Byte c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        std::size_t nLength;
        Byte lo = 0x80;  // the range of the second byte
        Byte hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            nLength = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nLength = 3;
            if (c == 0xE0)
                lo = 0xA0;  // no overlong forms
            else if (c == 0xED)
                hi = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            nLength = 4;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) < nLength || p[1] < lo || p[1] > hi)
            return false;
        for (std::size_t k = 2; k < nLength; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
        }
        bMultibyte = true;
        p += nLength;
    }
    return bMultibyte;
}

// A decoded field in Shift-JIS. Browsers send the page's code or UTF-8.
std::string FieldToSjis(std::string_view field)
{
    if (IsMultibyteUtf8(field))
        return Utf8ToCp932(field);
    return NkfToCp932(field, NkfGuessCode(field));
}

} // namespace

std::string EscapeHtmlSpecials(std::string_view text)
{
    // None of the four is ever the second byte of a double-byte character.
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nPos = text.find_first_of("\"&<>", nStart);
        out.append(text.substr(nStart, nPos - nStart));
        if (nPos == std::string_view::npos)
            return out;
        switch (text[nPos]) {
        case '"':
            out += "&QUOT;";
            break;
        case '&':
            out += "&AMP;";
            break;
        case '<':
            out += "&LT;";
            break;
        default:
            out += "&GT;";
            break;
        }
        nStart = nPos + 1;
    }
}

std::string UnescapeHtmlSpecials(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nAmp = text.find('&', nStart);
        if (nAmp == std::string_view::npos) {
            out.append(text.substr(nStart));
            return out;
        }
        out.append(text.substr(nStart, nAmp - nStart));
        nStart = nAmp + 1;
        const std::string_view rest = text.substr(nAmp + 1);
        char chFound = '&';
        for (const CEntity &entity : ENTITIES) {
            const std::size_t nName = entity.name.size();
            if (rest.size() <= nName || rest[nName] != ';')
                continue;
            bool bSame = true;
            for (std::size_t k = 0; k < nName && bSame; ++k)
                bSame = UpperAscii(rest[k]) == entity.name[k];
            if (bSame) {
                chFound = entity.ch;
                nStart += nName + 1;
                break;
            }
        }
        out += chFound;
    }
}

std::string DecodeFormData(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool bFirst = true;
    std::size_t nStart = 0;
    while (nStart <= text.size()) {
        std::size_t nAmp = text.find('&', nStart);
        if (nAmp == std::string_view::npos)
            nAmp = text.size();
        const std::string_view field = text.substr(nStart, nAmp - nStart);
        if (!field.empty()) {
            if (!bFirst)
                out += "\r\n";
            out += FieldToSjis(UrlDecode(field));
            bFirst = false;
        }
        nStart = nAmp + 1;
    }
    return out;
}
