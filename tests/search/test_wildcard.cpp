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
