// View types: which parse routine colours a view, chosen by a command of the
// "表示タイプ" menu or from the file name's extension.
#pragma once

#include "syntax/parse.h"

#include <string_view>

enum
{
    VIEWTYPE_CPP = 0,
    VIEWTYPE_VB = 1,
    VIEWTYPE_HTML = 2,
    VIEWTYPE_HTML_SIMPLE = 3,
    VIEWTYPE_PLAIN = 4,
    VIEWTYPE_PERL = 5,
    VIEWTYPE_PASCAL = 6,
    VIEWTYPE_STANDARD = 7,
    VIEWTYPE_COUNT = 8,
};

// The command range of the view types. The numeric order of the types is not
// the order of the commands (1700 is the standard type, 1707 the plain one).
enum
{
    VIEWTYPE_COMMAND_FIRST = 1700,
    VIEWTYPE_COMMAND_LAST = 1709,
};

// The routine of a type; null outside 0-7.
ParseLineFunc ParseLineFuncOfViewType(int nViewType);

// The view's parse entry: the routine of the type with the same arguments. The
// standard type passes no state on (always 0); a type outside 0-7 adds no
// blocks and returns 0.
std::uint32_t ParseLineByViewType(int nViewType, const CLineSource &lines, std::uint32_t dwCookie,
                                  int nLineIndex, ColorBlock *pBuf, int &nActualItems);

// The type a command of the range selects (the standard type for the unused
// ids); -1 for an id outside the range.
int ViewTypeFromCommand(int nCommandId);
// The command that shows a type as checked; 0 for a type outside 0-7.
int CommandFromViewType(int nViewType);
// Whether the menu item of a command is checked while the view has the type.
bool IsViewTypeCommandChecked(int nCommandId, int nViewType);

// The type a newly opened file gets from its extension (the text after the
// last '.' of the file name, in any case); the standard type otherwise.
int ViewTypeFromPath(std::string_view strPath);

// Whether a text begins as an HTML page: after blanks and line breaks,
// "<!DOCTYPE" or an "<html" tag, in any case.
bool TextStartsAsHtml(std::string_view text);
// The type a text without a file name calls for: HTML for a page, the
// standard type otherwise.
int ViewTypeFromText(std::string_view text);
