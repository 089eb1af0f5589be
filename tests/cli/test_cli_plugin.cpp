// plugin and imgsize as scripts call them: the listing, a command run on a
// selection from standard input, and an image size through the image-map
// plug-in.
#include "support/plugintest.h"
#include "cli/clitest.h"

#include <algorithm>

TEST(CliPlugin, ListShowsEveryCommandWithItsMenuId)
{
    CTempDir dir;
    const std::string strPath = InstallPluginFile(dir.Path(), "t.wpi", WP_TEST_PLUGIN);
    const CToolResult r = RunTool({"plugin", "list", dir.Path()});
    ASSERT_EQ(r.nStatus, 0) << r.strErr;
    // Index 1 fails: the second line is index 2, menu command 7001. Menu
    // texts come out in UTF-8.
    EXPECT_EQ(r.strOut.substr(0, r.strOut.find('\n') + 1),
              "7000\t" + strPath + "\t0\t1\tTestUpper\t大文字\tabout TestUpper\n");
    EXPECT_NE(r.strOut.find("7001\t" + strPath + "\t2\t2\tTestWrap\twrap\tabout TestWrap\n"), std::string::npos);
    EXPECT_EQ(std::count(r.strOut.begin(), r.strOut.end(), '\n'), 13);

    // Without folders: the user's program folder, then the plug-ins beside the tool.
    CTempDir data;
    ASSERT_EQ(RunProgram({"mkdir", "-p", data.Path() + "/Orvane Applet/Wrenpad"}).nStatus, 0);
    InstallPluginFile(data.Path() + "/Orvane Applet/Wrenpad", "t.wpi", WP_TEST_PLUGIN);
    CEnvironment home("XDG_DATA_HOME", data.Path());
    const CToolResult standard = RunTool({"plugin", "list"});
    ASSERT_EQ(standard.nStatus, 0) << standard.strErr;
    EXPECT_EQ(standard.strOut.find("7000\t" + data.Path() + "/Orvane Applet/Wrenpad/t.wpi\t0\t"), 0u)
        << standard.strOut;
    EXPECT_NE(standard.strOut.find("7013\t"), std::string::npos);
    EXPECT_NE(standard.strOut.find("/WpSample.wpi\t1\t0\tWpEraDate\t和暦の日付\t"), std::string::npos)
        << standard.strOut;
}

TEST(CliPlugin, RunWritesWhatTheSelectionBecomes)
{
    CTempDir dir;
    const std::string strPath = InstallPluginFile(dir.Path(), "t.wpi", WP_TEST_PLUGIN);
    EXPECT_EQ(Outcome(RunTool({"plugin", "run", strPath, "0"}, "abc\r\n\x83\x5c")), "0|ABC\r\n\x83\x5c|");
    EXPECT_EQ(RunTool({"plugin", "run", "--document", "/srv/a.html", strPath, "8"}, "").strOut, "doc=/srv/a.html");

    // Declining gives the selection back unchanged, and fails.
    EXPECT_EQ(Outcome(RunTool({"plugin", "run", strPath, "3"}, "abc")),
              "1|abc|wrenpad-tool: the plug-in inserted nothing\n");
    // Failures say what the editor says.
    EXPECT_EQ(Outcome(RunTool({"plugin", "run", strPath, "0"}, "")), "1||wrenpad-tool: 文字列が選択されてません。\n");
    WriteFileBytes(dir.File("bad.wpi"), "not a shared object");
    EXPECT_EQ(Outcome(RunTool({"plugin", "run", dir.File("bad.wpi"), "0"}, "abc")),
              "1||wrenpad-tool: プラグインの初期化に失敗しました。\n");
    EXPECT_EQ(Outcome(RunTool({"plugin", "run", strPath, "1"}, "abc")),
              "1||wrenpad-tool: " + strPath + " has no command 1\n");

    // A plug-in named without a folder is the one in the current folder.
    const CToolResult r = RunProgram(
        {"sh", "-c", "cd \"$1\" && echo -n xyz | \"$2\" plugin run t.wpi 0", "sh", dir.Path(), WP_TOOL_PATH});
    EXPECT_EQ(r.strOut, "XYZ");
}

TEST(CliPlugin, ImageSizeThroughTheImageMapPlugin)
{
    CTempDir dir;
    ASSERT_EQ(RunProgram({"convert", "-size", "29x13", "xc:white", dir.File("a.png")}).nStatus, 0);
    EXPECT_EQ(Outcome(RunTool({"imgsize", dir.File("a.png")})), "0|29 13\n|");
    WriteFileBytes(dir.File("text.png"), "not an image");
    EXPECT_EQ(Outcome(RunTool({"imgsize", dir.File("text.png")})),
              "1||wrenpad-tool: " + dir.File("text.png")
                  + ": no image size found (PNG, GIF, JPEG, BMP and WebP are known)\n");
}
