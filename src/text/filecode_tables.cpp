#include "text/filecode_tables.h"

#include "text/codec.h"
#include "text/filecode.h"
#include "text/iconvstream.h"
#include "text/sjis.h"

#include <bit>
#include <string>

// The packed entries are stored with one little-endian write.
static_assert(std::endian::native == std::endian::little);
static_assert(std::tuple_size_v<decltype(CFileCodeTables::aUtf8Other)> == DUAL_FORMS.size());
// Each dual form has its bit in the Unicode entries.
static_assert(FROMUNI_SEEN_SHIFT + 2 * DUAL_FORMS.size() <= 32);

namespace {

std::uint32_t PackSjis(std::uint16_t nCode)
{
    if (nCode < 0x100)
        return nCode | 1u << 16;
    return static_cast<std::uint32_t>(nCode >> 8) | static_cast<std::uint32_t>(nCode & 0xFF) << 8 | 2u << 16;
}

// CP932 has nothing beyond the basic plane.
std::uint32_t PackUtf8(char32_t c)
{
    if (c < 0x80)
        return c | 1u << 24;
    if (c < 0x800)
        return (0xC0 | c >> 6) | (0x80 | (c & 0x3F)) << 8 | 2u << 24;
    return (0xE0 | c >> 12) | (0x80 | (c >> 6 & 0x3F)) << 8 | (0x80 | (c & 0x3F)) << 16 | 3u << 24;
}

// Calls fn(byte, character) for each single byte that is a character.
template <typename Fn>
void ForEachSjisSingle(Fn fn)
{
    for (int b = 0; b < 256; ++b) {
        if (IsSjisLeadByte(static_cast<unsigned char>(b)))
            continue;
        const char ch = static_cast<char>(b);
        int n = 0;
        const char32_t c = Cp932DecodeChar(&ch, 1, n);
        if (c != CODEC_INVALID)
            fn(static_cast<unsigned char>(b), c);
    }
}

// Calls fn(code, character) for each Shift-JIS pair that is a character of
// the basic plane.
template <typename Fn>
void ForEachSjisPair(Fn fn)
{
    ForEachSjisDoubleByte([&](unsigned char lead, unsigned char trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        int n = 0;
        const char32_t c = Cp932DecodeChar(pair, 2, n);
        if (c != CODEC_INVALID && c < 0x10000)
            fn(static_cast<std::uint16_t>(lead * 256 + trail), c);
    });
}

} // namespace

CFileCodeTables::CFileCodeTables()
    : aDouble(256 * 256, 0), aUtf8Double(256 * 256, 0), aDualIndex(256 * 256, -1), aLowTwin(256 * 256, FILECODE_NONE)
{
    ForEachSjisSingle([&](unsigned char b, char32_t c) { aSingle[b] = c; });
    // The lowest code of each character, for the twins of the IBM extensions.
    std::vector<std::uint16_t> aLowest(0x10000, FILECODE_NONE);
    ForEachSjisPair([&](std::uint16_t nCode, char32_t c) {
        aDouble[nCode] = c;
        if (nCode < 0xF000 && aLowest[c] == FILECODE_NONE)
            aLowest[c] = nCode;
    });
    for (std::size_t i = 0; i < DUAL_FORMS.size(); ++i)
        aDualIndex[DUAL_FORMS[i].nSjis] = static_cast<std::int8_t>(i);
    for (int nCode = 0xF000; nCode < 0x10000; ++nCode)
        if (aDouble[static_cast<std::size_t>(nCode)] != 0)
            aLowTwin[static_cast<std::size_t>(nCode)] = aLowest[aDouble[static_cast<std::size_t>(nCode)]];

    aUtf8Single[0] = PackUtf8(0);
    for (std::size_t b = 1; b < aSingle.size(); ++b)
        if (aSingle[b] != 0)
            aUtf8Single[b] = PackUtf8(aSingle[b]);
    for (std::size_t nCode = 0; nCode < aDouble.size(); ++nCode)
        if (aDouble[nCode] != 0)
            aUtf8Double[nCode] = PackUtf8(aDouble[nCode]) | (aDualIndex[nCode] >= 0 ? TOUTF8_DUAL : 0);
    for (std::size_t i = 0; i < DUAL_FORMS.size(); ++i)
        aUtf8Other[i] = PackUtf8(DUAL_FORMS[i].cOther);
}

const CFileCodeTables &FileCodeTables()
{
    static const CFileCodeTables tables;
    return tables;
}

namespace {

std::vector<std::uint32_t> BuildFromUnicode()
{
    // Each character's first code, single bytes before pairs; the entries
    // hold plain codes until the end.
    std::vector<std::uint32_t> aFrom(0x10000, 0);
    ForEachSjisSingle([&](unsigned char b, char32_t c) {
        if (c < 0x10000 && aFrom[c] == 0)
            aFrom[c] = PackSjis(b);
    });
    std::vector<std::uint16_t> aTwinsOf;
    ForEachSjisPair([&](std::uint16_t nCode, char32_t c) {
        if (aFrom[c] == 0)
            aFrom[c] = PackSjis(nCode);
        else
            aTwinsOf.push_back(static_cast<std::uint16_t>(c));
    });
    // Where one character has two codes, take the one the system's encoder
    // writes, which is also what typing the character stores. All of them go
    // through the encoder at once (opening it costs more than converting);
    // should any of them not come out as one pair, each is asked alone.
    const auto takeTwin = [&](char16_t c, const char *pSjis) {
        aFrom[c] = PackSjis(static_cast<std::uint16_t>(static_cast<unsigned char>(pSjis[0]) * 256
                                                       + static_cast<unsigned char>(pSjis[1])));
    };
    const std::u16string twins(aTwinsOf.begin(), aTwinsOf.end());
    int nBad = 0;
    const std::string sjis = Utf16ToCp932(twins, &nBad);
    if (nBad == 0 && sjis.size() == 2 * twins.size()) {
        for (std::size_t i = 0; i < twins.size(); ++i)
            takeTwin(twins[i], sjis.data() + 2 * i);
    } else {
        for (const char16_t c : twins) {
            const std::string one = Utf16ToCp932(std::u16string(1, c), &nBad);
            if (nBad == 0 && one.size() == 2)
                takeTwin(c, one.data());
        }
    }
    for (const CDualForm &dual : DUAL_FORMS)
        aFrom[dual.cOther] = PackSjis(dual.nSjis);
    // A user-defined character of a file is the file's own, not the one a
    // Shift-JIS document keeps at that code: it takes a code of the
    // document's table like any character Shift-JIS lacks.
    for (char32_t c = USER_AREA_FIRST; c <= USER_AREA_LAST; ++c)
        aFrom[c] = 0;
    // Every character whose code is a dual-form code is one of its forms.
    for (std::size_t c = 0; c < aFrom.size(); ++c) {
        const std::uint16_t nCode = CFileCodeTables::CodeOf(aFrom[c]);
        for (std::size_t i = 0; i < DUAL_FORMS.size(); ++i) {
            if (nCode == DUAL_FORMS[i].nSjis) {
                const bool bOther = c != DUAL_FORMS[i].cUsual;
                aFrom[c] |= 1u << (FROMUNI_SEEN_SHIFT + 2 * static_cast<unsigned>(i) + (bOther ? 1 : 0));
            }
        }
    }
    return aFrom;
}

} // namespace

const std::uint32_t *FromUnicodeTable()
{
    static const std::vector<std::uint32_t> aFrom = BuildFromUnicode();
    return aFrom.data();
}

CJisX0212Table::CJisX0212Table() : aChars(94 * 94, 0)
{
    // The whole set through the converter at once, a character at a time
    // only where it refuses one.
    CIconv cd("UTF-32LE", "EUC-JP");
    for (int nRow = 0; nRow < 94; ++nRow) {
        for (int nCell = 0; nCell < 94; ++nCell) {
            const std::size_t i = static_cast<std::size_t>(nRow * 94 + nCell);
            if (nRow >= 84) {
                aChars[i] = USER_AREA_0212 + static_cast<char32_t>((nRow - 84) * 94 + nCell);
                continue;
            }
            if (!cd.IsOpen())
                continue;
            char in[3] = {'\x8F', static_cast<char>(0xA1 + nRow), static_cast<char>(0xA1 + nCell)};
            unsigned char out[8];
            char *pin = in;
            char *pout = reinterpret_cast<char *>(out);
            std::size_t nIn = 3;
            std::size_t nOut = sizeof out;
            iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd.Get(), &pin, &nIn, &pout, &nOut) == static_cast<std::size_t>(-1) || nOut != 4)
                continue;
            aChars[i] = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
        }
    }
    for (std::size_t i = 0; i < aChars.size(); ++i)
        if (aChars[i] != 0)
            mapJis.emplace(aChars[i], static_cast<std::uint16_t>((0x21 + i / 94) << 8 | (0x21 + i % 94)));
}

const CJisX0212Table &JisX0212Table()
{
    static const CJisX0212Table table;
    return table;
}

bool ExtraCharJisPair(char32_t c, std::uint16_t &nPair, bool &b0212)
{
    if (c >= USER_AREA_FIRST && c < USER_AREA_0212) {
        const auto n = static_cast<unsigned>(c - USER_AREA_FIRST);
        nPair = static_cast<std::uint16_t>((0x21 + 84 + n / 94) << 8 | (0x21 + n % 94));
        b0212 = false;
        return true;
    }
    const CJisX0212Table &t = JisX0212Table();
    const auto it = t.mapJis.find(c);
    if (it == t.mapJis.end())
        return false;
    nPair = it->second;
    b0212 = true;
    return true;
}
