// The text of one document: an array of lines of Shift-JIS bytes with line
// flags, the line-end mode, modified and read-only states, the undo list and
// the views that show it. Every change goes through the two primitive
// operations, insertion and deletion, which tell every attached view what
// changed. The buffer never draws and never converts characters.
#pragma once

#include "text/linearray.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CExtraChars;

struct CPoint
{
    int x = 0;  // byte index within the line
    int y = 0;  // line index

    constexpr CPoint() = default;
    constexpr CPoint(int nX, int nY) : x(nX), y(nY) {}
    friend constexpr bool operator==(const CPoint &, const CPoint &) = default;
};

// Line flags. Numbered bookmarks are the bits 1 << n for n = 0..9.
enum : std::uint32_t
{
    LF_NUMBERED_BOOKMARK_0 = 0x0001,
    LF_NUMBERED_BOOKMARK_1 = 0x0002,
    LF_NUMBERED_BOOKMARK_2 = 0x0004,
    LF_NUMBERED_BOOKMARK_3 = 0x0008,
    LF_NUMBERED_BOOKMARK_4 = 0x0010,
    LF_NUMBERED_BOOKMARK_5 = 0x0020,
    LF_NUMBERED_BOOKMARK_6 = 0x0040,
    LF_NUMBERED_BOOKMARK_7 = 0x0080,
    LF_NUMBERED_BOOKMARK_8 = 0x0100,
    LF_NUMBERED_BOOKMARK_9 = 0x0200,
    LF_BOOKMARK = 0x80000,
};

inline constexpr std::uint32_t LF_NUMBERED_BOOKMARK(int n)
{
    return std::uint32_t(1) << n;
}

// What UpdateView is told about a change.
enum : std::uint32_t
{
    NOTIFY_WIDTH = 0x0001,       // a line's length may have changed
    NOTIFY_HEIGHT = 0x0002,      // the number of lines changed
    NOTIFY_ONE_LINE = 0x0100,    // only the given line changed
    NOTIFY_FLAGS_ONLY = 0x0200,  // only line flags changed
    NOTIFY_RESET = 0x1000,       // the whole content was replaced
    NOTIFY_BATCH = 0x2000,       // one edit of a batch: a summary of the batch follows
};

enum
{
    LINEEND_CRLF = 0,
    LINEEND_LF = 1,
    LINEEND_CR = 2,
};

// The separator written between lines in a line-end mode ("\r\n" for an unknown mode).
std::string_view LineEndSeparator(int nLineEndMode);

// Undo action codes; each names the undo and redo menu items.
enum
{
    ACTION_UNKNOWN = 0,
    ACTION_PASTE = 1,
    ACTION_DELSEL = 2,
    ACTION_CUT = 3,
    ACTION_TYPING = 4,
    ACTION_BACKSPACE = 5,
    ACTION_INDENT = 6,  // changes made with this code are never recorded
    ACTION_DRAGDROP = 7,
    ACTION_REPLACE = 8,
    ACTION_DELETE = 9,
    ACTION_AUTOINDENT = 10,
    ACTION_CONVERT = 11,
    ACTION_TAGINSERT = 12,
    ACTION_INSERT = 13,
    ACTION_INDENT2 = 14,
};

enum : std::uint32_t
{
    UNDO_INSERT = 0x0001,
    UNDO_GROUP_START = 0x0100,
};

// Moves a position that a view keeps across a change so that it still points
// at the same text afterwards.
struct ChangeHint
{
    CPoint ptStart;
    CPoint ptEnd;

    ChangeHint(CPoint start, CPoint end) : ptStart(start), ptEnd(end) {}
    virtual ~ChangeHint() = default;
    virtual void AdjustPoint(CPoint &pt) const = 0;
};

// Text was inserted at ptStart; ptEnd is just after it. A position exactly at
// the insertion point stays before the new text.
struct InsertHint : ChangeHint
{
    using ChangeHint::ChangeHint;
    void AdjustPoint(CPoint &pt) const override;
};

// The range ptStart..ptEnd was deleted.
struct DeleteHint : ChangeHint
{
    using ChangeHint::ChangeHint;
    void AdjustPoint(CPoint &pt) const override;
};

// What the buffer knows of a view that shows it.
class CBufferView
{
public:
    virtual ~CBufferView() = default;
    // Called synchronously from inside every change; must not change the buffer.
    // pSource is the view that made the change (null for undo, redo, loading);
    // nLine is the first affected line, or -1 for all.
    virtual void UpdateView(CBufferView *pSource, const ChangeHint *pHint, std::uint32_t dwFlags,
                            int nLine) = 0;
    // A deletion is about to take the range away; it is still in the buffer.
    virtual void OnBeforeDelete(int nStartLine, int nStartChar, int nEndLine, int nEndChar)
    {
        (void)nStartLine;
        (void)nStartChar;
        (void)nEndLine;
        (void)nEndChar;
    }
    // A group of undo records was closed by the view that made it.
    virtual void OnUndoGroupEnded(int nAction, std::string_view text)
    {
        (void)nAction;
        (void)text;
    }
    // The line-end mode changed while the lines stayed as they are.
    virtual void OnLineEndModeChanged() {}
};

class CCrystalTextBuffer
{
public:
    static constexpr int UNDO_LIMIT = 2048;

    CCrystalTextBuffer();
    virtual ~CCrystalTextBuffer();
    CCrystalTextBuffer(const CCrystalTextBuffer &) = delete;
    CCrystalTextBuffer &operator=(const CCrystalTextBuffer &) = delete;

    // Lifetime.
    bool InitNew(int nLineEndMode = LINEEND_CRLF);
    void FreeAll();
    bool IsInit() const { return m_bInit; }

    // Views.
    void AttachView(CBufferView *pView);
    void DetachView(CBufferView *pView);
    void NotifyViews(CBufferView *pSource, const ChangeHint *pHint, std::uint32_t dwFlags,
                     int nLine);

    // Batches of many edits (a replace-all, the undo of one). Inside a batch
    // every edit still reaches the views with its hint, flagged NOTIFY_BATCH:
    // a view need only move the positions it keeps. Closing the outermost
    // batch sends one notification from the first changed line, so that the
    // views refresh their per-line data once instead of once per edit.
    void BeginBatch() { ++m_nBatchDepth; }
    void EndBatch(CBufferView *pSource);
    bool IsInBatch() const { return m_nBatchDepth > 0; }

    // Lines (no bounds checks: callers pass valid indexes).
    int GetLineCount() const { return m_aLines.GetSize(); }
    int GetLineLength(int nLine) const { return m_aLines[nLine].nLength; }
    const char *GetLineText(int nLine) const { return m_aLines[nLine].pszText; }
    std::string_view GetLine(int nLine) const
    {
        const TextLine &li = m_aLines[nLine];
        return li.nLength > 0 ? std::string_view(li.pszText, static_cast<std::size_t>(li.nLength))
                              : std::string_view();
    }
    std::uint32_t GetLineFlags(int nLine) const { return m_aLines[nLine].dwFlags; }
    // Bytes allocated for the line's own text block: a multiple of 16 above
    // its length when the block was made, kept while the line shrinks. A line
    // loaded from a file has no block of its own (0): its bytes sit packed
    // with the others, and its first growth moves it to a block of its own.
    int GetLineCapacity(int nLine) const;

    int GetLineEndMode() const { return m_nLineEndMode; }
    // A new mode is a change of what saving writes: the buffer is modified
    // and its views hear of it.
    void SetLineEndMode(int nMode);
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(bool bReadOnly) { m_bReadOnly = bReadOnly; }
    // The document's table of the characters Shift-JIS lacks, kept by the
    // document for a file in another code (null for Shift-JIS), for the
    // views that turn the bytes into characters and back. The buffer's own
    // routines never look at it.
    CExtraChars *GetExtraChars() const { return m_pExtraChars; }
    void SetExtraChars(CExtraChars *pExtra) { m_pExtraChars = pExtra; }
    bool IsModified() const { return m_bModified; }
    virtual void SetModified(bool bModified);

    // Whether the byte at nPos of the line is the first (second) byte of a
    // double-byte character, reading the line from its start.
    bool IsLeadByteAt(int nLine, int nPos) const;
    bool IsTrailByteAt(int nLine, int nPos) const;

    // Line flags. dwFlag must have exactly one bit set.
    void SetLineFlag(int nLine, std::uint32_t dwFlag, bool bSet, bool bRemoveFromOtherLine = true);
    int FindLineWithFlag(std::uint32_t dwFlag) const;
    int FindNextBookmark(int nLine) const;
    int FindPrevBookmark(int nLine) const;

    // Text of a range; lines are joined by pszSeparator ("\r\n" when null).
    void GetText(int nStartLine, int nStartChar, int nEndLine, int nEndChar, std::string &strText,
                 const char *pszSeparator = nullptr) const;

    // The editing operations: make the change, record it for undo (except for
    // ACTION_INDENT) and notify the views. False, with nothing changed, when
    // the buffer is read-only. In inserted text a CR, or CR LF, breaks the line;
    // a lone LF is an ordinary byte.
    bool InsertText(CBufferView *pSource, int nLine, int nPos, std::string_view text, int &nEndLine,
                    int &nEndChar, int nAction = ACTION_UNKNOWN);
    bool DeleteText(CBufferView *pSource, int nStartLine, int nStartChar, int nEndLine,
                    int nEndChar, int nAction = ACTION_UNKNOWN);
    // Inserts exactly the given line pieces (the first joins line nLine at
    // nPos, each further one starts a new line), whatever bytes they hold: for
    // text copied within the program, whose lines may hold CR bytes of their own.
    bool InsertLines(CBufferView *pSource, int nLine, int nPos,
                     const std::vector<std::string_view> &aPieces, int &nEndLine, int &nEndChar,
                     int nAction = ACTION_UNKNOWN);
    // The line pieces InsertText makes of a text.
    static std::vector<std::string_view> SplitAtLineBreaks(std::string_view text);
    // The line pieces of a range (what InsertLines takes back).
    std::vector<std::string> GetTextLines(int nStartLine, int nStartChar, int nEndLine,
                                          int nEndChar) const;

    // Undo. Commands open groups through CUndoGroup rather than these two.
    void BeginUndoGroup(bool bMergeWithPrevious = false);
    // Closes the open group. When pSource is given and the group recorded
    // something, the view hears of it through OnUndoGroupEnded.
    void EndUndoGroup(CBufferView *pSource);
    bool IsInUndoGroup() const { return m_bInUndoGroup; }
    // Where the last typed character left the caret. A character typed there
    // joins that typing's group, but only while nothing else has changed the
    // undo list since: any other record, undo or redo forgets the position.
    void SetLastTypedPos(CPoint pt) { m_ptLastTyped = pt; }
    bool IsLastTypedPos(CPoint pt) const { return m_ptLastTyped == pt; }
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo(CPoint &ptCursor);
    bool Redo(CPoint &ptCursor);
    void GetUndoDescription(std::string &strName, int nPos = 0) const;
    void GetRedoDescription(std::string &strName, int nPos = 0) const;
    // The UTF-8 name of an action code; false (and an empty name) for unknown codes.
    virtual bool GetActionName(int nAction, std::string &strName) const;
    void ClearUndo();
    int GetUndoRecordCount() const { return static_cast<int>(m_aUndo.size()); }

    // Files. LoadFromFile expects an empty buffer; nLineEndMode -1 detects the
    // mode from the first line break. SaveToFile with -1 writes in the buffer's
    // own mode; the file is replaced in one step or left as it was.
    bool LoadFromFile(const std::string &strPath, int nLineEndMode = -1);
    bool SaveToFile(const std::string &strPath, int nLineEndMode = -1, bool bClearModified = true);
    // Loads text that is already in memory the way LoadFromFile loads a file
    // (a converted file); the buffer is not read-only afterwards.
    bool LoadFromMemory(std::string_view bytes, int nLineEndMode = -1);
    // Where LoadFromSource takes the text from, a block at a time.
    class CLoadSource
    {
    public:
        virtual ~CLoadSource() = default;
        // Points p at the next block and returns its size: 0 at the end, -1
        // on an error (the load then fails and the buffer is emptied). The
        // block stays valid until the next call, no longer.
        virtual std::ptrdiff_t Next(const char *&p) = 0;
        // The next block put at pOut instead, its size returned as Next
        // returns it; by default a copy of the block Next gives. A source
        // that reads can read there straight away.
        virtual std::ptrdiff_t NextInto(char *pOut);
    };
    // Loads text a source makes (a file converted as it is read); nSize is
    // the text's size if known in advance, otherwise -1.
    bool LoadFromSource(CLoadSource &source, long long nSize, int nLineEndMode = -1);
    // A large text is cut into lines in two halves at once, split just after
    // the first separator past its middle, in a mode decided in its first half.
    struct CHalves
    {
        int nMode = LINEEND_CRLF;
        std::size_t nSecondAt = 0;  // where the second half starts
    };
    // Where text of this many bytes or more is cut in halves.
    static constexpr std::size_t HALVES_FROM = 1u << 20;
    // Where bytes would be cut (nLineEndMode as LoadFromFile takes it); false
    // for a text too small, or that cannot be cut so.
    static bool FindHalves(std::string_view bytes, int nLineEndMode, CHalves &halves);
    // The two halves of a text FindHalves cut, each a source that gives as
    // many bytes at most as its half has: the first half (ending with its
    // separator) read on this thread, the second on another at the same time.
    class CHalvesSource
    {
    public:
        virtual ~CHalvesSource() = default;
        virtual CLoadSource &First() = 0;
        virtual CLoadSource &Second() = 0;
        // Asked once both are read, with the second half's bytes as they lie
        // (its lines with their separators), which it may rewrite in
        // place byte for byte: false when they are not the text's after all
        // (made from a guess of where the first half would leave off);
        // Second() then gives the right ones, read again on this thread.
        virtual bool SecondStands(char *pBytes, std::size_t nBytes) = 0;
    };
    // Loads a text of nSize bytes given in the halves FindHalves found in it.
    bool LoadFromHalves(CHalvesSource &source, const CHalves &halves, std::size_t nSize);
    // Loads the first nSize bytes of an open file as LoadFromMemory would
    // load them, cut in the halves FindHalves found in them: each half is
    // read on its own thread straight into the text's memory and cut there
    // a block at a time, while the block is in the processor's cache. False
    // (errno set) when the file cannot be read, EAGAIN when its bytes are no
    // longer those the halves were found in (the file changed meanwhile).
    bool LoadFileHalves(int fd, const CHalves &halves, std::size_t nSize);
    // The text is what its file holds now: not modified, and undoing back to
    // here makes it unmodified again.
    void SetSavePoint();

private:
    struct UndoEntry
    {
        std::uint32_t dwFlags = 0;
        CPoint ptStart;
        CPoint ptEnd;
        int nAction = ACTION_UNKNOWN;
        std::string strText;  // line breaks written as CR LF
        // For a change over several lines, the length of each line piece, so
        // that undo and redo restore exactly those lines even when a line held
        // CR or LF bytes of its own.
        std::vector<int> aPieceLengths;
    };

    static std::vector<std::string_view> SplitRecordPieces(const UndoEntry &rec);
    bool InternalInsertPieces(CBufferView *pSource, int nLine, int nPos,
                              const std::vector<std::string_view> &aPieces, int &nEndLine,
                              int &nEndChar);
    bool InternalDeleteText(CBufferView *pSource, int nStartLine, int nStartChar, int nEndLine,
                            int nEndChar);
    void RecordChange(CBufferView *pSource, UndoEntry &&rec);
    void AddUndoRecord(UndoEntry &&rec);
    void UpdateModifiedAfterUndo();
    bool CutHalves(CHalvesSource &source, const CHalves &halves, std::size_t nSize);
    // The states a freshly loaded text starts in; tells the views.
    void FinishLoad();

    TextLine NewLine(const char *pData, int nLength);
    void AppendToLine(TextLine &line, const char *pData, int nLength);
    void ReleaseLine(TextLine &line);
    // Whether the line's text is a heap block of its own (not in the arena).
    bool HasOwnBlock(const TextLine &line) const { return line.pszText && !m_arena.Owns(line.pszText); }

    bool m_bInit = false;
    bool m_bReadOnly = false;
    CExtraChars *m_pExtraChars = nullptr;
    bool m_bModified = false;
    int m_nLineEndMode = LINEEND_CRLF;
    int m_nUndoLimit = UNDO_LIMIT;
    CLineArray m_aLines;
    CTextArena m_arena;
    int m_nOwnBlocks = 0;  // lines with a heap block of their own

    std::vector<UndoEntry> m_aUndo;
    int m_nUndoPos = 0;
    // m_nUndoPos at the last save or load; -1 once that state can no longer be
    // reached by undo or redo.
    int m_nSavedUndoPos = 0;
    bool m_bInUndoGroup = false;
    bool m_bNextStartsGroup = false;
    bool m_bGroupRecorded = false;  // the open group holds at least one record
    CPoint m_ptLastTyped{-1, 0};

    std::vector<CBufferView *> m_lstViews;
    int m_nBatchDepth = 0;
    int m_nBatchFirstLine = -1;  // the first line an edit of the open batch touched
    // Whether the undo or redo step from the current position covers several records.
    bool IsLongUndoGroup(bool bUndo) const;
};

// An undo group for the lifetime of the object: the edits made meanwhile undo
// as one step, whichever way the scope is left. Inside a group that is
// already open it adds nothing, so a command built from other commands stays
// one step. Leaving by an exception closes the group without telling the
// view, whose hook may edit (automatic indentation) and must not run then.
class CUndoGroup
{
public:
    CUndoGroup(CCrystalTextBuffer &buffer, CBufferView *pSource, bool bMergeWithPrevious = false);
    ~CUndoGroup();
    CUndoGroup(const CUndoGroup &) = delete;
    CUndoGroup &operator=(const CUndoGroup &) = delete;
    // Closes the group before the end of the scope.
    void Close();

private:
    CCrystalTextBuffer &m_buffer;
    CBufferView *m_pSource;
    bool m_bOpen;
    int m_nUncaught;
};

// RAII for a batch of edits.
class CBufferBatch
{
public:
    CBufferBatch(CCrystalTextBuffer &buffer, CBufferView *pSource, bool bOpen = true)
        : m_buffer(buffer), m_pSource(pSource), m_bOpen(bOpen)
    {
        if (m_bOpen)
            m_buffer.BeginBatch();
    }
    ~CBufferBatch()
    {
        if (m_bOpen)
            m_buffer.EndBatch(m_pSource);
    }
    CBufferBatch(const CBufferBatch &) = delete;
    CBufferBatch &operator=(const CBufferBatch &) = delete;

private:
    CCrystalTextBuffer &m_buffer;
    CBufferView *m_pSource;
    bool m_bOpen;
};
