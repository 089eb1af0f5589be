// The program folder is seeded with the shipped files without ever replacing
// a file the user already has.
#include "platform/ui/programfolder.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(ProgramFolder, SeedingCopiesOnlyWhatTheUserLacks)
{
    CTempDir shipped;
    CTempDir user;
    WriteFiles(shipped.Path(), {{"usertag.ini", "shipped tags"}, {"WpWebMnu.ini", "shipped menu"},
                                {"templete/page.html", "<html>"}, {"README.md", "about the folder"},
                                {"CMakeLists.txt", "install(DIRECTORY ...)"}, {"desktop/x.desktop", "[Desktop Entry]"},
                                {"help/index.html", "<!DOCTYPE html>"}, {"help/images/main.png", "PNG"},
                                {"man/ja/wrenpad.1", ".TH"}});
    std::filesystem::permissions(shipped.File("usertag.ini"), std::filesystem::perms::owner_read);
    WriteFileBytes(user.File("WpWebMnu.ini"), "the user's own menu");

    const QString strUser = QString::fromStdString(user.Path());
    EXPECT_EQ(SeedProgramFolder(QString::fromStdString(shipped.Path()), strUser), 2);
    EXPECT_EQ(ReadFileBytes(user.File("usertag.ini")), "shipped tags");
    EXPECT_EQ(ReadFileBytes(user.File("templete/page.html")), "<html>");
    EXPECT_EQ(ReadFileBytes(user.File("WpWebMnu.ini")), "the user's own menu");
    // Nor are the files that build or describe the folder; the manual is read where it was installed,
    // never from a stale copy.
    for (const char *pszName : {"README.md", "CMakeLists.txt", "desktop/x.desktop", "help", "man"})
        EXPECT_FALSE(FileExists(user.File(pszName))) << pszName;
    // The user's copy of a read-only shipped file is the user's to change.
    EXPECT_TRUE((std::filesystem::status(user.File("usertag.ini")).permissions() & std::filesystem::perms::owner_write)
                != std::filesystem::perms::none);

    // A second start copies nothing; a missing shipped folder is no error.
    EXPECT_EQ(SeedProgramFolder(QString::fromStdString(shipped.Path()), strUser), 0);
    EXPECT_EQ(SeedProgramFolder(QString::fromStdString(shipped.File("nowhere")), strUser), 0);
}

TEST(ProgramFolder, TemplatesComeOnlyWithANewTemplateFolder)
{
    CTempDir shipped;
    CTempDir user;
    WriteFiles(shipped.Path(), {{"templete/a.html", "a"}, {"templete/b.html", "b"}});
    const QString strShipped = QString::fromStdString(shipped.Path());
    const QString strUser = QString::fromStdString(user.Path());
    EXPECT_EQ(SeedProgramFolder(strShipped, strUser), 2);

    // The user deletes one; a later start (or a newer shipped one) does not bring it back.
    std::filesystem::remove(user.File("templete/a.html"));
    WriteFileBytes(shipped.File("templete/c.html"), "c");
    EXPECT_EQ(SeedProgramFolder(strShipped, strUser), 0);
    EXPECT_EQ(ListDir(user.File("templete")), std::vector<std::string>{"b.html"});
}
