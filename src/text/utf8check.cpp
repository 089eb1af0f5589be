#include "text/utf8check.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

enum class EUtf8Stop
{
    End,        // every sequence well-formed
    Cut,        // a sequence cut by the end of the bytes
    Malformed,  // a byte no well-formed sequence allows there
};

EUtf8Stop ScanUtf8(std::string_view bytes, bool &bWide)
{
    bWide = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            // ASCII eight bytes at a time.
            ++i;
            while (bytes.size() - i >= 8) {
                std::uint64_t w;
                std::memcpy(&w, bytes.data() + i, 8);
                if (w & 0x8080808080808080ULL)
                    break;
                i += 8;
            }
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
            return EUtf8Stop::Malformed;
        }
        unsigned nCode = c & (0x3F >> nMore);
        for (int k = 1; k <= nMore; ++k) {
            if (i + static_cast<std::size_t>(k) >= bytes.size())
                return EUtf8Stop::Cut;
            const auto t = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80)
                return EUtf8Stop::Malformed;
            nCode = (nCode << 6) | (t & 0x3F);
        }
        if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF))
            return EUtf8Stop::Malformed;
        bWide = true;
        i += static_cast<std::size_t>(nMore) + 1;
    }
    return EUtf8Stop::End;
}

} // namespace

EUtf8Check CheckUtf8(std::string_view bytes, bool bWhole)
{
    bool bWide = false;
    switch (ScanUtf8(bytes, bWide)) {
    case EUtf8Stop::End:
        return bWide ? EUtf8Check::Wide : EUtf8Check::AsciiOnly;
    case EUtf8Stop::Cut:
        return !bWhole && bWide ? EUtf8Check::Wide : EUtf8Check::Invalid;
    case EUtf8Stop::Malformed:
        break;
    }
    return EUtf8Check::Invalid;
}

bool IsNeverUtf8(std::string_view bytes)
{
    bool bWide = false;
    return ScanUtf8(bytes, bWide) == EUtf8Stop::Malformed;
}
