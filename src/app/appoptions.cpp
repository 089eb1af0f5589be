#include "app/appoptions.h"

namespace {

bool Flag(const CProfileStore &store, const char *pszEntry, int nDefault)
{
    return store.GetInt(SECTION_MAIN, pszEntry, nDefault) != 0;
}

void WriteFlag(CProfileStore &store, const char *pszEntry, bool bValue)
{
    store.WriteInt(SECTION_MAIN, pszEntry, bValue ? 1 : 0);
}

} // namespace

void COptionsData::Load(const CProfileStore &store, const CAppSettings &settings)
{
    bOpenNewFile = Flag(store, "bOpenNewFile", 1);
    bOpenFileMax = Flag(store, "bOpenFileMax", 1);
    bRestoreSession = Flag(store, "bRestoreSession", 0);
    strNowDate = store.GetString(SECTION_MAIN, "strNowDate", "");
    nMRUCount = store.GetInt(SECTION_MAIN, "MRUCount", 4);
    if (nMRUCount < 0 || nMRUCount > 16)
        nMRUCount = 4;
    bShowSplash = Flag(store, "bShowSplash", 1);
    // Missing, the entry means one instance at start-up: the sheet shows the
    // same, so that OK does not quietly turn it off.
    bNotNewAppCreate = Flag(store, "bNotNewAppCreate", 1);
    strUseWrenpadExtension = store.GetString(SECTION_MAIN, "UseWrenpadExtension", DEFAULT_WRENPAD_EXTENSIONS);
    bUseWpShMenu = Flag(store, "bUseWpShMenu", 0);
    bShowTrayIcon = Flag(store, "bShowTrayIcon", 0);
    bAutoDragOpen = settings.m_bAutoDragOpen != 0;
    bAutoEnter = settings.m_bAutoEnter != 0;
    bIMEModeON = settings.m_bIMEModeON != 0;
    bAutoReload = settings.m_bAutoReload != 0;
    strNewFileCode = settings.m_strNewFileCode;

    bTagState = settings.m_bTagState != 0;
    bWebNoSelectTag = settings.m_bWebNoSelectTag != 0;
    bWebBrEn = settings.m_bWebBrEn != 0;
    bWebPOnly = settings.m_bWebPOnly != 0;
    strUseBrowser = settings.m_strUseBrowser;
    strUseBrowser3 = settings.m_strUseBrowser3;
    strUseBrowser4 = settings.m_strUseBrowser4;
    bAutoTempoBrowse = Flag(store, "bAutoTempoBrowse", 0);
    bPreviewAutoUpdate = Flag(store, PREVIEW_AUTO_UPDATE_ENTRY, 0);

    crColors = settings.m_crColors;
    bViewTab = Flag(store, "bViewTab", 0);
    bViewReturn = Flag(store, "bViewReturn", 0);
    bViewZenSpace = Flag(store, "bViewZenSpace", 0);
}

void COptionsData::Save(CProfileStore &store, CAppSettings &settings) const
{
    WriteFlag(store, "bOpenNewFile", bOpenNewFile);
    WriteFlag(store, "bOpenFileMax", bOpenFileMax);
    store.WriteString(SECTION_MAIN, "strNowDate", strNowDate);
    store.WriteInt(SECTION_MAIN, "MRUCount", nMRUCount);
    WriteFlag(store, "bAutoDragOpen", bAutoDragOpen);
    settings.m_bAutoDragOpen = bAutoDragOpen ? 1 : 0;
    WriteFlag(store, "bAutoEnter", bAutoEnter);
    settings.m_bAutoEnter = bAutoEnter ? 1 : 0;
    WriteFlag(store, "bShowSplash", bShowSplash);
    WriteFlag(store, "bIMEModeON", bIMEModeON);
    settings.m_bIMEModeON = bIMEModeON ? 1 : 0;
    // Takes effect at the next start, so the cached member stays.
    WriteFlag(store, "bNotNewAppCreate", bNotNewAppCreate);
    store.WriteString(SECTION_MAIN, "UseWrenpadExtension", strUseWrenpadExtension);

    for (int i = 0; i < CLR_COUNT; ++i) {
        const std::uint32_t cr = crColors[static_cast<std::size_t>(i)] & 0xFFFFFF;
        store.WriteInt(SECTION_MAIN, ColorSettingInfo(i).pszEntry, static_cast<int>(cr));
        settings.m_crColors[static_cast<std::size_t>(i)] = cr;
    }
    WriteFlag(store, "bViewTab", bViewTab);
    WriteFlag(store, "bViewReturn", bViewReturn);
    WriteFlag(store, "bViewZenSpace", bViewZenSpace);

    WriteFlag(store, "bTagState", bTagState);
    settings.m_bTagState = bTagState ? 1 : 0;
    WriteFlag(store, "bWebNoSelectTag", bWebNoSelectTag);
    settings.m_bWebNoSelectTag = bWebNoSelectTag ? 1 : 0;
    WriteFlag(store, "bWebBrEn", bWebBrEn);
    settings.m_bWebBrEn = bWebBrEn ? 1 : 0;
    WriteFlag(store, "bWebPOnly", bWebPOnly);
    settings.m_bWebPOnly = bWebPOnly ? 1 : 0;
    store.WriteString(SECTION_MAIN, "strUseBrowser", strUseBrowser);
    settings.m_strUseBrowser = strUseBrowser;
    store.WriteString(SECTION_MAIN, "strUseBrowser3", strUseBrowser3);
    settings.m_strUseBrowser3 = strUseBrowser3;
    store.WriteString(SECTION_MAIN, "strUseBrowser4", strUseBrowser4);
    settings.m_strUseBrowser4 = strUseBrowser4;
    WriteFlag(store, "bAutoTempoBrowse", bAutoTempoBrowse);
    // Later than the rest: entries older configurations know keep their order.
    WriteFlag(store, "bAutoReload", bAutoReload);
    settings.m_bAutoReload = bAutoReload ? 1 : 0;
    store.WriteString(SECTION_MAIN, "strNewFileCode", strNewFileCode);
    settings.m_strNewFileCode = strNewFileCode;
    WriteFlag(store, PREVIEW_AUTO_UPDATE_ENTRY, bPreviewAutoUpdate);
    WriteFlag(store, "bRestoreSession", bRestoreSession);
}

bool IsValidMruCountText(const std::string &strText, int &nCount)
{
    if (strText.empty() || strText.size() > 2)
        return false;
    int n = 0;
    for (char ch : strText) {
        if (ch < '0' || ch > '9')
            return false;
        n = n * 10 + (ch - '0');
    }
    if (n > 16)
        return false;
    nCount = n;
    return true;
}

const std::vector<std::string> &DateFormatChoices()
{
    static const std::vector<std::string> choices = {
        "現在時刻：%H時%M分%S秒", "最終更新日：%Y/%m/%d", "Last Update: %Y/%m/%d",
        "今日は、%Y年%m月%d日 (%A)です。", "%Y年%m月%d日", "%c", "%Y/%m/%d %H:%M", "%Y/%m/%d %I:%M %p",
        "%y/%m/%d", "%m/%d/%y", "%d-%b", "%d-%B-%y",
    };
    return choices;
}

std::uint32_t PresetColor(EColorPreset ePreset, int nSetting, const CSystemColors &sys)
{
    if (ePreset == PRESET_DEFAULT)
        return DefaultColor(nSetting, sys);
    switch (nSetting) {
    case CLR_PREPRO:
        return 0xFFFFC6;
    case CLR_TAGOPTION:
        return 0xFFC6C6;
    case CLR_TAG:
        return 0xFFFF00;
    case CLR_NUMBER:
        return 0x00FFFF;
    case CLR_COMMENT:
        return 0x00FF00;
    case CLR_KEYWORD:
        return 0xFFFF00;
    case CLR_KEYWORD2:
        return 0xFFFFC6;
    case CLR_STRING:
        return 0x00FFFF;
    case CLR_OPERATOR:
        return 0xFFFFC6;
    case CLR_SELBKGND:
        return 0x80FFFF;
    case CLR_SELTEXT:
        return 0x000000;
    case CLR_NORMALTEXT:
        return 0xFFFFFF;
    case CLR_SELMARGIN:
        return sys.crScrollBar;
    default:
        return 0x800000;
    }
}
