// The document windows of the main window: creating and numbering them,
// activation, the window menu's arrangements, and the panes' context menu.
#include "app/ui/mainframe.h"

#include "app/appsettings.h"
#include "app/ui/childframe.h"
#include "app/ui/tabbar.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "res/commands.h"
#include "res/menus.h"
#include "res/ui/menubuilder.h"

#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QTimer>

namespace {

// Sends a pane's context-menu requests to the main window.
class CContextMenuFilter : public QObject
{
public:
    CContextMenuFilter(CWrenpadView *pView, CMainFrame *pFrame) : QObject(pView), m_pView(pView), m_pFrame(pFrame) {}

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() != QEvent::ContextMenu)
            return QObject::eventFilter(pWatched, pEvent);
        auto *pMenuEvent = static_cast<QContextMenuEvent *>(pEvent);
        QPoint pt = pMenuEvent->globalPos();
        // From the keyboard the menu opens at the caret.
        if (pMenuEvent->reason() == QContextMenuEvent::Keyboard) {
            const QPoint ptCaret = m_pView->TextToPoint(m_pView->GetCursorPos());
            pt = m_pView->viewport()->mapToGlobal(ptCaret + QPoint(0, m_pView->GetLineHeight()));
        }
        m_pFrame->ShowContextMenu(m_pView, pt);
        return true;
    }

private:
    CWrenpadView *m_pView;
    CMainFrame *m_pFrame;
};

} // namespace

void CMainFrame::RegisterWindowCommands()
{
    OnCommand(ID_WINDOW_NEW, [this] { OnWindowNew(); });
    OnCommand(ID_WINDOW_CASCADE, [this] { m_pMdiArea->cascadeSubWindows(); });
    OnCommand(ID_WINDOW_TILE_HORZ, [this] { TileWindows(true); });
    OnCommand(ID_WINDOW_TILE_VERT, [this] { TileWindows(false); });
    OnCommand(ID_WINDOW_ARRANGE, [this] { ArrangeIcons(); });
    for (int nID : {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_ARRANGE})
        OnUpdate(nID, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(GetActiveChild() != nullptr); });
    OnCommand(ID_WINDOW_NEXT, [this] { ActivateNext(false); });
    OnCommand(ID_WINDOW_PREV, [this] { ActivateNext(true); });
    OnCommand(ID_NEXT_PANE, [this] { ActivateNext(false); });
    OnCommand(ID_PREV_PANE, [this] { ActivateNext(true); });
}

// ---------------------------------------------------------------------------
// Document windows

CChildFrame *CMainFrame::CreateChildFrame(CWrenpadDoc *pDoc)
{
    auto *pFrame = new CChildFrame(pDoc, this);
    m_pMdiArea->addSubWindow(pFrame);
    m_pTabBar->AddTab(pFrame);
    connect(pFrame, &QObject::destroyed, this, [this, pFrame, pDoc = QPointer<CWrenpadDoc>(pDoc)] {
        m_pTabBar->RemoveTab(pFrame);
        // The document area forgets the window only after this signal.
        QTimer::singleShot(0, this, [this, pDoc] {
            if (!pDoc)
                return;
            NumberWindowsOf(pDoc);
            if (CountFramesOf(pDoc) == 0)
                m_pApp->RemoveDocument(pDoc);
            ScheduleIdleUpdate();
        });
    });
    if (AppProfile().GetInt(SECTION_MAIN, "bOpenFileMax", 1) != 0)
        pFrame->showMaximized();
    else
        pFrame->show();
    NumberWindowsOf(pDoc);
    ActivateChild(pFrame);
    ScheduleIdleUpdate();
    return pFrame;
}

QList<CChildFrame *> CMainFrame::GetChildFrames() const
{
    QList<CChildFrame *> aFrames;
    for (QMdiSubWindow *pWindow : m_pMdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto *pFrame = qobject_cast<CChildFrame *>(pWindow))
            aFrames << pFrame;
    return aFrames;
}

CChildFrame *CMainFrame::GetActiveChild() const
{
    if (auto *pFrame = qobject_cast<CChildFrame *>(m_pMdiArea->currentSubWindow()))
        return pFrame;
    // While another window has the focus the area has no current window;
    // the last active one still counts.
    if (m_pLastActive && GetChildFrames().contains(m_pLastActive.data()))
        return m_pLastActive.data();
    return nullptr;
}

CWrenpadView *CMainFrame::GetActiveView() const
{
    CChildFrame *pFrame = GetActiveChild();
    return pFrame ? pFrame->GetActiveView() : nullptr;
}

int CMainFrame::CountFramesOf(const CWrenpadDoc *pDoc) const
{
    int nCount = 0;
    for (CChildFrame *pFrame : GetChildFrames())
        if (pFrame->GetDocument() == pDoc && !pFrame->property("wpClosing").toBool())
            ++nCount;
    return nCount;
}

void CMainFrame::ActivateChild(CChildFrame *pFrame)
{
    if (pFrame->isMinimized())
        pFrame->showNormal();
    m_pMdiArea->setActiveSubWindow(pFrame);
    m_pLastActive = pFrame;
    if (CWrenpadView *pView = pFrame->GetActiveView())
        pView->setFocus();
    ScheduleIdleUpdate();
}

void CMainFrame::OnViewActivated(CChildFrame *pFrame)
{
    m_pLastActive = pFrame;
    ScheduleIdleUpdate();
}

void CMainFrame::OnChildFrameClosing(CChildFrame *pFrame)
{
    // The tab goes before the window does.
    pFrame->setProperty("wpClosing", true);
    m_pTabBar->RemoveTab(pFrame);
}

void CMainFrame::NumberWindowsOf(CWrenpadDoc *pDoc)
{
    QList<CChildFrame *> aFrames;
    for (CChildFrame *pFrame : GetChildFrames())
        if (pFrame->GetDocument() == pDoc && !pFrame->property("wpClosing").toBool())
            aFrames << pFrame;
    for (int i = 0; i < aFrames.size(); ++i)
        aFrames[i]->SetWindowNumber(aFrames.size() > 1 ? i + 1 : 0);
}

void CMainFrame::OnWindowNew()
{
    CChildFrame *pActive = GetActiveChild();
    if (!pActive)
        return;
    CChildFrame *pFrame = CreateChildFrame(pActive->GetDocument());
    // The new window starts where the old one shows.
    CWrenpadView *pFrom = pActive->GetActiveView();
    CWrenpadView *pTo = pFrame->GetActiveView();
    if (pFrom && pTo) {
        pTo->SetViewType(pFrom->GetViewType());
        pTo->SetTabSize(pFrom->GetTabSize());
        pTo->ScrollToFirstLine(pFrom->GetFirstVisibleLine());
        pTo->MoveCaret(pFrom->GetCursorPos());
        pTo->SetSelectionAnchor(pFrom->GetCursorPos());
    }
}

// ---------------------------------------------------------------------------
// Arrangements

void CMainFrame::TileWindows(bool bHorizontal)
{
    QList<CChildFrame *> aFrames;
    for (CChildFrame *pFrame : GetChildFrames()) {
        if (pFrame->isMaximized())
            pFrame->showNormal();
        if (!pFrame->isMinimized())
            aFrames << pFrame;
    }
    if (aFrames.isEmpty())
        return;
    const QRect rc = m_pMdiArea->viewport()->rect();
    const int n = static_cast<int>(aFrames.size());
    for (int i = 0; i < n; ++i) {
        // "上下に並べて表示" stacks the windows; "左右に並べて表示" puts them side by side.
        const QRect rcWindow = bHorizontal
            ? QRect(0, rc.height() * i / n, rc.width(), rc.height() * (i + 1) / n - rc.height() * i / n)
            : QRect(rc.width() * i / n, 0, rc.width() * (i + 1) / n - rc.width() * i / n, rc.height());
        aFrames[i]->setGeometry(rcWindow);
    }
}

void CMainFrame::ArrangeIcons()
{
    const QRect rc = m_pMdiArea->viewport()->rect();
    int x = 0;
    int y = rc.bottom();
    for (CChildFrame *pFrame : GetChildFrames()) {
        if (!pFrame->isMinimized())
            continue;
        const QSize size = pFrame->size();
        if (x > 0 && x + size.width() > rc.width()) {
            x = 0;
            y -= size.height();
        }
        pFrame->move(x, y - size.height() + 1);
        x += size.width();
    }
}

void CMainFrame::ActivateNext(bool bPrevious)
{
    if (bPrevious)
        m_pMdiArea->activatePreviousSubWindow();
    else
        m_pMdiArea->activateNextSubWindow();
}

// ---------------------------------------------------------------------------
// The panes' context menu

void CMainFrame::InstallViewHooks(CWrenpadView *pView)
{
    pView->viewport()->installEventFilter(new CContextMenuFilter(pView, this));
}

void CMainFrame::ShowContextMenu(CWrenpadView *pView, const QPoint &ptGlobal)
{
    // The menu refers to the pop-ups of the menu bar (find, bookmarks, the
    // text conversions, the web and tag menus), so it shows what they show.
    const CommandFn fnCommand = [this](int nID) { ExecuteCommand(nID); };
    QMenu *pMenu = BuildResourcePopup(*FindMenuResource(IDR_CONTEXT_MENU), CONTEXT_POPUP_MENU, this, fnCommand);

    // A selected URL or file name puts the matching commands on top.
    pView->AddOpenMenu(pMenu);
    AddPluginItems(pMenu);
    AddTagMenuItems(pMenu);

    connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu] { UpdateMenu(pMenu); });
    for (QMenu *pSub : pMenu->findChildren<QMenu *>())
        connect(pSub, &QMenu::aboutToShow, this, [this, pSub] { UpdateMenu(pSub); });
    pMenu->exec(ptGlobal);
    pMenu->deleteLater();
}
