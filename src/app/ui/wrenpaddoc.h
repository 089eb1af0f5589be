// A document: one text buffer for its whole life, the file it was read from,
// its title and modified state, and the font all its views use. It maps new,
// open, save, save as, revert and close onto the buffer, and answers the
// document commands (read-only, font).
#pragma once

#include "app/appsettings.h"
#include "app/ui/filewatcher.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/filedialogs.h"
#include "text/codedfile.h"
#include "text/textbuffer.h"

#include <QFont>
#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDocJournal;
class CRecoveryManager;
class CWrenpadDoc;
class CWrenpadView;

// The document's buffer: a change of its modified state is the document's.
class CWrenpadTextBuffer : public CCrystalTextBuffer
{
public:
    explicit CWrenpadTextBuffer(CWrenpadDoc *pOwnerDoc) : m_pOwnerDoc(pOwnerDoc) {}
    void SetModified(bool bModified) override;

private:
    CWrenpadDoc *m_pOwnerDoc;
};

class CWrenpadDoc : public QObject, public CCmdTarget
{
    Q_OBJECT

public:
    // With a recovery manager the document keeps a recovery record of its
    // unsaved text.
    explicit CWrenpadDoc(QObject *pParent = nullptr, std::shared_ptr<CRecoveryManager> pRecovery = nullptr);
    ~CWrenpadDoc() override;

    // --- The framework's operations ------------------------------------------
    // An empty document: one empty line, CR LF, not modified.
    bool OnNewDocument();
    // Reads a file; on failure a message says why and false is returned.
    bool OnOpenDocument(const std::string &strPath);
    // Writes the buffer in its own line-end mode; on failure shows
    // "%s\nファイルの保存に失敗しました。" and the document stays modified.
    bool OnSaveDocument(const std::string &strPath);
    void DeleteContents();
    // With a path: saves there (false, silently, while the buffer is
    // read-only). Without: asks for a name first. bReplace makes the chosen
    // path the document's own.
    bool DoSave(const std::string &strPath, bool bReplace = true);
    // Save: to the document's file, or through the save dialog when it has
    // none or the file may not be written.
    bool DoFileSave();
    // The save dialog as "save as" shows it for this document: filters, the
    // default extension by the title, the document's folder and name.
    CFileDialogRequest SaveAsRequest() const;
    // The buffer refilled from a file (templates); an empty text if it fails.
    bool ReplaceFromFile(const std::string &strPath);
    // Asks to save a modified document; false when the user cancelled or
    // the save failed, so the document must stay open. A read-only document
    // is saved under a name the save dialog asks for.
    bool SaveModified();

    // --- State ---------------------------------------------------------------
    const std::string &GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string &strPath);
    const std::string &GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string &strTitle);
    // A note the window title carries after the title (a restored text
    // whose file changed on disk since); saving clears it.
    const std::string &GetTitleMark() const { return m_strTitleMark; }
    void SetTitleMark(const std::string &strMark);
    // The first bytes of the text, lines joined by '\n' (what tells what
    // kind of text an untitled document holds).
    std::string LeadingText(std::size_t nMax = 4096) const;
    // The colouring an untitled document calls for: that of its name's
    // extension (a text restored under the name of a file that is gone),
    // else that of its text.
    int UntitledViewType() const;
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool bModified = true);
    CWrenpadTextBuffer &GetBuffer() { return m_buffer; }
    const CWrenpadTextBuffer &GetBuffer() const { return m_buffer; }
    // Set while the document closes: its windows close without asking again.
    bool IsClosing() const { return m_bClosing; }
    // Closes every window of the document without asking; the document goes
    // with its last window.
    void CloseWindows();
    // The document leaves: its recovery record goes too (unless the manager
    // keeps records because the session ends).
    void EndJournal();
    // The journal of the unsaved text, or null when records are not kept.
    CDocJournal *GetJournal() const { return m_pJournal.get(); }

    // --- The file on disk (wrenpaddoc_disk.cpp) ------------------------------
    // Other programs change, replace or delete the file under the document.
    // An unmodified document offers to read it again (or does, when the
    // settings say so); a modified one says that saving will overwrite the
    // change; a deleted file marks the title and keeps the text for saving.
    CFileWatcher &GetFileWatcher() { return m_watch; }
    bool IsFileDeleted() const { return m_bFileDeleted; }
    // Reads the file again in place of the text; each view keeps its caret's
    // line and its scroll position. False (with a message) when it cannot be read.
    bool ReloadFile();

    // --- The file's character code (wrenpaddoc_code.cpp) ---------------------
    // The text is Shift-JIS whatever the file's code; the code is what the file
    // is read and written in.
    ETextCode GetTextCode() const { return m_code.eCode; }
    const CFileCodeState &GetCodeState() const { return m_code; }
    // The code the next save writes (save as).
    void SetTextCode(ETextCode eCode);
    // Gives the buffer the table of extra characters of a document whose
    // code has one (not Shift-JIS), after the code state changed.
    void UseCodeState();
    // Reads the document's file again in the code the user names.
    bool ReopenWithCode(ETextCode eCode);
    // The save dialog's list of codes, the document's own chosen.
    void AddCodeChoice(CFileDialogRequest &request) const;
    // The code of new documents, from the settings.
    static ETextCode NewDocumentCode();
    // A text restored from a recovery record takes the code its record names;
    // a record of an older version names none: then the code of the file on
    // disk (strFile, empty when the text has none), else that of new documents.
    void RestoreTextCode(const std::string &strRecordCode, const std::string &strFile);

    // --- Font of all views ---------------------------------------------------
    QFont GetFont() const;
    const CFontSetting &GetFontSetting() const { return m_lfFont; }

    // --- Views ---------------------------------------------------------------
    void AddView(CWrenpadView *pView);
    void RemoveView(CWrenpadView *pView);
    const std::vector<CWrenpadView *> &GetViews() const { return m_aViews; }
    // Every view takes the settings (colours, marks) and the font again.
    void UpdateAllViews();

    // --- Commands ------------------------------------------------------------
    void OnToggleReadOnly();
    void OnChooseFont();
    void OnRevert();
    void OnTabStop(CWrenpadView *pView);

signals:
    // The title, the path or the modified state changed (window titles, tabs).
    void StateChanged();
    // The user closes the document (close command): its windows are to go.
    void CloseRequested();

public:
    // The message shown when a file cannot be read, or empty when it can.
    static QString OpenFailureText(const std::string &strPath);
    void OnFileChangedOnDisk();
    // Before a save over the document's own file: when another program has
    // changed it since it was read or saved, asks whether to overwrite it.
    bool ConfirmOverwriteChangedFile(const std::string &strPath);

private:
    // The text was just read from the file whose identity was taken before.
    void JournalFileLoaded(const std::string &strPath, const struct CFileIdentity &identity);

    CWrenpadTextBuffer m_buffer;
    CFontSetting m_lfFont;
    std::string m_strPathName;
    std::string m_strTitle;
    std::string m_strTitleMark;
    bool m_bModified = false;
    bool m_bClosing = false;
    std::vector<CWrenpadView *> m_aViews;
    CFileWatcher m_watch;
    bool m_bFileDeleted = false;
    bool m_bAskingAboutFile = false;
    CFileCodeState m_code;
    // The code the user named for this file, kept over reloads.
    std::optional<ETextCode> m_eForcedCode;
    // Last, so that it goes first: it leaves the buffer before the buffer goes.
    std::unique_ptr<CDocJournal> m_pJournal;

    void RegisterCodeCommands();
    // Reads strPath into the buffer in its code (the forced one, or detected);
    // a file that would not come back unchanged opens read-only, with a
    // message that says why. False (no message) when it cannot be read.
    bool LoadDocumentFile(const std::string &strPath);
    // Writes the buffer in the document's code; a character the code cannot
    // hold is named in a message (*pbReported set) and nothing is written.
    bool SaveDocumentFile(const std::string &strPath, bool *pbReported);
};
