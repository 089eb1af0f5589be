// Box operations on a buffer: copying, replacing, inserting, indenting and
// outdenting a box of screen cells, line by line by the rules of boxgeom.h.
// Each changing operation is one undo step and one batch of edits, so that
// the views refresh once however many lines it touches.
#pragma once

#include "text/textbuffer.h"
#include "view/editops.h"

#include <string>
#include <string_view>
#include <vector>

struct CBox
{
    int nTop = 0;  // the first and the last line
    int nBottom = 0;
    int nLeft = 0;  // the columns nLeft .. nRight - 1
    int nRight = 0;

    int LineCount() const { return nBottom - nTop + 1; }
    bool HasWidth() const { return nRight > nLeft; }
};

// The box's text, one piece per line.
std::vector<std::string> GetBoxText(const CCrystalTextBuffer &buffer, const CBox &box, int nTabSize);

// Puts text in place of what the box covers on every one of its lines; an
// empty text removes the box's contents. Lines that end left of the box get
// blanks up to its left edge before a text. False when nothing changed.
bool ReplaceBox(CCrystalTextBuffer &buffer, CBufferView *pSource, const CBox &box, int nTabSize, std::string_view text,
                int nAction);

// Inserts the pieces as a box whose top left cell is column nColumn of line
// nLine: piece i goes to line nLine + i. Lines too short are padded with
// blanks; lines missing at the end of the text are added. False when nothing
// changed.
bool InsertBox(CCrystalTextBuffer &buffer, CBufferView *pSource, int nLine, int nColumn,
               const std::vector<std::string_view> &aPieces, int nTabSize, int nAction);

// INDENT_MORE: one tab at the box's left column of every line of the box
// that has text right of that column. INDENT_LESS: right of the box's left
// column, up to nTabSize spaces or one tab, whichever a line has there.
// False when nothing changed.
bool IndentBox(CCrystalTextBuffer &buffer, CBufferView *pSource, const CBox &box, EIndent eIndent, int nTabSize,
               int nAction);
