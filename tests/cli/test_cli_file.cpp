// wrenpad-tool roundtrip and info, as scripts call them.
#include "cli/clitest.h"

#include <algorithm>
#include <sys/stat.h>

TEST(CliFile, InfoReportsLinesModeAndReadOnly)
{
    CTempDir dir;
    const std::pair<const char *, std::string> cases[] = {
        {"a\r\nb\r\n", "lines=3 mode=DOS readonly=0 code=SJIS extra=0\n"},
        {"a\nb\r\nc", "lines=3 mode=UNIX readonly=0 code=SJIS extra=0\n"},
        {"a\rb", "lines=2 mode=MAC readonly=0 code=SJIS extra=0\n"},
    };
    for (const auto &[pszBytes, strExpect] : cases) {
        WriteFileBytes(dir.File("f"), pszBytes);
        EXPECT_EQ(Outcome(RunTool({"info", dir.File("f")})), "0|" + strExpect + "|");
    }
    ::chmod(dir.File("f").c_str(), 0444);
    EXPECT_EQ(RunTool({"info", dir.File("f")}).strOut, "lines=2 mode=MAC readonly=1 code=SJIS extra=0\n");
}

TEST(CliFile, RoundTripKeepsBytesAndReportsFailure)
{
    CTempDir dir;
    const std::string bytes("x\ny\r\n\0\x82\n\xFF", 9);
    WriteFileBytes(dir.File("in"), bytes);
    EXPECT_EQ(Outcome(RunTool({"roundtrip", dir.File("in"), dir.File("out")})), "0||");
    EXPECT_EQ(ReadFileBytes(dir.File("out")), bytes);

    // A missing input and an unknown command are every command's (test_cli_status.cpp).
    EXPECT_TRUE(Refused(RunTool({"roundtrip", dir.File("in"), dir.Path()}), 1));
}

TEST(CliFile, InfoAndRoundTripFollowEachFilesCode)
{
    CTempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        // The detection is the core's; one file of each code.
        {"\xE6\xBC\xA2\n\xE3\x80\x9C\n", "UTF8"},
        {"\xEF\xBB\xBFx", "UTF8BOM"},
        {"\xB4\xC1\xBB\xFA\n", "EUC"},
        {"\x1B$B4A\x1B(B\n", "JIS"},
        {"\xE3\x81\x82\xFF\n", "SJIS"},  // not UTF-8 after all
        // Characters Shift-JIS lacks.
        {"<p>\xC2\xA9 caf\xC3\xA9\xC2\xA0\xF0\x9F\x98\x80</p>\n", "UTF8"},
        // Both forms of one Shift-JIS character.
        {"a\n\xE2\x80\x95\xE2\x80\x94\n", "UTF8"},
    };
    for (const auto &[bytes, strCode] : cases) {
        WriteFileBytes(dir.File("in"), bytes);
        const CToolResult info = RunTool({"info", dir.File("in")});
        EXPECT_EQ(info.nStatus, 0);
        EXPECT_NE(info.strOut.find(" code=" + strCode + " extra="), std::string::npos) << info.strOut;
        EXPECT_EQ(Outcome(RunTool({"roundtrip", dir.File("in"), dir.File("out")})), "0||");
        EXPECT_EQ(ReadFileBytes(dir.File("out")), bytes);
    }

    WriteFileBytes(dir.File("in"), "<p>\xC2\xA9 caf\xC3\xA9\xC2\xA0\xF0\x9F\x98\x80\xC2\xA9</p>\n");
    EXPECT_EQ(RunTool({"info", dir.File("in")}).strOut, "lines=2 mode=UNIX readonly=0 code=UTF8 extra=4\n");

    // A file the editor opens read-only is not written, and info says why.
    WriteFileBytes(dir.File("odd"), "a\n\x1B$B\x1B$B4A\x1B(B\n");
    const std::string strWhy = "2 行目のエスケープシーケンスは、保存すると違うバイトになります。\n";
    EXPECT_EQ(Outcome(RunTool({"info", dir.File("odd")})),
              "0|lines=3 mode=UNIX readonly=1 code=JIS extra=0\n|wrenpad-tool: " + dir.File("odd") + ": " + strWhy);
    EXPECT_EQ(Outcome(RunTool({"roundtrip", dir.File("odd"), dir.File("out2")})),
              "1||wrenpad-tool: cannot save " + dir.File("odd") + " without loss: " + strWhy);
    EXPECT_FALSE(FileExists(dir.File("out2")));
}

TEST(CliFile, VersionAndHelpGoToStandardOutputAndHelpListsEveryConvCommand)
{
    const CToolResult version = RunTool({"--version"});
    EXPECT_EQ(version.nStatus, 0);
    EXPECT_EQ(version.strOut.rfind("wrenpad-tool ", 0), 0u) << version.strOut;
    EXPECT_EQ(std::count(version.strOut.begin(), version.strOut.end(), '\n'), 1);
    const CToolResult help = RunTool({"--help"});
    EXPECT_EQ(help.nStatus, 0);
    // The usage lines of the commands with no help test of their own.
    for (const char *pszLine : {"wrenpad-tool --help | --version\n", "  split [--size 0|1|2] FILE [DEST]",
                                "  archive pack ARCHIVE FOLDER", "  imgsize IMAGE\n",
                                "  plugin list [FOLDER...] | run [--document PATH] FILE.wpi INDEX\n"})
        EXPECT_NE(help.strOut.find(pszLine), std::string::npos) << pszLine;
    for (const char *pszID : {"1004 TABWIDTH", "1005", "1006 PREFIX [1]", "6018", "6001", "6007", "6000", "6012",
                              "6010", "6011", "6009", "32796", "6008", "6005 N [1]", "6006", "6002", "6003",
                              "6004", "1244", "1248 STATE", "1261"})
        EXPECT_NE(help.strOut.find(std::string("        ") + pszID + " "), std::string::npos) << pszID;
    // Without a command the usage is an error, one line.
    EXPECT_EQ(RunTool({}).strErr, "wrenpad-tool: a command is needed (wrenpad-tool --help lists them)\n");
}
