// A line of ten megabytes in every view type: no routine crashes, reads past
// the line, or gives up before its end (checked by ParseOne).
#include "syntax/viewtype.h"
#include "syntaxtest.h"

TEST(BadInput, ATenMegabyteLineInEveryType)
{
    // Constructs of every language, double-byte halves that look like
    // delimiters and an unfinished lead byte, then a run of Japanese text,
    // over and over, with nothing that would end the scan early (no line
    // comment starts outside strings).
    std::string strChunk =
        "<a href=\"\x95\x5C\" x=y>/* \x83\x5C\\ */ {\x83\x7D}(*)*) $@ 0x1F 1.5e+3 "
        "\"http://a.jp/\" m@b \x83\x7B\x83\x40 <!-- --> \"s\\\"\x95\" \x95 ";
    while (strChunk.size() < 1000)
        strChunk += "\x95\x5C\x8E\xA6\x83\x65\x83\x4C\x83\x58\x83\x67";  // 表示テキスト
    std::string strLine;
    while (strLine.size() < 10u * 1024 * 1024)
        strLine += strChunk;
    const CMemoryLineSource lines({strLine, "x"});
    for (int nType = 0; nType < VIEWTYPE_COUNT; ++nType) {
        const CParsedLine parsed = ParseOne(ParseLineFuncOfViewType(nType), lines, 0, 0);
        EXPECT_GT(parsed.aBlocks.size(), 10000u) << nType;
    }
}
