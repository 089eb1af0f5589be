// File-name patterns, as the folder search, the explorer's filters and every
// other list of file types match them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Whether a file name (UTF-8) matches a wildcard pattern: '*' any run of
// characters, '?' one character, ASCII letters in either case; "*.*" matches
// every name. A pattern whose extension is exactly three characters without
// a wildcard also matches longer extensions that begin with them ("*.htm"
// finds "page.html"), as such patterns always did through the short names of
// long file names; stored lists of file types rely on it.
bool MatchWildcard(std::string_view strPattern, std::string_view strName);

// An extension list as the settings hold it ("txt;html;htm"): entries
// separated by ';', blanks around them ignored, a leading "*." or "." allowed.
// A name is in the list when it matches the wildcard "*." + entry, so an
// entry may hold wildcards of its own ("ht*").
class CExtensionList
{
public:
    CExtensionList() = default;
    explicit CExtensionList(std::string_view strList);

    bool IsEmpty() const { return m_aPatterns.empty(); }
    // Whether the file name (no folder) is in the list; never for an empty list.
    bool Matches(std::string_view strName) const;

private:
    std::vector<std::string> m_aPatterns;
};
