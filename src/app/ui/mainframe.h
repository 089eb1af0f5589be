// The main window: the document area with its windows, the menus (128
// without a document window, 129 with one), three tool bars, the status bar,
// the file tab bar, the browser and search-results bars, the tray icon. It
// routes every command, first to the active pane, then its document, its
// window, this frame and the application, and updates the items of menus and
// bars from the same route. Files reach it through OnCopyData.
//
// Routing, idle updates, hand-offs and closing live in mainframe.cpp; the bars
// and their saved state in mainframe_bars.cpp; the document windows in
// mainframe_window.cpp; the explorer pane in mainframe_explorer.cpp; the file
// tools (kanji import, archives, split) in mainframe_tools.cpp; the help
// commands in mainframe_help.cpp.
#pragma once

#include "app/framestate.h"
#include "platform/ui/cmdtarget.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <string>

class CChildFrame;
struct CHelpTopic;
class CDirListDlg;
class CFolderSearchHost;
class CPreviewer;
class CSizingControlBar;
class CTabBar;
class CTrayIcon;
class CWrenpadApp;
class CWrenpadDoc;
class CWrenpadView;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

enum
{
    IDW_BROWSER_BAR = 213,
    IDW_RESULTS_BAR = 217,
    IDW_TAB_BAR = 32907,
};

class CMainFrame : public QMainWindow, public CCmdTarget
{
    Q_OBJECT

public:
    explicit CMainFrame(CWrenpadApp *pApp);
    ~CMainFrame() override;

    // --- Creation and saved state (mainframe_bars.cpp) ------------------------
    // The placement saved by the last session (or the default one).
    void RestorePlacement();
    // Shows the window in the saved state (maximised or normal).
    void ShowWithPlacement();
    // Bar visibility from the settings.
    void RestoreBarsAndMenus();
    // Bar visibility, placement and the preview target into the settings.
    void SaveFrameState();
    // The bars shown now. A change is written to the settings soon after it
    // is made, at most once a second, so that a crash does not lose it.
    CBarVisibility GetBarVisibility() const;
    void ShowSplash();

    // --- Commands ------------------------------------------------------------
    // A command chosen in a menu, on a tool bar or by a key: run when its
    // update handler does not disable it.
    void ExecuteCommand(int nID);
    bool RouteCommand(int nID);
    bool RouteUpdate(CCmdUI *pCmdUI);
    // The targets behind a document window: this frame, then the application.
    bool RouteFromFrame(int nID, CCmdUI *pCmdUI);
    // Enables, checks and relabels every item of a menu that is about to open.
    void UpdateMenu(QMenu *pMenu);
    // The idle work: tool bar buttons, status panes, window titles, tabs and
    // the menu bar for the current state.
    void OnIdleUpdate();
    void ScheduleIdleUpdate();

    // --- Document windows (mainframe_window.cpp) -----------------------------
    CChildFrame *CreateChildFrame(CWrenpadDoc *pDoc);
    CChildFrame *GetActiveChild() const;
    CWrenpadView *GetActiveView() const;
    QList<CChildFrame *> GetChildFrames() const;
    int CountFramesOf(const CWrenpadDoc *pDoc) const;
    void ActivateChild(CChildFrame *pFrame);
    void OnViewActivated(CChildFrame *pFrame);
    void OnChildFrameClosing(CChildFrame *pFrame);
    // The context menu of the pane.
    void InstallViewHooks(CWrenpadView *pView);
    void ShowContextMenu(CWrenpadView *pView, const QPoint &ptGlobal);
    QMdiArea *GetMdiArea() const { return m_pMdiArea; }

    // --- Files handed over ---------------------------------------------------
    // Code 100 (a path) or 101 ("path\tline"); false for anything else.
    bool OnCopyData(int nCode, const std::string &strPayload);
    // A message of the single-instance channel: comes to the front, then
    // opens what it names.
    void OnInstanceMessage(int nCode, const std::string &strPayload);

    // --- Bars ----------------------------------------------------------------
    QToolBar *GetToolBar(int nResource) const;
    CSizingControlBar *GetResultsBar() const { return m_pResultsBar; }
    CSizingControlBar *GetBrowserBar() const { return m_pBrowserBar; }
    // The browser preview, which fills the browser bar.
    CPreviewer *GetPreviewer() const { return m_pPreviewer; }
    CTabBar *GetTabBar() const { return m_pTabBar; }
    // The text of a status pane (by indicator id; 0 the message pane).
    QString GetStatusPaneText(int nID) const;
    QMenu *GetMainMenu(int nResource, int nIndex) const;

    // --- Plug-ins (mainframe_plugins.cpp) ------------------------------------
    // Finds the plug-ins and puts their commands into the menus.
    void LoadPlugins();
    // Puts the plug-in items into a menu and its pop-ups (the menu bars, and
    // the context menu, which is built each time it is shown), and takes the
    // clickable-map item out when the image-map plug-in does not load.
    void AddPluginItems(QMenu *pMenu);

    // --- Tag menu (mainframe_tagmenu.cpp) -------------------------------------
    // Reads the user tags, the web menu and the attribute lists from the
    // program folder and puts the items into the tag menus.
    void LoadTagMenus();
    // The tag menus of the menu bar again, after the user tags changed.
    void RebuildTagMenus();
    // The web menu's items and the user tags into the tag menu among a menu's
    // pop-ups (the menu bar's, and the context menu when it is built).
    void AddTagMenuItems(QMenu *pMenu);

    // Converts an EUC or JIS file to Shift-JIS in a new document.
    void ImportKanjiFile(const QString &strPath);
    // The file's hexadecimal and character dump in a new document; a file
    // that cannot be read, or is over 256 MB, is reported and gives none.
    bool ShowAsciiDump(const QString &strPath);
    void UpdateRecentFileMenus();
    // The explorer pane while it is open, else null.
    CDirListDlg *GetDirListDlg() const;
    // --- Help (mainframe_help.cpp) ------------------------------------------
    // Opens the page of the manual that answers a topic, or says that the
    // manual is missing.
    void ShowHelp(const CHelpTopic &topic);

    void SetTrayIconVisible(bool bVisible);
    bool IsTrayIconVisible() const;
    void OnUnmappableCharacters(int nCount);
    // A key tried to change a read-only document: the status bar says why.
    void OnReadOnlyEditRefused();

protected:
    void closeEvent(QCloseEvent *pEvent) override;
    void dragEnterEvent(QDragEnterEvent *pEvent) override;
    void dropEvent(QDropEvent *pEvent) override;

private:
    // mainframe_bars.cpp
    void CreateMenus();
    void CreateBars();
    void CreateStatusBar();
    void CreateAccelerators();
    void RegisterBarCommands();
    void UpdateToolBars();
    void UpdateStatusPanes();
    void UpdateMenuBar();
    void ShowDropDownMenu(int nID);
    // Starts the wait after which a change of the bars is written, unless
    // one is running; writes then what differs from what was written last.
    void ScheduleBarStateSave();
    void SaveBarStateIfChanged();
    void OnOptions();

    // mainframe_explorer.cpp
    void RegisterExplorerCommands();
    // Command 309: opens the pane or shows it, at the active document's folder.
    void OnViewExplorer();
    // The open pane's root, path and filter into the settings. The pane
    // itself stays until the frame goes: closing may yet be cancelled.
    void SaveExplorerState();

    // mainframe_plugins.cpp
    void RegisterPluginCommands();
    void ShowPluginHelp(int nID);

    // mainframe_help.cpp
    void RegisterHelpCommands();

    // mainframe_tools.cpp
    void RegisterFileToolCommands();
    void OnImportKanji();

    // mainframe_window.cpp
    void RegisterWindowCommands();
    void OnWindowNew();
    void TileWindows(bool bHorizontal);
    void ArrangeIcons();
    void ActivateNext(bool bPrevious);
    void NumberWindowsOf(CWrenpadDoc *pDoc);

    CWrenpadApp *m_pApp;
    QMdiArea *m_pMdiArea = nullptr;
    CTabBar *m_pTabBar = nullptr;
    QToolBar *m_pToolBar = nullptr;
    QToolBar *m_pToolBar2 = nullptr;
    QToolBar *m_pWebToolBar = nullptr;
    CSizingControlBar *m_pBrowserBar = nullptr;
    CSizingControlBar *m_pResultsBar = nullptr;
    CTrayIcon *m_pTrayIcon = nullptr;
    CPreviewer *m_pPreviewer = nullptr;
    CFolderSearchHost *m_pSearch = nullptr;
    // At most one explorer pane; cleared when it closes.
    QPointer<CDirListDlg> m_pDirListDlg;
    QTimer *m_pIdleTimer = nullptr;
    bool m_bIdleScheduled = false;
    // The bars as the settings hold them, and the wait before writing a change.
    CBarVisibility m_barsSaved;
    QTimer *m_pBarSaveTimer = nullptr;

    // Menu bars 128 and 129 and the shown one.
    QList<QMenu *> m_aMenu128;
    QList<QMenu *> m_aMenu129;
    int m_nShownMenu = 0;
    QMenu *m_pTrayMenu = nullptr;
    QList<QMenu *> m_aDropDowns;

    // Status panes by indicator id.
    std::map<int, QLabel *> m_mapPanes;
    QLabel *m_pMessagePane = nullptr;

    // The image-map plug-in loaded when the plug-ins were last looked for.
    bool m_bImageMapPlugin = true;

    QPointer<CChildFrame> m_pLastActive;
    int m_nShowCmd = 1;
    bool m_bPlacementRestored = false;
};
