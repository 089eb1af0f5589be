// The user tag list, the web menu file and the attribute lists of the
// completion pop-up: reading and writing their files, awkward and bad input.
#include "html/tagalign.h"
#include "html/usertags.h"
#include "html/webmenufile.h"
#include "support/sjistext.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

namespace {

const std::string HEADER = S("//ユーザータグリストです\r\n//構文：#tag=タイトル 1st=前のタグ 2st=後ろのタグ #end\r\n");

// 10 MB of bytes that are neither Shift-JIS nor lines, with markers and
// delimiters sprinkled in.
std::string Garbage()
{
    std::mt19937 rng(13);
    std::string bytes(10 * 1024 * 1024, '\0');
    for (char &c : bytes)
        c = static_cast<char>(rng() & 0xFF);
    for (std::size_t i = 0; i + 8 < bytes.size(); i += 9973)
        bytes.replace(i, 5, i % 2 ? "\n#tag" : "\n1st=");
    return bytes;
}

std::vector<std::string> Titles(const CUserTagList &list)
{
    std::vector<std::string> a;
    for (int i = 0; i < list.GetCount(); ++i)
        a.push_back(list.GetTitle(i));
    return a;
}

// Each entry as title, opening text and closing text.
using CEntries = std::vector<std::array<std::string, 3>>;
CEntries Entries(const CUserTagList &list)
{
    CEntries a;
    for (int i = 0; i < list.GetCount(); ++i) {
        std::array<std::string, 3> entry{list.GetTitle(i)};
        EXPECT_TRUE(list.GetEntry(i, entry[1], entry[2])) << i;
        a.push_back(entry);
    }
    return a;
}

} // namespace

TEST(UserTags, MultiLineAndEmptyTextsRoundTripByteForByte)
{
    CUserTagList list;
    ASSERT_TRUE(list.Add(S("表"), "<table>\r\n<tr>", "</tr>\r\n</table>\r\n"));
    ASSERT_TRUE(list.Add("hr", "<hr>", ""));
    ASSERT_TRUE(list.Add("", "", "</x>"));
    const std::string file = list.Format();
    EXPECT_EQ(file, HEADER + S("#tag=表\r\n") + "1st=<table>\r\n1st=<tr>\r\n2nd=</tr>\r\n2nd=</table>\r\n2nd=\r\n#end\r\n"
                        "#tag=hr\r\n1st=<hr>\r\n2nd=\r\n#end\r\n#tag=\r\n1st=\r\n2nd=</x>\r\n#end\r\n");

    CUserTagList back;
    back.Parse(file);
    EXPECT_EQ(Entries(back), Entries(list));
    EXPECT_EQ(back.Format(), file);
}

TEST(UserTags, MarkersInAnyCaseAndStrayLinesOutsideEntries)
{
    CUserTagList list;
    list.Parse("garbage\n1st=lost\n#TAG=Big\n1ST=<B>\n2Nd=</B>\nnoise inside\n#End\n#end\n"
               "#tag=unfinished\n1st=x\n#tag=second\n1st=a\n1st=b\r\n#END");
    EXPECT_EQ(Entries(list), (CEntries{{"Big", "<B>", "</B>"}, {"second", "a\r\nb", ""}}));
    std::string strOpen, strClose;
    EXPECT_FALSE(list.GetEntry(2, strOpen, strClose));
}

TEST(UserTags, OnlyNinetyNineEntriesAreLoadedOrAdded)
{
    std::string file = HEADER;
    for (int i = 0; i < 120; ++i)
        file += "#tag=t" + std::to_string(i) + "\r\n1st=<" + std::to_string(i) + ">\r\n2nd=\r\n#end\r\n";
    CUserTagList list;
    list.Parse(file);
    ASSERT_EQ(list.GetCount(), USERTAG_MAX_COUNT);
    EXPECT_EQ(list.GetTitle(98), "t98");
    EXPECT_FALSE(list.Add("t", "o", "c"));
    EXPECT_EQ(list.GetCount(), USERTAG_MAX_COUNT);
}

TEST(UserTags, LoneLineBreaksInATextAreWrittenAsLinesOfTheirOwn)
{
    // A text with a bare LF or CR must not spill into a line the reader drops.
    CUserTagList list;
    list.Add("t\r\nx", "a\nb\rc", "");
    CUserTagList back;
    back.Parse(list.Format());
    EXPECT_EQ(Entries(back), (CEntries{{"t", "a\r\nb\r\nc", ""}}));
}

TEST(UserTags, EditingMovesRemovesAndReplacesEntries)
{
    CUserTagList list;
    for (const char *psz : {"a", "b", "c"})
        list.Add(psz, "1", "");
    list.Move(0, 2);
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"b", "c", "a"}));
    list.Move(2, 1);
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"b", "a", "c"}));
    list.RemoveAt(0);
    list.RemoveAt(7);
    EXPECT_TRUE(list.SetAt(1, "z", "9", "</z>"));
    EXPECT_FALSE(list.SetAt(2, "q", "", ""));
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"a", "z"}));
    CUserTagList copy;
    copy.CopyFrom(list);
    EXPECT_EQ(copy.Format(), list.Format());
}

TEST(UserTags, FilesThatAreMissingBadOrHugeLoadWhatTheyCan)
{
    CTempDir dir;
    CUserTagList list;
    list.Add("keep", "x", "");
    list.Load(dir.File("missing.ini"));
    EXPECT_EQ(list.GetCount(), 0);

    // Cut in the middle of an entry: the finished ones stay.
    WriteFileBytes(dir.File("cut.ini"), HEADER + "#tag=a\r\n1st=<a>\r\n#end\r\n#tag=b\r\n1st=<");
    list.Load(dir.File("cut.ini"));
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"a"}));

    // UTF-8 text is taken as the bytes it is.
    WriteFileBytes(dir.File("utf8.ini"), "#tag=表\n1st=<p>\n#end\n");
    list.Load(dir.File("utf8.ini"));
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"表"}));

    list.Parse(Garbage());
    EXPECT_EQ(list.GetCount(), 0);

    // Saving replaces the file and a saved list reads back the same.
    list.RemoveAll();
    list.Add(S("見出し"), "<h1>", "</h1>");
    ASSERT_TRUE(list.Save(dir.File("cut.ini")));
    EXPECT_EQ(ReadFileBytes(dir.File("cut.ini")), list.Format());
    EXPECT_FALSE(list.Save(dir.File("no/such/folder.ini")));
}

TEST(UserTags, TitleOfASelectionStopsAtTheFirstBreakAndThirtyBytes)
{
    EXPECT_EQ(UserTagTitleFromText("<b>\tbold"), "<b>");
    EXPECT_EQ(UserTagTitleFromText("abc\r\ndef"), "abc");
    EXPECT_EQ(UserTagTitleFromText(std::string(40, 'x')), std::string(30, 'x'));
    // A double-byte character that would straddle byte 30 is left out whole.
    const std::string text = std::string(29, 'x') + S("あい");
    EXPECT_EQ(UserTagTitleFromText(text), std::string(29, 'x'));
    EXPECT_EQ(UserTagTitleFromText(S("ああああああああああああああああ")).size(), 30u);
}

TEST(WebMenu, PrefixesSubmenusSeparatorsAndPairs)
{
    CWebMenuFile menu;
    menu.Parse(S("# comment\r\n\r\nno colon here\r\n見出し/\r\nh:<h1>\t</h1>;SEPARATOR;<h2>\t</h2>\r\n"
                 "/\r\n:<hr>;\r\nform/input::<input>;;\r\n"));
    const auto &items = menu.GetItems();
    // Each item as "path>path text id", a separator as "-- id".
    std::vector<std::string> aItems;
    for (const CWebMenuItem &item : items) {
        std::string str = item.bSeparator ? "--" : "";
        for (const std::string &strPart : item.aPath)
            str += strPart + ">";
        aItems.push_back(str + item.strText + " " + std::to_string(item.nID));
    }
    // "/" resets the prefix to the tag menu itself; the path ends at the
    // first colon, the rest is the item list.
    EXPECT_EQ(aItems, (std::vector<std::string>{S("見出し>h><h1>\t</h1> 8000"), S("--見出し>h> 0"), S("見出し>h><h2>\t</h2> 8001"),
                                                "<hr> 8002", "form>input>:<input> 8003"}));
    EXPECT_EQ(menu.FindItem(8002), &items[3]);
    EXPECT_EQ(menu.FindItem(8004), nullptr);
    EXPECT_EQ(menu.FindItem(7999), nullptr);

    std::string strOpen, strClose;
    EXPECT_TRUE(SplitWebMenuPair("<b>\t</b>", strOpen, strClose));
    EXPECT_EQ(strOpen + "|" + strClose, "<b>|</b>");
    EXPECT_FALSE(SplitWebMenuPair("<hr>", strOpen, strClose));
    EXPECT_EQ(strOpen + "|" + strClose, "<hr>|");
}

TEST(WebMenu, AThousandItemsStopAtNineHundredNinetyNine)
{
    std::string file = "big:";
    for (int i = 0; i < 1000; ++i)
        file += "<i" + std::to_string(i) + ">;";
    file += "\nafter:<late>\n";
    CWebMenuFile menu;
    menu.Parse(file);
    ASSERT_EQ(menu.GetItems().size(), static_cast<std::size_t>(WEBMENU_MAX_ITEMS));
    EXPECT_EQ(menu.GetItems().back().nID, 8998);
    EXPECT_EQ(menu.GetItems().back().strText, "<i998>");
}

TEST(WebMenu, BadFilesLoadWhatTheyCan)
{
    CTempDir dir;
    CWebMenuFile menu;
    menu.Load(dir.File("missing.ini"));
    EXPECT_TRUE(menu.GetItems().empty());
    WriteFileBytes(dir.File("cut.ini"), "a:<b>\t</b>;<i");
    menu.Load(dir.File("cut.ini"));
    ASSERT_EQ(menu.GetItems().size(), 2u);
    EXPECT_EQ(menu.GetItems()[1].strText, "<i");
    menu.Parse(Garbage());
    EXPECT_LE(menu.GetItems().size(), static_cast<std::size_t>(WEBMENU_MAX_ITEMS));
}

TEST(Completion, InsideATagItsAttributesOrTheTagNames)
{
    CAlignList tagAlign;
    tagAlign.Parse("# attributes\r\n\r\n TABLE :border, @width ,,cellpadding\r\nimg:src,alt\r\nnocolon\r\n");
    const CAlignList usrAlign;

    CCompletion c = FindCompletion("<p><table ", tagAlign, usrAlign);
    EXPECT_EQ(c.aItems, (std::vector<CAlignItem>{{"border", false}, {"width", true}, {"cellpadding", false}}));
    EXPECT_EQ(c.nReplaceFrom, 10);
    c = FindCompletion("x <IMG\tsrc=\"a.png\" ", tagAlign, usrAlign);
    EXPECT_EQ(c.aItems.size(), 2u);

    // A tag without a list, or a name still being typed: the tag names, the
    // typed part replaced.
    c = FindCompletion("<ta", tagAlign, usrAlign);
    ASSERT_EQ(c.aItems.size(), 75u);
    EXPECT_EQ(c.aItems[0].strText + c.aItems[74].strText, "htmlh6");
    EXPECT_EQ(c.nReplaceFrom, 1);
    c = FindCompletion("<blink ", tagAlign, usrAlign);
    EXPECT_EQ(c.aItems.size(), 75u);
    EXPECT_EQ(c.nReplaceFrom, 7);
}

TEST(Completion, TheListOpensOnTheFirstNameTheTypedPartStarts)
{
    const CAlignList tagAlign;
    const CAlignList usrAlign;
    auto current = [&](std::string_view line) {
        const CCompletion c = FindCompletion(line, tagAlign, usrAlign);
        return c.aItems.at(static_cast<std::size_t>(c.nCurrent)).strText;
    };
    // "table" comes after "html" and "body"; "textarea" long after "tt".
    // Nothing typed, nothing that fits, or a name already ended: the first.
    std::vector<std::string> aCurrent;
    for (const char *pszLine : {"<ta", "x <p><TeX", "<h3", "<", "<zz", "<ta "})
        aCurrent.push_back(current(pszLine));
    EXPECT_EQ(aCurrent, (std::vector<std::string>{"table", "textarea", "h3", "html", "html", "html"}));
}

TEST(Completion, OutsideATagTheWordBeforeTheCaretIsTheKey)
{
    const CAlignList tagAlign;
    CAlignList usrAlign;
    usrAlign.Parse(S("document:write,close\nソ:表,@裏\n"));
    CCompletion c = FindCompletion("<p>x document", tagAlign, usrAlign);
    EXPECT_EQ(c.aItems, (std::vector<CAlignItem>{{"write", false}, {"close", false}}));
    EXPECT_EQ(c.nReplaceFrom, 13);
    // A double-byte key, and items with the second icon.
    c = FindCompletion(S("<b>x ソ"), tagAlign, usrAlign);
    EXPECT_EQ(c.aItems, (std::vector<CAlignItem>{{S("表"), false}, {S("裏"), true}}));
    for (const char *pszLine : {"<b>unknown", "", "word "})
        EXPECT_TRUE(FindCompletion(pszLine, tagAlign, usrAlign).aItems.empty()) << pszLine;

    usrAlign.Parse(Garbage() + "\ndocument:ok\n");
    EXPECT_EQ(FindCompletion("document", tagAlign, usrAlign).aItems, (std::vector<CAlignItem>{{"ok", false}}));
}

TEST(ShippedMenuFiles, ReadAsTheirAuthorsMeantThem)
{
    const std::string strData = std::string(WP_SOURCE_DIR) + "/data/";
    // The user tags are written exactly as the editor writes them.
    CUserTagList tags;
    tags.Load(strData + USERTAG_FILE_NAME);
    EXPECT_GE(tags.GetCount(), 3);
    EXPECT_EQ(tags.Format(), ReadFileBytes(strData + USERTAG_FILE_NAME));

    CWebMenuFile menu;
    menu.Load(strData + WEBMENU_FILE_NAME);
    int nEntities = 0;
    for (const CWebMenuItem &item : menu.GetItems()) {
        EXPECT_FALSE(item.aPath.empty()) << item.strText;
        nEntities += item.strText == "&amp;" || item.strText == "&nbsp;" ? 1 : 0;
    }
    EXPECT_EQ(nEntities, 2);
    EXPECT_GE(menu.GetItems().size(), 100u);

    CAlignList tagAlign;
    tagAlign.Load(strData + TAGALIGN_FILE_NAME);
    const std::vector<CAlignItem> img = tagAlign.FindItems("img", true);
    EXPECT_NE(std::find(img.begin(), img.end(), CAlignItem{"loading", false}), img.end());
    EXPECT_NE(std::find(img.begin(), img.end(), CAlignItem{"class", true}), img.end());
    CAlignList usrAlign;
    usrAlign.Load(strData + USRALIGN_FILE_NAME);
    EXPECT_FALSE(FindCompletion("x = document.", tagAlign, usrAlign).aItems.empty());
}
