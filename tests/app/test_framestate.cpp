// The saved window placement, bar visibility and the recent-file count,
// including values a user edited by hand.
#include "app/appsettings.h"
#include "app/framestate.h"

#include <gtest/gtest.h>

namespace {

constexpr int SCREEN_W = 1280;
constexpr int SCREEN_H = 1024;

CMemoryProfileStore Saved(int nShowCmd, int nLeft, int nTop, int nRight, int nBottom)
{
    CMemoryProfileStore store;
    store.WriteInt(SECTION_MAIN, "showCmd", nShowCmd);
    store.WriteInt(SECTION_MAIN, "Wndleft", nLeft);
    store.WriteInt(SECTION_MAIN, "Wndtop", nTop);
    store.WriteInt(SECTION_MAIN, "Wndright", nRight);
    store.WriteInt(SECTION_MAIN, "Wndbottom", nBottom);
    return store;
}

std::optional<CWindowPlacement> Load(const CProfileStore &store)
{
    return LoadWindowPlacement(store, SCREEN_W, SCREEN_H, 32, 32);
}

} // namespace

TEST(FrameState, NothingOrNonsenseSavedGivesTheDefaultPlacement)
{
    EXPECT_FALSE(Load(CMemoryProfileStore()));
    EXPECT_FALSE(Load(Saved(-1, 10, 10, 500, 400)));
    EXPECT_FALSE(Load(Saved(1, -5, 10, 500, 400)));
    EXPECT_FALSE(Load(Saved(1, 10, 10, 500, -1)));
    EXPECT_FALSE(Load(Saved(1, 500, 10, 500, 400)));  // no width
    EXPECT_FALSE(Load(Saved(1, 10, 400, 500, 300)));  // upside down

    CMemoryProfileStore text = Saved(1, 10, 10, 500, 400);
    text.WriteString(SECTION_MAIN, "Wndtop", "top");
    EXPECT_FALSE(Load(text));
}

TEST(FrameState, APlacementOffTheScreenIsPulledBackKeepingItsSize)
{
    const auto p = Load(Saved(1, 5000, 3000, 5600, 3400));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->nLeft, SCREEN_W - 32);
    EXPECT_EQ(p->nTop, SCREEN_H - 32);
    EXPECT_EQ(p->nRight - p->nLeft, 600);
    EXPECT_EQ(p->nBottom - p->nTop, 400);

    const auto inside = Load(Saved(1, 100, 50, 900, 650));
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->nLeft, 100);
    EXPECT_EQ(inside->nBottom, 650);

    // Larger than the screen: cut to it, not left to overflow.
    const auto huge = Load(Saved(1, 0, 0, 2147483647, 2147483647));
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->nRight, SCREEN_W);
    EXPECT_EQ(huge->nBottom, SCREEN_H);
}

TEST(FrameState, OnlyMaximisedSurvivesAsAShowState)
{
    EXPECT_EQ(Load(Saved(SW_SHOWMINIMIZED, 10, 10, 500, 400))->nShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(Load(Saved(SW_SHOWMAXIMIZED, 10, 10, 500, 400))->nShowCmd, SW_SHOWMAXIMIZED);
    EXPECT_EQ(Load(Saved(0, 10, 10, 500, 400))->nShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(Load(Saved(99, 10, 10, 500, 400))->nShowCmd, SW_SHOWNORMAL);
}

TEST(FrameState, PlacementAndBarsRoundTrip)
{
    CMemoryProfileStore store;
    SaveWindowPlacement(store, CWindowPlacement{SW_SHOWMAXIMIZED, 20, 30, 820, 630});
    const auto p = Load(store);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->nShowCmd, SW_SHOWMAXIMIZED);
    EXPECT_EQ(p->nLeft, 20);
    EXPECT_EQ(p->nBottom, 630);
    EXPECT_TRUE(store.HasEntry(SECTION_MAIN, "flags"));

    const CBarVisibility none = LoadBarVisibility(CMemoryProfileStore());
    EXPECT_FALSE(none.bStdToolBar || none.bWebToolBar || none.bToolBar2 || none.bStatusBar || none.bFileTabBar);

    CBarVisibility bars;
    bars.bStatusBar = true;
    bars.bFileTabBar = true;
    SaveBarVisibility(store, bars);
    EXPECT_EQ(store.GetInt(SECTION_MAIN, "FileTabBar", 0), 0x10000000);
    EXPECT_EQ(store.GetInt(SECTION_MAIN, "StatusBar", 0), 1);
    const CBarVisibility back = LoadBarVisibility(store);
    EXPECT_TRUE(back.bStatusBar && back.bFileTabBar);
    EXPECT_FALSE(back.bStdToolBar || back.bWebToolBar || back.bToolBar2);
}

TEST(FrameState, RecentFileCountOutsideItsRangeIsFour)
{
    CMemoryProfileStore store;
    EXPECT_EQ(LoadMruCount(store), 4);
    for (const auto &[strValue, nExpected] : std::vector<std::pair<std::string, int>>{
             {"17", 4}, {"-1", 4}, {"0", 0}, {"16", 16}, {"9", 9}, {"many", 4}}) {
        store.WriteString(SECTION_MAIN, "MRUCount", strValue);
        EXPECT_EQ(LoadMruCount(store), nExpected) << strValue;
    }
}
