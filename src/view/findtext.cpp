#include "view/findtext.h"

#include "search/plainsearch.h"

#include <algorithm>

CTextSearch::CTextSearch() = default;
CTextSearch::~CTextSearch() = default;

int CTextSearch::CountLineBreaks(std::string_view strPattern)
{
    int nCount = 0;
    for (std::size_t i = 0; i + 1 < strPattern.size(); ++i) {
        if (strPattern[i] != '\\')
            continue;
        if (strPattern[i + 1] == 'n')
            ++nCount;
        ++i;  // an escaped backslash does not start an escape
    }
    return nCount;
}

bool CTextSearch::Prepare(const std::string &strWhat, std::uint32_t dwFlags)
{
    const std::uint32_t dwKind = dwFlags & (SEARCH_MATCH_CASE | SEARCH_REGEX);
    if (m_bPrepared && m_dwPrepared == dwKind && m_strPrepared == strWhat)
        return !m_bBadExpression;
    m_bPrepared = true;
    m_dwPrepared = dwKind;
    m_strPrepared = strWhat;
    m_pRegex.reset();
    m_bBadExpression = false;
    m_nJoin = 0;
    if (dwFlags & SEARCH_REGEX) {
        m_pRegex.reset(RegexCompile(strWhat.c_str()));
        m_bBadExpression = !m_pRegex;
        m_nJoin = CountLineBreaks(strWhat);
        return !m_bBadExpression;
    }
    m_strFolded = strWhat;
    if (!(dwFlags & SEARCH_MATCH_CASE))
        UpperCaseSingleBytes(m_strFolded);
    return !m_strFolded.empty();
}

void CTextSearch::BuildWindow(const CLineSource &lines, int nLine, std::uint32_t dwFlags,
                              CWindow &w)
{
    const int nLast = std::min(nLine + m_nJoin, lines.GetLineCount() - 1);
    const bool bFold = !(dwFlags & (SEARCH_REGEX | SEARCH_MATCH_CASE));
    w.nLine = nLine;
    w.anStarts.assign(1, 0);
    auto Line = [&lines](int n) {
        const int nLength = lines.GetLineLength(n);
        return nLength > 0 ? std::string_view(lines.GetLineText(n), static_cast<std::size_t>(nLength))
                           : std::string_view();
    };
    if (nLast == nLine && !bFold) {
        w.text = Line(nLine);
        return;
    }
    m_strScratch.assign(Line(nLine));
    for (int n = nLine + 1; n <= nLast; ++n) {
        m_strScratch += '\n';
        w.anStarts.push_back(static_cast<int>(m_strScratch.size()));
        m_strScratch.append(Line(n));
    }
    if (bFold)
        UpperCaseSingleBytes(m_strScratch);
    w.text = m_strScratch;
}

CPoint CTextSearch::WindowPoint(const CWindow &w, int nOffset) const
{
    std::size_t k = w.anStarts.size() - 1;
    while (k > 0 && w.anStarts[k] > nOffset)
        --k;
    return CPoint(nOffset - w.anStarts[k], w.nLine + static_cast<int>(k));
}

int CTextSearch::FindInWindow(const CWindow &w, int nFrom, int nLimit, std::uint32_t dwFlags,
                              bool bLast, int &nLength)
{
    const int nFirstLineEnd = w.anStarts.size() > 1 ? w.anStarts[1] - 1 : static_cast<int>(w.text.size());
    if (!m_pRegex) {
        const int nFound = FindPlainText(w.text, m_strFolded, nFrom, nLimit, (dwFlags & SEARCH_WHOLE_WORD) != 0, bLast);
        nLength = static_cast<int>(m_strFolded.size());
        return nFound;
    }
    // An expression sees the text up to the limit only, so that its match
    // cannot run past it.
    const std::string_view subject = w.text.substr(0, static_cast<std::size_t>(nLimit));
    const int nSubject = static_cast<int>(subject.size());
    int nFound = -1;
    for (int nPos = nFrom; nPos <= nSubject;) {
        if (!RegexExecute(m_pRegex.get(), subject.data(), nSubject, nPos, m_regs, (dwFlags & SEARCH_MATCH_CASE) != 0,
                          &m_ctx)) {
            m_bAborted = m_bAborted || m_ctx.WasAborted();
            break;
        }
        if (m_regs.nStart[0] > nFirstLineEnd)
            break;
        nFound = m_regs.nStart[0];
        nLength = m_regs.nEnd[0] - m_regs.nStart[0];
        m_matchRegs = m_regs;
        if (!bLast)
            break;
        nPos = nFound + 1;
    }
    return nFound;
}

void CTextSearch::KeepMatch(const CWindow &w, int nOffset, int nLength, std::uint32_t dwFlags)
{
    m_nMatchLength = nLength;
    m_ptMatchEnd = WindowPoint(w, nOffset + nLength);
    m_bHasMatchLine = (dwFlags & SEARCH_REGEX) != 0;
    if (m_bHasMatchLine)
        m_strMatchLine.assign(w.text);
}

bool CTextSearch::Tick(int nLine)
{
    if (!m_fnProgress || ++m_nTick < 4096)
        return true;
    m_nTick = 0;
    if (m_fnProgress(nLine))
        return true;
    m_bAborted = true;
    return false;
}

bool CTextSearch::Pass(const CLineSource &lines, CPoint ptStart, CPoint ptEnd,
                       std::uint32_t dwFlags, CPoint &ptFound)
{
    CWindow w;
    for (int y = ptStart.y; y <= ptEnd.y; ++y) {
        if (!Tick(y))
            return false;
        BuildWindow(lines, y, dwFlags, w);
        const int nFrom = y == ptStart.y ? std::min(ptStart.x, lines.GetLineLength(y)) : 0;
        int nLength = 0;
        const int nFound = FindInWindow(w, nFrom, static_cast<int>(w.text.size()), dwFlags, false, nLength);
        if (m_bAborted)
            return false;
        if (nFound < 0)
            continue;
        // A match that runs past the block ends the pass.
        if (PointBefore(ptEnd, WindowPoint(w, nFound + nLength)))
            return false;
        ptFound = CPoint(nFound, y);
        KeepMatch(w, nFound, nLength, dwFlags);
        return true;
    }
    return false;
}

bool CTextSearch::PassUp(const CLineSource &lines, CPoint ptStart, CPoint ptBegin,
                         std::uint32_t dwFlags, CPoint &ptFound)
{
    CWindow w;
    for (int y = ptStart.y; y >= ptBegin.y; --y) {
        if (!Tick(y))
            return false;
        BuildWindow(lines, y, dwFlags, w);
        // The match must end before the start position.
        int nLimit = static_cast<int>(w.text.size());
        const std::size_t k = static_cast<std::size_t>(ptStart.y - y);
        if (k < w.anStarts.size())
            nLimit = std::min(nLimit, w.anStarts[k] + ptStart.x);
        const int nFrom = y == ptBegin.y ? ptBegin.x : 0;
        int nLength = 0;
        const int nFound = FindInWindow(w, nFrom, nLimit, dwFlags, true, nLength);
        if (m_bAborted)
            return false;
        if (nFound < 0)
            continue;
        ptFound = CPoint(nFound, y);
        KeepMatch(w, nFound, nLength, dwFlags);
        return true;
    }
    return false;
}

bool CTextSearch::SearchInRange(const CLineSource &lines, const std::string &strWhat,
                                CPoint ptStart, CPoint ptBlockBegin, CPoint ptBlockEnd,
                                std::uint32_t dwFlags, bool bWrap, CPoint &ptFound)
{
    m_bAborted = false;
    m_nTick = 0;
    bool bFound = false;
    const int nCount = lines.GetLineCount();
    if (nCount > 0 && Prepare(strWhat, dwFlags) && PointBefore(ptBlockBegin, ptBlockEnd)) {
        // Positions outside the text are brought back to it.
        auto Clamp = [&](CPoint pt) {
            pt.y = std::clamp(pt.y, 0, nCount - 1);
            pt.x = std::clamp(pt.x, 0, lines.GetLineLength(pt.y));
            return pt;
        };
        ptBlockBegin = Clamp(ptBlockBegin);
        ptBlockEnd = Clamp(ptBlockEnd);
        if (PointBefore(ptStart, ptBlockBegin))
            ptStart = ptBlockBegin;
        if (PointBefore(ptBlockEnd, ptStart))
            ptStart = ptBlockEnd;
        if (dwFlags & SEARCH_UP) {
            bFound = PassUp(lines, ptStart, ptBlockBegin, dwFlags, ptFound);
            if (!bFound && bWrap && !m_bAborted)
                bFound = PassUp(lines, ptBlockEnd, ptBlockBegin, dwFlags, ptFound);
        } else {
            bFound = Pass(lines, ptStart, ptBlockEnd, dwFlags, ptFound);
            if (!bFound && bWrap && !m_bAborted)
                bFound = Pass(lines, ptBlockBegin, ptBlockEnd, dwFlags, ptFound);
        }
    }
    if (!bFound) {
        m_bHasMatchLine = false;
        m_strMatchLine.clear();
    }
    return bFound;
}

bool CTextSearch::SearchInText(const CLineSource &lines, const std::string &strWhat, CPoint ptStart,
                               std::uint32_t dwFlags, bool bWrap, CPoint &ptFound)
{
    const int nLast = lines.GetLineCount() - 1;
    const CPoint ptEnd = nLast >= 0 ? CPoint(lines.GetLineLength(nLast), nLast) : CPoint();
    return SearchInRange(lines, strWhat, ptStart, CPoint(0, 0), ptEnd, dwFlags, bWrap, ptFound);
}

int CTextSearch::SearchInLine(std::string_view text, const std::string &strWhat,
                              std::uint32_t dwFlags, int &nMatchLength, int nFrom)
{
    m_bAborted = false;
    nMatchLength = 0;
    if (!Prepare(strWhat, dwFlags))
        return -1;
    CWindow w;
    w.anStarts.assign(1, 0);
    w.text = text;
    if (!(dwFlags & (SEARCH_REGEX | SEARCH_MATCH_CASE))) {
        m_strScratch.assign(text);
        UpperCaseSingleBytes(m_strScratch);
        w.text = m_strScratch;
    }
    const int nFound = FindInWindow(w, nFrom, static_cast<int>(w.text.size()), dwFlags, false, nMatchLength);
    if (nFound >= 0)
        KeepMatch(w, nFound, nMatchLength, dwFlags);
    return nFound;
}

bool CTextSearch::BuildReplacement(const std::string &strReplace, std::uint32_t dwFlags,
                                   std::string &strResult) const
{
    if (!(dwFlags & SEARCH_REGEX)) {
        strResult = strReplace;
        return true;
    }
    if (!m_bHasMatchLine)
        return false;
    return RegexSubstitute(strReplace.c_str(), m_strMatchLine, m_matchRegs, strResult) == 0;
}
