// Box (rectangular) selections: which bytes of a line a box of screen cells
// covers. A box takes the columns nLeft .. nRight - 1 of each of its lines;
// display columns are those of textgeom.h (a tab runs to the next stop, a
// double-byte character takes two cells, a code of the document's table
// pExtra the cells of its character).
//
// The two edges cut characters in two ways, and every box operation (drawing,
// copying, deleting, typing, pasting, indenting) follows the same rules:
// - a double-byte character cut by an edge is taken whole: the box grows
//   outwards over it (on a box of no width, whose edges are one column, the
//   column moves to after the character, where a caret would stand);
// - a tab cut by an edge is never split as a byte: its cells inside the box
//   belong to the box, and before the line is changed the tab becomes the
//   blanks of its cells, those outside the box staying where they were.
#pragma once

#include <string>
#include <string_view>

class CExtraChars;

struct CBoxSpan
{
    // The whole characters in the box: bytes nFrom .. nTo - 1, in the cells
    // nFromColumn .. nToColumn - 1 (wider than the box where a double-byte
    // character was taken whole). On a line that ends left of the box both
    // bytes are the line's length and both columns its display length.
    int nFrom = 0;
    int nTo = 0;
    int nFromColumn = 0;
    int nToColumn = 0;
    // A tab cut by the left (right) edge: its byte and its cells, or -1. On a
    // box inside one tab, and on a box of no width through a tab, both name
    // the same tab; nFrom and nTo are then that tab's byte.
    int nTabBefore = -1;
    int nTabAfter = -1;
    int nTabStartColumn = 0;  // the first cell of the tab of nTabBefore
    int nTabEndColumn = 0;    // the cell after the tab of nTabAfter
};

CBoxSpan BoxSpanOfLine(std::string_view line, int nLeft, int nRight, int nTabSize,
                       const CExtraChars *pExtra = nullptr);

// The box's text on a line, as the clipboard takes it: the characters in the
// box as they are (tabs wholly inside as tabs), and blanks for the cells of a
// tab cut by an edge. Nothing for the cells right of the line's end.
std::string BoxTextOfLine(std::string_view line, int nLeft, int nRight, int nTabSize,
                          const CExtraChars *pExtra = nullptr);

// The change that puts text in place of what the box covers on a line: bytes
// nFrom .. nTo - 1 give way to strText, which is the text with the blanks of
// cut tabs around it, and, when bPad is set and the line ends left of the box,
// the blanks that pad the line up to the box's left edge in front of any text.
struct CBoxLineEdit
{
    int nFrom = 0;
    int nTo = 0;
    std::string strText;
    int nTextFrom = 0;  // where the given text starts in strText
    int nTextTo = 0;    // and where it ends

    bool ChangesNothing(std::string_view line) const
    {
        return line.substr(static_cast<std::size_t>(nFrom), static_cast<std::size_t>(nTo - nFrom)) == strText;
    }
};

CBoxLineEdit BoxLineEdit(std::string_view line, int nLeft, int nRight, int nTabSize, std::string_view text,
                         bool bPad, const CExtraChars *pExtra = nullptr);
