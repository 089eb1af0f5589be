// The application's dialogs from the keyboard: remembered values are
// selected when a field gets the focus, so that typing replaces them, and Tab
// follows the layout on every page.
#include "app/ui/aboutdlg.h"
#include "app/ui/docdialogs.h"
#include "app/ui/optionsdlg.h"
#include "support/dialogtest.h"
#include "support/testutil.h"
#include "templates/ui/templatedlg.h"
#include "ui/dialogkeys.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTabWidget>

#include <gtest/gtest.h>

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

TEST_F(AppDialogs, SmallDialogsTabInTheirLayoutsOrder)
{
    CTabStopDlg tabs(4);
    CFontDlg font(QString(), 14);
    CAboutDlg about;
    for (QDialog *pDialog : std::initializer_list<QDialog *>{&tabs, &font, &about}) {
        ASSERT_TRUE(OpenDialog(pDialog));
        ExpectTabOrderFollowsLayout(pDialog);
    }
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
