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
    EXPECT_EQ(RunTool({"dump"}).nStatus, 2);
}

TEST(CliConv, GeneratorsTakeTheirArguments)
{
    const std::string ab = Utf8ToCp932("ａ");
    CToolResult r = RunTool({"conv", "1301"}, "a");
    EXPECT_EQ(r.strOut, "\r\n<tt><pre>\r\n " + ab + " \r\n</pre></tt>\r\n");
    r = RunTool({"conv", "1302", "3"}, "a");
    EXPECT_NE(r.strOut.find(ab + "<br>\x81\x40<br>\x81\x40<br></tt>"), std::string::npos) << r.strOut;
    r = RunTool({"conv", "1304", "#000000", "#ff0000", "1"}, "ab");
    EXPECT_EQ(r.strOut, "<FONT COLOR=\"#000000\">a</FONT><FONT COLOR=\"#7f0000\">b</FONT>");
    r = RunTool({"conv", "1304", "rainbow"}, "a");
    EXPECT_EQ(r.strOut, "<font color=\"#ff0000\">a</font>");
    r = RunTool({"conv", "1307", "tab", "1"}, "<tr><td><i>a</i><td>b");
    EXPECT_EQ(r.strOut, "a\tb");
    r = RunTool({"conv", "6017", "html"}, "a<b");
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_NE(r.strOut.find("&LT;"), std::string::npos) << r.strOut;
    EXPECT_EQ(r.strOut.find('<', r.strOut.find("<pre>") + 1), r.strOut.find("<font"));

    for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
             {"conv", "1302", "0"},
             {"conv", "1302", "1001"},
             {"conv", "1304", "000000", "#ff0000"},
             {"conv", "1304", "#000000"},
             {"conv", "1304", "rainbow", "2"},
             {"conv", "1307", "semicolon"},
             {"conv", "6017", "cobol"},
             {"conv", "6017"},
         }) {
        r = RunTool(bad, "x");
        EXPECT_EQ(r.nStatus, 2) << bad[1] << " " << (bad.size() > 2 ? bad[2] : "");
        EXPECT_EQ(r.strOut, "");
    }
}
