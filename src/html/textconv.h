// The text conversions of the edit menu: each takes the selected text and
// returns the text that replaces it. They work on Shift-JIS bytes as the view
// hands them out (the selection's lines joined by CR LF; a lone CR or LF that a
// line holds is just another byte), never split a double-byte character, and
// look for an ASCII delimiter only where a character starts, never in the
// second byte of a double-byte one. Bytes that form no valid character pass
// through unchanged. Nothing here draws, asks or knows about the view.
//
// Character conversions live in textconv.cpp, line conversions in
// textconv_lines.cpp, the HTML ones in textconv_html.cpp.
#pragma once

#include <string>
#include <string_view>

// Every tab becomes nTabWidth blanks wherever it stands (no column alignment);
// a width of 0 counts as 1, so that no tab simply disappears.
std::string TabsToBlanks(std::string_view text, int nTabWidth);

// Every tab, CR, LF and blank byte is removed; the full-width space stays.
std::string DeleteAllBlanks(std::string_view text);

// Half-width katakana become full-width, a voiced-sound mark joined with the
// kana before it. The text comes back unchanged while the kanji converter
// library is not available.
std::string HalfKanaToFull(std::string_view text);

// Half-width katakana as HalfKanaToFull, then every printable ASCII character
// (blank included) becomes its full-width form; CR, LF, tabs and other
// control bytes stay. Unchanged while the converter library is not available.
std::string HalfWidthToFull(std::string_view text);

// Full-width letters and digits (and the full-width space) become half-width.
// Unchanged while the converter library is not available.
std::string FullAlnumToHalf(std::string_view text);

// Every full-width space becomes two blanks. False, and strOut untouched,
// when the text holds none.
bool FullSpacesToBlanks(std::string_view text, std::string &strOut);

// ASCII letters to lower (upper) case; double-byte characters keep theirs.
std::string LowerCaseText(std::string_view text);
std::string UpperCaseText(std::string_view text);

// The characters in reverse order; a double-byte character keeps its two
// bytes in order and a CR LF pair stays CR LF.
std::string ReverseCharacters(std::string_view text);

// --- Lines -------------------------------------------------------------------

// Leading blanks and tabs are removed from the text's start and behind every LF.
std::string DeleteLeadingBlanks(std::string_view text);

// At the text's start and behind every LF: leading blanks and tabs are passed
// over, and the prefix is removed when the line continues with it (as whole
// characters). With bBlanksFirst the leading blanks and tabs are removed
// first. An empty prefix changes nothing.
std::string DeleteLinePrefix(std::string_view text, std::string_view prefix, bool bBlanksFirst);

// A CR not followed by LF, and an LF not preceded by CR, become CR LF.
std::string LineBreaksToCrLf(std::string_view text);

// Behind every LF, all following CR and LF bytes are dropped, so that runs of
// empty lines disappear.
std::string DeleteEmptyLines(std::string_view text);

// The lines (each cut behind its LF) in reverse order. When the text does not
// end with a line break the result does not either: the lines are reversed
// and each line break stays where it was, so no two lines run together.
std::string ReverseLines(std::string_view text);

// Breaks lines so that none holds more than 2 * nWidth bytes (a double-byte
// character counts two): before a character that would not fit, CR LF is
// inserted. An LF starts a new count; a CR does not. With bKinsoku a closing
// character (。、」）... ) that would not fit still ends the line it follows,
// and an opening character (「（... ) is moved to the next line when the line
// already holds 2 * nWidth - 2 bytes or more. A width below 1 changes nothing.
std::string BreakLinesAtWidth(std::string_view text, int nWidth, bool bKinsoku);

// --- HTML --------------------------------------------------------------------

// '"', '&', '<' and '>' become "&QUOT;", "&AMP;", "&LT;" and "&GT;".
std::string EscapeHtmlSpecials(std::string_view text);

// "&QUOT;", "&AMP;", "&LT;" and "&GT;" in any case of their letters are turned
// back; any other ampersand stays as it is.
std::string UnescapeHtmlSpecials(std::string_view text);

// Form data: the text is cut at every '&' into fields (empty ones dropped),
// each field is URL-decoded ("%" and two hexadecimal digits give one byte,
// "+" a blank) and converted from the character code found in it to
// Shift-JIS, and the fields are joined with CR LF.
std::string DecodeFormData(std::string_view text);

// Whether a character (its one or two bytes) belongs to the characters that
// may not begin a line, or to those that may not end one.
bool IsKinsokuClosing(std::string_view ch);
bool IsKinsokuOpening(std::string_view ch);
