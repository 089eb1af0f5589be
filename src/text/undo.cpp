// The undo list: recording of the public edits, groups, undo and redo.
#include "text/textbuffer.h"

#include <algorithm>
#include <array>
#include <exception>

namespace {

// UTF-8 names of the action codes, shown in the undo and redo menu items.
constexpr std::array<const char *, 15> ACTION_NAMES = {
    "Unknown",
    "張り付け",
    "選択削除",
    "切り取り",
    "ﾀｲﾋﾟﾝｸﾞ",
    "ﾊﾞｯｸｽﾍﾟｰｽ",
    "ｲﾝﾃﾞﾝﾄ",
    "ﾄﾞﾗｯｸﾞｱﾝﾄﾞﾄﾞﾛｯﾌﾟ",
    "置換",
    "削除",
    "ｵｰﾄｲﾝﾃﾞﾝﾄ",
    "ｺﾝﾊﾞｰﾄ Char-Set",
    "タグ挿入",
    "挿入",
    "ｲﾝﾃﾞﾝﾄ",
};

} // namespace

CUndoGroup::CUndoGroup(CCrystalTextBuffer &buffer, CBufferView *pSource, bool bMergeWithPrevious)
    : m_buffer(buffer), m_pSource(pSource), m_bOpen(!buffer.IsInUndoGroup()),
      m_nUncaught(std::uncaught_exceptions())
{
    if (m_bOpen)
        m_buffer.BeginUndoGroup(bMergeWithPrevious);
}

CUndoGroup::~CUndoGroup()
{
    if (!m_bOpen)
        return;
    if (std::uncaught_exceptions() > m_nUncaught)
        m_buffer.EndUndoGroup(nullptr);
    else
        Close();
}

void CUndoGroup::Close()
{
    if (!m_bOpen)
        return;
    m_bOpen = false;
    m_buffer.EndUndoGroup(m_pSource);
}

bool CCrystalTextBuffer::InsertText(CBufferView *pSource, int nLine, int nPos, std::string_view text,
                                    int &nEndLine, int &nEndChar, int nAction)
{
    if (!InternalInsertPieces(pSource, nLine, nPos, SplitAtLineBreaks(text), nEndLine, nEndChar))
        return false;
    if (nAction != ACTION_INDENT) {
        UndoEntry rec{UNDO_INSERT, CPoint(nPos, nLine), CPoint(nEndChar, nEndLine), nAction, std::string(text), {}};
        RecordChange(pSource, std::move(rec));
    }
    return true;
}

bool CCrystalTextBuffer::InsertLines(CBufferView *pSource, int nLine, int nPos,
                                     const std::vector<std::string_view> &aPieces, int &nEndLine,
                                     int &nEndChar, int nAction)
{
    if (aPieces.empty())
        return InsertText(pSource, nLine, nPos, std::string_view(), nEndLine, nEndChar, nAction);
    if (!InternalInsertPieces(pSource, nLine, nPos, aPieces, nEndLine, nEndChar))
        return false;
    if (nAction != ACTION_INDENT) {
        UndoEntry rec{UNDO_INSERT, CPoint(nPos, nLine), CPoint(nEndChar, nEndLine), nAction, {}, {}};
        for (std::size_t i = 0; i < aPieces.size(); ++i) {
            if (i > 0)
                rec.strText += "\r\n";
            rec.strText.append(aPieces[i]);
            rec.aPieceLengths.push_back(static_cast<int>(aPieces[i].size()));
        }
        RecordChange(pSource, std::move(rec));
    }
    return true;
}

std::vector<std::string> CCrystalTextBuffer::GetTextLines(int nStartLine, int nStartChar, int nEndLine,
                                                          int nEndChar) const
{
    std::vector<std::string> aLines;
    for (int i = nStartLine; i <= nEndLine; ++i) {
        std::string_view line = GetLine(i);
        const std::size_t nTo = i == nEndLine ? static_cast<std::size_t>(nEndChar) : line.size();
        const std::size_t nFrom = i == nStartLine ? static_cast<std::size_t>(nStartChar) : 0;
        aLines.emplace_back(line.substr(nFrom, nTo > nFrom ? nTo - nFrom : 0));
    }
    return aLines;
}

bool CCrystalTextBuffer::DeleteText(CBufferView *pSource, int nStartLine, int nStartChar,
                                    int nEndLine, int nEndChar, int nAction)
{
    if (m_bReadOnly)
        return false;
    UndoEntry rec;
    if (nAction != ACTION_INDENT) {
        GetText(nStartLine, nStartChar, nEndLine, nEndChar, rec.strText);
        if (nEndLine > nStartLine) {
            rec.aPieceLengths.reserve(static_cast<std::size_t>(nEndLine - nStartLine + 1));
            rec.aPieceLengths.push_back(GetLineLength(nStartLine) - nStartChar);
            for (int i = nStartLine + 1; i < nEndLine; ++i)
                rec.aPieceLengths.push_back(GetLineLength(i));
            rec.aPieceLengths.push_back(nEndChar);
        }
    }
    if (!InternalDeleteText(pSource, nStartLine, nStartChar, nEndLine, nEndChar))
        return false;
    if (nAction != ACTION_INDENT) {
        rec.ptStart = CPoint(nStartChar, nStartLine);
        rec.ptEnd = CPoint(nEndChar, nEndLine);
        rec.nAction = nAction;
        RecordChange(pSource, std::move(rec));
    }
    return true;
}

void CCrystalTextBuffer::RecordChange(CBufferView *pSource, UndoEntry &&rec)
{
    // An edit outside any group is a group of its own.
    CUndoGroup group(*this, pSource);
    AddUndoRecord(std::move(rec));
}

std::vector<std::string_view> CCrystalTextBuffer::SplitRecordPieces(const UndoEntry &rec)
{
    if (rec.aPieceLengths.empty())
        return SplitAtLineBreaks(rec.strText);
    std::vector<std::string_view> aPieces;
    aPieces.reserve(rec.aPieceLengths.size());
    const std::string_view text(rec.strText);
    std::size_t nOffset = 0;
    for (int nLength : rec.aPieceLengths) {
        aPieces.push_back(text.substr(nOffset, static_cast<std::size_t>(nLength)));
        nOffset += static_cast<std::size_t>(nLength) + 2;  // the CR LF between pieces
    }
    return aPieces;
}

void CCrystalTextBuffer::AddUndoRecord(UndoEntry &&rec)
{
    // A new change ends the redo history; if the saved state lay there, no
    // undo or redo can bring it back.
    if (m_nSavedUndoPos > m_nUndoPos)
        m_nSavedUndoPos = -1;
    m_aUndo.resize(static_cast<std::size_t>(m_nUndoPos));

    rec.dwFlags &= UNDO_INSERT;
    const bool bStartsGroup = m_bNextStartsGroup || m_aUndo.empty();
    // Only a new group makes room, by dropping the oldest groups whole: the
    // group being recorded may outgrow the limit, so that one user action (a
    // replace-all of many matches) stays one step of undo.
    if (bStartsGroup && static_cast<int>(m_aUndo.size()) >= m_nUndoLimit) {
        const std::size_t nKeep = static_cast<std::size_t>(m_nUndoLimit - 1);
        std::size_t n = 0;
        while (m_aUndo.size() - n > nKeep) {
            ++n;
            while (n < m_aUndo.size() && !(m_aUndo[n].dwFlags & UNDO_GROUP_START))
                ++n;
        }
        m_aUndo.erase(m_aUndo.begin(), m_aUndo.begin() + static_cast<std::ptrdiff_t>(n));
        // The saved position moves with its record; if its record is gone, the
        // saved text can no longer be reached.
        if (m_nSavedUndoPos >= static_cast<int>(n))
            m_nSavedUndoPos -= static_cast<int>(n);
        else
            m_nSavedUndoPos = -1;
    }
    if (bStartsGroup) {
        m_bNextStartsGroup = false;
        rec.dwFlags |= UNDO_GROUP_START;
    }
    m_aUndo.push_back(std::move(rec));
    m_nUndoPos = static_cast<int>(m_aUndo.size());
    m_bGroupRecorded = true;
    m_ptLastTyped = CPoint(-1, 0);
}

void CCrystalTextBuffer::BeginUndoGroup(bool bMergeWithPrevious)
{
    m_bInUndoGroup = true;
    m_bGroupRecorded = false;
    m_bNextStartsGroup = !(bMergeWithPrevious && m_nUndoPos > 0
                           && static_cast<int>(m_aUndo.size()) < m_nUndoLimit);
}

void CCrystalTextBuffer::EndUndoGroup(CBufferView *pSource)
{
    // The group is closed before the hook runs, so that what the hook does
    // (automatic indentation) is a group of its own and a hook that fails
    // leaves no group open. A group that recorded nothing has no last record
    // of its own: the view is not told of an older one.
    const bool bRecorded = m_bGroupRecorded;
    m_bInUndoGroup = false;
    m_bGroupRecorded = false;
    if (pSource && bRecorded && m_nUndoPos > 0) {
        m_bNextStartsGroup = true;
        // Copies: the hook may edit and so grow the list.
        const UndoEntry &last = m_aUndo[static_cast<std::size_t>(m_nUndoPos - 1)];
        const int nAction = last.nAction;
        const std::string strText = last.strText;
        pSource->OnUndoGroupEnded(nAction, strText);
    }
}

bool CCrystalTextBuffer::CanUndo() const
{
    return m_nUndoPos > 0;
}

bool CCrystalTextBuffer::CanRedo() const
{
    return m_nUndoPos < static_cast<int>(m_aUndo.size());
}

bool CCrystalTextBuffer::IsLongUndoGroup(bool bUndo) const
{
    if (bUndo)
        return m_nUndoPos >= 2 && !(m_aUndo[static_cast<std::size_t>(m_nUndoPos - 1)].dwFlags & UNDO_GROUP_START);
    const std::size_t nNext = static_cast<std::size_t>(m_nUndoPos) + 1;
    return nNext < m_aUndo.size() && !(m_aUndo[nNext].dwFlags & UNDO_GROUP_START);
}

bool CCrystalTextBuffer::Undo(CPoint &ptCursor)
{
    if (!CanUndo() || m_bReadOnly)
        return false;
    m_ptLastTyped = CPoint(-1, 0);
    CBufferBatch batch(*this, nullptr, IsLongUndoGroup(true));
    for (;;) {
        --m_nUndoPos;
        const UndoEntry &rec = m_aUndo[static_cast<std::size_t>(m_nUndoPos)];
        if (rec.dwFlags & UNDO_INSERT) {
            InternalDeleteText(nullptr, rec.ptStart.y, rec.ptStart.x, rec.ptEnd.y, rec.ptEnd.x);
            ptCursor = rec.ptStart;
        } else {
            int nEndLine = 0;
            int nEndChar = 0;
            InternalInsertPieces(nullptr, rec.ptStart.y, rec.ptStart.x, SplitRecordPieces(rec),
                                 nEndLine, nEndChar);
            ptCursor = rec.ptEnd;
        }
        if ((rec.dwFlags & UNDO_GROUP_START) || m_nUndoPos == 0)
            break;
    }
    UpdateModifiedAfterUndo();
    return true;
}

bool CCrystalTextBuffer::Redo(CPoint &ptCursor)
{
    if (!CanRedo() || m_bReadOnly)
        return false;
    m_ptLastTyped = CPoint(-1, 0);
    CBufferBatch batch(*this, nullptr, IsLongUndoGroup(false));
    for (;;) {
        const UndoEntry &rec = m_aUndo[static_cast<std::size_t>(m_nUndoPos)];
        if (rec.dwFlags & UNDO_INSERT) {
            int nEndLine = 0;
            int nEndChar = 0;
            InternalInsertPieces(nullptr, rec.ptStart.y, rec.ptStart.x, SplitRecordPieces(rec), nEndLine,
                                 nEndChar);
            ptCursor = rec.ptEnd;
        } else {
            InternalDeleteText(nullptr, rec.ptStart.y, rec.ptStart.x, rec.ptEnd.y, rec.ptEnd.x);
            ptCursor = rec.ptStart;
        }
        ++m_nUndoPos;
        if (m_nUndoPos >= static_cast<int>(m_aUndo.size())
            || (m_aUndo[static_cast<std::size_t>(m_nUndoPos)].dwFlags & UNDO_GROUP_START))
            break;
    }
    UpdateModifiedAfterUndo();
    return true;
}

void CCrystalTextBuffer::UpdateModifiedAfterUndo()
{
    if (m_nUndoPos == m_nSavedUndoPos)
        SetModified(false);
    else if (!m_bModified)
        SetModified(true);
}

void CCrystalTextBuffer::GetUndoDescription(std::string &strName, int nPos) const
{
    strName.clear();
    int i = (nPos > 0 ? nPos : m_nUndoPos) - 1;
    i = std::min(i, static_cast<int>(m_aUndo.size()) - 1);
    while (i > 0 && !(m_aUndo[static_cast<std::size_t>(i)].dwFlags & UNDO_GROUP_START))
        --i;
    if (i >= 0)
        GetActionName(m_aUndo[static_cast<std::size_t>(i)].nAction, strName);
}

void CCrystalTextBuffer::GetRedoDescription(std::string &strName, int nPos) const
{
    strName.clear();
    const int i = nPos > 0 ? nPos : m_nUndoPos;
    if (i >= 0 && i < static_cast<int>(m_aUndo.size()))
        GetActionName(m_aUndo[static_cast<std::size_t>(i)].nAction, strName);
}

bool CCrystalTextBuffer::GetActionName(int nAction, std::string &strName) const
{
    if (nAction < 0 || nAction >= static_cast<int>(ACTION_NAMES.size())) {
        strName.clear();
        return false;
    }
    strName = ACTION_NAMES[static_cast<std::size_t>(nAction)];
    return true;
}

void CCrystalTextBuffer::ClearUndo()
{
    m_aUndo.clear();
    m_nUndoPos = 0;
    // The saved text is reachable only if the buffer still holds it.
    m_nSavedUndoPos = m_bModified ? -1 : 0;
    m_bNextStartsGroup = true;
    m_ptLastTyped = CPoint(-1, 0);
}
