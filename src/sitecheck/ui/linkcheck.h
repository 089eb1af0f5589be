// The editor's "リンクチェック": the small dialog that names the site's
// folder, and the run of the site check over that folder and the current
// page as the editor holds it (unsaved text too), with a progress dialog
// that can cancel, the findings going into the results bar.
#pragma once

#include "sitecheck/findings.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class CResultsEdit;

class CLinkCheckDlg : public QDialog
{
    Q_OBJECT

public:
    CLinkCheckDlg(const QString &strFolder, bool bSubFolders, QWidget *pParent = nullptr);
    QString GetFolder() const;
    bool GetSubFolders() const;

public slots:
    void accept() override;

private:
    QLineEdit *m_pFolder;
    QCheckBox *m_pSubFolders;
};

// The page being edited: its file (UTF-8, empty for one never saved) and its
// text in its file's code.
struct CLinkCheckPage
{
    std::string strPath;
    std::string bytes;
};

// The name findings give a page never saved.
inline constexpr const char *LINKCHECK_UNTITLED = "(無題)";

// Checks the site's folder (its subfolders too when asked) with the page in
// place of its file, or beside the folder's pages when it has no file.
// Findings are named relative to strFolder. False when cancelled.
bool CheckSiteWithPage(const std::string &strFolder, bool bSubFolders, const CLinkCheckPage &page,
                       std::vector<CSiteFinding> &aFindings, const std::atomic<bool> *pbCancel = nullptr,
                       const std::function<void(int, int, const std::string &)> &fnProgress = {});

// The folder the dialog proposes: the last one chosen when the page lies in
// it, else the page's own folder.
std::string ProposeSiteFolder(const std::string &strPagePath, const std::string &strLastFolder);

// The whole command: dialog, check with progress, results into pResults
// (its root set to the folder). False when cancelled or refused.
bool RunLinkCheck(QWidget *pParent, const CLinkCheckPage &page, CResultsEdit *pResults);
