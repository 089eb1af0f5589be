#include "app/menubuilder.h"

#include "res/menus.h"
#include "res/prompts.h"
#include "res/toolbars.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QToolBar>

namespace {

QString PromptPart(int nID, int nPart)
{
    const char *pszPrompt = CommandPrompt(nID);
    if (!pszPrompt)
        return QString();
    return QString::fromUtf8(pszPrompt).section(QLatin1Char('\n'), nPart, nPart);
}

} // namespace

int CommandOf(const QAction *pAction)
{
    return pAction ? pAction->data().toInt() : 0;
}

QAction *MakeCommandAction(int nID, const QString &strText, QObject *pParent, const CommandFn &fnCommand)
{
    auto *pAction = new QAction(strText, pParent);
    pAction->setData(nID);
    pAction->setStatusTip(PromptPart(nID, 0));
    if (nID == 0)
        pAction->setEnabled(false);
    else
        QObject::connect(pAction, &QAction::triggered, pAction, [fnCommand, nID] { fnCommand(nID); });
    return pAction;
}

QList<QMenu *> BuildMenuPopups(const CMenuResource &menu, QWidget *pParent, const CommandFn &fnCommand)
{
    QList<QMenu *> aTop;
    QList<QMenu *> stack;
    for (std::size_t i = 0; i < menu.nCount; ++i) {
        const CMenuEntry &e = menu.pEntries[i];
        QMenu *pCurrent = stack.isEmpty() ? nullptr : stack.last();
        switch (e.eKind) {
        case MENU_POPUP: {
            QMenu *pPopup = new QMenu(QString::fromUtf8(e.pszText), pCurrent ? static_cast<QWidget *>(pCurrent) : pParent);
            if (pCurrent)
                pCurrent->addMenu(pPopup);
            else
                aTop << pPopup;
            stack << pPopup;
            break;
        }
        case MENU_END:
            if (!stack.isEmpty())
                stack.removeLast();
            break;
        case MENU_SEPARATOR:
            if (pCurrent)
                pCurrent->addSeparator();
            break;
        case MENU_ITEM:
            if (pCurrent)
                pCurrent->addAction(MakeCommandAction(e.nID, QString::fromUtf8(e.pszText), pCurrent, fnCommand));
            break;
        }
    }
    return aTop;
}

QMenu *CloneMenu(const QMenu *pSource, QWidget *pParent, const CommandFn &fnCommand)
{
    QMenu *pCopy = new QMenu(pSource->title(), pParent);
    for (QAction *pAction : pSource->actions()) {
        if (pAction->isSeparator())
            pCopy->addSeparator();
        else if (pAction->menu())
            pCopy->addMenu(CloneMenu(pAction->menu(), pCopy, fnCommand));
        else
            pCopy->addAction(MakeCommandAction(CommandOf(pAction), pAction->text(), pCopy, fnCommand));
    }
    return pCopy;
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
    for (std::size_t i = 0; i < bar.nCount; ++i) {
        const int nID = bar.pButtons[i];
        if (nID == 0) {
            pBar->addSeparator();
            continue;
        }
        // Every button has a prompt whose second part is its tool tip.
        QAction *pAction = MakeCommandAction(nID, PromptPart(nID, 1), pBar, fnCommand);
        if (const char *pszIcon = CommandIcon(nID))
            pAction->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(pszIcon))));
        pBar->addAction(pAction);
    }
}
