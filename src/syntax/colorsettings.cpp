#include "syntax/colorsettings.h"

#include <array>

namespace {

constexpr std::array<CColorSettingInfo, CLR_COUNT> COLOR_SETTINGS = {{
    {"clPrepro", 11},
    {"clTag", 18},
    {"clTagOption", 19},
    {"clNumber", 8},
    {"clComment", 7},
    {"clKeyword", 6},
    {"clKeyword2", 22},
    {"clOperator", 9},
    {"clString", 10},
    {"clSelBkGng", 4},
    {"clSelText", 5},
    {"clNormalText", 2},
    {"clSelMargin", 3},
    {"clBkGnd", 1},
}};

} // namespace

const CColorSettingInfo &ColorSettingInfo(int nSetting)
{
    return COLOR_SETTINGS[static_cast<std::size_t>(nSetting)];
}

std::uint32_t DefaultColor(int nSetting, const CSystemColors &sys)
{
    switch (nSetting) {
    case CLR_PREPRO:
        return 0x808000;
    case CLR_TAG:
        return 0x008000;
    case CLR_TAGOPTION:
        return 0x008080;
    case CLR_NUMBER:
        return 0x000080;
    case CLR_COMMENT:
        return 0x008000;
    case CLR_KEYWORD:
        return 0xC60000;
    case CLR_KEYWORD2:
        return 0x800000;
    case CLR_OPERATOR:
        return 0x808080;
    case CLR_STRING:
        return 0x000040;
    case CLR_SELBKGND:
        return 0x000000;
    case CLR_SELTEXT:
        return 0xFFFFFF;
    case CLR_NORMALTEXT:
        return sys.crWindowText;
    case CLR_SELMARGIN:
        return sys.crScrollBar;
    default:
        return sys.crWindow;
    }
}
