// The editor's link check: its dialog, the run with its progress dialog, the
// lines it puts into the results bar (the tool's, line for line), and the
// page's unsaved text checked instead of its file.
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "sitecheck/sitefixture.h"
#include "sitecheck/ui/linkcheck.h"
#include "support/dialogtest.h"
#include "support/resultsfixture.h"
#include "ui/progressdlg.h"

#include <QLineEdit>

namespace {

class LinkCheckUi : public CResultsFixture
{
protected:
    void SetUp() override
    {
        CResultsFixture::SetUp();
        SetMessageBoxHook([this](const CMsgBoxRequest &request) {
            m_aMessages.push_back(request.strText.toStdString());
            return IDOK;
        });
        sitefixture::Build(m_dir.Path());
    }
    void TearDown() override
    {
        SetDialogHook(nullptr);
        CProgressDlg::SetShownHook(nullptr);
        SetMessageBoxHook(nullptr);
        CResultsFixture::TearDown();
    }
    // Runs the command on a page, answering its dialog with the folder given.
    bool Run(const CLinkCheckPage &page, const std::string &strFolder, CResultsEdit &results)
    {
        SetDialogHook([&](QDialog *pDialog) {
            m_strProposed = pDialog->findChild<QLineEdit *>("folderEdit")->text().toStdString();
            pDialog->findChild<QLineEdit *>("folderEdit")->setText(QString::fromStdString(strFolder));
            pDialog->accept();
            return pDialog->result();
        });
        return RunLinkCheck(nullptr, page, &results);
    }
    CLinkCheckPage Page(const std::string &strName) const
    {
        return CLinkCheckPage{m_dir.File(strName), ReadFileBytes(m_dir.File(strName))};
    }

    std::string m_strProposed;
    std::vector<std::string> m_aMessages;
};

} // namespace

TEST_F(LinkCheckUi, ResultsAreTheToolsLinesAndTheFolderIsRemembered)
{
    CResultsEdit results;
    ASSERT_TRUE(Run(Page("faults/a.html"), m_dir.Path(), results));
    QStringList aLines = results.toPlainText().split(QLatin1Char('\n'));
    ASSERT_FALSE(aLines.isEmpty());
    EXPECT_EQ(aLines.takeLast().toStdString(), "14 個の問題が見つかりました。");

    const CToolResult tool = RunProgram({WP_TOOL_PATH, "check", "--recursive", "--notes", "."}, m_dir.Path());
    const QStringList aTool = QString::fromStdString(Cp932ToUtf8(tool.strOut)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(aLines, aTool);

    // The folder is remembered, and proposed next time for a page inside it.
    EXPECT_EQ(ProposeSiteFolder(m_dir.File("sub/index.html"), m_store.GetString("WpLinkCheck", "Folder", "")),
              m_dir.Path());
}

TEST_F(LinkCheckUi, UnsavedTextIsCheckedInsteadOfTheFileAndAPageOutsideIsRefused)
{
    CLinkCheckPage page = Page("sub/index.html");
    page.bytes += "<img src=\"nothing.png\">\n";
    std::vector<CSiteFinding> aFindings;
    ASSERT_TRUE(CheckSiteWithPage(m_dir.File("sub"), false, page, aFindings));
    // Alone in its folder the page's links leave the site; the new line is an error.
    ASSERT_EQ(aFindings.size(), 3u);
    EXPECT_EQ(FormatFinding(aFindings[2]), "index.html(2): 画像がありません: \"nothing.png\"");

    // A page never saved is checked beside the folder's pages.
    aFindings.clear();
    ASSERT_TRUE(CheckSiteWithPage(m_dir.File("sub"), false, CLinkCheckPage{"", "<meta charset=utf-8><a href=x.html>"},
                                  aFindings));
    ASSERT_FALSE(aFindings.empty());
    EXPECT_EQ(aFindings[0].strPath, LINKCHECK_UNTITLED);

    CResultsEdit results;
    EXPECT_FALSE(Run(Page("index.html"), m_dir.File("sub"), results));
    EXPECT_EQ(m_strProposed, m_dir.Path());
    EXPECT_EQ(m_aMessages, std::vector<std::string>{"このページは選んだフォルダの中にありません。"});
}

TEST_F(LinkCheckUi, DialogRefusesAMissingFolderAndCancelStopsTheCheck)
{
    CLinkCheckDlg dlg(QString::fromStdString(m_dir.File("none")), true);
    ASSERT_TRUE(OpenDialog(&dlg));
    ExpectTabOrderFollowsLayout(&dlg);
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(m_aMessages, std::vector<std::string>{"フォルダが見つかりません。"});

    CProgressDlg::SetShownHook([](CProgressDlg *pDlg) { pDlg->reject(); });
    CResultsEdit results;
    EXPECT_FALSE(Run(Page("index.html"), m_dir.Path(), results));
    EXPECT_TRUE(results.toPlainText().endsWith("キャンセルされました。"));
}
