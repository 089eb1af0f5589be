#include "app/ui/recoverdlg.h"

#include "platform/ui/msgbox.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

CRecoverDlg::CRecoverDlg(const std::vector<CRecoverRow> &aRows, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("復元"));
    setObjectName(QStringLiteral("recoverDialog"));
    auto *pLayout = new QVBoxLayout(this);
    auto *pLabel = new QLabel(QStringLiteral("保存されずに終了した文書の記録があります。\n"
                                             "復元した文書は変更済みとして開かれ、保存するまでファイルには書き込まれません。"),
                              this);
    pLayout->addWidget(pLabel);

    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("recordList"));
    m_pList->setRootIsDecorated(false);
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pList->setHeaderLabels({QStringLiteral("ファイル"), QStringLiteral("最終変更"), QStringLiteral("サイズ"),
                              QStringLiteral("備考")});
    for (const CRecoverRow &row : aRows) {
        auto *pItem = new QTreeWidgetItem(m_pList);
        pItem->setText(0, FileText(row.strFile, row.strTitle));
        pItem->setToolTip(0, FileText(row.strFile, row.strTitle));
        pItem->setText(1, QDateTime::fromMSecsSinceEpoch(row.nTimeMs).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
        pItem->setText(2, SizeText(row.nSize));
        pItem->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        pItem->setText(3, row.strNote);
    }
    m_pList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int nColumn = 1; nColumn < 4; ++nColumn)
        m_pList->resizeColumnToContents(nColumn);
    pLayout->addWidget(m_pList);

    auto *pButtons = new QDialogButtonBox(this);
    auto AddButton = [&](const char *pszName, const QString &strText) {
        auto *pButton = pButtons->addButton(strText, QDialogButtonBox::ActionRole);
        pButton->setObjectName(QString::fromLatin1(pszName));
        return pButton;
    };
    QPushButton *pAll = AddButton("restoreAll", QStringLiteral("すべて復元(&A)"));
    QPushButton *pSome = AddButton("restoreSelected", QStringLiteral("選択した文書を復元(&R)"));
    QPushButton *pDiscard = AddButton("discardSelected", QStringLiteral("選択した記録を破棄(&D)"));
    QPushButton *pLater = AddButton("keepForLater", QStringLiteral("後で(&L)"));
    pAll->setDefault(true);
    pAll->setAutoDefault(true);
    pLayout->addWidget(pButtons);

    auto UpdateButtons = [this, pSome, pDiscard] {
        const bool bAny = !m_pList->selectedItems().isEmpty();
        pSome->setEnabled(bAny);
        pDiscard->setEnabled(bAny);
    };
    connect(m_pList, &QTreeWidget::itemSelectionChanged, this, UpdateButtons);
    UpdateButtons();
    connect(pAll, &QPushButton::clicked, this, [this] { Finish(ACTION_RESTORE, true); });
    connect(pSome, &QPushButton::clicked, this, [this] { Finish(ACTION_RESTORE, false); });
    connect(pDiscard, &QPushButton::clicked, this, [this] {
        // The only step that loses text: asked once more.
        if (MessageBox(this, QStringLiteral("選択した記録を破棄します。破棄した内容は元に戻せません。\nよろしいですか？"),
                       QStringLiteral("復元"), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2)
            == IDYES)
            Finish(ACTION_DISCARD, false);
    });
    connect(pLater, &QPushButton::clicked, this, [this] { Finish(ACTION_LATER, false); });
    resize(640, 300);
    pAll->setFocus();
}

QString CRecoverDlg::FileText(const QString &strFile, const QString &strTitle)
{
    if (!strFile.isEmpty())
        return strFile;
    return strTitle.isEmpty() ? QStringLiteral("無題") : strTitle;
}

QString CRecoverDlg::SizeText(std::uint64_t nSize)
{
    QString strDigits = QString::number(nSize);
    for (int n = strDigits.size() - 3; n > 0; n -= 3)
        strDigits.insert(n, QLatin1Char(','));
    return strDigits + QStringLiteral(" バイト");
}

std::vector<int> CRecoverDlg::SelectedRows() const
{
    std::vector<int> aRows;
    for (QTreeWidgetItem *pItem : m_pList->selectedItems())
        aRows.push_back(m_pList->indexOfTopLevelItem(pItem));
    std::sort(aRows.begin(), aRows.end());
    return aRows;
}

void CRecoverDlg::Finish(EAction eAction, bool bAll)
{
    m_eAction = eAction;
    m_aChosen.clear();
    if (bAll)
        for (int i = 0; i < m_pList->topLevelItemCount(); ++i)
            m_aChosen.push_back(i);
    else if (eAction != ACTION_LATER)
        m_aChosen = SelectedRows();
    if (eAction == ACTION_LATER)
        reject();
    else
        accept();
}
