#include "view/boxedit.h"

#include "view/boxgeom.h"
#include "view/editops.h"
#include "view/textgeom.h"

#include <algorithm>

namespace {

// Makes one line's change with as few bytes recorded as the change needs.
bool ApplyLineEdit(CCrystalTextBuffer &buffer, CBufferView *pSource, int nLine, const CBoxLineEdit &edit, int nAction)
{
    if (edit.ChangesNothing(buffer.GetLine(nLine)))
        return false;
    if (edit.nTo > edit.nFrom)
        buffer.DeleteText(pSource, nLine, edit.nFrom, nLine, edit.nTo, nAction);
    if (!edit.strText.empty()) {
        // Inserted as one piece: bytes such as CR in a copied line stay in it.
        const std::vector<std::string_view> aPieces{edit.strText};
        int nEndLine = 0;
        int nEndChar = 0;
        buffer.InsertLines(pSource, nLine, edit.nFrom, aPieces, nEndLine, nEndChar, nAction);
    }
    return true;
}

// The edit of one line that puts a tab at the box's left column; false for a
// line that ends at the column and gets no trailing tab.
bool TabInEdit(std::string_view line, const CBox &box, int nTabSize, const CExtraChars *pExtra, CBoxLineEdit &edit)
{
    if (LineDisplayLength(line, nTabSize, pExtra) <= box.nLeft)
        return false;
    edit = BoxLineEdit(line, box.nLeft, box.nLeft, nTabSize, "\t", false, pExtra);
    return true;
}

// The edit of one line that takes an indentation step from the box's left
// column; false when there is none to take.
bool TabOutEdit(std::string_view line, const CBox &box, int nTabSize, const CExtraChars *pExtra, CBoxLineEdit &edit)
{
    edit = BoxLineEdit(line, box.nLeft, box.nLeft, nTabSize, std::string_view(), false, pExtra);
    // What follows the column: the blanks of a tab cut there, then the line.
    const std::string strBlanks = edit.strText.substr(static_cast<std::size_t>(edit.nTextTo));
    std::string strRest = strBlanks;
    strRest.append(line.substr(static_cast<std::size_t>(edit.nTo)));
    const std::size_t nRemoved = strRest.size() - WithoutIndentStep(strRest, nTabSize).size();
    if (nRemoved == 0)
        return false;
    edit.strText.resize(static_cast<std::size_t>(edit.nTextTo));
    if (nRemoved <= strBlanks.size())
        edit.strText += strBlanks.substr(nRemoved);
    else
        edit.nTo += static_cast<int>(nRemoved - strBlanks.size());
    return true;
}

int LastLine(const CCrystalTextBuffer &buffer, const CBox &box)
{
    return std::min(box.nBottom, buffer.GetLineCount() - 1);
}

} // namespace

std::vector<std::string> GetBoxText(const CCrystalTextBuffer &buffer, const CBox &box, int nTabSize)
{
    std::vector<std::string> aPieces;
    const int nLast = LastLine(buffer, box);
    if (nLast >= box.nTop)
        aPieces.reserve(static_cast<std::size_t>(nLast - box.nTop + 1));
    for (int i = box.nTop; i <= nLast; ++i)
        aPieces.push_back(BoxTextOfLine(buffer.GetLine(i), box.nLeft, box.nRight, nTabSize, buffer.GetExtraChars()));
    return aPieces;
}

bool ReplaceBox(CCrystalTextBuffer &buffer, CBufferView *pSource, const CBox &box, int nTabSize, std::string_view text,
                int nAction)
{
    if (buffer.IsReadOnly())
        return false;
    CUndoGroup group(buffer, pSource);
    CBufferBatch batch(buffer, pSource);
    bool bChanged = false;
    const int nLast = LastLine(buffer, box);
    for (int i = box.nTop; i <= nLast; ++i) {
        const CBoxLineEdit edit = BoxLineEdit(buffer.GetLine(i), box.nLeft, box.nRight, nTabSize, text, true,
                                              buffer.GetExtraChars());
        bChanged = ApplyLineEdit(buffer, pSource, i, edit, nAction) || bChanged;
    }
    return bChanged;
}

bool InsertBox(CCrystalTextBuffer &buffer, CBufferView *pSource, int nLine, int nColumn,
               const std::vector<std::string_view> &aPieces, int nTabSize, int nAction)
{
    if (buffer.IsReadOnly() || aPieces.empty())
        return false;
    CUndoGroup group(buffer, pSource);
    CBufferBatch batch(buffer, pSource);
    bool bChanged = false;
    const int nNeeded = nLine + static_cast<int>(aPieces.size()) - buffer.GetLineCount();
    if (nNeeded > 0) {
        const int nLast = buffer.GetLineCount() - 1;
        const std::vector<std::string_view> aBreaks(static_cast<std::size_t>(nNeeded) + 1);
        int nEndLine = 0;
        int nEndChar = 0;
        buffer.InsertLines(pSource, nLast, buffer.GetLineLength(nLast), aBreaks, nEndLine, nEndChar, nAction);
        bChanged = true;
    }
    for (std::size_t i = 0; i < aPieces.size(); ++i) {
        const int nAt = nLine + static_cast<int>(i);
        const CBoxLineEdit edit = BoxLineEdit(buffer.GetLine(nAt), nColumn, nColumn, nTabSize, aPieces[i], true,
                                              buffer.GetExtraChars());
        bChanged = ApplyLineEdit(buffer, pSource, nAt, edit, nAction) || bChanged;
    }
    return bChanged;
}

bool IndentBox(CCrystalTextBuffer &buffer, CBufferView *pSource, const CBox &box, EIndent eIndent, int nTabSize,
               int nAction)
{
    if (buffer.IsReadOnly())
        return false;
    const auto lineEdit = eIndent == INDENT_MORE ? TabInEdit : TabOutEdit;
    CUndoGroup group(buffer, pSource);
    CBufferBatch batch(buffer, pSource);
    bool bChanged = false;
    const int nLast = LastLine(buffer, box);
    for (int i = box.nTop; i <= nLast; ++i) {
        CBoxLineEdit edit;
        if (lineEdit(buffer.GetLine(i), box, nTabSize, buffer.GetExtraChars(), edit))
            bChanged = ApplyLineEdit(buffer, pSource, i, edit, nAction) || bChanged;
    }
    return bChanged;
}
