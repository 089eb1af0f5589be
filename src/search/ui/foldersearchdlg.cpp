#include "search/ui/foldersearchdlg.h"

#include "platform/profile.h"
#include "platform/ui/msgbox.h"
#include "search/history.h"
#include "search/ui/resultsedit.h"
#include "search/ui/searchmessages.h"
#include "text/doctext.h"
#include "text/ui/codec_qt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char *SECTION_FOLDER_SEARCH = "WpFolderSerch";

enum : int
{
    FLAG_IGNORE_CASE = 0x1,
    FLAG_SUBFOLDERS = 0x2,
    FLAG_REGEX = 0x4,
};

QComboBox *MakeCombo(QWidget *pParent, const char *pszName, const char *pszEntry, const QString &strAlways)
{
    auto *pCombo = new QComboBox(pParent);
    pCombo->setObjectName(QString::fromLatin1(pszName));
    pCombo->setEditable(true);
    pCombo->setInsertPolicy(QComboBox::NoInsert);
    pCombo->setMinimumContentsLength(36);
    pCombo->setProperty("entry", QString::fromLatin1(pszEntry));
    for (const std::string &strEntry : SplitHistory(AppProfile().GetString(SECTION_FOLDER_SEARCH, pszEntry, std::string())))
        pCombo->addItem(QString::fromStdString(strEntry));
    if (!strAlways.isEmpty() && pCombo->findText(strAlways) < 0)
        pCombo->addItem(strAlways);
    pCombo->setEditText(pCombo->count() > 0 ? pCombo->itemText(0) : QString());
    return pCombo;
}

void MoveToTop(QComboBox *pCombo)
{
    const QString strText = pCombo->currentText();
    if (strText.isEmpty())
        return;
    for (int i = pCombo->findText(strText); i >= 0; i = pCombo->findText(strText))
        pCombo->removeItem(i);
    pCombo->insertItem(0, strText);
    pCombo->setCurrentIndex(0);
}

void SaveCombo(const QComboBox *pCombo)
{
    std::vector<std::string> aEntries;
    for (int i = 0; i < pCombo->count() && aEntries.size() < FOLDER_HISTORY_MAX; ++i)
        aEntries.push_back(pCombo->itemText(i).toStdString());
    AppProfile().WriteString(SECTION_FOLDER_SEARCH, pCombo->property("entry").toString().toStdString(),
                             JoinHistory(aEntries, true));
}

} // namespace

CFolderSearchDlg::CFolderSearchDlg(bool bModeless, QWidget *pParent) : QDialog(pParent), m_bModeless(bModeless)
{
    setWindowTitle(QStringLiteral("フォルダー内検索"));
    setObjectName(QStringLiteral("folderSearchDialog"));
    m_pText = MakeCombo(this, "searchText", "text", QString());
    m_pPatterns = MakeCombo(this, "patterns", "file", DefaultPatterns());
    m_pFolder = MakeCombo(this, "folder", "path", QDir::currentPath());
    auto *pBrowse = new QPushButton(QStringLiteral("..."), this);
    pBrowse->setObjectName(QStringLiteral("browse"));
    pBrowse->setAutoDefault(false);
    m_pIgnoreCase = new QCheckBox(QStringLiteral("大文字小文字を区別しない(&C)"), this);
    m_pIgnoreCase->setObjectName(QStringLiteral("ignoreCase"));
    m_pSubFolders = new QCheckBox(QStringLiteral("サブフォルダも探す(&U)"), this);
    m_pSubFolders->setObjectName(QStringLiteral("subFolders"));
    m_pRegex = new QCheckBox(QStringLiteral("正規表現(&E)"), this);
    m_pRegex->setObjectName(QStringLiteral("regex"));
    const int nFlags = AppProfile().GetInt(SECTION_FOLDER_SEARCH, "flgs", 0);
    m_pIgnoreCase->setChecked(nFlags & FLAG_IGNORE_CASE);
    m_pSubFolders->setChecked(nFlags & FLAG_SUBFOLDERS);
    m_pRegex->setChecked(nFlags & FLAG_REGEX);
    auto *pSearch = new QPushButton(QStringLiteral("検索(&F)"), this);
    pSearch->setObjectName(QStringLiteral("search"));
    pSearch->setDefault(true);
    auto *pCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    pCancel->setObjectName(QStringLiteral("cancel"));
    pCancel->setAutoDefault(false);
    connect(pSearch, &QPushButton::clicked, this, &CFolderSearchDlg::OnSearch);
    connect(pCancel, &QPushButton::clicked, this, &CFolderSearchDlg::reject);
    connect(pBrowse, &QPushButton::clicked, this, &CFolderSearchDlg::OnBrowse);

    auto *pGrid = new QGridLayout;
    auto addRow = [&](int nRow, const QString &strLabel, QComboBox *pCombo) {
        auto *pLabel = new QLabel(strLabel, this);
        pLabel->setBuddy(pCombo);
        pGrid->addWidget(pLabel, nRow, 0);
        pGrid->addWidget(pCombo, nRow, 1);
    };
    addRow(0, QStringLiteral("検索文字列(&N):"), m_pText);
    addRow(1, QStringLiteral("ﾌｧｲﾙの種類(&T):"), m_pPatterns);
    addRow(2, QStringLiteral("検索ﾌｫﾙﾀﾞｰ(&O):"), m_pFolder);
    pGrid->addWidget(pBrowse, 2, 2);
    auto *pOptions = new QHBoxLayout;
    pOptions->addWidget(m_pIgnoreCase);
    pOptions->addWidget(m_pSubFolders);
    pOptions->addWidget(m_pRegex);
    pOptions->addStretch();
    // The buttons are a column of their own beside the fields and options,
    // so that Tab goes through those first.
    auto *pFields = new QVBoxLayout;
    pFields->addLayout(pGrid);
    pFields->addLayout(pOptions);
    auto *pButtons = new QVBoxLayout;
    pButtons->addWidget(pSearch);
    pButtons->addWidget(pCancel);
    pButtons->addStretch();
    auto *pTop = new QHBoxLayout;
    pTop->addLayout(pFields, 1);
    pTop->addLayout(pButtons);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop);
    if (m_bModeless) {
        // A window of its own keeps its results and can be sized.
        setAttribute(Qt::WA_DeleteOnClose);
        setModal(false);
        m_pResults = new CResultsEdit(this);
        pLayout->addWidget(m_pResults, 1);
        resize(640, 420);
    } else {
        pLayout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

void CFolderSearchDlg::Propose(const std::string &strText, const std::string &strFolder, const CExtraChars *pExtra)
{
    if (pExtra && FindExtraChar(strText, *pExtra) != 0) {
        // The codes are the document's own: the search takes the characters
        // and gives them codes of its own table.
        m_strProposedText.clear();
        m_strProposedShown.clear();
        m_pText->setEditText(DocTextToQString(strText, pExtra));
    } else if (!strText.empty()) {
        m_strProposedText = strText;
        m_strProposedShown = Cp932ToQString(strText);
        m_pText->setEditText(m_strProposedShown);
    }
    if (!strFolder.empty())
        m_pFolder->setEditText(QString::fromStdString(strFolder));
}

FolderSearchParams CFolderSearchDlg::GetParams() const
{
    FolderSearchParams params;
    const QString strText = m_pText->currentText();
    if (!m_strProposedText.empty() && strText == m_strProposedShown) {
        params.strText = m_strProposedText;
    } else {
        // Characters Shift-JIS lacks take codes of a table of their own,
        // which every file in another code starts with.
        int nUnmappable = 0;
        params.strText = QStringToCp932(strText, &nUnmappable);
        params.nDualForms = DualFormsIn(strText.toStdString());
        if (nUnmappable > 0)
            params.strText = QStringToDocText(strText, &params.extra);
    }
    params.strPatterns = m_pPatterns->currentText().toStdString();
    params.strFolder = m_pFolder->currentText().toStdString();
    params.bIgnoreCase = m_pIgnoreCase->isChecked();
    params.bSubFolders = m_pSubFolders->isChecked();
    params.bRegex = m_pRegex->isChecked();
    return params;
}

void CFolderSearchDlg::UpdateHistories()
{
    MoveToTop(m_pText);
    MoveToTop(m_pPatterns);
    MoveToTop(m_pFolder);
}

void CFolderSearchDlg::SaveSettings() const
{
    SaveCombo(m_pText);
    SaveCombo(m_pPatterns);
    SaveCombo(m_pFolder);
    AppProfile().WriteInt(SECTION_FOLDER_SEARCH, "flgs",
                          (m_pIgnoreCase->isChecked() ? FLAG_IGNORE_CASE : 0) | (m_pSubFolders->isChecked() ? FLAG_SUBFOLDERS : 0)
                              | (m_pRegex->isChecked() ? FLAG_REGEX : 0));
}

void CFolderSearchDlg::OnSearch()
{
    UpdateHistories();
    for (QComboBox *pCombo : {m_pText, m_pPatterns, m_pFolder}) {
        if (pCombo->currentText().isEmpty()) {
            pCombo->setFocus();
            return;
        }
    }
    const QString strText = m_pText->currentText();
    int nUnmappable = 0;
    if (strText != m_strProposedShown || m_strProposedText.empty()) {
        CExtraChars extra;
        QStringToDocText(strText, &extra, &nUnmappable);
    }
    if (nUnmappable > 0) {
        ShowUnsearchableText(this, strText);
        m_pText->setFocus();
        return;
    }
    SaveSettings();
    if (!m_bModeless) {
        accept();
        return;
    }
    {
        const CWaitCursor wait;
        m_pResults->ClearResults();
        m_pResults->RunFolderSearch(GetParams());
    }
    Beep();
    m_pResults->setFocus();
}

void CFolderSearchDlg::OnBrowse()
{
    QString strStart = m_pFolder->currentText();
    if (strStart.size() > 1 && strStart.endsWith(QLatin1Char('/')))
        strStart.chop(1);
    QString strChosen = QFileDialog::getExistingDirectory(this, QStringLiteral("検索フォルダーを指定してください"), strStart);
    if (strChosen.isEmpty())
        return;
    if (strChosen.size() > 1 && strChosen.endsWith(QLatin1Char('/')))
        strChosen.chop(1);
    m_pFolder->setEditText(strChosen);
}

void CFolderSearchDlg::reject()
{
    SaveSettings();
    if (m_bModeless)
        emit Closing();
    QDialog::reject();
}
