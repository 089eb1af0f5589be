// The options' "エクスプローラーのメニューに追加する": on this system the
// file manager's menu entry "Wrenpadで編集" (tools/shellmenu.h) in the user's
// data folder, for the file managers found on the search path.
#pragma once

class QWidget;

// Whether a file manager that reads one of the entries is installed.
bool IsShellMenuSupported();

// Writes the entries for this program (bOn) or removes them. Returns whether
// they are in place afterwards; a failure is told in a message box over
// pParent unless bQuiet.
bool ApplyShellMenuSwitch(bool bOn, QWidget *pParent, bool bQuiet = false);
