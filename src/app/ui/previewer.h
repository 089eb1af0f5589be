// The browser preview: commands 1270-1275 carried out for a document, the
// temporary copy that stands in for unsaved text, the browser bar it shows
// pages in, the desktop's program and the browsers of the options.
//
// The temporary copy "~wpedtmp.htm" lives in a folder of this process that
// only the user can enter, made on the first copy and removed with the
// program, never under a fixed name in a folder shared with others. Writing
// the copy changes nothing of the document: its path, its modified state and
// its undo history stay as they were.
//
// Beyond the commands, the preview can follow the text as it is typed
// ("入力中に自動更新"): about a second after typing pauses in the document
// the bar shows, the bar shows a fresh copy, scrolled where it was.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>

class CBrowserBar;
class CCmdUI;
class CCrystalTextBuffer;
class CSizingControlBar;
class CWrenpadDoc;
class QTemporaryDir;
class QWidget;

inline constexpr const char *PREVIEW_TEMP_NAME = "~wpedtmp.htm";
// How long typing must pause before the preview follows it.
inline constexpr int PREVIEW_AUTO_UPDATE_MS = 1000;

class CPreviewer : public QObject
{
    Q_OBJECT

public:
    // pDock is the frame's browser bar; the previewer fills it.
    CPreviewer(QWidget *pFrame, CSizingControlBar *pDock);
    ~CPreviewer() override;

    // A preview command on a document's text (pDoc may be null for a buffer
    // shown without a document).
    void OnPreview(int nID, CWrenpadDoc *pDoc, const CCrystalTextBuffer *pBuffer);
    void OnUpdatePreview(CCmdUI *pCmdUI, const CCrystalTextBuffer *pBuffer) const;

    // Shows a file with a target (0 the bar, 1 the desktop, 2-4 a browser).
    void ShowPath(const std::string &strPath, int nTarget, CWrenpadDoc *pDoc = nullptr);

    // Shows a page of the manual in the bar, at the element with the id, and
    // stops following a document, whose updates would replace the page.
    // False when the bar has no full browser engine (the simple viewer shows
    // the manual poorly): the caller opens the page elsewhere.
    bool ShowManualPage(const std::string &strPath, const std::string &strAnchor);

    // Writes the temporary copy of a text and returns its path; empty after
    // saying why (in a message box, or in the status bar when bQuiet).
    // strDocumentPath, when not empty, is the file the text belongs to, whose
    // folder the copy's relative links lead to.
    std::string WriteTempCopy(const CCrystalTextBuffer &buffer, const std::string &strDocumentPath, bool bQuiet);
    // The temporary copy's path, making the private folder on first use;
    // empty when no folder can be made.
    std::string TempFilePath();
    // Removes the temporary copy (the window closes).
    void RemoveTempFile();

    // The idle upkeep: a hidden bar gives up its browser.
    void OnIdle();

    CBrowserBar *GetBrowserBar() const { return m_pBar; }
    CSizingControlBar *GetDock() const { return m_pDock; }
    // The document the bar follows for automatic updates, or null.
    CWrenpadDoc *GetFollowedDocument() const;
    // Runs a pending automatic update now (tests, and no wait is needed).
    void FlushAutoUpdate();
    bool IsAutoUpdatePending() const { return m_timer.isActive(); }

private:
    class CBufferFollower;

    void Follow(CWrenpadDoc *pDoc);
    void StopFollowing();
    void OnFollowedTextChanged();
    void OnAutoUpdate();
    void ReportStatus(const QString &strText) const;

    QWidget *m_pFrame;
    CSizingControlBar *m_pDock;
    CBrowserBar *m_pBar;
    std::unique_ptr<QTemporaryDir> m_pTempDir;

    QPointer<CWrenpadDoc> m_pFollowed;
    std::unique_ptr<CBufferFollower> m_pFollower;
    QTimer m_timer;
};
