// The tag jump (F9) and its relatives: opening the URL or file that the
// selection or the token under the caret names, the "開く(&O)" entries of
// the context menu, and the folder search with the view's proposals.
#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "platform/copydata.h"
#include "platform/profile.h"
#include "platform/ui/shellopen.h"
#include "res/commands.h"
#include "res/menus.h"
#include "res/ui/menubuilder.h"
#include "search/tagjump.h"
#include "search/ui/foldersearchhost.h"
#include "text/ui/codec_qt.h"

#include <QMenu>

#include <filesystem>

namespace {

bool PathExists(const std::string &strPath)
{
    std::error_code ec;
    return std::filesystem::exists(strPath, ec);
}

} // namespace

void CWrenpadView::RegisterJumpCommands()
{
    OnCommand(ID_TAG_JUMP, [this] { OnTagJump(); });
    OnCommand(ID_OPEN_URL, [this] { OnOpenUrl(); });
    OnCommand(ID_OPEN_IN_EDITOR, [this] { OnOpenInEditor(); });
    OnCommand(ID_OPEN_WITH_SHELL, [this] { OnOpenWithShell(); });
    OnCommand(ID_FOLDER_SEARCH, [this] { OnFolderSearch(); });
    for (const int nID : {ID_OPEN_URL, ID_OPEN_IN_EDITOR, ID_OPEN_WITH_SHELL})
        OnUpdate(nID, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection()); });
}

bool CWrenpadView::SelectTokenAtCaret()
{
    if (!CanEdit())
        return false;
    int nStart = 0;
    int nEnd = 0;
    if (!FindTokenAtCaret(GetLineChars(m_ptCaret.y), m_ptCaret.x, nStart, nEnd))
        return false;
    const CPoint ptStart(nStart, m_ptCaret.y);
    const CPoint ptEnd(nEnd, m_ptCaret.y);
    MoveCaret(ptEnd);
    SetSelectionAnchor(ptStart);
    SelectRange(ptStart, ptEnd);
    return true;
}

int CWrenpadView::ClassifySelection()
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (!CanEdit() || b == e || b.y != e.y)
        return JUMP_NONE;
    std::string strPath;
    return ClassifyJumpText(GetSelectedText(), m_strDocumentPath, strPath, PathExists);
}

std::string CWrenpadView::SelectedFilePath()
{
    std::string strPath;
    if (ClassifySelection() != JUMP_FILE
        || ClassifyJumpText(GetSelectedText(), m_strDocumentPath, strPath, PathExists) != JUMP_FILE)
        return std::string();
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(strPath, ec);
    return ec ? strPath : path.lexically_normal().string();
}

void CWrenpadView::OnTagJump()
{
    if (!IsSelection() && !SelectTokenAtCaret())
        return;
    switch (ClassifySelection()) {
    case JUMP_URL:
        OnOpenUrl();
        break;
    case JUMP_FILE:
        OpenSelectedFile(true);
        break;
    default:
        break;
    }
}

void CWrenpadView::OnOpenUrl()
{
    const std::string strSelected = GetSelectedText();
    const std::string_view text = JumpTextOf(strSelected);
    if (IsJumpUrl(text))
        ShellOpen(Cp932ToQString(text).toStdString());
}

void CWrenpadView::OpenSelectedFile(bool bPreferEditor)
{
    const std::string strPath = SelectedFilePath();
    if (strPath.empty())
        return;
    std::error_code ec;
    const std::string strOwn = AppProfile().GetString(SECTION_MAIN, "UseWrenpadExtension", "txt;html;htm;c;cpp;java;h;pl");
    if (bPreferEditor && !std::filesystem::is_directory(strPath, ec) && HasExtensionIn(strPath, strOwn))
        SendCopyData(COPYDATA_OPEN_FILE, strPath);
    else
        ShellOpen(strPath);
}

void CWrenpadView::OnOpenInEditor()
{
    const std::string strPath = SelectedFilePath();
    std::error_code ec;
    if (!strPath.empty() && !std::filesystem::is_directory(strPath, ec))
        SendCopyData(COPYDATA_OPEN_FILE, strPath);
}

void CWrenpadView::OnOpenWithShell()
{
    OpenSelectedFile(false);
}

void CWrenpadView::OnFolderSearch()
{
    std::string strFolder;
    const std::size_t nSlash = m_strDocumentPath.rfind('/');
    if (nSlash != std::string::npos)
        strFolder = m_strDocumentPath.substr(0, nSlash > 0 ? nSlash : 1);
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    std::string strText;
    if (b != e) {
        const std::string_view line = GetLineChars(b.y);
        const std::size_t nEnd = b.y == e.y ? static_cast<std::size_t>(e.x) : line.size();
        strText.assign(line.substr(static_cast<std::size_t>(b.x), nEnd - static_cast<std::size_t>(b.x)));
    }
    // The codes of this document's table mean other characters in other
    // files: the dialog takes the characters.
    RequestFolderSearch(strText, strFolder, m_pTextBuffer->GetExtraChars());
}

void CWrenpadView::AddOpenMenu(QMenu *pMenu)
{
    if (!IsSelection())
        return;
    const int nKind = ClassifySelection();
    if (nKind == JUMP_NONE)
        return;
    QMenu *pOpen = BuildResourcePopup(*FindMenuResource(IDR_CONTEXT_MENU),
                                      nKind == JUMP_URL ? CONTEXT_POPUP_URL : CONTEXT_POPUP_FILE, pMenu,
                                      [this](int nID) { RouteCommand(nID); });
    QAction *pFirst = pMenu->actions().isEmpty() ? nullptr : pMenu->actions().first();
    pMenu->insertMenu(pFirst, pOpen);
    pMenu->insertSeparator(pFirst);
}
