// The items the tag menu gets at run time: behind its last fixed separator
// the web menu file's items and submenus, a separator, and one item per user
// tag ("&1 title" ...). The menu bar's tag menu is rebuilt after every change
// of the user tags; the context menu gets the items each time it is built.
#include "app/ui/mainframe.h"

#include "html/ui/tagmenufiles.h"
#include "res/commands.h"
#include "res/ui/menubuilder.h"
#include "text/ui/codec_qt.h"

#include <QAction>
#include <QMenu>

#include <map>

namespace {

// Menu texts are Shift-JIS in the files; "&" stands for itself, not a mnemonic.
QString MenuText(std::string_view bytes)
{
    return Cp932ToQString(bytes).replace(QLatin1Char('&'), QLatin1String("&&"));
}

// The submenu of a path below the tag menu, made when missing.
QMenu *SubmenuOf(QMenu *pTagMenu, const std::vector<std::string> &aPath, std::map<std::string, QMenu *> &made)
{
    QMenu *pMenu = pTagMenu;
    std::string strKey;
    for (const std::string &name : aPath) {
        strKey += name + '/';
        QMenu *&pSub = made[strKey];
        if (!pSub)
            pSub = pMenu->addMenu(MenuText(name));
        pMenu = pSub;
    }
    return pMenu;
}

} // namespace

void CMainFrame::LoadTagMenus()
{
    LoadTagMenuFiles();
    RebuildTagMenus();
}

void CMainFrame::RebuildTagMenus()
{
    for (QMenu *pMenu : m_aMenu128 + m_aMenu129)
        AddTagMenuItems(pMenu);
}

void CMainFrame::AddTagMenuItems(QMenu *pTop)
{
    QAction *pAnchor = FindCommandAction(pTop, ID_USERTAG_EDIT);
    auto *pTagMenu = pAnchor ? qobject_cast<QMenu *>(pAnchor->parent()) : nullptr;
    if (!pTagMenu)
        return;
    // Everything behind the separator that follows the user-tag editor.
    const QList<QAction *> actions = pTagMenu->actions();
    const auto nAnchor = actions.indexOf(pAnchor);
    for (auto i = nAnchor + 2; i < actions.size(); ++i) {
        pTagMenu->removeAction(actions[i]);
        if (QMenu *pSub = actions[i]->menu())
            pSub->deleteLater();
        else
            actions[i]->deleteLater();
    }
    if (nAnchor + 1 >= actions.size())
        pTagMenu->addSeparator();

    const CommandFn fnCommand = [this](int nID) { ExecuteCommand(nID); };
    const CWebMenuFile &webMenu = AppWebMenu();
    std::map<std::string, QMenu *> made;
    for (const CWebMenuItem &item : webMenu.GetItems()) {
        QMenu *pMenu = SubmenuOf(pTagMenu, item.aPath, made);
        if (item.bSeparator)
            pMenu->addSeparator();
        else
            pMenu->addAction(MakeCommandAction(item.nID, MenuText(item.strText), pMenu, fnCommand));
    }
    const CUserTagList &tags = AppUserTags();
    if (!webMenu.GetItems().empty() && tags.GetCount() > 0)
        pTagMenu->addSeparator();
    for (int i = 0; i < tags.GetCount() && ID_USERTAG_FIRST + i <= ID_USERTAG_LAST; ++i) {
        const QString strLabel = QStringLiteral("&%1 ").arg(i + 1) + MenuText(tags.GetTitle(i));
        pTagMenu->addAction(MakeCommandAction(ID_USERTAG_FIRST + i, strLabel, pTagMenu, fnCommand));
    }
}
