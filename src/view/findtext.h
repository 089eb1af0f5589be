// Searching the lines of a document, as find and replace do: plain text
// (whole words, case folded for single-byte letters only) or a regular
// expression, which may span lines when it holds "\n". The state of the last
// match (its length, the text it was found in, the match registers) stays
// here so that a replacement with group references can be built from it.
#pragma once

#include "search/regex.h"
#include "syntax/parse.h"
#include "text/textbuffer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum : std::uint32_t
{
    SEARCH_MATCH_CASE = 0x01,
    SEARCH_WHOLE_WORD = 0x02,
    SEARCH_REGEX = 0x04,
    SEARCH_UP = 0x10,
};

// What the find and replace dialogs of one view last used.
struct CFindState
{
    bool bSearchDone = false;
    std::uint32_t dwSearchFlags = 0;
    std::string strSearchText;      // CP932
    std::string strSearchTextUtf8;  // as typed, for messages and the history
    bool bUnsearchable = false;      // the text as typed has no CP932 form
    bool bReplaceDone = false;
    std::uint32_t dwReplaceFlags = 0;
    int nReplaceLength = 0;
};

// Positions compare by line, then by byte.
inline bool PointBefore(CPoint a, CPoint b)
{
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

class CTextSearch
{
public:
    CTextSearch();
    ~CTextSearch();
    CTextSearch(const CTextSearch &) = delete;
    CTextSearch &operator=(const CTextSearch &) = delete;

    // The first match in text at or after nFrom (the bytes before it still
    // count as neighbours of a whole word and for the anchors of an
    // expression): its offset, or -1. nMatchLength receives its length.
    int SearchInLine(std::string_view text, const std::string &strWhat, std::uint32_t dwFlags,
                     int &nMatchLength, int nFrom = 0);

    // Searches from ptStart within [ptBlockBegin, ptBlockEnd]: forwards, or
    // with SEARCH_UP backwards, for the nearest match that lies wholly on
    // its side of ptStart and inside the block. bWrap allows one more pass
    // from the far end. On success ptFound is the match start and the match
    // state is kept (GetMatchLength, GetMatchEnd, BuildReplacement).
    bool SearchInRange(const CLineSource &lines, const std::string &strWhat, CPoint ptStart,
                       CPoint ptBlockBegin, CPoint ptBlockEnd, std::uint32_t dwFlags, bool bWrap,
                       CPoint &ptFound);
    // SearchInRange over the whole text.
    bool SearchInText(const CLineSource &lines, const std::string &strWhat, CPoint ptStart,
                      std::uint32_t dwFlags, bool bWrap, CPoint &ptFound);

    // The last match: its length in bytes (each line break inside it counts
    // one) and the position after it.
    int GetMatchLength() const { return m_nMatchLength; }
    CPoint GetMatchEnd() const { return m_ptMatchEnd; }
    // The text that replaces the last match: strReplace as it stands, or with
    // SEARCH_REGEX built with its group references and case escapes. False
    // when the replacement refers to a group the match did not set.
    bool BuildReplacement(const std::string &strReplace, std::uint32_t dwFlags,
                          std::string &strResult) const;

    // Whether the last search stopped before it knew the answer: the
    // progress hook asked it to, or an expression took too many steps.
    bool WasAborted() const { return m_bAborted; }
    // Whether the last expression searched for did not compile.
    bool IsBadExpression() const { return m_bBadExpression; }

    // Called every few thousand lines of a long search with the line reached;
    // returning false ends the search as aborted.
    void SetProgressHook(std::function<bool(int nLine)> fn) { m_fnProgress = std::move(fn); }
    // The backtracking steps that matching one line may take (0: no limit).
    void SetStepLimit(std::int64_t nSteps) { m_ctx.SetStepLimit(nSteps); }

    // How many lines after the first an expression's match may reach: one
    // for each "\n" escape it holds.
    static int CountLineBreaks(std::string_view strPattern);

private:
    struct CWindow
    {
        std::string_view text;
        int nLine = 0;
        std::vector<int> anStarts;  // offset of each joined line in text
    };

    bool Prepare(const std::string &strWhat, std::uint32_t dwFlags);
    void BuildWindow(const CLineSource &lines, int nLine, std::uint32_t dwFlags, CWindow &w);
    CPoint WindowPoint(const CWindow &w, int nOffset) const;
    // The first (or with bLast the last) match in the window starting at or
    // after nFrom and no later than the end of the window's first line.
    int FindInWindow(const CWindow &w, int nFrom, int nLimit, std::uint32_t dwFlags, bool bLast,
                     int &nLength);
    bool Pass(const CLineSource &lines, CPoint ptStart, CPoint ptEnd, std::uint32_t dwFlags,
              CPoint &ptFound);
    bool PassUp(const CLineSource &lines, CPoint ptStart, CPoint ptBegin, std::uint32_t dwFlags,
                CPoint &ptFound);
    bool Tick(int nLine);
    void KeepMatch(const CWindow &w, int nOffset, int nLength, std::uint32_t dwFlags);

    // The text searched for, as prepared for the flags it was prepared with.
    std::string m_strPrepared;
    std::uint32_t m_dwPrepared = 0;
    bool m_bPrepared = false;
    std::string m_strFolded;  // plain text, upper-cased without SEARCH_MATCH_CASE
    CRegexPtr m_pRegex;
    int m_nJoin = 0;
    bool m_bBadExpression = false;

    CRegexContext m_ctx;
    RegexRegisters m_regs;
    RegexRegisters m_matchRegs;
    std::string m_strScratch;
    std::string m_strMatchLine;  // the text the last expression match was found in
    bool m_bHasMatchLine = false;
    int m_nMatchLength = 0;
    CPoint m_ptMatchEnd;
    bool m_bAborted = false;
    std::function<bool(int)> m_fnProgress;
    int m_nTick = 0;
};
