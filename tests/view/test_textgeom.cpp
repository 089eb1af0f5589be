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
    // A column inside a tab goes to its nearer side.
    EXPECT_EQ(ColumnToText(line, 2, 4), 1);
    EXPECT_EQ(ColumnToText(line, 3, 4), 2);
    EXPECT_EQ(ColumnToText(line, 4, 4), 2);
    EXPECT_EQ(ColumnToText(line, 1, 4), 1);
    EXPECT_EQ(ColumnToText(line, 0, 4), 0);
    EXPECT_EQ(ColumnToText(line, 40, 4), 3);
    // A mouse column maps to the byte whose cell holds it.
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(ColumnToTextCell(line, c, 4), 1) << c;
    EXPECT_EQ(ColumnToTextCell(line, 4, 4), 2);
    EXPECT_EQ(ColumnToTextCell(line, 9, 4), 3);
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

TEST(WordClass, KeyboardWordsFollowTheScript)
{
    // ひらがなカタカナ漢字: hiragana, katakana with a prolonged mark inside, kanji.
    const std::string line = "\x82\xD0\x82\xE7\x83\x4A\x81\x5B\x83\x5E\x8A\xBF\x8E\x9A";
    EXPECT_EQ(WordRightInLine(line, 0), 4);
    EXPECT_EQ(WordRightInLine(line, 4), 10);  // "ー" stays with its katakana
    EXPECT_EQ(WordRightInLine(line, 10), 14);
    EXPECT_EQ(WordLeftInLine(line, 14), 10);
    EXPECT_EQ(WordLeftInLine(line, 10), 4);
    EXPECT_EQ(WordLeftInLine(line, 4), 0);
    // Hiragana after kanji is a word of its own: 漢字の
    EXPECT_EQ(WordRightInLine("\x8A\xBF\x8E\x9A\x82\xCC", 0), 4);

    // ASCII words, punctuation runs and the blanks after a word.
    const std::string_view ascii = "foo_1  +=  bar";
    EXPECT_EQ(WordRightInLine(ascii, 0), 7);
    EXPECT_EQ(WordRightInLine(ascii, 7), 11);
    EXPECT_EQ(WordLeftInLine(ascii, 11), 7);
    EXPECT_EQ(WordLeftInLine(ascii, 7), 0);
    // The blanks after a double-byte word belong to it both ways.
    EXPECT_EQ(WordRightInLine("\x8A\xBF  x", 0), 4);
    EXPECT_EQ(WordLeftInLine("\x8A\xBF  x", 4), 0);
    // Kanji runs end at Japanese punctuation: 漢字、漢
    const std::string kanji = "\x8A\xBF\x8E\x9A\x81\x41\x8A\xBF";
    EXPECT_EQ(WordRightInLine(kanji, 0), 4);
    // Bytes above 0x80 that are not characters group with punctuation.
    EXPECT_EQ(WordRightInLine("\x80\xFF;a", 0), 3);
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
        std::vector<int> aRight{0};
        while (aRight.back() < static_cast<int>(line.size()))
            aRight.push_back(WordRightInLine(line, aRight.back()));
        std::vector<int> aLeft{static_cast<int>(line.size())};
        while (aLeft.back() > 0)
            aLeft.push_back(WordLeftInLine(line, aLeft.back()));
        std::reverse(aLeft.begin(), aLeft.end());
        ASSERT_EQ(aLeft, aRight) << ::testing::PrintToString(line);
    }

    // The kind of line where they used to part: kanji, "、", kanji, and
    // "ー" between a kanji and hiragana.
    const std::string line = "int x; \x8A\xBF\x8E\x9A\x81\x41\x8A\xBF\x81\x5B\x82\xA0\x82\xA2 end";
    std::vector<int> aStops;
    for (int i = 0; i < static_cast<int>(line.size()); i = WordRightInLine(line, i))
        aStops.push_back(i);
    EXPECT_EQ(aStops, (std::vector<int>{0, 4, 5, 7, 11, 15, 17, 22}));
    for (int k = static_cast<int>(aStops.size()) - 1; k > 0; --k)
        EXPECT_EQ(WordLeftInLine(line, aStops[static_cast<std::size_t>(k)]), aStops[static_cast<std::size_t>(k - 1)]);
    // From inside a word, left goes to its start.
    EXPECT_EQ(WordLeftInLine(line, 2), 0);
    EXPECT_EQ(WordLeftInLine(line, 9), 7);
}

TEST(WordClass, MouseWordsStopAtBlanksAndScriptChanges)
{
    int s = 0;
    int e = 0;
    const std::string line = "ab \x82\xD0\x82\xE7\x83\x4A\x81\x5B\x83\x5E\x8A\xBF\x8E\x9A\x81\x41\xB1\xB2 x";
    MouseWordBounds(line, 1, s, e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 2);
    MouseWordBounds(line, 2, s, e);  // a blank: an empty word
    EXPECT_EQ(s, 2);
    EXPECT_EQ(e, 2);
    MouseWordBounds(line, 5, s, e);  // hiragana
    EXPECT_EQ(s, 3);
    EXPECT_EQ(e, 7);
    MouseWordBounds(line, 7, s, e);  // katakana with "ー" inside
    EXPECT_EQ(s, 7);
    EXPECT_EQ(e, 13);
    MouseWordBounds(line, 9, s, e);  // on the "ー" itself
    EXPECT_EQ(s, 7);
    EXPECT_EQ(e, 13);
    MouseWordBounds(line, 15, s, e);  // kanji, ended by "、"
    EXPECT_EQ(s, 13);
    EXPECT_EQ(e, 17);
    MouseWordBounds(line, 19, s, e);  // half-width katakana
    EXPECT_EQ(s, 19);
    EXPECT_EQ(e, 21);
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
    EXPECT_EQ(CharCodeText(CharacterAt("A", 0)), "\\x41");
    EXPECT_EQ(CharCodeText(CharacterAt("\t", 0)), "\\x9");
    EXPECT_EQ(CharCodeText(CharacterAt("x\x82\xA0", 1)), "\\x82\\xA0");
    EXPECT_EQ(CharCodeText(CharacterAt("\x81\x40", 0)), "\\x81\\x40");
    EXPECT_TRUE(CharacterAt("ab", 2).empty());
    EXPECT_EQ(CharacterAt("a\x82", 1), "\x82");  // a broken lead byte alone
}
