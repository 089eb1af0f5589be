// The view's dialogs from the keyboard: each opens with its remembered text
// selected, so that typing replaces it, and Tab follows the layout.
#include "support/dialogtest.h"
#include "ui/dialogkeys.h"
#include "view/findtext.h"
#include "view/ui/finddlg.h"
#include "view/ui/viewdialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

class ViewDialogs : public ::testing::Test
{
protected:
    void SetUp() override { InstallDialogKeyboardRules(); }
};

} // namespace

TEST_F(ViewDialogs, FindTypesOverItsProposedTextAndTabsDownTheOptions)
{
    CFindDlg dlg;
    dlg.SetSearchHistory({"older", "oldest"});
    dlg.SetSearchText("\x94\x5C\x97\xCD");  // 能力
    ASSERT_TRUE(OpenDialog(&dlg));
    ASSERT_EQ(FocusControl()->objectName(), "searchText");
    TypeIntoFocus(QStringLiteral("Autoconf"));
    EXPECT_EQ(FieldText(FocusControl()), "Autoconf");
    EXPECT_EQ(dlg.GetSearchText(), "Autoconf");

    EXPECT_EQ(TabChainNames(&dlg), "searchText wholeWord matchCase regex up findNext cancel");
    ExpectTabOrderFollowsLayout(&dlg);
}

TEST_F(ViewDialogs, ReplaceTabsFromTheSearchTextToTheReplacement)
{
    CReplaceDlg dlg;
    dlg.SetSearchHistory({"older"});
    dlg.SetReplaceHistory({"earlier replacement"});
    dlg.SetSearchText("old text");
    dlg.SetScope(true, true);
    ASSERT_TRUE(OpenDialog(&dlg));
    ASSERT_EQ(FocusControl()->objectName(), "searchText");
    TypeIntoFocus(QStringLiteral("cat"));
    PressTab();
    ASSERT_EQ(FocusControl()->objectName(), "replaceText");
    TypeIntoFocus(QStringLiteral("dog"));
    EXPECT_EQ(dlg.GetSearchText() + "|" + dlg.GetReplaceText(), "cat|dog");
    EXPECT_FALSE(dlg.GetFlags() & SEARCH_WHOLE_WORD);
    // Back to the search text: all of it is selected again.
    PressTab(true);
    ASSERT_EQ(FocusControl()->objectName(), "searchText");
    TypeIntoFocus(QStringLiteral("cow"));
    EXPECT_EQ(dlg.GetSearchText(), "cow");

    EXPECT_EQ(TabChainNames(&dlg),
              "searchText replaceText wholeWord matchCase regex scopeSelection findNext replace replaceAll cancel");
    ExpectTabOrderFollowsLayout(&dlg);
}

TEST_F(ViewDialogs, LineJumpTypesOverTheCurrentLine)
{
    CGotoLineDlg dlg(1234, 5000);
    ASSERT_TRUE(OpenDialog(&dlg));
    ASSERT_EQ(FocusControl()->objectName(), "lineNumber");
    TypeIntoFocus(QStringLiteral("56"));
    EXPECT_EQ(dlg.GetLine(), 56);
    ExpectTabOrderFollowsLayout(&dlg);
}

TEST_F(ViewDialogs, CharacterCodeFieldsAreSelectedForCopying)
{
    CCharCodeDlg dlg(QStringLiteral("能"), QStringLiteral("945C"));
    ASSERT_TRUE(OpenDialog(&dlg));
    ASSERT_EQ(FocusControl()->objectName(), "character");
    EXPECT_EQ(qobject_cast<QLineEdit *>(FocusControl())->selectedText(), QStringLiteral("能"));
    PressTab();
    ASSERT_NE(qobject_cast<QLineEdit *>(FocusControl()), nullptr);
    EXPECT_EQ(qobject_cast<QLineEdit *>(FocusControl())->selectedText(), QStringLiteral("945C"));
    ExpectTabOrderFollowsLayout(&dlg);
}
