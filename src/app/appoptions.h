// The values of the options sheet: filled from the settings and the cached
// members when the sheet opens, written back in one go when it is accepted.
#pragma once

#include "app/appsettings.h"

#include <array>
#include <string>
#include <vector>

struct COptionsData
{
    // General page.
    bool bOpenNewFile = true;
    bool bOpenFileMax = true;
    bool bRestoreSession = false;
    bool bAutoDragOpen = true;
    bool bAutoEnter = true;
    bool bShowSplash = true;
    bool bIMEModeON = false;
    bool bNotNewAppCreate = false;
    int nMRUCount = 4;
    std::string strNowDate;
    std::string strUseWrenpadExtension;
    bool bUseWpShMenu = false;
    bool bShowTrayIcon = false;
    bool bAutoReload = false;
    // The character code of new documents, by its tag ("SJIS", "UTF8" ...).
    std::string strNewFileCode = "SJIS";

    // Web page.
    bool bTagState = false;
    bool bWebNoSelectTag = false;
    bool bWebBrEn = false;
    bool bWebPOnly = true;
    std::string strUseBrowser;
    std::string strUseBrowser3;
    std::string strUseBrowser4;
    bool bAutoTempoBrowse = false;
    // The browser bar follows the text as it is typed ("入力中に自動更新").
    bool bPreviewAutoUpdate = false;

    // Display page.
    std::array<std::uint32_t, CLR_COUNT> crColors{};
    bool bViewTab = false;
    bool bViewReturn = false;
    bool bViewZenSpace = false;

    // The registry where the sheet reads it, the cached members elsewhere.
    void Load(const CProfileStore &store, const CAppSettings &settings);
    // Writes every value in the sheet's order and updates the cached members.
    // The shell-menu and tray-icon flags are written by the caller, which acts
    // on them too.
    void Save(CProfileStore &store, CAppSettings &settings) const;
};

// The setting of "入力中に自動更新" on the web page.
inline constexpr const char *PREVIEW_AUTO_UPDATE_ENTRY = "bPreviewAutoUpdate";

inline constexpr const char *DEFAULT_WRENPAD_EXTENSIONS = "txt;html;htm;c;cpp;java;h;pl";

// Whether the text typed as the number of recent files is acceptable: an
// unsigned number from 0 to 16.
bool IsValidMruCountText(const std::string &strText, int &nCount);

// The date formats the general page offers.
const std::vector<std::string> &DateFormatChoices();

// The two preset colour columns of the display page ("初期設定" and "DOS風").
enum EColorPreset
{
    PRESET_DEFAULT,
    PRESET_DOS,
};
std::uint32_t PresetColor(EColorPreset ePreset, int nSetting, const CSystemColors &sys);
