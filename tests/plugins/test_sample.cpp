// The sample plug-in's conversions: katakana byte by byte, and era dates at
// the edges of each era; and its date command against today's date.
#include "plugin/plugincommand.h"
#include "support/plugintest.h"
#include "wpsample.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

// Bytes from hexadecimal digits; blanks only separate characters.
std::string Bytes(std::string strHex)
{
    std::erase(strHex, ' ');
    std::string s;
    for (std::size_t i = 0; i + 1 < strHex.size(); i += 2)
        s += static_cast<char>(std::stoi(strHex.substr(i, 2), nullptr, 16));
    return s;
}

} // namespace

TEST(SampleKatakana, HiraganaAndHalfWidthKanaBecomeFullWidthKatakana)
{
    // ぁ み む ん ゝ ゞ: both ends of the two runs the katakana codes skip between.
    EXPECT_EQ(SampleToKatakana(Bytes("829f 82dd 82de 82f1 8154 8155")), Bytes("8340 837e 8380 8393 8152 8153"));
    // ｶﾞ ﾊﾟ ｳﾞ ﾎﾞ, a sound mark after a kana it cannot change, a lone sound mark, ｰ and ｡
    EXPECT_EQ(SampleToKatakana(Bytes("b6de cadf b3de cede b1de df b0 a1")),
              Bytes("834b 8370 8394 837b 8341 814a 814b 815b 8142"));
    // Kanji, katakana, ASCII, a trail byte that is a backslash, and a lone lead byte stay.
    const std::string strOther = Bytes("8abf 8e9a 8341 20 41 5c 835c 82");
    EXPECT_EQ(SampleToKatakana(strOther), strOther);
}

TEST(SampleEraDate, EachEraBeginsWithItsFirstYear)
{
    const struct { int nYear, nMonth, nDay; const char *pszHex; } cases[] = {
        {2019, 5, 1, "97df 9861 8cb3 944e 35 8c8e 31 93fa"},             // 令和元年5月1日
        {2019, 4, 30, "95bd 90ac 3331 944e 34 8c8e 3330 93fa"},          // 平成31年4月30日
        {2026, 12, 6, "97df 9861 38 944e 3132 8c8e 36 93fa"},            // 令和8年12月6日
        {1989, 1, 8, "95bd 90ac 8cb3 944e 31 8c8e 38 93fa"},             // 平成元年1月8日
        {1989, 1, 7, "8fba 9861 3634 944e 31 8c8e 37 93fa"},             // 昭和64年1月7日
        {1926, 12, 25, "8fba 9861 8cb3 944e 3132 8c8e 3235 93fa"},       // 昭和元年12月25日
        {1912, 7, 30, "91e5 90b3 8cb3 944e 37 8c8e 3330 93fa"},          // 大正元年7月30日
        {1873, 1, 1, "96be 8ea1 36 944e 31 8c8e 31 93fa"},               // 明治6年1月1日
        {1872, 12, 31, "31383732 944e 3132 8c8e 3331 93fa"},             // before the solar calendar: 1872年12月31日
    };
    for (const auto &c : cases)
        EXPECT_EQ(SampleEraDate(c.nYear, c.nMonth, c.nDay), Bytes(c.pszHex)) << c.nYear << "-" << c.nMonth << "-" << c.nDay;
}

TEST(SampleEraDate, TheCommandInsertsToday)
{
    CTempDir dir;
    InstallPluginFile(dir.Path(), "WpSample.wpi", WP_SAMPLE_PLUGIN);
    CPluginRow row;
    row.strFile = "WpSample.wpi";
    row.strFunction = "WpEraDate";
    auto today = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return SampleEraDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    };
    const std::string strBefore = today();
    CPluginResults results;
    ASSERT_EQ(RunPluginCommand({dir.Path()}, row, "", nullptr, results), PLUGIN_RUN_OK);
    const std::string strAfter = today();
    // Midnight may pass during the call.
    EXPECT_TRUE(results.strFirst == strBefore || results.strFirst == strAfter) << results.strFirst;
}
