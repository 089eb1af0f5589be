// The case of tags and the commands that erase tags or keep only them, on
// Shift-JIS text: quotes left open, comments, tags over line breaks, trail
// bytes that look like ASCII letters, and broken characters.
#include "html/tagcase.h"

#include <gtest/gtest.h>

namespace {

// Katakana whose second bytes are ASCII letters: "ナツ" is 83 69 83 63 ("i",
// "c"), "アカ" is 83 41 83 4A ("A", "J").
const std::string NATSU = "\x83\x69\x83\x63";
const std::string AKA = "\x83\x41\x83\x4A";
// "表" ends in the byte of a backslash.
const std::string HYOU = "\x95\x5C";

} // namespace

TEST(TagCase, SecondBytesThatLookLikeLettersKeepTheirCase)
{
    EXPECT_EQ(TagCaseA("font face=" + NATSU + " x", true), "FONT FACE=" + NATSU + " X");
    EXPECT_EQ(TagCaseA("FONT FACE=" + AKA + " X", false), "font face=" + AKA + " x");
    // A lead byte before a quote is a broken character: the quote still counts.
    EXPECT_EQ(TagCaseA("a t=\x83\"q\" b", true), "A T=\x83\"q\" B");
    // A lone lead byte at the very end goes through unchanged.
    EXPECT_EQ(TagCaseA("br\x83", true), "BR\x83");
    EXPECT_EQ(TagCaseB("<b>" + NATSU + "</b>", true), "<B>" + NATSU + "</B>");
    EXPECT_EQ(TagCaseB("<A TITLE=\"" + AKA + "\" X=" + AKA + ">" + AKA, false),
              "<a title=\"" + AKA + "\" x=" + AKA + ">" + AKA);
}

TEST(TagCase, RuleBChangesOnlyTags)
{
    EXPECT_EQ(TagCaseB("<A HREF=\"Top.HTML\">Go TO</A>", false), "<a href=\"Top.HTML\">Go TO</a>");
    EXPECT_EQ(TagCaseB("<a href=\"x\">Go</a>", true), "<A HREF=\"x\">Go</A>");
    // A comment opened by "<!--" stays as it is.
    EXPECT_EQ(TagCaseB("<!-- KEEP THIS --><P>", false), "<!-- KEEP THIS --><p>");
    // "<!" that does not open a comment is a tag like any other.
    EXPECT_EQ(TagCaseB("<!DOCTYPE HTML>", false), "<!doctype html>");
    // A tag with no ">" runs to the end; ">" ends a tag even inside quotes.
    EXPECT_EQ(TagCaseB("Text <DIV CLASS=\"A", false), "Text <div class=\"A");
    EXPECT_EQ(TagCaseB("<A T=\"x>Y\" Z>W", false), "<a t=\"x>Y\" Z>W");
    // A quote left open in one tag does not reach into the next.
    EXPECT_EQ(TagCaseB("<A T=\"X><B C=D>", false), "<a t=\"X><b c=d>");
    EXPECT_EQ(TagCaseB("A > B < C", false), "A > B < c");
}

TEST(TagCase, RuleBCarriesATagAndItsQuotesOverLineBreaks)
{
    std::vector<std::string> aLines = {"x <A", "HREF=\"Multi", "Line\" TARGET=Top>Y", "<!--", "<B>"};
    TagCaseB(aLines, false);
    EXPECT_EQ(aLines,
              (std::vector<std::string>{"x <a", "href=\"Multi", "Line\" target=top>Y", "<!--", "<b>"}));
    // "<" at the end of a line with "!--" on the next: a line break stands between them.
    aLines = {"<", "!--X>"};
    TagCaseB(aLines, false);
    EXPECT_EQ(aLines, (std::vector<std::string>{"<", "!--x>"}));
}

TEST(TagCase, EraseTags)
{
    EXPECT_EQ(EraseTags("<b>" + HYOU + "</b>and<a href=\"" + HYOU + "\">link</a>"), HYOU + "andlink");
    EXPECT_EQ(EraseTags("a > b"), "a > b");
    EXPECT_EQ(EraseTags("keep<unclosed tag"), "keep");
    EXPECT_EQ(EraseTags("x\r\n<br\r\n>y\x81"), "x\r\ny\x81");
    EXPECT_EQ(EraseTags(std::vector<std::string>{"a<b", "c>d", "<i>e"}), (std::vector<std::string>{"ad", "e"}));
    EXPECT_EQ(EraseTags(std::vector<std::string>{"<p>", ""}), (std::vector<std::string>{"", ""}));
}

TEST(TagCase, KeepOnlyTags)
{
    EXPECT_EQ(KeepOnlyTags("<p>text " + NATSU + "</p>\r\nmore<br>"), "<p></p>\r\n<br>");
    // Bare CR and LF bytes stay too, and a "<" with no ">" keeps the rest.
    EXPECT_EQ(KeepOnlyTags("a\rb\nc<i x=\"" + HYOU + "\""), "\r\n<i x=\"" + HYOU + "\"");
    EXPECT_EQ(KeepOnlyTags(std::vector<std::string>{"t<a", "href=x>u", "plain"}),
              (std::vector<std::string>{"<a", "href=x>", ""}));
    EXPECT_EQ(KeepOnlyTags(std::vector<std::string>{}), (std::vector<std::string>{""}));
}
