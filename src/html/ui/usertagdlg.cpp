#include "html/ui/usertagdlg.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "text/ui/codec_qt.h"
#include "ui/formdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString FromList(const std::string &bytes)
{
    QString str = Cp932ToQString(bytes);
    str.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return str;
}

std::string ToList(QString str)
{
    str.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return QStringToCp932(str);
}

} // namespace

CUserTagEntryDlg::CUserTagEntryDlg(const std::string &strTitle, const std::string &strOpen,
                                   const std::string &strClose, QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ユーザータグ"));
    m_pTitle = new QLineEdit(FromList(strTitle), this);
    m_pTitle->setObjectName(QStringLiteral("title"));
    m_pOpen = new QPlainTextEdit(FromList(strOpen), this);
    m_pOpen->setObjectName(QStringLiteral("openText"));
    m_pClose = new QPlainTextEdit(FromList(strClose), this);
    m_pClose->setObjectName(QStringLiteral("closeText"));
    for (QPlainTextEdit *pEdit : {m_pOpen, m_pClose}) {
        pEdit->setTabChangesFocus(true);
        pEdit->setFixedHeight(pEdit->fontMetrics().lineSpacing() * 4 + 12);
        pEdit->installEventFilter(this);
    }
    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("タイトル："), m_pTitle);
    pForm->addRow(QStringLiteral("前のタグ："), m_pOpen);
    pForm->addRow(QStringLiteral("後ろのタグ："), m_pClose);
    pForm->addRow(new QLabel(QStringLiteral("※改行は、Ctrl+Enterです。"), this));
    LayOutFormDialog(this, pForm);
    setMinimumWidth(420);
}

std::string CUserTagEntryDlg::GetTitle() const
{
    return ToList(m_pTitle->text());
}

std::string CUserTagEntryDlg::GetOpen() const
{
    return ToList(m_pOpen->toPlainText());
}

std::string CUserTagEntryDlg::GetClose() const
{
    return ToList(m_pClose->toPlainText());
}

bool CUserTagEntryDlg::eventFilter(QObject *pObject, QEvent *pEvent)
{
    if (pEvent->type() == QEvent::KeyPress) {
        auto *pKey = static_cast<QKeyEvent *>(pEvent);
        if (pKey->key() == Qt::Key_Return || pKey->key() == Qt::Key_Enter) {
            if (pKey->modifiers() & Qt::ControlModifier) {
                static_cast<QPlainTextEdit *>(pObject)->insertPlainText(QStringLiteral("\n"));
                return true;
            }
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(pObject, pEvent);
}

CUserTagEditDlg::CUserTagEditDlg(const CUserTagList &list, QWidget *pParent) : QDialog(pParent), m_list(list)
{
    setWindowTitle(QStringLiteral("ﾕｰｻﾞｰ定義ﾀｸﾞの登録"));
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("tagList"));
    auto makeButton = [this](const QString &strText, const char *pszName) {
        auto *pButton = new QPushButton(strText, this);
        pButton->setObjectName(QString::fromLatin1(pszName));
        pButton->setAutoDefault(false);
        return pButton;
    };
    m_pAdd = makeButton(QStringLiteral("追加(&A)"), "add");
    m_pRemove = makeButton(QStringLiteral("削除(&D)"), "remove");
    m_pEdit = makeButton(QStringLiteral("編集(&E)"), "edit");
    m_pUp = makeButton(QStringLiteral("↑"), "up");
    m_pDown = makeButton(QStringLiteral("↓"), "down");
    auto *pBox = new QDialogButtonBox(this);
    pBox->addButton(QStringLiteral("ＯＫ"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("ok"));
    pBox->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cancel"));
    connect(pBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *pButtons = new QVBoxLayout;
    for (QPushButton *pButton : {m_pAdd, m_pRemove, m_pEdit, m_pUp, m_pDown})
        pButtons->addWidget(pButton);
    pButtons->addStretch();
    auto *pRow = new QHBoxLayout;
    pRow->addWidget(m_pList, 1);
    pRow->addLayout(pButtons);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("現在登録されているﾀｸﾞ (最大99個まで)"), this));
    pLayout->addLayout(pRow);
    pLayout->addWidget(pBox);

    connect(m_pAdd, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_pEdit, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(m_pRemove, &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(m_pUp, &QPushButton::clicked, this, [this] { OnMove(-1); });
    connect(m_pDown, &QPushButton::clicked, this, [this] { OnMove(1); });
    connect(m_pList, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(m_pList, &QListWidget::itemDoubleClicked, this, [this] { OnEdit(); });
    FillList(m_list.GetCount() > 0 ? 0 : -1);
}

void CUserTagEditDlg::FillList(int nSelect)
{
    m_pList->clear();
    for (int i = 0; i < m_list.GetCount(); ++i)
        m_pList->addItem(Cp932ToQString(m_list.GetTitle(i)));
    m_pList->setCurrentRow(nSelect);
    UpdateButtons();
}

void CUserTagEditDlg::UpdateButtons()
{
    const int nRow = m_pList->currentRow();
    m_pAdd->setEnabled(m_list.GetCount() < USERTAG_MAX_COUNT);
    m_pRemove->setEnabled(nRow >= 0);
    m_pEdit->setEnabled(nRow >= 0);
    m_pUp->setEnabled(nRow > 0);
    m_pDown->setEnabled(nRow >= 0 && nRow + 1 < m_list.GetCount());
}

void CUserTagEditDlg::OnAdd()
{
    CUserTagEntryDlg dlg(std::string(), std::string(), std::string(), this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    if (m_list.Add(dlg.GetTitle(), dlg.GetOpen(), dlg.GetClose()))
        FillList(m_list.GetCount() - 1);
}

void CUserTagEditDlg::OnEdit()
{
    const int nRow = m_pList->currentRow();
    std::string strOpen;
    std::string strClose;
    if (!m_list.GetEntry(nRow, strOpen, strClose))
        return;
    CUserTagEntryDlg dlg(m_list.GetTitle(nRow), strOpen, strClose, this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    m_list.SetAt(nRow, dlg.GetTitle(), dlg.GetOpen(), dlg.GetClose());
    FillList(nRow);
}

void CUserTagEditDlg::OnRemove()
{
    const int nRow = m_pList->currentRow();
    if (nRow < 0)
        return;
    m_list.RemoveAt(nRow);
    FillList(std::min(nRow, m_list.GetCount() - 1));
}

void CUserTagEditDlg::OnMove(int nStep)
{
    const int nRow = m_pList->currentRow();
    const int nTo = nRow + nStep;
    if (nRow < 0 || nTo < 0 || nTo >= m_list.GetCount())
        return;
    m_list.Move(nRow, nTo);
    FillList(nTo);
}
