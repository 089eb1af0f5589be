// The application's view: the editing view plus what this program adds —
// colouring by view type, block indent and outdent, the bracket jump, the
// line jump and the character code, the web commands that put markup into
// the text, and the settings it draws with.
#pragma once

#include "view/ui/crystaleditview.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QMenu;

class CWrenpadDoc;

class CWrenpadView : public CCrystalEditView
{
    Q_OBJECT

public:
    explicit CWrenpadView(QWidget *pParent = nullptr);

    // The document whose buffer and font the view shows; none for a view
    // that is given its buffer directly.
    void SetDocument(CWrenpadDoc *pDocument) { m_pDocument = pDocument; }
    CWrenpadDoc *GetDocument() const { return m_pDocument; }
    CCrystalTextBuffer *LocateTextBuffer() override;

    // Colouring.
    int GetViewType() const { return m_nViewType; }
    void SetViewType(int nViewType);
    std::uint32_t ParseLineColors(std::uint32_t dwCookie, int nLineIndex, ColorBlock *pBuf,
                                  int &nActualItems) override;
    void OnViewType(int nID);
    void OnUpdateViewType(CCmdUI *pCmdUI);

    // First showing of the view on a document with the given path (empty for
    // an unnamed one): attaches to the buffer, chooses the view type from the
    // extension and applies the settings.
    void InitialUpdate(const std::string &strPath);
    // Colours, font, automatic indentation and marks from the settings.
    void ApplyViewSettings();

    // Indent and outdent: Tab and Shift+Tab indent whole lines when the
    // selection spans several lines.
    void OnEditTab(EIndent eIndent) override;
    void OnIndent();
    void OnUnindent();

    // Bracket jump: the caret goes to the partner of the bracket at (or
    // before) the caret; with bSelect both brackets and what lies between
    // them are selected.
    void OnMatchBracket(bool bSelect);

    void OnEditGotoLine();
    void OnCharCode();
    // The Unicode character of the document's table under the caret; 0 for
    // any other character.
    char32_t CaretExtraChar() const;

    // The browser preview, 1270-1275 (wrenpadview_preview.cpp).
    void OnPreview(int nID);
    void OnUpdatePreview(CCmdUI *pCmdUI);
    // Saves a copy of the text as a template (4001).
    void OnTemplateRegister();
    // Checks the page as edited and its site's folder (1284), into the results bar.
    void OnLinkCheck();
    // A plug-in command (wrenpadview_plugin.cpp): row nRow of the plug-in
    // registry runs on the selection and its results are inserted as the
    // command's type says.
    void RunPluginCommand(int nRow);
    // Kanji codes (wrenpadview_kanji.cpp). ReplaceAllText makes the text the
    // whole buffer, cut into lines by its own line ends, with an empty undo
    // list and not modified; false when the view cannot edit.
    bool ReplaceAllText(std::string_view text);
    // Writes the text converted to EUC (OUTCODE_EUC) or JIS (OUTCODE_JIS) to
    // a file chosen in a save dialog; the document itself is not changed.
    void OnExportKanji(int nOutCode);

    // Tag jump, the jumps to files and the folder search (wrenpadview_jump.cpp).
    void OnTagJump();
    void OnOpenUrl();
    void OnOpenInEditor();
    void OnOpenWithShell();
    void OnFolderSearch();
    // Selects the token around the caret; false when it is empty.
    bool SelectTokenAtCaret();
    // What the selection (within one line) names: JUMP_URL, JUMP_FILE or JUMP_NONE.
    int ClassifySelection();
    // Opens the file the selection names: in the editor when bPreferEditor
    // and its extension is one the editor keeps, else with the desktop.
    void OpenSelectedFile(bool bPreferEditor);
    // Puts "開く(&O)" with what fits the selection at the top of a context menu.
    void AddOpenMenu(QMenu *pMenu);
    // The document's file (UTF-8), empty for a new one; the tag jump looks
    // beside it. InitialUpdate sets it; a document renamed sets it again.
    const std::string &GetDocumentPath() const { return m_strDocumentPath; }
    void SetDocumentPath(const std::string &strPath) { m_strDocumentPath = strPath; }

    // Web commands (wrenpadview_web.cpp, the dialogs in wrenpadview_webdlg.cpp).
    void OnWebCommand(int nID);
    void OnUpdateWebCommand(CCmdUI *pCmdUI);
    // Wraps the selection in strOpen and strClose as one undo step, in upper
    // case when the settings ask for it. bRemember keeps the pair for the
    // repeat command; bSelect selects the wrapped text again (unless the
    // settings say to select nothing), else the caret goes behind strClose.
    void InsertTagPair(std::string strOpen, std::string strClose, bool bSelect, bool bRemember);
    bool GetTagMemory() const { return m_bTagMemory; }
    const std::string &GetLastColor() const { return m_strLastColor; }
    // "挿入ﾀｸﾞ設定": upper or lower case for inserted tags.
    void OnTagCaseSetting();
    // Text at the start and end of every selected line; bCommentBlock opens
    // the dialog set to put the comment prefix at the line starts.
    void OnLineInsert(bool bCommentBlock);

    // The HTML generators (wrenpadview_htmlgen.cpp): vertical writing,
    // gradation, table to separated values and copy as HTML.
    void OnVerticalText(bool bTable);
    void OnTextGradation();
    void OnTableToCsv();
    void OnCopyAsHtml();

    // User tags, web menu items and the completion pop-up (wrenpadview_usertag.cpp).
    void OnUserTag(int nID);
    void OnWebMenuItem(int nID);
    void OnAddUserTag();
    void OnEditUserTags();
    void OnTagCompletion();
    void OnLoadObjectList();
    // Puts a chosen completion item in place of the line's bytes from
    // nReplaceFrom to the caret.
    void InsertCompletion(int nReplaceFrom, const std::string &strItem);

    // Files dropped on the view (wrenpadview_drop.cpp): each file is opened,
    // dumped, imported or put into the text as the drop dialog says.
    void DropFiles(const QStringList &files);

    // Printed pages carry the document's title above the text.
    QString GetPrintHeaderText() const override;

    // The text conversions and insertions of the edit menu (wrenpadview_conv.cpp).
    // Replaces the selection with what convert makes of it, as one undo step
    // that leaves the caret behind the new text; nothing happens without a
    // selection or in a read-only document.
    void ConvertSelection(const std::function<std::string(std::string_view)> &convert);
    void OnTabsToBlanks();
    void OnFullSpacesToBlanks();
    void OnBreakLinesAtWidth();
    void OnDeleteLeadingBlanks();
    void OnDeleteLeadingComment();
    void OnInsertFileName();
    void OnInsertFilePath();
    void OnInsertRelativePath();
    void OnInsertTextFile();
    // Puts the file's text in place of the selection; a file that cannot be
    // read is reported in a message box and changes nothing.
    bool InsertTextFile(const QString &strPath);
    void OnInsertDateTime();

protected:
    bool OnUnhandledKey(QKeyEvent *pEvent) override;
    // Files dropped on the view go to DropFiles.
    bool OnDropOther(QDropEvent *pEvent) override;
    // Indent and outdent work on a box too.
    bool IsBoxCommand(int nID) const override;
    // The first focus of the view switches the input method on when the
    // settings ask for it ("起動時にIMEﾓｰﾄﾞをONにする").
    void focusInEvent(QFocusEvent *pEvent) override;
    // The font the document asks for; without a document the settings' editor font.
    virtual QFont DocumentFont() const;

private:
    // Whole lines of a selection over several lines: from the first line's
    // start to the start of the line after the last one that has selected text.
    void WholeLinesOfSelection(CPoint &ptBegin, CPoint &ptEnd);
    // Replaces a range with line pieces in one undo group and selects the result.
    void ReplaceLines(CPoint ptBegin, CPoint ptEnd, const std::vector<std::string> &aLines, int nAction);

    int m_nViewType;
    std::string m_strDocumentPath;
    void RegisterJumpCommands();
    void RegisterPreviewCommands();
    void RegisterPluginCommands();
    void RegisterKanjiCommands();
    void RegisterConvCommands();
    // Converts the selected lines from their first line's start, or the
    // caret's line alone when the selection lies within one line. convert
    // removes text at line heads only: after the leading blanks, or from the
    // line start when bBlanksGo.
    void ConvertSelectedLines(const std::function<std::string(std::string_view)> &convert, bool bBlanksGo);
    // Deletes bytes of the caret's line; caret and selection keep their text.
    void DeleteFromCaretLine(int nStart, int nLength);
    // Text from the file system or the settings in place of the selection.
    void InsertUnicodeText(const QString &strText);
    // The document's path and title (file name), empty for a new document.
    std::string DocumentPathName() const;
    std::string DocumentTitle() const;
    // The file the selection names, made absolute; empty when none exists.
    std::string SelectedFilePath();
    CWrenpadDoc *m_pDocument = nullptr;
    bool m_bFocusedBefore = false;

    void RegisterHtmlGenCommands();
    void RegisterUserTagCommands();

    // Web commands.
    void RegisterWebCommands();
    // Replaces the selection with line pieces as one undo step; the caret
    // ends behind them.
    void ReplaceSelectionLines(const std::vector<std::string> &aLines, int nAction);
    void OnTagConversion(int nID);
    void OnHexColor();
    void OnImageMap();
    // The commands that ask for their markup in a dialog; false for any other id.
    // strPresetFile (UTF-8) fills the file field of the link and image dialogs.
    bool OnWebDialogCommand(int nID, const std::string &strPresetFile = std::string());
    // Lists, tables and forms (wrenpadview_weblists.cpp), the document's
    // structure and the attributes of the tag at the caret
    // (wrenpadview_webdoc.cpp). False for ids that are none of them.
    bool OnWebStructureCommand(int nID);
    void OnListCommand(int nID);
    void OnTableCommand();
    void OnFormCommand(int nID);
    void OnBasicHtml();
    void OnTitleOrBody(int nID);
    void OnTagAttributes();
    // InsertTagPair for markup whose case is settled already: the user's
    // titles and values in it keep theirs.
    void InsertTagPairAsIs(const std::string &strOpen, const std::string &strClose, bool bSelect, bool bRemember);
    // The whole document as lines, and the document replaced by edited lines
    // as one undo step, the caret kept where it was as far as it can be.
    std::vector<std::string> GetAllLines() const;
    void ReplaceAllLines(const std::vector<std::string> &aLines);
    // Tag-memory mode: remembered pairs pile up until the repeat command.
    bool m_bTagMemory = false;
    // The last colour of the hexadecimal colour command, "#rrggbb".
    std::string m_strLastColor;
};
