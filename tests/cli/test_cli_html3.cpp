// dump and the generator ids of conv, as scripts call them.
#include "cli/clitest.h"
#include "text/codec.h"

#include <gtest/gtest.h>

TEST(CliDump, WritesTheDumpWithTheNameAsGiven)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.txt"), "Hi\x82\xa0");
    const std::string strDump = "ASCII Dumping\r\n" + dir.File("a.txt") + "\r\n" + std::string(74, '-')
                                + "\r\n000000  48 69 82 A0                                       Hi..";
    EXPECT_EQ(Outcome(RunTool({"dump", dir.File("a.txt")})), "0|" + strDump + "|");
}

TEST(CliConv, GeneratorsThatWriteAroundEachCharacter)
{
    // The others are in test_cli_conv.cpp, with their bad arguments.
    CToolResult r = RunTool({"conv", "1302", "3"}, "a");
    EXPECT_NE(r.strOut.find(Utf8ToCp932("ａ") + "<br>\x81\x40<br>\x81\x40<br></tt>"), std::string::npos) << r.strOut;
    r = RunTool({"conv", "6017", "html"}, "a<b");
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_NE(r.strOut.find("&LT;"), std::string::npos) << r.strOut;
    EXPECT_EQ(r.strOut.find('<', r.strOut.find("<pre>") + 1), r.strOut.find("<font"));
}
