// Opening a URL or a file with the desktop's own program (what the shell's
// "open" verb did), behind a hook so that tests see what would be opened.
#pragma once

#include <functional>
#include <string>

// strTarget is a URL with a scheme, or a file path (UTF-8). False when
// nothing could be started.
bool ShellOpen(const std::string &strTarget);
void SetShellOpenHook(std::function<bool(const std::string &)> hook);
