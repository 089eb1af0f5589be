#include "res/toolbars.h"

#include <iterator>

namespace {

constexpr int TOOLBAR_128[] = {57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 57643, 57644, 0,
                               57636, 401, 309, 37223, 0, 1270, 1237, 4010, 4011, 4012, 1224, 1244};
constexpr int TOOLBAR_170[] = {57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 57643, 57644, 0, 57636,
                               401, 309, 0, 37223, 37224, 37225, 37226, 0, 171, 172, 173, 174};
constexpr int TOOLBAR_210[] = {4044, 0, 1251, 1227, 1228, 1229, 1230, 1245, 0, 1234, 1235,
                               1236, 1239, 1283, 0, 1231, 1232, 1233, 0, 1240, 1242, 1241};

constexpr CToolBarResource TOOLBARS[] = {
    {IDR_TOOLBAR_STANDARD, "標準ﾂｰﾙﾊﾞｰ", TOOLBAR_128, std::size(TOOLBAR_128)},
    {IDR_TOOLBAR_EDIT, "標準ﾂｰﾙﾊﾞｰ2", TOOLBAR_170, std::size(TOOLBAR_170)},
    {IDR_TOOLBAR_WEB, "Webﾂｰﾙﾊﾞｰ", TOOLBAR_210, std::size(TOOLBAR_210)},
};

// The line-end pane (37902) stands beside the position pane: documents keep
// their own line ends when saved, so the mode is worth seeing.
constexpr CStatusPane STATUS_PANES[] = {
    {0, "", ""},
    {37903, "", "============"},
    {37902, "", "========"},
    {59140, "上書", "上書"},
    {37901, "書禁", "書禁"},
    {59143, "ﾀｸﾞ記憶", "ﾀｸﾞ記憶"},
    {59142, "ｶﾅ", "ｶﾅ"},
    {59137, "CAP", "CAP"},
    {59138, "NUM", "NUM"},
    {59139, "SCRL", "SCRL"},
};

constexpr CStatusPaneTable STATUS_PANE_TABLE = {STATUS_PANES, std::size(STATUS_PANES)};

} // namespace

const CToolBarResource *FindToolBarResource(int nID)
{
    for (const CToolBarResource &bar : TOOLBARS)
        if (bar.nID == nID)
            return &bar;
    return nullptr;
}

const CStatusPaneTable &StatusPanes()
{
    return STATUS_PANE_TABLE;
}
