// Reading the tag at the caret and its attributes, for tags as people write them.
#include "html/tagparse.h"

#include <gtest/gtest.h>

namespace {

std::string TagAt(std::string_view text, std::size_t nOffset)
{
    std::size_t nStart = 0;
    std::size_t nEnd = 0;
    if (!FindTagAround(text, nOffset, nStart, nEnd))
        return "(none)";
    return std::string(text.substr(nStart, nEnd - nStart));
}

} // namespace

TEST(TagParse, FindsTheTagAroundTheCaret)
{
    const std::string strLine = "ab <font size=3>x</font> <a title=\"1>2\" href=x>y";
    EXPECT_EQ(TagAt(strLine, 3), "<font size=3>");   // on the "<"
    EXPECT_EQ(TagAt(strLine, 15), "<font size=3>");  // on the ">"
    EXPECT_EQ(TagAt(strLine, 16), "(none)");         // behind it
    EXPECT_EQ(TagAt(strLine, 1), "(none)");
    // A ">" inside a quoted value does not close the tag.
    EXPECT_EQ(TagAt(strLine, 37), "<a title=\"1>2\" href=x>");
    // Closing tags and comments are not tags to edit.
    EXPECT_EQ(TagAt(strLine, 19), "(none)");
    EXPECT_EQ(TagAt("<!-- <b> -->", 6), "(none)");
    EXPECT_EQ(TagAt("<!-- c --><b>", 11), "<b>");
}

TEST(TagParse, ATagThatNeverClosesIsNoTag)
{
    EXPECT_EQ(TagAt("<font size=3", 4), "(none)");
    EXPECT_EQ(TagAt("<font size=3 <b>", 4), "(none)");
    EXPECT_EQ(TagAt("<font size=3 <b>", 14), "<b>");
    EXPECT_EQ(TagAt("<a title=\"open>", 3), "(none)");
    // An apostrophe in a bare word is no quote.
    EXPECT_EQ(TagAt("<img alt=don't src=a.gif>", 2), "<img alt=don't src=a.gif>");
}

TEST(TagParse, AttributesOfAwkwardTags)
{
    // Upper-case names, single quotes, bare names, blanks round "=", a line
    // break between attributes, Shift-JIS text with trail bytes 0x5C and 0x3E.
    const std::string strTag = "<FONT SIZE = 3 Color='#FF0000'\r\n face=\"\x82\x6C\x82\x72 \x96\x3E\x92\xA9\" nowrap"
                               " title=\"a > b\">";
    EXPECT_EQ(TagName(strTag), "font");
    CTagAttributeMap attributes = ParseTagAttributes(strTag);
    EXPECT_EQ(attributes.size(), 5u);
    EXPECT_EQ(attributes["nowrap"], "");
    EXPECT_EQ(attributes["title"], "a > b");
    EXPECT_EQ(TakeAttribute(attributes, "size"), "3");
    EXPECT_EQ(TakeAttribute(attributes, "color"), "#FF0000");
    EXPECT_EQ(TakeAttribute(attributes, "face"), "\x82\x6C\x82\x72 \x96\x3E\x92\xA9");
    EXPECT_EQ(TakeAttribute(attributes, "width"), "");
    EXPECT_EQ(OtherAttributesText(attributes), "nowrap title=\"a > b\"");
}

TEST(TagParse, OtherAttributesKeepWhatTheyHold)
{
    CTagAttributeMap attributes = ParseTagAttributes("<body onload='say(\"hi\")' bgcolor=#fff id=x class=\"\">");
    EXPECT_EQ(TakeAttribute(attributes, "bgcolor"), "#fff");
    // A value with double quotes goes back in single quotes.
    EXPECT_EQ(OtherAttributesText(attributes), "class id=\"x\" onload='say(\"hi\")'");
    // The first of a doubled name counts; a self-closing slash is no attribute.
    attributes = ParseTagAttributes("<img src=a.gif src=b.gif />");
    EXPECT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes["src"], "a.gif");
    EXPECT_TRUE(ParseTagAttributes("<br>").empty());
}
