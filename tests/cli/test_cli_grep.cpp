// wrenpad-tool grep: the folder search's result lines in Shift-JIS.
#include "support/testutil.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

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

TEST(CliGrep, FoundNothingFoundAndTroubleHaveTheirOwnStatus)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.txt"), "x\n");
    CToolResult r = RunTool({"grep", "x", "*", dir.Path()});
    EXPECT_EQ(r.nStatus, 0);
    r = RunTool({"grep", "nothing", "*", dir.Path()});
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_EQ(r.strOut, Utf8ToCp932("0 個、検索されました。(1ファイル中)\n"));
    EXPECT_EQ(r.strErr, "");

    // A bad expression: the summary still ends the results, the reason is on
    // standard error.
    r = RunTool({"grep", "--regex", "(a*)*[z-a]", "*", dir.Path()});
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_EQ(r.strOut, Utf8ToCp932("0 個、検索されました。(0ファイル中)\n"));
    EXPECT_EQ(r.strErr, "wrenpad-tool: grep: the regular expression does not compile: (a*)*[z-a]\n");

    // A folder that does not exist is trouble, not "nothing found".
    r = RunTool({"grep", "x", "*", dir.File("missing")});
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_EQ(r.strOut, "");
    EXPECT_EQ(r.strErr, "wrenpad-tool: cannot read " + dir.File("missing") + ": No such file or directory\n");

    // Too many results: what was found, then the reason.
    std::string strMany;
    for (int i = 0; i < 3000; ++i)
        strMany += "x line\n";
    WriteFileBytes(dir.File("many.txt"), strMany);
    r = RunTool({"grep", "x", "many.txt", dir.Path()});
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_NE(r.strOut.find("many.txt(1): x line\n"), std::string::npos);
    EXPECT_EQ(r.strErr, "wrenpad-tool: grep: too many results (20000 bytes); the search stopped there\n");

    EXPECT_EQ(RunTool({"grep", "x", "*"}).nStatus, 2);
    EXPECT_EQ(RunTool({"grep", "--bogus", "x", "*", dir.Path()}).nStatus, 2);
    EXPECT_EQ(RunTool({"grep", "", "*", dir.Path()}).nStatus, 2);
}

TEST(CliGrep, AFileThatCannotBeReadIsTroubleButTheOthersAreSearched)
{
    CTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    WriteFileBytes(dir.File("a.txt"), "found\n");
    WriteFileBytes(dir.File("b.txt"), "found too\n");
    ::chmod(dir.File("b.txt").c_str(), 0);
    CToolRunOptions options;
    options.bAsOrdinaryUser = true;
    const CToolResult r = RunTool({"grep", "found", "*.txt", dir.Path()}, options);
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_EQ(r.strOut, "a.txt(1): found\n" + Utf8ToCp932("1 個、検索されました。(2ファイル中)\n"));
    EXPECT_EQ(r.strErr, "wrenpad-tool: cannot read " + dir.File("b.txt") + ": Permission denied\n");
}
