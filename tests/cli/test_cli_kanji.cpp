// detect, convert and nkf as scripts call them.
#include "cli/clitest.h"

#include <gtest/gtest.h>

namespace {

std::string DataPath(const std::string &strName)
{
    return std::string(WP_TEST_DATA_DIR) + "/kanji/" + strName;
}

TEST(CliKanji, DetectPrintsOneLine)
{
    const struct
    {
        const char *pszFile;
        const char *pszOut;
    } cases[] = {{"essay.sjis.txt", "SJIS\n"}, {"page.euc.html", "EUC\n"}, {"mail.jis.eml", "JIS\n"}};
    for (const auto &c : cases)
        EXPECT_EQ(Outcome(RunTool({"detect", DataPath(c.pszFile)})), "0|" + std::string(c.pszOut) + "|") << c.pszFile;
    CTempDir dir;
    WriteFileBytes(dir.File("ascii.txt"), "<html>only ASCII</html>\n");
    EXPECT_EQ(RunTool({"detect", dir.File("ascii.txt")}).strOut, "UNKNOWN\n");
    EXPECT_EQ(RunTool({"detect"}).nStatus, 2);
}

TEST(CliKanji, ConvertWritesTheConvertedBytes)
{
    EXPECT_EQ(Outcome(RunTool({"convert", "--to", "euc", DataPath("essay.sjis.txt")})),
              "0|" + ReadFileBytes(DataPath("essay.euc.txt")) + "|");
    const CToolResult sjis = RunTool({"convert", "--to", "sjis", DataPath("page.jis.html")});
    EXPECT_EQ(sjis.strOut, ReadFileBytes(DataPath("page.sjis.html")));
    const CToolResult jis = RunTool({"convert", "--to", "jis", DataPath("page.euc.html")});
    EXPECT_EQ(jis.strOut.substr(jis.strOut.find('\x1b'), 3), "\x1b$B");

    CTempDir dir;
    WriteFileBytes(dir.File("nul.txt"), std::string("\x82\xa0\0\x82\xa2", 5));
    EXPECT_EQ(RunTool({"convert", "--to", "utf8", dir.File("nul.txt")}).nStatus, 2);
    EXPECT_EQ(RunTool({"convert", dir.File("nul.txt")}).nStatus, 2);
}

TEST(CliKanji, NkfConvertsWithTheOption)
{
    EXPECT_EQ(Outcome(RunTool({"nkf", "sm", DataPath("mail.jis.eml")})),
              "0|" + ReadFileBytes(DataPath("mail.expected.sjis.txt")) + "|");
    EXPECT_EQ(RunTool({"nkf", "j", DataPath("essay.sjis.txt")}).strOut,
              ReadFileBytes(DataPath("essay.jis.txt")));
    EXPECT_EQ(RunTool({"nkf", "e"}).nStatus, 2);
}

} // namespace
