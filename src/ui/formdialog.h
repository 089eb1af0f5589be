// Small dialogs of one form: labelled fields above OK (and Cancel), and the
// dialog that asks for one number with a spin box.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>

class QFormLayout;
class QSpinBox;

// Lays out a dialog: the form, then the buttons, which accept or reject it.
void LayOutFormDialog(QDialog *pDialog, QFormLayout *pForm,
                      QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

// The message for a number outside nMin..nMax: "1 から 250 までの整数を入力してください。".
QString IntegerRangeMessage(int nMin, int nMax);

class CNumberDlg : public QDialog
{
    Q_OBJECT

public:
    // The spin box is named strObjectName, asks for nMin..nMax and starts at
    // nValue. Whatever number is typed stays as typed: OK refuses one
    // outside the range with the range message and keeps the dialog open.
    CNumberDlg(const QString &strTitle, const QString &strLabel, const QString &strObjectName, int nMin,
               int nMax, int nValue, QWidget *pParent = nullptr);
    int GetValue() const;
    void SetValue(int nValue);

    void accept() override;

private:
    QSpinBox *m_pSpin;
    int m_nMin;
    int m_nMax;
};
