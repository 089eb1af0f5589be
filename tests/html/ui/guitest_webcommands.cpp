// The web commands on a real view: wraps and insertions with the caret and
// the reselection, one undo step each, tag memory and repeat, the tag case,
// the conversions of a whole selection, the colour value, the line
// insertion and read-only documents.
#include "html/lineinsert.h"
#include "html/tagpair.h"
#include "html/ui/webtest.h"
#include "res/commands.h"
#include "text/codec.h"

namespace {

using WebCommands = CWebFixture;

// Every web command the view answers, with the commands that open the same dialogs.
constexpr int WEB_IDS[] = {
    ID_WEB_BOOKMARK,   ID_WEB_JUMP,        ID_WEB_TABLE_ROW,  ID_WEB_HOTLINK,     ID_WEB_FONT,
    ID_WEB_BOLD,       ID_WEB_ITALIC,      ID_WEB_UNDERLINE,  ID_WEB_ALIGN_LEFT,  ID_WEB_CENTER,
    ID_WEB_ALIGN_RIGHT, ID_WEB_LINE_BREAK, ID_WEB_PARAGRAPH,  ID_WEB_RULE,        ID_WEB_IMAGE,
    ID_WEB_COMMENT,    ID_WEB_TABLE_CELL,  ID_WEB_ERASE_TAGS, ID_WEB_HEX_COLOR,   ID_WEB_LINE_INSERT,
    ID_WEB_TAG_CASE,   ID_WEB_REPEAT_TAG,  ID_WEB_BLOCKQUOTE, ID_WEB_HEADING,     ID_WEB_STRIKE,
    ID_WEB_ENTITY_AMP, ID_WEB_ENTITY_QUOT, ID_WEB_ENTITY_LT,  ID_WEB_ENTITY_GT,   ID_WEB_PRE,
    ID_WEB_TAG_MEMORY, ID_WEB_KEEP_ONLY_TAGS, ID_WEB_IMAGE_MAP, ID_WEB_STYLE_TAG, ID_COMMENT_BLOCK,
};

} // namespace

// Where the wrapped text and the caret end is the tag pair's business; here
// that the setting to select nothing reaches it.
TEST_F(WebCommands, TheSettingToSelectNothingPutsTheCaretBehindTheClosingText)
{
    SetText("abcdefg");
    m_view.PlaceCaret(CPoint(7, 0));
    Run(ID_WEB_BOLD);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(10, 0));  // between the tags
    Undo();
    AppSettings().m_bWebNoSelectTag = 1;
    Select(CPoint(0, 0), CPoint(7, 0));
    Run(ID_WEB_ALIGN_RIGHT);
    EXPECT_EQ(Text(), "<div align=\"right\">|abcdefg</div>|");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(0, 2));
    EXPECT_FALSE(m_view.IsSelection());
}

// Each wrap and insertion on a selection of double-byte text that ends in a
// broken character: the bytes come through, and one undo takes it all back.
TEST_F(WebCommands, EveryWrapAndInsertionIsOneUndoStep)
{
    const std::string strDoc = "x\x95\x5Cy\x81";
    const struct
    {
        int nID;
        std::string strExpected;
        std::string strSelectedAfter;
    } aCases[] = {
        {ID_WEB_BOLD, "x<b>\x95\x5Cy\x81</b>", "\x95\x5Cy\x81"},
        {ID_WEB_ITALIC, "x<i>\x95\x5Cy\x81</i>", "\x95\x5Cy\x81"},
        {ID_WEB_UNDERLINE, "x<u>\x95\x5Cy\x81</u>", "\x95\x5Cy\x81"},
        {ID_WEB_STRIKE, "x<s>\x95\x5Cy\x81</s>", "\x95\x5Cy\x81"},
        {ID_WEB_ALIGN_LEFT, "x<div align=\"left\">|\x95\x5Cy\x81|</div>|", "\x95\x5Cy\x81"},
        {ID_WEB_CENTER, "x<center>\x95\x5Cy\x81</center>", "\x95\x5Cy\x81"},
        {ID_WEB_ALIGN_RIGHT, "x<div align=\"right\">|\x95\x5Cy\x81</div>|", "\x95\x5Cy\x81"},
        {ID_WEB_COMMENT, "x<!-- \x95\x5Cy\x81 -->", "\x95\x5Cy\x81"},
        {ID_WEB_BLOCKQUOTE, "x<blockquote>\x95\x5Cy\x81</blockquote>", "\x95\x5Cy\x81"},
        {ID_WEB_PRE, "x<pre>\x95\x5Cy\x81</pre>", "\x95\x5Cy\x81"},
        {ID_WEB_TABLE_ROW, "x<tr>\x95\x5Cy\x81</tr>", "\x95\x5Cy\x81"},
        {ID_WEB_ENTITY_AMP, "x\x95\x5Cy\x81&AMP;", ""},
        {ID_WEB_ENTITY_QUOT, "x\x95\x5Cy\x81&QUOT;", ""},
        {ID_WEB_ENTITY_LT, "x\x95\x5Cy\x81&LT;", ""},
        {ID_WEB_ENTITY_GT, "x\x95\x5Cy\x81&GT;", ""},
        {ID_WEB_LINE_BREAK, "x\x95\x5Cy\x81<br>", ""},
        {ID_WEB_PARAGRAPH, "x\x95\x5Cy\x81<p>", ""},
    };
    SetText(strDoc);
    for (const auto &c : aCases) {
        SCOPED_TRACE(c.nID);
        Select(CPoint(1, 0), CPoint(5, 0));
        Run(c.nID);
        EXPECT_EQ(Text(), c.strExpected);
        EXPECT_EQ(Selected(), c.strSelectedAfter);
        EXPECT_EQ(UndoName(), "タグ挿入");
        Undo();
        EXPECT_EQ(Text(), strDoc);
        EXPECT_FALSE(m_buffer.CanUndo());
    }
    // Only the break asks to end the line.
    AppSettings().m_bWebBrEn = 1;
    m_view.PlaceCaret(CPoint(1, 0));
    Run(ID_WEB_LINE_BREAK);
    EXPECT_EQ(Text(), "x<br>|\x95\x5Cy\x81");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(0, 1));
}

TEST_F(WebCommands, TagMemoryNestsThePairsAndTheRepeatEndsIt)
{
    SetText("one two");
    EXPECT_FALSE(Enabled(ID_WEB_REPEAT_TAG));
    Run(ID_WEB_TAG_MEMORY);
    EXPECT_TRUE(m_view.GetTagMemory());
    Select(CPoint(0, 0), CPoint(3, 0));
    Run(ID_WEB_BOLD);
    ASSERT_EQ(Selected(), "one");
    Run(ID_WEB_ITALIC);
    EXPECT_EQ(Text(), "<b><i>one</i></b> two");
    EXPECT_TRUE(Enabled(ID_WEB_REPEAT_TAG));

    Select(CPoint(18, 0), CPoint(21, 0));
    Run(ID_WEB_REPEAT_TAG);
    EXPECT_EQ(Text(), "<b><i>one</i></b> <b><i>two</i></b>");
    EXPECT_EQ(Selected(), "two");
    EXPECT_FALSE(m_view.GetTagMemory());

    // Without the memory the repeat gives only the last pair.
    SetText("w ");
    Select(CPoint(0, 0), CPoint(1, 0));
    Run(ID_WEB_ITALIC);
    m_view.PlaceCaret(CPoint(0, 0));
    Run(ID_WEB_REPEAT_TAG);
    EXPECT_EQ(Text().substr(0, 11), "<i></i><i>w");

    // Switching the memory on forgets what was remembered.
    Run(ID_WEB_TAG_MEMORY);
    EXPECT_FALSE(Enabled(ID_WEB_REPEAT_TAG));
    Run(ID_WEB_TAG_MEMORY);
    EXPECT_FALSE(m_view.GetTagMemory());
}

TEST_F(WebCommands, AnEntityIsRememberedForTheRepeatAndTheBreakIsNot)
{
    SetText("AT&T");
    Select(CPoint(0, 0), CPoint(2, 0));
    Run(ID_WEB_ENTITY_AMP);
    Run(ID_WEB_LINE_BREAK);
    Run(ID_WEB_REPEAT_TAG);
    EXPECT_EQ(Text(), "AT&AMP;<br>&AMP;&T");
}

TEST_F(WebCommands, ReadOnlyDocumentsChangeNothingAndAskNothing)
{
    SetText("<b>a</b>\r\nline");
    m_buffer.SetReadOnly(true);
    m_aAnswers.assign(50, IDYES);
    m_answerColor = QColor(1, 2, 3);
    m_fnDialog = Accepting([](QDialog *) {});
    for (const int nID : WEB_IDS) {
        Select(CPoint(0, 0), CPoint(2, 1));
        m_view.RouteCommand(nID);
    }
    EXPECT_EQ(Text(), "<b>a</b>|line");
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_TRUE(m_aDialogTitles.empty());
    EXPECT_TRUE(m_aColorsOffered.empty());
    EXPECT_TRUE(g_strLastTagOpen.empty() && g_strLastTagClose.empty());
    EXPECT_FALSE(m_view.GetTagMemory());
}

// The conversions take the selected lines as they are: a line that holds a
// CR byte of its own (an LF file with a CR LF in it) keeps it.
TEST_F(WebCommands, TagConversionsKeepTheLinesAsTheyAre)
{
    int l = 0;
    int c = 0;
    m_buffer.InsertLines(nullptr, 0, 0, {"<B CLASS=\"Big\">A\r", "b</B>\x81"}, l, c, ACTION_INDENT);
    EXPECT_FALSE(Enabled(ID_WEB_TAG_CASE));
    Select(CPoint(0, 0), CPoint(6, 1));
    Run(ID_WEB_TAG_CASE);
    EXPECT_EQ(Text(), "<b class=\"Big\">A\r|b</b>\x81");
    EXPECT_EQ(UndoName(), "置換");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(6, 1));
    EXPECT_FALSE(m_view.IsSelection());

    m_view.SelectAllText();
    Run(ID_WEB_ERASE_TAGS);
    EXPECT_EQ(Text(), "A\r|b\x81");
    Undo();
    EXPECT_EQ(m_buffer.GetLine(0), "<b class=\"Big\">A\r");
    Undo();
    EXPECT_EQ(m_buffer.GetLine(0), "<B CLASS=\"Big\">A\r");
    EXPECT_FALSE(m_buffer.CanUndo());
}

TEST_F(WebCommands, KeepingOnlyTheTagsAsksFirst)
{
    SetText("<p>Text</p>\r\n<!-- c -->left");
    m_view.SelectAllText();
    m_aAnswers = {IDNO, IDYES};
    Run(ID_WEB_KEEP_ONLY_TAGS);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strCaption + m_aBoxes[0].strText, QStringLiteral("確認タグ以外の文字を削除してよろしいですか？"));
    EXPECT_EQ(m_aBoxes[0].nStyle, unsigned(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(Text(), "<p>Text</p>|<!-- c -->left");
    Run(ID_WEB_KEEP_ONLY_TAGS);
    EXPECT_EQ(Text(), "<p></p>|<!-- c -->");
}

TEST_F(WebCommands, HexColourStartsFromTheSelectionOrTheLastColour)
{
    SetText("c #00FF80 d");
    Select(CPoint(2, 0), CPoint(9, 0));
    m_answerColor = QColor(0x12, 0x34, 0xAB);
    Run(ID_WEB_HEX_COLOR);
    ASSERT_EQ(m_aColorsOffered.size(), 1u);
    EXPECT_EQ(m_aColorsOffered[0], QColor(0, 255, 128));
    EXPECT_EQ(Text(), "c #1234ab d");
    EXPECT_EQ(m_view.GetLastColor(), "#1234ab");

    // Without a colour selected the dialog starts from the last one; Cancel changes nothing.
    m_answerColor = QColor();
    m_view.PlaceCaret(CPoint(0, 0));
    Run(ID_WEB_HEX_COLOR);
    ASSERT_EQ(m_aColorsOffered.size(), 2u);
    EXPECT_EQ(m_aColorsOffered[1], QColor(0x12, 0x34, 0xAB));
    EXPECT_EQ(Text(), "c #1234ab d");
}

TEST_F(WebCommands, LineInsertionPutsTextAroundEverySelectedLine)
{
    SetText("a\r\nb\r\nc\r\nd");
    EXPECT_FALSE(Enabled(ID_WEB_LINE_INSERT));
    // The selection ends at the start of line 2, which it leaves out.
    Select(CPoint(1, 0), CPoint(0, 2));
    QString strHeadPreset;
    m_fnDialog = Accepting([&strHeadPreset](QDialog *pDialog) {
        strHeadPreset = Child<QLineEdit>(pDialog, "headText")->text();
        SetFields(pDialog, {{"headCheck", "1"}, {"tailCheck", "1"}});
        Child<QComboBox>(pDialog, "headKind")->setCurrentIndex(LINEPIECE_BR);
        Child<QComboBox>(pDialog, "tailKind")->setCurrentIndex(LINEPIECE_TEXT);
        SetFields(pDialog, {{"headCount", "2"}, {"tailText", "。"}});
    });
    AppSettings().m_bTagState = 1;
    Run(ID_WEB_LINE_INSERT);
    EXPECT_EQ(strHeadPreset, QStringLiteral("//"));
    EXPECT_EQ(Text(), "<BR><BR>a\x81\x42|<BR><BR>b\x81\x42|c|d");
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strFootComment", ""), "。");
    Undo();
    EXPECT_EQ(Text(), "a|b|c|d");
    EXPECT_FALSE(m_buffer.CanUndo());

    // With neither side ticked nothing changes; the free texts are kept all the same.
    m_fnDialog = AcceptingFields({{"headText", "> "}});
    Select(CPoint(0, 0), CPoint(1, 0));
    Run(ID_WEB_LINE_INSERT);
    EXPECT_EQ(m_aDialogTitles.size(), 2u);
    EXPECT_EQ(Text(), "a|b|c|d");
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strDelComment", ""), "> ");
}

TEST_F(WebCommands, CommentBlockPutsThePrefixAtTheStartOfTheLines)
{
    m_store.WriteString(SECTION_MAIN, "strDelComment", "# ");
    SetText("one\r\ntwo\r\nthree");
    Select(CPoint(2, 0), CPoint(1, 1));
    m_fnDialog = Accepting([](QDialog *) {});
    m_view.RouteCommand(ID_COMMENT_BLOCK);
    EXPECT_EQ(Text(), "# one|# two|three");
    // Without a selection the caret's line alone.
    m_view.PlaceCaret(CPoint(3, 2));
    m_view.RouteCommand(ID_COMMENT_BLOCK);
    EXPECT_EQ(Text(), "# one|# two|# three");
    ASSERT_EQ(m_aDialogTitles.size(), 2u);
    EXPECT_EQ(m_aDialogTitles[0], QStringLiteral("範囲行に文字挿入"));

    // The uncomment block takes the same prefix off again.
    m_view.SelectAllText();
    m_view.RouteCommand(ID_UNCOMMENT_BLOCK);
    EXPECT_EQ(Text(), "one|two|three");
}

TEST_F(WebCommands, TagCaseSettingIsKeptInMemoryAndInTheSettings)
{
    bool bPresetLower = false;
    m_fnDialog = Accepting([&bPresetLower](QDialog *pDialog) {
        bPresetLower = Child<QRadioButton>(pDialog, "lowerCase")->isChecked();
        SetFields(pDialog, {{"upperCase", "1"}});
    });
    m_view.RouteCommand(ID_TAG_CASE_SETTING);
    EXPECT_TRUE(bPresetLower);
    EXPECT_EQ(AppSettings().m_bTagState, 1);
    EXPECT_EQ(m_store.GetInt(SECTION_MAIN, "bTagState", 0), 1);
    EXPECT_EQ(m_aDialogTitles.back(), QStringLiteral("ﾀｸﾞの設定"));

    m_fnDialog = [](QDialog *pDialog) {
        Child<QRadioButton>(pDialog, "lowerCase")->setChecked(true);
        return static_cast<int>(QDialog::Rejected);
    };
    m_view.RouteCommand(ID_TAG_CASE_SETTING);
    EXPECT_EQ(AppSettings().m_bTagState, 1);
}
