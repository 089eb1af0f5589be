// The stored text histories of the search dialogs.
#include "search/history.h"

#include <gtest/gtest.h>

TEST(SearchHistory, AnEntryMovesToTheTopAndTheListIsCut)
{
    std::vector<std::string> a = SplitHistory("b\nc\n\nd\n");
    EXPECT_EQ(a, (std::vector<std::string>{"b", "c", "d"}));
    PushHistory(a, "c", 3);
    EXPECT_EQ(JoinHistory(a, false), "c\nb\nd");
    PushHistory(a, "e", 3);
    EXPECT_EQ(JoinHistory(a, true), "e\nc\nb\n");
    PushHistory(a, "", 3);
    EXPECT_EQ(a.size(), 3u);
    EXPECT_TRUE(SplitHistory("").empty());
}
