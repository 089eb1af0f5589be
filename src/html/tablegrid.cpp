#include "html/tablegrid.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string HexColor(std::uint32_t nColor)
{
    char sz[8];
    std::snprintf(sz, sizeof sz, "#%02x%02x%02x", (nColor >> 16) & 0xFFu, (nColor >> 8) & 0xFFu, nColor & 0xFFu);
    return sz;
}

} // namespace

CTableGrid::CTableGrid(int nDataRows, int nDataCols)
{
    nDataRows = std::max(nDataRows, 1);
    nDataCols = std::max(nDataCols, 1);
    m_nCols = nDataCols + 1;
    m_aRows.assign(static_cast<std::size_t>(nDataRows) + 1, std::vector<CTableCell>(static_cast<std::size_t>(m_nCols)));
    for (int nCol = 0; nCol < m_nCols; ++nCol)
        InitHeaderCell(0, nCol);
    for (int nRow = 1; nRow <= nDataRows; ++nRow)
        InitHeaderCell(nRow, 0);
}

void CTableGrid::InitHeaderCell(int nRow, int nCol)
{
    CTableCell &cell = Cell(nRow, nCol);
    if (nRow == 0) {
        cell.strText = std::string(10, ' ');
        cell.nFormat = CELLFMT_SINGLELINE;
    } else {
        cell.strText = " ";
        cell.nFormat = CELLFMT_SINGLELINE | CELLFMT_RIGHT;
    }
}

int CTableGrid::InsertRow(int nBefore)
{
    if (nBefore < 1 || nBefore > GetRowCount())
        nBefore = GetRowCount();
    m_aRows.insert(m_aRows.begin() + nBefore, std::vector<CTableCell>(static_cast<std::size_t>(m_nCols)));
    InitHeaderCell(nBefore, 0);
    return nBefore;
}

int CTableGrid::InsertColumn(int nBefore)
{
    if (nBefore < 1 || nBefore > m_nCols)
        nBefore = m_nCols;
    for (auto &row : m_aRows)
        row.insert(row.begin() + nBefore, CTableCell());
    ++m_nCols;
    InitHeaderCell(0, nBefore);
    return nBefore;
}

bool CTableGrid::DeleteRow(int nRow)
{
    if (nRow < 1 || nRow >= GetRowCount() || GetRowCount() <= 2)
        return false;
    m_aRows.erase(m_aRows.begin() + nRow);
    return true;
}

bool CTableGrid::DeleteColumn(int nCol)
{
    if (nCol < 1 || nCol >= m_nCols || m_nCols <= 2)
        return false;
    for (auto &row : m_aRows)
        row.erase(row.begin() + nCol);
    --m_nCols;
    return true;
}

void CTableGrid::DeleteRows(const CCellRange &range)
{
    if (!range.IsValid())
        return;
    for (int nRow = std::min(range.nMaxRow, GetRowCount() - 1); nRow >= std::max(range.nMinRow, 1); --nRow)
        DeleteRow(nRow);
}

void CTableGrid::DeleteColumns(const CCellRange &range)
{
    if (!range.IsValid())
        return;
    for (int nCol = std::min(range.nMaxCol, m_nCols - 1); nCol >= std::max(range.nMinCol, 1); --nCol)
        DeleteColumn(nCol);
}

template <typename Fn> void CTableGrid::ForDataCells(const CCellRange &range, Fn fn)
{
    if (!range.IsValid())
        return;
    for (int nRow = std::max(range.nMinRow, 1); nRow <= std::min(range.nMaxRow, GetRowCount() - 1); ++nRow)
        for (int nCol = std::max(range.nMinCol, 1); nCol <= std::min(range.nMaxCol, m_nCols - 1); ++nCol)
            fn(Cell(nRow, nCol));
}

void CTableGrid::SetHorizontalAlign(const CCellRange &range, std::uint32_t nBits)
{
    ForDataCells(range, [nBits](CTableCell &cell) { cell.nFormat = (cell.nFormat & ~CELLFMT_HMASK) | (nBits & CELLFMT_HMASK); });
}

void CTableGrid::SetVerticalAlign(const CCellRange &range, std::uint32_t nBits)
{
    ForDataCells(range, [nBits](CTableCell &cell) { cell.nFormat = (cell.nFormat & ~CELLFMT_VMASK) | (nBits & CELLFMT_VMASK); });
}

void CTableGrid::SetBackColor(const CCellRange &range, std::uint32_t nColor)
{
    ForDataCells(range, [nColor](CTableCell &cell) { cell.nBackColor = nColor; });
}

void CTableGrid::SetTextColor(const CCellRange &range, std::uint32_t nColor)
{
    ForDataCells(range, [nColor](CTableCell &cell) { cell.nTextColor = nColor; });
}

CTableGrid CTableGrid::CopyTexts(const CCellRange &range) const
{
    if (!range.IsValid())
        return CTableGrid();
    const int nMinRow = std::max(range.nMinRow, 1);
    const int nMinCol = std::max(range.nMinCol, 1);
    const int nMaxRow = std::min(range.nMaxRow, GetRowCount() - 1);
    const int nMaxCol = std::min(range.nMaxCol, m_nCols - 1);
    if (nMaxRow < nMinRow || nMaxCol < nMinCol)
        return CTableGrid();
    CTableGrid block(nMaxRow - nMinRow + 1, nMaxCol - nMinCol + 1);
    for (int nRow = nMinRow; nRow <= nMaxRow; ++nRow)
        for (int nCol = nMinCol; nCol <= nMaxCol; ++nCol)
            block.Cell(nRow - nMinRow + 1, nCol - nMinCol + 1).strText = Cell(nRow, nCol).strText;
    return block;
}

void CTableGrid::ClearTexts(const CCellRange &range)
{
    ForDataCells(range, [](CTableCell &cell) { cell.strText.clear(); });
}

CCellRange CTableGrid::PasteTexts(int nRow, int nCol, const CTableGrid &block)
{
    nRow = std::max(nRow, 1);
    nCol = std::max(nCol, 1);
    const int nLastRow = nRow + block.GetRowCount() - 2;
    const int nLastCol = nCol + block.GetColumnCount() - 2;
    while (GetRowCount() <= nLastRow)
        InsertRow();
    while (m_nCols <= nLastCol)
        InsertColumn();
    for (int r = 1; r < block.GetRowCount(); ++r)
        for (int c = 1; c < block.GetColumnCount(); ++c)
            Cell(nRow + r - 1, nCol + c - 1).strText = block.Cell(r, c).strText;
    return {nRow, nCol, nLastRow, nLastCol};
}

CTableGrid GridFromSeparatedText(std::string_view text, char chSeparator)
{
    // The separator, quotes and line breaks are ASCII bytes below 0x40 and
    // never the second byte of a double-byte character.
    std::vector<std::vector<std::string>> aRows(1);
    std::string strCell;
    bool bQuoted = false;   // inside a quoted cell
    bool bCellStart = true; // nothing of the cell read yet
    auto endCell = [&] {
        aRows.back().push_back(std::move(strCell));
        strCell.clear();
        bCellStart = true;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (bQuoted) {
            if (c != '"') {
                strCell += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                strCell += '"';
                ++i;
            } else {
                bQuoted = false;
            }
            continue;
        }
        if (c == '"' && bCellStart) {
            bQuoted = true;
            bCellStart = false;
        } else if (c == chSeparator) {
            endCell();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endCell();
            aRows.emplace_back();
        } else {
            strCell += c;
            bCellStart = false;
        }
    }
    if (!bCellStart || !aRows.back().empty())
        endCell();
    if (aRows.back().empty() && aRows.size() > 1)
        aRows.pop_back();

    std::size_t nCols = 1;
    for (const auto &row : aRows)
        nCols = std::max(nCols, row.size());
    CTableGrid grid(static_cast<int>(aRows.size()), static_cast<int>(nCols));
    for (std::size_t r = 0; r < aRows.size(); ++r)
        for (std::size_t c = 0; c < aRows[r].size(); ++c)
            grid.Cell(static_cast<int>(r) + 1, static_cast<int>(c) + 1).strText = std::move(aRows[r][c]);
    return grid;
}

std::string TableToHtml(const CTableGrid &grid, std::string_view strWidth, std::string_view strBorder)
{
    std::string s = "<table";
    if (grid.m_nGridBackColor != TABLE_COLOR_DEFAULT)
        s += " bgcolor=\"" + HexColor(grid.m_nGridBackColor) + '"';
    if (!strWidth.empty())
        s.append(" width=\"").append(strWidth).append("\"");
    if (!strBorder.empty())
        s.append(" border=\"").append(strBorder).append("\"");
    s += ">\r\n";
    for (int nRow = 1; nRow < grid.GetRowCount(); ++nRow) {
        s += "<tr>";
        for (int nCol = 1; nCol < grid.GetColumnCount(); ++nCol) {
            const CTableCell &cell = grid.Cell(nRow, nCol);
            if (nCol > 1)
                s += '\t';
            s += "<td";
            if (cell.nFormat & CELLFMT_CENTER)
                s += " align=\"center\"";
            else if (cell.nFormat & CELLFMT_RIGHT)
                s += " align=\"right\"";
            if ((cell.nFormat & CELLFMT_BOTTOM) && !(cell.nFormat & CELLFMT_VCENTER))
                s += " valign=\"bottom\"";
            if (cell.nBackColor != TABLE_COLOR_DEFAULT)
                s += " bgcolor=\"" + HexColor(cell.nBackColor) + '"';
            s += '>';
            if (cell.nTextColor != TABLE_COLOR_DEFAULT)
                s += "<font size=3 color=\"" + HexColor(cell.nTextColor) + "\">" + cell.strText + "</font></td>\r\n";
            else
                s += cell.strText + "</td>\r\n";
        }
        s += "</tr>\r\n";
    }
    s += "</table>\r\n";
    return s;
}

std::string TableToSeparated(const CTableGrid &grid, char chSeparator)
{
    std::string s;
    for (int nRow = 1; nRow < grid.GetRowCount(); ++nRow) {
        for (int nCol = 1; nCol < grid.GetColumnCount(); ++nCol) {
            const std::string &strText = grid.Cell(nRow, nCol).strText;
            if (nCol > 1)
                s += chSeparator;
            const bool bQuote = strText.find_first_of(std::string{chSeparator, '\r', '\n'}) != std::string::npos
                                || (!strText.empty() && strText[0] == '"');
            if (!bQuote) {
                s += strText;
                continue;
            }
            s += '"';
            for (const char c : strText) {
                if (c == '"')
                    s += '"';
                s += c;
            }
            s += '"';
        }
        s += "\r\n";
    }
    return s;
}

std::string TableOutput(const CTableGrid &grid, int nFormat, std::string_view strWidth, std::string_view strBorder)
{
    switch (nFormat) {
    case 1:
        return TableToSeparated(grid, '\t');
    case 2:
        return TableToSeparated(grid, ',');
    case 3:
        return TableToSeparated(grid, ' ');
    default:
        return TableToHtml(grid, strWidth, strBorder);
    }
}
