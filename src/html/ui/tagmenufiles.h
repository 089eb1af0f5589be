// The process's user tags, web menu and attribute lists, read from the files
// of the program folder: the attribute lists and the web menu when the main
// window is made, the user tags then and again before and after each change.
#pragma once

#include "html/tagalign.h"
#include "html/usertags.h"
#include "html/webmenufile.h"

#include <string>

CUserTagList &AppUserTags();
CWebMenuFile &AppWebMenu();
CAlignList &AppTagAlign();
CAlignList &AppUsrAlign();

// The path of a file in the program folder (UTF-8).
std::string ProgramFilePath(const char *pszName);

// Reads all four files.
void LoadTagMenuFiles();
// Reads usertag.ini again.
void ReloadUserTags();
// Writes the list to usertag.ini; false when it cannot be written.
bool SaveUserTags();
