// The detailed and the simple HTML routines.
#include "syntaxtest.h"

namespace {

std::string Html(std::string_view line, std::uint32_t dwCookie = 0)
{
    return Paint(ParseLineHtml, line, dwCookie);
}

std::string Simple(std::string_view line, std::uint32_t dwCookie = 0)
{
    return Paint(ParseLineHtmlSimple, line, dwCookie);
}

} // namespace

TEST(ParseLineHtml, ColoursNamesValuesAndNumbersInsideTags)
{
    EXPECT_EQ(Html("<FONT color=\"#FF0000\" size=3>"),
                   ".TTTTPAAAAAPSSSSSSSSSPAAAAPN.");
    // An unknown attribute keeps its value uncoloured; a known one does not.
    EXPECT_EQ(Html("<td foo=100 width=100>"),
                   ".TTPPPPPPPPPAAAAAPNNN.");
    EXPECT_EQ(Html("</b>"), ".PT.");
    EXPECT_EQ(Html("<!DOCTYPE html>"),
                   ".PTTTTTTTPTTTT.");
    // Words outside tags are text.
    EXPECT_EQ(Html("font color 3 #FF0000"), std::string(20, '.'));
}

TEST(ParseLineHtml, CommentsNeedTheirOwnClosingDashes)
{
    EXPECT_EQ(PaintLines(ParseLineHtml, {"<!-->x", "y-->z"}), "CCCCCC|CCCC.");
    EXPECT_EQ(Html("<!---->x"), "CCCCCCC.");
    EXPECT_EQ(ParseLine(ParseLineHtml, "<!--->x").dwState, 0x04u);
    EXPECT_EQ(States(ParseLineHtml, {"<!-- a", "", "b --> c"}),
              (std::vector<std::uint32_t>{0x04, 0x04, 0}));
    // A comment line ending in '<' does not put the text after the comment in a tag.
    EXPECT_EQ(PaintLines(ParseLineHtml, {"<!-- a <", "-->", "b font"}), "CCCCCCCC|CCC|......");
}

TEST(ParseLineHtml, TagsAndDoubleQuotedValuesContinueOnTheNextLine)
{
    EXPECT_EQ(PaintLines(ParseLineHtml, {"<font", "color=red>x"}), ".TTTT|AAAAAPPPP..");
    EXPECT_EQ(States(ParseLineHtml, {"<font", "color=red>x"}),
              (std::vector<std::uint32_t>{0x02, 0}));
    // A single-quoted value ends with its line; a double-quoted one does not.
    EXPECT_EQ(States(ParseLineHtml, {"<a title='x", "y", "<a title=\"x", "y\">z"}),
              (std::vector<std::uint32_t>{0x02, 0x02, 0x0A, 0}));
}

TEST(ParseLineHtml, DoubleByteCharactersNeverActAsDelimiters)
{
    // 表 ends in 0x5C, which does not escape the quote after it.
    EXPECT_EQ(Html("<a alt=\"\x95\x5C\">x"),
                   ".TPAAAPSSSS..");
    EXPECT_EQ(ParseLine(ParseLineHtml, "<a alt=\"\x95\x5C\\\">x").dwState, 0x0Au);
    EXPECT_EQ(Html("\x95\x5C<b>\x8E\xA6"), "...T...");
    // A name is found after a double-byte word in the same tag.
    EXPECT_EQ(Html("<b \x95\x5C width=1>"), ".TPPPPAAAAAPN.");
}

TEST(ParseLineHtmlSimple, TagsAndCommentsOnly)
{
    EXPECT_EQ(Simple("<b>word</b>"), "TTT....TTTT");
    EXPECT_EQ(Simple("a<!-- c -->b"), ".CCCCCCCCCC.");
    EXPECT_EQ(Simple("<!DOCTYPE html>x"), "TTTTTTTTTTTTTTT.");
    EXPECT_EQ(States(ParseLineHtmlSimple, {"<!-- a", "", "b -->", "<a", "b>"}),
              (std::vector<std::uint32_t>{0x01, 0x01, 0, 0x20, 0}));
    EXPECT_EQ(PaintLines(ParseLineHtmlSimple, {"x <a", "b> y"}), "..TT|TT..");
    // Bits that are not the routine's do not cross lines.
    EXPECT_EQ(ParseLine(ParseLineHtmlSimple, "x", 0x16).dwState, 0u);
}
