#include "html/ui/formdialogs.h"

#include "html/ui/webdialogparts.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "text/ui/codec_qt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace WebDlg;

namespace {

QSpinBox *NewSpin(QWidget *pParent, const QString &strName, int nMin, int nMax, int nValue)
{
    auto *pSpin = new QSpinBox(pParent);
    pSpin->setObjectName(strName);
    pSpin->setRange(nMin, nMax);
    pSpin->setValue(nValue);
    return pSpin;
}

// A column of radio buttons, the first one chosen; each button's id is its index.
QButtonGroup *AddRadioColumn(QDialog *pDialog, QBoxLayout *pLayout, const QStringList &labels, const QString &strName)
{
    auto *pGroup = new QButtonGroup(pDialog);
    for (int i = 0; i < labels.size(); ++i) {
        auto *pRadio = new QRadioButton(labels[i], pDialog);
        pRadio->setObjectName(strName + QString::number(i));
        pGroup->addButton(pRadio, i);
        pLayout->addWidget(pRadio);
    }
    pGroup->button(0)->setChecked(true);
    return pGroup;
}


// A spin box behind a check box that enables it.
void LinkCheck(QCheckBox *pCheck, QWidget *pField)
{
    QObject::connect(pCheck, &QCheckBox::toggled, pField, &QWidget::setEnabled);
    pField->setEnabled(pCheck->isChecked());
}

} // namespace

// ---------------------------------------------------------------------------
// Lists

CBulletListDlg::CBulletListDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("箇条書きの設定"));
    auto *pLayout = new QVBoxLayout(this);
    m_pTypes = AddRadioColumn(this, pLayout,
                              {QStringLiteral("●の行頭文字"), QStringLiteral("○の行頭文字"), QStringLiteral("□の行頭文字")},
                              QStringLiteral("bulletType"));
    FinishGridDialog(this);
}

std::string CBulletListDlg::GetType() const
{
    static const char *const aTypes[] = {"disc", "circle", "square"};
    return aTypes[std::clamp(m_pTypes->checkedId(), 0, 2)];
}

CNumberedListDlg::CNumberedListDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("番号付き箇条書きの設定"));
    auto *pLayout = new QVBoxLayout(this);
    m_pTypes = AddRadioColumn(this, pLayout,
                              {QStringLiteral("普通の番号  [例 1,2,3]"), QStringLiteral("大文字の英字  [例 A,B,C]"),
                               QStringLiteral("小文字の英字  [例 a,b,c]"), QStringLiteral("大文字のローマ数字  [例 I,II,III]"),
                               QStringLiteral("小文字のローマ数字  [例 i,ii,iii]")},
                              QStringLiteral("numberType"));
    auto *pRow = new QHBoxLayout;
    m_pStart = NewSpin(this, QStringLiteral("start"), 0, 32767, 1);
    auto *pLabel = new QLabel(QStringLiteral("始める数値："), this);
    pLabel->setBuddy(m_pStart);
    pRow->addWidget(pLabel);
    pRow->addWidget(m_pStart);
    pLayout->addLayout(pRow);
    FinishGridDialog(this);
}

std::string CNumberedListDlg::GetType() const
{
    static const char *const aTypes[] = {"1", "A", "a", "I", "i"};
    return aTypes[std::clamp(m_pTypes->checkedId(), 0, 4)];
}

int CNumberedListDlg::GetStart() const
{
    return m_pStart->value();
}

// ---------------------------------------------------------------------------
// Tables

CTableSizeDlg::CTableSizeDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("テーブルの設定"));
    // Bounded so that a slip of the keyboard cannot ask for millions of cells.
    m_pCols = NewSpin(this, QStringLiteral("columns"), 1, 100, 2);
    AddLabelRow(pGrid, QStringLiteral("列数："), m_pCols);
    m_pRows = NewSpin(this, QStringLiteral("rows"), 1, 10000, 2);
    AddLabelRow(pGrid, QStringLiteral("行数："), m_pRows);
    m_pWidth = NewEdit(this, QStringLiteral("tableWidth"));
    AddLabelRow(pGrid, QStringLiteral("幅："), m_pWidth);
    m_pBorder = NewEdit(this, QStringLiteral("tableBorder"));
    AddLabelRow(pGrid, QStringLiteral("枠線："), m_pBorder);
    FinishGridDialog(this);
}

int CTableSizeDlg::GetColumns() const
{
    return m_pCols->value();
}

int CTableSizeDlg::GetRows() const
{
    return m_pRows->value();
}

QString CTableSizeDlg::GetWidth() const
{
    return m_pWidth->text();
}

QString CTableSizeDlg::GetBorder() const
{
    return m_pBorder->text();
}

CTableInsertDlg::CTableInsertDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("テーブルタグの挿入"));
    auto *pLayout = new QVBoxLayout(this);
    auto *pRow = new QHBoxLayout;
    m_pSeparator = NewCombo(this, QStringLiteral("separator"),
                            {QStringLiteral("カンマ"), QStringLiteral("タブ"), QStringLiteral("空白")});
    auto *pLabel = new QLabel(QStringLiteral("区切り文字"), this);
    pLabel->setBuddy(m_pSeparator);
    pRow->addWidget(pLabel);
    pRow->addWidget(m_pSeparator);
    pLayout->addLayout(pRow);
    auto *pButtons = new QHBoxLayout;
    const struct
    {
        const char16_t *pszLabel;
        const char *pszName;
        int nResult;
    } aButtons[] = {
        {u"自動変換", "auto", TABLEINSERT_AUTO},
        {u"タグのみ", "tagsOnly", TABLEINSERT_TAGS},
        {u"グリッドで編集", "grid", TABLEINSERT_GRID},
        {u"ｷｬﾝｾﾙ", "cancel", 0},
    };
    for (const auto &button : aButtons) {
        auto *pButton = new QPushButton(QString::fromUtf16(button.pszLabel), this);
        pButton->setObjectName(QString::fromLatin1(button.pszName));
        pButton->setAutoDefault(false);
        const int nResult = button.nResult;
        connect(pButton, &QPushButton::clicked, this, [this, nResult] { done(nResult); });
        pButtons->addWidget(pButton);
    }
    pLayout->addLayout(pButtons);
}

int CTableInsertDlg::GetSeparator() const
{
    return m_pSeparator->currentIndex();
}

// ---------------------------------------------------------------------------
// Forms

CFormTagDlg::CFormTagDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("フォームタグ"));
    auto *pLayout = new QVBoxLayout(this);
    auto *pLabel = new QLabel(QStringLiteral("使用するCGIﾌﾟﾛｸﾞﾗﾑのURLまたは、ﾒｰﾙｱﾄﾞﾚｽを入力します。"), this);
    m_pUrl = NewEdit(this, QStringLiteral("formUrl"));
    pLabel->setBuddy(m_pUrl);
    pLayout->addWidget(pLabel);
    pLayout->addWidget(m_pUrl);
    FinishGridDialog(this);
}

std::string CFormTagDlg::GetUrl() const
{
    return QStringToCp932(m_pUrl->text());
}

CFormInputDlg::CFormInputDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ﾌｫｰﾑ標準入力"));
    auto *pLayout = new QHBoxLayout(this);
    auto *pTypes = new QVBoxLayout;
    m_pTypes = AddRadioColumn(this, pTypes,
                              {QStringLiteral("テキスト"), QStringLiteral("パスワードテキスト"), QStringLiteral("隠しテキスト"),
                               QStringLiteral("ラジオボタン"), QStringLiteral("チェックボタン"), QStringLiteral("送信ボタン"),
                               QStringLiteral("リセットボタン")},
                              QStringLiteral("inputType"));
    pTypes->addStretch();
    pLayout->addLayout(pTypes);

    auto *pFields = new QVBoxLayout;
    auto addField = [this, pFields](QLabel *&pCaption, QLineEdit *&pEdit, const QString &strLabel, const QString &strName) {
        pCaption = new QLabel(strLabel, this);
        pCaption->setObjectName(strName + QStringLiteral("Caption"));
        pEdit = NewEdit(this, strName);
        pCaption->setBuddy(pEdit);
        pFields->addWidget(pCaption);
        pFields->addWidget(pEdit);
    };
    addField(m_pTitleCaption, m_pTitle, QStringLiteral("表示タイトル (前後に表示する)"), QStringLiteral("inputTitle"));
    addField(m_pNameCaption, m_pName, QStringLiteral("内部名称 (NAME)"), QStringLiteral("inputName"));
    addField(m_pValueCaption, m_pValue, QStringLiteral("内部ｷｰﾜｰﾄﾞ  (VALUE)"), QStringLiteral("inputValue"));
    auto *pLengthRow = new QHBoxLayout;
    m_pLengthCheck = NewCheck(this, QStringLiteral("テキストの長さ"), QStringLiteral("inputLengthCheck"));
    m_pLength = NewSpin(this, QStringLiteral("inputLength"), 1, 9999, 20);
    pLengthRow->addWidget(m_pLengthCheck);
    pLengthRow->addWidget(m_pLength);
    pFields->addLayout(pLengthRow);
    m_pChecked = NewCheck(this, QStringLiteral("ボタンをチェック状態にする"), QStringLiteral("inputChecked"));
    pFields->addWidget(m_pChecked);
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pFields->addWidget(pButtons);
    pLayout->addLayout(pFields);

    connect(m_pLengthCheck, &QCheckBox::toggled, this, [this] { OnTypeChanged(); });
    connect(m_pTypes, &QButtonGroup::idToggled, this, [this](int, bool bOn) {
        if (bOn)
            OnTypeChanged();
    });
    OnTypeChanged();
}

void CFormInputDlg::OnTypeChanged()
{
    const auto eType = static_cast<EFormInputType>(m_pTypes->checkedId());
    QString strTitle = QStringLiteral("表示ﾀｲﾄﾙ(ﾃｷｽﾄﾎﾞｯｸｽ左に表示)");
    QString strName = QStringLiteral("内部名称(Name)");
    QString strValue = QStringLiteral("ﾃﾞﾌｫﾙﾄﾃｷｽﾄ(Value)");
    switch (eType) {
    case FORMINPUT_HIDDEN:
        strTitle = QStringLiteral("ﾃｷｽﾄﾎﾞｯｸｽは表示されません");
        break;
    case FORMINPUT_RADIO:
        strTitle = QStringLiteral("表示ﾀｲﾄﾙ(ﾗｼﾞｵﾎﾞﾀﾝ右に表示)");
        strName = QStringLiteral("ﾗｼﾞｵﾎﾞﾀﾝｸﾞﾙｰﾌﾟ名(Name)");
        strValue = QStringLiteral("内部ｷｰﾜｰﾄﾞ(Value)");
        break;
    case FORMINPUT_CHECKBOX:
        strTitle = QStringLiteral("表示ﾀｲﾄﾙ(ﾁｪｯｸﾎﾞﾀﾝ右に表示)");
        strValue = QStringLiteral("内部ｷｰﾜｰﾄﾞ(Value)");
        break;
    case FORMINPUT_SUBMIT:
    case FORMINPUT_RESET:
        strTitle = QStringLiteral("なし");
        strName = QStringLiteral("なし");
        strValue = QStringLiteral("ﾎﾞﾀﾝに表示するﾃｷｽﾄ(Value)");
        break;
    default:
        break;
    }
    m_pTitleCaption->setText(strTitle);
    m_pNameCaption->setText(strName);
    m_pValueCaption->setText(strValue);
    m_pTitle->setEnabled(FormInputHasTitle(eType));
    m_pLengthCheck->setEnabled(FormInputHasLength(eType));
    m_pLength->setEnabled(FormInputHasLength(eType) && m_pLengthCheck->isChecked());
    m_pChecked->setEnabled(FormInputHasChecked(eType));
}

CFormInputFields CFormInputDlg::GetFields() const
{
    CFormInputFields fields;
    fields.eType = static_cast<EFormInputType>(m_pTypes->checkedId());
    fields.strTitle = QStringToCp932(m_pTitle->text());
    fields.strName = QStringToCp932(m_pName->text());
    fields.strValue = QStringToCp932(m_pValue->text());
    fields.length = {m_pLengthCheck->isChecked(), std::to_string(m_pLength->value())};
    fields.bChecked = m_pChecked->isChecked();
    return fields;
}

CTextAreaDlg::CTextAreaDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("フォームテキストエリア"));
    m_pTitle = NewEdit(this, QStringLiteral("areaTitle"));
    AddLabelRow(pGrid, QStringLiteral("表示タイトル"), m_pTitle);
    m_pName = NewEdit(this, QStringLiteral("areaName"));
    AddLabelRow(pGrid, QStringLiteral("内部名称 (NAME)"), m_pName);
    m_pColsCheck = NewCheck(this, QStringLiteral("幅"), QStringLiteral("areaColsCheck"));
    m_pCols = NewSpin(this, QStringLiteral("areaCols"), 1, 9999, 40);
    m_pRowsCheck = NewCheck(this, QStringLiteral("高さ"), QStringLiteral("areaRowsCheck"));
    m_pRows = NewSpin(this, QStringLiteral("areaRows"), 1, 9999, 5);
    for (auto [pCheck, pSpin] : {std::pair{m_pColsCheck, m_pCols}, std::pair{m_pRowsCheck, m_pRows}}) {
        const int nRow = pGrid->rowCount();
        pGrid->addWidget(pCheck, nRow, 0);
        pGrid->addWidget(pSpin, nRow, 1);
        LinkCheck(pCheck, pSpin);
    }
    m_pDefault = NewEdit(this, QStringLiteral("areaDefault"));
    AddLabelRow(pGrid, QStringLiteral("デフォルトテキスト"), m_pDefault);
    FinishGridDialog(this);
}

CTextAreaFields CTextAreaDlg::GetFields() const
{
    return {QStringToCp932(m_pTitle->text()),
            QStringToCp932(m_pName->text()),
            {m_pColsCheck->isChecked(), std::to_string(m_pCols->value())},
            {m_pRowsCheck->isChecked(), std::to_string(m_pRows->value())},
            QStringToCp932(m_pDefault->text())};
}

CListItemDlg::CListItemDlg(const CListBoxItem &item, QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("リスト項目の編集"));
    m_pText = NewEdit(this, QStringLiteral("itemText"));
    m_pText->setText(Cp932ToQString(item.strText));
    AddLabelRow(pGrid, QStringLiteral("表示する文字"), m_pText);
    m_pKeyword = NewEdit(this, QStringLiteral("itemKeyword"));
    m_pKeyword->setText(Cp932ToQString(item.strKeyword));
    AddLabelRow(pGrid, QStringLiteral("内部キーワード"), m_pKeyword);
    m_pSelected = NewCheck(this, QStringLiteral("選択状態にする"), QStringLiteral("itemSelected"));
    m_pSelected->setChecked(item.bSelected);
    pGrid->addWidget(m_pSelected, pGrid->rowCount(), 0, 1, 2);
    FinishGridDialog(this);
}

CListBoxItem CListItemDlg::GetItem() const
{
    return {QStringToCp932(m_pText->text()), QStringToCp932(m_pKeyword->text()), m_pSelected->isChecked()};
}

CListBoxDlg::CListBoxDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("フォームリストボックス"));
    m_pTitle = NewEdit(this, QStringLiteral("listTitle"));
    AddLabelRow(pGrid, QStringLiteral("表示タイトル"), m_pTitle);
    m_pName = NewEdit(this, QStringLiteral("listName"));
    AddLabelRow(pGrid, QStringLiteral("内部名称 (NAME)"), m_pName);
    m_pSizeCheck = NewCheck(this, QStringLiteral("表示する行数"), QStringLiteral("listSizeCheck"));
    m_pSize = NewSpin(this, QStringLiteral("listSize"), 1, 999, 1);
    const int nSizeRow = pGrid->rowCount();
    pGrid->addWidget(m_pSizeCheck, nSizeRow, 0);
    pGrid->addWidget(m_pSize, nSizeRow, 1);
    LinkCheck(m_pSizeCheck, m_pSize);
    m_pMultiple = NewCheck(this, QStringLiteral("複数の選択を可能とする"), QStringLiteral("listMultiple"));
    pGrid->addWidget(m_pMultiple, pGrid->rowCount(), 0, 1, 2);

    auto *pItems = new QHBoxLayout;
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("listItems"));
    pItems->addWidget(m_pList);
    auto *pButtons = new QVBoxLayout;
    const struct
    {
        const char16_t *pszLabel;
        const char *pszName;
    } aButtons[] = {{u"追加(&A)", "itemAdd"}, {u"編集(&E)", "itemEdit"}, {u"削除(&D)", "itemDelete"},
                    {u"<< 上", "itemUp"},    {u"下 >>", "itemDown"}};
    std::vector<QPushButton *> apButtons;
    for (const auto &button : aButtons) {
        auto *pButton = new QPushButton(QString::fromUtf16(button.pszLabel), this);
        pButton->setObjectName(QString::fromLatin1(button.pszName));
        pButton->setAutoDefault(false);
        pButtons->addWidget(pButton);
        apButtons.push_back(pButton);
    }
    pButtons->addStretch();
    pItems->addLayout(pButtons);
    pGrid->addLayout(pItems, pGrid->rowCount(), 0, 1, 2);
    connect(apButtons[0], &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(apButtons[1], &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(apButtons[2], &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(apButtons[3], &QPushButton::clicked, this, [this] { OnMove(-1); });
    connect(apButtons[4], &QPushButton::clicked, this, [this] { OnMove(1); });
    connect(m_pList, &QListWidget::itemDoubleClicked, this, [this] { OnEdit(); });
    FinishGridDialog(this);
}

void CListBoxDlg::RefreshList(int nCurrent)
{
    m_pList->clear();
    for (const CListBoxItem &item : m_aItems) {
        QString strLine =
            Cp932ToQString(item.strText) + QStringLiteral(" [") + Cp932ToQString(item.strKeyword) + QLatin1Char(']');
        if (item.bSelected)
            strLine += QStringLiteral(" *");
        m_pList->addItem(strLine);
    }
    if (nCurrent >= 0 && nCurrent < m_pList->count())
        m_pList->setCurrentRow(nCurrent);
}

void CListBoxDlg::OnAdd()
{
    CListItemDlg dlg(CListBoxItem(), this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    // A new item goes behind the chosen one, or at the end.
    const int nAt = m_pList->currentRow() >= 0 ? m_pList->currentRow() + 1 : static_cast<int>(m_aItems.size());
    m_aItems.insert(m_aItems.begin() + nAt, dlg.GetItem());
    RefreshList(nAt);
}

void CListBoxDlg::OnEdit()
{
    const int nRow = m_pList->currentRow();
    if (nRow < 0)
        return;
    CListItemDlg dlg(m_aItems[static_cast<std::size_t>(nRow)], this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    m_aItems[static_cast<std::size_t>(nRow)] = dlg.GetItem();
    RefreshList(nRow);
}

void CListBoxDlg::OnDelete()
{
    const int nRow = m_pList->currentRow();
    if (nRow < 0)
        return;
    if (MessageBox(this, QStringLiteral("リストを削除してもよろしいですか？"), QStringLiteral("確認"),
                   MB_YESNO | MB_ICONQUESTION)
        != IDYES)
        return;
    m_aItems.erase(m_aItems.begin() + nRow);
    RefreshList(std::min(nRow, static_cast<int>(m_aItems.size()) - 1));
}

void CListBoxDlg::OnMove(int nBy)
{
    const int nRow = m_pList->currentRow();
    const int nTo = nRow + nBy;
    if (nRow < 0 || nTo < 0 || nTo >= static_cast<int>(m_aItems.size()))
        return;
    std::swap(m_aItems[static_cast<std::size_t>(nRow)], m_aItems[static_cast<std::size_t>(nTo)]);
    RefreshList(nTo);
}

CListBoxFields CListBoxDlg::GetFields() const
{
    return {QStringToCp932(m_pTitle->text()),
            QStringToCp932(m_pName->text()),
            {m_pSizeCheck->isChecked(), std::to_string(m_pSize->value())},
            m_pMultiple->isChecked(),
            m_aItems};
}
