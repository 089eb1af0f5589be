// The settings that many parts of the program read, cached in the
// application when it starts and changed by the options sheet.
#pragma once

#include "platform/profile.h"
#include "syntax/colorsettings.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr const char *SECTION_MAIN = "Wrenpad\\Version 1.0";

struct CAppSettings
{
    int m_bUseBrowser = 1;
    std::string m_strUseBrowser;
    std::string m_strUseBrowser3;
    std::string m_strUseBrowser4;
    int m_bAutoDragOpen = 1;
    int m_bIMEModeON = 0;
    int m_bAutoEnter = 1;
    int m_bNotNewAppCreate = 1;
    int m_bTagState = 0;
    int m_bWebNoSelectTag = 0;
    int m_bWebBrEn = 0;
    int m_bWebPOnly = 1;
    // Documents whose file another program changed are read again without asking.
    int m_bAutoReload = 0;
    // The character code new documents are saved in ("SJIS", "UTF8" ...).
    std::string m_strNewFileCode = "SJIS";
    std::array<std::uint32_t, CLR_COUNT> m_crColors{};

    // The application settings loader: every cached member from the store,
    // the defaults where an entry is missing.
    void Load(const CProfileStore &store, const CSystemColors &sys);
};

// The application's cached settings.
CAppSettings &AppSettings();

// The editor font of new documents: "FontFace" (empty or missing: "Terminal")
// and "FontSize" in points (missing or negative: 14), as a cell height in
// pixels (points x 4 / 3: 14 points give 18).
struct CFontSetting
{
    std::string strFace;
    int nHeight = 18;
    int nWeight = 400;
};
CFontSetting LoadFontSetting(const CProfileStore &store);
inline constexpr int FONT_SIZE_MAX = 1000;

// The tab width of new views: "TabStop", 4 when missing or outside 0..15.
int LoadTabStop(const CProfileStore &store);
inline constexpr int TAB_STOP_MAX = 15;
