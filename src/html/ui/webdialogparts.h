// The pieces every attribute dialog is built of: named fields, check-box
// rows that enable their field, the colour and file "参照" buttons, and the
// OK and Cancel row. For the dialog files of the web commands only.
#pragma once

#include "html/ui/webdialogs.h"

#include <QString>
#include <QStringList>

#include <string>

class QCheckBox;
class QComboBox;
class QDialog;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace WebDlg {

QLineEdit *NewEdit(QWidget *pParent, const QString &strName);
QComboBox *NewCombo(QWidget *pParent, const QString &strName, const QStringList &items, bool bEditable = false);
QCheckBox *NewCheck(QWidget *pParent, const QString &strLabel, const QString &strName);
// A row of check box, field and one more widget (a unit or a button) that the
// check box enables with the field; the box is named after the field with
// "Check" behind.
CFieldRow AddFieldRow(QGridLayout *pGrid, const QString &strLabel, QWidget *pField, QWidget *pExtra = nullptr);
void AddLabelRow(QGridLayout *pGrid, const QString &strLabel, QWidget *pField);
QGridLayout *StartGridDialog(QDialog *pDialog, const QString &strTitle);
void FinishGridDialog(QDialog *pDialog);
// "参照" for a colour field: the colour dialog from the field's "#rrggbb".
QPushButton *NewColorButton(QWidget *pParent, QLineEdit *pEdit);
// A colour field with its check box and "参照" button.
CFieldRow AddColorRow(QGridLayout *pGrid, const QString &strLabel, const QString &strName);
QStringList Positions();

enum EFileFilter
{
    FILEFILTER_LINK,
    FILEFILTER_IMAGE,
};
// "参照" for a file field: the chosen file's name goes into pFile and, for a
// saved document, its folder relative to the document into the folder row,
// whose box is ticked exactly when that folder is not empty.
QPushButton *NewFileButton(QWidget *pParent, QLineEdit *pFile, const CFieldRow &folder, const std::string &strDocPath,
                           EFileFilter eFilter);

} // namespace WebDlg
