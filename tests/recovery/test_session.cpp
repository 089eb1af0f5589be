// The list of the last session's windows: written and read back, paths of
// every kind, and damaged lines skipped without losing the rest.
#include "recovery/session.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <sstream>

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

// Every field, to compare whole sessions.
std::string Describe(const CSession &session)
{
    std::ostringstream out;
    out << session.bMaximized;
    for (const CSessionWindow &w : session.aWindows) {
        out << "\n" << w.strPath << " " << w.nViewType << " " << w.nRows << "x" << w.nColumns << " "
            << ::testing::PrintToString(w.aRowSizes) << ::testing::PrintToString(w.aColumnSizes) << w.bActive;
        for (const CSessionPane &p : w.aPanes)
            out << " " << p.nCaretLine << "," << p.nCaretChar << "," << p.nFirstLine << "," << p.nFirstColumn;
    }
    return out.str();
}

} // namespace

TEST(Session, WrittenAndReadBackWithPathsOfEveryKind)
{
    CTempDir dir;
    const std::string strFile = dir.File("state/wrenpad/session");
    ASSERT_TRUE(WriteSessionFile(strFile, Sample()));
    CSession read;
    ASSERT_TRUE(ReadSessionFile(strFile, read));
    EXPECT_EQ(Describe(read), Describe(Sample()));
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
    EXPECT_EQ(Describe(read), Describe(Sample()));
    EXPECT_FALSE(ParseSession("not a session\n", read));
    EXPECT_FALSE(ParseSession("", read));
}
