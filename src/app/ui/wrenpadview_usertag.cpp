// User tags (7600 on), the web menu file's items (8000 on), adding the
// selection as a user tag, the user-tag editor, the completion pop-up and
// reading another attribute list. The lists live in app/tagmenufiles; the
// file formats in html/usertags, html/webmenufile and html/tagalign.
#include "app/docnames.h"
#include "app/ui/mainframe.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpadview.h"
#include "html/ui/completionpopup.h"
#include "html/ui/tagmenufiles.h"
#include "html/ui/usertagdlg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/programfolder.h"
#include "res/commands.h"

#include <algorithm>

namespace {

void RebuildMenus()
{
    if (WrenpadApp() && WrenpadApp()->GetMainFrame())
        WrenpadApp()->GetMainFrame()->RebuildTagMenus();
}

void ReportUnsaved(QWidget *pParent)
{
    MessageBox(pParent,
               QStringLiteral("%1\nに書き込めません。ﾕｰｻﾞｰﾀｸﾞは保存されていません。")
                   .arg(QString::fromStdString(ProgramFilePath(USERTAG_FILE_NAME))),
               QStringLiteral("エラー"), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void CWrenpadView::RegisterUserTagCommands()
{
    OnCommandRange(ID_USERTAG_FIRST, ID_USERTAG_LAST, [this](int nID) { OnUserTag(nID); });
    OnUpdateRange(ID_USERTAG_FIRST, ID_USERTAG_LAST, [](CCmdUI *pCmdUI) {
        pCmdUI->Enable(pCmdUI->GetID() - ID_USERTAG_FIRST < AppUserTags().GetCount());
    });
    OnCommandRange(ID_WEBMENU_FIRST, ID_WEBMENU_LAST, [this](int nID) { OnWebMenuItem(nID); });
    OnUpdateRange(ID_WEBMENU_FIRST, ID_WEBMENU_LAST,
                  [](CCmdUI *pCmdUI) { pCmdUI->Enable(AppWebMenu().FindItem(pCmdUI->GetID()) != nullptr); });
    OnCommand(ID_USERTAG_ADD, [this] { OnAddUserTag(); });
    OnUpdate(ID_USERTAG_ADD, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection()); });
    OnCommand(ID_USERTAG_EDIT, [this] { OnEditUserTags(); });
    OnCommand(ID_TAG_COMPLETION, [this] { OnTagCompletion(); });
    OnCommand(ID_LOAD_OBJECT_LIST, [this] { OnLoadObjectList(); });
}

void CWrenpadView::OnUserTag(int nID)
{
    std::string strOpen;
    std::string strClose;
    if (AppUserTags().GetEntry(nID - ID_USERTAG_FIRST, strOpen, strClose))
        InsertTagPair(strOpen, strClose, true, true);
}

void CWrenpadView::OnWebMenuItem(int nID)
{
    const CWebMenuItem *pItem = AppWebMenu().FindItem(nID);
    if (!pItem)
        return;
    std::string strOpen;
    std::string strClose;
    if (SplitWebMenuPair(pItem->strText, strOpen, strClose))
        InsertTagPair(strOpen, strClose, true, true);
    else if (CanEdit())
        ReplaceSelectedText(pItem->strText, ACTION_REPLACE);
}

void CWrenpadView::OnAddUserTag()
{
    if (!IsSelection())
        return;
    const std::string strText = GetSelectedText();
    if (strText.size() >= USERTAG_MAX_SELECTION) {
        Beep();
        return;
    }
    // The file is the lasting store: read it again, so that a change made
    // meanwhile (another window, by hand) is not lost.
    ReloadUserTags();
    if (!AppUserTags().Add(UserTagTitleFromText(strText), strText, std::string())) {
        MessageBox(this, QStringLiteral("ﾕｰｻﾞｰﾀｸﾞは99個までしか登録できません。"), QStringLiteral("警告"),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    {
        CWaitCursor wait;
        if (!SaveUserTags())
            ReportUnsaved(this);
    }
    RebuildMenus();
}

void CWrenpadView::OnEditUserTags()
{
    ReloadUserTags();
    CUserTagEditDlg dlg(AppUserTags(), this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    AppUserTags().CopyFrom(dlg.GetList());
    {
        CWaitCursor wait;
        if (!SaveUserTags())
            ReportUnsaved(this);
    }
    RebuildMenus();
}

void CWrenpadView::OnTagCompletion()
{
    if (GetTextBuffer() == nullptr)
        return;
    const CPoint ptCaret = GetCursorPos();
    const std::string_view line = GetLineChars(ptCaret.y);
    const std::string_view before = line.substr(0, std::min<std::size_t>(line.size(), ptCaret.x));
    const CCompletion completion = FindCompletion(before, AppTagAlign(), AppUsrAlign());
    if (completion.aItems.empty()) {
        Beep();
        return;
    }
    const int nReplaceFrom = completion.nReplaceFrom;
    auto *pPopup = new CCompletionPopup(this, completion.aItems, completion.nCurrent,
                                        [this, nReplaceFrom](const std::string &strItem) {
                                            InsertCompletion(nReplaceFrom, strItem);
                                        });
    // The caret is a line high: the pop-up keeps off that line.
    const QRect rcCaret = inputMethodQuery(Qt::ImCursorRectangle).toRect();
    pPopup->ShowBeside(QRect(mapToGlobal(rcCaret.topLeft()), rcCaret.size()));
}

void CWrenpadView::InsertCompletion(int nReplaceFrom, const std::string &strItem)
{
    if (!CanEdit())
        return;
    const CPoint ptCaret = GetCursorPos();
    // The caret may have moved while the pop-up was open; only bytes of its
    // own line in front of it are ever replaced.
    const int nFrom = std::clamp(nReplaceFrom, 0, ptCaret.x);
    const CPoint ptFrom(nFrom, ptCaret.y);
    SetSelection(ptFrom, ptCaret);
    ReplaceSelectedText(strItem, ACTION_TYPING);
}

void CWrenpadView::OnLoadObjectList()
{
    CFileDialogRequest request;
    for (const std::string &strFilter : DialogFilterStrings("設定ﾌｧｲﾙ (*.ini)|*.ini|All Files  (*.*)|*.*||"))
        request.aFilters << QString::fromStdString(strFilter);
    request.strDirectory = ProgramFolder();
    const QStringList files = RunFileDialog(this, request);
    if (!files.isEmpty())
        AppUsrAlign().Load(files.first().toStdString());
}
