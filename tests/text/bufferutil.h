// Small helpers for the buffer tests: a view that records what it is told, and
// whole-text comparisons.
#pragma once

#include "text/textbuffer.h"

#include <string>
#include <vector>

struct CNotification
{
    CBufferView *pSource = nullptr;
    bool bHint = false;
    CPoint ptStart;
    CPoint ptEnd;
    std::uint32_t dwFlags = 0;
    int nLine = 0;
};

// Records every notification and moves its stored positions as a view would.
class CRecordingView : public CBufferView
{
public:
    void UpdateView(CBufferView *pSource, const ChangeHint *pHint, std::uint32_t dwFlags,
                    int nLine) override
    {
        CNotification n;
        n.pSource = pSource;
        n.bHint = pHint != nullptr;
        if (pHint) {
            n.ptStart = pHint->ptStart;
            n.ptEnd = pHint->ptEnd;
            for (CPoint &pt : aPoints)
                pHint->AdjustPoint(pt);
        }
        n.dwFlags = dwFlags;
        n.nLine = nLine;
        aLog.push_back(n);
    }
    void OnUndoGroupEnded(int nAction, std::string_view text) override
    {
        aGroupsEnded.emplace_back(nAction, std::string(text));
    }

    std::vector<CNotification> aLog;
    std::vector<CPoint> aPoints;
    std::vector<std::pair<int, std::string>> aGroupsEnded;
};

// The lines of a buffer joined by "|" (so that CR and LF inside lines show),
// or by another separator.
inline std::string Lines(const CCrystalTextBuffer &buffer, char cSeparator = '|')
{
    std::string s;
    for (int i = 0; i < buffer.GetLineCount(); ++i) {
        if (i > 0)
            s += cSeparator;
        s.append(buffer.GetLine(i));
    }
    return s;
}

// Inserts at (nPos, nLine) and returns the end position.
inline CPoint Insert(CCrystalTextBuffer &buffer, int nLine, int nPos, std::string_view text,
                     int nAction = ACTION_TYPING, CBufferView *pSource = nullptr)
{
    int nEndLine = -1;
    int nEndChar = -1;
    buffer.InsertText(pSource, nLine, nPos, text, nEndLine, nEndChar, nAction);
    return CPoint(nEndChar, nEndLine);
}
