// The dialogs of the range line insertion and of the tag case.
#include "html/ui/webdialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Enough for any page; the count only repeats a short piece.
constexpr int LINE_PIECE_COUNT_MAX = 100;

void AddButtons(QDialog *pDialog, QVBoxLayout *pLayout)
{
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, pDialog);
    pLayout->addWidget(pButtons);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, pDialog, &QDialog::reject);
}

} // namespace

CLineInsertDlg::CLineInsertDlg(const QString &strHeadText, const QString &strTailText, QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("範囲行に文字挿入"));
    auto *pLayout = new QVBoxLayout(this);
    auto *pGrid = new QGridLayout;
    pLayout->addLayout(pGrid);
    pGrid->addWidget(new QLabel(QStringLiteral("回数"), this), 0, 2);
    pGrid->addWidget(new QLabel(QStringLiteral("指定文字"), this), 0, 3);
    m_head = AddSide(pGrid, 1, QStringLiteral("行頭"), QStringLiteral("head"), strHeadText);
    m_tail = AddSide(pGrid, 2, QStringLiteral("行末"), QStringLiteral("tail"), strTailText);
    AddButtons(this, pLayout);
}

CLineInsertDlg::CSide CLineInsertDlg::AddSide(QGridLayout *pGrid, int nRow, const QString &strLabel,
                                              const QString &strName, const QString &strText)
{
    CSide side;
    side.pCheck = new QCheckBox(strLabel, this);
    side.pCheck->setObjectName(strName + QStringLiteral("Check"));
    side.pKind = new QComboBox(this);
    side.pKind->setObjectName(strName + QStringLiteral("Kind"));
    // In the order of ELinePiece.
    side.pKind->addItems({QStringLiteral("<BR>タグ"), QStringLiteral("タブ文字"), QStringLiteral("半角空白"),
                          QStringLiteral("指定文字")});
    side.pCount = new QSpinBox(this);
    side.pCount->setObjectName(strName + QStringLiteral("Count"));
    side.pCount->setRange(1, LINE_PIECE_COUNT_MAX);
    side.pText = new QLineEdit(strText, this);
    side.pText->setObjectName(strName + QStringLiteral("Text"));
    pGrid->addWidget(side.pCheck, nRow, 0);
    pGrid->addWidget(side.pKind, nRow, 1);
    pGrid->addWidget(side.pCount, nRow, 2);
    pGrid->addWidget(side.pText, nRow, 3);

    // The count serves the repeated pieces, the text only "指定文字".
    auto update = [side] {
        const bool bOn = side.pCheck->isChecked();
        const bool bText = side.pKind->currentIndex() == LINEPIECE_TEXT;
        side.pKind->setEnabled(bOn);
        side.pCount->setEnabled(bOn && !bText);
        side.pText->setEnabled(bOn && bText);
    };
    connect(side.pCheck, &QCheckBox::toggled, this, update);
    connect(side.pKind, &QComboBox::currentIndexChanged, this, update);
    update();
    return side;
}

void CLineInsertDlg::PresetCommentBlock()
{
    m_head.pKind->setCurrentIndex(LINEPIECE_TEXT);
    m_head.pCheck->setChecked(true);
    m_tail.pCheck->setChecked(false);
}

bool CLineInsertDlg::IsHeadOn() const
{
    return m_head.pCheck->isChecked();
}

bool CLineInsertDlg::IsTailOn() const
{
    return m_tail.pCheck->isChecked();
}

ELinePiece CLineInsertDlg::GetHeadKind() const
{
    return static_cast<ELinePiece>(m_head.pKind->currentIndex());
}

ELinePiece CLineInsertDlg::GetTailKind() const
{
    return static_cast<ELinePiece>(m_tail.pKind->currentIndex());
}

int CLineInsertDlg::GetHeadCount() const
{
    return m_head.pCount->value();
}

int CLineInsertDlg::GetTailCount() const
{
    return m_tail.pCount->value();
}

QString CLineInsertDlg::GetHeadText() const
{
    return m_head.pText->text();
}

QString CLineInsertDlg::GetTailText() const
{
    return m_tail.pText->text();
}

CTagCaseDlg::CTagCaseDlg(bool bUpper, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ﾀｸﾞの設定"));
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("挿入するﾀｸﾞを小文字・大文字どちらにしますか"), this));
    m_pLower = new QRadioButton(QStringLiteral("デフォルト(小文字)"), this);
    m_pLower->setObjectName(QStringLiteral("lowerCase"));
    m_pUpper = new QRadioButton(QStringLiteral("大文字にする"), this);
    m_pUpper->setObjectName(QStringLiteral("upperCase"));
    auto *pGroup = new QButtonGroup(this);
    pGroup->addButton(m_pLower);
    pGroup->addButton(m_pUpper);
    pLayout->addWidget(m_pLower);
    pLayout->addWidget(m_pUpper);
    (bUpper ? m_pUpper : m_pLower)->setChecked(true);
    AddButtons(this, pLayout);
}

bool CTagCaseDlg::IsUpperCase() const
{
    return m_pUpper->isChecked();
}
