// wrenpad-tool: scripted use of the editor's core. Each subcommand lives in a
// file of its own and registers itself with a static CCliRegistrar.
#pragma once

#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;  // the arguments after the subcommand name
using CliHandler = int (*)(const CliArgs &args);

class CCliRegistrar
{
public:
    CCliRegistrar(const char *pszName, const char *pszUsage, CliHandler pfnHandler);
};

// Prints "wrenpad-tool: <message>" on standard error and returns nStatus.
int CliFail(const std::string &strMessage, int nStatus = 1);
// Prints the usage line of a subcommand on standard error and returns 2.
int CliUsage(const char *pszName);
// Reads a whole file; false when it cannot be read.
bool CliReadFile(const std::string &strPath, std::string &strBytes);
// Reads all of standard input; false on a read error.
bool CliReadStandardInput(std::string &strBytes);
// Writes bytes to standard output; false on a write error.
bool CliWriteOut(const std::string &strBytes);
