#include "platform/pathnames.h"

#include <gtest/gtest.h>

TEST(PathNames, PathsJoinAndSplitAtTheRoot)
{
    EXPECT_EQ(JoinPath("/", "a"), "/a");
    EXPECT_EQ(JoinPath("/home/u", "a b"), "/home/u/a b");
    EXPECT_EQ(JoinPath("/home/u/", "a"), "/home/u/a");
    EXPECT_EQ(ParentPath("/a"), "/");
    EXPECT_EQ(ParentPath("/a/b/"), "/a");
    EXPECT_EQ(ParentPath("/"), "");
    EXPECT_EQ(BaseName("/a/b.txt"), "b.txt");
    EXPECT_EQ(BaseName("/a/b/"), "b");
    EXPECT_EQ(BaseName("/"), "/");
}
