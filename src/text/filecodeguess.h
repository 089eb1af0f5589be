// What the explorer's properties say about a file's bytes: the character code
// it is most likely written in, and its permission bits as "rwxr-xr-x".
#pragma once

#include <string>
#include <string_view>

enum EFileCodeGuess
{
    FILECODE_EMPTY,
    FILECODE_ASCII,      // nothing but 7-bit text
    FILECODE_SJIS,
    FILECODE_EUC,
    FILECODE_JIS,        // ISO-2022-JP
    FILECODE_UTF8,
    FILECODE_UTF8_BOM,
    FILECODE_UTF16,      // with its byte-order mark
    FILECODE_BINARY,     // NUL bytes outside a UTF-16 text
    FILECODE_UNKNOWN,    // bytes above 0x7F that decide nothing
};

// Guesses from the first bytes of a file; bWhole says they are all of it.
// Otherwise a character cut at the end of the sample does not count against
// UTF-8. UTF-8 is tried before the Japanese codes, because the kanji
// detection takes UTF-8 for Shift-JIS.
EFileCodeGuess GuessFileCode(std::string_view sample, bool bWhole);

// The guess for the file at a path from its first 64 KB; FILECODE_UNKNOWN
// when it cannot be read.
EFileCodeGuess GuessCodeOfFile(const std::string &strPath);

// How the properties name the guess (UTF-8).
const char *FileCodeGuessName(EFileCodeGuess eGuess);

// The owner, group and other permission bits of a mode, "rw-r--r--", with
// the set-id and sticky bits in the execute places as ls shows them.
std::string FormatPermissions(unsigned nMode);
