// The manual pages' checks, and the user manual in data/help: every link and
// image leads somewhere, every page can be reached from the contents, and
// every command and every dialog of the program is described under its anchor.
#include "html/manualpages.h"
#include "res/commandtable.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

namespace {

namespace fs = std::filesystem;

const std::string MANUAL_FOLDER = WP_SOURCE_DIR "/data/help";

struct CManualPage
{
    std::string strName;
    std::string strBytes;
    CPageScan scan;
    std::set<std::string> ids;
};

std::vector<CManualPage> LoadManual()
{
    std::vector<CManualPage> aPages;
    for (const std::string &strName : ListDir(MANUAL_FOLDER)) {
        if (fs::path(strName).extension() != ".html")
            continue;
        CManualPage page;
        page.strName = strName;
        page.strBytes = ReadFileBytes(MANUAL_FOLDER + "/" + strName);
        page.scan = ScanPage(page.strBytes);
        for (const std::string &strId : PageAnchorIds(page.strBytes))
            page.ids.insert(strId);
        aPages.push_back(std::move(page));
    }
    return aPages;
}

// The dialog classes of the program, found in its sources so that a new
// dialog is asked for without anyone keeping a list: every class deriving,
// directly or through our own classes, from QDialog, and every class named
// "...Dlg" (the program's dialog-like panes, the explorer's say).
std::set<std::string> DialogClasses()
{
    const std::regex classHead(R"(class\s+(C\w+)\s*(?:final\s*)?:\s*([^{;]*)\{)");
    const std::regex baseName(R"((?:public|protected|private)\s+([\w:]+))");
    std::map<std::string, std::vector<std::string>> bases;
    for (const char *pszRoot : {WP_SOURCE_DIR "/src", WP_SOURCE_DIR "/plugins"}) {
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(pszRoot)) {
            const std::string strExt = entry.path().extension().string();
            if (!entry.is_regular_file() || (strExt != ".h" && strExt != ".cpp"))
                continue;
            const std::string strText = ReadFileBytes(entry.path().string());
            for (std::sregex_iterator it(strText.begin(), strText.end(), classHead), end; it != end; ++it) {
                const std::string strBases = (*it)[2];
                std::vector<std::string> &aBases = bases[(*it)[1]];
                for (std::sregex_iterator b(strBases.begin(), strBases.end(), baseName); b != end; ++b)
                    aBases.push_back((*b)[1]);
            }
        }
    }
    // Grown until nothing is added: a class is a dialog when one of its bases is.
    std::set<std::string> dialogs{"QDialog"};
    for (std::size_t nBefore = 0; nBefore != dialogs.size();) {
        nBefore = dialogs.size();
        for (const auto &[strClass, aBases] : bases)
            if (std::any_of(aBases.begin(), aBases.end(), [&](const std::string &b) { return dialogs.count(b) > 0; }))
                dialogs.insert(strClass);
    }
    dialogs.erase("QDialog");
    for (const auto &[strClass, aBases] : bases)
        if (strClass.size() > 3 && strClass.compare(strClass.size() - 3, 3, "Dlg") == 0)
            dialogs.insert(strClass);
    // A base that is never shown by itself: it holds what its dialogs share.
    dialogs.erase("CSearchDlgBase");
    return dialogs;
}

} // namespace

TEST(ManualPages, MarkupCheckFindsWhatABrowserWouldForgive)
{
    const std::string strSound = "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
                                 "<title>t &amp; u</title></head>\n<body><!-- a <b> note -->"
                                 "<p id=\"a\">x<br>y&#x3042;&lt;<img src=\"i.png\" alt=\"a > b\"></p>"
                                 "<pre><code>&lt;p&gt;</code></pre></body></html>\n";
    EXPECT_EQ(CheckPageMarkup(strSound), std::vector<std::string>{});

    auto problems = [](const std::string &strBody) { return CheckPageMarkup("<html><body>\n" + strBody + "</body></html>"); };
    // Each slip is reported once, at its line.
    EXPECT_EQ(problems("<p>a<b>bold</p>\n"), std::vector<std::string>{"line 2: </p> where <b> of line 2 is to be closed"});
    EXPECT_EQ(problems("<ul><li>one\n"), (std::vector<std::string>{"line 3: </body> where <li> of line 2 is to be closed"}));
    EXPECT_EQ(problems("<p>fish & chips</p>"), std::vector<std::string>{"line 2: \"&\" that starts no reference (write &amp;)"});
    EXPECT_EQ(problems("<p>a &amp b</p>").size(), 1u);
    EXPECT_EQ(problems("<p>1 < 2</p>"), std::vector<std::string>{"line 2: \"<\" that opens no tag (write &lt;)"});
    EXPECT_EQ(problems("<p>1 > 2</p>"), std::vector<std::string>{"line 2: \">\" in the text (write &gt;)"});
    EXPECT_EQ(problems("<br></br>"), std::vector<std::string>{"line 2: </br> closes an empty element"});
    EXPECT_EQ(CheckPageMarkup("<p>a</p></p>"), std::vector<std::string>{"line 1: </p> closes nothing"});
    EXPECT_EQ(problems("<h2 id=\"x\">a</h2>\n<p id=\"x\">b</p>"), std::vector<std::string>{"line 3: id \"x\" given twice"});
    EXPECT_EQ(problems("<!-- never closed").front(), "line 2: comment never closed");
    EXPECT_EQ(CheckPageMarkup("<div>\n<p>open</p>"), std::vector<std::string>{"line 1: <div> never closed"});
}

TEST(ManualPages, AnchorsOfAFolderNameTheirPage)
{
    CTempDir dir;
    WriteFileBytes(dir.File("b.html"), "<h2 id=\"ID_ONE\">1</h2><dt id='dlg-CX'>x</dt>");
    WriteFileBytes(dir.File("a.html"), "<p id=ID_ONE>first by name</p><p id=\"\">no id</p>");
    WriteFileBytes(dir.File("notes.txt"), "<p id=\"ID_TXT\"></p>");
    const std::map<std::string, std::string> expected = {{"ID_ONE", "a.html"}, {"dlg-CX", "b.html"}};
    EXPECT_EQ(ReadManualAnchors(dir.Path()), expected);
    EXPECT_TRUE(ReadManualAnchors(dir.File("missing")).empty());
}

// The manual is checked as documentation: a page, an anchor or a linked file
// that is missing, a page the contents do not reach, or a command or dialog
// without its one anchor is named in the failure.
TEST(Help, EveryLinkLeadsSomewhereAndEveryCommandAndDialogHasAnAnchor)
{
    const std::vector<CManualPage> aPages = LoadManual();
    ASSERT_FALSE(aPages.empty()) << MANUAL_FOLDER;
    std::map<std::string, const CManualPage *> byName;
    for (const CManualPage &page : aPages)
        byName[page.strName] = &page;

    std::vector<std::string> aMissing;
    std::map<std::string, int> anchors;
    std::map<std::string, std::set<std::string>> links;
    for (const CManualPage &page : aPages) {
        EXPECT_EQ(CheckPageMarkup(page.strBytes), std::vector<std::string>{}) << page.strName;
        for (const std::string &strId : page.ids)
            ++anchors[strId];
        for (const CPageTag &tag : page.scan.aTags) {
            if (tag.bEnd || (tag.strName != "a" && tag.strName != "img" && tag.strName != "link"))
                continue;
            const auto itRef = tag.attributes.find(tag.strName == "img" ? "src" : "href");
            const std::string strRef = itRef == tag.attributes.end() ? std::string() : itRef->second;
            // A reference with a scheme ("https:", "mailto:") leaves the manual.
            const std::size_t nColon = strRef.find(':');
            if (nColon != std::string::npos && strRef.find_first_of("/#") > nColon)
                continue;
            // The file part ("" for the page itself).
            const std::size_t nHash = strRef.find('#');
            const std::string strFile = strRef.substr(0, nHash);
            const std::string strTarget = strFile.empty() ? page.strName : strFile;
            const std::string strWhere = strRef + " (" + page.strName + " line "
                                         + std::to_string(PageLineOf(page.strBytes, tag.nOffset)) + ")";
            const auto it = byName.find(strTarget);
            const bool bNoAnchor = nHash != std::string::npos
                                   && (it == byName.end() || !it->second->ids.count(strRef.substr(nHash + 1)));
            if (!FileExists(MANUAL_FOLDER + "/" + strTarget) || bNoAnchor)
                aMissing.push_back(strWhere);
            if (tag.strName == "a" && it != byName.end())
                links[page.strName].insert(strTarget);
        }
    }

    std::set<std::string> reached{"index.html"};
    std::deque<std::string> todo{"index.html"};
    while (!todo.empty()) {
        for (const std::string &strNext : links[todo.front()])
            if (reached.insert(strNext).second)
                todo.push_back(strNext);
        todo.pop_front();
    }
    for (const CManualPage &page : aPages)
        if (!reached.count(page.strName))
            aMissing.push_back(page.strName + " (not reached from index.html)");

    for (const CCommandInfo &info : CommandTable())
        if (anchors[info.pszName] != 1)
            aMissing.push_back(std::string(info.pszName) + " (" + std::to_string(anchors[info.pszName]) + ")");
    const std::set<std::string> dialogs = DialogClasses();
    // The scan must see the dialogs every version of the program has.
    for (const char *pszKnown : {"CFindDlg", "CTableEditDlg", "COptionsSheet", "CNumberDlg", "CDirListDlg"})
        EXPECT_TRUE(dialogs.count(pszKnown)) << pszKnown;
    EXPECT_FALSE(dialogs.count("CSearchDlgBase"));
    for (const std::string &strClass : dialogs)
        if (anchors["dlg-" + strClass] != 1)
            aMissing.push_back("dlg-" + strClass + " (" + std::to_string(anchors["dlg-" + strClass]) + ")");
    EXPECT_EQ(aMissing, std::vector<std::string>{}) << aMissing.size() << " missing or given twice";
}
