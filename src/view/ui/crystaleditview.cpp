// Typing, the editing keys, undo and redo, and the input method.
#include "view/ui/crystaleditview.h"

#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "text/codedfile.h"
#include "text/extrachars.h"
#include "text/sjis.h"
#include "text/ui/codec_qt.h"
#include "view/editops.h"
#include "view/textgeom.h"
#include "view/wordclass.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

CCrystalEditView::CCrystalEditView(QWidget *pParent) : CCrystalTextView(pParent)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    RegisterEditCommands();
    RegisterFindCommands();
}

CCrystalEditView::~CCrystalEditView() = default;

void CCrystalEditView::RegisterEditCommands()
{
    OnCommand(ID_EDIT_DELETE, [this] { OnEditDelete(); });
    OnCommand(ID_EDIT_DELETE_BACK, [this] { OnEditDeleteBack(); });
    OnCommand(ID_EDIT_DELETE_WORD_BACK, [this] { OnEditDeleteWordBack(); });
    OnCommand(ID_EDIT_TAB, [this] { OnEditTab(INDENT_MORE); });
    OnCommand(ID_EDIT_UNTAB, [this] { OnEditTab(INDENT_LESS); });
    OnCommand(ID_EDIT_SWITCH_OVRMODE, [this] { OnToggleOverwrite(); });
    OnUpdate(ID_EDIT_SWITCH_OVRMODE, [this](CCmdUI *pCmdUI) { pCmdUI->SetCheck(m_bOverwriteMode ? 1 : 0); });
    OnUpdate(ID_INDICATOR_OVR, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(m_bOverwriteMode); });
    OnUpdate(ID_EDIT_INDICATOR_READ, [this](CCmdUI *pCmdUI) {
        pCmdUI->Enable(m_pTextBuffer && m_pTextBuffer->IsReadOnly());
    });

    OnCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    OnCommand(ID_EDIT_CUT, [this] { OnEditCut(); });
    OnCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    OnUpdate(ID_EDIT_COPY, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection()); });
    OnUpdate(ID_EDIT_CUT, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection() && CanEdit()); });
    OnUpdate(ID_EDIT_PASTE, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(CanEdit() && CanPaste()); });

    OnCommand(ID_EDIT_UNDO, [this] { OnEditUndo(); });
    OnCommand(ID_EDIT_REDO, [this] { OnEditRedo(); });
    OnUpdate(ID_EDIT_UNDO, [this](CCmdUI *pCmdUI) {
        const bool bCan = m_pTextBuffer && m_pTextBuffer->CanUndo();
        pCmdUI->Enable(bCan);
        if (pCmdUI->IsMenu()) {
            std::string strName;
            if (bCan)
                m_pTextBuffer->GetUndoDescription(strName);
            pCmdUI->SetText(bCan ? QStringLiteral("元に戻す(&U) %1\tCtrl+Z").arg(QString::fromStdString(strName))
                                 : QStringLiteral("元に戻す(&U)\tCtrl+Z"));
        }
    });
    OnUpdate(ID_EDIT_REDO, [this](CCmdUI *pCmdUI) {
        const bool bCan = m_pTextBuffer && m_pTextBuffer->CanRedo();
        pCmdUI->Enable(bCan);
        if (pCmdUI->IsMenu()) {
            std::string strName;
            if (bCan)
                m_pTextBuffer->GetRedoDescription(strName);
            pCmdUI->SetText(bCan ? QStringLiteral("やり直す(&R) %1\tCtrl+Y").arg(QString::fromStdString(strName))
                                 : QStringLiteral("やり直す(&R)\tCtrl+Y"));
        }
    });
}

bool CCrystalEditView::CanEdit() const
{
    return m_pTextBuffer && !m_pTextBuffer->IsReadOnly();
}

bool CCrystalEditView::RefuseReadOnlyEdit()
{
    if (CanEdit())
        return false;
    // A key that does nothing would leave the user guessing why.
    if (m_pTextBuffer) {
        Beep();
        emit ReadOnlyEditRefused();
    }
    return true;
}

void CCrystalEditView::SetOverwriteMode(bool bOverwrite)
{
    m_bOverwriteMode = bOverwrite;
    UpdateCaretDisplay();
}

void CCrystalEditView::OnToggleOverwrite()
{
    SetOverwriteMode(!m_bOverwriteMode);
}

// ---------------------------------------------------------------------------
// Selection operations

void CCrystalEditView::GetSelectedText(CPoint ptStart, CPoint ptEnd, std::string &strText) const
{
    GetText(ptStart, ptEnd, strText);
}

std::string CCrystalEditView::GetSelectedText()
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    std::string strText;
    GetText(b, e, strText);
    return strText;
}

bool CCrystalEditView::DeleteCurrentSelection(int nAction)
{
    if (!IsSelection() || !m_pTextBuffer)
        return false;
    if (m_bBoxSelect) {
        // What is shown selected goes, never the text between the corners.
        const CBox box = GetSelectionBox();
        if (box.HasWidth())
            ReplaceBox(*m_pTextBuffer, this, box, m_nTabSize, std::string_view(), nAction);
        PlaceCaret(CPoint(CaretByteAtColumn(box.nTop, box.nLeft), box.nTop));
        return box.HasWidth();
    }
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    m_pTextBuffer->DeleteText(this, b.y, b.x, e.y, e.x, nAction);
    PlaceCaret(b);
    return true;
}

bool CCrystalEditView::ReplaceSelectedText(std::string_view text, int nAction)
{
    if (!CanEdit())
        return false;
    CUndoGroup group(*m_pTextBuffer, this);
    const bool bHadSelection = DeleteCurrentSelection(nAction);
    int nEndLine = m_ptCaret.y;
    int nEndChar = m_ptCaret.x;
    if (!text.empty()) {
        const int nInsertAction = !bHadSelection && nAction == ACTION_REPLACE ? ACTION_INSERT : nAction;
        m_pTextBuffer->InsertText(this, m_ptCaret.y, m_ptCaret.x, text, nEndLine, nEndChar, nInsertAction);
    }
    PlaceCaret(CPoint(nEndChar, nEndLine));
    return true;
}

// ---------------------------------------------------------------------------
// Typing

void CCrystalEditView::OnTypeChar(unsigned char ch)
{
    const char c = static_cast<char>(ch);
    TypeCharacter(std::string_view(&c, 1));
}

void CCrystalEditView::TypeCharacter(std::string_view chars)
{
    if (!CanEdit() || chars.empty())
        return;
    if (QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton))
        return;
    const auto ch = static_cast<unsigned char>(chars[0]);
    if (m_bBoxSelect) {
        if (ch >= 32) {
            TypeIntoBox(chars);
            return;
        }
        // Enter breaks the caret's line alone; the box ends.
        PlaceCaret(m_ptCaret);
    }

    if (ch == '\r') {
        if (m_bOverwriteMode && m_ptCaret.y < GetLineCount() - 1) {
            PlaceCaret(CPoint(0, m_ptCaret.y + 1));
            return;
        }
        CUndoGroup group(*m_pTextBuffer, this);
        DeleteCurrentSelection(ACTION_TYPING);
        int nEndLine = 0;
        int nEndChar = 0;
        m_pTextBuffer->InsertText(this, m_ptCaret.y, m_ptCaret.x, "\r\n", nEndLine, nEndChar, ACTION_TYPING);
        PlaceCaret(CPoint(nEndChar, nEndLine));
        // Closing the group runs the automatic indentation.
        group.Close();
        return;
    }
    if (ch < 32)
        return;

    // Characters typed one after another at the caret join one group.
    const bool bSelection = IsSelection();
    CUndoGroup group(*m_pTextBuffer, this, !bSelection && m_pTextBuffer->IsLastTypedPos(m_ptCaret));
    if (bSelection) {
        CPoint b;
        CPoint e;
        GetSelectionRange(b, e);
        m_pTextBuffer->DeleteText(this, b.y, b.x, e.y, e.x, ACTION_TYPING);
        MoveCaret(b);
    } else {
        const int nLength = GetLineLength(m_ptCaret.y);
        if (m_bOverwriteMode && m_ptCaret.x < nLength) {
            // Overwrite whole characters covering at least the typed cells,
            // so that no character is left cut in half.
            int x = m_ptCaret.x;
            while (x < nLength && x - m_ptCaret.x < static_cast<int>(chars.size()))
                x = SjisNextChar(GetLineText(m_ptCaret.y), nLength, x);
            m_pTextBuffer->DeleteText(this, m_ptCaret.y, m_ptCaret.x, m_ptCaret.y, x, ACTION_TYPING);
        }
    }
    int nEndLine = 0;
    int nEndChar = 0;
    m_pTextBuffer->InsertText(this, m_ptCaret.y, m_ptCaret.x, chars, nEndLine, nEndChar, ACTION_TYPING);
    PlaceCaret(CPoint(nEndChar, nEndLine));
    group.Close();
    m_pTextBuffer->SetLastTypedPos(m_ptCaret);
}

void CCrystalEditView::TypeText(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto n = static_cast<std::size_t>(SjisCharLength(bytes.data() + i, bytes.size() - i));
        TypeCharacter(bytes.substr(i, n));
        i += n;
    }
}

void CCrystalEditView::OnUndoGroupEnded(int nAction, std::string_view text)
{
    if (nAction != ACTION_TYPING || text != "\r\n" || !m_bAutoIndent || m_bOverwriteMode || !CanEdit())
        return;
    if (m_ptCaret.y == 0)
        return;
    const std::string strBlanks(LeadingBlanks(GetLineChars(m_ptCaret.y - 1)));
    if (strBlanks.empty())
        return;
    int nEndLine = 0;
    int nEndChar = 0;
    m_pTextBuffer->InsertText(this, m_ptCaret.y, m_ptCaret.x, strBlanks, nEndLine, nEndChar, ACTION_AUTOINDENT);
    PlaceCaret(CPoint(nEndChar, nEndLine));
}

bool CCrystalEditView::OnUnhandledKey(QKeyEvent *pEvent)
{
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        if (pEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        if (!RefuseReadOnlyEdit())
            OnTypeChar('\r');
        return true;
    }
    const QString strText = pEvent->text();
    if (strText.isEmpty() || (pEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    // Function keys are no characters, whatever text a platform gives them.
    if (pEvent->key() >= Qt::Key_F1 && pEvent->key() <= Qt::Key_F35)
        return false;
    for (QChar c : strText)
        if (c.unicode() < 32 || c.unicode() == 127)
            return false;
    if (RefuseReadOnlyEdit())
        return true;
    std::string bytes;
    if (TextForInsert(strText, bytes))
        TypeText(bytes);
    return true;
}

bool CCrystalEditView::TextForInsert(QStringView text, std::string &bytes)
{
    int nBad = 0;
    char32_t cFirst = 0;
    bytes = QStringToDocText(text, m_pTextBuffer->GetExtraChars(), &nBad, &cFirst);
    return AcceptUnmappable(nBad, cFirst);
}

bool CCrystalEditView::AcceptUnmappable(int nBad, char32_t cFirst)
{
    if (nBad == 0)
        return true;
    const QString strChar = cFirst != 0 ? QString::fromStdString(DescribeCodePoint(cFirst))
                                        : QStringLiteral("(対のないサロゲート)");
    const QString strWhy = m_pTextBuffer->GetExtraChars()
                               ? QStringLiteral("この文書で使える Shift-JIS にない文字は %1 種類までです。")
                                     .arg(EXTRA_CHAR_LIMIT)
                               : QStringLiteral("この文書は Shift-JIS のため、Shift-JIS にない文字は入れられません。");
    QString strText = QStringLiteral("文字 %1 は文書に入れられません。\n%2\n").arg(strChar, strWhy);
    if (nBad > 1)
        strText += QStringLiteral("ほかにも入れられない文字があります (全部で %1 文字)。\n").arg(nBad);
    strText += QStringLiteral("「?」にして入れますか？");
    if (MessageBox(this, strText, QStringLiteral("文字コード"), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return false;
    emit UnmappableCharacters(nBad);
    return true;
}

void CCrystalEditView::inputMethodEvent(QInputMethodEvent *pEvent)
{
    m_strPreedit = pEvent->preeditString();
    const QString strCommit = pEvent->commitString();
    if (!strCommit.isEmpty() && !RefuseReadOnlyEdit()) {
        std::string bytes;
        if (TextForInsert(strCommit, bytes))
            TypeText(bytes);
    }
    viewport()->update();
    pEvent->accept();
}

// ---------------------------------------------------------------------------
// Delete, Backspace, Tab

void CCrystalEditView::OnEditDelete()
{
    if (RefuseReadOnlyEdit())
        return;
    if (m_bBoxSelect) {
        DeleteBoxText(false);
        return;
    }
    if (DeleteCurrentSelection(ACTION_DELETE))
        return;
    CPoint ptEnd = m_ptCaret;
    const int nLength = GetLineLength(m_ptCaret.y);
    if (m_ptCaret.x >= nLength) {
        if (m_ptCaret.y >= GetLineCount() - 1)
            return;
        ptEnd = CPoint(0, m_ptCaret.y + 1);
    } else {
        ptEnd.x = SjisNextChar(GetLineText(m_ptCaret.y), nLength, m_ptCaret.x);
    }
    m_pTextBuffer->DeleteText(this, m_ptCaret.y, m_ptCaret.x, ptEnd.y, ptEnd.x, ACTION_DELETE);
    PlaceCaret(m_ptCaret);
}

void CCrystalEditView::OnEditDeleteBack()
{
    if (RefuseReadOnlyEdit())
        return;
    if (m_bBoxSelect) {
        DeleteBoxText(true);
        return;
    }
    if (IsSelection()) {
        OnEditDelete();
        return;
    }
    CPoint ptStart = m_ptCaret;
    if (m_ptCaret.x > 0) {
        ptStart.x = SjisPrevChar(GetLineText(m_ptCaret.y), GetLineLength(m_ptCaret.y), m_ptCaret.x);
    } else if (m_ptCaret.y > 0) {
        ptStart = CPoint(GetLineLength(m_ptCaret.y - 1), m_ptCaret.y - 1);
    } else {
        return;
    }
    m_pTextBuffer->DeleteText(this, ptStart.y, ptStart.x, m_ptCaret.y, m_ptCaret.x, ACTION_BACKSPACE);
    PlaceCaret(ptStart);
}

void CCrystalEditView::OnEditDeleteWordBack()
{
    if (RefuseReadOnlyEdit())
        return;
    // A selection goes as with Backspace, and so does the line break at the
    // start of a line: there is no word before it on its line.
    if (IsSelection() || m_bBoxSelect || m_ptCaret.x == 0) {
        OnEditDeleteBack();
        return;
    }
    const CPoint ptStart(WordLeftInLine(GetLineChars(m_ptCaret.y), m_ptCaret.x), m_ptCaret.y);
    m_pTextBuffer->DeleteText(this, ptStart.y, ptStart.x, m_ptCaret.y, m_ptCaret.x, ACTION_BACKSPACE);
    PlaceCaret(ptStart);
}

void CCrystalEditView::OnEditTab(EIndent eIndent)
{
    if (m_bBoxSelect)
        IndentSelectedBox(eIndent);
    else if (eIndent == INDENT_MORE)
        InsertTab();
    else
        MoveToPreviousTabStop();
}

void CCrystalEditView::InsertTab()
{
    if (RefuseReadOnlyEdit())
        return;
    if (m_bOverwriteMode && !IsSelection() && m_ptCaret.x < GetLineLength(m_ptCaret.y)) {
        // Move to the next tab stop over the text, stopping after a tab or at the line end.
        const std::string_view line = GetLineChars(m_ptCaret.y);
        const int nTab = m_nTabSize > 0 ? m_nTabSize : 1;
        const int nTarget = (TextToColumn(m_ptCaret.y, m_ptCaret.x) / nTab + 1) * nTab;
        int x = m_ptCaret.x;
        int nColumn = TextToColumn(m_ptCaret.y, x);
        while (x < static_cast<int>(line.size()) && nColumn < nTarget) {
            const char c = line[static_cast<std::size_t>(x)];
            nColumn = StepColumn(line, x, nColumn, nTab, GetCellTable());
            if (c == '\t')
                break;
        }
        PlaceCaret(CPoint(x, m_ptCaret.y));
        return;
    }
    CUndoGroup group(*m_pTextBuffer, this);
    DeleteCurrentSelection(ACTION_TYPING);
    int nEndLine = 0;
    int nEndChar = 0;
    m_pTextBuffer->InsertText(this, m_ptCaret.y, m_ptCaret.x, "\t", nEndLine, nEndChar, ACTION_TYPING);
    PlaceCaret(CPoint(nEndChar, nEndLine));
}

void CCrystalEditView::MoveToPreviousTabStop()
{
    if (!m_pTextBuffer || m_ptCaret.x == 0)
        return;
    const int nTab = m_nTabSize > 0 ? m_nTabSize : 1;
    const int nColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    int nTarget = nColumn / nTab * nTab;
    if (nTarget == nColumn)
        nTarget -= nTab;
    nTarget = std::max(0, nTarget);
    // The byte at or before the target column.
    const std::string_view line = GetLineChars(m_ptCaret.y);
    int x = 0;
    int nCol = 0;
    while (x < m_ptCaret.x) {
        int nNextX = x;
        const int nNextCol = StepColumn(line, nNextX, nCol, nTab, GetCellTable());
        if (nNextCol > nTarget)
            break;
        x = nNextX;
        nCol = nNextCol;
    }
    PlaceCaret(CPoint(x, m_ptCaret.y));
}

// ---------------------------------------------------------------------------
// Undo and redo

void CCrystalEditView::OnEditUndo()
{
    if (!CanEdit() || !m_pTextBuffer->CanUndo())
        return;
    CPoint pt;
    if (m_pTextBuffer->Undo(pt))
        PlaceCaret(pt);
}

void CCrystalEditView::OnEditRedo()
{
    if (!CanEdit() || !m_pTextBuffer->CanRedo())
        return;
    CPoint pt;
    if (m_pTextBuffer->Redo(pt))
        PlaceCaret(pt);
}
