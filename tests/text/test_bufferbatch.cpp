// Batches of edits and undo groups larger than the undo limit.
#include "text/bufferutil.h"
#include "text/textbuffer.h"

#include <gtest/gtest.h>

TEST(BufferBatch, ViewsHearEachEditThenOneSummaryFromTheFirstChangedLine)
{
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "0\r\n1\r\n2\r\n3\r\n4");
    CRecordingView view;
    buffer.AttachView(&view);
    view.aPoints.push_back(CPoint(1, 4));
    {
        CBufferBatch outer(buffer, &view);
        Insert(buffer, 3, 0, "x");
        {
            CBufferBatch inner(buffer, &view);
            buffer.DeleteText(nullptr, 1, 0, 2, 0);  // joins lines 1 and 2
        }
        buffer.SetLineFlag(0, LF_BOOKMARK, true);  // flags pass through unbatched
        EXPECT_EQ(view.aLog.size(), 3u);
    }
    ASSERT_EQ(view.aLog.size(), 4u);
    EXPECT_TRUE(view.aLog[0].dwFlags & NOTIFY_BATCH);
    EXPECT_TRUE(view.aLog[1].dwFlags & NOTIFY_BATCH);
    EXPECT_FALSE(view.aLog[2].dwFlags & NOTIFY_BATCH);
    const CNotification &summary = view.aLog[3];
    EXPECT_EQ(summary.dwFlags, std::uint32_t(NOTIFY_WIDTH | NOTIFY_HEIGHT));
    EXPECT_EQ(summary.nLine, 1);
    EXPECT_EQ(summary.pSource, &view);
    EXPECT_FALSE(summary.bHint);
    EXPECT_EQ(view.aPoints[0], CPoint(1, 3));  // moved by the hints inside the batch

    // A batch without edits says nothing.
    view.aLog.clear();
    { CBufferBatch empty(buffer, &view); }
    EXPECT_TRUE(view.aLog.empty());
    buffer.DetachView(&view);
}

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
