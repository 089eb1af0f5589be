// The hexadecimal and character dump of a file, as text for a new document:
// a three-line header, then one line per 16 bytes with the offset, the bytes
// in hexadecimal and the printable ASCII characters (every other byte as ".").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Files larger than this are not dumped: the dump is nearly five times the
// file's size and is held in memory whole.
inline constexpr std::uint64_t ASCII_DUMP_MAX_FILE_SIZE = 256ull * 1024 * 1024;

enum EAsciiDumpResult
{
    DUMP_OK = 0,
    DUMP_CANNOT_READ = 1,  // the file cannot be opened or read (errno says why)
    DUMP_TOO_LARGE = 2,    // above ASCII_DUMP_MAX_FILE_SIZE
};

// The exact length of the dump of nSize bytes under a header naming a path of
// nPathLength bytes.
std::uint64_t AsciiDumpLength(std::uint64_t nSize, std::size_t nPathLength);

// The dump of bytes held in memory; strHeaderPath is written as it is.
std::string FormatAsciiDump(std::string_view bytes, std::string_view strHeaderPath);

// Dumps the file at strPath (a file system path) with strHeaderPath in the
// header. The file is read in blocks and formatted as it is read, so that
// only the dump text is held whole. strOut is left empty unless DUMP_OK.
EAsciiDumpResult BuildAsciiDump(const std::string &strPath, std::string_view strHeaderPath,
                                std::string &strOut);
