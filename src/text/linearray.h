// Storage for the lines of a text buffer.
//
// CLineArray is a growable array of TextLine records. TextLine is a plain
// record of 16 bytes, so the array moves its elements with memmove and grows
// its block with mremap: the kernel moves pages instead of copying them, and a
// buffer of millions of lines neither copies nor doubles its memory while it
// grows.
//
// CTextArena holds the text of lines read from a file, as the file has it
// (separators included) in a few large mapped blocks. Loading thus
// costs one block instead of a heap block per line, and emptying the buffer
// gives the blocks back at once. A loaded line whose text outgrows its bytes
// moves to a heap block of its own; the space it leaves in the arena is
// reused only when the buffer is emptied.
//
// Large blocks ask the kernel for huge pages: on virtual machines touching
// fresh memory page by page costs more than reading the file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TextLine
{
    char *pszText = nullptr;    // the bytes; not NUL-terminated
    int nLength = 0;            // valid bytes
    std::uint32_t dwFlags = 0;  // LF_ bits
};
// A file of short lines holds millions of these.
static_assert(sizeof(TextLine) == 16);

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
    // Makes room for nCapacity elements in all (no effect if there is room).
    void Reserve(int nCapacity);

    void Add(const TextLine &line)
    {
        if (m_nSize == m_nCapacity)
            Grow(m_nSize + 1);
        m_pData[m_nSize++] = line;
    }
    // Room for nMore elements past the end, to be written through the
    // pointer returned and then counted in with Added.
    TextLine *EndWithRoom(int nMore)
    {
        if (m_nCapacity - m_nSize < nMore)
            Grow(m_nSize + nMore);
        return m_pData + m_nSize;
    }
    void Added(int nCount) { m_nSize += nCount; }
    void InsertAt(int nIndex, const TextLine *pLines, int nCount);
    void RemoveAt(int nIndex, int nCount);
    // Moves every element of other to the end of this array, leaving other
    // empty. other's memory is given back while the elements move, so that
    // the two do not hold the whole of them twice at once.
    void AppendFrom(CLineArray &other);
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

    // Where the next bytes go. Text is written at Top() and kept by moving
    // the top past it; a byte just written may be taken back the same way.
    char *Top() const { return m_pTop; }
    void SetTop(char *p) { m_pTop = p; }
    // Makes room for nBytes at Top(). When a new block is needed, the last
    // nCarry bytes below Top() (a line not yet finished) move to it, so that a
    // line always stays in one piece. Throws std::bad_alloc.
    void Reserve(std::size_t nBytes, std::size_t nCarry);
    // The size of the next block taken (the size of the file to be loaded).
    void SetNextBlockSize(std::size_t nBytes) { m_nNextBlock = nBytes; }

    // Whether p points into the arena (Top() included).
    bool Owns(const char *p) const;
    // Gives every block back.
    void Clear();

private:
    struct CBlock
    {
        char *pBase;
        std::size_t nBytes;
    };
    std::vector<CBlock> m_aBlocks;
    char *m_pTop = nullptr;
    char *m_pLimit = nullptr;  // one byte before the end of the current block
    std::size_t m_nNextBlock = 0;
};
