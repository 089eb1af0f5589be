// File filters, the save dialog's choice by title and the window title marks.
#include "app/docnames.h"

#include <gtest/gtest.h>

TEST(DocNames, SaveFilterFollowsTheTitlesExtensionInAnyCase)
{
    struct Case
    {
        const char *pszTitle;
        const char *pszExt;
        int nIndex;
    };
    const Case cases[] = {
        {"新規ﾌｧｲﾙ1", "txt", 1}, {"memo.txt", "txt", 1}, {"INDEX.HTM", "html", 2}, {"a.Html", "html", 2},
        {"main.c", "cpp", 3},    {"x.CPP", "cpp", 3},    {"x.h", "h", 4},          {"App.java", "java", 5},
        {"run.pl", "pl", 6},     {"form.cgi", "cgi", 7}, {"data.tar.gz", "", 8},   {"style.css", "", 8},
        // A dot in a folder name is no extension.
        {"dir.v2/readme", "txt", 1},
    };
    for (const Case &c : cases) {
        const CSaveFilterChoice choice = SaveFilterForTitle(c.pszTitle);
        EXPECT_EQ(choice.strDefaultExt, c.pszExt) << c.pszTitle;
        EXPECT_EQ(choice.nFilterIndex, c.nIndex) << c.pszTitle;
    }
}

TEST(DocNames, AnUntitledPageIsProposedAsHtml)
{
    const CSaveFilterChoice page = SaveFilterForTitle("新規ﾌｧｲﾙ1", "\r\n  <!DOCTYPE html>\r\n");
    EXPECT_EQ(page.strDefaultExt, "html");
    EXPECT_EQ(page.nFilterIndex, 2);
    EXPECT_EQ(SaveFilterForTitle("新規ﾌｧｲﾙ1", "<HTML>").nFilterIndex, 2);
    // Other text stays text; a title with an extension of its own keeps it.
    EXPECT_EQ(SaveFilterForTitle("新規ﾌｧｲﾙ1", "<p>hello</p>").strDefaultExt, "txt");
    EXPECT_EQ(SaveFilterForTitle("notes.txt", "<html>").strDefaultExt, "txt");
    EXPECT_EQ(SaveFilterForTitle("main.c", "<!DOCTYPE html>").nFilterIndex, 3);
}

TEST(DocNames, ExtensionsCompareWithoutCaseAndOnlyInTheFileName)
{
    EXPECT_TRUE(SameExtension("/w/a.HTML", "b.html"));
    EXPECT_TRUE(SameExtension("新規ﾌｧｲﾙ1", ""));
    EXPECT_TRUE(SameExtension("/w/dir.v2/readme", "notes"));
    EXPECT_FALSE(SameExtension("/w/page.htm", "/w/page.html"));
    EXPECT_FALSE(SameExtension("", "/w/page.html"));
}

TEST(DocNames, OpenFilterComparesTheExtensionExactly)
{
    const std::pair<const char *, int> cases[] = {
        {"/w/a.txt", 2}, {"/w/a.htm", 3}, {"/w/a.asp", 4}, {"/w/a.inl", 5}, {"/w/a.java", 6},
        {"/w/a.cls", 7}, {"/w/a.cgi", 8}, {"/w/A.TXT", 1}, {"/w.txt/noext", 1},
    };
    for (const auto &[pszPath, nIndex] : cases)
        EXPECT_EQ(OpenFilterIndexForPath(pszPath), nIndex) << pszPath;
}

TEST(DocNames, FiltersBecomeDialogFiltersWithBlankSeparatedPatterns)
{
    const std::vector<CFileFilter> open = ParseFileFilter(OPEN_FILE_FILTER);
    ASSERT_EQ(open.size(), 9u);
    EXPECT_EQ(open[4].aPatterns, (std::vector<std::string>{"*.cpp", "*.c", "*.h", "*.inl", "*.rc"}));
    const std::vector<std::string> save = DialogFilterStrings(SAVE_FILE_FILTER);
    ASSERT_EQ(save.size(), 8u);
    EXPECT_EQ(save[1], "Html Files  (*.html *.htm)");
    // Every file, also those without a dot in their names.
    EXPECT_EQ(save[7], "All Files  (*)");
    // A label without patterns and the empty tail are dropped.
    EXPECT_EQ(ParseFileFilter("A|*.a|B||").size(), 1u);
    EXPECT_TRUE(ParseFileFilter("").empty());
}

TEST(DocNames, TitleMarksPutReadOnlyBeforeModified)
{
    EXPECT_EQ(FrameTitle("a.txt", 0, false, false), "a.txt");
    EXPECT_EQ(FrameTitle("a.txt", 0, false, true), "a.txt *");
    EXPECT_EQ(FrameTitle("a.txt", 0, true, false), "a.txt(書込禁止)");
    EXPECT_EQ(FrameTitle("a.txt", 0, true, true), "a.txt(書込禁止) *");
    EXPECT_EQ(FrameTitle("a.txt", 2, true, true), "a.txt:2(書込禁止) *");
    EXPECT_EQ(FrameTitle("a.txt", 2, true, true, true), "a.txt:2(削除されました)(書込禁止) *");
}
