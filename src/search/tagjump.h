// The text side of the tag jump and of the results bar: the token under the
// caret, what a selected text names (a URL or an existing file), and the file
// and line a result line points at.
#pragma once

#include <functional>
#include <string>
#include <string_view>

enum EJumpTarget
{
    JUMP_NONE = 0,
    JUMP_URL = 1,
    JUMP_FILE = 2,
};

// The token around the caret of a line: it runs from after the nearest hard
// delimiter (" tab CR LF ' , ; < > =) on the left to the nearest one on the
// right (one right at the caret does not count); where there is none on a
// side, a space ends it there, else the line's end. False when it is empty.
bool FindTokenAtCaret(std::string_view line, int nCaret, int &nStart, int &nEnd);

// A selected text cut down to what it names: blanks trimmed, then cut at the
// first space, ',', '"', tab, CR or LF.
std::string_view JumpTextOf(std::string_view selected);

// Whether a text starts with "http://", "https://", "file://" or "mailto:" in any case.
bool IsJumpUrl(std::string_view text);

// What a selected text (CP932) names: a URL, or a file that exists, looked
// for beside the document (strDocPath, empty for a new one) and then as
// written. '\' between names counts as '/'. strPath receives the file (UTF-8).
// fnExists tells whether a path exists (a file or a folder).
int ClassifyJumpText(std::string_view selected, const std::string &strDocPath, std::string &strPath,
                     const std::function<bool(const std::string &)> &fnExists);

// Whether a file's name is in an extension list such as "txt;html;htm", as
// CExtensionList matches it.
bool HasExtensionIn(const std::string &strPath, std::string_view strList);

// The file and line a result line of the folder search points at: the part
// before the first ": " must end in "(line)"; the last '(' there begins the
// line number. False for the other lines (messages, the summary).
bool ParseResultLine(std::string_view line, std::string &strPath, int &nLine);
