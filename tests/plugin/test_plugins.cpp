// Plug-ins: which commands the editor finds, in which order, and what one
// command does on every way it can go, through the test plug-in and the
// sample plug-in we ship.
#include "plugin/plugincommand.h"
#include "plugin/pluginlibrary.h"
#include "plugin/pluginregistry.h"
#include "support/plugintest.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <tuple>

namespace {

// The rows of the test plug-in from 0 on: its index 1 fails, so the rest move up one.
enum ETestRow
{
    ROW_UPPER, ROW_WRAP, ROW_WRAP_EMPTY_SECOND, ROW_BEFORE, ROW_AFTER, ROW_DECLINE, ROW_MISSING, ROW_DOC_PATH,
    ROW_NO_LENGTH, ROW_GET_FAILS, ROW_UNTERMINATED, ROW_REPLACE_SELECTION
};
constexpr int TEST_ROWS = 13;

class PluginCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strPath = InstallPluginFile(m_dir.Path(), "t.wpi", WP_TEST_PLUGIN);
        m_registry.Discover({m_dir.Path()});
        ASSERT_EQ(m_registry.GetCount(), TEST_ROWS);
    }

    // Runs a row on a selection (null: none) and gives what the selection becomes.
    EPluginRunResult Run(int nRow, const char *pszSelection, std::string *pstrText = nullptr,
                         const std::string &strDocument = std::string())
    {
        const std::string strSelection = pszSelection ? pszSelection : "";
        CPluginResults results;
        const EPluginRunResult eResult = RunPluginCommand({m_dir.Path()}, *m_registry.GetRow(nRow), strDocument,
                                                          pszSelection ? &strSelection : nullptr, results);
        if (pstrText)
            *pstrText = eResult == PLUGIN_RUN_OK
                            ? ApplyPluginResults(m_registry.GetRow(nRow)->nType, strSelection, results)
                            : strSelection;
        return eResult;
    }

    CTempDir m_dir;
    std::string m_strPath;
    CPluginRegistry m_registry;
};

} // namespace

TEST(PluginRegistry, TheUsersFolderFirstAndFilesThatOfferNothingSkipped)
{
    CTempDir user;
    CTempDir installed;
    InstallPluginFile(user.Path(), "b.wpi", WP_TEST_PLUGIN_NOCOUNT);
    InstallPluginFile(user.Path(), "a.wpi", WP_TEST_PLUGIN);
    WriteFileBytes(user.File("c.wpi"), "not a shared object");
    WriteFileBytes(user.File("notes.txt"), "");
    ASSERT_EQ(mkdir(user.File("d.wpi").c_str(), 0700), 0);
    // Hidden by the user's own a.wpi.
    InstallPluginFile(installed.Path(), "a.wpi", WP_TEST_PLUGIN_NOCOUNT);
    InstallPluginFile(installed.Path(), "e.wpi", WP_TEST_PLUGIN);

    EXPECT_EQ(ListPluginFiles(user.Path()), (std::vector<std::string>{"a.wpi", "b.wpi", "c.wpi"}));
    EXPECT_TRUE(ListPluginFiles(user.File("missing")).empty());
    CPluginRegistry registry;
    registry.Discover({user.Path(), "", installed.Path()});
    ASSERT_EQ(registry.GetCount(), 2 * TEST_ROWS);
    EXPECT_EQ(std::tie(registry.GetRow(0)->strFile, registry.GetRow(TEST_ROWS)->strFile),
              std::make_tuple("a.wpi", "e.wpi"));
}

TEST(PluginRegistry, NoMoreCommandsThanTheMenusHold)
{
    CTempDir dir;
    for (int i = 0; i < 9; ++i)
        InstallPluginFile(dir.Path(), "p" + std::to_string(i) + ".wpi", WP_TEST_PLUGIN);
    CPluginRegistry registry;
    registry.Discover({dir.Path()});
    ASSERT_EQ(registry.GetCount(), PLUGIN_COMMAND_LIMIT);
    const CPluginRow &last = *registry.GetRow(PLUGIN_COMMAND_LIMIT - 1);
    EXPECT_EQ(std::tie(last.strFile, last.nIndex), std::make_tuple("p7.wpi", 9));
}

TEST_F(PluginCommand, EachTypePutsItsResultWhereItSays)
{
    // Type 3 (the last row) has the selection bit: it replaces the selection.
    const struct { int nRow; const char *pszSelection; const char *pszAfter; } cases[] = {
        {ROW_UPPER, "abc", "ABC"}, {ROW_WRAP, "abc", "<em>abc</em>"}, {ROW_WRAP, nullptr, "<em></em>"},
        {ROW_BEFORE, "abc", "[abc"}, {ROW_AFTER, "abc", "abc]"}, {ROW_REPLACE_SELECTION, "abc", "R:abc"},
    };
    for (const auto &c : cases) {
        std::string strText;
        EXPECT_EQ(Run(c.nRow, c.pszSelection, &strText), PLUGIN_RUN_OK) << c.nRow;
        EXPECT_EQ(strText, c.pszAfter) << c.nRow;
    }
}

TEST_F(PluginCommand, TheSelectionReachesThePluginByteForByteAndWithoutOneItIsNotCalled)
{
    CPluginHold hold(m_strPath);
    ASSERT_TRUE(hold.IsLoaded());
    // A trail byte equal to a backslash, half-width kana, a lone lead byte at the end.
    const char *pszSelection = "a\x83\x5c\xb1z\x82";
    std::string strText;
    EXPECT_EQ(Run(ROW_UPPER, pszSelection, &strText), PLUGIN_RUN_OK);
    EXPECT_EQ(hold.Selection(), pszSelection);
    EXPECT_EQ(strText, "A\x83\x5c\xb1Z\x82");

    // A command on the selection is not called without one.
    const int nCalls = hold.Calls();
    EXPECT_EQ(Run(ROW_UPPER, nullptr), PLUGIN_RUN_NO_SELECTION);
    EXPECT_EQ(Run(ROW_UPPER, ""), PLUGIN_RUN_NO_SELECTION);
    EXPECT_EQ(hold.Calls(), nCalls);
    EXPECT_STREQ(PluginRunMessage(PLUGIN_RUN_NO_SELECTION), "文字列が選択されてません。");
    EXPECT_EQ(Run(ROW_UPPER, "x"), PLUGIN_RUN_OK);
    EXPECT_EQ(hold.Calls(), nCalls + 1);
}

TEST_F(PluginCommand, DecliningEndsTheCommandQuietly)
{
    CPluginHold hold(m_strPath);
    // An empty second result inserts nothing at all, not even the first.
    for (const int nRow : {ROW_WRAP_EMPTY_SECOND, ROW_DECLINE, ROW_NO_LENGTH, ROW_GET_FAILS}) {
        std::string strText;
        EXPECT_EQ(Run(nRow, "abc", &strText), PLUGIN_RUN_DECLINED) << nRow;
        EXPECT_EQ(strText, "abc") << nRow;
    }
    EXPECT_STREQ(PluginRunMessage(PLUGIN_RUN_DECLINED), "");
}

TEST_F(PluginCommand, MissingPiecesAreToldApart)
{
    EXPECT_EQ(Run(ROW_MISSING, "abc"), PLUGIN_RUN_NO_FUNCTION);
    EXPECT_STREQ(PluginRunMessage(PLUGIN_RUN_NO_FUNCTION), "プラグインの実行に失敗しました。");

    CPluginResults results;
    const auto runIn = [&](const std::string &strFolder, const CPluginRow &row) {
        return RunPluginCommand({strFolder}, row, "", nullptr, results);
    };
    // A plug-in without "WpGetBuffer2" is refused even for a command that
    // never asks for a second result.
    CTempDir other;
    InstallPluginFile(other.Path(), "t.wpi", WP_TEST_PLUGIN_NOBUFFER2);
    const CPluginRow &before = *m_registry.GetRow(ROW_BEFORE);
    EXPECT_EQ(runIn(other.Path(), before), PLUGIN_RUN_INIT_FAILED);
    EXPECT_STREQ(PluginRunMessage(PLUGIN_RUN_INIT_FAILED), "プラグインの初期化に失敗しました。");
    WriteFileBytes(other.File("t.wpi"), "not a shared object");
    EXPECT_EQ(runIn(other.Path(), before), PLUGIN_RUN_INIT_FAILED);
    EXPECT_EQ(runIn(other.File("none"), before), PLUGIN_RUN_INIT_FAILED);

    CPluginRow row = before;
    row.strFunction.clear();
    EXPECT_EQ(runIn(m_dir.Path(), row), PLUGIN_RUN_NO_COMMAND);
    EXPECT_STREQ(PluginRunMessage(PLUGIN_RUN_NO_COMMAND), "");
}

TEST_F(PluginCommand, ThePluginIsToldTheDocumentAndTakenAtItsWord)
{
    std::string strText;
    const std::string strDocument = "/srv/www/\xe3\x82\xb5\xe3\x82\xa4\xe3\x83\x88/index.html";
    EXPECT_EQ(Run(ROW_DOC_PATH, nullptr, &strText, strDocument), PLUGIN_RUN_OK);
    EXPECT_EQ(strText, "doc=" + strDocument);
    EXPECT_EQ(Run(ROW_DOC_PATH, "sel", &strText), PLUGIN_RUN_OK);
    EXPECT_EQ(strText, "doc=");
    // A result is as long as its length said, whatever the plug-in wrote beyond it.
    EXPECT_EQ(Run(ROW_UNTERMINATED, nullptr, &strText), PLUGIN_RUN_OK);
    EXPECT_EQ(strText, "zzz");
}
