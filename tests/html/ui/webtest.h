// Answering the web commands' dialogs in the widget tests: fields filled in
// and read by their object names, and answers chosen by the dialog's title.
#pragma once

#include "app/ui/dropfiledlg.h"
#include "support/dialogtest.h"
#include "support/webfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

using DialogFn = std::function<int(QDialog *)>;
using FieldList = std::vector<std::pair<const char *, QString>>;

// Sets each field: an edit takes the text, a check box or a radio button is
// ticked unless the value is "0", a combo box shows the text, a spin box the number.
inline void SetFields(QDialog *pDialog, const FieldList &fields)
{
    for (const auto &[pszName, strValue] : fields) {
        QWidget *pField = Child<QWidget>(pDialog, pszName);
        if (auto *pEdit = qobject_cast<QLineEdit *>(pField))
            pEdit->setText(strValue);
        else if (auto *pText = qobject_cast<QPlainTextEdit *>(pField))
            pText->setPlainText(strValue);
        else if (auto *pButton = qobject_cast<QAbstractButton *>(pField))
            pButton->setChecked(strValue != QStringLiteral("0"));
        else if (auto *pCombo = qobject_cast<QComboBox *>(pField))
            pCombo->setCurrentText(strValue);
        else if (auto *pSpin = qobject_cast<QSpinBox *>(pField))
            pSpin->setValue(strValue.toInt());
        else
            ADD_FAILURE() << pszName << " is no field";
    }
}

// What the fields show, in the values SetFields takes, joined by "|".
inline std::string FieldValues(QDialog *pDialog, std::initializer_list<const char *> names)
{
    std::string s;
    for (const char *pszName : names) {
        QWidget *pField = Child<QWidget>(pDialog, pszName);
        if (!s.empty())
            s += '|';
        if (auto *pButton = qobject_cast<QAbstractButton *>(pField))
            s += pButton->isChecked() ? '1' : '0';
        else
            s += FieldText(pField).toStdString();
    }
    return s;
}

// Fills the dialog in and accepts it.
inline DialogFn Accepting(std::function<void(QDialog *)> fnFill)
{
    return [fnFill](QDialog *pDialog) {
        fnFill(pDialog);
        return static_cast<int>(QDialog::Accepted);
    };
}

inline DialogFn AcceptingFields(const FieldList &fields)
{
    return Accepting([fields](QDialog *pDialog) { SetFields(pDialog, fields); });
}

// Accepts every dialog, and the dropped-file dialogs with the choice given.
inline DialogFn DropChoosing(int nChoice)
{
    return Accepting([nChoice](QDialog *pDialog) {
        if (auto *pDrop = qobject_cast<CDropFileDlg *>(pDialog))
            pDrop->m_nChoice = nChoice;
    });
}

// Answers each dialog by its title; a dialog with no answer is cancelled.
inline DialogFn ByTitle(std::map<QString, DialogFn> answers)
{
    return [answers](QDialog *pDialog) {
        const auto it = answers.find(pDialog->windowTitle());
        return it == answers.end() || !it->second ? static_cast<int>(QDialog::Rejected) : it->second(pDialog);
    };
}

inline void Click(QDialog *pDialog, const char *pszButton)
{
    Child<QPushButton>(pDialog, pszButton)->click();
}
