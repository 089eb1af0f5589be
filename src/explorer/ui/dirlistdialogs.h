// The explorer pane's small dialogs: the options (which files are listed and
// which open in the editor), the properties of an item, and the choice of a
// template for a new file.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

// "表示するファイルの種類": the file filter and `UseWrenpadExtension`.
class CDirListOptionsDlg : public QDialog
{
    Q_OBJECT

public:
    CDirListOptionsDlg(const std::string &strFileFilter, const std::string &strOwnExtensions,
                       QWidget *pParent = nullptr);
    std::string GetFileFilter() const;
    std::string GetOwnExtensions() const;

private:
    QLineEdit *m_pFilter;
    QLineEdit *m_pOwn;
};

// What the system knows of a file or folder: kind, size, dates, owner,
// permissions and, for a file, its likely character code. Each value is a
// label named "prop" + what it shows ("propSize", "propCode" ...).
class CItemPropertiesDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CItemPropertiesDlg(const std::string &strPath, QWidget *pParent = nullptr);
    // The text shown for a value, by the label's name; empty when not shown.
    QString GetValue(const QString &strName) const;
};

