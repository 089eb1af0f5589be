// Names around a document: the file filters of the open and save dialogs, the
// filter and extension chosen from a name, and the window title marks.
#pragma once

#include "platform/filefilter.h"

#include <string>
#include <string_view>
#include <vector>

// The filter lists in the resource form "label|patterns|label|patterns||",
// patterns joined by ';'.
extern const char *const OPEN_FILE_FILTER;
extern const char *const SAVE_FILE_FILTER;

// The extension of a file name (after the last '.' of its last component,
// without the dot), or empty.
std::string FileExtension(std::string_view name);
// Whether two names have the same extension, ignoring the case of ASCII
// letters ("a.HTML" and "b.html"; "a" and "b", which have none).
bool SameExtension(std::string_view nameA, std::string_view nameB);

// The save dialog's default extension and 1-based filter for a document
// title, decided by the title's extension in lower case. An untitled
// document passes the start of its text: with a title that has no extension
// ("新規ﾌｧｲﾙ1"), a text that begins as an HTML page is proposed as HTML.
struct CSaveFilterChoice
{
    std::string strDefaultExt;  // empty: none
    int nFilterIndex = 1;
};
CSaveFilterChoice SaveFilterForTitle(std::string_view title, std::string_view untitledText = {});

// The open dialog's 1-based initial filter for the active document's path;
// the extension is compared case-sensitively.
int OpenFilterIndexForPath(std::string_view path);

// The window title of a document window: the document's title, ":n" when the
// document has several windows (nWindow > 0), "(削除されました)" while its file
// is deleted, "(書込禁止)" while it is read-only and " *" (always last) while
// it is modified.
std::string FrameTitle(std::string_view docTitle, int nWindow, bool bReadOnly, bool bModified, bool bDeleted = false);
