#include "ui/formdialog.h"

#include "platform/ui/msgbox.h"

#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// A spin box that takes any number of digits typed, in range or not, and
// leaves the range to the dialog: a number is never cut short as it is typed.
// Its arrows and the Up and Down keys stay within the range.
class CTypedNumberSpin : public QSpinBox
{
public:
    CTypedNumberSpin(int nMin, int nMax, QWidget *pParent) : QSpinBox(pParent), m_nMin(nMin), m_nMax(nMax)
    {
        setRange(std::min(nMin, 0), INT_MAX);
    }

    void stepBy(int nSteps) override
    {
        const long long nValue = static_cast<long long>(value()) + nSteps;
        setValue(static_cast<int>(std::clamp<long long>(nValue, m_nMin, m_nMax)));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled flags = StepNone;
        if (value() < m_nMax)
            flags |= StepUpEnabled;
        if (value() > m_nMin)
            flags |= StepDownEnabled;
        return flags;
    }

private:
    int m_nMin;
    int m_nMax;
};

} // namespace

void LayOutFormDialog(QDialog *pDialog, QFormLayout *pForm, QDialogButtonBox::StandardButtons buttons)
{
    auto *pButtons = new QDialogButtonBox(buttons, pDialog);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, pDialog, &QDialog::reject);
    auto *pLayout = new QVBoxLayout(pDialog);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
}

QString IntegerRangeMessage(int nMin, int nMax)
{
    return QStringLiteral("%1 から %2 までの整数を入力してください。").arg(nMin).arg(nMax);
}

CNumberDlg::CNumberDlg(const QString &strTitle, const QString &strLabel, const QString &strObjectName, int nMin,
                       int nMax, int nValue, QWidget *pParent)
    : QDialog(pParent), m_nMin(nMin), m_nMax(nMax)
{
    setWindowTitle(strTitle);
    m_pSpin = new CTypedNumberSpin(nMin, nMax, this);
    m_pSpin->setObjectName(strObjectName);
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

void CNumberDlg::accept()
{
    // The text as it stands, not the value the spin box last took from it.
    bool bNumber = false;
    const long long nValue = m_pSpin->cleanText().toLongLong(&bNumber);
    if (!bNumber || nValue < m_nMin || nValue > m_nMax) {
        MessageBox(this, IntegerRangeMessage(m_nMin, m_nMax), QString(), MB_OK | MB_ICONEXCLAMATION);
        m_pSpin->setFocus();
        m_pSpin->selectAll();
        return;
    }
    m_pSpin->setValue(static_cast<int>(nValue));
    QDialog::accept();
}
