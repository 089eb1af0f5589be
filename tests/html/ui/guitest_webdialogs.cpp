// The web commands that ask in a dialog first, the image map through its
// plug-in, and the tag-memory pane of the window.
#include "html/ui/attrdialogs.h"
#include "html/ui/formdialogs.h"
#include "html/ui/webdialogs.h"
#include "html/ui/webtest.h"
#include "platform/ui/programfolder.h"
#include "plugin/pluginlibrary.h"
#include "res/commands.h"
#include "support/appfixture.h"
#include "support/dialogtest.h"
#include "ui/dialogkeys.h"

#include <QDir>
#include <QTest>

#include <memory>

#include <unistd.h>

using WebDialogs = CWebFixture;

// What each dialog's fields make of the word "word".
TEST_F(WebDialogs, EachDialogWrapsOrInsertsWhatItsFieldsCompose)
{
    const struct
    {
        int nID;
        const char *pszTitle;
        DialogFn fnAnswer;
        std::string strExpected;
    } aCases[] = {
        {ID_WEB_BOOKMARK, "ブックマークの設定", AcceptingFields({{"anchorName", "top"}}), "<a name=\"top\">word</a>"},
        {ID_WEB_JUMP, "ジャンプの設定", AcceptingFields({{"anchorName", "top"}}), "<a href=\"#top\">word</a>"},
        {ID_WEB_HOTLINK, "ホットリンクの設定",
         AcceptingFields({{"linkFile", "a.gif"}, {"folderCheck", "1"}, {"folder", "img"}}),
         "<a href=\"img/a.gif\">word</a>"},
        {ID_WEB_HEADING, "見出しの設定",
         AcceptingFields({{"headingSize", "2"}, {"headingAlignCheck", "1"}, {"headingAlign", "center"}}),
         "<h2 align=\"center\">word</h2>"},
        {ID_WEB_HEADING, "見出しの設定", AcceptingFields({{"headingSize", "6"}}), "<h6>word</h6>"},
        {ID_WEB_RULE, "罫線の設定",
         AcceptingFields({{"ruleWidthCheck", "1"}, {"ruleWidth", "80"}, {"ruleUnit", "ﾊﾟｰｾﾝﾄ"}}),
         "word<hr width=\"80%\">"},
        {ID_WEB_RULE, "罫線の設定",
         AcceptingFields({{"ruleSizeCheck", "1"}, {"ruleSize", "3"}, {"ruleWidthCheck", "1"}, {"ruleWidth", "80"},
                          {"ruleUnit", "ﾋﾟｸｾﾙ"}}),
         "word<hr size=3 width=\"80\">"},
        // The width is not ticked: not written.
        {ID_WEB_IMAGE, "イメージファイルの設定",
         AcceptingFields({{"imageFile", "b.png"}, {"imageName", "ロゴ"}, {"imageWidth", "10"},
                          {"imageHeightCheck", "1"}, {"imageHeight", "20"}, {"noBorder", "1"}}),
         "word<img src=\"b.png\" alt=\"\x83\x8D\x83\x53\" height=20 border=0>"},
        {ID_WEB_TABLE_CELL, "テーブルセルの設定",
         AcceptingFields({{"colSpanCheck", "1"}, {"colSpan", "2"}, {"cellAlignCheck", "1"}, {"cellAlign", "center"}}),
         "<td colspan=2 align=\"center\">word</td>"},
    };
    SetText("word");
    for (const auto &c : aCases) {
        SCOPED_TRACE(c.strExpected);
        Select(CPoint(0, 0), CPoint(4, 0));
        m_fnDialog = c.fnAnswer;
        Run(c.nID);
        ASSERT_FALSE(m_aDialogTitles.empty());
        EXPECT_EQ(m_aDialogTitles.back(), QString::fromUtf8(c.pszTitle));
        EXPECT_EQ(Text(), c.strExpected);
        Undo();
        ASSERT_EQ(Text(), "word");
    }
}

TEST_F(WebDialogs, CancelInsertsAndRemembersNothing)
{
    SetText("word");
    for (const int nID : {ID_WEB_HOTLINK, ID_WEB_FONT, ID_WEB_RULE, ID_WEB_IMAGE, ID_WEB_TABLE_CELL,
                          ID_WEB_HEADING, ID_WEB_BOOKMARK, ID_WEB_JUMP, ID_WEB_STYLE_TAG, ID_WEB_LINE_INSERT,
                          ID_WEB_BULLET_LIST, ID_WEB_NUMBERED_LIST}) {
        Select(CPoint(0, 0), CPoint(4, 0));
        Run(nID);
    }
    EXPECT_EQ(m_aDialogTitles.size(), 12u);
    EXPECT_EQ(Text(), "word");
    EXPECT_TRUE(g_strLastTagOpen.empty() && g_strLastTagClose.empty());
    EXPECT_FALSE(m_buffer.CanUndo());
}

TEST_F(WebDialogs, ParagraphWrapsOnlyWhenAsked)
{
    SetText("word");
    // By default the paragraph tag stands alone and no dialog opens.
    Select(CPoint(0, 0), CPoint(4, 0));
    Run(ID_WEB_PARAGRAPH);
    EXPECT_EQ(Text(), "word<p>");
    EXPECT_TRUE(m_aDialogTitles.empty());
    Undo();

    AppSettings().m_bWebPOnly = 0;
    Select(CPoint(0, 0), CPoint(4, 0));
    m_fnDialog = AcceptingFields({{"paragraphAlignCheck", "1"}, {"paragraphAlign", "right"}});
    Run(ID_WEB_PARAGRAPH);
    EXPECT_EQ(m_aDialogTitles.back(), QStringLiteral("<P>タグの設定"));
    EXPECT_EQ(Text(), "<p align=\"right\">word</p>");
    EXPECT_EQ(Selected(), "word");
    Undo();

    Select(CPoint(0, 0), CPoint(4, 0));
    m_fnDialog = Accepting([](QDialog *) {});
    Run(ID_WEB_PARAGRAPH);
    EXPECT_EQ(Text(), "word<p>");
    EXPECT_EQ(g_strLastTagClose, "<p>");
}

TEST_F(WebDialogs, FontTagStartsFromTheLastFaceAndColourAndKeepsThem)
{
    m_store.WriteString(SECTION_MAIN, "strFontTagColor", "#ff0000");
    SetText("word");
    Select(CPoint(0, 0), CPoint(4, 0));
    std::string strPresets;
    m_fnDialog = Accepting([&strPresets](QDialog *p) {
        strPresets = FieldValues(p, {"sizeCheck", "size", "colorCheck", "color", "faceCheck", "face"});
        // Ticking the face on "(なし)" still names no face.
        SetFields(p, {{"faceCheck", "1"}, {"bold", "1"}, {"strike", "1"}, {"other", "class=\"note\""}});
    });
    Run(ID_WEB_FONT);
    EXPECT_EQ(strPresets, "1|3|1|#ff0000|0|(なし)");
    EXPECT_EQ(Text(), "<font size=3 color=\"#ff0000\" class=\"note\"><b><s>word</s></b></font>");
    EXPECT_EQ(Selected(), "word");
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strFontTagFace", "x"), "");
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strFontTagColor", ""), "#ff0000");

    // A face and no colour are what the next dialog starts from.
    Undo();
    Select(CPoint(0, 0), CPoint(4, 0));
    m_fnDialog = AcceptingFields({{"colorCheck", "0"}, {"faceCheck", "1"}, {"face", "Serif Face"}});
    Run(ID_WEB_FONT);
    EXPECT_EQ(Text(), "<font size=3 face=\"Serif Face\">word</font>");
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strFontTagFace", ""), "Serif Face");
    EXPECT_EQ(m_store.GetString(SECTION_MAIN, "strFontTagColor", "x"), "");
}

TEST_F(WebDialogs, ClassTagListsPutTheTypedTextFirst)
{
    SetText("word");
    Select(CPoint(0, 0), CPoint(4, 0));
    QStringList tags;
    m_fnDialog = Accepting([&tags](QDialog *p) {
        auto *pTag = Child<QComboBox>(p, "classTag");
        for (int i = 0; i < pTag->count(); ++i)
            tags << pTag->itemText(i);
        SetFields(p, {{"classTag", "span"}, {"className", "note"}});
    });
    Run(ID_WEB_STYLE_TAG);
    EXPECT_EQ(tags, (QStringList{"p", "div", "span", "font"}));
    EXPECT_EQ(Text(), "<span class=\"note\">word</span>");
    EXPECT_EQ(m_store.GetString("WebClassTag", "Tag", ""), "span\np\ndiv\nspan\nfont\n");
    EXPECT_EQ(m_store.GetString("WebClassTag", "Class", ""), "note\ntitle1\ntitle2\ntext\nindent1\nindent2\n");
}

// The image map through a stand-in for its plug-in, put where the program
// looks for plug-ins first.
TEST_F(WebDialogs, ImageMapNeedsItsPlugin)
{
    QStandardPaths::setTestModeEnabled(true);
    const std::string strPlugin = QDir(ProgramFolder()).filePath(IMAGEMAP_PLUGIN).toStdString();
    struct CRemove
    {
        std::string strPath;
        ~CRemove()
        {
            ::unlink(strPath.c_str());
            QStandardPaths::setTestModeEnabled(false);
        }
    } remove{strPlugin};
    ::unlink(strPlugin.c_str());

    SetText("see");
    m_view.SetDocumentPath("/srv/www/site/index.html");
    Select(CPoint(0, 0), CPoint(3, 0));
    Run(ID_WEB_IMAGE_MAP);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("WpImgMapプラグインのロードに失敗しました。"));

    WriteFileBytes(strPlugin, ReadFileBytes(WP_FAKE_IMGMAP_NOENTRY));
    Run(ID_WEB_IMAGE_MAP);
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(m_aBoxes[1].strText, QStringLiteral("WpImgMapプラグインのアクセスに失敗しました。"));
    EXPECT_TRUE(m_aFileRequests.empty());

    WriteFileBytes(strPlugin, ReadFileBytes(WP_FAKE_IMGMAP));
    Run(ID_WEB_IMAGE_MAP);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_EQ(m_aFileRequests[0].strDirectory, QStringLiteral("/srv/www/site"));
    EXPECT_TRUE(m_aFileRequests[0].aFilters.value(0).startsWith(QStringLiteral("イメージファイル")));
    EXPECT_EQ(Text(), "see");

    m_answerFiles = QStringList{QStringLiteral("/srv/www/site/map.png")};
    Run(ID_WEB_IMAGE_MAP);
    EXPECT_EQ(Text(), "see<map name=\"map.png\">|<area shape=\"rect\" coords=\"0,0,31,15\" href=\"#\">|</map>");
    EXPECT_EQ(m_aBoxes.size(), 2u);
    Undo();
    EXPECT_EQ(Text(), "see");
}

// ---------------------------------------------------------------------------
// In the whole program

using WebInProgram = CAppFixture;

// The menus and the remembered pair are the window's and the commands'
// business; here the status pane that shows the memory, and the keys.
TEST_F(WebInProgram, TheTagMemoryPaneFollowsTheKeys)
{
    ASSERT_TRUE(Start());
    ASSERT_NE(View(), nullptr);
    Frame()->ExecuteCommand(ID_VIEW_STATUS_BAR);
    Idle();
    EXPECT_EQ(Frame()->GetStatusPaneText(ID_INDICATOR_TAGMEMORY), "");
    QTest::keyClick(View(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    Idle();
    EXPECT_EQ(Frame()->GetStatusPaneText(ID_INDICATOR_TAGMEMORY), QStringLiteral("ﾀｸﾞ記憶"));
    // Nothing is remembered yet: the repeat's key, like its menu item, does
    // nothing, and the memory stays on.
    QTest::keyClick(View(), Qt::Key_K, Qt::ControlModifier);
    Idle();
    EXPECT_EQ(Frame()->GetStatusPaneText(ID_INDICATOR_TAGMEMORY), QStringLiteral("ﾀｸﾞ記憶"));
    QTest::keyClick(View(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    Idle();
    EXPECT_EQ(Frame()->GetStatusPaneText(ID_INDICATOR_TAGMEMORY), "");
}

// Each dialog from the keyboard: the first field has the focus, and Tab
// follows the layout with every field enabled.
TEST(WebDialogKeys, TabFollowsTheLayoutOfEveryWebDialog)
{
    InstallDialogKeyboardRules();
    CMemoryProfileStore store;
    SetAppProfile(&store);
    std::vector<std::unique_ptr<QDialog>> dialogs;
    // The tag dialogs, then the list, table, form and structure dialogs.
    for (QDialog *pDialog : std::initializer_list<QDialog *>{
             new CHotLinkDlg, new CAnchorNameDlg(QStringLiteral("ブックマークの設定"), QStringLiteral("名前")),
             new CFontTagDlg(QString(), QStringLiteral("#ff0000")), new CHeadingDlg, new CParagraphDlg,
             new CClassTagDlg, new CRuleDlg, new CImageDlg, new CCellDlg,
             new CLineInsertDlg(QStringLiteral("//"), QString()), new CTagCaseDlg(false), new CBulletListDlg,
             new CNumberedListDlg, new CTableSizeDlg, new CTableInsertDlg, new CFormTagDlg, new CFormInputDlg,
             new CTextAreaDlg, new CListItemDlg(CListBoxItem()), new CListBoxDlg,
             new CBodyDlg(true, QStringLiteral("t"), std::string()), new CTableOptionDlg, new CImageOptionDlg,
             new CAnchorOptionDlg(std::string()), new CTagKindDlg, new CTitleDlg(QStringLiteral("t"))})
        dialogs.emplace_back(pDialog);
    ExpectTabOrdersFollowLayout(dialogs);
    // The file field comes first, its "参照" beside it.
    for (const auto &[nDialog, pszFirst] : {std::pair{0, "linkFile"}, std::pair{7, "imageFile"}}) {
        ASSERT_TRUE(OpenDialog(dialogs[nDialog].get()));
        EXPECT_EQ(FocusControl()->objectName(), pszFirst);
        dialogs[nDialog]->hide();
    }
    SetAppProfile(nullptr);
}
