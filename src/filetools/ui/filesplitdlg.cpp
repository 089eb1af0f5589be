#include "filetools/ui/filesplitdlg.h"

#include "filetools/filesplit.h"
#include "platform/filefilter.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "ui/progressdlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char *const SPLIT_OPEN_FILTER =
    "全てのファイル (*.*)|*.*|LHA圧縮ファイル (*.lzh)|*.lzh|Zip圧縮ファイル (*.zip)|*.zip||";

QPushButton *MakeButton(const QString &strText, const char *pszName, QWidget *pParent)
{
    auto *pButton = new QPushButton(strText, pParent);
    pButton->setObjectName(QString::fromLatin1(pszName));
    pButton->setAutoDefault(false);
    return pButton;
}

} // namespace

CFileSplitDlg::CFileSplitDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ファイルの分割"));
    setObjectName(QStringLiteral("fileSplitDialog"));
    m_pFileName = new QLineEdit(this);
    m_pFileName->setObjectName(QStringLiteral("fileName"));
    m_pFileName->setMinimumWidth(360);
    m_pDestFolder = new QLineEdit(this);
    m_pDestFolder->setObjectName(QStringLiteral("destFolder"));
    auto *pBrowseFile = MakeButton(QStringLiteral("..."), "browseFile", this);
    auto *pBrowseDest = MakeButton(QStringLiteral("..."), "browseDest", this);

    auto *pGrid = new QGridLayout;
    pGrid->addWidget(new QLabel(QStringLiteral("ファイル名："), this), 0, 0);
    pGrid->addWidget(m_pFileName, 0, 1);
    pGrid->addWidget(pBrowseFile, 0, 2);
    pGrid->addWidget(new QLabel(QStringLiteral("分割先："), this), 1, 0);
    pGrid->addWidget(m_pDestFolder, 1, 1);
    pGrid->addWidget(pBrowseDest, 1, 2);
    pGrid->addWidget(new QLabel(QStringLiteral("（指定しない場合、ﾌｧｲﾙがある場所に展開）"), this), 2, 1);

    auto *pSizes = new QGroupBox(this);
    auto *pSizeLayout = new QHBoxLayout(pSizes);
    auto *pGroup = new QButtonGroup(this);
    const QString aLabels[3] = {QStringLiteral("720KB"), QStringLiteral("1.25MB"), QStringLiteral("1.44MB")};
    for (int i = 0; i < 3; ++i) {
        m_apSize[i] = new QRadioButton(aLabels[i], pSizes);
        m_apSize[i]->setObjectName(QStringLiteral("size%1").arg(i));
        pGroup->addButton(m_apSize[i], i);
        pSizeLayout->addWidget(m_apSize[i]);
    }
    m_apSize[2]->setChecked(true);

    auto *pSplit = MakeButton(QStringLiteral("分割(&V)"), "split", this);
    pSplit->setDefault(true);
    auto *pClose = MakeButton(QStringLiteral("閉じる(&C)"), "close", this);
    auto *pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(pSplit);
    pButtons->addWidget(pClose);

    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pGrid);
    pLayout->addWidget(pSizes);
    pLayout->addLayout(pButtons);

    connect(pBrowseFile, &QPushButton::clicked, this, &CFileSplitDlg::OnBrowseFile);
    connect(pBrowseDest, &QPushButton::clicked, this, &CFileSplitDlg::OnBrowseDest);
    connect(pSplit, &QPushButton::clicked, this, &CFileSplitDlg::OnSplit);
    connect(pClose, &QPushButton::clicked, this, &QDialog::reject);
}

QString CFileSplitDlg::GetFileName() const
{
    return m_pFileName->text();
}

void CFileSplitDlg::SetFileName(const QString &strPath)
{
    m_pFileName->setText(strPath);
}

QString CFileSplitDlg::GetDestFolder() const
{
    return m_pDestFolder->text();
}

void CFileSplitDlg::SetDestFolder(const QString &strFolder)
{
    m_pDestFolder->setText(strFolder);
}

int CFileSplitDlg::GetSizeIndex() const
{
    for (int i = 0; i < 3; ++i)
        if (m_apSize[i]->isChecked())
            return i;
    return -1;
}

void CFileSplitDlg::SetSizeIndex(int nIndex)
{
    if (nIndex >= 0 && nIndex < 3)
        m_apSize[nIndex]->setChecked(true);
}

void CFileSplitDlg::OnSplit()
{
    const QString strSource = m_pFileName->text().trimmed();
    if (strSource.isEmpty()) {
        m_pFileName->setFocus();
        return;
    }
    const int nIndex = GetSizeIndex();
    if (nIndex < 0 || nIndex >= SPLIT_SIZE_COUNT) {
        m_apSize[0]->setFocus();
        return;
    }
    const std::string strPath = strSource.toStdString();
    const std::string strDest = m_pDestFolder->text().trimmed().toStdString();
    int nParts = 0;
    CProgressDlg progress(QStringLiteral("分割"), this);
    const int nResult = progress.Run([&](CProgressDlg::CReport &report) {
        CSplitProgress splitProgress;
        splitProgress.pCancel = report.CancelFlag();
        splitProgress.fnProgress = [&](std::int64_t nDone, std::int64_t nTotal) {
            report.Progress(strPath, nDone, nTotal);
        };
        return SplitFile(strPath, strDest, SPLIT_PART_SIZES[nIndex], nParts, &splitProgress);
    });
    MessageBox(this, QString::fromStdString(SplitResultMessage(nResult, strPath, nParts)), QStringLiteral("分割"),
               MB_OK | (nResult == SPLIT_OK ? MB_ICONINFORMATION : MB_ICONSTOP));
}

void CFileSplitDlg::OnBrowseFile()
{
    CFileDialogRequest request;
    for (const std::string &strFilter : DialogFilterStrings(SPLIT_OPEN_FILTER))
        request.aFilters << QString::fromStdString(strFilter);
    const QStringList files = RunFileDialog(this, request);
    if (!files.isEmpty())
        m_pFileName->setText(files.first());
}

void CFileSplitDlg::OnBrowseDest()
{
    const QString strFolder = BrowseForFolder(this, QStringLiteral("解凍先の指定"), m_pDestFolder->text());
    if (!strFolder.isEmpty())
        m_pDestFolder->setText(strFolder);
}
