// Geometry, position conversion, caret, selection, scrolling and change
// notifications of the text view.
#include "view/ui/crystaltextview.h"

#include "res/commands.h"
#include "text/sjis.h"
#include "view/textgeom.h"
#include "view/ui/fontutil.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <map>


CCrystalTextView::CCrystalTextView(QWidget *pParent) : QAbstractScrollArea(pParent)
{
    const QPalette pal = palette();
    m_crColors.fill(0x400000);
    m_crColors[COLORINDEX_WHITESPACE] = RefFromColor(pal.color(QPalette::Base));
    m_crColors[COLORINDEX_BKGND] = RefFromColor(pal.color(QPalette::Base));
    m_crColors[COLORINDEX_NORMALTEXT] = RefFromColor(pal.color(QPalette::Text));
    m_crColors[COLORINDEX_SELMARGIN] = 0xC8C8C8;
    m_crColors[COLORINDEX_SELBKGND] = 0x000000;
    m_crColors[COLORINDEX_SELTEXT] = 0xFFFFFF;
    m_crColors[COLORINDEX_KEYWORD] = 0xC00000;
    m_crColors[COLORINDEX_COMMENT] = 0x808080;
    m_crColors[COLORINDEX_NUMBER] = 0x000080;
    m_crColors[COLORINDEX_OPERATOR] = 0x000000;
    m_crColors[COLORINDEX_STRING] = 0x400000;
    m_crColors[COLORINDEX_PREPROCESSOR] = 0x808000;
    m_crColors[COLORINDEX_TAG] = 0x008000;
    m_crColors[COLORINDEX_TAGOPTION] = 0x808000;
    m_crColors[COLORINDEX_KEYWORD2] = 0x400000;

    m_font = MakeViewFont(QStringLiteral("Terminal"), 18, 400);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_timerAutoScroll.setInterval(100);
    connect(&m_timerAutoScroll, &QTimer::timeout, this, [this] { OnAutoScrollTimer(); });
    m_timerRecolour.setSingleShot(true);
    m_timerRecolour.setInterval(150);
    connect(&m_timerRecolour, &QTimer::timeout, this, [this] {
        if (m_longLine.nLine >= 0 && m_longLine.nLine < GetLineCount()) {
            InvalidateLines(m_longLine.nLine, -1, false);
            m_longLine.nLine = -1;
        }
    });
    const int nFlash = QApplication::styleHints()->cursorFlashTime();
    m_timerCaret.setInterval(nFlash > 0 ? nFlash / 2 : 500);
    connect(&m_timerCaret, &QTimer::timeout, this, [this] { BlinkCaret(); });

    RegisterNavigationCommands();
    RegisterBookmarkCommands();
    RegisterBoxCommands();
    RegisterPrintCommands();
    // The status bar's position and line-end panes show the active view's.
    OnUpdate(ID_EDIT_INDICATOR_POSITION, [this](CCmdUI *pCmdUI) { pCmdUI->SetText(GetPositionText()); });
    OnUpdate(ID_EDIT_INDICATOR_CRLF, [this](CCmdUI *pCmdUI) { pCmdUI->SetText(GetLineEndText()); });
    ResetView();
}

CCrystalTextView::~CCrystalTextView()
{
    if (m_pTextBuffer)
        m_pTextBuffer->DetachView(this);
}

// ---------------------------------------------------------------------------
// Buffer and lines

void CCrystalTextView::AttachBuffer(CCrystalTextBuffer *pBuffer)
{
    if (m_pTextBuffer)
        m_pTextBuffer->DetachView(this);
    m_pTextBuffer = pBuffer ? pBuffer : LocateTextBuffer();
    if (m_pTextBuffer)
        m_pTextBuffer->AttachView(this);
    ResetView();
    RecalcVertScroll();
    RecalcHorzScroll();
    viewport()->update();
}

void CCrystalTextView::DetachBuffer()
{
    if (m_pTextBuffer) {
        m_pTextBuffer->DetachView(this);
        m_pTextBuffer = nullptr;
        ResetView();
    }
}

void CCrystalTextView::ResetView()
{
    m_nFirstVisibleLine = 0;
    m_nFirstVisibleColumn = 0;
    m_nLineHeight = -1;
    m_nCharWidth = -1;
    m_nTabSize = 4;
    m_nMaxLineLength = -1;
    m_nScreenLines = -1;
    m_nScreenChars = -1;
    m_ptSelAnchor = m_ptCaret = m_ptSelFrom = m_ptSelTo = m_ptSelBegin = m_ptSelEnd = CPoint(0, 0);
    m_nWantedColumn = -1;
    m_nDeletedWidest = -1;
    m_lineStates.Reset();
    InvalidateTextCaches();
    m_bMouseSelecting = m_bWordSelecting = m_bLineSelecting = m_bDragPending = false;
    m_bBoxSelect = m_bBoxSelecting = false;
    m_timerAutoScroll.stop();
    RefreshBookmarkExist();
    UpdateCaretDisplay();
}

int CCrystalTextView::GetLineCount() const
{
    return m_pTextBuffer ? m_pTextBuffer->GetLineCount() : 1;
}

int CCrystalTextView::GetLineLength(int nLine) const
{
    return m_pTextBuffer ? m_pTextBuffer->GetLineLength(nLine) : 0;
}

const char *CCrystalTextView::GetLineText(int nLine) const
{
    return m_pTextBuffer ? m_pTextBuffer->GetLineText(nLine) : nullptr;
}

std::string_view CCrystalTextView::GetLineChars(int nLine) const
{
    return m_pTextBuffer ? m_pTextBuffer->GetLine(nLine) : std::string_view();
}

std::uint32_t CCrystalTextView::GetLineFlags(int nLine) const
{
    return m_pTextBuffer ? m_pTextBuffer->GetLineFlags(nLine) : 0;
}

void CCrystalTextView::GetText(CPoint ptStart, CPoint ptEnd, std::string &strText) const
{
    if (m_pTextBuffer)
        m_pTextBuffer->GetText(ptStart.y, ptStart.x, ptEnd.y, ptEnd.x, strText);
    else
        strText.clear();
}

int CCrystalTextView::GetLineDisplayLength(int nLine)
{
    return LineDisplayLength(GetLineChars(nLine), m_nTabSize, GetCellTable());
}

// ---------------------------------------------------------------------------
// Geometry

void CCrystalTextView::MeasureFont()
{
    m_linePainter.SetFont(m_font);
    m_nLineHeight = m_linePainter.LineHeight();
    m_nCharWidth = m_linePainter.CharWidth();
}

int CCrystalTextView::GetLineHeight()
{
    if (m_nLineHeight < 0)
        MeasureFont();
    return m_nLineHeight;
}

int CCrystalTextView::GetCharWidth()
{
    if (m_nCharWidth < 0)
        MeasureFont();
    return m_nCharWidth;
}

int CCrystalTextView::GetVisibleLineCount()
{
    if (m_nScreenLines < 0)
        m_nScreenLines = viewport()->height() / GetLineHeight();
    return m_nScreenLines;
}

int CCrystalTextView::GetVisibleColumnCount()
{
    if (m_nScreenChars < 0)
        m_nScreenChars = std::max(0, viewport()->width() - GetMarginWidth()) / GetCharWidth();
    return m_nScreenChars;
}

int CCrystalTextView::GetMarginWidth() const
{
    return m_bSelMargin ? SEL_MARGIN_WIDTH : 1;
}

int CCrystalTextView::GetWidestLine()
{
    if (m_nMaxLineLength < 0) {
        // Every line of the file, before its first picture: the table is
        // looked up once, not once a line.
        m_nMaxLineLength = 0;
        if (m_pTextBuffer) {
            const CExtraChars *pExtra = GetCellTable();
            const int nCount = m_pTextBuffer->GetLineCount();
            for (int i = 0; i < nCount; ++i)
                m_nMaxLineLength =
                    std::max(m_nMaxLineLength, LineDisplayLength(m_pTextBuffer->GetLine(i), m_nTabSize, pExtra));
        }
    }
    return m_nMaxLineLength;
}

void CCrystalTextView::SetTabSize(int nTabSize)
{
    if (nTabSize == m_nTabSize)
        return;
    m_nTabSize = nTabSize;
    InvalidateTextCaches();
    m_nMaxLineLength = -1;
    RecalcHorzScroll();
    viewport()->update();
    UpdateCaretDisplay();
}

void CCrystalTextView::SetViewFont(const QFont &font)
{
    m_font = font;
    m_nLineHeight = -1;
    m_nCharWidth = -1;
    m_nScreenLines = -1;
    m_nScreenChars = -1;
    RecalcVertScroll();
    RecalcHorzScroll();
    UpdateCaretDisplay();
    viewport()->update();
}

void CCrystalTextView::SetSelectionMargin(bool bSelMargin)
{
    if (m_bSelMargin == bSelMargin)
        return;
    m_bSelMargin = bSelMargin;
    m_nScreenChars = -1;
    RecalcHorzScroll();
    viewport()->update();
    UpdateCaretDisplay();
}

// ---------------------------------------------------------------------------
// Position conversion

const CExtraChars *CCrystalTextView::GetCellTable() const
{
    const CExtraChars *pExtra = m_pTextBuffer ? m_pTextBuffer->GetExtraChars() : nullptr;
    return HasCellTable(pExtra) ? pExtra : nullptr;
}

int CCrystalTextView::TextToColumn(int nLine, int nCharIndex) const
{
    const std::string_view line = GetLineChars(nLine);
    const CExtraChars *pExtra = GetCellTable();
    if (line.size() < 1024)
        return ::TextToColumn(line, nCharIndex, m_nTabSize, pExtra);
    const int nEnd = std::min(nCharIndex, static_cast<int>(line.size()));
    int i = 0;
    int nColumn = 0;
    if (const CColumnCache *pCache = NearestCachedColumn(nLine, nEnd, false)) {
        i = pCache->nCharIndex;
        nColumn = pCache->nColumn;
    }
    if (!pExtra) {
        for (; i < nEnd; ++i)
            nColumn = NextColumn(line[static_cast<std::size_t>(i)], nColumn, m_nTabSize);
        RememberColumn(CColumnCache{nLine, nEnd, nColumn});
        return nColumn;
    }
    // With a table the loop steps whole characters, so the cache only keeps
    // the starts of characters.
    while (i < nEnd) {
        int j = i;
        const int nNext = StepColumn(line, j, nColumn, m_nTabSize, pExtra);
        if (j > nEnd) {
            RememberColumn(CColumnCache{nLine, i, nColumn});
            return std::min(nColumn + 1, nNext);
        }
        i = j;
        nColumn = nNext;
    }
    RememberColumn(CColumnCache{nLine, i, nColumn});
    return nColumn;
}

const CCrystalTextView::CColumnCache *CCrystalTextView::NearestCachedColumn(int nLine, int nTarget,
                                                                          bool bByColumn) const
{
    const CColumnCache *pBest = nullptr;
    for (const CColumnCache &entry : m_colCache) {
        if (entry.nLine != nLine || (bByColumn ? entry.nColumn : entry.nCharIndex) > nTarget)
            continue;
        if (!pBest || entry.nCharIndex > pBest->nCharIndex)
            pBest = &entry;
    }
    return pBest;
}

void CCrystalTextView::RememberColumn(const CColumnCache &entry) const
{
    // The newer entry goes first; the older one is dropped.
    if (m_colCache[0].nLine == entry.nLine && m_colCache[0].nCharIndex == entry.nCharIndex)
        return;
    m_colCache[1] = m_colCache[0];
    m_colCache[0] = entry;
}

void CCrystalTextView::InvalidateTextCaches()
{
    ++m_nGeneration;
    for (CColumnCache &entry : m_colCache)
        entry.nLine = -1;
}

int CCrystalTextView::ColumnToText(int nLine, int nColumn) const
{
    return ::ColumnToText(GetLineChars(nLine), nColumn, m_nTabSize, GetCellTable());
}

int CCrystalTextView::ColumnToTextCell(int nLine, int nColumn) const
{
    const std::string_view line = GetLineChars(nLine);
    const CExtraChars *pExtra = GetCellTable();
    if (line.size() < 1024 || pExtra)
        return ::ColumnToTextCell(line, nColumn, m_nTabSize, pExtra);
    // Continue from the cached position when it lies before the column.
    int i = 0;
    int nCurrent = 0;
    if (const CColumnCache *pCache = NearestCachedColumn(nLine, nColumn, true)) {
        i = pCache->nCharIndex;
        nCurrent = pCache->nColumn;
    }
    const int nLength = static_cast<int>(line.size());
    for (; i < nLength; ++i) {
        const int nNext = NextColumn(line[static_cast<std::size_t>(i)], nCurrent, m_nTabSize);
        if (nNext > nColumn)
            break;
        nCurrent = nNext;
    }
    RememberColumn(CColumnCache{nLine, i, nCurrent});
    return i;
}

CPoint CCrystalTextView::PointToText(const QPoint &ptClient)
{
    const int nCount = GetLineCount();
    int nLine = ptClient.y() / GetLineHeight() + m_nFirstVisibleLine;
    if (ptClient.y() < 0)
        nLine = (ptClient.y() - GetLineHeight() + 1) / GetLineHeight() + m_nFirstVisibleLine;
    nLine = std::clamp(nLine, 0, nCount - 1);
    int nColumn = (ptClient.x() - GetMarginWidth()) / GetCharWidth() + m_nFirstVisibleColumn;
    if (ptClient.x() < GetMarginWidth())
        nColumn = m_nFirstVisibleColumn - (GetMarginWidth() - ptClient.x() + GetCharWidth() - 1) / GetCharWidth();
    nColumn = std::max(0, nColumn);
    return CPoint(ColumnToTextCell(nLine, nColumn), nLine);
}

QPoint CCrystalTextView::TextToPoint(CPoint ptText)
{
    return QPoint((TextToColumn(ptText.y, ptText.x) - m_nFirstVisibleColumn) * GetCharWidth() + GetMarginWidth(),
                  (ptText.y - m_nFirstVisibleLine) * GetLineHeight());
}

void CCrystalTextView::RoundPointX(QPoint &pt)
{
    pt.rx() += GetCharWidth() / 2;
}

CPoint CCrystalTextView::AfterTrailByte(CPoint pt) const
{
    if (m_pTextBuffer && pt.x > 0 && pt.x < GetLineLength(pt.y) && m_pTextBuffer->IsTrailByteAt(pt.y, pt.x))
        ++pt.x;
    return pt;
}

// ---------------------------------------------------------------------------
// Caret and selection

void CCrystalTextView::MoveCaret(CPoint pt)
{
    m_ptCaret = pt;
    m_nWantedColumn = TextToColumn(pt.y, pt.x);
    UpdateCaretDisplay();
}

void CCrystalTextView::SelectRange(CPoint ptFrom, CPoint ptTo)
{
    if (m_bBoxSelect) {
        const CBox box = GetSelectionBox();
        m_bBoxSelect = false;
        InvalidateLines(box.nTop, box.nBottom);
    }
    SetSelectionPoints(ptFrom, ptTo);
}

void CCrystalTextView::SetSelectionPoints(CPoint ptFrom, CPoint ptTo)
{
    const CPoint ptOldFrom = m_ptSelFrom;
    const CPoint ptOldTo = m_ptSelTo;
    m_ptSelFrom = ptFrom;
    m_ptSelTo = ptTo;
    if (ptFrom != ptOldFrom) {
        InvalidateLines(std::min(ptFrom.y, ptTo.y), std::max(ptFrom.y, ptTo.y));
        InvalidateLines(std::min(ptOldFrom.y, ptOldTo.y), std::max(ptOldFrom.y, ptOldTo.y));
    } else if (ptTo != ptOldTo) {
        InvalidateLines(std::min(ptTo.y, ptOldTo.y), std::max(ptTo.y, ptOldTo.y));
    }
    emit CaretMoved();
}

void CCrystalTextView::GetSelectionRange(CPoint &ptBegin, CPoint &ptEnd)
{
    const bool bSwap = m_ptSelFrom.y > m_ptSelTo.y || (m_ptSelFrom.y == m_ptSelTo.y && m_ptSelFrom.x > m_ptSelTo.x);
    m_ptSelBegin = bSwap ? m_ptSelTo : m_ptSelFrom;
    m_ptSelEnd = bSwap ? m_ptSelFrom : m_ptSelTo;
    ptBegin = m_ptSelBegin;
    ptEnd = m_ptSelEnd;
}

bool CCrystalTextView::IsSelection()
{
    if (m_bBoxSelect) {
        const CBox box = GetSelectionBox();
        return box.nTop != box.nBottom || box.HasWidth();
    }
    return m_ptSelFrom != m_ptSelTo;
}

bool CCrystalTextView::IsInSelection(CPoint pt)
{
    if (m_bBoxSelect) {
        int nFrom = 0;
        int nTo = 0;
        return GetLineSelectedBytes(pt.y, nFrom, nTo) && pt.x >= nFrom && pt.x < nTo;
    }
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (pt.y < b.y || pt.y > e.y)
        return false;
    if (b.y == e.y)
        return pt.x >= b.x && pt.x < e.x;
    if (pt.y == b.y)
        return pt.x >= b.x;
    if (pt.y == e.y)
        return pt.x < e.x;
    return true;
}

void CCrystalTextView::SelectLine(int nLine)
{
    if (!m_pTextBuffer)
        return;
    nLine = std::clamp(nLine, 0, GetLineCount() - 1);
    const CPoint ptStart(0, nLine);
    MoveCaret(ptStart);
    SelectRange(ptStart, CPoint(GetLineLength(nLine), nLine));
    SetSelectionAnchor(ptStart);
    ScrollToPosition(ptStart);
}

void CCrystalTextView::SelectAllText()
{
    const int nLast = GetLineCount() - 1;
    MoveCaret(CPoint(GetLineLength(nLast), nLast));
    SelectRange(CPoint(0, 0), m_ptCaret);
}

void CCrystalTextView::PlaceCaret(CPoint pt)
{
    MoveCaret(pt);
    SetSelectionAnchor(pt);
    SelectRange(pt, pt);
    ScrollToPosition(pt);
}

QRect CCrystalTextView::CaretRect()
{
    const int x = (GetCaretColumn() - m_nFirstVisibleColumn) * GetCharWidth() + GetMarginWidth();
    const int y = (m_ptCaret.y - m_nFirstVisibleLine) * GetLineHeight();
    const int nWidth = m_bOverwriteMode ? GetCharWidth() : 2;
    return QRect(x, y, nWidth, GetLineHeight());
}

void CCrystalTextView::UpdateCaretDisplay()
{
    // Repaint where the caret was and where it is; it is drawn with the text.
    // A pre-edit text reaches beyond the caret's cell, so then the whole line goes.
    const QRect rcCaret = CaretRect().adjusted(-1, 0, 1, 0);
    if (m_strPreedit.isEmpty()) {
        viewport()->update(m_rcCaretShown);
        viewport()->update(rcCaret);
    } else {
        viewport()->update(QRect(0, rcCaret.top(), viewport()->width(), rcCaret.height()));
    }
    m_rcCaretShown = rcCaret;
    m_bCaretBlinkOn = true;
    if (m_bHasFocus)
        m_timerCaret.start();
    if (QWidget::testAttribute(Qt::WA_InputMethodEnabled) && hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImFont);
    emit CaretMoved();
}

void CCrystalTextView::BlinkCaret()
{
    m_bCaretBlinkOn = !m_bCaretBlinkOn;
    viewport()->update(CaretRect().adjusted(-1, 0, 1, 0));
}

// ---------------------------------------------------------------------------
// Change notifications

void CCrystalTextView::UpdateView(CBufferView *pSource, const ChangeHint *pHint,
                                  std::uint32_t dwFlags, int nLine)
{
    (void)pSource;
    if (dwFlags & NOTIFY_RESET) {
        ResetView();
        RecalcVertScroll();
        RecalcHorzScroll();
        viewport()->update();
        return;
    }
    if (dwFlags & NOTIFY_BATCH) {
        // One edit of a batch: the per-line data is refreshed once, when the
        // buffer reports the whole batch.
        if (pHint)
            AdjustKeptPositions(*pHint);
        return;
    }
    const int nCount = GetLineCount();
    if (nLine < 0)
        nLine = 0;
    m_lineStates.OnTextChanged(dwFlags, nLine, nCount);
    const bool bShiftRuns = pHint && (dwFlags & NOTIFY_ONE_LINE) && !(dwFlags & NOTIFY_FLAGS_ONLY)
                            && nLine == m_longLine.nLine && m_longLine.nGeneration == m_nGeneration;
    if (!(dwFlags & NOTIFY_FLAGS_ONLY))
        InvalidateTextCaches();
    if (bShiftRuns) {
        ShiftLongLineRuns(*pHint);
        m_longLine.nGeneration = m_nGeneration;
        m_timerRecolour.start();
    }
    // The widest line stays known through an edit with a hint unless the
    // lines it changed held the widest and are now all narrower: an
    // insertion within a line only widens it, the line an insertion split
    // was its prefix and suffix, and a deletion's lines were measured just
    // before it.
    bool bWidestKnown = false;
    if (!(dwFlags & NOTIFY_FLAGS_ONLY) && pHint && m_nMaxLineLength >= 0) {
        const bool bDeleted = dynamic_cast<const DeleteHint *>(pHint) != nullptr;
        if (!bDeleted || (m_nDeletedWidest >= 0 && m_nDeletedLine == pHint->ptStart.y)) {
            const int nFirst = pHint->ptStart.y;
            const int nLast = bDeleted ? nFirst : std::min(pHint->ptEnd.y, nCount - 1);
            int nWidest = 0;
            for (int i = nFirst; i <= nLast; ++i)
                nWidest = std::max(nWidest, GetLineDisplayLength(i));
            int nOld = 0;
            if (bDeleted) {
                nOld = m_nDeletedWidest;
            } else if (nLast > nFirst) {
                const std::string_view first = GetLineChars(nFirst);
                const std::string_view last = GetLineChars(nLast);
                const std::size_t nPrefix = std::min<std::size_t>(first.size(), pHint->ptStart.x);
                const std::size_t nSuffix = last.size() - std::min<std::size_t>(last.size(), pHint->ptEnd.x);
                std::string strJoined;
                strJoined.reserve(nPrefix + nSuffix);
                strJoined.append(first.data(), nPrefix);
                strJoined.append(last.data() + (last.size() - nSuffix), nSuffix);
                nOld = LineDisplayLength(strJoined, m_nTabSize, GetCellTable());
            }
            if (nOld < m_nMaxLineLength || nWidest >= m_nMaxLineLength) {
                m_nMaxLineLength = std::max(m_nMaxLineLength, nWidest);
                bWidestKnown = true;
            }
        }
    }
    m_nDeletedWidest = -1;
    if (dwFlags & NOTIFY_ONE_LINE) {
        if (dwFlags & NOTIFY_FLAGS_ONLY) {
            InvalidateLines(nLine, nLine, true);
        } else {
            InvalidateLines(nLine, -1, true);
        }
    } else {
        InvalidateLines(nLine, -1, true);
    }

    if (pHint) {
        AdjustKeptPositions(*pHint);
        UpdateCaretDisplay();
    }
    if (dwFlags & NOTIFY_HEIGHT)
        RecalcVertScroll();
    if (dwFlags & NOTIFY_WIDTH) {
        if (!bWidestKnown)
            m_nMaxLineLength = -1;
        RecalcHorzScroll();
    }
}

void CCrystalTextView::OnBeforeDelete(int nStartLine, int nStartChar, int nEndLine, int nEndChar)
{
    (void)nStartChar;
    (void)nEndChar;
    m_nDeletedWidest = -1;
    // Inside a batch nothing is measured: the batch's end has the widest
    // line measured again.
    if (m_nMaxLineLength < 0 || !m_pTextBuffer || m_pTextBuffer->IsInBatch())
        return;
    int nWidest = 0;
    for (int i = nStartLine; i <= nEndLine; ++i)
        nWidest = std::max(nWidest, GetLineDisplayLength(i));
    m_nDeletedWidest = nWidest;
    m_nDeletedLine = nStartLine;
}

void CCrystalTextView::ShiftLongLineRuns(const ChangeHint &hint)
{
    // Only the runs after the change move; each moves as a caret there would.
    ColorBlock *pBegin = m_longLine.aBlocks.data();
    ColorBlock *pEnd = pBegin + m_longLine.nBlocks;
    ColorBlock *p = std::upper_bound(pBegin, pEnd, hint.ptStart.x,
                                     [](int nPos, const ColorBlock &block) { return nPos < block.nCharPos; });
    for (; p < pEnd; ++p) {
        CPoint pt(p->nCharPos, m_longLine.nLine);
        hint.AdjustPoint(pt);
        p->nCharPos = pt.x;
    }
}

void CCrystalTextView::AdjustKeptPositions(const ChangeHint &hint)
{
    hint.AdjustPoint(m_ptCaret);
    hint.AdjustPoint(m_ptSelFrom);
    hint.AdjustPoint(m_ptSelTo);
    hint.AdjustPoint(m_ptSelAnchor);
    if (m_bDragging) {
        hint.AdjustPoint(m_ptDraggedTextBegin);
        hint.AdjustPoint(m_ptDraggedTextEnd);
    }
    CPoint ptTop(0, m_nFirstVisibleLine);
    hint.AdjustPoint(ptTop);
    if (ptTop.y != m_nFirstVisibleLine) {
        m_nFirstVisibleLine = std::clamp(ptTop.y, 0, std::max(0, GetLineCount() - 1));
        viewport()->update();
    }
}

// ---------------------------------------------------------------------------
// Status

QString CCrystalTextView::GetPositionText() const
{
    return QStringLiteral(" %1行、%2列 ").arg(m_ptCaret.y + 1, 3).arg(m_ptCaret.x + 1, 3);
}

QString CCrystalTextView::GetLineEndText() const
{
    if (!m_pTextBuffer)
        return QString();
    switch (m_pTextBuffer->GetLineEndMode()) {
    case LINEEND_LF:
        return QStringLiteral("UNIX");
    case LINEEND_CR:
        return QStringLiteral("MAC");
    default:
        return QStringLiteral("DOS");
    }
}

// ---------------------------------------------------------------------------
// Window events

void CCrystalTextView::resizeEvent(QResizeEvent *pEvent)
{
    QAbstractScrollArea::resizeEvent(pEvent);
    m_nScreenLines = -1;
    m_nScreenChars = -1;
    RecalcVertScroll();
    RecalcHorzScroll();
}

void CCrystalTextView::focusInEvent(QFocusEvent *pEvent)
{
    QAbstractScrollArea::focusInEvent(pEvent);
    m_bHasFocus = true;
    m_bCaretBlinkOn = true;
    m_timerCaret.start();
    viewport()->update();
    emit Activated(this);
}

void CCrystalTextView::focusOutEvent(QFocusEvent *pEvent)
{
    // A composition still running is committed, not left hanging.
    if (!m_strPreedit.isEmpty())
        QGuiApplication::inputMethod()->commit();
    m_strPreedit.clear();
    QAbstractScrollArea::focusOutEvent(pEvent);
    m_bHasFocus = false;
    m_timerCaret.stop();
    if (m_bMouseSelecting) {
        m_bMouseSelecting = m_bBoxSelecting = false;
        m_timerAutoScroll.stop();
    }
    viewport()->update();
}

void CCrystalTextView::wheelEvent(QWheelEvent *pEvent)
{
    QAbstractScrollArea::wheelEvent(pEvent);
}

QVariant CCrystalTextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    auto *pThis = const_cast<CCrystalTextView *>(this);
    switch (query) {
    case Qt::ImCursorRectangle:
        return QRectF(pThis->CaretRect().translated(viewport()->pos()));
    case Qt::ImFont:
        return m_font;
    case Qt::ImEnabled:
        return true;
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void CCrystalTextView::SetShowInactiveSelection(bool bShow)
{
    if (m_bShowInactiveSelection == bShow)
        return;
    m_bShowInactiveSelection = bShow;
    viewport()->update();
}

std::uint32_t CCrystalTextView::ParseLineColors(std::uint32_t dwCookie, int nLineIndex,
                                                ColorBlock *pBuf, int &nActualItems)
{
    (void)dwCookie;
    (void)nLineIndex;
    (void)pBuf;
    (void)nActualItems;
    return 0;
}
