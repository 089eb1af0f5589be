// Byte classification and the codec: the Shift-JIS rules every other part relies on.
#include "text/codec.h"
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<ESjisByteKind> Kinds(std::string_view line)
{
    std::vector<ESjisByteKind> kinds;
    for (int i = 0; i < static_cast<int>(line.size()); ++i)
        kinds.push_back(SjisByteKindAt(line, i));
    return kinds;
}

} // namespace

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

TEST(Codec, DecodesCp932AndMarksInvalidBytes)
{
    int nInvalid = -1;
    EXPECT_EQ(Cp932ToUtf8("a\x88\x9F\xB1\x95\x5C", &nInvalid), "a亜ｱ表");
    EXPECT_EQ(nInvalid, 0);
    // NEC and IBM extensions, and the wave dash that CP932 maps to U+FF5E.
    EXPECT_EQ(Cp932ToUtf8("\x87\x40\xFA\x40\x81\x60"), "①ⅰ～");

    // Every invalid byte or unmapped pair gives one mark; NUL stays NUL.
    EXPECT_EQ(Cp932ToUtf16(std::string("x\x80\xA0\xFF\x82", 5), &nInvalid),
              u"x\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(nInvalid, 4);
    EXPECT_EQ(Cp932ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    // 0x85 0x40 is a well-formed pair with no character: one mark, two bytes.
    int nBytes = 0;
    EXPECT_EQ(Cp932DecodeChar("\x85\x40", 2, nBytes), CODEC_INVALID);
    EXPECT_EQ(nBytes, 2);
    EXPECT_EQ(Cp932DecodeChar("\x82\xA0", 2, nBytes), U'あ');
    EXPECT_EQ(nBytes, 2);
    EXPECT_EQ(Cp932DecodeChar("\x82", 1, nBytes), CODEC_INVALID);
    EXPECT_EQ(nBytes, 1);
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
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsSjisLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsSjisTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            int nBytes = 0;
            const char32_t c = Cp932DecodeChar(pair, 2, nBytes);
            if (c == CODEC_INVALID)
                continue;
            const std::string back = Utf8ToCp932(Cp932ToUtf8(std::string_view(pair, 2)));
            ASSERT_EQ(back.size(), 2u) << std::hex << lead << " " << trail;
            EXPECT_EQ(Cp932DecodeChar(back.data(), 2, nBytes), c) << std::hex << lead << " " << trail;
            ++nChecked;
        }
    }
    EXPECT_GT(nChecked, 7000);
}

TEST(Sjis, ClassificationAgreesWithAForwardScanOnAnyBytes)
{
    // The classification looks back from the byte; a plain walk from the
    // line start is the definition it must agree with, on arbitrary bytes
    // weighted towards the awkward ones.
    std::mt19937 rng(2026);
    const unsigned char awkward[] = {0x81, 0x82, 0x9F, 0xE0, 0xFC, 0x40, 0x5C, 0x7E, 0x7F, 0x80, 0xA0, 0xFD, 0x20, 0x00};
    for (int nCase = 0; nCase < 2000; ++nCase) {
        std::string line(rng() % 40, '\0');
        for (char &c : line)
            c = static_cast<char>(rng() % 2 ? awkward[rng() % sizeof awkward] : rng() % 256);
        std::vector<ESjisByteKind> walk(line.size(), SJIS_SINGLE);
        for (std::size_t i = 0; i < line.size();) {
            const int n = SjisCharLength(line.data() + i, line.size() - i);
            if (n == 2) {
                walk[i] = SJIS_LEAD;
                walk[i + 1] = SJIS_TRAIL;
            }
            i += static_cast<std::size_t>(n);
        }
        ASSERT_EQ(Kinds(line), walk) << nCase;
    }
}
