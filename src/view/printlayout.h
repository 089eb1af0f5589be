// Where printed text breaks: a line is wrapped into rows of a fixed number of
// character cells, and rows are dealt out to pages of a fixed number of rows.
// Everything is counted in cells, as on screen: a byte takes one cell (a
// double-byte character two, a code of the document's table the cells of its
// character) and a tab runs to the next tab stop of the whole line. Nothing here draws; the printer turns cells into device units.
//
// Rows break where a reader of mixed Japanese and English text expects:
// after blanks, and between characters wherever Japanese text is involved,
// but never inside a double-byte character, never inside a run of ASCII
// letters and signs unless the run is wider than a row, never before a
// character that may not begin a line (。、」 ...) and never after one that may
// not end one (「（ ...). Blanks at a break stay at the end of the row they
// follow, unseen, and the next row begins with the next character.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

class CExtraChars;

struct CPrintWrap
{
    // Cells of one printed row (at least 1 is used).
    int nColumns = 80;
    int nTabSize = 4;
    // Cells that a closing character (。」...) may stand past the row's end
    // instead of being pushed onto the next row with the character before it;
    // 0 when the page has no room beside the text.
    int nHangCells = 0;
    // The document's table of characters Shift-JIS lacks, or null.
    const CExtraChars *pExtra = nullptr;
};

// One printed row of a line: the bytes [nFrom, nTo) of the line. nColumn is
// the display column of nFrom in the whole line, so that the row's first cell
// shows column nColumn and tabs keep the line's tab stops.
struct CPrintRow
{
    int nFrom = 0;
    int nTo = 0;
    int nColumn = 0;
};

// The rows of a line (aRows is replaced). An empty line has one empty row; no
// row is empty otherwise, except one made of blanks only.
void WrapPrintLine(std::string_view line, const CPrintWrap &wrap, std::vector<CPrintRow> &aRows);
int CountPrintRows(std::string_view line, const CPrintWrap &wrap);

// Where a page begins: the first row of nLine that it shows.
struct CPrintPageStart
{
    int nLine = 0;
    int nRow = 0;

    bool operator==(const CPrintPageStart &) const = default;
};

// Deals the lines out to pages of nRowsPerPage rows (at least 1 is used).
// A line that does not fit on the rest of a page starts the next page; a line
// with more rows than a page fills whole pages and goes on to the next, so no
// row is ever cut off. The first page starts at line 0; a document of no
// lines still has that one page.
using PrintLineFn = std::function<std::string_view(int nLine)>;
std::vector<CPrintPageStart> LayoutPrintPages(int nLineCount, const PrintLineFn &fnLine, const CPrintWrap &wrap,
                                              int nRowsPerPage);
