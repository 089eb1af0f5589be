// Documents through the real windows: open, edit, save, revert, read-only,
// save as, files that cannot be opened, and closing a modified document.
#include "app/ui/appcommands.h"
#include "app/ui/docdialogs.h"
#include "res/commands.h"
#include "syntax/viewtype.h"

#include <sys/stat.h>

#include <numeric>

using namespace std::string_literals;

namespace {

class Document : public CAppCommands
{
protected:
    void SetUp() override
    {
        CAppCommands::SetUp();
        ASSERT_TRUE(Start());
    }

    // Runs a command whose file dialog answers with strPath.
    void RunSavingTo(int nID, const std::string &strPath, std::deque<int> aAnswers = {})
    {
        m_aFileAnswers = {{QString::fromStdString(strPath)}};
        Run(nID, std::move(aAnswers));
    }
};

} // namespace

TEST_F(Document, RevertAsksFirstAndAVanishedFileChangesNothing)
{
    const std::string strPath = WriteFile("gone.txt", "a\r\nb");
    CWrenpadDoc *pDoc = Open(strPath);
    Type("z");
    // No keeps the text.
    Run(ID_FILE_REVERT, {IDNO});
    EXPECT_EQ(Text(pDoc), "za|b");
    m_aBoxes.clear();
    ::unlink(strPath.c_str());
    Run(ID_FILE_REVERT, {IDYES});
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_TRUE(m_aBoxes[0].strCaption == "復帰" && m_aBoxes[0].strText.startsWith("ﾄﾞｷｭﾒﾝﾄは変更されています。"));
    EXPECT_EQ(m_aBoxes[1].strCaption + ": " + m_aBoxes[1].strText,
              "失敗: " + QString::fromStdString(strPath) + " が見つかりません。");
    EXPECT_EQ(Text(pDoc), "za|b");
    EXPECT_TRUE(pDoc->IsModified());

    // Revert asks for a path: an untitled document cannot.
    m_pApp->OnFileNew();
    EXPECT_FALSE(Update(ID_FILE_REVERT).IsEnabled());
}

TEST_F(Document, AFailedSaveSaysSoAndKeepsTheDocumentModified)
{
    CTempDir other;
    const std::string strPath = other.File("lost.txt");
    WriteFileBytes(strPath, "text");
    CWrenpadDoc *pDoc = Open(strPath);
    Type("more ");
    // The folder disappears under the document.
    ::unlink(strPath.c_str());
    ::rmdir(other.Path().c_str());
    Frame()->ExecuteCommand(ID_FILE_SAVE);
    ASSERT_FALSE(m_aBoxes.empty());
    EXPECT_EQ(m_aBoxes.back().strText, QString::fromStdString(strPath) + "\nファイルの保存に失敗しました。");
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetPathName(), strPath);
}

TEST_F(Document, ReadOnlyToggleMarksTheTitleAndStopsEditing)
{
    const std::string strPath = WriteFile("ro.txt", "abc");
    CWrenpadDoc *pDoc = Open(strPath);
    Type("1");
    Frame()->ExecuteCommand(ID_VIEW_STATUS_BAR);
    Run(ID_READ_ONLY);
    EXPECT_EQ(Title(), "ro.txt(書込禁止) *");
    EXPECT_EQ(Frame()->GetStatusPaneText(ID_EDIT_INDICATOR_READ), "書禁");
    EXPECT_EQ(Update(ID_READ_ONLY).GetCheck(), 1);
    // Typing, Enter, Backspace and Delete change nothing; each beeps and the
    // status bar says why, in place of the message the caret's pane shows.
    // Moving about is no edit: no beep.
    int nBeeps = 0;
    SetBeepHook([&nBeeps] { ++nBeeps; });
    EXPECT_NE(Frame()->GetStatusPaneText(0), "書込み禁止です");
    Type("2");
    for (Qt::Key nKey : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete})
        QTest::keyClick(View(), nKey);
    EXPECT_EQ(Frame()->GetStatusPaneText(0), "書込み禁止です");
    EXPECT_EQ(Text(pDoc), "1abc");
    EXPECT_EQ(nBeeps, 4);
    QTest::keyClick(View(), Qt::Key_Right);
    QTest::keyClick(View(), Qt::Key_Left);
    SetBeepHook(nullptr);
    EXPECT_EQ(nBeeps, 4);
    // A plain save of a read-only document does nothing, and says nothing.
    Frame()->ExecuteCommand(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(strPath), "abc");
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_TRUE(m_aFileRequests.empty());

    Run(ID_READ_ONLY);
    EXPECT_EQ(Title(), "ro.txt *");
    EXPECT_EQ(Frame()->GetStatusPaneText(ID_EDIT_INDICATOR_READ), "");
    Type("2");
    EXPECT_EQ(Text(pDoc), "12abc");
}

TEST_F(Document, AFileTheUserMayNotWriteOpensReadOnlyAndSavesThroughTheDialog)
{
    // No write bits: read-only for the superuser too.
    const std::string strPath = WriteFile("locked.txt", "abc");
    ::chmod(strPath.c_str(), 0444);
    CWrenpadDoc *pDoc = Open(strPath);
    EXPECT_EQ(Title(), "locked.txt(書込禁止)");
    pDoc->GetBuffer().SetModified(true);
    const std::string strCopy = m_dir.File("copy.txt");
    RunSavingTo(ID_FILE_SAVE, strCopy);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_TRUE(m_aFileRequests[0].bSave);
    EXPECT_EQ(std::make_pair(ReadFileBytes(strCopy), ReadFileBytes(strPath)), std::make_pair(std::string("abc"), std::string("abc")));
    EXPECT_EQ(pDoc->GetPathName(), strCopy);
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_TRUE(m_aBoxes.empty());
}

TEST_F(Document, ClosingADocumentMadeReadOnlyOffersToSaveElsewhere)
{
    const std::string strPath = WriteFile("keep.txt", "base");
    CWrenpadDoc *pDoc = Open(strPath);
    Type("edit ");
    Run(ID_READ_ONLY);

    // Yes to saving: the file itself may not be written, so the save dialog
    // asks where; cancelling it keeps the window.
    Run(ID_FILE_CLOSE, {IDYES});
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, QString::fromStdString(strPath) + " への変更を保存しますか?");
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_TRUE(m_aFileRequests[0].bSave);
    EXPECT_EQ(Frame()->GetChildFrames().size(), 1);
    EXPECT_TRUE(pDoc->IsModified());

    // A name given: the text goes there, the file stays as it was, the window closes.
    const std::string strOther = m_dir.File("other.txt");
    RunSavingTo(ID_FILE_CLOSE, strOther, {IDYES});
    EXPECT_EQ(m_aFileRequests.size(), 2u);
    EXPECT_EQ(ReadFileBytes(strOther), "edit base");
    EXPECT_EQ(ReadFileBytes(strPath), "base");
    EXPECT_TRUE(Frame()->GetChildFrames().isEmpty());
    EXPECT_EQ(m_pApp->GetDocumentCount(), 0);
}

TEST_F(Document, AnUntitledPageIsProposedAsHtmlAndTheColouringFollowsTheNewName)
{
    m_pApp->OnFileNew();
    Idle();
    Type("  <!DOCTYPE html>");
    Frame()->ExecuteCommand(ID_WINDOW_SPLIT);
    ASSERT_GT(Doc()->GetViews().size(), 1u);
    // The view type of every pane, when they all have the same one; -1 otherwise.
    const auto types = [this] {
        const int nFirst = Doc()->GetViews().front()->GetViewType();
        for (CWrenpadView *pView : Doc()->GetViews())
            if (pView->GetViewType() != nFirst)
                return -1;
        return nFirst;
    };
    EXPECT_EQ(types(), VIEWTYPE_STANDARD);

    const std::string strPage = m_dir.File("page.html");
    RunSavingTo(ID_FILE_SAVE_AS, strPage);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_EQ(m_aFileRequests[0].strFileName, "新規ﾌｧｲﾙ1.html");
    // Saved as a page, it is coloured as one in every pane at once.
    EXPECT_EQ(Doc()->GetPathName(), strPage);
    EXPECT_EQ(types(), VIEWTYPE_HTML);

    // The user's own choice stays while the extension does; another extension changes it.
    Frame()->ExecuteCommand(1704);
    RunSavingTo(ID_FILE_SAVE_AS, m_dir.File("copy.HTML"));
    EXPECT_EQ(View()->GetViewType(), VIEWTYPE_HTML_SIMPLE);
    RunSavingTo(ID_FILE_SAVE_AS, m_dir.File("page.pl"));
    EXPECT_EQ(types(), VIEWTYPE_PERL);
}

TEST_F(Document, FilesThatCannotBeOpenedAreRefusedWithAReason)
{
    const std::string strBig = WriteFile("huge.log", "");
    ASSERT_EQ(::truncate(strBig.c_str(), 2LL << 30), 0);
    ASSERT_EQ(::mkfifo(m_dir.File("fifo").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, QString>> cases = {
        {m_dir.File("missing.txt"), "ファイルが見つかりません。"},
        {m_dir.Path(), "フォルダーは開けません。"},
        {m_dir.File("fifo"), "通常のファイルではないため開けません。"},
        {strBig, "ファイルが大きすぎるため開けません。"},
    };
    for (const auto &[strPath, strWhy] : cases) {
        m_aBoxes.clear();
        EXPECT_EQ(m_pApp->OpenDocumentFile(QString::fromStdString(strPath)), nullptr) << strPath;
        ASSERT_EQ(m_aBoxes.size(), 1u) << strPath;
        EXPECT_TRUE(m_aBoxes[0].strText.contains(strWhy)) << m_aBoxes[0].strText.toStdString();
    }
    EXPECT_EQ(m_pApp->GetDocumentCount(), 0);
    EXPECT_TRUE(Frame()->GetChildFrames().isEmpty());

    // A binary file opens, and every byte saves back unchanged.
    std::string strBinary(256, '\0');
    std::iota(strBinary.begin(), strBinary.end(), '\0');
    strBinary += "\r\n\0\0\x82\xA0\r\n"s;
    const std::string strPath = WriteFile("data.bin", strBinary);
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    pDoc->GetBuffer().SetModified(true);
    Run(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(strPath), strBinary);
}

TEST_F(Document, OpeningAnOpenFileAgainActivatesItsWindow)
{
    const std::string strPath = WriteFile("one.txt", "1");
    CWrenpadDoc *pFirst = Open(strPath);
    Open(WriteFile("two.txt", "2"));
    EXPECT_EQ(Open(m_dir.Path() + "/./one.txt"), pFirst);
    EXPECT_EQ(Doc(), pFirst);
    EXPECT_EQ(m_pApp->GetDocumentCount(), 2);
}

TEST_F(Document, TabWidthAndFontReachEveryPaneAndTheSettings)
{
    Open(WriteFile("t.txt", "\tx"));
    Frame()->ExecuteCommand(ID_WINDOW_SPLIT);
    m_fnDialog = [](QDialog *pDialog) {
        if (auto *pTabs = qobject_cast<CTabStopDlg *>(pDialog))
            pTabs->SetTabSize(8);
        else if (auto *pFont = qobject_cast<CFontDlg *>(pDialog))
            pFont->SetPointSize(12);
        return static_cast<int>(QDialog::Accepted);
    };
    Frame()->ExecuteCommand(ID_TAB_STOP);
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "TabStop", -1), 8);
    for (CWrenpadView *pView : Doc()->GetViews())
        EXPECT_EQ(pView->GetTabSize(), 8);

    Frame()->ExecuteCommand(ID_CHOOSE_FONT);
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "FontSize", -1), 12);
    EXPECT_FALSE(m_profile.GetString(SECTION_MAIN, "FontFace", "").empty());
    EXPECT_EQ(Doc()->GetFontSetting().nHeight, 16);
    for (CWrenpadView *pView : Doc()->GetViews())
        EXPECT_EQ(pView->GetViewFont().pixelSize(), 16);
}
