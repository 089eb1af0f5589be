// The command table against the running program: every command the menus,
// tool bars and keys offer has a handler somewhere on the routing chain, or
// its row says it is not built yet; every key is one the toolkit reads as
// written; and the built menus and tool bars show the program's texts, checked
// against a listing under tests/data/res.
#include "explorer/ui/dirlistdlg.h"
#include "res/commands.h"
#include "res/commandwalk.h"
#include "res/ui/menubuilder.h"
#include "support/appfixture.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QToolBar>

#include <map>
#include <set>
#include <sstream>

namespace {

class Commands : public CAppFixture
{
protected:
    // The targets a command from the active view passes, in routing order,
    // and the explorer pane, whose tool bar and menu reach it directly.
    std::vector<const CCmdTarget *> RoutingChain()
    {
        std::vector<const CCmdTarget *> chain = {View(), Doc(), Frame()->GetActiveChild(), Frame(), m_pApp.get()};
        if (const CDirListDlg *pPane = Frame()->GetDirListDlg())
            chain.push_back(pPane);
        return chain;
    }

    // Starts with the explorer pane open on the test's own folder.
    bool StartWithExplorer()
    {
        m_profile.WriteString(SECTION_DIRLIST, "root", m_dir.Path());
        if (!Start())
            return false;
        Frame()->ExecuteCommand(ID_VIEW_EXPLORER);
        return Frame()->GetDirListDlg() != nullptr;
    }

    bool HasHandler(int nID)
    {
        for (const CCmdTarget *pTarget : RoutingChain())
            if (pTarget->HasCommand(nID))
                return true;
        return false;
    }

    // Ids with a handler or an update handler on any target.
    std::set<int> RegisteredIds()
    {
        std::set<int> ids;
        for (const CCmdTarget *pTarget : RoutingChain())
            for (const CCmdTarget::CIdRange &range : pTarget->GetRegisteredIds())
                for (int nID = range.nFirst; nID <= range.nLast; ++nID)
                    ids.insert(nID);
        return ids;
    }
};

std::string Quoted(const QString &str)
{
    std::string s = "\"";
    for (const char c : str.toStdString()) {
        if (c == '\t')
            s += "\\t";
        else if (c == '\n')
            s += "\\n";
        else
            s += c;
    }
    return s + "\"";
}

// "Ctrl+Z Alt+Backspace (view, window)" for the keys of a command.
std::string KeysOf(int nID)
{
    std::string strKeys;
    const CCommandInfo *pInfo = FindCommandInfo(nID);
    if (!pInfo || !pInfo->pszKeys)
        return strKeys;
    strKeys = std::string(" keys ") + pInfo->pszKeys + " (";
    if (pInfo->nFlags & CMD_KEYS_VIEW)
        strKeys += (pInfo->nFlags & CMD_KEYS_FRAME) ? "view, window" : "view";
    else
        strKeys += "window";
    return strKeys + ")";
}

// A menu item or tool-bar button: id, name, text, keys, prompt, the button's
// tool tip and icon, and the mark of a command not built yet.
std::string Describe(const QAction *pAction, bool bButton)
{
    const int nID = CommandOf(pAction);
    const CCommandInfo *pInfo = FindCommandInfo(nID);
    std::string s = std::to_string(nID) + " " + (pInfo ? pInfo->pszName : "?");
    if (!bButton)
        s += " " + Quoted(pAction->text());
    s += KeysOf(nID);
    if (!pAction->statusTip().isEmpty())
        s += " prompt " + Quoted(pAction->statusTip());
    if (bButton)
        s += " tip " + Quoted(pAction->text()) + " icon " + (pInfo && pInfo->pszIcon ? pInfo->pszIcon : "-");
    if (pInfo && !pInfo->IsBuilt())
        s += " [not built]";
    return s;
}

void ListMenu(std::ostringstream &out, const QMenu *pMenu, const std::string &strIndent)
{
    out << strIndent << "pop-up " << Quoted(pMenu->title()) << "\n";
    for (const QAction *pAction : pMenu->actions()) {
        if (pAction->isSeparator())
            out << strIndent << "  ----\n";
        else if (pAction->menu())
            ListMenu(out, pAction->menu(), strIndent + "  ");
        else
            out << strIndent << "  " << Describe(pAction, false) << "\n";
    }
}

const std::string s_strGolden = std::string(WP_TEST_DATA_DIR) + "/res/commands.txt";

} // namespace

TEST_F(Commands, EveryItemButtonAndKeyHasAHandlerOrIsMarkedNotBuilt)
{
    ASSERT_TRUE(StartWithExplorer());
    ASSERT_NE(View(), nullptr);
    Idle();
    std::set<int> used;
    WalkMenus([&used](const CShownItem &item) { used.insert(item.nID); });
    for (const CToolBarResource &bar : ToolBarResources())
        used.insert(bar.buttons.begin(), bar.buttons.end());
    ForEachCommandKey(CMD_KEYS_VIEW | CMD_KEYS_FRAME, [&used](std::string_view, int nID) { used.insert(nID); });
    used.erase(0);
    int nBuilt = 0;
    for (const int nID : used) {
        const CCommandInfo *pInfo = FindCommandInfo(nID);
        ASSERT_NE(pInfo, nullptr) << nID;
        const bool bHandled = HasHandler(nID);
        if (bHandled && !pInfo->IsBuilt())
            ADD_FAILURE() << pInfo->pszName << " has a handler now: drop CMD_NOT_BUILT from its row";
        else if (!bHandled && pInfo->IsBuilt())
            ADD_FAILURE() << pInfo->pszName << " is offered but nothing handles it: mark it CMD_NOT_BUILT";
        nBuilt += bHandled ? 1 : 0;
    }
    EXPECT_GT(nBuilt, 100);

    // An indicator pane shows text only through its update handler.
    const std::set<int> registered = RegisteredIds();
    for (const CStatusPane &pane : StatusPanes()) {
        if (pane.nID == 0)
            continue;
        const CCommandInfo *pInfo = FindCommandInfo(pane.nID);
        ASSERT_NE(pInfo, nullptr) << pane.nID;
        EXPECT_EQ(registered.count(pane.nID) == 1, pInfo->IsBuilt()) << pInfo->pszName;
    }

    // A marked item is shown, but cannot be chosen; a built one can.
    int nItems = 0;
    for (int nMenu = 0; Frame()->GetMainMenu(IDR_WRENPADTYPE, nMenu); ++nMenu) {
        for (const int nID : {ID_HELP_FINDER, ID_FILE_SAVE}) {
            QAction *pAction = FindCommandAction(Frame()->GetMainMenu(IDR_WRENPADTYPE, nMenu), nID);
            if (!pAction)
                continue;
            ++nItems;
            Frame()->UpdateMenu(qobject_cast<QMenu *>(pAction->parent()));
            EXPECT_EQ(pAction->isEnabled(), FindCommandInfo(nID)->IsBuilt()) << nID;
        }
    }
    EXPECT_EQ(nItems, 2);
}

TEST_F(Commands, EveryHandledIdHasARowAndEveryRowIsUsed)
{
    ASSERT_TRUE(StartWithExplorer());
    ASSERT_NE(View(), nullptr);
    const std::set<int> registered = RegisteredIds();
    for (const int nID : registered)
        EXPECT_NE(FindCommandInfo(nID), nullptr) << nID << " has a handler but no row";
    // A row that no menu, bar, pane or key offers and nothing handles is dead.
    const std::vector<int> aUsed = UsedCommandIds();
    const std::set<int> used(aUsed.begin(), aUsed.end());
    for (const CCommandInfo &info : CommandTable()) {
        bool bAlive = false;
        for (int nID = info.nID; nID <= info.nLast && !bAlive; ++nID)
            bAlive = used.count(nID) || registered.count(nID);
        EXPECT_TRUE(bAlive) << info.pszName << " is neither offered nor handled";
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
    // The view answers its own keys through the same table.
    EXPECT_EQ(CCrystalTextView::CommandForKey(CommandKeySequence("Ctrl+Shift+F2")[0]), ID_EDIT_CLEAR_ALL_BOOKMARKS);
    EXPECT_EQ(CCrystalTextView::CommandForKey(QKeyCombination(Qt::ShiftModifier, Qt::Key_Backtab)), ID_EDIT_UNTAB);
    EXPECT_EQ(CCrystalTextView::CommandForKey(CommandKeySequence("Ctrl+Shift+B")[0]), 0);
}

TEST_F(Commands, MenusAndBarsShowTheProgramsTexts)
{
    ASSERT_TRUE(Start());
    QWidget host;
    const CommandFn fnNone = [](int) {};
    std::ostringstream out;
    for (const CMenuResource &menu : MenuResources()) {
        out << "menu " << menu.nID << "\n";
        for (QMenu *pMenu : BuildMenuPopups(menu, &host, fnNone))
            ListMenu(out, pMenu, "  ");
    }
    for (const CToolBarResource &res : ToolBarResources()) {
        QToolBar bar;
        BuildToolBar(&bar, res, fnNone);
        out << "tool bar " << res.nID << " " << Quoted(QString::fromUtf8(res.pszTitle)) << "\n";
        for (const QAction *pAction : bar.actions()) {
            if (pAction->isSeparator()) {
                out << "  ----\n";
                continue;
            }
            const CCommandInfo *pInfo = FindCommandInfo(CommandOf(pAction));
            ASSERT_NE(pInfo, nullptr);
            const QString strIcon = QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(pInfo->pszIcon));
            EXPECT_TRUE(QFile::exists(strIcon)) << strIcon.toStdString();
            out << "  " << Describe(pAction, true) << "\n";
        }
    }
    out << "status bar\n";
    for (const CStatusPane &pane : StatusPanes()) {
        if (pane.nID == 0)
            continue;
        out << "  " << pane.nID << " " << FindCommandInfo(pane.nID)->pszName << " "
            << Quoted(CommandLabel(pane.nID)) << "\n";
    }
    // Commands that only keys reach.
    out << "keys without a menu item or button\n";
    std::set<int> shown;
    WalkMenus([&shown](const CShownItem &item) { shown.insert(item.nID); });
    for (const CToolBarResource &res : ToolBarResources())
        shown.insert(res.buttons.begin(), res.buttons.end());
    for (const CCommandInfo &info : CommandTable())
        if (info.pszKeys && !shown.count(info.nID))
            out << "  " << info.nID << " " << info.pszName << KeysOf(info.nID)
                << (info.IsBuilt() ? "" : " [not built]") << "\n";

    const std::string strListing = out.str();
    const std::string strNew = s_strGolden + ".new";
    if (!FileExists(s_strGolden) || ReadFileBytes(s_strGolden) != strListing) {
        WriteFileBytes(strNew, strListing);
        ADD_FAILURE() << "the menus and bars differ from their listing: diff " << s_strGolden << " " << strNew;
    } else {
        std::remove(strNew.c_str());
    }
}
