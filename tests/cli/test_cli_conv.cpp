// conv and table as scripts call them: Shift-JIS in on standard input, the
// converted selection or the table out, status 2 and one line on standard
// error for bad requests.
#include "cli/clitest.h"
#include "support/sjistext.h"

TEST(CliConv, EachCommandWritesTheReplacementText)
{
    // The conversions themselves are the core's; here the arguments of each
    // command that takes some, one that needs the converter, and escaping.
    const struct
    {
        ToolArgs args;
        std::string strIn;
        std::string strOut;
    } cases[] = {
        {{"conv", "1004", "2"}, "a\tb\r\n\tc", "a  b\r\n  c"},
        {{"conv", "1006", "//", "1"}, "//a\r\n  //b\r\nc//", "a\r\nb\r\nc//"},
        {{"conv", "1006", "//"}, "//a\r\n  //b\r\nc//", "a\r\n  b\r\nc//"},
        {{"conv", "6001"}, S("ｶﾞｲﾄﾞ a"), S("ガイド a")},
        {{"conv", "6012"}, S("あ　い"), S("あ  い")},
        {{"conv", "6009"}, S("あいう\r\nx"), S("x\r\nういあ")},
        {{"conv", "6005", "2", "1"}, S("あい。う"), S("あい。\r\nう")},
        {{"conv", "6005", "2", "0"}, S("あい。う"), S("あい\r\n。う")},
        {{"conv", "6002"}, S("<a title=\"表\">&</a>"), S("&LT;a title=&QUOT;表&QUOT;&GT;&AMP;&LT;/a&GT;")},
        // The generators.
        {{"conv", "1301"}, "a", "\r\n<tt><pre>\r\n " + S("ａ") + " \r\n</pre></tt>\r\n"},
        {{"conv", "1304", "#000000", "#ff0000", "1"}, "ab",
         "<FONT COLOR=\"#000000\">a</FONT><FONT COLOR=\"#7f0000\">b</FONT>"},
        {{"conv", "1304", "rainbow"}, "a", "<font color=\"#ff0000\">a</font>"},
        {{"conv", "1307", "tab", "1"}, "<tr><td><i>a</i><td>b", "a\tb"},
        // The list and table builders.
        {{"conv", "1240"}, "t\r\nd\r\ne", "<dl>\r\n\t<dt>t\r\n\t<dd>d\r\n\t<br>e\r\n</dl>"},
        {{"conv", "1240", "1"}, "", "<DL>\r\n\t<DD>\r\n</DL>\r\n"},
        {{"conv", "1241", "I", "2"}, "a", "<ol type=\"I\" start=\"2\">\r\n\t<li>a\r\n</ol>"},
        {{"conv", "1241", "a", "1", "1"}, "a\r\nb", "<OL TYPE=\"a\" START=\"1\">\r\n\t<LI>a\r\n\t<LI>b\r\n</OL>"},
        {{"conv", "1242", "square"}, "\x83\x5C", "<ul type=\"square\">\r\n\t<li>\x83\x5C\r\n</ul>"},
        {{"conv", "1238", "auto", "1"}, "a\tb\r\n", "<table border>\r\n\t<tr><td>a</td><td>b</td>\r\n\t</tr>\r\n"
                                                   "\t<tr><td></td>\r\n\t</tr>\r\n</table>"},
        {{"conv", "1238", "auto", "2", "1"}, "a b",
         "<TABLE BORDER>\r\n\t<TR><TD>a</TD><TD>b</TD>\r\n\t</TR>\r\n</TABLE>"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Outcome(RunTool(c.args, c.strIn)), "0|" + c.strOut + "|") << ::testing::PrintToString(c.args);
    }
}

TEST(CliConv, GeneratorsThatWriteAroundEachCharacter)
{
    // The other generators are in the table above, the bad arguments of all below.
    CToolResult r = RunTool({"conv", "1302", "3"}, "a");
    EXPECT_NE(r.strOut.find(S("ａ") + "<br>\x81\x40<br>\x81\x40<br></tt>"), std::string::npos) << r.strOut;
    r = RunTool({"conv", "6017", "html"}, "a<b");
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_NE(r.strOut.find("&LT;"), std::string::npos) << r.strOut;
    EXPECT_EQ(r.strOut.find('<', r.strOut.find("<pre>") + 1), r.strOut.find("<font"));
}

TEST(CliConv, BytesPassThroughAsTheyAre)
{
    // NUL bytes, lone CRs and a lead byte at the very end are no reason to stop.
    const std::string bytes = std::string("A\0B\rC\nD\x82", 8);
    EXPECT_EQ(Outcome(RunTool({"conv", "6010"}, bytes)), "0|" + std::string("a\0b\rc\nd\x82", 8) + "|");
    EXPECT_EQ(Outcome(RunTool({"conv", "6009"}, "")), "0||");
    // A large input comes out whole.
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += S("<p>段落 ") + std::to_string(i) + "</p>\r\n";
    const CToolResult escaped = RunTool({"conv", "6002"}, big);
    const CToolResult back = RunTool({"conv", "6003"}, escaped.strOut);
    EXPECT_EQ(back.strOut, big);
}

TEST(CliConv, BadRequestsOfConvAndTableEndWithStatusTwoAndOneLine)
{
    const ToolArgs bad[] = {
        {"conv"}, {"conv", "9999"}, {"conv", "1244x"}, {"conv", ""}, {"conv", "1004"}, {"conv", "1004", "four"},
        {"conv", "1004", "-1"}, {"conv", "1004", "4", "4"}, {"conv", "6005"}, {"conv", "6005", "0"},
        {"conv", "6005", "10001"}, {"conv", "6005", "2", "yes"}, {"conv", "6005", "2", "1", "1"}, {"conv", "1006"},
        {"conv", "1006", "//", "2"}, {"conv", "6002", "extra"},
        // The tag commands.
        {"conv", "1248"}, {"conv", "1248", "2"}, {"conv", "1248", "0", "0"}, {"conv", "1244", "x"},
        // The generators.
        {"conv", "1302", "0"}, {"conv", "1302", "1001"}, {"conv", "1304", "000000", "#ff0000"},
        {"conv", "1304", "#000000"}, {"conv", "1304", "rainbow", "2"}, {"conv", "1307", "semicolon"},
        {"conv", "6017", "cobol"}, {"conv", "6017"},
        // The list and table builders, and table.
        {"conv", "1241", "b", "1"}, {"conv", "1241", "1"}, {"conv", "1241", "1", "x"}, {"conv", "1242", "dot"},
        {"conv", "1242", "disc", "2"}, {"conv", "1238", "grid", "0"}, {"conv", "1238", "auto", "3"},
        {"conv", "1240", "0", "0"}, {"table", "--sep", "0"}, {"table", "--sep", "3", "--format", "0"},
        {"table", "--sep", "0", "--format", "4"}, {"table", "--format"},
    };
    for (const ToolArgs &args : bad)
        EXPECT_TRUE(Refused(RunTool(args, "a,b"))) << ::testing::PrintToString(args);
}

TEST(CliConv, TagCommands)
{
    // "表" ends in the byte of a backslash, "ナ" in that of an "i".
    const std::string strPage = S("<A HREF=\"Top.HTML\">表ナ</A>\r\n<!-- NOTE -->Text <I");
    const std::pair<ToolArgs, std::string> cases[] = {
        {{"conv", "1244"}, S("表ナ\r\nText ")},
        {{"conv", "1261"}, S("<A HREF=\"Top.HTML\"></A>\r\n<!-- NOTE --><I")},
        {{"conv", "1248", "0"}, S("<a href=\"Top.HTML\">表ナ</a>\r\n<!-- NOTE -->Text <i")},
        {{"conv", "1248", "1"}, strPage},
    };
    for (const auto &[args, strOut] : cases)
        EXPECT_EQ(Outcome(RunTool(args, strPage)), "0|" + strOut + "|") << args[1];
}

TEST(CliTable, TableWritesTheEditorsOutput)
{
    const std::string strIn = "a,\"b,c\"\r\n\x95\x5C\r\n";
    EXPECT_EQ(Outcome(RunTool({"table", "--sep", "0", "--format", "0"}, strIn)),
              "0|<table>\r\n<tr><td>a</td>\r\n\t<td>b,c</td>\r\n</tr>\r\n"
              "<tr><td>\x95\x5C</td>\r\n\t<td></td>\r\n</tr>\r\n</table>\r\n|");
    EXPECT_EQ(RunTool({"table", "--format", "1", "--sep", "0"}, strIn).strOut, "a\tb,c\r\n\x95\x5C\t\r\n");
    EXPECT_EQ(RunTool({"table", "--sep", "0", "--format", "2"}, strIn).strOut, "a,\"b,c\"\r\n\x95\x5C,\r\n");
    EXPECT_EQ(RunTool({"table", "--sep", "1", "--format", "3"}, "x y\tz").strOut, "\"x y\" z\r\n");
    // No input: one empty cell.
    EXPECT_EQ(RunTool({"table", "--sep", "2", "--format", "0"}, "").strOut,
              "<table>\r\n<tr><td></td>\r\n</tr>\r\n</table>\r\n");
}
