// Running the program's own modal dialogs through one door that tests can
// hold: a test installs a hook that fills in the dialog and answers it.
#pragma once

#include <functional>

class QDialog;

// QDialog::Accepted or Rejected.
int ExecDialog(QDialog *pDialog);
void SetDialogHook(std::function<int(QDialog *)> hook);
