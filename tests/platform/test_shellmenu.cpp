// The file manager's "Wrenpadで編集": which file managers are found, how the
// program's path is written into an entry, and the switch writing and taking
// away its files in a data folder of the test's own.
#include "platform/shellmenu.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void MakeProgram(const std::string &strPath, mode_t nMode)
{
    WriteFileBytes(strPath, "#!/bin/sh\n");
    ASSERT_EQ(chmod(strPath.c_str(), nMode), 0);
}

mode_t ModeOf(const std::string &strPath)
{
    struct stat st;
    return stat(strPath.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string FileOf(const std::string &strData, EShellMenuKind eKind)
{
    return strData + "/" + ShellMenuFileName(eKind);
}

} // namespace

TEST(ShellMenu, TheFileManagersOnThePathSayWhichFilesAreRead)
{
    CTempDir first;
    CTempDir second;
    MakeProgram(first.File("dolphin"), 0755);
    MakeProgram(first.File("nemo"), 0644);  // not a program
    ASSERT_EQ(mkdir(first.File("caja").c_str(), 0755), 0);  // nor is a folder
    EXPECT_EQ(DetectShellMenuKinds(first.Path()), SHELLMENU_OPEN_WITH | SHELLMENU_KDE);
    MakeProgram(second.File("caja"), 0755);
    EXPECT_EQ(DetectShellMenuKinds(":relative:" + first.Path() + "::" + second.Path()),
              SHELLMENU_OPEN_WITH | SHELLMENU_KDE | SHELLMENU_ACTIONS);
    MakeProgram(second.File("nautilus"), 0755);
    MakeProgram(second.File("nemo"), 0755);
    EXPECT_EQ(DetectShellMenuKinds(second.Path()), SHELLMENU_OPEN_WITH | SHELLMENU_ACTIONS | SHELLMENU_NEMO);
    EXPECT_EQ(DetectShellMenuKinds(""), 0u);
    // A relative entry is never searched, even when it names a folder that has one.
    EXPECT_EQ(DetectShellMenuKinds("."), 0u);
}

TEST(ShellMenu, TheProgramsPathIsQuotedAsAnExecLineWantsIt)
{
    std::string strQuoted;
    ASSERT_TRUE(DesktopExecProgram("/usr/bin/wrenpad", strQuoted));
    EXPECT_EQ(strQuoted, "\"/usr/bin/wrenpad\"");
    // Inside the quotes " ` $ \ are escaped, then every backslash is doubled
    // as in any string value, and a percent sign is doubled as no field code.
    ASSERT_TRUE(DesktopExecProgram("/opt/my apps/a\"b`c$d\\e%f/ワープロ", strQuoted));
    EXPECT_EQ(strQuoted, "\"/opt/my apps/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f/ワープロ\"");
    EXPECT_FALSE(DesktopExecProgram("wrenpad", strQuoted));
    EXPECT_FALSE(DesktopExecProgram("/opt/line\nbreak", strQuoted));
    EXPECT_FALSE(DesktopExecProgram("", strQuoted));
}

TEST(ShellMenu, TheSwitchWritesItsFilesAndTakesAwayOnlyItsOwn)
{
    CTempDir data;
    std::string strError;
    ASSERT_TRUE(InstallShellMenu(data.Path(), "/opt/wren pad/wrenpad", SHELLMENU_ALL, strError)) << strError;
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), static_cast<unsigned>(SHELLMENU_ALL));
    for (const EShellMenuKind eKind : {SHELLMENU_OPEN_WITH, SHELLMENU_ACTIONS, SHELLMENU_KDE, SHELLMENU_NEMO}) {
        const std::string strText = ReadFileBytes(FileOf(data.Path(), eKind));
        EXPECT_NE(strText.find("\nName=Wrenpadで編集\n"), std::string::npos) << eKind;
        EXPECT_NE(strText.find("\nExec=\"/opt/wren pad/wrenpad\" %F\n"), std::string::npos) << eKind;
    }
    EXPECT_NE(ReadFileBytes(FileOf(data.Path(), SHELLMENU_OPEN_WITH)).find("\nNoDisplay=true\n"), std::string::npos);
    // Service menus in the user's folder are used only when executable.
    EXPECT_EQ(ModeOf(FileOf(data.Path(), SHELLMENU_KDE)), 0755u);
    EXPECT_EQ(ModeOf(FileOf(data.Path(), SHELLMENU_NEMO)), 0644u);

    // Installing for fewer file managers takes the other files away.
    ASSERT_TRUE(InstallShellMenu(data.Path(), "/usr/bin/wrenpad", SHELLMENU_OPEN_WITH, strError));
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), static_cast<unsigned>(SHELLMENU_OPEN_WITH));
    EXPECT_FALSE(FileExists(FileOf(data.Path(), SHELLMENU_KDE)));

    // A file of that name that is not ours is neither replaced nor removed,
    // and a failed switch leaves nothing of ours behind.
    const std::string strForeign = FileOf(data.Path(), SHELLMENU_NEMO);
    WriteFileBytes(strForeign, "[Nemo Action]\nName=mine\n");
    EXPECT_FALSE(InstallShellMenu(data.Path(), "/usr/bin/wrenpad", SHELLMENU_ALL, strError));
    EXPECT_NE(strError.find("was not written by Wrenpad"), std::string::npos) << strError;
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), 0u);
    EXPECT_EQ(ReadFileBytes(strForeign), "[Nemo Action]\nName=mine\n");
    ASSERT_TRUE(InstallShellMenu(data.Path(), "/usr/bin/wrenpad", SHELLMENU_OPEN_WITH, strError));
    EXPECT_TRUE(RemoveShellMenu(data.Path()));
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), 0u);
    EXPECT_EQ(ReadFileBytes(strForeign), "[Nemo Action]\nName=mine\n");
    // Nothing half-written is left beside the files.
    for (const char *pszFolder : {"applications", "file-manager/actions", "kio/servicemenus", "nemo/actions"})
        for (const std::string &strName : ListDir(data.Path() + "/" + pszFolder))
            EXPECT_EQ(strName.find(".desktop."), std::string::npos) << strName;
}

TEST(ShellMenu, FoldersThatCannotBeMadeAreReported)
{
    CTempDir dir;
    WriteFileBytes(dir.File("file"), "");
    std::string strError;
    EXPECT_FALSE(InstallShellMenu(dir.File("file") + "/share", "/usr/bin/wrenpad", SHELLMENU_ALL, strError));
    EXPECT_FALSE(strError.empty());
    EXPECT_FALSE(InstallShellMenu("relative/share", "/usr/bin/wrenpad", SHELLMENU_ALL, strError));
    EXPECT_FALSE(InstallShellMenu(dir.Path(), "wrenpad", SHELLMENU_ALL, strError));
    EXPECT_EQ(InstalledShellMenuKinds(dir.Path()), 0u);
}

TEST(ShellMenu, TheOpenWithEntryIsAValidDesktopFile)
{
    CTempDir data;
    std::string strError;
    ASSERT_TRUE(InstallShellMenu(data.Path(), "/opt/wren pad/wren$pad", SHELLMENU_OPEN_WITH, strError));
    const CToolResult checked = RunProgram({"desktop-file-validate", FileOf(data.Path(), SHELLMENU_OPEN_WITH)});
    EXPECT_EQ(checked.nStatus, 0) << checked.strOut << checked.strErr;
    EXPECT_EQ(checked.strOut.find("error"), std::string::npos) << checked.strOut;
}
