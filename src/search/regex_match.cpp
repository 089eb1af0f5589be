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
    bool Try(int nPos, bool bCase);
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
    const bool bStop = (m_ctx.m_pCancel && m_ctx.m_pCancel->load(std::memory_order_relaxed))
                       || (m_ctx.m_nStepLimit > 0 && m_nSteps >= m_ctx.m_nStepLimit);
    if (bStop)
        m_ctx.m_bAborted = true;
    return !bStop;
}

// Walks the list from one start position. True on a match (its end in
// m_nMatchEnd); false when there is none here or the match was aborted.
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
            if (nPos != 0)
                goto fail;
            p = p->pNext;
            continue;
        case RXOP_TEXTEND:
            if (nPos != nLength)
                goto fail;
            p = p->pNext;
            continue;
        case RXOP_WORDSTART:
            if (nPos == nLength || (nPos > 0 && (!IsWordByte(t[nPos]) || IsWordByte(t[nPos - 1]))))
                goto fail;
            p = p->pNext;
            continue;
        case RXOP_WORDEND:
            if (nPos == 0 || !IsWordByte(t[nPos - 1]) || (nPos < nLength && IsWordByte(t[nPos])))
                goto fail;
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
                goto fail;
            ++nPos;
            p = p->pNext;
            continue;
        case RXOP_LITERAL: {
            const int n = p->nLength;
            if (nLength - nPos < n)
                goto fail;
            const unsigned char *s = t + nPos;
            if (bCase) {
                if (s[0] != p->pbPayload[0] || std::memcmp(s, p->pbPayload, static_cast<std::size_t>(n)) != 0)
                    goto fail;
            } else {
                for (int i = 0; i < n; ++i) {
                    if (s[i] != p->pbPayload[i] && s[i] != p->pbAlt[i])
                        goto fail;
                }
            }
            nPos += n;
            p = p->pNext;
            continue;
        }
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
        case RXOP_PLUS:
            if (nPos == anSlots[p->nSlot] || !CanStart(p, bCase, 0, nPos)) {
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
            continue;
        case RXOP_PLUS_BACK:
            if (!SetSlot(p->pLoop->nSlot, nPos))
                return false;
            p = p->pTarget;
            continue;
        case RXOP_REPEAT: {
            const RegexNode *pOperand = p->pNext;
            const unsigned char *pbMap = bCase ? pOperand->pbFirstCase : pOperand->pbFirstNoCase;
            const unsigned char *pbFollow = m_bPlain ? nullptr : bCase ? p->pbFollowCase : p->pbFollowNoCase;
            const int nMinEnd = nPos + p->nMin;
            if (p->bGreedy) {
                int nEnd = nPos;
                if (pOperand->nType == RX_ANY)
                    nEnd = nLength;
                else
                    while (nEnd < nLength && RegexMapHas(pbMap, t[nEnd]))
                        ++nEnd;
                if (nEnd < nMinEnd)
                    goto fail;
                if (pbFollow) {
                    if (bCase ? p->bPossessiveCase : p->bPossessiveNoCase) {
                        // What follows cannot match a byte of the run, so only its end can do.
                        if (nEnd == nLength || !RegexMapHas(pbFollow, t[nEnd]))
                            goto fail;
                    } else {
                        while (nEnd >= nMinEnd && (nEnd == nLength || !RegexMapHas(pbFollow, t[nEnd])))
                            --nEnd;
                        if (nEnd < nMinEnd)
                            goto fail;
                        if (nEnd > nMinEnd && !Push(p, nEnd, nMinEnd, FRAME_GREEDY, bCase))
                            return false;
                    }
                } else if (nEnd > nMinEnd && !Push(p, nEnd, nMinEnd, FRAME_GREEDY, bCase)) {
                    return false;
                }
                nPos = nEnd;
            } else {
                int nEnd = nPos;
                if (p->nMin) {
                    if (nEnd == nLength || !RegexMapHas(pbMap, t[nEnd]))
                        goto fail;
                    ++nEnd;
                }
                if (pbFollow) {
                    while (nEnd == nLength || !RegexMapHas(pbFollow, t[nEnd])) {
                        if (nEnd == nLength || !RegexMapHas(pbMap, t[nEnd]))
                            goto fail;
                        ++nEnd;
                    }
                }
                if (!Push(p, nEnd, 0, FRAME_LAZY, bCase))
                    return false;
                nPos = nEnd;
            }
            p = p->pTarget;
            continue;
        }
        }

    fail:
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
                anSlots[f.nAux] = f.nPos;
                --m_nTop;
                continue;
            case FRAME_ALT:
                p = f.pNode;
                nPos = f.nPos;
                bCase = f.bCase;
                --m_nTop;
                break;
            case FRAME_STAR_ENTER:
                p = f.pNode;
                nPos = f.nPos;
                bCase = f.bCase;
                --m_nTop;
                if (!SetSlot(p->nSlot, nPos))
                    return false;
                p = p->pNext;
                break;
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
                break;
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
                break;
            }
            }
            break;
        }
    }
}

bool CRegexMatcher::Search(int nStart, bool bCase, RegexRegisters &regs)
{
    m_ctx.m_bAborted = false;
    if (m_ctx.m_pCancel && m_ctx.m_pCancel->load(std::memory_order_relaxed)) {
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
