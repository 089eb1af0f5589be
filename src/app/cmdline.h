// The command line: help and version, the uninstall switch, printing to PDF
// and the files to open.
#pragma once

#include <string>
#include <vector>

enum EUnregMode
{
    UNREG_NONE,
    UNREG_CONFIRM,  // "/unreg": ask before removing the settings
    UNREG_SILENT,   // "/unreg" with "/s": no boxes at all
};

// args holds the arguments after the program name. The switch counts only
// when there are one or two arguments; both are compared case-insensitively.
EUnregMode ParseUnregSwitch(const std::vector<std::string> &args);

// The files named on the command line, in order: every argument except
// options beginning with '-' (an argument "--" ends the options).
std::vector<std::string> CommandLineFiles(const std::vector<std::string> &args);

// "--print-pdf OUT FILE": print FILE to the PDF file OUT and end, without a
// window. bRequested is set when the option is present; strError then tells
// what is wrong with its arguments (empty when OUT and FILE were given).
struct CPrintPdfArgs
{
    bool bRequested = false;
    std::string strOut;
    std::string strFile;
    std::string strError;
};
CPrintPdfArgs ParsePrintPdfArgs(const std::vector<std::string> &args);

// "--help" (or "-h") and "--version" answer on standard output and end the
// program before any window or display is needed. Either counts anywhere
// before "--"; help wins over version.
enum EInfoSwitch
{
    INFO_NONE,
    INFO_HELP,
    INFO_VERSION,
};
EInfoSwitch ParseInfoSwitch(const std::vector<std::string> &args);

// The text "--help" prints, in Japanese or in English.
std::string CommandLineUsage(bool bJapanese);

// True when the messages locale of the environment (LC_ALL, else
// LC_MESSAGES, else LANG, the first one set and not empty) is Japanese.
bool IsJapaneseMessagesLocale(const char *pszLcAll, const char *pszLcMessages, const char *pszLang);
