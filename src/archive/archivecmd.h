// The archive back end as the editor's dialogs call it: two entries named
// after the libraries the program once drove, "Unlha" (LZH) and "UnZip"
// (ZIP), each taking one command line and filling an output text; 0 means
// success (see EArchiveResult for the rest).
//
// Unlha:  u [-switches] "ARCHIVE" "BASE/" [FILES]   pack (ZIP too when the
//                                                   name ends in ".zip")
//         e [-switches] "ARCHIVE" "DEST/" [*.*]     unpack everything
//         v "ARCHIVE"                               list
// UnZip:  -x [-switches] "ARCHIVE" "DEST/"          unpack everything
//         -v "ARCHIVE"                              list
// Switches of the old libraries are accepted and change nothing, except
// "--overwrite" (or "-o", as UnZip spells it): existing files are replaced instead
// of kept. Arguments are separated by blanks; a quoted argument may hold
// blanks, and inside it \" is a quote and \\ a backslash.
#pragma once

#include "archive/archive.h"

#include <string>
#include <vector>

int Unlha(const std::string &strCommandLine, std::string &strOutput, const CArchiveProgress *pProgress = nullptr);
int UnZip(const std::string &strCommandLine, std::string &strOutput, const CArchiveProgress *pProgress = nullptr);

// The text to put between the quotes of an argument.
std::string ArchiveQuoted(const std::string &strArg);
// A name for a file list: bare when nothing in it needs quoting, else
// quoted, so that a single name with blanks stays one name.
std::string ArchiveListArg(const std::string &strName);
// The arguments of a command line; false when a quote is not closed.
// pQuoted, when given, tells which were quoted: only bare ones are switches.
bool SplitArchiveCommandLine(const std::string &strCommandLine, std::vector<std::string> &aArgs,
                             std::vector<bool> *pQuoted = nullptr);
