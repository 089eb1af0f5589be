// What the main window keeps between sessions: its placement, which bars
// are shown, and the length of the recent-file list.
#pragma once

#include "platform/profile.h"

#include <optional>

enum
{
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
};

struct CWindowPlacement
{
    int nShowCmd = SW_SHOWNORMAL;
    int nLeft = 0;
    int nTop = 0;
    int nRight = 0;
    int nBottom = 0;
};

// The saved placement, pulled back onto the screen, or none when the default
// placement is to be used (nothing saved, or a value that makes no rectangle).
// A window saved minimised comes back normal; one that is larger than the
// screen is cut to the screen's size.
std::optional<CWindowPlacement> LoadWindowPlacement(const CProfileStore &store, int nScreenWidth,
                                                    int nScreenHeight, int nIconWidth, int nIconHeight);
void SaveWindowPlacement(CProfileStore &store, const CWindowPlacement &placement, int nFlags = 0);

struct CBarVisibility
{
    bool bStdToolBar = false;
    bool bWebToolBar = false;
    bool bToolBar2 = false;
    bool bStatusBar = false;
    bool bFileTabBar = false;

    friend bool operator==(const CBarVisibility &, const CBarVisibility &) = default;
};
CBarVisibility LoadBarVisibility(const CProfileStore &store);
void SaveBarVisibility(CProfileStore &store, const CBarVisibility &bars);

// The number of recent files: "MRUCount", 4 when missing or outside 0..16.
int LoadMruCount(const CProfileStore &store);
inline constexpr int MRU_COUNT_MAX = 16;
