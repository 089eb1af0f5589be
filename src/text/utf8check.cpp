#include "text/utf8check.h"

#include <cstddef>

EUtf8Check CheckUtf8(std::string_view bytes, bool bWhole)
{
    bool bWide = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int nMore = 0;
        unsigned nMin = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            nMore = 1;
            nMin = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nMore = 2;
            nMin = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nMore = 3;
            nMin = 0x10000;
        } else {
            return EUtf8Check::Invalid;
        }
        unsigned nCode = c & (0x3F >> nMore);
        for (int k = 1; k <= nMore; ++k) {
            if (i + static_cast<std::size_t>(k) >= bytes.size())
                return !bWhole && bWide ? EUtf8Check::Wide : EUtf8Check::Invalid;
            const auto t = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80)
                return EUtf8Check::Invalid;
            nCode = (nCode << 6) | (t & 0x3F);
        }
        if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF))
            return EUtf8Check::Invalid;
        bWide = true;
        i += static_cast<std::size_t>(nMore) + 1;
    }
    return bWide ? EUtf8Check::Wide : EUtf8Check::AsciiOnly;
}
