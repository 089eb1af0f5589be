// What the main frame needs for the folder search, in one object: the
// content of its "検索結果" bar, the modal search of command 401 and the
// modeless search window (at most one). The frame creates it once:
//
//     m_pSearch = new CFolderSearchHost(this, [this] { m_pResultsBar->show(); },
//                                       [this](int nID) { return RouteCommand(nID); });
//     m_pResultsBar->setWidget(m_pSearch->GetResultsBar());
//
// and runs OpenFolderSearch({}, {}) for command 401 when no view takes it.
// The views' command 401 reaches it through RequestFolderSearch.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class CExtraChars;
class CFolderSearchDlg;
class CResultsBar;
class CResultsEdit;
class QWidget;

class CFolderSearchHost : public QObject
{
    Q_OBJECT

public:
    // fnShowBar shows the results bar; fnRouteCommand runs a command the
    // way the frame's menus do (the bar's button is command 401).
    CFolderSearchHost(QWidget *pFrame, std::function<void()> fnShowBar, std::function<bool(int nID)> fnRouteCommand);
    ~CFolderSearchHost() override;

    CResultsBar *GetResultsBar() const;

    // Command 401: the dialog, modally, with the proposed text (CP932) and
    // folder (UTF-8); on "検索(&F)" the results bar is shown, emptied and
    // filled, and a beep says the search has ended. False when cancelled.
    bool OpenFolderSearch(const std::string &strText, const std::string &strFolder,
                          const CExtraChars *pExtra = nullptr);
    // The modeless search window: opened, or brought to the front.
    CFolderSearchDlg *OpenFolderSearchWindow(const std::string &strText = std::string(),
                                             const std::string &strFolder = std::string());
    CFolderSearchDlg *GetFolderSearchWindow() const;
    // Shows the results bar; its results control.
    CResultsEdit *ShowResults();

private:
    QWidget *m_pFrame;
    QPointer<CResultsBar> m_pBar;
    std::function<void()> m_fnShowBar;
    std::function<bool(int)> m_fnRouteCommand;
    QPointer<CFolderSearchDlg> m_pWindow;
};

// Shows the "検索結果" bar of the frame's host and returns its results
// control, for a command that puts its own lines there; null when there is none.
CResultsEdit *RequestResultsBar();

// How a view asks for command 401 with its proposals: through the host that
// the frame created. False when there is none.
// pExtra is the table of the document the text comes from, if it has one.
bool RequestFolderSearch(const std::string &strText, const std::string &strFolder,
                         const CExtraChars *pExtra = nullptr);
