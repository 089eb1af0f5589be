// The folder search's dialogs from the keyboard: Tab follows the layout, and
// the fields keep what is typed over what they propose.
#include "platform/profile.h"
#include "search/ui/foldersearchdlg.h"
#include "search/ui/searchprogressdlg.h"
#include "support/dialogtest.h"
#include "ui/dialogkeys.h"

#include <QComboBox>

#include <gtest/gtest.h>

namespace {

class SearchDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetAppProfile(&m_store);
        InstallDialogKeyboardRules();
        m_store.WriteString("WpFolderSerch", "file", "*.html\n*.txt\n");
        m_store.WriteString("WpFolderSerch", "path", "/srv/www\n");
    }
    void TearDown() override { SetAppProfile(nullptr); }

    CMemoryProfileStore m_store;
};

} // namespace

TEST_F(SearchDialogs, TabFollowsTheLayoutAndTheFieldsTakeWhatIsTyped)
{
    for (bool bModeless : {false, true}) {
        SCOPED_TRACE(bModeless ? "modeless" : "modal");
        CFolderSearchDlg dlg(bModeless);
        dlg.setAttribute(Qt::WA_DeleteOnClose, false);
        ASSERT_TRUE(OpenDialog(&dlg));
        ExpectTabOrderFollowsLayout(&dlg);
        // Tab selects what a field proposes, so typing replaces it.
        dlg.findChild<QComboBox *>(QStringLiteral("searchText"))->setFocus(Qt::OtherFocusReason);
        PressTab();
        TypeIntoFocus(QStringLiteral("*.c"));
        PressTab();
        ASSERT_EQ(FocusControl()->objectName(), "folder");
        // Not a prefix of the folder proposed (the working folder): the
        // combo would complete it to that item.
        TypeIntoFocus(QStringLiteral("/srv/pages"));
        EXPECT_EQ(dlg.GetParams().strPatterns + " " + dlg.GetParams().strFolder, "*.c /srv/pages");
    }
    CSearchProgressDlg progress;
    ASSERT_TRUE(OpenDialog(&progress));
    ExpectTabOrderFollowsLayout(&progress);
}
