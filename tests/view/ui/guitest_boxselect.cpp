// Box selections in the editing view, driven by keys, the mouse, the
// clipboard and the input method: what each operation leaves in the buffer,
// that it undoes in one step, and what the box looks like on screen.
#include "res/commands.h"
#include "support/viewfixture.h"
#include "view/ui/crystaleditview.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const std::string A = "\x82\xA0";  // あ
const std::string NI = "\x93\xFA"; // 日
const std::string HON = "\x96\x7B"; // 本

class BoxView : public CViewFixture<CCrystalEditView>
{
protected:
    void SetUp() override
    {
        CViewFixture::SetUp();
        m_view.SetTabSize(4);
    }

    void BoxKey(Qt::Key key, int nTimes = 1)
    {
        for (int i = 0; i < nTimes; ++i)
            Key(key, Qt::AltModifier | Qt::ShiftModifier);
    }

    void Undo() { Key(Qt::Key_Z, Qt::ControlModifier); }

    std::string Box() const
    {
        const CBox box = m_view.GetSelectionBox();
        return std::to_string(box.nTop) + "-" + std::to_string(box.nBottom) + ":" + std::to_string(box.nLeft) + "-"
               + std::to_string(box.nRight);
    }

    QPoint CellPoint(int nColumn, int nLine)
    {
        return QPoint(m_view.GetMarginWidth() + nColumn * m_view.GetCharWidth(),
                      nLine * m_view.GetLineHeight() + m_view.GetLineHeight() / 2);
    }
};

} // namespace

TEST_F(BoxView, KeysMakeABoxThatCopiesAsLinesAndPastesBackAsABox)
{
    SetText("abcdef\r\nab\r\n\r\nab" + A + "cd");
    m_view.PlaceCaret(CPoint(1, 0));
    BoxKey(Qt::Key_Right, 2);
    BoxKey(Qt::Key_Down, 3);
    ASSERT_TRUE(m_view.IsBoxSelection());
    EXPECT_EQ(Box(), "0-3:1-3");
    Key(Qt::Key_C, Qt::ControlModifier);

    // Other programs get the lines; the right edge cuts あ, which comes whole.
    const QMimeData *pData = QApplication::clipboard()->mimeData();
    EXPECT_EQ(pData->text(), QStringLiteral("bc\nb\n\nbあ"));
    ASSERT_TRUE(pData->hasFormat(QString::fromLatin1(WRENPAD_MIME_SJIS)));

    // Any plain movement ends the box.
    Key(Qt::Key_Left);
    EXPECT_FALSE(m_view.IsBoxSelection());
    EXPECT_FALSE(m_view.IsSelection());

    // Pasted at column 2 of line 1: the short and empty lines are padded, the
    // line missing at the end is added, and the caret ends after the first piece.
    m_view.PlaceCaret(CPoint(2, 1));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "abcdef|abbc|  b|ab" + A + "cd|  b" + A);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(4, 1));
    Undo();
    EXPECT_EQ(Text(), "abcdef|ab||ab" + A + "cd");
}

TEST_F(BoxView, PlainTextFromOtherProgramsIsNoBox)
{
    SetText("abcd\r\nefgh\r\nijkl");
    // A box copied here, then taken back as another program's plain text,
    // goes in as lines at the caret.
    m_view.SelectBox(0, 1, 1, 3);
    Key(Qt::Key_C, Qt::ControlModifier);
    const QString strText = QApplication::clipboard()->text();
    EXPECT_EQ(strText, QStringLiteral("bc\nfg"));
    QApplication::clipboard()->setText(strText);
    m_view.PlaceCaret(CPoint(4, 2));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "abcd|efgh|ijklbc|fg");
    Undo();

    // One line of plain text takes the box's place on every line.
    QApplication::clipboard()->setText(QStringLiteral("日"));
    m_view.SelectBox(0, 1, 2, 2);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "a" + NI + "cd|e" + NI + "gh|i" + NI + "kl");
}

TEST_F(BoxView, AltDragSelectsCellsAndAPlainClickEndsTheBox)
{
    SetText("abcdef\r\nab\r\nabcdef");
    QTest::mousePress(m_view.viewport(), Qt::LeftButton, Qt::AltModifier, CellPoint(1, 0));
    QMouseEvent move(QEvent::MouseMove, QPointF(CellPoint(4, 2)), QPointF(m_view.viewport()->mapToGlobal(CellPoint(4, 2))),
                     Qt::NoButton, Qt::LeftButton, Qt::AltModifier);
    QApplication::sendEvent(m_view.viewport(), &move);
    QTest::mouseRelease(m_view.viewport(), Qt::LeftButton, Qt::AltModifier, CellPoint(4, 2));
    ASSERT_TRUE(m_view.IsBoxSelection());
    EXPECT_EQ(Box(), "0-2:1-4");
    // Past the end of the short line the box goes on over empty cells.
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(4, 2));
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Text(), "aef|a|aef");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("bcd\nb\nbcd"));
    Undo();

    m_view.SelectBox(0, 1, 2, 4);
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(2, 1));
    EXPECT_FALSE(m_view.IsBoxSelection());
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(2, 1));
}

TEST_F(BoxView, DeleteAndBackspaceTakeTheBoxOrOneCellOfEveryLine)
{
    SetText("abcd\r\na\tbc\r\nxy");
    const std::string original = "abcd|a\tbc|xy";
    m_view.SelectBox(0, 1, 2, 3);
    Key(Qt::Key_Delete);
    // The right edge cuts the tab: its cell outside the box stays a blank.
    EXPECT_EQ(Text(), "ad|a bc|x");
    ASSERT_TRUE(m_view.IsBoxSelection());
    EXPECT_EQ(Box(), "0-2:1-1");

    // With no width, Backspace takes the cell before the column on every line.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), "d| bc|");
    EXPECT_EQ(Box(), "0-2:0-0");
    Undo();
    Undo();
    EXPECT_EQ(Text(), original);

    // And Delete the cell after it; a double-byte character there goes whole.
    SetText(A + "z\r\n");
    m_view.SelectBox(0, 0, 1, 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "z|bcd|a\tbc|xy");
}

TEST_F(BoxView, TypingAndTheInputMethodWriteOnEveryLineInOneStep)
{
    SetText("abcd\r\na\r\nxyz");
    m_view.SelectBox(0, 2, 2, 2);
    QTest::keyClicks(&m_view, "12");
    EXPECT_EQ(Text(), "ab12cd|a 12|xy12z");
    EXPECT_EQ(Box(), "0-2:4-4");
    Undo();
    EXPECT_EQ(Text(), "abcd|a|xyz");

    // A box with width gives way to the committed text.
    m_view.SelectBox(0, 0, 2, 1);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(&m_view, &commit);
    EXPECT_EQ(Text(), NI + HON + "bcd|" + NI + HON + "|" + NI + HON + "yz");
    EXPECT_EQ(Box(), "0-2:4-4");

    // Enter ends the box and breaks only the caret's line.
    m_view.SelectBox(0, 1, 1, 1);
    Key(Qt::Key_Return);
    EXPECT_FALSE(m_view.IsBoxSelection());
    EXPECT_EQ(m_buffer.GetLineCount(), 4);
}

TEST_F(BoxView, TabIndentsTheBoxsLinesAndTheBoxTakesInTheTab)
{
    SetText("ab cd\r\na\r\nabcdef");
    m_view.SelectBox(0, 2, 2, 3);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "ab\t cd|a|ab\tcdef");
    // The box keeps its left column and takes in the new tab, so that
    // Shift+Tab takes it out again.
    EXPECT_EQ(Box(), "0-2:2-5");
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "ab cd|a|abcdef");
    EXPECT_EQ(Box(), "0-2:2-3");

    // A box of no width is a caret on every line: it moves past the tab.
    m_view.SelectBox(0, 4, 2, 4);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Box(), "0-2:8-8");
}

TEST_F(BoxView, TheBoxIsDrawnCellForCellWithCutCharactersWhole)
{
    SetText("ab\r\na" + A + "xy\r\nabcdef");
    m_view.SetColor(COLORINDEX_SELBKGND, 0x0000FF);  // red
    m_view.SetColor(COLORINDEX_SELTEXT, 0x0000FF);
    m_view.SetColor(COLORINDEX_WHITESPACE, 0xFFFFFF);
    m_view.SetColor(COLORINDEX_BKGND, 0xFFFFFF);
    m_view.SetShowInactiveSelection(true);
    m_view.SelectBox(0, 2, 2, 4);
    const QImage image = Render();
    const int nCellArea = m_view.GetCharWidth() * m_view.GetLineHeight();
    auto red = [&](int nColumn, int nLine) {
        return CountPixels(image, Cell(nColumn, nLine), [](const QColor &c) { return c == QColor(0xFF, 0, 0); });
    };
    // Cells 0-4 of each line, '#' wholly selected, '.' not at all. The short
    // line's cells in the box are drawn though it has no text there; あ is cut
    // by the left edge and shows selected whole.
    std::string strCells;
    for (int nLine = 0; nLine < 3; ++nLine) {
        for (int nColumn = 0; nColumn < 5; ++nColumn) {
            const int n = red(nColumn, nLine);
            strCells += n == nCellArea ? '#' : n == 0 ? '.' : '?';
        }
        strCells += '|';
    }
    EXPECT_EQ(strCells, "..##.|.###.|..##.|");
}
