// The view's dialogs from the keyboard: each opens with its remembered text
// selected, so that typing replaces it, and Tab follows the layout.
#include "support/dialogtest.h"
#include "ui/dialogkeys.h"
#include "view/ui/finddlg.h"
#include "view/ui/viewdialogs.h"

#include <QLineEdit>

#include <gtest/gtest.h>

TEST(ViewDialogs, TypingReplacesTheProposedTextAndTabFollowsTheLayout)
{
    InstallDialogKeyboardRules();
    CFindDlg find;
    find.SetSearchText("\x94\x5C\x97\xCD");  // 能力
    ASSERT_TRUE(OpenDialog(&find));
    // The layout rule orders what is there; the chain also names what must be.
    EXPECT_EQ(TabChainNames(&find), "searchText wholeWord matchCase regex up findNext cancel");
    ExpectTabOrderFollowsLayout(&find);
    TypeIntoFocus(QStringLiteral("Autoconf"));
    EXPECT_EQ(find.GetSearchText(), "Autoconf");
    find.hide();

    CReplaceDlg replace;
    replace.SetSearchText("old text");
    replace.SetScope(true, true);
    ASSERT_TRUE(OpenDialog(&replace));
    EXPECT_EQ(TabChainNames(&replace),
              "searchText replaceText wholeWord matchCase regex scopeSelection findNext replace replaceAll cancel");
    ExpectTabOrderFollowsLayout(&replace);
    replace.hide();

    CGotoLineDlg jump(1234, 5000);
    ASSERT_TRUE(OpenDialog(&jump));
    ExpectTabOrderFollowsLayout(&jump);
    jump.hide();

    // The character code's fields are there to be copied: each comes selected.
    CCharCodeDlg code(QStringLiteral("能"), QStringLiteral("945C"));
    ASSERT_TRUE(OpenDialog(&code));
    EXPECT_EQ(qobject_cast<QLineEdit *>(FocusControl())->selectedText(), QStringLiteral("能"));
    PressTab();
    ASSERT_NE(qobject_cast<QLineEdit *>(FocusControl()), nullptr);
    EXPECT_EQ(qobject_cast<QLineEdit *>(FocusControl())->selectedText(), QStringLiteral("945C"));
    ExpectTabOrderFollowsLayout(&code);
}
