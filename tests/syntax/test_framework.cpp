// The pieces shared by every routine: keyword lists and lookups, the number
// tests, the block rule, view types and the view-level parse entry.
#include "syntax/keywords.h"
#include "syntax/parse.h"
#include "syntax/viewtype.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(KeywordLists, TheRoutinesLookupsAgreeWithTheLists)
{
    struct { const char *const *ppszList; bool bMatchCase; bool (*pfnLookup)(const char *, int); } const aLists[] = {
        {g_apszCppKeywords, true, IsCppKeyword},         {g_apszCppKeywords2, true, IsCppKeyword2},
        {g_apszVBKeywords, false, IsVBKeyword},          {g_apszPerlKeywords, true, IsPerlKeyword},
        {g_apszPascalKeywords, false, IsPascalKeyword},  {g_apszHtmlTagNames, false, IsHtmlTagName},
        {g_apszHtmlAttributeNames, false, IsHtmlAttributeName},
    };
    // Every entry of every list as a word, in other cases, cut short and lengthened.
    std::vector<std::string> aWords;
    for (const auto &list : aLists) {
        for (const char *const *pp = list.ppszList; *pp != nullptr; ++pp) {
            std::string strWord = *pp;
            aWords.push_back(strWord);
            aWords.push_back(strWord + "x");
            aWords.push_back(strWord.substr(0, strWord.size() - 1));
            for (char &c : strWord)
                c = static_cast<char>(c ^ (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') ? 0x20 : 0));
            aWords.push_back(strWord);
        }
    }
    for (const auto &list : aLists) {
        int nFound = 0;
        for (const std::string &strWord : aWords) {
            const int n = static_cast<int>(strWord.size());
            const bool bFound = list.pfnLookup(strWord.data(), n);
            EXPECT_EQ(bFound, IsKeywordInList(list.ppszList, strWord.data(), n, list.bMatchCase))
                << strWord;
            nFound += bFound ? 1 : 0;
        }
        EXPECT_GE(nFound, KeywordListSize(list.ppszList));
    }
    // The colour lookups: the first list that holds a word gives its colour.
    for (const std::string &strWord : aWords) {
        const char *p = strWord.data();
        const int n = static_cast<int>(strWord.size());
        auto colorOf = [&](const char *const *ppszFirst, int nFirst, const char *const *ppszSecond, int nSecond,
                           bool bMatchCase) {
            return IsKeywordInList(ppszFirst, p, n, bMatchCase)                               ? nFirst
                   : ppszSecond != nullptr && IsKeywordInList(ppszSecond, p, n, bMatchCase) ? nSecond
                                                                                            : 0;
        };
        EXPECT_EQ(CppKeywordColor(p, n),
                  colorOf(g_apszCppKeywords, COLORINDEX_KEYWORD, g_apszCppKeywords2, COLORINDEX_KEYWORD2, true))
            << strWord;
        EXPECT_EQ(HtmlNameColor(p, n), colorOf(g_apszHtmlTagNames, COLORINDEX_TAG, g_apszHtmlAttributeNames,
                                               COLORINDEX_TAGOPTION, false))
            << strWord;
        EXPECT_EQ(VBKeywordColor(p, n), colorOf(g_apszVBKeywords, COLORINDEX_KEYWORD, nullptr, 0, false)) << strWord;
        EXPECT_EQ(PerlKeywordColor(p, n), colorOf(g_apszPerlKeywords, COLORINDEX_KEYWORD, nullptr, 0, true))
            << strWord;
        EXPECT_EQ(PascalKeywordColor(p, n), colorOf(g_apszPascalKeywords, COLORINDEX_KEYWORD, nullptr, 0, false))
            << strWord;
    }
}

TEST(ColorBlocks, AreDroppedWhenTheyGoBackwardsOrDoNotFit)
{
    ColorBlock aBuf[3];
    int nItems = 0;
    AddColorBlock(aBuf, nItems, 3, 4, COLORINDEX_KEYWORD);
    AddColorBlock(aBuf, nItems, 3, 2, COLORINDEX_STRING);   // backwards: dropped
    AddColorBlock(aBuf, nItems, 3, 4, COLORINDEX_COMMENT);  // same place: kept, wins
    AddColorBlock(aBuf, nItems, 3, 5, COLORINDEX_NUMBER);
    AddColorBlock(aBuf, nItems, 3, 6, COLORINDEX_NUMBER);   // no room left
    ASSERT_EQ(nItems, 3);
    EXPECT_EQ(aBuf[1].nCharPos, 4);
    EXPECT_EQ(aBuf[1].nColorIndex, COLORINDEX_COMMENT);
    EXPECT_EQ(aBuf[2].nCharPos, 5);

    int nNone = 0;
    AddColorBlock(nullptr, nNone, 3, 0, COLORINDEX_KEYWORD);
    EXPECT_EQ(nNone, 0);
}

TEST(ViewTypes, CommandsMapToTypesAndBack)
{
    const int anExpected[] = {7, 0, 1, 2, 3, 5, 6, 4, 7, 7};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(ViewTypeFromCommand(1700 + i), anExpected[i]) << 1700 + i;
    EXPECT_EQ(ViewTypeFromCommand(1699), -1);
    EXPECT_EQ(ViewTypeFromCommand(1710), -1);

    const int anCommand[] = {1701, 1702, 1703, 1704, 1707, 1705, 1706, 1700};
    for (int nType = 0; nType < VIEWTYPE_COUNT; ++nType) {
        EXPECT_EQ(CommandFromViewType(nType), anCommand[nType]);
        for (int nId = 1700; nId <= 1709; ++nId)
            EXPECT_EQ(IsViewTypeCommandChecked(nId, nType), nId == anCommand[nType]);
    }
    EXPECT_EQ(CommandFromViewType(8), 0);
    EXPECT_FALSE(IsViewTypeCommandChecked(0, 8));
}

TEST(ViewTypes, ComeFromTheFileNameExtension)
{
    const std::pair<const char *, int> aCases[] = {
        {"/home/u/index.HTML", VIEWTYPE_HTML},   {"page.htm", VIEWTYPE_HTML},
        {"/src/a.c", VIEWTYPE_CPP},              {"Main.Java", VIEWTYPE_CPP},
        {"app.rc", VIEWTYPE_CPP},                {"x.js", VIEWTYPE_CPP},
        {"Form1.frm", VIEWTYPE_VB},              {"default.asp", VIEWTYPE_VB},
        {"/cgi-bin/bbs.cgi", VIEWTYPE_PERL},     {"lib/Site/Util.pm", VIEWTYPE_PERL},
        {"unit1.pas", VIEWTYPE_PASCAL},          {"a.cc", VIEWTYPE_STANDARD},
        {"archive.tar.gz", VIEWTYPE_STANDARD},   {"/home/u/site.html/README", VIEWTYPE_STANDARD},
        {"dir.c\\name", VIEWTYPE_STANDARD},     {"notes.html.", VIEWTYPE_STANDARD},
        {"/u/.pas", VIEWTYPE_PASCAL},            {"", VIEWTYPE_STANDARD},
    };
    for (const auto &[pszPath, nType] : aCases)
        EXPECT_EQ(ViewTypeFromPath(pszPath), nType) << pszPath;
}

TEST(ViewTypes, AnUnnamedTextIsHtmlWhenItBeginsAsAPage)
{
    // Not a page: another tag, a longer name, text or a full-width blank first.
    const std::pair<const char *, int> aCases[] = {
        {"<!DOCTYPE html>\r\n<html>", VIEWTYPE_HTML},  {" \t\r\n\r\n<!doctype HTML PUBLIC", VIEWTYPE_HTML},
        {"<HTML lang=\"ja\">", VIEWTYPE_HTML},         {"<html>", VIEWTYPE_HTML},
        {"\n<html", VIEWTYPE_HTML},                     {"<p>text</p>", VIEWTYPE_STANDARD},
        {"<htmlx>", VIEWTYPE_STANDARD},                 {"a <html>", VIEWTYPE_STANDARD},
        {"\x81\x40<html>", VIEWTYPE_STANDARD},          {"<!DOCTYP", VIEWTYPE_STANDARD},
        {"   ", VIEWTYPE_STANDARD},                     {"", VIEWTYPE_STANDARD},
    };
    for (const auto &[pszText, nType] : aCases)
        EXPECT_EQ(ViewTypeFromText(pszText), nType) << pszText;
}
