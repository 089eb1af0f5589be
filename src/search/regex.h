// The program's regular-expression engine: a pattern is compiled into a list
// of nodes and matched by backtracking over bytes. Used by find and replace in
// the editor and by the folder search.
//
// A compiled pattern is immutable and may be shared by threads. Everything a
// match changes lives in the caller's CRegexContext (one per thread), so any
// number of threads may compile and match at the same time, and a match can
// be stopped from another thread through the context's cancel flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct RegexNode;
struct RegexPattern;

inline constexpr int REGEX_REGISTERS = 64;
// Register 0 is the whole match, so at most 63 capturing groups fit.
inline constexpr int REGEX_MAX_GROUPS = REGEX_REGISTERS - 1;

// Byte offsets from the start of the text; -1 when the register is not set.
struct RegexRegisters
{
    std::int32_t nStart[REGEX_REGISTERS];
    std::int32_t nEnd[REGEX_REGISTERS];

    void Clear();
    bool IsSet(int n) const { return nStart[n] >= 0 && nEnd[n] >= 0; }
};

// One entry of the backtracking stack; only the matcher looks inside.
struct RegexFrame
{
    const RegexNode *pNode;
    std::int32_t nPos;
    std::int32_t nAux;
    std::uint8_t nKind;
    bool bCase;
};

// What one thread needs to run matches: the backtracking stack and the work
// registers, kept from match to match so that matching does not allocate.
class CRegexContext
{
public:
    CRegexContext();

    // Another thread stores true in either flag to stop a running match;
    // RegexExecute then returns false and WasAborted() says so. Null for no flag.
    void SetCancelFlag(const std::atomic<bool> *pCancel, const std::atomic<bool> *pCancel2 = nullptr)
    {
        m_pCancel = pCancel;
        m_pCancel2 = pCancel2;
    }
    bool IsCancelled() const
    {
        return (m_pCancel && m_pCancel->load(std::memory_order_relaxed))
               || (m_pCancel2 && m_pCancel2->load(std::memory_order_relaxed));
    }
    // The number of backtracking steps one RegexExecute call may take; 0 means
    // no limit. A caller on the user-interface thread uses it to stay responsive.
    void SetStepLimit(std::int64_t nSteps) { m_nStepLimit = nSteps; }
    // Turns off the start-position scans and the shortcuts taken at choices
    // and closures, leaving the plain backtracking walk. Results are the
    // same; tests and the fuzz target compare the two.
    void SetPlainMatching(bool bPlain) { m_bPlain = bPlain; }

    // Whether the last RegexExecute stopped before it knew the answer:
    // cancelled, out of steps, or out of backtracking memory.
    bool WasAborted() const { return m_bAborted; }

private:
    friend class CRegexMatcher;

    std::vector<RegexFrame> m_aFrames;
    std::vector<std::int32_t> m_anSlots;  // where the current iteration of each loop began
    RegexRegisters m_work;
    const std::atomic<bool> *m_pCancel = nullptr;
    const std::atomic<bool> *m_pCancel2 = nullptr;
    std::int64_t m_nStepLimit = 0;
    bool m_bPlain = false;
    bool m_bAborted = false;
};

// Compiles a NUL-terminated pattern. Returns null for an empty or invalid
// pattern (including one with more than REGEX_MAX_GROUPS capturing groups).
RegexPattern *RegexCompile(const char *pszPattern);

// Releases a compiled pattern; null is allowed.
void RegexFree(RegexPattern *pPattern);

// Searches [pText, pText + nLength) for the leftmost match that starts at or
// after nStart (0 <= nStart <= nLength); the bytes before nStart still count
// for '^', '<' and '>'. On success the registers hold the match (a group that
// was passed more than once holds its first pass); otherwise they are all -1. bCaseSensitive is the starting state of literal comparison
// (\C and \c change it during the match). A null context uses a temporary one.
bool RegexExecute(const RegexPattern *pPattern, const char *pText, int nLength, int nStart,
                  RegexRegisters &regs, bool bCaseSensitive, CRegexContext *pContext = nullptr);

// Bytes that every match holds, compared exactly when matching with
// bCaseSensitive (the leading literal, or else one byte a match cannot do
// without); empty when the pattern has none. A search through much text can
// skip the parts that lack them.
std::string RegexRequiredText(const RegexPattern *pPattern, bool bCaseSensitive);

// Builds the replacement for a match: pszReplacement with its group references
// and case escapes applied, the groups taken from text through regs. Returns 0
// and the result in strResult, or -1 (and an empty strResult) on an error: a
// reference to a group that is not set, or a '\' at the end.
int RegexSubstitute(const char *pszReplacement, std::string_view text, const RegexRegisters &regs,
                    std::string &strResult);

// Owning handle for C++ callers.
struct RegexPatternDeleter
{
    void operator()(RegexPattern *p) const { RegexFree(p); }
};
using CRegexPtr = std::unique_ptr<RegexPattern, RegexPatternDeleter>;
