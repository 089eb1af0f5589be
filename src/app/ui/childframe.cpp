#include "app/ui/childframe.h"

#include "app/appsettings.h"
#include "app/docnames.h"
#include "app/ui/mainframe.h"
#include "app/ui/splitterwnd.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "res/commands.h"

#include <QCloseEvent>
#include <QMenu>

CChildFrame::CChildFrame(CWrenpadDoc *pDoc, CMainFrame *pMainFrame)
    : QMdiSubWindow(nullptr), m_pDoc(pDoc), m_pMainFrame(pMainFrame)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/icons/new.svg")));
    m_pSplitter = new CSplitterWnd([this](QWidget *pParent) { return CreatePane(pParent); }, this);
    setWidget(m_pSplitter);
    // The window menu closes the window with the desktop's Close keys, which
    // include Ctrl+W here; Ctrl+W is the explorer pane's, and two owners
    // would leave the key doing nothing.
    if (QMenu *pMenu = systemMenu()) {
        for (QAction *pAction : pMenu->actions()) {
            QList<QKeySequence> keys = pAction->shortcuts();
            if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0)
                pAction->setShortcuts(keys);
        }
    }
    m_pActiveView = m_pSplitter->GetPane(0, 0);
    connect(m_pSplitter, &CSplitterWnd::PanesChanged, this, [this] {
        const std::vector<CWrenpadView *> aPanes = m_pSplitter->GetPanes();
        if (std::find(aPanes.begin(), aPanes.end(), m_pActiveView) == aPanes.end()) {
            m_pActiveView = aPanes.front();
            m_pActiveView->setFocus();
        }
    });
    connect(m_pDoc, &CWrenpadDoc::StateChanged, this, &CChildFrame::UpdateFrameTitle);
    connect(m_pDoc, &CWrenpadDoc::CloseRequested, this, &QWidget::close);

    OnCommand(ID_WINDOW_SPLIT, [this] { m_pSplitter->ToggleSplit(m_pActiveView); });
    OnUpdate(ID_WINDOW_SPLIT, [this](CCmdUI *pCmdUI) { pCmdUI->SetCheck(m_pSplitter->IsSplit() ? 1 : 0); });
    OnCommand(ID_TAB_STOP, [this] { m_pDoc->OnTabStop(m_pActiveView); });
    UpdateFrameTitle();
}

CChildFrame::~CChildFrame()
{
    // The panes go before the document may.
    delete m_pSplitter;
}

CWrenpadView *CChildFrame::CreatePane(QWidget *pParent)
{
    auto *pView = new CWrenpadView(pParent);
    m_pDoc->AddView(pView);
    connect(pView, &QObject::destroyed, m_pDoc, [pDoc = m_pDoc, pView] { pDoc->RemoveView(pView); });
    pView->SetCommandFallback([this](int nID, CCmdUI *pCmdUI) { return RouteFromDocument(nID, pCmdUI); });
    connect(pView, &CCrystalTextView::Activated, this, [this](CCrystalTextView *pActive) {
        m_pActiveView = static_cast<CWrenpadView *>(pActive);
        m_pMainFrame->OnViewActivated(this);
    });
    connect(pView, &CCrystalTextView::CaretMoved, m_pMainFrame, &CMainFrame::ScheduleIdleUpdate);
    connect(pView, &CCrystalEditView::UnmappableCharacters, m_pMainFrame, &CMainFrame::OnUnmappableCharacters);
    connect(pView, &CCrystalEditView::ReadOnlyEditRefused, m_pMainFrame, &CMainFrame::OnReadOnlyEditRefused);
    m_pMainFrame->InstallViewHooks(pView);
    pView->InitialUpdate(m_pDoc->GetPathName());
    pView->SetTabSize(LoadTabStop(AppProfile()));
    return pView;
}

CWrenpadView *CChildFrame::GetActiveView() const
{
    return m_pActiveView;
}

void CChildFrame::SetWindowNumber(int nNumber)
{
    m_nWindowNumber = nNumber;
    UpdateFrameTitle();
}

void CChildFrame::UpdateFrameTitle()
{
    const QString strTitle =
        QString::fromStdString(FrameTitle(m_pDoc->GetTitle() + m_pDoc->GetTitleMark(), m_nWindowNumber, m_pDoc->GetBuffer().IsReadOnly(),
                                          m_pDoc->IsModified(), m_pDoc->IsFileDeleted()));
    if (strTitle != windowTitle())
        setWindowTitle(strTitle);
    // The tab shows the whole path as its tip.
    const QString strPath = QString::fromStdString(m_pDoc->GetPathName());
    if (strPath != windowFilePath())
        setWindowFilePath(strPath);
}

bool CChildFrame::RouteFromDocument(int nID, CCmdUI *pCmdUI)
{
    if (m_pDoc->OnCmdMsg(nID, pCmdUI))
        return true;
    if (OnCmdMsg(nID, pCmdUI))
        return true;
    return m_pMainFrame->RouteFromFrame(nID, pCmdUI);
}

void CChildFrame::closeEvent(QCloseEvent *pEvent)
{
    // The last window of a document asks to save it.
    if (!m_pDoc->IsClosing() && m_pMainFrame->CountFramesOf(m_pDoc) == 1 && !m_pDoc->SaveModified()) {
        pEvent->ignore();
        return;
    }
    m_pMainFrame->OnChildFrameClosing(this);
    QMdiSubWindow::closeEvent(pEvent);
}
