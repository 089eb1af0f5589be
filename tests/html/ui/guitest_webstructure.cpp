// The list, table and form commands, the document-structure commands and the
// attribute editor of the tag at the caret, driven through their dialogs.
#include "html/listbuild.h"
#include "html/tablegrid.h"
#include "html/ui/attrdialogs.h"
#include "html/ui/formdialogs.h"
#include "html/ui/gridctrl.h"
#include "html/ui/tableeditdlg.h"
#include "html/ui/webtest.h"

#include <QLabel>
#include <QListWidget>

namespace {

class WebStructure : public CWebFixture
{
protected:
    // The document with CR LF between its lines.
    std::string Doc() const
    {
        std::string s;
        for (const char c : Text())
            s += c == '|' ? std::string("\r\n") : std::string(1, c);
        return s;
    }
};

// The table editor runs its OK, which builds the result.
DialogFn TableEditorOK(std::function<void(CTableEditDlg *)> fnEdit)
{
    return [fnEdit](QDialog *pDialog) {
        auto *pEditor = qobject_cast<CTableEditDlg *>(pDialog);
        EXPECT_NE(pEditor, nullptr);
        if (!pEditor)
            return static_cast<int>(QDialog::Rejected);
        fnEdit(pEditor);
        pEditor->accept();
        return static_cast<int>(QDialog::Accepted);
    };
}

} // namespace

TEST_F(WebStructure, ListsFromTheSelectionOrAroundTheCaret)
{
    Reset("a\r\nb");
    Select(CPoint(0, 0), CPoint(1, 1));
    m_fnDialog = Accepting([](QDialog *) {});
    Run(ID_WEB_BULLET_LIST);
    EXPECT_EQ(m_aDialogTitles.back(), QStringLiteral("箇条書きの設定"));
    EXPECT_EQ(Doc(), BuildList("a\r\nb", CListStyle{LISTKIND_BULLET, "disc", 1}, false));
    EXPECT_EQ(UndoName(), "置換");
    Undo();

    // Upper-case tags keep the numbering kind; nothing selected wraps the caret.
    AppSettings().m_bTagState = 1;
    m_view.PlaceCaret(CPoint(1, 1));
    m_fnDialog = AcceptingFields({{"numberType2", "1"}, {"start", "3"}});
    Run(ID_WEB_NUMBERED_LIST);
    const CTagTexts numbered = ListTagTexts(CListStyle{LISTKIND_NUMBERED, "a", 3}, true);
    EXPECT_EQ(Doc(), "a\r\nb" + numbered.strOpen + numbered.strClose);
    EXPECT_EQ(g_strLastTagOpen, numbered.strOpen);
    Undo();

    // The indent list asks nothing.
    AppSettings().m_bTagState = 0;
    const std::size_t nAsked = m_aDialogTitles.size();
    Select(CPoint(0, 0), CPoint(1, 1));
    Run(ID_WEB_INDENT_LIST);
    EXPECT_EQ(m_aDialogTitles.size(), nAsked);
    EXPECT_EQ(Doc(), BuildList("a\r\nb", CListStyle{LISTKIND_INDENT, "", 1}, false));
}

TEST_F(WebStructure, TableFromASelection)
{
    Reset("a,b\r\nc,d");
    // The insert dialog chooses what to make of the selection; the grid editor answers as given.
    auto run = [this](int nChoice, DialogFn fnGrid = nullptr) {
        Select(CPoint(0, 0), CPoint(3, 1));
        m_fnDialog = ByTitle({{QStringLiteral("テーブルタグの挿入"), [nChoice](QDialog *p) {
                                   Child<QComboBox>(p, "separator")->setCurrentIndex(0);
                                   return nChoice;
                               }},
                              {QStringLiteral("テーブル"), fnGrid}});
        Run(ID_WEB_TABLE);
    };
    run(CTableInsertDlg::TABLEINSERT_AUTO);
    EXPECT_EQ(Doc(), AutoTable("a,b\r\nc,d", TABLESEP_COMMA, false));
    Undo();

    run(CTableInsertDlg::TABLEINSERT_TAGS);
    EXPECT_EQ(Doc(), "<table border>\r\na,b\r\nc,d</table>\r\n");
    Undo();

    // The grid opens on the cells; what it gives back replaces the selection.
    run(CTableInsertDlg::TABLEINSERT_GRID, TableEditorOK([](CTableEditDlg *p) {
            p->GetGrid()->Grid().Cell(2, 2).strText = "\x95\x5C";
            Child<QComboBox>(p, "format")->setCurrentIndex(1);
        }));
    EXPECT_EQ(Doc(), "a\tb\r\nc\t\x95\x5C\r\n");
    Undo();

    // Cancel anywhere keeps the text.
    run(0);
    run(CTableInsertDlg::TABLEINSERT_GRID);
    EXPECT_EQ(Doc(), "a,b\r\nc,d");
    EXPECT_FALSE(m_buffer.CanUndo());
}

TEST_F(WebStructure, NewTableThroughTheGridEditor)
{
    Reset("x");
    m_view.PlaceCaret(CPoint(1, 0));
    m_fnDialog = ByTitle({{QStringLiteral("テーブルの設定"),
                           AcceptingFields({{"columns", "3"}, {"rows", "2"}, {"tableBorder", "1"}})},
                          {QStringLiteral("テーブル"), TableEditorOK([](CTableEditDlg *p) {
                               EXPECT_EQ(Child<QLineEdit>(p, "border")->text(), "1");
                           })}});
    Run(ID_WEB_TABLE);
    EXPECT_EQ(Doc(), "x" + TableToHtml(CTableGrid(2, 3), "", "1"));
    EXPECT_TRUE(g_strLastTagClose.empty());
}

TEST_F(WebStructure, FormsKeepTheUsersTextAsTyped)
{
    Reset("");
    AppSettings().m_bTagState = 1;
    m_fnDialog = Accepting([](QDialog *p) {
        SetFields(p, {{"inputType3", "1"}, {"inputTitle", "はい"}, {"inputName", "q"}, {"inputValue", "Yes"},
                      {"inputChecked", "1"}});
        // Radio buttons have no length.
        EXPECT_FALSE(Child<QCheckBox>(p, "inputLengthCheck")->isEnabled());
        EXPECT_EQ(Child<QLabel>(p, "inputNameCaption")->text(), QStringLiteral("ﾗｼﾞｵﾎﾞﾀﾝｸﾞﾙｰﾌﾟ名(Name)"));
    });
    Run(ID_WEB_FORM_INPUT);
    EXPECT_EQ(Doc(), "<INPUT TYPE=\"radio\" NAME=\"q\" VALUE=\"Yes\" CHECKED>\x82\xCD\x82\xA2");
    EXPECT_EQ(g_strLastTagClose, Doc());

    Reset("in");
    AppSettings().m_bTagState = 0;
    Select(CPoint(0, 0), CPoint(2, 0));
    m_fnDialog = AcceptingFields({{"formUrl", "/cgi-bin/Send.cgi"}});
    Run(ID_WEB_FORM);
    EXPECT_EQ(Doc(), "<form method=\"post\" action=\"/cgi-bin/Send.cgi\">\r\nin</form>");
    EXPECT_EQ(Selected(), "in");

    Reset("");
    m_fnDialog = AcceptingFields({{"areaName", "memo"}, {"areaRowsCheck", "1"}, {"areaRows", "4"}});
    Run(ID_WEB_FORM_TEXTAREA);
    EXPECT_EQ(Doc(), "<textarea name=\"memo\" rows=\"4\">\r\n</textarea>");
}

TEST_F(WebStructure, ListBoxItemsAreAddedEditedMovedAndDeleted)
{
    Reset("");
    int nItem = 0;
    m_aAnswers = {IDNO, IDYES};
    m_fnDialog = ByTitle({
        {QStringLiteral("リスト項目の編集"), Accepting([&nItem](QDialog *p) {
             ++nItem;
             SetFields(p, {{"itemText", QStringLiteral("項目") + QString::number(nItem)},
                           {"itemKeyword", QString::number(nItem)}, {"itemSelected", nItem == 2 ? "1" : "0"}});
         })},
        {QStringLiteral("フォームリストボックス"), Accepting([](QDialog *p) {
             Child<QLineEdit>(p, "listName")->setText("pick");
             for (int i = 0; i < 3; ++i)
                 Click(p, "itemAdd");  // items 1, 2, 3, each behind the one before
             Click(p, "itemUp");       // 1, 3, 2
             Click(p, "itemDelete");   // answered No: kept
             Child<QListWidget>(p, "listItems")->setCurrentRow(0);
             Click(p, "itemDelete");   // answered Yes: 3, 2
         })},
    });
    Run(ID_WEB_FORM_LISTBOX);
    EXPECT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("リストを削除してもよろしいですか？"));
    EXPECT_EQ(Doc(), "<select name=\"pick\">\r\n <option value=\"3\">\x8D\x80\x96\xDA" "3\r\n"
                      " <option value=\"2\" selected>\x8D\x80\x96\xDA" "2\r\n</select>");
}

TEST_F(WebStructure, BasicHtmlTitleAndBody)
{
    Reset("hello");
    m_view.SetDocumentPath("/home/u/page.html");
    // The dialog offers the document's path as the title.
    std::string strOffered;
    m_fnDialog = Accepting([&strOffered](QDialog *p) {
        strOffered = FieldValues(p, {"title", "bgColorCheck", "linkColor"});
        SetFields(p, {{"title", "表紙"}, {"bgColorCheck", "1"}});
    });
    Run(ID_WEB_BASIC_HTML);
    EXPECT_EQ(m_aDialogTitles.back(), QStringLiteral("HTML文章の設定"));
    EXPECT_EQ(strOffered, "/home/u/page.html|0|#0000ff");
    EXPECT_EQ(Doc(), "<html>\r\n<head>\r\n<title>\x95\x5C\x8E\x86</title>\r\n</head>\r\n<body bgcolor=\"#ffffff\">\r\n"
                      "hello\r\n\r\n</body>\r\n</html>\r\n");
    Undo();
    EXPECT_EQ(Doc(), "hello");

    // Title and body need an html tag.
    Run(ID_WEB_TITLE);
    Run(ID_WEB_BODY);
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("<HTML>が見当たりません。"));
    EXPECT_EQ(m_aBoxes[0].strCaption, QStringLiteral("Not found."));

    // A body attribute the dialog does not know is kept behind the known ones.
    Reset("<html><title>Old</title>\r\n<BODY onload=\"go()\" TEXT=#333333>\r\nx");
    m_fnDialog = Accepting([](QDialog *p) {
        EXPECT_EQ(FieldValues(p, {"textColor", "textColorCheck", "other"}), "#333333|1|onload=\"go()\"");
        SetFields(p, {{"aLinkColorCheck", "1"}, {"aLinkColor", "#ffff00"}});
    });
    Run(ID_WEB_BODY);
    EXPECT_EQ(Doc(), "<html><title>Old</title>\r\n<body text=\"#333333\" alink=\"#ffff00\" onload=\"go()\">\r\nx");
    m_fnDialog = Accepting([](QDialog *p) {
        EXPECT_EQ(Child<QLineEdit>(p, "title")->text(), "Old");
        Child<QLineEdit>(p, "title")->setText("New");
    });
    Run(ID_WEB_TITLE);
    EXPECT_EQ(Doc(), "<html><title>New</title>\r\n<body text=\"#333333\" alink=\"#ffff00\" onload=\"go()\">\r\nx");
}

TEST_F(WebStructure, TagAttributesOfTheTagAtTheCaret)
{
    Reset("a <FONT SIZE=2 color=\"#FF0000\" class=x>b</FONT>");
    m_view.PlaceCaret(CPoint(5, 0));
    m_fnDialog = Accepting([](QDialog *p) {
        EXPECT_EQ(FieldValues(p, {"size", "color", "faceCheck", "other"}), "2|#FF0000|0|class=\"x\"");
        // Styles would be tags of their own, not attributes of this one.
        EXPECT_FALSE(Child<QCheckBox>(p, "bold")->isVisibleTo(p));
        Child<QComboBox>(p, "size")->setCurrentText("+1");
    });
    Run(ID_WEB_TAG_ATTRIBUTES);
    EXPECT_EQ(m_aDialogTitles.back(), QStringLiteral("フォントタグの設定"));
    EXPECT_EQ(Doc(), "a <font size=+1 color=\"#FF0000\" class=\"x\">b</FONT>");
    EXPECT_EQ(UndoName(), "置換");

    // Outside any tag: the chooser first, then a new tag behind the selection.
    m_view.PlaceCaret(CPoint(0, 0));
    m_fnDialog = ByTitle({{QStringLiteral("タグ属性の挿入"), AcceptingFields({{"kind_a", "1"}})},
                          {QStringLiteral("アンカーのオプション設定"),
                           AcceptingFields({{"linkCheck", "1"}, {"jumpKind", "1"}, {"jump", "top"}})}});
    Run(ID_WEB_TAG_ATTRIBUTES);
    EXPECT_EQ(Doc().substr(0, 16), "<a href=\"#top\">a");
    EXPECT_EQ(g_strLastTagClose, "<a href=\"#top\">");

    // A cell, and an image with upper-case tags.
    Reset("<td align=center width=10>");
    m_view.PlaceCaret(CPoint(3, 0));
    m_fnDialog = Accepting([](QDialog *p) {
        EXPECT_EQ(FieldValues(p, {"cellWidth", "cellAlign"}), "10|center");
        SetFields(p, {{"cellWidthCheck", "0"}});
    });
    Run(ID_WEB_TAG_ATTRIBUTES);
    EXPECT_EQ(Doc(), "<td align=\"center\">");
    AppSettings().m_bTagState = 1;
    Reset("<img src=\"Pic.gif\" alt='\x89\xE6' usemap=#m>");
    m_view.PlaceCaret(CPoint(1, 0));
    m_fnDialog = Accepting([](QDialog *p) { EXPECT_EQ(Child<QLineEdit>(p, "other")->text(), "usemap=\"#m\""); });
    Run(ID_WEB_TAG_ATTRIBUTES);
    EXPECT_EQ(Doc(), "<IMG SRC=\"Pic.gif\" ALT=\"\x89\xE6\" USEMAP=\"#m\">");
}

TEST_F(WebStructure, FileButtonsEnterTheFolderRelativeToThePage)
{
    Reset("word");
    m_view.SetDocumentPath("/srv/www/site/index.html");
    m_answerFiles = QStringList{QStringLiteral("/srv/www/site/img/a.gif")};
    Select(CPoint(0, 0), CPoint(4, 0));
    m_fnDialog = Accepting([](QDialog *p) {
        Click(p, "linkFileBrowse");
        EXPECT_EQ(FieldValues(p, {"linkFile", "folderCheck"}), "a.gif|1");
    });
    Run(ID_WEB_HOTLINK);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_EQ(m_aFileRequests[0].strDirectory, QStringLiteral("/srv/www/site"));
    EXPECT_TRUE(m_aFileRequests[0].aFilters.value(0).startsWith(QStringLiteral("Html Files")));
    EXPECT_EQ(Doc(), "<a href=\"img/a.gif\">word</a>");

    // A file beside the page needs no folder; one above it climbs out.
    Undo();
    m_answerFiles = QStringList{QStringLiteral("/srv/www/top.png")};
    m_fnDialog = Accepting([](QDialog *p) {
        SetFields(p, {{"folderCheck", "1"}});
        Click(p, "imageFileBrowse");
    });
    Run(ID_WEB_IMAGE);
    EXPECT_TRUE(m_aFileRequests.back().aFilters.value(0).startsWith(QStringLiteral("Image Files")));
    EXPECT_EQ(Doc(), "word<img src=\"../top.png\">");

    // An unsaved page starts in the folder of the last file opened and takes the bare name.
    Reset("w");
    m_view.SetDocumentPath("");
    m_store.WriteString("Recent File List", "File1", "/home/u/old/page.html");
    m_answerFiles = QStringList{QStringLiteral("/tmp/pics/b.gif")};
    m_fnDialog = Accepting([](QDialog *p) { Click(p, "imageFileBrowse"); });
    Run(ID_WEB_IMAGE);
    EXPECT_EQ(m_aFileRequests.back().strDirectory, QStringLiteral("/home/u/old"));
    EXPECT_EQ(Doc().substr(0, 18), "<img src=\"b.gif\">w");
}
