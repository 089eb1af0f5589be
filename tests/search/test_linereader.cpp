// Reading files as the folder search reads them.
#include "search/linereader.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::string> ReadLines(const std::string &strBytes)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), strBytes);
    CSearchLineReader reader;
    EXPECT_TRUE(reader.Open(dir.File("f")));
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.NextLine(line)) {
        lines.emplace_back(line);
        EXPECT_EQ(reader.GetLineNumber(), static_cast<int>(lines.size()));
    }
    EXPECT_FALSE(reader.HasError());
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(LineReader, LongLinesAreReadInPieces)
{
    const std::string strLong = std::string(9990, 'x') + "needle";
    // The needle is on line 4.
    EXPECT_EQ(ReadLines("first\n" + strLong + "\nlast\n"),
              (Lines{"first", strLong.substr(0, 4000), strLong.substr(4000, 4000), strLong.substr(8000), "last"}));

    // A line of exactly the piece size, with either line end, is one line.
    const std::string strFull(SEARCH_LINE_MAX, 'y');
    EXPECT_EQ(ReadLines(strFull + "\n" + "z"), (Lines{strFull, "z"}));
    EXPECT_EQ(ReadLines(strFull + "\r\n" + "z"), (Lines{strFull, "z"}));
    EXPECT_EQ(ReadLines(strFull + "w\r\n"), (Lines{strFull, "w"}));
}

TEST(LineReader, PiecesNeverSplitADoubleByteCharacter)
{
    // あ (82 A0) would straddle the cut at 4000 bytes.
    const std::string strLine = std::string(3999, 'a') + "\x82\xA0" + "b";
    EXPECT_EQ(ReadLines(strLine + "\n"), (Lines{std::string(3999, 'a'), "\x82\xA0" "b"}));
    // A second byte that looks like a lead byte is not taken for one.
    const std::string strPairs = std::string(3998, 'a') + "\x81\x81" + "\x81\x81";
    EXPECT_EQ(ReadLines(strPairs), (Lines{strPairs.substr(0, 4000), "\x81\x81"}));
}

TEST(LineReader, LinesAcrossBufferRefillsMatchASimpleSplit)
{
    std::mt19937 rng(7);
    std::string strBytes;
    Lines expected;
    while (strBytes.size() < 400000) {
        std::string strLine(rng() % 300, 'q');
        for (char &c : strLine)
            c = static_cast<char>('a' + rng() % 26);
        expected.push_back(strLine);
        strBytes += strLine + (rng() % 2 ? "\r\n" : "\n");
    }
    EXPECT_EQ(ReadLines(strBytes), expected);
}

TEST(LineReader, MissingFileIsReported)
{
    CTempDir dir;
    CSearchLineReader reader;
    EXPECT_FALSE(reader.Open(dir.File("missing")));
    std::string_view line;
    EXPECT_FALSE(reader.NextLine(line));
}
