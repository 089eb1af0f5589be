// split and archive as scripts call them: arguments, output and exit status.
#include "cli/clitest.h"

TEST(CliFileTools, SplitExitsWithTheResultCode)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.bin"), std::string(1500000, 'a'));
    EXPECT_EQ(Outcome(RunTool({"split", "--size", "0", dir.File("a.bin"), dir.File("parts")})),
              "0||" + dir.File("a.bin") + ": 3個ファイルに分割しました。(*.001～)\n分割ファイルを結合するにはバッチファイルを実行してください。\n");
    EXPECT_TRUE(FileExists(dir.File("parts/a.003")));
    EXPECT_TRUE(FileExists(dir.File("parts/a.sh")));

    // The default is the 1.44MB size, beside the file.
    EXPECT_EQ(RunTool({"split", dir.File("a.bin")}).nStatus, 0);
    EXPECT_TRUE(FileExists(dir.File("a.002")));
    EXPECT_FALSE(FileExists(dir.File("a.003")));

    // Every failure is status 1 with the editor's message on one line.
    WriteFileBytes(dir.File("small"), "x");
    EXPECT_EQ(Outcome(RunTool({"split", dir.File("small")})),
              "1||wrenpad-tool: " + dir.File("small") + ": ファイルは、分割する必要がありません。\n");
    EXPECT_EQ(Outcome(RunTool({"split", dir.File("a.bin"), dir.File("small/sub")})),
              "1||wrenpad-tool: " + dir.File("a.bin") + ": 新規フォルダの作成に失敗しました。\n");
}

TEST(CliFileTools, ArchivePackListUnpack)
{
    CTempDir dir;
    WriteFiles(dir.File("src"), {{"フォルダ/日本語.txt", "日本語"}, {"other.txt", "other"}});
    for (const char *pszName : {"a.lzh", "a.zip"}) {
        CToolResult r = RunTool({"archive", "pack", dir.File(pszName), dir.File("src")});
        EXPECT_EQ(r.nStatus, 0) << r.strOut << r.strErr;
        r = RunTool({"archive", "list", dir.File(pszName)});
        EXPECT_EQ(r.nStatus, 0);
        EXPECT_NE(r.strOut.find("フォルダ/日本語.txt\n"), std::string::npos) << r.strOut;
        const std::string strDest = dir.File(std::string("out-") + pszName);
        r = RunTool({"archive", "unpack", dir.File(pszName), strDest});
        EXPECT_EQ(r.nStatus, 0) << r.strOut;
        EXPECT_EQ(ReadFileBytes(strDest + "/フォルダ/日本語.txt"), "日本語");
        // Existing files are kept, and that is not a full success.
        WriteFileBytes(strDest + "/other.txt", "changed");
        r = RunTool({"archive", "unpack", dir.File(pszName), strDest});
        EXPECT_EQ(r.nStatus, 1);
        EXPECT_EQ(ReadFileBytes(strDest + "/other.txt"), "changed");
        EXPECT_EQ(RunTool({"archive", "unpack", "--overwrite", dir.File(pszName), strDest}).nStatus, 0);
        EXPECT_EQ(ReadFileBytes(strDest + "/other.txt"), "other");
    }
    // Chosen files below a base.
    EXPECT_EQ(RunTool({"archive", "pack", dir.File("b.lzh"), dir.File("src"), "other.txt"}).nStatus, 0);
    const CToolResult r = RunTool({"archive", "list", dir.File("b.lzh")});
    EXPECT_NE(r.strOut.find("1個のファイル, 0個のフォルダー"), std::string::npos) << r.strOut;

    EXPECT_EQ(RunTool({"archive", "pack", dir.File("c.lzh"), dir.File("nothing")}).nStatus, 1);
    EXPECT_FALSE(FileExists(dir.File("c.lzh")));
}
