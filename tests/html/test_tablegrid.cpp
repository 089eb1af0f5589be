// The table editor's grid: its edits, how a selection is split into it, and
// the HTML and separated texts it gives back.
#include "html/tablegrid.h"

#include <gtest/gtest.h>

namespace {

CTableGrid Filled(int nRows, int nCols)
{
    CTableGrid grid(nRows, nCols);
    for (int r = 1; r <= nRows; ++r)
        for (int c = 1; c <= nCols; ++c)
            grid.Cell(r, c).strText = std::to_string(r) + std::to_string(c);
    return grid;
}

} // namespace

TEST(TableGrid, CellAndTableAttributes)
{
    CTableGrid grid = Filled(1, 2);
    grid.m_nGridBackColor = 0x102030;
    const CCellRange first{1, 1, 1, 1};
    grid.SetHorizontalAlign(first, CELLFMT_CENTER);
    grid.SetVerticalAlign(first, CELLFMT_BOTTOM);
    grid.SetBackColor(first, 0xFF0000);
    grid.SetTextColor({1, 2, 1, 2}, 0x00FF00);
    grid.SetHorizontalAlign({1, 2, 1, 2}, CELLFMT_RIGHT);
    EXPECT_EQ(TableToHtml(grid, "80%", "1"),
              "<table bgcolor=\"#102030\" width=\"80%\" border=\"1\">\r\n"
              "<tr><td align=\"center\" valign=\"bottom\" bgcolor=\"#ff0000\">11</td>\r\n"
              "\t<td align=\"right\"><font size=3 color=\"#00ff00\">12</font></td>\r\n</tr>\r\n</table>\r\n");
    // Vertical centre wins over bottom; the header cells are never touched.
    grid.SetVerticalAlign({0, 0, 1, 2}, CELLFMT_VCENTER | CELLFMT_BOTTOM);
    EXPECT_EQ(TableToHtml(grid, "", "").find("valign"), std::string::npos);
    EXPECT_EQ(grid.Cell(0, 1).nFormat, static_cast<std::uint32_t>(CELLFMT_SINGLELINE));
}

TEST(TableGrid, SeparatedOutput)
{
    const CTableGrid grid = Filled(3, 2);
    EXPECT_EQ(TableOutput(grid, 1, "", ""), "11\t12\r\n21\t22\r\n31\t32\r\n");
    EXPECT_EQ(TableOutput(grid, 2, "", ""), "11,12\r\n21,22\r\n31,32\r\n");
    EXPECT_EQ(TableOutput(grid, 3, "", ""), "11 12\r\n21 22\r\n31 32\r\n");
}

TEST(TableGrid, DeletingTheRowsOfARangeRemovesExactlyThose)
{
    CTableGrid grid = Filled(5, 2);
    grid.DeleteRows({2, 1, 4, 1});
    EXPECT_EQ(TableToSeparated(grid, ','), "11,12\r\n51,52\r\n");
    grid = Filled(2, 4);
    grid.DeleteColumns({1, 2, 2, 3});
    EXPECT_EQ(TableToSeparated(grid, ','), "11,14\r\n21,24\r\n");
    // A range over the whole grid, headers included, keeps the headers and one data row.
    grid = Filled(3, 1);
    grid.DeleteRows({0, 0, 3, 1});
    EXPECT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(grid.Cell(0, 1).strText, std::string(10, ' '));
    // No range, nothing deleted.
    grid.DeleteRows(CCellRange());
    EXPECT_EQ(grid.GetRowCount(), 2);
}

TEST(TableGrid, InsertGoesBeforeTheGivenIndexOrAtTheEnd)
{
    CTableGrid grid = Filled(2, 2);
    EXPECT_EQ(grid.InsertRow(2), 2);
    grid.Cell(2, 1).strText = "n";
    EXPECT_EQ(grid.InsertColumn(1), 1);
    EXPECT_EQ(grid.InsertRow(-1), 4);
    EXPECT_EQ(TableToSeparated(grid, ','), ",11,12\r\n,n,\r\n,21,22\r\n,,\r\n");
    EXPECT_EQ(grid.Cell(4, 0).strText, " ");
    EXPECT_EQ(grid.Cell(0, 1).strText, std::string(10, ' '));
    // Nothing goes in front of the header row.
    EXPECT_EQ(grid.InsertRow(0), 5);
}

TEST(TableGrid, SplittingASelection)
{
    // Rows at every kind of line break; the final break ends the last row.
    CTableGrid grid = GridFromSeparatedText("a,b\r\nc\rd,e,f\n", ',');
    EXPECT_EQ(std::make_pair(grid.GetRowCount(), grid.GetColumnCount()), std::make_pair(4, 4));
    EXPECT_EQ(TableToSeparated(grid, ','), "a,b,\r\nc,,\r\nd,e,f\r\n");
    // A quoted field keeps its separators and line breaks and comes back quoted.
    grid = GridFromSeparatedText("\"x,y\",\"say \"\"hi\"\"\",\"1\r\n2\"\r\n", ',');
    EXPECT_EQ(grid.Cell(1, 1).strText + "|" + grid.Cell(1, 2).strText + "|" + grid.Cell(1, 3).strText,
              "x,y|say \"hi\"|1\r\n2");
    // Only cells that would break up are quoted; the text reads back into the same cells.
    const std::string strOut = TableToSeparated(grid, ',');
    EXPECT_EQ(strOut, "\"x,y\",say \"hi\",\"1\r\n2\"\r\n");
    const CTableGrid again = GridFromSeparatedText(strOut, ',');
    EXPECT_EQ(again.Cell(1, 2).strText + "|" + again.Cell(1, 3).strText, "say \"hi\"|1\r\n2");
    EXPECT_EQ(TableToSeparated(GridFromSeparatedText("\"\"\"q\"\"\"", ','), ','), "\"\"\"q\"\"\"\r\n");
    // Empty lines and empty cells are kept; an empty selection gives one empty cell.
    EXPECT_EQ(TableToSeparated(GridFromSeparatedText("\t\r\n\r\nz", '\t'), '\t'), "\t\r\n\t\r\nz\t\r\n");
    EXPECT_EQ(TableToSeparated(GridFromSeparatedText("", ','), ','), "\r\n");
}

TEST(TableGrid, DoubleByteAndInvalidBytesComeBackUnchanged)
{
    // "表" (0x95 0x5C) and "ソ" (0x83 0x5C), a lone lead byte, a byte no
    // character uses, and a lead byte at the very end.
    const std::string strText = "\x95\x5C\t\x83\x5C\x81\r\n\xFF\xA0\t\x82";
    const CTableGrid grid = GridFromSeparatedText(strText, '\t');
    EXPECT_EQ(grid.Cell(1, 1).strText + "|" + grid.Cell(1, 2).strText, "\x95\x5C|\x83\x5C\x81");
    EXPECT_EQ(TableToSeparated(grid, '\t'), strText + "\r\n");
    EXPECT_NE(TableToHtml(grid, "", "").find("<td>\x83\x5C\x81</td>"), std::string::npos);
}

TEST(TableGrid, PastedTextsGrowTheTableAndKeepTheCellsLooks)
{
    CTableGrid grid = Filled(2, 2);
    grid.SetBackColor({2, 2, 2, 2}, 0x123456);
    // Pasted at the last cell, a 2 x 3 block adds one row and two columns.
    const CCellRange range = grid.PasteTexts(2, 2, GridFromSeparatedText("a\tb\tc\r\nd\t\t\x95\x5C\r\n", '\t'));
    EXPECT_EQ(std::vector<int>({range.nMinRow, range.nMinCol, range.nMaxRow, range.nMaxCol}),
              std::vector<int>({2, 2, 3, 4}));
    EXPECT_EQ(TableToSeparated(grid, ','), "11,12,,\r\n21,a,b,c\r\n,d,,\x95\x5C\r\n");
    EXPECT_EQ(grid.Cell(2, 2).nBackColor, 0x123456u);
    EXPECT_EQ(grid.Cell(3, 0).strText, " ");
    EXPECT_EQ(grid.Cell(0, 4).strText, std::string(10, ' '));

    // A copy holds the range's texts only, clipped to the data cells.
    const CTableGrid copy = grid.CopyTexts({0, 3, 9, 9});
    EXPECT_EQ(TableToSeparated(copy, '\t'), "\t\r\nb\tc\r\n\t\x95\x5C\r\n");
    grid.ClearTexts({1, 1, 2, 2});
    EXPECT_EQ(TableToSeparated(grid, ','), ",,,\r\n,,b,c\r\n,d,,\x95\x5C\r\n");
}
