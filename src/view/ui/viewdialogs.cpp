#include "view/ui/viewdialogs.h"

#include <QFormLayout>
#include <QLineEdit>

#include <algorithm>

CGotoLineDlg::CGotoLineDlg(int nLine, int nLineCount, QWidget *pParent)
    : CNumberDlg(QStringLiteral("ジャンプ"), QStringLiteral("行指定："), QStringLiteral("lineNumber"), 1,
                 std::max(nLineCount, 1), nLine, pParent)
{
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
    LayOutFormDialog(this, pForm, QDialogButtonBox::Ok);
}

QString CCharCodeDlg::GetCharText() const
{
    return m_pChar->text();
}

QString CCharCodeDlg::GetCodeText() const
{
    return m_pCode->text();
}
