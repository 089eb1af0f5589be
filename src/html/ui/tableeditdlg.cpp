#include "html/ui/tableeditdlg.h"

#include "html/listbuild.h"
#include "html/tablegrid.h"
#include "html/ui/gridctrl.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "text/ui/codec_qt.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::uint32_t ToRgb(const QColor &color)
{
    return (static_cast<std::uint32_t>(color.red()) << 16) | (static_cast<std::uint32_t>(color.green()) << 8)
           | static_cast<std::uint32_t>(color.blue());
}

QColor FromRgb(std::uint32_t nColor)
{
    return nColor == TABLE_COLOR_DEFAULT ? QColor(Qt::black)
                                         : QColor((nColor >> 16) & 0xFF, (nColor >> 8) & 0xFF, nColor & 0xFF);
}

QPushButton *AddButton(QWidget *pParent, QBoxLayout *pLayout, const QString &strLabel, const QString &strName)
{
    auto *pButton = new QPushButton(strLabel, pParent);
    pButton->setObjectName(strName);
    pButton->setAutoDefault(false);
    pLayout->addWidget(pButton);
    return pButton;
}

} // namespace

CTableEditDlg::CTableEditDlg(const CTableEditSetup &setup, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("テーブル"));
    // Closed only by OK or Cancel.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) & ~Qt::WindowCloseButtonHint);
    auto *pLayout = new QVBoxLayout(this);

    auto *pTop = new QHBoxLayout;
    m_pFormat = new QComboBox(this);
    m_pFormat->setObjectName(QStringLiteral("format"));
    m_pFormat->addItems({QStringLiteral("HTMLテーブル"), QStringLiteral("タブ区切り"), QStringLiteral("カンマ区切り"),
                         QStringLiteral("空白区切り")});
    pTop->addWidget(m_pFormat);
    auto addEdit = [this, pTop](const QString &strLabel, const QString &strName, const QString &strText) {
        auto *pEdit = new QLineEdit(strText, this);
        pEdit->setObjectName(strName);
        auto *pLabel = new QLabel(strLabel, this);
        pLabel->setBuddy(pEdit);
        pTop->addWidget(pLabel);
        pTop->addWidget(pEdit);
        return pEdit;
    };
    m_pWidth = addEdit(QStringLiteral("Width："), QStringLiteral("width"), setup.strWidth);
    m_pBorder = addEdit(QStringLiteral("Border："), QStringLiteral("border"), setup.strBorder);
    pLayout->addLayout(pTop);

    auto *pMiddle = new QHBoxLayout;
    m_pGrid = new CGridCtrl(this);
    m_pGrid->setObjectName(QStringLiteral("grid"));
    {
        CWaitCursor wait;
        m_pGrid->SetGrid(setup.strSource.empty()
                             ? CTableGrid(setup.nRows, setup.nCols)
                             : GridFromSeparatedText(setup.strSource, TableSeparatorByte(setup.nSeparator)));
    }
    pMiddle->addWidget(m_pGrid, 1);

    auto *pButtons = new QVBoxLayout;
    connect(AddButton(this, pButtons, QStringLiteral("行の追加"), QStringLiteral("insertRow")), &QPushButton::clicked,
            this, &CTableEditDlg::OnInsertRow);
    connect(AddButton(this, pButtons, QStringLiteral("列の追加"), QStringLiteral("insertColumn")),
            &QPushButton::clicked, this, &CTableEditDlg::OnInsertColumn);
    connect(AddButton(this, pButtons, QStringLiteral("行の削除"), QStringLiteral("deleteRows")), &QPushButton::clicked,
            this, &CTableEditDlg::OnDeleteRows);
    connect(AddButton(this, pButtons, QStringLiteral("列の削除"), QStringLiteral("deleteColumns")),
            &QPushButton::clicked, this, &CTableEditDlg::OnDeleteColumns);
    const struct
    {
        const char16_t *pszLabel;
        const char *pszName;
        bool bHorizontal;
        std::uint32_t nBits;
    } aAligns[] = {
        {u"左", "alignLeft", true, 0},        {u"中央", "alignCenter", true, CELLFMT_CENTER},
        {u"右", "alignRight", true, CELLFMT_RIGHT}, {u"上", "alignTop", false, 0},
        {u"中央", "alignMiddle", false, CELLFMT_VCENTER}, {u"下", "alignBottom", false, CELLFMT_BOTTOM},
    };
    for (const auto &align : aAligns) {
        QPushButton *pButton = AddButton(this, pButtons, QString::fromUtf16(align.pszLabel), QString::fromLatin1(align.pszName));
        const bool bHorizontal = align.bHorizontal;
        const std::uint32_t nBits = align.nBits;
        connect(pButton, &QPushButton::clicked, this, [this, bHorizontal, nBits] {
            m_pGrid->EndEdit(true);
            if (bHorizontal)
                m_pGrid->Grid().SetHorizontalAlign(m_pGrid->GetSelectedRange(), nBits);
            else
                m_pGrid->Grid().SetVerticalAlign(m_pGrid->GetSelectedRange(), nBits);
            m_pGrid->Refresh();
        });
    }
    connect(AddButton(this, pButtons, QStringLiteral("背景色"), QStringLiteral("cellBackColor")), &QPushButton::clicked,
            this, [this] { ChooseCellColor(true); });
    connect(AddButton(this, pButtons, QStringLiteral("ﾃｷｽﾄ色"), QStringLiteral("cellTextColor")), &QPushButton::clicked,
            this, [this] { ChooseCellColor(false); });
    auto *pTable = new QLabel(QStringLiteral("テーブル"), this);
    pButtons->addWidget(pTable);
    connect(AddButton(this, pButtons, QStringLiteral("背景色"), QStringLiteral("gridBackColor")), &QPushButton::clicked,
            this, [this] { ChooseGridColor(true); });
    connect(AddButton(this, pButtons, QStringLiteral("ﾃｷｽﾄ色"), QStringLiteral("gridTextColor")), &QPushButton::clicked,
            this, [this] { ChooseGridColor(false); });
    pButtons->addStretch();
    pMiddle->addLayout(pButtons);
    pLayout->addLayout(pMiddle, 1);

    auto *pBox = new QDialogButtonBox(this);
    QPushButton *pOK = pBox->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    pOK->setObjectName(QStringLiteral("ok"));
    QPushButton *pCancel = pBox->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    pCancel->setObjectName(QStringLiteral("cancel"));
    connect(pBox, &QDialogButtonBox::accepted, this, &CTableEditDlg::accept);
    connect(pBox, &QDialogButtonBox::rejected, this, &CTableEditDlg::reject);
    pLayout->addWidget(pBox);
    resize(720, 460);
    m_pGrid->setFocus();
}

void CTableEditDlg::OnInsertRow()
{
    m_pGrid->EndEdit(true);
    m_pGrid->Grid().InsertRow(m_pGrid->GetFocusRow());
    m_pGrid->Refresh();
}

void CTableEditDlg::OnInsertColumn()
{
    m_pGrid->EndEdit(true);
    m_pGrid->Grid().InsertColumn(m_pGrid->GetFocusCol());
    m_pGrid->Refresh();
}

void CTableEditDlg::OnDeleteRows()
{
    m_pGrid->EndEdit(true);
    const CCellRange range = m_pGrid->GetSelectedRange();
    if (!range.IsValid()
        || MessageBox(this, QStringLiteral("行を削除してもよろしいですか？"), QString(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_pGrid->Grid().DeleteRows(range);
    m_pGrid->SetSelectedRange(CCellRange());
    m_pGrid->Refresh();
}

void CTableEditDlg::OnDeleteColumns()
{
    m_pGrid->EndEdit(true);
    const CCellRange range = m_pGrid->GetSelectedRange();
    if (!range.IsValid()
        || MessageBox(this, QStringLiteral("列を削除してもよろしいですか？"), QString(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_pGrid->Grid().DeleteColumns(range);
    m_pGrid->SetSelectedRange(CCellRange());
    m_pGrid->Refresh();
}

void CTableEditDlg::ChooseCellColor(bool bBack)
{
    m_pGrid->EndEdit(true);
    CTableGrid &grid = m_pGrid->Grid();
    std::uint32_t nCurrent = TABLE_COLOR_DEFAULT;
    if (grid.IsValidCell(m_pGrid->GetFocusRow(), m_pGrid->GetFocusCol())) {
        const CTableCell &cell = grid.Cell(m_pGrid->GetFocusRow(), m_pGrid->GetFocusCol());
        nCurrent = bBack ? cell.nBackColor : cell.nTextColor;
    }
    QColor chosen;
    if (!ChooseColor(this, FromRgb(nCurrent), chosen))
        return;
    if (bBack)
        grid.SetBackColor(m_pGrid->GetSelectedRange(), ToRgb(chosen));
    else
        grid.SetTextColor(m_pGrid->GetSelectedRange(), ToRgb(chosen));
    m_pGrid->Refresh();
}

void CTableEditDlg::ChooseGridColor(bool bBack)
{
    m_pGrid->EndEdit(true);
    CTableGrid &grid = m_pGrid->Grid();
    const std::uint32_t nCurrent = bBack ? grid.m_nGridBackColor : grid.m_nGridTextColor;
    QColor initial = FromRgb(nCurrent);
    if (nCurrent == TABLE_COLOR_DEFAULT)
        initial = palette().color(bBack ? QPalette::Base : QPalette::Text);
    QColor chosen;
    if (!ChooseColor(this, initial, chosen))
        return;
    (bBack ? grid.m_nGridBackColor : grid.m_nGridTextColor) = ToRgb(chosen);
    m_pGrid->Refresh();
}

void CTableEditDlg::accept()
{
    m_pGrid->EndEdit(true);
    CWaitCursor wait;
    CTableGrid grid = m_pGrid->Grid();
    // The window's own background colour is no colour of the table's.
    if (grid.m_nGridBackColor == ToRgb(palette().color(QPalette::Base)))
        grid.m_nGridBackColor = TABLE_COLOR_DEFAULT;
    m_strResult = TableOutput(grid, m_pFormat->currentIndex(), QStringToCp932(m_pWidth->text()),
                              QStringToCp932(m_pBorder->text()));
    QDialog::accept();
}

void CTableEditDlg::reject()
{
    m_pGrid->EndEdit(false);
    m_strResult.clear();
    QDialog::reject();
}
