// Menus, tool bars and key sequences built from the command table and the
// menu and tool-bar layouts. Every item's action carries its command id;
// choosing it runs the given command function.
#pragma once

#include <QKeySequence>
#include <QList>

#include <functional>
#include <string_view>

class QAction;
class QMenu;
class QObject;
class QString;
class QToolBar;
class QWidget;
struct CMenuPopup;
struct CMenuResource;
struct CToolBarResource;

using CommandFn = std::function<void(int nID)>;

// The command id an action carries, 0 for none (separators, pop-ups).
int CommandOf(const QAction *pAction);

// The command's label from the table ("" for none).
QString CommandLabel(int nID);

// The top-level pop-ups of a menu resource, each a QMenu owned by pParent.
QList<QMenu *> BuildMenuPopups(const CMenuResource &menu, QWidget *pParent, const CommandFn &fnCommand);

// One pop-up with its items and sub-menus; pszTitle overrides the pop-up's own.
QMenu *BuildMenuPopup(const CMenuPopup &popup, const char *pszTitle, QWidget *pParent, const CommandFn &fnCommand);

// Pop-up nIndex of a menu resource, or null when it has no such pop-up.
QMenu *BuildResourcePopup(const CMenuResource &menu, int nIndex, QWidget *pParent, const CommandFn &fnCommand);

// The first action with the command id in a menu and its pop-ups, or null.
QAction *FindCommandAction(const QMenu *pMenu, int nID);

// A menu item's action: label, status-bar prompt and command.
QAction *MakeCommandAction(int nID, const QString &strText, QObject *pParent, const CommandFn &fnCommand);

// Fills a tool bar with the resource's buttons: icon, tool tip and prompt.
void BuildToolBar(QToolBar *pBar, const CToolBarResource &bar, const CommandFn &fnCommand);

// A key of the command table ("Ctrl+Shift+B") as a key sequence.
QKeySequence CommandKeySequence(std::string_view key);
