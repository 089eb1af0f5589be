// "圧縮ファイルの解凍".
#include "archive/ui/archivedlg.h"

#include "archive/archive.h"
#include "archive/archivecmd.h"
#include "platform/filefilter.h"
#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/shellopen.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <sys/stat.h>

namespace {

constexpr const char *SECTION_ARCHIVE = "UnLhaZip";
const char *const ARCHIVE_OPEN_FILTER = "圧縮ファイル (*.lzh:*.zip)|*.lzh;*.zip||";

QPushButton *MakeButton(const QString &strText, const char *pszName, QWidget *pParent)
{
    auto *pButton = new QPushButton(strText, pParent);
    pButton->setObjectName(QString::fromLatin1(pszName));
    pButton->setAutoDefault(false);
    return pButton;
}

QCheckBox *MakeCheck(const QString &strText, const char *pszName, QWidget *pParent)
{
    auto *pBox = new QCheckBox(strText, pParent);
    pBox->setObjectName(QString::fromLatin1(pszName));
    return pBox;
}

QString WithSlash(QString strFolder)
{
    if (!strFolder.endsWith(QLatin1Char('/')))
        strFolder += QLatin1Char('/');
    return strFolder;
}

// How many of the files the archive holds already exist below the destination.
int CountExisting(const std::string &strArchive, const std::string &strDest)
{
    std::vector<std::string> aPaths;
    std::string strError;
    if (ArchiveEntryPaths(strArchive, aPaths, strError) != ARC_OK)
        return 0;
    int nCount = 0;
    struct stat st;
    for (const std::string &strPath : aPaths)
        if (::lstat((strDest + strPath).c_str(), &st) == 0)
            ++nCount;
    return nCount;
}

} // namespace

CArchiveExtractDlg::CArchiveExtractDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("圧縮ファイルの解凍"));
    setObjectName(QStringLiteral("archiveExtractDialog"));
    setAcceptDrops(true);
    m_pArchive = new QLineEdit(this);
    m_pArchive->setObjectName(QStringLiteral("archive"));
    m_pArchive->setMinimumWidth(380);
    m_pDest = new QLineEdit(this);
    m_pDest->setObjectName(QStringLiteral("destFolder"));
    auto *pBrowseArchive = MakeButton(QStringLiteral("..."), "browseArchive", this);
    auto *pBrowseDest = MakeButton(QStringLiteral("..."), "browseDest", this);
    m_pDesktop = MakeCheck(QStringLiteral("デスクトップに解凍する"), "toDesktop", this);
    m_pSameFolder = MakeCheck(QStringLiteral("圧縮ファイルと同じ位置に解凍する"), "toSameFolder", this);
    m_pNewFolder = MakeCheck(QStringLiteral("ファイル名で新規フォルダを作成し、そこに解凍する"), "makeFolder", this);

    auto *pGrid = new QGridLayout;
    pGrid->addWidget(new QLabel(QStringLiteral("解凍するファイル名："), this), 0, 0, 1, 2);
    pGrid->addWidget(m_pArchive, 1, 0);
    pGrid->addWidget(pBrowseArchive, 1, 1);
    pGrid->addWidget(new QLabel(QStringLiteral("解凍するフォルダー："), this), 2, 0, 1, 2);
    pGrid->addWidget(m_pDest, 3, 0);
    pGrid->addWidget(pBrowseDest, 3, 1);
    pGrid->addWidget(m_pDesktop, 4, 0, 1, 2);
    pGrid->addWidget(m_pSameFolder, 5, 0, 1, 2);
    pGrid->addWidget(m_pNewFolder, 6, 0, 1, 2);

    auto *pRun = MakeButton(QStringLiteral("解凍(&U)"), "extract", this);
    pRun->setDefault(true);
    auto *pInfo = MakeButton(QStringLiteral("情報(&I)"), "info", this);
    auto *pOpen = MakeButton(QStringLiteral("開く(&O)"), "open", this);
    auto *pClose = MakeButton(QStringLiteral("閉じる(&C)"), "close", this);
    auto *pButtons = new QHBoxLayout;
    pButtons->addWidget(pInfo);
    pButtons->addWidget(pOpen);
    pButtons->addStretch(1);
    pButtons->addWidget(pRun);
    pButtons->addWidget(pClose);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pGrid);
    pLayout->addLayout(pButtons);

    const CProfileStore &profile = AppProfile();
    if (profile.GetInt(SECTION_ARCHIVE, "UnZipDeskTop", 0) != 0) {
        m_pDesktop->setChecked(true);
        ApplyDesktopRule();
    } else if (profile.GetInt(SECTION_ARCHIVE, "UnZipSameFolder", 0) != 0) {
        m_pSameFolder->setChecked(true);
        ApplySameFolderRule();
    }
    m_pNewFolder->setChecked(profile.GetInt(SECTION_ARCHIVE, "UnZipMakeNewFolder", 0) != 0);

    connect(m_pDesktop, &QCheckBox::toggled, this, [this] { ApplyDesktopRule(); });
    connect(m_pSameFolder, &QCheckBox::toggled, this, [this] { ApplySameFolderRule(); });
    connect(pBrowseArchive, &QPushButton::clicked, this, &CArchiveExtractDlg::OnBrowseArchive);
    connect(pBrowseDest, &QPushButton::clicked, this, &CArchiveExtractDlg::OnBrowseDest);
    connect(pRun, &QPushButton::clicked, this, &CArchiveExtractDlg::OnExtract);
    connect(pInfo, &QPushButton::clicked, this, &CArchiveExtractDlg::OnInfo);
    connect(pOpen, &QPushButton::clicked, this, &CArchiveExtractDlg::OnOpenFolder);
    connect(pClose, &QPushButton::clicked, this, &CArchiveExtractDlg::reject);
}

QString CArchiveExtractDlg::GetArchive() const
{
    return m_pArchive->text();
}

void CArchiveExtractDlg::SetArchive(const QString &strPath)
{
    m_pArchive->setText(strPath);
}

QString CArchiveExtractDlg::GetDestFolder() const
{
    return m_pDest->text();
}

void CArchiveExtractDlg::SetDestFolder(const QString &strFolder)
{
    m_pDest->setText(strFolder);
}

void CArchiveExtractDlg::ApplyDesktopRule()
{
    if (m_pDesktop->isChecked()) {
        m_pSameFolder->setChecked(false);
        m_pSameFolder->setEnabled(false);
        m_pDest->setEnabled(false);
    } else {
        m_pSameFolder->setEnabled(true);
        m_pDest->setEnabled(!m_pSameFolder->isChecked());
    }
}

void CArchiveExtractDlg::ApplySameFolderRule()
{
    if (m_pSameFolder->isChecked()) {
        m_pDesktop->setChecked(false);
        m_pDesktop->setEnabled(false);
        m_pDest->setEnabled(false);
    } else {
        m_pDesktop->setEnabled(true);
        m_pDest->setEnabled(!m_pDesktop->isChecked());
    }
}

QString CArchiveExtractDlg::DestinationFor(const QString &strArchive) const
{
    QString strDest;
    if (m_pDesktop->isChecked())
        strDest = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    else if (m_pSameFolder->isChecked())
        strDest = QFileInfo(strArchive).absolutePath();
    else
        strDest = m_pDest->text().trimmed();
    if (strDest.isEmpty())
        return QString();
    strDest = WithSlash(strDest);
    if (m_pNewFolder->isChecked())
        strDest += QFileInfo(strArchive).completeBaseName() + QLatin1Char('/');
    return strDest;
}

void CArchiveExtractDlg::OnExtract()
{
    // The path is taken as it stands: names differ by case here.
    const QString strArchive = m_pArchive->text().trimmed();
    if (strArchive.isEmpty()) {
        m_pArchive->setFocus();
        return;
    }
    const QString strDest = DestinationFor(strArchive);
    if (strDest.isEmpty()) {
        m_pDest->setFocus();
        return;
    }
    const std::string strArchivePath = strArchive.toStdString();
    const std::string strDestPath = strDest.toStdString();
    bool bOverwrite = false;
    bool bKeepChosen = false;
    if (const int nExisting = CountExisting(strArchivePath, strDestPath); nExisting > 0) {
        const int nAnswer = MessageBox(this,
                                       QStringLiteral("%1個のファイルが解凍先に既にあります。上書きしますか?\n"
                                                      "（いいえ: 既にあるファイルは残して解凍します）")
                                           .arg(nExisting),
                                       QStringLiteral("解凍"), MB_YESNOCANCEL | MB_ICONQUESTION);
        if (nAnswer == IDCANCEL)
            return;
        bOverwrite = nAnswer == IDYES;
        bKeepChosen = !bOverwrite;
    }
    const char *pszExisting = bOverwrite ? " --overwrite" : bKeepChosen ? " --keep" : "";
    const bool bZip = IsZipArchiveName(strArchivePath);
    std::string strCommand;
    if (bZip)
        strCommand = std::string("-x") + pszExisting + " \"" + ArchiveQuoted(strArchivePath) + "\" \"" +
                     ArchiveQuoted(strDestPath) + "\" ";
    else
        strCommand = std::string("e -a1 -x1 -l1 -jp1 -m1 -c0") + pszExisting + " \"" +
                     ArchiveQuoted(strArchivePath) + "\" \"" + ArchiveQuoted(strDestPath) + "\" *.*";
    std::string strOutput;
    if (CallArchiveDll(this, bZip ? "UnZip" : "Unlha", strCommand, strOutput) != 0) {
        // The report says which entries were refused or kept, and why.
        MessageBox(this, QStringLiteral("解凍が正常に終了しませんでした。\n") + QString::fromStdString(strOutput),
                   QStringLiteral("解凍"), MB_OK | MB_ICONSTOP);
        return;
    }
    CArchiveInfoDlg info(QString::fromStdString(strOutput), this);
    ExecDialog(&info);
}

void CArchiveExtractDlg::OnInfo()
{
    const QString strArchive = m_pArchive->text().trimmed();
    if (strArchive.isEmpty()) {
        m_pArchive->setFocus();
        return;
    }
    const std::string strPath = strArchive.toStdString();
    const bool bZip = IsZipArchiveName(strPath);
    const std::string strCommand = std::string(bZip ? "-v" : "v") + " \"" + ArchiveQuoted(strPath) + "\"";
    std::string strOutput;
    if (CallArchiveDll(this, bZip ? "UnZip" : "Unlha", strCommand, strOutput) == 0) {
        CArchiveInfoDlg info(QString::fromStdString(strOutput), this);
        ExecDialog(&info);
    } else {
        // An archive that cannot be read says so instead of nothing happening.
        MessageBox(this, QString::fromStdString(strOutput), QStringLiteral("情報"), MB_OK | MB_ICONSTOP);
    }
    m_pArchive->setFocus();
}

void CArchiveExtractDlg::OnOpenFolder()
{
    QString strFolder = m_pDest->text().trimmed();
    while (strFolder.size() > 1 && strFolder.endsWith(QLatin1Char('/')))
        strFolder.chop(1);
    if (strFolder.isEmpty()) {
        m_pDest->setFocus();
        return;
    }
    ShellOpen(strFolder.toStdString());
}

void CArchiveExtractDlg::OnBrowseArchive()
{
    CFileDialogRequest request;
    for (const std::string &strFilter : DialogFilterStrings(ARCHIVE_OPEN_FILTER))
        request.aFilters << QString::fromStdString(strFilter);
    const QStringList files = RunFileDialog(this, request);
    if (!files.isEmpty())
        m_pArchive->setText(files.first());
}

void CArchiveExtractDlg::OnBrowseDest()
{
    const QString strFolder = BrowseForFolder(this, QStringLiteral("解凍先の指定"), m_pDest->text());
    if (!strFolder.isEmpty())
        m_pDest->setText(WithSlash(strFolder));
}

void CArchiveExtractDlg::reject()
{
    CProfileStore &profile = AppProfile();
    profile.WriteInt(SECTION_ARCHIVE, "UnZipDeskTop", m_pDesktop->isChecked() ? 1 : 0);
    profile.WriteInt(SECTION_ARCHIVE, "UnZipSameFolder", m_pSameFolder->isChecked() ? 1 : 0);
    profile.WriteInt(SECTION_ARCHIVE, "UnZipMakeNewFolder", m_pNewFolder->isChecked() ? 1 : 0);
    QDialog::reject();
}

void CArchiveExtractDlg::dragEnterEvent(QDragEnterEvent *pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->acceptProposedAction();
}

void CArchiveExtractDlg::dropEvent(QDropEvent *pEvent)
{
    for (const QUrl &url : pEvent->mimeData()->urls()) {
        if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir()) {
            m_pArchive->setText(url.toLocalFile());
            break;
        }
    }
    pEvent->acceptProposedAction();
}
