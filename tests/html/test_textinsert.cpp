// What the insertion commands insert: relative links, dates and file text.
#include "html/textinsert.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

TEST(TextInsert, RelativeLinksClimbOnlyOutOfFoldersNotShared)
{
    const std::string doc = "/site/docs/index.html";
    EXPECT_EQ(RelativeLinkPath(doc, "/site/docs/page.html"), "page.html");
    EXPECT_EQ(RelativeLinkPath(doc, "/site/docs/img/logo.gif"), "img/logo.gif");
    EXPECT_EQ(RelativeLinkPath(doc, "/site/top.html"), "../top.html");
    EXPECT_EQ(RelativeLinkPath(doc, "/site/img/a/b.png"), "../img/a/b.png");
    EXPECT_EQ(RelativeLinkPath(doc, "/other/x.txt"), "../../other/x.txt");
    // Folders compare whole: "doc" is no part of "docs".
    EXPECT_EQ(RelativeLinkPath(doc, "/site/doc/x.html"), "../doc/x.html");
    EXPECT_EQ(RelativeLinkPath(doc, "/site/Docs/x.html"), "../Docs/x.html");
    // Paths are taken in their normal form.
    EXPECT_EQ(RelativeLinkPath("/site//docs/./index.html", "/site/img/../docs/x.html"), "x.html");
    EXPECT_EQ(RelativeLinkPath("/index.html", "/a/b.html"), "a/b.html");
    EXPECT_EQ(RelativeLinkPath("/a/index.html", "/b.html"), "../b.html");
    // Names keep every byte they have, a colon too.
    EXPECT_EQ(RelativeLinkPath(doc, "/site/docs/写真 1:2.jpg"), "写真 1:2.jpg");
    // A new document has no folder to be relative to.
    EXPECT_EQ(RelativeLinkPath("", "/site/docs/page.html"), "/site/docs/page.html");
}

TEST(TextInsert, DatesAreFormattedAsStrftimeDoes)
{
    std::tm tm{};
    tm.tm_year = 2024 - 1900;
    tm.tm_mon = 2;
    tm.tm_mday = 5;
    tm.tm_hour = 7;
    tm.tm_min = 8;
    tm.tm_sec = 9;
    tm.tm_wday = 2;
    EXPECT_EQ(FormatDateTime("", tm), "2024/03/05 07:08");
    EXPECT_EQ(FormatDateTime("最終更新日：%Y/%m/%d", tm), "最終更新日：2024/03/05");
    EXPECT_EQ(FormatDateTime("%H時%M分%S秒 100%%", tm), "07時08分09秒 100%");
    // A result far longer than the format still comes back whole.
    std::string strLong;
    std::string strExpected;
    for (int i = 0; i < 400; ++i) {
        strLong += "%Y-%m-%d %H:%M:%S|";
        strExpected += "2024-03-05 07:08:09|";
    }
    EXPECT_EQ(FormatDateTime(strLong, tm), strExpected);
}

TEST(TextInsert, FilesAreReadWholeOrRefused)
{
    CTempDir dir;
    const std::string bytes = std::string("a\r\nb\0c\x82\n\r", 9) + std::string(200000, 'x');
    WriteFileBytes(dir.File("text.txt"), bytes);
    std::string strRead = "old";
    EXPECT_EQ(ReadFileForInsertion(dir.File("text.txt"), strRead), INSERTFILE_OK);
    EXPECT_EQ(strRead, bytes);
    WriteFileBytes(dir.File("empty.txt"), "");
    EXPECT_EQ(ReadFileForInsertion(dir.File("empty.txt"), strRead), INSERTFILE_OK);
    EXPECT_EQ(strRead, "");

    strRead = "old";
    EXPECT_EQ(ReadFileForInsertion(dir.File("missing.txt"), strRead), INSERTFILE_NOT_FOUND);
    EXPECT_EQ(strRead, "");
    EXPECT_EQ(ReadFileForInsertion(dir.File("text.txt/x"), strRead), INSERTFILE_NOT_FOUND);
    EXPECT_EQ(ReadFileForInsertion(dir.Path(), strRead), INSERTFILE_DIRECTORY);
    // A pipe with no writer would block a reader for ever.
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadFileForInsertion(dir.File("pipe"), strRead), INSERTFILE_NOT_REGULAR);
    EXPECT_EQ(ReadFileForInsertion("/dev/zero", strRead), INSERTFILE_NOT_REGULAR);

    // The size limit, here made small.
    EXPECT_EQ(ReadFileForInsertion(dir.File("text.txt"), strRead, static_cast<std::int64_t>(bytes.size())),
              INSERTFILE_TOO_LARGE);
    EXPECT_EQ(strRead, "");
    EXPECT_EQ(ReadFileForInsertion(dir.File("text.txt"), strRead, static_cast<std::int64_t>(bytes.size()) + 1),
              INSERTFILE_OK);
    // A sparse file of 2 GB is refused before anything is read.
    WriteFileBytes(dir.File("big.bin"), "");
    std::filesystem::resize_file(dir.File("big.bin"), static_cast<std::uintmax_t>(INSERT_FILE_LIMIT));
    EXPECT_EQ(ReadFileForInsertion(dir.File("big.bin"), strRead), INSERTFILE_TOO_LARGE);
}

TEST(TextInsert, LineFeedFilesAreCutAtEveryLineFeed)
{
    EXPECT_TRUE(IsLineFeedText("a\nb\r\nc"));
    EXPECT_FALSE(IsLineFeedText("a\r\nb\nc"));
    EXPECT_FALSE(IsLineFeedText("a\rb\n"));
    EXPECT_FALSE(IsLineFeedText("abc"));
    EXPECT_EQ(CutAtLineFeeds("a\nb\r\n\nc\n"), (std::vector<std::string_view>{"a", "b\r", "", "c", ""}));
}
