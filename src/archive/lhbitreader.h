// Bits of an LZH stream, most significant first, pulled from a byte source.
// Past the end of the source the reader hands out zero bits, as LZH decoders
// traditionally do, so a decoder can look ahead freely; taking any of those
// bits means the stream was cut short, which IsOverrun() then tells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where compressed bytes come from: up to n bytes into p, 0 at the end.
class CByteSource
{
public:
    virtual ~CByteSource() = default;
    virtual std::size_t Read(unsigned char *p, std::size_t n) = 0;
};

// A source over bytes in memory.
class CMemoryByteSource : public CByteSource
{
public:
    CMemoryByteSource(const void *p, std::size_t n) : m_p(static_cast<const unsigned char *>(p)), m_nLeft(n) {}
    std::size_t Read(unsigned char *p, std::size_t n) override;

private:
    const unsigned char *m_p;
    std::size_t m_nLeft;
};

class CLhBitReader
{
public:
    explicit CLhBitReader(CByteSource &source) : m_source(source), m_aBuf(std::size_t(1) << 16) {}

    // The next n bits (1 to 32) without taking them.
    std::uint32_t Peek(unsigned n)
    {
        if (m_nCount < n)
            Fill();
        return static_cast<std::uint32_t>(m_nWord >> (64 - n));
    }

    void Skip(unsigned n)
    {
        if (m_nCount < n)
            Fill();
        m_nWord <<= n;
        m_nCount -= n;
        if (m_nCount < m_nPadding)
            m_bOverrun = true;
    }

    std::uint32_t Get(unsigned n)
    {
        const std::uint32_t v = Peek(n);
        Skip(n);
        return v;
    }

    bool GetBit()
    {
        if (m_nCount == 0)
            Fill();
        const bool b = (m_nWord >> 63) != 0;
        m_nWord <<= 1;
        if (--m_nCount < m_nPadding)
            m_bOverrun = true;
        return b;
    }

    // Whether bits past the end of the source were taken.
    bool IsOverrun() const { return m_bOverrun; }
    // Bytes of the source whose bits have been taken, wholly or in part.
    std::uint64_t GetBytesUsed() const
    {
        const std::uint64_t nWaiting = (m_nEnd - m_nPos) * std::uint64_t(8) + (m_nCount > m_nPadding ? m_nCount - m_nPadding : 0);
        return (m_nBytesRead * 8 - nWaiting + 7) / 8;
    }

private:
    void Fill();

    CByteSource &m_source;
    std::vector<unsigned char> m_aBuf;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bEnd = false;
    std::uint64_t m_nWord = 0;  // bits waiting, from the top
    unsigned m_nCount = 0;      // how many
    unsigned m_nPadding = 0;    // of which the last ones are zeros from past the end
    bool m_bOverrun = false;
    std::uint64_t m_nBytesRead = 0;
};
