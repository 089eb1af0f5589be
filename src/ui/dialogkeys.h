// Keyboard rules that every dialog of the program follows, installed once on
// the application so that no dialog has to remember them:
//
// - A text field that gets the focus as its dialog opens, or by Tab or
//   Shift+Tab, has its whole text selected, so that typing replaces the
//   proposed or remembered text instead of being added to it. A click still
//   puts the cursor where it is clicked.
// - Tab visits the controls in the order the dialog's layouts give them: the
//   items of a box in order, a grid or form row by row, a tab widget's bar
//   before its pages. A dialog is built so that this is the order it shows:
//   a column of buttons beside the fields is a layout of its own.
//
// The toolkit's own dialogs (file, message, colour ...) keep their order.
#pragma once

class QWidget;

// Installs the rules on the running application; a second call does nothing.
void InstallDialogKeyboardRules();

// Orders the Tab chain of the controls inside pWindow by its layouts. Done for
// every dialog as it is shown; call it again after adding controls to a
// dialog that is open.
void OrderTabChainByLayout(QWidget *pWindow);
