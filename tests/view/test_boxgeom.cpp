// Box selections over bytes: which bytes a box of cells covers on lines of
// different lengths, with tabs and double-byte characters cut by its edges,
// and the box operations on a buffer, each one step of undo.
#include "text/bufferutil.h"
#include "text/extrachars.h"
#include "view/boxedit.h"
#include "view/boxgeom.h"

#include <gtest/gtest.h>

namespace {

// "あ" and "い" in Shift-JIS; the trail byte of "ソ" is a backslash.
const std::string A = "\x82\xA0";
const std::string I = "\x82\xA2";
const std::string SO = "\x83\x5C";

std::string Span(std::string_view line, int nLeft, int nRight, int nTab = 4, const CExtraChars *pExtra = nullptr)
{
    const CBoxSpan s = BoxSpanOfLine(line, nLeft, nRight, nTab, pExtra);
    return std::to_string(s.nFrom) + "-" + std::to_string(s.nTo) + "@" + std::to_string(s.nFromColumn) + "-"
           + std::to_string(s.nToColumn);
}

// Applies a line edit the way the buffer operations do.
std::string Edited(std::string_view line, const CBoxLineEdit &edit)
{
    std::string s(line.substr(0, static_cast<std::size_t>(edit.nFrom)));
    s += edit.strText;
    s.append(line.substr(static_cast<std::size_t>(edit.nTo)));
    return s;
}

std::string Replace(std::string_view line, int nLeft, int nRight, std::string_view text, int nTab = 4)
{
    return Edited(line, BoxLineEdit(line, nLeft, nRight, nTab, text, true));
}

void Fill(CCrystalTextBuffer &buffer, std::string_view text)
{
    buffer.FreeAll();
    buffer.InitNew();
    Insert(buffer, 0, 0, text, ACTION_INDENT);
}

} // namespace

TEST(BoxGeom, LinesOfDifferentLengthsGiveWhatTheyHaveInTheBox)
{
    EXPECT_EQ(Span("abcdef", 2, 4), "2-4@2-4");
    EXPECT_EQ(BoxTextOfLine("abcdef", 2, 4, 4), "cd");
    // A line that ends inside the box gives its part; one that ends left of
    // it nothing, and no blanks are made up for the cells past its end.
    EXPECT_EQ(Span("abc", 2, 4), "2-3@2-3");
    EXPECT_EQ(BoxTextOfLine("abc", 2, 4, 4), "c");
    EXPECT_EQ(Span("ab", 2, 4), "2-2@2-2");
    EXPECT_EQ(Span("a", 2, 4), "1-1@1-1");
    EXPECT_EQ(BoxTextOfLine("a", 2, 4, 4), "");
    EXPECT_EQ(Span("", 0, 3), "0-0@0-0");
    // A box from column 0 and one beyond every line.
    EXPECT_EQ(BoxTextOfLine("abc", 0, 2, 4), "ab");
    EXPECT_EQ(BoxTextOfLine("abc", 7, 9, 4), "");
}

TEST(BoxGeom, TabsCutByAnEdgeBecomeTheBlanksOfTheirCells)
{
    // "a\tbc" with tab size 4: the tab takes columns 1 to 3.
    const std::string left = "a\tbc";
    EXPECT_EQ(BoxTextOfLine(left, 2, 6, 4), "  bc");
    // Removing the box keeps the tab's cell left of it as a blank.
    EXPECT_EQ(Replace(left, 2, 6, ""), "a ");
    EXPECT_EQ(Replace(left, 2, 6, "XY"), "a XY");
    // The right edge at 3 cuts the tab of "ab\tc" (columns 2 and 3).
    const std::string right = "ab\tc";
    EXPECT_EQ(BoxTextOfLine(right, 0, 3, 4), "ab ");
    EXPECT_EQ(Replace(right, 0, 3, ""), " c");
    // A tab wholly inside the box is copied as a tab and removed whole.
    EXPECT_EQ(BoxTextOfLine("x\ty", 1, 4, 4), "\t");
    EXPECT_EQ(Replace("x\ty", 1, 4, ""), "xy");
    // A box inside one tab, and a box of no width through one: the tab's
    // other cells stay blanks, so what follows keeps its column.
    EXPECT_EQ(BoxTextOfLine("\tx", 2, 5, 8), "   ");
    EXPECT_EQ(Replace("\tx", 2, 5, "", 8), "     x");
    EXPECT_EQ(Replace("\tx", 3, 3, "Z", 8), "   Z     x");
    // A tab size of 0 counts as 1.
    EXPECT_EQ(BoxTextOfLine("a\tb", 1, 2, 0), "\t");
}

TEST(BoxGeom, TextGoesAtTheColumnOfEveryLinePaddedWhereTheLineIsShort)
{
    EXPECT_EQ(Replace("ab", 4, 4, "X"), "ab  X");
    EXPECT_EQ(Replace("", 3, 3, "X"), "   X");
    // A line ending at the column needs no blanks.
    EXPECT_EQ(Replace("abc", 3, 3, "X"), "abcX");
    // Removing a box adds nothing to a short line.
    const CBoxLineEdit edit = BoxLineEdit("ab", 4, 6, 4, "", true);
    EXPECT_TRUE(edit.ChangesNothing("ab"));
    // The text's place in the replacement, after the blanks of a cut tab.
    const CBoxLineEdit cut = BoxLineEdit("a\tb", 2, 2, 4, "XY", true);
    EXPECT_EQ(cut.strText.substr(static_cast<std::size_t>(cut.nTextFrom),
                                 static_cast<std::size_t>(cut.nTextTo - cut.nTextFrom)),
              "XY");
}

TEST(BoxEdit, RemovingABoxIsOneStepOfUndoOverEveryKindOfLine)
{
    CCrystalTextBuffer buffer;
    const std::string text = "0123456789\r\n01\r\n\r\n012\t89\r\n0" + A + "3456\r\nlast";
    Fill(buffer, text);
    const std::string before = Lines(buffer);
    ASSERT_TRUE(ReplaceBox(buffer, nullptr, CBox{0, 5, 2, 5}, 4, "", ACTION_DELETE));
    // The tab of line 3 lies wholly in the box; the あ of line 4 is cut by its
    // left edge and goes whole; the last line has no line end.
    EXPECT_EQ(Lines(buffer), "0156789|01||019|056|la");
    EXPECT_TRUE(buffer.IsModified());
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), before);
    EXPECT_FALSE(buffer.CanUndo());
    ASSERT_TRUE(buffer.Redo(pt));
    EXPECT_EQ(Lines(buffer), "0156789|01||019|056|la");

    // A box over nothing but short lines changes nothing and records nothing.
    Fill(buffer, "ab\r\ncd");
    EXPECT_FALSE(ReplaceBox(buffer, nullptr, CBox{0, 1, 5, 8}, 4, "", ACTION_DELETE));
    EXPECT_FALSE(buffer.CanUndo());
}

TEST(BoxEdit, TypingIntoABoxOfNoWidthPutsTheTextOnEveryLine)
{
    CCrystalTextBuffer buffer;
    Fill(buffer, "abcd\r\na\r\n\r\nab" + A + "c");
    ASSERT_TRUE(ReplaceBox(buffer, nullptr, CBox{0, 3, 3, 3}, 4, I, ACTION_TYPING));
    // The last line's あ is cut by the column: the text goes after it.
    EXPECT_EQ(Lines(buffer), "abc" + I + "d|a  " + I + "|   " + I + "|ab" + A + I + "c");
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "abcd|a||ab" + A + "c");

    // With some width the box's contents on every line give way to the text.
    ASSERT_TRUE(ReplaceBox(buffer, nullptr, CBox{0, 1, 1, 3}, 4, "-", ACTION_TYPING));
    EXPECT_EQ(Lines(buffer), "a-d|a-||ab" + A + "c");
}

TEST(BoxEdit, ABoxIsPastedAtItsColumnAddingTheLinesThatAreMissing)
{
    CCrystalTextBuffer buffer;
    Fill(buffer, "xxxxx\r\ny");
    const std::string cr = "c\rd";  // a CR byte of a copied line stays in it
    const std::vector<std::string_view> aPieces{"ab", cr, A};
    ASSERT_TRUE(InsertBox(buffer, nullptr, 1, 3, aPieces, 4, ACTION_PASTE));
    EXPECT_EQ(Lines(buffer), "xxxxx|y  ab|   c\rd|   " + A);
    EXPECT_EQ(buffer.GetLineCount(), 4);
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "xxxxx|y");
    EXPECT_FALSE(buffer.CanUndo());

    // Into lines that hold tabs cut by the column, and at the very end of the text.
    Fill(buffer, "\tz\r\nq");
    const std::vector<std::string_view> aTwo{"1", "2", "3"};
    ASSERT_TRUE(InsertBox(buffer, nullptr, 0, 2, aTwo, 4, ACTION_PASTE));
    EXPECT_EQ(Lines(buffer), "  1  z|q 2|  3");
}

TEST(BoxEdit, OutdentWorksAtTheBoxsLeftColumnInOneStep)
{
    CCrystalTextBuffer buffer;
    Fill(buffer, "ab    cd\r\nab\tcd\r\nabcd\r\na\t b");
    ASSERT_TRUE(IndentBox(buffer, nullptr, CBox{0, 3, 2, 4}, INDENT_LESS, 4, ACTION_INDENT2));
    // Up to four spaces or one tab; a line with text at the column keeps it;
    // the tab cut by the column leaves its cell left of it as a blank.
    EXPECT_EQ(Lines(buffer), "abcd|abcd|abcd|a b");
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "ab    cd|ab\tcd|abcd|a\t b");
    EXPECT_FALSE(buffer.CanUndo());
}

TEST(BoxEdit, CopiedBoxTextHasOnePiecePerLineUpToTheLastLine)
{
    CCrystalTextBuffer buffer;
    Fill(buffer, "0123\r\n\r\n01\t3\r\n0" + A);
    EXPECT_EQ(GetBoxText(buffer, CBox{0, 9, 1, 3}, 4), (std::vector<std::string>{"12", "", "1 ", A}));
}

TEST(BoxEdit, ABoxOverMoreLinesThanTheUndoLimitStillUndoesInOneStep)
{
    CCrystalTextBuffer buffer;
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Fill(buffer, "before\r\n");
    Insert(buffer, 1, 0, text, ACTION_TYPING);
    const std::string before = Lines(buffer);
    ASSERT_TRUE(ReplaceBox(buffer, nullptr, CBox{0, 5000, 0, 2}, 4, "", ACTION_DELETE));
    EXPECT_EQ(buffer.GetLine(4000), "ne 3999");
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), before);
    // The step before the box is still there to undo.
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "before|");
}
