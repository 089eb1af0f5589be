// dump as scripts call it.
#include "cli/clitest.h"

TEST(CliDump, WritesTheDumpWithTheNameAsGiven)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.txt"), "Hi\x82\xa0");
    const std::string strDump = "ASCII Dumping\r\n" + dir.File("a.txt") + "\r\n" + std::string(74, '-')
                                + "\r\n000000  48 69 82 A0                                       Hi..";
    EXPECT_EQ(Outcome(RunTool({"dump", dir.File("a.txt")})), "0|" + strDump + "|");
}
