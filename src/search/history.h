// The text histories of the search dialogs, kept in the settings as one
// string: the find and replace texts joined by '\n' (16 entries), the folder
// search's entries each followed by '\n' (17 entries). Most recent first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t FIND_HISTORY_MAX = 16;
inline constexpr std::size_t FOLDER_HISTORY_MAX = 17;

// The entries of a stored history; empty entries are dropped.
std::vector<std::string> SplitHistory(std::string_view strStored);
// The stored form: entries joined by '\n', or with bTerminate each followed by one.
std::string JoinHistory(const std::vector<std::string> &aEntries, bool bTerminate);
// Moves (or adds) an entry to the top and cuts the list to nMax entries.
// An empty entry changes nothing.
void PushHistory(std::vector<std::string> &aEntries, const std::string &strEntry, std::size_t nMax);
