// The colour settings of the views: their entries, the colour index each sets,
// and their defaults. The options sheet, the views and the coloured copy of a
// text as HTML all take them from here.
#pragma once

#include <cstdint>

// The 14 colour settings, in the order the options sheet writes them.
enum EColorSetting
{
    CLR_PREPRO,
    CLR_TAG,
    CLR_TAGOPTION,
    CLR_NUMBER,
    CLR_COMMENT,
    CLR_KEYWORD,
    CLR_KEYWORD2,
    CLR_OPERATOR,
    CLR_STRING,
    CLR_SELBKGND,
    CLR_SELTEXT,
    CLR_NORMALTEXT,
    CLR_SELMARGIN,
    CLR_BKGND,
    CLR_COUNT
};

struct CColorSettingInfo
{
    const char *pszEntry;  // the settings entry, "clPrepro" ...
    int nColorIndex;       // the view's colour index it sets
};
const CColorSettingInfo &ColorSettingInfo(int nSetting);

// The system colours the defaults of three colour settings follow. Colours here
// and in m_crColors are 0x00BBGGRR, as the settings store them.
struct CSystemColors
{
    std::uint32_t crWindowText = 0x000000;
    std::uint32_t crWindow = 0xFFFFFF;
    std::uint32_t crScrollBar = 0xC8C8C8;
};

// The default of a colour setting.
std::uint32_t DefaultColor(int nSetting, const CSystemColors &sys);
