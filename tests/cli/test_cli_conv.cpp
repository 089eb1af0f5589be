// conv as scripts call it: Shift-JIS in on standard input, the converted
// selection out, status 2 and one line on standard error for bad requests.
#include "cli/clitest.h"
#include "support/sjistext.h"

#include <gtest/gtest.h>

TEST(CliConv, EachCommandWritesTheReplacementText)
{
    // The conversions themselves are the core's; here the arguments of each
    // command that takes some, one that needs the converter, and escaping.
    const struct
    {
        std::vector<std::string> args;
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
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Outcome(RunTool(c.args, c.strIn)), "0|" + c.strOut + "|") << ::testing::PrintToString(c.args);
    }
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

TEST(CliConv, BadRequestsEndWithStatusTwoAndOneLine)
{
    const std::vector<std::vector<std::string>> bad = {
        {"conv"},
        {"conv", "9999"},
        {"conv", "1244x"},
        {"conv", ""},
        {"conv", "1004"},
        {"conv", "1004", "four"},
        {"conv", "1004", "-1"},
        {"conv", "1004", "4", "4"},
        {"conv", "6005"},
        {"conv", "6005", "0"},
        {"conv", "6005", "10001"},
        {"conv", "6005", "2", "yes"},
        {"conv", "6005", "2", "1", "1"},
        {"conv", "1006"},
        {"conv", "1006", "//", "2"},
        {"conv", "6002", "extra"},
    };
    for (const auto &args : bad) {
        const CToolResult r = RunTool(args, "text");
        const std::string strArgs = ::testing::PrintToString(args);
        EXPECT_EQ(r.nStatus, 2) << strArgs;
        EXPECT_EQ(r.strOut, "") << strArgs;
        ASSERT_FALSE(r.strErr.empty()) << strArgs;
        EXPECT_EQ(r.strErr.find('\n'), r.strErr.size() - 1) << strArgs << r.strErr;
    }
}

TEST(CliConv, HelpListsEveryCommand)
{
    const CToolResult r = RunTool({"--help"});
    EXPECT_EQ(r.nStatus, 0);
    for (const char *pszID : {"1004 TABWIDTH", "1005", "1006 PREFIX [1]", "6018", "6001", "6007", "6000", "6012",
                              "6010", "6011", "6009", "32796", "6008", "6005 N [1]", "6006", "6002", "6003",
                              "6004", "1244", "1248 STATE", "1261"})
        EXPECT_NE(r.strOut.find(std::string("        ") + pszID + " "), std::string::npos) << pszID;
}

TEST(CliConv, TagCommands)
{
    // "表" ends in the byte of a backslash, "ナ" in that of an "i".
    const std::string strPage = S("<A HREF=\"Top.HTML\">表ナ</A>\r\n<!-- NOTE -->Text <I");
    const struct
    {
        std::vector<std::string> args;
        std::string strOut;
    } cases[] = {
        {{"conv", "1244"}, S("表ナ\r\nText ")},
        {{"conv", "1261"}, S("<A HREF=\"Top.HTML\"></A>\r\n<!-- NOTE --><I")},
        {{"conv", "1248", "0"}, S("<a href=\"Top.HTML\">表ナ</a>\r\n<!-- NOTE -->Text <i")},
        {{"conv", "1248", "1"}, strPage},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Outcome(RunTool(c.args, strPage)), "0|" + c.strOut + "|") << c.args[1];
    for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
             {"conv", "1248"}, {"conv", "1248", "2"}, {"conv", "1248", "0", "0"}, {"conv", "1244", "x"}}) {
        const CToolResult r = RunTool(bad, strPage);
        EXPECT_EQ(r.nStatus, 2) << bad.size();
        EXPECT_EQ(r.strOut, "");
    }
}
