// The saved window placement, bar visibility and the recent-file count,
// including values a user edited by hand.
#include "app/appsettings.h"
#include "app/framestate.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int SCREEN_W = 1280;
constexpr int SCREEN_H = 1024;

CMemoryProfileStore Saved(int nShowCmd, int nLeft, int nTop, int nRight, int nBottom)
{
    CMemoryProfileStore store;
    for (const auto &[pszEntry, nValue] : {std::pair{"showCmd", nShowCmd}, {"Wndleft", nLeft}, {"Wndtop", nTop},
                                           {"Wndright", nRight}, {"Wndbottom", nBottom}})
        store.WriteInt(SECTION_MAIN, pszEntry, nValue);
    return store;
}

// Show state, left, top, right and bottom.
std::vector<int> Fields(const std::optional<CWindowPlacement> &p)
{
    return p ? std::vector<int>{p->nShowCmd, p->nLeft, p->nTop, p->nRight, p->nBottom} : std::vector<int>{};
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
    EXPECT_EQ(Fields(Load(Saved(1, 5000, 3000, 5600, 3400))),
              (std::vector<int>{1, SCREEN_W - 32, SCREEN_H - 32, SCREEN_W - 32 + 600, SCREEN_H - 32 + 400}));
    EXPECT_EQ(Fields(Load(Saved(1, 100, 50, 900, 650))), (std::vector<int>{1, 100, 50, 900, 650}));
    // Larger than the screen: cut to it, not left to overflow.
    const auto huge = Load(Saved(1, 0, 0, 2147483647, 2147483647));
    ASSERT_TRUE(huge);
    EXPECT_EQ(std::make_pair(huge->nRight, huge->nBottom), std::make_pair(SCREEN_W, SCREEN_H));
}

TEST(FrameState, OnlyMaximisedSurvivesAsAShowState)
{
    for (const int nSaved : {int(SW_SHOWMINIMIZED), int(SW_SHOWMAXIMIZED), 0, 99})
        EXPECT_EQ(Fields(Load(Saved(nSaved, 10, 10, 500, 400))).at(0),
                  nSaved == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL)
            << nSaved;
}

TEST(FrameState, PlacementAndBarsRoundTrip)
{
    CMemoryProfileStore store;
    SaveWindowPlacement(store, CWindowPlacement{SW_SHOWMAXIMIZED, 20, 30, 820, 630});
    EXPECT_EQ(Fields(Load(store)), (std::vector<int>{SW_SHOWMAXIMIZED, 20, 30, 820, 630}));
    EXPECT_TRUE(store.HasEntry(SECTION_MAIN, "flags"));

    const CBarVisibility none = LoadBarVisibility(CMemoryProfileStore());
    EXPECT_FALSE(none.bStdToolBar || none.bWebToolBar || none.bToolBar2 || none.bStatusBar || none.bFileTabBar);

    CBarVisibility bars;
    bars.bStatusBar = true;
    bars.bFileTabBar = true;
    SaveBarVisibility(store, bars);
    EXPECT_EQ(std::make_pair(store.GetInt(SECTION_MAIN, "FileTabBar", 0), store.GetInt(SECTION_MAIN, "StatusBar", 0)),
              std::make_pair(0x10000000, 1));
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
