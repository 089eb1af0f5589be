// Plug-ins in the editor: their commands run on a real view and insert their
// results by type, with the messages for what goes wrong; their items in the
// menu bars and the context menu; the help items; the clickable-map item,
// which is there only with its plug-in; and the file manager's menu switched
// from the options.
#include "html/ui/webdialogs.h"
#include "platform/shellmenu.h"
#include "platform/ui/programfolder.h"
#include "plugin/pluginlibrary.h"
#include "plugin/pluginregistry.h"
#include "plugin/ui/appplugins.h"
#include "res/menus.h"
#include "res/ui/menubuilder.h"
#include "support/appfixture.h"
#include "support/plugintest.h"
#include "support/webfixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <sys/stat.h>

#include <cstdlib>
#include <tuple>

namespace {

// Menu items of the test plug-in (its index 1 fails, so the rest move up one).
constexpr int CMD_UPPER = ID_PLUGIN_FIRST;
constexpr int CMD_WRAP = ID_PLUGIN_FIRST + 1;
constexpr int CMD_BEFORE = ID_PLUGIN_FIRST + 3;
constexpr int CMD_DECLINE = ID_PLUGIN_FIRST + 5;
constexpr int CMD_DOC_PATH = ID_PLUGIN_FIRST + 7;
constexpr int TEST_ROWS = 13;

// The plug-ins a program sees for the life of the object.
class CPluginFolder
{
public:
    explicit CPluginFolder(const char *pszBuilt = WP_TEST_PLUGIN)
    {
        if (pszBuilt)
            InstallPluginFile(m_dir.Path(), "t.wpi", pszBuilt);
        SetPluginFolders({QString::fromStdString(m_dir.Path())});
    }
    ~CPluginFolder()
    {
        SetPluginFolders({});
        AppPluginRegistry().Clear();
    }
    void Discover()
    {
        AppPluginRegistry().Clear();
        AppPluginRegistry().Discover(AppPluginFolders());
    }
    std::string Path(const char *pszName) const { return m_dir.File(pszName); }

private:
    CTempDir m_dir;
};

class PluginCommands : public CWebFixture
{
protected:
    void SetUp() override
    {
        CWebFixture::SetUp();
        m_plugins.Discover();
        ASSERT_EQ(AppPluginRegistry().GetCount(), TEST_ROWS);
    }

    CPluginFolder m_plugins;
};

// The items of the pop-up that holds nAnchor, from the one after it on:
// "-" for a separator, else the command id.
std::vector<int> ItemsAfter(QMenu *pTop, int nAnchor)
{
    std::vector<int> aIDs;
    QAction *pAnchor = FindCommandAction(pTop, nAnchor);
    auto *pMenu = pAnchor ? qobject_cast<QMenu *>(pAnchor->parent()) : nullptr;
    if (!pMenu)
        return aIDs;
    const QList<QAction *> actions = pMenu->actions();
    for (qsizetype i = actions.indexOf(pAnchor) + 1; i < actions.size(); ++i)
        aIDs.push_back(actions[i]->isSeparator() ? -1 : CommandOf(actions[i]));
    return aIDs;
}

std::vector<int> Separated(int nFirst, int nCount)
{
    std::vector<int> aIDs{-1};
    for (int i = 0; i < nCount; ++i)
        aIDs.push_back(nFirst + i);
    return aIDs;
}

} // namespace

TEST_F(PluginCommands, EachTypeInsertsItsResultAsOneUndoStep)
{
    SetText("hello world");
    Select(CPoint(6, 0), CPoint(11, 0));
    Run(CMD_UPPER);
    EXPECT_EQ(Text(), "hello WORLD");
    Undo();
    EXPECT_EQ(Text(), "hello world");

    // Wrapping keeps the wrapped text selected, remembers the pair and
    // follows the tag case setting.
    Select(CPoint(6, 0), CPoint(11, 0));
    Run(CMD_WRAP);
    EXPECT_EQ(Text() + "|" + Selected(), "hello <em>world</em>|world");
    EXPECT_EQ(g_strLastTagOpen + g_strLastTagClose, "<em></em>");
    AppSettings().m_bTagState = 1;
    Run(CMD_WRAP);
    EXPECT_EQ(Text(), "hello <em><EM>world</EM></em>");
    Undo();
    Undo();

    Select(CPoint(0, 0), CPoint(5, 0));
    Run(CMD_BEFORE);
    EXPECT_EQ(Text(), "[hello world");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(6, 0));

    // The plug-in is told the view's document.
    m_view.SetDocumentPath("/srv/www/index.html");
    m_view.PlaceCaret(CPoint(0, 0));
    Run(CMD_DOC_PATH);
    EXPECT_EQ(Text(), "doc=/srv/www/index.html[hello world");
    EXPECT_TRUE(m_aBoxes.empty());
}

TEST_F(PluginCommands, WhatGoesWrongIsToldOrNothingHappens)
{
    SetText("hello");
    // No selection for a command on the selection: told.
    m_view.PlaceCaret(CPoint(5, 0));
    Run(CMD_UPPER);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("文字列が選択されてません。"));

    // Declining: nothing inserted, nothing said, nothing to undo.
    Select(CPoint(0, 0), CPoint(5, 0));
    Run(CMD_DECLINE);
    EXPECT_EQ(Text(), "hello");
    EXPECT_EQ(m_aBoxes.size(), 1u);
    EXPECT_FALSE(m_buffer.CanUndo());

    // A read-only document offers no plug-in command.
    m_buffer.SetReadOnly(true);
    EXPECT_FALSE(Enabled(CMD_WRAP));
    m_view.RouteCommand(CMD_WRAP);
    EXPECT_EQ(Text(), "hello");
    m_buffer.SetReadOnly(false);
    EXPECT_TRUE(Enabled(CMD_WRAP));
    EXPECT_FALSE(Enabled(ID_PLUGIN_FIRST + TEST_ROWS));
}

TEST_F(PluginCommands, TheImageDialogMeasuresTheImageWithThePlugin)
{
    // Without the image plug-in the button is off.
    {
        CImageDlg dlg("/srv/www/index.html");
        EXPECT_FALSE(Child<QPushButton>(&dlg, "imageSize")->isEnabled());
    }
    InstallPluginFile(m_plugins.Path(""), IMAGEMAP_PLUGIN, WP_IMGMAP_PLUGIN);
    CTempDir site;
    ASSERT_EQ(mkdir(site.File("img").c_str(), 0700), 0);
    ASSERT_EQ(RunProgram({"convert", "-size", "48x20", "xc:red", site.File("img/logo.png")}).nStatus, 0);
    CImageDlg dlg(site.File("index.html"));
    auto *pButton = Child<QPushButton>(&dlg, "imageSize");
    ASSERT_TRUE(pButton->isEnabled());
    Child<QLineEdit>(&dlg, "imageFile")->setText(QStringLiteral("logo.png"));
    Child<QCheckBox>(&dlg, "folderCheck")->setChecked(true);
    Child<QLineEdit>(&dlg, "folder")->setText(QStringLiteral("img"));
    pButton->click();
    EXPECT_EQ(Child<QLineEdit>(&dlg, "imageWidth")->text() + "x" + Child<QLineEdit>(&dlg, "imageHeight")->text(),
              QStringLiteral("48x20"));
    EXPECT_TRUE(Child<QCheckBox>(&dlg, "imageWidthCheck")->isChecked()
                && Child<QCheckBox>(&dlg, "imageHeightCheck")->isChecked());

    // A file that is no image leaves the fields as they were.
    Child<QLineEdit>(&dlg, "imageFile")->setText(QStringLiteral("missing.png"));
    Child<QLineEdit>(&dlg, "imageWidth")->setText(QStringLiteral("1"));
    pButton->click();
    EXPECT_EQ(Child<QLineEdit>(&dlg, "imageWidth")->text(), QStringLiteral("1"));
}

// ---------------------------------------------------------------------------
// In the whole program

using PluginsInProgram = CAppFixture;

TEST_F(PluginsInProgram, ItemsFollowTheSeparatorsBehindTheirAnchorsAndAHelpItemShowsTheDescription)
{
    CPluginFolder plugins;
    ASSERT_TRUE(Start());
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(AppPluginRegistry().GetCount(), TEST_ROWS);
    QMenu *pWeb = Frame()->GetMainMenu(IDR_WRENPADTYPE, 3);
    ASSERT_NE(pWeb, nullptr);
    EXPECT_EQ(ItemsAfter(pWeb, ID_TABLE_TO_CSV), Separated(ID_PLUGIN_FIRST, TEST_ROWS));
    QAction *pFirst = FindCommandAction(pWeb, ID_PLUGIN_FIRST);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst->text(), QStringLiteral("大文字"));
    // Both help menus: the one that ends with the version item gets its separator.
    for (const int nResource : {IDR_WRENPADTYPE, IDR_MAINFRAME}) {
        QMenu *pHelp = Frame()->GetMainMenu(nResource, nResource == IDR_WRENPADTYPE ? 6 : 2);
        ASSERT_NE(pHelp, nullptr) << nResource;
        EXPECT_EQ(ItemsAfter(pHelp, ID_APP_ABOUT), Separated(ID_PLUGIN_HELP_FIRST, TEST_ROWS)) << nResource;
    }
    // The image-map plug-in is not there: no clickable-map item.
    EXPECT_EQ(FindCommandAction(pWeb, ID_WEB_IMAGE_MAP), nullptr);

    // The context menu is built when it is shown, with the same items.
    QWidget host;
    QMenu *pContext = BuildResourcePopup(*FindMenuResource(IDR_CONTEXT_MENU), CONTEXT_POPUP_MENU, &host,
                                         [](int) {});
    ASSERT_NE(FindCommandAction(pContext, ID_WEB_IMAGE_MAP), nullptr);
    Frame()->AddPluginItems(pContext);
    EXPECT_EQ(FindCommandAction(pContext, ID_WEB_IMAGE_MAP), nullptr);
    EXPECT_EQ(ItemsAfter(pContext, ID_TABLE_TO_CSV), Separated(ID_PLUGIN_FIRST, TEST_ROWS));

    // Chosen from the menu, a command runs on the active view.
    QTest::keyClicks(View(), "abc");
    View()->SetSelection(CPoint(0, 0), CPoint(3, 0));
    Frame()->UpdateMenu(qobject_cast<QMenu *>(pFirst->parent()));
    ASSERT_TRUE(pFirst->isEnabled());
    pFirst->trigger();
    EXPECT_EQ(Text(Doc()), "ABC");

    Frame()->ExecuteCommand(ID_PLUGIN_HELP_FIRST + 1);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(std::make_tuple(m_aBoxes[0].strText, m_aBoxes[0].strCaption, m_aBoxes[0].nStyle & 0xF0u),
              std::make_tuple(QStringLiteral("about TestWrap"), QStringLiteral("wrap"), unsigned(MB_ICONQUESTION)));
    Frame()->ExecuteCommand(ID_PLUGIN_HELP_FIRST + TEST_ROWS);
    EXPECT_EQ(m_aBoxes.size(), 1u);
}

TEST_F(PluginsInProgram, WithoutPluginsTheMenusEndAsTheyWereAndTheImageMapStays)
{
    CPluginFolder plugins(nullptr);
    InstallPluginFile(plugins.Path(""), IMAGEMAP_PLUGIN, WP_FAKE_IMGMAP);
    ASSERT_TRUE(Start());
    QMenu *pWeb = Frame()->GetMainMenu(IDR_WRENPADTYPE, 3);
    EXPECT_NE(FindCommandAction(pWeb, ID_WEB_IMAGE_MAP), nullptr);
    EXPECT_EQ(ItemsAfter(Frame()->GetMainMenu(IDR_MAINFRAME, 2), ID_APP_ABOUT), std::vector<int>{});
}

TEST_F(PluginsInProgram, TheFileManagerMenuIsSwitchedFromTheOptions)
{
    CTempDir data;
    CTempDir bin;
    WriteFileBytes(bin.File("dolphin"), "#!/bin/sh\n");
    ASSERT_EQ(chmod(bin.File("dolphin").c_str(), 0755), 0);
    CEnvironment dataHome("XDG_DATA_HOME", data.Path());
    CEnvironment path("PATH", bin.Path() + ":" + std::getenv("PATH"));
    ASSERT_TRUE(Start());

    bool bEnabled = false;
    // The options' switch set as given, then OK.
    auto setSwitch = [&](bool bOn) {
        m_fnDialog = [&bEnabled, bOn](QDialog *pDialog) {
            auto *pCheck = pDialog->findChild<QCheckBox *>(QStringLiteral("useShellMenu"));
            if (!pCheck)
                return static_cast<int>(QDialog::Rejected);
            bEnabled = pCheck->isEnabled();
            pCheck->setChecked(bOn);
            return static_cast<int>(QDialog::Accepted);
        };
        Frame()->ExecuteCommand(ID_VIEW_OPTIONS);
    };
    setSwitch(true);
    EXPECT_TRUE(bEnabled);
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "bUseWpShMenu", 0), 1);
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), static_cast<unsigned>(SHELLMENU_OPEN_WITH | SHELLMENU_KDE));
    const std::string strEntry = ReadFileBytes(data.Path() + "/" + ShellMenuFileName(SHELLMENU_OPEN_WITH));
    EXPECT_NE(strEntry.find("Exec=\"" + QCoreApplication::applicationFilePath().toStdString() + "\" %F"),
              std::string::npos);

    setSwitch(false);
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "bUseWpShMenu", 1), 0);
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), 0u);

    // Uninstalling takes the entries away with the settings.
    setSwitch(true);
    ASSERT_NE(InstalledShellMenuKinds(data.Path()), 0u);
    EXPECT_TRUE(m_pApp->UninstallRegistry(false));
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), 0u);

    // Without a file manager the switch is off, and the setting says nothing is in place.
    m_profile.WriteInt(SECTION_MAIN, "bUseWpShMenu", 1);
    const CEnvironment none("PATH", data.Path());
    setSwitch(true);
    EXPECT_FALSE(bEnabled);
    EXPECT_EQ(m_profile.GetInt(SECTION_MAIN, "bUseWpShMenu", 1), 0);
    EXPECT_EQ(InstalledShellMenuKinds(data.Path()), 0u);
}
