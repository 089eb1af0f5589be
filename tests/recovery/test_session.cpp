// The list of the last session's windows: written and read back, paths of
// every kind, and damaged lines skipped without losing the rest.
#include "recovery/session.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

namespace {

CSession Sample()
{
    CSession session;
    session.bMaximized = true;
    CSessionWindow split;
    split.strPath = "/home/u/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/tab\there\\back\nline.html";
    split.nViewType = 3;
    split.nRows = 2;
    split.nColumns = 2;
    split.aRowSizes = {120, 300};
    split.aColumnSizes = {400, 0};
    split.aPanes = {{10, 4, 2, 0}, {0, 0, 0, 0}, {500, 12, 480, 8}, {1, 1, 1, 1}};
    split.bActive = true;
    CSessionWindow plain;
    plain.strPath = "/tmp/a.txt";
    plain.aPanes = {{3, 2, 0, 0}};
    session.aWindows = {plain, split};
    return session;
}

void ExpectSame(const CSession &a, const CSession &b)
{
    EXPECT_EQ(a.bMaximized, b.bMaximized);
    ASSERT_EQ(a.aWindows.size(), b.aWindows.size());
    for (std::size_t i = 0; i < a.aWindows.size(); ++i) {
        const CSessionWindow &x = a.aWindows[i];
        const CSessionWindow &y = b.aWindows[i];
        EXPECT_EQ(x.strPath, y.strPath);
        EXPECT_EQ(x.nViewType, y.nViewType);
        EXPECT_EQ(x.nRows, y.nRows);
        EXPECT_EQ(x.nColumns, y.nColumns);
        EXPECT_EQ(x.aRowSizes, y.aRowSizes);
        EXPECT_EQ(x.aColumnSizes, y.aColumnSizes);
        EXPECT_EQ(x.bActive, y.bActive);
        ASSERT_EQ(x.aPanes.size(), y.aPanes.size());
        for (std::size_t j = 0; j < x.aPanes.size(); ++j) {
            EXPECT_EQ(x.aPanes[j].nCaretLine, y.aPanes[j].nCaretLine);
            EXPECT_EQ(x.aPanes[j].nCaretChar, y.aPanes[j].nCaretChar);
            EXPECT_EQ(x.aPanes[j].nFirstLine, y.aPanes[j].nFirstLine);
            EXPECT_EQ(x.aPanes[j].nFirstColumn, y.aPanes[j].nFirstColumn);
        }
    }
}

} // namespace

TEST(Session, WrittenAndReadBackWithPathsOfEveryKind)
{
    CTempDir dir;
    const std::string strFile = dir.File("state/wrenpad/session");
    ASSERT_TRUE(WriteSessionFile(strFile, Sample()));
    CSession read;
    ASSERT_TRUE(ReadSessionFile(strFile, read));
    ExpectSame(read, Sample());
    // Written again over the old list, nothing else is left beside it.
    ASSERT_TRUE(WriteSessionFile(strFile, CSession()));
    ASSERT_TRUE(ReadSessionFile(strFile, read));
    EXPECT_TRUE(read.aWindows.empty());
    EXPECT_EQ(ListDir(dir.File("state/wrenpad")).size(), 1u);
}

TEST(Session, DamagedLinesAreSkippedAndTheRestKept)
{
    std::string strText = SerializeSession(Sample());
    // A window line with a bad number takes its panes with it; a stray pane
    // line, an unknown line, a bad escape and a third row are ignored.
    strText.insert(strText.find("window"), "window\t/x\t1\tzwei\t1\t\t\t0\npane\t1\t1\t1\t1\n");
    strText += "pane\t-1\t0\t0\t0\nwhatever\t1\nwindow\t/bad\\q\t0\t1\t1\t\t\t0\nwindow\t/rows\t0\t3\t1\t\t\t0\n";
    CSession read;
    ASSERT_TRUE(ParseSession(strText, read));
    ExpectSame(read, Sample());
    EXPECT_FALSE(ParseSession("not a session\n", read));
    EXPECT_FALSE(ParseSession("", read));
}
