// The -lh2- and -lh3- decoders on arbitrary streams: no crash, no read or
// write out of bounds, no endless loop, never more bytes than the entry's
// length, and a stream called whole gives exactly that length.
#include "archive/lholddecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool bOk, const char *pszWhat)
{
    if (!bOk) {
        std::fprintf(stderr, "property failed: %s\n", pszWhat);
        std::abort();
    }
}

} // namespace

// The first byte picks the method (bit 0) and the entry's length (the
// rest, in steps of 512 bytes, so that matches can run past it or not).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const ELhOldMethod method = (data[0] & 1) ? ELhOldMethod::Lh3 : ELhOldMethod::Lh2;
    const std::uint64_t nLength = std::uint64_t(data[0] >> 1) * 512 + 37;
    const std::string strPacked(reinterpret_cast<const char *>(data + 1), size - 1);
    std::string strOut;
    const bool bWhole = LhOldDecode(method, strPacked, nLength, strOut);
    Check(strOut.size() <= nLength, "never more than the entry's length");
    Check(!bWhole || strOut.size() == nLength, "a whole stream gives the whole length");
    return 0;
}
