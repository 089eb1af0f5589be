// The HTML generators: vertical writing, gradation, table to separated values
// and copy as HTML.
#include "html/htmlgen.h"
#include "support/sjistext.h"
#include "syntax/linesource.h"
#include "syntax/viewtype.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::string U(std::string_view sjis)
{
    return Cp932ToUtf8(sjis);
}

const std::string CELL_OPEN = "<td align=\"center\" valign=\"top\"><font size=3><nobr><tt>　　<br>";
const std::string CELL_CLOSE = "</tt></nobr></font></td>\r\n";
const std::string TABLE_OPEN = "<table cellpadding=0 cellspacing=10 border=0><!-- cellspacing等で行間調整可 -->\r\n<tr>";
const std::string TABLE_CLOSE = "</tr>\r\n</table>";

std::string Font(const char *pszColor, std::string_view ch)
{
    return std::string("<font color=\"#") + pszColor + "\">" + std::string(ch) + "</font>";
}

} // namespace

TEST(VerticalText, FirstLineBecomesTheRightColumnAndShortLinesArePadded)
{
    // ASCII is widened; the CR of the line break and the tab are dropped.
    EXPECT_EQ(U(BuildVerticalSimple("ab\r\nc\t")),
              "\r\n<tt><pre>\r\n ｃ ａ \r\n 　 ｂ \r\n</pre></tt>\r\n");
    // A final line break opens no empty column.
    EXPECT_EQ(BuildVerticalSimple("ab\r\nc\r\n"), BuildVerticalSimple("ab\r\nc"));
    // Half-width katakana become full-width, the voiced mark joined.
    EXPECT_EQ(U(BuildVerticalSimple(S("ｶﾞ"))), "\r\n<tt><pre>\r\n ガ \r\n</pre></tt>\r\n");
    EXPECT_EQ(BuildVerticalSimple("\r\n\t"), "");
    EXPECT_EQ(BuildVerticalSimple(""), "");
}

TEST(VerticalText, PunctuationWithoutAnUprightFormIsReplacedInBothForms)
{
    // The closing bracket is written one byte to the left, over the blank
    // behind the cell before it, so every row keeps its width.
    EXPECT_EQ(U(BuildVerticalSimple(S("「あ」、。（ー：．"))),
              "\r\n<tt><pre>\r\n  ┐\r\n あ \r\n└  \r\n  ｀\r\n  °\r\n ∧ \r\n │ \r\n ‥ \r\n  ゜\r\n</pre></tt>\r\n");
    // Two columns: the corner of the right column pulls over the blank of the
    // left one.
    EXPECT_EQ(U(BuildVerticalSimple(S("あ」\r\nいう"))), "\r\n<tt><pre>\r\n い あ \r\n う└  \r\n</pre></tt>\r\n");
    EXPECT_EQ(U(BuildVerticalTable(S("「あ」、"))),
              TABLE_OPEN + CELL_OPEN + "　┐<br>あ<br>└　<br>　｀<br>" + CELL_CLOSE + TABLE_CLOSE);
}

TEST(VerticalText, TableFormHasOneCellPerLineFirstLineRightmost)
{
    EXPECT_EQ(U(BuildVerticalTable(S("あいう"))), TABLE_OPEN + CELL_OPEN + "あ<br>い<br>う<br>" + CELL_CLOSE + TABLE_CLOSE);
    // The CR stays without a line-break tag, as does a tab; the lines are
    // reversed (each line break staying where it was) so that the first
    // ends up on the right.
    EXPECT_EQ(U(BuildVerticalTable(S("あ\tb\r\nい"))),
              TABLE_OPEN + CELL_OPEN + "い<br>\r" + CELL_CLOSE + CELL_OPEN + "あ<br>\tｂ<br>" + CELL_CLOSE
                  + TABLE_CLOSE);
    EXPECT_EQ(BuildVerticalTable("\r\n"), "");
}

TEST(VerticalText, RowCountCutsLongLinesAndPadsShortColumns)
{
    // "あいう" in columns of two: the continuation "う" goes left of "あい".
    EXPECT_EQ(U(BuildVerticalTable(S("あいう\r\nえ"), 2)),
              TABLE_OPEN + CELL_OPEN + "え<br>\r　<br>" + CELL_CLOSE + CELL_OPEN + "う<br>　<br>" + CELL_CLOSE
                  + CELL_OPEN + "あ<br>い<br>" + CELL_CLOSE + TABLE_CLOSE);
    // An exact fit needs no further column.
    EXPECT_EQ(U(BuildVerticalTable(S("あい"), 2)), TABLE_OPEN + CELL_OPEN + "あ<br>い<br>" + CELL_CLOSE + TABLE_CLOSE);
}

TEST(Gradation, ColourStepsStopShortOfTheEndInBothDirections)
{
    const CGradColor black{0, 0, 0};
    const CGradColor red{0xff, 0, 0};
    EXPECT_EQ(BuildGradation("abc", black, red, false, false),
              Font("000000", "a") + Font("550000", "b") + Font("aa0000", "c"));
    EXPECT_EQ(BuildGradation("abc", red, black, false, false),
              Font("ff0000", "a") + Font("aa0000", "b") + Font("550000", "c"));
    // Each component moves on its own, up or down.
    EXPECT_EQ(BuildGradation("ab", CGradColor{0x10, 0x80, 0xff}, CGradColor{0x20, 0x00, 0xff}, false, false),
              Font("1080ff", "a") + Font("1840ff", "b"));
}

TEST(Gradation, LineBreaksAndTabsStayUnwrappedAndDoubleByteCharactersCountOnce)
{
    const std::string a = S("あ");
    const std::string out = BuildGradation("x\r\n" + a + "\t", CGradColor{0, 0, 0}, CGradColor{0, 0, 0xff}, false, true);
    EXPECT_EQ(out, "<FONT COLOR=\"#000000\">x</FONT>\r\n<FONT COLOR=\"#00007f\">" + a + "</FONT>\t");
    EXPECT_EQ(BuildGradation("\r\n", {}, {}, false, false), "\r\n");
    EXPECT_EQ(BuildGradation("", {}, {}, true, false), "");
}

TEST(Gradation, RainbowRunsSpreadTheRemainderAndCoverFewCharacters)
{
    EXPECT_EQ(BuildGradation("abc", {}, {}, true, false),
              Font("ff0000", "a") + Font("ffff00", "b") + Font("00ff00", "c"));
    // Seven characters: the first run has two, the others one.
    EXPECT_EQ(BuildGradation("abcdefg", {}, {}, true, false),
              Font("ff0000", "a") + Font("ff7f00", "b") + Font("ffff00", "c") + Font("00ff00", "d")
                  + Font("00ffff", "e") + Font("0000ff", "f") + Font("ff00ff", "g"));
    // Twelve: two per run, each half-way to the next anchor.
    const std::string twelve = BuildGradation("abcdefghijkl", {}, {}, true, false);
    EXPECT_NE(twelve.find(Font("ff7f00", "b") + Font("ffff00", "c") + Font("80ff00", "d")), std::string::npos)
        << twelve;
    EXPECT_NE(twelve.find(Font("ff00ff", "k") + Font("ff00c0", "l")), std::string::npos) << twelve;
}

TEST(Gradation, ColoursAreReadWithOrWithoutTheHash)
{
    CGradColor c;
    ASSERT_TRUE(ParseHtmlColor("#0aFf10", c));
    EXPECT_EQ(std::vector<int>({c.nRed, c.nGreen, c.nBlue}), std::vector<int>({0x0a, 0xff, 0x10}));
    EXPECT_TRUE(ParseHtmlColor("000000", c));
    EXPECT_FALSE(ParseHtmlColor("#fff", c));
}

TEST(TableToCsv, RowsBecomeLinesAndCellsAreSeparated)
{
    const std::string table = "<TABLE border=1>\r\n <tr><th>名 前</th><Td>a b</td></tr>\r\n"
                              " <tr>\r\n  <td><b>x</b></td><td>y</td>\r\n </tr>\r\n</table>";
    EXPECT_EQ(U(TableToSeparatedValues(S(table), TABLESEP_COMMA, false)), "\r\n名前,ab\r\n<b>x</b>,y\r\n");
    EXPECT_EQ(U(TableToSeparatedValues(S(table), TABLESEP_TAB, true)), "\r\n名前\tab\r\nx\ty\r\n");
    EXPECT_EQ(TableToSeparatedValues("<tr><td>1<td>2", TABLESEP_BLANK, false), "1 2");
    EXPECT_EQ(TableToSeparatedValues("<tr><td>1<td>2", 7, false), "1,2");
}

TEST(TableToCsv, CommentsGoTablesRestartRowsAndOtherNamesAreNoCells)
{
    EXPECT_EQ(TableToSeparatedValues("<tr><td><!-- note -->a</td><tdx>b<!---></tr>", TABLESEP_COMMA, false),
              "a<tdx>b<!--->");
    EXPECT_EQ(TableToSeparatedValues("<table><tr><td>a<tr><td>b</table><table><tr><td>c</table>",
                                     TABLESEP_COMMA, true),
              "\r\na\r\nb\r\n\r\nc\r\n");
    // A "<" with no ">" runs to the end as one tag.
    EXPECT_EQ(TableToSeparatedValues("<td>a<b c", TABLESEP_COMMA, false), "a<b c");
    EXPECT_EQ(TableToSeparatedValues("<td>a<b c", TABLESEP_COMMA, true), "a");
}

TEST(CopyAsHtml, RunsOfOneColourShareAnElementAndSpecialsAreEscaped)
{
    CMemoryLineSource lines;
    lines.AddLine("<p a=\"&\">");
    lines.AddLine("");
    lines.AddLine("plain");
    lines.AddLine("xy");
    const auto blocksOf = [](int nLine, std::vector<ColorBlock> &a, int &n) {
        a.clear();
        if (nLine == 0)
            a = {{0, COLORINDEX_TAG},    {2, COLORINDEX_TAGOPTION}, {3, COLORINDEX_TAGOPTION},
                 {5, COLORINDEX_STRING}, {8, COLORINDEX_TAG},       {9, COLORINDEX_NORMALTEXT},
                 {12, COLORINDEX_KEYWORD}};
        if (nLine == 3)
            a = {{1, COLORINDEX_KEYWORD}};
        n = static_cast<int>(a.size());
    };
    // Red, green, blue and one more, stored as 0x00BBGGRR; black for the rest.
    const std::map<int, std::uint32_t> colors{{COLORINDEX_TAG, 0x0000FF}, {COLORINDEX_TAGOPTION, 0x00FF00},
                                              {COLORINDEX_STRING, 0xFF0000}, {COLORINDEX_KEYWORD, 0x123456}};
    const auto colorOf = [&colors](int nIndex) { return colors.contains(nIndex) ? colors.at(nIndex) : 0u; };
    EXPECT_EQ(BuildCopyAsHtml(lines, 0, 3, blocksOf, colorOf, 0xEEDDCC, 0x010203),
              "<table bgcolor=\"#ccddee\" border=0 cellspacing=0 cellpadding=8><tr><td>"
              "<!--  Copy as HTML by Wrenpad -->\r\n<pre>"
              "<font color=\"#ff0000\">&LT;p</font><font color=\"#00ff00\"> a=</font>"
              "<font color=\"#0000ff\">&QUOT;&AMP;&QUOT;</font><font color=\"#ff0000\">&GT;</font>\r\n"
              "\r\n"
              "<font color=\"#030201\">plain</font>\r\n"
              "<font color=\"#030201\">x</font><font color=\"#563412\">y</font>\r\n"
              "</pre></td></tr></table>");
    // Only the lines asked for, and none past the end.
    const std::string one = BuildCopyAsHtml(lines, 2, 9, blocksOf, colorOf, 0, 0);
    EXPECT_EQ(one.find("p a"), std::string::npos);
    EXPECT_NE(one.find(">y</font>\r\n</pre>"), std::string::npos) << one;
}

TEST(CopyAsHtml, WholeTextColouredByAViewType)
{
    const std::string html = BuildCopyAsHtmlOfText("<b>\r\nx", VIEWTYPE_HTML);
    // The tag name in the default tag colour, the next line in normal text.
    EXPECT_NE(html.find("<pre><font color=\"#"), std::string::npos) << html;
    EXPECT_NE(html.find("<font color=\"#008000\">b</font>"), std::string::npos) << html;
    EXPECT_NE(html.find("&GT;</font>\r\n<font color=\"#000000\">x</font>\r\n</pre>"), std::string::npos) << html;
}
