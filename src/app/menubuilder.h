// Menus and tool bars built from the resource tables. Every item's action
// carries its command id; choosing it runs the given command function.
#pragma once

#include <QList>

#include <functional>

class QAction;
class QMenu;
class QObject;
class QString;
class QToolBar;
class QWidget;
struct CMenuResource;
struct CToolBarResource;

using CommandFn = std::function<void(int nID)>;

// The command id an action carries, 0 for none (separators, pop-ups).
int CommandOf(const QAction *pAction);

// The top-level pop-ups of a menu resource, each a QMenu owned by pParent.
QList<QMenu *> BuildMenuPopups(const CMenuResource &menu, QWidget *pParent, const CommandFn &fnCommand);

// A deep copy of a menu whose items run fnCommand.
QMenu *CloneMenu(const QMenu *pSource, QWidget *pParent, const CommandFn &fnCommand);

// The first action with the command id in a menu and its pop-ups, or null.
QAction *FindCommandAction(const QMenu *pMenu, int nID);

// A menu item's action: label, status-bar prompt and command.
QAction *MakeCommandAction(int nID, const QString &strText, QObject *pParent, const CommandFn &fnCommand);

// Fills a tool bar with the resource's buttons.
void BuildToolBar(QToolBar *pBar, const CToolBarResource &bar, const CommandFn &fnCommand);
