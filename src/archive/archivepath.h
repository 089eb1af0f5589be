// The rules that keep an archive's entries inside the folder they are
// unpacked into, and the decoding of entry names written on other systems.
// Pure functions over bytes; nothing here touches the disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// An entry name as this system names files (UTF-8): a valid UTF-8 name is
// kept; otherwise a name that is valid Shift-JIS (CP932), as Japanese
// archivers write them, is converted; any other bytes stay as they are, since
// a file name may hold them.
std::string DecodeEntryName(std::string_view raw);

// Whether the bytes are valid UTF-8 (ASCII included).
bool IsValidUtf8(std::string_view text);

enum EEntryPathProblem
{
    ENTRY_PATH_OK = 0,
    ENTRY_PATH_EMPTY,      // no name left (only "." parts or separators)
    ENTRY_PATH_ABSOLUTE,   // starts at the root or with a drive letter
    ENTRY_PATH_PARENT,     // a ".." part would leave the folder
};

// Splits an entry name into the parts of a path below the destination:
// "\" counts as a separator as "/" does (names are decoded already, so it
// is never the second byte of a double-byte character), empty and "."
// parts are dropped. Anything absolute or going up is refused whole.
EEntryPathProblem SplitEntryPath(std::string_view name, std::vector<std::string> &aParts);

// Whether a symbolic link in the folder aFolder (parts below the
// destination) pointing to strTarget stays inside the destination, judged
// on the text alone: an absolute target does not, nor one whose ".." parts
// climb above the destination or come after a part that goes down (that
// part may be a link itself).
bool IsLinkTargetInside(const std::vector<std::string> &aFolder, std::string_view target);

// A name for a listing or a message: control characters become '?', so a
// hostile name cannot forge lines.
std::string PrintableName(std::string_view name);
