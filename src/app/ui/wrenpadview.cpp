#include "app/ui/wrenpadview.h"

#include "app/appsettings.h"
#include "app/ui/wrenpaddoc.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/inputmethod.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "syntax/viewtype.h"
#include "text/ui/codec_qt.h"
#include "view/editops.h"
#include "view/ui/fontutil.h"
#include "view/ui/viewdialogs.h"

#include <QKeyEvent>

namespace {

QString CodePointText(char32_t c)
{
    return QStringLiteral("U+%1").arg(static_cast<unsigned>(c), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

CWrenpadView::CWrenpadView(QWidget *pParent) : CCrystalEditView(pParent), m_nViewType(VIEWTYPE_STANDARD)
{
    RegisterPreviewCommands();
    OnCommandRange(VIEWTYPE_COMMAND_FIRST, VIEWTYPE_COMMAND_LAST, [this](int nID) { OnViewType(nID); });
    OnUpdateRange(VIEWTYPE_COMMAND_FIRST, VIEWTYPE_COMMAND_LAST, [this](CCmdUI *pCmdUI) { OnUpdateViewType(pCmdUI); });
    OnCommand(ID_INDENT, [this] { OnIndent(); });
    OnCommand(ID_UNINDENT, [this] { OnUnindent(); });
    OnCommand(ID_MATCH_BRACKET, [this] { OnMatchBracket(false); });
    OnUpdate(ID_MATCH_BRACKET, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!IsSelection()); });
    OnCommand(ID_EDIT_GOTO_LINE, [this] { OnEditGotoLine(); });
    OnCommand(ID_CHAR_CODE, [this] { OnCharCode(); });
    // The document's code, and the code point of a character of its table
    // under the caret: the borrowed code says nothing about the character.
    OnUpdate(ID_INDICATOR_FILECODE, [this](CCmdUI *pCmdUI) {
        if (!m_pDocument || !m_pDocument->OnCmdMsg(ID_INDICATOR_FILECODE, pCmdUI) || !pCmdUI->GetText())
            return;
        if (const char32_t c = CaretExtraChar())
            pCmdUI->SetText(*pCmdUI->GetText() + QLatin1Char(' ') + CodePointText(c));
    });
    RegisterJumpCommands();
    RegisterKanjiCommands();
    RegisterConvCommands();
    RegisterWebCommands();
    RegisterHtmlGenCommands();
    RegisterUserTagCommands();
    RegisterPluginCommands();
}

// ---------------------------------------------------------------------------
// Colouring and settings

void CWrenpadView::SetViewType(int nViewType)
{
    m_nViewType = nViewType;
    m_lineStates.Reset();
    InvalidateTextCaches();
    viewport()->update();
}

std::uint32_t CWrenpadView::ParseLineColors(std::uint32_t dwCookie, int nLineIndex,
                                            ColorBlock *pBuf, int &nActualItems)
{
    return ParseLineByViewType(m_nViewType, *this, dwCookie, nLineIndex, pBuf, nActualItems);
}

void CWrenpadView::OnViewType(int nID)
{
    SetViewType(ViewTypeFromCommand(nID));
}

void CWrenpadView::OnUpdateViewType(CCmdUI *pCmdUI)
{
    pCmdUI->SetCheck(IsViewTypeCommandChecked(pCmdUI->GetID(), m_nViewType) ? 1 : 0);
}

void CWrenpadView::InitialUpdate(const std::string &strPath)
{
    if (!m_pTextBuffer || LocateTextBuffer())
        AttachBuffer();
    m_strDocumentPath = strPath;
    if (!strPath.empty())
        m_nViewType = ViewTypeFromPath(strPath);
    ApplyViewSettings();
}

CCrystalTextBuffer *CWrenpadView::LocateTextBuffer()
{
    return m_pDocument ? &m_pDocument->GetBuffer() : nullptr;
}

QString CWrenpadView::GetPrintHeaderText() const
{
    return m_pDocument ? QString::fromStdString(m_pDocument->GetTitle()) : QString();
}

QFont CWrenpadView::DocumentFont() const
{
    if (m_pDocument)
        return m_pDocument->GetFont();
    const CFontSetting font = LoadFontSetting(AppProfile());
    return MakeViewFont(QString::fromStdString(font.strFace), font.nHeight, font.nWeight);
}

void CWrenpadView::ApplyViewSettings()
{
    const CAppSettings &settings = AppSettings();
    for (int i = 0; i < CLR_COUNT; ++i)
        SetColor(ColorSettingInfo(i).nColorIndex, settings.m_crColors[static_cast<std::size_t>(i)]);
    // The white-space area takes the background colour too.
    SetColor(COLORINDEX_WHITESPACE, settings.m_crColors[CLR_BKGND]);
    SetViewFont(DocumentFont());
    SetAutoIndent(settings.m_bAutoEnter != 0);
    const CProfileStore &store = AppProfile();
    m_bShowTabs = store.GetInt(SECTION_MAIN, "bViewTab", 0) != 0;
    m_bShowZenSpace = store.GetInt(SECTION_MAIN, "bViewZenSpace", 0) != 0;
    m_bShowLineEnds = store.GetInt(SECTION_MAIN, "bViewReturn", 0) != 0;
    viewport()->update();
}

void CWrenpadView::focusInEvent(QFocusEvent *pEvent)
{
    CCrystalEditView::focusInEvent(pEvent);
    if (m_bFocusedBefore)
        return;
    m_bFocusedBefore = true;
    // Answered on a thread of the switch's own; the focus never waits for the bus.
    if (AppSettings().m_bIMEModeON)
        InputMethodSwitch().RequestOpen();
}

// ---------------------------------------------------------------------------
// Indent and outdent

void CWrenpadView::WholeLinesOfSelection(CPoint &ptBegin, CPoint &ptEnd)
{
    GetSelectionRange(ptBegin, ptEnd);
    ptBegin.x = 0;
    if (ptEnd.x > 0) {
        const int nLast = GetLineCount() - 1;
        ptEnd = ptEnd.y < nLast ? CPoint(0, ptEnd.y + 1) : CPoint(GetLineLength(nLast), nLast);
    }
}

void CWrenpadView::ReplaceLines(CPoint ptBegin, CPoint ptEnd, const std::vector<std::string> &aLines, int nAction)
{
    CUndoGroup group(*m_pTextBuffer, this);
    m_pTextBuffer->DeleteText(this, ptBegin.y, ptBegin.x, ptEnd.y, ptEnd.x, nAction);
    const std::vector<std::string_view> aViews(aLines.begin(), aLines.end());
    int nEndLine = ptBegin.y;
    int nEndChar = ptBegin.x;
    m_pTextBuffer->InsertLines(this, ptBegin.y, ptBegin.x, aViews, nEndLine, nEndChar, nAction);
    group.Close();
    const CPoint ptNewEnd(nEndChar, nEndLine);
    MoveCaret(ptNewEnd);
    SetSelectionAnchor(ptBegin);
    SelectRange(ptBegin, ptNewEnd);
    ScrollToPosition(ptNewEnd);
}

bool CWrenpadView::IsBoxCommand(int nID) const
{
    return nID == ID_INDENT || nID == ID_UNINDENT || CCrystalEditView::IsBoxCommand(nID);
}

void CWrenpadView::OnEditTab(EIndent eIndent)
{
    if (IsBoxSelection()) {
        IndentSelectedBox(eIndent);
        return;
    }
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (b.y == e.y || !CanEdit()) {
        CCrystalEditView::OnEditTab(eIndent);
        return;
    }
    CWaitCursor wait;
    WholeLinesOfSelection(b, e);
    std::vector<std::string> aLines = m_pTextBuffer->GetTextLines(b.y, b.x, e.y, e.x);
    if (eIndent == INDENT_MORE)
        IndentLines(aLines);
    else
        OutdentLines(aLines, GetTabSize());
    ReplaceLines(b, e, aLines, ACTION_INDENT2);
}

void CWrenpadView::OnIndent()
{
    if (IsBoxSelection()) {
        IndentSelectedBox(INDENT_MORE);
        return;
    }
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (b.y != e.y) {
        OnEditTab(INDENT_MORE);
        return;
    }
    if (!CanEdit())
        return;
    if (e.x == 0) {
        CCrystalEditView::OnEditTab(INDENT_MORE);
        return;
    }
    // A tab at the start of the line; the selection keeps its text.
    const CPoint ptAnchor = m_ptSelAnchor;
    const CPoint ptCaret = m_ptCaret;
    PlaceCaret(CPoint(0, e.y));
    ReplaceSelectedText("\t", ACTION_INDENT2);
    auto shifted = [](CPoint pt) { return CPoint(pt.x + 1, pt.y); };
    MoveCaret(shifted(ptCaret));
    SetSelectionAnchor(shifted(ptAnchor));
    SelectRange(shifted(b), shifted(e));
}

void CWrenpadView::OnUnindent()
{
    if (IsBoxSelection()) {
        IndentSelectedBox(INDENT_LESS);
        return;
    }
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (b.y != e.y) {
        OnEditTab(INDENT_LESS);
        return;
    }
    if (!CanEdit() || e.x == 0)
        return;
    const std::string_view head = GetLineChars(e.y).substr(0, static_cast<std::size_t>(e.x));
    const std::string_view rest = WithoutIndentStep(head, GetTabSize());
    if (rest.size() == head.size())
        return;
    const int nLength = e.x - b.x;
    const std::string strRest(rest);
    CUndoGroup group(*m_pTextBuffer, this);
    m_pTextBuffer->DeleteText(this, e.y, 0, e.y, e.x, ACTION_INDENT2);
    int nEndLine = e.y;
    int nEndChar = 0;
    if (!strRest.empty())
        m_pTextBuffer->InsertText(this, e.y, 0, strRest, nEndLine, nEndChar, ACTION_INDENT2);
    group.Close();
    const CPoint ptEnd(nEndChar, nEndLine);
    const CPoint ptStart(std::max(0, nEndChar - nLength), nEndLine);
    MoveCaret(ptEnd);
    SetSelectionAnchor(ptStart);
    SelectRange(ptStart, ptEnd);
    ScrollToPosition(ptEnd);
}

// ---------------------------------------------------------------------------
// Bracket jump, line jump, character code

void CWrenpadView::OnMatchBracket(bool bSelect)
{
    if (!m_pTextBuffer || IsSelection())
        return;
    CBracketMatch match;
    if (!FindMatchingBracket(*m_pTextBuffer, m_ptCaret, match)) {
        Beep();
        return;
    }
    if (!bSelect) {
        CPoint pt = match.ptMatch;
        if (match.bCaretAfter && match.bForward)
            ++pt.x;
        PlaceCaret(pt);
        return;
    }
    CPoint ptFrom;
    CPoint ptTo;
    if (match.bForward) {
        ptFrom = match.ptBracket;
        ptTo = CPoint(match.ptMatch.x + 1, match.ptMatch.y);
    } else {
        ptFrom = match.ptMatch;
        ptTo = CPoint(match.ptBracket.x + 1, match.ptBracket.y);
    }
    MoveCaret(ptTo);
    SetSelectionAnchor(ptFrom);
    SelectRange(ptFrom, ptTo);
    ScrollToPosition(ptTo);
}

bool CWrenpadView::OnUnhandledKey(QKeyEvent *pEvent)
{
    const Qt::KeyboardModifiers mods = pEvent->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier)
        && (pEvent->key() == Qt::Key_BracketRight || pEvent->key() == Qt::Key_BraceRight)) {
        OnMatchBracket(true);
        return true;
    }
    return CCrystalEditView::OnUnhandledKey(pEvent);
}

void CWrenpadView::OnEditGotoLine()
{
    CGotoLineDlg dlg(m_ptCaret.y + 1, GetLineCount(), this);
    if (ExecDialog(&dlg) == QDialog::Accepted)
        SelectLine(dlg.GetLine() - 1);
}

char32_t CWrenpadView::CaretExtraChar() const
{
    const CExtraChars *pExtra = m_pTextBuffer ? m_pTextBuffer->GetExtraChars() : nullptr;
    if (!pExtra || m_ptCaret.y >= GetLineCount())
        return 0;
    const std::string_view chars = CharacterAt(GetLineChars(m_ptCaret.y), m_ptCaret.x);
    return chars.size() == 2 ? pExtra->CharOf(static_cast<unsigned char>(chars[0]), static_cast<unsigned char>(chars[1]))
                             : 0;
}

void CWrenpadView::OnCharCode()
{
    if (!m_pTextBuffer || GetLineCount() == 0)
        return;
    const std::string_view chars = CharacterAt(GetLineChars(m_ptCaret.y), m_ptCaret.x);
    if (chars.empty())
        return;
    // A character of the document's table shows its Unicode code point
    // beside the code it borrows.
    QString strCode = QString::fromStdString(CharCodeText(chars));
    if (const char32_t c = CaretExtraChar())
        strCode += QStringLiteral(" (%1)").arg(CodePointText(c));
    CCharCodeDlg dlg(DocTextToQString(chars, m_pTextBuffer->GetExtraChars()), strCode, this);
    ExecDialog(&dlg);
}
