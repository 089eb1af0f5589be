// The folder search: which files it reads, the result lines it writes, its
// limits, and how it ends on bad input and on cancel.
#include "search/foldersearch.h"
#include "search/linereader.h"
#include "search/plainsearch.h"
#include "search/regex.h"
#include "search/searchsink.h"
#include "support/testutil.h"
#include "text/codec.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Search(const std::string &strFolder, const std::string &strText, const std::string &strPatterns,
                   bool bIgnoreCase = false, bool bSubFolders = false, bool bRegex = false, bool *pbOk = nullptr)
{
    FolderSearchParams params{strFolder, strText, strPatterns, bIgnoreCase, bSubFolders, bRegex};
    CLineCollector sink;
    CFolderSearch search(params, sink);
    const bool bOk = search.Run();
    if (pbOk)
        *pbOk = bOk;
    return sink.Joined();
}

// A small site: files at the top and in subfolders, hidden ones, a binary
// one, links, and a folder whose name holds parentheses.
class FolderSearch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Write("a.txt", "hello\r\nworld Hello\r\n\r\nhello again");
        Write("b.htm", "<p>hello</p>\n");
        Write("notes.TXT", "HELLO upper\n");
        Write("sub/c.txt", "say hello\n");
        Write("sub/(1)/d.txt", "x\nhello (1)\n");
        Write(".hidden.txt", "hello\n");
        Write(".git/e.txt", "hello\n");
        Write("bin.txt", std::string("hello\0binary", 12));
        fs::create_directory_symlink(m_dir.Path(), m_dir.File("sub/loop"));
        fs::create_symlink(m_dir.File("a.txt"), m_dir.File("sub/link.txt"));
    }
    void Write(const std::string &strName, const std::string &strBytes)
    {
        WriteFiles(m_dir.Path(), {{strName, strBytes}});
    }

    CTempDir m_dir;
};

} // namespace

TEST_F(FolderSearch, ReportsMatchingLinesOfMatchingFiles)
{
    bool bOk = false;
    EXPECT_EQ(Search(m_dir.Path(), "hello", "*.txt", false, true, false, &bOk),
              "a.txt(1): hello\n"
              "a.txt(4): hello again\n"
              "sub/c.txt(1): say hello\n"
              "sub/link.txt(1): hello\n"
              "sub/link.txt(4): hello again\n"
              "sub/(1)/d.txt(2): hello (1)\n"
              "6 個、検索されました。(6ファイル中)\n");
    EXPECT_TRUE(bOk);
    // Without subfolders only the top; a trailing '/' on the folder changes nothing.
    EXPECT_EQ(Search(m_dir.Path() + "/", "hello", "*.txt"),
              "a.txt(1): hello\na.txt(4): hello again\n2 個、検索されました。(3ファイル中)\n");
}

TEST_F(FolderSearch, IgnoringCaseFindsEverySpellingOfTextsAndExpressions)
{
    // Ignoring case, a text typed in capitals finds every spelling.
    EXPECT_EQ(Search(m_dir.Path(), "HELLO", "a.txt;notes.txt", true),
              "a.txt(1): hello\na.txt(2): world Hello\na.txt(4): hello again\nnotes.TXT(1): HELLO upper\n"
              "4 個、検索されました。(2ファイル中)\n");
    // So does an expression, in lower case or with capitals, and it shows
    // the match as the line has it.
    for (const char *pszExpression : {"h.llo", "H.llo"})
        EXPECT_EQ(Search(m_dir.Path(), pszExpression, "a.txt", true, false, true),
                  "a.txt(1): > hello\na.txt(2): > Hello\na.txt(4): > hello\n3 個、検索されました。(1ファイル中)\n");
    EXPECT_EQ(Search(m_dir.Path(), "H.llo", "a.txt", false, false, true),
              "a.txt(2): > Hello\n1 個、検索されました。(1ファイル中)\n");
}

TEST_F(FolderSearch, PatternsSelectEachFileOnce)
{
    // *.htm and * both match b.htm; it is searched once. No pattern at all means every file.
    for (const char *pszPatterns : {"*.htm;*; ;*.HTM", ""})
        EXPECT_EQ(Search(m_dir.Path(), "<p>", pszPatterns), "b.htm(1): <p>hello</p>\n1 個、検索されました。(4ファイル中)\n");
}

TEST(ByteFinder, FindsTheNeedleWhereItLastFitsAndNothingPastIt)
{
    // 'b' is the rarer byte of "ab": each 'b' is a candidate, checked whole,
    // up to the last place the needle fits.
    const CByteFinder finder("ab");
    const std::string text = "xb ab xb";
    EXPECT_EQ(finder.Find(text.data(), 5), text.data() + 3);
    EXPECT_EQ(finder.Find(text.data() + 4, 4), nullptr);
}

TEST_F(FolderSearch, LongLinesCountInPieces)
{
    // A 10000-byte line reads as three pieces; the text near its end is in the third.
    Write("long.txt", std::string(9990, 'x') + "needle....\nneedle\n");
    EXPECT_EQ(Search(m_dir.Path(), "needle", "long.txt"),
              "long.txt(3): " + std::string(1990, 'x') + "needle....\nlong.txt(4): needle\n"
              "2 個、検索されました。(1ファイル中)\n");
}

TEST_F(FolderSearch, BadInputIsReportedInTheResults)
{
    bool bOk = true;
    EXPECT_EQ(Search(m_dir.Path(), "a[b", "*.txt", false, false, true, &bOk),
              "正規表現のコンパイルに失敗しました。処理を中断します・・・\n0 個、検索されました。(0ファイル中)\n");
    EXPECT_FALSE(bOk);
    const std::string strMissing = m_dir.File("missing");
    EXPECT_EQ(Search(strMissing, "x", "*"), "（'" + strMissing + "/' を開けません。）\n0 個、検索されました。(0ファイル中)\n");
    // Nothing to look for: nothing at all is reported.
    EXPECT_EQ(Search(m_dir.Path(), "", "*"), "");
    if (::geteuid() != 0) {
        Write("locked/x.txt", "hello\n");
        Write("secret.txt", "hello\n");
        ::chmod(m_dir.File("locked").c_str(), 0);
        ::chmod(m_dir.File("secret.txt").c_str(), 0);
        const std::string s = Search(m_dir.Path(), "hello", "secret.txt;x.txt", false, true);
        EXPECT_NE(s.find("（'secret.txt' を開けません。）\n"), std::string::npos) << s;
        EXPECT_NE(s.find("（'locked/' を開けません。）\n"), std::string::npos) << s;
    }
}

TEST_F(FolderSearch, DoubleByteTextAndResultBytes)
{
    // 日本語 in CP932.
    const std::string strNihongo = "\x93\xFA\x96\x7B\x8C\xEA";
    Write("\xE6\x97\xA5\xE6\x9C\xAC.txt", "x" + strNihongo + "\rtail\n");
    const std::string s = Search(m_dir.Path(), "\x96\x7B", "*.txt");
    EXPECT_NE(s.find("日本.txt(1): x日本語 tail\n"), std::string::npos) << s;  // the lone CR shows as a space

    // The CP932 form, which the tool prints, keeps the text's bytes and converts the path.
    const CSearchResult r{SEARCHRESULT_MATCH, "\xE6\x97\xA5/(1).txt", 12, 0, "a\x82\xA0\x01" "b", 0};
    EXPECT_EQ(FormatResultLine(r), "\x93\xFA/(1).txt(12): a\x82\xA0 b");
    EXPECT_EQ(FormatResultLine(CSearchResult{SEARCHRESULT_CANNOT_OPEN, "x.txt", 0, 0, {}, 0}),
              Utf8ToCp932("（'x.txt' を開けません。）"));
}

TEST_F(FolderSearch, Utf8FilesAreSearchedForTheShiftJisTextTyped)
{
    // 日本語 in UTF-8 and in Shift-JIS; the result lines are Shift-JIS either way.
    Write("u.txt", "x\n\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE3\x80\x9C\n");
    Write("bom.txt", "\xEF\xBB\xBF\xE8\xAA\x9E\n");
    Write("s.txt", "\x93\xFA\x96\x7B\x8C\xEA\n");
    EXPECT_EQ(Search(m_dir.Path(), "\x96\x7B\x8C\xEA", "u.txt"), "u.txt(2): 日本語 ～\n1 個、検索されました。(1ファイル中)\n");
    EXPECT_EQ(Search(m_dir.Path(), "\x96\x7B\x8C\xEA", "s.txt"), "s.txt(1): 日本語\n1 個、検索されました。(1ファイル中)\n");
    // An expression too, and a file with a byte-order mark.
    EXPECT_EQ(Search(m_dir.Path(), "^\x8C\xEA", "bom.txt", false, false, true), "bom.txt(1): > 語\n1 個、検索されました。(1ファイル中)\n");
    // The UTF-8 bytes of a character never match the middle of others.
    EXPECT_EQ(Search(m_dir.Path(), "\xFA\x96", "u.txt").substr(0, 2), "0 ");
}

TEST_F(FolderSearch, CancelEndsARunawayExpressionAndKeepsWhatWasFound)
{
    Write("a1.txt", "ab\n");
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += std::string(3000, 'a') + "!\n";
    Write("a2.txt", text);
    FolderSearchParams params{m_dir.Path(), "(a*)*[bc]", "a1.txt;a2.txt", false, false, true};
    CLineCollector sink;
    CSearchCancel cancel;
    CFolderSearch search(params, sink, &cancel);
    auto done = std::async(std::launch::async, [&] { return search.Run(); });
    // Cancel once the search is in the file where the expression runs away.
    while (sink.Status(2) != "a2.txt" && done.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
    }
    cancel.Cancel();
    EXPECT_FALSE(done.get());
    EXPECT_TRUE(search.WasCancelled());
    EXPECT_EQ(sink.Joined(), "a1.txt(1): > ab\n1 個、検索されました。(2ファイル中)\n");
    EXPECT_EQ(sink.strStatus1, "キャンセルされました。");
}

TEST_F(FolderSearch, BinaryIsDecidedByTheStartOfTheFile)
{
    // A NUL byte far into a text file is one more byte of its line: the
    // matches before it in its block and every one after it are reported.
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "filler line number " + std::to_string(i) + "\r\n";
    ASSERT_GT(text.size(), CSearchLineReader::BLOCK_BYTES + 10000);
    text += std::string("hello before\r\nnul\0hello\r\nhello after\r\n", 38);
    Write("late.txt", text);
    EXPECT_EQ(Search(m_dir.Path(), "hello", "late.txt"),
              "late.txt(10001): hello before\nlate.txt(10002): nul hello\nlate.txt(10003): hello after\n"
              "3 個、検索されました。(1ファイル中)\n");
    // A NUL byte in the first block makes the whole file binary: it is
    // searched (and counted) but shows no lines, however long it is.
    Write("early.txt", "hello\n" + std::string(1, '\0') + text);
    EXPECT_EQ(Search(m_dir.Path(), "hello", "early.txt"), "0 個、検索されました。(1ファイル中)\n");
}

TEST_F(FolderSearch, FilesAndFoldersAreClosedWhenASearchThrows)
{
    // A match deep in the tree, with its folders and the file open.
    Write("sub/deeper/deepest/hit.txt", "line\nfound here\n");
    const int nBefore = OpenDescriptorCount();
    for (bool bRegex : {false, true}) {
        FolderSearchParams params{m_dir.Path(), "found", "hit.txt", false, true, bRegex};
        CLineCollector sink;  // throws from the first result, as a sink whose memory runs out would
        sink.fnEach = [](std::size_t) { throw std::runtime_error("no room for results"); };
        CFolderSearch search(params, sink);
        EXPECT_THROW(search.Run(), std::runtime_error);
        EXPECT_EQ(OpenDescriptorCount(), nBefore) << bRegex;
    }
}

TEST(FolderSearchOracle, BlockScanningFindsMatchesFarIntoAFile)
{
    // About 400 KB: many blocks, long lines read in pieces, CR LF and LF,
    // double-byte text whose bytes \x7B\x93 straddle two characters, and
    // three lines that hold the words, far into the file. A long line counts
    // as one line for each piece of SEARCH_LINE_MAX bytes: each of the long
    // lines above a word moves its number on by two.
    std::string text;
    for (int nLine = 1; nLine <= 12000; ++nLine) {
        if (nLine == 3001)
            text += "x needle y";
        else if (nLine == 7000)
            text += "NEEDLE and x_MUTEX_INIT";
        else if (nLine == 11000)
            text += "beta\tZeta \x96\x7B\tZeta";
        else if (nLine % 997 == 0)
            for (int i = 0; i < 1500; ++i)
                text += "alpha ";
        else
            text += "Zeta alpha \x93\xFA\x96\x7B\x93\xFA\x96\x7B GAMMA";
        text += nLine % 2 ? "\r\n" : "\n";
    }
    ASSERT_GT(text.size(), 400000u);
    CTempDir dir;
    WriteFileBytes(dir.File("f.txt"), text);

    const std::string strNone = "0 個、検索されました。(1ファイル中)\n";
    const std::string strOne = "1 個、検索されました。(1ファイル中)\n";
    const struct { const char *pszText; bool bIgnoreCase; bool bRegex; std::string strExpected; } cases[] = {
        {"needle", false, false, "f.txt(3007): x needle y\n" + strOne},
        {"NEEDLE", true, false,
         "f.txt(3007): x needle y\nf.txt(7014): NEEDLE and x_MUTEX_INIT\n2 個、検索されました。(1ファイル中)\n"},
        {"\x7B\x93", false, false, strNone},
        {"ne+dle", false, true, "f.txt(3007): > needle\n" + strOne},
        {"Ne+DLE", true, true,
         "f.txt(3007): > needle\nf.txt(7014): > NEEDLE\n2 個、検索されました。(1ファイル中)\n"},
        {"[a-z]+_MUTEX", false, true, "f.txt(7014): > x_MUTEX\n" + strOne},
        {"[a-z]+_MUTEX", true, true, "f.txt(7014): > x_MUTEX\n" + strOne},
        {"[A-Z]+_mutex", false, true, strNone},
        {"B.ta", false, true, strNone},
        {"b.ta", true, true, "f.txt(11022): > beta\n" + strOne},
        {"\x96\x7B\\tZ", false, true, "f.txt(11022): > 本\tZ\n" + strOne},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Search(dir.Path(), c.pszText, "*.txt", c.bIgnoreCase, false, c.bRegex), c.strExpected) << c.pszText;
}

TEST(FolderSearchOracle, RequiredTextOfExpressions)
{
    auto Required = [](const char *psz, bool bCase) {
        const CRegexPtr p(RegexCompile(psz));
        return RegexRequiredText(p.get(), bCase);
    };
    EXPECT_EQ(Required("pthread_[a-z]+", true), "pthread_");
    EXPECT_EQ(Required("[A-Z]+_MUTEX_INIT", true), "_MUTEX_INIT");
    EXPECT_EQ(Required("[A-Z]+_MUTEX_INIT", false), "");  // letters compare in either case
    EXPECT_EQ(Required("[a-z]+_12", false), "_12");
    EXPECT_EQ(Required("ab|cd", true), "a");  // a, then b or c, then d
    EXPECT_EQ(Required("(ab)|(cd)", true), "");
    EXPECT_EQ(Required("x*y?", true), "");
}
