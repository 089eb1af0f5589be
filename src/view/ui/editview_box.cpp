// Editing a box selection: copy, cut, paste, Delete, Backspace, typing (and
// the input method's text) and Tab on every line of the box at once. What
// each line gains and loses is boxedit's; here the box is read from the view
// and put back where the text went, and each operation is one step of undo.
#include "view/ui/crystaleditview.h"

#include "res/commands.h"
#include "view/boxedit.h"
#include "view/boxgeom.h"
#include "view/textgeom.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <algorithm>

bool CCrystalEditView::IsBoxCommand(int nID) const
{
    switch (nID) {
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
    case ID_EDIT_PASTE:
    case ID_EDIT_DELETE:
    case ID_EDIT_DELETE_BACK:
    case ID_EDIT_DELETE_WORD_BACK:
    case ID_EDIT_TAB:
    case ID_EDIT_UNTAB:
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO:
    case ID_EDIT_SWITCH_OVRMODE:
        return true;
    default:
        return CCrystalTextView::IsBoxCommand(nID);
    }
}

void CCrystalEditView::CopyBoxToClipboard()
{
    if (!m_pTextBuffer)
        return;
    QApplication::clipboard()->setMimeData(
        MimeFromLines(GetBoxText(*m_pTextBuffer, GetSelectionBox(), m_nTabSize), true, m_pTextBuffer->GetExtraChars()));
}

void CCrystalEditView::ReplaceSelectedBox(const CBox &box, std::string_view text, int nAction, bool bMerge)
{
    if (!CanEdit())
        return;
    // Where the text ends on the caret's line tells where the box goes next.
    const int nCaretLine = m_ptCaret.y;
    const int nAnchorLine = m_ptSelAnchor.y;
    const std::string strCaretLine(GetLineChars(nCaretLine));
    const CBoxLineEdit edit = BoxLineEdit(strCaretLine, box.nLeft, box.nRight, m_nTabSize, text, true, GetCellTable());
    {
        CUndoGroup group(*m_pTextBuffer, this, bMerge);
        ReplaceBox(*m_pTextBuffer, this, box, m_nTabSize, text, nAction);
    }
    int nColumn = box.nLeft;
    if (!edit.ChangesNothing(strCaretLine)) {
        nColumn = TextToColumn(nCaretLine, edit.nFrom + edit.nTextTo);
    } else {
        nColumn = ColumnAfter(text, 0, static_cast<int>(text.size()), nColumn, m_nTabSize, GetCellTable());
    }
    if (box.nTop == box.nBottom) {
        PlaceCaret(CPoint(CaretByteAtColumn(nCaretLine, nColumn), nCaretLine));
        return;
    }
    SelectBox(nAnchorLine, nColumn, nCaretLine, nColumn);
    ScrollToCell(nCaretLine, nColumn);
}

void CCrystalEditView::DeleteBoxText(bool bBackward)
{
    CBox box = GetSelectionBox();
    if (!box.HasWidth()) {
        // The character on the near side of the column, on every line; a
        // double-byte character goes whole and a tab loses one cell.
        if (bBackward) {
            if (box.nLeft == 0)
                return;
            --box.nLeft;
        } else {
            ++box.nRight;
        }
    }
    ReplaceSelectedBox(box, std::string_view(), bBackward ? ACTION_BACKSPACE : ACTION_DELETE);
}

void CCrystalEditView::CutBox()
{
    const CBox box = GetSelectionBox();
    CopyBoxToClipboard();
    if (box.HasWidth())
        ReplaceSelectedBox(box, std::string_view(), ACTION_CUT);
}

void CCrystalEditView::TypeIntoBox(std::string_view chars)
{
    // Characters typed one after another into a box of no width join one
    // step of undo, as typing at a caret does.
    const CBox box = GetSelectionBox();
    const bool bMerge = !box.HasWidth() && m_pTextBuffer->IsLastTypedPos(m_ptCaret);
    ReplaceSelectedBox(box, chars, ACTION_TYPING, bMerge);
    m_pTextBuffer->SetLastTypedPos(m_ptCaret);
}

void CCrystalEditView::PasteBox(const QMimeData *pData)
{
    std::vector<std::string> aPieces;
    bool bBox = false;
    int nBad = 0;
    char32_t cFirst = 0;
    if (!LinesFromMime(pData, aPieces, &nBad, &bBox, &cFirst) || !AcceptUnmappable(nBad, cFirst))
        return;
    if (m_bBoxSelect && aPieces.size() == 1) {
        // One line goes in place of the box on every line, as typed text does.
        ReplaceSelectedBox(GetSelectionBox(), aPieces.front(), ACTION_PASTE);
        return;
    }
    CUndoGroup group(*m_pTextBuffer, this);
    int nLine = 0;
    int nColumn = 0;
    if (m_bBoxSelect) {
        const CBox box = GetSelectionBox();
        ReplaceBox(*m_pTextBuffer, this, box, m_nTabSize, std::string_view(), ACTION_PASTE);
        nLine = box.nTop;
        nColumn = box.nLeft;
    } else {
        DeleteCurrentSelection(ACTION_PASTE);
        nLine = m_ptCaret.y;
        nColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    }
    const std::vector<std::string_view> aViews(aPieces.begin(), aPieces.end());
    CPoint ptEnd(CaretByteAtColumn(nLine, nColumn), nLine);
    if (bBox) {
        // The caret ends after the first line's piece.
        const std::string strFirst(GetLineChars(nLine));
        const CBoxLineEdit edit = BoxLineEdit(strFirst, nColumn, nColumn, m_nTabSize, aViews.front(), true, GetCellTable());
        InsertBox(*m_pTextBuffer, this, nLine, nColumn, aViews, m_nTabSize, ACTION_PASTE);
        ptEnd.x = edit.nFrom + edit.nTextTo;
    } else if (!(aPieces.size() == 1 && aPieces.front().empty())) {
        // Text that is not a box goes in as it is, at the box's corner.
        int nEndLine = nLine;
        int nEndChar = ptEnd.x;
        m_pTextBuffer->InsertLines(this, nLine, ptEnd.x, aViews, nEndLine, nEndChar, ACTION_PASTE);
        ptEnd = CPoint(nEndChar, nEndLine);
    }
    group.Close();
    PlaceCaret(ptEnd);
}

void CCrystalEditView::IndentSelectedBox(EIndent eIndent)
{
    if (!CanEdit() || !m_bBoxSelect)
        return;
    const CBox box = GetSelectionBox();
    const int nAnchorLine = m_ptSelAnchor.y;
    const int nCaretLine = m_ptCaret.y;
    int nAnchorColumn = m_nBoxAnchorColumn;
    int nCaretColumn = m_nBoxCaretColumn;
    if (eIndent == INDENT_MORE) {
        if (!IndentBox(*m_pTextBuffer, this, box, INDENT_MORE, m_nTabSize, ACTION_INDENT2))
            return;
        // The text at the left column moved to the next tab stop. A box with
        // width keeps its left column and takes in the new tab, so that
        // Shift+Tab finds it there; one of no width moves past it, as a caret.
        const int nShift = NextColumn('\t', box.nLeft, m_nTabSize) - box.nLeft;
        if (box.HasWidth()) {
            (nAnchorColumn > nCaretColumn ? nAnchorColumn : nCaretColumn) += nShift;
        } else {
            nAnchorColumn += nShift;
            nCaretColumn += nShift;
        }
    } else {
        const int nBefore = GetLineDisplayLength(nCaretLine);
        if (!IndentBox(*m_pTextBuffer, this, box, INDENT_LESS, m_nTabSize, ACTION_INDENT2))
            return;
        // The box keeps its left column and loses on the right what the
        // caret's line lost.
        const int nRight = std::max(box.nLeft, box.nRight - (nBefore - GetLineDisplayLength(nCaretLine)));
        (nAnchorColumn > nCaretColumn ? nAnchorColumn : nCaretColumn) = nRight;
    }
    SelectBox(nAnchorLine, nAnchorColumn, nCaretLine, nCaretColumn);
    ScrollToCell(nCaretLine, nCaretColumn);
}
