// Lists, the automatic table and the form tags as the commands write them.
#include "html/listbuild.h"

#include <gtest/gtest.h>

TEST(ListBuild, EveryLineOfTheSelectionBecomesAnItem)
{
    CListStyle bullet{LISTKIND_BULLET, "disc", 1};
    EXPECT_EQ(BuildList("a\r\nb", bullet, false), "<ul type=\"disc\">\r\n\t<li>a\r\n\t<li>b\r\n</ul>");
    CListStyle numbered{LISTKIND_NUMBERED, "i", 4};
    EXPECT_EQ(BuildList("x", numbered, false), "<ol type=\"i\" start=\"4\">\r\n\t<li>x\r\n</ol>");
    // The indent list: a term, its description, then further lines behind <br>.
    CListStyle indent{LISTKIND_INDENT, "", 1};
    EXPECT_EQ(BuildList("t\r\nd1\r\nd2", indent, false), "<dl>\r\n\t<dt>t\r\n\t<dd>d1\r\n\t<br>d2\r\n</dl>");
    // A trail byte is never taken for a line feed: "ソ" is 0x83 0x5C, "表" 0x95 0x5C.
    EXPECT_EQ(BuildList("\x83\x5C\r\n\x95\x5C", bullet, false),
              "<ul type=\"disc\">\r\n\t<li>\x83\x5C\r\n\t<li>\x95\x5C\r\n</ul>");
}

TEST(ListBuild, UpperCaseKeepsTheListType)
{
    // A lower-case numbering kind must stay lower case, or "a" would count "A, B, C".
    CListStyle numbered{LISTKIND_NUMBERED, "a", 2};
    EXPECT_EQ(BuildList("x\r\ny", numbered, true), "<OL TYPE=\"a\" START=\"2\">\r\n\t<LI>x\r\n\t<LI>y\r\n</OL>");
    const CTagTexts texts = ListTagTexts(numbered, true);
    EXPECT_EQ(texts.strOpen + "|" + texts.strClose, "<OL TYPE=\"a\" START=\"2\">\r\n\t<LI>|\r\n</OL>\r\n");
    const CTagTexts dl = ListTagTexts({LISTKIND_INDENT, "", 1}, false);
    EXPECT_EQ(dl.strOpen + "|" + dl.strClose, "<dl>\r\n\t<dd>|\r\n</dl>\r\n");
}

TEST(ListBuild, AutoTableRowsAndCells)
{
    EXPECT_EQ(AutoTable("a,b\r\nc,d", TABLESEP_COMMA, false),
              "<table border>\r\n\t<tr><td>a</td><td>b</td>\r\n\t</tr>\r\n\t<tr><td>c</td><td>d</td>\r\n\t</tr>\r\n"
              "</table>");
    // A selection ending in a line break gives one more, empty, row; no CR is left in a cell.
    EXPECT_EQ(AutoTable("a\tb\r\n", TABLESEP_TAB, true),
              "<TABLE BORDER>\r\n\t<TR><TD>a</TD><TD>b</TD>\r\n\t</TR>\r\n\t<TR><TD></TD>\r\n\t</TR>\r\n</TABLE>");
    // Blank-separated; an unknown separator number is a comma.
    EXPECT_EQ(AutoTable("\x82\xA0 \x82\xA2", TABLESEP_BLANK, false),
              "<table border>\r\n\t<tr><td>\x82\xA0</td><td>\x82\xA2</td>\r\n\t</tr>\r\n</table>");
    EXPECT_EQ(AutoTable("a,b c", 7, false), "<table border>\r\n\t<tr><td>a</td><td>b c</td>\r\n\t</tr>\r\n</table>");
}

TEST(ListBuild, FormTags)
{
    const CTagTexts form = FormTagTexts("mailto:Me@Example.jp", true);
    EXPECT_EQ(form.strOpen + "|" + form.strClose, "<FORM METHOD=\"post\" ACTION=\"mailto:Me@Example.jp\">\r\n|</FORM>");

    // The length is not for buttons.
    CFormInputFields input{.eType = FORMINPUT_RADIO, .strTitle = "Yes", .strName = "q", .strValue = "y",
                           .length = {true, "20"}, .bChecked = true};
    EXPECT_EQ(FormInputText(input, false), "<input type=\"radio\" name=\"q\" value=\"y\" checked>Yes");
    input.eType = FORMINPUT_PASSWORD;
    EXPECT_EQ(FormInputText(input, false), "Yes<input type=\"password\" name=\"q\" value=\"y\" size=20>");
    // Upper-case tags keep the user's title, name and value as typed.
    EXPECT_EQ(FormInputText(input, true), "Yes<INPUT TYPE=\"password\" NAME=\"q\" VALUE=\"y\" SIZE=20>");
    input.eType = FORMINPUT_SUBMIT;
    EXPECT_EQ(FormInputText(input, false), "<input type=\"submit\" name=\"q\" value=\"y\">");

    CTextAreaFields area{"Note", "n", {true, "40"}, {false, "5"}, "x"};
    EXPECT_EQ(TextAreaText(area, false), "Note<br>\r\n<textarea name=\"n\" cols=\"40\">\r\nx\r\n</textarea>");
    area = {"", "n", {false, ""}, {true, "5"}, ""};
    EXPECT_EQ(TextAreaText(area, true), "<TEXTAREA NAME=\"n\" ROWS=\"5\">\r\n</TEXTAREA>");

    CListBoxFields list{"\x8E\x9F", "c", {true, "3"}, true, {{"One", "1", false}, {"Two", "2", true}}};
    EXPECT_EQ(ListBoxText(list, false), "\x8E\x9F<br>\r\n<select name=\"c\" size=3 multiple>\r\n"
                                        " <option value=\"1\">One\r\n"
                                        " <option value=\"2\" selected>Two\r\n</select>");
    list = {"", "c", {false, "3"}, false, {}};
    EXPECT_EQ(ListBoxText(list, true), "<SELECT NAME=\"c\">\r\n</SELECT>");
}
