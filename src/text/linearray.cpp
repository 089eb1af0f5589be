#include "text/linearray.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

// Blocks of at least this size are mapped, so that growing them is a remap.
constexpr std::size_t MAP_THRESHOLD = 256 * 1024;
// Mappings from this size on ask for huge pages.
constexpr std::size_t HUGE_PAGE = 2 * 1024 * 1024;
constexpr std::size_t PAGE = 4096;
// The smallest arena block: small files take one page or a few.
constexpr std::size_t MIN_ARENA_BLOCK = 16 * 1024;

std::size_t PageRound(std::size_t n)
{
    return (n + PAGE - 1) / PAGE * PAGE;
}

void AdviseHugePages(void *p, std::size_t n)
{
    // Only advice: where the kernel has no huge pages it uses small ones.
    if (n >= HUGE_PAGE)
        ::madvise(p, n, MADV_HUGEPAGE);
}

} // namespace

CLineArray::~CLineArray()
{
    RemoveAll();
}

void CLineArray::Reserve(int nCapacity)
{
    if (nCapacity > m_nCapacity)
        Grow(nCapacity);
}

void CLineArray::Grow(int nMinCapacity)
{
    int nStep = m_nGrowBy > 0 ? m_nGrowBy : std::clamp(m_nSize / 8, 4, 1024);
    // A fixed step keeps the growth predictable while a file loads; with the
    // block remapped in place this costs no copying however large the array.
    // Past a million lines the step widens so the number of remaps stays small.
    nStep = std::max(nStep, m_nCapacity / 16);
    int nNew = std::max(nMinCapacity, m_nCapacity + nStep);
    std::size_t nBytes = static_cast<std::size_t>(nNew) * sizeof(TextLine);

    TextLine *pNew = nullptr;
    if (nBytes >= MAP_THRESHOLD) {
        nBytes = PageRound(nBytes);
        void *p;
        if (m_nMappedBytes > 0) {
            p = ::mremap(m_pData, m_nMappedBytes, nBytes, MREMAP_MAYMOVE);
        } else {
            p = ::mmap(nullptr, nBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p != MAP_FAILED && m_pData) {
                std::memcpy(p, m_pData, static_cast<std::size_t>(m_nSize) * sizeof(TextLine));
                std::free(m_pData);
            }
        }
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        AdviseHugePages(p, nBytes);
        pNew = static_cast<TextLine *>(p);
        m_nMappedBytes = nBytes;
        nNew = static_cast<int>(std::min<std::size_t>(nBytes / sizeof(TextLine), INT32_MAX));
    } else {
        void *p = std::realloc(m_pData, nBytes);
        if (!p)
            throw std::bad_alloc();
        pNew = static_cast<TextLine *>(p);
    }
    m_pData = pNew;
    m_nCapacity = nNew;
}

void CLineArray::InsertAt(int nIndex, const TextLine *pLines, int nCount)
{
    if (nCount <= 0)
        return;
    if (m_nSize + nCount > m_nCapacity)
        Grow(m_nSize + nCount);
    if (nIndex < m_nSize)
        std::memmove(m_pData + nIndex + nCount, m_pData + nIndex,
                     static_cast<std::size_t>(m_nSize - nIndex) * sizeof(TextLine));
    std::memcpy(static_cast<void *>(m_pData + nIndex), pLines,
                static_cast<std::size_t>(nCount) * sizeof(TextLine));
    m_nSize += nCount;
}

void CLineArray::RemoveAt(int nIndex, int nCount)
{
    if (nCount <= 0)
        return;
    std::memmove(static_cast<void *>(m_pData + nIndex), m_pData + nIndex + nCount,
                 static_cast<std::size_t>(m_nSize - nIndex - nCount) * sizeof(TextLine));
    m_nSize -= nCount;
}

void CLineArray::AppendFrom(CLineArray &other)
{
    const int nCount = other.m_nSize;
    if (nCount > 0 && m_nSize + nCount > m_nCapacity)
        Grow(m_nSize + nCount);
    // From the end backwards, a megabyte at a time, each step handing back
    // the pages of other's that it has copied.
    constexpr int STEP = (1 << 20) / static_cast<int>(sizeof(TextLine));
    std::size_t nReleased = other.m_nMappedBytes;
    for (int nLeft = nCount; nLeft > 0;) {
        const int n = std::min(nLeft, STEP);
        nLeft -= n;
        std::memcpy(static_cast<void *>(m_pData + m_nSize + nLeft), other.m_pData + nLeft,
                    static_cast<std::size_t>(n) * sizeof(TextLine));
        const std::size_t nFrom = PageRound(static_cast<std::size_t>(nLeft) * sizeof(TextLine));
        if (nFrom < nReleased) {
            ::madvise(reinterpret_cast<char *>(other.m_pData) + nFrom, nReleased - nFrom, MADV_DONTNEED);
            nReleased = nFrom;
        }
    }
    m_nSize += nCount;
    other.RemoveAll();
}

void CLineArray::RemoveAll()
{
    if (m_nMappedBytes > 0)
        ::munmap(m_pData, m_nMappedBytes);
    else
        std::free(m_pData);
    m_pData = nullptr;
    m_nSize = 0;
    m_nCapacity = 0;
    m_nMappedBytes = 0;
}

void CTextArena::Reserve(std::size_t nBytes, std::size_t nCarry)
{
    if (m_pTop && static_cast<std::size_t>(m_pLimit - m_pTop) >= nBytes)
        return;
    // One byte more than is ever written, so that Top() stays inside its
    // block and an empty line at the very end still belongs to the arena.
    std::size_t nSize = std::max({nCarry + nBytes + 1, m_nNextBlock + 1, MIN_ARENA_BLOCK});
    // A file that grew while it was read: each further block doubles.
    if (!m_aBlocks.empty())
        nSize = std::max(nSize, 2 * m_aBlocks.back().nBytes);
    nSize = PageRound(nSize);
    m_aBlocks.reserve(m_aBlocks.size() + 1);
    void *p = ::mmap(nullptr, nSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    AdviseHugePages(p, nSize);
    char *pBase = static_cast<char *>(p);
    if (nCarry > 0)
        std::memcpy(pBase, m_pTop - nCarry, nCarry);
    m_aBlocks.push_back(CBlock{pBase, nSize});
    m_pTop = pBase + nCarry;
    m_pLimit = pBase + nSize - 1;
    m_nNextBlock = 0;
}

bool CTextArena::Owns(const char *p) const
{
    const auto n = reinterpret_cast<std::uintptr_t>(p);
    for (const CBlock &block : m_aBlocks) {
        const auto nBase = reinterpret_cast<std::uintptr_t>(block.pBase);
        if (n >= nBase && n - nBase < block.nBytes)
            return true;
    }
    return false;
}

void CTextArena::Clear()
{
    for (const CBlock &block : m_aBlocks)
        ::munmap(block.pBase, block.nBytes);
    m_aBlocks.clear();
    m_pTop = nullptr;
    m_pLimit = nullptr;
    m_nNextBlock = 0;
}
