// The edit menu's text conversions ("編集" and its "文字列", "行操作" and
// "HTML操作" submenus), the "挿入" submenu and the date and time. Each handler
// reads the selection, lets a conversion of html/textconv.h or an insertion
// helper of html/textinsert.h make the new text, and puts it in place of the
// selection as one undo step.
#include "app/appsettings.h"
#include "app/docnames.h"
#include "app/ui/convdialogs.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "html/textconv.h"
#include "html/textinsert.h"
#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "text/codedfile.h"
#include "text/doctext.h"
#include "text/filecode.h"
#include "text/nkf.h"
#include "text/ui/codec_qt.h"

#include <QFileInfo>

#include <ctime>

namespace {

const char *const LINK_FILE_FILTER =
    "HHML Files (*.htm;*.html)|*.htm;*.html|Text Files (*.txt)|*.txt|"
    "Image Files (*.gif;*.jpg;*.jpeg)|*.gif;*.jpg;*.jpeg|JPEG Images (*.jpg;*jpe;*jpeg)|*.jpg;*.jpe;*.jpeg|"
    "BMP Images (*.bmp)|*.bmp|GIF Images (*.gif)|*.gif|All Files (*.*)|*.*||";

const char *const TEXT_FILE_FILTER =
    "Text/Html Files |*.txt;*.html;*.htm|C/C++ Files  (*.cpp;*.c)|*.cpp;*.c|C Header Files  (*.h)|*.h|"
    "Java Files  (*.java)|*.java|Perl Files  (*.pl)|*.pl|CGI Files  (*.cgi)|*.cgi|All Files  (*.*)|*.*||";

// What the last "指定文字数で改行" used, offered again next time.
int g_nBreakWidth = 40;
bool g_bBreakKinsoku = true;

QString InsertFileMessage(EInsertFileResult eResult, const QString &strPath)
{
    switch (eResult) {
    case INSERTFILE_NOT_FOUND:
        return QStringLiteral("File not found");
    case INSERTFILE_NO_HANDLES:
        return QStringLiteral("No more file handles available");
    case INSERTFILE_HARDWARE:
        return QStringLiteral("Hardware error");
    case INSERTFILE_DIRECTORY:
        return QStringLiteral("%1\nはフォルダーです。テキストとして挿入できません。").arg(strPath);
    case INSERTFILE_NOT_REGULAR:
        return QStringLiteral("%1\nは通常のファイルではないため、挿入できません。").arg(strPath);
    case INSERTFILE_TOO_LARGE:
        return QStringLiteral("%1\nは2GB以上あるため、挿入できません。").arg(strPath);
    default:
        return QStringLiteral("UnKnown file error");
    }
}

QStringList DialogFilters(const char *pszFilter)
{
    QStringList aFilters;
    for (const std::string &strFilter : DialogFilterStrings(pszFilter))
        aFilters << QString::fromStdString(strFilter);
    return aFilters;
}

int LeadingBlankCount(std::string_view line)
{
    std::size_t n = 0;
    while (n < line.size() && (line[n] == ' ' || line[n] == '\t'))
        ++n;
    return static_cast<int>(n);
}

} // namespace

void CWrenpadView::RegisterConvCommands()
{
    const struct
    {
        int nID;
        std::string (*pfnConvert)(std::string_view);
    } plain[] = {
        {ID_DELETE_ALL_BLANKS, DeleteAllBlanks},
        {ID_HANKANA_TO_ZENKANA, HalfKanaToFull},
        {ID_HANKAKU_TO_ZENKAKU, HalfWidthToFull},
        {ID_ZENKAKU_ALNUM_TO_HANKAKU, FullAlnumToHalf},
        {ID_TO_LOWER, LowerCaseText},
        {ID_TO_UPPER, UpperCaseText},
        {ID_REVERSE_CHARS, ReverseCharacters},
        {ID_LINE_ENDS_TO_CRLF, LineBreaksToCrLf},
        {ID_DELETE_EMPTY_LINES, DeleteEmptyLines},
        {ID_REVERSE_LINES, ReverseLines},
        {ID_HTML_ESCAPE, EscapeHtmlSpecials},
        {ID_HTML_UNESCAPE, UnescapeHtmlSpecials},
        {ID_HTML_FORM_DECODE, DecodeFormData},
    };
    for (const auto &row : plain) {
        const auto pfnConvert = row.pfnConvert;
        OnCommand(row.nID, [this, pfnConvert] { ConvertSelection(pfnConvert); });
    }
    OnCommand(ID_TABS_TO_SPACES, [this] { OnTabsToBlanks(); });
    OnCommand(ID_ZENKAKU_SPACE_TO_HANKAKU, [this] { OnFullSpacesToBlanks(); });
    OnCommand(ID_BREAK_LINES_AT_WIDTH, [this] { OnBreakLinesAtWidth(); });
    OnCommand(ID_DELETE_LEADING_BLANKS, [this] { OnDeleteLeadingBlanks(); });
    OnCommand(ID_DELETE_LEADING_COMMENT, [this] { OnDeleteLeadingComment(); });
    OnCommand(ID_INSERT_FILE_NAME, [this] { OnInsertFileName(); });
    OnCommand(ID_INSERT_FILE_PATH, [this] { OnInsertFilePath(); });
    OnCommand(ID_INSERT_RELATIVE_PATH, [this] { OnInsertRelativePath(); });
    OnCommand(ID_INSERT_TEXT_FILE, [this] { OnInsertTextFile(); });
    OnCommand(ID_INSERT_DATE_TIME, [this] { OnInsertDateTime(); });

    for (const int nID : {ID_TABS_TO_SPACES, ID_DELETE_ALL_BLANKS, ID_ZENKAKU_ALNUM_TO_HANKAKU,
                          ID_ZENKAKU_SPACE_TO_HANKAKU, ID_TO_LOWER, ID_TO_UPPER, ID_REVERSE_CHARS,
                          ID_LINE_ENDS_TO_CRLF, ID_DELETE_EMPTY_LINES, ID_BREAK_LINES_AT_WIDTH, ID_REVERSE_LINES,
                          ID_HTML_ESCAPE, ID_HTML_UNESCAPE, ID_HTML_FORM_DECODE})
        OnUpdate(nID, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection()); });
    // These two call the kanji converter library and cannot run without it.
    for (const int nID : {ID_HANKANA_TO_ZENKANA, ID_HANKAKU_TO_ZENKAKU})
        OnUpdate(nID, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(IsSelection() && NkfLibrary().IsLoaded()); });
    OnUpdate(ID_INSERT_FILE_NAME, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!DocumentTitle().empty()); });
    OnUpdate(ID_INSERT_FILE_PATH, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!DocumentPathName().empty()); });
}

// ---------------------------------------------------------------------------
// Conversions of the selection

void CWrenpadView::ConvertSelection(const std::function<std::string(std::string_view)> &convert)
{
    if (!CanEdit() || !IsSelection())
        return;
    CWaitCursor wait;
    const std::string strText = GetSelectedText();
    ReplaceSelectedText(convert(strText), ACTION_REPLACE);
}

void CWrenpadView::OnTabsToBlanks()
{
    const int nTabSize = GetTabSize();
    ConvertSelection([nTabSize](std::string_view text) { return TabsToBlanks(text, nTabSize); });
}

void CWrenpadView::OnFullSpacesToBlanks()
{
    if (!CanEdit() || !IsSelection())
        return;
    CWaitCursor wait;
    std::string strNew;
    // Without a full-width space the selection stays as it is, and no change is recorded.
    if (FullSpacesToBlanks(GetSelectedText(), strNew))
        ReplaceSelectedText(strNew, ACTION_REPLACE);
}

void CWrenpadView::OnBreakLinesAtWidth()
{
    if (!CanEdit() || !IsSelection())
        return;
    CBreakWidthDlg dlg(g_nBreakWidth, g_bBreakKinsoku, this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    g_nBreakWidth = dlg.GetWidth();
    g_bBreakKinsoku = dlg.GetKinsoku();
    const int nWidth = g_nBreakWidth;
    const bool bKinsoku = g_bBreakKinsoku;
    ConvertSelection([nWidth, bKinsoku](std::string_view text) { return BreakLinesAtWidth(text, nWidth, bKinsoku); });
}

// ---------------------------------------------------------------------------
// Line heads

void CWrenpadView::ConvertSelectedLines(const std::function<std::string(std::string_view)> &convert,
                                        bool bBlanksGo)
{
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    if (b.y == e.y) {
        // The caret's line alone. What convert removes is one run at the
        // line's head (from its start when the blanks go too, else behind
        // them); only that run is deleted, so caret and selection keep their text.
        const std::string_view line = GetLineChars(m_ptCaret.y);
        const std::size_t nNew = convert(line).size();
        if (nNew < line.size())
            DeleteFromCaretLine(bBlanksGo ? 0 : LeadingBlankCount(line), static_cast<int>(line.size() - nNew));
        return;
    }
    CWaitCursor wait;
    b.x = 0;
    MoveCaret(e);
    SetSelectionAnchor(b);
    SelectRange(b, e);
    std::string strText;
    GetSelectedText(b, e, strText);
    ReplaceSelectedText(convert(strText), ACTION_REPLACE);
}

void CWrenpadView::DeleteFromCaretLine(int nStart, int nLength)
{
    const int nLine = m_ptCaret.y;
    auto kept = [nLine, nStart, nLength](CPoint pt) {
        if (pt.y == nLine && pt.x >= nStart + nLength)
            pt.x -= nLength;
        else if (pt.y == nLine && pt.x > nStart)
            pt.x = nStart;
        return pt;
    };
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    const CPoint ptAnchor = kept(m_ptSelAnchor);
    const CPoint ptCaret = kept(m_ptCaret);
    b = kept(b);
    e = kept(e);
    SelectRange(CPoint(nStart, nLine), CPoint(nStart + nLength, nLine));
    ReplaceSelectedText(std::string_view(), ACTION_REPLACE);
    MoveCaret(ptCaret);
    SetSelectionAnchor(ptAnchor);
    SelectRange(b, e);
}

void CWrenpadView::OnDeleteLeadingBlanks()
{
    if (!CanEdit())
        return;
    ConvertSelectedLines(DeleteLeadingBlanks, true);
}

void CWrenpadView::OnDeleteLeadingComment()
{
    if (!CanEdit())
        return;
    CProfileStore &store = AppProfile();
    CLinePrefixDlg dlg(QString::fromStdString(store.GetString(SECTION_MAIN, "strDelComment", "//")), this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    store.WriteString(SECTION_MAIN, "strDelComment", dlg.GetPrefix().toStdString());
    int nUnmappable = 0;
    const std::string strPrefix = QStringToCp932(dlg.GetPrefix(), &nUnmappable);
    // A prefix the document's code cannot hold is at no line's head.
    if (strPrefix.empty() || nUnmappable > 0)
        return;
    const bool bBlanksFirst = dlg.GetBlanksFirst();
    ConvertSelectedLines(
        [&strPrefix, bBlanksFirst](std::string_view text) { return DeleteLinePrefix(text, strPrefix, bBlanksFirst); },
        bBlanksFirst);
}

// ---------------------------------------------------------------------------
// Insertions

std::string CWrenpadView::DocumentPathName() const
{
    return m_pDocument ? m_pDocument->GetPathName() : m_strDocumentPath;
}

std::string CWrenpadView::DocumentTitle() const
{
    if (m_pDocument)
        return m_pDocument->GetTitle();
    return m_strDocumentPath.substr(m_strDocumentPath.rfind('/') + 1);
}

void CWrenpadView::InsertUnicodeText(const QString &strText)
{
    if (!CanEdit())
        return;
    int nUnmappable = 0;
    const std::string strBytes = QStringToDocText(strText, m_pTextBuffer->GetExtraChars(), &nUnmappable);
    if (nUnmappable > 0)
        emit UnmappableCharacters(nUnmappable);
    ReplaceSelectedText(strBytes, ACTION_REPLACE);
}

void CWrenpadView::OnInsertFileName()
{
    InsertUnicodeText(PathText(DocumentTitle()));
}

void CWrenpadView::OnInsertFilePath()
{
    InsertUnicodeText(PathText(DocumentPathName()));
}

void CWrenpadView::OnInsertRelativePath()
{
    if (!CanEdit())
        return;
    const std::string strDocument = DocumentPathName();
    CFileDialogRequest request;
    request.aFilters = DialogFilters(LINK_FILE_FILTER);
    if (!strDocument.empty())
        request.strDirectory = QFileInfo(QString::fromStdString(strDocument)).absolutePath();
    const QStringList files = RunFileDialog(this, request);
    if (files.isEmpty())
        return;
    InsertUnicodeText(PathText(RelativeLinkPath(strDocument, files.first().toStdString())));
}

void CWrenpadView::OnInsertTextFile()
{
    if (!CanEdit())
        return;
    const std::string strDocument = DocumentPathName();
    CFileDialogRequest request;
    request.aFilters = DialogFilters(TEXT_FILE_FILTER);
    if (!strDocument.empty())
        request.strDirectory = QFileInfo(QString::fromStdString(strDocument)).absolutePath();
    const QStringList files = RunFileDialog(this, request);
    if (!files.isEmpty())
        InsertTextFile(files.first());
}

bool CWrenpadView::InsertTextFile(const QString &strPath)
{
    if (!CanEdit())
        return false;
    CWaitCursor wait;
    std::string strBytes;
    const EInsertFileResult eResult = ReadFileForInsertion(strPath.toStdString(), strBytes);
    if (eResult != INSERTFILE_OK) {
        MessageBox(this, InsertFileMessage(eResult, strPath), QString(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // A file in UTF-8, EUC-JP or JIS goes in as the text it holds, read as
    // opening it would read it, its characters beyond Shift-JIS taking codes
    // of this document's table. What the document cannot hold (any such
    // character in a Shift-JIS document) goes in as "?" if the user agrees.
    CDecodedText decoded = DecodeFileText(strBytes);
    if (decoded.eCode != ETextCode::Sjis) {
        int nBad = 0;
        char32_t cFirst = 0;
        strBytes = RemapExtraChars(decoded.strText, decoded.extra, m_pTextBuffer->GetExtraChars(), &nBad, &cFirst);
        if (!AcceptUnmappable(nBad, cFirst))
            return false;
    }
    if (IsLineFeedText(strBytes)) {
        // A file with LF line ends gives its own lines, as it would when opened.
        std::vector<std::string> aLines;
        for (const std::string_view piece : CutAtLineFeeds(strBytes))
            aLines.emplace_back(piece);
        strBytes = std::string();
        CPoint b;
        CPoint e;
        GetSelectionRange(b, e);
        ReplaceLines(b, e, aLines, b == e ? ACTION_INSERT : ACTION_REPLACE);
        PlaceCaret(m_ptCaret);
    } else if (!ReplaceSelectedText(strBytes, ACTION_REPLACE)) {
        return false;
    }
    if (decoded.eProblem == ETextProblem::NoSjisForm || decoded.eProblem == ETextProblem::TooManyExtra) {
        const CFileCodeState state{decoded.eCode, decoded.forms, decoded.eProblem, decoded.nProblemLine,
                                   decoded.cProblem, decoded.cProblemOther, {}};
        MessageBox(this,
                   QStringLiteral("%1\n%2 のファイルとして読み込みましたが、%3\nその文字は「?」として挿入しました。")
                       .arg(strPath, QString::fromUtf8(TextCodeLabel(decoded.eCode)),
                            QString::fromStdString(DescribeCodeProblem(state))),
                   QStringLiteral("文字コード"), MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

void CWrenpadView::OnInsertDateTime()
{
    if (!CanEdit())
        return;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    InsertUnicodeText(
        QString::fromStdString(FormatDateTime(AppProfile().GetString(SECTION_MAIN, "strNowDate", ""), tm)));
}
