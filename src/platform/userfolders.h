// The folders of this user and this installation that the editor and its
// command-line tool share, found the way the desktop's base-directory rules
// say, without the toolkit.
#pragma once

#include <string>

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute. Empty
// when neither it nor $HOME is known.
std::string UserDataFolder();

// The editor's per-user program folder: "Orvane Applet/Wrenpad" in the data
// folder (where the editor keeps its user tags, menus and plug-ins).
std::string UserProgramFolder();

// The installation's plug-in folder seen from the folder of the running
// program: "../lib/wrenpad/plugins" beside an installed program, "plugins"
// beside a program run from its build tree, else pszInstalled when that
// folder exists. Empty when there is none.
std::string InstalledPluginFolder(const std::string &strProgramFolder, const char *pszInstalled);

// The folder of the running program, from /proc/self/exe; empty if unknown.
std::string RunningProgramFolder();
