#include "sitecheck/ui/linkcheck.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "platform/profile.h"
#include "search/ui/resultsedit.h"
#include "sitecheck/sitecheck.h"
#include "ui/progressdlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace {

constexpr const char *SECTION_LINK_CHECK = "WpLinkCheck";
// The name a page never saved takes in the site's folder; no real file is named so.
constexpr const char *UNTITLED_RELATIVE = "\x01untitled.html";

std::string FolderOf(const std::string &strPath)
{
    return std::filesystem::path(strPath).parent_path().string();
}

// strPath relative to strFolder, or false when it is not inside it.
bool Inside(const std::string &strFolder, const std::string &strPath, std::string &strRelative)
{
    const auto folder = std::filesystem::path(strFolder).lexically_normal();
    const std::string strRel = std::filesystem::path(strPath).lexically_normal().lexically_relative(folder).string();
    if (strRel.empty() || strRel == "." || strRel.rfind("..", 0) == 0)
        return false;
    strRelative = strRel;
    return true;
}

} // namespace

CLinkCheckDlg::CLinkCheckDlg(const QString &strFolder, bool bSubFolders, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("リンクチェック"));
    auto *pLayout = new QVBoxLayout(this);
    auto *pLabel = new QLabel(QStringLiteral("サイトのフォルダ(&F):"), this);
    pLayout->addWidget(pLabel);
    auto *pRow = new QHBoxLayout;
    m_pFolder = new QLineEdit(strFolder, this);
    // Alt+F goes to the folder, and the label shows its key underlined.
    pLabel->setBuddy(m_pFolder);
    m_pFolder->setObjectName(QStringLiteral("folderEdit"));
    m_pFolder->setMinimumWidth(320);
    auto *pBrowse = new QPushButton(QStringLiteral("参照(&B)..."), this);
    pBrowse->setObjectName(QStringLiteral("browseButton"));
    pBrowse->setAutoDefault(false);
    pRow->addWidget(m_pFolder);
    pRow->addWidget(pBrowse);
    pLayout->addLayout(pRow);
    m_pSubFolders = new QCheckBox(QStringLiteral("サブフォルダも検査する(&S)"), this);
    m_pSubFolders->setObjectName(QStringLiteral("subFoldersCheck"));
    m_pSubFolders->setChecked(bSubFolders);
    pLayout->addWidget(m_pSubFolders);
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    pButtons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("検査(&C)"));
    pButtons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pBrowse, &QPushButton::clicked, this, [this] {
        const QString strChosen = BrowseForFolder(this, QStringLiteral("サイトのフォルダ"), m_pFolder->text());
        if (!strChosen.isEmpty())
            m_pFolder->setText(strChosen);
    });
}

QString CLinkCheckDlg::GetFolder() const
{
    return m_pFolder->text().trimmed();
}

bool CLinkCheckDlg::GetSubFolders() const
{
    return m_pSubFolders->isChecked();
}

void CLinkCheckDlg::accept()
{
    if (!QFileInfo(GetFolder()).isDir()) {
        MessageBox(this, QStringLiteral("フォルダが見つかりません。"), QStringLiteral("エラー"), MB_OK | MB_ICONEXCLAMATION);
        m_pFolder->setFocus();
        return;
    }
    QDialog::accept();
}

std::string ProposeSiteFolder(const std::string &strPagePath, const std::string &strLastFolder)
{
    std::string strRelative;
    if (!strLastFolder.empty() && (strPagePath.empty() || Inside(strLastFolder, strPagePath, strRelative)))
        return strLastFolder;
    return strPagePath.empty() ? QDir::homePath().toStdString() : FolderOf(strPagePath);
}

bool CheckSiteWithPage(const std::string &strFolder, bool bSubFolders, const CLinkCheckPage &page,
                       std::vector<CSiteFinding> &aFindings, const std::atomic<bool> *pbCancel,
                       const std::function<void(int, int, const std::string &)> &fnProgress)
{
    CSiteCheck check(strFolder);
    std::string strRelative;
    if (page.strPath.empty()) {
        check.SetPageBytes(UNTITLED_RELATIVE, page.bytes);
        check.AddPage(UNTITLED_RELATIVE, LINKCHECK_UNTITLED);
    }
    check.AddFolder("", bSubFolders);
    // The page in its place among the folder's pages; added behind them when
    // the walk does not reach it (in a subfolder not walked).
    if (!page.strPath.empty() && Inside(strFolder, page.strPath, strRelative)) {
        check.SetPageBytes(strRelative, page.bytes);
        check.AddPage(strRelative, strRelative);
    }
    const bool bDone = check.Run(pbCancel, fnProgress);
    aFindings = check.GetFindings();
    return bDone;
}

bool RunLinkCheck(QWidget *pParent, const CLinkCheckPage &page, CResultsEdit *pResults)
{
    CProfileStore &profile = AppProfile();
    const std::string strLast = profile.GetString(SECTION_LINK_CHECK, "Folder", std::string());
    CLinkCheckDlg dlg(QString::fromStdString(ProposeSiteFolder(page.strPath, strLast)),
                      profile.GetInt(SECTION_LINK_CHECK, "SubFolders", 1) != 0, pParent);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return false;
    const std::string strFolder = QDir::cleanPath(dlg.GetFolder()).toStdString();
    profile.WriteString(SECTION_LINK_CHECK, "Folder", strFolder);
    profile.WriteInt(SECTION_LINK_CHECK, "SubFolders", dlg.GetSubFolders() ? 1 : 0);
    std::string strRelative;
    if (!page.strPath.empty() && !Inside(strFolder, page.strPath, strRelative)) {
        MessageBox(pParent, QStringLiteral("このページは選んだフォルダの中にありません。"), QStringLiteral("エラー"),
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    std::vector<CSiteFinding> aFindings;
    CProgressDlg progress(QStringLiteral("リンクチェック中..."), pParent);
    const int nDone = progress.Run([&](CProgressDlg::CReport &report) {
        return CheckSiteWithPage(strFolder, dlg.GetSubFolders(), page, aFindings, report.CancelFlag(),
                                 [&report](int nDone, int nTotal, const std::string &strPage) {
                                     report.Progress(strPage, nDone, nTotal);
                                 })
                   ? 1
                   : 0;
    });
    pResults->ClearResults();
    pResults->SetRootFolder(strFolder);
    int nErrors = 0;
    for (const CSiteFinding &finding : aFindings) {
        pResults->appendPlainText(QString::fromStdString(FormatFinding(finding)));
        nErrors += finding.bNote ? 0 : 1;
    }
    pResults->appendPlainText(nDone ? QStringLiteral("%1 個の問題が見つかりました。").arg(nErrors)
                                    : QStringLiteral("キャンセルされました。"));
    pResults->ensureCursorVisible();
    return nDone != 0;
}
