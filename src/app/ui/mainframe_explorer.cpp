// The explorer pane beside the documents: command 309 opens it (or brings it
// back) at the active document's folder; closing the frame keeps its place.
#include "app/ui/mainframe.h"

#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "explorer/explorerfiles.h"
#include "explorer/ui/dirlistdlg.h"
#include "explorer/ui/dirtreectrl.h"
#include "res/commands.h"

void CMainFrame::RegisterExplorerCommands()
{
    OnCommand(ID_VIEW_EXPLORER, [this] { OnViewExplorer(); });
}

CDirListDlg *CMainFrame::GetDirListDlg() const
{
    return m_pDirListDlg;
}

void CMainFrame::OnViewExplorer()
{
    const bool bNew = !m_pDirListDlg;
    if (bNew) {
        m_pDirListDlg = new CDirListDlg(this);
        // Tab in the tree gives the keyboard back to the text.
        m_pDirListDlg->SetLeaveHandler([this] {
            activateWindow();
            if (CWrenpadView *pView = GetActiveView())
                pView->setFocus();
        });
        connect(m_pDirListDlg, &CDirListDlg::Closing, this, [this] { m_pDirListDlg = nullptr; });
        connect(m_pDirListDlg, &CDirListDlg::Renamed, this, [this](const QString &strOld, const QString &strNew) {
            m_pApp->OnFileRenamed(strOld.toStdString(), strNew.toStdString());
        });
        addDockWidget(Qt::LeftDockWidgetArea, m_pDirListDlg);
    }
    m_pDirListDlg->show();
    m_pDirListDlg->raise();

    const CWrenpadView *pView = GetActiveView();
    const CWrenpadDoc *pDoc = pView ? pView->GetDocument() : nullptr;
    if (pDoc && !pDoc->GetPathName().empty())
        m_pDirListDlg->SetRoot(ParentPath(pDoc->GetPathName()), pDoc->GetPathName());
    else if (bNew)
        m_pDirListDlg->OpenAtSaved();
    m_pDirListDlg->GetTree()->setFocus();
}

void CMainFrame::SaveExplorerState()
{
    if (m_pDirListDlg)
        m_pDirListDlg->SaveSettings();
}
