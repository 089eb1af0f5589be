// The folder search over files in other codes than Shift-JIS: each file is
// searched in the text the editor makes of it, decided by the whole file.
#include "search/foldersearch.h"
#include "support/testutil.h"
#include "text/codec.h"
#include "text/filecode.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CCollector : public CFolderSearchSink
{
public:
    void OnResult(const CSearchResult &result) override
    {
        if (result.nKind == SEARCHRESULT_MATCH || result.nKind == SEARCHRESULT_REGEX_MATCH)
            aMatches.push_back(std::to_string(result.nLine) + ": " + result.strText);
        else if (result.nKind != SEARCHRESULT_SUMMARY)
            aMatches.push_back("? " + FormatResultLineUtf8(result));
    }
    std::vector<std::string> aMatches;  // "line: text", the text in Shift-JIS
};

class FolderSearchCodes : public ::testing::Test
{
protected:
    // The matches in one file, as "line: text".
    std::vector<std::string> Find(const std::string &strName, const std::string &strText, bool bIgnoreCase = false,
                                  bool bRegex = false)
    {
        FolderSearchParams params{m_dir.Path(), strText, strName, bIgnoreCase, false, bRegex};
        CCollector sink;
        CFolderSearch search(params, sink);
        search.Run();
        return sink.aMatches;
    }
    // The Shift-JIS text written in a code.
    static std::string Coded(const std::string &sjis, ETextCode eCode)
    {
        std::string out;
        EXPECT_TRUE(EncodeFileText(sjis, eCode, CTextForms(), out));
        return out;
    }

    CTempDir m_dir;
};

using Matches = std::vector<std::string>;

} // namespace

TEST_F(FolderSearchCodes, TheCodeIsFoundPastALongStartOfAscii)
{
    // The first non-ASCII byte comes well after the first block the search
    // reads, in a line that begins in that block.
    std::string strHead;
    for (int i = 1; strHead.size() < 300 * 1024; ++i)
        strHead += "line " + std::to_string(i) + " plain\n";
    const int nHeadLines = static_cast<int>(std::count(strHead.begin(), strHead.end(), '\n'));
    const std::string sjis = strHead + "plain " + Utf8ToCp932("ここに日本語") + "\nafter\n";
    const std::string strHit = std::to_string(nHeadLines + 1) + ": plain " + Utf8ToCp932("ここに日本語");
    for (const ETextCode eCode : {ETextCode::Sjis, ETextCode::Utf8, ETextCode::Euc, ETextCode::Jis}) {
        WriteFileBytes(m_dir.File("f.txt"), Coded(sjis, eCode));
        EXPECT_EQ(Find("f.txt", Utf8ToCp932("日本")), Matches{strHit}) << TextCodeTag(eCode);
        // Lines before and after the switch keep their numbers.
        EXPECT_EQ(Find("f.txt", "line 7 "), Matches{"7: line 7 plain"}) << TextCodeTag(eCode);
        EXPECT_EQ(Find("f.txt", "after"), Matches{std::to_string(nHeadLines + 2) + ": after"}) << TextCodeTag(eCode);
        EXPECT_EQ(Find("f.txt", "AFTER", true), Matches{std::to_string(nHeadLines + 2) + ": after"}) << TextCodeTag(eCode);
        EXPECT_EQ(Find("f.txt", "PLAIN \x82\xb1", true), Matches{strHit}) << TextCodeTag(eCode);
    }
}

TEST_F(FolderSearchCodes, TheWholeFileDecidesNotItsStart)
{
    // UTF-8 in the first block and a Shift-JIS byte far behind it: the editor
    // reads the whole file as Shift-JIS, and so does the search.
    std::string strUtf8Start = "\xE6\x97\xA5\xE6\x9C\xAC\n";
    for (int i = 0; i < 2000; ++i)
        strUtf8Start += std::string(100, 'x') + "\n";
    WriteFileBytes(m_dir.File("f.txt"), strUtf8Start + "\x95\x5C\x8E\xA6\n");  // 表示
    EXPECT_EQ(Find("f.txt", "\x95\x5C\x8E\xA6"), Matches{"2002: \x95\x5C\x8E\xA6"});
    EXPECT_EQ(Find("f.txt", Utf8ToCp932("日本")), Matches{});

    // Shift-JIS half-width katakana read two at a time look like EUC-JP
    // kanji; they are searched as the katakana they are.
    WriteFileBytes(m_dir.File("k.txt"), "\xBA\xDD\xC6\xC1\xCA\r\n\xB6\xDE\xB7\xDE\r\n");  // ｺﾝﾆﾁﾊ ｶﾞｷﾞ
    EXPECT_EQ(Find("k.txt", "\xB6\xDE"), Matches{"2: \xB6\xDE\xB7\xDE"});
    WriteFileBytes(m_dir.File("k.txt"), "\xB6\xDE\xB7\xDE");  // ｶﾞｷﾞ, small enough to be read in one go
    EXPECT_EQ(Find("k.txt", "\xB7\xDE"), Matches{"1: \xB6\xDE\xB7\xDE"});
}
