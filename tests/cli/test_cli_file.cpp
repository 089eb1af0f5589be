// wrenpad-tool roundtrip and info, as scripts call them.
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

TEST(CliFile, InfoReportsLinesModeAndReadOnly)
{
    CTempDir dir;
    const struct
    {
        const char *pszBytes;
        const char *pszExpect;
    } cases[] = {
        {"", "lines=1 mode=DOS readonly=0\n"},
        {"a\r\nb\r\n", "lines=3 mode=DOS readonly=0\n"},
        {"a\nb\r\nc", "lines=3 mode=UNIX readonly=0\n"},
        {"a\rb", "lines=2 mode=MAC readonly=0\n"},
    };
    for (const auto &c : cases) {
        WriteFileBytes(dir.File("f"), c.pszBytes);
        const CToolResult r = RunTool({"info", dir.File("f")});
        EXPECT_EQ(r.nStatus, 0);
        EXPECT_EQ(r.strOut, c.pszExpect);
    }
    ::chmod(dir.File("f").c_str(), 0444);
    EXPECT_EQ(RunTool({"info", dir.File("f")}).strOut, "lines=2 mode=MAC readonly=1\n");
}

TEST(CliFile, RoundTripKeepsBytesAndReportsFailure)
{
    CTempDir dir;
    const std::string bytes("x\ny\r\n\0\x82\n\xFF", 9);
    WriteFileBytes(dir.File("in"), bytes);
    CToolResult r = RunTool({"roundtrip", dir.File("in"), dir.File("out")});
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strErr, "");
    EXPECT_EQ(ReadFileBytes(dir.File("out")), bytes);

    r = RunTool({"roundtrip", dir.File("missing"), dir.File("out2")});
    EXPECT_NE(r.nStatus, 0);
    EXPECT_EQ(std::count(r.strErr.begin(), r.strErr.end(), '\n'), 1);
    EXPECT_FALSE(FileExists(dir.File("out2")));

    r = RunTool({"roundtrip", dir.File("in"), dir.Path()});
    EXPECT_NE(r.nStatus, 0);
    EXPECT_EQ(std::count(r.strErr.begin(), r.strErr.end(), '\n'), 1);

    EXPECT_EQ(RunTool({"roundtrip", dir.File("in")}).nStatus, 2);
    EXPECT_EQ(RunTool({"no-such-command"}).nStatus, 2);
}

TEST(CliFile, VersionAndHelpGoToStandardOutput)
{
    const CToolResult version = RunTool({"--version"});
    EXPECT_EQ(version.nStatus, 0);
    EXPECT_EQ(version.strOut.rfind("wrenpad-tool ", 0), 0u) << version.strOut;
    EXPECT_EQ(std::count(version.strOut.begin(), version.strOut.end(), '\n'), 1);
    const CToolResult help = RunTool({"--help"});
    EXPECT_EQ(help.nStatus, 0);
    EXPECT_NE(help.strOut.find("wrenpad-tool --help | --version\n"), std::string::npos);
    // Without a command the usage is an error.
    const CToolResult none = RunTool({});
    EXPECT_EQ(none.nStatus, 2);
    EXPECT_EQ(none.strOut, "");
}
