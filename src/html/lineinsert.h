// Text put at the start and the end of every line of a range: a repeated
// "<br>", tab or blank, or a text of the user's own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum ELinePiece
{
    LINEPIECE_BR = 0,     // "<br>" count times
    LINEPIECE_TAB = 1,    // a tab count times
    LINEPIECE_BLANK = 2,  // a blank count times
    LINEPIECE_TEXT = 3,   // the free text, once
};

// The string one side adds. bUpper writes the tag as "<BR>". A count below 1
// gives nothing for the repeated kinds.
std::string LinePieceText(ELinePiece eKind, int nCount, std::string_view strText, bool bUpper);

// Puts strHead before and strTail after every line.
void AddToLines(std::vector<std::string> &aLines, std::string_view strHead, std::string_view strTail);
