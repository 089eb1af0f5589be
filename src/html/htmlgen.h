// The HTML generators: text written vertically, characters in a colour
// gradation, a table turned into separated values, and a document's coloured
// lines as an HTML fragment. Each takes Shift-JIS bytes and returns the text
// that replaces the selection (or goes to the clipboard). They never split a
// double-byte character and never look for an ASCII delimiter in the second
// byte of one. Nothing here knows about views or dialogs.
//
// Vertical writing lives in htmlgen_vertical.cpp, the gradation in
// htmlgen_gradation.cpp, the table conversion in htmlgen_table.cpp and the
// coloured copy in htmlgen_copy.cpp.
#pragma once

#include "html/tablesep.h"
#include "syntax/parse.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// --- Vertical writing ----------------------------------------------------------

// The text as rows of a <pre> block, read top to bottom and right to left: the
// first line becomes the rightmost column. Printable ASCII and half-width
// katakana become full-width first; any other single byte (CR, tab, control
// bytes, bytes that start no character) is dropped. Punctuation that has no
// upright form is replaced by a look-alike. Empty when the text holds no
// character. The widening needs the kanji converter library (the commands are
// disabled without it); without it ASCII is dropped rather than widened.
std::string BuildVerticalSimple(std::string_view text);

// The text as one table cell per line, each character followed by "<br>", the
// first line rightmost. Tab and CR bytes are copied without "<br>". With
// nRows from 1 to 1000 every column holds exactly nRows characters: a longer
// line continues in the next column to the left and shorter columns are
// padded with full-width spaces. nRows 0 leaves the columns as long as their
// lines.
std::string BuildVerticalTable(std::string_view text, int nRows = 0);

// --- Gradation -----------------------------------------------------------------

// A colour as 0x00RRGGBB.
struct CGradColor
{
    int nRed = 0;
    int nGreen = 0;
    int nBlue = 0;
};

// Every visible character (a double-byte character, or any byte but CR, LF
// and tab) wrapped in <font color="#rrggbb"> ... </font>, the colour moving
// from crFrom towards crTo; the last character stops one step short of crTo.
// With bRainbow the characters go through red, yellow, green, cyan, blue,
// magenta and pink instead. bUpperTags writes the tag texts in upper case.
std::string BuildGradation(std::string_view text, CGradColor crFrom, CGradColor crTo, bool bRainbow,
                           bool bUpperTags);

// Parses "#rrggbb" (or "rrggbb"); false when it is not six hexadecimal digits.
bool ParseHtmlColor(std::string_view str, CGradColor &color);

// --- Table to separated values -------------------------------------------------

// The rows and cells of the table markup as lines of values joined by the
// separator (any other nSeparator: comma). Blanks, tabs and line breaks
// outside tags are dropped; comments are dropped; other tags are dropped with
// bEraseOtherTags and kept otherwise.
std::string TableToSeparatedValues(std::string_view text, int nSeparator, bool bEraseOtherTags);

// --- Copy as HTML --------------------------------------------------------------

// The colour of a colour index as 0x00BBGGRR (the way colour settings store it).
using ColorOfIndexFunc = std::function<std::uint32_t(int nColorIndex)>;
// The colour runs of a line, as the view draws them: fills aBlocks and sets
// nBlocks to how many of them belong to the line.
using LineBlocksFunc = std::function<void(int nLine, std::vector<ColorBlock> &aBlocks, int &nBlocks)>;

// Lines nFirstLine to nLastLine of the source, whole, as an HTML table holding
// a <pre> block, each colour run in a <font> element. crBackground and
// crNormalText are 0x00BBGGRR.
std::string BuildCopyAsHtml(const CLineSource &lines, int nFirstLine, int nLastLine,
                            const LineBlocksFunc &blocksOf, const ColorOfIndexFunc &colorOf,
                            std::uint32_t crBackground, std::uint32_t crNormalText);

// The same for a whole text coloured by the parse routine of a view type
// (lines split as the buffer splits inserted text), with the colours a user
// who changed no setting sees.
std::string BuildCopyAsHtmlOfText(std::string_view text, int nViewType);
