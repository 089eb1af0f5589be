#include "app/framestate.h"

#include "app/appsettings.h"

#include <algorithm>

namespace {

// How the tab bar's visibility is stored: the window's visible-style bit.
constexpr int WS_VISIBLE_BIT = 0x10000000;

} // namespace

std::optional<CWindowPlacement> LoadWindowPlacement(const CProfileStore &store, int nScreenWidth,
                                                    int nScreenHeight, int nIconWidth, int nIconHeight)
{
    const int nShowCmd = store.GetInt(SECTION_MAIN, "showCmd", -1);
    if (nShowCmd == -1)
        return std::nullopt;
    CWindowPlacement p;
    p.nLeft = store.GetInt(SECTION_MAIN, "Wndleft", -1);
    p.nTop = store.GetInt(SECTION_MAIN, "Wndtop", -1);
    p.nRight = store.GetInt(SECTION_MAIN, "Wndright", -1);
    p.nBottom = store.GetInt(SECTION_MAIN, "Wndbottom", -1);
    if (p.nLeft < 0 || p.nTop < 0 || p.nRight < 0 || p.nBottom < 0)
        return std::nullopt;
    if (p.nRight <= p.nLeft || p.nBottom <= p.nTop)
        return std::nullopt;

    // Measured before the corner moves, so that the size is kept.
    const int nWidth = std::min(p.nRight - p.nLeft, std::max(nScreenWidth, 1));
    const int nHeight = std::min(p.nBottom - p.nTop, std::max(nScreenHeight, 1));
    if (p.nLeft >= nScreenWidth - nIconWidth)
        p.nLeft = std::max(0, nScreenWidth - nIconWidth);
    if (p.nTop >= nScreenHeight - nIconHeight)
        p.nTop = std::max(0, nScreenHeight - nIconHeight);
    p.nRight = p.nLeft + nWidth;
    p.nBottom = p.nTop + nHeight;
    // Any state but maximised (hidden, minimised, the odd values) opens normal.
    p.nShowCmd = nShowCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    return p;
}

void SaveWindowPlacement(CProfileStore &store, const CWindowPlacement &placement, int nFlags)
{
    store.WriteInt(SECTION_MAIN, "flags", nFlags);
    store.WriteInt(SECTION_MAIN, "showCmd", placement.nShowCmd);
    store.WriteInt(SECTION_MAIN, "Wndleft", placement.nLeft);
    store.WriteInt(SECTION_MAIN, "Wndtop", placement.nTop);
    store.WriteInt(SECTION_MAIN, "Wndright", placement.nRight);
    store.WriteInt(SECTION_MAIN, "Wndbottom", placement.nBottom);
}

CBarVisibility LoadBarVisibility(const CProfileStore &store)
{
    CBarVisibility bars;
    bars.bStdToolBar = store.GetInt(SECTION_MAIN, "StdToolBar", 0) != 0;
    bars.bWebToolBar = store.GetInt(SECTION_MAIN, "WebToolBar1", 0) != 0;
    bars.bToolBar2 = store.GetInt(SECTION_MAIN, "ToolBar2", 0) != 0;
    bars.bStatusBar = store.GetInt(SECTION_MAIN, "StatusBar", 0) != 0;
    bars.bFileTabBar = store.GetInt(SECTION_MAIN, "FileTabBar", 0) != 0;
    return bars;
}

void SaveBarVisibility(CProfileStore &store, const CBarVisibility &bars)
{
    store.WriteInt(SECTION_MAIN, "StdToolBar", bars.bStdToolBar ? 1 : 0);
    store.WriteInt(SECTION_MAIN, "WebToolBar1", bars.bWebToolBar ? 1 : 0);
    store.WriteInt(SECTION_MAIN, "ToolBar2", bars.bToolBar2 ? 1 : 0);
    store.WriteInt(SECTION_MAIN, "StatusBar", bars.bStatusBar ? 1 : 0);
    store.WriteInt(SECTION_MAIN, "FileTabBar", bars.bFileTabBar ? WS_VISIBLE_BIT : 0);
}

int LoadMruCount(const CProfileStore &store)
{
    const int nCount = store.GetInt(SECTION_MAIN, "MRUCount", 4);
    return (nCount < 0 || nCount > MRU_COUNT_MAX) ? 4 : nCount;
}
