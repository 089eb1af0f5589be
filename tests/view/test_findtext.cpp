// Find and replace over lines: plain and expression searches, their
// directions, whole words and case next to double-byte characters, and the
// replace session with its block and its single step of undo.
#include "search/plainsearch.h"
#include "syntax/linesource.h"
#include "view/findtext.h"
#include "view/replacetext.h"

#include "text/bufferutil.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// ａ (full-width small a), Ａ (full-width capital A), Ｂ (0x82 0x61: its trail byte is 'a').
const std::string FW_SMALL_A = "\x82\x81";
const std::string FW_CAPITAL_A = "\x82\x60";
const std::string FW_B = "\x82\x61";
const std::string HIRAGANA_A = "\x82\xA0";

CMemoryLineSource LinesOf(std::initializer_list<std::string_view> lines)
{
    return CMemoryLineSource(std::vector<std::string_view>(lines));
}

} // namespace

TEST(PlainSearch, MatchesOnWholeCharactersAndWholeWords)
{
    const struct
    {
        std::string strText;
        const char *pszFind;
        int nStart, nEnd;
        bool bWholeWord, bUp;
        int nExpected;
    } cases[] = {
        // "ab" whose 'a' is the trail byte of Ｂ is not an occurrence.
        {FW_B + "b", "ab", 0, 3, false, false, -1},
        {FW_B + "b ab", "ab", 0, 6, false, false, 4},
        // A search text ending in a lead byte would cut the character after it.
        {"x" + HIRAGANA_A, "x\x82", 0, 3, false, false, -1},
        {"ab ab ab", "ab", 0, 7, false, true, 3},
        {"aaaa", "aa", 1, 4, false, false, 1},
        // Whole words touch no ASCII letter or digit; Ｂ's trail byte 'a' is none.
        {"xab abx ab", "ab", 0, 10, true, false, 8},
        {"ab" + HIRAGANA_A, "ab", 0, 4, true, false, 0},
        {FW_B + "ab", "ab", 0, 4, true, false, 2},
        {"1ab", "ab", 0, 3, true, false, -1},
        // Neighbours outside the searched window still count.
        {"abc", "ab", 0, 2, true, false, -1},
        {"cab", "ab", 1, 3, true, false, -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FindPlainText(c.strText, c.pszFind, c.nStart, c.nEnd, c.bWholeWord, c.bUp), c.nExpected)
            << c.strText << " / " << c.pszFind;
}

TEST(PlainSearch, CaseFoldingLeavesDoubleByteCharactersAlone)
{
    std::string s = "abc" + FW_SMALL_A + FW_B + "z";
    UpperCaseSingleBytes(s);
    EXPECT_EQ(s, "ABC" + FW_SMALL_A + FW_B + "Z");
    LowerCaseSingleBytes(s);
    EXPECT_EQ(s, "abc" + FW_SMALL_A + FW_B + "z");
}

TEST(TextSearch, IgnoringCaseFoldsOnlySingleByteLetters)
{
    CTextSearch search;
    int nLength = 0;
    EXPECT_EQ(search.SearchInLine("xx ABC", "abc", 0, nLength), 3);
    EXPECT_EQ(nLength, 3);
    const struct
    {
        std::string strLine, strFind;
        std::uint32_t dwFlags;
        int nExpected;
    } cases[] = {
        {"xx ABC", "abc", SEARCH_MATCH_CASE, -1},
        // Full-width letters are found only in the same case.
        {FW_CAPITAL_A + FW_SMALL_A, FW_SMALL_A, 0, 2},
        {FW_CAPITAL_A, FW_SMALL_A, 0, -1},
        // Ｂ's trail byte 'a' is not folded to 'A' (which would read as another character).
        {FW_B, "\x82\x41", 0, -1},
        {"xx ABC", "a.c", SEARCH_REGEX, 3},
        {"xx ABC", "a.c", SEARCH_REGEX | SEARCH_MATCH_CASE, -1},
        {"a[b", "a[b", SEARCH_REGEX, -1},  // does not compile: finds nothing
    };
    for (const auto &c : cases)
        EXPECT_EQ(search.SearchInLine(c.strLine, c.strFind, c.dwFlags, nLength), c.nExpected) << c.strFind;
    EXPECT_TRUE(search.IsBadExpression());
}

TEST(TextSearch, UpwardSearchVisitsEachMatchOfALine)
{
    const CMemoryLineSource lines = LinesOf({"ab", "ab ab ab xx"});
    CTextSearch search;
    CPoint pt(11, 1);
    std::vector<CPoint> aFound;
    while (search.SearchInText(lines, "ab", pt, SEARCH_UP, false, pt))
        aFound.push_back(pt);
    EXPECT_EQ(aFound, (std::vector<CPoint>{CPoint(6, 1), CPoint(3, 1), CPoint(0, 1), CPoint(0, 0)}));
    // Wrapping goes on from the end of the text.
    ASSERT_TRUE(search.SearchInText(lines, "ab", CPoint(0, 0), SEARCH_UP, true, pt));
    EXPECT_EQ(pt, CPoint(6, 1));
    // A match that reaches past the start is not before it.
    ASSERT_TRUE(search.SearchInText(lines, "ab", CPoint(7, 1), SEARCH_UP, false, pt));
    EXPECT_EQ(pt, CPoint(3, 1));
    // Upwards, a whole word still sees the byte after the start position.
    ASSERT_TRUE(search.SearchInText(LinesOf({"ab abc"}), "ab", CPoint(5, 0), SEARCH_UP | SEARCH_WHOLE_WORD, false, pt));
    EXPECT_EQ(pt, CPoint(0, 0));
    // The same with an expression: the rightmost match before the start.
    ASSERT_TRUE(search.SearchInText(lines, "a.", CPoint(11, 1), SEARCH_UP | SEARCH_REGEX, false, pt));
    EXPECT_EQ(pt, CPoint(6, 1));
}

TEST(TextSearch, ForwardSearchStartsAtTheCaretAndWraps)
{
    const CMemoryLineSource lines = LinesOf({"one two", "", "two one"});
    CTextSearch search;
    CPoint pt;
    ASSERT_TRUE(search.SearchInText(lines, "two", CPoint(5, 0), 0, false, pt));
    EXPECT_EQ(std::make_pair(pt, search.GetMatchEnd()), std::make_pair(CPoint(0, 2), CPoint(3, 2)));
    EXPECT_FALSE(search.SearchInText(lines, "one", CPoint(5, 2), 0, false, pt));
    ASSERT_TRUE(search.SearchInText(lines, "one", CPoint(5, 2), 0, true, pt));
    EXPECT_EQ(pt, CPoint(0, 0));
    // A start before a block begins at the block; a match past its end is outside.
    ASSERT_TRUE(search.SearchInRange(lines, "two", CPoint(0, 0), CPoint(1, 0), CPoint(3, 2), 0, false, pt));
    EXPECT_EQ(pt, CPoint(4, 0));
    EXPECT_FALSE(search.SearchInRange(lines, "one", CPoint(0, 1), CPoint(0, 1), CPoint(6, 2), 0, false, pt));
    EXPECT_FALSE(search.SearchInRange(lines, "one", CPoint(0, 0), CPoint(2, 0), CPoint(2, 0), 0, true, pt));
}

TEST(TextSearch, ExpressionsWithLineBreaksSpanLines)
{
    const CMemoryLineSource lines = LinesOf({"first foo", "bar last", "foo", "baz"});
    CTextSearch search;
    CPoint pt;
    ASSERT_TRUE(search.SearchInText(lines, "o\\nb.r", CPoint(0, 0), SEARCH_REGEX, false, pt));
    EXPECT_EQ(std::make_pair(pt, search.GetMatchEnd()), std::make_pair(CPoint(8, 0), CPoint(3, 1)));
    EXPECT_EQ(search.GetMatchLength(), 5);  // the line break counts one
    ASSERT_TRUE(search.SearchInText(lines, "o\\nb..", CPoint(9, 0), SEARCH_REGEX, false, pt));
    EXPECT_EQ(std::make_pair(pt, search.GetMatchEnd()), std::make_pair(CPoint(2, 2), CPoint(3, 3)));
    // Upwards the match must end before the start.
    ASSERT_TRUE(search.SearchInText(lines, "o\\nb", CPoint(0, 3), SEARCH_REGEX | SEARCH_UP, false, pt));
    EXPECT_EQ(pt, CPoint(8, 0));
    EXPECT_EQ(CTextSearch::CountLineBreaks("a\\nb\\\\n\\n"), 2);
}

TEST(TextSearch, AnchorsSeeTheWholeLine)
{
    const CMemoryLineSource lines = LinesOf({"abab"});
    CTextSearch search;
    CPoint pt;
    // Searching from column 2 does not make column 2 the start of the line.
    EXPECT_FALSE(search.SearchInText(lines, "^ab", CPoint(2, 0), SEARCH_REGEX, false, pt));
    ASSERT_TRUE(search.SearchInText(lines, "<ab", CPoint(0, 0), SEARCH_REGEX, false, pt));
    EXPECT_EQ(pt, CPoint(0, 0));
}

TEST(TextSearch, ProgressHookStopsALongSearch)
{
    CMemoryLineSource lines;
    for (int i = 0; i < 20000; ++i)
        lines.AddLine("nothing here");
    lines.AddLine("needle");
    CTextSearch search;
    int nCalls = 0;
    search.SetProgressHook([&](int) { return ++nCalls < 2; });
    CPoint pt;
    EXPECT_FALSE(search.SearchInText(lines, "needle", CPoint(0, 0), 0, false, pt));
    EXPECT_TRUE(search.WasAborted());
    search.SetProgressHook(nullptr);
    EXPECT_TRUE(search.SearchInText(lines, "needle", CPoint(0, 0), 0, false, pt));
    EXPECT_FALSE(search.WasAborted());
}

TEST(TextSearch, RunawayExpressionIsStoppedByTheStepLimit)
{
    const CMemoryLineSource lines = LinesOf({std::string(60, 'a') + "!"});
    CTextSearch search;
    search.SetStepLimit(100000);
    CPoint pt;
    EXPECT_FALSE(search.SearchInText(lines, "(a*)*[bc]", CPoint(0, 0), SEARCH_REGEX | SEARCH_MATCH_CASE, false, pt));
    EXPECT_TRUE(search.WasAborted());
}

namespace {

// A replace session over a buffer of its own, whole text as scope.
class ReplaceSession : public ::testing::Test
{
protected:
    void Start(std::string_view text, const char *pszFind, const char *pszReplace, std::uint32_t dwFlags = 0)
    {
        m_buffer.InitNew();
        Insert(m_buffer, 0, 0, text, ACTION_INDENT);
        m_buffer.ClearUndo();
        m_session.SetScope(false);
        m_session.SetTexts(pszFind, pszReplace, dwFlags | SEARCH_MATCH_CASE);
    }

    static std::string Repeat(const char *pszLine, int nCount)
    {
        std::string s;
        for (int i = 0; i < nCount; ++i)
            s += pszLine;
        return s;
    }

    CCrystalTextBuffer m_buffer;
    CTextSearch m_search;
    CReplaceSession m_session{m_buffer, nullptr, m_search};
    CPoint m_pt;
};

} // namespace

TEST_F(ReplaceSession, ReplaceStepsThroughTheMatches)
{
    Start("cat cat\r\ncat", "cat", "dog");
    // The first press only finds.
    ASSERT_TRUE(m_session.Replace());
    EXPECT_EQ(m_session.GetMatchStart(), CPoint(0, 0));
    EXPECT_EQ(Lines(m_buffer), "cat cat|cat");
    ASSERT_TRUE(m_session.Replace());
    EXPECT_EQ(m_session.GetMatchStart(), CPoint(4, 0));
    ASSERT_TRUE(m_session.FindNext());  // skips to the next one
    EXPECT_EQ(m_session.GetMatchStart(), CPoint(0, 1));
    EXPECT_FALSE(m_session.Replace());
    EXPECT_EQ(Lines(m_buffer), "dog cat|dog");
    EXPECT_EQ(m_session.GetReplaceLength(), 3);
    // Each replacement is its own step of undo.
    m_buffer.Undo(m_pt);
    EXPECT_EQ(Lines(m_buffer), "dog cat|cat");
}

TEST_F(ReplaceSession, ReplaceAllCoversTheScopeFromItsStart)
{
    // Whatever find next reached, replace all starts at the scope's start:
    // the top of the text, or the block's start.
    Start("cat\r\ncat cat\r\ncat", "cat", "dog");
    m_session.SetStart(CPoint(4, 1));
    ASSERT_TRUE(m_session.FindNext());
    EXPECT_EQ(m_session.GetMatchStart(), CPoint(4, 1));
    EXPECT_EQ(m_session.ReplaceAll(), 4);
    EXPECT_EQ(Lines(m_buffer), "dog|dog dog|dog");

    Start("cat\r\ncat cat\r\ncat", "cat", "dog");
    m_session.SetScope(true, CPoint(0, 1), CPoint(7, 1));
    m_session.SetStart(CPoint(4, 1));
    ASSERT_TRUE(m_session.FindNext());
    EXPECT_EQ(m_session.ReplaceAll(), 2);
    EXPECT_EQ(Lines(m_buffer), "cat|dog dog|cat");
}

TEST_F(ReplaceSession, ExpressionReplacementsEmptyMatchesAnchorsGroupsAndLineBreaks)
{
    const struct
    {
        const char *pszText, *pszFind, *pszReplace;
        int nCount;
        const char *pszAfter;
    } cases[] = {
        {"ab\r\ncd", "x*", "-", 6, "-a-b-|-c-d-"},
        {"ab\r\ncd", "^", "> ", 2, "> ab|> cd"},
        {"hello world\r\nfoo bar", "(\\w+) (\\w+)", "\\u\\2 \\1", 2, "World hello|Bar foo"},
        // A line break in the match and in the replacement.
        {"a;b\r\nc", ";(.)\\nc", "\\n\\1", 1, "a|b"},
    };
    for (const auto &c : cases) {
        Start(c.pszText, c.pszFind, c.pszReplace, SEARCH_REGEX);
        const int nCount = m_session.ReplaceAll();
        EXPECT_EQ(nCount, c.nCount) << c.pszFind;
        EXPECT_EQ(Lines(m_buffer), c.pszAfter) << c.pszFind;
    }
    // A reference to a group that does not exist replaces nothing.
    Start("x y", "(x)", "\\2", SEARCH_REGEX);
    EXPECT_EQ(m_session.ReplaceAll(), 0);
    EXPECT_TRUE(m_session.HadBadReplacement());
    EXPECT_EQ(Lines(m_buffer), "x y");
}

TEST_F(ReplaceSession, ManyReplacementsAreOneBatchAndOneUndo)
{
    Start(Repeat("key=value\r\n", 3000), "value", "v");
    CRecordingView view;
    m_buffer.AttachView(&view);
    view.aPoints.push_back(CPoint(3, 2999));
    CReplaceSession session(m_buffer, &view, m_search);
    session.SetScope(false);
    session.SetTexts("value", "v", SEARCH_MATCH_CASE);
    int nReports = 0;
    EXPECT_EQ(session.ReplaceAll([&](int) { return ++nReports > 0; }), 3000);
    EXPECT_EQ(m_buffer.GetLine(2999), "key=v");
    // Every edit came flagged as part of a batch; the summaries come from the
    // first changed line, without a hint.
    auto summaries = [&] {
        return std::count_if(view.aLog.begin(), view.aLog.end(), [](const CNotification &n) {
            return !(n.dwFlags & NOTIFY_BATCH);
        });
    };
    for (const CNotification &n : view.aLog) {
        EXPECT_TRUE((n.dwFlags & NOTIFY_BATCH) || (!n.bHint && (n.dwFlags & NOTIFY_HEIGHT)));
    }
    EXPECT_EQ(summaries(), 1 + nReports);
    EXPECT_EQ(view.aPoints[0], CPoint(3, 2999));  // the view's positions moved with every edit

    // 6000 records, beyond the undo limit, still undo in one step, and the
    // undo itself is one batch.
    view.aLog.clear();
    ASSERT_TRUE(m_buffer.Undo(m_pt));
    EXPECT_EQ(m_buffer.GetLine(2999), "key=value");
    EXPECT_FALSE(m_buffer.CanUndo());
    ASSERT_FALSE(view.aLog.empty());
    EXPECT_FALSE(view.aLog.back().dwFlags & NOTIFY_BATCH);
    EXPECT_EQ(summaries(), 1);
    m_buffer.DetachView(&view);
}

TEST_F(ReplaceSession, StoppingOrAFailureKeepsWhatWasReplacedAsOneStep)
{
    Start(Repeat("aaaa\r\n", 200), "a", "b");
    m_session.SetProgressInterval(std::chrono::milliseconds(0));
    int nReports = 0;
    const int nCount = m_session.ReplaceAll([&](int) { return ++nReports < 3; });
    EXPECT_TRUE(m_session.WasStopped());
    EXPECT_EQ(nReports, 3);
    EXPECT_TRUE(nCount > 0 && nCount < 800) << nCount;
    EXPECT_EQ(m_buffer.GetLine(0), "bbbb");
    m_buffer.Undo(m_pt);
    EXPECT_EQ(m_buffer.GetLine(0), "aaaa");
    EXPECT_FALSE(m_buffer.CanUndo());

    // The progress report (the dialog, in the editor) fails half way: no group stays open.
    Start(Repeat("aaaa\r\n", 200), "a", "b");
    EXPECT_THROW(m_session.ReplaceAll([](int) -> bool { throw std::runtime_error("no memory for the dialog"); }),
                 std::runtime_error);
    EXPECT_EQ(m_buffer.GetLine(0), "bbbb");
    // An edit after it is a step of its own, and the replacements another.
    int nLine = 0;
    int nChar = 0;
    m_buffer.InsertText(nullptr, 0, 0, "new ", nLine, nChar, ACTION_TYPING);
    m_buffer.Undo(m_pt);
    EXPECT_EQ(m_buffer.GetLine(0), "bbbb");
    m_buffer.Undo(m_pt);
    EXPECT_EQ(m_buffer.GetLine(0), "aaaa");
    EXPECT_FALSE(m_buffer.CanUndo());
}
