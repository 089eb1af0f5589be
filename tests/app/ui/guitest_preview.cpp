// The browser preview through the real windows, with a page view that only
// writes down what it is asked: which file each kind of document is shown
// from, the questions, the temporary copy that never touches the document,
// the targets outside the program, the bar's browser coming and going, and
// the preview following the text as it is typed.
#include "app/appoptions.h"
#include "app/ui/appcommands.h"
#include "app/ui/previewer.h"
#include "platform/ui/shellopen.h"
#include "preview/preview.h"
#include "preview/ui/browserbar.h"
#include "res/commands.h"
#include "support/fakepreview.h"
#include "ui/sizingbar.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <filesystem>
#include <tuple>

namespace {

class Preview : public CAppCommands
{
protected:
    void SetUp() override
    {
        CAppCommands::SetUp();
        SetShellOpenHook([this](const std::string &strTarget) {
            m_aOpened.push_back(strTarget);
            return true;
        });
        SetStartProgramHook([this](const std::string &strProgram, const std::string &strArgument) {
            m_aStarted.push_back(strProgram + "|" + strArgument);
            return m_bProgramStarts;
        });
        ASSERT_TRUE(Start());
    }

    void TearDown() override
    {
        CAppFixture::TearDown();
        SetShellOpenHook(nullptr);
        SetStartProgramHook(nullptr);
    }

    void Activate(const CWrenpadDoc *pDoc)
    {
        for (CChildFrame *pFrame : Frame()->GetChildFrames())
            if (pFrame->GetDocument() == pDoc)
                Frame()->ActivateChild(pFrame);
        Idle();
    }

    // The copy of the page's text that the preview shows, based in the page's folder.
    std::string Copy(const std::string &strHead, const std::string &strRest) const
    {
        const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(m_dir.Path()) + "/");
        return strHead + "<base href=\"" + folder.toEncoded().toStdString() + "\">" + strRest;
    }

    CPreviewer *Previewer() const { return Frame()->GetPreviewer(); }
    CSizingControlBar *Dock() const { return Frame()->GetBrowserBar(); }
    std::string TempPath() const { return Previewer()->TempFilePath(); }

    CFakePreviewScope m_fake;
    std::vector<std::string> m_aOpened;
    std::vector<std::string> m_aStarted;
    bool m_bProgramStarts = true;
};

} // namespace

TEST_F(Preview, ASavedUnchangedPageShowsItsOwnFileAgainRefreshesAndAHiddenBarHoldsNoBrowser)
{
    const std::string strPath = WriteFile("page.html", "<p>saved</p>\r\n");
    ASSERT_TRUE(Open(strPath));
    Run(ID_WEB_PREVIEW_BAR);
    EXPECT_EQ(AppSettings().m_bUseBrowser, PREVIEW_TARGET_BAR);
    EXPECT_TRUE(Dock()->isVisible());
    EXPECT_EQ(m_fake.Log().aCalls, (std::vector<std::string>{"created", "navigate " + strPath}));
    EXPECT_EQ(Dock()->windowTitle().toStdString(), "IE WebBrowser - " + strPath);

    Run(ID_WEB_PREVIEW);
    EXPECT_EQ(m_fake.Log().Last(), "refresh");
    EXPECT_EQ(m_fake.Log().nAlive, 1);
    EXPECT_TRUE(m_aBoxes.empty());
    // The target is kept for the next session.
    Frame()->SaveFrameState();
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "bUseBrowser", -1), PREVIEW_TARGET_BAR);

    // A hidden bar holds no browser; shown again, the page is opened anew
    // rather than refreshed.
    Dock()->hide();
    Idle();
    EXPECT_EQ(m_fake.Log().nAlive, 0);
    EXPECT_EQ(m_fake.Log().aCalls,
              (std::vector<std::string>{"created", "navigate " + strPath, "refresh", "stop", "destroyed"}));
    EXPECT_TRUE(Previewer()->GetBrowserBar()->GetCurrentUrl().empty());
    Run(ID_WEB_PREVIEW);
    EXPECT_TRUE(Dock()->isVisible());
    EXPECT_EQ(m_fake.Log().nAlive, 1);
    EXPECT_EQ(m_fake.Log().Last(), "navigate " + strPath);
}

TEST_F(Preview, AModifiedPageGoesThroughACopyThatLeavesTheDocumentAsItWas)
{
    const std::string strPath = WriteFile("page.html", "<html><head></head><body><img src=\"a.png\">\r\n</body></html>");
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    View()->PlaceCaret(CPoint(0, 1));
    Type("new");
    Idle();

    // No: nothing is written or shown.
    Run(ID_WEB_PREVIEW_BAR, {IDNO});
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(std::make_pair(m_aBoxes[0].strCaption, m_aBoxes[0].nStyle),
              std::make_pair(QString("Shell警告"), unsigned(MB_YESNO | MB_ICONEXCLAMATION)));
    EXPECT_TRUE(m_aBoxes[0].strText.startsWith("ファイルは、更新されています。"));
    EXPECT_TRUE(m_fake.Log().aCalls.empty());

    Run(ID_WEB_PREVIEW, {IDYES});
    const std::string strTemp = TempPath();
    EXPECT_EQ(QFileInfo(QString::fromStdString(strTemp)).fileName(), "~wpedtmp.htm");
    EXPECT_EQ(m_fake.Log().Last(), "navigate " + strTemp);
    // The copy finds the page's image in the page's own folder, and keeps its line ends.
    EXPECT_EQ(ReadFileBytes(strTemp), Copy("<html><head>", "</head><body><img src=\"a.png\">\r\nnew</body></html>"));
    // The document keeps its path, its modified state and where it was saved in its history.
    EXPECT_EQ(pDoc->GetPathName(), strPath);
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(ReadFileBytes(strPath), "<html><head></head><body><img src=\"a.png\">\r\n</body></html>");
    Frame()->ExecuteCommand(ID_EDIT_UNDO);
    Idle();
    EXPECT_FALSE(pDoc->IsModified());

    // With bAutoTempoBrowse the copy is made without asking; the same copy refreshes.
    m_profile.WriteInt(SECTION_MAIN, "bAutoTempoBrowse", 1);
    Type("again");
    m_aBoxes.clear();
    Run(ID_WEB_PREVIEW);
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_EQ(m_fake.Log().Last(), "refresh");
    EXPECT_NE(ReadFileBytes(strTemp).find("again</body>"), std::string::npos);
}

TEST_F(Preview, AnUntitledDocumentAsksFirstEvenWhenUnchanged)
{
    Run(ID_FILE_NEW);
    CWrenpadDoc *pDoc = Doc();
    ASSERT_TRUE(pDoc);
    Run(ID_WEB_PREVIEW_BAR, {IDNO});
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strCaption, "警告");
    EXPECT_TRUE(m_aBoxes[0].strText.startsWith("ファイルを保存してからでないと実際のイメージなど反映されません。"));
    EXPECT_TRUE(m_fake.Log().aCalls.empty());

    Type("<p>x</p>");
    Run(ID_WEB_PREVIEW, {IDYES});
    // Nothing to be relative to: the copy is the text alone.
    EXPECT_EQ(ReadFileBytes(TempPath()), "<p>x</p>");
    EXPECT_EQ(m_fake.Log().Last(), "navigate " + TempPath());
    EXPECT_EQ(std::make_tuple(pDoc->GetPathName(), pDoc->GetTitle(), pDoc->IsModified()),
              std::make_tuple(std::string(), std::string("新規ﾌｧｲﾙ1"), true));
}

TEST_F(Preview, AReadOnlyDocumentPreviewsOnlyWithTheCurrentTarget)
{
    const std::string strPath = WriteFile("page.html", "<p>x</p>");
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    Run(ID_READ_ONLY);
    ASSERT_TRUE(pDoc->GetBuffer().IsReadOnly());
    EXPECT_FALSE(Update(ID_WEB_PREVIEW_BAR).IsEnabled());
    EXPECT_TRUE(Update(ID_WEB_PREVIEW).IsEnabled());

    Run(ID_WEB_PREVIEW_BAR);
    View()->OnPreview(ID_WEB_PREVIEW_BAR);
    EXPECT_EQ(AppSettings().m_bUseBrowser, PREVIEW_TARGET_SHELL);
    EXPECT_TRUE(m_fake.Log().aCalls.empty() && m_aOpened.empty());

    Run(ID_WEB_PREVIEW);
    EXPECT_EQ(m_aOpened, (std::vector<std::string>{strPath}));
}

TEST_F(Preview, OtherTargetsStartTheDesktopOrTheChosenBrowser)
{
    AppSettings().m_strUseBrowser = "/opt/my browser/run";
    AppSettings().m_strUseBrowser3 = "chromium";
    AppSettings().m_strUseBrowser4.clear();
    const std::string strPath = WriteFile("my page.html", "<p>x</p>");
    ASSERT_TRUE(Open(strPath));
    EXPECT_EQ(Update(ID_WEB_PREVIEW_BROWSER2).GetText(),
              QString::fromStdString(BrowserMenuText(2, "/opt/my browser/run")));
    EXPECT_TRUE(Update(ID_WEB_PREVIEW_BROWSER2).IsEnabled() && Update(ID_WEB_PREVIEW_BROWSER3).IsEnabled());
    EXPECT_FALSE(Update(ID_WEB_PREVIEW_BROWSER4).IsEnabled());
    EXPECT_EQ(Update(ID_WEB_PREVIEW_SHELL).GetCheck(), 1);

    // The path goes to the program as one argument, spaces and all.
    Run(ID_WEB_PREVIEW_BROWSER2);
    EXPECT_EQ(m_aStarted, (std::vector<std::string>{"/opt/my browser/run|" + strPath}));
    EXPECT_EQ(std::make_pair(Update(ID_WEB_PREVIEW_BROWSER2).GetCheck(), Update(ID_WEB_PREVIEW_SHELL).GetCheck()),
              std::make_pair(1, 0));

    Run(ID_WEB_PREVIEW_SHELL);
    EXPECT_EQ(m_aOpened, (std::vector<std::string>{strPath}));

    // A program that cannot be started is said so, without a box.
    m_bProgramStarts = false;
    Run(ID_WEB_PREVIEW_BROWSER3);
    EXPECT_TRUE(Frame()->GetStatusPaneText(0).contains("起動できませんでした"));
    EXPECT_TRUE(m_aBoxes.empty());

    // A stored target that names nothing opens with the desktop, and says so.
    AppSettings().m_bUseBrowser = 9;
    Run(ID_WEB_PREVIEW);
    EXPECT_EQ(m_aOpened.size(), 2u);
    EXPECT_EQ(Update(ID_WEB_PREVIEW_SHELL).GetCheck(), 1);
    EXPECT_TRUE(m_fake.Log().aCalls.empty());
}

TEST_F(Preview, TheBarFollowsTypingWhenAsked)
{
    m_profile.WriteInt(SECTION_MAIN, PREVIEW_AUTO_UPDATE_ENTRY, 1);
    const std::string strPath = WriteFile("page.html", "<head></head>");
    CWrenpadDoc *pDoc = Open(strPath);
    const std::string strOther = WriteFile("other.html", "<p>");
    CWrenpadDoc *pOther = Open(strOther);
    ASSERT_TRUE(pDoc && pOther);
    Activate(pDoc);
    Run(ID_WEB_PREVIEW_BAR);
    EXPECT_EQ(Previewer()->GetFollowedDocument(), pDoc);

    // Typing elsewhere changes nothing.
    Activate(pOther);
    Type("z");
    EXPECT_FALSE(Previewer()->IsAutoUpdatePending());

    // Once typing pauses, a copy is shown where the page was scrolled to,
    // without a question, and the document stays as it was.
    Activate(pDoc);
    View()->PlaceCaret(CPoint(13, 0));
    Type("x");
    EXPECT_TRUE(Previewer()->IsAutoUpdatePending());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Previewer()->IsAutoUpdatePending(); }, 10000));
    EXPECT_EQ(m_fake.Log().Last(), "navigate-keep " + TempPath());
    EXPECT_TRUE(m_aBoxes.empty());
    EXPECT_EQ(ReadFileBytes(TempPath()), Copy("<head>", "</head>x"));
    EXPECT_TRUE(pDoc->GetPathName() == strPath && pDoc->IsModified());

    Type("y");
    Previewer()->FlushAutoUpdate();
    EXPECT_EQ(m_fake.Log().Last(), "refresh");

    // Switched off, typing shows nothing new.
    m_profile.WriteInt(SECTION_MAIN, PREVIEW_AUTO_UPDATE_ENTRY, 0);
    const std::size_t nCalls = m_fake.Log().aCalls.size();
    Type("w");
    Previewer()->FlushAutoUpdate();
    EXPECT_EQ(m_fake.Log().aCalls.size(), nCalls);

    // The followed document closing ends the following.
    m_profile.WriteInt(SECTION_MAIN, PREVIEW_AUTO_UPDATE_ENTRY, 1);
    Run(ID_FILE_CLOSE, {IDNO});
    Idle();
    EXPECT_EQ(Previewer()->GetFollowedDocument(), nullptr);
    Previewer()->FlushAutoUpdate();
    EXPECT_EQ(m_fake.Log().aCalls.size(), nCalls);
}

TEST_F(Preview, TheCopyLivesInAPrivateFolderThatGoesWithTheProgram)
{
    m_profile.WriteInt(SECTION_MAIN, "bAutoTempoBrowse", 1);
    Run(ID_FILE_NEW);
    Run(ID_WEB_PREVIEW_BAR);
    const QString strTemp = QString::fromStdString(TempPath());
    const QFileInfo folder(QFileInfo(strTemp).absolutePath());
    ASSERT_TRUE(QFileInfo::exists(strTemp));
    EXPECT_NE(folder.absoluteFilePath(), QDir::tempPath());
    EXPECT_EQ(std::filesystem::status(folder.absoluteFilePath().toStdString()).permissions(),
              std::filesystem::perms::owner_all);

    // Closing the window removes the copy, ending the program its folder.
    Frame()->SaveFrameState();
    EXPECT_FALSE(QFileInfo::exists(strTemp));
    m_pApp.reset();
    EXPECT_FALSE(folder.exists());
}

TEST_F(Preview, ACopyThatCannotBeMadeIsSaidSoAndNothingIsShown)
{
    m_profile.WriteInt(SECTION_MAIN, "bAutoTempoBrowse", 1);
    Run(ID_FILE_NEW);

    // Something in the way of the copy's name.
    std::filesystem::create_directories(TempPath());
    Run(ID_WEB_PREVIEW_BAR);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(std::make_tuple(m_aBoxes[0].strText, m_aBoxes[0].strCaption, m_aBoxes[0].nStyle),
              std::make_tuple(QString("ﾃﾝﾎﾟﾗﾘｰﾌｧｲﾙの作成に失敗しました。"), QString("ﾌｧｲﾙｴﾗｰ"), unsigned(MB_OK | MB_ICONSTOP)));
    EXPECT_TRUE(m_fake.Log().aCalls.empty());

    // No temporary folder at all.
    std::filesystem::remove_all(QFileInfo(QString::fromStdString(TempPath())).absolutePath().toStdString());
    m_aBoxes.clear();
    {
        CEnvironment tmp("TMPDIR", m_dir.File("no such folder"));
        Run(ID_WEB_PREVIEW_BAR);
    }
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, "ﾃﾝﾎﾟﾗﾘｰﾊﾟｽの取得に失敗しました。");
    EXPECT_TRUE(m_fake.Log().aCalls.empty());
}
