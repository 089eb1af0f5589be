// wrenpad-tool regex and subst, as scripts call them.
#include "cli/clitest.h"

TEST(CliRegex, PrintsLineNumbersAndRegistersWithTheStatusesOfASearch)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), "hello world\r\nnothing\n\nHello World\n" + std::string(4005, '-') + "ab\n");
    EXPECT_EQ(Outcome(RunTool({"regex", "(\\w+) (W)", dir.File("f")})), "0|4 0=0,7 1=0,5 2=6,7\n|");
    EXPECT_EQ(RunTool({"regex", "--icase", "(\\w+) (W)", dir.File("f")}).strOut,
              "1 0=0,7 1=0,5 2=6,7\n4 0=0,7 1=0,5 2=6,7\n");
    // Empty lines and the pieces of a long line count.
    EXPECT_EQ(Outcome(RunTool({"regex", "{^$}|{ab}", dir.File("f")})), "0|3 0=0,0\n6 0=5,7\n|");

    // The statuses are those of a search.
    EXPECT_EQ(Outcome(RunTool({"regex", "y", dir.File("f")})), "1||");  // nothing found
    EXPECT_EQ(Outcome(RunTool({"regex", "[z-a]", dir.File("f")})),
              "2||wrenpad-tool: regex: the pattern does not compile: [z-a]\n");
    EXPECT_EQ(Outcome(RunTool({"subst", "a|", "b", dir.File("f")})),
              "2||wrenpad-tool: subst: the pattern does not compile: a|\n");
}

TEST(CliSubst, ReplacesTheFirstMatchOfEachLineAndKeepsLineEnds)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), "hello world world\r\nno match here!\nfoo bar");
    EXPECT_EQ(Outcome(RunTool({"subst", "(\\w+) (\\w+)", "\\u\\2 \\1", dir.File("f")})),
              "0|World hello world\r\nMatch no here!\nBar foo|");

    // A failed substitution prints only the error, naming the line.
    WriteFileBytes(dir.File("g"), "ab\nb\n");
    EXPECT_EQ(Outcome(RunTool({"subst", "(a)|b", "[\\1]", dir.File("g")})),
              "1||wrenpad-tool: subst: " + dir.File("g")
                  + " line 2: the replacement names a group that took no part in the match, or ends in \\\n");
}
