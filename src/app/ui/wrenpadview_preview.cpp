// The view's commands that show or keep its text outside the editor: the
// browser preview (1270-1275) and saving the text as a template (4001).
#include "app/ui/wrenpadview.h"

#include "app/ui/mainframe.h"
#include "app/ui/previewer.h"
#include "app/ui/templates.h"
#include "app/ui/wrenpadapp.h"
#include "res/commands.h"

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
