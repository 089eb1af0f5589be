// The editing view: typing in insert and overwrite mode, Enter with automatic
// indentation, Delete and Backspace that never split a character, Tab and
// Shift+Tab, the clipboard, undo and redo, drag and drop of text and the input
// method. Every change goes through the buffer with an undo action code.
//
// Typing and the editing keys live in crystaleditview.cpp, the clipboard in
// editview_clipboard.cpp, drag and drop in editview_dragdrop.cpp, the
// editing of box selections in editview_box.cpp.
#pragma once

#include "view/editops.h"
#include "view/findtext.h"
#include "view/ui/crystaltextview.h"

class CExtraChars;
class CSearchDlgBase;
class QMimeData;

// The private clipboard format that carries a copy's exact Shift-JIS bytes,
// preferred over the Unicode text when pasting inside the program.
inline constexpr const char *WRENPAD_MIME_SJIS = "application/x-wrenpad-sjis";

class CCrystalEditView : public CCrystalTextView
{
    Q_OBJECT

public:
    explicit CCrystalEditView(QWidget *pParent = nullptr);
    ~CCrystalEditView() override;

    // Whether text may be changed (a buffer that is not read-only).
    virtual bool CanEdit() const;
    // For an edit the user asked for by a key: false when text may be
    // changed; otherwise, with a read-only buffer, a beep and
    // ReadOnlyEditRefused tell the user why nothing happens, and true.
    bool RefuseReadOnlyEdit();
    bool GetOverwriteMode() const { return m_bOverwriteMode; }
    void SetOverwriteMode(bool bOverwrite);
    bool GetAutoIndent() const { return m_bAutoIndent; }
    void SetAutoIndent(bool bAutoIndent) { m_bAutoIndent = bAutoIndent; }
    void SetDisableDragAndDrop(bool bDisable) { m_bDisableDragAndDrop = bDisable; }

    // Selection operations used by the commands.
    void GetSelectedText(CPoint ptStart, CPoint ptEnd, std::string &strText) const;
    std::string GetSelectedText();
    // In one undo group: deletes the selection and inserts text at the caret;
    // the caret ends behind the text with an empty selection.
    bool ReplaceSelectedText(std::string_view text, int nAction = ACTION_REPLACE);
    // Deletes the selection (if any) with the given action; false if none.
    bool DeleteCurrentSelection(int nAction);

    // Typing: one single-byte character code (13 for Enter).
    void OnTypeChar(unsigned char ch);
    // Typing of one character (one or two bytes); characters typed one after
    // another at the caret join one undo group.
    void TypeCharacter(std::string_view chars);
    // Inserts typed text (an input-method commit, a key's text) character by character.
    void TypeText(std::string_view bytes);
    // Unicode text typed, pasted or dropped as the document's bytes: through
    // its table of extra characters, new codes as needed. What still cannot
    // go in (a Shift-JIS document, or a full table) is named, and the user
    // keeps "?" for it or cancels (false).
    bool TextForInsert(QStringView text, std::string &bytes);
    bool AcceptUnmappable(int nBad, char32_t cFirst);

    // Clipboard.
    bool CopyTextToClipboard(std::string_view text);
    bool PasteTextFromClipboard(std::string &strText) const;
    // Whether the clipboard holds text.
    bool CanPaste() const;
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();

    // Editing keys.
    void OnEditDelete();
    void OnEditDeleteBack();
    // Ctrl+Backspace: deletes what Ctrl+Left moves over (a word with the
    // blanks after it, by the keyboard word classes); at the start of a line
    // the line break, as Backspace does.
    void OnEditDeleteWordBack();
    // Tab (INDENT_MORE) and Shift+Tab (INDENT_LESS).
    virtual void OnEditTab(EIndent eIndent);
    void OnEditUndo();
    void OnEditRedo();
    void OnToggleOverwrite();

    // Find and replace (editview_find.cpp).
    void OnEditFind();
    void OnEditFindNext();
    void OnEditFindPrevious();
    void OnEditReplace();
    // Selects a match of nLength bytes (each line break counting one) from
    // pt; the caret goes to its end, or to its start when bUp.
    void SelectMatch(CPoint pt, int nLength, bool bUp);
    const CFindState &GetFindState() const { return m_find; }

    // Clipboard and drag data: the exact lines privately, Unicode for others.
    // The private form of a box's lines says that they are one.
    // Text from a document with a table of extra characters (pExtra) goes
    // out as Unicode only when it holds codes of the table: another
    // document's table gives the same codes other characters.
    static QMimeData *MimeFromLines(const std::vector<std::string> &aPieces, bool bBox = false,
                                    const CExtraChars *pExtra = nullptr);
    static QMimeData *MimeFromBytes(std::string_view bytes, const CExtraChars *pExtra = nullptr);
    // The lines of dropped or pasted data: the private form when present, else
    // the Unicode text converted to CP932 (pnUnmappable receives how many
    // characters had no CP932 form, pbBox whether the lines are a box's).
    bool LinesFromMime(const QMimeData *pData, std::vector<std::string> &aPieces, int *pnUnmappable = nullptr,
                       bool *pbBox = nullptr, char32_t *pcFirst = nullptr) const;

    // Box selections (editview_box.cpp). Tab and Shift+Tab: a tab at the
    // box's left column of each line, or up to a tab's worth of blanks (or a
    // tab) taken from there.
    void IndentSelectedBox(EIndent eIndent);
    // Inserts the lines of the data at pt; ptEnd receives the end.
    bool InsertMimeText(const QMimeData *pData, CPoint pt, int nAction, CPoint &ptEnd);

signals:
    // Text with no CP932 form was replaced by "?" (for the status bar).
    void UnmappableCharacters(int nCount);
    // A key would have changed a read-only text (for the status bar).
    void ReadOnlyEditRefused();

protected:
    bool OnUnhandledKey(QKeyEvent *pEvent) override;
    void OnUndoGroupEnded(int nAction, std::string_view text) override;
    void inputMethodEvent(QInputMethodEvent *pEvent) override;

    // Drag and drop of text.
    bool CanStartDrag() const override { return !m_bDisableDragAndDrop; }
    void StartTextDrag() override;
    // Runs the drag loop for the data and returns what the drop did.
    virtual Qt::DropAction ExecDrag(QMimeData *pData, Qt::DropActions allowed);
    void dragEnterEvent(QDragEnterEvent *pEvent) override;
    void dragMoveEvent(QDragMoveEvent *pEvent) override;
    void dragLeaveEvent(QDragLeaveEvent *pEvent) override;
    void dropEvent(QDropEvent *pEvent) override;
    // Drops of something other than text (files, in the application view).
    virtual bool OnDropOther(QDropEvent *pEvent);
    void DrawOverlay(QPainter &painter) override;
    // The drop position for a point, moved off a trail byte.
    CPoint DropPositionAt(const QPoint &pt);

    // Box editing (editview_box.cpp). Each is one step of undo.
    bool IsBoxCommand(int nID) const override;
    void CopyBoxToClipboard();
    // Puts text in place of the box on each of its lines and leaves a box of
    // no width after it (a caret when the box had one line).
    void ReplaceSelectedBox(const CBox &box, std::string_view text, int nAction, bool bMerge = false);
    // Delete and Backspace: the box's contents, or of a box of no width the
    // character after (before) its column on each line.
    void DeleteBoxText(bool bBackward);
    void CutBox();
    void TypeIntoBox(std::string_view chars);
    // Paste while a box is selected or of a box's lines.
    void PasteBox(const QMimeData *pData);

    // The tab of the editing view itself (no block indent).
    void InsertTab();
    void MoveToPreviousTabStop();

    void RegisterEditCommands();
    void RegisterFindCommands();
    // Searches for text from ptStart with wrapping and selects the match, or
    // says that it was not found.
    bool FindAndSelect(const std::string &strText, const std::string &strTextUtf8, CPoint ptStart,
                       std::uint32_t dwFlags);
    void ShowNotFound(const std::string &strTextUtf8, bool bAborted);
    // A search text with a character the document cannot hold.
    void ShowUnsearchable(const QString &strText);
    // The end of a replace-all that replaced something: how many, and why it
    // stopped early when it did.
    void ShowReplaceCount(int nCount, bool bBadReplacement, bool bAborted);
    // Proposes the text of the last find or replace in a dialog.
    void ProposeLastSearchText(CSearchDlgBase &dlg) const;
    // Find next from the caret with the last find's text and flags (or the
    // history's first text), the other way round when bReverse.
    void FindNextFromCaret(bool bReverse);
    // The buttons of the replace dialog, run on the replace session.
    class CReplaceController;

    bool m_bAutoIndent = true;
    bool m_bDisableDragAndDrop = false;
    bool m_bDropPosVisible = false;
    CPoint m_ptDropPos;
    CFindState m_find;
    CTextSearch m_search;
};
