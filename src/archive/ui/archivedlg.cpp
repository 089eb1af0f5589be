// The pack dialog, the report dialog, and the call into the back end.
#include "archive/ui/archivedlg.h"

#include "archive/archivecmd.h"
#include "platform/filefilter.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "ui/progressdlg.h"
#include "view/ui/fontutil.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The longest file list the pack dialog takes, as the old dialog's buffer did.
constexpr int MAX_FILE_LIST = 50000;

QPushButton *MakeButton(const QString &strText, const char *pszName, QWidget *pParent)
{
    auto *pButton = new QPushButton(strText, pParent);
    pButton->setObjectName(QString::fromLatin1(pszName));
    pButton->setAutoDefault(false);
    return pButton;
}

std::string WithSlash(std::string strFolder)
{
    if (strFolder.empty() || strFolder.back() != '/')
        strFolder += '/';
    return strFolder;
}

QString ProgressTitle(const std::string &strCommandLine)
{
    if (strCommandLine.rfind("u ", 0) == 0)
        return QStringLiteral("圧縮中...");
    if (strCommandLine.rfind("v ", 0) == 0 || strCommandLine.rfind("-v ", 0) == 0)
        return QStringLiteral("情報");
    return QStringLiteral("解凍中...");
}

QStringList LocalPaths(const QMimeData *pData)
{
    QStringList paths;
    if (pData->hasUrls())
        for (const QUrl &url : pData->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
    return paths;
}

} // namespace

int CallArchiveDll(QWidget *pParent, const char *pszEntry, const std::string &strCommandLine,
                   std::string &strOutput)
{
    const bool bZip = std::string(pszEntry) == "UnZip";
    CProgressDlg progress(ProgressTitle(strCommandLine), pParent);
    return progress.Run([&](CProgressDlg::CReport &report) {
        CArchiveProgress archiveProgress;
        archiveProgress.pCancel = report.CancelFlag();
        archiveProgress.fnProgress = [&report](const std::string &strEntry, std::int64_t nDone, std::int64_t nTotal) {
            report.Progress(strEntry, nDone, nTotal);
        };
        return bZip ? UnZip(strCommandLine, strOutput, &archiveProgress)
                    : Unlha(strCommandLine, strOutput, &archiveProgress);
    });
}

// ---------------------------------------------------------------------------
// "情報"

CArchiveInfoDlg::CArchiveInfoDlg(const QString &strText, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("情報"));
    setObjectName(QStringLiteral("archiveInfoDialog"));
    m_pText = new QPlainTextEdit(this);
    m_pText->setObjectName(QStringLiteral("text"));
    m_pText->setReadOnly(true);
    m_pText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pText->setFont(MakeViewFont(QString(), 16));
    m_pText->setPlainText(strText);
    m_pText->setMinimumSize(640, 360);
    auto *pClose = MakeButton(QStringLiteral("閉じる(&C)"), "close", this);
    pClose->setDefault(true);
    connect(pClose, &QPushButton::clicked, this, &QDialog::accept);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pText);
    pLayout->addWidget(pClose, 0, Qt::AlignRight);
}

QString CArchiveInfoDlg::GetText() const
{
    return m_pText->toPlainText();
}

// ---------------------------------------------------------------------------
// "ファイルの圧縮"

CArchiveCompressDlg::CArchiveCompressDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ファイルの圧縮"));
    setObjectName(QStringLiteral("archiveCompressDialog"));
    setAcceptDrops(true);
    m_pFolderMode = new QRadioButton(QStringLiteral("フォルダーの指定 （ﾌｫﾙﾀﾞ内ﾌｧｲﾙ全て）"), this);
    m_pFolderMode->setObjectName(QStringLiteral("folderMode"));
    m_pFileMode = new QRadioButton(QStringLiteral("ファイルの指定 (複数可： Ctrl+ﾏｳｽｸﾘｯｸ)"), this);
    m_pFileMode->setObjectName(QStringLiteral("fileMode"));
    m_pFolder = new QLineEdit(this);
    m_pFolder->setObjectName(QStringLiteral("folder"));
    m_pFolder->setMinimumWidth(380);
    m_pFiles = new QLineEdit(this);
    m_pFiles->setObjectName(QStringLiteral("files"));
    // The list is what was chosen or dropped; typing would not change it.
    m_pFiles->setReadOnly(true);
    auto *pBrowseFolder = MakeButton(QStringLiteral("..."), "browseFolder", this);
    auto *pBrowseFiles = MakeButton(QStringLiteral("..."), "browseFiles", this);

    auto *pGrid = new QGridLayout;
    pGrid->addWidget(m_pFolderMode, 0, 0, 1, 2);
    pGrid->addWidget(m_pFolder, 1, 0);
    pGrid->addWidget(pBrowseFolder, 1, 1);
    pGrid->addWidget(m_pFileMode, 2, 0, 1, 2);
    pGrid->addWidget(m_pFiles, 3, 0);
    pGrid->addWidget(pBrowseFiles, 3, 1);

    auto *pRun = MakeButton(QStringLiteral("圧縮(&U)"), "compress", this);
    pRun->setDefault(true);
    auto *pClose = MakeButton(QStringLiteral("閉じる(&C)"), "close", this);
    auto *pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(pRun);
    pButtons->addWidget(pClose);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pGrid);
    pLayout->addLayout(pButtons);

    m_pFolderMode->setChecked(true);
    m_pFolder->installEventFilter(this);
    m_pFiles->installEventFilter(this);
    connect(pBrowseFolder, &QPushButton::clicked, this, &CArchiveCompressDlg::OnBrowseFolder);
    connect(pBrowseFiles, &QPushButton::clicked, this, &CArchiveCompressDlg::OnBrowseFiles);
    connect(pRun, &QPushButton::clicked, this, &CArchiveCompressDlg::OnCompress);
    connect(pClose, &QPushButton::clicked, this, &QDialog::reject);
}

bool CArchiveCompressDlg::IsFolderMode() const
{
    return m_pFolderMode->isChecked();
}

void CArchiveCompressDlg::SetFolderMode(bool bFolder)
{
    (bFolder ? m_pFolderMode : m_pFileMode)->setChecked(true);
}

QString CArchiveCompressDlg::GetFolder() const
{
    return m_pFolder->text();
}

void CArchiveCompressDlg::SetFolder(const QString &strFolder)
{
    m_pFolder->setText(strFolder);
}

bool CArchiveCompressDlg::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pEvent->type() == QEvent::FocusIn) {
        if (pWatched == m_pFolder)
            SetFolderMode(true);
        else if (pWatched == m_pFiles)
            SetFolderMode(false);
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

void CArchiveCompressDlg::SetChosenFiles(const QStringList &files)
{
    if (files.isEmpty())
        return;
    std::string strList;
    if (files.size() == 1) {
        strList = ArchiveListArg(QFileInfo(files.first()).fileName().toStdString());
    } else {
        for (const QString &strFile : files)
            strList += "\"" + ArchiveQuoted(QFileInfo(strFile).fileName().toStdString()) + "\" ";
    }
    if (static_cast<int>(strList.size()) > MAX_FILE_LIST) {
        MessageBox(this, QStringLiteral("Error: Too many Files is Drop!"));
        return;
    }
    m_strBaseDir = WithSlash(QFileInfo(files.first()).absolutePath().toStdString());
    m_strFiles = strList;
    m_pFiles->setText(QString::fromStdString(m_strFiles));
}

void CArchiveCompressDlg::DropPaths(const QStringList &paths)
{
    if (QWidget *pWindow = parentWidget() ? parentWidget()->window() : nullptr)
        pWindow->raise();
    if (paths.isEmpty())
        return;
    if (IsFolderMode()) {
        if (QFileInfo(paths.first()).isDir())
            m_pFolder->setText(paths.first());
        return;
    }
    std::string strList;
    std::string strBase;
    for (const QString &strPath : paths) {
        const QFileInfo info(strPath);
        if (!info.exists())
            continue;
        if (strBase.empty())
            strBase = WithSlash(info.absolutePath().toStdString());
        strList += "\"" + ArchiveQuoted(info.absoluteFilePath().toStdString()) + "\" ";
    }
    if (strList.empty())
        return;
    if (static_cast<int>(strList.size()) > MAX_FILE_LIST) {
        MessageBox(this, QStringLiteral("Error: Too many Files is Drop!"));
        return;
    }
    m_strBaseDir = strBase;
    m_strFiles = strList;
    m_pFiles->setText(QString::fromStdString(m_strFiles));
}

void CArchiveCompressDlg::dragEnterEvent(QDragEnterEvent *pEvent)
{
    if (!LocalPaths(pEvent->mimeData()).isEmpty())
        pEvent->acceptProposedAction();
}

void CArchiveCompressDlg::dropEvent(QDropEvent *pEvent)
{
    DropPaths(LocalPaths(pEvent->mimeData()));
    pEvent->acceptProposedAction();
}

void CArchiveCompressDlg::OnBrowseFolder()
{
    SetFolderMode(true);
    const QString strFolder = BrowseForFolder(this, QStringLiteral("圧縮フォルダーの指定"), m_pFolder->text());
    if (!strFolder.isEmpty())
        m_pFolder->setText(QString::fromStdString(WithSlash(strFolder.toStdString())));
}

void CArchiveCompressDlg::OnBrowseFiles()
{
    SetFolderMode(false);
    CFileDialogRequest request;
    for (const std::string &strFilter : DialogFilterStrings("All Files (*.*)|*.*||"))
        request.aFilters << QString::fromStdString(strFilter);
    request.bMultiple = true;
    if (!m_strBaseDir.empty())
        request.strDirectory = QString::fromStdString(m_strBaseDir);
    SetChosenFiles(RunFileDialog(this, request));
}

void CArchiveCompressDlg::OnCompress()
{
    std::string strBase;
    std::string strFiles;
    QString strStart;
    if (IsFolderMode()) {
        const QString strFolder = m_pFolder->text().trimmed();
        if (strFolder.isEmpty()) {
            m_pFolder->setFocus();
            return;
        }
        strBase = WithSlash(strFolder.toStdString());
        // The archive goes beside the folder by default, not into it.
        strStart = QFileInfo(QString::fromStdString(strBase.substr(0, strBase.size() - 1))).absolutePath();
    } else {
        if (m_strBaseDir.empty() || m_strFiles.empty()) {
            m_pFiles->setFocus();
            return;
        }
        strBase = WithSlash(m_strBaseDir);
        strFiles = m_strFiles;
        strStart = QString::fromStdString(strBase);
    }

    CFileDialogRequest request;
    request.bSave = true;
    request.aFilters << QStringLiteral("LHA圧縮ファイル (*.lzh)") << QStringLiteral("Zip圧縮ファイル (*.zip)");
    request.strDefaultSuffix = QStringLiteral("lzh");
    request.strDirectory = strStart;
    request.strFileName = QStringLiteral("新規書庫.lzh");
    const QStringList chosen = RunFileDialog(this, request);
    if (chosen.isEmpty())
        return;

    const std::string strCommand = "u -a1 -r2 -x1 -l1 -jp1 -o2 \"" + ArchiveQuoted(chosen.first().toStdString()) +
                                   "\" \"" + ArchiveQuoted(strBase) + "\" " + strFiles + " ";
    std::string strOutput;
    if (CallArchiveDll(this, "Unlha", strCommand, strOutput) != 0) {
        // What went wrong, or what was left out, is in the report.
        MessageBox(this, QStringLiteral("圧縮が正常に終了しませんでした。\n") + QString::fromStdString(strOutput),
                   QStringLiteral("圧縮"), MB_OK | MB_ICONSTOP);
        return;
    }
    CArchiveInfoDlg info(QString::fromStdString(strOutput), this);
    ExecDialog(&info);
}
