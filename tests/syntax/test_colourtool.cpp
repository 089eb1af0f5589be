// The colour subcommand: arguments, line ends and the chaining of states.
#include "support/testutil.h"
#include "text/codec.h"
#include "text/filecode.h"

#include <gtest/gtest.h>

TEST(ColourTool, ChainsStatesOverLinesOfEveryLineEnd)
{
    CTempDir dir;
    // CR line ends: the comment opened on the first line is closed on the third.
    WriteFileBytes(dir.File("mac.c"), "a /* b\r\rc */ d\r");
    const CToolResult mac = RunTool({"colour", dir.File("mac.c")});
    ASSERT_EQ(mac.nStatus, 0) << mac.strErr;
    EXPECT_EQ(mac.strOut, "00000004 0:2 1:9 2:7\n"
                          "00000004\n"
                          "00000000 0:7 4:9\n"
                          "00000000\n");

    // The same bytes as a text file are coloured as links only; --type overrides.
    WriteFileBytes(dir.File("unix.txt"), "/* x@y\n");
    EXPECT_EQ(RunTool({"colour", dir.File("unix.txt")}).strOut, "00000000 0:2 1:2 3:6\n00000000\n");
    EXPECT_EQ(RunTool({"colour", "--type", "0", dir.File("unix.txt")}).strOut,
              "00000004 0:9 0:7\n00000004\n");
}

TEST(ColourTool, RejectsBadArguments)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.c"), "x");
    EXPECT_EQ(RunTool({"colour"}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", "--type", "8", dir.File("a.c")}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", "--type", "1x", dir.File("a.c")}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", "--type"}).nStatus, 2);
    EXPECT_EQ(RunTool({"colour", dir.File("a.c"), dir.File("a.c")}).nStatus, 2);
    const CToolResult missing = RunTool({"colour", dir.File("missing.c")});
    EXPECT_EQ(missing.nStatus, 1);
    EXPECT_NE(missing.strErr.find("cannot read"), std::string::npos);
}

TEST(ColourTool, FilesInOtherCodesAreColouredAsTheEditorReadsThem)
{
    CTempDir dir;
    // Positions count the bytes of the Shift-JIS text: in UTF-8 the tag after
    // 日本語 would start three bytes later.
    const std::string sjis = Utf8ToCp932("<p>日本語<b>ｶﾅ</b></p>\n<!-- 〜 -->\n");
    WriteFileBytes(dir.File("s.html"), sjis);
    const CToolResult expected = RunTool({"colour", dir.File("s.html")});
    ASSERT_EQ(expected.nStatus, 0) << expected.strErr;
    EXPECT_NE(expected.strOut.find(" 10:11 "), std::string::npos) << expected.strOut;  // the b of <b> after 3 + 6 + 1 bytes
    for (const ETextCode eCode : {ETextCode::Utf8, ETextCode::Utf8Bom, ETextCode::Euc, ETextCode::Jis}) {
        std::string coded;
        ASSERT_TRUE(EncodeFileText(sjis, eCode, CTextForms(), coded));
        WriteFileBytes(dir.File("c.html"), coded);
        const CToolResult result = RunTool({"colour", dir.File("c.html")});
        EXPECT_EQ(result.nStatus, 0) << result.strErr;
        EXPECT_EQ(result.strOut, expected.strOut) << TextCodeTag(eCode);
    }
}
