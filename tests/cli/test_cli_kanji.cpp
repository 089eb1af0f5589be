// detect, convert and nkf as scripts call them.
#include "cli/clitest.h"

namespace {

std::string DataPath(const std::string &strName)
{
    return std::string(WP_TEST_DATA_DIR) + "/kanji/" + strName;
}

TEST(CliKanji, DetectPrintsOneLine)
{
    const std::pair<const char *, std::string> cases[] = {
        {"essay.sjis.txt", "SJIS\n"}, {"page.euc.html", "EUC\n"}, {"mail.jis.eml", "JIS\n"}};
    for (const auto &[pszFile, strOut] : cases)
        EXPECT_EQ(Outcome(RunTool({"detect", DataPath(pszFile)})), "0|" + strOut + "|") << pszFile;
    CTempDir dir;
    WriteFileBytes(dir.File("ascii.txt"), "<html>only ASCII</html>\n");
    EXPECT_EQ(RunTool({"detect", dir.File("ascii.txt")}).strOut, "UNKNOWN\n");
}

TEST(CliKanji, ConvertAndNkfWriteTheConvertedBytes)
{
    EXPECT_EQ(Outcome(RunTool({"convert", "--to", "euc", DataPath("essay.sjis.txt")})),
              "0|" + ReadFileBytes(DataPath("essay.euc.txt")) + "|");
    EXPECT_EQ(RunTool({"convert", "--to", "sjis", DataPath("page.jis.html")}).strOut,
              ReadFileBytes(DataPath("page.sjis.html")));
    const CToolResult jis = RunTool({"convert", "--to", "jis", DataPath("page.euc.html")});
    EXPECT_EQ(jis.strOut.substr(jis.strOut.find('\x1b'), 3), "\x1b$B");

    // nkf converts with the option given.
    EXPECT_EQ(Outcome(RunTool({"nkf", "sm", DataPath("mail.jis.eml")})),
              "0|" + ReadFileBytes(DataPath("mail.expected.sjis.txt")) + "|");
    EXPECT_EQ(RunTool({"nkf", "j", DataPath("essay.sjis.txt")}).strOut, ReadFileBytes(DataPath("essay.jis.txt")));
}

} // namespace
