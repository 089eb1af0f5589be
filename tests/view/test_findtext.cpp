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

void SetText(CCrystalTextBuffer &buffer, std::string_view text)
{
    buffer.InitNew();
    int l = 0;
    int c = 0;
    buffer.InsertText(nullptr, 0, 0, text, l, c, ACTION_INDENT);
}

} // namespace

TEST(PlainSearch, MatchesNeverStartOrEndInsideACharacter)
{
    // "ab" whose 'a' is the trail byte of Ｂ is not an occurrence.
    EXPECT_EQ(FindPlainText(FW_B + "b", "ab", 0, 3, false), -1);
    EXPECT_EQ(FindPlainText(FW_B + "b ab", "ab", 0, 6, false), 4);
    // A search text ending in a lead byte would cut the character after it.
    EXPECT_EQ(FindPlainText("x" + HIRAGANA_A, "x\x82", 0, 3, false), -1);
    // The last occurrence before a limit.
    EXPECT_EQ(FindPlainText("ab ab ab", "ab", 0, 7, false, true), 3);
    EXPECT_EQ(FindPlainText("aaaa", "aa", 1, 4, false), 1);
}

TEST(PlainSearch, WholeWordsTouchNoAsciiLetterOrDigit)
{
    EXPECT_EQ(FindPlainText("xab abx ab", "ab", 0, 10, true), 8);
    EXPECT_EQ(FindPlainText("ab" + HIRAGANA_A, "ab", 0, 4, true), 0);
    // The byte before is the trail byte 'a' of Ｂ: not a letter.
    EXPECT_EQ(FindPlainText(FW_B + "ab", "ab", 0, 4, true), 2);
    EXPECT_EQ(FindPlainText("1ab", "ab", 0, 3, true), -1);
    // Neighbours outside the searched window still count.
    EXPECT_EQ(FindPlainText("abc", "ab", 0, 2, true), -1);
    EXPECT_EQ(FindPlainText("cab", "ab", 1, 3, true), -1);
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
    EXPECT_EQ(search.SearchInLine("xx ABC", "abc", SEARCH_MATCH_CASE, nLength), -1);
    // Full-width letters are found only in the same case.
    EXPECT_EQ(search.SearchInLine(FW_CAPITAL_A + FW_SMALL_A, FW_SMALL_A, 0, nLength), 2);
    EXPECT_EQ(search.SearchInLine(FW_CAPITAL_A, FW_SMALL_A, 0, nLength), -1);
    // Ｂ's trail byte 'a' is not folded to 'A' (which would read as another character).
    EXPECT_EQ(search.SearchInLine(FW_B, "\x82\x41", 0, nLength), -1);
    // An expression folds through the matcher.
    EXPECT_EQ(search.SearchInLine("xx ABC", "a.c", SEARCH_REGEX, nLength), 3);
    EXPECT_EQ(search.SearchInLine("xx ABC", "a.c", SEARCH_REGEX | SEARCH_MATCH_CASE, nLength), -1);
    // An expression that does not compile finds nothing.
    EXPECT_EQ(search.SearchInLine("a[b", "a[b", SEARCH_REGEX, nLength), -1);
    EXPECT_TRUE(search.IsBadExpression());
}

TEST(TextSearch, UpwardSearchVisitsEachMatchOfALine)
{
    const CMemoryLineSource lines = LinesOf({"ab", "ab ab ab xx"});
    CTextSearch search;
    CPoint pt;
    ASSERT_TRUE(search.SearchInText(lines, "ab", CPoint(11, 1), SEARCH_UP, false, pt));
    EXPECT_EQ(pt, CPoint(6, 1));
    ASSERT_TRUE(search.SearchInText(lines, "ab", pt, SEARCH_UP, false, pt));
    EXPECT_EQ(pt, CPoint(3, 1));
    ASSERT_TRUE(search.SearchInText(lines, "ab", pt, SEARCH_UP, false, pt));
    EXPECT_EQ(pt, CPoint(0, 1));
    ASSERT_TRUE(search.SearchInText(lines, "ab", pt, SEARCH_UP, false, pt));
    EXPECT_EQ(pt, CPoint(0, 0));
    EXPECT_FALSE(search.SearchInText(lines, "ab", pt, SEARCH_UP, false, pt));
    // Wrapping goes on from the end of the text.
    ASSERT_TRUE(search.SearchInText(lines, "ab", CPoint(0, 0), SEARCH_UP, true, pt));
    EXPECT_EQ(pt, CPoint(6, 1));
    // A match that reaches past the start is not before it.
    ASSERT_TRUE(search.SearchInText(lines, "ab", CPoint(7, 1), SEARCH_UP, false, pt));
    EXPECT_EQ(pt, CPoint(3, 1));
    // Upwards, a whole word still sees the byte after the start position.
    const CMemoryLineSource words = LinesOf({"ab abc"});
    ASSERT_TRUE(search.SearchInText(words, "ab", CPoint(5, 0), SEARCH_UP | SEARCH_WHOLE_WORD, false, pt));
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
    EXPECT_EQ(pt, CPoint(0, 2));
    EXPECT_EQ(search.GetMatchEnd(), CPoint(3, 2));
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
    EXPECT_EQ(pt, CPoint(8, 0));
    EXPECT_EQ(search.GetMatchEnd(), CPoint(3, 1));
    EXPECT_EQ(search.GetMatchLength(), 5);  // the line break counts one
    ASSERT_TRUE(search.SearchInText(lines, "o\\nb..", CPoint(9, 0), SEARCH_REGEX, false, pt));
    EXPECT_EQ(pt, CPoint(2, 2));
    EXPECT_EQ(search.GetMatchEnd(), CPoint(3, 3));
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

TEST(ReplaceSession, ReplaceAllInABlockFollowsItsMovingEnd)
{
    CCrystalTextBuffer buffer;
    SetText(buffer, "a a a\r\na a a\r\na a a");
    CTextSearch search;
    CReplaceSession session(buffer, nullptr, search);
    // The block ends after the second 'a' of line 1; each replacement there
    // lengthens the line, and the block's end moves with it.
    session.SetScope(true, CPoint(2, 0), CPoint(3, 1));
    session.SetTexts("a", "bbb", SEARCH_MATCH_CASE);
    EXPECT_EQ(session.ReplaceAll(), 4);
    EXPECT_EQ(Lines(buffer), "a bbb bbb|bbb bbb a|a a a");
    EXPECT_EQ(session.GetBlockBegin(), CPoint(2, 0));
    EXPECT_EQ(session.GetBlockEnd(), CPoint(7, 1));
    // All of it is one step of undo.
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "a a a|a a a|a a a");
    EXPECT_FALSE(buffer.CanUndo());
}

TEST(ReplaceSession, ReplaceStepsThroughTheMatches)
{
    CCrystalTextBuffer buffer;
    SetText(buffer, "cat cat\r\ncat");
    CTextSearch search;
    CReplaceSession session(buffer, nullptr, search);
    session.SetScope(false);
    session.SetTexts("cat", "dog", SEARCH_MATCH_CASE);
    // The first press only finds.
    ASSERT_TRUE(session.Replace());
    EXPECT_EQ(session.GetMatchStart(), CPoint(0, 0));
    EXPECT_EQ(Lines(buffer), "cat cat|cat");
    ASSERT_TRUE(session.Replace());
    EXPECT_EQ(session.GetMatchStart(), CPoint(4, 0));
    ASSERT_TRUE(session.FindNext());  // skips to the next one
    EXPECT_EQ(session.GetMatchStart(), CPoint(0, 1));
    EXPECT_FALSE(session.Replace());
    EXPECT_EQ(Lines(buffer), "dog cat|dog");
    EXPECT_EQ(session.GetReplaceLength(), 3);
    // Each replacement is its own step of undo.
    CPoint pt;
    buffer.Undo(pt);
    EXPECT_EQ(Lines(buffer), "dog cat|cat");
}

TEST(ReplaceSession, ReplaceAllCoversTheScopeFromItsStart)
{
    // Whatever find next reached, replace all starts at the scope's start:
    // the top of the text, or the block's start.
    CCrystalTextBuffer buffer;
    SetText(buffer, "cat\r\ncat cat\r\ncat");
    CTextSearch search;
    CReplaceSession session(buffer, nullptr, search);
    session.SetScope(false);
    session.SetStart(CPoint(4, 1));
    session.SetTexts("cat", "dog", SEARCH_MATCH_CASE);
    ASSERT_TRUE(session.FindNext());
    EXPECT_EQ(session.GetMatchStart(), CPoint(4, 1));
    EXPECT_EQ(session.ReplaceAll(), 4);
    EXPECT_EQ(Lines(buffer), "dog|dog dog|dog");

    SetText(buffer, "cat\r\ncat cat\r\ncat");
    session.SetScope(true, CPoint(0, 1), CPoint(7, 1));
    session.SetStart(CPoint(4, 1));
    ASSERT_TRUE(session.FindNext());
    EXPECT_EQ(session.ReplaceAll(), 2);
    EXPECT_EQ(Lines(buffer), "cat|dog dog|cat");
}

TEST(ReplaceSession, EmptyMatchesAndAnchorsEnd)
{
    CCrystalTextBuffer buffer;
    SetText(buffer, "ab\r\ncd");
    CTextSearch search;
    CReplaceSession session(buffer, nullptr, search);
    session.SetScope(false);
    session.SetTexts("x*", "-", SEARCH_REGEX | SEARCH_MATCH_CASE);
    EXPECT_EQ(session.ReplaceAll(), 6);
    EXPECT_EQ(Lines(buffer), "-a-b-|-c-d-");

    SetText(buffer, "ab\r\ncd");
    session.SetScope(false);
    session.SetTexts("^", "> ", SEARCH_REGEX | SEARCH_MATCH_CASE);
    EXPECT_EQ(session.ReplaceAll(), 2);
    EXPECT_EQ(Lines(buffer), "> ab|> cd");

    SetText(buffer, "ab\r\ncd");
    session.SetScope(false);
    session.SetTexts("x*", "", SEARCH_REGEX | SEARCH_MATCH_CASE);
    session.ReplaceAll();
    EXPECT_EQ(Lines(buffer), "ab|cd");
}

TEST(ReplaceSession, ExpressionReplacementsUseGroupsAndBreakLines)
{
    CCrystalTextBuffer buffer;
    SetText(buffer, "hello world\r\nfoo bar");
    CTextSearch search;
    CReplaceSession session(buffer, nullptr, search);
    session.SetScope(false);
    session.SetTexts("(\\w+) (\\w+)", "\\u\\2 \\1", SEARCH_REGEX | SEARCH_MATCH_CASE);
    EXPECT_EQ(session.ReplaceAll(), 2);
    EXPECT_EQ(Lines(buffer), "World hello|Bar foo");

    // A line break in the match and in the replacement.
    SetText(buffer, "a;b\r\nc");
    session.SetScope(false);
    session.SetTexts(";(.)\\nc", "\\n\\1", SEARCH_REGEX | SEARCH_MATCH_CASE);
    EXPECT_EQ(session.ReplaceAll(), 1);
    EXPECT_EQ(Lines(buffer), "a|b");

    // A reference to a group that does not exist replaces nothing.
    SetText(buffer, "x y");
    session.SetScope(false);
    session.SetTexts("(x)", "\\2", SEARCH_REGEX | SEARCH_MATCH_CASE);
    EXPECT_EQ(session.ReplaceAll(), 0);
    EXPECT_TRUE(session.HadBadReplacement());
    EXPECT_EQ(Lines(buffer), "x y");
}

TEST(ReplaceSession, ManyReplacementsAreOneBatchAndOneUndo)
{
    CCrystalTextBuffer buffer;
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "key=value\r\n";
    SetText(buffer, text);
    buffer.ClearUndo();
    CRecordingView view;
    buffer.AttachView(&view);
    view.aPoints.push_back(CPoint(3, 2999));
    CTextSearch search;
    CReplaceSession session(buffer, &view, search);
    session.SetScope(false);
    session.SetTexts("value", "v", SEARCH_MATCH_CASE);
    int nReports = 0;
    EXPECT_EQ(session.ReplaceAll([&](int) { return ++nReports > 0; }), 3000);
    EXPECT_EQ(buffer.GetLine(2999), "key=v");
    // Every edit came flagged as part of a batch; the summaries come from the
    // first changed line, without a hint.
    int nSummaries = 0;
    for (const CNotification &n : view.aLog) {
        if (n.dwFlags & NOTIFY_BATCH)
            continue;
        ++nSummaries;
        EXPECT_FALSE(n.bHint);
        EXPECT_TRUE(n.dwFlags & NOTIFY_HEIGHT);
    }
    EXPECT_EQ(nSummaries, 1 + nReports);
    EXPECT_EQ(view.aPoints[0], CPoint(3, 2999));  // the view's positions moved with every edit

    // 6000 records, beyond the undo limit, still undo in one step, and the
    // undo itself is one batch.
    view.aLog.clear();
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(buffer.GetLine(2999), "key=value");
    EXPECT_FALSE(buffer.CanUndo());
    ASSERT_FALSE(view.aLog.empty());
    EXPECT_FALSE(view.aLog.back().dwFlags & NOTIFY_BATCH);
    EXPECT_EQ(std::count_if(view.aLog.begin(), view.aLog.end(), [](const CNotification &n) {
                  return !(n.dwFlags & NOTIFY_BATCH);
              }),
              1);
    ASSERT_TRUE(buffer.Redo(pt));
    EXPECT_EQ(buffer.GetLine(0), "key=v");
    buffer.DetachView(&view);
}

TEST(ReplaceSession, StoppingKeepsWhatWasReplacedAsOneStep)
{
    CCrystalTextBuffer buffer;
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "aaaa\r\n";
    SetText(buffer, text);
    buffer.ClearUndo();
    CTextSearch search;
    CReplaceSession session(buffer, nullptr, search);
    session.SetScope(false);
    session.SetTexts("a", "b", SEARCH_MATCH_CASE);
    session.SetProgressInterval(std::chrono::milliseconds(0));
    int nReports = 0;
    const int nCount = session.ReplaceAll([&](int) { return ++nReports < 3; });
    EXPECT_TRUE(session.WasStopped());
    EXPECT_EQ(nReports, 3);
    EXPECT_GT(nCount, 0);
    EXPECT_LT(nCount, 800);
    EXPECT_EQ(buffer.GetLine(0), "bbbb");
    CPoint pt;
    buffer.Undo(pt);
    EXPECT_EQ(buffer.GetLine(0), "aaaa");
    EXPECT_FALSE(buffer.CanUndo());
}

TEST(ReplaceSession, AFailureDuringReplaceAllLeavesNoGroupOpen)
{
    CCrystalTextBuffer buffer;
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "aaaa\r\n";
    SetText(buffer, text);
    buffer.ClearUndo();
    CTextSearch search;
    CReplaceSession session(buffer, nullptr, search);
    session.SetScope(false);
    session.SetTexts("a", "b", SEARCH_MATCH_CASE);
    session.SetProgressInterval(std::chrono::milliseconds(0));
    // The progress report (the dialog, in the editor) fails half way.
    EXPECT_THROW(session.ReplaceAll([](int) -> bool { throw std::runtime_error("no memory for the dialog"); }),
                 std::runtime_error);
    EXPECT_EQ(buffer.GetLine(0), "bbbb");

    // An edit after it is a step of its own, and the replacements another.
    int nLine = 0;
    int nChar = 0;
    buffer.InsertText(nullptr, 0, 0, "new ", nLine, nChar, ACTION_TYPING);
    CPoint pt;
    buffer.Undo(pt);
    EXPECT_EQ(buffer.GetLine(0), "bbbb");
    buffer.Undo(pt);
    EXPECT_EQ(buffer.GetLine(0), "aaaa");
    EXPECT_FALSE(buffer.CanUndo());
}
