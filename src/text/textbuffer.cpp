// Lines, flags, text access and the two primitive changes of the buffer.
#include "text/textbuffer.h"

#include "text/sjis.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

bool IsSingleBit(std::uint32_t dw)
{
    return dw != 0 && (dw & (dw - 1)) == 0;
}

} // namespace

std::string_view LineEndSeparator(int nLineEndMode)
{
    switch (nLineEndMode) {
    case LINEEND_LF:
        return "\n";
    case LINEEND_CR:
        return "\r";
    default:
        return "\r\n";
    }
}

void InsertHint::AdjustPoint(CPoint &pt) const
{
    if (pt.y < ptStart.y)
        return;
    if (pt.y > ptStart.y) {
        pt.y += ptEnd.y - ptStart.y;
        return;
    }
    if (pt.x > ptStart.x) {
        pt.y += ptEnd.y - ptStart.y;
        pt.x += ptEnd.x - ptStart.x;
    }
}

void DeleteHint::AdjustPoint(CPoint &pt) const
{
    if (pt.y < ptStart.y)
        return;
    if (pt.y > ptEnd.y) {
        pt.y -= ptEnd.y - ptStart.y;
        return;
    }
    if (pt.y == ptEnd.y && pt.x >= ptEnd.x) {
        pt = CPoint(ptStart.x + pt.x - ptEnd.x, ptStart.y);
        return;
    }
    // Inside the deleted range.
    if (pt.y != ptStart.y)
        pt = ptStart;
    else if (pt.x > ptStart.x)
        pt.x = ptStart.x;
}

CCrystalTextBuffer::CCrystalTextBuffer() = default;

CCrystalTextBuffer::~CCrystalTextBuffer()
{
    FreeAll();
}

bool CCrystalTextBuffer::InitNew(int nLineEndMode)
{
    FreeAll();
    m_aLines.SetGrowBy(0);
    m_aLines.Add(NewLine(nullptr, 0));
    m_nLineEndMode = nLineEndMode;
    m_bInit = true;
    m_bReadOnly = false;
    m_bModified = false;
    m_nUndoPos = 0;
    m_nSavedUndoPos = 0;
    m_bInUndoGroup = false;
    m_bNextStartsGroup = false;
    m_bGroupRecorded = false;
    m_ptLastTyped = CPoint(-1, 0);
    m_nUndoLimit = UNDO_LIMIT;
    NotifyViews(nullptr, nullptr, NOTIFY_RESET, -1);
    return true;
}

void CCrystalTextBuffer::FreeAll()
{
    // A file as it was loaded has every line in the arena: nothing to free
    // line by line, however many lines it has.
    for (int i = 0; i < m_aLines.GetSize() && m_nOwnBlocks > 0; ++i)
        ReleaseLine(m_aLines[i]);
    m_nOwnBlocks = 0;
    m_aLines.RemoveAll();
    m_arena.Clear();
    m_aUndo.clear();
    m_aUndo.shrink_to_fit();
    m_nUndoPos = 0;
    m_nSavedUndoPos = 0;
    m_bInit = false;
}

void CCrystalTextBuffer::AttachView(CBufferView *pView)
{
    m_lstViews.push_back(pView);
}

void CCrystalTextBuffer::DetachView(CBufferView *pView)
{
    auto it = std::find(m_lstViews.begin(), m_lstViews.end(), pView);
    if (it != m_lstViews.end())
        m_lstViews.erase(it);
}

void CCrystalTextBuffer::NotifyViews(CBufferView *pSource, const ChangeHint *pHint,
                                     std::uint32_t dwFlags, int nLine)
{
    if (m_nBatchDepth > 0 && !(dwFlags & (NOTIFY_RESET | NOTIFY_FLAGS_ONLY))) {
        const int nFirst = std::max(nLine, 0);
        m_nBatchFirstLine = m_nBatchFirstLine < 0 ? nFirst : std::min(m_nBatchFirstLine, nFirst);
        dwFlags |= NOTIFY_BATCH;
    }
    for (CBufferView *pView : m_lstViews)
        pView->UpdateView(pSource, pHint, dwFlags, nLine);
}

void CCrystalTextBuffer::EndBatch(CBufferView *pSource)
{
    if (m_nBatchDepth <= 0 || --m_nBatchDepth > 0 || m_nBatchFirstLine < 0)
        return;
    const int nLine = m_nBatchFirstLine;
    m_nBatchFirstLine = -1;
    NotifyViews(pSource, nullptr, NOTIFY_WIDTH | NOTIFY_HEIGHT, nLine);
}

void CCrystalTextBuffer::SetModified(bool bModified)
{
    m_bModified = bModified;
}

void CCrystalTextBuffer::SetLineEndMode(int nMode)
{
    if (nMode == m_nLineEndMode)
        return;
    m_nLineEndMode = nMode;
    SetModified(true);
    for (CBufferView *pView : m_lstViews)
        pView->OnLineEndModeChanged();
}

bool CCrystalTextBuffer::IsLeadByteAt(int nLine, int nPos) const
{
    const TextLine &li = m_aLines[nLine];
    return SjisIsLeadAt(li.pszText, li.nLength, nPos);
}

bool CCrystalTextBuffer::IsTrailByteAt(int nLine, int nPos) const
{
    const TextLine &li = m_aLines[nLine];
    return SjisIsTrailAt(li.pszText, li.nLength, nPos);
}

// ---------------------------------------------------------------------------
// Line blocks
//
// A line's own block is a heap block that starts with its capacity; the text
// follows it, so a line record needs nothing but a pointer, a length and flags.

namespace {

constexpr std::size_t BLOCK_HEADER = 8;

char *AllocateBlock(char *pszOld, int nCapacity)
{
    void *p = std::realloc(pszOld ? pszOld - BLOCK_HEADER : nullptr, BLOCK_HEADER + static_cast<std::size_t>(nCapacity));
    if (!p)
        throw std::bad_alloc();
    std::memcpy(p, &nCapacity, sizeof nCapacity);
    return static_cast<char *>(p) + BLOCK_HEADER;
}

int BlockCapacity(const char *pszText)
{
    int nCapacity;
    std::memcpy(&nCapacity, pszText - BLOCK_HEADER, sizeof nCapacity);
    return nCapacity;
}

} // namespace

int CCrystalTextBuffer::GetLineCapacity(int nLine) const
{
    const TextLine &line = m_aLines[nLine];
    return HasOwnBlock(line) ? BlockCapacity(line.pszText) : 0;
}

TextLine CCrystalTextBuffer::NewLine(const char *pData, int nLength)
{
    TextLine line;
    line.pszText = AllocateBlock(nullptr, LineCapacityFor(nLength));
    ++m_nOwnBlocks;
    if (nLength > 0)
        std::memcpy(line.pszText, pData, static_cast<std::size_t>(nLength));
    line.nLength = nLength;
    return line;
}

void CCrystalTextBuffer::AppendToLine(TextLine &line, const char *pData, int nLength)
{
    if (nLength <= 0)
        return;
    const std::int64_t nNewLength = std::int64_t(line.nLength) + nLength;
    if (nNewLength > INT32_MAX - 16)
        throw std::bad_alloc();
    const bool bOwn = HasOwnBlock(line);
    if (!bOwn || nNewLength > BlockCapacity(line.pszText)) {
        const int nCapacity = LineCapacityFor(nNewLength);
        if (bOwn) {
            line.pszText = AllocateBlock(line.pszText, nCapacity);
        } else {
            // A loaded line moves out of the arena into a block of its own.
            char *p = AllocateBlock(nullptr, nCapacity);
            ++m_nOwnBlocks;
            if (line.nLength > 0)
                std::memcpy(p, line.pszText, static_cast<std::size_t>(line.nLength));
            line.pszText = p;
        }
    }
    std::memcpy(line.pszText + line.nLength, pData, static_cast<std::size_t>(nLength));
    line.nLength = static_cast<int>(nNewLength);
}

void CCrystalTextBuffer::ReleaseLine(TextLine &line)
{
    if (HasOwnBlock(line)) {
        std::free(line.pszText - BLOCK_HEADER);
        --m_nOwnBlocks;
    }
    line.pszText = nullptr;
    line.nLength = 0;
}

// ---------------------------------------------------------------------------
// Flags and bookmarks

void CCrystalTextBuffer::SetLineFlag(int nLine, std::uint32_t dwFlag, bool bSet,
                                     bool bRemoveFromOtherLine)
{
    if (!IsSingleBit(dwFlag))
        return;
    if (nLine == -1) {
        nLine = FindLineWithFlag(dwFlag);
        if (nLine == -1)
            return;
        bRemoveFromOtherLine = false;
    }
    if (nLine < 0 || nLine >= GetLineCount())
        return;
    const std::uint32_t dwOld = m_aLines[nLine].dwFlags;
    const std::uint32_t dwNew = bSet ? (dwOld | dwFlag) : (dwOld & ~dwFlag);
    if (dwNew == dwOld)
        return;
    if (bRemoveFromOtherLine && bSet) {
        const int nOther = FindLineWithFlag(dwFlag);
        if (nOther >= 0) {
            m_aLines[nOther].dwFlags &= ~dwFlag;
            NotifyViews(nullptr, nullptr, NOTIFY_ONE_LINE | NOTIFY_FLAGS_ONLY, nOther);
        }
    }
    m_aLines[nLine].dwFlags = dwNew;
    NotifyViews(nullptr, nullptr, NOTIFY_ONE_LINE | NOTIFY_FLAGS_ONLY, nLine);
}

int CCrystalTextBuffer::FindLineWithFlag(std::uint32_t dwFlag) const
{
    if (!IsSingleBit(dwFlag))
        return -1;
    for (int i = 0; i < GetLineCount(); ++i)
        if (m_aLines[i].dwFlags & dwFlag)
            return i;
    return -1;
}

int CCrystalTextBuffer::FindNextBookmark(int nLine) const
{
    const int nCount = GetLineCount();
    if (nLine < 0 || nLine >= nCount)
        nLine = 0;
    int nStart = (m_aLines[nLine].dwFlags & LF_BOOKMARK) ? nLine + 1 : nLine;
    for (int i = nStart; i < nCount; ++i)
        if (m_aLines[i].dwFlags & LF_BOOKMARK)
            return i;
    for (int i = 0; i < nCount; ++i)
        if (m_aLines[i].dwFlags & LF_BOOKMARK)
            return i;
    return -1;
}

int CCrystalTextBuffer::FindPrevBookmark(int nLine) const
{
    const int nCount = GetLineCount();
    if (nLine < 0 || nLine >= nCount)
        nLine = nCount - 1;
    int nStart = (m_aLines[nLine].dwFlags & LF_BOOKMARK) ? nLine - 1 : nLine;
    for (int i = nStart; i >= 0; --i)
        if (m_aLines[i].dwFlags & LF_BOOKMARK)
            return i;
    for (int i = nCount - 1; i >= 0; --i)
        if (m_aLines[i].dwFlags & LF_BOOKMARK)
            return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Text

void CCrystalTextBuffer::GetText(int nStartLine, int nStartChar, int nEndLine, int nEndChar,
                                 std::string &strText, const char *pszSeparator) const
{
    const std::string_view sep = pszSeparator ? std::string_view(pszSeparator) : "\r\n";
    strText.clear();
    if (nStartLine == nEndLine) {
        if (nEndChar > nStartChar)
            strText.assign(GetLineText(nStartLine) + nStartChar,
                           static_cast<std::size_t>(nEndChar - nStartChar));
        return;
    }
    std::size_t nTotal = 0;
    for (int i = nStartLine; i <= nEndLine; ++i)
        nTotal += static_cast<std::size_t>(GetLineLength(i)) + sep.size();
    strText.reserve(nTotal);
    strText.append(GetLine(nStartLine).substr(static_cast<std::size_t>(nStartChar)));
    strText.append(sep);
    for (int i = nStartLine + 1; i < nEndLine; ++i) {
        strText.append(GetLine(i));
        strText.append(sep);
    }
    strText.append(GetLine(nEndLine).substr(0, static_cast<std::size_t>(nEndChar)));
}

bool CCrystalTextBuffer::InternalInsertPieces(CBufferView *pSource, int nLine, int nPos,
                                              const std::vector<std::string_view> &aPieces,
                                              int &nEndLine, int &nEndChar)
{
    if (m_bReadOnly)
        return false;
    TextLine &line = m_aLines[nLine];
    std::string strTail;
    if (nPos < line.nLength) {
        strTail.assign(line.pszText + nPos, static_cast<std::size_t>(line.nLength - nPos));
        line.nLength = nPos;
    }
    AppendToLine(m_aLines[nLine], aPieces[0].data(), static_cast<int>(aPieces[0].size()));

    // New lines go into the array in one move, however many there are.
    std::vector<TextLine> aNew;
    aNew.reserve(aPieces.size() - 1);
    try {
        for (std::size_t i = 1; i < aPieces.size(); ++i)
            aNew.push_back(NewLine(aPieces[i].data(), static_cast<int>(aPieces[i].size())));
        if (!aNew.empty())
            m_aLines.InsertAt(nLine + 1, aNew.data(), static_cast<int>(aNew.size()));
    } catch (...) {
        for (TextLine &l : aNew)
            ReleaseLine(l);
        throw;
    }

    nEndLine = nLine + static_cast<int>(aNew.size());
    nEndChar = m_aLines[nEndLine].nLength;
    AppendToLine(m_aLines[nEndLine], strTail.data(), static_cast<int>(strTail.size()));

    InsertHint hint(CPoint(nPos, nLine), CPoint(nEndChar, nEndLine));
    NotifyViews(pSource, &hint, aNew.empty() ? (NOTIFY_ONE_LINE | NOTIFY_WIDTH) : (NOTIFY_WIDTH | NOTIFY_HEIGHT),
                nLine);
    if (!m_bModified)
        SetModified(true);
    return true;
}

std::vector<std::string_view> CCrystalTextBuffer::SplitAtLineBreaks(std::string_view text)
{
    // A CR, or a CR LF pair, breaks the line; a lone LF is an ordinary byte.
    std::vector<std::string_view> aPieces;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nCR = text.find('\r', nStart);
        if (nCR == std::string_view::npos)
            break;
        aPieces.push_back(text.substr(nStart, nCR - nStart));
        nStart = nCR + 1;
        if (nStart < text.size() && text[nStart] == '\n')
            ++nStart;
    }
    aPieces.push_back(text.substr(nStart));
    return aPieces;
}

bool CCrystalTextBuffer::InternalDeleteText(CBufferView *pSource, int nStartLine, int nStartChar,
                                            int nEndLine, int nEndChar)
{
    if (m_bReadOnly)
        return false;
    for (CBufferView *pView : m_lstViews)
        pView->OnBeforeDelete(nStartLine, nStartChar, nEndLine, nEndChar);
    if (nStartLine == nEndLine) {
        TextLine &line = m_aLines[nStartLine];
        if (nEndChar > nStartChar) {
            std::memmove(line.pszText + nStartChar, line.pszText + nEndChar,
                         static_cast<std::size_t>(line.nLength - nEndChar));
            line.nLength -= nEndChar - nStartChar;
        }
    } else {
        const TextLine &end = m_aLines[nEndLine];
        std::string strTail(end.pszText + nEndChar, static_cast<std::size_t>(end.nLength - nEndChar));
        for (int i = nStartLine + 1; i <= nEndLine; ++i)
            ReleaseLine(m_aLines[i]);
        m_aLines.RemoveAt(nStartLine + 1, nEndLine - nStartLine);
        m_aLines[nStartLine].nLength = nStartChar;
        AppendToLine(m_aLines[nStartLine], strTail.data(), static_cast<int>(strTail.size()));
    }
    DeleteHint hint(CPoint(nStartChar, nStartLine), CPoint(nEndChar, nEndLine));
    NotifyViews(pSource, &hint,
                nStartLine == nEndLine ? (NOTIFY_ONE_LINE | NOTIFY_WIDTH) : (NOTIFY_WIDTH | NOTIFY_HEIGHT),
                nStartLine);
    if (!m_bModified)
        SetModified(true);
    return true;
}
