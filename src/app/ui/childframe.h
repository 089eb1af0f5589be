// A document window: a child of the main window's document area holding the
// panes of one document. Its title is the document's title with the
// read-only and modified marks; the tab bar follows it.
#pragma once

#include "platform/ui/cmdtarget.h"

#include <QMdiSubWindow>

class CMainFrame;
class CSplitterWnd;
class CWrenpadDoc;
class CWrenpadView;

class CChildFrame : public QMdiSubWindow, public CCmdTarget
{
    Q_OBJECT

public:
    CChildFrame(CWrenpadDoc *pDoc, CMainFrame *pMainFrame);
    ~CChildFrame() override;

    CWrenpadDoc *GetDocument() const { return m_pDoc; }
    CSplitterWnd *GetSplitter() const { return m_pSplitter; }
    // The pane that last had the keyboard focus.
    CWrenpadView *GetActiveView() const;

    // Numbers the window when its document has several ("title:2"); 0 for none.
    void SetWindowNumber(int nNumber);
    // Sets the title from the document's state when it differs.
    void UpdateFrameTitle();

    // The targets behind a pane: the document, this window, the main window
    // and the application.
    bool RouteFromDocument(int nID, CCmdUI *pCmdUI);

protected:
    void closeEvent(QCloseEvent *pEvent) override;

private:
    CWrenpadView *CreatePane(QWidget *pParent);

    CWrenpadDoc *m_pDoc;
    CMainFrame *m_pMainFrame;
    CSplitterWnd *m_pSplitter;
    CWrenpadView *m_pActiveView = nullptr;
    int m_nWindowNumber = 0;
};
