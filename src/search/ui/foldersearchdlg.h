// The "フォルダー内検索" dialog: the search text, the file patterns and the
// folder, each with a history kept in the settings (section WpFolderSerch),
// and the three options. Modal, it only collects what to search; modeless
// (a resizable window of the main frame), it searches into a results
// control of its own and stays open.
#pragma once

#include "search/foldersearch.h"

#include <QDialog>

#include <string>
#include <vector>

class CResultsEdit;
class QCheckBox;
class QComboBox;

class CFolderSearchDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CFolderSearchDlg(bool bModeless, QWidget *pParent = nullptr);

    // The proposed text (CP932) and folder (UTF-8); empty ones leave the
    // field as the history fills it. A text from a document with a table of
    // extra characters comes with it, and is proposed as its characters.
    void Propose(const std::string &strText, const std::string &strFolder, const CExtraChars *pExtra = nullptr);
    FolderSearchParams GetParams() const;
    CResultsEdit *GetResultsEdit() const { return m_pResults; }

    static QString DefaultPatterns() { return QStringLiteral("*.txt;*.htm;*.cpp;*.h;*.java;*.pl;*.ini"); }

signals:
    // The modeless window is closing (the frame forgets its pointer).
    void Closing();

public slots:
    void reject() override;

private:
    void OnSearch();
    void OnBrowse();
    // Moves each field's text to the top of its list.
    void UpdateHistories();
    void SaveSettings() const;

    bool m_bModeless;
    QComboBox *m_pText;
    QComboBox *m_pPatterns;
    QComboBox *m_pFolder;
    QCheckBox *m_pIgnoreCase;
    QCheckBox *m_pSubFolders;
    QCheckBox *m_pRegex;
    CResultsEdit *m_pResults = nullptr;
    std::string m_strProposedText;
    QString m_strProposedShown;
};
