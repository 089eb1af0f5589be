// The view's web commands: one handler for the range, the wraps and
// insertions of fixed markup, the tag memory and its repeat, the conversions
// of a whole selection, the colour value, the line-insertion dialog and the
// image map. What the markup is lives in html/; here the selection is read,
// handed over and replaced.
#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "html/lineinsert.h"
#include "html/tagattr.h"
#include "html/tagcase.h"
#include "html/tagpair.h"
#include "html/ui/webdialogs.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "plugin/pluginlibrary.h"
#include "plugin/ui/appplugins.h"
#include "res/commands.h"
#include "text/ui/codec_qt.h"

#include <QFileInfo>

namespace {

// The web commands this view answers. Ids of the range that are missing
// here are not built yet: their menu items stay disabled.
constexpr int WEB_COMMANDS[] = {
    ID_WEB_BOOKMARK,     ID_WEB_JUMP,         ID_WEB_TABLE_ROW,    ID_WEB_HOTLINK,      ID_WEB_FONT,
    ID_WEB_BOLD,         ID_WEB_ITALIC,       ID_WEB_UNDERLINE,    ID_WEB_ALIGN_LEFT,   ID_WEB_CENTER,
    ID_WEB_ALIGN_RIGHT,  ID_WEB_LINE_BREAK,   ID_WEB_PARAGRAPH,    ID_WEB_RULE,         ID_WEB_IMAGE,
    ID_WEB_COMMENT,      ID_WEB_TABLE_CELL,   ID_WEB_ERASE_TAGS,   ID_WEB_HEX_COLOR,    ID_WEB_LINE_INSERT,
    ID_WEB_TAG_CASE,     ID_WEB_REPEAT_TAG,   ID_WEB_BLOCKQUOTE,   ID_WEB_HEADING,      ID_WEB_STRIKE,
    ID_WEB_ENTITY_AMP,   ID_WEB_ENTITY_QUOT,  ID_WEB_ENTITY_LT,    ID_WEB_ENTITY_GT,    ID_WEB_PRE,
    ID_WEB_TAG_MEMORY,   ID_WEB_KEEP_ONLY_TAGS, ID_WEB_IMAGE_MAP,  ID_WEB_STYLE_TAG,  ID_WEB_INDENT_LIST,
    ID_WEB_NUMBERED_LIST, ID_WEB_BULLET_LIST, ID_WEB_TABLE,       ID_WEB_FORM,        ID_WEB_FORM_INPUT,
    ID_WEB_FORM_TEXTAREA, ID_WEB_FORM_LISTBOX, ID_WEB_BASIC_HTML, ID_WEB_TITLE,       ID_WEB_BODY,
    ID_WEB_TAG_ATTRIBUTES,
};

// Commands that wrap the selection in fixed texts, select it again and
// remember the pair.
struct CFixedWrap
{
    int nID;
    const char *pszOpen;
    const char *pszClose;
};
constexpr CFixedWrap FIXED_WRAPS[] = {
    {ID_WEB_BOLD, "<b>", "</b>"},
    {ID_WEB_ITALIC, "<i>", "</i>"},
    {ID_WEB_UNDERLINE, "<u>", "</u>"},
    {ID_WEB_STRIKE, "<s>", "</s>"},
    {ID_WEB_ALIGN_LEFT, "<div align=\"left\">\r\n", "\r\n</div>\r\n"},
    {ID_WEB_CENTER, "<center>", "</center>"},
    {ID_WEB_ALIGN_RIGHT, "<div align=\"right\">\r\n", "</div>\r\n"},
    {ID_WEB_COMMENT, "<!-- ", " -->"},
    {ID_WEB_BLOCKQUOTE, "<blockquote>", "</blockquote>"},
    {ID_WEB_PRE, "<pre>", "</pre>"},
    {ID_WEB_TABLE_ROW, "<tr>", "</tr>"},
};

// Commands that put a fixed text behind the selection.
struct CFixedInsertion
{
    int nID;
    const char *pszText;
};
constexpr CFixedInsertion FIXED_INSERTIONS[] = {
    {ID_WEB_ENTITY_AMP, "&AMP;"},
    {ID_WEB_ENTITY_QUOT, "&QUOT;"},
    {ID_WEB_ENTITY_LT, "&LT;"},
    {ID_WEB_ENTITY_GT, "&GT;"},
};

} // namespace

void CWrenpadView::RegisterWebCommands()
{
    for (const int nID : WEB_COMMANDS) {
        OnCommandRange(nID, nID, [this](int nCommand) { OnWebCommand(nCommand); });
        OnUpdateRange(nID, nID, [this](CCmdUI *pCmdUI) { OnUpdateWebCommand(pCmdUI); });
    }
    OnCommand(ID_TAG_CASE_SETTING, [this] { OnTagCaseSetting(); });
    OnCommand(ID_COMMENT_BLOCK, [this] { OnLineInsert(true); });
    // Taking the comment off again is the removal of a line-head text.
    OnCommand(ID_UNCOMMENT_BLOCK, [this] { OnDeleteLeadingComment(); });
    OnUpdate(ID_INDICATOR_TAGMEMORY, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(m_bTagMemory); });
}

void CWrenpadView::OnWebCommand(int nID)
{
    if (!CanEdit())
        return;
    for (const CFixedWrap &wrap : FIXED_WRAPS) {
        if (wrap.nID == nID) {
            InsertTagPair(wrap.pszOpen, wrap.pszClose, true, true);
            return;
        }
    }
    for (const CFixedInsertion &insertion : FIXED_INSERTIONS) {
        if (insertion.nID == nID) {
            InsertTagPair(std::string(), insertion.pszText, false, true);
            return;
        }
    }
    switch (nID) {
    case ID_WEB_LINE_BREAK:
        InsertTagPair(std::string(), AppSettings().m_bWebBrEn ? "<br>\r\n" : "<br>", false, false);
        return;
    case ID_WEB_PARAGRAPH:
        if (AppSettings().m_bWebPOnly) {
            InsertTagPair(std::string(), "<p>", false, true);
            return;
        }
        break;
    case ID_WEB_ERASE_TAGS:
    case ID_WEB_TAG_CASE:
    case ID_WEB_KEEP_ONLY_TAGS:
        OnTagConversion(nID);
        return;
    case ID_WEB_HEX_COLOR:
        OnHexColor();
        return;
    case ID_WEB_TAG_MEMORY:
        // Switching the memory on starts a new pile.
        if (!m_bTagMemory)
            ForgetTagPair();
        m_bTagMemory = !m_bTagMemory;
        return;
    case ID_WEB_REPEAT_TAG:
        m_bTagMemory = false;
        InsertTagPair(g_strLastTagOpen, g_strLastTagClose, true, true);
        return;
    case ID_WEB_LINE_INSERT:
        OnLineInsert(false);
        return;
    case ID_WEB_IMAGE_MAP:
        OnImageMap();
        return;
    default:
        break;
    }
    OnWebDialogCommand(nID);
}

void CWrenpadView::OnUpdateWebCommand(CCmdUI *pCmdUI)
{
    switch (pCmdUI->GetID()) {
    case ID_WEB_ERASE_TAGS:
    case ID_WEB_LINE_INSERT:
    case ID_WEB_TAG_CASE:
    case ID_WEB_KEEP_ONLY_TAGS:
        pCmdUI->Enable(IsSelection());
        break;
    case ID_WEB_REPEAT_TAG:
        pCmdUI->Enable(!g_strLastTagOpen.empty() || !g_strLastTagClose.empty());
        break;
    default:
        pCmdUI->Enable(true);
        break;
    }
}

// ---------------------------------------------------------------------------
// Wrapping the selection

void CWrenpadView::InsertTagPair(std::string strOpen, std::string strClose, bool bSelect, bool bRemember)
{
    if (!CanEdit())
        return;
    const CAppSettings &settings = AppSettings();
    if (settings.m_bTagState == 1) {
        strOpen = TagCaseA(strOpen, true);
        strClose = TagCaseA(strClose, true);
    }
    InsertTagPairAsIs(strOpen, strClose, bSelect, bRemember);
}

void CWrenpadView::InsertTagPairAsIs(const std::string &strOpen, const std::string &strClose, bool bSelect,
                                     bool bRemember)
{
    if (!CanEdit())
        return;
    const CAppSettings &settings = AppSettings();
    if (bRemember)
        RememberTagPair(strOpen, strClose, m_bTagMemory);

    CPoint ptStart;
    CPoint ptEnd;
    GetSelectionRange(ptStart, ptEnd);
    // The selected lines travel as they are, CR bytes inside a line included.
    std::vector<std::string> aInner = m_pTextBuffer->GetTextLines(ptStart.y, ptStart.x, ptEnd.y, ptEnd.x);
    ReplaceLines(ptStart, ptEnd, WrapLinePieces(strOpen, std::move(aInner), strClose), ACTION_TAGINSERT);

    const bool bReselect = bSelect && settings.m_bWebNoSelectTag == 0;
    const CTagPairSelection sel = PlaceAfterTagPair(ptStart, ptEnd, MeasureInsertedText(strOpen),
                                                    MeasureInsertedText(strClose), bReselect);
    MoveCaret(sel.ptEnd);
    SetSelectionAnchor(sel.ptStart);
    SelectRange(sel.ptStart, sel.ptEnd);
    ScrollToPosition(sel.ptEnd);
}

void CWrenpadView::ReplaceSelectionLines(const std::vector<std::string> &aLines, int nAction)
{
    CPoint ptStart;
    CPoint ptEnd;
    GetSelectionRange(ptStart, ptEnd);
    ReplaceLines(ptStart, ptEnd, aLines, nAction);
    PlaceCaret(GetCursorPos());
}

// ---------------------------------------------------------------------------
// Conversions of the whole selection

void CWrenpadView::OnTagConversion(int nID)
{
    if (!IsSelection())
        return;
    if (nID == ID_WEB_KEEP_ONLY_TAGS
        && MessageBox(this, QStringLiteral("タグ以外の文字を削除してよろしいですか？"), QStringLiteral("確認"),
                      MB_YESNO | MB_ICONINFORMATION)
               != IDYES)
        return;
    CWaitCursor wait;
    CPoint ptStart;
    CPoint ptEnd;
    GetSelectionRange(ptStart, ptEnd);
    std::vector<std::string> aLines = m_pTextBuffer->GetTextLines(ptStart.y, ptStart.x, ptEnd.y, ptEnd.x);
    switch (nID) {
    case ID_WEB_ERASE_TAGS:
        aLines = EraseTags(aLines);
        break;
    case ID_WEB_KEEP_ONLY_TAGS:
        aLines = KeepOnlyTags(aLines);
        break;
    default:
        TagCaseB(aLines, AppSettings().m_bTagState == 1);
        break;
    }
    ReplaceSelectionLines(aLines, ACTION_REPLACE);
}

// ---------------------------------------------------------------------------
// Colour value

void CWrenpadView::OnHexColor()
{
    int r = 0;
    int g = 0;
    int b = 0;
    if (m_strLastColor.size() == 7 && m_strLastColor[0] == '#')
        ParseHexColor(m_strLastColor, r, g, b);
    // A colour value that is selected is the one to change.
    const std::string strSelected = IsSelection() ? GetSelectedText() : std::string();
    if (strSelected.size() == 7 && strSelected[0] == '#')
        ParseHexColor(strSelected, r, g, b);
    QColor chosen;
    if (!ChooseColor(this, QColor(r, g, b), chosen))
        return;
    m_strLastColor = FormatHexColor(chosen.red(), chosen.green(), chosen.blue());
    ReplaceSelectedText(m_strLastColor, ACTION_REPLACE);
}

// ---------------------------------------------------------------------------
// Tag case, line insertion

void CWrenpadView::OnTagCaseSetting()
{
    CTagCaseDlg dlg(AppSettings().m_bTagState == 1, this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    const int nState = dlg.IsUpperCase() ? 1 : 0;
    AppSettings().m_bTagState = nState;
    AppProfile().WriteInt(SECTION_MAIN, "bTagState", nState);
}

void CWrenpadView::OnLineInsert(bool bCommentBlock)
{
    if (!CanEdit())
        return;
    CProfileStore &store = AppProfile();
    CLineInsertDlg dlg(QString::fromStdString(store.GetString(SECTION_MAIN, "strDelComment", "//")),
                       QString::fromStdString(store.GetString(SECTION_MAIN, "strFootComment", "")), this);
    if (bCommentBlock)
        dlg.PresetCommentBlock();
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    store.WriteString(SECTION_MAIN, "strDelComment", dlg.GetHeadText().toStdString());
    store.WriteString(SECTION_MAIN, "strFootComment", dlg.GetTailText().toStdString());
    if (!dlg.IsHeadOn() && !dlg.IsTailOn())
        return;

    const bool bUpper = AppSettings().m_bTagState == 1;
    const std::string strHead = dlg.IsHeadOn() ? LinePieceText(dlg.GetHeadKind(), dlg.GetHeadCount(),
                                                                QStringToCp932(dlg.GetHeadText()), bUpper)
                                                : std::string();
    const std::string strTail = dlg.IsTailOn() ? LinePieceText(dlg.GetTailKind(), dlg.GetTailCount(),
                                                                QStringToCp932(dlg.GetTailText()), bUpper)
                                                : std::string();
    CWaitCursor wait;
    // Whole lines: a selection that ends at the start of a line leaves that line out.
    CPoint ptStart;
    CPoint ptEnd;
    GetSelectionRange(ptStart, ptEnd);
    if (ptEnd.y > ptStart.y && ptEnd.x == 0)
        --ptEnd.y;
    ptStart.x = 0;
    ptEnd.x = GetLineLength(ptEnd.y);
    std::vector<std::string> aLines = m_pTextBuffer->GetTextLines(ptStart.y, ptStart.x, ptEnd.y, ptEnd.x);
    AddToLines(aLines, strHead, strTail);
    ReplaceLines(ptStart, ptEnd, aLines, ACTION_INSERT);
}

// ---------------------------------------------------------------------------
// Image map

void CWrenpadView::OnImageMap()
{
    CImageMapPlugin plugin;
    switch (plugin.Open(AppPluginFolders())) {
    case IMAGEMAP_OK:
        break;
    case IMAGEMAP_NO_ENTRY:
        MessageBox(this, QStringLiteral("WpImgMapプラグインのアクセスに失敗しました。"), QString(),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    default:
        MessageBox(this, QStringLiteral("WpImgMapプラグインのロードに失敗しました。"), QString(),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CFileDialogRequest request;
    request.aFilters = {QStringLiteral("イメージファイル (*.jpg *.jpe *.jpeg *.bmp *.png *.gif)"),
                        QStringLiteral("すべてのファイル (*)")};
    if (!GetDocumentPath().empty())
        request.strDirectory = QFileInfo(QString::fromStdString(GetDocumentPath())).absolutePath();
    const QStringList files = RunFileDialog(this, request);
    if (files.isEmpty())
        return;
    CWaitCursor wait;
    std::string strMarkup;
    if (plugin.Run(files.first().toStdString(), strMarkup) != IMAGEMAP_OK)
        return;
    InsertTagPair(std::string(), strMarkup, false, true);
}
