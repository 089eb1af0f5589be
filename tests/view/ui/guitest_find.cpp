// Find and replace through the view's commands and dialogs: the dialogs are
// filled in and answered through the dialog hook, messages through the
// message-box hook.
#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "support/viewfixture.h"
#include "view/ui/crystaleditview.h"
#include "view/ui/finddlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

class FindCommands : public CViewFixture<CCrystalEditView>
{
protected:
    void SetUp() override
    {
        CViewFixture::SetUp();
        SetAppProfile(&m_store);
        SetMessageBoxHook([this](const CMsgBoxRequest &r) {
            m_aMessages.push_back(r.strText.toStdString());
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetDialogHook(nullptr);
        SetMessageBoxHook(nullptr);
        SetAppProfile(nullptr);
    }

    // Runs a command whose dialog the script fills in and presses.
    void RunDialog(int nCommand, const std::function<void(QDialog *)> &script)
    {
        SetDialogHook([&](QDialog *pDialog) {
            script(pDialog);
            return pDialog->result();
        });
        m_view.RouteCommand(nCommand);
        SetDialogHook(nullptr);
    }

    // Runs find for the text, presses Find Next and gives the dialog's result.
    int RunFind(const QString &strText)
    {
        int nResult = -1;
        RunDialog(ID_EDIT_FIND, [&](QDialog *pDialog) {
            SetCombo(pDialog, "searchText", strText);
            Click(pDialog, "findNext");
            nResult = pDialog->result();
        });
        return nResult;
    }

    static void SetCombo(QDialog *pDialog, const char *pszName, const QString &strText)
    {
        pDialog->findChild<QComboBox *>(QString::fromLatin1(pszName))->setEditText(strText);
    }
    static void Check(QDialog *pDialog, const char *pszName, bool bOn = true)
    {
        pDialog->findChild<QAbstractButton *>(QString::fromLatin1(pszName))->setChecked(bOn);
    }
    static void Click(QDialog *pDialog, const char *pszName)
    {
        pDialog->findChild<QPushButton *>(QString::fromLatin1(pszName))->click();
    }

    CMemoryProfileStore m_store;
    std::vector<std::string> m_aMessages;
};

using Sel = std::pair<CPoint, CPoint>;

} // namespace

TEST_F(FindCommands, FindSelectsTheMatchAndRemembersTheSearch)
{
    SetText("one two\r\ntwo three");
    m_view.PlaceCaret(CPoint(4, 0));
    EXPECT_EQ(RunFind(QStringLiteral("TWO")), QDialog::Accepted);
    EXPECT_EQ(Selection(), Sel(CPoint(4, 0), CPoint(7, 0)));
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(7, 0));
    EXPECT_EQ(m_store.GetString("Wrenpad\\Find", "FindText", ""), "TWO");
    EXPECT_EQ(m_store.GetInt("Wrenpad\\Find", "FindFlags", -1), 0);

    // The selected text within a line is what the dialog proposes next time;
    // the history keeps the text once.
    QString strProposed;
    RunDialog(ID_EDIT_FIND, [&](QDialog *pDialog) {
        strProposed = pDialog->findChild<QComboBox *>(QStringLiteral("searchText"))->currentText();
    });
    EXPECT_EQ(strProposed, QStringLiteral("two"));
    EXPECT_EQ(m_store.GetString("Wrenpad\\Find", "FindText", ""), "two\nTWO");
}

TEST_F(FindCommands, NotFoundKeepsTheDialogOpenAndSaysSo)
{
    SetText("abc");
    EXPECT_NE(RunFind(QStringLiteral("日本")), QDialog::Accepted);
    ASSERT_EQ(m_aMessages.size(), 1u);
    EXPECT_EQ(m_aMessages[0], "\"日本\"が見つかりません");
    EXPECT_FALSE(m_view.IsSelection());
}

// The dialog's direction and expression boxes reach the search, and Shift+F3
// turns the direction for one search; the matches themselves are the search's.
TEST_F(FindCommands, DirectionAndExpressionReachTheSearch)
{
    SetText("ab\r\nab ab ab x");
    m_view.PlaceCaret(CPoint(11, 1));
    RunDialog(ID_EDIT_FIND, [&](QDialog *pDialog) {
        SetCombo(pDialog, "searchText", QStringLiteral("ab"));
        Check(pDialog, "up");
        Click(pDialog, "findNext");
    });
    EXPECT_EQ(Selection(), Sel(CPoint(6, 1), CPoint(8, 1)));
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(6, 1));  // upwards the caret is at the start
    Key(Qt::Key_F3);
    EXPECT_EQ(Selection(), Sel(CPoint(3, 1), CPoint(5, 1)));
    Key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Selection(), Sel(CPoint(6, 1), CPoint(8, 1)));
    EXPECT_EQ(m_view.GetFindState().dwSearchFlags, std::uint32_t(SEARCH_UP));

    m_view.PlaceCaret(CPoint(0, 0));
    RunDialog(ID_EDIT_FIND, [&](QDialog *pDialog) {
        SetCombo(pDialog, "searchText", QStringLiteral("b\\na"));
        Check(pDialog, "up", false);
        Check(pDialog, "regex");
        Click(pDialog, "findNext");
    });
    EXPECT_EQ(Selection(), Sel(CPoint(1, 0), CPoint(1, 1)));
}

TEST_F(FindCommands, ReplaceAllCoversTheWholeFileInOneStepAndSaysHowMany)
{
    // The caret on the last line: the matches above it are replaced too.
    SetText("foo 1\r\nfoo 2\r\nfoo 3");
    m_view.PlaceCaret(CPoint(0, 2));
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        EXPECT_TRUE(pDialog->findChild<QRadioButton *>(QStringLiteral("scopeFile"))->isChecked());
        SetCombo(pDialog, "searchText", QStringLiteral("foo"));
        SetCombo(pDialog, "replaceText", QStringLiteral("ねこ"));
        Click(pDialog, "replaceAll");
    });
    EXPECT_EQ(Text(), "\x82\xCB\x82\xB1 1|\x82\xCB\x82\xB1 2|\x82\xCB\x82\xB1 3");
    EXPECT_EQ(m_aMessages, std::vector<std::string>({"3 個置換しました。"}));
    EXPECT_EQ(m_store.GetString("Wrenpad\\Find", "ReplaceText", ""), "ねこ");
    m_view.RouteCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "foo 1|foo 2|foo 3");
    EXPECT_FALSE(m_buffer.CanUndo());

    // Nothing to replace: the not-found message as ever, and nothing to undo.
    m_aMessages.clear();
    m_buffer.ClearUndo();
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        SetCombo(pDialog, "searchText", QStringLiteral("bar"));
        SetCombo(pDialog, "replaceText", QStringLiteral("x"));
        Click(pDialog, "replaceAll");
    });
    EXPECT_EQ(m_aMessages, std::vector<std::string>({"\"bar\"が見つかりません"}));
    EXPECT_FALSE(m_buffer.CanUndo());
}

TEST_F(FindCommands, FindNextAndReplaceStillStartAtTheCaret)
{
    SetText("foo 1\r\nfoo 2\r\nfoo 3");
    m_view.PlaceCaret(CPoint(0, 1));
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        SetCombo(pDialog, "searchText", QStringLiteral("foo"));
        SetCombo(pDialog, "replaceText", QStringLiteral("x"));
        Click(pDialog, "replace");  // finds the one at the caret
        EXPECT_EQ(Selection(), Sel(CPoint(0, 1), CPoint(3, 1)));
        Click(pDialog, "replace");
    });
    EXPECT_EQ(Text(), "foo 1|x 2|foo 3");
    EXPECT_TRUE(m_aMessages.empty());

    m_view.PlaceCaret(CPoint(0, 2));
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        SetCombo(pDialog, "searchText", QStringLiteral("foo"));
        Click(pDialog, "findNext");
        EXPECT_EQ(Selection(), Sel(CPoint(0, 2), CPoint(3, 2)));
    });
}

TEST_F(FindCommands, AReplaceAllCutShortSaysWhatItDidAndWhy)
{
    // The second match leaves the group unset: one replaced, then the reason.
    SetText("ab\r\nb");
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        SetCombo(pDialog, "searchText", QStringLiteral("(a)?b"));
        SetCombo(pDialog, "replaceText", QStringLiteral("[\\1]"));
        Check(pDialog, "regex");
        Click(pDialog, "replaceAll");
    });
    EXPECT_EQ(Text(), "[a]|b");
    EXPECT_EQ(m_aMessages,
              std::vector<std::string>({"1 個置換しました。\n置換文字列が正しくないため、そこで止めました。"}));
}

TEST_F(FindCommands, TheSelectionScopeFollowsItsEnd)
{
    SetText("a a a\r\na a a\r\na a a");
    // A selection over lines: the scope is the selection, whose end line grows.
    Select(CPoint(2, 0), CPoint(3, 1));
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        EXPECT_TRUE(pDialog->findChild<QRadioButton *>(QStringLiteral("scopeSelection"))->isChecked());
        SetCombo(pDialog, "searchText", QStringLiteral("a"));
        SetCombo(pDialog, "replaceText", QStringLiteral("bbb"));
        Click(pDialog, "replaceAll");
    });
    EXPECT_EQ(Text(), "a bbb bbb|bbb bbb a|a a a");
    // The selection comes back, grown with what was replaced inside it.
    EXPECT_EQ(Selection(), Sel(CPoint(2, 0), CPoint(7, 1)));

    // A selection within one line is proposed as the text; the scope is the whole file.
    Select(CPoint(0, 2), CPoint(1, 2));
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        EXPECT_EQ(pDialog->findChild<QComboBox *>(QStringLiteral("searchText"))->currentText(), QStringLiteral("a"));
        EXPECT_TRUE(pDialog->findChild<QRadioButton *>(QStringLiteral("scopeFile"))->isChecked());
        EXPECT_TRUE(pDialog->findChild<QRadioButton *>(QStringLiteral("scopeSelection"))->isEnabled());
    });
}

TEST_F(FindCommands, ReadOnlyViewsDoNotReplace)
{
    SetText("abc");
    m_buffer.SetReadOnly(true);
    bool bShown = false;
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *) { bShown = true; });
    EXPECT_FALSE(bShown);
    CCmdUI ui(ID_EDIT_REPLACE);
    m_view.RouteUpdate(&ui);
    EXPECT_FALSE(ui.IsEnabled());
}

TEST_F(FindCommands, TextsWithCharactersOutsideShiftJisAreRefused)
{
    // Such a character would silently become "?", which is in the text: a
    // plain search would find it, and an expression would take it for an
    // operator ("a?" matches "a").
    SetText("a? ab x?");
    const std::string strRefused = "\"a\U0001F600\"にはShift-JISで表せない文字があるため、検索できません。";
    EXPECT_NE(RunFind(QStringLiteral("a\U0001F600")), QDialog::Accepted);
    EXPECT_EQ(m_aMessages, std::vector<std::string>({strRefused}));
    EXPECT_FALSE(m_view.IsSelection());
    // Find next does not search for it either.
    Key(Qt::Key_F3);
    EXPECT_EQ(m_aMessages, std::vector<std::string>({strRefused, strRefused}));
    EXPECT_FALSE(m_view.IsSelection());

    // Replace: neither such a search text nor such a replacement changes anything.
    m_aMessages.clear();
    RunDialog(ID_EDIT_REPLACE, [&](QDialog *pDialog) {
        SetCombo(pDialog, "searchText", QStringLiteral("x\U0001F600"));
        SetCombo(pDialog, "replaceText", QStringLiteral("y"));
        Check(pDialog, "regex", true);
        Click(pDialog, "findNext");
        Click(pDialog, "replace");
        Click(pDialog, "replaceAll");
        SetCombo(pDialog, "searchText", QStringLiteral("ab"));
        SetCombo(pDialog, "replaceText", QStringLiteral("\U0001F600"));
        Click(pDialog, "replace");
        Click(pDialog, "replaceAll");
    });
    EXPECT_EQ(Text(), "a? ab x?");
    const std::string strSearch = "\"x\U0001F600\"にはShift-JISで表せない文字があるため、検索できません。";
    const std::string strReplace = "置換文字列にはShift-JISで表せない文字があるため、置換できません。";
    EXPECT_EQ(m_aMessages, std::vector<std::string>({strSearch, strSearch, strSearch, strReplace, strReplace}));
}
