// The -lh5- compressor of LZH archives: LZ77 over an 8 KB dictionary with
// matches of 3 to 256 bytes, written in blocks that each carry their own
// canonical Huffman codes (one for literals and match lengths, one for the
// match distances, and one that codes the lengths of the first).
//
// Each block is parsed for the fewest bits under its own codes rather than
// for the longest matches. The input is cut into segments of LH5_SEGMENT
// bytes; a segment is coded knowing only the LH5_HISTORY bytes before it,
// so segments can be coded on several threads and their bits joined in
// order, and the result is the same bytes however the work was shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

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

inline constexpr std::size_t LH5_SEGMENT = std::size_t(1) << 20;
inline constexpr std::size_t LH5_HISTORY = std::size_t(1) << 13;

// Bits of a coded segment, most significant first; the last byte may be
// partly used.
struct CLhBits
{
    std::vector<unsigned char> aBytes;
    std::uint64_t nBits = 0;
};

// Codes segments. Holds the match finder's tables, so one coder per thread
// serves any number of segments.
class CLh5SegmentCoder
{
public:
    explicit CLh5SegmentCoder(ELhStream stream = ELhStream::Lh5);
    ~CLh5SegmentCoder();
    CLh5SegmentCoder(const CLh5SegmentCoder &) = delete;
    CLh5SegmentCoder &operator=(const CLh5SegmentCoder &) = delete;

    // Codes p[nHistory, nHistory + n): the nHistory bytes before it (at most
    // LH5_HISTORY) are what a decoder has just produced. n is at most
    // LH5_SEGMENT.
    void Code(const unsigned char *p, std::size_t nHistory, std::size_t n, CLhBits &out);

    struct CState;

private:
    std::unique_ptr<CState> m_p;
};

// Joins the bits of segments, in order, into bytes for a sink.
class CLhBitJoiner
{
public:
    explicit CLhBitJoiner(CByteSink &sink) : m_sink(sink) {}
    bool Append(const CLhBits &bits);
    // Pads the last byte; false when the sink failed at any point.
    bool Finish();
    std::uint64_t GetOutputSize() const { return m_nOut; }

private:
    bool Put(const unsigned char *p, std::size_t n);

    CByteSink &m_sink;
    unsigned m_nPending = 0;      // bits waiting, in the top of m_nPendingByte
    unsigned m_nPendingByte = 0;
    std::uint64_t m_nOut = 0;     // bytes handed to the sink
    bool m_bFailed = false;
    std::vector<unsigned char> m_aShifted;
};

// Codes a stream handed over in pieces of any size, segment by segment.
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
    std::uint64_t GetOutputSize() const { return m_joiner.GetOutputSize(); }

private:
    bool CodeSegment();

    CLh5SegmentCoder m_coder;
    CLhBitJoiner m_joiner;
    CLhBits m_bits;
    // History then the segment being gathered.
    std::vector<unsigned char> m_aBuf;
    std::size_t m_nHistory = 0;
    std::size_t m_nFill = 0;
    bool m_bFailed = false;
};
