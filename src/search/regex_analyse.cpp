// What the compiler works out once so that matching is fast: the operation of
// each node, the bytes a match can start with, and which closures never need
// to give bytes back.
#include "search/regex_node.h"

#include <utility>
#include <vector>

namespace {

ERegexOp OperationOf(const RegexNode &n)
{
    const std::uint16_t t = n.nType;
    if (t & RX_CHOICE) {
        switch (t & 0xFF) {
        case '*':
        case '@':
            return RXOP_STAR;
        case '+':
        case '#':
            return RXOP_PLUS;
        default:
            return RXOP_CHOICE;
        }
    }
    if (t & RX_GROUP) {
        if (!(t & RX_GROUP_CAPTURE))
            return RXOP_NOTHING;
        return (t & RX_GROUP_OPEN) ? RXOP_OPEN : RXOP_CLOSE;
    }
    switch (t) {
    case RX_NOTHING:
        return n.pLoop ? RXOP_PLUS_ENTRY : RXOP_NOTHING;
    case RX_JUMP:  // back jumps of loops are told apart once their choices are known
    case RX_ALTEND:
        return RXOP_JUMP;
    case RX_TEXTSTART:
        return RXOP_TEXTSTART;
    case RX_TEXTEND:
        return RXOP_TEXTEND;
    case RX_WORDSTART:
        return RXOP_WORDSTART;
    case RX_WORDEND:
        return RXOP_WORDEND;
    case RX_CASEON:
        return RXOP_CASEON;
    case RX_CASEOFF:
        return RXOP_CASEOFF;
    case RX_END:
        return RXOP_END;
    case RX_LITERAL:
        return RXOP_LITERAL;
    default:
        return RXOP_BYTE;
    }
}

// Zero-width nodes that neither branch nor change the case flag: what follows
// them is what follows the node before them.
bool IsTransparent(const RegexNode *p)
{
    return p->nOp == RXOP_NOTHING || p->nOp == RXOP_OPEN || p->nOp == RXOP_CLOSE || p->nOp == RXOP_PLUS_ENTRY;
}

const RegexNode *SkipTransparent(const RegexNode *p)
{
    while (IsTransparent(p))
        p = p->pNext;
    return p;
}

// The bytes that can begin a match from a node, for a case flag at that node.
// Walks every path to its first consuming node; fails when a path reaches the
// end without consuming, or when the walk takes more than its budget of nodes.
class CFirstBytes
{
public:
    explicit CFirstBytes(const RegexPattern &pattern)
        : m_pBase(pattern.Head()), m_anStamp(pattern.aNodes.size() * 2)
    {
    }

    bool Find(const RegexNode *pStart, bool bCase, unsigned char *pbMap, std::size_t nBudget);

private:
    const RegexNode *m_pBase;
    std::vector<unsigned> m_anStamp;  // == m_nEpoch: seen in this walk
    unsigned m_nEpoch = 0;
    std::vector<std::pair<const RegexNode *, bool>> m_todo;
};

bool CFirstBytes::Find(const RegexNode *pStart, bool bCase, unsigned char *pbMap, std::size_t nBudget)
{
    ++m_nEpoch;
    m_todo.clear();
    std::size_t nSeen = 0;
    auto Visit = [&](const RegexNode *p, bool b) {
        unsigned &nStamp = m_anStamp[static_cast<std::size_t>(p - m_pBase) * 2 + b];
        if (nStamp != m_nEpoch) {
            nStamp = m_nEpoch;
            m_todo.emplace_back(p, b);
            ++nSeen;
        }
    };
    auto Add = [&](const unsigned char *pbFrom) {
        for (int i = 0; i < 32; ++i)
            pbMap[i] |= pbFrom[i];
    };
    Visit(pStart, bCase);
    while (!m_todo.empty()) {
        if (nSeen > nBudget)
            return false;
        const auto [p, b] = m_todo.back();
        m_todo.pop_back();
        switch (p->nOp) {
        case RXOP_END:
            return false;
        case RXOP_BYTE:
        case RXOP_LITERAL:
            Add(b ? p->pbFirstCase : p->pbFirstNoCase);
            break;
        case RXOP_REPEAT:
            Add(b ? p->pNext->pbFirstCase : p->pNext->pbFirstNoCase);
            if (p->nMin == 0)
                Visit(p->pTarget, b);
            break;
        case RXOP_CHOICE:
        case RXOP_STAR:
        case RXOP_PLUS:
            Visit(p->pNext, b);
            Visit(p->pTarget, b);
            break;
        case RXOP_JUMP:
        case RXOP_PLUS_BACK:
            Visit(p->pTarget, b);
            break;
        case RXOP_STAR_BACK:
            Visit(p->pTarget, b);
            Visit(p->pLoop->pTarget, b);
            break;
        case RXOP_CASEON:
        case RXOP_CASEOFF:
            Visit(p->pNext, p->nOp == RXOP_CASEON);
            break;
        default:  // assertions and markers let everything after them through
            Visit(p->pNext, b);
            break;
        }
    }
    return true;
}

RegexScan ScanFor(const RegexPattern &pattern, CFirstBytes &first, bool bCase)
{
    RegexScan scan;
    const RegexNode *pFirst = SkipTransparent(pattern.Head());
    if (pFirst->nOp == RXOP_TEXTSTART) {
        scan.nKind = RXSCAN_ANCHORED;
        return scan;
    }
    if (const RegexNode *p = pattern.pPrefix; p && p->nLength >= 2) {
        bool bExact = true;
        for (int i = 0; i < p->nLength && !bCase; ++i)
            bExact = bExact && p->pbAlt[i] == p->pbPayload[i];
        if (bExact) {
            scan.nKind = RXSCAN_LITERAL;
            return scan;
        }
    }
    if (!first.Find(pattern.Head(), bCase, scan.abMap, pattern.aNodes.size() * 2))
        return scan;
    int nCount = 0;
    for (unsigned c = 0; c < 256; ++c) {
        scan.abTable[c] = RegexMapHas(scan.abMap, static_cast<unsigned char>(c));
        if (!scan.abTable[c])
            continue;
        if (nCount == 0)
            scan.chFirst = static_cast<unsigned char>(c);
        else
            scan.chSecond = static_cast<unsigned char>(c);
        ++nCount;
    }
    scan.nKind = nCount == 1 ? RXSCAN_BYTE : nCount == 2 ? RXSCAN_TWOBYTES : RXSCAN_MAP;
    return scan;
}

// The last literal that every match passes through outside any choice or
// loop. Only literals before the first \C or \c of the pattern count: their
// first pass is compared with the caller's case flag.
const RegexNode *RequiredLiteral(const RegexPattern &pattern)
{
    const RegexNode *pFound = nullptr;
    const RegexNode *pCaseSwitch = pattern.Head();
    while (pCaseSwitch->nOp != RXOP_END && pCaseSwitch->nOp != RXOP_CASEON && pCaseSwitch->nOp != RXOP_CASEOFF)
        ++pCaseSwitch;
    for (const RegexNode *p = pattern.Head(); p->nOp != RXOP_END && p < pCaseSwitch;) {
        switch (p->nOp) {
        case RXOP_LITERAL:
            pFound = p;
            p = p->pNext;
            break;
        case RXOP_CHOICE:
            // x? continues at the target; x|y at the end of y, where the
            // jump before y leads.
            p = (p->nType & 0xFF) == '|' ? p->pTarget->pPrev->pTarget : p->pTarget;
            break;
        case RXOP_REPEAT:
            if (p->nMin && p->pNext->nOp == RXOP_LITERAL)
                pFound = p->pNext;
            p = p->pTarget;
            break;
        case RXOP_STAR:
        case RXOP_PLUS:
            p = p->pTarget;
            break;
        default:  // zero-width nodes, single-byte tests, the first pass of x+
            p = p->pNext;
            break;
        }
    }
    return pFound;
}

bool Disjoint(const unsigned char *pbA, const unsigned char *pbB)
{
    for (int i = 0; i < 32; ++i) {
        if (pbA[i] & pbB[i])
            return false;
    }
    return true;
}

} // namespace

void RegexFinish(RegexPattern &pattern)
{
    for (RegexNode &n : pattern.aNodes) {
        n.nOp = OperationOf(n);
        if (n.nType & RX_CHOICE) {
            n.bGreedy = (n.nType & RX_CHOICE_GREEDY) != 0;
            const int chOp = n.nType & 0xFF;
            // A closure without a loop slot has a single-byte operand.
            if (n.nOp != RXOP_CHOICE && n.nSlot < 0) {
                n.nOp = RXOP_REPEAT;
                n.nMin = (chOp == '+' || chOp == '#') ? 1 : 0;
            }
        } else if (n.nType & RX_GROUP_CAPTURE) {
            n.nGroup = static_cast<std::int16_t>(n.nType & 0xFF);
        }
    }
    // Back jumps look at their loop's operation, which is now known.
    for (RegexNode &n : pattern.aNodes) {
        if (n.nType == RX_JUMP && n.pLoop)
            n.nOp = n.pLoop->nOp == RXOP_STAR ? RXOP_STAR_BACK : RXOP_PLUS_BACK;
    }

    // A closure over one byte test gives bytes back only to let what follows
    // match; knowing the bytes that can follow, most of that is skipped.
    for (RegexNode &n : pattern.aNodes) {
        if (n.nOp != RXOP_REPEAT)
            continue;
        const RegexNode *pFollow = SkipTransparent(n.pTarget);
        if (pFollow->nOp != RXOP_BYTE && pFollow->nOp != RXOP_LITERAL)
            continue;
        n.pbFollowCase = pFollow->pbFirstCase;
        n.pbFollowNoCase = pFollow->pbFirstNoCase;
        n.bPossessiveCase = Disjoint(n.pNext->pbFirstCase, n.pbFollowCase);
        n.bPossessiveNoCase = Disjoint(n.pNext->pbFirstNoCase, n.pbFollowNoCase);
    }

    // Each branch of a choice gets the bytes it can start with, so that a
    // branch that cannot match here is not tried. A branch whose first bytes
    // lie far away gets none.
    CFirstBytes first(pattern);
    std::size_t nChoices = 0;
    for (const RegexNode &n : pattern.aNodes)
        nChoices += n.nOp == RXOP_CHOICE || n.nOp == RXOP_STAR || n.nOp == RXOP_PLUS;
    pattern.abGuards.assign(nChoices * 4 * 32, 0);
    unsigned char *pbGuard = pattern.abGuards.data();
    for (RegexNode &n : pattern.aNodes) {
        if (n.nOp != RXOP_CHOICE && n.nOp != RXOP_STAR && n.nOp != RXOP_PLUS)
            continue;
        for (const bool bCase : {false, true}) {
            for (int nBranch = 0; nBranch < 2; ++nBranch, pbGuard += 32) {
                if (first.Find(nBranch ? n.pTarget : n.pNext, bCase, pbGuard, 64))
                    n.apbGuard[bCase][nBranch] = pbGuard;
            }
        }
    }

    const RegexNode *pFirst = SkipTransparent(pattern.Head());
    if (pFirst->nOp == RXOP_LITERAL)
        pattern.pPrefix = pFirst;
    pattern.bLeadingAnyRepeat = pFirst->nOp == RXOP_REPEAT && pFirst->pNext->nType == RX_ANY;
    pattern.scanCase = ScanFor(pattern, first, true);
    pattern.scanNoCase = ScanFor(pattern, first, false);

    // The literal scan already looks for the leading literal as a whole.
    if (const RegexNode *pRequired = RequiredLiteral(pattern); pRequired && pRequired != pattern.pPrefix) {
        const int i = pRequired->nLength - 1;
        pattern.nRequiredCase = pRequired->pbPayload[i];
        pattern.anRequiredNoCase[0] = pRequired->pbPayload[i];
        pattern.anRequiredNoCase[1] = pRequired->pbAlt[i];
    }
}

std::string RegexRequiredText(const RegexPattern *pPattern, bool bCaseSensitive)
{
    if (!pPattern)
        return std::string();
    const RegexPattern &pattern = *pPattern;
    // The longer of the leading literal and the last literal every match
    // passes, as long as it is compared exactly.
    std::string strBest;
    for (const RegexNode *p : {pattern.pPrefix, RequiredLiteral(pattern)}) {
        if (!p || p->nLength <= static_cast<int>(strBest.size()))
            continue;
        bool bExact = true;
        for (int i = 0; i < p->nLength && !bCaseSensitive; ++i)
            bExact = bExact && p->pbAlt[i] == p->pbPayload[i];
        if (bExact)
            strBest.assign(reinterpret_cast<const char *>(p->pbPayload), static_cast<std::size_t>(p->nLength));
    }
    if (!strBest.empty())
        return strBest;
    const int c = bCaseSensitive ? pattern.nRequiredCase : pattern.anRequiredNoCase[0];
    if (c >= 0 && (bCaseSensitive || pattern.anRequiredNoCase[1] == c))
        return std::string(1, static_cast<char>(c));
    return std::string();
}
