// The line array, the primitive changes and what views are told about them.
#include "text/bufferutil.h"

#include <gtest/gtest.h>

namespace {

// A new buffer, and a recording view attached once Start has put the first text in.
class TextBuffer : public ::testing::Test
{
protected:
    TextBuffer() { buffer.InitNew(); }
    ~TextBuffer() override { buffer.DetachView(&view); }
    void Start(const std::string &strText)
    {
        Insert(buffer, 0, 0, strText);
        buffer.AttachView(&view);
    }

    CCrystalTextBuffer buffer;
    CRecordingView view;
};

} // namespace

TEST_F(TextBuffer, InsertionBreaksAtCrAndCrLfButNotAtLoneLf)
{
    Start("xyz");

    const CPoint end = Insert(buffer, 0, 2, "a\r\nb\rc\nd");
    EXPECT_EQ(Lines(buffer), "xya|b|c\nd" "z");
    EXPECT_EQ(end, CPoint(3, 2));
    ASSERT_EQ(view.aLog.size(), 1u);
    EXPECT_EQ(view.aLog[0].dwFlags, NOTIFY_WIDTH | NOTIFY_HEIGHT);
    EXPECT_EQ(view.aLog[0].nLine, 0);
    EXPECT_EQ(view.aLog[0].ptStart, CPoint(2, 0));
    EXPECT_EQ(view.aLog[0].ptEnd, CPoint(3, 2));

    // Within one line only that line is reported.
    Insert(buffer, 1, 1, "QQ");
    EXPECT_EQ(view.aLog.back().dwFlags, NOTIFY_ONE_LINE | NOTIFY_WIDTH);
    EXPECT_EQ(view.aLog.back().nLine, 1);

    // Text ending in a break leaves the tail on a line of its own.
    Insert(buffer, 0, 0, "\r\n");
    EXPECT_EQ(Lines(buffer), "|xya|bQQ|c\nd" "z");
}

TEST_F(TextBuffer, KeepsEveryByteIncludingNul)
{
    const std::string bytes("a\0b\x82\xFF\x80", 6);
    Insert(buffer, 0, 0, bytes);
    EXPECT_EQ(buffer.GetLine(0), bytes);
    // A plain C string still ends at its NUL.
    Insert(buffer, 0, 0, static_cast<const char *>("cd\0ef"));
    EXPECT_EQ(buffer.GetLine(0), "cd" + bytes);
}

TEST_F(TextBuffer, DeletionJoinsLines)
{
    Start("abcd\r\nefgh\r\nijkl");

    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 2, 2, 1));
    EXPECT_EQ(Lines(buffer), "abjkl");
    ASSERT_EQ(view.aLog.size(), 1u);
    EXPECT_EQ(view.aLog[0].dwFlags, NOTIFY_WIDTH | NOTIFY_HEIGHT);
    EXPECT_EQ(view.aLog[0].nLine, 0);

    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 1, 0, 3));
    EXPECT_EQ(Lines(buffer), "akl");
    EXPECT_EQ(view.aLog.back().dwFlags, NOTIFY_ONE_LINE | NOTIFY_WIDTH);

    // Deleting everything leaves one empty line.
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, 0, 3));
    EXPECT_EQ(buffer.GetLineCount(), 1);
    EXPECT_EQ(buffer.GetLineLength(0), 0);
}

TEST_F(TextBuffer, HintsMoveStoredPositions)
{
    Start("0123456789\r\nabcdefghij\r\nKLMNOPQRST");

    // before, exactly at, after the insertion point on its line; a later line.
    view.aPoints = {CPoint(2, 1), CPoint(4, 1), CPoint(6, 1), CPoint(3, 2), CPoint(9, 0)};
    Insert(buffer, 1, 4, "xy\r\nz");
    // (4, 1) stays before the new text; "ef..." now follows "z".
    EXPECT_EQ(view.aPoints, (std::vector<CPoint>{{2, 1}, {4, 1}, {3, 2}, {3, 3}, {9, 0}}));
    EXPECT_EQ(Lines(buffer), "0123456789|abcdxy|zefghij|KLMNOPQRST");

    // Inside a multi-line deletion: to its start. After it on its end line: shifted.
    view.aPoints = {CPoint(8, 0), CPoint(1, 1), CPoint(2, 2), CPoint(5, 2), CPoint(4, 3), CPoint(3, 0)};
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 5, 2, 3));
    EXPECT_EQ(Lines(buffer), "01234ghij|KLMNOPQRST");
    EXPECT_EQ(view.aPoints, (std::vector<CPoint>{{5, 0}, {5, 0}, {5, 0}, {7, 0}, {4, 1}, {3, 0}}));
}

TEST_F(TextBuffer, LineBlocksGrowInStepsOf16)
{
    // A new line of n bytes gets the next multiple of 16 above n; a line grows
    // only when an append would not fit.
    EXPECT_EQ(buffer.GetLineCapacity(0), 16);
    Insert(buffer, 0, 0, std::string(15, 'a'));
    EXPECT_EQ(buffer.GetLineCapacity(0), 16);
    Insert(buffer, 0, 0, "b");
    EXPECT_EQ(buffer.GetLineCapacity(0), 16);  // 16 bytes still fit
    Insert(buffer, 0, 16, "c");
    EXPECT_EQ(buffer.GetLineCapacity(0), 32);
    Insert(buffer, 0, 0, "\r" + std::string(32, 'd'));
    EXPECT_EQ(buffer.GetLineCapacity(0), 32);  // cut to nothing, the block stays
    EXPECT_EQ(buffer.GetLineCapacity(1), 64);  // 32 bytes, then the 17-byte tail
    EXPECT_EQ(buffer.GetLine(1), std::string(32, 'd') + "b" + std::string(15, 'a') + "c");
    for (int i = 0; i < buffer.GetLineCount(); ++i) {
        EXPECT_EQ(buffer.GetLineCapacity(i) % 16, 0);
        EXPECT_GE(buffer.GetLineCapacity(i), buffer.GetLineLength(i));
    }
}

TEST_F(TextBuffer, ReadOnlyBufferRefusesChanges)
{
    Start("abc");
    buffer.SetReadOnly(true);
    int nEndLine = -1;
    int nEndChar = -1;
    EXPECT_FALSE(buffer.InsertText(nullptr, 0, 0, "x", nEndLine, nEndChar, ACTION_TYPING));
    EXPECT_FALSE(buffer.DeleteText(nullptr, 0, 0, 0, 1, ACTION_DELETE));
    EXPECT_EQ(Lines(buffer), "abc");
    EXPECT_TRUE(view.aLog.empty());
    EXPECT_EQ(buffer.GetUndoRecordCount(), 1);
}

TEST_F(TextBuffer, GetTextJoinsWithCrLfOrTheGivenSeparator)
{
    buffer.InitNew(LINEEND_LF);
    std::string text;
    buffer.GetText(0, 0, 0, 0, text);
    EXPECT_EQ(text, "");

    Insert(buffer, 0, 0, "one\r\ntwo\r\nthree");
    buffer.GetText(0, 1, 2, 3, text);
    EXPECT_EQ(text, "ne\r\ntwo\r\nthr");  // CR LF whatever the line-end mode
    buffer.GetText(0, 1, 2, 3, text, "\n");
    EXPECT_EQ(text, "ne\ntwo\nthr");
    buffer.GetText(1, 1, 1, 3, text);
    EXPECT_EQ(text, "wo");
    buffer.GetText(0, 3, 1, 0, text);
    EXPECT_EQ(text, "\r\n");
}

TEST_F(TextBuffer, NumberedBookmarkStandsOnOneLine)
{
    Start(std::string(12, '\r'));

    buffer.SetLineFlag(4, LF_NUMBERED_BOOKMARK(3), true);
    EXPECT_EQ(buffer.FindLineWithFlag(LF_NUMBERED_BOOKMARK_3), 4);
    view.aLog.clear();
    buffer.SetLineFlag(10, LF_NUMBERED_BOOKMARK_3, true);
    EXPECT_EQ(buffer.FindLineWithFlag(LF_NUMBERED_BOOKMARK_3), 10);
    EXPECT_EQ(buffer.GetLineFlags(4), 0u);
    ASSERT_EQ(view.aLog.size(), 2u);
    EXPECT_EQ(view.aLog[0].nLine, 4);
    EXPECT_EQ(view.aLog[1].nLine, 10);
    EXPECT_EQ(view.aLog[1].dwFlags, NOTIFY_ONE_LINE | NOTIFY_FLAGS_ONLY);
    EXPECT_FALSE(view.aLog[1].bHint);

    // Setting a flag that is already set sends nothing.
    view.aLog.clear();
    buffer.SetLineFlag(10, LF_NUMBERED_BOOKMARK_3, true);
    EXPECT_TRUE(view.aLog.empty());

    // Line -1 means the line that carries the flag.
    buffer.SetLineFlag(-1, LF_NUMBERED_BOOKMARK_3, false);
    EXPECT_EQ(buffer.FindLineWithFlag(LF_NUMBERED_BOOKMARK_3), -1);
    buffer.SetLineFlag(-1, LF_NUMBERED_BOOKMARK_3, false);

    // A value that is not one bit does nothing.
    view.aLog.clear();
    buffer.SetLineFlag(2, LF_BOOKMARK | LF_NUMBERED_BOOKMARK_1, true, false);
    buffer.SetLineFlag(2, 0, true, false);
    EXPECT_TRUE(view.aLog.empty());
    EXPECT_EQ(buffer.GetLineFlags(2), 0u);
    EXPECT_EQ(buffer.FindLineWithFlag(LF_BOOKMARK | LF_NUMBERED_BOOKMARK_1), -1);
}

TEST_F(TextBuffer, PlainBookmarksWrapAround)
{
    Insert(buffer, 0, 0, std::string(9, '\r'));
    EXPECT_EQ(buffer.FindNextBookmark(0), -1);
    EXPECT_EQ(buffer.FindPrevBookmark(0), -1);

    buffer.SetLineFlag(5, LF_BOOKMARK, true, false);
    EXPECT_EQ(buffer.FindNextBookmark(5), 5);  // the only one, found after wrapping
    EXPECT_EQ(buffer.FindPrevBookmark(5), 5);
    EXPECT_EQ(buffer.FindNextBookmark(2), 5);
    EXPECT_EQ(buffer.FindNextBookmark(7), 5);
    EXPECT_EQ(buffer.FindPrevBookmark(2), 5);

    buffer.SetLineFlag(2, LF_BOOKMARK, true, false);
    buffer.SetLineFlag(8, LF_BOOKMARK, true, false);
    EXPECT_EQ(buffer.FindNextBookmark(2), 5);
    EXPECT_EQ(buffer.FindNextBookmark(8), 2);
    EXPECT_EQ(buffer.FindPrevBookmark(5), 2);
    EXPECT_EQ(buffer.FindPrevBookmark(2), 8);
    EXPECT_EQ(buffer.FindPrevBookmark(3), 2);
}

TEST_F(TextBuffer, TrailBytesAskedByLine)
{
    Insert(buffer, 0, 0, "x\r\n\x95\x5C\\\x82");
    EXPECT_TRUE(buffer.IsLeadByteAt(1, 0));
    EXPECT_TRUE(buffer.IsTrailByteAt(1, 1));
    EXPECT_FALSE(buffer.IsTrailByteAt(1, 2));
    EXPECT_FALSE(buffer.IsLeadByteAt(1, 3));  // a lead byte with nothing after it
}

TEST_F(TextBuffer, ManyLinesInsertedAndRemovedInTheMiddle)
{
    // Exercises the line array's growth and moves with a large paste.
    std::string text;
    for (int i = 0; i < 50000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Insert(buffer, 0, 0, "head\r\ntail");
    const CPoint end = Insert(buffer, 1, 0, text);
    EXPECT_EQ(buffer.GetLineCount(), 50002);
    EXPECT_EQ(end, CPoint(0, 50001));
    EXPECT_EQ(buffer.GetLine(0), "head");
    EXPECT_EQ(buffer.GetLine(25001), "line 25000");
    EXPECT_EQ(buffer.GetLine(50001), "tail");
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 2, 50001, 2));
    EXPECT_EQ(Lines(buffer), "heil");
}
