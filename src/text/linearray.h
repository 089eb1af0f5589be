// Storage for the lines of a text buffer.
//
// CLineArray is a growable array of TextLine records. TextLine is a plain
// record, so the array moves its elements with memmove and grows its block
// with mremap: the kernel moves pages instead of copying them, and a buffer of
// millions of lines neither copies nor doubles its memory while it grows.
//
// CTextArena hands out the text blocks of lines read from a file. Lines loaded
// together live packed in large chunks instead of one heap block each, which
// keeps a loaded file at well under twice its size in memory. A line whose
// text outgrows its block moves to a heap block of its own; the space it leaves
// in the arena is reused only when the buffer is emptied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TextLine
{
    char *pszText = nullptr;    // the bytes; not NUL-terminated
    int nLength = 0;            // valid bytes
    int nCapacity = 0;          // bytes allocated: a multiple of 16 above nLength, or 0
    std::uint32_t dwFlags = 0;  // LF_ bits
    bool bInArena = false;      // the block belongs to the buffer's arena, not the heap
};

// The capacity of a block for n bytes: the next multiple of 16 above n.
inline constexpr int LineCapacityFor(std::int64_t n)
{
    return static_cast<int>((n / 16 + 1) * 16);
}

class CLineArray
{
public:
    CLineArray() = default;
    ~CLineArray();
    CLineArray(const CLineArray &) = delete;
    CLineArray &operator=(const CLineArray &) = delete;

    int GetSize() const { return m_nSize; }
    bool IsEmpty() const { return m_nSize == 0; }
    TextLine &operator[](int i) { return m_pData[i]; }
    const TextLine &operator[](int i) const { return m_pData[i]; }

    // Minimum number of elements by which the array grows (0: one eighth of its size).
    void SetGrowBy(int nGrowBy) { m_nGrowBy = nGrowBy; }

    void Add(const TextLine &line) { InsertAt(m_nSize, &line, 1); }
    void InsertAt(int nIndex, const TextLine *pLines, int nCount);
    void RemoveAt(int nIndex, int nCount);
    // Drops every element and releases the block (the texts are the caller's).
    void RemoveAll();

private:
    void Grow(int nMinCapacity);

    TextLine *m_pData = nullptr;
    int m_nSize = 0;
    int m_nCapacity = 0;
    int m_nGrowBy = 0;
    std::size_t m_nMappedBytes = 0;  // size of the mapping when m_pData is mapped
};

class CTextArena
{
public:
    CTextArena() = default;
    ~CTextArena() { Clear(); }
    CTextArena(const CTextArena &) = delete;
    CTextArena &operator=(const CTextArena &) = delete;

    // A block of nBytes (a multiple of 16), or null when it is too big for the
    // arena (the caller then takes a heap block).
    char *Allocate(int nBytes);
    // Size of the chunks taken from now on, in bytes.
    void SetChunkSize(std::size_t nBytes);
    void Clear();

private:
    std::vector<char *> m_aChunks;
    char *m_pNext = nullptr;
    std::size_t m_nLeft = 0;
    std::size_t m_nChunkSize = std::size_t(1) << 20;
};
