// Compiling a pattern into the node list. The pattern is read left to right;
// an operator applies to the last single item (one byte, '.', a set, an escape
// or a whole group), so ab|cd is a, then b or c, then d.
#include "search/regex_node.h"

#include "text/sjis.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

// A node while the list is being built; RegexFinish turns the list into the
// compact form the matcher walks.
struct CBuildNode
{
    std::uint16_t nType = RX_NOTHING;
    CBuildNode *pPrev = nullptr;
    CBuildNode *pNext = nullptr;
    CBuildNode *pTarget = nullptr;
    CBuildNode *pLoop = nullptr;  // loop entry and back jumps: the loop's choice node
    std::string strBytes;         // literal bytes
    std::string strExact;         // per literal byte: 1 when case never folds it
    unsigned char abMap[32] = {}; // sets
    int nSlot = -1;
    int nIndex = 0;
};

// One open group (the outermost level is the pattern itself).
struct CLevel
{
    CBuildNode *pOpen = nullptr;  // the group's opening marker
    int nGroup = 0;
    unsigned char chClose = 0;
    CBuildNode *pItem = nullptr;  // first node of the last item, null when there is none
    bool bItemIsLiteralByte = false;  // the last item is the last byte of a literal node
    CBuildNode *pAltChoice = nullptr;  // an alternation waiting for its right operand
    CBuildNode *pAltEnd = nullptr;
    bool bAltHasRight = false;
};

constexpr std::size_t MAX_LITERAL = 32767;  // what the node's 16-bit length holds

void MapAdd(unsigned char *pbMap, unsigned c)
{
    pbMap[c >> 3] |= static_cast<unsigned char>(1u << (c & 7));
}

void MapAddRange(unsigned char *pbMap, unsigned a, unsigned b)
{
    for (unsigned c = a; c <= b; ++c)
        MapAdd(pbMap, c);
}

// The byte that \a, \b, \e ... stand for in a pattern, or -1.
int ControlEscape(unsigned char c)
{
    switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'e': return 27;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    default: return -1;
    }
}

// The node type of a class escape (\s \S \d \D \w \W \U \L), or 0.
std::uint16_t ClassEscape(unsigned char c)
{
    switch (c) {
    case 's': return RX_SPACE;
    case 'S': return RX_NOTSPACE;
    case 'd': return RX_DIGIT;
    case 'D': return RX_NOTDIGIT;
    case 'w': return RX_WORD;
    case 'W': return RX_NOTWORD;
    case 'U': return RX_UPPER;
    case 'L': return RX_LOWER;
    default: return 0;
    }
}

bool IsDoubleByteAt(const unsigned char *p)
{
    return IsSjisLeadByte(p[0]) && IsSjisTrailByte(p[1]);
}

class CRegexCompiler
{
public:
    explicit CRegexCompiler(const char *pszPattern)
        : m_p(reinterpret_cast<const unsigned char *>(pszPattern))
    {
        m_pHead = New(RX_NOTHING);
        m_pTail = m_pHead;
    }

    RegexPattern *Compile();

private:
    bool Parse();
    bool ParseEscape();
    bool ParseSet();
    bool ReadSetElement(unsigned char *pbMap, int &nByte);
    bool ReadNumber(int nBase, int nDigits, int &nValue);

    CBuildNode *New(std::uint16_t nType)
    {
        m_nodes.emplace_back();
        m_nodes.back().nType = nType;
        return &m_nodes.back();
    }
    void Append(CBuildNode *p)
    {
        p->pPrev = m_pTail;
        m_pTail->pNext = p;
        m_pTail = p;
    }
    void InsertBefore(CBuildNode *pAt, CBuildNode *p)
    {
        p->pPrev = pAt->pPrev;
        p->pNext = pAt;
        pAt->pPrev->pNext = p;
        pAt->pPrev = p;
    }

    CLevel &Level() { return m_levels.back(); }
    void BeginItem();
    void AddItem(CBuildNode *p);
    void AddLiteral(unsigned char c, bool bExact);
    CBuildNode *TakeLastItem();
    void FinishAlternation(CLevel &lv);
    bool ApplyClosure(unsigned char chOp);
    bool StartAlternation();
    bool OpenGroup(unsigned char c);
    bool CloseGroup(unsigned char c);

    const unsigned char *m_p;
    std::deque<CBuildNode> m_nodes;
    CBuildNode *m_pHead;  // placeholder before the first node, dropped at the end
    CBuildNode *m_pTail;
    std::vector<CLevel> m_levels;
    int m_nGroups = 0;
    int m_nSlots = 0;
};

// An item starts: if an alternation waits for its right operand, this is it;
// if the right operand is already there, the alternation is complete.
void CRegexCompiler::BeginItem()
{
    CLevel &lv = Level();
    if (!lv.pAltChoice)
        return;
    if (lv.bAltHasRight)
        FinishAlternation(lv);
    else
        lv.bAltHasRight = true;
}

void CRegexCompiler::AddItem(CBuildNode *p)
{
    BeginItem();
    Append(p);
    Level().pItem = p;
    Level().bItemIsLiteralByte = false;
}

void CRegexCompiler::AddLiteral(unsigned char c, bool bExact)
{
    BeginItem();
    CBuildNode *p = m_pTail;
    CLevel &lv = Level();
    // Bytes gather in the literal at the tail while nothing has been applied to it.
    if (p->nType != RX_LITERAL || !lv.bItemIsLiteralByte || lv.pItem != p || p->strBytes.size() >= MAX_LITERAL) {
        p = New(RX_LITERAL);
        Append(p);
    }
    p->strBytes += static_cast<char>(c);
    p->strExact += static_cast<char>(bExact);
    lv.pItem = p;
    lv.bItemIsLiteralByte = true;
}

// Detaches the last item for an operator; when it is the last byte of a longer
// literal, that byte becomes a literal node of its own.
CBuildNode *CRegexCompiler::TakeLastItem()
{
    CLevel &lv = Level();
    CBuildNode *p = lv.pItem;
    if (p && lv.bItemIsLiteralByte && p->strBytes.size() > 1) {
        CBuildNode *pLast = New(RX_LITERAL);
        pLast->strBytes = p->strBytes.substr(p->strBytes.size() - 1);
        pLast->strExact = p->strExact.substr(p->strExact.size() - 1);
        p->strBytes.pop_back();
        p->strExact.pop_back();
        Append(pLast);
        p = pLast;
    }
    lv.pItem = nullptr;
    lv.bItemIsLiteralByte = false;
    return p;
}

void CRegexCompiler::FinishAlternation(CLevel &lv)
{
    CBuildNode *pJoin = New(RX_NOTHING);
    Append(pJoin);
    lv.pAltChoice->pTarget = lv.pAltEnd->pNext;
    lv.pAltEnd->pTarget = pJoin;
    lv.pItem = lv.pAltChoice;
    lv.bItemIsLiteralByte = false;
    lv.pAltChoice = nullptr;
    lv.pAltEnd = nullptr;
}

bool CRegexCompiler::ApplyClosure(unsigned char chOp)
{
    CLevel &lv = Level();
    if (lv.pAltChoice && !lv.bAltHasRight)
        return false;
    CBuildNode *pItem = TakeLastItem();
    if (!pItem)
        return false;
    const bool bLoop = chOp != '?';
    if (bLoop) {
        // A loop whose body consumes nothing could never end.
        bool bConsumes = false;
        for (CBuildNode *p = pItem; p && !bConsumes; p = p->pNext)
            bConsumes = RegexIsConsuming(p->nType);
        if (!bConsumes)
            return false;
    }
    const bool bGreedy = chOp == '*' || chOp == '+' || chOp == '?';
    CBuildNode *pChoice = New(static_cast<std::uint16_t>(RX_CHOICE | (bGreedy ? RX_CHOICE_GREEDY : 0) | chOp));
    const bool bSingleByte = pItem == m_pTail && RegexIsConsuming(pItem->nType)
                             && (pItem->nType != RX_LITERAL || pItem->strBytes.size() == 1);
    CBuildNode *pStart = pChoice;
    if (!bLoop || bSingleByte) {
        // choice, operand, join
        InsertBefore(pItem, pChoice);
    } else if (chOp == '*' || chOp == '@') {
        // choice, body, jump back to the choice, join
        pChoice->nSlot = m_nSlots++;
        InsertBefore(pItem, pChoice);
        CBuildNode *pBack = New(RX_JUMP);
        pBack->pTarget = pChoice;
        pBack->pLoop = pChoice;
        Append(pBack);
    } else {
        // entry, body, choice, jump back to the body, join
        pChoice->nSlot = m_nSlots++;
        pStart = New(RX_NOTHING);
        pStart->pLoop = pChoice;
        InsertBefore(pItem, pStart);
        Append(pChoice);
        CBuildNode *pBack = New(RX_JUMP);
        pBack->pTarget = pItem;
        pBack->pLoop = pChoice;
        Append(pBack);
    }
    CBuildNode *pJoin = New(RX_NOTHING);
    Append(pJoin);
    pChoice->pTarget = pJoin;
    lv.pItem = pStart;
    return true;
}

bool CRegexCompiler::StartAlternation()
{
    CLevel &lv = Level();
    if (lv.pAltChoice) {
        if (!lv.bAltHasRight)
            return false;
        FinishAlternation(lv);
    }
    CBuildNode *pLeft = TakeLastItem();
    if (!pLeft)
        return false;
    CBuildNode *pChoice = New(RX_CHOICE | RX_CHOICE_GREEDY | '|');
    InsertBefore(pLeft, pChoice);
    CBuildNode *pEnd = New(RX_ALTEND);
    Append(pEnd);
    lv.pAltChoice = pChoice;
    lv.pAltEnd = pEnd;
    lv.bAltHasRight = false;
    return true;
}

bool CRegexCompiler::OpenGroup(unsigned char c)
{
    int nGroup = 0;
    if (c == '(') {
        if (m_nGroups == REGEX_MAX_GROUPS)
            return false;
        nGroup = ++m_nGroups;
    }
    CBuildNode *pOpen = New(static_cast<std::uint16_t>(RX_GROUP | RX_GROUP_OPEN | (nGroup ? RX_GROUP_CAPTURE : 0) | nGroup));
    AddItem(pOpen);
    CLevel lv;
    lv.pOpen = pOpen;
    lv.nGroup = nGroup;
    lv.chClose = c == '(' ? ')' : '}';
    m_levels.push_back(lv);
    return true;
}

// Closes the innermost group; c is 0 for a group that the pattern leaves open.
bool CRegexCompiler::CloseGroup(unsigned char c)
{
    CLevel &lv = Level();
    if (c && c != lv.chClose)
        return false;
    if (lv.pAltChoice) {
        if (!lv.bAltHasRight)
            return false;
        FinishAlternation(lv);
    }
    const int nGroup = lv.nGroup;
    Append(New(static_cast<std::uint16_t>(RX_GROUP | RX_GROUP_CLOSE | (nGroup ? RX_GROUP_CAPTURE : 0) | nGroup)));
    CBuildNode *pOpen = lv.pOpen;
    m_levels.pop_back();
    Level().pItem = pOpen;
    Level().bItemIsLiteralByte = false;
    return true;
}

bool CRegexCompiler::ReadNumber(int nBase, int nDigits, int &nValue)
{
    if (!RegexReadNumber(m_p, nBase, nDigits, nValue))
        return false;
    m_p += nDigits;
    return true;
}

// After a backslash outside a set.
bool CRegexCompiler::ParseEscape()
{
    const unsigned char c = *m_p;
    if (c == 0)
        return false;
    if (IsDoubleByteAt(m_p)) {
        AddLiteral(m_p[0], false);
        AddLiteral(m_p[1], true);
        m_p += 2;
        return true;
    }
    ++m_p;
    if (const std::uint16_t nClass = ClassEscape(c)) {
        AddItem(New(nClass));
        return true;
    }
    int nByte = ControlEscape(c);
    switch (c) {
    case 'C':
        AddItem(New(RX_CASEON));
        return true;
    case 'c':
        AddItem(New(RX_CASEOFF));
        return true;
    case 'N':
        if (!ReadNumber(10, 3, nByte))
            return false;
        break;
    case 'o':
        if (!ReadNumber(8, 3, nByte))
            return false;
        break;
    case 'x':
        if (!ReadNumber(16, 2, nByte))
            return false;
        break;
    default:
        if (nByte < 0)
            nByte = c;
        break;
    }
    AddLiteral(static_cast<unsigned char>(nByte), false);
    return true;
}

// One element of a set: a byte (nByte >= 0) or a class escape (nByte = -1,
// its bytes already added).
bool CRegexCompiler::ReadSetElement(unsigned char *pbMap, int &nByte)
{
    const unsigned char c = *m_p;
    if (IsDoubleByteAt(m_p)) {
        // Both bytes belong to the set; the second is never a ']' or a '\'.
        MapAdd(pbMap, c);
        nByte = m_p[1];
        m_p += 2;
        return true;
    }
    if (c != '\\') {
        nByte = c;
        ++m_p;
        return true;
    }
    const unsigned char e = m_p[1];
    if (e == 0)
        return false;
    if (IsDoubleByteAt(m_p + 1)) {
        MapAdd(pbMap, e);
        nByte = m_p[2];
        m_p += 3;
        return true;
    }
    m_p += 2;
    if (const std::uint16_t nClass = ClassEscape(e)) {
        const unsigned char *pbClass = RegexClassMap(nClass);
        for (int i = 0; i < 32; ++i)
            pbMap[i] |= pbClass[i];
        nByte = -1;
        return true;
    }
    switch (e) {
    case 'N':
        return ReadNumber(10, 3, nByte);
    case 'o':
        return ReadNumber(8, 3, nByte);
    case 'x':
        return ReadNumber(16, 2, nByte);
    default:
        nByte = ControlEscape(e);
        if (nByte < 0)
            nByte = e;
        return true;
    }
}

// After the '['.
bool CRegexCompiler::ParseSet()
{
    CBuildNode *pSet = New(RX_SET);
    if (*m_p == '^') {
        pSet->nType = RX_NOTSET;
        ++m_p;
    }
    for (;;) {
        if (*m_p == 0)
            return false;
        if (*m_p == ']') {
            ++m_p;
            break;
        }
        int nFirst;
        if (!ReadSetElement(pSet->abMap, nFirst))
            return false;
        if (*m_p != '-') {
            if (nFirst >= 0)
                MapAdd(pSet->abMap, static_cast<unsigned>(nFirst));
            continue;
        }
        // A range: both ends must be single bytes, in order, before the ']'.
        ++m_p;
        if (nFirst < 0 || *m_p == ']' || *m_p == 0)
            return false;
        int nLast;
        if (!ReadSetElement(pSet->abMap, nLast) || nLast < nFirst)
            return false;
        MapAddRange(pSet->abMap, static_cast<unsigned>(nFirst), static_cast<unsigned>(nLast));
    }
    AddItem(pSet);
    return true;
}

bool CRegexCompiler::Parse()
{
    m_levels.emplace_back();
    while (const unsigned char c = *m_p) {
        if (IsDoubleByteAt(m_p)) {
            // The second byte of a double-byte character is never an operator,
            // even when it has the code of one ('\\', '|', '{', '@' ...).
            AddLiteral(c, false);
            AddLiteral(m_p[1], true);
            m_p += 2;
            continue;
        }
        ++m_p;
        bool bOk = true;
        switch (c) {
        case '*':
        case '@':
        case '+':
        case '#':
        case '?':
            bOk = ApplyClosure(c);
            break;
        case '|':
            bOk = StartAlternation();
            break;
        case '(':
        case '{':
            bOk = OpenGroup(c);
            break;
        case ')':
        case '}':
            if (m_levels.size() == 1)
                return true;  // a stray closer ends the pattern
            bOk = CloseGroup(c);
            break;
        case '.':
            AddItem(New(RX_ANY));
            break;
        case '^':
            AddItem(New(RX_TEXTSTART));
            break;
        case '$':
            AddItem(New(RX_TEXTEND));
            break;
        case '<':
            AddItem(New(RX_WORDSTART));
            break;
        case '>':
            AddItem(New(RX_WORDEND));
            break;
        case '[':
            bOk = ParseSet();
            break;
        case '\\':
            bOk = ParseEscape();
            break;
        default:
            AddLiteral(c, false);
            break;
        }
        if (!bOk)
            return false;
    }
    return true;
}

RegexPattern *CRegexCompiler::Compile()
{
    if (!Parse())
        return nullptr;
    while (m_levels.size() > 1) {
        if (!CloseGroup(0))
            return nullptr;
    }
    CLevel &lv = Level();
    if (lv.pAltChoice) {
        if (!lv.bAltHasRight)
            return nullptr;
        FinishAlternation(lv);
    }
    Append(New(RX_END));

    // Lay the nodes out in list order, then give each its payload and maps.
    int nCount = 0;
    std::size_t nArena = 0;
    for (CBuildNode *p = m_pHead->pNext; p; p = p->pNext) {
        p->nIndex = nCount++;
        if (p->nType == RX_LITERAL)
            nArena += 2 * p->strBytes.size() + 64;
        else if (p->nType == RX_SET || p->nType == RX_NOTSET)
            nArena += 64;
    }
    std::unique_ptr<RegexPattern> pPattern(new RegexPattern);
    pPattern->aNodes.resize(static_cast<std::size_t>(nCount));
    pPattern->pbArena.reset(new unsigned char[nArena + 1]());
    pPattern->nGroups = m_nGroups;
    pPattern->nSlots = m_nSlots;
    unsigned char *pbFree = pPattern->pbArena.get();
    RegexNode *aNodes = pPattern->aNodes.data();
    auto Map = [&](const CBuildNode *p) { return p ? &aNodes[p->nIndex] : nullptr; };
    for (CBuildNode *b = m_pHead->pNext; b; b = b->pNext) {
        RegexNode &n = aNodes[b->nIndex];
        n.nType = b->nType;
        n.pPrev = b->pPrev == m_pHead ? nullptr : Map(b->pPrev);
        n.pNext = Map(b->pNext);
        n.pTarget = Map(b->pTarget);
        n.pLoop = Map(b->pLoop);
        n.nSlot = b->nSlot;
        if (b->nType == RX_LITERAL) {
            const std::size_t nLen = b->strBytes.size();
            n.nLength = static_cast<std::int16_t>(nLen);
            unsigned char *pbBytes = pbFree;
            unsigned char *pbAlt = pbFree + nLen;
            unsigned char *pbFirst = pbFree + 2 * nLen;
            pbFree += 2 * nLen + 64;
            std::memcpy(pbBytes, b->strBytes.data(), nLen);
            for (std::size_t i = 0; i < nLen; ++i)
                pbAlt[i] = b->strExact[i] ? pbBytes[i] : RegexOtherCase(pbBytes[i]);
            MapAdd(pbFirst, pbBytes[0]);
            MapAdd(pbFirst + 32, pbBytes[0]);
            MapAdd(pbFirst + 32, pbAlt[0]);
            n.pbPayload = pbBytes;
            n.pbAlt = pbAlt;
            n.pbFirstCase = pbFirst;
            n.pbFirstNoCase = pbFirst + 32;
        } else if (b->nType == RX_SET || b->nType == RX_NOTSET) {
            n.nLength = 32;
            std::memcpy(pbFree, b->abMap, 32);
            for (int i = 0; i < 32; ++i)
                pbFree[32 + i] = b->nType == RX_SET ? b->abMap[i] : static_cast<unsigned char>(~b->abMap[i]);
            n.pbPayload = pbFree;
            n.pbFirstCase = n.pbFirstNoCase = pbFree + 32;
            pbFree += 64;
        } else if (RegexIsConsuming(b->nType)) {
            n.pbFirstCase = n.pbFirstNoCase = RegexClassMap(b->nType);
        }
    }
    RegexFinish(*pPattern);
    return pPattern.release();
}

// Byte maps of the classes, computed when the program is built.
struct CClassMaps
{
    unsigned char aab[9][32] = {};

    constexpr CClassMaps()
    {
        for (unsigned c = 0; c < 256; ++c) {
            const bool bUpper = c >= 'A' && c <= 'Z';
            const bool bLower = c >= 'a' && c <= 'z';
            const bool bDigit = c >= '0' && c <= '9';
            const bool bSpace = c == ' ' || c == '\n' || c == '\r' || c == '\t';
            const bool bIn[9] = {true, bSpace, !bSpace, bUpper, bLower, bDigit, !bDigit,
                                  bUpper || bLower || bDigit, !(bUpper || bLower || bDigit)};
            for (int k = 0; k < 9; ++k) {
                if (bIn[k])
                    aab[k][c >> 3] = static_cast<unsigned char>(aab[k][c >> 3] | (1u << (c & 7)));
            }
        }
    }
};

constexpr CClassMaps CLASS_MAPS;

} // namespace

const unsigned char *RegexClassMap(std::uint16_t nType)
{
    switch (nType) {
    case RX_SPACE: return CLASS_MAPS.aab[1];
    case RX_NOTSPACE: return CLASS_MAPS.aab[2];
    case RX_UPPER: return CLASS_MAPS.aab[3];
    case RX_LOWER: return CLASS_MAPS.aab[4];
    case RX_DIGIT: return CLASS_MAPS.aab[5];
    case RX_NOTDIGIT: return CLASS_MAPS.aab[6];
    case RX_WORD: return CLASS_MAPS.aab[7];
    case RX_NOTWORD: return CLASS_MAPS.aab[8];
    default: return CLASS_MAPS.aab[0];  // RX_ANY
    }
}

RegexPattern *RegexCompile(const char *pszPattern)
{
    if (!pszPattern || !*pszPattern)
        return nullptr;
    return CRegexCompiler(pszPattern).Compile();
}

void RegexFree(RegexPattern *pPattern)
{
    delete pPattern;
}
