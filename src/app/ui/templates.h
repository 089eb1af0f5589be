// Templates: plain files in the "templete" folder of the program folder.
// A new document can start from one (4000), the current text can be kept as
// one (4001), and the options sheet manages the folder (templatepage.h).
#pragma once

class CCrystalTextBuffer;
class CWrenpadApp;
class QWidget;

// 4000: chooses a template and opens a new untitled document with its text.
void OpenTemplate(CWrenpadApp *pApp, QWidget *pParent);

// 4001: asks for a name and saves a copy of the text as that template. The
// document keeps its own path, modified state and undo history.
void RegisterTemplate(CCrystalTextBuffer &buffer, QWidget *pParent);
