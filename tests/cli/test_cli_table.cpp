// The list and table builders of conv, and table, as scripts call them.
#include "cli/clitest.h"

#include <gtest/gtest.h>

TEST(CliTable, ConvBuildsListsAndTables)
{
    const struct
    {
        std::vector<std::string> args;
        std::string strIn;
        std::string strOut;
    } cases[] = {
        {{"conv", "1240"}, "t\r\nd\r\ne", "<dl>\r\n\t<dt>t\r\n\t<dd>d\r\n\t<br>e\r\n</dl>"},
        {{"conv", "1240", "1"}, "", "<DL>\r\n\t<DD>\r\n</DL>\r\n"},
        {{"conv", "1241", "I", "2"}, "a", "<ol type=\"I\" start=\"2\">\r\n\t<li>a\r\n</ol>"},
        {{"conv", "1241", "a", "1", "1"}, "a\r\nb", "<OL TYPE=\"a\" START=\"1\">\r\n\t<LI>a\r\n\t<LI>b\r\n</OL>"},
        {{"conv", "1242", "square"}, "\x83\x5C", "<ul type=\"square\">\r\n\t<li>\x83\x5C\r\n</ul>"},
        {{"conv", "1238", "auto", "1"}, "a\tb\r\n", "<table border>\r\n\t<tr><td>a</td><td>b</td>\r\n\t</tr>\r\n"
                                                   "\t<tr><td></td>\r\n\t</tr>\r\n</table>"},
        {{"conv", "1238", "auto", "2", "1"}, "a b", "<TABLE BORDER>\r\n\t<TR><TD>a</TD><TD>b</TD>\r\n\t</TR>\r\n</TABLE>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Outcome(RunTool(c.args, c.strIn)), "0|" + c.strOut + "|") << ::testing::PrintToString(c.args);
}

TEST(CliTable, BadBuilderArgumentsAreRefused)
{
    const std::vector<std::vector<std::string>> bad = {
        {"conv", "1241", "b", "1"},   {"conv", "1241", "1"},          {"conv", "1241", "1", "x"},
        {"conv", "1242", "dot"},      {"conv", "1242", "disc", "2"},  {"conv", "1238", "grid", "0"},
        {"conv", "1238", "auto", "3"}, {"conv", "1240", "0", "0"},
        {"table", "--sep", "0"},      {"table", "--sep", "3", "--format", "0"},
        {"table", "--sep", "0", "--format", "4"}, {"table", "--format"},
    };
    for (const auto &args : bad) {
        const CToolResult r = RunTool(args, "a,b");
        EXPECT_EQ(r.nStatus, 2) << args[1] << ' ' << args.back();
        EXPECT_EQ(r.strOut, "");
        EXPECT_NE(r.strErr, "");
    }
}

TEST(CliTable, TableWritesTheEditorsOutput)
{
    const std::string strIn = "a,\"b,c\"\r\n\x95\x5C\r\n";
    EXPECT_EQ(Outcome(RunTool({"table", "--sep", "0", "--format", "0"}, strIn)),
              "0|<table>\r\n<tr><td>a</td>\r\n\t<td>b,c</td>\r\n</tr>\r\n"
              "<tr><td>\x95\x5C</td>\r\n\t<td></td>\r\n</tr>\r\n</table>\r\n|");
    CToolResult r = RunTool({"table", "--format", "1", "--sep", "0"}, strIn);
    EXPECT_EQ(r.strOut, "a\tb,c\r\n\x95\x5C\t\r\n");
    r = RunTool({"table", "--sep", "0", "--format", "2"}, strIn);
    EXPECT_EQ(r.strOut, "a,\"b,c\"\r\n\x95\x5C,\r\n");
    r = RunTool({"table", "--sep", "1", "--format", "3"}, "x y\tz");
    EXPECT_EQ(r.strOut, "\"x y\" z\r\n");
    // No input: one empty cell.
    r = RunTool({"table", "--sep", "2", "--format", "0"}, "");
    EXPECT_EQ(r.strOut, "<table>\r\n<tr><td></td>\r\n</tr>\r\n</table>\r\n");
}
