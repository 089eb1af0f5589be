// wrenpad-tool grep: the folder search's result lines in Shift-JIS.
#include "support/testutil.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(CliGrep, PrintsTheResultLinesInShiftJis)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.File("sub (1)"));
    // 日本語 in CP932, and in the file name as UTF-8.
    WriteFileBytes(dir.File("a.txt"), "x\r\n\x93\xFA\x96\x7B\x8C\xEA and Text\r\n");
    WriteFileBytes(dir.File("sub (1)/\xE6\x97\xA5.htm"), "more text\n");
    CToolResult r = RunTool({"grep", "--subdirs", "text", "*.txt;*.htm", dir.Path()});
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strOut, "sub (1)/\x93\xFA.htm(1): more text\n" + Utf8ToCp932("1 個、検索されました。(2ファイル中)") + "\n");
    r = RunTool({"grep", "--icase", "--subdirs", "TEXT", "*.txt", dir.Path()});
    EXPECT_EQ(r.strOut, "a.txt(2): \x93\xFA\x96\x7B\x8C\xEA and Text\n" + Utf8ToCp932("1 個、検索されました。(1ファイル中)") + "\n");
    // The search text is taken from UTF-8.
    r = RunTool({"grep", "--regex", "本語", "*", dir.Path()});
    EXPECT_EQ(r.strOut, "a.txt(2): > \x96\x7B\x8C\xEA\n" + Utf8ToCp932("1 個、検索されました。(1ファイル中)") + "\n");
    EXPECT_EQ(r.strErr, "");
}

TEST(CliGrep, StatusAndBadInput)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.txt"), "x\n");
    CToolResult r = RunTool({"grep", "nothing", "*", dir.Path()});
    EXPECT_EQ(r.nStatus, 1);
    r = RunTool({"grep", "--regex", "(a*)*[z-a]", "*", dir.Path()});
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_EQ(r.strOut, Utf8ToCp932("正規表現のコンパイルに失敗しました。処理を中断します・・・\n0 個、検索されました。(0ファイル中)\n"));
    r = RunTool({"grep", "x", "*", dir.File("missing")});
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_EQ(r.strOut, Utf8ToCp932("（'" + dir.File("missing") + "/' を開けません。）\n0 個、検索されました。(0ファイル中)\n"));
    EXPECT_EQ(RunTool({"grep", "x", "*"}).nStatus, 2);
    EXPECT_EQ(RunTool({"grep", "--bogus", "x", "*", dir.Path()}).nStatus, 2);
    EXPECT_EQ(RunTool({"grep", "", "*", dir.Path()}).nStatus, 2);
}
