// Opening a URL or a file with the desktop's own program (what the shell's
// "open" verb did), and starting a program on a file, behind hooks so that
// tests see what would be opened or started.
#pragma once

#include <functional>
#include <string>

// strTarget is a URL with a scheme, or a file path (UTF-8). False when
// nothing could be started.
bool ShellOpen(const std::string &strTarget);
void SetShellOpenHook(std::function<bool(const std::string &)> hook);

// Starts a program (a path, or a name looked up in PATH) with one argument,
// passed exactly as it is: no shell, no quoting, spaces kept. The program
// runs on by itself. False when it could not be started.
bool StartProgram(const std::string &strProgram, const std::string &strArgument);
void SetStartProgramHook(std::function<bool(const std::string &strProgram, const std::string &strArgument)> hook);
