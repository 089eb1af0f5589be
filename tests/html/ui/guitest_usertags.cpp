// The generators, user tags, web menu items, the completion pop-up and files
// dropped on a real view: what reaches the text, one undo step each, cancels
// that change nothing, and the files the user tags are kept in.
#include "html/ui/completionpopup.h"
#include "html/ui/htmlgendlgs.h"
#include "html/ui/tagmenufiles.h"
#include "html/ui/usertagdlg.h"
#include "html/ui/webtest.h"
#include "platform/ui/programfolder.h"
#include "support/sjistext.h"
#include "support/testutil.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

namespace {

class UserTags : public CWebFixture
{
protected:
    void SetUp() override
    {
        // The program folder is a test folder of this test's own, never the
        // user's, and not shared with tests running side by side.
        QStandardPaths::setTestModeEnabled(true);
        m_strAppName = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(
            QStringLiteral("wp_usertags_%1_%2")
                .arg(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()))
                .arg(QCoreApplication::applicationPid()));
        CWebFixture::SetUp();
        std::remove(ProgramFilePath(USERTAG_FILE_NAME).c_str());
        AppUserTags().RemoveAll();
        AppWebMenu().Parse("");
        AppTagAlign().Parse("");
        AppUsrAlign().Parse("");
        SetBeepHook([this] { ++m_nBeeps; });
    }

    void TearDown() override
    {
        SetBeepHook(nullptr);
        std::remove(ProgramFilePath(USERTAG_FILE_NAME).c_str());
        AppUserTags().RemoveAll();
        AppWebMenu().Parse("");
        CWebFixture::TearDown();
        QDir(ProgramFolder()).removeRecursively();
        QCoreApplication::setApplicationName(m_strAppName);
        QStandardPaths::setTestModeEnabled(false);
    }

    // The saved file's entries as "title|open|close".
    static std::vector<std::string> SavedEntries()
    {
        CUserTagList saved;
        saved.Load(ProgramFilePath(USERTAG_FILE_NAME));
        std::vector<std::string> a;
        for (int i = 0; i < saved.GetCount(); ++i) {
            std::string strOpen, strClose;
            saved.GetEntry(i, strOpen, strClose);
            a.push_back(saved.GetTitle(i) + "|" + strOpen + "|" + strClose);
        }
        return a;
    }

    CCompletionPopup *Popup() const
    {
        for (QWidget *pWidget : QApplication::topLevelWidgets()) {
            if (auto *pPopup = qobject_cast<CCompletionPopup *>(pWidget); pPopup && pPopup->isVisible())
                return pPopup;
        }
        return nullptr;
    }

    int m_nBeeps = 0;
    QString m_strAppName;
};

} // namespace

TEST_F(UserTags, GradationReplacesTheSelectionOrInsertsTheDialogText)
{
    Reset("ab");
    Select(CPoint(0, 0), CPoint(2, 0));
    m_fnDialog = Accepting([](QDialog *pDialog) {
        auto *pDlg = static_cast<CGradationDlg *>(pDialog);
        EXPECT_FALSE(Child<QLineEdit>(pDialog, "text")->isEnabled());
        pDlg->SetColors({0, 0, 0}, {0xff, 0, 0});
        // The sample shows the markup being made, on a text of its own.
        EXPECT_TRUE(pDlg->SampleHtml().contains(QStringLiteral("#da0000")));
    });
    AppSettings().m_bTagState = 1;
    Run(ID_TEXT_GRADATION);
    EXPECT_EQ(Text(), BuildGradation("ab", {0, 0, 0}, {0xff, 0, 0}, false, true));
    Undo();
    EXPECT_EQ(Text(), "ab");

    // Nothing selected: the dialog's text goes in at the caret, rainbow here.
    AppSettings().m_bTagState = 0;
    m_view.PlaceCaret(CPoint(1, 0));
    m_fnDialog = AcceptingFields({{"text", "x"}, {"rainbow", "1"}});
    Run(ID_TEXT_GRADATION);
    const std::string strRainbow = "a" + BuildGradation("x", {}, {}, true, false) + "b";
    EXPECT_EQ(Text(), strRainbow);

    // Cancel, and a read-only document, change nothing.
    m_fnDialog = nullptr;
    Run(ID_TEXT_GRADATION);
    m_buffer.SetReadOnly(true);
    m_fnDialog = Accepting([](QDialog *) {});
    const std::size_t nDialogs = m_aDialogTitles.size();
    Run(ID_TEXT_GRADATION);
    EXPECT_EQ(m_aDialogTitles.size(), nDialogs);
    EXPECT_EQ(Text(), strRainbow);
}

TEST_F(UserTags, TableGeneratorsAskTheirDialogsAndNeedASelection)
{
    Reset(S("あい"));
    EXPECT_FALSE(Enabled(ID_VERTICAL_TABLE));
    EXPECT_FALSE(Enabled(ID_TABLE_TO_CSV));
    Select(CPoint(0, 0), CPoint(4, 0));
    m_fnDialog = AcceptingFields({{"useRows", "1"}, {"rows", "3"}});
    Run(ID_VERTICAL_TABLE);
    EXPECT_NE(Text().find(S("あ<br>い<br>　<br></tt>")), std::string::npos) << Text();
    EXPECT_EQ(m_aDialogTitles.back(), QStringLiteral("行数"));

    Reset("<tr><td>a b</td><td><i>c</i></td></tr>");
    Select(CPoint(0, 0), CPoint(38, 0));
    m_fnDialog = Accepting([](QDialog *pDialog) {
        Child<QComboBox>(pDialog, "separator")->setCurrentIndex(TABLESEP_TAB);
        SetFields(pDialog, {{"eraseTags", "1"}});
    });
    Run(ID_TABLE_TO_CSV);
    EXPECT_EQ(Text(), "ab\tc");
}

TEST_F(UserTags, CopyAsHtmlPutsMarkupAndTextOnTheClipboardAndLeavesTheDocument)
{
    Reset("a<b\r\nnext\r\nnot");
    Select(CPoint(1, 0), CPoint(2, 1));
    Run(ID_COPY_AS_HTML);
    EXPECT_EQ(Text(), "a<b|next|not");
    const QMimeData *pData = QApplication::clipboard()->mimeData();
    ASSERT_NE(pData, nullptr);
    EXPECT_TRUE(pData->hasHtml());
    for (const QString &str : {pData->text(), pData->html()}) {
        EXPECT_TRUE(str.startsWith(QStringLiteral("<table bgcolor="))) << str.toStdString();
        EXPECT_TRUE(str.contains(QStringLiteral(">a&LT;b</font>"))) << str.toStdString();
        EXPECT_TRUE(str.contains(QStringLiteral(">next</font>"))) << str.toStdString();
        EXPECT_FALSE(str.contains(QStringLiteral("not"))) << str.toStdString();
    }
}

TEST_F(UserTags, UserTagsAndWebMenuItemsWrapOrReplaceTheSelection)
{
    AppUserTags().Add("bold", "<b>", "</b>");
    AppUserTags().Add("two", "<p>\r\n", "\r\n</p>");
    AppWebMenu().Parse("x:<em>\t</em>;SEPARATOR;<hr>;&amp;\n");
    Reset("one");
    Select(CPoint(0, 0), CPoint(3, 0));
    EXPECT_FALSE(Enabled(ID_USERTAG_FIRST + 2));
    Run(ID_USERTAG_FIRST + 1);
    EXPECT_EQ(Text(), "<p>|one|</p>");
    Undo();
    Select(CPoint(0, 0), CPoint(3, 0));
    Run(ID_WEBMENU_FIRST);
    EXPECT_EQ(Text(), "<em>one</em>");
    // The wrapped text is selected again, as with the web commands.
    EXPECT_EQ(Selected(), "one");
    Select(CPoint(0, 0), CPoint(12, 0));
    Run(ID_WEBMENU_FIRST + 1);
    EXPECT_EQ(Text(), "<hr>");
    Run(ID_WEBMENU_FIRST + 2);
    EXPECT_EQ(Text(), "<hr>&amp;");
    EXPECT_FALSE(Enabled(ID_WEBMENU_FIRST + 3));
}

TEST_F(UserTags, AddingASelectionWritesTheFileAndLongSelectionsOnlyBeep)
{
    Reset(std::string(5000, 'x'));
    Select(CPoint(0, 0), CPoint(5000, 0));
    Run(ID_USERTAG_ADD);
    EXPECT_EQ(m_nBeeps, 1);
    EXPECT_FALSE(FileExists(ProgramFilePath(USERTAG_FILE_NAME)));

    // A tag another window saved meanwhile stays.
    CUserTagList other;
    other.Add("old", "<old>", "</old>");
    ASSERT_TRUE(other.Save(ProgramFilePath(USERTAG_FILE_NAME)));
    Reset("<i>\tsmall\r\nrest");
    Select(CPoint(0, 0), CPoint(4, 1));
    Run(ID_USERTAG_ADD);
    EXPECT_EQ(SavedEntries(), (std::vector<std::string>{"old|<old>|</old>", "<i>|<i>\tsmall\r\nrest|"}));
    EXPECT_EQ(AppUserTags().GetCount(), 2);
}

TEST_F(UserTags, EditorChangesOnlyOnOkAndSavesTheList)
{
    AppUserTags().Add("a", "<a>", "</a>");
    AppUserTags().Add("b", "<b>", "</b>");
    ASSERT_TRUE(SaveUserTags());
    // Cancel after moving: the file stays as it was.
    m_fnDialog = [](QDialog *pDialog) {
        if (pDialog->windowTitle() == QStringLiteral("ﾕｰｻﾞｰ定義ﾀｸﾞの登録"))
            Child<QPushButton>(pDialog, "down")->click();
        return static_cast<int>(QDialog::Rejected);
    };
    const std::string strBefore = ReadFileBytes(ProgramFilePath(USERTAG_FILE_NAME));
    Run(ID_USERTAG_EDIT);
    EXPECT_EQ(ReadFileBytes(ProgramFilePath(USERTAG_FILE_NAME)), strBefore);

    // Move "a" down, edit "b" into two lines, add "c", remove nothing else.
    m_fnDialog = [](QDialog *pDialog) {
        if (pDialog->windowTitle() == QStringLiteral("ユーザータグ")) {
            if (FieldValues(pDialog, {"title"}).empty())
                SetFields(pDialog, {{"title", "c"}, {"openText", "<c>"}});
            else
                SetFields(pDialog, {{"openText", "<b>\n<br>"}});
            return static_cast<int>(QDialog::Accepted);
        }
        auto *pList = Child<QListWidget>(pDialog, "tagList");
        pList->setCurrentRow(0);
        Child<QPushButton>(pDialog, "down")->click();
        pList->setCurrentRow(0);
        Child<QPushButton>(pDialog, "edit")->click();
        Child<QPushButton>(pDialog, "add")->click();
        EXPECT_EQ(pList->count(), 3);
        return static_cast<int>(QDialog::Accepted);
    };
    Run(ID_USERTAG_EDIT);
    EXPECT_EQ(SavedEntries(), (std::vector<std::string>{"b|<b>\r\n<br>|</b>", "a|<a>|</a>", "c|<c>|"}));
}

TEST_F(UserTags, EntryDialogEndsOnEnterAndBreaksTheLineOnCtrlEnter)
{
    CUserTagEntryDlg dlg("t", "", "", &m_view);
    dlg.show();
    auto *pOpen = Child<QPlainTextEdit>(&dlg, "openText");
    pOpen->setFocus();
    QTest::keyClicks(pOpen, QStringLiteral("<a>"));
    QTest::keyClick(pOpen, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(pOpen, QStringLiteral("x"));
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClick(pOpen, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.GetOpen(), "<a>\r\nx");
}

TEST_F(UserTags, CompletionOffersTheTagsAttributesAndInsertsTheChosenOne)
{
    AppTagAlign().Parse("table:border,@width\n");
    AppUsrAlign().Parse("document.:write()\n");
    Reset("<table ");
    m_view.PlaceCaret(CPoint(7, 0));
    Run(ID_TAG_COMPLETION);
    CCompletionPopup *pPopup = Popup();
    ASSERT_NE(pPopup, nullptr);
    // Below the caret, not above it.
    const QRect rcCaret = static_cast<QWidget &>(m_view).inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_GE(pPopup->y(), m_view.mapToGlobal(rcCaret.bottomLeft()).y());
    QTest::keyClick(pPopup->Tree(), Qt::Key_Down);
    QTest::keyClick(pPopup->Tree(), Qt::Key_Return);
    EXPECT_EQ(Text(), "<table width");
    EXPECT_EQ(Popup(), nullptr);

    // A tag name being typed is completed in place; Escape inserts nothing.
    Reset("<ta");
    m_view.PlaceCaret(CPoint(3, 0));
    Run(ID_TAG_COMPLETION);
    ASSERT_NE(Popup(), nullptr);
    QTest::keyClick(Popup()->Tree(), Qt::Key_Escape);
    EXPECT_EQ(Text(), "<ta");
    Run(ID_TAG_COMPLETION);
    // The list opened on the first name that starts with "ta".
    auto *pTree = Popup()->Tree();
    ASSERT_NE(pTree->currentItem(), nullptr);
    EXPECT_EQ(pTree->currentItem()->text(0), QStringLiteral("table"));
    QTest::keyClick(pTree, Qt::Key_Return);
    EXPECT_EQ(Text(), "<table");

    // Outside tags the word before the caret; a word without a list beeps.
    Reset("x = document.");
    m_view.PlaceCaret(CPoint(13, 0));
    Run(ID_TAG_COMPLETION);
    ASSERT_NE(Popup(), nullptr);
    QTest::keyClick(Popup()->Tree(), Qt::Key_Return);
    EXPECT_EQ(Text(), "x = document.write()");
    Run(ID_TAG_COMPLETION);
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_EQ(m_nBeeps, 1);
}

TEST_F(UserTags, CompletionKeepsOffTheCaretsLine)
{
    // Below the line where it fits, above it where it does not, and where
    // neither side has room, on the larger one, made lower; never over it.
    const QRect rcScreen(0, 0, 800, 600);
    const QSize size(150, 120);
    EXPECT_EQ(CCompletionPopup::PlaceBesideLine(QRect(100, 200, 2, 16), size, rcScreen), QRect(100, 216, 150, 120));
    EXPECT_EQ(CCompletionPopup::PlaceBesideLine(QRect(700, 570, 2, 16), size, rcScreen), QRect(650, 450, 150, 120));
    const QRect rcLow(0, 0, 800, 100);
    EXPECT_EQ(CCompletionPopup::PlaceBesideLine(QRect(10, 40, 2, 16), size, rcLow), QRect(10, 56, 150, 44));
    EXPECT_EQ(CCompletionPopup::PlaceBesideLine(QRect(10, 50, 2, 16), size, rcLow), QRect(10, 0, 150, 50));
    for (int y = 0; y + 16 <= 600; y += 7) {
        const QRect rcLine(0, y, 800, 16);
        const QRect rc = CCompletionPopup::PlaceBesideLine(QRect(300, y, 2, 16), size, rcScreen);
        EXPECT_FALSE(rc.intersects(rcLine)) << y;
        EXPECT_TRUE(rcScreen.contains(rc)) << y;
    }

    // A view whose caret is on its last line, at the bottom of the screen.
    AppTagAlign().Parse("table:border,@width,cellpadding,cellspacing,align,bgcolor,height\n");
    Reset("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n<table ");
    const QRect rcAvailable = QGuiApplication::primaryScreen()->availableGeometry();
    m_view.move(rcAvailable.left(), rcAvailable.bottom() - m_view.frameGeometry().height() + 1);
    QApplication::processEvents();
    m_view.PlaceCaret(CPoint(7, 16));
    Run(ID_TAG_COMPLETION);
    CCompletionPopup *pPopup = Popup();
    ASSERT_NE(pPopup, nullptr);
    const QRect rcCaret = static_cast<QWidget &>(m_view).inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QRect rcLine(m_view.mapToGlobal(rcCaret.topLeft()), rcCaret.size());
    ASSERT_GT(rcLine.bottom() + pPopup->height(), rcAvailable.bottom()) << "no room below the line";
    EXPECT_LT(pPopup->frameGeometry().bottom(), rcLine.top());
    EXPECT_GE(pPopup->frameGeometry().bottom(), rcLine.top() - 4);
    pPopup->close();
}

TEST_F(UserTags, ObjectListFileReplacesTheUserWords)
{
    CTempDir dir;
    WriteFileBytes(dir.File("words.ini"), "foo:bar\n");
    m_answerFiles = {QString::fromStdString(dir.File("words.ini"))};
    Run(ID_LOAD_OBJECT_LIST);
    ASSERT_FALSE(m_aFileRequests.empty());
    EXPECT_FALSE(m_aFileRequests.back().bSave);
    EXPECT_EQ(AppUsrAlign().FindItems("foo", false).size(), 1u);
}

TEST_F(UserTags, DropsAskPerFileKeepTheChoiceStopAtCancelAndSkipUnreadableFiles)
{
    AppSettings().m_bAutoDragOpen = 0;
    CTempDir dir;
    const QString a = QString::fromStdString(dir.File("a.png"));
    const QString b = QString::fromStdString(dir.File("b.png"));
    const QString c = QString::fromStdString(dir.File("c.txt"));
    for (const QString &strFile : {a, b, c})
        WriteFileBytes(strFile.toStdString(), "x");
    Reset("");

    // Three files, Cancel at the second: only the first one's name goes in.
    std::vector<int> aOffered;
    int nDialog = 0;
    m_fnDialog = [&](QDialog *pDialog) {
        auto *pDrop = qobject_cast<CDropFileDlg *>(pDialog);
        if (!pDrop)
            return static_cast<int>(QDialog::Accepted);
        aOffered.push_back(pDrop->m_nChoice);
        if (++nDialog == 2)
            return static_cast<int>(QDialog::Rejected);
        pDrop->m_nChoice = DROP_INSERT_NAME;
        return static_cast<int>(QDialog::Accepted);
    };
    m_view.DropFiles({a, b, c});
    EXPECT_EQ(Text(), "a.png");
    EXPECT_EQ(aOffered, (std::vector<int>{DROP_OPEN, DROP_INSERT_NAME}));

    // Two images as image tags: the second dialog opens on the first's
    // choice, and the tags follow each other.
    Reset("");
    aOffered.clear();
    m_fnDialog = Accepting([&](QDialog *pDialog) {
        if (auto *pDrop = qobject_cast<CDropFileDlg *>(pDialog)) {
            aOffered.push_back(pDrop->m_nChoice);
            pDrop->m_nChoice = DROP_IMAGE_TAG;
        }
    });
    m_view.DropFiles({a, b});
    EXPECT_EQ(aOffered.size(), 2u);
    EXPECT_EQ(aOffered.back(), DROP_IMAGE_TAG);
    const std::string strText = Text();
    const std::size_t nFirst = strText.find("<img");
    ASSERT_NE(nFirst, std::string::npos) << strText;
    EXPECT_LT(strText.find("a.png"), strText.find("b.png")) << strText;
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(static_cast<int>(strText.size()), 0));

    // A link around the selection.
    Reset("here");
    Select(CPoint(0, 0), CPoint(4, 0));
    m_fnDialog = DropChoosing(DROP_LINK_TAG);
    m_view.DropFiles({c});
    EXPECT_TRUE(Text().starts_with("<a") && Text().ends_with("here</a>")) << Text();
    EXPECT_NE(Text().find("c.txt"), std::string::npos);

    // A file that cannot be read only shows a message: the next file still
    // goes in, over the untouched selection.
    Reset("keep");
    Select(CPoint(0, 0), CPoint(4, 0));
    m_fnDialog = DropChoosing(DROP_INSERT_TEXT);
    m_view.DropFiles({QString::fromStdString(dir.File("missing.txt")), c});
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("File not found"));
    EXPECT_EQ(Text(), "x");
}
