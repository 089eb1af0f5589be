// File-name patterns and the extension lists made of them.
#include "search/tagjump.h"
#include "search/wildcard.h"

#include <gtest/gtest.h>

TEST(Wildcard, StarsQuestionMarksAndCase)
{
    EXPECT_TRUE(MatchWildcard("*.txt", "A.TXT"));
    EXPECT_TRUE(MatchWildcard("*.*", "Makefile"));
    EXPECT_TRUE(MatchWildcard("a?c.h", "a\xE3\x81\x82" "c.h"));  // ? is one character, not one byte
    EXPECT_FALSE(MatchWildcard("a?c.h", "ac.h"));
    EXPECT_TRUE(MatchWildcard("*a*b*", "xxaxxbxx"));
    EXPECT_FALSE(MatchWildcard("*a*b", "xxaxxbxx"));
    EXPECT_FALSE(MatchWildcard("*.txt", "a.tx"));
}

TEST(Wildcard, AThreeLetterExtensionAlsoMatchesLongerOnesThatBeginWithIt)
{
    // As the short names of long file names made them match.
    EXPECT_TRUE(MatchWildcard("*.htm", "page.html"));
    EXPECT_TRUE(MatchWildcard("*.htm", "page.htm"));
    EXPECT_TRUE(MatchWildcard("*.HTM", "PAGE.Html"));
    EXPECT_TRUE(MatchWildcard("*.htm", "page.htmx"));
    EXPECT_TRUE(MatchWildcard("ind*.htm", "index.html"));
    EXPECT_TRUE(MatchWildcard("*.jpe", "photo.jpeg"));
    EXPECT_TRUE(MatchWildcard("*.txt", "notes.txt~"));  // a backup's short name was NOTES~1.TXT
    // Only the last extension counts, and it must begin with the three.
    EXPECT_FALSE(MatchWildcard("*.htm", "page.html.bak"));
    EXPECT_FALSE(MatchWildcard("*.htm", "page.hta"));
    EXPECT_FALSE(MatchWildcard("*.htm", "html"));
    EXPECT_FALSE(MatchWildcard("a*.htm", "index.html"));
    // Shorter extensions keep their exact meaning.
    EXPECT_FALSE(MatchWildcard("*.h", "x.hpp"));
    EXPECT_FALSE(MatchWildcard("*.pl", "x.plx"));
    EXPECT_FALSE(MatchWildcard("*.c", "x.cpp"));
    // So do extensions with a wildcard of their own.
    EXPECT_FALSE(MatchWildcard("*.ht?", "page.html"));
    EXPECT_TRUE(MatchWildcard("*.ht?", "page.htm"));
    EXPECT_TRUE(MatchWildcard("*.ht*", "page.html"));
    // Characters, not bytes: three kana are an extension of three.
    EXPECT_TRUE(MatchWildcard("*.\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86", "x.\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86\xE3\x81\x88"));
    EXPECT_FALSE(MatchWildcard("*.\xE3\x81\x82\xE3\x81\x84", "x.\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86"));
}

TEST(Wildcard, ExtensionListsMatchAnyCaseAndToleranceOfHowTheyAreTyped)
{
    const CExtensionList list(" TXT;html ; *.c;.pl;;");
    EXPECT_FALSE(list.IsEmpty());
    EXPECT_TRUE(list.Matches("readme.txt"));
    EXPECT_TRUE(list.Matches("INDEX.HTML"));
    EXPECT_TRUE(list.Matches("main.c"));
    EXPECT_TRUE(list.Matches("cgi.PL"));
    EXPECT_FALSE(list.Matches("main.cpp"));
    EXPECT_FALSE(list.Matches("notes.txt.gz"));
    EXPECT_FALSE(list.Matches("txt"));
    EXPECT_FALSE(list.Matches("Makefile"));
    // An entry may carry wildcards of its own.
    EXPECT_TRUE(CExtensionList("ht*").Matches("page.htm"));
    EXPECT_TRUE(CExtensionList("ht*").Matches("page.html"));
    // A three-letter entry also takes the longer extensions it begins, as
    // stored lists such as "txt;htm" have always been read; a longer entry
    // does not work backwards.
    EXPECT_TRUE(CExtensionList("txt;htm").Matches("index.HTML"));
    EXPECT_TRUE(CExtensionList("htm").Matches("page.htmx"));
    EXPECT_FALSE(CExtensionList("html").Matches("page.htm"));
    EXPECT_FALSE(CExtensionList("htm").Matches("page.ht"));
    // Empty lists, however typed, match nothing (the callers decide what that means).
    for (const char *pszEmpty : {"", ";", " ; ;", "*."}) {
        EXPECT_TRUE(CExtensionList(pszEmpty).IsEmpty()) << pszEmpty;
        EXPECT_FALSE(CExtensionList(pszEmpty).Matches("a.txt")) << pszEmpty;
    }
    // The editor's open-under-cursor decides by the same rule.
    EXPECT_TRUE(HasExtensionIn("/site/a.js", "txt;j*"));
}
