// The application: start-up (the uninstall switch, the single-instance
// hand-off, the settings, the main window, the files of the command line),
// the open documents, the recent-file list, and the application's commands
// (new, open, save all, close all, clearing the recent files, printer setup,
// the about box).
#pragma once

#include "app/appsettings.h"
#include "app/recentfiles.h"
#include "platform/ui/cmdtarget.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class CInstanceChannel;
class COrphanRecord;
class CRecoveryManager;
class CMainFrame;
class CWrenpadDoc;

class CWrenpadApp : public QObject, public CCmdTarget
{
    Q_OBJECT

public:
    CWrenpadApp();
    ~CWrenpadApp() override;

    // Start-up with the arguments after the program name. False when the
    // process is to end now (uninstall, a hand-off to the first instance).
    bool InitInstance(const QStringList &args);
    void ExitInstance();

    CMainFrame *GetMainFrame() const { return m_pMainFrame; }
    const CSystemColors &SystemColors() const { return m_sysColors; }
    // The single-instance channel's socket; tests use their own.
    void SetChannelPath(const QString &strPath) { m_strChannelPath = strPath; }
    CInstanceChannel *GetChannel() const { return m_pChannel; }

    // --- Documents -----------------------------------------------------------
    // A new untitled document in its own window ("新規ﾌｧｲﾙ1" ...).
    CWrenpadDoc *OnFileNew();
    // Opens a file in a new window, or activates the window of the document
    // that already shows it; null (after a message) when it cannot be read.
    CWrenpadDoc *OpenDocumentFile(const QString &strPath);
    const QList<CWrenpadDoc *> &Documents() const { return m_aDocs; }
    int GetDocumentCount() const { return static_cast<int>(m_aDocs.size()); }
    // Asks every modified document to be saved; false when one must stay.
    bool SaveAllModified();
    // Closes every document's windows without asking.
    void CloseAllDocuments();
    // The last window of a document has gone.
    void RemoveDocument(CWrenpadDoc *pDoc);
    // A file or folder was renamed (in the explorer pane): the documents of
    // that file, or of files inside that folder, take the new path.
    void OnFileRenamed(const std::string &strOldPath, const std::string &strNewPath);

    // --- Recent files --------------------------------------------------------
    CRecentFileList &RecentFiles() { return m_recentFiles; }
    void AddToRecentFileList(const std::string &strPath);

    // --- Commands ------------------------------------------------------------
    void OnFileOpen();
    void OnFileSaveAll();
    void OnFileCloseAll();
    void OnFileClearMru();
    void OnOpenRecentFile(int nID);
    void OnFilePrintSetup();
    void OnAppAbout();

    // The desktop session ends: the window's state is kept and, when the
    // session lets us ask, modified documents are offered for saving. False
    // when the user chose to keep working.
    bool OnEndSession(bool bMayAsk);

    // --- Recovery of unsaved text ----------------------------------------------
    // Starts keeping recovery records of modified documents in the state
    // folder; when that cannot be done the user is told once and editing
    // goes on without them.
    void StartRecovery();
    const std::shared_ptr<CRecoveryManager> &Recovery() const { return m_pRecovery; }
    // Offers the records of editors that ended without saving in the dialog
    // "復元"; gives the number of documents restored.
    int OfferRecovery();
    // Tells the user, once per run, that recovery records cannot be written;
    // notes on the texts just restored go in the same message.
    void WarnRecoveryProblem(const std::string &strError, const QStringList &notes = QStringList());

    // --- Session ---------------------------------------------------------------
    // With "終了時のファイルを次回起動時に開く" on: the windows of files, their
    // panes and carets are written down as the program ends, and opened
    // again at the next start. RestoreSession gives the number of windows.
    void SaveSession();
    int RestoreSession();

    // Removes every setting of the program and the file manager's menu
    // entry. With bConfirm it asks first and reports the outcome in message
    // boxes; without, only what failed is reported, on standard error.
    // Returns whether everything was removed.
    bool UninstallRegistry(bool bConfirm);
    // The process's exit status when InitInstance ended it: 1 after an
    // uninstall that failed, else 0.
    int GetExitCode() const { return m_nExitCode; }

private:
    void RegisterCommands();
    bool HandOffToFirstInstance(const QStringList &files);
    void OpenCommandLineFiles(const QStringList &files);
    // A document window holding the record's text, modified; null (with a
    // note) when nothing could be read from it.
    CWrenpadDoc *RestoreRecord(COrphanRecord &record, QStringList &notes);

    CMainFrame *m_pMainFrame = nullptr;
    CInstanceChannel *m_pChannel = nullptr;
    QString m_strChannelPath;
    QList<CWrenpadDoc *> m_aDocs;
    CRecentFileList m_recentFiles;
    CSystemColors m_sysColors;
    int m_nUntitledCount = 0;
    int m_nExitCode = 0;
    std::shared_ptr<CRecoveryManager> m_pRecovery;
    bool m_bRecoveryWarned = false;
    // Why the records cannot be written, until the user is told (after the
    // offer at start, so that one message says what it means for the
    // records restored).
    std::string m_strRecoveryProblem;
};

// The running application, or null.
CWrenpadApp *WrenpadApp();
