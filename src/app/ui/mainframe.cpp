#include "app/ui/mainframe.h"

#include "app/appsettings.h"
#include "app/ui/childframe.h"
#include "app/ui/previewer.h"
#include "app/ui/tabbar.h"
#include "app/ui/templates.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "platform/copydata.h"
#include "platform/handoff.h"
#include "res/commands.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

static void InitIconResources()
{
    // The icons live in a static library, whose resources must be asked for.
    Q_INIT_RESOURCE(icons);
}

namespace {

constexpr int IDLE_INTERVAL_MS = 250;

} // namespace

CMainFrame::CMainFrame(CWrenpadApp *pApp) : QMainWindow(nullptr), m_pApp(pApp)
{
    InitIconResources();
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Wrenpad"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/wrenpad.svg")));
    setAcceptDrops(true);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    auto *pCentral = new QWidget(this);
    m_pMdiArea = new QMdiArea(pCentral);
    m_pMdiArea->setObjectName(QStringLiteral("mdiClient"));
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pTabBar = new CTabBar(pCentral);
    auto *pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pMdiArea, 1);
    pLayout->addWidget(m_pTabBar);
    setCentralWidget(pCentral);
    connect(m_pTabBar, &CTabBar::WindowChosen, this, [this](QWidget *pWindow) {
        if (auto *pFrame = qobject_cast<CChildFrame *>(pWindow))
            ActivateChild(pFrame);
    });
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *pWindow) {
        if (auto *pFrame = qobject_cast<CChildFrame *>(pWindow)) {
            m_pLastActive = pFrame;
            if (CWrenpadView *pView = pFrame->GetActiveView())
                pView->setFocus();
        }
        ScheduleIdleUpdate();
    });

    CreateMenus();
    CreateBars();
    CreateStatusBar();
    CreateAccelerators();
    RegisterBarCommands();
    RegisterWindowCommands();
    RegisterExplorerCommands();
    RegisterPluginCommands();
    RegisterFileToolCommands();
    RegisterHelpCommands();
    OnCommand(ID_APP_EXIT, [this] { close(); });
    OnCommand(ID_TEMPLATE_OPEN, [this] { OpenTemplate(m_pApp, this); });

    SetCopyDataReceiver([this](int nCode, const std::string &strPayload) { return OnCopyData(nCode, strPayload); });
    m_pIdleTimer = new QTimer(this);
    m_pIdleTimer->setInterval(IDLE_INTERVAL_MS);
    connect(m_pIdleTimer, &QTimer::timeout, this, &CMainFrame::OnIdleUpdate);
    m_pIdleTimer->start();
}

CMainFrame::~CMainFrame()
{
    SetCopyDataReceiver(nullptr);
    // The document windows go while the frame is still whole, those already
    // closed and waiting for deletion too.
    for (CChildFrame *pFrame : findChildren<CChildFrame *>())
        delete pFrame;
}

// ---------------------------------------------------------------------------
// Commands

bool CMainFrame::RouteCommand(int nID)
{
    if (CWrenpadView *pView = GetActiveView())
        return pView->RouteCommand(nID);
    return RouteFromFrame(nID, nullptr);
}

bool CMainFrame::RouteUpdate(CCmdUI *pCmdUI)
{
    if (CWrenpadView *pView = GetActiveView())
        return pView->RouteUpdate(pCmdUI);
    return RouteFromFrame(pCmdUI->GetID(), pCmdUI);
}

bool CMainFrame::RouteFromFrame(int nID, CCmdUI *pCmdUI)
{
    return OnCmdMsg(nID, pCmdUI) || (m_pApp && m_pApp->OnCmdMsg(nID, pCmdUI));
}

void CMainFrame::ExecuteCommand(int nID)
{
    // A command whose item would be disabled does nothing, whoever sends it.
    CCmdUI ui(nID);
    if (!RouteUpdate(&ui) || !ui.IsEnabled())
        return;
    RouteCommand(nID);
    ScheduleIdleUpdate();
}

void CMainFrame::UpdateMenu(QMenu *pMenu)
{
    for (QAction *pAction : pMenu->actions()) {
        if (pAction->isSeparator() || pAction->menu())
            continue;
        const int nID = pAction->data().toInt();
        if (nID == 0)
            continue;
        CCmdUI ui(nID, true);
        // A command nobody handles yet is shown, but cannot be chosen.
        const bool bHandled = RouteUpdate(&ui);
        pAction->setEnabled(bHandled && ui.IsEnabled());
        pAction->setCheckable(ui.GetCheck() != 0);
        pAction->setChecked(ui.GetCheck() != 0);
        if (ui.GetText())
            pAction->setText(*ui.GetText());
    }
}

void CMainFrame::ScheduleIdleUpdate()
{
    if (m_bIdleScheduled)
        return;
    m_bIdleScheduled = true;
    QTimer::singleShot(0, this, &CMainFrame::OnIdleUpdate);
}

void CMainFrame::OnIdleUpdate()
{
    m_bIdleScheduled = false;
    UpdateMenuBar();
    CChildFrame *pActive = GetActiveChild();
    for (CChildFrame *pFrame : GetChildFrames())
        pFrame->UpdateFrameTitle();
    UpdateToolBars();
    UpdateStatusPanes();
    m_pPreviewer->OnIdle();
    // The frame's own title stays "Wrenpad"; the document area adds the
    // title of a maximised document window to it.
    m_pTabBar->UpdateTabs(pActive);
}

// ---------------------------------------------------------------------------
// Files handed over

bool CMainFrame::OnCopyData(int nCode, const std::string &strPayload)
{
    CHandoff handoff;
    if (!ParseHandoff(nCode, strPayload, handoff))
        return false;
    CWrenpadDoc *pDoc = m_pApp->OpenDocumentFile(QString::fromStdString(handoff.strPath));
    if (!pDoc)
        return false;
    if (handoff.nLine > 0) {
        if (CWrenpadView *pView = GetActiveView(); pView && pView->GetDocument() == pDoc) {
            const int nLine = std::min(handoff.nLine, pView->GetLineCount()) - 1;
            pView->PlaceCaret(CPoint(0, std::max(0, nLine)));
        }
    }
    if (CChildFrame *pFrame = GetActiveChild(); pFrame && pFrame->isMinimized()) {
        if (AppProfile().GetInt(SECTION_MAIN, "bOpenFileMax", 1) != 0)
            pFrame->showMaximized();
        else
            pFrame->showNormal();
    }
    ScheduleIdleUpdate();
    return true;
}

void CMainFrame::OnInstanceMessage(int nCode, const std::string &strPayload)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (nCode != HANDOFF_ACTIVATE)
        OnCopyData(nCode, strPayload);
}

// ---------------------------------------------------------------------------
// Closing and dropped files

void CMainFrame::closeEvent(QCloseEvent *pEvent)
{
    SaveFrameState();
    if (!m_pApp->SaveAllModified()) {
        pEvent->ignore();
        return;
    }
    // After the saving: documents saved under a new name are in the list.
    m_pApp->SaveSession();
    m_pApp->CloseAllDocuments();
    SetTrayIconVisible(false);
    pEvent->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        for (const QUrl &url : pEvent->mimeData()->urls())
            if (url.isLocalFile()) {
                pEvent->acceptProposedAction();
                return;
            }
}

void CMainFrame::dropEvent(QDropEvent *pEvent)
{
    raise();
    activateWindow();
    for (const QUrl &url : pEvent->mimeData()->urls())
        if (url.isLocalFile())
            m_pApp->OpenDocumentFile(url.toLocalFile());
    pEvent->acceptProposedAction();
}
