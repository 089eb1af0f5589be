// Decoders of -lh2- and -lh3-, the two LZH methods of LHarc's time that
// came between -lh1- and -lh5- and that no library here reads. Both are
// LZ77 over an 8 KB dictionary with matches of 3 to 256 bytes:
// -lh2- codes literals, match lengths and the top bits of match positions
// with adaptive Huffman trees; -lh3- codes them with static Huffman codes
// that each block carries.
//
// Bytes in, bytes out: the decoder never trusts the stream. A code that
// leads nowhere, a position before the first byte, a match past the length
// the header gives, or a stream that ends early stops it as damaged.
#pragma once

#include "archive/lhbitreader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class ELhOldMethod
{
    Lh2,
    Lh3,
};

// "-lh2-" or "-lh3-"; false for any other method.
bool LhOldMethodFromName(const std::string &strMethod, ELhOldMethod &method);

class CLhOldDecoder
{
public:
    // nLength: the entry's length, as its header gives it.
    CLhOldDecoder(ELhOldMethod method, CByteSource &source, std::uint64_t nLength);
    ~CLhOldDecoder();
    CLhOldDecoder(const CLhOldDecoder &) = delete;
    CLhOldDecoder &operator=(const CLhOldDecoder &) = delete;

    // Up to n next bytes; 0 once all are out or the stream is damaged.
    std::size_t Read(void *p, std::size_t n);
    bool IsDamaged() const;
    // Bytes of the source decoded so far.
    std::uint64_t GetPackedBytesUsed() const;

    struct CState;

private:
    std::unique_ptr<CState> m_p;
};

// A whole stream at once, for tests and tools; false when it is damaged.
bool LhOldDecode(ELhOldMethod method, const std::string &strPacked, std::uint64_t nLength, std::string &strOut);
