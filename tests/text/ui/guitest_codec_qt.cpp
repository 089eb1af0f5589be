// The widgets' conversions between document bytes and QString.
#include "text/codec.h"
#include "text/sjis.h"
#include "text/ui/codec_qt.h"

#include <gtest/gtest.h>

namespace {

// Every byte and byte pair CP932 has, mapped or not, one after another.
std::string EveryCode()
{
    std::string s;
    for (int c = 0; c < 256; ++c)
        if (!IsSjisLeadByte(static_cast<unsigned char>(c)))
            s += static_cast<char>(c);
    ForEachSjisDoubleByte([&s](unsigned char lead, unsigned char trail) {
        s += static_cast<char>(lead);
        s += static_cast<char>(trail);
    });
    return s;
}

} // namespace

TEST(CodecQt, ScreenTextAgreesWithTheCodecOnEveryCode)
{
    const std::string bytes = EveryCode();
    int nInvalid = -1;
    const QString str = Cp932ToQString(bytes, &nInvalid);
    int nExpected = -1;
    EXPECT_EQ(str, QString::fromStdU16String(Cp932ToUtf16(bytes, &nExpected)));
    EXPECT_EQ(nInvalid, nExpected);
    EXPECT_GT(nInvalid, 0);
    // And back: each mapped character has its CP932 form (or the form of its
    // duplicate), each mark has none.
    int nUnmappable = -1;
    const std::string back = QStringToCp932(str, &nUnmappable);
    EXPECT_EQ(nUnmappable, nInvalid);
    EXPECT_EQ(Cp932ToQString(back), QString(str).replace(QChar(0xFFFD), QLatin1Char('?')));

    // Single bytes only: as many units as bytes, and nothing beyond.
    const std::string ascii(100000, 'a');
    EXPECT_EQ(Cp932ToQString(ascii), QString(100000, QLatin1Char('a')));
    EXPECT_TRUE(Cp932ToQString("").isEmpty());
    // A lead byte cut off at the end, and NUL inside the text.
    EXPECT_EQ(Cp932ToQString(std::string("a\0\x82\xA0\x82", 5), &nInvalid), QString::fromUtf16(u"a\0あ\uFFFD", 4));
    EXPECT_EQ(nInvalid, 1);
}

TEST(CodecQt, TypedTextBecomesBytesWithAMarkPerMissingCharacter)
{
    int nUnmappable = -1;
    EXPECT_EQ(QStringToCp932(QStringLiteral("表示ｱ\\~"), &nUnmappable), "\x95\x5C\x8E\xA6\xB1\\~");
    EXPECT_EQ(nUnmappable, 0);
    // An emoji is one character in two units: one "?". A surrogate without
    // its partner is no character at all: one "?" too.
    const char16_t aUnits[] = {u'a', 0xD83D, 0xDE00, u'b', 0xD83D, u'c', 0xDE00};
    EXPECT_EQ(QStringToCp932(QStringView(aUnits, 7), &nUnmappable), "a?b?c?");
    EXPECT_EQ(nUnmappable, 3);
    EXPECT_EQ(QStringToCp932(QStringView(aUnits, 5), &nUnmappable), "a?b?");
    EXPECT_EQ(nUnmappable, 2);
    EXPECT_EQ(QStringToCp932(QString(), &nUnmappable), "");
    EXPECT_EQ(nUnmappable, 0);
}

TEST(CodecQt, PathsAreShownAsTheirUtf8Names)
{
    // A file name is not document text: its UTF-8 bytes are not CP932.
    const std::string strPath = "/tmp/\xE6\x97\xA5\xE6\x9C\xAC/a.txt";
    EXPECT_EQ(PathText(strPath), QStringLiteral("/tmp/日本/a.txt"));
    EXPECT_NE(Cp932ToQString(strPath), PathText(strPath));
}
