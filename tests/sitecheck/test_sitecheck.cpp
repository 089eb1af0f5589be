#include "sitecheck/pagescan.h"
#include "sitecheck/sitecheck.h"
#include "sitecheck/siteref.h"
#include "sitecheck/tagnest.h"
#include "sitecheck/sitefixture.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Lines(const std::vector<CSiteFinding> &aFindings, bool bNotes = true)
{
    std::vector<std::string> aLines;
    for (const CSiteFinding &finding : aFindings)
        if (bNotes || !finding.bNote)
            aLines.push_back(FormatFinding(finding));
    return aLines;
}

std::vector<std::string> CheckSite(const std::string &strRoot, bool bRecursive = true, bool bNotes = true)
{
    CSiteCheck check(strRoot);
    check.AddFolder("", bRecursive);
    EXPECT_TRUE(check.Run());
    return Lines(check.GetFindings(), bNotes);
}

std::vector<std::string> CheckPage(const std::string &strHtml)
{
    CTempDir dir;
    WriteFileBytes(dir.File("p.html"), strHtml);
    CSiteCheck check(dir.Path());
    check.AddPage("p.html", "p.html");
    check.Run();
    return Lines(check.GetFindings(), false);
}

} // namespace

TEST(SiteCheck, FixtureFaultsAreFoundOnceAndCleanPagesGiveNothing)
{
    CTempDir dir;
    sitefixture::Build(dir.Path());
    EXPECT_EQ(CheckSite(dir.Path()), sitefixture::Expected());
}

TEST(SiteCheck, CharsetClaimAgainstEachOfTheFiveCodes)
{
    const std::pair<ETextCode, const char *> CODES[] = {
        {ETextCode::Sjis, "Shift_JIS"}, {ETextCode::Utf8, "UTF-8"}, {ETextCode::Utf8Bom, "utf-8"},
        {ETextCode::Euc, "EUC-JP"},     {ETextCode::Jis, "ISO-2022-JP"}};
    for (const auto &[eFile, pszOwn] : CODES) {
        for (const auto &[eClaim, pszClaim] : CODES) {
            std::string strPage = "<meta charset=\"" + std::string(pszClaim) + "\">\n<p>日本語の段落";
            std::string bytes = sitefixture::Encode(strPage, eFile == ETextCode::Utf8Bom ? ETextCode::Utf8 : eFile);
            if (eFile == ETextCode::Utf8Bom)
                bytes = "\xEF\xBB\xBF" + bytes;
            const CSitePageScan scan = ScanSitePage(bytes);
            EXPECT_EQ(scan.eCode, eFile) << pszOwn;
            const bool bUtf8Pair = (eFile == ETextCode::Utf8 || eFile == ETextCode::Utf8Bom)
                                   && (eClaim == ETextCode::Utf8 || eClaim == ETextCode::Utf8Bom);
            EXPECT_EQ(scan.aFindings.empty(), eFile == eClaim || bUtf8Pair)
                << "file " << pszOwn << " claims " << pszClaim;
        }
    }
    // A page of nothing but ASCII is the same in every code that claims it.
    EXPECT_TRUE(ScanSitePage("<meta charset=\"EUC-JP\"><p>plain").aFindings.empty());
    // A name this program does not know is taken at its word only for ASCII.
    EXPECT_EQ(ScanSitePage("<meta charset=\"iso-8859-1\"><p>\xC3\xA9t\xC3\xA9").aFindings.size(), 1u);
}

TEST(TagNesting, OptionalEndTagsClosedAsBrowsersCloseThemAreNotReportedAndEachFaultIsReportedOnceAtItsLine)
{
    EXPECT_TRUE(CheckPage("<meta charset=utf-8>"
                          "<div><p>one<p>two</div>"
                          "<p>three<table><tr><th>h<td>d<tbody><tr><td>x</table>"
                          "<p>para<ul><li>a<li><p>b</ul>"
                          "<dl><dt>t<dd>d<dt>u</dl>"
                          "<select><optgroup><option>a<option>b<optgroup><option>c</select>"
                          "<form><textarea><b>not a tag</textarea></form>"
                          "<h1>h</h1><h2>i</h2><a href=#x id=x>a</a><a>b</a>"
                          "<br/><img src=p.html><span/>")
                    .empty());

    // Each fault is reported once, at its line.
    EXPECT_EQ(CheckPage("<meta charset=utf-8>\n<h1>title\n<h2>sub</h2>\n"),
              std::vector<std::string>{"p.html(2): <h1> が閉じられていません"});
    EXPECT_EQ(CheckPage("<meta charset=utf-8>\n<a href=p.html>one\n<a href=p.html>two</a>\n"),
              std::vector<std::string>{"p.html(2): <a> が閉じられていません"});
    EXPECT_EQ(CheckPage("<meta charset=utf-8>\n<td><div>x\n</td></tr>\n"),
              (std::vector<std::string>{"p.html(3): 閉じる順序が違います: <div>（2行目）より先に </td> があります",
                                        "p.html(3): </tr> に対応する開始タグがありません"}));
    EXPECT_EQ(CheckPage("<meta charset=utf-8>\n<script>\nvar s = '</div>';\n"),
              std::vector<std::string>{"p.html(2): <script> が閉じられていません"});
    EXPECT_EQ(CheckPage("<meta charset=utf-8>\n<p>a</p></p>\n"),
              std::vector<std::string>{"p.html(2): </p> に対応する開始タグがありません"});
}

TEST(PageScan, ReferencesSurviveOddButLegalMarkupAndShiftJisBytes)
{
    // 0x5C and 0x7C-range trail bytes ("表", "ソ", "ポ") next to delimiters,
    // a Shift-JIS name, upper-case tags, single quotes, entities, a line
    // break inside a tag, url() with a double-byte character before "url(".
    const std::string page = Utf8ToCp932("<A HREF='表ソ.html'>表</A>\n"
                                         "<img\nsrc=\"a.gif?x=1&amp;y=2\" WIDTH=10>\n"
                                         "<p style=\"content:'ポ'; background:URL( 'b.png' )\">\n"
                                         "<script src=c.js></script><!-- <a href=no.html> -->\n"
                                         "<form action=\"d.cgi\"><area href=e.html><frame src=\"f.html\">\n"
                                         "<object data=g.swf></object><embed src=h.swf><td background=i.gif>\n");
    const CSitePageScan scan = ScanSitePage(page);
    std::vector<std::pair<std::string, int>> aRefs;
    for (const CSiteRef &ref : scan.aRefs)
        aRefs.emplace_back(ref.strValue, ref.nLine);
    const std::vector<std::pair<std::string, int>> aExpected = {
        {"表ソ.html", 1}, {"a.gif?x=1&y=2", 3}, {"b.png", 4}, {"c.js", 5}, {"d.cgi", 6},
        {"e.html", 6},    {"f.html", 6},        {"g.swf", 7}, {"h.swf", 7}, {"i.gif", 7}};
    EXPECT_EQ(aRefs, aExpected);
    ASSERT_GE(scan.aRefs.size(), 2u);
    EXPECT_EQ(scan.aRefs[1].strWidth, "10");
}

TEST(PageScan, TenMegabytePageOfBrokenMarkupEndsWithItsLastLineRight)
{
    std::string page = "<meta charset=utf-8>\n";
    while (page.size() < 10u * 1024 * 1024)
        page += "<p>a line of text that runs on for a while, then a link: <a href=\"x.html\" title=\"a>b\">link</a>, and more words to make it longer\n";
    const int nLines = static_cast<int>(std::count(page.begin(), page.end(), '\n'));
    page += "<img src=\"last.png\">\n";
    const CSitePageScan scan = ScanSitePage(page);
    ASSERT_FALSE(scan.aRefs.empty());
    EXPECT_EQ(scan.aRefs.back().strValue, "last.png");
    EXPECT_EQ(scan.aRefs.back().nLine, nLines + 1);
}

TEST(SiteRef, FormsAndEscapes)
{
    EXPECT_EQ(SplitReference("HTTP://example.com/a").eForm, SITEREFFORM_NETWORK);
    EXPECT_EQ(SplitReference("mailto:a@b").eForm, SITEREFFORM_NETWORK);
    EXPECT_EQ(SplitReference("//cdn.example.com/x.js").eForm, SITEREFFORM_NETWORK);
    EXPECT_EQ(SplitReference("javascript:go()").eForm, SITEREFFORM_NONE);
    EXPECT_EQ(SplitReference("?page=2").eForm, SITEREFFORM_NONE);
    EXPECT_EQ(SplitReference("/abs.html").eForm, SITEREFFORM_ROOT);
    const CSiteRefParts file = SplitReference("file:///srv/site/a%20b.html#x");
    EXPECT_EQ(file.eForm, SITEREFFORM_FILE);
    EXPECT_EQ(file.strPath, "/srv/site/a b.html");
    EXPECT_EQ(file.strFragment, "x");
    const CSiteRefParts rel = SplitReference("dir/%E8%B3%87%E6%96%99.html?q=%41#%E7%AB%A0");
    EXPECT_EQ(rel.eForm, SITEREFFORM_RELATIVE);
    EXPECT_EQ(rel.strPath, "dir/資料.html");
    EXPECT_EQ(rel.strFragment, "章");
    // Escapes of Shift-JIS bytes (資料), and a '%' that escapes nothing.
    EXPECT_EQ(PercentDecode("%8E%91%97%BF.html"), "資料.html");
    EXPECT_EQ(PercentDecode("100%.html%2"), "100%.html%2");
    EXPECT_EQ(PixelValue(" 120px"), 120);
    EXPECT_EQ(PixelValue("50%"), -1);
}

TEST(SiteCheck, NamesOnDiskInShiftJisAndUtf8AreFoundWhicheverWayThePageWritesThem)
{
    CTempDir dir;
    WriteFileBytes(dir.File(Utf8ToCp932("資料.html")), "x");
    WriteFileBytes(dir.File("日本語.html"), "x");
    const std::string strPage = "<meta charset=\"Shift_JIS\">\n<a href=\"資料.html\">a</a><a href=\"日本語.html\">b</a>"
                                "<a href=\"%E8%B3%87%E6%96%99.html\">c</a><a href=\"%93%FA%96%7B%8C%EA.html\">d</a>\n";
    WriteFileBytes(dir.File("sjis.html"), Utf8ToCp932(strPage));
    std::string strUtf8Page = strPage;
    strUtf8Page.replace(strUtf8Page.find("Shift_JIS"), 9, "UTF-8");
    WriteFileBytes(dir.File("utf8.html"), strUtf8Page);
    EXPECT_EQ(CheckSite(dir.Path(), false, false), std::vector<std::string>{});
}

TEST(SiteCheck, TextHeldInMemoryIsCheckedInsteadOfTheFileAndCancelStops)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.html"), "<meta charset=utf-8><a href=\"gone.html\">x</a>\n");
    WriteFileBytes(dir.File("b.html"), "<meta charset=utf-8><a href=\"a.html#new\">x</a>\n");
    CSiteCheck check(dir.Path());
    check.SetPageBytes("a.html", "<meta charset=utf-8>\n<h2 id=\"new\">x</h2>\n");
    check.AddFolder("", false);
    ASSERT_TRUE(check.Run());
    EXPECT_EQ(Lines(check.GetFindings()), std::vector<std::string>{});

    std::atomic<bool> bCancel{false};
    CSiteCheck cancelled(dir.Path());
    cancelled.AddFolder("", false);
    int nCalls = 0;
    EXPECT_FALSE(cancelled.Run(&bCancel, [&](int, int nTotal, const std::string &) {
        EXPECT_EQ(nTotal, 2);
        ++nCalls;
        bCancel = true;
    }));
    EXPECT_EQ(nCalls, 1);
}
