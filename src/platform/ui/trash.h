// The desktop's trash: deleting that can be undone from the file manager.
#pragma once

#include <string>

// Moves a file or a folder (with what is in it) to the user's trash. False,
// with the item untouched, when there is no trash to take it.
bool MoveToTrash(const std::string &strPath);
