// The edit menu's conversions and insertions in the application view: what
// each does to the selection, one undo step each, and nothing at all in a
// read-only document.
#include "app/ui/convdialogs.h"
#include "app/ui/dialoganswer.h"
#include "html/textconv.h"
#include "res/commands.h"
#include "support/sjistext.h"
#include "support/testutil.h"
#include "support/webfixture.h"
#include "text/nkf.h"

#include <functional>
#include <utility>

namespace {

class ConvView : public CWebFixture
{
protected:
    void SelectAll()
    {
        const int nLast = m_buffer.GetLineCount() - 1;
        Select(CPoint(0, 0), CPoint(m_buffer.GetLineLength(nLast), nLast));
    }

    // Runs the command on a file the user picks (none: cancelled).
    void InsertFrom(int nID, const std::string &strPath)
    {
        m_answerFiles = strPath.empty() ? QStringList() : QStringList{QString::fromStdString(strPath)};
        m_view.RouteCommand(nID);
    }

    bool IsEnabled(int nID)
    {
        CCmdUI ui(nID, true);
        m_view.OnCmdMsg(nID, &ui);
        return ui.IsEnabled();
    }
};

std::function<int(QDialog *)> AnswerPrefix(const QString &strPrefix, bool bBlanksFirst)
{
    return Answer<CLinePrefixDlg>([=](CLinePrefixDlg *p) { p->SetPrefix(strPrefix), p->SetBlanksFirst(bBlanksFirst); });
}

// Every command of the edit menu's conversions and insertions.
const int ALL_COMMANDS[] = {
    ID_TABS_TO_SPACES, ID_DELETE_LEADING_BLANKS, ID_DELETE_LEADING_COMMENT, ID_DELETE_ALL_BLANKS,
    ID_HANKANA_TO_ZENKANA, ID_HANKAKU_TO_ZENKAKU, ID_ZENKAKU_ALNUM_TO_HANKAKU, ID_ZENKAKU_SPACE_TO_HANKAKU,
    ID_TO_LOWER, ID_TO_UPPER, ID_REVERSE_CHARS, ID_LINE_ENDS_TO_CRLF, ID_DELETE_EMPTY_LINES,
    ID_BREAK_LINES_AT_WIDTH, ID_REVERSE_LINES, ID_HTML_ESCAPE, ID_HTML_UNESCAPE, ID_HTML_FORM_DECODE,
    ID_INSERT_FILE_NAME, ID_INSERT_FILE_PATH, ID_INSERT_RELATIVE_PATH, ID_INSERT_TEXT_FILE, ID_INSERT_DATE_TIME,
};

} // namespace

// What each conversion makes of a text is its function's business: here each
// command reaches its own function, with what its dialog asked.
TEST_F(ConvView, EachConversionReplacesTheSelectionInOneUndoStep)
{
    m_view.SetTabSize(4);
    using Convert = std::function<std::string(std::string_view)>;
    const auto noBlanks = [](std::string_view text) {
        std::string strOut(text);
        FullSpacesToBlanks(text, strOut);
        return strOut;
    };
    const struct
    {
        int nID;
        std::string strText;  // lines joined by CR LF, all selected
        Convert fnExpected;
        std::function<int(QDialog *)> fnDialog;
    } cases[] = {
        {ID_TABS_TO_SPACES, "a\tb\r\n\tc", [](std::string_view t) { return TabsToBlanks(t, 4); }, nullptr},
        {ID_DELETE_LEADING_BLANKS, "  a\r\n\t b\r\nc", DeleteLeadingBlanks, nullptr},
        {ID_DELETE_LEADING_COMMENT, "// a\r\n  // b",
         [](std::string_view t) { return DeleteLinePrefix(t, "//", false); }, AnswerPrefix("//", false)},
        {ID_DELETE_ALL_BLANKS, S("a b\r\nc\tあ　"), DeleteAllBlanks, nullptr},
        {ID_HANKANA_TO_ZENKANA, S("ｶﾞｲﾄﾞ"), HalfKanaToFull, nullptr},
        {ID_HANKAKU_TO_ZENKAKU, S("ｱa1"), HalfWidthToFull, nullptr},
        {ID_ZENKAKU_ALNUM_TO_HANKAKU, S("ＡＢ１"), FullAlnumToHalf, nullptr},
        {ID_ZENKAKU_SPACE_TO_HANKAKU, S("あ　い"), noBlanks, nullptr},
        {ID_TO_LOWER, S("<B>ア</B>"), LowerCaseText, nullptr},
        {ID_TO_UPPER, "<b>x</b>", UpperCaseText, nullptr},
        {ID_REVERSE_CHARS, S("あい\r\nb"), ReverseCharacters, nullptr},
        // A lone LF is a byte of its line until it becomes a line break.
        {ID_LINE_ENDS_TO_CRLF, "a\nb\r\nc", LineBreaksToCrLf, nullptr},
        {ID_DELETE_EMPTY_LINES, "a\r\n\r\n\r\nb", DeleteEmptyLines, nullptr},
        {ID_BREAK_LINES_AT_WIDTH, S("あいう。"), [](std::string_view t) { return BreakLinesAtWidth(t, 1, true); },
         Answer<CBreakWidthDlg>([](CBreakWidthDlg *p) { p->SetWidth(1), p->SetKinsoku(true); })},
        {ID_REVERSE_LINES, "a\r\nb\r\nc", ReverseLines, nullptr},
        {ID_HTML_ESCAPE, "<a>&", EscapeHtmlSpecials, nullptr},
        {ID_HTML_UNESCAPE, "&LT;a&gt;", UnescapeHtmlSpecials, nullptr},
        {ID_HTML_FORM_DECODE, "a=%82%A0&b=c", DecodeFormData, nullptr},
    };
    for (const auto &c : cases) {
        Reset(c.strText);
        const std::string strBefore = Text();
        // The converted text as Text() shows it.
        std::string strAfter = c.fnExpected(c.strText);
        for (std::size_t n = strAfter.find("\r\n"); n != std::string::npos; n = strAfter.find("\r\n", n))
            strAfter.replace(n, 2, "|");
        ASSERT_NE(strAfter, strBefore) << c.nID;  // a text the command changes
        SelectAll();
        m_fnDialog = c.fnDialog;
        m_view.RouteCommand(c.nID);
        EXPECT_EQ(Text(), strAfter) << c.nID;
        EXPECT_FALSE(m_view.IsSelection()) << c.nID;
        const int nLast = m_buffer.GetLineCount() - 1;
        EXPECT_EQ(m_view.GetCursorPos(), CPoint(m_buffer.GetLineLength(nLast), nLast)) << c.nID;

        m_view.RouteCommand(ID_EDIT_UNDO);
        EXPECT_EQ(Text(), strBefore) << c.nID;
        EXPECT_FALSE(m_buffer.CanUndo()) << c.nID;
        m_view.RouteCommand(ID_EDIT_REDO);
        EXPECT_EQ(Text(), strAfter) << c.nID;
    }

    // The width dialog offers what was used last; cancelled, it changes nothing.
    Reset(S("あいう"));
    SelectAll();
    int nOffered = 0;
    m_fnDialog = Answer<CBreakWidthDlg>([&nOffered](CBreakWidthDlg *p) { nOffered = p->GetWidth(); }, QDialog::Rejected);
    m_view.RouteCommand(ID_BREAK_LINES_AT_WIDTH);
    EXPECT_EQ(std::make_pair(nOffered, Text()), std::make_pair(1, S("あいう")));

    // Without a full-width space that conversion changes nothing and records nothing.
    Reset(S("あい uv"));
    SelectAll();
    m_view.RouteCommand(ID_ZENKAKU_SPACE_TO_HANKAKU);
    EXPECT_FALSE(m_buffer.CanUndo());
}

TEST_F(ConvView, ReadOnlyDocumentsAndEmptySelectionsChangeNothing)
{
    CTempDir dir;
    WriteFileBytes(dir.File("t.txt"), "inserted");
    m_answerFiles = {QString::fromStdString(dir.File("t.txt"))};
    m_view.SetDocumentPath(dir.File("page.html"));
    m_fnDialog = Answer<CBreakWidthDlg>([](CBreakWidthDlg *p) { p->SetWidth(1); });
    for (const int nID : ALL_COMMANDS) {
        Reset("  // A\tb<>&\r\n  // c\r\n\r\nd");
        SelectAll();
        m_buffer.SetReadOnly(true);
        m_view.RouteCommand(nID);
        EXPECT_EQ(Text(), "  // A\tb<>&|  // c||d") << nID;
        EXPECT_FALSE(m_buffer.CanUndo()) << nID;
    }
    // Not even a dialog is shown.
    EXPECT_TRUE(m_aDialogTitles.empty());
    EXPECT_TRUE(m_aFileRequests.empty());

    // The selection conversions need a selection; the caret alone is not one.
    for (const int nID : {ID_TABS_TO_SPACES, ID_DELETE_ALL_BLANKS, ID_HANKAKU_TO_ZENKAKU, ID_TO_UPPER,
                          ID_REVERSE_CHARS, ID_BREAK_LINES_AT_WIDTH, ID_REVERSE_LINES, ID_HTML_ESCAPE}) {
        Reset("a\tb <c>");
        m_view.PlaceCaret(CPoint(3, 0));
        EXPECT_FALSE(IsEnabled(nID)) << nID;
        m_view.RouteCommand(nID);
        EXPECT_EQ(Text(), "a\tb <c>") << nID;
        EXPECT_FALSE(m_buffer.CanUndo()) << nID;
    }
    EXPECT_TRUE(m_aDialogTitles.empty());

    // Without the kanji converter library the two that call it are off.
    SelectAll();
    NkfLibrary().Unload();
    EXPECT_FALSE(IsEnabled(ID_HANKANA_TO_ZENKANA) || IsEnabled(ID_HANKAKU_TO_ZENKAKU));
    NkfLibrary().Load();
    EXPECT_TRUE(IsEnabled(ID_HANKAKU_TO_ZENKAKU));
}

TEST_F(ConvView, LineHeadCommandsTakeWholeLinesOrTheCaretLine)
{
    // A selection over several lines starts at its first line's start.
    const struct { const char *pszText; CPoint ptFrom, ptTo; const char *pszAfter; } cases[] = {
        {"x   a\r\n   b\r\n   c", CPoint(2, 0), CPoint(0, 2), "x   a|b|   c"},
        {"   a\r\n   b\r\n   c", CPoint(2, 0), CPoint(1, 1), "a|  b|   c"},
    };
    for (const auto &c : cases) {
        Reset(c.pszText);
        Select(c.ptFrom, c.ptTo);
        m_view.RouteCommand(ID_DELETE_LEADING_BLANKS);
        EXPECT_EQ(Text(), c.pszAfter);
    }

    // Within one line, the caret's line alone; caret and selection stay on their text.
    Reset("  \t abc def\r\n  x");
    Select(CPoint(5, 0), CPoint(8, 0));
    m_view.RouteCommand(ID_DELETE_LEADING_BLANKS);
    EXPECT_EQ(Text(), "abc def|  x");
    EXPECT_EQ(Selection(), std::make_pair(CPoint(1, 0), CPoint(4, 0)));
    m_view.RouteCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "  \t abc def|  x");

    // The prefix dialog: the prefix stays for next time; the blanks in front
    // of it stay unless asked to go.
    m_store.WriteString(SECTION_MAIN, "strDelComment", "#");
    Reset("  # one");
    m_view.PlaceCaret(CPoint(7, 0));
    QString strOffered;
    m_fnDialog = Answer<CLinePrefixDlg>([&strOffered](CLinePrefixDlg *p) { strOffered = p->GetPrefix(); });
    m_view.RouteCommand(ID_DELETE_LEADING_COMMENT);
    EXPECT_EQ(strOffered, "#");
    EXPECT_EQ(Text(), "   one");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(6, 0));

    Reset(S("  ※ one\r\n※two"));
    m_view.PlaceCaret(CPoint(0, 0));
    m_fnDialog = AnswerPrefix(QStringLiteral("※"), true);
    m_view.RouteCommand(ID_DELETE_LEADING_COMMENT);
    EXPECT_EQ(Text(), S(" one|※two"));
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strDelComment", ""), "※");

    // Cancel changes nothing, the stored prefix neither.
    Reset("// x");
    m_fnDialog = nullptr;
    m_view.RouteCommand(ID_DELETE_LEADING_COMMENT);
    EXPECT_EQ(Text(), "// x");
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strDelComment", ""), "※");
    EXPECT_FALSE(m_buffer.CanUndo());
}

TEST_F(ConvView, FileNamePathAndRelativePathGoInAsShiftJis)
{
    Reset("[x]");
    m_view.SetDocumentPath("/home/u/サイト/目次.html");
    Select(CPoint(1, 0), CPoint(2, 0));
    m_view.RouteCommand(ID_INSERT_FILE_NAME);
    EXPECT_EQ(Text(), S("[目次.html]"));
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(10, 0));
    m_view.RouteCommand(ID_INSERT_FILE_PATH);
    EXPECT_EQ(Text(), S("[目次.html/home/u/サイト/目次.html]"));
    // Inserted with nothing selected: one step of its own.
    m_view.RouteCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), S("[目次.html]"));

    CTempDir dir;
    m_view.SetDocumentPath(dir.File("site/index.html"));
    Reset("<img src=\"\">");
    m_view.PlaceCaret(CPoint(10, 0));
    InsertFrom(ID_INSERT_RELATIVE_PATH, dir.File("site/img/写真.jpg"));
    EXPECT_EQ(Text(), S("<img src=\"img/写真.jpg\">"));
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_EQ(m_aFileRequests[0].strDirectory.toStdString(), dir.File("site"));
    EXPECT_EQ(m_aFileRequests[0].aFilters.value(0), QStringLiteral("HHML Files (*.htm *.html)"));

    InsertFrom(ID_INSERT_RELATIVE_PATH, dir.File("top.html"));
    EXPECT_EQ(Text(), S("<img src=\"img/写真.jpg../top.html\">"));
    InsertFrom(ID_INSERT_RELATIVE_PATH, "");
    EXPECT_EQ(Text(), S("<img src=\"img/写真.jpg../top.html\">"));
}

// Which code a file is in is the reader's business; here that the text it
// holds is what goes in.
TEST_F(ConvView, TextFilesInOtherCodesGoInAsTheTextTheyHold)
{
    CTempDir dir;
    WriteFileBytes(dir.File("utf8.txt"), "\xE6\x97\xA5\xE6\x9C\xAC\r\n\xE3\x80\x9C");  // 日本 〜
    WriteFileBytes(dir.File("emoji.txt"), "a\n\xF0\x9F\x98\x80" "b");
    Reset("xy");
    m_view.PlaceCaret(CPoint(1, 0));
    InsertFrom(ID_INSERT_TEXT_FILE, dir.File("utf8.txt"));
    EXPECT_EQ(Text(), S("x日本|〜y"));
    EXPECT_TRUE(m_aBoxes.empty());
    // What a Shift-JIS document cannot hold goes in as "?" when the user
    // agrees to it, having been told which character and why.
    Reset("");
    InsertFrom(ID_INSERT_TEXT_FILE, dir.File("emoji.txt"));
    EXPECT_EQ(Text(), "a|?b");
    ASSERT_EQ(m_aBoxes.size(), 1u);
    const QString &strBox = m_aBoxes[0].strText;
    EXPECT_TRUE(strBox.contains(QStringLiteral("U+1F600")) && strBox.contains(QStringLiteral("Shift-JIS")))
        << strBox.toStdString();

    // A folder is no text: it says so and inserts nothing.
    InsertFrom(ID_INSERT_TEXT_FILE, dir.Path());
    EXPECT_EQ(Text(), "a|?b");
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(m_aBoxes[1].strText,
              QString::fromStdString(dir.Path()) + QStringLiteral("\nはフォルダーです。テキストとして挿入できません。"));
}

TEST_F(ConvView, TheDateGoesInWithTheFormatOfTheSettings)
{
    m_store.WriteString(SECTION_MAIN, "strNowDate", "更新：%%");
    Reset("");
    m_view.RouteCommand(ID_INSERT_DATE_TIME);
    EXPECT_EQ(Text(), S("更新：%"));
}
