#include "view/replacetext.h"

#include "syntax/linesource.h"
#include "text/sjis.h"

#include <chrono>
#include <optional>

namespace {

// A line feed in a replacement means a line break; the buffer breaks lines at CR.
std::string WithLineBreaks(const std::string &strText)
{
    std::string s;
    s.reserve(strText.size());
    for (std::size_t i = 0; i < strText.size(); ++i) {
        if (strText[i] == '\n' && (i == 0 || strText[i - 1] != '\r'))
            s += '\r';
        s += strText[i];
    }
    return s;
}

} // namespace

CReplaceSession::CReplaceSession(CCrystalTextBuffer &buffer, CBufferView *pSource, CTextSearch &search)
    : m_buffer(buffer), m_pSource(pSource), m_search(search)
{
}

void CReplaceSession::SetScope(bool bSelection, CPoint ptBegin, CPoint ptEnd)
{
    m_bSelection = bSelection;
    m_ptBegin = ptBegin;
    m_ptEnd = ptEnd;
    m_bHasMatch = false;
    SetStart(ScopeStart());
}

void CReplaceSession::SetStart(CPoint pt)
{
    m_ptStart = pt;
    m_bStartAtEnd = false;
}

void CReplaceSession::SetTexts(const std::string &strWhat, const std::string &strReplace,
                               std::uint32_t dwFlags)
{
    const std::uint32_t dwSearch = dwFlags & ~std::uint32_t(SEARCH_UP);
    if (strWhat != m_strWhat || dwSearch != m_dwFlags)
        m_bHasMatch = false;
    m_strWhat = strWhat;
    m_strReplace = strReplace;
    m_dwFlags = dwSearch;
}

bool CReplaceSession::Advance(CPoint &pt) const
{
    if (pt.x < m_buffer.GetLineLength(pt.y)) {
        pt.x = SjisNextChar(m_buffer.GetLineText(pt.y), m_buffer.GetLineLength(pt.y), pt.x);
        return true;
    }
    if (pt.y + 1 < m_buffer.GetLineCount()) {
        pt = CPoint(0, pt.y + 1);
        return true;
    }
    return false;
}

bool CReplaceSession::Search(CPoint ptFrom)
{
    const CBufferLineSource lines(m_buffer);
    CPoint ptFound;
    const bool bFound = m_bSelection
                            ? m_search.SearchInRange(lines, m_strWhat, ptFrom, m_ptBegin, m_ptEnd, m_dwFlags, false, ptFound)
                            : m_search.SearchInText(lines, m_strWhat, ptFrom, m_dwFlags, false, ptFound);
    m_bHasMatch = bFound;
    if (bFound) {
        m_ptMatchStart = ptFound;
        m_ptMatchEnd = m_search.GetMatchEnd();
    }
    return bFound;
}

bool CReplaceSession::FindNext()
{
    CPoint ptFrom = m_ptStart;
    bool bCanSearch = !m_bStartAtEnd;
    if (m_bHasMatch) {
        ptFrom = m_ptMatchStart;
        bCanSearch = Advance(ptFrom);
    }
    if (bCanSearch && Search(ptFrom))
        return true;
    m_bHasMatch = false;
    m_bStopped = m_search.WasAborted();
    SetStart(ScopeStart());
    return false;
}

bool CReplaceSession::ReplaceCurrent(std::optional<CUndoGroup> &group)
{
    std::string strNew;
    if (!m_search.BuildReplacement(m_strReplace, m_dwFlags, strNew)) {
        m_bBadReplacement = true;
        return false;
    }
    strNew = WithLineBreaks(strNew);
    const CPoint s = m_ptMatchStart;
    const CPoint e = m_ptMatchEnd;
    // The group opens with the first replacement made in it, so that a run
    // that replaces nothing leaves no trace in the undo list.
    if (!group)
        group.emplace(m_buffer, m_pSource);
    if (s != e)
        m_buffer.DeleteText(m_pSource, s.y, s.x, e.y, e.x, ACTION_REPLACE);
    CPoint ptEnd = s;
    if (!strNew.empty())
        m_buffer.InsertText(m_pSource, s.y, s.x, strNew, ptEnd.y, ptEnd.x, ACTION_REPLACE);
    m_nReplaceLength = static_cast<int>(strNew.size());

    // The block keeps what lies inside it: its end moves with the text after
    // it, and an end right behind the match goes behind the replacement. It
    // is followed in either scope, so that the caller can restore it.
    const DeleteHint del(s, e);
    del.AdjustPoint(m_ptBegin);
    del.AdjustPoint(m_ptEnd);
    const InsertHint ins(s, ptEnd);
    ins.AdjustPoint(m_ptBegin);
    if (m_ptEnd == s)
        m_ptEnd = ptEnd;
    else
        ins.AdjustPoint(m_ptEnd);
    m_ptLastReplaceEnd = ptEnd;
    m_bHasMatch = false;
    SetStart(ptEnd);
    // After an empty match the search goes on one character further, or the
    // same empty match would be found again and again.
    if (s == e)
        m_bStartAtEnd = !Advance(m_ptStart);
    return true;
}

bool CReplaceSession::Replace()
{
    m_bBadReplacement = false;
    m_bStopped = false;
    if (!m_bHasMatch)
        return FindNext();
    {
        std::optional<CUndoGroup> group;
        if (!ReplaceCurrent(group))
            return false;
    }
    return FindNext();
}

int CReplaceSession::ReplaceAll(const std::function<bool(int nLine)> &fnProgress)
{
    using Clock = std::chrono::steady_clock;
    m_bBadReplacement = false;
    m_bStopped = false;
    int nCount = 0;
    // All replacements are one step of undo; the group outlives the batch so
    // that the views are up to date when it closes.
    std::optional<CUndoGroup> group;
    {
        std::optional<CBufferBatch> batch;
        batch.emplace(m_buffer, m_pSource);
        Clock::time_point tLast = Clock::now();
        // Between two batches the views catch up, so that whatever the
        // progress report lets run (painting) sees them consistent.
        auto Pause = [&](int nLine) {
            if (!fnProgress || Clock::now() - tLast < m_progressInterval)
                return true;
            batch.reset();
            const bool bGoOn = fnProgress(nLine);
            batch.emplace(m_buffer, m_pSource);
            tLast = Clock::now();
            return bGoOn;
        };
        m_search.SetProgressHook(Pause);
        // The user chose the scope: matches above the caret (or before a
        // match found with find next) belong to it as much as those below.
        m_bHasMatch = false;
        SetStart(ScopeStart());
        bool bFound = FindNext();
        while (bFound) {
            if (!ReplaceCurrent(group))
                break;
            ++nCount;
            if ((nCount & 63) == 0 && !Pause(m_ptStart.y)) {
                m_bStopped = true;
                break;
            }
            bFound = FindNext();
        }
        m_search.SetProgressHook(nullptr);
    }
    return nCount;
}
