#include "app/appsettings.h"

void CAppSettings::Load(const CProfileStore &store, const CSystemColors &sys)
{
    m_bUseBrowser = store.GetInt(SECTION_MAIN, "bUseBrowser", 1);
    m_strUseBrowser = store.GetString(SECTION_MAIN, "strUseBrowser", "");
    m_strUseBrowser3 = store.GetString(SECTION_MAIN, "strUseBrowser3", "");
    m_strUseBrowser4 = store.GetString(SECTION_MAIN, "strUseBrowser4", "");
    m_bAutoDragOpen = store.GetInt(SECTION_MAIN, "bAutoDragOpen", 1);
    m_bIMEModeON = store.GetInt(SECTION_MAIN, "bIMEModeON", 0);
    m_bAutoEnter = store.GetInt(SECTION_MAIN, "bAutoEnter", 1);
    m_bNotNewAppCreate = store.GetInt(SECTION_MAIN, "bNotNewAppCreate", 1);
    m_bTagState = store.GetInt(SECTION_MAIN, "bTagState", 0);
    m_bWebNoSelectTag = store.GetInt(SECTION_MAIN, "bWebNoSelectTag", 0);
    m_bWebBrEn = store.GetInt(SECTION_MAIN, "bWebBrEn", 0);
    m_bWebPOnly = store.GetInt(SECTION_MAIN, "bWebPOnly", 1);
    m_bAutoReload = store.GetInt(SECTION_MAIN, "bAutoReload", 0);
    m_strNewFileCode = store.GetString(SECTION_MAIN, "strNewFileCode", "SJIS");
    for (int i = 0; i < CLR_COUNT; ++i) {
        // A value that is no 0x00BBGGRR colour (edited by hand) counts as missing.
        const int nDefault = static_cast<int>(DefaultColor(i, sys));
        const int n = store.GetInt(SECTION_MAIN, ColorSettingInfo(i).pszEntry, nDefault);
        m_crColors[static_cast<std::size_t>(i)] =
            static_cast<std::uint32_t>(n >= 0 && n <= 0xFFFFFF ? n : nDefault);
    }
}

CAppSettings &AppSettings()
{
    static CAppSettings settings;
    return settings;
}

CFontSetting LoadFontSetting(const CProfileStore &store)
{
    CFontSetting font;
    font.strFace = store.GetString(SECTION_MAIN, "FontFace", "Terminal");
    if (font.strFace.empty())
        font.strFace = "Terminal";
    // Sizes no font dialog offers (and whose pixel height would overflow) give
    // the default, as a negative one does.
    int nSize = store.GetInt(SECTION_MAIN, "FontSize", 14);
    if (nSize < 0 || nSize > FONT_SIZE_MAX)
        nSize = 14;
    font.nHeight = nSize * 4 / 3;
    return font;
}

int LoadTabStop(const CProfileStore &store)
{
    const int nTabSize = store.GetInt(SECTION_MAIN, "TabStop", 4);
    return (nTabSize < 0 || nTabSize > TAB_STOP_MAX) ? 4 : nTabSize;
}
