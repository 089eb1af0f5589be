// The whole-document commands: basic HTML, the title and the body tag.
#include "html/docstruct.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Lines(std::string_view text)
{
    std::vector<std::string> aLines(1);
    ReplaceDocText(aLines, CPoint(), CPoint(), text);
    return aLines;
}

std::string Text(const std::vector<std::string> &aLines)
{
    return DocText(aLines, CPoint(), CPoint(static_cast<int>(aLines.back().size()), static_cast<int>(aLines.size()) - 1));
}

} // namespace

TEST(DocStruct, BasicHtmlWrapsAPlainDocument)
{
    std::vector<std::string> aLines = Lines("hello\r\nworld");
    ApplyBasicHtml(aLines, "T", " bgcolor=\"#ffffff\"", false);
    EXPECT_EQ(Text(aLines), "<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body bgcolor=\"#ffffff\">\r\n"
                            "hello\r\nworld\r\n\r\n</body>\r\n</html>\r\n");
    aLines = Lines("x");
    ApplyBasicHtml(aLines, "Mixed Case", " text=\"#Ab0000\"", true);
    EXPECT_EQ(Text(aLines), "<HTML>\r\n<HEAD>\r\n<TITLE>Mixed Case</TITLE>\r\n</HEAD>\r\n<BODY TEXT=\"#Ab0000\">\r\n"
                            "x\r\n\r\n</BODY>\r\n</HTML>\r\n");
}

TEST(DocStruct, BasicHtmlOnAPartlyBuiltDocument)
{
    // A body but no html tag: wrapped in html first, then a head with the
    // title goes behind "<html>", and the body keeps its place with new attributes.
    std::vector<std::string> aLines = Lines("<BODY Text=red onload=\"go()\">\r\nx\r\n</body>");
    ApplyBasicHtml(aLines, "T", " text=\"#000000\" onload=\"go()\"", false);
    EXPECT_EQ(Text(aLines), "<html>\r\n<head><title>T</title></head>\r\n\r\n<body text=\"#000000\" onload=\"go()\">\r\n"
                            "x\r\n</body>\r\n</html>");
    // An html tag with a head but no title: the title goes behind "<head>",
    // the body behind "</head>".
    aLines = Lines("<html>\r\n<HEAD>\r\n</head>\r\ntext");
    ApplyBasicHtml(aLines, "T", "", false);
    EXPECT_EQ(Text(aLines), "<html>\r\n<HEAD><title>T</title>\r\n\r\n</head>\r\n<body>\r\n\r\ntext");
}

TEST(DocStruct, AnExistingTitleIsReplaced)
{
    std::vector<std::string> aLines = Lines("<html><head><TITLE>old\r\nname</Title></head>");
    EXPECT_EQ(DocTitle(aLines), "old\r\nname");
    ApplyTitle(aLines, "\x90\x56", true);
    EXPECT_EQ(Text(aLines), "<html><head><TITLE>\x90\x56</Title></head>");
    // No head: a head with the title behind "<html>".
    aLines = Lines("<html>\r\n<body>");
    ApplyTitle(aLines, "t", true);
    EXPECT_EQ(Text(aLines), "<html>\r\n<HEAD><TITLE>t</TITLE></HEAD>\r\n\r\n<body>");
}

TEST(DocStruct, OnlyTheFirstThirtyLinesHoldTheHead)
{
    std::string strText;
    for (int i = 0; i < 30; ++i)
        strText += "line\r\n";
    std::vector<std::string> aLines = Lines(strText + "<html><head><title>t</title>\r\n<body bgcolor=red>");
    const CDocStructure doc = FindDocStructure(aLines);
    EXPECT_FALSE(doc.html.bFound);
    EXPECT_FALSE(doc.title.bFound);
    // The body is found anywhere.
    ASSERT_TRUE(doc.body.bFound);
    EXPECT_EQ(doc.body.ptStart, CPoint(0, 31));
    EXPECT_EQ(DocBodyTag(aLines), "<body bgcolor=red>");
    aLines = Lines("<html>\r\n" + strText + "<title>t</title>");
    EXPECT_TRUE(FindDocStructure(aLines).html.bFound);
    EXPECT_FALSE(FindDocStructure(aLines).title.bFound);
}

TEST(DocStruct, TheBodyTagIsRewrittenWhole)
{
    // A body tag over two lines, and a "<bodyx>" tag that is not one.
    std::vector<std::string> aLines = Lines("<html>\r\n<bodyx>\r\n<body\r\n bgcolor=\"#fff\">\r\nx");
    EXPECT_EQ(DocBodyTag(aLines), "<body\r\n bgcolor=\"#fff\">");
    ApplyBodyTag(aLines, " bgcolor=\"#000000\" id=\"main\"", false);
    EXPECT_EQ(Text(aLines), "<html>\r\n<bodyx>\r\n<body bgcolor=\"#000000\" id=\"main\">\r\nx");
    // No body: inserted behind "</head>".
    aLines = Lines("<html><head></head>x");
    ApplyBodyTag(aLines, "", true);
    EXPECT_EQ(Text(aLines), "<html><head></head>\r\n<BODY>\r\nx");
}
