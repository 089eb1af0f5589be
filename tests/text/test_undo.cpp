// Undo and redo: groups, merging, the record limit (groups larger than it too) and the saved position.
#include "support/testutil.h"
#include "text/bufferutil.h"

#include <gtest/gtest.h>

namespace {

// A new buffer, a recording view (attached on request) and a temporary folder to save in.
class Undo : public ::testing::Test
{
protected:
    Undo() { buffer.InitNew(); }
    ~Undo() override { buffer.DetachView(&view); }
    void Attach() { buffer.AttachView(&view); }
    bool Save() { return buffer.SaveToFile(dir.File("saved.txt")); }
    // Types a string one byte at a time, merging into one group as the editor does.
    void Type(int nLine, int nPos, std::string_view text)
    {
        for (char c : text) {
            buffer.BeginUndoGroup(true);
            Insert(buffer, nLine, nPos++, std::string_view(&c, 1), ACTION_TYPING, &view);
            buffer.EndUndoGroup(&view);
        }
    }
    std::string UndoName() const
    {
        std::string s;
        buffer.GetUndoDescription(s);
        return s;
    }

    CCrystalTextBuffer buffer;
    CRecordingView view;
    CTempDir dir;
    CPoint pt;
};

using UndoGroup = Undo;

} // namespace

TEST_F(Undo, TypedWordIsOneGroup)
{
    Attach();
    Type(0, 0, "word");
    EXPECT_EQ(buffer.GetUndoRecordCount(), 4);
    EXPECT_EQ(UndoName(), "ﾀｲﾋﾟﾝｸﾞ");
    // Each closed group was reported to the view that typed it.
    ASSERT_EQ(view.aGroupsEnded.size(), 4u);
    EXPECT_EQ(view.aGroupsEnded.back(), std::make_pair(int(ACTION_TYPING), std::string("d")));

    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "");
    EXPECT_EQ(pt, CPoint(0, 0));
    EXPECT_FALSE(buffer.CanUndo());
    std::string strRedo;
    buffer.GetRedoDescription(strRedo);
    EXPECT_EQ(strRedo, "ﾀｲﾋﾟﾝｸﾞ");
    ASSERT_TRUE(buffer.Redo(pt));
    EXPECT_EQ(Lines(buffer), "word");
    EXPECT_EQ(pt, CPoint(4, 0));
    EXPECT_FALSE(buffer.CanRedo());
}

TEST_F(Undo, IndentActionChangesTextWithoutARecord)
{
    Insert(buffer, 0, 0, "x", ACTION_INDENT);
    buffer.DeleteText(nullptr, 0, 0, 0, 1, ACTION_INDENT);
    Insert(buffer, 0, 0, "\ty", ACTION_INDENT);
    EXPECT_EQ(Lines(buffer), "\ty");
    EXPECT_EQ(buffer.GetUndoRecordCount(), 0);
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_TRUE(buffer.IsModified());
}

TEST_F(Undo, ActionNames)
{
    std::string name;
    const std::pair<int, const char *> names[] = {
        {ACTION_UNKNOWN, "Unknown"}, {ACTION_CUT, "切り取り"}, {ACTION_BACKSPACE, "ﾊﾞｯｸｽﾍﾟｰｽ"},
        {ACTION_DRAGDROP, "ﾄﾞﾗｯｸﾞｱﾝﾄﾞﾄﾞﾛｯﾌﾟ"}, {ACTION_DELETE, "削除"},
        {ACTION_AUTOINDENT, "ｵｰﾄｲﾝﾃﾞﾝﾄ"}, {ACTION_CONVERT, "ｺﾝﾊﾞｰﾄ Char-Set"},
        {ACTION_TAGINSERT, "タグ挿入"}, {ACTION_INSERT, "挿入"}, {ACTION_INDENT2, "ｲﾝﾃﾞﾝﾄ"}};
    for (const auto &[nAction, pszName] : names) {
        EXPECT_TRUE(buffer.GetActionName(nAction, name));
        EXPECT_EQ(name, pszName);
    }
    EXPECT_FALSE(buffer.GetActionName(15, name));
    EXPECT_EQ(name, "");
    EXPECT_FALSE(buffer.GetActionName(-1, name));
    // A record with an unnamed code gives an empty description.
    Insert(buffer, 0, 0, "z", 15);
    EXPECT_TRUE(buffer.CanUndo());
    EXPECT_EQ(UndoName(), "");
}

TEST_F(Undo, ModifiedFollowsTheSavePoint)
{
    Insert(buffer, 0, 0, "saved");
    EXPECT_TRUE(buffer.IsModified());
    ASSERT_TRUE(Save());
    EXPECT_FALSE(buffer.IsModified());
    Insert(buffer, 0, 5, "!");
    EXPECT_TRUE(buffer.IsModified());
    buffer.Undo(pt);
    EXPECT_FALSE(buffer.IsModified());
    buffer.Redo(pt);
    EXPECT_TRUE(buffer.IsModified());
    buffer.Undo(pt);
    buffer.Undo(pt);
    EXPECT_TRUE(buffer.IsModified());  // before the save point
    buffer.Redo(pt);
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(Undo, ANewChangeEndsRedoAndTheSavedStateInIt)
{
    // Save "ab", undo to "a", type "c": the redo is gone, and the saved text
    // can no longer be reached, so no undo or redo may call "ac" or "a"
    // unmodified.
    Insert(buffer, 0, 0, "a");
    Insert(buffer, 0, 1, "b");
    ASSERT_TRUE(Save());
    buffer.Undo(pt);
    EXPECT_TRUE(buffer.CanRedo());
    Insert(buffer, 0, 1, "c");
    EXPECT_FALSE(buffer.CanRedo());
    EXPECT_EQ(buffer.GetUndoRecordCount(), 2);
    buffer.Undo(pt);
    EXPECT_TRUE(buffer.IsModified());
    buffer.Redo(pt);
    EXPECT_EQ(Lines(buffer), "ac");
    EXPECT_TRUE(buffer.IsModified());
    buffer.Undo(pt);
    buffer.Undo(pt);
    EXPECT_EQ(Lines(buffer), "");
}

TEST_F(Undo, LimitDropsTheOldestGroupWhole)
{
    // A first group of three records, then single-record groups up to the limit.
    buffer.BeginUndoGroup();
    Insert(buffer, 0, 0, "A");
    Insert(buffer, 0, 1, "B");
    Insert(buffer, 0, 2, "C");
    buffer.EndUndoGroup(nullptr);
    const int nLimit = CCrystalTextBuffer::UNDO_LIMIT;
    for (int i = 3; i < nLimit; ++i)
        Insert(buffer, 0, i, "x");
    EXPECT_EQ(buffer.GetUndoRecordCount(), nLimit);

    // A typed character would merge with the previous group, but a full list
    // always starts a new one, after dropping the whole first group.
    buffer.BeginUndoGroup(true);
    Insert(buffer, 0, nLimit, "y");
    buffer.EndUndoGroup(nullptr);
    EXPECT_EQ(buffer.GetUndoRecordCount(), nLimit - 2);
    buffer.BeginUndoGroup(true);
    Insert(buffer, 0, nLimit + 1, "z");
    buffer.EndUndoGroup(nullptr);
    EXPECT_EQ(buffer.GetUndoRecordCount(), nLimit - 1);  // merged: the list was not full

    buffer.Undo(pt);
    EXPECT_EQ(buffer.GetLineLength(0), nLimit);  // "yz" went together
    int nUndos = 0;
    for (; buffer.CanUndo(); ++nUndos)
        buffer.Undo(pt);
    EXPECT_EQ(nUndos, nLimit - 3);
    EXPECT_EQ(Lines(buffer), "ABC");  // the dropped group cannot be undone
    EXPECT_TRUE(buffer.IsModified());
}

TEST_F(Undo, AGroupBeyondTheLimitUndoesWholeAndLaterMakesRoomAtOnce)
{
    Insert(buffer, 0, 0, "a");
    const int nLimit = CCrystalTextBuffer::UNDO_LIMIT;
    buffer.BeginUndoGroup();
    for (int i = 0; i < nLimit + 100; ++i)
        Insert(buffer, 0, 0, "x");
    buffer.EndUndoGroup(nullptr);
    EXPECT_EQ(buffer.GetUndoRecordCount(), nLimit + 101);

    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "a");
    ASSERT_TRUE(buffer.Redo(pt));
    EXPECT_EQ(buffer.GetLineLength(0), nLimit + 101);

    // The next group pushes out the old ones whole, the big one included.
    Insert(buffer, 0, 0, "y");
    EXPECT_EQ(buffer.GetUndoRecordCount(), 1);
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_EQ(buffer.GetLineLength(0), nLimit + 101);
}

TEST_F(Undo, SavePointDroppedAtTheLimitIsNeverReportedUnmodified)
{
    Insert(buffer, 0, 0, "s");
    ASSERT_TRUE(Save());  // saved after record 1
    for (int i = 1; i < CCrystalTextBuffer::UNDO_LIMIT + 5; ++i)
        Insert(buffer, 0, i, "x");
    while (buffer.CanUndo()) {
        buffer.Undo(pt);
        EXPECT_TRUE(buffer.IsModified()) << buffer.GetLineLength(0);
    }
}

TEST_F(Undo, LinesEndingInCrSurviveUndo)
{
    // An LF file with CR LF in places loads as lines ending in a CR byte. The
    // deleted text holds those CRs next to the CR LF written between lines;
    // undo must bring back the same lines, not split them at every CR.
    WriteFileBytes(dir.File("cr.txt"), "x\ny\r\nz\r\n");
    ASSERT_TRUE(buffer.LoadFromFile(dir.File("cr.txt")));
    ASSERT_EQ(buffer.GetLineEndMode(), LINEEND_LF);
    EXPECT_EQ(Lines(buffer), "x|y\r|z\r|");
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 1, 3, 0, ACTION_DELSEL));
    EXPECT_EQ(Lines(buffer), "x");
    buffer.Undo(pt);
    EXPECT_EQ(Lines(buffer), "x|y\r|z\r|");
    EXPECT_EQ(pt, CPoint(0, 3));
    EXPECT_FALSE(buffer.IsModified());
    buffer.Redo(pt);
    EXPECT_EQ(Lines(buffer), "x");
}

TEST_F(Undo, ReadOnlyBufferDoesNotUndoAndClearUndoForgetsHistory)
{
    Insert(buffer, 0, 0, "abc");
    buffer.SetReadOnly(true);
    EXPECT_FALSE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "abc");
    EXPECT_TRUE(buffer.CanUndo());

    buffer.SetReadOnly(false);
    buffer.ClearUndo();
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.CanRedo());
    Insert(buffer, 0, 3, "d");
    buffer.Undo(pt);
    EXPECT_EQ(Lines(buffer), "abc");
    EXPECT_TRUE(buffer.IsModified());  // still differs from the (never saved) start
}

TEST_F(UndoGroup, AGroupThatRecordedNothingTellsTheViewNothing)
{
    Attach();
    Insert(buffer, 0, 0, "\r\n", ACTION_TYPING, &view);
    ASSERT_EQ(view.aGroupsEnded.size(), 1u);
    // A command that ends up changing nothing (a paste of an empty clipboard)
    // must not replay the Enter before it: the view would indent again.
    buffer.BeginUndoGroup();
    buffer.EndUndoGroup(&view);
    EXPECT_EQ(view.aGroupsEnded.size(), 1u);
    // And it leaves the next edit a group of its own.
    Insert(buffer, 1, 0, "x", ACTION_TYPING, &view);
    buffer.Undo(pt);
    EXPECT_EQ(Lines(buffer), "|");
}

TEST_F(UndoGroup, AGroupInsideAnOpenGroupJoinsIt)
{
    Attach();
    {
        CUndoGroup outer(buffer, &view);
        Insert(buffer, 0, 0, "a", ACTION_TAGINSERT, &view);
        {
            // A command that other commands reuse opens its own group.
            CUndoGroup inner(buffer, &view);
            Insert(buffer, 0, 1, "b", ACTION_REPLACE, &view);
        }
        EXPECT_TRUE(buffer.IsInUndoGroup());
        EXPECT_TRUE(view.aGroupsEnded.empty());
        Insert(buffer, 0, 2, "c", ACTION_TAGINSERT, &view);
    }
    ASSERT_EQ(view.aGroupsEnded.size(), 1u);
    EXPECT_EQ(view.aGroupsEnded[0].second, "c");
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "");
    EXPECT_FALSE(buffer.CanUndo());
}
