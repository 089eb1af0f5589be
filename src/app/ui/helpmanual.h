// The user manual as the help commands see it: which page of the manual
// holds an anchor, what F1 asks about at this moment, and the address of
// the page that answers it.
//
// The manual's pages are the one place the anchors are kept: every command
// has an element with the enum name of its id ("ID_FILE_SAVE"), every
// dialog one named "dlg-" and its class ("dlg-CFindDlg"). The pages are
// read for their anchors once, on the first help asked for.
#pragma once

#include <QString>
#include <QUrl>

#include <string>
#include <vector>

class QWidget;

// The page of the text view, for F1 when nothing more particular has the
// focus, and the contents page.
inline constexpr const char *HELP_VIEW_PAGE = "edit.html";
inline constexpr const char *HELP_CONTENTS_PAGE = "index.html";

// What a help request asks for: anchors, the most particular first, and
// the page to show when the manual has none of them.
struct CHelpTopic
{
    std::vector<std::string> aAnchors;
    std::string strPage = HELP_CONTENTS_PAGE;
};

// The anchor of a command: the enum name of its row in the command table;
// an id inside a range row gives the range's ("ID_FILE_MRU_FILE1"). Empty
// for an id without a row.
std::string CommandHelpAnchor(int nID);

// The anchor of a window of ours: "dlg-" and the name of its class (the
// most derived one, whether or not it declares itself to Qt's meta-objects).
std::string WidgetHelpAnchor(const QWidget *pWidget);

// What F1 asks about now:
// - the item under the mouse in an open menu, when it is a command;
// - the dialogs, panes and windows around the keyboard focus, innermost
//   first, and the windows the active one belongs to (a message box over
//   a dialog asks about the dialog);
// - the commands whose handlers are running, innermost first (a dialog of
//   the toolkit's, the printer's say, opened by a command);
// - else the page of the text view.
CHelpTopic CurrentHelpTopic();

// The address of the page that answers a topic in the manual of the folder:
// the page of its first anchor the manual has (with the anchor), else the
// topic's page, else the contents. Empty when the folder holds no manual.
// A folder's anchors are read once and kept.
QUrl ResolveHelpTopic(const QString &strManualFolder, const CHelpTopic &topic);
// Forgets the anchors read (a test changed the pages).
void ForgetManualAnchors();
