#include "view/viewdialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

CGotoLineDlg::CGotoLineDlg(int nLine, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ジャンプ"));
    m_pSpin = new QSpinBox(this);
    m_pSpin->setObjectName(QStringLiteral("lineNumber"));
    m_pSpin->setRange(1, 100000);
    m_pSpin->setValue(nLine);
    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("行指定："), m_pSpin);
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
    m_pSpin->selectAll();
}

int CGotoLineDlg::GetLine() const
{
    return m_pSpin->value();
}

void CGotoLineDlg::SetLine(int nLine)
{
    m_pSpin->setValue(nLine);
}

CCharCodeDlg::CCharCodeDlg(const QString &strChar, const QString &strCode, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("文字コード"));
    m_pChar = new QLineEdit(strChar, this);
    m_pChar->setObjectName(QStringLiteral("character"));
    m_pChar->setReadOnly(true);
    m_pCode = new QLineEdit(strCode, this);
    m_pCode->setObjectName(QStringLiteral("code"));
    m_pCode->setReadOnly(true);
    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("文字："), m_pChar);
    pForm->addRow(QStringLiteral("コード："), m_pCode);
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
}

QString CCharCodeDlg::GetCharText() const
{
    return m_pChar->text();
}

QString CCharCodeDlg::GetCodeText() const
{
    return m_pCode->text();
}
