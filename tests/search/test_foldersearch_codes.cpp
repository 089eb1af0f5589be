// The folder search over files in other codes than Shift-JIS: each file is
// searched in the text the editor makes of it, decided by the whole file.
#include "search/foldersearch.h"
#include "search/linereader.h"
#include "support/testutil.h"
#include "text/codec.h"
#include "text/doctext.h"
#include "text/filecode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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
    void Write(const std::string &strName, const std::string &strBytes)
    {
        WriteFileBytes(m_dir.File(strName), strBytes);
    }
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

TEST_F(FolderSearchCodes, EveryCodeGivesTheLinesAndNumbersOfTheShiftJisText)
{
    // Kana, kanji, half-width katakana, a wave dash, ASCII in both cases, and
    // a line long enough to be read in pieces: 2500 あ are 5000 bytes of
    // Shift-JIS but 7500 of UTF-8, and the pieces are cut in Shift-JIS.
    const std::string strLong = [] {
        std::string s;
        for (int i = 0; i < 2500; ++i)
            s += "\x82\xA0";
        return s + "\x93\xFA\x96\x7B";  // 日本
    }();
    const std::string sjis = Utf8ToCp932("<p>日本語のテキスト</p>\r\n"
                                         "Wrenpad ｶﾀｶﾅ 〜 end\r\n"
                                         "\r\n"
                                         "最後の行: 日本\r\n")
                             + strLong + "\r\nlast";
    Write("s.txt", sjis);
    Write("u.txt", Coded(sjis, ETextCode::Utf8));
    Write("b.txt", Coded(sjis, ETextCode::Utf8Bom));
    Write("e.txt", Coded(sjis, ETextCode::Euc));
    Write("j.txt", Coded(sjis, ETextCode::Jis));

    const std::string strNihon = Utf8ToCp932("日本");
    const Matches expected = {"1: " + Utf8ToCp932("<p>日本語のテキスト</p>"), "4: " + Utf8ToCp932("最後の行: 日本"),
                              "6: " + strLong.substr(4000)};
    EXPECT_EQ(Find("s.txt", strNihon), expected);
    const struct { std::string strText; bool bIgnoreCase; bool bRegex; } searches[] = {
        {strNihon, false, false},
        {Utf8ToCp932("ｶﾀｶﾅ 〜"), false, false},
        {"WRENPAD", true, false},
        {Utf8ToCp932("[ｱ-ﾝ]+ ～ [a-z]+$"), false, true},
        {Utf8ToCp932("の[^<]+"), false, true},
    };
    for (const auto &c : searches) {
        const Matches inSjis = Find("s.txt", c.strText, c.bIgnoreCase, c.bRegex);
        EXPECT_FALSE(inSjis.empty()) << Cp932ToUtf8(c.strText);
        for (const char *pszName : {"u.txt", "b.txt", "e.txt", "j.txt"})
            EXPECT_EQ(Find(pszName, c.strText, c.bIgnoreCase, c.bRegex), inSjis) << pszName << " " << Cp932ToUtf8(c.strText);
    }
}

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
        Write("f.txt", Coded(sjis, eCode));
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
    Write("f.txt", strUtf8Start + "\x95\x5C\x8E\xA6\n");  // 表示
    EXPECT_EQ(Find("f.txt", "\x95\x5C\x8E\xA6"), Matches{"2002: \x95\x5C\x8E\xA6"});
    EXPECT_EQ(Find("f.txt", Utf8ToCp932("日本")), Matches{});

    // Shift-JIS half-width katakana read two at a time look like EUC-JP
    // kanji; they are searched as the katakana they are.
    Write("k.txt", "\xBA\xDD\xC6\xC1\xCA\r\n\xB6\xDE\xB7\xDE\r\n");  // ｺﾝﾆﾁﾊ ｶﾞｷﾞ
    EXPECT_EQ(Find("k.txt", "\xB6\xDE"), Matches{"2: \xB6\xDE\xB7\xDE"});
    Write("k.txt", "\xB6\xDE\xB7\xDE");  // ｶﾞｷﾞ, small enough to be read in one go
    EXPECT_EQ(Find("k.txt", "\xB7\xDE"), Matches{"1: \xB6\xDE\xB7\xDE"});
}

TEST(LineReader, ASourceTakesOverWhereTheFileWasReadUpTo)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), "one\ntwo\n");
    CSearchLineReader reader;
    ASSERT_TRUE(reader.Open(dir.File("f")));
    std::string_view line;
    ASSERT_TRUE(reader.NextLine(line));
    EXPECT_EQ(line, "one");
    // A source that gives a few bytes at a time, of which the first four
    // (those already read) are dropped.
    const std::string strText = "ONE\nTWO\nTHREE";
    std::size_t nAt = 0;
    reader.UseSource(
        [&](char *p, std::size_t n) {
            const std::size_t k = std::min({n, std::size_t(3), strText.size() - nAt});
            std::copy_n(strText.data() + nAt, k, p);
            nAt += k;
            return k;
        },
        reader.GetOffset());
    std::vector<std::string> aRest;
    while (reader.NextLine(line))
        aRest.emplace_back(line);
    EXPECT_EQ(aRest, (std::vector<std::string>{"TWO", "THREE"}));
    EXPECT_EQ(reader.GetLineNumber(), 3);
}

// Characters Shift-JIS lacks in the text looked for: found in UTF-8, EUC-JP
// and JIS files whatever codes each file gave them, shown as themselves, and
// never in a Shift-JIS file whose user-defined codes happen to be the bytes.
TEST_F(FolderSearchCodes, CharactersBeyondShiftJisAreFoundInEveryOtherCode)
{
    // The UTF-8 page meets other such characters first; the EUC-JP file
    // holds JIS X 0212's copyright sign; the Shift-JIS file the first
    // user-defined code.
    Write("a.html", "\xF0\x9F\x98\x80\n<p>\xC2\xA9 caf\xC3\xA9</p>\n");
    Write("b.txt", "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\n\x8F\xA2\xED 2026 \xA4\xC7\xA4\xB9\n");
    Write("c.txt", "\x93\xFA\x96\x7B\n\xF0\x40 2026\n");
    FolderSearchParams params;
    params.strFolder = m_dir.Path();
    params.strPatterns = "*";
    params.strText = Utf16ToDocText(u"\u00A9 ", &params.extra);
    ASSERT_EQ(params.strText, "\xF0\x40 ");
    struct CLines : CFolderSearchSink
    {
        void OnResult(const CSearchResult &result) override
        {
            if (result.nKind == SEARCHRESULT_MATCH)
                aLines.push_back(FormatResultLineUtf8(result));
        }
        std::vector<std::string> aLines;
    } sink;
    CFolderSearch search(params, sink);
    search.Run();
    std::sort(sink.aLines.begin(), sink.aLines.end());
    EXPECT_EQ(sink.aLines, (Matches{"a.html(2): <p>\xC2\xA9 caf\xC3\xA9</p>", "b.txt(2): \xC2\xA9 2026 \xE3\x81\xA7\xE3\x81\x99"}));

    // Each form of a dual-form character finds only itself in a UTF-8 file,
    // whichever form the file met first, as in a document; in a Shift-JIS
    // file its one code is either form.
    Write("d.txt", "\xEF\xBD\x9E 1\n\xE3\x80\x9C 2\n");  // ～, then 〜
    Write("e.txt", "\x81\x60 3\n");
    for (const char *pszForm : {"\xE3\x80\x9C", "\xEF\xBD\x9E"}) {
        params.extra = CExtraChars();
        params.strText = Utf8ToCp932(pszForm);
        params.nDualForms = DualFormsIn(pszForm);
        sink.aLines.clear();
        CFolderSearch(params, sink).Run();
        std::sort(sink.aLines.begin(), sink.aLines.end());
        for (std::string &strLine : sink.aLines)
            strLine.resize(strLine.find(':'));
        EXPECT_EQ(sink.aLines, (Matches{pszForm[0] == '\xE3' ? "d.txt(2)" : "d.txt(1)", "e.txt(1)"}));
    }
}
