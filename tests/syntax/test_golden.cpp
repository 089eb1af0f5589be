// Whole documents through `wrenpad-tool colour`, compared with the checked-in
// output. On a mismatch the actual output is written beside the expected file
// as <name>.new, so that the two can be compared with diff.
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string s_strDir = std::string(WP_TEST_DATA_DIR) + "/syntax/";

void ExpectGolden(const std::string &strInput, const char *pszType, const std::string &strExpected)
{
    std::vector<std::string> args = {"colour"};
    if (pszType != nullptr)
        args.insert(args.end(), {"--type", pszType});
    args.push_back(s_strDir + strInput);
    const CToolResult result = RunTool(args);
    ASSERT_EQ(result.nStatus, 0) << result.strErr;
    const std::string strExpectedPath = s_strDir + strExpected;
    const std::string strNewPath = strExpectedPath + ".new";
    if (!FileExists(strExpectedPath) || result.strOut != ReadFileBytes(strExpectedPath)) {
        WriteFileBytes(strNewPath, result.strOut);
        ADD_FAILURE() << "colouring of " << strInput << " differs: diff " << strExpectedPath << " "
                      << strNewPath;
    } else {
        std::remove(strNewPath.c_str());
    }
}

} // namespace

// The type comes from the extension, as when the file is opened.
TEST(ColourGolden, HtmlPage) { ExpectGolden("page.html", nullptr, "page.html.colour"); }
TEST(ColourGolden, HtmlPageSimple) { ExpectGolden("page.html", "3", "page.html.simple.colour"); }
TEST(ColourGolden, CppSource) { ExpectGolden("sample.cpp", nullptr, "sample.cpp.colour"); }
TEST(ColourGolden, JavaSource) { ExpectGolden("Hello.java", nullptr, "Hello.java.colour"); }
TEST(ColourGolden, PerlScript) { ExpectGolden("bbs.cgi", nullptr, "bbs.cgi.colour"); }
TEST(ColourGolden, VbModule) { ExpectGolden("Module1.bas", nullptr, "Module1.bas.colour"); }
TEST(ColourGolden, PascalUnit) { ExpectGolden("Hyouji.pas", nullptr, "Hyouji.pas.colour"); }
TEST(ColourGolden, PlainText) { ExpectGolden("readme.txt", nullptr, "readme.txt.colour"); }
TEST(ColourGolden, PlainTextNoKeywords) { ExpectGolden("readme.txt", "4", "readme.txt.plain.colour"); }
