// Byte classification and the codec: the Shift-JIS rules every other part relies on.
#include "text/codec.h"
#include "text/sjis.h"

#include <gtest/gtest.h>

TEST(Sjis, StepsByWholeCharacters)
{
    const std::string line = "\x88\x9F" "a\x95\x5C";  // 亜 a 表
    const int n = static_cast<int>(line.size());
    EXPECT_EQ(SjisCharStart(line.data(), n, 1), 0);
    EXPECT_EQ(SjisCharStart(line.data(), n, 2), 2);
    EXPECT_EQ(SjisCharStart(line.data(), n, 4), 3);
    EXPECT_EQ(SjisCharStart(line.data(), n, 5), 5);
    EXPECT_EQ(SjisNextChar(line.data(), n, 0), 2);
    EXPECT_EQ(SjisNextChar(line.data(), n, 3), 5);
    EXPECT_EQ(SjisPrevChar(line.data(), n, 5), 3);
    EXPECT_EQ(SjisPrevChar(line.data(), n, 3), 2);
    EXPECT_EQ(SjisPrevChar(line.data(), n, 2), 0);
    // From the middle of a character, the previous one is the one before it.
    EXPECT_EQ(SjisPrevChar(line.data(), n, 4), 2);
    EXPECT_EQ(SjisPrevChar(line.data(), n, 0), 0);
}

TEST(Codec, EncodesAndReportsWhatCp932Lacks)
{
    int nBad = -1;
    EXPECT_EQ(Utf8ToCp932("a亜ｱ表", &nBad), "a\x88\x9F\xB1\x95\x5C");
    EXPECT_EQ(nBad, 0);
    // An emoji (a surrogate pair in UTF-16) and a Hangul syllable have no CP932 form.
    EXPECT_EQ(Utf16ToCp932(u"x\U0001F600y\uAC00z", &nBad), "x?y?z");
    EXPECT_EQ(nBad, 2);
    EXPECT_EQ(Utf8ToCp932("x\xF0\x9F\x98\x80y", &nBad), "x?y");
    EXPECT_EQ(nBad, 1);
    // Malformed UTF-8 is marked byte by byte, and the rest still converts.
    EXPECT_EQ(Utf8ToCp932("a\xC3(b\xE3\x81", &nBad), "a?(b?");
    EXPECT_EQ(nBad, 2);
    EXPECT_EQ(Utf8ToCp932(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(Utf8ToCp932(""), "");
}

TEST(Codec, EveryMappedCharacterSurvivesTheRoundTrip)
{
    // For every pair the table maps, decoding then encoding gives a valid
    // CP932 character that decodes to the same code point (duplicates such as
    // the NEC and IBM copies of a kanji may come back as the other copy).
    int nChecked = 0;
    ForEachSjisDoubleByte([&](unsigned char lead, unsigned char trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        int nBytes = 0;
        const char32_t c = Cp932DecodeChar(pair, 2, nBytes);
        if (c == CODEC_INVALID)
            return;
        const std::string back = Utf8ToCp932(Cp932ToUtf8(std::string_view(pair, 2)));
        ASSERT_EQ(back.size(), 2u) << std::hex << int(lead) << " " << int(trail);
        EXPECT_EQ(Cp932DecodeChar(back.data(), 2, nBytes), c) << std::hex << int(lead) << " " << int(trail);
        ++nChecked;
    });
    EXPECT_GT(nChecked, 7000);
}
