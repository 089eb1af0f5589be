// The main window's menus, tool bars, status bar, docking bars and tray
// icon, and what of them the settings keep.
#include "app/ui/mainframe.h"

#include "app/appoptions.h"
#include "app/framestate.h"
#include "app/ui/aboutdlg.h"
#include "app/ui/childframe.h"
#include "app/ui/optionsdlg.h"
#include "app/ui/previewer.h"
#include "app/ui/shellmenuswitch.h"
#include "app/ui/tabbar.h"
#include "app/ui/trayicon.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/keylocks.h"
#include "res/commands.h"
#include "res/commandtable.h"
#include "res/menus.h"
#include "res/shifteddigits.h"
#include "res/toolbars.h"
#include "res/ui/menubuilder.h"
#include "search/ui/foldersearchhost.h"
#include "search/ui/resultsbar.h"
#include "ui/sizingbar.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <initializer_list>

namespace {

// The size the old desktop gave an icon: how much of a window stays on screen.
constexpr int ICON_SIZE = 32;
// A change of the bars is written this long after it, at the latest; the
// writes are at least this far apart however often the bars change.
constexpr int BAR_SAVE_DELAY_MS = 1000;

// Tells when a widget is shown or hidden by its own visibility (a bar
// switched on or off), not when the window around it is.
class CVisibilityWatch : public QObject
{
public:
    CVisibilityWatch(QObject *pParent, std::function<void()> fnChanged)
        : QObject(pParent), m_fnChanged(std::move(fnChanged))
    {
    }

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::ShowToParent || pEvent->type() == QEvent::HideToParent)
            m_fnChanged();
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    std::function<void()> m_fnChanged;
};

void ConnectMenuUpdates(QMenu *pMenu, CMainFrame *pFrame)
{
    QObject::connect(pMenu, &QMenu::aboutToShow, pFrame, [pMenu, pFrame] { pFrame->UpdateMenu(pMenu); });
    for (QAction *pAction : pMenu->actions())
        if (pAction->menu())
            ConnectMenuUpdates(pAction->menu(), pFrame);
}

// "&1 ~/web/index.html": the number as mnemonic, the home folder shortened.
QString RecentFileLabel(int nIndex, const std::string &strPath)
{
    QString strShown = QString::fromStdString(strPath);
    const QString strHome = QDir::homePath();
    if (strShown.startsWith(strHome + QLatin1Char('/')))
        strShown = QLatin1Char('~') + strShown.mid(strHome.size());
    strShown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(nIndex + 1).arg(strShown);
}

// Ctrl+Shift with a digit, whatever symbol the keyboard layout put on the key
// (Ctrl+Shift+$ from a US keyboard for Ctrl+Shift+4, Ctrl+Shift+' from a
// Japanese one for Ctrl+Shift+7): the digit's command runs. No key of the
// tables is such a symbol, so nothing else is lost. The key is taken here,
// never passed on to another widget.
class CShiftedDigitKeys : public QObject
{
public:
    explicit CShiftedDigitKeys(CMainFrame *pFrame) : QObject(pFrame), m_pFrame(pFrame) {}

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() != QEvent::ShortcutOverride && pEvent->type() != QEvent::KeyPress)
            return false;
        const auto *pWidget = qobject_cast<QWidget *>(pWatched);
        if (!pWidget || pWidget->window() != m_pFrame)
            return false;
        const auto *pKey = static_cast<const QKeyEvent *>(pEvent);
        if ((pKey->modifiers() & ~Qt::KeypadModifier) != (Qt::ControlModifier | Qt::ShiftModifier)
            || pKey->key() < Qt::Key_Space || pKey->key() > Qt::Key_AsciiTilde)
            return false;
        // Only X11 and Wayland number the keys as the lookup expects.
        static const bool s_bXkbCodes = QGuiApplication::platformName() == QLatin1String("xcb")
                                        || QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
        const char chDigit = DigitUnderShiftedSymbol(static_cast<char32_t>(pKey->key()),
                                                     s_bXkbCodes ? pKey->nativeScanCode() : 0);
        const int nID = CommandForShiftedDigit(chDigit, CMD_KEYS_VIEW | CMD_KEYS_FRAME);
        if (nID == 0)
            return false;
        // Claimed before any shortcut of the window sees it; the press that
        // follows runs the command.
        pEvent->accept();
        if (pEvent->type() == QEvent::KeyPress)
            m_pFrame->ExecuteCommand(nID);
        return true;
    }

private:
    CMainFrame *m_pFrame;
};

} // namespace

// ---------------------------------------------------------------------------
// Creation

void CMainFrame::CreateMenus()
{
    const CommandFn fnCommand = [this](int nID) { ExecuteCommand(nID); };
    m_aMenu128 = BuildMenuPopups(*FindMenuResource(IDR_MAINFRAME), this, fnCommand);
    m_aMenu129 = BuildMenuPopups(*FindMenuResource(IDR_WRENPADTYPE), this, fnCommand);
    m_aDropDowns = BuildMenuPopups(*FindMenuResource(IDR_WEB_DROPDOWN), this, fnCommand);
    for (QMenu *pMenu : m_aMenu128 + m_aMenu129 + m_aDropDowns)
        ConnectMenuUpdates(pMenu, this);
    // The tray menu is the file menu of the frame without documents.
    m_pTrayMenu = BuildMenuPopups(*FindMenuResource(IDR_MAINFRAME), this, fnCommand).first();
    ConnectMenuUpdates(m_pTrayMenu, this);
    UpdateMenuBar();
}

void CMainFrame::CreateBars()
{
    const CommandFn fnCommand = [this](int nID) { ExecuteCommand(nID); };
    auto makeBar = [this, &fnCommand](int nResource) {
        const CToolBarResource *pRes = FindToolBarResource(nResource);
        auto *pBar = new QToolBar(QString::fromUtf8(pRes->pszTitle), this);
        pBar->setObjectName(QStringLiteral("toolBar%1").arg(nResource));
        pBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
        pBar->setIconSize(QSize(16, 16));
        BuildToolBar(pBar, *pRes, fnCommand);
        return pBar;
    };
    m_pToolBar = makeBar(IDR_TOOLBAR_STANDARD);
    m_pToolBar2 = makeBar(IDR_TOOLBAR_EDIT);
    m_pWebToolBar = makeBar(IDR_TOOLBAR_WEB);
    addToolBar(Qt::TopToolBarArea, m_pToolBar2);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_pWebToolBar);

    m_pBrowserBar = new CSizingControlBar(IDW_BROWSER_BAR, QStringLiteral("IE WebBrowser"), QSize(350, 200), this);
    m_pBrowserBar->setObjectName(QStringLiteral("browserBar"));
    m_pBrowserBar->setAllowedAreas(Qt::AllDockWidgetAreas);
    m_pResultsBar = new CSizingControlBar(IDW_RESULTS_BAR, QStringLiteral("検索結果"), QSize(350, 100), this);
    m_pResultsBar->setObjectName(QStringLiteral("resultsBar"));
    m_pResultsBar->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, m_pBrowserBar);
    addDockWidget(Qt::BottomDockWidgetArea, m_pResultsBar);
    m_pBrowserBar->hide();
    m_pResultsBar->hide();
    m_pPreviewer = new CPreviewer(this, m_pBrowserBar);

    m_pTrayIcon = new CTrayIcon(this, m_pTrayMenu, [this](int nID) { ExecuteCommand(nID); });

    m_pSearch = new CFolderSearchHost(this, [this] { m_pResultsBar->show(); }, [this](int nID) { return RouteCommand(nID); });
    m_pResultsBar->SetContentWidget(m_pSearch->GetResultsBar());
    // Without a pane to take it, command 401 opens the search with nothing proposed.
    OnCommand(ID_FOLDER_SEARCH, [this] { m_pSearch->OpenFolderSearch(std::string(), std::string()); });
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar *pBar = statusBar();
    pBar->setObjectName(QStringLiteral("statusBar"));
    m_pMessagePane = new QLabel(QStringLiteral("レディ"), pBar);
    m_pMessagePane->setObjectName(QStringLiteral("pane0"));
    pBar->addWidget(m_pMessagePane, 1);
    for (const CStatusPane &pane : StatusPanes()) {
        if (pane.nID == 0)
            continue;
        auto *pLabel = new QLabel(pBar);
        pLabel->setObjectName(QStringLiteral("pane%1").arg(pane.nID));
        pLabel->setAlignment(Qt::AlignCenter);
        const QString strWidth = pane.pszWidth ? QString::fromUtf8(pane.pszWidth) : CommandLabel(pane.nID);
        pLabel->setMinimumWidth(pLabel->fontMetrics().horizontalAdvance(strWidth) + 8);
        pLabel->setFrameShape(QFrame::StyledPanel);
        pLabel->setFrameShadow(QFrame::Sunken);
        pBar->addPermanentWidget(pLabel);
        m_mapPanes[pane.nID] = pLabel;
    }
}

void CMainFrame::CreateAccelerators()
{
    // Keys of the view's own table reach the view first (it takes them at
    // ShortcutOverride); these work wherever the focus is in the window.
    std::map<int, QList<QKeySequence>> mapKeys;
    ForEachCommandKey(CMD_KEYS_FRAME, [&mapKeys](std::string_view key, int nID) {
        mapKeys[nID] << CommandKeySequence(key);
    });
    for (const auto &[nID, keys] : mapKeys) {
        auto *pAction = new QAction(this);
        pAction->setObjectName(QStringLiteral("accel%1").arg(nID));
        pAction->setData(nID);
        pAction->setShortcuts(keys);
        pAction->setShortcutContext(Qt::WindowShortcut);
        connect(pAction, &QAction::triggered, this, [this, nID = nID] { ExecuteCommand(nID); });
        addAction(pAction);
    }
    qApp->installEventFilter(new CShiftedDigitKeys(this));
    // F10 opens the first menu, as it does on the desktops that have the key
    // for the menu bar; in the text it is no character.
    auto *pMenuKey = new QAction(this);
    pMenuKey->setObjectName(QStringLiteral("menuBarKey"));
    pMenuKey->setShortcut(QKeySequence(Qt::Key_F10));
    pMenuKey->setShortcutContext(Qt::WindowShortcut);
    connect(pMenuKey, &QAction::triggered, this, [this] {
        QMenuBar *pBar = menuBar();
        if (pBar->isVisible() && !pBar->actions().isEmpty())
            pBar->setActiveAction(pBar->actions().first());
    });
    addAction(pMenuKey);
}

void CMainFrame::RegisterBarCommands()
{
    auto toggle = [this](int nID, QWidget *pBar) {
        OnCommand(nID, [this, pBar] {
            pBar->setVisible(pBar->isHidden());
            ScheduleIdleUpdate();
        });
        OnUpdate(nID, [pBar](CCmdUI *pCmdUI) { pCmdUI->SetCheck(pBar->isHidden() ? 0 : 1); });
    };
    toggle(ID_VIEW_TOOLBAR, m_pToolBar);
    toggle(ID_VIEW_EDITBAR, m_pToolBar2);
    toggle(ID_VIEW_WEBBAR, m_pWebToolBar);
    toggle(ID_VIEW_STATUS_BAR, statusBar());
    toggle(ID_VIEW_FILETABBAR, m_pTabBar);
    toggle(ID_VIEW_RESULTSBAR, m_pResultsBar);
    OnCommand(ID_VIEW_WEBEXBAR, [] {});
    for (int nID : {ID_TABLE_MENU, ID_LINK_MENU, ID_FORM_MENU, ID_HTML_MENU})
        OnCommand(nID, [this, nID] { ShowDropDownMenu(nID); });
    OnCommand(ID_VIEW_OPTIONS, [this] { OnOptions(); });
    CKeyLocks &locks = CKeyLocks::Instance();
    connect(&locks, &CKeyLocks::Changed, this, &CMainFrame::ScheduleIdleUpdate);
    OnUpdate(ID_INDICATOR_KANA, [&locks](CCmdUI *pCmdUI) { pCmdUI->Enable(locks.IsKanaLock()); });
    OnUpdate(ID_INDICATOR_CAPS, [&locks](CCmdUI *pCmdUI) { pCmdUI->Enable(locks.IsCapsLock()); });
    OnUpdate(ID_INDICATOR_NUM, [&locks](CCmdUI *pCmdUI) { pCmdUI->Enable(locks.IsNumLock()); });
    OnUpdate(ID_INDICATOR_SCRL, [&locks](CCmdUI *pCmdUI) { pCmdUI->Enable(locks.IsScrollLock()); });
}

// ---------------------------------------------------------------------------
// Idle updates

void CMainFrame::UpdateMenuBar()
{
    const int nWanted = GetChildFrames().isEmpty() ? IDR_MAINFRAME : IDR_WRENPADTYPE;
    if (nWanted == m_nShownMenu)
        return;
    m_nShownMenu = nWanted;
    QMenuBar *pBar = menuBar();
    pBar->clear();
    for (QMenu *pMenu : nWanted == IDR_MAINFRAME ? m_aMenu128 : m_aMenu129)
        pBar->addMenu(pMenu);
}

void CMainFrame::UpdateToolBars()
{
    for (QToolBar *pBar : {m_pToolBar, m_pToolBar2, m_pWebToolBar}) {
        if (pBar->isHidden())
            continue;
        for (QAction *pAction : pBar->actions()) {
            const int nID = pAction->data().toInt();
            if (nID == 0)
                continue;
            CCmdUI ui(nID);
            pAction->setEnabled(RouteUpdate(&ui) && ui.IsEnabled());
            pAction->setCheckable(ui.GetCheck() != 0);
            pAction->setChecked(ui.GetCheck() != 0);
        }
    }
}

void CMainFrame::UpdateStatusPanes()
{
    if (statusBar()->isHidden())
        return;
    for (const CStatusPane &pane : StatusPanes()) {
        auto it = m_mapPanes.find(pane.nID);
        if (it == m_mapPanes.end())
            continue;
        // A pane shows its indicator's text, or the text its update handler
        // gives, while that handler enables it.
        QString strText;
        CCmdUI ui(pane.nID);
        if (RouteUpdate(&ui) && ui.IsEnabled())
            strText = ui.GetText() ? *ui.GetText() : CommandLabel(pane.nID);
        if (it->second->text() != strText)
            it->second->setText(strText);
    }
}

void CMainFrame::UpdateRecentFileMenus()
{
    const CRecentFileList &list = m_pApp->RecentFiles();
    for (QMenu *pTop : m_aMenu128 + m_aMenu129 + QList<QMenu *>{m_pTrayMenu}) {
        QAction *pFirst = FindCommandAction(pTop, ID_FILE_MRU_FILE1);
        if (!pFirst)
            continue;
        QMenu *pMenu = qobject_cast<QMenu *>(pFirst->parent());
        if (!pMenu)
            continue;
        const QList<QAction *> actions = pMenu->actions();
        const int nAt = static_cast<int>(actions.indexOf(pFirst));
        QAction *pBefore = nullptr;
        for (int i = nAt; i < actions.size(); ++i) {
            const int nID = CommandOf(actions[i]);
            if (nID >= ID_FILE_MRU_FILE1 && nID <= ID_FILE_MRU_LAST) {
                pMenu->removeAction(actions[i]);
                actions[i]->deleteLater();
            } else {
                pBefore = actions[i];
                break;
            }
        }
        const CommandFn fnCommand = [this](int nID) { ExecuteCommand(nID); };
        if (list.GetSize() == 0) {
            // The empty list keeps its placeholder, which cannot be chosen.
            QAction *pPlaceholder = MakeCommandAction(ID_FILE_MRU_FILE1, CommandLabel(ID_FILE_MRU_FILE1), pMenu, fnCommand);
            pMenu->insertAction(pBefore, pPlaceholder);
            continue;
        }
        for (int i = 0; i < list.GetSize(); ++i)
            pMenu->insertAction(pBefore, MakeCommandAction(ID_FILE_MRU_FILE1 + i, RecentFileLabel(i, list[i]), pMenu,
                                                           fnCommand));
    }
}

// ---------------------------------------------------------------------------
// Bars

QToolBar *CMainFrame::GetToolBar(int nResource) const
{
    switch (nResource) {
    case IDR_TOOLBAR_STANDARD:
        return m_pToolBar;
    case IDR_TOOLBAR_EDIT:
        return m_pToolBar2;
    case IDR_TOOLBAR_WEB:
        return m_pWebToolBar;
    default:
        return nullptr;
    }
}

QString CMainFrame::GetStatusPaneText(int nID) const
{
    if (nID == 0)
        return statusBar()->currentMessage().isEmpty() ? m_pMessagePane->text() : statusBar()->currentMessage();
    auto it = m_mapPanes.find(nID);
    return it == m_mapPanes.end() ? QString() : it->second->text();
}

QMenu *CMainFrame::GetMainMenu(int nResource, int nIndex) const
{
    const QList<QMenu *> &menus = nResource == IDR_MAINFRAME ? m_aMenu128 : m_aMenu129;
    return nIndex >= 0 && nIndex < menus.size() ? menus[nIndex] : nullptr;
}

void CMainFrame::ShowDropDownMenu(int nID)
{
    const int nIndex = nID == ID_HTML_MENU ? 3 : nID - ID_TABLE_MENU;
    if (nIndex < 0 || nIndex >= m_aDropDowns.size())
        return;
    QToolBar *pBar = nID == ID_HTML_MENU ? m_pWebToolBar : m_pToolBar;
    QPoint pt = QCursor::pos();
    for (QAction *pAction : pBar->actions())
        if (CommandOf(pAction) == nID && !pBar->isHidden())
            if (QWidget *pButton = pBar->widgetForAction(pAction))
                pt = pButton->mapToGlobal(pButton->rect().bottomLeft());
    m_aDropDowns[nIndex]->popup(pt);
}

void CMainFrame::SetTrayIconVisible(bool bVisible)
{
    m_pTrayIcon->SetVisible(bVisible);
}

bool CMainFrame::IsTrayIconVisible() const
{
    return m_pTrayIcon->IsVisible();
}

void CMainFrame::OnUnmappableCharacters(int nCount)
{
    statusBar()->showMessage(
        QStringLiteral("Shift-JIS にない文字 %1 個を \"?\" に置き換えました。").arg(nCount), 5000);
}

void CMainFrame::OnReadOnlyEditRefused()
{
    statusBar()->showMessage(QStringLiteral("書込み禁止です"), 5000);
}

void CMainFrame::ShowSplash()
{
    (new CSplashWnd(this))->show();
}

// ---------------------------------------------------------------------------
// Options

void CMainFrame::OnOptions()
{
    COptionsData data;
    data.Load(AppProfile(), AppSettings());
    COptionsSheet sheet(data, m_pApp->SystemColors(), this);
    if (ExecDialog(&sheet) != QDialog::Accepted)
        return;
    data = sheet.GetData();
    data.Save(AppProfile(), AppSettings());
    for (CWrenpadDoc *pDoc : m_pApp->Documents())
        pDoc->UpdateAllViews();
    // The setting says what is in place, even when the switch failed.
    AppProfile().WriteInt(SECTION_MAIN, "bUseWpShMenu", ApplyShellMenuSwitch(data.bUseWpShMenu, this) ? 1 : 0);
    AppProfile().WriteInt(SECTION_MAIN, "bShowTrayIcon", data.bShowTrayIcon ? 1 : 0);
    SetTrayIconVisible(data.bShowTrayIcon);
}

// ---------------------------------------------------------------------------
// Saved state

void CMainFrame::RestorePlacement()
{
    const QRect rcScreen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->virtualGeometry()
                                                            : QRect(0, 0, 1024, 768);
    const std::optional<CWindowPlacement> placement =
        LoadWindowPlacement(AppProfile(), rcScreen.width(), rcScreen.height(), ICON_SIZE, ICON_SIZE);
    m_bPlacementRestored = placement.has_value();
    if (!placement) {
        resize(QSize(900, 640).boundedTo(rcScreen.size()));
        m_nShowCmd = SW_SHOWNORMAL;
        return;
    }
    setGeometry(placement->nLeft, placement->nTop, placement->nRight - placement->nLeft,
                placement->nBottom - placement->nTop);
    m_nShowCmd = placement->nShowCmd;
}

void CMainFrame::ShowWithPlacement()
{
    if (m_nShowCmd == SW_SHOWMAXIMIZED)
        showMaximized();
    else
        show();
    OnIdleUpdate();
}

void CMainFrame::RestoreBarsAndMenus()
{
    const CBarVisibility bars = LoadBarVisibility(AppProfile());
    m_pToolBar->setVisible(bars.bStdToolBar);
    m_pWebToolBar->setVisible(bars.bWebToolBar);
    m_pToolBar2->setVisible(bars.bToolBar2);
    statusBar()->setVisible(bars.bStatusBar);
    m_pTabBar->setVisible(bars.bFileTabBar);
    // From now on every change of the bars, by the menu or by the tool
    // bars' own context menu, is written soon.
    m_barsSaved = bars;
    if (!m_pBarSaveTimer) {
        m_pBarSaveTimer = new QTimer(this);
        m_pBarSaveTimer->setSingleShot(true);
        m_pBarSaveTimer->setTimerType(Qt::PreciseTimer);
        m_pBarSaveTimer->setInterval(BAR_SAVE_DELAY_MS);
        connect(m_pBarSaveTimer, &QTimer::timeout, this, &CMainFrame::SaveBarStateIfChanged);
        auto *pWatch = new CVisibilityWatch(this, [this] { ScheduleBarStateSave(); });
        const std::initializer_list<QWidget *> aBars{m_pToolBar, m_pWebToolBar, m_pToolBar2, statusBar(), m_pTabBar};
        for (QWidget *pBar : aBars)
            pBar->installEventFilter(pWatch);
    }
    SetTrayIconVisible(AppProfile().GetInt(SECTION_MAIN, "bShowTrayIcon", 0) != 0);
    UpdateRecentFileMenus();
    LoadPlugins();
    LoadTagMenus();
}

CBarVisibility CMainFrame::GetBarVisibility() const
{
    CBarVisibility bars;
    bars.bStdToolBar = !m_pToolBar->isHidden();
    bars.bWebToolBar = !m_pWebToolBar->isHidden();
    bars.bToolBar2 = !m_pToolBar2->isHidden();
    bars.bStatusBar = !statusBar()->isHidden();
    bars.bFileTabBar = !m_pTabBar->isHidden();
    return bars;
}

void CMainFrame::ScheduleBarStateSave()
{
    // Not restarted by later changes: they are written with the first one.
    if (m_pBarSaveTimer && !m_pBarSaveTimer->isActive())
        m_pBarSaveTimer->start();
}

void CMainFrame::SaveBarStateIfChanged()
{
    const CBarVisibility bars = GetBarVisibility();
    if (bars == m_barsSaved)
        return;
    SaveBarVisibility(AppProfile(), bars);
    m_barsSaved = bars;
}

void CMainFrame::SaveFrameState()
{
    const CBarVisibility bars = GetBarVisibility();
    SaveBarVisibility(AppProfile(), bars);
    m_barsSaved = bars;

    const QRect rc = normalGeometry().isValid() ? normalGeometry() : geometry();
    CWindowPlacement placement;
    placement.nShowCmd = isMinimized() ? SW_SHOWMINIMIZED : isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement.nLeft = rc.left();
    placement.nTop = rc.top();
    placement.nRight = rc.left() + rc.width();
    placement.nBottom = rc.top() + rc.height();
    SaveWindowPlacement(AppProfile(), placement);
    AppProfile().WriteInt(SECTION_MAIN, "bUseBrowser", AppSettings().m_bUseBrowser);
    // The preview's copy goes now; its private folder goes with the program.
    m_pPreviewer->RemoveTempFile();
    SaveExplorerState();
}
