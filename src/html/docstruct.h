// The structure of a whole HTML document: where its html, head, title and
// body tags stand, and the edits of the basic-HTML, title and body commands.
//
// The document is its lines without line breaks (a line break between two
// lines counts as CR LF when text is inserted). "<html>", "<head>",
// "<title>" and "</head>" are looked for in the first lines only
// (STRUCTURE_HEAD_LINES), "<body" in the whole document; the search ignores
// the case of ASCII letters.
#pragma once

#include "text/textbuffer.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr int STRUCTURE_HEAD_LINES = 30;

// A place in the lines: byte x of line y.
struct CDocTagPos
{
    bool bFound = false;
    CPoint ptStart;  // the "<"
    CPoint ptEnd;    // behind the ">" (or behind the text looked for)
};

struct CDocStructure
{
    CDocTagPos html;
    CDocTagPos head;
    CDocTagPos headEnd;
    CDocTagPos title;    // the title's text: from behind "<title>" to "</title>"
    CDocTagPos body;     // the whole body tag
};
CDocStructure FindDocStructure(const std::vector<std::string> &aLines);

// The text between two places; line breaks come back as CR LF.
std::string DocText(const std::vector<std::string> &aLines, CPoint ptStart, CPoint ptEnd);
// The title element's text and the whole body tag, empty when absent.
std::string DocTitle(const std::vector<std::string> &aLines);
std::string DocBodyTag(const std::vector<std::string> &aLines);

// Replaces the text between two places with text that may hold CR LF, CR or
// LF line breaks; returns where the new text ends.
CPoint ReplaceDocText(std::vector<std::string> &aLines, CPoint ptStart, CPoint ptEnd, std::string_view text);

// "基本HTML": a bare document is wrapped whole in an html frame with the
// title and the body tag; a document with a title or body tag but no html
// tag is wrapped in html tags first; then the title is set and the body tag
// written. strBodyAttributes is the body's attribute text (leading blank
// included). bUpper writes the fixed tags in upper case; the title and the
// attribute values keep their case.
void ApplyBasicHtml(std::vector<std::string> &aLines, std::string_view strTitle, std::string_view strBodyAttributes,
                    bool bUpper);
// The title set: an existing title's text replaced, else a title element
// inserted behind "<head>", or a head with the title behind "<html>".
void ApplyTitle(std::vector<std::string> &aLines, std::string_view strTitle, bool bUpper);
// The body tag written: an existing one rewritten whole, else one inserted
// behind "</head>" or "<html>".
void ApplyBodyTag(std::vector<std::string> &aLines, std::string_view strBodyAttributes, bool bUpper);
