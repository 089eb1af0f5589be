// The results control of the folder search: a read-only list of result
// lines in which a double-click or Enter on a line opens that file at that
// line through the main frame's hand-off (code 101).
#pragma once

#include "search/foldersearch.h"

#include <QPlainTextEdit>

#include <string>

class CResultsEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CResultsEdit(QWidget *pParent = nullptr);

    // Empties the control for a new search.
    void ClearResults();
    void AppendResultLine(const CSearchResult &result);
    // The folder the results are relative to, ending in '/' (UTF-8).
    const std::string &GetRootFolder() const { return m_strRootFolder; }
    void SetRootFolder(const std::string &strFolder);

    // Searches with a modal progress dialog, the results going into this
    // control (which the caller has emptied). Returns when the search ended.
    bool RunFolderSearch(const FolderSearchParams &params);

    // Opens the file and line of the result line that holds the cursor;
    // false when that line is no result (a message, the summary).
    bool JumpToResultLine();

protected:
    void mouseDoubleClickEvent(QMouseEvent *pEvent) override;
    void keyPressEvent(QKeyEvent *pEvent) override;

private:
    std::string m_strRootFolder;
};
