// The recent-file list: order, length, duplicates and what the settings keep.
#include "app/recentfiles.h"

#include <gtest/gtest.h>

TEST(RecentFiles, LatestFirstWithoutDuplicatesUpToTheSize)
{
    CRecentFileList list(3);
    for (const char *psz : {"/a", "/b", "/c", "/d"})
        list.Add(psz);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/d", "/c", "/b"}));
    list.Add("/b");
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/b", "/d", "/c"}));
    list.Add("");
    EXPECT_EQ(list.GetSize(), 3);
    list.Remove(1);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/b", "/c"}));
    list.Remove(7);
    EXPECT_EQ(list.GetSize(), 2);
}

TEST(RecentFiles, ASizeOfZeroKeepsNothing)
{
    CRecentFileList list(0);
    list.Add("/a");
    EXPECT_EQ(list.GetSize(), 0);
    CMemoryProfileStore store;
    list.WriteList(store);
    EXPECT_FALSE(store.HasEntry(SECTION_RECENT_FILES, "File1"));
}

TEST(RecentFiles, SettingsRoundTripAndClearedSlots)
{
    CMemoryProfileStore store;
    CRecentFileList list(4);
    list.Add("/w/one.html");
    list.Add("/w/two.txt");
    list.WriteList(store);
    EXPECT_EQ(store.GetString(SECTION_RECENT_FILES, "File1", ""), "/w/two.txt");
    EXPECT_EQ(store.GetString(SECTION_RECENT_FILES, "File3", "x"), "");

    CRecentFileList back(4);
    back.ReadList(store);
    EXPECT_EQ(back.Paths(), list.Paths());

    list.RemoveAll();
    list.WriteList(store);
    back.ReadList(store);
    EXPECT_EQ(back.GetSize(), 0);

    // A list edited by hand: gaps and repeats are skipped; a shorter list reads less.
    store.WriteString(SECTION_RECENT_FILES, "File1", "/x");
    store.WriteString(SECTION_RECENT_FILES, "File2", "");
    store.WriteString(SECTION_RECENT_FILES, "File3", "/x");
    store.WriteString(SECTION_RECENT_FILES, "File4", "/y");
    back.ReadList(store);
    EXPECT_EQ(back.Paths(), (std::vector<std::string>{"/x", "/y"}));
    CRecentFileList two(2);
    two.ReadList(store);
    EXPECT_EQ(two.Paths(), (std::vector<std::string>{"/x"}));
}
