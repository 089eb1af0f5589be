// The main window: menus and their updates, bars and what the settings keep
// of them, the tab bar, split panes, window commands, files handed over or
// dropped, the recent-file list and the panes' context menu.
#include "app/docnames.h"
#include "app/ui/splitterwnd.h"
#include "app/ui/tabbar.h"
#include "platform/copydata.h"
#include "platform/ui/keylocks.h"
#include "res/commands.h"
#include "res/menus.h"
#include "res/ui/menubuilder.h"
#include "support/appfixture.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <tuple>
#include <utility>

namespace {

class MainFrame : public CAppFixture
{
protected:
    QStringList MenuBarTitles() const
    {
        QStringList titles;
        for (QAction *pAction : Frame()->menuBar()->actions())
            titles << pAction->text();
        return titles;
    }

    // The state an item of the frame's menus shows when its menu opens.
    QAction *MenuItem(int nResource, int nMenu, int nID)
    {
        QMenu *pMenu = Frame()->GetMainMenu(nResource, nMenu);
        QAction *pAction = FindCommandAction(pMenu, nID);
        if (pAction)
            Frame()->UpdateMenu(qobject_cast<QMenu *>(pAction->parent()));
        return pAction;
    }

    // The texts of these status panes, joined by '|'.
    QString Panes(std::initializer_list<int> ids) const
    {
        QStringList a;
        for (const int nID : ids)
            a << Frame()->GetStatusPaneText(nID);
        return a.join('|');
    }

    QStringList TabTexts() const
    {
        QStringList texts;
        for (int i = 0; i < Frame()->GetTabBar()->GetTabCount(); ++i)
            texts << Frame()->GetTabBar()->GetTabText(i);
        return texts;
    }
};

} // namespace

TEST_F(MainFrame, BarsToggleAndTheirStateIsSavedAndRestored)
{
    ASSERT_TRUE(Start());
    for (int nID : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_FILETABBAR, ID_VIEW_RESULTSBAR})
        Frame()->ExecuteCommand(nID);
    Idle();
    EXPECT_FALSE(Frame()->GetToolBar(128)->isHidden());
    EXPECT_TRUE(Frame()->GetToolBar(170)->isHidden());
    EXPECT_TRUE(MenuItem(IDR_WRENPADTYPE, 2, ID_VIEW_RESULTSBAR)->isChecked());
    EXPECT_TRUE(MenuItem(IDR_WRENPADTYPE, 2, ID_VIEW_TOOLBAR)->isChecked());
    EXPECT_FALSE(MenuItem(IDR_WRENPADTYPE, 2, ID_VIEW_EDITBAR)->isChecked());
    // The status bar shows the caret position and the line ends.
    EXPECT_EQ(Panes({ID_EDIT_INDICATOR_POSITION, ID_EDIT_INDICATOR_CRLF}), "   1行、  1列 |DOS");
    // The lock keys as the last key event reported them (the X11 mask).
    CKeyLocks::Instance().TakeNativeModifiers(0x12);
    Idle();
    EXPECT_EQ(Panes({ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_OVR}), "CAP|NUM|");
    QTest::keyClick(View(), Qt::Key_Insert);
    CKeyLocks::Instance().TakeNativeModifiers(0);
    Idle();
    EXPECT_EQ(Panes({ID_INDICATOR_CAPS, ID_INDICATOR_OVR}), "|上書");
    // Scroll Lock and the Kana lock as the server's indicators were read last;
    // a change shows without anything else happening in the window.
    CLockIndicators indicators;
    indicators.bScrollLock = true;
    const CKeyLocks::IndicatorReader fnOld =
        CKeyLocks::Instance().SetIndicatorReader([&indicators] { return indicators; });
    QApplication::processEvents();
    EXPECT_EQ(Panes({ID_INDICATOR_SCRL, ID_INDICATOR_KANA}), "SCRL|");
    indicators = {false, true};
    CKeyLocks::Instance().ReadIndicators();
    QApplication::processEvents();
    EXPECT_EQ(Panes({ID_INDICATOR_SCRL, ID_INDICATOR_KANA}), "|ｶﾅ");
    CKeyLocks::Instance().SetIndicatorReader(fnOld);

    Frame()->SaveFrameState();
    std::vector<int> aStored;
    for (const char *psz : {"StdToolBar", "ToolBar2", "StatusBar", "FileTabBar", "showCmd"})
        aStored.push_back(m_profile.GetInt(SECTION_MAIN, psz, -1));
    EXPECT_EQ(aStored, (std::vector<int>{1, 0, 1, 0x10000000, 1}));
    EXPECT_TRUE(m_profile.HasEntry(SECTION_MAIN, "Wndright") && m_profile.HasEntry(SECTION_MAIN, "bUseBrowser"));

    // The next session shows the same bars.
    m_pApp.reset();
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Frame()->GetToolBar(128)->isHidden());
    EXPECT_TRUE(Frame()->GetToolBar(210)->isHidden());
    EXPECT_FALSE(Frame()->statusBar()->isHidden());
    EXPECT_FALSE(Frame()->GetTabBar()->isHidden());
}

TEST_F(MainFrame, BarsSwitchedOnOrOffAreWrittenSoonButAtMostOnceASecond)
{
    // A store that notes when the bars are written.
    class CTimedStore : public CMemoryProfileStore
    {
    public:
        void WriteInt(const std::string &strSection, const std::string &strEntry, int nValue) override
        {
            if (strEntry == "StatusBar")
                m_aWrites.push_back(m_clock.elapsed());
            CMemoryProfileStore::WriteInt(strSection, strEntry, nValue);
        }
        QElapsedTimer m_clock;
        std::vector<qint64> m_aWrites;
    } store;
    store.m_clock.start();
    SetAppProfile(&store);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(store.m_aWrites.empty());

    // Two bars at once: one write a moment later, with both.
    Frame()->ExecuteCommand(ID_VIEW_STATUS_BAR);
    Frame()->ExecuteCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(store.m_aWrites.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !store.m_aWrites.empty(); }, 5000));
    EXPECT_EQ(std::make_pair(store.GetInt(SECTION_MAIN, "StatusBar", -1), store.GetInt(SECTION_MAIN, "StdToolBar", -1)),
              std::make_pair(1, 1));

    // Changes at once after a write wait for the second to pass; the last state counts.
    Frame()->GetTabBar()->show();
    for (int i = 0; i < 3; ++i)
        Frame()->ExecuteCommand(ID_VIEW_STATUS_BAR);
    ASSERT_TRUE(QTest::qWaitFor([&] { return store.m_aWrites.size() == 2; }, 5000));
    EXPECT_GE(store.m_aWrites[1] - store.m_aWrites[0], 990);
    EXPECT_EQ(std::make_pair(store.GetInt(SECTION_MAIN, "StatusBar", -1), store.GetInt(SECTION_MAIN, "FileTabBar", -1)),
              std::make_pair(0, 0x10000000));

    // Back and forth ends where it began: nothing to write.
    Frame()->ExecuteCommand(ID_VIEW_WEBBAR);
    Frame()->ExecuteCommand(ID_VIEW_WEBBAR);
    const QList<QTimer *> timers = Frame()->findChildren<QTimer *>();
    const auto itSave = std::find_if(timers.begin(), timers.end(),
                                     [](QTimer *p) { return p->isActive() && p->interval() == 1000; });
    ASSERT_NE(itSave, timers.end());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(*itSave)->isActive(); }, 5000));
    EXPECT_EQ(store.m_aWrites.size(), 2u);
    m_pApp.reset();
    SetAppProfile(&m_profile);
}

TEST_F(MainFrame, TheTabBarFollowsNewClosedAndRenamedDocuments)
{
    m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
    ASSERT_TRUE(Start());
    m_pApp->OnFileNew();
    m_pApp->OnFileNew();
    CWrenpadDoc *pThird = m_pApp->OpenDocumentFile(QString::fromStdString(WriteFile("c.html", "<p>")));
    Idle();
    EXPECT_EQ(TabTexts(), (QStringList{"新規ﾌｧｲﾙ1", "新規ﾌｧｲﾙ2", "c.html"}));
    EXPECT_EQ(Frame()->GetTabBar()->GetCurrentIndex(), 2);

    // Choosing a tab activates its window.
    QTabBar *pTabs = Frame()->GetTabBar()->GetTabControl();
    Frame()->GetTabBar()->show();
    Idle();
    QTest::mouseClick(pTabs, Qt::LeftButton, Qt::NoModifier, pTabs->tabRect(0).center());
    Idle();
    EXPECT_EQ(Frame()->GetActiveChild()->windowTitle(), "新規ﾌｧｲﾙ1");
    EXPECT_EQ(Frame()->GetTabBar()->GetCurrentIndex(), 0);

    // The tab text follows a change of the title at the next idle moment.
    Frame()->ActivateChild(Frame()->GetChildFrames()[2]);
    QTest::keyClicks(View(), "x");
    Idle();
    EXPECT_EQ(TabTexts()[2], "c.html *");
    pThird->SetPathName(m_dir.File("d.html"));
    Idle();
    EXPECT_EQ(TabTexts()[2], "d.html *");
    EXPECT_EQ(pTabs->tabToolTip(2).toStdString(), m_dir.File("d.html"));

    // Closing a window takes its tab.
    Frame()->ActivateChild(Frame()->GetChildFrames()[1]);
    Frame()->ExecuteCommand(ID_FILE_CLOSE);
    Idle();
    EXPECT_EQ(TabTexts(), (QStringList{"新規ﾌｧｲﾙ1", "d.html *"}));
    EXPECT_EQ(m_pApp->GetDocumentCount(), 2);
}

TEST_F(MainFrame, ASecondWindowOnADocumentIsNumbered)
{
    ASSERT_TRUE(Start({QString::fromStdString(WriteFile("w.txt", "text"))}));
    Frame()->ExecuteCommand(ID_WINDOW_NEW);
    Idle();
    EXPECT_EQ(TabTexts(), (QStringList{"w.txt:1", "w.txt:2"}));
    EXPECT_EQ(Frame()->GetChildFrames()[0]->GetDocument(), Frame()->GetChildFrames()[1]->GetDocument());
    // Typing in one window shows in both; closing one does not ask.
    QTest::keyClicks(View(), "new ");
    Frame()->GetActiveChild()->close();
    Idle();
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_EQ(TabTexts(), (QStringList{"w.txt *"}));
    EXPECT_EQ(Text(Doc()), "new text");
}

TEST_F(MainFrame, SplitPanesScrollTogetherByRowAndColumn)
{
    std::string strText;
    for (int i = 0; i < 300; ++i)
        strText += std::string(200, 'a' + i % 26) + "\r\n";
    ASSERT_TRUE(Start({QString::fromStdString(WriteFile("long.txt", strText))}));
    Frame()->resize(900, 700);
    Idle();
    Frame()->ExecuteCommand(ID_WINDOW_SPLIT);
    CSplitterWnd *pSplitter = Frame()->GetActiveChild()->GetSplitter();
    ASSERT_EQ(pSplitter->GetRowCount(), 2);
    ASSERT_EQ(pSplitter->GetColumnCount(), 2);
    EXPECT_EQ(Doc()->GetViews().size(), 4u);

    CWrenpadView *pTopLeft = pSplitter->GetPane(0, 0);
    pTopLeft->PlaceCaret(CPoint(150, 200));
    EXPECT_GT(pTopLeft->GetFirstVisibleLine(), 0);
    EXPECT_GT(pTopLeft->GetFirstVisibleColumn(), 0);
    // The pane beside it follows the lines, the pane below it the columns.
    EXPECT_EQ(pSplitter->GetPane(0, 1)->GetFirstVisibleLine(), pTopLeft->GetFirstVisibleLine());
    EXPECT_EQ(std::make_pair(pSplitter->GetPane(1, 0)->GetFirstVisibleColumn(), pSplitter->GetPane(1, 0)->GetFirstVisibleLine()),
              std::make_pair(pTopLeft->GetFirstVisibleColumn(), 0));

    // Split again: back to the one pane that had the focus.
    pSplitter->GetPane(1, 1)->setFocus();
    CWrenpadView *pKeep = pSplitter->GetPane(1, 1);
    Frame()->ExecuteCommand(ID_WINDOW_SPLIT);
    EXPECT_FALSE(pSplitter->IsSplit());
    EXPECT_EQ(Doc()->GetViews().size(), 1u);
    EXPECT_TRUE(pSplitter->GetPane(0, 0) == pKeep && View() == pKeep);
}

TEST_F(MainFrame, FilesHandedOverOpenAtTheirLineAndBadOnesAreIgnored)
{
    ASSERT_TRUE(Start());
    const std::string strPath = WriteFile("lines.txt", "1\r\n2\r\n3\r\n4\r\n5");
    EXPECT_TRUE(SendCopyData(COPYDATA_OPEN_FILE_AT_LINE, strPath + "\t4"));
    ASSERT_TRUE(Doc());
    EXPECT_EQ(Doc()->GetPathName(), strPath);
    EXPECT_EQ(View()->GetCursorPos(), CPoint(0, 3));
    // A line past the end goes to the last line.
    EXPECT_TRUE(Frame()->OnCopyData(COPYDATA_OPEN_FILE_AT_LINE, strPath + "\t999"));
    EXPECT_EQ(View()->GetCursorPos(), CPoint(0, 4));
    EXPECT_EQ(m_pApp->GetDocumentCount(), 2);

    EXPECT_FALSE(Frame()->OnCopyData(COPYDATA_OPEN_FILE_AT_LINE, strPath));
    EXPECT_FALSE(Frame()->OnCopyData(COPYDATA_OPEN_FILE, std::string(20000, 'a')));
    EXPECT_FALSE(Frame()->OnCopyData(7, strPath));
    EXPECT_EQ(m_pApp->GetDocumentCount(), 2);
    EXPECT_TRUE(m_aBoxes.empty());
}

TEST_F(MainFrame, DroppedFilesAreOpened)
{
    ASSERT_TRUE(Start());
    const std::string strA = WriteFile("a.txt", "A");
    const std::string strB = WriteFile("b.html", "B");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(strA)), QUrl::fromLocalFile(QString::fromStdString(strB)),
                  QUrl(QStringLiteral("https://example.com/x.html"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Frame(), &drop);
    EXPECT_EQ(m_pApp->GetDocumentCount(), 3);
    EXPECT_EQ(Doc()->GetPathName(), strB);
}

TEST_F(MainFrame, RecentFilesFollowMruCountAndClear)
{
    m_profile.WriteInt(SECTION_MAIN, "MRUCount", 2);
    ASSERT_TRUE(Start());
    for (const char *psz : {"r1.txt", "r2.txt", "r3.txt"})
        m_pApp->OpenDocumentFile(QString::fromStdString(WriteFile(psz, "x")));
    Idle();
    QAction *pFirst = MenuItem(IDR_WRENPADTYPE, 0, ID_FILE_MRU_FILE1);
    QAction *pSecond = MenuItem(IDR_WRENPADTYPE, 0, ID_FILE_MRU_FILE1 + 1);
    ASSERT_TRUE(pFirst && pSecond);
    EXPECT_TRUE(pFirst->text().startsWith("&1 ") && pFirst->text().endsWith("r3.txt"));
    EXPECT_TRUE(pSecond->text().endsWith("r2.txt"));
    EXPECT_EQ(MenuItem(IDR_WRENPADTYPE, 0, ID_FILE_MRU_FILE1 + 2), nullptr);
    EXPECT_EQ(m_profile.GetString("Recent File List", "File1", ""), m_dir.File("r3.txt"));

    // An entry whose file has gone leaves the list when chosen.
    Frame()->ExecuteCommand(ID_FILE_CLOSE_ALL);
    EXPECT_TRUE(m_aBoxes.empty());
    ::unlink(m_dir.File("r2.txt").c_str());
    Frame()->ExecuteCommand(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(m_pApp->RecentFiles().GetSize(), 1);

    Frame()->ExecuteCommand(ID_FILE_CLEAR_MRU);
    QAction *pPlaceholder = MenuItem(IDR_MAINFRAME, 0, ID_FILE_MRU_FILE1);
    ASSERT_TRUE(pPlaceholder);
    EXPECT_TRUE(pPlaceholder->text() == "最新のﾌｧｲﾙ" && !pPlaceholder->isEnabled());
    EXPECT_EQ(m_profile.GetString("Recent File List", "File1", "x"), "");
}

TEST_F(MainFrame, ContextMenuCarriesCopiesOfTheConversionWebAndTagMenus)
{
    ASSERT_TRUE(Start());
    QStringList titles;
    bool bCutEnabled = true;
    QTimer::singleShot(0, [&] {
        auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_TRUE(pMenu);
        for (QAction *pAction : pMenu->actions())
            if (pAction->menu())
                titles << pAction->text() + "=" + QString::number(pAction->menu()->actions().size());
            else if (pAction->data().toInt() == ID_EDIT_CUT)
                bCutEnabled = pAction->isEnabled();
        pMenu->close();
    });
    Frame()->ShowContextMenu(View(), View()->mapToGlobal(QPoint(20, 20)));
    // The tag menu carries the user tags and the web menu file's items as
    // the menu bar's does.
    QAction *pUserTagEdit = FindCommandAction(Frame()->GetMainMenu(IDR_WRENPADTYPE, 4), ID_USERTAG_EDIT);
    ASSERT_NE(pUserTagEdit, nullptr);
    const auto nTagItems = qobject_cast<QMenu *>(pUserTagEdit->parent())->actions().size();
    EXPECT_GT(nTagItems, 8);
    EXPECT_EQ(titles, (QStringList{"検索(&F)=6", "ブックマーク(&B)=4", "挿入(&I)=4", "編集(&E)=7", "Web(&W)=17",
                                   "ﾀｸﾞ(&T)=" + QString::number(nTagItems)}));
    // Nothing selected: nothing to cut.
    EXPECT_FALSE(bCutEnabled);
}

TEST_F(MainFrame, KeysOfTheWindowReachTheirCommandsAndF10OpensTheFirstMenu)
{
    m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
    ASSERT_TRUE(Start());
    Frame()->activateWindow();
    EXPECT_EQ(MenuBarTitles(), (QStringList{"ﾌｧｲﾙ(&F)", "表示(&V)", "ﾍﾙﾌﾟ(&H)"}));
    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    Idle();
    ASSERT_EQ(m_pApp->GetDocumentCount(), 1);
    EXPECT_EQ(MenuBarTitles().size(), 7);  // the document's menus
    // The pane answers its own keys first: Ctrl+A selects, not the window.
    QTest::keyClicks(View(), "abc");
    QTest::keyClick(View(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(View()->IsSelection());
    QTest::keyClick(View(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_EQ(m_aFileRequests[0].strTitle, "保存");

    // F10 opens the first menu and types nothing.
    QTest::keyClick(View(), Qt::Key_F10);
    auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(pMenu);
    EXPECT_EQ(pMenu->title(), "ﾌｧｲﾙ(&F)");
    pMenu->close();
    QApplication::processEvents();
    EXPECT_EQ(Text(Doc()), "abc");
}

TEST_F(MainFrame, CtrlShiftWithADigitRunsItsCommandWhicheverSymbolTheLayoutGives)
{
    ASSERT_TRUE(Start());
    if (!View())
        Frame()->ExecuteCommand(ID_FILE_NEW);
    Idle();
    ASSERT_NE(View(), nullptr);
    QStringList dialogs;
    m_fnDialog = [&dialogs](QDialog *pDialog) {
        dialogs << QString::fromLatin1(pDialog->metaObject()->className());
        return static_cast<int>(QDialog::Rejected);
    };
    // Which symbol stands for which digit is the key tables' business; here
    // a symbol of a Japanese layout and the digit as a platform may name it.
    const std::pair<Qt::Key, const char *> aKeys[] = {
        {Qt::Key_QuoteDbl, "CBulletListDlg"},
        {Qt::Key_4, "CFormTagDlg"},
    };
    for (const auto &[nKey, pszDialog] : aKeys) {
        dialogs.clear();
        QTest::keyClick(View(), nKey, Qt::ControlModifier | Qt::ShiftModifier);
        Idle();
        EXPECT_EQ(dialogs.join(QLatin1Char(' ')).toStdString(), pszDialog)
            << QKeySequence(nKey).toString().toStdString();
    }
    // Nothing was typed into the text on the way.
    EXPECT_EQ(Text(Doc()), "");
}

TEST_F(MainFrame, WindowsFollowOpenFileMaxAndTheWindowMenuArrangesThem)
{
    m_profile.WriteInt(SECTION_MAIN, "bOpenFileMax", 0);
    m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
    ASSERT_TRUE(Start());
    Frame()->resize(800, 600);
    m_pApp->OnFileNew();
    m_pApp->OnFileNew();
    Idle();
    const QList<CChildFrame *> frames = Frame()->GetChildFrames();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_FALSE(frames[0]->isMaximized());

    // Side by side, then one above the other: the second where the first ends.
    const auto geometry = [&frames](int i) { return frames[i]->geometry(); };
    Frame()->ExecuteCommand(ID_WINDOW_TILE_VERT);
    EXPECT_EQ(std::make_tuple(geometry(1).top(), geometry(1).height(), geometry(1).left()),
              std::make_tuple(geometry(0).top(), geometry(0).height(), geometry(0).right() + 1));
    Frame()->ExecuteCommand(ID_WINDOW_TILE_HORZ);
    EXPECT_EQ(std::make_tuple(geometry(1).left(), geometry(1).width(), geometry(1).top()),
              std::make_tuple(geometry(0).left(), geometry(0).width(), geometry(0).bottom() + 1));

    // Next and previous window go round the windows.
    CChildFrame *pActive = Frame()->GetActiveChild();
    Frame()->ExecuteCommand(ID_WINDOW_NEXT);
    EXPECT_NE(Frame()->GetActiveChild(), pActive);
    Frame()->ExecuteCommand(ID_PREV_PANE);
    EXPECT_EQ(Frame()->GetActiveChild(), pActive);

    // With the setting on, a new window opens maximised.
    m_profile.WriteInt(SECTION_MAIN, "bOpenFileMax", 1);
    m_pApp->OnFileNew();
    EXPECT_TRUE(Frame()->GetActiveChild()->isMaximized());
}

TEST_F(MainFrame, TheOpenDialogStartsBesideTheActiveDocumentWithItsFilter)
{
    ASSERT_TRUE(Start({QString::fromStdString(WriteFile("Main.java", "class Main {}"))}));
    const std::string strA = WriteFile("a.txt", "a");
    const std::string strB = WriteFile("b.txt", "b");
    m_aFileAnswers = {{QString::fromStdString(strA), QString::fromStdString(strB)}};
    Frame()->ExecuteCommand(ID_FILE_OPEN);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    const CFileDialogRequest &request = m_aFileRequests[0];
    EXPECT_TRUE(!request.bSave && request.bMultiple);
    EXPECT_EQ(std::make_pair(request.nFilterIndex, request.strDirectory.toStdString()),
              std::make_pair(OpenFilterIndexForPath(m_dir.File("Main.java")), m_dir.Path()));
    // Every file chosen opens.
    EXPECT_EQ(m_pApp->GetDocumentCount(), 3);

    QString strAbout;
    m_fnDialog = [&](QDialog *pDialog) {
        strAbout = pDialog->windowTitle();
        return static_cast<int>(QDialog::Accepted);
    };
    Frame()->ExecuteCommand(ID_APP_ABOUT);
    EXPECT_EQ(strAbout, "バージョン情報");
}

TEST_F(MainFrame, TheEndOfTheSessionKeepsTheStateAndAsksToSave)
{
    ASSERT_TRUE(Start());
    QTest::keyClicks(View(), "unsaved");
    m_aAnswers = {IDCANCEL};
    EXPECT_FALSE(m_pApp->OnEndSession(true));
    EXPECT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_profile.HasEntry(SECTION_MAIN, "StatusBar"));
    // When the session may not ask, it ends without a question.
    EXPECT_TRUE(m_pApp->OnEndSession(false));
    EXPECT_EQ(m_aBoxes.size(), 1u);
}
