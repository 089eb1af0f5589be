#include "app/ui/convdialogs.h"

#include "ui/formdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>

CBreakWidthDlg::CBreakWidthDlg(int nWidth, bool bKinsoku, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("文字数"));
    m_pWidth = new QSpinBox(this);
    m_pWidth->setObjectName(QStringLiteral("charCount"));
    m_pWidth->setRange(1, 10000);
    m_pWidth->setValue(std::clamp(nWidth, 1, 10000));
    m_pKinsoku = new QCheckBox(QStringLiteral("禁則処理"), this);
    m_pKinsoku->setObjectName(QStringLiteral("kinsoku"));
    m_pKinsoku->setChecked(bKinsoku);
    auto *pWidthRow = new QHBoxLayout;
    pWidthRow->addWidget(m_pWidth);
    pWidthRow->addWidget(new QLabel(QStringLiteral("※全角文字基準"), this));
    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("文字数："), pWidthRow);
    pForm->addRow(m_pKinsoku);
    LayOutFormDialog(this, pForm);
    m_pWidth->selectAll();
}

int CBreakWidthDlg::GetWidth() const
{
    return m_pWidth->value();
}

bool CBreakWidthDlg::GetKinsoku() const
{
    return m_pKinsoku->isChecked();
}

void CBreakWidthDlg::SetWidth(int nWidth)
{
    m_pWidth->setValue(nWidth);
}

void CBreakWidthDlg::SetKinsoku(bool bKinsoku)
{
    m_pKinsoku->setChecked(bKinsoku);
}

CLinePrefixDlg::CLinePrefixDlg(const QString &strPrefix, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("行頭文字削除"));
    m_pPrefix = new QComboBox(this);
    m_pPrefix->setObjectName(QStringLiteral("prefix"));
    m_pPrefix->setEditable(true);
    m_pPrefix->addItems({QStringLiteral("//"), QStringLiteral("'"), QStringLiteral("#")});
    m_pPrefix->setEditText(strPrefix);
    m_pBlanksFirst = new QCheckBox(QStringLiteral("行頭の空白を削除してから削除する"), this);
    m_pBlanksFirst->setObjectName(QStringLiteral("blanksFirst"));
    auto *pForm = new QFormLayout;
    pForm->addRow(new QLabel(QStringLiteral("削除する行頭文字列を指定してください．"), this));
    pForm->addRow(m_pPrefix);
    pForm->addRow(m_pBlanksFirst);
    LayOutFormDialog(this, pForm);
}

QString CLinePrefixDlg::GetPrefix() const
{
    return m_pPrefix->currentText();
}

bool CLinePrefixDlg::GetBlanksFirst() const
{
    return m_pBlanksFirst->isChecked();
}

void CLinePrefixDlg::SetPrefix(const QString &strPrefix)
{
    m_pPrefix->setEditText(strPrefix);
}

void CLinePrefixDlg::SetBlanksFirst(bool bBlanksFirst)
{
    m_pBlanksFirst->setChecked(bBlanksFirst);
}
