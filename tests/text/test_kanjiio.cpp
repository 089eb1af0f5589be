// The file side of the kanji import: whole files with every byte, the kinds
// of failures it names, and lines cut by the text's own line ends.
#include "support/testutil.h"
#include "text/fileio.h"
#include "text/kanjiio.h"
#include "text/textbuffer.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(KanjiFile, ReadsEveryByteAndNamesTheFailure)
{
    CTempDir dir;
    const std::string strBytes = "a\0b\r\n\x82\xa0"s + std::string(200000, '\0') + "end";
    WriteFileBytes(dir.File("f"), strBytes);
    std::string strRead;
    EXPECT_EQ(ReadWholeFile(dir.File("f"), strRead), FILEERR_NONE);
    EXPECT_EQ(strRead, strBytes);

    EXPECT_EQ(ReadWholeFile(dir.File("missing"), strRead), FILEERR_NOT_FOUND);
    EXPECT_TRUE(strRead.empty());
    EXPECT_EQ(ReadWholeFile(dir.File("f/below"), strRead), FILEERR_BAD_PATH);
    EXPECT_EQ(ReadWholeFile(dir.Path(), strRead), FILEERR_GENERIC);
    EXPECT_STREQ(FileErrorText(FILEERR_NOT_FOUND), "Error: The file could not be located.");
    EXPECT_STREQ(FileErrorText(FILEERR_GENERIC), "Error: UnKnown file error");
}

TEST(KanjiFile, LinesFollowTheTextsOwnLineEnds)
{
    // Each text is cut by the mode of its first line break; the other
    // break bytes stay inside the lines, and joining gives the text back.
    for (const std::string &strText : {"a\r\nb\rc\nd\r\n"s, "a\nb\r\nc\rd\n"s, "a\rb\nc\r\nd"s, "no break"s, ""s}) {
        const int nMode = DetectLineEndMode(strText);
        const std::vector<std::string_view> aLines = SplitLinesForMode(strText, nMode);
        std::string strJoined;
        for (std::size_t i = 0; i < aLines.size(); ++i)
            strJoined += (i ? std::string(LineEndSeparator(nMode)) : std::string()) + std::string(aLines[i]);
        EXPECT_EQ(strJoined, strText);
    }
    EXPECT_EQ(SplitLinesForMode("a\nb\r\nc", LINEEND_LF), (std::vector<std::string_view>{"a", "b\r", "c"}));
    EXPECT_EQ(SplitLinesForMode("a\r\nb\rc\r\n", LINEEND_CRLF), (std::vector<std::string_view>{"a", "b\rc", ""}));
}
