// Lines of any bytes, in every view type and from any incoming state: no
// routine crashes, reads past a line (each line is its own exact allocation),
// puts blocks out of order or beyond 3 per byte, or returns a state that
// depends on whether blocks were asked for (checked by ParseOne).
#include "syntax/viewtype.h"
#include "syntaxtest.h"

#include <random>

namespace {

const std::uint32_t s_adwStates[] = {0, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x3F, 0xFFFFFFFF};

// Bytes that matter to some routine, double-byte halves and anything at all.
std::string RandomLine(std::mt19937 &rng, int nMaxLength)
{
    static const std::string s_strSpecial = "\\'\"/*#<>-!${}()@ \t=._;x0aRrEeMm";
    std::uniform_int_distribution<int> length(0, nMaxLength);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string line(static_cast<std::size_t>(length(rng)), ' ');
    for (char &c : line) {
        const int k = kind(rng);
        if (k < 5)
            c = s_strSpecial[static_cast<std::size_t>(byte(rng)) % s_strSpecial.size()];
        else if (k < 8)
            c = static_cast<char>(k == 5 ? 0x81 + byte(rng) % 0x1F : 0x40 + byte(rng) % 0x3F);
        else
            c = static_cast<char>(byte(rng));
    }
    return line;
}

} // namespace

TEST(BadInput, RandomLinesInEveryTypeFromEveryState)
{
    std::mt19937 rng(4);
    std::vector<std::string> aText;
    for (int i = 0; i < 400; ++i)
        aText.push_back(RandomLine(rng, 24));
    // A lead byte at the end, alone, and before each delimiter.
    for (const char *psz : {"\x95", "ab\x95", "\"\x95", "<a \x95", "/* \x95", "\x95\"", "\x95<",
                            "\x95\\", "\xFD\xFE\xFF", "\x80"})
        aText.emplace_back(psz);
    aText.emplace_back("a\0b\0", 4);
    aText.emplace_back("\"a\0\"", 4);
    std::vector<std::string_view> aViews(aText.begin(), aText.end());
    const CMemoryLineSource lines(aViews);

    for (int nType = 0; nType < VIEWTYPE_COUNT; ++nType) {
        const ParseLineFunc pfn = ParseLineFuncOfViewType(nType);
        for (std::uint32_t dwState : s_adwStates) {
            for (int i = 0; i < lines.GetLineCount(); ++i)
                ParseOne(pfn, lines, i, dwState);
        }
        // Chained as a document.
        std::uint32_t dwState = 0;
        for (int i = 0; i < lines.GetLineCount(); ++i)
            dwState = ParseOne(pfn, lines, i, dwState).dwState;
    }
}

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
