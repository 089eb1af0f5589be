// Settings edited by hand: wrong types and out-of-range values give the defaults.
#include "app/appsettings.h"

#include <gtest/gtest.h>

TEST(AppSettings, ColoursThatAreNoColourGiveTheDefault)
{
    CMemoryProfileStore store;
    store.WriteInt(SECTION_MAIN, "clTag", -5);
    store.WriteInt(SECTION_MAIN, "clKeyword", 0x1000000);
    store.WriteString(SECTION_MAIN, "clComment", "green");
    store.WriteInt(SECTION_MAIN, "clNumber", 0x0000FF);
    CAppSettings settings;
    settings.Load(store, CSystemColors());
    EXPECT_EQ(settings.m_crColors[CLR_TAG], 0x008000u);
    EXPECT_EQ(settings.m_crColors[CLR_KEYWORD], 0xC60000u);
    EXPECT_EQ(settings.m_crColors[CLR_COMMENT], 0x008000u);
    EXPECT_EQ(settings.m_crColors[CLR_NUMBER], 0x0000FFu);
}

TEST(AppSettings, FontSizeToCellHeight)
{
    CMemoryProfileStore store;
    EXPECT_EQ(LoadFontSetting(store).nHeight, 18);
    EXPECT_EQ(LoadFontSetting(store).strFace, "Terminal");
    store.WriteInt(SECTION_MAIN, "FontSize", 12);
    store.WriteString(SECTION_MAIN, "FontFace", "");
    EXPECT_EQ(LoadFontSetting(store).nHeight, 16);
    EXPECT_EQ(LoadFontSetting(store).strFace, "Terminal");
    // Sizes whose pixel height would overflow count as missing.
    for (int nSize : {-3, 2000000000, FONT_SIZE_MAX + 1}) {
        store.WriteInt(SECTION_MAIN, "FontSize", nSize);
        EXPECT_EQ(LoadFontSetting(store).nHeight, 18) << nSize;
    }
}

TEST(AppSettings, TabStopOutsideTheDialogsRangeIsFour)
{
    CMemoryProfileStore store;
    EXPECT_EQ(LoadTabStop(store), 4);
    store.WriteInt(SECTION_MAIN, "TabStop", 0);
    EXPECT_EQ(LoadTabStop(store), 0);
    store.WriteInt(SECTION_MAIN, "TabStop", 8);
    EXPECT_EQ(LoadTabStop(store), 8);
    for (const char *psz : {"16", "-2", "wide"}) {
        store.WriteString(SECTION_MAIN, "TabStop", psz);
        EXPECT_EQ(LoadTabStop(store), 4) << psz;
    }
}
