#include "text/linearray.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

// Blocks of at least this size are mapped, so that growing them is a remap.
constexpr std::size_t MAP_THRESHOLD = 256 * 1024;

std::size_t PageRound(std::size_t n)
{
    constexpr std::size_t page = 4096;
    return (n + page - 1) / page * page;
}

} // namespace

CLineArray::~CLineArray()
{
    RemoveAll();
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
            p = mremap(m_pData, m_nMappedBytes, nBytes, MREMAP_MAYMOVE);
        } else {
            p = mmap(nullptr, nBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p != MAP_FAILED && m_pData) {
                std::memcpy(p, m_pData, static_cast<std::size_t>(m_nSize) * sizeof(TextLine));
                std::free(m_pData);
            }
        }
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        pNew = static_cast<TextLine *>(p);
        m_nMappedBytes = nBytes;
        nNew = static_cast<int>(nBytes / sizeof(TextLine));
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

void CLineArray::RemoveAll()
{
    if (m_nMappedBytes > 0)
        munmap(m_pData, m_nMappedBytes);
    else
        std::free(m_pData);
    m_pData = nullptr;
    m_nSize = 0;
    m_nCapacity = 0;
    m_nMappedBytes = 0;
}

char *CTextArena::Allocate(int nBytes)
{
    const auto n = static_cast<std::size_t>(nBytes);
    if (n > m_nChunkSize / 4)
        return nullptr;
    if (n > m_nLeft) {
        char *pChunk = static_cast<char *>(std::malloc(m_nChunkSize));
        if (!pChunk)
            throw std::bad_alloc();
        m_aChunks.push_back(pChunk);
        m_pNext = pChunk;
        m_nLeft = m_nChunkSize;
    }
    char *p = m_pNext;
    m_pNext += n;
    m_nLeft -= n;
    return p;
}

void CTextArena::SetChunkSize(std::size_t nBytes)
{
    m_nChunkSize = std::max<std::size_t>(nBytes, 64 * 1024);
}

void CTextArena::Clear()
{
    for (char *p : m_aChunks)
        std::free(p);
    m_aChunks.clear();
    m_pNext = nullptr;
    m_nLeft = 0;
}
