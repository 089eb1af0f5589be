// Where the editor keeps what it must find again after a crash or a restart:
// the recovery records of unsaved documents and the list of the last
// session's files. $XDG_STATE_HOME/wrenpad, or ~/.local/state/wrenpad, private
// to the user.
#pragma once

#include <string>

std::string StateFolder();
// Tests point the state folder elsewhere; an empty path ends that.
void SetStateFolderOverride(const std::string &strPath);

// Creates a folder and its missing parents, each readable by the user alone,
// and takes group and other access away from the folder itself if it has
// any. False, with the reason, when the folder cannot be made or is not a
// folder.
bool EnsurePrivateFolder(const std::string &strPath, std::string &strError);

// Whether a file can be created in the folder (it is removed again).
bool CanCreateFilesIn(const std::string &strFolder, std::string &strError);
