// The -lh5- compressor of LZH archives: LZ77 over an 8 KB dictionary with
// matches of 3 to 256 bytes, written in blocks that each carry their own
// canonical Huffman codes (one for literals and match lengths, one for the
// match distances, and one that codes the lengths of the first).
//
// Matches are searched with hash chains and one step of lazy evaluation, as
// gzip does; the encoder never holds more than a small window of the input,
// so files of any size stream through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Where compressed bytes go; false stops the encoder.
class CByteSink
{
public:
    virtual ~CByteSink() = default;
    virtual bool Put(const unsigned char *p, std::size_t n) = 0;
};

// The stream to write. -lh4- is -lh5- with a 4 KB dictionary. -lh6- and
// -lh7- streams have the same layout with larger dictionaries; they differ
// from -lh5- only in the width of the distance table's count, so with
// distances kept within 8 KB every reader of those methods takes them. The
// archives we write use -lh5-, which every LZH reader knows; the others let
// tests check what readers accept.
enum class ELhStream
{
    Lh4,
    Lh5,
    Lh6,
    Lh7,
};

class CLh5Encoder
{
public:
    explicit CLh5Encoder(CByteSink &sink, ELhStream stream = ELhStream::Lh5);
    ~CLh5Encoder();
    CLh5Encoder(const CLh5Encoder &) = delete;
    CLh5Encoder &operator=(const CLh5Encoder &) = delete;

    // Takes the next input bytes; false when the sink failed.
    bool Write(const void *p, std::size_t n);
    // Codes what is left and flushes the last bits; false when the sink failed.
    bool Finish();
    // Compressed bytes handed to the sink so far.
    std::uint64_t GetOutputSize() const { return m_nOutTotal; }

private:
    struct CState;
    std::unique_ptr<CState> m_p;
    std::uint64_t m_nOutTotal = 0;
};
