// The compiled form of a regular expression, shared by the compiler and the
// matcher: a doubly linked list of nodes ending with an end node, and what the
// compiler worked out about where a match can start.
#pragma once

#include "search/regex.h"

#include <cstdint>
#include <memory>
#include <vector>

// Node types. Group markers and choice points carry flags and a number in
// their low bits (see below).
enum : std::uint16_t
{
    RX_NOTHING = 0,      // join point
    RX_JUMP = 1,         // continue at the target
    RX_ALTEND = 2,       // end of the left side of an alternation: skip the right side
    RX_TEXTSTART = 3,    // ^
    RX_TEXTEND = 4,      // $
    RX_WORDSTART = 5,    // <
    RX_WORDEND = 6,      // >
    RX_CASEON = 7,       // \C
    RX_CASEOFF = 8,      // \c
    RX_END = 31,         // the pattern has matched
    RX_ANY = 33,         // .
    RX_SET = 34,         // [...]
    RX_NOTSET = 35,      // [^...]
    RX_LITERAL = 36,
    RX_SPACE = 37,       // \s
    RX_NOTSPACE = 38,    // \S
    RX_UPPER = 39,       // \U
    RX_LOWER = 40,       // \L
    RX_DIGIT = 41,       // \d
    RX_NOTDIGIT = 42,    // \D
    RX_WORD = 43,        // \w
    RX_NOTWORD = 44,     // \W

    RX_GROUP = 0x100,          // + flags + group number (0 when not capturing)
    RX_GROUP_OPEN = 0x200,
    RX_GROUP_CLOSE = 0x400,
    RX_GROUP_CAPTURE = 0x800,

    RX_CHOICE = 0x1000,        // + flags + the operator character
    RX_CHOICE_GREEDY = 0x800,  // try the operand before the target
};

// How the compiler lays out the operators (C a choice node, N a join node):
//   x?        C x N       C tries x, else continues at N
//   x|y       C x A y N   A (RX_ALTEND) jumps to N; C's other branch is y
//   x* x@     C x J N     J jumps back to C; C's other branch is N
//   x+ x#     E x C J N   E marks the loop entry, J jumps back to x
// A closure over a single-byte node is C x N, matched as a counted repeat.
// An iteration that consumes nothing ends its loop, so that a body which can
// match the empty string, as in (a*)*, cannot loop for ever.

inline constexpr bool RegexIsConsuming(std::uint16_t nType)
{
    return nType >= RX_ANY && nType <= RX_NOTWORD;
}

// What the matcher does at a node; derived from the type when the list is
// finished, so that the matcher switches over a dense range.
enum ERegexOp : std::uint8_t
{
    RXOP_NOTHING,
    RXOP_JUMP,
    RXOP_STAR_BACK,      // end of an iteration of x* or x@
    RXOP_PLUS_ENTRY,     // before the first iteration of x+ or x#
    RXOP_PLUS_BACK,      // start of a further iteration of x+ or x#
    RXOP_TEXTSTART,
    RXOP_TEXTEND,
    RXOP_WORDSTART,
    RXOP_WORDEND,
    RXOP_CASEON,
    RXOP_CASEOFF,
    RXOP_END,
    RXOP_BYTE,           // any single-byte test: ., sets, classes
    RXOP_LITERAL,
    RXOP_OPEN,           // capturing group markers
    RXOP_CLOSE,
    RXOP_CHOICE,         // x? and x|y
    RXOP_STAR,           // x* and x@ with a general operand
    RXOP_PLUS,           // x+ and x# with a general operand
    RXOP_REPEAT,         // a closure over one single-byte node
};

struct RegexNode
{
    std::uint16_t nType = RX_NOTHING;
    std::int16_t nLength = 0;  // literal length, or 32 for a set
    RegexNode *pPrev = nullptr;
    RegexNode *pNext = nullptr;
    RegexNode *pTarget = nullptr;  // jumps and choices: the other branch

    // Literals: the bytes, and for each the byte that also matches when case
    // is ignored (itself for a non-letter). Sets: the 32-byte map as written.
    const unsigned char *pbPayload = nullptr;
    const unsigned char *pbAlt = nullptr;
    // Byte-consuming nodes: the bytes that can come first, as 32-byte maps,
    // with case compared and with case ignored.
    const unsigned char *pbFirstCase = nullptr;
    const unsigned char *pbFirstNoCase = nullptr;

    ERegexOp nOp = RXOP_NOTHING;
    bool bGreedy = false;
    bool bPossessiveCase = false;    // repeats: backing off can never help
    bool bPossessiveNoCase = false;
    std::int16_t nGroup = 0;         // capture markers: register number
    std::int32_t nSlot = -1;         // loops: index of the iteration-start slot
    std::int32_t nMin = 0;           // repeats: 0 or 1
    RegexNode *pLoop = nullptr;      // loop bookkeeping nodes: their choice node
    // Repeats: the first bytes of what must follow (null when unknown).
    const unsigned char *pbFollowCase = nullptr;
    const unsigned char *pbFollowNoCase = nullptr;
    // Choices and loops: the bytes that can begin each branch, [case][branch]
    // with branch 0 the operand (next) and 1 the target; null when a branch
    // can match without consuming anything.
    const unsigned char *apbGuard[2][2] = {};
};

inline bool RegexMapHas(const unsigned char *pbMap, unsigned char c)
{
    return (pbMap[c >> 3] >> (c & 7)) & 1;
}

// How RegexExecute finds the positions where a match may start.
enum ERegexScan : std::uint8_t
{
    RXSCAN_ALL,        // every position
    RXSCAN_ANCHORED,   // only the start position
    RXSCAN_LITERAL,    // where the leading literal occurs
    RXSCAN_BYTE,       // where one byte occurs
    RXSCAN_TWOBYTES,   // where either of two bytes occurs
    RXSCAN_MAP,        // where a byte of a set occurs
};

struct RegexScan
{
    ERegexScan nKind = RXSCAN_ALL;
    unsigned char chFirst = 0;
    unsigned char chSecond = 0;
    unsigned char abMap[32] = {};
    bool abTable[256] = {};  // abMap as one flag per byte, for the scan loop
};

struct RegexPattern
{
    std::vector<RegexNode> aNodes;            // in list order; aNodes[0] starts the list
    std::unique_ptr<unsigned char[]> pbArena;  // payloads and maps
    int nGroups = 0;
    int nSlots = 0;
    // Literal that every match starts with, for the literal scan.
    const RegexNode *pPrefix = nullptr;
    // A leading .* or .+: a match that fails at the first candidate fails at all later ones.
    bool bLeadingAnyRepeat = false;
    RegexScan scanCase;
    RegexScan scanNoCase;
    // A byte every match holds (and its other case, the same byte when it has
    // none); -1 when there is none worth looking for.
    int nRequiredCase = -1;
    int anRequiredNoCase[2] = {-1, -1};
    std::vector<unsigned char> abGuards;  // the maps behind apbGuard

    const RegexNode *Head() const { return aNodes.data(); }
};

// The 32-byte map of a class node type (RX_ANY, RX_SPACE ... RX_NOTWORD).
const unsigned char *RegexClassMap(std::uint16_t nType);

// The other case of an ASCII letter; any other byte unchanged.
inline unsigned char RegexOtherCase(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return static_cast<unsigned char>(c ^ 0x20);
    return c;
}

// Derives the matcher's operations and the start-position scans of a pattern
// whose nodes are laid out and linked.
void RegexFinish(RegexPattern &pattern);

// Reads exactly nDigits digits of base nBase at p (10, 8 or 16, either case)
// into a byte value; false when a digit is missing or the value is over 255.
inline bool RegexReadNumber(const unsigned char *p, int nBase, int nDigits, int &nValue)
{
    nValue = 0;
    for (int i = 0; i < nDigits; ++i) {
        const unsigned char c = p[i];
        int d = 99;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d >= nBase)
            return false;
        nValue = nValue * nBase + d;
    }
    return nValue <= 255;
}
