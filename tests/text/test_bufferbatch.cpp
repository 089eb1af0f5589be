// Batches of edits and undo groups larger than the undo limit.
#include "text/bufferutil.h"
#include "text/textbuffer.h"

#include <gtest/gtest.h>

TEST(BufferBatch, AGroupBeyondTheLimitUndoesWholeAndLaterMakesRoomAtOnce)
{
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "a");
    const int nLimit = CCrystalTextBuffer::UNDO_LIMIT;
    buffer.BeginUndoGroup();
    for (int i = 0; i < nLimit + 100; ++i)
        Insert(buffer, 0, 0, "x");
    buffer.EndUndoGroup(nullptr);
    EXPECT_EQ(buffer.GetUndoRecordCount(), nLimit + 101);

    CPoint pt;
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
