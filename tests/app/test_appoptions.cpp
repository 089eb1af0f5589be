// The options' values: what an empty configuration shows, what OK writes (and
// in which order), and the checks on typed values.
#include "app/appoptions.h"
#include "app/recordingstore.h"

#include <gtest/gtest.h>

TEST(AppOptions, AnEmptyConfigurationShowsTheDefaults)
{
    const CSystemColors sys{0x111111, 0xEEEEEE, 0xAAAAAA};
    CMemoryProfileStore store;
    CAppSettings settings;
    settings.Load(store, sys);
    EXPECT_EQ(settings.m_bNotNewAppCreate, 1);

    COptionsData data;
    data.Load(store, settings);
    // A missing bNotNewAppCreate means single-instance mode, on the sheet as at start-up.
    EXPECT_TRUE(data.bOpenNewFile && data.bOpenFileMax && data.bShowSplash && data.bAutoDragOpen && data.bAutoEnter
                && data.bNotNewAppCreate && data.bWebPOnly);
    EXPECT_FALSE(data.bIMEModeON || data.bTagState || data.bWebBrEn || data.bWebNoSelectTag || data.bAutoTempoBrowse
                 || data.bAutoReload);
    EXPECT_EQ(data.nMRUCount, 4);
    EXPECT_EQ(data.strUseWrenpadExtension, "txt;html;htm;c;cpp;java;h;pl");
    EXPECT_EQ((std::vector<std::uint32_t>{data.crColors[CLR_KEYWORD], data.crColors[CLR_NORMALTEXT],
                                          data.crColors[CLR_BKGND], data.crColors[CLR_SELMARGIN]}),
              (std::vector<std::uint32_t>{0xC60000u, 0x111111u, 0xEEEEEEu, 0xAAAAAAu}));
}

TEST(AppOptions, OkWritesEveryValueInOrderAndUpdatesTheCache)
{
    CRecordingStore store;
    CAppSettings settings;
    settings.Load(store, CSystemColors());
    COptionsData data;
    data.Load(store, settings);
    data.bTagState = true;
    data.bAutoEnter = false;
    data.strUseBrowser3 = "/usr/bin/firefox";
    data.crColors[CLR_TAG] = 0x123456;
    data.nMRUCount = 0;
    data.bAutoReload = true;
    data.strNewFileCode = "UTF8";
    data.Save(store, settings);

    const std::vector<std::string> expected = {
        "bOpenNewFile", "bOpenFileMax", "strNowDate", "MRUCount", "bAutoDragOpen", "bAutoEnter", "bShowSplash",
        "bIMEModeON", "bNotNewAppCreate", "UseWrenpadExtension", "clPrepro", "clTag", "clTagOption", "clNumber",
        "clComment", "clKeyword", "clKeyword2", "clOperator", "clString", "clSelBkGng", "clSelText", "clNormalText",
        "clSelMargin", "clBkGnd", "bViewTab", "bViewReturn", "bViewZenSpace", "bTagState", "bWebNoSelectTag",
        "bWebBrEn", "bWebPOnly", "strUseBrowser", "strUseBrowser3", "strUseBrowser4", "bAutoTempoBrowse",
        // Our own, after the others.
        "bAutoReload", "strNewFileCode", "bPreviewAutoUpdate", "bRestoreSession"};
    EXPECT_EQ(store.m_aWrites, expected);
    EXPECT_EQ((std::vector<int>{store.GetInt(SECTION_MAIN, "bNotNewAppCreate", -1),
                                store.GetInt(SECTION_MAIN, "MRUCount", -1), store.GetInt(SECTION_MAIN, "clTag", -1)}),
              (std::vector<int>{1, 0, 0x123456}));
    // Single-instance mode (m_bNotNewAppCreate) takes effect at the next start only.
    EXPECT_EQ((std::vector<int>{settings.m_bTagState, settings.m_bAutoEnter, int(settings.m_crColors[CLR_TAG]),
                                settings.m_bAutoReload, settings.m_bNotNewAppCreate}),
              (std::vector<int>{1, 0, 0x123456, 1, 1}));
    EXPECT_EQ(settings.m_strUseBrowser3 + "|" + settings.m_strNewFileCode, "/usr/bin/firefox|UTF8");

    CAppSettings reloaded;
    reloaded.Load(store, CSystemColors());
    COptionsData again;
    again.Load(store, reloaded);
    EXPECT_TRUE(again.bTagState && again.bAutoReload);
    EXPECT_EQ(again.nMRUCount, 0);
    EXPECT_EQ(again.crColors, data.crColors);
}

TEST(AppOptions, RecentFileCountTextMustBeZeroToSixteen)
{
    int n = -1;
    EXPECT_TRUE(IsValidMruCountText("0", n) && n == 0);
    EXPECT_TRUE(IsValidMruCountText("16", n) && n == 16);
    for (const char *psz : {"17", "-1", "", "1a", "+3", "999"})
        EXPECT_FALSE(IsValidMruCountText(psz, n)) << psz;
}

TEST(AppOptions, DosPresetAndTheSystemColourOfTheMargin)
{
    const CSystemColors sys{0x000000, 0xFFFFFF, 0x405060};
    EXPECT_EQ((std::vector<std::uint32_t>{PresetColor(PRESET_DOS, CLR_BKGND, sys), PresetColor(PRESET_DOS, CLR_NORMALTEXT, sys),
                                          PresetColor(PRESET_DOS, CLR_SELBKGND, sys), PresetColor(PRESET_DOS, CLR_SELMARGIN, sys),
                                          PresetColor(PRESET_DEFAULT, CLR_SELMARGIN, sys),
                                          PresetColor(PRESET_DEFAULT, CLR_PREPRO, sys)}),
              (std::vector<std::uint32_t>{0x800000u, 0xFFFFFFu, 0x80FFFFu, 0x405060u, 0x405060u, 0x808000u}));
}
