// wrenpad-tool grep: the folder search's result lines in Shift-JIS (in UTF-8
// for a text with characters Shift-JIS lacks).
#include "cli/clitest.h"
#include "text/codec.h"

#include <algorithm>
#include <sys/stat.h>
#include <vector>

TEST(CliGrep, PrintsTheResultLinesInShiftJis)
{
    CTempDir dir;
    // 日本語 in CP932, and in the file name as UTF-8.
    WriteFiles(dir.Path(), {{"a.txt", "x\r\n\x93\xFA\x96\x7B\x8C\xEA and Text\r\n"},
                            {"sub (1)/\xE6\x97\xA5.htm", "more text\n"}});
    EXPECT_EQ(Outcome(RunTool({"grep", "--subdirs", "text", "*.txt;*.htm", dir.Path()})),
              "0|sub (1)/\x93\xFA.htm(1): more text\n" + Utf8ToCp932("1 個、検索されました。(2ファイル中)\n") + "|");
    EXPECT_EQ(Outcome(RunTool({"grep", "--icase", "--subdirs", "TEXT", "*.txt", dir.Path()})),
              "0|a.txt(2): \x93\xFA\x96\x7B\x8C\xEA and Text\n" + Utf8ToCp932("1 個、検索されました。(1ファイル中)\n") + "|");
    // The search text is taken from UTF-8.
    EXPECT_EQ(Outcome(RunTool({"grep", "--regex", "本語", "*", dir.Path()})),
              "0|a.txt(2): > \x96\x7B\x8C\xEA\n" + Utf8ToCp932("1 個、検索されました。(1ファイル中)\n") + "|");
}

TEST(CliGrep, FoundNothingFoundAndTroubleHaveTheirOwnStatus)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.txt"), "x\n");
    EXPECT_EQ(RunTool({"grep", "x", "*", dir.Path()}).nStatus, 0);
    EXPECT_EQ(Outcome(RunTool({"grep", "nothing", "*", dir.Path()})),
              "1|" + Utf8ToCp932("0 個、検索されました。(1ファイル中)\n") + "|");

    // A bad expression: the summary still ends the results, the reason is on
    // standard error.
    EXPECT_EQ(Outcome(RunTool({"grep", "--regex", "(a*)*[z-a]", "*", dir.Path()})),
              "2|" + Utf8ToCp932("0 個、検索されました。(0ファイル中)\n")
                  + "|wrenpad-tool: grep: the regular expression does not compile: (a*)*[z-a]\n");

    // Too many results: what was found, then the reason.
    std::string strMany;
    for (int i = 0; i < 3000; ++i)
        strMany += "x line\n";
    WriteFileBytes(dir.File("many.txt"), strMany);
    const CToolResult r = RunTool({"grep", "x", "many.txt", dir.Path()});
    EXPECT_EQ(r.nStatus, 2);
    EXPECT_NE(r.strOut.find("many.txt(1): x line\n"), std::string::npos);
    EXPECT_EQ(r.strErr, "wrenpad-tool: grep: too many results (20000 bytes); the search stopped there\n");
}

TEST(CliGrep, AFileThatCannotBeReadIsTroubleButTheOthersAreSearched)
{
    CTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    WriteFiles(dir.Path(), {{"a.txt", "found\n"}, {"b.txt", "found too\n"}});
    ::chmod(dir.File("b.txt").c_str(), 0);
    CToolRunOptions options;
    options.bAsOrdinaryUser = true;
    EXPECT_EQ(Outcome(RunTool({"grep", "found", "*.txt", dir.Path()}, options)),
              "2|a.txt(1): found\n" + Utf8ToCp932("1 個、検索されました。(2ファイル中)\n") + "|wrenpad-tool: cannot read "
                  + dir.File("b.txt") + ": Permission denied\n");
}

TEST(CliGrep, CharactersShiftJisLacksAreFoundInEveryOtherCodeAndPrintedInUtf8)
{
    CTempDir dir;
    // é, © and 😀 in UTF-8; ǎ, © and é (JIS X 0212) in EUC-JP and JIS, whose
    // tables meet them in another order; the user-defined code of a Shift-JIS
    // file is no é.
    WriteFileBytes(dir.File("u.txt"), "\xE6\x97\xA5 caf\xC3\xA9 \xC2\xA9 \xF0\x9F\x98\x80\n");
    WriteFileBytes(dir.File("e.txt"), "x\n\xC6\xFC\xCB\xDC \x8F\xAB\xA6 \x8F\xA2\xED caf\x8F\xAB\xB1\n");
    WriteFileBytes(dir.File("j.txt"), "\x1B$B4A\x1B(B \x1B$(D+1\x1B(B caf\x1B$(D+1\x1B(B\n");
    WriteFileBytes(dir.File("s.txt"), "caf\xF0\x40\n");
    CToolResult r = RunTool({"grep", "caf\xC3\xA9", "*.txt", dir.Path()});
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strErr, "");
    std::vector<std::string> aLines;
    for (std::size_t i = 0, j; (j = r.strOut.find('\n', i)) != std::string::npos; i = j + 1)
        aLines.push_back(r.strOut.substr(i, j - i));
    std::sort(aLines.begin(), aLines.end());
    EXPECT_EQ(aLines, (std::vector<std::string>{"3 個、検索されました。(4ファイル中)",
                                                 "e.txt(2): \xE6\x97\xA5\xE6\x9C\xAC \xC7\x8E \xC2\xA9 caf\xC3\xA9",
                                                 "j.txt(1): \xE6\xBC\xA2 \xC3\xA9 caf\xC3\xA9",
                                                 "u.txt(1): \xE6\x97\xA5 caf\xC3\xA9 \xC2\xA9 \xF0\x9F\x98\x80"}));
    // None of them anywhere: nothing found.
    EXPECT_EQ(Outcome(RunTool({"grep", "\xC3\xB1", "*.txt", dir.Path()})), "1|0 個、検索されました。(4ファイル中)\n|");
}
