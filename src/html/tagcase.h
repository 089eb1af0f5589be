// The case of inserted markup and the whole-selection tag commands: turning
// tags to upper or lower case, erasing tags, and keeping only the tags.
//
// All of them work on Shift-JIS bytes. '<', '>', '"', CR and LF can never be
// the second byte of a double-byte character, so they are found by byte; only
// the case change walks the text by characters, so that a trail byte equal
// to an ASCII letter is never changed.
//
// The commands take the selection as line pieces (what the buffer hands out
// and takes back): between two pieces stands a line break, which counts as the
// two bytes CR LF. A line may hold CR or LF bytes of its own; working on
// pieces keeps them where they are. Each function has a text form as well,
// which treats line breaks as the bytes they are; joined with CR LF, the
// pieces' result and the text's result are the same.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Tag case rule A: the text in upper (or lower) case, except every run from a
// double quote through the next one; a double quote with no partner protects
// the rest of the text.
std::string TagCaseA(std::string_view text, bool bUpper);

// Tag case rule B: every tag from "<" up to the next ">" (or the end) in upper
// (or lower) case by rule A; a "<" followed by "!--" opens a comment and is
// left alone, as is everything outside tags. Lengths never change.
std::string TagCaseB(std::string_view text, bool bUpper);
void TagCaseB(std::vector<std::string> &aLines, bool bUpper);

// Every run from "<" through the next ">" deleted; a "<" with no ">" after it
// deletes to the end. A line break inside a tag goes with it.
std::string EraseTags(std::string_view text);
std::vector<std::string> EraseTags(const std::vector<std::string> &aLines);

// Only the runs from "<" through the next ">" (or to the end, for a "<" with
// no ">" after it) and the CR and LF bytes kept; every line break stays.
std::string KeepOnlyTags(std::string_view text);
std::vector<std::string> KeepOnlyTags(const std::vector<std::string> &aLines);
