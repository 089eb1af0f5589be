// The view's commands that show or keep its text outside the editor: the
// browser preview (1270-1275), saving the text as a template (4001) and the
// link check of the page and its site (1284).
#include "app/ui/wrenpadview.h"

#include "app/ui/mainframe.h"
#include "app/ui/previewer.h"
#include "app/ui/templates.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "res/commands.h"
#include "search/ui/foldersearchhost.h"
#include "sitecheck/ui/linkcheck.h"
#include "text/filecode.h"

namespace {

CPreviewer *FramePreviewer()
{
    CWrenpadApp *pApp = WrenpadApp();
    CMainFrame *pFrame = pApp ? pApp->GetMainFrame() : nullptr;
    return pFrame ? pFrame->GetPreviewer() : nullptr;
}

} // namespace

void CWrenpadView::RegisterPreviewCommands()
{
    OnCommandRange(ID_WEB_PREVIEW, ID_WEB_PREVIEW_BROWSER4, [this](int nID) { OnPreview(nID); });
    OnUpdateRange(ID_WEB_PREVIEW, ID_WEB_PREVIEW_BROWSER4, [this](CCmdUI *pCmdUI) { OnUpdatePreview(pCmdUI); });
    OnCommand(ID_TEMPLATE_REGISTER, [this] { OnTemplateRegister(); });
    OnCommand(ID_WEB_LINK_CHECK, [this] { OnLinkCheck(); });
}

void CWrenpadView::OnPreview(int nID)
{
    if (CPreviewer *pPreviewer = FramePreviewer())
        pPreviewer->OnPreview(nID, m_pDocument, m_pTextBuffer);
}

void CWrenpadView::OnUpdatePreview(CCmdUI *pCmdUI)
{
    if (CPreviewer *pPreviewer = FramePreviewer())
        pPreviewer->OnUpdatePreview(pCmdUI, m_pTextBuffer);
    else
        pCmdUI->Enable(false);
}

void CWrenpadView::OnTemplateRegister()
{
    if (m_pTextBuffer)
        RegisterTemplate(*m_pTextBuffer, window());
}

void CWrenpadView::OnLinkCheck()
{
    if (!m_pTextBuffer || !m_pDocument)
        return;
    CResultsEdit *pResults = RequestResultsBar();
    if (!pResults)
        return;
    // The text as its file would hold it, so that the check reads it in the file's own code.
    CLinkCheckPage page;
    page.strPath = m_pDocument->GetPathName();
    std::string strText;
    const int nLast = m_pTextBuffer->GetLineCount() - 1;
    m_pTextBuffer->GetText(0, 0, nLast, m_pTextBuffer->GetLineLength(nLast), strText, "\n");
    if (!EncodeFileText(strText, m_pDocument->GetTextCode(), m_pDocument->GetCodeState().forms, page.bytes))
        page.bytes = strText;
    RunLinkCheck(this, page, pResults);
}
