#include "explorer/ui/dirlistdlg.h"

#include "app/appoptions.h"
#include "app/appsettings.h"
#include "explorer/ui/dirlistdialogs.h"
#include "explorer/ui/dirtreectrl.h"
#include "explorer/ui/dirtreemodel.h"
#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "res/commands.h"
#include "res/menus.h"
#include "res/toolbars.h"
#include "res/ui/menubuilder.h"
#include "search/ui/foldersearchhost.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <sys/stat.h>

namespace {

// A folder that takes longer than this to read says so under the tree.
constexpr int LOADING_NOTE_DELAY_MS = 300;

std::string HomeFolder()
{
    return QFile::encodeName(QDir::homePath()).toStdString();
}

bool IsFolder(const std::string &strPath)
{
    struct stat st;
    return !strPath.empty() && ::stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithoutTrailingSlash(std::string strPath)
{
    while (strPath.size() > 1 && strPath.back() == '/')
        strPath.pop_back();
    return strPath;
}

} // namespace

CDirListDlg::CDirListDlg(QWidget *pFrame)
    : CSizingControlBar(IDD_DIRLIST, QStringLiteral("ﾌｧｲﾙｴｸｽﾌﾟﾛｰﾗｰ"), QSize(260, 400), pFrame)
{
    setObjectName(QStringLiteral("dirListBar"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    auto *pContent = new QWidget;
    const CommandFn fnCommand = [this](int nID) { ExecuteCommand(nID); };
    m_pToolBar = new QToolBar(pContent);
    m_pToolBar->setObjectName(QStringLiteral("toolBar300"));
    m_pToolBar->setIconSize(QSize(16, 16));
    BuildToolBar(m_pToolBar, *FindToolBarResource(IDR_TOOLBAR_DIRLIST), fnCommand);

    m_pModel = new CDirTreeModel(this);
    m_pModel->SetFileFilter(AppProfile().GetString(SECTION_DIRLIST, "file", DEFAULT_DIRLIST_FILTER));
    m_pModel->SetShowFiles(true);
    m_pTree = new CDirTreeCtrl(pContent);
    m_pTree->SetDirModel(m_pModel);
    m_pLoading = new QLabel(QStringLiteral("読み込み中..."), pContent);
    m_pLoading->setObjectName(QStringLiteral("loadingNote"));
    m_pLoading->hide();
    m_pLoadingDelay = new QTimer(this);
    m_pLoadingDelay->setSingleShot(true);
    m_pLoadingDelay->setInterval(LOADING_NOTE_DELAY_MS);

    auto *pLayout = new QVBoxLayout(pContent);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pToolBar);
    pLayout->addWidget(m_pTree, 1);
    pLayout->addWidget(m_pLoading);
    SetContentWidget(pContent);

    m_pMenu = BuildResourcePopup(*FindMenuResource(IDR_DIRLIST_MENU), 0, this, fnCommand);
    connect(m_pMenu, &QMenu::aboutToShow, this, [this] {
        std::function<void(QMenu *)> update = [this, &update](QMenu *pMenu) {
            for (QAction *pAction : pMenu->actions()) {
                if (pAction->menu()) {
                    update(pAction->menu());
                } else if (const int nID = CommandOf(pAction)) {
                    CCmdUI ui(nID, true);
                    OnCmdMsg(nID, &ui);
                    pAction->setEnabled(ui.IsEnabled());
                }
            }
        };
        update(m_pMenu);
    });

    connect(m_pTree->selectionModel(), &QItemSelectionModel::currentChanged, this, &CDirListDlg::OnSelectionChanged);
    connect(m_pTree, &CDirTreeCtrl::OpenRequested, this, &CDirListDlg::OpenSelected);
    connect(m_pTree, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!m_pModel->IsFolder(index))
            OpenSelected();
    });
    connect(m_pTree, &CDirTreeCtrl::RefreshRequested, this, &CDirListDlg::OnRefresh);
    connect(m_pTree, &CDirTreeCtrl::DeleteRequested, this, [this] { ExecuteCommand(ID_DIRLIST_DELETE); });
    connect(m_pTree, &CDirTreeCtrl::LeaveRequested, this, [this] {
        if (m_fnLeave)
            m_fnLeave();
    });
    connect(m_pTree, &CDirTreeCtrl::MenuRequested, this, [this](const QPoint &pt) { m_pMenu->popup(pt); });
    connect(m_pModel, &CDirTreeModel::PathRevealed, this, &CDirListDlg::OnPathRevealed);
    connect(m_pModel, &CDirTreeModel::RenameRequested, this, &CDirListDlg::OnRename);
    connect(m_pModel, &CDirTreeModel::ListingChanged, this, [this](bool bListing) {
        if (bListing) {
            m_pLoadingDelay->start();
        } else {
            m_pLoadingDelay->stop();
            m_pLoading->hide();
        }
    });
    connect(m_pLoadingDelay, &QTimer::timeout, m_pLoading, &QWidget::show);

    RegisterCommands();
}

CDirListDlg::~CDirListDlg() = default;

// ---------------------------------------------------------------------------
// Root, selection and settings

void CDirListDlg::SetRoot(const std::string &strRoot, const std::string &strPath)
{
    m_strRoot = WithoutTrailingSlash(strRoot.empty() ? std::string("/") : strRoot);
    const std::string strSelect = WithoutTrailingSlash(strPath);
    m_strEditPath.clear();
    m_pModel->SetRoot(m_strRoot);
    m_strPath.clear();
    m_pTree->expand(m_pModel->RootIndex());
    if (!strSelect.empty())
        m_pModel->RevealPath(strSelect);
    UpdateToolBar();
}

void CDirListDlg::OpenAtSaved()
{
    const std::string strHome = HomeFolder();
    std::string strRoot = AppProfile().GetString(SECTION_DIRLIST, "root", strHome);
    std::string strPath = AppProfile().GetString(SECTION_DIRLIST, "path", strHome);
    // A root that is gone (or was a drive of another system) starts at home.
    if (!IsFolder(strRoot)) {
        strRoot = strHome;
        strPath = strHome;
    }
    SetRoot(strRoot, strPath);
}

void CDirListDlg::SaveSettings() const
{
    AppProfile().WriteString(SECTION_DIRLIST, "root", m_strRoot);
    AppProfile().WriteString(SECTION_DIRLIST, "path", m_strPath);
    AppProfile().WriteString(SECTION_DIRLIST, "file", m_pModel->GetFileFilter());
}

void CDirListDlg::closeEvent(QCloseEvent *pEvent)
{
    if (!m_bClosed) {
        m_bClosed = true;
        SaveSettings();
        emit Closing();
        deleteLater();
    }
    CSizingControlBar::closeEvent(pEvent);
}

void CDirListDlg::OnSelectionChanged()
{
    m_strPath = m_pModel->PathOf(m_pTree->currentIndex());
    UpdateToolBar();
}

void CDirListDlg::OnPathRevealed(const QModelIndex &index, bool bExact)
{
    std::vector<QModelIndex> aAncestors;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        aAncestors.push_back(parent);
    for (auto it = aAncestors.rbegin(); it != aAncestors.rend(); ++it)
        m_pTree->expand(*it);
    m_pTree->setCurrentIndex(index);
    m_pTree->scrollTo(index);
    if (!m_strEditPath.empty()) {
        if (bExact && m_pModel->PathOf(index) == m_strEditPath)
            m_pTree->edit(index);
        m_strEditPath.clear();
    }
}

QModelIndex CDirListDlg::TargetFolder() const
{
    const QModelIndex current = m_pTree->currentIndex();
    if (!current.isValid())
        return m_pModel->RootIndex();
    return m_pModel->IsFolder(current) ? current : current.parent();
}

void CDirListDlg::RefreshAndReveal(const QModelIndex &folder, const std::string &strPath, bool bEdit)
{
    m_strEditPath = bEdit ? strPath : std::string();
    // A folder never read is read by the reveal; one read before is read again.
    if (!m_pModel->canFetchMore(folder))
        m_pModel->Refresh(folder);
    m_pModel->RevealPath(strPath);
}

// ---------------------------------------------------------------------------
// Commands

void CDirListDlg::RegisterCommands()
{
    auto needsPath = [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!m_strPath.empty()); };
    OnCommand(ID_DIRLIST_ROOT, [this] { OnChooseRoot(); });
    OnCommand(ID_DIRLIST_UP, [this] { OnUp(); });
    OnUpdate(ID_DIRLIST_UP, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!ParentPath(m_strRoot).empty()); });
    OnCommand(ID_DIRLIST_FIND, [this] { OnFind(); });
    OnUpdate(ID_DIRLIST_FIND, needsPath);
    OnCommand(ID_DIRLIST_PROPERTIES, [this] { OnProperties(); });
    OnUpdate(ID_DIRLIST_PROPERTIES, needsPath);
    OnCommand(ID_DIRLIST_OPTIONS, [this] { OnOptions(); });
    OnCommand(ID_DIRLIST_NEW_FOLDER, [this] { OnNewFolder(); });
    OnCommand(ID_DIRLIST_NEW_TEXT, [this] { OnNewFile("新規テキスト", ".txt", std::string_view()); });
    OnCommand(ID_DIRLIST_NEW_HTML, [this] {
        OnNewFile("新規HTML", ".html",
                  "<html>\r\n<head>\r\n<title></title>\r\n</head>\r\n<body>\r\n\r\n</body>\r\n</html>");
    });
    OnCommand(ID_DIRLIST_NEW_FROM_TEMPLATE, [this] { OnNewFromTemplate(); });
    OnCommand(ID_DIRLIST_DELETE, [this] { OnDelete(); });
    // The root stays: deleting it would leave the tree on nothing.
    OnUpdate(ID_DIRLIST_DELETE, [this](CCmdUI *pCmdUI) {
        const QModelIndex current = m_pTree->currentIndex();
        pCmdUI->Enable(current.isValid() && current.parent().isValid());
    });
    OnCommand(ID_DIRLIST_OPEN, [this] { OnOpenWithShell(); });
    OnUpdate(ID_DIRLIST_OPEN, needsPath);
    OnCommand(ID_DIRLIST_EDIT, [this] { OnEdit(); });
    OnUpdate(ID_DIRLIST_EDIT, [this](CCmdUI *pCmdUI) {
        const QModelIndex current = m_pTree->currentIndex();
        pCmdUI->Enable(current.isValid() && !m_pModel->IsFolder(current));
    });
}

void CDirListDlg::ExecuteCommand(int nID)
{
    CCmdUI ui(nID);
    OnCmdMsg(nID, &ui);
    if (!ui.IsEnabled())
        return;
    OnCmdMsg(nID, nullptr);
    // The pane may have closed itself meanwhile; it is deleted later.
    UpdateToolBar();
}

void CDirListDlg::UpdateToolBar()
{
    for (QAction *pAction : m_pToolBar->actions()) {
        const int nID = CommandOf(pAction);
        if (nID == 0)
            continue;
        CCmdUI ui(nID);
        OnCmdMsg(nID, &ui);
        pAction->setEnabled(ui.IsEnabled());
    }
}

void CDirListDlg::OnChooseRoot()
{
    const QString strChosen =
        BrowseForFolder(this, QStringLiteral("ルートパスの指定"), QFile::decodeName(QByteArray::fromStdString(m_strRoot)));
    if (!strChosen.isEmpty())
        SetRoot(QFile::encodeName(strChosen).toStdString(), std::string());
}

void CDirListDlg::OnUp()
{
    // At "/" there is nothing above: the root stays.
    const std::string strParent = ParentPath(m_strRoot);
    if (strParent.empty())
        return;
    const std::string strOld = m_strRoot;
    SetRoot(strParent, strOld);
}

void CDirListDlg::OnFind()
{
    std::string strFolder;
    struct stat st;
    if (!m_strPath.empty() && ::stat(m_strPath.c_str(), &st) == 0)
        strFolder = S_ISDIR(st.st_mode) ? m_strPath : ParentPath(m_strPath);
    RequestFolderSearch(std::string(), strFolder);
}

void CDirListDlg::OnProperties()
{
    CItemPropertiesDlg dlg(m_strPath, this);
    ExecDialog(&dlg);
}

void CDirListDlg::OnOptions()
{
    CDirListOptionsDlg dlg(m_pModel->GetFileFilter(),
                           AppProfile().GetString(SECTION_MAIN, "UseWrenpadExtension", DEFAULT_WRENPAD_EXTENSIONS), this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    m_pModel->SetFileFilter(dlg.GetFileFilter());
    // The filter is kept when the pane closes; the editor's list at once.
    AppProfile().WriteString(SECTION_MAIN, "UseWrenpadExtension", dlg.GetOwnExtensions());
    const std::string strPath = m_strPath;
    SetRoot(m_strRoot, strPath);
}

void CDirListDlg::OnRefresh()
{
    const QModelIndex current = m_pTree->currentIndex();
    if (!current.isValid() || !current.parent().isValid()) {
        const std::string strPath = m_strPath;
        SetRoot(m_strRoot, strPath);
        return;
    }
    // A folder that was read is read again too: that is what the user sees.
    if (m_pModel->IsFolder(current))
        m_pModel->Refresh(current);
    RefreshAndReveal(current.parent(), m_strPath, false);
}
