// The standard routine (links and mail addresses) and the plain one.
#include "syntaxtest.h"

namespace {

std::string Std(std::string_view line, std::uint32_t dwCookie = 0)
{
    return Paint(ParseLineStandard, line, dwCookie);
}

} // namespace

TEST(ParseLineStandard, ColoursLinksAndMailAddressesUpToTheirTerminator)
{
    EXPECT_EQ(Std("http://a.jp/x, mail@b.jp rest"),
                  "KKKKKKKKKKKKK..KKKKKKKKK.....");
    EXPECT_EQ(Std("http:/x y"), ".........");
    EXPECT_EQ(Std("see https://a.jp/"), "....KKKKKKKKKKKKK");
    EXPECT_EQ(Std("ftp://a.jp"), "..........");
    EXPECT_EQ(Std("http://only.jp/u"), std::string(16, 'K'));
    EXPECT_EQ(Std("@start end@ a@b,c"),
                  "KKKKKK.KKKK.KKK..");
}

TEST(ParseLineStandard, DoubleByteCharactersEndWords)
{
    // 表 directly before the link does not hide it.
    EXPECT_EQ(Std("abc\x95\x5Chttp://x.jp"), ".....KKKKKKKKKKK");
    // The second byte of ァ is 0x40, which is no '@'.
    EXPECT_EQ(Std("a\x83\x40" "bc"), ".....");
    EXPECT_EQ(Std("\x83\x40" "a@b"), "..KKK");
}

TEST(ParseLineStandard, PassesTheStateOnAndColoursFromIt)
{
    EXPECT_EQ(ParseLine(ParseLineStandard, "a b", 0x01).strPaint, "CCC");
    EXPECT_EQ(ParseLine(ParseLineStandard, "a b", 0x09).dwState, 0x09u);
    EXPECT_EQ(States(ParseLineStandard, {""}, 0x1F), (std::vector<std::uint32_t>{0x04}));
}

TEST(ParseLinePlain, ColoursUniformlyWithoutSplittingCharacters)
{
    const CParsedLine line = ParseLine(ParseLinePlain, "a\x95\x5C b", 0x05);
    EXPECT_EQ(line.strPaint, "CCCCC");
    EXPECT_EQ(line.dwState, 0x05u);
    for (const ColorBlock &block : line.aBlocks)
        EXPECT_NE(block.nCharPos, 2);  // the second byte of 表
    EXPECT_EQ(Paint(ParseLinePlain, "int x; // c"), std::string(11, '.'));
}
