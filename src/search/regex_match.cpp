// Matching: the node list is walked with an explicit backtracking stack kept
// in the caller's context, so a long text cannot overflow the machine stack,
// nothing is allocated once the stack has grown, and another thread can stop
// the walk at any backtracking step.
#include "search/regex_node.h"

#include <cstring>

namespace {

enum : std::uint8_t
{
    FRAME_ALT,         // resume at the node
    FRAME_STAR_ENTER,  // resume by entering the body of a lazy x@
    FRAME_GREEDY,      // a single-byte closure that can still give a byte back
    FRAME_LAZY,        // a single-byte closure that can still take a byte more
    FRAME_UNDO_REG,    // a work register to restore
    FRAME_UNDO_SLOT,   // a loop's iteration start to restore
};

// Enough for any line the folder search reads; a text that needs more is
// matched only as far as this goes and the match reports itself aborted.
constexpr std::size_t MAX_FRAMES = std::size_t(1) << 22;
constexpr int CHECK_INTERVAL = 1024;

inline bool IsWordByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

void RegexRegisters::Clear()
{
    // Every byte 0xFF makes every register -1.
    std::memset(nStart, 0xFF, sizeof nStart);
    std::memset(nEnd, 0xFF, sizeof nEnd);
}

CRegexContext::CRegexContext()
{
    m_work.Clear();
}

class CRegexMatcher
{
public:
    CRegexMatcher(const RegexPattern &pattern, const char *pText, int nLength, CRegexContext &ctx)
        : m_pattern(pattern), m_t(reinterpret_cast<const unsigned char *>(pText)), m_nLength(nLength), m_ctx(ctx)
    {
    }

    bool Search(int nStart, bool bCase, RegexRegisters &regs);

private:
    enum EStep
    {
        STEP_ON,    // matched: go on
        STEP_FAIL,  // no match here: backtrack
        STEP_STOP,  // the match must stop
    };

    bool Try(int nPos, bool bCase);
    // The steps of Try, each used there once. They are forced inline: as
    // calls, the node, position and case they update through references
    // would leave the registers, and the match would take some 5% more
    // instructions.
    [[gnu::always_inline]] inline bool Holds(const RegexNode *p, int nPos) const;
    [[gnu::always_inline]] inline bool LiteralAt(const RegexNode *p, int nPos, bool bCase) const;
    [[gnu::always_inline]] inline bool EnterLoop(const RegexNode *&p, int nPos, bool bCase);
    [[gnu::always_inline]] inline EStep Repeat(const RegexNode *p, int &nPos, bool bCase);
    [[gnu::always_inline]] inline bool Backtrack(const RegexNode *&p, int &nPos, bool &bCase);
    bool Push(const RegexNode *pNode, int nPos, int nAux, std::uint8_t nKind, bool bCase);
    bool SetRegister(int nIndex, int nPos);
    bool SetSlot(int nSlot, int nPos);
    bool Tick();
    // Whether a branch of a choice may match at nPos, judged by its first byte.
    bool CanStart(const RegexNode *p, bool bCase, int nBranch, int nPos) const
    {
        const unsigned char *pbGuard = p->apbGuard[bCase][nBranch];
        return !pbGuard || m_bPlain || (nPos < m_nLength && RegexMapHas(pbGuard, m_t[nPos]));
    }

    const RegexPattern &m_pattern;
    const unsigned char *m_t;
    const int m_nLength;
    CRegexContext &m_ctx;
    std::size_t m_nTop = 0;
    int m_nCountdown = CHECK_INTERVAL;
    std::int64_t m_nSteps = 0;
    int m_nMatchEnd = 0;
    bool m_bPlain = false;
};

bool CRegexMatcher::Push(const RegexNode *pNode, int nPos, int nAux, std::uint8_t nKind, bool bCase)
{
    std::vector<RegexFrame> &aFrames = m_ctx.m_aFrames;
    if (m_nTop == aFrames.size()) {
        if (aFrames.size() >= MAX_FRAMES) {
            m_ctx.m_bAborted = true;
            return false;
        }
        aFrames.resize(aFrames.empty() ? 256 : aFrames.size() * 2);
    }
    aFrames[m_nTop++] = RegexFrame{pNode, nPos, nAux, nKind, bCase};
    return true;
}

// Registers 0..63 are starts, 64..127 ends. A group keeps the position of its
// first pass on the path that matches, so a register is only set when unset.
bool CRegexMatcher::SetRegister(int nIndex, int nPos)
{
    std::int32_t &r = nIndex < REGEX_REGISTERS ? m_ctx.m_work.nStart[nIndex] : m_ctx.m_work.nEnd[nIndex - REGEX_REGISTERS];
    if (r >= 0)
        return true;
    if (!Push(nullptr, -1, nIndex, FRAME_UNDO_REG, false))
        return false;
    r = nPos;
    return true;
}

bool CRegexMatcher::SetSlot(int nSlot, int nPos)
{
    std::int32_t &r = m_ctx.m_anSlots[static_cast<std::size_t>(nSlot)];
    if (!Push(nullptr, r, nSlot, FRAME_UNDO_SLOT, false))
        return false;
    r = nPos;
    return true;
}

// Counts a step; false when the match must stop.
bool CRegexMatcher::Tick()
{
    if (--m_nCountdown > 0)
        return true;
    m_nCountdown = CHECK_INTERVAL;
    m_nSteps += CHECK_INTERVAL;
    const bool bStop = m_ctx.IsCancelled() || (m_ctx.m_nStepLimit > 0 && m_nSteps >= m_ctx.m_nStepLimit);
    if (bStop)
        m_ctx.m_bAborted = true;
    return !bStop;
}

// Whether the assertion p (start or end of the text, start or end of a word) holds at nPos.
bool CRegexMatcher::Holds(const RegexNode *p, int nPos) const
{
    const unsigned char *const t = m_t;
    const int nLength = m_nLength;
    switch (p->nOp) {
    case RXOP_TEXTSTART:
        return nPos == 0;
    case RXOP_TEXTEND:
        return nPos == nLength;
    case RXOP_WORDSTART:
        return nPos < nLength && (nPos == 0 || (IsWordByte(t[nPos]) && !IsWordByte(t[nPos - 1])));
    default:  // RXOP_WORDEND
        return nPos > 0 && IsWordByte(t[nPos - 1]) && (nPos == nLength || !IsWordByte(t[nPos]));
    }
}

// Whether the literal p stands at nPos.
bool CRegexMatcher::LiteralAt(const RegexNode *p, int nPos, bool bCase) const
{
    const int n = p->nLength;
    if (m_nLength - nPos < n)
        return false;
    const unsigned char *s = m_t + nPos;
    if (bCase)
        return s[0] == p->pbPayload[0] && std::memcmp(s, p->pbPayload, static_cast<std::size_t>(n)) == 0;
    for (int i = 0; i < n; ++i) {
        if (s[i] != p->pbPayload[i] && s[i] != p->pbAlt[i])
            return false;
    }
    return true;
}

// The head of a loop, x* or x+ (x more than one byte): on into the body or
// past the loop, with the other way left open when both can start here. A
// lazy x* enters its body only on backtracking. False when the match must stop.
bool CRegexMatcher::EnterLoop(const RegexNode *&p, int nPos, bool bCase)
{
    if (p->nOp == RXOP_STAR) {
        if (!CanStart(p, bCase, 0, nPos)) {
            p = p->pTarget;
        } else if (!CanStart(p, bCase, 1, nPos)) {
            if (!SetSlot(p->nSlot, nPos))
                return false;
            p = p->pNext;
        } else if (p->bGreedy) {
            if (!Push(p->pTarget, nPos, 0, FRAME_ALT, bCase) || !SetSlot(p->nSlot, nPos))
                return false;
            p = p->pNext;
        } else {
            if (!Push(p, nPos, 0, FRAME_STAR_ENTER, bCase))
                return false;
            p = p->pTarget;
        }
        return true;
    }
    // An iteration of x+ that consumed nothing ends the loop.
    if (nPos == m_ctx.m_anSlots[static_cast<std::size_t>(p->nSlot)] || !CanStart(p, bCase, 0, nPos)) {
        p = p->pTarget;
    } else if (!CanStart(p, bCase, 1, nPos)) {
        p = p->pNext;
    } else if (p->bGreedy) {
        if (!Push(p->pTarget, nPos, 0, FRAME_ALT, bCase))
            return false;
        p = p->pNext;
    } else {
        if (!Push(p->pNext, nPos, 0, FRAME_ALT, bCase))
            return false;
        p = p->pTarget;
    }
    return true;
}

// A run of bytes that one map takes (x*, x+, x{n,m} of a single byte) from
// nPos: greedy runs take all they can and leave a frame to give bytes back,
// lazy ones take the least and leave one to take more. nPos moves behind
// the run taken.
CRegexMatcher::EStep CRegexMatcher::Repeat(const RegexNode *p, int &nPos, bool bCase)
{
    const unsigned char *const t = m_t;
    const int nLength = m_nLength;
    const RegexNode *pOperand = p->pNext;
    const unsigned char *pbMap = bCase ? pOperand->pbFirstCase : pOperand->pbFirstNoCase;
    const unsigned char *pbFollow = m_bPlain ? nullptr : bCase ? p->pbFollowCase : p->pbFollowNoCase;
    const int nMinEnd = nPos + p->nMin;
    int nEnd = nPos;
    if (p->bGreedy) {
        if (pOperand->nType == RX_ANY)
            nEnd = nLength;
        else
            while (nEnd < nLength && RegexMapHas(pbMap, t[nEnd]))
                ++nEnd;
        if (nEnd < nMinEnd)
            return STEP_FAIL;
        if (pbFollow) {
            if (bCase ? p->bPossessiveCase : p->bPossessiveNoCase) {
                // What follows cannot match a byte of the run, so only its end can do.
                if (nEnd == nLength || !RegexMapHas(pbFollow, t[nEnd]))
                    return STEP_FAIL;
            } else {
                while (nEnd >= nMinEnd && (nEnd == nLength || !RegexMapHas(pbFollow, t[nEnd])))
                    --nEnd;
                if (nEnd < nMinEnd)
                    return STEP_FAIL;
                if (nEnd > nMinEnd && !Push(p, nEnd, nMinEnd, FRAME_GREEDY, bCase))
                    return STEP_STOP;
            }
        } else if (nEnd > nMinEnd && !Push(p, nEnd, nMinEnd, FRAME_GREEDY, bCase)) {
            return STEP_STOP;
        }
    } else {
        if (p->nMin) {
            if (nEnd == nLength || !RegexMapHas(pbMap, t[nEnd]))
                return STEP_FAIL;
            ++nEnd;
        }
        if (pbFollow) {
            while (nEnd == nLength || !RegexMapHas(pbFollow, t[nEnd])) {
                if (nEnd == nLength || !RegexMapHas(pbMap, t[nEnd]))
                    return STEP_FAIL;
                ++nEnd;
            }
        }
        if (!Push(p, nEnd, 0, FRAME_LAZY, bCase))
            return STEP_STOP;
    }
    nPos = nEnd;
    return STEP_ON;
}

// After a failure: undoes what the frames on top record and resumes at the
// latest choice left open, with its node, position and case. False when none
// is left or the match must stop.
bool CRegexMatcher::Backtrack(const RegexNode *&p, int &nPos, bool &bCase)
{
    const unsigned char *const t = m_t;
    const int nLength = m_nLength;
    for (;;) {
        if (m_nTop == 0 || !Tick())
            return false;
        RegexFrame &f = m_ctx.m_aFrames[m_nTop - 1];
        switch (f.nKind) {
        case FRAME_UNDO_REG:
            if (f.nAux < REGEX_REGISTERS)
                m_ctx.m_work.nStart[f.nAux] = -1;
            else
                m_ctx.m_work.nEnd[f.nAux - REGEX_REGISTERS] = -1;
            --m_nTop;
            continue;
        case FRAME_UNDO_SLOT:
            m_ctx.m_anSlots[static_cast<std::size_t>(f.nAux)] = f.nPos;
            --m_nTop;
            continue;
        case FRAME_ALT:
            p = f.pNode;
            nPos = f.nPos;
            bCase = f.bCase;
            --m_nTop;
            return true;
        case FRAME_STAR_ENTER:
            p = f.pNode;
            nPos = f.nPos;
            bCase = f.bCase;
            --m_nTop;
            if (!SetSlot(p->nSlot, nPos))
                return false;
            p = p->pNext;
            return true;
        case FRAME_GREEDY: {
            // Give back one byte, or with a known follower back to the
            // last place where it can start.
            const RegexNode *pRepeat = f.pNode;
            const unsigned char *pbFollow =
                m_bPlain ? nullptr : f.bCase ? pRepeat->pbFollowCase : pRepeat->pbFollowNoCase;
            int nEnd = f.nPos - 1;
            if (pbFollow) {
                while (nEnd >= f.nAux && !RegexMapHas(pbFollow, t[nEnd]))
                    --nEnd;
            }
            if (nEnd < f.nAux) {
                --m_nTop;
                continue;
            }
            bCase = f.bCase;
            if (nEnd == f.nAux)
                --m_nTop;
            else
                f.nPos = nEnd;
            nPos = nEnd;
            p = pRepeat->pTarget;
            return true;
        }
        case FRAME_LAZY: {
            // Take one byte more, or with a known follower on to the next
            // place where it can start.
            const RegexNode *pRepeat = f.pNode;
            const unsigned char *pbMap = f.bCase ? pRepeat->pNext->pbFirstCase : pRepeat->pNext->pbFirstNoCase;
            const unsigned char *pbFollow =
                m_bPlain ? nullptr : f.bCase ? pRepeat->pbFollowCase : pRepeat->pbFollowNoCase;
            int nEnd = f.nPos;
            bool bFound = false;
            while (nEnd < nLength && RegexMapHas(pbMap, t[nEnd])) {
                ++nEnd;
                if (!pbFollow || (nEnd < nLength && RegexMapHas(pbFollow, t[nEnd]))) {
                    bFound = true;
                    break;
                }
            }
            if (!bFound) {
                --m_nTop;
                continue;
            }
            f.nPos = nEnd;
            bCase = f.bCase;
            nPos = nEnd;
            p = pRepeat->pTarget;
            return true;
        }
        }
    }
}

// Walks the list from one start position. True on a match (its end in
// m_nMatchEnd); false when there is none here or the match was aborted.
// Each node either moves on (continue) or fails, and a failure resumes at
// the latest open choice.
bool CRegexMatcher::Try(int nPos, bool bCase)
{
    const unsigned char *const t = m_t;
    const int nLength = m_nLength;
    std::int32_t *const anSlots = m_ctx.m_anSlots.data();
    const RegexNode *p = m_pattern.Head();
    m_nTop = 0;
    if (!Tick())
        return false;

    for (;;) {
        switch (p->nOp) {
        case RXOP_NOTHING:
            p = p->pNext;
            continue;
        case RXOP_JUMP:
            p = p->pTarget;
            continue;
        case RXOP_TEXTSTART:
        case RXOP_TEXTEND:
        case RXOP_WORDSTART:
        case RXOP_WORDEND:
            if (!Holds(p, nPos))
                break;
            p = p->pNext;
            continue;
        case RXOP_CASEON:
        case RXOP_CASEOFF:
            bCase = p->nOp == RXOP_CASEON;
            p = p->pNext;
            continue;
        case RXOP_END:
            m_nMatchEnd = nPos;
            return true;
        case RXOP_BYTE:
            if (nPos == nLength || !RegexMapHas(p->pbFirstCase, t[nPos]))
                break;
            ++nPos;
            p = p->pNext;
            continue;
        case RXOP_LITERAL:
            if (!LiteralAt(p, nPos, bCase))
                break;
            nPos += p->nLength;
            p = p->pNext;
            continue;
        case RXOP_OPEN:
            if (!SetRegister(p->nGroup, nPos))
                return false;
            p = p->pNext;
            continue;
        case RXOP_CLOSE:
            if (!SetRegister(REGEX_REGISTERS + p->nGroup, nPos))
                return false;
            p = p->pNext;
            continue;
        case RXOP_CHOICE:
            if (!CanStart(p, bCase, 0, nPos)) {
                p = p->pTarget;
                continue;
            }
            if (CanStart(p, bCase, 1, nPos) && !Push(p->pTarget, nPos, 0, FRAME_ALT, bCase))
                return false;
            p = p->pNext;
            continue;
        case RXOP_STAR:
        case RXOP_PLUS:
            if (!EnterLoop(p, nPos, bCase))
                return false;
            continue;
        case RXOP_STAR_BACK:
            // An iteration that consumed nothing ends the loop.
            p = nPos == anSlots[p->pLoop->nSlot] ? p->pLoop->pTarget : p->pTarget;
            continue;
        case RXOP_PLUS_ENTRY:
            if (!SetSlot(p->pLoop->nSlot, nPos))
                return false;
            p = p->pNext;
            continue;
        case RXOP_PLUS_BACK:
            if (!SetSlot(p->pLoop->nSlot, nPos))
                return false;
            p = p->pTarget;
            continue;
        case RXOP_REPEAT: {
            const EStep eStep = Repeat(p, nPos, bCase);
            if (eStep == STEP_STOP)
                return false;
            if (eStep == STEP_FAIL)
                break;
            p = p->pTarget;
            continue;
        }
        }
        // The node failed.
        if (!Backtrack(p, nPos, bCase))
            return false;
    }
}

bool CRegexMatcher::Search(int nStart, bool bCase, RegexRegisters &regs)
{
    m_ctx.m_bAborted = false;
    if (m_ctx.IsCancelled()) {
        m_ctx.m_bAborted = true;
        return false;
    }
    for (int i = 0; i <= m_pattern.nGroups; ++i) {
        m_ctx.m_work.nStart[i] = -1;
        m_ctx.m_work.nEnd[i] = -1;
    }
    if (m_ctx.m_anSlots.size() < static_cast<std::size_t>(m_pattern.nSlots))
        m_ctx.m_anSlots.resize(static_cast<std::size_t>(m_pattern.nSlots), -1);
    m_bPlain = m_ctx.m_bPlain;
    const RegexScan &scan = bCase ? m_pattern.scanCase : m_pattern.scanNoCase;
    const int nLength = m_nLength;
    const unsigned char *const t = m_t;
    auto Found = [&](int nPos) {
        regs.nStart[0] = nPos;
        regs.nEnd[0] = m_nMatchEnd;
        for (int i = 1; i <= m_pattern.nGroups; ++i) {
            regs.nStart[i] = m_ctx.m_work.nStart[i];
            regs.nEnd[i] = m_ctx.m_work.nEnd[i];
        }
        return true;
    };

    if (m_bPlain) {
        for (int nPos = nStart; nPos <= nLength && !m_ctx.m_bAborted; ++nPos) {
            if (Try(nPos, bCase))
                return Found(nPos);
        }
        return false;
    }
    // A byte that every match holds must be there at all.
    if (bCase ? m_pattern.nRequiredCase >= 0 : m_pattern.anRequiredNoCase[0] >= 0) {
        const std::size_t nRest = static_cast<std::size_t>(nLength - nStart);
        const int c1 = bCase ? m_pattern.nRequiredCase : m_pattern.anRequiredNoCase[0];
        const int c2 = bCase ? c1 : m_pattern.anRequiredNoCase[1];
        if (!std::memchr(t + nStart, c1, nRest) && (c2 == c1 || !std::memchr(t + nStart, c2, nRest)))
            return false;
    }
    const bool bOnce = m_pattern.bLeadingAnyRepeat;
    switch (scan.nKind) {
    case RXSCAN_ANCHORED:
        return nStart == 0 && Try(0, bCase) && Found(0);
    case RXSCAN_ALL:
        for (int nPos = nStart; nPos <= nLength && !m_ctx.m_bAborted; ++nPos) {
            if (Try(nPos, bCase))
                return Found(nPos);
            if (bOnce)
                break;
        }
        return false;
    case RXSCAN_LITERAL: {
        // Lines are short: finding the first byte and comparing the rest beats
        // a substring search that first builds a table.
        const unsigned char *pbPrefix = m_pattern.pPrefix->pbPayload;
        const int nPrefix = m_pattern.pPrefix->nLength;
        const int nLast = nLength - nPrefix;  // the last position where the literal fits
        for (int nPos = nStart; nPos <= nLast && !m_ctx.m_bAborted; ++nPos) {
            const void *pHit = std::memchr(t + nPos, pbPrefix[0], static_cast<std::size_t>(nLast - nPos + 1));
            if (!pHit)
                break;
            nPos = static_cast<int>(static_cast<const unsigned char *>(pHit) - t);
            if (std::memcmp(t + nPos + 1, pbPrefix + 1, static_cast<std::size_t>(nPrefix - 1)) == 0 && Try(nPos, bCase))
                return Found(nPos);
        }
        return false;
    }
    case RXSCAN_BYTE:
        for (int nPos = nStart; nPos < nLength && !m_ctx.m_bAborted; ++nPos) {
            const void *pHit = std::memchr(t + nPos, scan.chFirst, static_cast<std::size_t>(nLength - nPos));
            if (!pHit)
                break;
            nPos = static_cast<int>(static_cast<const unsigned char *>(pHit) - t);
            if (Try(nPos, bCase))
                return Found(nPos);
            if (bOnce)
                break;
        }
        return false;
    case RXSCAN_TWOBYTES: {
        // The next place of each byte is remembered, so each is looked up once.
        int nNext1 = -1;
        int nNext2 = -1;
        for (int nPos = nStart; nPos < nLength && !m_ctx.m_bAborted; ++nPos) {
            if (nNext1 < nPos && nNext1 != nLength) {
                const void *pHit = std::memchr(t + nPos, scan.chFirst, static_cast<std::size_t>(nLength - nPos));
                nNext1 = pHit ? static_cast<int>(static_cast<const unsigned char *>(pHit) - t) : nLength;
            }
            if (nNext2 < nPos && nNext2 != nLength) {
                const void *pHit = std::memchr(t + nPos, scan.chSecond, static_cast<std::size_t>(nLength - nPos));
                nNext2 = pHit ? static_cast<int>(static_cast<const unsigned char *>(pHit) - t) : nLength;
            }
            nPos = nNext1 < nNext2 ? nNext1 : nNext2;
            if (nPos >= nLength)
                break;
            if (Try(nPos, bCase))
                return Found(nPos);
            if (bOnce)
                break;
        }
        return false;
    }
    case RXSCAN_MAP:
        for (int nPos = nStart; nPos < nLength && !m_ctx.m_bAborted; ++nPos) {
            if (!scan.abTable[t[nPos]])
                continue;
            if (Try(nPos, bCase))
                return Found(nPos);
            if (bOnce)
                break;
        }
        return false;
    }
    return false;
}

bool RegexExecute(const RegexPattern *pPattern, const char *pText, int nLength, int nStart, RegexRegisters &regs,
                  bool bCaseSensitive, CRegexContext *pContext)
{
    if (!pContext) {
        CRegexContext local;
        return RegexExecute(pPattern, pText, nLength, nStart, regs, bCaseSensitive, &local);
    }
    regs.Clear();
    if (!pPattern || (!pText && nLength != 0) || nLength < 0 || nStart < 0 || nStart > nLength)
        return false;
    static const char chEmpty = 0;
    CRegexMatcher matcher(*pPattern, pText ? pText : &chEmpty, nLength, *pContext);
    return matcher.Search(nStart, bCaseSensitive, regs);
}
