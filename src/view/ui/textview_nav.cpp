// Keyboard navigation and bookmarks of the text view. The caret never stops
// between the two bytes of a character.
#include "view/ui/crystaltextview.h"

#include "res/commands.h"
#include "text/sjis.h"
#include "view/wordclass.h"

#include <algorithm>

void CCrystalTextView::RegisterNavigationCommands()
{
    struct Move
    {
        int nID;
        void (CCrystalTextView::*pfn)(bool);
    };
    static const Move moves[] = {
        {ID_EDIT_CHAR_LEFT, &CCrystalTextView::MoveLeft},       {ID_EDIT_CHAR_RIGHT, &CCrystalTextView::MoveRight},
        {ID_EDIT_WORD_LEFT, &CCrystalTextView::MoveWordLeft},   {ID_EDIT_WORD_RIGHT, &CCrystalTextView::MoveWordRight},
        {ID_EDIT_LINE_UP, &CCrystalTextView::MoveUp},           {ID_EDIT_LINE_DOWN, &CCrystalTextView::MoveDown},
        {ID_EDIT_PAGE_UP, &CCrystalTextView::MovePgUp},         {ID_EDIT_PAGE_DOWN, &CCrystalTextView::MovePgDn},
        {ID_EDIT_LINE_END, &CCrystalTextView::MoveEnd},         {ID_EDIT_HOME, &CCrystalTextView::MoveHome},
        {ID_EDIT_TEXT_BEGIN, &CCrystalTextView::MoveCtrlHome},  {ID_EDIT_TEXT_END, &CCrystalTextView::MoveCtrlEnd},
    };
    for (const Move &m : moves) {
        // The selecting variant is the next id.
        OnCommand(m.nID, [this, pfn = m.pfn] { (this->*pfn)(false); });
        OnCommand(m.nID + 1, [this, pfn = m.pfn] { (this->*pfn)(true); });
    }
    OnCommand(ID_EDIT_SCROLL_UP, [this] { ScrollUp(); });
    OnCommand(ID_EDIT_SCROLL_DOWN, [this] { ScrollDown(); });
    OnCommand(ID_EDIT_SELECT_ALL, [this] { SelectAllText(); });
}

void CCrystalTextView::FinishMove(bool bSelect)
{
    ScrollToPosition(m_ptCaret);
    if (!bSelect)
        m_ptSelAnchor = m_ptCaret;
    SelectRange(m_ptSelAnchor, m_ptCaret);
}

void CCrystalTextView::MoveLeft(bool bSelect)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (!bSelect && b != e) {
        m_ptCaret = b;
    } else if (m_ptCaret.x > 0) {
        --m_ptCaret.x;
        if (m_ptCaret.x > 0 && m_pTextBuffer && m_pTextBuffer->IsTrailByteAt(m_ptCaret.y, m_ptCaret.x))
            --m_ptCaret.x;
    } else if (m_ptCaret.y > 0) {
        --m_ptCaret.y;
        m_ptCaret.x = GetLineLength(m_ptCaret.y);
    }
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MoveRight(bool bSelect)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (!bSelect && b != e) {
        m_ptCaret = e;
    } else if (m_ptCaret.x < GetLineLength(m_ptCaret.y)) {
        ++m_ptCaret.x;
        m_ptCaret = AfterTrailByte(m_ptCaret);
    } else if (m_ptCaret.y < GetLineCount() - 1) {
        m_ptCaret = CPoint(0, m_ptCaret.y + 1);
    }
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MoveWordLeft(bool bSelect)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (!bSelect && b != e) {
        MoveLeft(false);
        return;
    }
    if (m_ptCaret.x == 0) {
        if (m_ptCaret.y > 0) {
            --m_ptCaret.y;
            m_ptCaret.x = GetLineLength(m_ptCaret.y);
        }
    } else {
        m_ptCaret.x = WordLeftInLine(GetLineChars(m_ptCaret.y), m_ptCaret.x);
    }
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MoveWordRight(bool bSelect)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (!bSelect && b != e) {
        MoveRight(false);
        return;
    }
    if (m_ptCaret.x >= GetLineLength(m_ptCaret.y)) {
        // The line break is a stop of its own, as it is for word left.
        if (m_ptCaret.y >= GetLineCount() - 1)
            return;
        m_ptCaret = CPoint(0, m_ptCaret.y + 1);
    } else {
        m_ptCaret.x = WordRightInLine(GetLineChars(m_ptCaret.y), m_ptCaret.x);
    }
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MoveUp(bool bSelect)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (!bSelect && b != e)
        m_ptCaret = b;
    if (m_ptCaret.y > 0) {
        if (m_nWantedColumn == -1)
            m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
        --m_ptCaret.y;
        m_ptCaret.x = std::min(ColumnToText(m_ptCaret.y, m_nWantedColumn), GetLineLength(m_ptCaret.y));
        m_ptCaret = AfterTrailByte(m_ptCaret);
    }
    FinishMove(bSelect);
}

void CCrystalTextView::MoveDown(bool bSelect)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (!bSelect && b != e)
        m_ptCaret = e;
    if (m_ptCaret.y < GetLineCount() - 1) {
        if (m_nWantedColumn == -1)
            m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
        ++m_ptCaret.y;
        m_ptCaret.x = std::min(ColumnToText(m_ptCaret.y, m_nWantedColumn), GetLineLength(m_ptCaret.y));
        m_ptCaret = AfterTrailByte(m_ptCaret);
    }
    FinishMove(bSelect);
}

void CCrystalTextView::MovePgUp(bool bSelect)
{
    const int nStep = std::max(0, GetVisibleLineCount() - 1);
    const int nFirst = std::max(0, m_nFirstVisibleLine - nStep);
    if (nFirst != m_nFirstVisibleLine) {
        ScrollToFirstLine(nFirst);
        SyncSplitScroll(true);
    }
    m_ptCaret.y = std::max(0, m_ptCaret.y - nStep);
    m_ptCaret.x = std::min(m_ptCaret.x, GetLineLength(m_ptCaret.y));
    m_ptCaret = AfterTrailByte(m_ptCaret);
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MovePgDn(bool bSelect)
{
    const int nLast = GetLineCount() - 1;
    const int nStep = std::max(0, GetVisibleLineCount() - 1);
    const int nFirst = std::min(nLast, m_nFirstVisibleLine + nStep);
    if (nFirst != m_nFirstVisibleLine) {
        ScrollToFirstLine(nFirst);
        SyncSplitScroll(true);
    }
    m_ptCaret.y = std::min(nLast, m_ptCaret.y + nStep);
    m_ptCaret.x = std::min(m_ptCaret.x, GetLineLength(m_ptCaret.y));
    m_ptCaret = AfterTrailByte(m_ptCaret);
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MoveHome(bool bSelect)
{
    const std::string_view line = GetLineChars(m_ptCaret.y);
    int nHome = 0;
    while (nHome < static_cast<int>(line.size())) {
        const auto c = static_cast<unsigned char>(line[static_cast<std::size_t>(nHome)]);
        if (!(c == ' ' || (c >= '\t' && c <= '\r')))
            break;
        ++nHome;
    }
    // Toggles between the end of the indentation and the line start.
    if (nHome == static_cast<int>(line.size()) || m_ptCaret.x == nHome)
        m_ptCaret.x = 0;
    else
        m_ptCaret.x = nHome;
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MoveEnd(bool bSelect)
{
    m_ptCaret.x = GetLineLength(m_ptCaret.y);
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::MoveCtrlHome(bool bSelect)
{
    m_ptCaret = CPoint(0, 0);
    m_nWantedColumn = 0;
    FinishMove(bSelect);
}

void CCrystalTextView::MoveCtrlEnd(bool bSelect)
{
    const int nLast = GetLineCount() - 1;
    m_ptCaret = CPoint(GetLineLength(nLast), nLast);
    m_nWantedColumn = TextToColumn(m_ptCaret.y, m_ptCaret.x);
    FinishMove(bSelect);
}

void CCrystalTextView::ScrollUp()
{
    if (m_nFirstVisibleLine > 0) {
        ScrollToFirstLine(m_nFirstVisibleLine - 1);
        SyncSplitScroll(true);
        UpdateCaretDisplay();
    }
}

void CCrystalTextView::ScrollDown()
{
    if (m_nFirstVisibleLine < GetLineCount() - 1) {
        ScrollToFirstLine(m_nFirstVisibleLine + 1);
        SyncSplitScroll(true);
        UpdateCaretDisplay();
    }
}

// ---------------------------------------------------------------------------
// Bookmarks

void CCrystalTextView::RegisterBookmarkCommands()
{
    OnCommandRange(ID_EDIT_TOGGLE_BOOKMARK0, ID_EDIT_TOGGLE_BOOKMARK0 + 9,
                   [this](int nID) { ToggleBookmark(nID - ID_EDIT_TOGGLE_BOOKMARK0); });
    OnCommandRange(ID_EDIT_GO_BOOKMARK0, ID_EDIT_GO_BOOKMARK0 + 9,
                   [this](int nID) { GoBookmark(nID - ID_EDIT_GO_BOOKMARK0); });
    OnCommand(ID_EDIT_CLEAR_BOOKMARKS, [this] { ClearBookmarks(); });
    OnCommand(ID_EDIT_TOGGLE_BOOKMARK, [this] { OnToggleBookmark(); });
    OnCommand(ID_EDIT_GOTO_NEXT_BOOKMARK, [this] { OnNextBookmark(); });
    OnCommand(ID_EDIT_GOTO_PREV_BOOKMARK, [this] { OnPrevBookmark(); });
    OnCommand(ID_EDIT_CLEAR_ALL_BOOKMARKS, [this] { OnClearAllBookmarks(); });
    auto enableIfBookmarks = [this](CCmdUI *pCmdUI) { pCmdUI->Enable(m_bBookmarkExist); };
    OnUpdate(ID_EDIT_GOTO_NEXT_BOOKMARK, enableIfBookmarks);
    OnUpdate(ID_EDIT_GOTO_PREV_BOOKMARK, enableIfBookmarks);
    OnUpdate(ID_EDIT_CLEAR_ALL_BOOKMARKS, enableIfBookmarks);
}

void CCrystalTextView::ToggleBookmark(int nBookmark)
{
    if (!m_pTextBuffer || nBookmark < 0 || nBookmark > 9)
        return;
    const std::uint32_t dwFlag = LF_NUMBERED_BOOKMARK(nBookmark);
    const bool bSet = !(m_pTextBuffer->GetLineFlags(m_ptCaret.y) & dwFlag);
    m_pTextBuffer->SetLineFlag(m_ptCaret.y, dwFlag, bSet, true);
}

void CCrystalTextView::GoBookmark(int nBookmark)
{
    if (!m_pTextBuffer || nBookmark < 0 || nBookmark > 9)
        return;
    const int nLine = m_pTextBuffer->FindLineWithFlag(LF_NUMBERED_BOOKMARK(nBookmark));
    if (nLine >= 0)
        PlaceCaret(CPoint(0, nLine));
}

void CCrystalTextView::ClearBookmarks()
{
    if (!m_pTextBuffer)
        return;
    for (int n = 0; n <= 9; ++n)
        m_pTextBuffer->SetLineFlag(-1, LF_NUMBERED_BOOKMARK(n), false);
}

void CCrystalTextView::OnToggleBookmark()
{
    if (!m_pTextBuffer)
        return;
    const bool bSet = !(m_pTextBuffer->GetLineFlags(m_ptCaret.y) & LF_BOOKMARK);
    m_pTextBuffer->SetLineFlag(m_ptCaret.y, LF_BOOKMARK, bSet, false);
    RefreshBookmarkExist();
}

void CCrystalTextView::OnNextBookmark()
{
    if (!m_pTextBuffer)
        return;
    const int nLine = m_pTextBuffer->FindNextBookmark(m_ptCaret.y);
    if (nLine >= 0)
        PlaceCaret(CPoint(0, nLine));
}

void CCrystalTextView::OnPrevBookmark()
{
    if (!m_pTextBuffer)
        return;
    const int nLine = m_pTextBuffer->FindPrevBookmark(m_ptCaret.y);
    if (nLine >= 0)
        PlaceCaret(CPoint(0, nLine));
}

void CCrystalTextView::OnClearAllBookmarks()
{
    if (!m_pTextBuffer)
        return;
    for (int i = 0; i < m_pTextBuffer->GetLineCount(); ++i)
        if (m_pTextBuffer->GetLineFlags(i) & LF_BOOKMARK)
            m_pTextBuffer->SetLineFlag(i, LF_BOOKMARK, false, false);
    m_bBookmarkExist = false;
}

void CCrystalTextView::RefreshBookmarkExist()
{
    m_bBookmarkExist = m_pTextBuffer && m_pTextBuffer->FindLineWithFlag(LF_BOOKMARK) >= 0;
}
