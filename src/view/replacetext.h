// One run of the replace dialog over a buffer: the current match, where the
// next search starts, and the scope (the whole text, or a block whose ends
// move with the edits made inside it). A replace-all is one step of undo.
#pragma once

#include "view/findtext.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

class CReplaceSession
{
public:
    CReplaceSession(CCrystalTextBuffer &buffer, CBufferView *pSource, CTextSearch &search);

    // The scope: the whole text, or the block from ptBegin to ptEnd. The
    // start of the next search goes to the scope's start. The block's ends
    // move with the replacements in either scope.
    void SetScope(bool bSelection, CPoint ptBegin = CPoint(), CPoint ptEnd = CPoint());
    bool IsSelectionScope() const { return m_bSelection; }
    CPoint GetBlockBegin() const { return m_ptBegin; }
    CPoint GetBlockEnd() const { return m_ptEnd; }
    void SetStart(CPoint pt);
    CPoint GetStart() const { return m_ptStart; }

    // What to look for and what to put in its place; changing them forgets
    // the current match.
    void SetTexts(const std::string &strWhat, const std::string &strReplace, std::uint32_t dwFlags);

    // Finds the next match downwards, from the start (or just after the
    // current match), without wrapping. When there is none, the start
    // returns to the scope's start.
    bool FindNext();
    bool HasMatch() const { return m_bHasMatch; }
    CPoint GetMatchStart() const { return m_ptMatchStart; }
    CPoint GetMatchEnd() const { return m_ptMatchEnd; }
    int GetMatchLength() const { return m_search.GetMatchLength(); }

    // Replaces the current match (finding one first when there is none) and
    // finds the next one; returns whether there is a next one.
    bool Replace();
    // Replaces every match of the scope, from the scope's start (the top of
    // the text, or the block's start) whatever the current match, in one undo
    // group. About every 200 ms (the progress interval) fnProgress is told
    // the line reached, at a moment when the views are up to date; when it
    // returns false the run stops there. Returns the number of replacements.
    int ReplaceAll(const std::function<bool(int nLine)> &fnProgress = nullptr);
    void SetProgressInterval(std::chrono::milliseconds interval) { m_progressInterval = interval; }

    // The byte length of the text the last replacement inserted, and the
    // position after it.
    int GetReplaceLength() const { return m_nReplaceLength; }
    CPoint GetLastReplaceEnd() const { return m_ptLastReplaceEnd; }
    // Why the last Replace or ReplaceAll stopped before running out of
    // matches: the replacement refers to a group the match did not set, or
    // the run was stopped (progress, an expression that took too long).
    bool HadBadReplacement() const { return m_bBadReplacement; }
    bool WasStopped() const { return m_bStopped; }

private:
    bool Search(CPoint ptFrom);
    // Replaces the current match inside the group, which it opens when it
    // is not yet; the start moves after the inserted text.
    bool ReplaceCurrent(std::optional<CUndoGroup> &group);
    CPoint ScopeStart() const { return m_bSelection ? m_ptBegin : CPoint(0, 0); }
    // The position one character on, at the next line's start after a line
    // end; false at the end of the text.
    bool Advance(CPoint &pt) const;

    CCrystalTextBuffer &m_buffer;
    CBufferView *m_pSource;
    CTextSearch &m_search;
    std::string m_strWhat;
    std::string m_strReplace;
    std::uint32_t m_dwFlags = 0;
    bool m_bSelection = false;
    CPoint m_ptBegin;
    CPoint m_ptEnd;
    CPoint m_ptStart;
    bool m_bStartAtEnd = false;  // the start lies beyond the last possible match
    bool m_bHasMatch = false;
    CPoint m_ptMatchStart;
    CPoint m_ptMatchEnd;
    int m_nReplaceLength = 0;
    CPoint m_ptLastReplaceEnd;
    bool m_bBadReplacement = false;
    bool m_bStopped = false;
    std::chrono::milliseconds m_progressInterval{200};
};
