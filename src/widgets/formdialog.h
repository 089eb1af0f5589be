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

class CNumberDlg : public QDialog
{
    Q_OBJECT

public:
    // The spin box is named strObjectName, keeps nMin..nMax and starts at nValue.
    CNumberDlg(const QString &strTitle, const QString &strLabel, const QString &strObjectName, int nMin,
               int nMax, int nValue, QWidget *pParent = nullptr);
    int GetValue() const;
    void SetValue(int nValue);

private:
    QSpinBox *m_pSpin;
};
