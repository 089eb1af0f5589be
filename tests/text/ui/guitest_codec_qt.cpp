// The widgets' conversions between document bytes and QString: the codec's
// own results, whatever the text.
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

    // A lead byte cut off at the end, and NUL inside the text.
    EXPECT_EQ(Cp932ToQString(std::string("a\0\x82\xA0\x82", 5), &nInvalid), QString::fromUtf16(u"a\0あ\uFFFD", 4));
    EXPECT_EQ(nInvalid, 1);
    // An emoji is one character in two units: one "?". A surrogate without
    // its partner is no character at all: one "?" too.
    const char16_t aUnits[] = {u'a', 0xD83D, 0xDE00, u'b', 0xD83D, u'c', 0xDE00};
    EXPECT_EQ(QStringToCp932(QStringView(aUnits, 7), &nUnmappable), "a?b?c?");
    EXPECT_EQ(nUnmappable, 3);
}
