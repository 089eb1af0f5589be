#include "sitecheck/sitefixture.h"

#include <gtest/gtest.h>

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

TEST(CliCheck, PrintsTheFixtureFindingsInShiftJisAndFailsOnErrors)
{
    CTempDir dir;
    sitefixture::Build(dir.Path());
    const CToolResult withNotes = RunProgram({WP_TOOL_PATH, "check", "--recursive", "--notes", "."}, dir.Path());
    EXPECT_EQ(withNotes.nStatus, 1);
    EXPECT_EQ(withNotes.strOut, ExpectedOutput(true));
    EXPECT_EQ(withNotes.strErr, "");

    // Named from outside, the paths start with the folder as given.
    const CToolResult named = RunTool({"check", "--recursive", dir.Path() + "/"});
    EXPECT_EQ(named.nStatus, 1);
    EXPECT_EQ(named.strOut, ExpectedOutput(false, dir.Path() + "/"));
}

TEST(CliCheck, CleanPagesPassAndWrongArgumentsAreStatusTwo)
{
    CTempDir dir;
    sitefixture::Build(dir.Path());
    // Pages of every code, checked alone or with the site named: nothing.
    const CToolResult clean = RunTool({"check", "--site", dir.Path(), dir.File("index.html"), dir.File("about.html"),
                                       dir.File("euc.html"), dir.File("jis.html"), dir.File("bom.html"),
                                       dir.File("sub")});
    EXPECT_EQ(clean.nStatus, 0) << clean.strOut << clean.strErr;
    EXPECT_EQ(clean.strOut, "");
    // Alone, the page in sub/ has no site above it: its links leave the site, which is a note.
    const CToolResult alone = RunTool({"check", "--notes", dir.File("sub/index.html")});
    EXPECT_EQ(alone.nStatus, 0);
    EXPECT_NE(alone.strOut.find(Utf8ToCp932("参考: サイトのフォルダの外を指しています")), std::string::npos);

    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"check"}, {"check", "--deep", dir.Path()}, {"check", dir.File("missing.html")},
          {"check", "--site", dir.File("sub"), dir.File("index.html")}, {"check", "--site"}}) {
        const CToolResult bad = RunTool(args);
        EXPECT_EQ(bad.nStatus, 2) << args.back();
        EXPECT_EQ(bad.strErr.rfind("wrenpad-tool:", 0), 0u) << bad.strErr;
        EXPECT_EQ(bad.strErr.find('\n'), bad.strErr.size() - 1);
    }
}
