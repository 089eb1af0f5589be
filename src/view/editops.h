// Text operations of the editing commands that need no window: bracket
// matching, block indent and outdent.
#pragma once

#include "text/textbuffer.h"

#include <string>
#include <string_view>
#include <vector>

// Brackets that take part in the bracket jump: "{<([" pair with "}>)]".
bool IsOpeningBracket(char ch);
bool IsClosingBracket(char ch);

struct CBracketMatch
{
    CPoint ptBracket;  // the bracket the search started from
    CPoint ptMatch;    // its partner
    bool bForward = false;
    bool bCaretAfter = false;  // the bracket was the byte before the caret
};

// Finds the partner of the bracket at the caret (or, failing that, of the one
// just before it). Brackets that are bytes of double-byte characters are not
// brackets. False when there is no bracket at the caret or no partner.
bool FindMatchingBracket(const CCrystalTextBuffer &buffer, CPoint ptCaret, CBracketMatch &match);

// Which way an indent command moves text: Tab, and Shift+Tab.
enum EIndent
{
    INDENT_MORE,
    INDENT_LESS,
};

// Block indent of line pieces (the lines of a selection that starts at a line
// start): a tab in front of every piece but a last empty one (the selection
// then ends at the start of the line after the block).
void IndentLines(std::vector<std::string> &aLines);

// Block outdent: from the start of every piece, up to nTabSize spaces or one
// tab, whichever it begins with.
void OutdentLines(std::vector<std::string> &aLines, int nTabSize);

// A line's text without its first indentation step (up to nTabSize spaces or one tab).
std::string_view WithoutIndentStep(std::string_view text, int nTabSize);

// The character at x of a line (its one or two bytes; empty at the line end)
// and its byte codes written "\x82\xA0" (upper-case hexadecimal).
std::string_view CharacterAt(std::string_view line, int x);
std::string CharCodeText(std::string_view chars);

// The leading blanks (spaces and tabs) of a line.
std::string_view LeadingBlanks(std::string_view line);
