// Image headers on arbitrary bytes, alone and behind each format's signature:
// no crash or read past the input, and a found size is at least 1 x 1.
#include "filetools/imagesize.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool bOk, const char *pszWhat)
{
    if (!bOk) {
        std::fprintf(stderr, "property failed: %s\n", pszWhat);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view in(reinterpret_cast<const char *>(data), size);
    const CImageSize size1 = ReadImageSize(in);
    if (size1.eFormat != IMAGE_UNKNOWN)
        Check(size1.nWidth >= 1 && size1.nHeight >= 1, "a found size is at least 1 x 1");
    // The same bytes behind a known signature, so that every format's reader sees them.
    static const std::string_view SIGNATURES[] = {
        std::string_view("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16), "GIF89a", "BM", "\xFF\xD8\xFF",
        "RIFF\0\0\0\0WEBPVP8X",
    };
    std::string strBytes;
    for (const std::string_view strSignature : SIGNATURES) {
        strBytes.assign(strSignature);
        strBytes.append(in);
        const CImageSize size2 = ReadImageSize(strBytes);
        if (size2.eFormat != IMAGE_UNKNOWN)
            Check(size2.nWidth >= 1 && size2.nHeight >= 1, "a found size is at least 1 x 1");
    }
    return 0;
}
