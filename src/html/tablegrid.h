// The table editor's cells: a grid of texts with one header row and one
// header column, per-cell alignment and colours, the edits the editor offers
// (rows and columns inserted before an index or deleted), and the two
// outputs, HTML and separated text. The grid widget shows and edits one of
// these; nothing here draws.
//
// Texts are the document's Shift-JIS bytes and are kept exactly as given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Colours are 0xRRGGBB; this one means "not set".
inline constexpr std::uint32_t TABLE_COLOR_DEFAULT = 0xFFFFFFFFu;

// Format bits of a cell.
enum : std::uint32_t
{
    CELLFMT_CENTER = 0x01,   // horizontal: centre
    CELLFMT_RIGHT = 0x02,    // horizontal: right (neither bit: left)
    CELLFMT_VCENTER = 0x04,  // vertical: centre
    CELLFMT_BOTTOM = 0x08,   // vertical: bottom (neither bit: top)
    CELLFMT_HMASK = CELLFMT_CENTER | CELLFMT_RIGHT,
    CELLFMT_VMASK = CELLFMT_VCENTER | CELLFMT_BOTTOM,
    CELLFMT_SINGLELINE = 0x20,
};

struct CTableCell
{
    std::string strText;
    std::uint32_t nFormat = CELLFMT_SINGLELINE | CELLFMT_VCENTER;
    std::uint32_t nBackColor = TABLE_COLOR_DEFAULT;
    std::uint32_t nTextColor = TABLE_COLOR_DEFAULT;
};

// A rectangle of cells, both corners included. Empty when nMinRow is -1.
struct CCellRange
{
    int nMinRow = -1;
    int nMinCol = -1;
    int nMaxRow = -1;
    int nMaxCol = -1;
    bool IsValid() const { return nMinRow >= 0 && nMinCol >= 0 && nMaxRow >= nMinRow && nMaxCol >= nMinCol; }
    bool Contains(int nRow, int nCol) const
    {
        return IsValid() && nRow >= nMinRow && nRow <= nMaxRow && nCol >= nMinCol && nCol <= nMaxCol;
    }
};

class CTableGrid
{
public:
    // A grid of nDataRows x nDataCols data cells plus the header row and
    // column, as a new table starts: header texts of blanks, empty cells.
    CTableGrid(int nDataRows = 1, int nDataCols = 1);

    int GetRowCount() const { return static_cast<int>(m_aRows.size()); }
    int GetColumnCount() const { return m_nCols; }
    CTableCell &Cell(int nRow, int nCol) { return m_aRows[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nCol)]; }
    const CTableCell &Cell(int nRow, int nCol) const
    {
        return m_aRows[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nCol)];
    }
    bool IsValidCell(int nRow, int nCol) const { return nRow >= 0 && nRow < GetRowCount() && nCol >= 0 && nCol < m_nCols; }

    // New rows and columns go before nBefore; -1 (or past the end) appends.
    // The header row and column stay first: nothing goes in front of them.
    // Each returns the index of the new row or column.
    int InsertRow(int nBefore = -1);
    int InsertColumn(int nBefore = -1);
    // Header rows and columns, and the last data row or column, are kept.
    bool DeleteRow(int nRow);
    bool DeleteColumn(int nCol);
    // Every data row (column) of the range, from the last one up.
    void DeleteRows(const CCellRange &range);
    void DeleteColumns(const CCellRange &range);

    // Alignment bits of every data cell in the range.
    void SetHorizontalAlign(const CCellRange &range, std::uint32_t nBits);
    void SetVerticalAlign(const CCellRange &range, std::uint32_t nBits);
    void SetBackColor(const CCellRange &range, std::uint32_t nColor);
    void SetTextColor(const CCellRange &range, std::uint32_t nColor);

    // What the clipboard keys of the editor do with texts. CopyTexts gives
    // the range's data cells as a table of their own; ClearTexts empties
    // them. PasteTexts puts the data cells of block into this table from
    // nRow, nCol on, adding rows and columns at the end where it does not
    // fit, so that nothing pasted is lost; alignment and colours stay. It
    // returns the range that now holds the pasted texts.
    CTableGrid CopyTexts(const CCellRange &range) const;
    void ClearTexts(const CCellRange &range);
    CCellRange PasteTexts(int nRow, int nCol, const CTableGrid &block);

    std::uint32_t m_nGridBackColor = TABLE_COLOR_DEFAULT;
    std::uint32_t m_nGridTextColor = TABLE_COLOR_DEFAULT;

private:
    void InitHeaderCell(int nRow, int nCol);
    template <typename Fn> void ForDataCells(const CCellRange &range, Fn fn);

    int m_nCols = 0;
    std::vector<std::vector<CTableCell>> m_aRows;
};

// A grid filled from separated text: rows at the line breaks (CR LF, CR or
// LF; a break at the very end closes the last row rather than opening an
// empty one), cells at the separator byte. A cell that starts with a double
// quote runs to the closing quote, separators and line breaks included, and
// "" inside it stands for one quote. The grid is as wide as the longest row.
CTableGrid GridFromSeparatedText(std::string_view text, char chSeparator);

// The table editor's output. strWidth and strBorder are the table's
// attributes (left out when empty); the grid's background colour is written
// when it is set.
std::string TableToHtml(const CTableGrid &grid, std::string_view strWidth, std::string_view strBorder);
// The data cells joined with the separator, a CR LF after each row. A cell
// that the separator, a line break or a leading double quote would break up
// is written in double quotes, so that the text reads back the same.
std::string TableToSeparated(const CTableGrid &grid, char chSeparator);

// The output formats of the editor's combo: 0 HTML, 1 tab, 2 comma, 3 blank.
std::string TableOutput(const CTableGrid &grid, int nFormat, std::string_view strWidth, std::string_view strBorder);
