#include "res/ui/menubuilder.h"

#include "res/commandtable.h"
#include "res/menus.h"
#include "res/toolbars.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QToolBar>

namespace {

QString TableText(const char *psz)
{
    return psz ? QString::fromUtf8(psz) : QString();
}

void AddMenuItems(QMenu *pMenu, const CMenuPopup &popup, const CommandFn &fnCommand)
{
    for (const CMenuItem &item : popup.items) {
        switch (item.eKind) {
        case MENU_SEPARATOR:
            pMenu->addSeparator();
            break;
        case MENU_POPUP:
            pMenu->addMenu(BuildMenuPopup(*item.pPopup, item.pszLabel, pMenu, fnCommand));
            break;
        case MENU_COMMAND:
            pMenu->addAction(MakeCommandAction(
                item.nID, item.pszLabel ? QString::fromUtf8(item.pszLabel) : CommandLabel(item.nID), pMenu, fnCommand));
            break;
        }
    }
}

} // namespace

int CommandOf(const QAction *pAction)
{
    return pAction ? pAction->data().toInt() : 0;
}

QString CommandLabel(int nID)
{
    const CCommandInfo *pInfo = FindCommandInfo(nID);
    return pInfo ? TableText(pInfo->pszLabel) : QString();
}

QAction *MakeCommandAction(int nID, const QString &strText, QObject *pParent, const CommandFn &fnCommand)
{
    auto *pAction = new QAction(strText, pParent);
    pAction->setData(nID);
    if (const CCommandInfo *pInfo = FindCommandInfo(nID))
        pAction->setStatusTip(TableText(pInfo->pszPrompt));
    QObject::connect(pAction, &QAction::triggered, pAction, [fnCommand, nID] { fnCommand(nID); });
    return pAction;
}

QMenu *BuildMenuPopup(const CMenuPopup &popup, const char *pszTitle, QWidget *pParent, const CommandFn &fnCommand)
{
    auto *pMenu = new QMenu(QString::fromUtf8(pszTitle ? pszTitle : popup.pszTitle), pParent);
    AddMenuItems(pMenu, popup, fnCommand);
    return pMenu;
}

QList<QMenu *> BuildMenuPopups(const CMenuResource &menu, QWidget *pParent, const CommandFn &fnCommand)
{
    QList<QMenu *> aTop;
    for (const CMenuItem &item : menu.items)
        if (item.eKind == MENU_POPUP)
            aTop << BuildMenuPopup(*item.pPopup, item.pszLabel, pParent, fnCommand);
    return aTop;
}

QMenu *BuildResourcePopup(const CMenuResource &menu, int nIndex, QWidget *pParent, const CommandFn &fnCommand)
{
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= menu.items.size())
        return nullptr;
    const CMenuItem &item = menu.items[static_cast<std::size_t>(nIndex)];
    if (item.eKind != MENU_POPUP)
        return nullptr;
    return BuildMenuPopup(*item.pPopup, item.pszLabel, pParent, fnCommand);
}

QAction *FindCommandAction(const QMenu *pMenu, int nID)
{
    for (QAction *pAction : pMenu->actions()) {
        if (pAction->menu()) {
            if (QAction *pFound = FindCommandAction(pAction->menu(), nID))
                return pFound;
        } else if (CommandOf(pAction) == nID) {
            return pAction;
        }
    }
    return nullptr;
}

void BuildToolBar(QToolBar *pBar, const CToolBarResource &bar, const CommandFn &fnCommand)
{
    for (const int nID : bar.buttons) {
        if (nID == 0) {
            pBar->addSeparator();
            continue;
        }
        const CCommandInfo *pInfo = FindCommandInfo(nID);
        QAction *pAction = MakeCommandAction(nID, pInfo ? TableText(pInfo->pszTip) : QString(), pBar, fnCommand);
        if (pInfo && pInfo->pszIcon)
            pAction->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(pInfo->pszIcon))));
        pBar->addAction(pAction);
    }
}

QKeySequence CommandKeySequence(std::string_view key)
{
    return QKeySequence::fromString(QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())),
                                    QKeySequence::PortableText);
}
