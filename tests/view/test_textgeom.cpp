// Columns, words, brackets and indentation: the byte-level rules under the view.
#include "text/extrachars.h"
#include "text/textbuffer.h"
#include "view/editops.h"
#include "view/textgeom.h"
#include "view/wordclass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

TEST(TextGeom, TabsExpandToTheNextStop)
{
    const std::string_view line = "a\tb";
    EXPECT_EQ(TextToColumn(line, 2, 4), 4);
    EXPECT_EQ(TextToColumn(line, 1, 4), 1);
    EXPECT_EQ(LineDisplayLength(line, 4), 5);
    EXPECT_EQ(LineDisplayLength("\t\t", 8), 16);
    // Runs between tabs, from the start and from inside the line.
    EXPECT_EQ(LineDisplayLength("ab\tcdefg\th", 4), 13);
    EXPECT_EQ(ColumnAfter("ab\tcdefg\th", 3, 9, 4, 4, nullptr), 12);
    // Columns 0..4 and 40 to text: inside a tab goes to its nearer side; a
    // mouse column maps to the byte whose cell holds it.
    std::vector<int> aText, aCell;
    for (int c : {0, 1, 2, 3, 4, 9, 40}) {
        aText.push_back(ColumnToText(line, c, 4));
        aCell.push_back(ColumnToTextCell(line, c, 4));
    }
    EXPECT_EQ(aText, (std::vector<int>{0, 1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(std::vector<int>(aCell.begin() + 1, aCell.end() - 1), (std::vector<int>{1, 1, 1, 2, 3}));
    // A double-byte character is two columns.
    EXPECT_EQ(TextToColumn("\x82\xA0x", 2, 4), 2);
    // A tab size of 0 counts as 1 instead of dividing by zero.
    EXPECT_EQ(LineDisplayLength("\t\t", 0), 2);
    EXPECT_EQ(ColumnToText("\t\t", 1, 0), 1);
}

// The codes of a document's table take the cells of their characters: one
// for a narrow character (a combining mark too), two for a wide one.
TEST(TextGeom, CodesOfTheTableTakeTheCellsOfTheirCharacters)
{
    const std::pair<char32_t, int> widths[] = {
        {U'\u00E9', 1}, {U'\u00A0', 1}, {U'\u00A9', 1}, {U'\u2013', 1}, {U'\u0301', 1},
        {U'\U00020B9F', 2}, {U'\uAC00', 2}, {U'\U0001F600', 2}, {U'\U0001F44D', 2}, {U'\uE000', 2},
    };
    for (const auto &[c, nCells] : widths)
        EXPECT_EQ(ExtraCharCells(c), nCells) << std::hex << static_cast<unsigned>(c);

    CExtraChars extra;
    for (char32_t c : {U'\u00E9', U'\U00020B9F', U'\U0001F600', U'\u0301'})
        extra.Add(c);
    // a é \t 𠮟 😀 ◌́ あ b: bytes 0 1-2 3 4-5 6-7 8-9 10-11 12, columns 0 1 2-3 4-5 6-7 8 9-10 11.
    const std::string line = "a\xF0\x40\t\xF0\x41\xF0\x42\xF0\x43\x82\xA0" "b";
    struct
    {
        int nByte;
        int nColumn;
    } const starts[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 4}, {5, 5}, {6, 6}, {8, 8}, {10, 9}, {11, 10}, {12, 11}, {13, 12}};
    for (const auto &s : starts)
        EXPECT_EQ(TextToColumn(line, s.nByte, 4, &extra), s.nColumn) << s.nByte;
    EXPECT_EQ(LineDisplayLength(line, 4, &extra), 12);
    EXPECT_EQ(ColumnAfter(line, 4, 8, 4, 4, &extra), 8);
    // Back from columns: a column inside a wide character names its second
    // byte, as in Shift-JIS; one inside a tab goes to its nearer side.
    const std::pair<int, int> bytes[] = {{1, 1}, {2, 3}, {3, 4}, {4, 4}, {5, 5}, {8, 8}, {9, 10}, {10, 11}, {30, 13}};
    for (const auto &[nColumn, nByte] : bytes)
        EXPECT_EQ(ColumnToText(line, nColumn, 4, &extra), nByte) << nColumn;
    const std::pair<int, int> cells[] = {{0, 0}, {1, 1}, {2, 3}, {3, 3}, {5, 5}, {7, 7}, {8, 8}, {10, 11}, {12, 13}};
    for (const auto &[nColumn, nByte] : cells)
        EXPECT_EQ(ColumnToTextCell(line, nColumn, 4, &extra), nByte) << nColumn;
    // Without the table (a Shift-JIS document) every code is two cells.
    EXPECT_EQ(LineDisplayLength(line, 4), 13);
    EXPECT_EQ(TextToColumn(line, 3, 4), 3);
}

namespace {

// The stops of Ctrl+Right from the start, and of Ctrl+Left from the end.
std::vector<int> RightStops(std::string_view line)
{
    std::vector<int> a{0};
    while (a.back() < static_cast<int>(line.size()))
        a.push_back(WordRightInLine(line, a.back()));
    return a;
}

std::vector<int> LeftStops(std::string_view line)
{
    std::vector<int> a{static_cast<int>(line.size())};
    while (a.back() > 0)
        a.push_back(WordLeftInLine(line, a.back()));
    std::reverse(a.begin(), a.end());
    return a;
}

} // namespace

TEST(WordClass, KeyboardWordsFollowTheScript)
{
    const struct
    {
        std::string strLine;
        std::vector<int> aStops;
    } cases[] = {
        // ひらがなカタカナ漢字: "ー" stays with its katakana.
        {"\x82\xD0\x82\xE7\x83\x4A\x81\x5B\x83\x5E\x8A\xBF\x8E\x9A", {0, 4, 10, 14}},
        // Hiragana after kanji is a word of its own: 漢字の
        {"\x8A\xBF\x8E\x9A\x82\xCC", {0, 4, 6}},
        // ASCII words, punctuation runs and the blanks after a word.
        {"foo_1  +=  bar", {0, 7, 11, 14}},
        // The blanks after a double-byte word belong to it both ways.
        {"\x8A\xBF  x", {0, 4, 5}},
        // Kanji runs end at Japanese punctuation: 漢字、漢
        {"\x8A\xBF\x8E\x9A\x81\x41\x8A\xBF", {0, 4, 8}},
        // Bytes above 0x80 that are not characters group with punctuation.
        {"\x80\xFF;a", {0, 3, 4}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(RightStops(c.strLine), c.aStops) << ::testing::PrintToString(c.strLine);
        EXPECT_EQ(LeftStops(c.strLine), c.aStops) << ::testing::PrintToString(c.strLine);
    }
}

TEST(WordClass, LeftAndRightStopAtTheSameBoundaries)
{
    // Mixed Japanese and ASCII: Japanese punctuation between kanji, "ー"
    // between hiragana and katakana, blanks after double-byte words,
    // half-width katakana, trail bytes that look like ASCII.
    const char *const aPieces[] = {
        "a",  "_",  "9",  " ",  "\t", "+",  "(",  "\xB1", "\x80",
        "\x82\xA0",  // あ
        "\x83\x41",  // ア
        "\x81\x5B",  // ー
        "\x8A\xBF",  // 漢
        "\x81\x41",  // 、
        "\x81\x75",  // 「
        "\x83\x5C",  // ソ (trail 0x5C)
        "\x82\x60",  // Ａ
    };
    std::mt19937 rng(34);
    for (int n = 0; n < 3000; ++n) {
        std::string line;
        const int nPieces = static_cast<int>(rng() % 12);
        for (int i = 0; i < nPieces; ++i)
            line += aPieces[rng() % std::size(aPieces)];
        ASSERT_EQ(LeftStops(line), RightStops(line)) << ::testing::PrintToString(line);
    }

    // The kind of line where they used to part: kanji, "、", kanji, and
    // "ー" between a kanji and hiragana.
    const std::string line = "int x; \x8A\xBF\x8E\x9A\x81\x41\x8A\xBF\x81\x5B\x82\xA0\x82\xA2 end";
    EXPECT_EQ(RightStops(line), (std::vector<int>{0, 4, 5, 7, 11, 15, 17, 22, 25}));
    EXPECT_EQ(LeftStops(line), RightStops(line));
    // From inside a word, left goes to its start.
    EXPECT_EQ(WordLeftInLine(line, 2), 0);
    EXPECT_EQ(WordLeftInLine(line, 9), 7);
}

TEST(WordClass, MouseWordsStopAtBlanksAndScriptChanges)
{
    const std::string line = "ab \x82\xD0\x82\xE7\x83\x4A\x81\x5B\x83\x5E\x8A\xBF\x8E\x9A\x81\x41\xB1\xB2 x";
    // ASCII, a blank (an empty word), hiragana, katakana with "ー" inside and
    // on the "ー" itself, kanji ended by "、", half-width katakana.
    const int aCases[][3] = {{1, 0, 2}, {2, 2, 2}, {5, 3, 7}, {7, 7, 13}, {9, 7, 13}, {15, 13, 17}, {19, 19, 21}};
    for (const auto &c : aCases) {
        int s = 0;
        int e = 0;
        MouseWordBounds(line, c[0], s, e);
        EXPECT_EQ(std::make_pair(s, e), std::make_pair(c[1], c[2])) << c[0];
    }
}

TEST(EditOps, BracketsPairAcrossLinesAndSkipDoubleByteCharacters)
{
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    int l = 0;
    int c = 0;
    // f(a(b)c) then a line with 表( whose 0x5C is a trail byte, and ソ[ (0x83 0x5C).
    buffer.InsertText(nullptr, 0, 0, "f(a(b)c)\r\n{\x83\x7B}\r\n<x\r\n>", l, c);
    CBracketMatch m;
    ASSERT_TRUE(FindMatchingBracket(buffer, CPoint(1, 0), m));
    EXPECT_EQ(m.ptMatch, CPoint(7, 0));
    EXPECT_TRUE(m.bForward);
    ASSERT_TRUE(FindMatchingBracket(buffer, CPoint(8, 0), m));  // after the last ')'
    EXPECT_TRUE(m.bCaretAfter);
    EXPECT_EQ(m.ptMatch, CPoint(1, 0));
    // The trail byte 0x7B of "ー"-like 0x83 0x7B is no brace.
    ASSERT_TRUE(FindMatchingBracket(buffer, CPoint(0, 1), m));
    EXPECT_EQ(m.ptMatch, CPoint(3, 1));
    ASSERT_TRUE(FindMatchingBracket(buffer, CPoint(0, 2), m));
    EXPECT_EQ(m.ptMatch, CPoint(0, 3));
    EXPECT_FALSE(FindMatchingBracket(buffer, CPoint(2, 1), m));  // caret after the trail byte
    buffer.InsertText(nullptr, 0, 0, "(", l, c);
    EXPECT_FALSE(FindMatchingBracket(buffer, CPoint(0, 0), m));  // unbalanced
}

TEST(EditOps, BlockIndentAndOutdent)
{
    std::vector<std::string> lines = {"a", "", "b", ""};
    IndentLines(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"\ta", "\t", "\tb", ""}));
    lines = {"  a", "\t  b", "      c", "d"};
    OutdentLines(lines, 4);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "  b", "  c", "d"}));
    EXPECT_EQ(WithoutIndentStep("\t\tx", 4), "\tx");
    EXPECT_EQ(WithoutIndentStep("   x", 0), "  x");
    EXPECT_EQ(LeadingBlanks(" \t x y"), " \t ");
    EXPECT_EQ(LeadingBlanks("x"), "");
}

TEST(EditOps, CharacterCodes)
{
    EXPECT_EQ(CharCodeText(CharacterAt("A", 0)) + CharCodeText(CharacterAt("\t", 0)), "\\x41\\x9");
    EXPECT_EQ(CharCodeText(CharacterAt("x\x82\xA0", 1)) + CharCodeText(CharacterAt("\x81\x40", 0)), "\\x82\\xA0\\x81\\x40");
    EXPECT_TRUE(CharacterAt("ab", 2).empty());
    EXPECT_EQ(CharacterAt("a\x82", 1), "\x82");  // a broken lead byte alone
}
