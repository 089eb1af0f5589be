// Dialogs as the keyboard meets them: opening one as the user does, typing
// into the control that has the focus, and the order in which Tab visits the
// controls. For the widget tests only.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QDialog;
class QWidget;

// Shows the dialog and waits until it is the active window and a control of
// it has the focus; false if that never happens.
bool OpenDialog(QDialog *pDialog);
// The control that has the keyboard focus (an editable combo box or a spin
// box rather than the line edit inside it).
QWidget *FocusControl();
// Types text into the control that has the focus, as key presses.
void TypeIntoFocus(const QString &strText);
// Presses Tab (Shift+Tab when bBack) in the control that has the focus.
void PressTab(bool bBack = false);
// The text a field shows: a line edit, an editable combo box or a spin box.
QString FieldText(const QWidget *pControl);

// The controls Tab visits, from the one that has the focus round to it
// again (or until one comes a second time). The dialog must be open.
std::vector<QWidget *> TabChain(QDialog *pDialog);
// The object names of the controls Tab visits (as TabChain), joined by
// spaces: plain text to compare.
std::string TabChainNames(QDialog *pDialog);

// Expects Tab to visit every control that can take the focus (visible,
// enabled, taking Tab focus) exactly once (a group of exclusive radio
// buttons is one stop: Tab enters it at one of them and leaves it), in an
// order that follows their
// positions on the screen: along a row from left to right, down a column
// without passing over a control that comes later, and up only to the top
// of a column to the right. Checks what is shown now (the current page of a
// tab widget): call it once per page.
void ExpectTabOrderFollowsLayout(QDialog *pDialog);


// Opens each dialog in turn with every check box on (so that the fields they
// enable take part) and expects its Tab order to follow the layout.
void ExpectTabOrdersFollowLayout(const std::vector<std::unique_ptr<QDialog>> &dialogs);
