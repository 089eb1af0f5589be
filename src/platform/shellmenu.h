// "Wrenpadで編集" in the file manager's menu for files. Each file manager
// reads its own kind of file from the user's data folder, so the switch
// writes one file per kind that the file managers found on this system read,
// and removes them all again:
//   applications/      a hidden application entry: "Open With" everywhere
//   file-manager/actions/  a desktop action (Caja, PCManFM)
//   kio/servicemenus/  a service menu (Dolphin, Konqueror)
//   nemo/actions/      a Nemo action
// Where no file manager is found there is nothing to switch.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum EShellMenuKind : unsigned
{
    SHELLMENU_OPEN_WITH = 1u << 0,
    SHELLMENU_ACTIONS = 1u << 1,
    SHELLMENU_KDE = 1u << 2,
    SHELLMENU_NEMO = 1u << 3,
    SHELLMENU_ALL = SHELLMENU_OPEN_WITH | SHELLMENU_ACTIONS | SHELLMENU_KDE | SHELLMENU_NEMO,
};

inline constexpr const char *SHELLMENU_LABEL = "Wrenpadで編集";

// The kinds of file the file managers in the folders of a PATH value read;
// 0 when none is there.
unsigned DetectShellMenuKinds(std::string_view strPathVariable);

// The file of one kind, relative to the data folder.
const char *ShellMenuFileName(EShellMenuKind eKind);

// Quotes a program path for the Exec key of a desktop entry: in double
// quotes, with the characters the quoting rules reserve escaped, then
// escaped once more as a string value is. False for a path that cannot be
// written there (a control character, or not absolute).
bool DesktopExecProgram(const std::string &strProgram, std::string &strQuoted);

// The text of one kind's file, starting strProgram on the chosen files.
std::string ShellMenuFileText(EShellMenuKind eKind, const std::string &strQuotedProgram);

// Writes the files of the given kinds under strDataFolder (replacing earlier
// ones of ours) and removes our files of the other kinds. On failure nothing
// of ours is left and strError says why.
bool InstallShellMenu(const std::string &strDataFolder, const std::string &strProgram, unsigned nKinds,
                      std::string &strError);

// Removes every file of ours; a file of the same name that we did not write
// is left alone. False when one of ours could not be removed.
bool RemoveShellMenu(const std::string &strDataFolder);

// The kinds of which a file of ours is in place.
unsigned InstalledShellMenuKinds(const std::string &strDataFolder);
