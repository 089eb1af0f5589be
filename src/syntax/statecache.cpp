#include "syntax/statecache.h"

#include "syntax/viewtype.h"
#include "text/textbuffer.h"

#include <algorithm>

void CLineStateCache::EnsureSize(int nLineCount)
{
    if (nLineCount > GetLineStateCount())
        m_pdwLineStates.resize(static_cast<std::size_t>(nLineCount), PARSE_STATE_UNKNOWN);
}

DWORD CLineStateCache::GetLineParseState(CLineParser &parser, int nLine)
{
    if (nLine < 0)
        return 0;
    const int nLineCount = parser.GetLineCount();
    if (nLineCount <= 0)
        return 0;
    EnsureSize(nLineCount);
    return StateAt(parser, nLine < nLineCount ? nLine : nLineCount - 1);
}

DWORD CLineStateCache::StateAt(CLineParser &parser, int nLine)
{
    if (nLine < m_nKnown)
        return m_pdwLineStates[static_cast<std::size_t>(nLine)];
    DWORD dwState = m_nKnown > 0 ? m_pdwLineStates[static_cast<std::size_t>(m_nKnown - 1)] : 0;
    for (int L = m_nKnown; L <= nLine; ++L) {
        int nItems = 0;
        dwState = parser.ParseLineColors(dwState, L, nullptr, nItems);
        m_pdwLineStates[static_cast<std::size_t>(L)] = dwState;
    }
    m_nKnown = nLine + 1;
    return dwState;
}

DWORD CLineStateCache::ParseLineForDrawing(CLineParser &parser, int nLine,
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
    const DWORD dwPrevious = nLine > 0 ? StateAt(parser, nLine - 1) : 0;
    const auto nCapacity = static_cast<std::size_t>(ColorBlockCapacity(nLength));
    if (aBuffer.size() < nCapacity)
        aBuffer.resize(nCapacity);
    const DWORD dwState = parser.ParseLineColors(dwPrevious, nLine, aBuffer.data(), nBlocks);
    m_pdwLineStates[static_cast<std::size_t>(nLine)] = dwState;
    if (m_nKnown == nLine)
        m_nKnown = nLine + 1;
    return dwState;
}

void CLineStateCache::OnTextChanged(DWORD dwFlags, int nLine, int nLineCount)
{
    if (dwFlags & NOTIFY_RESET) {
        Reset();
        return;
    }
    if ((dwFlags & NOTIFY_FLAGS_ONLY) || m_pdwLineStates.empty())
        return;
    if (nLine < 0)
        nLine = 0;
    if (!(dwFlags & NOTIFY_ONE_LINE) && nLineCount >= 0)
        m_pdwLineStates.resize(static_cast<std::size_t>(nLineCount), PARSE_STATE_UNKNOWN);
    InvalidateFrom(nLine);
}

void CLineStateCache::InvalidateFrom(int nLine)
{
    m_nKnown = std::min(m_nKnown, std::max(nLine, 0));
    m_nKnown = std::min(m_nKnown, GetLineStateCount());
}

void CLineStateCache::Reset()
{
    std::vector<DWORD>().swap(m_pdwLineStates);
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

DWORD CSyntaxColorer::ParseLineColors(DWORD dwCookie, int nLineIndex, ColorBlock *pBuf,
                                      int &nActualItems)
{
    return ParseLineByViewType(m_nViewType, m_lines, dwCookie, nLineIndex, pBuf, nActualItems);
}
