// The common file and colour dialogs behind one door that tests can hold: a
// hook answers in place of the dialog and sees what it would have shown.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

struct CFileDialogRequest
{
    bool bSave = false;
    QString strTitle;               // empty: the toolkit's own title
    QStringList aFilters;           // in the dialog's form: "Html Files  (*.html *.htm)"
    int nFilterIndex = 1;           // 1-based initially selected filter
    QString strDirectory;           // empty: the current folder
    QString strFileName;            // proposed name
    QString strDefaultSuffix;       // added to a typed name without one (save)
    bool bMultiple = false;         // several files may be chosen (open)
    bool bFolder = false;           // a folder is chosen, not a file
    // A drop-down list below the file name (the character code a file is
    // saved in): its label, entries and the entry chosen (0-based; the
    // dialog, or the hook, leaves the user's choice here).
    QString strChoiceLabel;
    QStringList aChoices;
    int nChoice = 0;
};

// The chosen files (absolute paths), empty when cancelled. With choices, the
// chosen entry goes to *pnChoice.
QStringList RunFileDialog(QWidget *pParent, const CFileDialogRequest &request, int *pnChoice = nullptr);
using FileDialogHook = std::function<QStringList(CFileDialogRequest &)>;
void SetFileDialogHook(FileDialogHook hook);

// The folder selection: strTitle over it, strStart preselected (a trailing
// '/' dropped). The chosen folder, or empty when cancelled. Goes through the
// file dialog hook with bFolder set.
QString BrowseForFolder(QWidget *pParent, const QString &strTitle, const QString &strStart);

// The colour dialog; false when cancelled.
bool ChooseColor(QWidget *pParent, const QColor &initial, QColor &chosen);
using ColorDialogHook = std::function<bool(const QColor &initial, QColor &chosen)>;
void SetColorDialogHook(ColorDialogHook hook);
