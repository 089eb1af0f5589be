// The command table against the running program: every command the menus,
// tool bars and keys offer has a handler somewhere on the routing chain, or
// its row says it is not built yet; every handler has a row; every button has
// its icon; and every key is one the toolkit reads as written.
#include "explorer/ui/dirlistdlg.h"
#include "res/commands.h"
#include "res/commandwalk.h"
#include "res/ui/menubuilder.h"
#include "support/appfixture.h"

#include <QAction>
#include <QFile>
#include <QMenu>

#include <algorithm>
#include <set>

using Commands = CAppFixture;

TEST_F(Commands, EveryItemButtonAndKeyHasAHandlerOrIsMarkedNotBuilt)
{
    // With the explorer pane open on the test's own folder.
    m_profile.WriteString(SECTION_DIRLIST, "root", m_dir.Path());
    ASSERT_TRUE(Start());
    Frame()->ExecuteCommand(ID_VIEW_EXPLORER);
    ASSERT_NE(Frame()->GetDirListDlg(), nullptr);
    ASSERT_NE(View(), nullptr);
    Idle();
    std::set<int> used;
    WalkMenus([&used](const CShownItem &item) { used.insert(item.nID); });
    for (const CToolBarResource &bar : ToolBarResources())
        used.insert(bar.buttons.begin(), bar.buttons.end());
    ForEachCommandKey(CMD_KEYS_VIEW | CMD_KEYS_FRAME, [&used](std::string_view, int nID) { used.insert(nID); });
    used.erase(0);
    // The targets a command from the active view passes, in routing order,
    // and the explorer pane, whose tool bar and menu reach it directly.
    const std::vector<const CCmdTarget *> chain = {View(), Doc(), Frame()->GetActiveChild(), Frame(), m_pApp.get(),
                                                   Frame()->GetDirListDlg()};
    int nBuilt = 0;
    for (const int nID : used) {
        const CCommandInfo *pInfo = FindCommandInfo(nID);
        ASSERT_NE(pInfo, nullptr) << nID;
        const bool bHandled =
            std::any_of(chain.begin(), chain.end(), [nID](const CCmdTarget *p) { return p->HasCommand(nID); });
        if (bHandled && !pInfo->IsBuilt())
            ADD_FAILURE() << pInfo->pszName << " has a handler now: drop CMD_NOT_BUILT from its row";
        else if (!bHandled && pInfo->IsBuilt())
            ADD_FAILURE() << pInfo->pszName << " is offered but nothing handles it: mark it CMD_NOT_BUILT";
        nBuilt += bHandled ? 1 : 0;
    }
    EXPECT_GT(nBuilt, 100);

    // An indicator pane shows text only through its update handler.
    std::set<int> registered;  // ids with a handler or an update handler on any target
    for (const CCmdTarget *pTarget : chain)
        for (const CCmdTarget::CIdRange &range : pTarget->GetRegisteredIds())
            for (int nID = range.nFirst; nID <= range.nLast; ++nID)
                registered.insert(nID);
    for (const int nID : registered)
        EXPECT_NE(FindCommandInfo(nID), nullptr) << nID << " has a handler but no row";
    for (const CStatusPane &pane : StatusPanes()) {
        if (pane.nID == 0)
            continue;
        const CCommandInfo *pInfo = FindCommandInfo(pane.nID);
        ASSERT_NE(pInfo, nullptr) << pane.nID;
        EXPECT_EQ(registered.count(pane.nID) == 1, pInfo->IsBuilt()) << pInfo->pszName;
    }

    // A marked item is shown, but cannot be chosen; a built one can. Each
    // shows its prompt in the status bar.
    int nItems = 0;
    for (int nMenu = 0; Frame()->GetMainMenu(IDR_WRENPADTYPE, nMenu); ++nMenu) {
        for (const int nID : {ID_HELP_FINDER, ID_FILE_SAVE}) {
            QAction *pAction = FindCommandAction(Frame()->GetMainMenu(IDR_WRENPADTYPE, nMenu), nID);
            if (!pAction)
                continue;
            ++nItems;
            Frame()->UpdateMenu(qobject_cast<QMenu *>(pAction->parent()));
            EXPECT_EQ(pAction->isEnabled(), FindCommandInfo(nID)->IsBuilt()) << nID;
            EXPECT_EQ(pAction->statusTip(), QString::fromUtf8(FindCommandInfo(nID)->pszPrompt)) << nID;
        }
    }
    EXPECT_EQ(nItems, 2);

    // A button without its picture would be a blank square.
    for (const CToolBarResource &bar : ToolBarResources())
        for (const int nID : bar.buttons)
            if (const CCommandInfo *pInfo = nID ? FindCommandInfo(nID) : nullptr) {
                EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(pInfo->pszIcon))))
                    << pInfo->pszName;
            }
}

TEST_F(Commands, KeysAreWrittenAsTheToolkitReadsThem)
{
    int nKeys = 0;
    ForEachCommandKey(CMD_KEYS_VIEW | CMD_KEYS_FRAME, [&nKeys](std::string_view key, int nID) {
        const QKeySequence seq = CommandKeySequence(key);
        EXPECT_EQ(seq.count(), 1) << key;
        EXPECT_EQ(seq.toString(QKeySequence::PortableText).toStdString(), key) << FindCommandInfo(nID)->pszName;
        ++nKeys;
    });
    EXPECT_GT(nKeys, 100);
}
