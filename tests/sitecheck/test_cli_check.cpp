#include "cli/clitest.h"
#include "sitecheck/sitefixture.h"

namespace {

std::string ExpectedOutput(bool bNotes, const std::string &strPrefix = std::string())
{
    std::string strOut;
    for (const std::string &strLine : sitefixture::Expected())
        if (bNotes || strLine.find(": 参考: ") == std::string::npos)
            strOut += Utf8ToCp932(strPrefix + strLine) + "\n";
    return strOut;
}

} // namespace

TEST(CliCheck, FindingsInShiftJisAreStatusOneCleanPagesZeroAndWrongArgumentsTwo)
{
    CTempDir dir;
    sitefixture::Build(dir.Path());
    EXPECT_EQ(Outcome(RunProgram({WP_TOOL_PATH, "check", "--recursive", "--notes", "."}, dir.Path())),
              "1|" + ExpectedOutput(true) + "|");

    // Named from outside, the paths start with the folder as given.
    EXPECT_EQ(Outcome(RunTool({"check", "--recursive", dir.Path() + "/"})),
              "1|" + ExpectedOutput(false, dir.Path() + "/") + "|");

    // Pages of every code, checked alone or with the site named: nothing.
    EXPECT_EQ(Outcome(RunTool({"check", "--site", dir.Path(), dir.File("index.html"), dir.File("about.html"),
                               dir.File("euc.html"), dir.File("jis.html"), dir.File("bom.html"), dir.File("sub")})),
              "0||");
    // Alone, the page in sub/ has no site above it: its links leave the site, which is a note.
    const CToolResult alone = RunTool({"check", "--notes", dir.File("sub/index.html")});
    EXPECT_EQ(alone.nStatus, 0);
    EXPECT_NE(alone.strOut.find(Utf8ToCp932("参考: サイトのフォルダの外を指しています")), std::string::npos);

    for (const ToolArgs &args : {ToolArgs{"check"}, {"check", "--deep", dir.Path()}, {"check", "--site"},
                                 {"check", dir.File("missing.html")},
                                 {"check", "--site", dir.File("sub"), dir.File("index.html")}})
        EXPECT_TRUE(Refused(RunTool(args))) << args.back();
}
