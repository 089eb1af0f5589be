// What the preview decides without a window: the page's character code, the
// base a copy gets, the bytes of the copy, which file a preview shows, the
// browser items' texts, and which names and files are templates.
#include "preview/preview.h"
#include "res/commands.h"
#include "support/testutil.h"
#include "templates/templatefiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace std::string_literals;

namespace {

// "日本語" and half-width "ｶﾅ" in Shift-JIS, the same in UTF-8 and EUC-JP.
const std::string SJIS_TEXT = "\x93\xfa\x96\x7b\x8c\xea \xb6\xc5";
const std::string UTF8_TEXT = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e \xef\xbd\xb6\xef\xbe\x85";
const std::string EUC_TEXT = "\xc6\xfc\xcb\xdc\xb8\xec \x8e\xb6\x8e\xc5";

} // namespace

TEST(PageCharset, ADeclarationInTheHeadDecidesElseTheBytes)
{
    const struct
    {
        std::string strPage;
        const char *pszCharset;
        bool bDeclared;
    } cases[] = {
        // A declaration anywhere in the head; unquoted values, odd spacing,
        // other meta elements before it; a title whose second byte of "表" is a backslash.
        {"<html><head><meta charset=\"EUC-JP\"></head><p>" + SJIS_TEXT, "EUC-JP", true},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=x-sjis\">" + UTF8_TEXT, "x-sjis", true},
        {"<meta name=author content=\"a>b\"><meta  charset = utf-8 >", "utf-8", true},
        {"<title>\x95\x5c</title><meta charset='iso-2022-jp'>", "iso-2022-jp", true},
        // A byte-order mark outranks everything.
        {"\xEF\xBB\xBF<meta charset=\"Shift_JIS\">", "UTF-8", true},
        // No declaration: in a comment, in the body, a content type without a charset.
        {"<!-- <meta charset=\"utf-8\"> -->" + SJIS_TEXT, "Shift_JIS", false},
        {"<body><meta charset=\"utf-8\">" + SJIS_TEXT, "Shift_JIS", false},
        {"<meta http-equiv=\"refresh\" content=\"5; charset=utf-8\">" + SJIS_TEXT, "Shift_JIS", false},
        {"<metadata charset=\"utf-8\">" + SJIS_TEXT, "Shift_JIS", false},
        // Guessed from the bytes; UTF-8 cut short is Shift-JIS.
        {"<p>" + SJIS_TEXT + "</p>", "Shift_JIS", false},
        {"<p>" + UTF8_TEXT + "</p>", "UTF-8", false},
        {"<p>\xa4\xb3\xa4\xf3\xa4\xcb\xa4\xc1\xa4\xcf " + EUC_TEXT + "</p>", "EUC-JP", false},
        {"<p>\x1b$B$3$s\x1b(B</p>", "ISO-2022-JP", false},
        {"<p>\xe6\x97\xa5\xe6\x9c", "Shift_JIS", false},
    };
    for (const auto &c : cases) {
        bool bDeclared = !c.bDeclared;
        EXPECT_EQ(PageCharset(c.strPage, &bDeclared), c.pszCharset) << c.strPage;
        EXPECT_EQ(bDeclared, c.bDeclared) << c.strPage;
    }
    EXPECT_EQ(PageCharset("<p>" + UTF8_TEXT + "</p>"), "UTF-8");  // nobody asking whether it was declared
}

TEST(BaseHref, TheBaseGoesFirstIntoTheHead)
{
    const std::string strHref = "file:///home/u/site/";
    EXPECT_EQ(WithBaseHref("<html><head lang=ja><title>t</title></head>", strHref),
              "<html><head lang=ja><base href=\"file:///home/u/site/\"><title>t</title></head>");
    // <header> is no head; without a head the base follows <html>.
    EXPECT_EQ(WithBaseHref("<HTML><body><header>x</header>", strHref),
              "<HTML><base href=\"file:///home/u/site/\"><body><header>x</header>");
    // A head named only in a comment is passed over.
    EXPECT_EQ(WithBaseHref("<!-- <head> --><HEAD></HEAD>", strHref),
              "<!-- <head> --><HEAD><base href=\"file:///home/u/site/\"></HEAD>");
    // Nothing may precede a doctype; a page of bare text gets it at the start.
    EXPECT_EQ(WithBaseHref("\r\n<!DOCTYPE html>\r\n<p>" + SJIS_TEXT, strHref),
              "\r\n<!DOCTYPE html><base href=\"file:///home/u/site/\">\r\n<p>" + SJIS_TEXT);
    EXPECT_EQ(WithBaseHref(SJIS_TEXT, strHref), "<base href=\"file:///home/u/site/\">" + SJIS_TEXT);
    // A '>' inside a quoted attribute does not end the head tag.
    EXPECT_EQ(WithBaseHref("<head data-x=\"a>b\">", strHref),
              "<head data-x=\"a>b\"><base href=\"file:///home/u/site/\">");
}

TEST(BaseHref, ThePagesOwnBaseIsKeptAndFound)
{
    const std::string strPage = "<head><base href=\"http://example.jp/\" target=_top></head>";
    EXPECT_EQ(WithBaseHref(strPage, "file:///x/"), strPage);
    EXPECT_EQ(FindBaseHref(strPage), "http://example.jp/");
    EXPECT_EQ(FindBaseHref("<head><title>x</title></head>"), "");
    EXPECT_EQ(FindBaseHref(WithBaseHref("<head>", "file:///a%20b/")), "file:///a%20b/");
}

TEST(PreviewCopy, TheCopyIsInTheCodeThePageDeclares)
{
    const std::string strHref = "file:///w/";
    // Shift-JIS text that says it is Shift-JIS, or says nothing, stays as it is.
    const std::string strPlain = "<head></head><p>" + SJIS_TEXT;
    EXPECT_EQ(PreviewCopyBytes(strPlain, strHref), "<head><base href=\"file:///w/\"></head><p>" + SJIS_TEXT);
    // Text that says UTF-8 or EUC-JP is written in that code.
    EXPECT_EQ(PreviewCopyBytes("<meta charset=\"UTF-8\"><p>" + SJIS_TEXT, ""), "<meta charset=\"UTF-8\"><p>" + UTF8_TEXT);
    EXPECT_EQ(PreviewCopyBytes("<meta charset=\"euc-jp\"><p>" + SJIS_TEXT, ""), "<meta charset=\"euc-jp\"><p>" + EUC_TEXT);
    // Text already in the declared code is not converted twice.
    EXPECT_EQ(PreviewCopyBytes("<meta charset=utf-8><p>" + UTF8_TEXT, ""), "<meta charset=utf-8><p>" + UTF8_TEXT);
    // NUL and other bytes of a Shift-JIS copy survive.
    const std::string strOdd = "<p>a\0b\x81\r\n"s;
    EXPECT_EQ(PreviewCopyBytes(strOdd, ""), strOdd);
}

TEST(PreviewDecision, OnlyASavedUnchangedDocumentShowsItsOwnFile)
{
    // Saved? Modified? Copy without asking? (the eighth case, untitled and modified, asks as untitled)
    EXPECT_EQ((std::vector<int>{DecidePreviewSource(true, false, false), DecidePreviewSource(true, false, true),
                                DecidePreviewSource(true, true, false), DecidePreviewSource(true, true, true),
                                DecidePreviewSource(false, false, false), DecidePreviewSource(false, true, false),
                                DecidePreviewSource(false, false, true)}),
              (std::vector<int>{PREVIEW_OWN_FILE, PREVIEW_OWN_FILE, PREVIEW_ASK_MODIFIED, PREVIEW_TEMP_COPY,
                                PREVIEW_ASK_UNTITLED, PREVIEW_ASK_UNTITLED, PREVIEW_TEMP_COPY}));
}

TEST(PreviewDecision, CommandsAndTargets)
{
    std::vector<int> aTargets;
    for (const int nID : {int(ID_WEB_PREVIEW), int(ID_WEB_PREVIEW_BAR), int(ID_WEB_PREVIEW_SHELL), int(ID_WEB_PREVIEW_BROWSER4),
                          ID_WEB_PREVIEW_BROWSER4 + 1})
        aTargets.push_back(PreviewTargetOfCommand(nID));
    // Values that name no target (a hand-edited setting) open with the desktop.
    for (const int nSetting : {0, 3, 5, -1})
        aTargets.push_back(EffectivePreviewTarget(nSetting));
    EXPECT_EQ(aTargets, (std::vector<int>{-1, PREVIEW_TARGET_BAR, PREVIEW_TARGET_SHELL, PREVIEW_TARGET_BROWSER4, -1,
                                          PREVIEW_TARGET_BAR, PREVIEW_TARGET_BROWSER3, PREVIEW_TARGET_SHELL,
                                          PREVIEW_TARGET_SHELL}));
}

TEST(PreviewDecision, BrowserItemsNameTheirProgram)
{
    EXPECT_EQ(BrowserMenuText(2, "/usr/bin/firefox"), "&2. ﾌﾞﾗｳｻﾞー(firefox)");
    EXPECT_EQ(BrowserMenuText(3, "C:\\Program Files\\Opera\\opera.exe"), "&3. ﾌﾞﾗｳｻﾞー(opera.exe)");
    EXPECT_EQ(BrowserMenuText(4, "/opt/ブラウザ/起動"), "&4. ﾌﾞﾗｳｻﾞー(起動)");
    // A program named without any folder gives empty parentheses.
    EXPECT_EQ(BrowserMenuText(2, "chromium"), "&2. ﾌﾞﾗｳｻﾞー()");
    EXPECT_EQ(GetFileTitlePart("/usr/bin/"), "");
}

TEST(TemplateFiles, NamesThatStayInTheFolder)
{
    for (const std::string &strName : {"基本ページ.html"s, "no extension"s, "..hidden dots.."s})
        EXPECT_TRUE(IsValidTemplateName(strName)) << strName;
    for (const std::string &strName : {""s, "."s, ".."s, "../escape.html"s, "sub/page.html"s, "a\0b"s})
        EXPECT_FALSE(IsValidTemplateName(strName)) << strName;
}

TEST(TemplateFiles, OnlyVisiblePlainFilesAreListedInNameOrder)
{
    namespace fs = std::filesystem;
    CTempDir dir;
    WriteFileBytes(dir.File("b.html"), "b");
    WriteFileBytes(dir.File("a.txt"), "a");
    WriteFileBytes(dir.File("お知らせ.html"), "c");
    WriteFileBytes(dir.File(".directory"), "hidden");
    fs::create_directory(dir.File("folder"));
    fs::create_symlink(dir.File("a.txt"), dir.File("link.txt"));
    fs::create_symlink(dir.File("gone"), dir.File("dangling"));
    EXPECT_EQ(ListTemplateFiles(dir.Path()),
              (std::vector<std::string>{"a.txt", "b.html", "link.txt", "お知らせ.html"}));
    EXPECT_TRUE(ListTemplateFiles(dir.File("missing")).empty());
}
