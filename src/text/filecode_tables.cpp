#include "text/filecode_tables.h"

#include "text/codec.h"
#include "text/filecode.h"
#include "text/sjis.h"

#include <string>

CFileCodeTables::CFileCodeTables()
    : aDouble(256 * 256, 0), aFromUnicode(0x10000, FILECODE_NONE), aDualIndex(256 * 256, -1),
      aLowTwin(256 * 256, FILECODE_NONE)
{
    for (int b = 0; b < 256; ++b) {
        if (IsSjisLeadByte(static_cast<unsigned char>(b)))
            continue;
        const char ch = static_cast<char>(b);
        int n = 0;
        const char32_t c = Cp932DecodeChar(&ch, 1, n);
        if (c == CODEC_INVALID)
            continue;
        aSingle[static_cast<std::size_t>(b)] = c;
        if (c < 0x10000 && aFromUnicode[c] == FILECODE_NONE)
            aFromUnicode[c] = static_cast<std::uint16_t>(b);
    }
    // The lowest code of each character, for the twins of the IBM extensions.
    std::vector<std::uint16_t> aLowest(0x10000, FILECODE_NONE);
    std::vector<std::uint16_t> aTwinsOf;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsSjisLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsSjisTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            int n = 0;
            const char32_t c = Cp932DecodeChar(pair, 2, n);
            if (c == CODEC_INVALID || c >= 0x10000)
                continue;
            const auto nCode = static_cast<std::uint16_t>(lead * 256 + trail);
            aDouble[nCode] = c;
            if (aFromUnicode[c] == FILECODE_NONE)
                aFromUnicode[c] = nCode;
            else
                aTwinsOf.push_back(static_cast<std::uint16_t>(c));
            if (lead < 0xF0 && aLowest[c] == FILECODE_NONE)
                aLowest[c] = nCode;
        }
    }
    // Where one character has two codes, take the one the system's encoder
    // writes, which is also what typing the character stores.
    for (const std::uint16_t c : aTwinsOf) {
        std::u16string one(1, static_cast<char16_t>(c));
        int nBad = 0;
        const std::string sjis = Utf16ToCp932(one, &nBad);
        if (nBad == 0 && sjis.size() == 2)
            aFromUnicode[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(sjis[0]) * 256
                                                         + static_cast<unsigned char>(sjis[1]));
    }
    for (std::size_t i = 0; i < DUAL_FORMS.size(); ++i) {
        aDualIndex[DUAL_FORMS[i].nSjis] = static_cast<std::int8_t>(i);
        aFromUnicode[DUAL_FORMS[i].cOther] = DUAL_FORMS[i].nSjis;
    }
    for (int nCode = 0xF000; nCode < 0x10000; ++nCode)
        if (aDouble[static_cast<std::size_t>(nCode)] != 0)
            aLowTwin[static_cast<std::size_t>(nCode)] = aLowest[aDouble[static_cast<std::size_t>(nCode)]];
}

const CFileCodeTables &FileCodeTables()
{
    static const CFileCodeTables tables;
    return tables;
}
