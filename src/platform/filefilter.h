// File filters as the program's resources write them, and as the file
// dialogs take them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CFileFilter
{
    std::string strLabel;                 // "Html Files  (*.html;*.htm)"
    std::vector<std::string> aPatterns;   // {"*.html", "*.htm"}
};

// Splits a filter list; a trailing label without patterns is dropped.
std::vector<CFileFilter> ParseFileFilter(std::string_view filter);

// The filters in the form of the file dialog: the patterns inside the
// label's parentheses separated by blanks, "Html Files  (*.html *.htm)";
// "*.*" becomes "*", every file, names without a dot too.
std::vector<std::string> DialogFilterStrings(std::string_view filter);
