#include "app/ui/dropfiledlg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CDropFileDlg::CDropFileDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ファイルのドラッグ"));
    static const char *const TEXTS[DROP_CHOICE_COUNT] = {
        "普通にファイルを開く",
        "ASCIIダンプ表示する",
        "インポート（EUC/JISコード）",
        "現在のｶｰｿﾙ位置に、ﾌｧｲﾙからﾃｷｽﾄを挿入する",
        "現在のｶｰｿﾙ位置に、ファイル名を挿入する",
        "現在のｶｰｿﾙ位置に、ファイルフルパスを挿入する",
        "現在のｶｰｿﾙ位置に、イメージタグとして挿入する",
        "現在のｶｰｿﾙ位置に、リンクタグとして挿入する",
    };
    auto *pLayout = new QVBoxLayout(this);
    m_pFile = new QLabel(this);
    m_pFile->setObjectName(QStringLiteral("fileName"));
    m_pFile->setTextFormat(Qt::PlainText);
    pLayout->addWidget(m_pFile);
    m_pGroup = new QButtonGroup(this);
    for (int i = 0; i < DROP_CHOICE_COUNT; ++i) {
        auto *pButton = new QRadioButton(QString::fromUtf8(TEXTS[i]), this);
        pButton->setObjectName(QStringLiteral("choice%1").arg(i));
        m_pGroup->addButton(pButton, i);
        pLayout->addWidget(pButton);
    }
    auto *pBox = new QDialogButtonBox(this);
    pBox->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("ok"));
    pBox->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cancel"));
    connect(pBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pLayout->addWidget(pBox);
}

void CDropFileDlg::SetFileName(const QString &strName)
{
    m_pFile->setText(strName);
}

void CDropFileDlg::showEvent(QShowEvent *pEvent)
{
    if (QAbstractButton *pButton = m_pGroup->button(m_nChoice)) {
        pButton->setChecked(true);
        pButton->setFocus();
    }
    QDialog::showEvent(pEvent);
}

void CDropFileDlg::done(int nResult)
{
    if (nResult == QDialog::Accepted)
        m_nChoice = m_pGroup->checkedId();
    QDialog::done(nResult);
}
