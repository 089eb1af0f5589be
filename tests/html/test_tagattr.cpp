// The markup the tag dialogs compose, row by row of each dialog's attributes,
// the colour values, the class-tag lists and the line-insertion pieces.
#include "html/lineinsert.h"
#include "html/tagattr.h"

#include <gtest/gtest.h>

namespace {

CAttrField On(const std::string &strValue)
{
    return {true, strValue};
}

CAttrField Off(const std::string &strValue)
{
    return {false, strValue};
}

// An opening and a closing text as "open|close".
std::string Both(const CTagTexts &texts)
{
    return texts.strOpen + "|" + texts.strClose;
}

} // namespace

TEST(TagAttr, FontTag)
{
    // "ＭＳ ゴシック" in Shift-JIS.
    const std::string strFace = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";
    EXPECT_EQ(FontTagAttributes({On("3"), On("#ff0000"), On(strFace)}),
              " size=3 color=\"#ff0000\" face=\"" + strFace + "\"");
    // "(なし)" leaves the face empty: no face is written even with its box ticked.
    EXPECT_EQ(FontTagAttributes({On("+1"), Off("#ff0000"), On("")}), " size=+1");
    EXPECT_EQ(FontTagAttributes({Off("3"), Off(""), Off(strFace)}), "");

    EXPECT_EQ(Both(FontTagTexts(" size=3", "class=x", {true, false, true, true})),
              "<font size=3 class=x><b><u><s>|</s></u></b></font>");
    EXPECT_EQ(Both(FontTagTexts("", "", {})), "<font>|</font>");
}

TEST(TagAttr, RuleWidthInPercentOrPixels)
{
    EXPECT_EQ(RuleAttributes({On("2"), On("80"), true, On("center")}), " size=2 width=\"80%\" align=\"center\"");
    EXPECT_EQ(RuleAttributes({Off("2"), On("80"), false, Off("left")}), " width=\"80\"");
    EXPECT_EQ(RuleAttributes({}), "");
}

TEST(TagAttr, LinkAndImageFolderPrefix)
{
    EXPECT_EQ(HotLinkAttributes({On("img"), "a.gif", Off("_top")}), " href=\"img/a.gif\"");
    EXPECT_EQ(HotLinkAttributes({On("img/"), "a.gif", On("_blank")}), " href=\"img/a.gif\" target=\"_blank\"");
    EXPECT_EQ(HotLinkAttributes({On("../../"), "top.html", Off("")}), " href=\"../../top.html\"");
    // The prefix counts only with its box ticked; an empty one adds no "/".
    EXPECT_EQ(HotLinkAttributes({Off("img"), "a.gif", Off("")}), " href=\"a.gif\"");
    EXPECT_EQ(HotLinkAttributes({On(""), "a.gif", Off("")}), " href=\"a.gif\"");

    // With no border and no size, src is followed only by the fixed border piece.
    EXPECT_EQ(ImageAttributes({Off(""), "a.gif", "", Off("10"), Off("20"), true}), " src=\"a.gif\" border=0");
    EXPECT_EQ(ImageAttributes({On("pic"), "b.png", "\x83\x41", On("120"), On("80"), false}),
              " src=\"pic/b.png\" alt=\"\x83\x41\" width=120 height=80");
    // A ticked size with no value writes nothing.
    EXPECT_EQ(ImageAttributes({Off(""), "c.jpg", "", On(""), On("5"), false}), " src=\"c.jpg\" height=5");
}

TEST(TagAttr, TableCellInOrder)
{
    const CCellFields all{On("100"), On("20"), On("2"), On("3"), On("center"), On("top"), On("#ffffff")};
    EXPECT_EQ(CellAttributes(all),
              " width=100 height=20 colspan=2 rowspan=3 align=\"center\" valign=\"top\" bgcolor=\"#ffffff\"");
    CCellFields some = all;
    some.width.bOn = some.colSpan.bOn = some.vAlign.bOn = false;
    EXPECT_EQ(CellAttributes(some), " height=20 rowspan=3 align=\"center\" bgcolor=\"#ffffff\"");
    EXPECT_EQ(AttributeTagTexts("td", "").strOpen, "<td>");
}

TEST(TagAttr, WrappingTexts)
{
    EXPECT_EQ(Both(HeadingTagTexts("2", "center")), "<h2 align=\"center\">|</h2>");
    EXPECT_EQ(HeadingTagTexts("6", "").strOpen, "<h6>");
    EXPECT_EQ(Both(ParagraphTagTexts("right")), "<p align=\"right\">|</p>");
    EXPECT_EQ(BookmarkTagTexts("top").strOpen, "<a name=\"top\">");
    EXPECT_EQ(Both(JumpTagTexts("top")), "<a href=\"#top\">|</a>");
    EXPECT_EQ(Both(ClassTagTexts("span", "title1")), "<span class=\"title1\">|</span>");
}

TEST(TagAttr, HexColours)
{
    EXPECT_EQ(FormatHexColor(255, 0, 16), "#ff0010");
    int r = -1;
    int g = -1;
    int b = -1;
    EXPECT_TRUE(ParseHexColor("#FFa010", r, g, b));
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({255, 160, 16}));
    // Anything but "#" and six hexadecimal digits gives black.
    for (const char *psz : {"#12345", "#12345g", "123456x", "", "#1234567", "#\x83\x41\x31\x32\x33\x34"}) {
        r = g = b = 7;
        EXPECT_FALSE(ParseHexColor(psz, r, g, b)) << psz;
        EXPECT_EQ(r + g + b, 0) << psz;
    }
}

TEST(TagAttr, ClassListsKeepTheTypedTextFirstAndAtMost32Entries)
{
    EXPECT_EQ(SplitClassList("p\ndiv\nspan\nfont"), (std::vector<std::string>{"p", "div", "span", "font"}));
    EXPECT_EQ(SplitClassList("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(JoinClassList("h1", {"p", "", "div"}), "h1\np\ndiv\n");

    std::vector<std::string> aMany;
    for (int i = 0; i < 40; ++i)
        aMany.push_back("c" + std::to_string(i));
    const std::vector<std::string> aStored = SplitClassList(JoinClassList("new", aMany));
    ASSERT_EQ(aStored.size(), 32u);
    EXPECT_EQ(aStored.front() + aStored.back(), "newc30");
}

TEST(LineInsert, PiecesAndLines)
{
    EXPECT_EQ(LinePieceText(LINEPIECE_BR, 3, "x", false), "<br><br><br>");
    EXPECT_EQ(LinePieceText(LINEPIECE_BR, 1, "", true), "<BR>");
    EXPECT_EQ(LinePieceText(LINEPIECE_TAB, 2, "x", false), "\t\t");
    EXPECT_EQ(LinePieceText(LINEPIECE_BLANK, 0, "x", false), "");
    EXPECT_EQ(LinePieceText(LINEPIECE_TEXT, 5, "// ", true), "// ");

    std::vector<std::string> aLines = {"a", "", "\x95\x5C"};
    AddToLines(aLines, "// ", "<br>");
    EXPECT_EQ(aLines, (std::vector<std::string>{"// a<br>", "// <br>", "// \x95\x5C<br>"}));
}

TEST(TagAttr, BodyTableImageAndAnchorOptions)
{
    CBodyFields body = DefaultBodyFields();
    EXPECT_EQ(BodyAttributes(body), "");
    body.bgColor.bOn = true;
    body.aLink.bOn = true;
    body.background = On("img/back.gif");
    EXPECT_EQ(BodyAttributes(body), " bgcolor=\"#ffffff\" background=\"img/back.gif\" alink=\"#ffff00\"");
    EXPECT_EQ(WithOtherAttributes(BodyAttributes({}), "id=\"x\""), " id=\"x\"");
    EXPECT_EQ(WithOtherAttributes(" a=1", ""), " a=1");

    EXPECT_EQ(TableAttributes({On("1"), On("80%"), Off("9"), On("0"), On("4"), On("right"), On("#eeeeee")}),
              " border=1 width=80% cellspacing=0 cellpadding=4 align=\"right\" bgcolor=\"#eeeeee\"");
    EXPECT_EQ(ImageOptionAttributes({On("a.gif"), On("\x89\xE6"), On("0"), On("left"), Off("1"), On("20"), On("2"),
                                     On("3")}),
              " src=\"a.gif\" alt=\"\x89\xE6\" border=0 align=\"left\" height=20 vspace=2 hspace=3");

    CAnchorFields anchor{
        .folder = On("docs"), .strFile = "a.html", .strJump = "top", .strBookmark = "here", .target = On("_blank")};
    EXPECT_EQ(AnchorAttributes(anchor), " target=\"_blank\"");
    anchor.bLink = true;
    EXPECT_EQ(AnchorAttributes(anchor), " href=\"docs/a.html\" target=\"_blank\"");
    anchor.eKind = ANCHOR_JUMP;
    anchor.target.bOn = false;
    EXPECT_EQ(AnchorAttributes(anchor), " href=\"#top\"");
    anchor.eKind = ANCHOR_BOOKMARK;
    EXPECT_EQ(AnchorAttributes(anchor), " name=\"here\"");
}

namespace {

// Every field of a table ticked with a value of its own, written into a tag
// and read back from it.
template <typename Fields, std::size_t N>
void ExpectRoundTrip(const char *pszTag, const CAttrRow<Fields> (&aTable)[N])
{
    Fields fields{};
    int i = 0;
    for (const CAttrRow<Fields> &row : aTable) {
        // A quoted value may hold blanks and a trail byte 0x5C ("表").
        const std::string strNumber = std::to_string(i);
        fields.*row.pField = On(row.eForm == ATTR_QUOTED ? "v " + strNumber + " \x95\x5C" : strNumber);
        ++i;
    }
    const std::string strTag = AttributeTagTexts(pszTag, WriteAttributes(fields, aTable)).strOpen;
    CTagAttributeMap attributes = ParseTagAttributes(strTag);
    attributes.emplace("id", "x");
    const Fields back = TakeAttributes(attributes, aTable);
    for (const CAttrRow<Fields> &row : aTable) {
        EXPECT_TRUE((back.*row.pField).bOn) << strTag << " " << row.pszName;
        EXPECT_EQ((back.*row.pField).strValue, (fields.*row.pField).strValue) << strTag;
    }
    // Only what the table does not know is left for "その他".
    EXPECT_EQ(OtherAttributesText(attributes), "id=\"x\"") << strTag;
    // A name the tag lacks leaves its box clear.
    CTagAttributeMap none;
    const Fields empty = TakeAttributes(none, aTable);
    for (const CAttrRow<Fields> &row : aTable)
        EXPECT_FALSE((empty.*row.pField).bOn) << row.pszName;
}

} // namespace

TEST(TagAttr, EachDialogsTableReadsBackWhatItWrites)
{
    ExpectRoundTrip("font", FONT_TAG_ATTRIBUTES);
    ExpectRoundTrip("hr", RULE_ATTRIBUTES);
    ExpectRoundTrip("td", CELL_ATTRIBUTES);
    ExpectRoundTrip("body", BODY_ATTRIBUTES);
    ExpectRoundTrip("table", TABLE_ATTRIBUTES);
    ExpectRoundTrip("img", IMAGE_OPTION_ATTRIBUTES);
    ExpectRoundTrip("img", IMAGE_ATTRIBUTES);
    ExpectRoundTrip("a", ANCHOR_ATTRIBUTES);
    ExpectRoundTrip("a", HOT_LINK_ATTRIBUTES);
    // Names a tag spells in capitals are found all the same.
    CTagAttributeMap attributes = ParseTagAttributes("<TD COLSPAN=2 BgColor=\"red\">");
    const CCellFields cell = TakeAttributes(attributes, CELL_ATTRIBUTES);
    EXPECT_EQ(cell.colSpan.strValue + "|" + cell.bgColor.strValue, "2|red");
    EXPECT_FALSE(cell.width.bOn);
}

TEST(TagAttr, AnAnchorIsReadBackAsTheKindItLinks)
{
    CTagAttributeMap attributes = ParseTagAttributes("<a href=\"#top\" target=_blank>");
    CAnchorFields fields = TakeAnchorFields(attributes);
    EXPECT_TRUE(fields.bLink && fields.target.bOn);
    EXPECT_EQ(fields.eKind, ANCHOR_JUMP);
    EXPECT_EQ(fields.strJump + "|" + fields.target.strValue, "top|_blank");
    EXPECT_EQ(AnchorAttributes(fields), " href=\"#top\" target=\"_blank\"");

    // With both, the href counts and the name stays among the others.
    attributes = ParseTagAttributes("<a name=here href=\"docs/a.html\">");
    fields = TakeAnchorFields(attributes);
    EXPECT_EQ(fields.eKind, ANCHOR_FILE);
    EXPECT_EQ(fields.strFile, "docs/a.html");
    EXPECT_EQ(OtherAttributesText(attributes), "name=\"here\"");

    attributes = ParseTagAttributes("<a name=\"\x95\x5C\">");
    fields = TakeAnchorFields(attributes);
    EXPECT_EQ(fields.eKind, ANCHOR_BOOKMARK);
    EXPECT_EQ(fields.strBookmark, "\x95\x5C");
    EXPECT_FALSE(fields.target.bOn);

    attributes = ParseTagAttributes("<a class=x>");
    EXPECT_FALSE(TakeAnchorFields(attributes).bLink);
    EXPECT_EQ(attributes.size(), 1u);
}
