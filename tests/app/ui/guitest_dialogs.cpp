// The application's dialogs from the keyboard: remembered values are
// selected when a field gets the focus, so that typing replaces them, and Tab
// follows the layout on every page.
#include "app/ui/aboutdlg.h"
#include "app/ui/docdialogs.h"
#include "app/ui/optionsdlg.h"
#include "res/commands.h"
#include "support/appfixture.h"
#include "support/dialogtest.h"
#include "templates/ui/templatedlg.h"
#include "ui/dialogkeys.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

namespace {

class AppDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        InstallDialogKeyboardRules();
    }
    void TearDown() override { QStandardPaths::setTestModeEnabled(false); }

    // Presses Tab until the named control has the focus.
    static bool TabTo(const QString &strName)
    {
        for (int i = 0; i < 100; ++i) {
            if (FocusControl() && FocusControl()->objectName() == strName)
                return true;
            PressTab();
        }
        return false;
    }
};

} // namespace

TEST_F(AppDialogs, TabWidthAndFontTypeOverTheirValues)
{
    CTabStopDlg tabs(4);
    ASSERT_TRUE(OpenDialog(&tabs));
    TypeIntoFocus(QStringLiteral("8"));
    EXPECT_EQ(tabs.GetTabSize(), 8);
    ExpectTabOrderFollowsLayout(&tabs);

    CFontDlg font(QString(), 14);
    ASSERT_TRUE(OpenDialog(&font));
    ASSERT_TRUE(TabTo(QStringLiteral("fontSize")));
    TypeIntoFocus(QStringLiteral("12"));
    EXPECT_EQ(font.GetPointSize(), 12);
    ExpectTabOrderFollowsLayout(&font);
}

TEST_F(AppDialogs, OptionsPagesTabInTheirLayoutsOrder)
{
    COptionsData data;
    data.nMRUCount = 4;
    data.strNowDate = "yyyy/MM/dd";
    COptionsSheet sheet(data, CSystemColors());
    ASSERT_TRUE(OpenDialog(&sheet));
    ASSERT_TRUE(TabTo(QStringLiteral("mruCount")));
    TypeIntoFocus(QStringLiteral("9"));
    PressTab();
    ASSERT_EQ(FocusControl()->objectName(), "dateFormat");
    TypeIntoFocus(QStringLiteral("dd"));
    const COptionsData now = sheet.GetData();
    EXPECT_EQ(now.nMRUCount, 9);
    EXPECT_EQ(now.strNowDate, "dd");

    for (int nPage = 0; nPage < sheet.GetTabs()->count(); ++nPage) {
        SCOPED_TRACE(sheet.GetTabs()->tabText(nPage).toStdString());
        sheet.GetTabs()->setCurrentIndex(nPage);
        QApplication::processEvents();
        ExpectTabOrderFollowsLayout(&sheet);
    }
}

TEST_F(AppDialogs, TemplateDialogsTypeOverTheProposedNameAndTabInOrder)
{
    CTemplateNameDlg name(QStringLiteral("source page.html"));
    ASSERT_TRUE(OpenDialog(&name));
    // Typed keys are ASCII only; Japanese names are registered elsewhere.
    TypeIntoFocus(QStringLiteral("news.html"));
    EXPECT_EQ(name.GetName(), "news.html");
    ExpectTabOrderFollowsLayout(&name);

    // An empty folder: nothing is chosen, so no page view is made.
    CTempDir folder;
    CTemplateSelectDlg select(QString::fromStdString(folder.Path()));
    ASSERT_TRUE(OpenDialog(&select));
    EXPECT_EQ(select.GetPreviewEngine(), nullptr);
    ExpectTabOrderFollowsLayout(&select);
}

TEST_F(AppDialogs, AboutBoxHasItsButtonToTab)
{
    CAboutDlg about;
    ASSERT_TRUE(OpenDialog(&about));
    ExpectTabOrderFollowsLayout(&about);
}

namespace {

class AppDialogsOpened : public CAppFixture
{
};

} // namespace

TEST_F(AppDialogsOpened, TheFindDialogOfTheEditorTypesOverTheSelectedWord)
{
    m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
    ASSERT_TRUE(Start());
    m_pApp->OpenDocumentFile(QString::fromStdString(WriteFile("a.txt", "alpha beta")));
    Idle();
    View()->MoveCaret(CPoint(5, 0));
    View()->SetSelectionAnchor(CPoint(0, 0));
    View()->SelectRange(CPoint(0, 0), CPoint(5, 0));
    QString strTyped;
    m_fnDialog = [&](QDialog *pDialog) {
        if (OpenDialog(pDialog)) {
            TypeIntoFocus(QStringLiteral("beta"));
            strTyped = FieldText(FocusControl());
        }
        pDialog->hide();
        return static_cast<int>(QDialog::Rejected);
    };
    Frame()->ExecuteCommand(ID_EDIT_FIND);
    EXPECT_EQ(strTyped, "beta");
}
