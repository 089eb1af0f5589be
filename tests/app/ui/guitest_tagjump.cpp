// The tag jump (F9), the commands that open what the selection names and the
// "開く(&O)" menu.
#include "platform/copydata.h"
#include "platform/ui/shellopen.h"
#include "res/commands.h"
#include "search/tagjump.h"
#include "support/testutil.h"
#include "support/webfixture.h"

#include <QMenu>

#include <filesystem>
#include <tuple>

namespace {

class TagJump : public CWebFixture
{
protected:
    void SetUp() override
    {
        CWebFixture::SetUp();
        SetCopyDataReceiver([this](int nCode, const std::string &strPayload) {
            m_aLog.push_back(std::to_string(nCode) + " " + strPayload);
            return true;
        });
        SetShellOpenHook([this](const std::string &strTarget) {
            m_aLog.push_back("shell " + strTarget);
            return true;
        });
        std::filesystem::create_directories(m_dir.File("images"));
        WriteFileBytes(m_dir.File("images/a.gif"), "GIF89a");
        WriteFileBytes(m_dir.File("my page.htm"), "<p>");
        m_view.SetDocumentPath(m_dir.File("index.htm"));
    }
    void TearDown() override
    {
        CWebFixture::TearDown();
        SetShellOpenHook(nullptr);
        SetCopyDataReceiver(nullptr);
    }

    void JumpAt(CPoint pt)
    {
        m_view.PlaceCaret(pt);
        m_view.RouteCommand(ID_TAG_JUMP);
    }

    CTempDir m_dir;
    std::vector<std::string> m_aLog;
};

} // namespace

TEST_F(TagJump, OpensEditableFilesInTheEditorAndOthersOnTheDesktop)
{
    SetText("<a href=\"my page.htm\"><img src=\"images\\a.gif\"><a href=\"index2.htm\">"
            "<a href=\"http://example.com/x\"><a href=\"https://example.com/\">");
    WriteFileBytes(m_dir.File("index2.htm"), "");
    // Inside a quoted value with a space the whole value is selected, but it
    // names the file up to the space only, which does not exist.
    JumpAt(CPoint(12, 0));
    EXPECT_EQ(Selection(), std::make_pair(CPoint(9, 0), CPoint(20, 0)));
    // A .gif goes to the desktop ('\' separates names), an .htm to the
    // editor, http and https addresses to the desktop's browser.
    for (const int x : {35, 58, 80, 110})
        JumpAt(CPoint(x, 0));
    EXPECT_EQ(m_aLog, (std::vector<std::string>{"shell " + m_dir.File("images/a.gif"), "100 " + m_dir.File("index2.htm"),
                                                "shell http://example.com/x", "shell https://example.com/"}));
}

TEST_F(TagJump, TheOpenCommandsFollowTheSelection)
{
    SetText("images/a.gif my page.htm missing.txt");
    CCmdUI ui(ID_OPEN_IN_EDITOR);
    m_view.RouteUpdate(&ui);
    EXPECT_FALSE(ui.IsEnabled());  // nothing selected
    // The editor opens a file whatever its extension; a missing one, nothing.
    for (const auto &[nFrom, nTo, eKind] : {std::tuple{0, 12, JUMP_FILE}, std::tuple{25, 36, JUMP_NONE}}) {
        Select(CPoint(nFrom, 0), CPoint(nTo, 0));
        EXPECT_EQ(m_view.ClassifySelection(), eKind);
        m_view.RouteCommand(ID_OPEN_IN_EDITOR);
        m_view.RouteCommand(ID_OPEN_WITH_SHELL);
    }
    EXPECT_EQ(m_aLog, (std::vector<std::string>{"100 " + m_dir.File("images/a.gif"), "shell " + m_dir.File("images/a.gif")}));

    // The extension list of the settings decides what the tag jump keeps.
    m_store.WriteString("Wrenpad\\Version 1.0", "UseWrenpadExtension", "gif");
    m_aLog.clear();
    JumpAt(CPoint(3, 0));
    EXPECT_EQ(m_aLog, std::vector<std::string>{"100 " + m_dir.File("images/a.gif")});
    // A read-only view jumps nowhere.
    m_buffer.SetReadOnly(true);
    m_aLog.clear();
    JumpAt(CPoint(3, 0));
    EXPECT_TRUE(m_aLog.empty());
}

TEST_F(TagJump, ContextMenuOffersWhatTheSelectionNames)
{
    SetText("http://example.com/ images/a.gif plain");
    QMenu menu;
    menu.addAction(QStringLiteral("元に戻す(&U)"));
    Select(CPoint(0, 0), CPoint(19, 0));
    m_view.AddOpenMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_TRUE(menu.actions()[0]->text() == QStringLiteral("開く(&O)") && menu.actions()[1]->isSeparator());
    QMenu *pOpen = menu.actions()[0]->menu();
    ASSERT_EQ(pOpen->actions().size(), 1);
    EXPECT_EQ(pOpen->actions()[0]->text(), QStringLiteral("このURLを開く(&U)"));
    pOpen->actions()[0]->trigger();
    EXPECT_EQ(m_aLog, std::vector<std::string>{"shell http://example.com/"});

    QMenu fileMenu;
    Select(CPoint(20, 0), CPoint(32, 0));
    m_view.AddOpenMenu(&fileMenu);
    ASSERT_EQ(fileMenu.actions().size(), 2);
    EXPECT_EQ(fileMenu.actions()[0]->menu()->actions().size(), 2);
    QMenu noMenu;
    Select(CPoint(33, 0), CPoint(38, 0));
    m_view.AddOpenMenu(&noMenu);
    EXPECT_TRUE(noMenu.actions().isEmpty());
}
