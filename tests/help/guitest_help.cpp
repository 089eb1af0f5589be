// The help commands on a small manual of the test's own: F1 asks about the
// menu item under the mouse, the dialog in front (modal ones too) or the
// command that opened a dialog of the toolkit's, else the text view; the page
// shows in the browser bar, or in the desktop's browser when the bar has
// only the simple viewer or a dialog holds the input.
#include "app/ui/helpmanual.h"
#include "app/ui/previewer.h"
#include "platform/ui/programfolder.h"
#include "platform/ui/shellopen.h"
#include "res/commands.h"
#include "res/menus.h"
#include "res/ui/menubuilder.h"
#include "support/appfixture.h"
#include "support/fakepreview.h"
#include "ui/sizingbar.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <QTest>

namespace {

std::string Page(const std::string &strBody)
{
    return "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>t</title></head><body>" + strBody
           + "</body></html>\n";
}

class Help : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        WriteFileBytes(m_manual.File("index.html"), Page("<h1 id=\"ID_HELP_FINDER\">目次</h1>"));
        WriteFileBytes(m_manual.File("edit.html"), Page("<h1>編集</h1><dl><dt id=\"ID_EDIT_GOTO_LINE\">行</dt></dl>"));
        WriteFileBytes(m_manual.File("file.html"), Page("<dt id=\"ID_FILE_SAVE\">保存</dt><dt id=\"ID_FILE_MRU_FILE1\">履歴</dt>"));
        WriteFileBytes(m_manual.File("dialogs.html"), Page("<h2 id=\"dlg-CGotoLineDlg\">行ジャンプ</h2>"));
        SetManualFolder(QString::fromStdString(m_manual.Path()));
        ForgetManualAnchors();
        SetShellOpenHook([this](const std::string &strTarget) {
            m_aOpened.push_back(strTarget);
            return true;
        });
    }

    void TearDown() override
    {
        SetShellOpenHook(nullptr);
        SetManualFolder(QString());
        ForgetManualAnchors();
        CAppFixture::TearDown();
    }

    std::string Url(const std::string &strPage, const std::string &strAnchor = std::string()) const
    {
        QUrl url = QUrl::fromLocalFile(QString::fromStdString(m_manual.File(strPage)));
        if (!strAnchor.empty())
            url.setFragment(QString::fromStdString(strAnchor));
        return url.toString(QUrl::FullyEncoded).toStdString();
    }

    std::string BarCall(const std::string &strPage, const std::string &strAnchor = std::string()) const
    {
        return "navigate " + m_manual.File(strPage) + "#" + strAnchor;
    }

    static void PressF1(QWidget *pWidget)
    {
        QTest::keyClick(pWidget, Qt::Key_F1);
        QApplication::processEvents();
    }

    CTempDir m_manual;
    std::vector<std::string> m_aOpened;
    CFakePreviewScope m_preview;
};

} // namespace

TEST_F(Help, ContentsAndTheViewsPageOpenInTheBarWhileTheFullEngineIsThere)
{
    ASSERT_TRUE(Start());
    CPreviewer *pPreviewer = Frame()->GetPreviewer();

    // A document the bar followed is let go: its updates would replace the manual.
    ASSERT_NE(Open(WriteFile("page.html", "<p>x</p>")), nullptr);
    Frame()->ExecuteCommand(ID_WEB_PREVIEW_BAR);
    ASSERT_EQ(pPreviewer->GetFollowedDocument(), Doc());

    Frame()->ExecuteCommand(ID_HELP_FINDER);
    EXPECT_EQ(m_preview.Log().Last(), BarCall("index.html"));
    EXPECT_EQ(pPreviewer->GetFollowedDocument(), nullptr);
    EXPECT_TRUE(pPreviewer->GetDock()->isVisible());

    // F1 in the text goes through the window's key table.
    View()->setFocus();
    PressF1(View());
    EXPECT_EQ(m_preview.Log().Last(), BarCall("edit.html"));
    EXPECT_TRUE(m_aOpened.empty());
    EXPECT_TRUE(m_aBoxes.empty());
}

TEST_F(Help, WithOnlyTheSimpleViewerTheDesktopsBrowserShowsThePage)
{
    m_preview.Log().pszKind = "textbrowser";
    ASSERT_TRUE(Start());
    Frame()->ExecuteCommand(ID_HELP_FINDER);
    EXPECT_EQ(m_aOpened, std::vector<std::string>{Url("index.html")});
    EXPECT_TRUE(Frame()->GetPreviewer()->GetDock()->isHidden());

    // A browser that cannot be started is said so, not passed over.
    SetShellOpenHook([](const std::string &) { return false; });
    Frame()->ExecuteCommand(ID_HELP_FINDER);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.contains(QString::fromStdString(m_manual.File("index.html"))));
}

TEST_F(Help, F1OnAnOpenMenuAsksAboutTheItemUnderTheMouse)
{
    ASSERT_TRUE(Start());
    QMenu *pFileMenu = Frame()->GetMainMenu(IDR_WRENPADTYPE, 0);
    ASSERT_NE(pFileMenu, nullptr);
    QAction *pSave = FindCommandAction(pFileMenu, ID_FILE_SAVE);
    ASSERT_NE(pSave, nullptr);

    pFileMenu->popup(QPoint(10, 10));
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activePopupWidget(), pFileMenu);
    pFileMenu->setActiveAction(pSave);
    PressF1(pFileMenu);
    EXPECT_EQ(m_preview.Log().Last(), BarCall("file.html", "ID_FILE_SAVE"));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // An item of a range is described under the range's first id.
    EXPECT_EQ(CommandHelpAnchor(ID_FILE_MRU_FILE1 + 3), "ID_FILE_MRU_FILE1");
    EXPECT_EQ(CommandHelpAnchor(999999), "");
}

TEST_F(Help, F1InsideADialogAsksAboutTheDialogOrTheCommandThatOpenedIt)
{
    ASSERT_TRUE(Start());
    std::vector<std::string> aSteps;
    // Shows a window in front, holding the input as exec() would, and presses
    // F1 in it (in pFocus when given); notes what the desktop was asked to show.
    const auto f1In = [this, &aSteps](QWidget *pWindow, QWidget *pFocus = nullptr, bool bHide = true) {
        pWindow->setWindowModality(Qt::ApplicationModal);
        pWindow->show();
        QApplication::setActiveWindow(pWindow);
        if (pFocus)
            pFocus->setFocus();
        PressF1(pFocus ? pFocus : pWindow);
        aSteps.push_back(m_aOpened.empty() ? "nothing" : m_aOpened.back());
        if (bHide)
            pWindow->hide();
    };
    m_fnDialog = [&](QDialog *pDialog) {
        // A message box over the dialog asks about the dialog; a dialog the
        // manual does not describe (the toolkit's own ones) asks about the
        // command running. The dialog stays up meanwhile.
        QSpinBox *pSpin = pDialog->findChild<QSpinBox *>();
        EXPECT_NE(pSpin, nullptr);
        f1In(pDialog, pSpin, false);
        QMessageBox box(QMessageBox::Warning, "w", "?", QMessageBox::Ok, pDialog);
        f1In(&box);
        QDialog plain(Frame());
        f1In(&plain, new QLineEdit(&plain));
        pDialog->hide();
        return static_cast<int>(QDialog::Rejected);
    };
    Frame()->ExecuteCommand(ID_EDIT_GOTO_LINE);
    // The bar behind a modal dialog could not be scrolled: the desktop shows the pages.
    EXPECT_EQ(aSteps, (std::vector<std::string>{Url("dialogs.html", "dlg-CGotoLineDlg"),
                                                 Url("dialogs.html", "dlg-CGotoLineDlg"),
                                                 Url("edit.html", "ID_EDIT_GOTO_LINE")}));
    EXPECT_EQ(m_preview.Log().nAlive, 0);

    // Once the command is over, the same plain dialog asks about nothing
    // particular: the view's page.
    m_aOpened.clear();
    QDialog plain(Frame());
    f1In(&plain);
    EXPECT_EQ(m_aOpened, std::vector<std::string>{Url("edit.html")});
}

TEST_F(Help, AMissingManualIsSaidSo)
{
    // A program run from its build tree reads the manual of its sources.
    SetManualFolder(QString());
    EXPECT_TRUE(QFileInfo(ManualFolder() + QStringLiteral("/index.html")).isFile()) << ManualFolder().toStdString();

    CTempDir empty;
    SetManualFolder(QString::fromStdString(empty.Path()));
    ASSERT_TRUE(Start());
    Frame()->ExecuteCommand(ID_HELP_FINDER);
    View()->setFocus();
    PressF1(View());
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_TRUE(m_aBoxes[0].strText.contains(QStringLiteral("見つかりません")));
    EXPECT_TRUE(m_aOpened.empty());
    EXPECT_EQ(m_preview.Log().nAlive, 0);
}
