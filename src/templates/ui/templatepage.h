// The options sheet's page "ﾃﾝﾌﾟﾚｰﾄの編集": the templates in the folder, and
// adding, deleting, renaming them and opening the folder. Its changes are
// made to the folder at once, whichever button closes the sheet.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

class CTemplatesPage : public QWidget
{
    Q_OBJECT

public:
    // strFolder empty: there is no folder, and every button only beeps.
    explicit CTemplatesPage(const QString &strFolder, QWidget *pParent = nullptr);

    const QString &GetFolder() const { return m_strFolder; }
    QListWidget *GetList() const { return m_pList; }

    void OnAdd();
    void OnDelete();
    void OnRename();
    void OnOpenFolder();

private:
    QPushButton *AddButton(const char *pszLabel, const char *pszName, void (CTemplatesPage::*pfn)());
    QString SelectedName() const;

    QString m_strFolder;
    QListWidget *m_pList;
};
