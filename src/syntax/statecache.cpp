#include "syntax/statecache.h"

#include "syntax/viewtype.h"
#include "text/textbuffer.h"

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>

namespace {

// Lines whose room for blocks would pass this many are parsed into scratch
// room of their own (below).
constexpr std::size_t LONG_LINE_BLOCKS = 64 * 1024;

// Room for the blocks of one long line. A routine may add up to 3 blocks per
// byte, but a line needs a small part of that: the room is mapped without
// being touched, so only the pages that blocks fill ever take memory. Filling
// a vector instead would write all of it: 240 MB for a line of 10 MB.
class CBlockScratch
{
public:
    // No room at all for a count of 0.
    explicit CBlockScratch(std::size_t nCount)
    {
        if (nCount == 0)
            return;
        // Huge pages, where the kernel offers them, take one fault where small
        // ones take 512; they need room that starts on their boundary, so the
        // room is mapped that much larger and cut to it.
        m_nBytes = (nCount * sizeof(ColorBlock) + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
        void *pMap = ::mmap(nullptr, m_nBytes + HUGE_PAGE, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (pMap == MAP_FAILED)
            return;
        const auto nStart = reinterpret_cast<std::uintptr_t>(pMap);
        const std::uintptr_t nAligned = (nStart + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
        if (nAligned > nStart)
            ::munmap(pMap, nAligned - nStart);
        ::munmap(reinterpret_cast<void *>(nAligned + m_nBytes), HUGE_PAGE - (nAligned - nStart));
        m_pBlocks = reinterpret_cast<ColorBlock *>(nAligned);
        ::madvise(m_pBlocks, m_nBytes, MADV_HUGEPAGE);
    }
    ~CBlockScratch()
    {
        if (m_pBlocks != nullptr)
            ::munmap(m_pBlocks, m_nBytes);
    }
    CBlockScratch(const CBlockScratch &) = delete;
    CBlockScratch &operator=(const CBlockScratch &) = delete;

    // Null when the room could not be mapped.
    ColorBlock *Data() const { return m_pBlocks; }

    // Replaces aBuffer with the first nBlocks blocks. The room already copied
    // is given back on the way, so that the runs are not held twice.
    void MoveTo(std::vector<ColorBlock> &aBuffer, int nBlocks)
    {
        const std::size_t nChunk = HUGE_PAGE / sizeof(ColorBlock);
        std::vector<ColorBlock> aRuns;
        aRuns.reserve(static_cast<std::size_t>(nBlocks));
        for (std::size_t i = 0; i < static_cast<std::size_t>(nBlocks); i += nChunk) {
            const std::size_t nEnd = std::min(i + nChunk, static_cast<std::size_t>(nBlocks));
            aRuns.insert(aRuns.end(), m_pBlocks + i, m_pBlocks + nEnd);
            if (nEnd == i + nChunk)
                ::madvise(m_pBlocks + i, HUGE_PAGE, MADV_DONTNEED);
        }
        aBuffer.swap(aRuns);
    }

private:
    static constexpr std::size_t HUGE_PAGE = 2 * 1024 * 1024;

    std::size_t m_nBytes = 0;
    ColorBlock *m_pBlocks = nullptr;
};

} // namespace

void CLineStateCache::EnsureSize(int nLineCount)
{
    m_nCount = std::max(m_nCount, nLineCount);
}

void CLineStateCache::Store(int nLine, std::uint32_t dwState)
{
    const auto n = static_cast<std::size_t>(nLine);
    if (n < m_pdwLineStates.size())
        m_pdwLineStates[n] = dwState;
    else
        m_pdwLineStates.push_back(dwState);
}

std::uint32_t CLineStateCache::GetLineParseState(CLineParser &parser, int nLine)
{
    if (nLine < 0)
        return 0;
    const int nLineCount = parser.GetLineCount();
    if (nLineCount <= 0)
        return 0;
    EnsureSize(nLineCount);
    return StateAt(parser, nLine < nLineCount ? nLine : nLineCount - 1);
}

std::uint32_t CLineStateCache::StateAt(CLineParser &parser, int nLine)
{
    if (nLine < m_nKnown)
        return m_pdwLineStates[static_cast<std::size_t>(nLine)];
    std::uint32_t dwState =
        m_nKnown > 0 ? m_pdwLineStates[static_cast<std::size_t>(m_nKnown - 1)] : 0;
    for (int L = m_nKnown; L <= nLine; ++L) {
        int nItems = 0;
        dwState = parser.ParseLineColors(dwState, L, nullptr, nItems);
        Store(L, dwState);
    }
    m_nKnown = nLine + 1;
    return dwState;
}

std::uint32_t CLineStateCache::ParseLineForDrawing(CLineParser &parser, int nLine,
                                                   std::vector<ColorBlock> &aBuffer, int &nBlocks)
{
    nBlocks = 0;
    const int nLineCount = parser.GetLineCount();
    if (nLine < 0 || nLine >= nLineCount)
        return 0;
    EnsureSize(nLineCount);
    const int nLength = parser.GetLineLength(nLine);
    if (nLength <= 0)
        return StateAt(parser, nLine);
    const std::uint32_t dwPrevious = nLine > 0 ? StateAt(parser, nLine - 1) : 0;
    const auto nCapacity = static_cast<std::size_t>(ColorBlockCapacity(nLength));
    std::uint32_t dwState = 0;
    CBlockScratch scratch(nCapacity > LONG_LINE_BLOCKS ? nCapacity : 0);
    if (scratch.Data() != nullptr) {
        dwState = parser.ParseLineColors(dwPrevious, nLine, scratch.Data(), nBlocks);
        scratch.MoveTo(aBuffer, nBlocks);
    } else {
        if (aBuffer.size() < nCapacity)
            aBuffer.resize(nCapacity);
        dwState = parser.ParseLineColors(dwPrevious, nLine, aBuffer.data(), nBlocks);
    }
    Store(nLine, dwState);
    if (m_nKnown == nLine)
        m_nKnown = nLine + 1;
    return dwState;
}

void CLineStateCache::OnTextChanged(std::uint32_t dwFlags, int nLine, int nLineCount)
{
    if (dwFlags & NOTIFY_RESET) {
        Reset();
        return;
    }
    if ((dwFlags & NOTIFY_FLAGS_ONLY) || m_nCount == 0)
        return;
    if (nLine < 0)
        nLine = 0;
    if (!(dwFlags & NOTIFY_ONE_LINE) && nLineCount >= 0) {
        m_nCount = nLineCount;
        if (m_pdwLineStates.size() > static_cast<std::size_t>(nLineCount))
            m_pdwLineStates.resize(static_cast<std::size_t>(nLineCount));
    }
    InvalidateFrom(nLine);
}

void CLineStateCache::InvalidateFrom(int nLine)
{
    m_nKnown = std::min(m_nKnown, std::max(nLine, 0));
    m_nKnown = std::min(m_nKnown, GetLineStateCount());
}

void CLineStateCache::Reset()
{
    std::vector<std::uint32_t>().swap(m_pdwLineStates);
    m_nCount = 0;
    m_nKnown = 0;
}

CSyntaxColorer::CSyntaxColorer(const CLineSource &lines, int nViewType)
    : m_lines(lines), m_nViewType(nViewType)
{
}

void CSyntaxColorer::SetViewType(int nViewType)
{
    m_nViewType = nViewType;
    m_cache.Reset();
}

int CSyntaxColorer::GetLineCount() const
{
    return m_lines.GetLineCount();
}

int CSyntaxColorer::GetLineLength(int nLine) const
{
    return m_lines.GetLineLength(nLine);
}

std::uint32_t CSyntaxColorer::ParseLineColors(std::uint32_t dwCookie, int nLineIndex,
                                              ColorBlock *pBuf, int &nActualItems)
{
    return ParseLineByViewType(m_nViewType, m_lines, dwCookie, nLineIndex, pBuf, nActualItems);
}
