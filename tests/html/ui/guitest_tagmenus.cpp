// The tag menu's run-time items in a whole application: the shipped files
// seeded into the program folder without replacing the user's own, the web
// menu's submenus and the user tags in the menu bar and the context menu,
// and dropped files that are opened or dumped.
#include "filetools/hexdump.h"
#include "html/ui/tagmenufiles.h"
#include "html/ui/webtest.h"
#include "platform/ui/programfolder.h"
#include "res/commands.h"
#include "res/menus.h"
#include "res/ui/menubuilder.h"
#include "support/appfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QMenu>

namespace {

class TagMenus : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        // A fresh program folder of this test's own (tests run side by side),
        // seeded on start.
        m_strAppName = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(
            QStringLiteral("wp_tagmenus_%1_%2")
                .arg(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()))
                .arg(QCoreApplication::applicationPid()));
        QDir(ProgramFolder()).removeRecursively();
    }

    void TearDown() override
    {
        CAppFixture::TearDown();
        QDir(ProgramFolder()).removeRecursively();
        QCoreApplication::setApplicationName(m_strAppName);
        AppUserTags().RemoveAll();
        AppWebMenu().Parse("");
    }

    QString m_strAppName;

    QMenu *TagMenu() const
    {
        QAction *pEdit = FindCommandAction(Frame()->GetMainMenu(IDR_WRENPADTYPE, 4), ID_USERTAG_EDIT);
        return pEdit ? qobject_cast<QMenu *>(pEdit->parent()) : nullptr;
    }

    static QStringList Labels(const QMenu *pMenu)
    {
        QStringList labels;
        for (const QAction *pAction : pMenu->actions())
            labels << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
        return labels;
    }
};

} // namespace

TEST_F(TagMenus, WebMenuAndUserTagsFollowTheFixedItems)
{
    CUserTagList tags;
    tags.Add("one", "<1>", "");
    tags.Add("t&t", "<2>", "");
    ASSERT_TRUE(tags.Save(ProgramFilePath(USERTAG_FILE_NAME)));
    WriteFileBytes(ProgramFilePath(WEBMENU_FILE_NAME), "sub/deeper:<b>\t</b>;SEPARATOR;<hr>\n:<br>\n");
    AppTagAlign().Parse("");
    ASSERT_TRUE(Start());
    // The start seeds what the user lacks and reads it; the user's own files stay.
    EXPECT_FALSE(AppTagAlign().FindItems("img", true).empty());
    ASSERT_TRUE(Frame()->GetActiveView() || m_pApp->OnFileNew());
    Idle();
    QMenu *pTag = TagMenu();
    ASSERT_NE(pTag, nullptr);
    const QStringList labels = Labels(pTag);
    const auto nAt = labels.indexOf(CommandLabel(ID_USERTAG_EDIT));
    ASSERT_GE(nAt, 0);
    EXPECT_EQ(labels.mid(nAt + 1),
              (QStringList{"-", "sub", "<br>", "-", "&1 one", "&2 t&&t"}));
    QAction *pBold = FindCommandAction(pTag, ID_WEBMENU_FIRST);
    ASSERT_NE(pBold, nullptr);
    EXPECT_EQ(pBold->text(), QStringLiteral("<b>\t</b>"));
    EXPECT_EQ(Labels(qobject_cast<QMenu *>(pBold->parent())), (QStringList{"<b>\t</b>", "-", "<hr>"}));

    // A change of the user tags rebuilds the items; the web menu stays.
    AppUserTags().RemoveAt(0);
    Frame()->RebuildTagMenus();
    EXPECT_EQ(Labels(pTag).mid(nAt + 1), (QStringList{"-", "sub", "<br>", "-", "&1 t&&t"}));

    // The context menu, built when shown, gets the same items.
    QMenu *pContext = BuildResourcePopup(*FindMenuResource(IDR_CONTEXT_MENU), CONTEXT_POPUP_MENU, Frame(),
                                         [](int) {});
    Frame()->AddTagMenuItems(pContext);
    EXPECT_NE(FindCommandAction(pContext, ID_USERTAG_FIRST), nullptr);
    EXPECT_NE(FindCommandAction(pContext, ID_WEBMENU_FIRST + 1), nullptr);
    delete pContext;

    // Choosing an item inserts through the view.
    View()->SetSelection(CPoint(0, 0), CPoint(0, 0));
    pBold->trigger();
    EXPECT_EQ(Text(Doc()), "<b></b>");
}

TEST_F(TagMenus, DroppedFilesOpenAllAtOnceOrGiveADumpDocument)
{
    ASSERT_TRUE(Start());
    const std::string a = WriteFile("a.txt", "alpha");
    const std::string b = WriteFile("b.txt", "beta");
    ASSERT_TRUE(m_pApp->OnFileNew());
    Idle();
    AppSettings().m_bAutoDragOpen = 1;
    const int nBefore = m_pApp->GetDocumentCount();
    View()->DropFiles({QString::fromStdString(a), QString::fromStdString(b), QString::fromStdString(m_dir.File("gone"))});
    Idle();
    EXPECT_EQ(m_pApp->GetDocumentCount(), nBefore + 2);
    EXPECT_TRUE(m_aBoxes.empty());

    AppSettings().m_bAutoDragOpen = 0;
    m_fnDialog = DropChoosing(DROP_DUMP);
    const std::string bin = WriteFile("x.bin", std::string("\x7e\x7f\x80", 3));
    View()->DropFiles({QString::fromStdString(bin)});
    Idle();
    ASSERT_EQ(m_pApp->GetDocumentCount(), nBefore + 3);
    std::string strDump = FormatAsciiDump(std::string("\x7e\x7f\x80", 3), bin);
    for (std::size_t n; (n = strDump.find("\r\n")) != std::string::npos;)
        strDump.replace(n, 2, "|");
    EXPECT_EQ(Text(Doc()), strDump);
}
