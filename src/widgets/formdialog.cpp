#include "widgets/formdialog.h"

#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

void LayOutFormDialog(QDialog *pDialog, QFormLayout *pForm, QDialogButtonBox::StandardButtons buttons)
{
    auto *pButtons = new QDialogButtonBox(buttons, pDialog);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, pDialog, &QDialog::reject);
    auto *pLayout = new QVBoxLayout(pDialog);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
}

CNumberDlg::CNumberDlg(const QString &strTitle, const QString &strLabel, const QString &strObjectName, int nMin,
                       int nMax, int nValue, QWidget *pParent)
    : QDialog(pParent)
{
    setWindowTitle(strTitle);
    m_pSpin = new QSpinBox(this);
    m_pSpin->setObjectName(strObjectName);
    m_pSpin->setRange(nMin, nMax);
    m_pSpin->setValue(std::clamp(nValue, nMin, nMax));
    auto *pForm = new QFormLayout;
    pForm->addRow(strLabel, m_pSpin);
    LayOutFormDialog(this, pForm);
    m_pSpin->selectAll();
}

int CNumberDlg::GetValue() const
{
    return m_pSpin->value();
}

void CNumberDlg::SetValue(int nValue)
{
    m_pSpin->setValue(nValue);
}
