// wrenpad-tool: scripted use of the editor's core. Each subcommand lives in a
// file of its own and registers itself with a static CCliRegistrar.
//
// Exit statuses: the commands that search (grep, regex) follow grep, 0 when
// something was found, 1 when nothing was, 2 on trouble (wrong arguments, an
// input that cannot be read, a bad expression); every other command exits
// with 0 when done, 1 when it failed, 2 for wrong arguments. Every error is
// one line on standard error beginning "wrenpad-tool:".
#pragma once

#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;  // the arguments after the subcommand name
using CliHandler = int (*)(const CliArgs &args);

inline constexpr int CLI_OK = 0;
inline constexpr int CLI_FAILED = 1;     // a command that does not search failed
inline constexpr int CLI_USAGE = 2;      // wrong arguments, for every command
inline constexpr int CLI_NOT_FOUND = 1;  // a search found nothing
inline constexpr int CLI_TROUBLE = 2;    // a search could not be done as asked

class CCliRegistrar
{
public:
    // bSearch: the command searches, and its statuses are those of grep.
    CCliRegistrar(const char *pszName, const char *pszUsage, CliHandler pfnHandler, bool bSearch = false);
};

// Prints "wrenpad-tool: <message>" on standard error as one line (line
// breaks in the message become blanks) and returns nStatus.
int CliFail(const std::string &strMessage, int nStatus = CLI_FAILED);
// Prints the first line of a subcommand's usage on standard error as an
// error line and returns CLI_USAGE.
int CliUsage(const char *pszName);

// What a command reads from a path it is given.
enum class ECliInput
{
    File,
    Folder,
};
// Whether strPath is an input of the kind that can be read. When it is not
// (missing, not readable, a folder where a file is wanted or the other way
// round, a device or a socket), prints "wrenpad-tool: cannot read PATH:
// REASON" and returns false; every command refuses such a path alike. A
// pipe is a file here, so that a script can hand over a stream.
bool CliCheckInput(const std::string &strPath, ECliInput eKind = ECliInput::File);

// Reads a whole file; false when it cannot be read.
bool CliReadFile(const std::string &strPath, std::string &strBytes);
// Reads all of standard input; false on a read error.
bool CliReadStandardInput(std::string &strBytes);
// Writes bytes to standard output; false on a write error.
bool CliWriteOut(const std::string &strBytes);
