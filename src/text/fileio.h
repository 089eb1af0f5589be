// File-system helpers shared by loading, saving and the document.
#pragma once

#include <string>

// The file a path names after following every symbolic link in its last
// component (a link to a link ...). Relative link targets are taken relative
// to the link's folder. A path that is not a link comes back unchanged.
std::string ResolveSymlinks(const std::string &strPath);

// Whether the user cannot write the existing file at strPath. The superuser
// can write any file, so for it a file without any write permission bit counts
// as read-only, as the permissions say.
bool IsFileReadOnly(const std::string &strPath);
