#include "view/ui/finddlg.h"

#include "text/ui/codec_qt.h"
#include "view/findtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QComboBox *MakeCombo(QWidget *pParent, const char *pszName)
{
    auto *pCombo = new QComboBox(pParent);
    pCombo->setObjectName(QString::fromLatin1(pszName));
    pCombo->setEditable(true);
    pCombo->setInsertPolicy(QComboBox::NoInsert);
    pCombo->setMinimumContentsLength(28);
    return pCombo;
}

void FillCombo(QComboBox *pCombo, const std::vector<std::string> &aHistory)
{
    const QString strText = pCombo->currentText();
    pCombo->clear();
    for (const std::string &strEntry : aHistory)
        pCombo->addItem(QString::fromStdString(strEntry));
    pCombo->setEditText(strText);
}

QPushButton *MakeButton(QWidget *pParent, const QString &strLabel, const char *pszName)
{
    auto *pButton = new QPushButton(strLabel, pParent);
    pButton->setObjectName(QString::fromLatin1(pszName));
    pButton->setAutoDefault(false);
    return pButton;
}

// Both dialogs: the texts above the check boxes and the group beside them,
// the buttons in a column on the right. Each part is a layout of its own, so
// that Tab goes down the texts and options before it reaches the buttons.
void LayOutSearchDialog(QDialog *pDialog, QLayout *pTexts, QLayout *pChecks, QWidget *pGroup, QVBoxLayout *pButtons)
{
    auto *pOptions = new QHBoxLayout;
    pOptions->addLayout(pChecks);
    pOptions->addWidget(pGroup, 0, Qt::AlignBottom);
    auto *pLeft = new QVBoxLayout;
    pLeft->addLayout(pTexts);
    pLeft->addLayout(pOptions);
    pLeft->addStretch(1);
    pButtons->addStretch(1);
    auto *pLayout = new QHBoxLayout(pDialog);
    pLayout->addLayout(pLeft, 1);
    pLayout->addLayout(pButtons);
}

} // namespace

// ---------------------------------------------------------------------------
// The part both dialogs share

QVBoxLayout *CSearchDlgBase::CheckBoxColumn() const
{
    auto *pChecks = new QVBoxLayout;
    pChecks->addWidget(m_pWholeWord);
    pChecks->addWidget(m_pMatchCase);
    pChecks->addWidget(m_pRegex);
    return pChecks;
}

CSearchDlgBase::CSearchDlgBase(QWidget *pParent) : QDialog(pParent)
{
    m_pSearchText = MakeCombo(this, "searchText");
    m_pWholeWord = new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this);
    m_pWholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_pMatchCase = new QCheckBox(QStringLiteral("大文字小文字を区別(&C)"), this);
    m_pMatchCase->setObjectName(QStringLiteral("matchCase"));
    m_pRegex = new QCheckBox(QStringLiteral("正規表現(&E)"), this);
    m_pRegex->setObjectName(QStringLiteral("regex"));
    connect(m_pSearchText, &QComboBox::editTextChanged, this, [this] { OnTextChanged(); });
}

void CSearchDlgBase::SetSearchHistory(const std::vector<std::string> &aHistory)
{
    FillCombo(m_pSearchText, aHistory);
}

void CSearchDlgBase::SetSearchText(const std::string &strBytes)
{
    m_strProposed = strBytes;
    m_strProposedText = DocTextToQString(strBytes, m_pExtra);
    m_pSearchText->setEditText(m_strProposedText);
    m_pSearchText->lineEdit()->selectAll();
}

void CSearchDlgBase::SetSearchTextUtf8(const std::string &strText)
{
    m_strProposed.clear();
    m_strProposedText.clear();
    m_pSearchText->setEditText(QString::fromStdString(strText));
    m_pSearchText->lineEdit()->selectAll();
}

std::string CSearchDlgBase::GetSearchText(int *pnUnmappable) const
{
    if (pnUnmappable)
        *pnUnmappable = 0;
    const QString strText = m_pSearchText->currentText();
    if (!m_strProposed.empty() && strText == m_strProposedText)
        return m_strProposed;
    if (m_pExtra) {
        std::string bytes;
        if (!QStringToDocTextFound(strText, m_pExtra, bytes) && pnUnmappable)
            *pnUnmappable = 1;
        return bytes;
    }
    return QStringToCp932(strText, pnUnmappable);
}

std::string CSearchDlgBase::GetSearchTextUtf8() const
{
    return m_pSearchText->currentText().toStdString();
}

void CSearchDlgBase::SetFlags(std::uint32_t dwFlags)
{
    m_pWholeWord->setChecked(dwFlags & SEARCH_WHOLE_WORD);
    m_pMatchCase->setChecked(dwFlags & SEARCH_MATCH_CASE);
    m_pRegex->setChecked(dwFlags & SEARCH_REGEX);
}

std::uint32_t CSearchDlgBase::GetFlags() const
{
    std::uint32_t dw = 0;
    if (m_pWholeWord->isChecked())
        dw |= SEARCH_WHOLE_WORD;
    if (m_pMatchCase->isChecked())
        dw |= SEARCH_MATCH_CASE;
    if (m_pRegex->isChecked())
        dw |= SEARCH_REGEX;
    return dw;
}

// ---------------------------------------------------------------------------
// 検索

CFindDlg::CFindDlg(QWidget *pParent) : CSearchDlgBase(pParent)
{
    setWindowTitle(QStringLiteral("検索"));
    auto *pLabel = new QLabel(QStringLiteral("検索文字列(&N):"), this);
    pLabel->setBuddy(m_pSearchText);
    m_pUp = new QRadioButton(QStringLiteral("上へ(&U)"), this);
    m_pUp->setObjectName(QStringLiteral("up"));
    m_pDown = new QRadioButton(QStringLiteral("下に(&D)"), this);
    m_pDown->setObjectName(QStringLiteral("down"));
    m_pDown->setChecked(true);
    auto *pDirection = new QGroupBox(QStringLiteral("方向"), this);
    auto *pDirLayout = new QHBoxLayout(pDirection);
    pDirLayout->addWidget(m_pUp);
    pDirLayout->addWidget(m_pDown);

    m_pFindNext = MakeButton(this, QStringLiteral("次を検索(&F)"), "findNext");
    m_pFindNext->setDefault(true);
    auto *pCancel = MakeButton(this, QStringLiteral("キャンセル"), "cancel");
    connect(m_pFindNext, &QPushButton::clicked, this, [this] {
        if (m_fnFind && m_fnFind())
            accept();
    });
    connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *pText = new QHBoxLayout;
    pText->addWidget(pLabel);
    pText->addWidget(m_pSearchText, 1);
    auto *pButtons = new QVBoxLayout;
    pButtons->addWidget(m_pFindNext);
    pButtons->addWidget(pCancel);
    LayOutSearchDialog(this, pText, CheckBoxColumn(), pDirection, pButtons);
    OnTextChanged();
}

void CFindDlg::SetFlags(std::uint32_t dwFlags)
{
    CSearchDlgBase::SetFlags(dwFlags);
    ((dwFlags & SEARCH_UP) ? m_pUp : m_pDown)->setChecked(true);
}

std::uint32_t CFindDlg::GetFlags() const
{
    return CSearchDlgBase::GetFlags()
           | (m_pUp->isChecked() ? std::uint32_t(SEARCH_UP) : std::uint32_t(0));
}

void CFindDlg::OnTextChanged()
{
    m_pFindNext->setEnabled(!m_pSearchText->currentText().isEmpty());
}

// ---------------------------------------------------------------------------
// 置換

CReplaceDlg::CReplaceDlg(QWidget *pParent) : CSearchDlgBase(pParent)
{
    setWindowTitle(QStringLiteral("置換"));
    auto *pSearchLabel = new QLabel(QStringLiteral("検索文字列(&N):"), this);
    pSearchLabel->setBuddy(m_pSearchText);
    m_pReplaceText = MakeCombo(this, "replaceText");
    auto *pReplaceLabel = new QLabel(QStringLiteral("置換文字列(&P):"), this);
    pReplaceLabel->setBuddy(m_pReplaceText);
    m_pScopeSelection = new QRadioButton(QStringLiteral("選択範囲(&S)"), this);
    m_pScopeSelection->setObjectName(QStringLiteral("scopeSelection"));
    m_pScopeFile = new QRadioButton(QStringLiteral("ﾌｧｲﾙ全体(&O)"), this);
    m_pScopeFile->setObjectName(QStringLiteral("scopeFile"));
    m_pScopeFile->setChecked(true);
    auto *pScope = new QGroupBox(QStringLiteral("置換範囲"), this);
    auto *pScopeLayout = new QVBoxLayout(pScope);
    pScopeLayout->addWidget(m_pScopeSelection);
    pScopeLayout->addWidget(m_pScopeFile);

    m_apButtons[BUTTON_FIND_NEXT] = MakeButton(this, QStringLiteral("次を検索(&F)"), "findNext");
    m_apButtons[BUTTON_REPLACE] = MakeButton(this, QStringLiteral("置換(&R)"), "replace");
    m_apButtons[BUTTON_REPLACE_ALL] = MakeButton(this, QStringLiteral("全て置換(&A)"), "replaceAll");
    auto *pCancel = MakeButton(this, QStringLiteral("キャンセル"), "cancel");
    for (int i = 0; i < 3; ++i) {
        connect(m_apButtons[i], &QPushButton::clicked, this, [this, i] {
            if (m_afnHandlers[i])
                m_afnHandlers[i]();
        });
    }
    connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);
    SetDefaultButton(BUTTON_FIND_NEXT);

    auto *pTexts = new QGridLayout;
    pTexts->addWidget(pSearchLabel, 0, 0);
    pTexts->addWidget(m_pSearchText, 0, 1);
    pTexts->addWidget(pReplaceLabel, 1, 0);
    pTexts->addWidget(m_pReplaceText, 1, 1);
    pTexts->setColumnStretch(1, 1);
    auto *pButtons = new QVBoxLayout;
    for (QPushButton *pButton : m_apButtons)
        pButtons->addWidget(pButton);
    pButtons->addWidget(pCancel);
    LayOutSearchDialog(this, pTexts, CheckBoxColumn(), pScope, pButtons);
    OnTextChanged();
}

void CReplaceDlg::SetReplaceHistory(const std::vector<std::string> &aHistory)
{
    FillCombo(m_pReplaceText, aHistory);
    m_pReplaceText->setEditText(QString());
}

std::string CReplaceDlg::GetReplaceText(int *pnUnmappable) const
{
    return QStringToDocText(m_pReplaceText->currentText(), ExtraChars(), pnUnmappable);
}

std::string CReplaceDlg::GetReplaceTextUtf8() const
{
    return m_pReplaceText->currentText().toStdString();
}

void CReplaceDlg::SetScope(bool bSelection, bool bSelectionAllowed)
{
    m_pScopeSelection->setEnabled(bSelectionAllowed);
    ((bSelection && bSelectionAllowed) ? m_pScopeSelection : m_pScopeFile)->setChecked(true);
}

bool CReplaceDlg::IsSelectionScope() const
{
    return m_pScopeSelection->isChecked();
}

void CReplaceDlg::SetHandler(EButton nButton, std::function<void()> fn)
{
    m_afnHandlers[nButton] = std::move(fn);
}

void CReplaceDlg::SetDefaultButton(EButton nButton)
{
    for (int i = 0; i < 3; ++i)
        m_apButtons[i]->setDefault(i == nButton);
}

void CReplaceDlg::OnTextChanged()
{
    m_apButtons[BUTTON_FIND_NEXT]->setEnabled(!m_pSearchText->currentText().isEmpty());
}
