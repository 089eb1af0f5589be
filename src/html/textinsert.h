// What the insertion commands of the edit menu put into the text: the path of
// a file relative to the document's folder, the current date and time in the
// user's format, and the bytes of a text file. Paths and formats are UTF-8 as
// the file system and the settings hold them; the view converts the result to
// Shift-JIS. File contents come back as they are, with no code conversion.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// The path of strFile as a link from a page at strDocument: the folders the
// two share are dropped, "../" climbs out of each folder of the document's
// that remains, then come the file's remaining folders and its name. A file
// beside the document gives its bare name. Both paths are made absolute and
// normal first ("a/./b" and "a//b" are "a/b"); folders compare whole and
// case-sensitively. A document without a path gives the file's absolute path.
std::string RelativeLinkPath(const std::string &strDocument, const std::string &strFile);

// The date format used when the setting is empty.
inline constexpr const char *DEFAULT_DATE_FORMAT = "%Y/%m/%d %H:%M";

// tm formatted as strftime does in the current locale (an empty format means
// DEFAULT_DATE_FORMAT). Results of any length come back whole.
std::string FormatDateTime(std::string_view format, const std::tm &tm);

enum EInsertFileResult
{
    INSERTFILE_OK,
    INSERTFILE_NOT_FOUND,      // no such file, or a folder on its path is missing
    INSERTFILE_NO_HANDLES,     // too many files open
    INSERTFILE_HARDWARE,       // an input/output error of the device
    INSERTFILE_UNKNOWN,        // any other failure (permission denied ...)
    INSERTFILE_DIRECTORY,      // a folder: refused, not read
    INSERTFILE_NOT_REGULAR,    // a device, pipe or socket: refused, not read
    INSERTFILE_TOO_LARGE,      // INSERT_FILE_LIMIT bytes or more: refused
};

// Files this large or larger are not read into a document.
inline constexpr std::int64_t INSERT_FILE_LIMIT = std::int64_t{1} << 31;

// Reads a whole regular file into strBytes. On any result but INSERTFILE_OK
// strBytes is left empty.
EInsertFileResult ReadFileForInsertion(const std::string &strPath, std::string &strBytes,
                                       std::int64_t nLimit = INSERT_FILE_LIMIT);

// Whether a text's first line break is a lone LF: a file written with LF line
// ends, whose lines are cut at every LF (as when it is opened) rather than at
// CR and CR LF.
bool IsLineFeedText(std::string_view bytes);

// The text cut at every LF, without the LFs (a text ending in LF ends with an
// empty piece).
std::vector<std::string_view> CutAtLineFeeds(std::string_view bytes);
