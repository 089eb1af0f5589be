// Paths as the file system takes them: bytes, '/' between names.
#pragma once

#include <string>
#include <string_view>

// The folder and a name joined with one '/'.
std::string JoinPath(std::string_view strFolder, std::string_view strName);
// The folder part of a path ("/" for an item of the root, empty when there is none).
std::string ParentPath(std::string_view strPath);
// The last name of a path.
std::string_view BaseName(std::string_view strPath);
