// The explorer's file side: listing a folder for the tree,
// new items with their "(n)" names, copies of templates, renaming, deleting
// for good, and the character-code guess of the properties.
#include "explorer/explorerfiles.h"
#include "support/testutil.h"
#include "text/filecodeguess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<std::string> Names(const CFolderListing &listing)
{
    std::vector<std::string> names;
    for (const CExplorerEntry &entry : listing.aEntries)
        names.push_back(entry.bFolder ? entry.strName + "/" : entry.strName);
    return names;
}

void MakeFolder(const std::string &strPath)
{
    ASSERT_EQ(::mkdir(strPath.c_str(), 0777), 0) << strPath;
}

bool IsFolder(const std::string &strPath)
{
    struct stat st;
    return ::stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

TEST(ExplorerFiles, ListingShowsFoldersFirstThenFilteredFilesInCaseBlindOrder)
{
    CTempDir dir;
    for (const char *pszFolder : {"img", "Css", ".git", "zz"})
        MakeFolder(dir.File(pszFolder));
    for (const char *pszFile : {"b.html", "A.HTML", "a.html", "c.txt", "photo.jpg", ".htaccess", "\xE3\x81\x82.html"})
        WriteFileBytes(dir.File(pszFile), "x");
    ASSERT_EQ(::symlink("img", dir.File("link-to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere.html", dir.File("dangling.html").c_str()), 0);

    const CFolderListing html = ListExplorerFolder(dir.Path(), CExtensionList("html"), true);
    EXPECT_EQ(html.nError, 0);
    EXPECT_EQ(Names(html), (std::vector<std::string>{"Css/", "img/", "link-to-folder/", "zz/", "A.HTML", "a.html",
                                                     "b.html", "dangling.html", "\xE3\x81\x82.html"}));
    EXPECT_TRUE(html.aEntries[2].bLink);
    EXPECT_TRUE(html.aEntries[7].bLink);

    // An empty filter lists every file; hidden names never show.
    const CFolderListing all = ListExplorerFolder(dir.Path(), CExtensionList(), true);
    EXPECT_EQ(all.aEntries.size(), 11u);
    // Without files, folders only.
    EXPECT_EQ(Names(ListExplorerFolder(dir.Path(), CExtensionList(), false)),
              (std::vector<std::string>{"Css/", "img/", "link-to-folder/", "zz/"}));

    EXPECT_EQ(ListExplorerFolder(dir.File("missing"), CExtensionList(), true).nError, ENOENT);
    const std::atomic<bool> bCancel = true;
    for (int i = 0; i < 600; ++i)
        WriteFileBytes(dir.File("f" + std::to_string(i) + ".txt"), "");
    EXPECT_TRUE(ListExplorerFolder(dir.Path(), CExtensionList(), true, &bCancel).bCancelled);
}

TEST(ExplorerFiles, AFolderHasAnExpandButtonOnlyForWhatTheTreeWouldShow)
{
    CTempDir dir;
    const CExtensionList html("html");
    MakeFolder(dir.File("empty"));
    EXPECT_FALSE(FolderHasShownEntries(dir.File("empty"), html, true));
    MakeFolder(dir.File("hidden"));
    WriteFileBytes(dir.File("hidden/.profile"), "");
    EXPECT_FALSE(FolderHasShownEntries(dir.File("hidden"), CExtensionList(), true));
    MakeFolder(dir.File("other"));
    WriteFileBytes(dir.File("other/a.gif"), "");
    EXPECT_FALSE(FolderHasShownEntries(dir.File("other"), html, true));
    EXPECT_TRUE(FolderHasShownEntries(dir.File("other"), CExtensionList(), true));
    EXPECT_FALSE(FolderHasShownEntries(dir.File("other"), CExtensionList(), false));
    MakeFolder(dir.File("other/sub"));
    EXPECT_TRUE(FolderHasShownEntries(dir.File("other"), html, false));
    EXPECT_FALSE(FolderHasShownEntries(dir.File("missing"), html, true));
}

TEST(ExplorerFiles, NewItemsTakeTheFirstFreeNameAndFailAfterNinetyEight)
{
    CTempDir dir;
    for (const char *pszExpected : {"新しいフォルダ", "新しいフォルダ (1)", "新しいフォルダ (2)"}) {
        const CFileOpResult result = CreateNewFolder(dir.Path(), "新しいフォルダ");
        ASSERT_TRUE(result.bOk) << result.nError;
        EXPECT_EQ(result.strPath, dir.File(pszExpected));
        EXPECT_TRUE(IsFolder(result.strPath));
    }
    // Any item in the way counts: a file takes a folder's name, a dangling link a file's.
    WriteFileBytes(dir.File("x"), "");
    EXPECT_EQ(CreateNewFolder(dir.Path(), "x").strPath, dir.File("x (1)"));
    ASSERT_EQ(::symlink("gone", dir.File("t.txt").c_str()), 0);
    const CFileOpResult afterLink = CreateNewFile(dir.Path(), "t", ".txt", "new");
    EXPECT_EQ(afterLink.strPath, dir.File("t (1).txt"));
    EXPECT_FALSE(FileExists(dir.File("gone")));

    // Every name up to (98) taken: nothing is created and nothing replaced.
    WriteFileBytes(dir.File("n.txt"), "keep");
    for (int n = 1; n <= NEW_NAME_LAST; ++n)
        WriteFileBytes(dir.File("n (" + std::to_string(n) + ").txt"), "keep");
    const std::size_t nBefore = ListDir(dir.Path()).size();
    const CFileOpResult full = CreateNewFile(dir.Path(), "n", ".txt", "new");
    EXPECT_TRUE(!full.bOk && full.nError == EEXIST) << full.nError;
    EXPECT_EQ(full.strPath, dir.File("n (98).txt"));
    EXPECT_EQ(ListDir(dir.Path()).size(), nBefore);
    EXPECT_EQ(ReadFileBytes(dir.File("n (98).txt")) + ReadFileBytes(dir.File("n.txt")), "keepkeep");
    // (99) is never tried.
    WriteFileBytes(dir.File("d"), "");
    for (int n = 1; n <= NEW_NAME_LAST; ++n)
        MakeFolder(dir.File("d (" + std::to_string(n) + ")"));
    EXPECT_FALSE(CreateNewFolder(dir.Path(), "d").bOk);
    EXPECT_FALSE(FileExists(dir.File("d (99)")));
}

TEST(ExplorerFiles, NewFilesHoldTheirBytesOrAreNotThereAtAll)
{
    CTempDir dir;
    const std::string strHtml = "<html>\r\n<head>\r\n<title></title>\r\n</head>\r\n<body>\r\n\r\n</body>\r\n</html>";
    const CFileOpResult html = CreateNewFile(dir.Path(), "新規HTML", ".html", strHtml);
    ASSERT_TRUE(html.bOk);
    EXPECT_EQ(ReadFileBytes(html.strPath), strHtml);
    EXPECT_EQ(ReadFileBytes(CreateNewFile(dir.Path(), "新規テキスト", ".txt", "").strPath), "");

    // A folder that cannot be written to.
    EXPECT_EQ(CreateNewFile(dir.File("missing"), "a", ".txt", "").nError, ENOENT);

    // A file that cannot be written whole (the size limit stands in for a
    // full disk) is removed again. In a child, since the limit is per process.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10, 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const CFileOpResult big = CreateNewFile(dir.Path(), "big", ".txt", std::string(100, 'x'));
        ::_exit(!big.bOk && big.nError == EFBIG && ::access(dir.File("big.txt").c_str(), F_OK) != 0 ? 0 : 1);
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0);
    EXPECT_FALSE(FileExists(dir.File("big.txt")));
}

TEST(ExplorerFiles, TemplateCopiesKeepEveryByteAndNeverReplaceAFile)
{
    CTempDir dir;
    std::string strTemplate = "<p>\x82\xA0\x5C</p>\r\n";
    strTemplate += std::string(1, '\0');
    strTemplate += std::string(100000, 'x');
    WriteFiles(dir.Path(), {{"templete/基本.html", strTemplate}});

    std::string strName;
    std::string strExt;
    SplitTemplateName("基本.html", strName, strExt);
    EXPECT_EQ(strName + "|" + strExt, "基本|.html");
    SplitTemplateName("ひな形", strName, strExt);
    EXPECT_EQ(strName + "|" + strExt, "ひな形|.txt");
    SplitTemplateName(".hidden", strName, strExt);
    EXPECT_EQ(strName + "|" + strExt, ".hidden|.txt");

    WriteFileBytes(dir.File("基本.html"), "mine");
    const CFileOpResult copy = CopyNewFile(dir.File("templete/基本.html"), dir.Path(), "基本", ".html");
    ASSERT_TRUE(copy.bOk);
    EXPECT_EQ(copy.strPath, dir.File("基本 (1).html"));
    EXPECT_EQ(ReadFileBytes(copy.strPath), strTemplate);
    EXPECT_EQ(ReadFileBytes(dir.File("基本.html")), "mine");

    // A source that cannot be read creates nothing.
    const std::size_t nBefore = ListDir(dir.Path()).size();
    EXPECT_EQ(CopyNewFile(dir.File("templete/gone.html"), dir.Path(), "gone", ".html").nError, ENOENT);
    EXPECT_EQ(CopyNewFile(dir.File("templete"), dir.Path(), "templete", ".txt").nError, EISDIR);
    EXPECT_EQ(ListDir(dir.Path()).size(), nBefore);
}

TEST(ExplorerFiles, RenamingNeverReplacesAnotherItemAndACaseChangeIsARename)
{
    CTempDir dir;
    WriteFileBytes(dir.File("page.html"), "page");
    WriteFileBytes(dir.File("other.html"), "other");
    std::string strNewPath;
    int nError = 0;

    EXPECT_EQ(RenameExplorerItem(dir.File("page.html"), "page.html", strNewPath, nError), RENAME_UNCHANGED);
    for (const char *pszBad : {"", ".", "..", "a/b"})
        EXPECT_EQ(RenameExplorerItem(dir.File("page.html"), pszBad, strNewPath, nError), RENAME_INVALID_NAME) << pszBad;
    EXPECT_EQ(RenameExplorerItem(dir.File("page.html"), std::string("a\0b", 3), strNewPath, nError),
              RENAME_INVALID_NAME);

    EXPECT_EQ(RenameExplorerItem(dir.File("page.html"), "other.html", strNewPath, nError), RENAME_EXISTS);
    EXPECT_EQ(ReadFileBytes(dir.File("page.html")) + ReadFileBytes(dir.File("other.html")), "pageother");

    // Names here are case-sensitive: only the case changes, and it is done.
    ASSERT_EQ(RenameExplorerItem(dir.File("page.html"), "Page.HTML", strNewPath, nError), RENAME_DONE);
    EXPECT_EQ(strNewPath, dir.File("Page.HTML"));
    EXPECT_EQ(ReadFileBytes(dir.File("Page.HTML")), "page");
    EXPECT_FALSE(FileExists(dir.File("page.html")));

    // A folder goes with what is in it.
    WriteFiles(dir.Path(), {{"site/index.html", "index"}});
    ASSERT_EQ(RenameExplorerItem(dir.File("site"), "サイト", strNewPath, nError), RENAME_DONE);
    EXPECT_EQ(ReadFileBytes(dir.File("サイト/index.html")), "index");

    EXPECT_EQ(RenameExplorerItem(dir.File("gone.txt"), "new.txt", strNewPath, nError), RENAME_FAILED);
    EXPECT_EQ(nError, ENOENT);
}

TEST(ExplorerFiles, DeletingForGoodTakesTheFolderButNeverFollowsALink)
{
    CTempDir dir;
    WriteFiles(dir.Path(), {{"outside/keep.txt", "keep"}, {"site/index.html", "x"}, {"site/img/a.gif", "x"}});
    ASSERT_EQ(::symlink(dir.File("outside").c_str(), dir.File("site/link").c_str()), 0);

    EXPECT_EQ(DeleteTree(dir.File("site")), 0);
    EXPECT_FALSE(FileExists(dir.File("site")));
    EXPECT_EQ(ReadFileBytes(dir.File("outside/keep.txt")), "keep");

    WriteFileBytes(dir.File("one.txt"), "x");
    EXPECT_EQ(DeleteTree(dir.File("one.txt")), 0);
    EXPECT_FALSE(FileExists(dir.File("one.txt")));
    EXPECT_EQ(DeleteTree(dir.File("one.txt")), ENOENT);
}

TEST(FileCodeGuess, JapaneseCodesAndUtf8AreToldApart)
{
    // "日本語のテキスト" in each code.
    const std::string strSjis = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67";
    const std::string strEuc = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8";
    const std::string strJis = "\x1B$BF|K\\8l$N%F%-%9%H\x1B(B";
    const std::string strUtf8 = "日本語のテキスト";
    EXPECT_EQ(GuessFileCode(strSjis, true), FILECODE_SJIS);
    EXPECT_EQ(GuessFileCode(strEuc, true), FILECODE_EUC);
    EXPECT_EQ(GuessFileCode(strJis, true), FILECODE_JIS);
    EXPECT_EQ(GuessFileCode(strUtf8, true), FILECODE_UTF8);
    EXPECT_EQ(GuessFileCode("\xEF\xBB\xBF" + strUtf8, true), FILECODE_UTF8_BOM);
    EXPECT_EQ(GuessFileCode(std::string("\xFF\xFE" "a\0", 4), true), FILECODE_UTF16);
    EXPECT_EQ(GuessFileCode("<html>\r\n", true), FILECODE_ASCII);
    EXPECT_EQ(GuessFileCode("", true), FILECODE_EMPTY);
    EXPECT_EQ(GuessFileCode(std::string("GIF89a\0\x01", 8), true), FILECODE_BINARY);

    // Half-width katakana in Shift-JIS pair up like EUC kanji; they are
    // guessed as opening the file reads them. An EUC sample cut inside a
    // character stays EUC.
    EXPECT_EQ(GuessFileCode("\xB1\xB2\xB3\xB4\r\n", true), FILECODE_SJIS);
    EXPECT_EQ(GuessFileCode(strEuc + "\n" + strEuc.substr(0, 3), false), FILECODE_EUC);

    // A sample cut inside a character is still UTF-8; a whole file cut so is not.
    const std::string strCut = strUtf8.substr(0, strUtf8.size() - 1);
    EXPECT_EQ(GuessFileCode(strCut, false), FILECODE_UTF8);
    EXPECT_NE(GuessFileCode(strCut, true), FILECODE_UTF8);
    // Overlong forms and surrogates are not UTF-8.
    EXPECT_NE(GuessFileCode("a\xC0\xAF", true), FILECODE_UTF8);
    EXPECT_NE(GuessFileCode("a\xED\xA0\x80", true), FILECODE_UTF8);
    EXPECT_STREQ(FileCodeGuessName(FILECODE_SJIS), "Shift-JIS");
}

TEST(FileCodeGuess, FilesAreSampledAndPipesAreNeverWaitedFor)
{
    CTempDir dir;
    // A UTF-8 character cut by the end of the 64 KB sample does not count
    // against the file.
    std::string strLong = "日" + std::string(64 * 1024 - 4, 'a') + "日本";
    WriteFileBytes(dir.File("long.txt"), strLong);
    EXPECT_EQ(GuessCodeOfFile(dir.File("long.txt")), FILECODE_UTF8);
    WriteFileBytes(dir.File("sjis.txt"), "\x82\xA0\x82\xA2");
    EXPECT_EQ(GuessCodeOfFile(dir.File("sjis.txt")), FILECODE_SJIS);
    EXPECT_EQ(GuessCodeOfFile(dir.File("missing")), FILECODE_UNKNOWN);
    EXPECT_EQ(GuessCodeOfFile(dir.Path()), FILECODE_UNKNOWN);
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(GuessCodeOfFile(dir.File("pipe")), FILECODE_UNKNOWN);

    EXPECT_EQ(FormatPermissions(0644) + " " + FormatPermissions(04755) + " " + FormatPermissions(01777) + " "
                  + FormatPermissions(02640),
              "rw-r--r-- rwsr-xr-x rwxrwxrwt rw-r-S---");
}
