#include "search/ui/foldersearchhost.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "search/ui/foldersearchdlg.h"
#include "search/ui/resultsbar.h"
#include "search/ui/resultsedit.h"

#include <QMenu>

#include <memory>

namespace {

CFolderSearchHost *&TheHost()
{
    static CFolderSearchHost *pHost = nullptr;
    return pHost;
}

} // namespace

CFolderSearchHost::CFolderSearchHost(QWidget *pFrame, std::function<void()> fnShowBar,
                                     std::function<bool(int nID)> fnRouteCommand)
    : QObject(pFrame), m_pFrame(pFrame), m_pBar(new CResultsBar), m_fnShowBar(std::move(fnShowBar)),
      m_fnRouteCommand(std::move(fnRouteCommand))
{
    TheHost() = this;
    connect(m_pBar, &CResultsBar::FolderSearchRequested, this, [this] {
        if (!m_fnRouteCommand || !m_fnRouteCommand(ID_FOLDER_SEARCH))
            OpenFolderSearch(std::string(), std::string());
    });
    // The results' context menu opens the search window that keeps its own results.
    CResultsEdit *pResults = m_pBar->GetResultsEdit();
    pResults->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pResults, &QWidget::customContextMenuRequested, this, [this, pResults](const QPoint &pt) {
        std::unique_ptr<QMenu> pMenu(pResults->createStandardContextMenu());
        pMenu->addSeparator();
        pMenu->addAction(QStringLiteral("ﾌｫﾙﾀﾞｰ内検索ｳｨﾝﾄﾞｳ(&W)..."), this, [this] { OpenFolderSearchWindow(); });
        pMenu->exec(pResults->mapToGlobal(pt));
    });
}

CFolderSearchHost::~CFolderSearchHost()
{
    if (TheHost() == this)
        TheHost() = nullptr;
    // The bar belongs to the frame's dock once placed there; otherwise to us.
    if (m_pBar && !m_pBar->parent())
        delete m_pBar.data();
}

CResultsBar *CFolderSearchHost::GetResultsBar() const
{
    return m_pBar;
}

CResultsEdit *CFolderSearchHost::ShowResults()
{
    if (m_fnShowBar)
        m_fnShowBar();
    return m_pBar->GetResultsEdit();
}

CFolderSearchDlg *CFolderSearchHost::GetFolderSearchWindow() const
{
    return m_pWindow;
}

bool CFolderSearchHost::OpenFolderSearch(const std::string &strText, const std::string &strFolder,
                                         const CExtraChars *pExtra)
{
    CFolderSearchDlg dlg(false, m_pFrame);
    dlg.Propose(strText, strFolder, pExtra);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return false;
    if (m_fnShowBar)
        m_fnShowBar();
    CResultsEdit *pResults = m_pBar->GetResultsEdit();
    pResults->ClearResults();
    pResults->RunFolderSearch(dlg.GetParams());
    Beep();
    return true;
}

CFolderSearchDlg *CFolderSearchHost::OpenFolderSearchWindow(const std::string &strText, const std::string &strFolder)
{
    if (!m_pWindow) {
        m_pWindow = new CFolderSearchDlg(true, m_pFrame);
        m_pWindow->Propose(strText, strFolder);
    }
    m_pWindow->show();
    m_pWindow->raise();
    m_pWindow->activateWindow();
    return m_pWindow;
}

CResultsEdit *RequestResultsBar()
{
    return TheHost() ? TheHost()->ShowResults() : nullptr;
}

bool RequestFolderSearch(const std::string &strText, const std::string &strFolder, const CExtraChars *pExtra)
{
    if (!TheHost())
        return false;
    TheHost()->OpenFolderSearch(strText, strFolder, pExtra);
    return true;
}
