// File-name patterns, as the folder search, the explorer's filters and every
// other list of file types match them.
#pragma once

#include <string_view>

// Whether a file name (UTF-8) matches a wildcard pattern: '*' any run of
// characters, '?' one character, ASCII letters in either case; "*.*" matches
// every name. A pattern whose extension is exactly three characters without
// a wildcard also matches longer extensions that begin with them ("*.htm"
// finds "page.html"), as such patterns always did through the short names of
// long file names; stored lists of file types rely on it.
bool MatchWildcard(std::string_view strPattern, std::string_view strName);
