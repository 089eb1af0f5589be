#include "text/doctext.h"

#include "text/codec.h"
#include "text/filecode.h"
#include "text/filecode_tables.h"
#include "text/sjis.h"

#include <algorithm>

namespace {

void AppendUtf16(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

void PutCode(std::string &out, std::uint16_t nCode)
{
    if (nCode >= 0x100)
        out += static_cast<char>(nCode >> 8);
    out += static_cast<char>(nCode & 0xFF);
}

// Calls fn(c) for each code point of UTF-16 text; a lone surrogate is 0.
template <typename Fn>
void ForEachCodePoint(std::u16string_view text, Fn fn)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            fn(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            fn(u >= 0xD800 && u < 0xE000 ? 0 : static_cast<char32_t>(u));
        }
    }
}

// The Shift-JIS code a file of a table's document gives a character; 0 when
// it has none (the characters of the table among them). A dual form the
// table holds (its file met the other form first) has the table's code, and
// one the shared code does not stand for in the document has none.
std::uint16_t SjisCodeOf(char32_t c, const CExtraChars &extra)
{
    if (c < 0x80)
        return static_cast<std::uint16_t>(c == 0 ? 0x100 : c);
    if (c >= 0x10000)
        return 0;
    const std::uint32_t nEntry = FromUnicodeTable()[c];
    if (nEntry & FROMUNI_DUAL) {
        if (const std::uint16_t nExtra = extra.Find(c))
            return nExtra;
        if (SeenBitOf(nEntry) & extra.ForeignForms())
            return 0;
    }
    const std::uint16_t nCode = CFileCodeTables::CodeOf(nEntry);
    return nCode == FILECODE_NONE ? 0 : nCode;
}

// Calls fn(p, n, c) for each character of the bytes, c the table's
// character for a code of it, else 0.
template <typename Fn>
void ForEachChar(std::string_view bytes, const CExtraChars &extra, Fn fn)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const int n = SjisCharLength(bytes.data() + i, bytes.size() - i);
        const char32_t c = n == 2 ? extra.CharOf(static_cast<unsigned char>(bytes[i]),
                                                 static_cast<unsigned char>(bytes[i + 1]))
                                  : 0;
        fn(i, static_cast<std::size_t>(n), c);
        i += static_cast<std::size_t>(n);
    }
}

} // namespace

std::u16string DocTextToUtf16(std::string_view bytes, const CExtraChars *pExtra, int *pnInvalid)
{
    if (!pExtra || pExtra->IsEmpty())
        return Cp932ToUtf16(bytes, pnInvalid);
    std::u16string out;
    out.reserve(bytes.size());
    int nInvalid = 0;
    std::size_t nRun = 0;  // the start of the bytes not yet converted
    const auto flush = [&](std::size_t nEnd) {
        if (nEnd > nRun) {
            int n = 0;
            out += Cp932ToUtf16(bytes.substr(nRun, nEnd - nRun), &n);
            nInvalid += n;
        }
    };
    ForEachChar(bytes, *pExtra, [&](std::size_t i, std::size_t n, char32_t c) {
        if (c == 0)
            return;
        flush(i);
        AppendUtf16(out, c);
        nRun = i + n;
    });
    flush(bytes.size());
    if (pnInvalid)
        *pnInvalid = nInvalid;
    return out;
}

std::string DocTextToUtf8(std::string_view bytes, const CExtraChars *pExtra)
{
    if (!pExtra || pExtra->IsEmpty())
        return Cp932ToUtf8(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    std::size_t nRun = 0;
    ForEachChar(bytes, *pExtra, [&](std::size_t i, std::size_t n, char32_t c) {
        if (c == 0)
            return;
        out += Cp932ToUtf8(bytes.substr(nRun, i - nRun));
        AppendUtf8(out, c);
        nRun = i + n;
    });
    out += Cp932ToUtf8(bytes.substr(nRun));
    return out;
}

std::string Utf16ToDocText(std::u16string_view text, CExtraChars *pExtra, int *pnUnmappable, char32_t *pcFirst)
{
    if (pcFirst)
        *pcFirst = 0;
    if (!pExtra) {
        // The codec's "?"s, and which character the first one was.
        int nBad = 0;
        std::string out = Utf16ToCp932(text, &nBad);
        if (pnUnmappable)
            *pnUnmappable = nBad;
        if (nBad > 0 && pcFirst) {
            bool bFound = false;
            ForEachCodePoint(text, [&](char32_t c) {
                if (bFound)
                    return;
                int n = 0;
                std::u16string one;
                AppendUtf16(one, c);
                if (c == 0 || (Utf16ToCp932(one, &n), n > 0)) {
                    *pcFirst = c;
                    bFound = true;
                }
            });
        }
        return out;
    }
    std::string out;
    out.reserve(text.size() * 2);
    int nBad = 0;
    ForEachCodePoint(text, [&](char32_t c) {
        std::uint16_t nCode = c == 0 ? 0 : SjisCodeOf(c, *pExtra);
        if (nCode == 0 && c != 0)
            nCode = pExtra->Add(c);
        if (nCode == 0) {
            if (nBad++ == 0 && pcFirst)
                *pcFirst = c;
            out += '?';
            return;
        }
        PutCode(out, nCode == 0x100 ? 0 : nCode);
    });
    if (pnUnmappable)
        *pnUnmappable = nBad;
    return out;
}

std::string Utf8ToDocText(std::string_view text, CExtraChars *pExtra, int *pnUnmappable)
{
    std::u16string units;
    units.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        AppendUtf16(units, c);
        i += n;
    }
    return Utf16ToDocText(units, pExtra, pnUnmappable);
}

bool Utf16ToDocTextFound(std::u16string_view text, const CExtraChars *pExtra, std::string &out, char32_t *pcMissing)
{
    if (!pExtra) {
        int nBad = 0;
        out = Utf16ToCp932(text, &nBad);
        return nBad == 0;
    }
    out.clear();
    bool bFound = true;
    ForEachCodePoint(text, [&](char32_t c) {
        std::uint16_t nCode = c == 0 ? 0 : SjisCodeOf(c, *pExtra);
        if (nCode == 0 && c != 0)
            nCode = pExtra->Find(c);
        if (nCode == 0) {
            if (bFound && pcMissing)
                *pcMissing = c;
            bFound = false;
            return;
        }
        PutCode(out, nCode == 0x100 ? 0 : nCode);
    });
    return bFound;
}

unsigned DualFormsIn(std::string_view utf8)
{
    unsigned nMask = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        // Every dual form is a character of two or three bytes.
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 1;
        if (n == 1 || i + n > utf8.size())
            continue;
        char32_t c = b & (n == 2 ? 0x1Fu : 0x0Fu);
        for (std::size_t k = 1; k < n; ++k)
            c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        nMask |= SeenBitOf(FromUnicodeTable()[c]);
        i += n - 1;
    }
    for (unsigned nPair = 3; nPair < 1u << (2 * DUAL_FORMS.size()); nPair <<= 2) {
        if ((nMask & nPair) == nPair)
            nMask &= ~nPair;
    }
    return nMask;
}

std::string RemapExtraChars(std::string_view bytes, const CExtraChars &from, CExtraChars *pTo, int *pnUnmappable,
                            char32_t *pcFirst)
{
    std::string out;
    out.reserve(bytes.size());
    int nBad = 0;
    if (pcFirst)
        *pcFirst = 0;
    ForEachChar(bytes, from, [&](std::size_t i, std::size_t n, char32_t c) {
        if (c == 0) {
            out.append(bytes.substr(i, n));
            return;
        }
        const std::uint16_t nCode = pTo ? pTo->Add(c) : 0;
        if (nCode == 0) {
            if (nBad++ == 0 && pcFirst)
                *pcFirst = c;
            out += '?';
        } else {
            PutCode(out, nCode);
        }
    });
    if (pnUnmappable)
        *pnUnmappable = nBad;
    return out;
}

char32_t FindExtraChar(std::string_view bytes, const CExtraChars &extra, std::size_t *pnOffset)
{
    if (extra.IsEmpty())
        return 0;
    char32_t cFound = 0;
    ForEachChar(bytes, extra, [&](std::size_t i, std::size_t, char32_t c) {
        if (c != 0 && cFound == 0) {
            cFound = c;
            if (pnOffset)
                *pnOffset = i;
        }
    });
    return cFound;
}

std::size_t UserAreaCodesUsed(std::string_view bytes)
{
    std::size_t nTop = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const int n = SjisCharLength(bytes.data() + i, bytes.size() - i);
        if (n == 2) {
            const std::size_t nIndex = CExtraChars::IndexOfCode(static_cast<unsigned char>(bytes[i]),
                                                                static_cast<unsigned char>(bytes[i + 1]));
            if (nIndex < EXTRA_CHAR_LIMIT)
                nTop = std::max(nTop, nIndex + 1);
        }
        i += static_cast<std::size_t>(n);
    }
    return nTop;
}

void SeedExtraChars(CExtraChars &extra, std::size_t nTop)
{
    if (!extra.IsEmpty())
        return;
    for (std::size_t i = 0; i < nTop && i < EXTRA_CHAR_LIMIT; ++i)
        extra.Add(USER_AREA_FIRST + static_cast<char32_t>(i));
}
