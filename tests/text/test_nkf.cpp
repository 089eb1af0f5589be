// CNkfLibrary: code conversion through iconv without losing a byte, MIME
// words, the width conversions, and a library that is not loaded.
#include "text/codec.h"
#include "text/kanji.h"
#include "text/nkf.h"
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string Convert(CNkfLibrary &nkf, const char *pszOption, const std::string &in)
{
    nkf.SetNkfOption(pszOption);
    std::string out;
    EXPECT_TRUE(nkf.NkfConvert(in, out));
    return out;
}

// Every CP932 character: ASCII, half-width katakana and every mapped pair.
std::string AllCp932()
{
    std::string all = "ASCII \\ ~ \r\n";
    for (int c = 0xA1; c <= 0xDF; ++c)
        all += static_cast<char>(c);
    ForEachSjisDoubleByte([&all](unsigned char lead, unsigned char trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        int n = 0;
        if (Cp932DecodeChar(pair, 2, n) != CODEC_INVALID)
            all.append(pair, 2);
    });
    return all;
}

TEST(Nkf, LoadedUntilUnloadedThenDoesNothing)
{
    CNkfLibrary nkf;
    ASSERT_TRUE(nkf.IsLoaded());
    EXPECT_FALSE(nkf.GetNkfVersion().empty());
    nkf.Unload();
    EXPECT_FALSE(nkf.IsLoaded());
    EXPECT_TRUE(nkf.GetNkfVersion().empty());
    nkf.SetNkfOption("e");
    std::string out = "untouched";
    EXPECT_FALSE(nkf.NkfConvert("\x82\xa0", out));
    EXPECT_EQ(out, "untouched");
    EXPECT_FALSE(nkf.ToZenkakuKana("\xb1", out));
    EXPECT_EQ(out, "untouched");
    std::string text = "\x82\x60";
    EXPECT_FALSE(nkf.ToHankaku(text));
    EXPECT_EQ(text, "\x82\x60");
    EXPECT_TRUE(nkf.Load());
    // The option given while unloaded did not take: the default is JIS.
    EXPECT_TRUE(nkf.NkfConvert("\x82\xa0", out));
    EXPECT_EQ(out, "\x1b$B$\"\x1b(B");
    EXPECT_TRUE(NkfLibrary().IsLoaded());
}

TEST(Nkf, EveryCp932CharacterSurvivesExportAndImport)
{
    CNkfLibrary nkf;
    const std::string all = AllCp932();
    const std::string euc = Convert(nkf, "e", all);
    const std::string jis = Convert(nkf, "j", all);
    EXPECT_TRUE(std::all_of(jis.begin(), jis.end(), [](unsigned char c) { return c < 0x80; }));
    // Byte forms may change only where CP932 itself has two codes for one
    // character (NEC and IBM duplicates); the characters may not.
    EXPECT_EQ(Cp932ToUtf8(Convert(nkf, "sm", euc)), Cp932ToUtf8(all));
    EXPECT_EQ(Cp932ToUtf8(Convert(nkf, "sm", jis)), Cp932ToUtf8(NkfWidenKana(all)));
    EXPECT_EQ(NkfToCp932(NkfFromCp932(all, OUTCODE_EUC), KANJI_EUC).size(), all.size());
}

TEST(Nkf, BytesWithoutAFormAreKept)
{
    // Invalid singles and a lead byte at the end.
    const std::string bad = "a\x80" "b\xfd\xfe\xff" "c\x82";
    EXPECT_EQ(NkfFromCp932(bad, OUTCODE_EUC), bad);
    EXPECT_EQ(NkfFromCp932(bad, OUTCODE_JIS), bad);
    EXPECT_EQ(NkfFromCp932("\x82\xa0\xfd\xfe", OUTCODE_JIS), "\x1b$B$\"\x1b(B\xfd\xfe");
    // A cell CP932 leaves empty takes its arithmetic form and comes back.
    EXPECT_EQ(NkfFromCp932("\x85\x40", OUTCODE_EUC), "\xa9\xa1");
    EXPECT_EQ(NkfToCp932("\xa9\xa1", KANJI_EUC), "\x85\x40");
    EXPECT_EQ(NkfFromCp932("\x85\x40", OUTCODE_JIS), "\x1b$B)!\x1b(B");
    EXPECT_EQ(NkfToCp932("\x1b$B)!\x1b(B", KANJI_JIS), "\x85\x40");
    // Lead bytes 0xEB-0xEF stand for rows where CP932 has nothing: kept.
    EXPECT_EQ(NkfFromCp932("\xeb\x40\xef\xfc", OUTCODE_EUC), "\xeb\x40\xef\xfc");
    // Broken EUC and JIS input.
    EXPECT_EQ(NkfToCp932("\xa4\xa2\x80\x8e\x41\xa4", KANJI_EUC), "\x82\xa0\x80\x8e\x41\xa4");
    EXPECT_EQ(NkfToCp932("\x1b$A\x1b$B$\"\x1b(B\x80\xe0\xe0", KANJI_JIS), "\x1b$A\x82\xa0\x80\xe0\xe0");
    EXPECT_EQ(NkfToCp932("\x1b$B$\n$\"", KANJI_JIS), "$\n\x82\xa0");
    // JIS X 0212 goes out and back through ESC $ ( D.
    EXPECT_EQ(NkfFromCp932("\xfa\x40", OUTCODE_JIS), "\x1b$(Dss\x1b(B");
    EXPECT_EQ(NkfToCp932("\x1b$(Dss\x1b(B", KANJI_JIS), "\xfa\x40");
    // A NUL byte is one more control byte.
    EXPECT_EQ(NkfFromCp932(std::string("\x82\xa0\0\x82\xa0", 5), OUTCODE_EUC),
              std::string("\xa4\xa2\0\xa4\xa2", 5));
    // Katakana in every JIS form.
    EXPECT_EQ(NkfToCp932("\x0e\x31\x0f\x1b(I\x32\x1b(B\xb3", KANJI_JIS), "\xb1\xb2\xb3");
}

TEST(Nkf, GuessesTheCodeOfShortTexts)
{
    EXPECT_EQ(NkfGuessCode("\x82\xa0"), KANJI_SJIS);
    EXPECT_EQ(NkfGuessCode("\xa4\xa2"), KANJI_EUC);
    EXPECT_EQ(NkfGuessCode("\xb1\xb2\xb3"), KANJI_SJIS);  // odd length: no EUC
    EXPECT_EQ(NkfGuessCode("\xb1\xb2\xb3\xb4"), KANJI_SJIS);  // ｱｲｳｴ, though EUC could read two kanji
    EXPECT_EQ(NkfGuessCode("plain"), KANJI_SJIS);
    EXPECT_EQ(NkfGuessCode("\x1b(Bplain\x1b[0m"), KANJI_SJIS);  // terminal resets are no JIS
    EXPECT_EQ(NkfGuessCode("\x1b$B$\"\x1b(B"), KANJI_JIS);
    EXPECT_EQ(NkfGuessCode("\x1b(I1"), KANJI_JIS);
}

TEST(Nkf, MimeWordsAreDecoded)
{
    const std::string a = Utf8ToCp932("あ");
    const struct { std::string in; std::string out; } cases[] = {
        {"Subject: =?ISO-2022-JP?B?GyRCJCIbKEI=?=", "Subject: " + a},
        {"=?ISO-2022-JP?B?GyRCJCIbKEI=?=\r\n =?iso-2022-jp?b?GyRCJCQkJhsoQg==?=", Utf8ToCp932("あいう")},
        {"=?ISO-2022-JP?B?GyRCJCIbKEI=?= x =?ISO-2022-JP?B?GyRCJCIbKEI=?=", a + " x " + a},
        {"=?ISO-2022-JP*ja?B?GyRCJCIbKEI?= <a@b.jp>", a + " <a@b.jp>"},
        {"=?shift_jis?q?=82=A0_=82=a2x?=", Utf8ToCp932("あ いx")},
        {"=?EUC-JP?B?tMG7+g==?=", Utf8ToCp932("漢字")},
        {"=?UTF-8?B?56K66KqN?=", Utf8ToCp932("確認")},
        {"=?UTF-8?B?8J+YgA==?=", "\xf0\x9f\x98\x80"},  // no CP932 form: kept
    };
    for (const auto &c : cases)
        EXPECT_EQ(NkfDecodeMime(c.in), c.out) << c.in;
}

TEST(Nkf, TextsThatOnlyLookLikeMimeWordsStay)
{
    for (const char *psz : {"=?ISO-2022-JP?B?GyRC!JCIbKEI=?=", "=?x-unknown?B?YWJj?=", "=?ISO-2022-JP?B?GyRC",
                            "=?ISO-2022-JP?B?GyRC JCIbKEI=?=", "=?UTF-8?Q?=4?=", "=??B?YWJj?=",
                            "=?UTF-8?X?abc?=", "a=?", "=?", "cgi?a=?b"})
        EXPECT_EQ(NkfDecodeMime(psz), psz);
    CNkfLibrary nkf;
    const std::string word = "=?ISO-2022-JP?B?GyRCJCIbKEI=?=";
    EXPECT_EQ(Convert(nkf, "s", word), word);
    EXPECT_EQ(Convert(nkf, "sm0", word), word);
    EXPECT_EQ(Convert(nkf, "-sm", word), "\x82\xa0");
}

TEST(Nkf, ToHankakuNarrowsLettersDigitsAndSpaceOnlyAndToZenkakuKanaJoinsVoicedMarks)
{
    CNkfLibrary nkf;
    std::string text = Utf8ToCp932("ＡＢＣ　ｘｙｚ０１２３４５６７８９！あＺ");
    ASSERT_TRUE(nkf.ToHankaku(text));
    EXPECT_EQ(text, Utf8ToCp932("ABC xyz0123456789！あZ"));
    // 0x82 0x60 is Ａ only at a character start.
    text = "\x88\x82\x60\x82";
    ASSERT_TRUE(nkf.ToHankaku(text));
    EXPECT_EQ(text, "\x88\x82\x60\x82");

    std::string out;
    ASSERT_TRUE(nkf.ToZenkakuKana(Utf8ToCp932("ｶﾞｷﾞﾊﾟﾋﾟﾎﾟｳﾞｱﾞﾟﾜﾞﾞｰ"), out));
    EXPECT_EQ(Cp932ToUtf8(out), "ガギパピポヴア゛゜ワ゛゛ー");
    ASSERT_TRUE(nkf.ToZenkakuKana("\x82\xb1\xb1 \xb1", out));  // こ's trail is no katakana
    EXPECT_EQ(out, "\x82\xb1\x83\x41 \x83\x41");
}

} // namespace
