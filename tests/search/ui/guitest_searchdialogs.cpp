// The folder search's dialogs from the keyboard: the proposed text, the
// remembered patterns and folder are each selected when their field gets
// the focus, and Tab follows the layout.
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

TEST_F(SearchDialogs, EachFieldTypesOverWhatItProposes)
{
    for (bool bModeless : {false, true}) {
        SCOPED_TRACE(bModeless ? "modeless" : "modal");
        auto *pDlg = new CFolderSearchDlg(bModeless);
        pDlg->setAttribute(Qt::WA_DeleteOnClose, false);
        pDlg->Propose("\x94\x5C\x97\xCD", "");  // 能力
        ASSERT_TRUE(OpenDialog(pDlg));
        ASSERT_EQ(FocusControl()->objectName(), "searchText");
        TypeIntoFocus(QStringLiteral("Autoconf"));
        PressTab();
        ASSERT_EQ(FocusControl()->objectName(), "patterns");
        TypeIntoFocus(QStringLiteral("*.c"));
        PressTab();
        ASSERT_EQ(FocusControl()->objectName(), "folder");
        // Not a prefix of the folder proposed (the working folder): the
        // combo would complete it to that item.
        TypeIntoFocus(QStringLiteral("/srv/pages"));
        const FolderSearchParams params = pDlg->GetParams();
        EXPECT_EQ(params.strText, "Autoconf");
        EXPECT_EQ(params.strPatterns, "*.c");
        EXPECT_EQ(params.strFolder, "/srv/pages");

        pDlg->findChild<QComboBox *>(QStringLiteral("searchText"))->setFocus(Qt::OtherFocusReason);
        EXPECT_EQ(TabChainNames(pDlg), std::string("searchText patterns folder browse ignoreCase subFolders regex "
                                                   "search cancel")
                                           + (bModeless ? " results" : ""));
        ExpectTabOrderFollowsLayout(pDlg);
        delete pDlg;
    }
}

TEST_F(SearchDialogs, ProgressDialogHasItsCancelButton)
{
    CSearchProgressDlg dlg;
    ASSERT_TRUE(OpenDialog(&dlg));
    ExpectTabOrderFollowsLayout(&dlg);
}
