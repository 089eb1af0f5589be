// An answer for the dialog hook: the dialog of one class is filled in and
// closed with the result given; any other dialog is cancelled.
#pragma once

#include <QDialog>

#include <functional>

template <typename T>
std::function<int(QDialog *)> Answer(std::function<void(T *)> fnFill, int nResult = QDialog::Accepted)
{
    return [fnFill, nResult](QDialog *pDialog) {
        auto *pDlg = qobject_cast<T *>(pDialog);
        if (pDlg)
            fnFill(pDlg);
        return pDlg ? nResult : static_cast<int>(QDialog::Rejected);
    };
}
