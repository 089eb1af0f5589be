// The application's session list: which files were open in which windows,
// split how, with the caret and scroll position of every pane, kept when the
// program ends and opened again at the next start.
#include "app/ui/wrenpadapp.h"

#include "app/ui/childframe.h"
#include "app/ui/mainframe.h"
#include "app/ui/splitterwnd.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "recovery/session.h"
#include "syntax/viewtype.h"

#include <QFileInfo>

#include <algorithm>

namespace {

bool SessionWanted()
{
    return AppProfile().GetInt(SECTION_MAIN, "bRestoreSession", 0) != 0;
}

CSessionPane PaneOf(const CWrenpadView *pView)
{
    CSessionPane pane;
    const CPoint pt = pView->GetCursorPos();
    pane.nCaretLine = pt.y;
    pane.nCaretChar = pt.x;
    pane.nFirstLine = pView->GetFirstVisibleLine();
    pane.nFirstColumn = pView->GetFirstVisibleColumn();
    return pane;
}

// A caret of a file that changed since is kept inside the text.
void PutPane(CWrenpadView *pView, const CSessionPane &pane)
{
    const int nLines = pView->GetLineCount();
    CPoint pt(pane.nCaretChar, std::min(pane.nCaretLine, nLines - 1));
    pt.x = std::min(pt.x, pView->GetLineLength(pt.y));
    pt = pView->AfterTrailByte(pt);
    pView->MoveCaret(pt);
    pView->SetSelectionAnchor(pt);
    pView->SelectRange(pt, pt);
    pView->ScrollToFirstLine(std::min(pane.nFirstLine, nLines - 1));
    pView->ScrollToFirstColumn(pane.nFirstColumn);
    pView->UpdateCaretDisplay();
}

} // namespace

void CWrenpadApp::SaveSession()
{
    if (!m_pMainFrame || !SessionWanted())
        return;
    CSession session;
    CChildFrame *pActive = m_pMainFrame->GetActiveChild();
    for (CChildFrame *pFrame : m_pMainFrame->GetChildFrames()) {
        const CWrenpadDoc *pDoc = pFrame->GetDocument();
        // An untitled text has no file to open again; its unsaved text is the
        // recovery records' business.
        if (!pDoc || pDoc->GetPathName().empty())
            continue;
        CSessionWindow window;
        window.strPath = pDoc->GetPathName();
        const CSplitterWnd *pSplitter = pFrame->GetSplitter();
        window.nRows = pSplitter->GetRowCount();
        window.nColumns = pSplitter->GetColumnCount();
        if (window.nRows > 1)
            window.aRowSizes = pSplitter->GetRowSizes();
        if (window.nColumns > 1)
            window.aColumnSizes = pSplitter->GetColumnSizes();
        for (int nRow = 0; nRow < window.nRows; ++nRow)
            for (int nColumn = 0; nColumn < window.nColumns; ++nColumn)
                if (const CWrenpadView *pView = pSplitter->GetPane(nRow, nColumn))
                    window.aPanes.push_back(PaneOf(pView));
        if (const CWrenpadView *pView = pSplitter->GetPane(0, 0))
            window.nViewType = pView->GetViewType();
        window.bActive = pFrame == pActive;
        if (window.bActive)
            session.bMaximized = pFrame->isMaximized();
        session.aWindows.push_back(std::move(window));
    }
    WriteSessionFile(SessionFilePath(), session);
}

int CWrenpadApp::RestoreSession()
{
    if (!m_pMainFrame || !SessionWanted())
        return 0;
    CSession session;
    if (!ReadSessionFile(SessionFilePath(), session))
        return 0;
    int nOpened = 0;
    CChildFrame *pActive = nullptr;
    for (const CSessionWindow &window : session.aWindows) {
        // Files that went away since are passed over without a word.
        if (!QFileInfo(QString::fromStdString(window.strPath)).isFile())
            continue;
        CWrenpadDoc *pDoc = OpenDocumentFile(QString::fromStdString(window.strPath));
        if (!pDoc)
            continue;
        CChildFrame *pFrame = nullptr;
        for (CChildFrame *pEach : m_pMainFrame->GetChildFrames())
            if (pEach->GetDocument() == pDoc)
                pFrame = pEach;
        if (!pFrame)
            continue;
        ++nOpened;
        CSplitterWnd *pSplitter = pFrame->GetSplitter();
        if (window.nRows > 1 && pSplitter->GetRowCount() < 2)
            pSplitter->SplitRow();
        if (window.nColumns > 1 && pSplitter->GetColumnCount() < 2)
            pSplitter->SplitColumn();
        pSplitter->SetSizes(window.aRowSizes, window.aColumnSizes);
        std::size_t nPane = 0;
        for (int nRow = 0; nRow < pSplitter->GetRowCount(); ++nRow)
            for (int nColumn = 0; nColumn < pSplitter->GetColumnCount(); ++nColumn, ++nPane) {
                CWrenpadView *pView = pSplitter->GetPane(nRow, nColumn);
                if (!pView)
                    continue;
                if (window.nViewType >= 0 && window.nViewType < VIEWTYPE_COUNT)
                    pView->SetViewType(window.nViewType);
                if (nPane < window.aPanes.size())
                    PutPane(pView, window.aPanes[nPane]);
            }
        if (window.bActive)
            pActive = pFrame;
    }
    if (pActive) {
        m_pMainFrame->ActivateChild(pActive);
        if (session.bMaximized)
            pActive->showMaximized();
    }
    return nOpened;
}
