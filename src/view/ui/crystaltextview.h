// The read-only text view: shows the lines of a CCrystalTextBuffer in one
// fixed-pitch font, keeps a caret, a selection and a scroll position, converts
// between widget points, display columns and byte positions, paints lines with
// their colour runs, and answers the navigation and bookmark commands.
//
// Geometry, conversion, caret and change notifications live in
// crystaltextview.cpp, scrolling in textview_scroll.cpp, painting in
// textview_draw.cpp, the key table and command routing in textview_keys.cpp,
// keyboard navigation and bookmarks in textview_nav.cpp, mouse selection in
// textview_mouse.cpp, box selection in textview_box.cpp, printing in
// textview_print.cpp.
#pragma once

#include "platform/ui/cmdtarget.h"
#include "syntax/statecache.h"
#include "text/textbuffer.h"
#include "view/boxedit.h"
#include "view/ui/linepainter.h"
#include "view/ui/textprint.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QTimer>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline QColor ColorFromRef(std::uint32_t cr)
{
    return QColor(static_cast<int>(cr & 0xFF), static_cast<int>((cr >> 8) & 0xFF),
                  static_cast<int>((cr >> 16) & 0xFF));
}

inline std::uint32_t RefFromColor(const QColor &c)
{
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8)
           | (static_cast<std::uint32_t>(c.blue()) << 16);
}

class QPrinter;

class CCrystalTextView : public QAbstractScrollArea,
                         public CBufferView,
                         public CCmdTarget,
                         public CLineParser,
                         public CLineSource
{
    Q_OBJECT

public:
    static constexpr int COLOR_COUNT = 50;
    static constexpr int SEL_MARGIN_WIDTH = 20;

    explicit CCrystalTextView(QWidget *pParent = nullptr);
    ~CCrystalTextView() override;

    // --- Buffer --------------------------------------------------------------
    void AttachBuffer(CCrystalTextBuffer *pBuffer = nullptr);
    void DetachBuffer();
    CCrystalTextBuffer *GetTextBuffer() const { return m_pTextBuffer; }
    // The buffer that AttachBuffer takes when given none (the document's).
    virtual CCrystalTextBuffer *LocateTextBuffer() { return nullptr; }

    // --- Lines (a view without a buffer shows one empty line) ----------------
    virtual void ResetView();
    int GetLineCount() const override;
    int GetLineLength(int nLine) const override;
    const char *GetLineText(int nLine) const override;
    std::string_view GetLineChars(int nLine) const;
    virtual int GetLineDisplayLength(int nLine);
    virtual std::uint32_t GetLineFlags(int nLine) const;
    // The text between two positions, lines joined by CR LF.
    virtual void GetText(CPoint ptStart, CPoint ptEnd, std::string &strText) const;

    // --- Geometry ------------------------------------------------------------
    int GetLineHeight();
    int GetCharWidth();
    int GetVisibleLineCount();
    int GetVisibleColumnCount();
    int GetMarginWidth() const;
    int GetWidestLine();
    int GetTabSize() const { return m_nTabSize; }
    void SetTabSize(int nTabSize);
    const QFont &GetViewFont() const { return m_font; }
    void SetViewFont(const QFont &font);
    bool GetSelectionMargin() const { return m_bSelMargin; }
    void SetSelectionMargin(bool bSelMargin);
    int GetFirstVisibleLine() const { return m_nFirstVisibleLine; }
    int GetFirstVisibleColumn() const { return m_nFirstVisibleColumn; }

    // --- Position conversion -------------------------------------------------
    int TextToColumn(int nLine, int nCharIndex) const;
    int ColumnToText(int nLine, int nColumn) const;
    // The document's table of characters Shift-JIS lacks when it holds any:
    // its codes take the cells of their characters (null otherwise).
    const CExtraChars *GetCellTable() const;
    // The byte whose cell holds a column (the line's length past its end).
    int ColumnToTextCell(int nLine, int nColumn) const;
    CPoint PointToText(const QPoint &ptClient);
    QPoint TextToPoint(CPoint ptText);
    void RoundPointX(QPoint &pt);
    // A position moved off the second byte of a character.
    CPoint AfterTrailByte(CPoint pt) const;

    // --- Caret and selection -------------------------------------------------
    CPoint GetCursorPos() const { return m_ptCaret; }
    void SetCursorPos(CPoint pt) { MoveCaret(pt); }
    void MoveCaret(CPoint pt);
    void SetSelectionAnchor(CPoint pt) { m_ptSelAnchor = pt; }
    CPoint GetSelectionAnchor() const { return m_ptSelAnchor; }
    void SelectRange(CPoint ptFrom, CPoint ptTo);
    void SetSelection(CPoint ptFrom, CPoint ptTo) { SelectRange(ptFrom, ptTo); }
    void GetSelectionRange(CPoint &ptBegin, CPoint &ptEnd);
    bool IsSelection();
    bool IsInSelection(CPoint pt);
    void SelectLine(int nLine);
    void SelectAllText();
    void UpdateCaretDisplay();
    void ScrollToPosition(CPoint pt);
    // Caret, anchor and an empty selection at pt, scrolled into view.
    void PlaceCaret(CPoint pt);

    // --- Box selection (textview_box.cpp) ------------------------------------
    // A box selects the screen cells between two corners, the anchor's and
    // the caret's, each a line and a column; a corner may lie past the end of
    // its line. Alt+drag and Alt+Shift with the arrows, Home, End, PageUp and
    // PageDown make one; any other selection ends it.
    bool IsBoxSelection() const { return m_bBoxSelect; }
    // The box's lines and its columns in order.
    CBox GetSelectionBox() const;
    // Selects the box between the two corners; the caret goes to its corner.
    void SelectBox(int nAnchorLine, int nAnchorColumn, int nCaretLine, int nCaretColumn);
    int GetBoxCaretColumn() const { return m_nBoxCaretColumn; }
    // The column the caret is drawn at: a box's corner, or the caret's byte.
    int GetCaretColumn() const;
    // Routes a command; one that knows nothing of boxes first sees the box
    // as the plain selection between its corners.
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;

    // --- Scrolling -----------------------------------------------------------
    void ScrollToFirstLine(int nLine, bool bTrackScrollBar = true);
    void ScrollToFirstColumn(int nColumn, bool bTrackScrollBar = true);
    void RecalcVertScroll(bool bPositionOnly = false);
    void RecalcHorzScroll(bool bPositionOnly = false);
    // Split panes: the child frame tells each pane how to find the panes that
    // share its column (vertical scrolling) or row (horizontal scrolling).
    using SplitPanesFn = std::function<std::vector<CCrystalTextView *>(CCrystalTextView *, bool bVertical)>;
    void SetSplitPanes(SplitPanesFn fn) { m_fnSplitPanes = std::move(fn); }
    virtual void SyncSplitScroll(bool bVertical);
    virtual void OnSplitScrolled(CCrystalTextView *pSource, bool bVertical);

    // --- Colours and marks ---------------------------------------------------
    // Colours are 0x00BBGGRR, as the settings store them.
    virtual std::uint32_t GetColor(int nColorIndex) const;
    virtual void SetColor(int nColorIndex, std::uint32_t cr);
    virtual void GetLineColors(int nLine, std::uint32_t &crBkgnd, std::uint32_t &crText,
                               bool &bDrawWhitespace);
    virtual bool GetBold(int nColorIndex) const;
    virtual bool GetItalic(int nColorIndex) const;
    bool m_bShowTabs = false;
    bool m_bShowZenSpace = false;
    bool m_bShowLineEnds = false;
    void SetShowInactiveSelection(bool bShow);
    bool GetShowInactiveSelection() const { return m_bShowInactiveSelection; }

    // --- Drawing (callable on any painter, e.g. an image in tests) ----------
    virtual void DrawMargin(QPainter &painter, const QRect &rc, int nLine);
    virtual void DrawLine(QPainter &painter, const QRect &rc, int nLine);
    // Paints the lines that meet rcUpdate (client coordinates) onto painter.
    void DrawArea(QPainter &painter, const QRect &rcUpdate);

    // --- Syntax colouring ----------------------------------------------------
    // The view's parse entry; the text view colours nothing.
    std::uint32_t ParseLineColors(std::uint32_t dwCookie, int nLineIndex, ColorBlock *pBuf,
                                  int &nActualItems) override;
    std::uint32_t GetLineParseState(int nLine)
    {
        return m_lineStates.GetLineParseState(*this, nLine);
    }
    CLineStateCache &LineStates() { return m_lineStates; }

    // --- Buffer notifications ------------------------------------------------
    void UpdateView(CBufferView *pSource, const ChangeHint *pHint, std::uint32_t dwFlags,
                    int nLine) override;
    void OnBeforeDelete(int nStartLine, int nStartChar, int nEndLine, int nEndChar) override;

    // --- Status --------------------------------------------------------------
    // " %3d行、%3d列 " with the 1-based line and byte column of the caret.
    QString GetPositionText() const;
    // "DOS", "UNIX" or "MAC"; empty without a buffer.
    QString GetLineEndText() const;

    // --- Printing (textview_print.cpp) ----------------------------------------
    // The title above each printed page; none here, the document's title in
    // the application's view.
    virtual QString GetPrintHeaderText() const;
    // "Page %d/%d" below each printed page.
    virtual QString GetPrintFooterText(int nPage, int nPages) const;
    // What a print job of the view prints: its lines, tab size, font and texts.
    CTextPrintJob::CSource GetPrintSource() const;
    // Prints the whole text (or the printer's page range) on printer; with
    // bShowProgress a dialog shows the pages done and can stop the job.
    bool PrintDocument(QPrinter &printer, bool bShowProgress);
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePageSetup();
    bool m_bPrintHeader = true;
    bool m_bPrintFooter = true;

    // --- Commands ------------------------------------------------------------
    // Offers a command to this view, then to the targets behind it.
    bool RouteCommand(int nID);
    bool RouteUpdate(CCmdUI *pCmdUI);
    // The targets behind the view (document, frames, application).
    void SetCommandFallback(std::function<bool(int nID, CCmdUI *pCmdUI)> fn) { m_fnRouteNext = std::move(fn); }
    // The command a key press means in the view's key table, or 0.
    static int CommandForKey(QKeyCombination key);

    // Selection-dependent helpers used by many commands.
    bool HasBookmarks() const { return m_bBookmarkExist; }

signals:
    // The caret moved or the selection changed (status bar, menus).
    void CaretMoved();
    // The view got the focus.
    void Activated(CCrystalTextView *pView);

protected:
    // Qt events.
    void paintEvent(QPaintEvent *pEvent) override;
    void resizeEvent(QResizeEvent *pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *pEvent) override;
    void focusOutEvent(QFocusEvent *pEvent) override;
    void keyPressEvent(QKeyEvent *pEvent) override;
    void mousePressEvent(QMouseEvent *pEvent) override;
    void mouseMoveEvent(QMouseEvent *pEvent) override;
    void mouseReleaseEvent(QMouseEvent *pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent *pEvent) override;
    void wheelEvent(QWheelEvent *pEvent) override;
    bool event(QEvent *pEvent) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // A key that is not in the key table (typing, in the editing view).
    virtual bool OnUnhandledKey(QKeyEvent *pEvent);

    // Drawn over the text after the caret (the drop position of a drag).
    virtual void DrawOverlay(QPainter &painter) { (void)painter; }

    // Mouse selection hooks for the editing view.
    virtual bool CanStartDrag() const { return false; }
    virtual void StartTextDrag() {}

    // Keyboard navigation (textview_nav.cpp).
    void RegisterNavigationCommands();
    void MoveLeft(bool bSelect);
    void MoveRight(bool bSelect);
    void MoveWordLeft(bool bSelect);
    void MoveWordRight(bool bSelect);
    void MoveUp(bool bSelect);
    void MoveDown(bool bSelect);
    void MovePgUp(bool bSelect);
    void MovePgDn(bool bSelect);
    void MoveHome(bool bSelect);
    void MoveEnd(bool bSelect);
    void MoveCtrlHome(bool bSelect);
    void MoveCtrlEnd(bool bSelect);
    void ScrollUp();
    void ScrollDown();
    // Ends a move: shows the caret and selects from the anchor (bSelect) or
    // collapses the selection to the caret.
    void FinishMove(bool bSelect);

    // Bookmarks (textview_nav.cpp).
    void RegisterBookmarkCommands();
    void RegisterPrintCommands();
    void ToggleBookmark(int nBookmark);
    void GoBookmark(int nBookmark);
    void ClearBookmarks();
    void OnToggleBookmark();
    void OnNextBookmark();
    void OnPrevBookmark();
    void OnClearAllBookmarks();
    void RefreshBookmarkExist();

    // Sets the selection's points and repaints what changed; the box stays.
    void SetSelectionPoints(CPoint ptFrom, CPoint ptTo);

    // Box selection (textview_box.cpp).
    void RegisterBoxCommands();
    void MoveBoxCaret(int nID);
    // Whether a command works on the box itself.
    virtual bool IsBoxCommand(int nID) const;
    // The box becomes the plain selection between its corners.
    void EndBoxSelection();
    // The cell boundary nearest to a point (its column) and the box to it.
    int BoxColumnAt(const QPoint &ptClient);
    void ExtendBoxSelection(const QPoint &ptClient);
    // The selected bytes of a line (none: false).
    bool GetLineSelectedBytes(int nLine, int &nFrom, int &nTo);
    // The box's cells of a line that no selected character covers: the cells
    // of cut tabs and those past the line's end.
    void DrawBoxCells(QPainter &painter, const QRect &rc, int nLine);
    // Scrolls so that a cell is in view.
    void ScrollToCell(int nLine, int nColumn);
    // The byte where a caret at a column of a line stands.
    int CaretByteAtColumn(int nLine, int nColumn) const;
    bool m_bBoxSelect = false;
    bool m_bBoxSelecting = false;  // the mouse makes a box
    int m_nBoxAnchorColumn = 0;
    int m_nBoxCaretColumn = 0;

    // Mouse selection (textview_mouse.cpp).
    void OnAutoScrollTimer();
    void ExtendMouseSelection(CPoint ptMouse);
    CPoint WordStartBefore(CPoint pt) const;
    CPoint WordEndAfter(CPoint pt) const;

    // Painting helpers (textview_draw.cpp).
    // Both draw nCount bytes from nOffset of the line, starting at display
    // column nColumn, and advance ptOrigin and nColumn past them.
    void DrawTextRun(QPainter &painter, QPoint &ptOrigin, int &nColumn, const QRect &rcClip,
                     int nColorIndex, int nLine, int nOffset, int nCount,
                     std::uint32_t crTextOverride);
    void DrawTextSegment(QPainter &painter, QPoint &ptOrigin, int &nColumn, const QRect &rcClip,
                         std::uint32_t crText, std::uint32_t crBkgnd, int nLine, int nOffset,
                         int nCount);
    void DrawMarkImage(QPainter &painter, int nImage, int x, const QRect &rcCell);
    bool IsSelectionShown() const;
    void InvalidateLines(int nLine1, int nLine2, bool bInvalidateMargin = false);
    void MeasureFont();
    QRect CaretRect();
    void BlinkCaret();

    CCrystalTextBuffer *m_pTextBuffer = nullptr;

    int m_nFirstVisibleLine = 0;
    int m_nFirstVisibleColumn = 0;
    CPoint m_ptCaret;
    int m_nWantedColumn = -1;
    CPoint m_ptSelAnchor;
    CPoint m_ptSelFrom;
    CPoint m_ptSelTo;
    CPoint m_ptSelBegin;
    CPoint m_ptSelEnd;
    int m_nTabSize = 4;
    bool m_bSelMargin = true;
    bool m_bOverwriteMode = false;
    bool m_bHasFocus = false;
    bool m_bCaretHidden = false;
    bool m_bShowInactiveSelection = false;
    bool m_bBookmarkExist = false;

    // Mouse selection.
    bool m_bMouseSelecting = false;
    bool m_bWordSelecting = false;
    bool m_bLineSelecting = false;
    bool m_bDragPending = false;
    bool m_bDragging = false;       // a text drag out of this view runs
    CPoint m_ptDragStart;           // where a pending drag was pressed
    QPoint m_ptPressPixel;
    CPoint m_ptDraggedTextBegin;    // the range being dragged, kept across edits
    CPoint m_ptDraggedTextEnd;
    QTimer m_timerAutoScroll;
    QPoint m_ptLastMouse;

    // Cached metrics (-1: stale).
    int m_nLineHeight = -1;
    int m_nCharWidth = -1;
    int m_nScreenLines = -1;
    int m_nScreenChars = -1;
    int m_nMaxLineLength = -1;
    // The widest of the lines a deletion about to happen spans, measured
    // before it (-1: none pending), so that the widest line stays known
    // without keeping every line's width.
    int m_nDeletedWidest = -1;
    int m_nDeletedLine = -1;
    CLineStateCache m_lineStates;
    std::vector<ColorBlock> m_aBlockBuffer;

    // Lines at least this long are drawn from their first visible byte, and
    // the colour runs of the last one drawn are kept until the text changes,
    // so that moving the caret or blinking it does not parse it again.
    static constexpr int LONG_LINE = 16384;
    struct CLongLineRuns
    {
        int nLine = -1;
        unsigned nGeneration = 0;
        int nBlocks = 0;
        std::vector<ColorBlock> aBlocks;
    } m_longLine;
    // Typing in such a line moves its runs with the text at once and parses
    // the line again only once the typing pauses.
    QTimer m_timerRecolour;
    void ShiftLongLineRuns(const ChangeHint &hint);
    // Counts changes of text and colouring; cached runs of another count are stale.
    unsigned m_nGeneration = 0;
    // Columns of bytes of long lines, from which the next conversion on such
    // a line continues instead of starting at the line start. Two are kept:
    // the caret's and the window's left edge are asked for in turn.
    struct CColumnCache
    {
        int nLine = -1;
        int nCharIndex = 0;
        int nColumn = 0;
    };
    mutable std::array<CColumnCache, 2> m_colCache;
    // The cached position of the line nearest before a byte (bByColumn: before
    // a column), or null.
    const CColumnCache *NearestCachedColumn(int nLine, int nTarget, bool bByColumn) const;
    void RememberColumn(const CColumnCache &entry) const;
    void InvalidateTextCaches();
    // Moves the caret, the selection, the anchor and the top line across a change.
    void AdjustKeptPositions(const ChangeHint &hint);

    QFont m_font;
    // Puts the characters into their cells; the printer draws with one too.
    CLinePainter m_linePainter;
    std::array<std::uint32_t, COLOR_COUNT> m_crColors{};
    std::uint32_t m_crRunBkgnd = 0;  // background of the runs of the line being drawn

    // Caret blinking and the input method's pre-edit text.
    QTimer m_timerCaret;
    bool m_bCaretBlinkOn = true;
    QString m_strPreedit;
    QRect m_rcCaretShown;  // where the caret was last placed, in viewport pixels

    SplitPanesFn m_fnSplitPanes;
    std::function<bool(int, CCmdUI *)> m_fnRouteNext;
    bool m_bInScrollSync = false;
};
