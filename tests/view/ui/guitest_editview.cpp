// The editing view driven as a user drives it: keys, the input method, the
// clipboard, the mouse and drops, on the offscreen platform.
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "support/viewfixture.h"
#include "text/bufferutil.h"
#include "view/textgeom.h"
#include "view/ui/crystaleditview.h"
#include "view/ui/markimages.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using Sel = std::pair<CPoint, CPoint>;

Sel SelectionOf(CCrystalTextView &view)
{
    CPoint b;
    CPoint e;
    view.GetSelectionRange(b, e);
    return {b, e};
}

// A view shown over a buffer of its own, which holds the text.
void Show(CCrystalTextView &view, CCrystalTextBuffer &buffer, std::string_view text, QSize size = QSize(300, 200))
{
    if (buffer.GetLineCount() == 0)
        buffer.InitNew();
    int l = 0;
    int c = 0;
    if (!text.empty())
        buffer.InsertText(nullptr, 0, 0, text, l, c, ACTION_INDENT);
    view.resize(size);
    view.AttachBuffer(&buffer);
    view.show();
}

class EditView : public CViewFixture<CCrystalEditView>
{
protected:
    void Commit(const QString &str)
    {
        QInputMethodEvent ev;
        ev.setCommitString(str);
        QApplication::sendEvent(&m_view, &ev);
    }

    QString UndoText()
    {
        CCmdUI ui(ID_EDIT_UNDO, true);
        m_view.RouteUpdate(&ui);
        return ui.GetText().value_or(QString());
    }
};

} // namespace

TEST_F(EditView, TypedWordUndoesAsOneGroup)
{
    // Keys and a Japanese commit at the same place are one run of typing.
    QTest::keyClicks(&m_view, "word");
    Commit(QStringLiteral("日本"));
    EXPECT_EQ(Text(), "word\x93\xFA\x96\x7B");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(UndoText(), QStringLiteral("元に戻す(&U)\tCtrl+Z"));  // nothing left to name
    Key(Qt::Key_Y, Qt::ControlModifier);

    // Typing somewhere else starts a new group.
    Key(Qt::Key_Home);
    QTest::keyClicks(&m_view, "x");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "word\x93\xFA\x96\x7B");
}

TEST_F(EditView, WidestLineFollowsEveryKindOfEdit)
{
    // The widest line is kept through edits without measuring every line
    // again: after insertions and deletions within a line and across lines,
    // with tabs, and their undo, it is what measuring all lines gives.
    SetText("a\tbc\r\n\t\tx\r\nlongest line here\r\n\r\nq\tq\tq");
    std::mt19937 rng(3);
    const auto widest = [&] {
        int n = 0;
        for (int i = 0; i < m_buffer.GetLineCount(); ++i)
            n = std::max(n, LineDisplayLength(m_buffer.GetLine(i), m_view.GetTabSize()));
        return n;
    };
    const auto anyPoint = [&] {
        const int y = static_cast<int>(rng() % static_cast<unsigned>(m_buffer.GetLineCount()));
        return CPoint(static_cast<int>(rng() % static_cast<unsigned>(m_buffer.GetLineLength(y) + 1)), y);
    };
    const char *const pieces[] = {"\t", "abc", "\r\n", "x\r\n\ty", "wide wide wide wide\t."};
    for (int nStep = 0; nStep < 300; ++nStep) {
        ASSERT_EQ(m_view.GetWidestLine(), widest()) << nStep;
        const unsigned nKind = rng() % 4;
        CPoint a = anyPoint();
        int l = 0;
        int c = 0;
        if (nKind == 0 || m_buffer.GetLineCount() < 3) {
            m_buffer.InsertText(nullptr, a.y, a.x, pieces[rng() % 5], l, c, ACTION_TYPING);
        } else if (nKind == 3 && m_buffer.CanUndo()) {
            CPoint pt;
            m_buffer.Undo(pt);
        } else {
            CPoint b = nKind == 1 ? CPoint(static_cast<int>(rng() % static_cast<unsigned>(m_buffer.GetLineLength(a.y) + 1)), a.y)
                                  : anyPoint();
            if (b.y < a.y || (b.y == a.y && b.x < a.x))
                std::swap(a, b);
            m_buffer.DeleteText(nullptr, a.y, a.x, b.y, b.x, ACTION_DELETE);
        }
    }
}

TEST_F(EditView, DeleteAndBackspaceTakeWholeCharacters)
{
    SetText("a\x82\xA0" "b\x95\x5C");
    m_view.PlaceCaret(CPoint(3, 0));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), "ab\x95\x5C");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(1, 0));
    m_view.PlaceCaret(CPoint(2, 0));
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "ab");

    // Joining lines, and nothing at the very ends.
    SetText("x\r\n");
    m_view.PlaceCaret(CPoint(0, 1));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), "xab");
    Key(Qt::Key_Home, Qt::ControlModifier);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "xab");
}

// Where words stop is the word classes' business; here that Ctrl+Backspace
// takes what Ctrl+Left moves over, as one step of undo.
TEST_F(EditView, CtrlBackspaceDeletesWhatCtrlLeftMovesOver)
{
    const std::string strKanji = "\x93\xFA\x96\x7B\x8C\xEA";
    const std::string strKatakana = "\x83\x65\x83\x4C\x83\x58\x83\x67";
    SetText(strKanji + strKatakana + "  foo_bar  ");
    Key(Qt::Key_End);
    for (const std::string &strAfter : {strKanji + strKatakana + "  ", strKanji}) {
        const CPoint ptBefore = m_view.GetCursorPos();
        Key(Qt::Key_Left, Qt::ControlModifier);
        const CPoint ptWordStart = m_view.GetCursorPos();
        m_view.PlaceCaret(ptBefore);
        Key(Qt::Key_Backspace, Qt::ControlModifier);
        EXPECT_EQ(Text(), strAfter);
        EXPECT_EQ(m_view.GetCursorPos(), ptWordStart);
    }
    // Each deletion is one step of undo, named as Backspace.
    EXPECT_EQ(UndoText(), QStringLiteral("元に戻す(&U) ﾊﾞｯｸｽﾍﾟｰｽ\tCtrl+Z"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), strKanji + strKatakana + "  ");

    // At the start of a line it joins the line with the one before.
    SetText("\r\n");
    m_view.PlaceCaret(CPoint(0, 1));
    Key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(Text(), strKanji + strKatakana + "  ");
    // A selection is deleted as it is.
    Select(CPoint(0, 0), CPoint(2, 0));
    Key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(Text(), "\x96\x7B\x8C\xEA" + strKatakana + "  ");
}

TEST_F(EditView, CtrlRightAndCtrlLeftStopAtTheSameLineBreaks)
{
    // Each line break is one stop both ways, an empty line's too.
    SetText("ab cd\r\n\r\n  ef");
    auto stops = [this](Qt::Key key) {
        std::vector<CPoint> a{m_view.GetCursorPos()};
        for (int i = 0; i < 6; ++i) {
            Key(key, Qt::ControlModifier);
            a.push_back(m_view.GetCursorPos());
        }
        return a;
    };
    const std::vector<CPoint> aRight = stops(Qt::Key_Right);
    EXPECT_EQ(aRight, (std::vector<CPoint>{CPoint(0, 0), CPoint(3, 0), CPoint(5, 0), CPoint(0, 1), CPoint(0, 2),
                                           CPoint(2, 2), CPoint(4, 2)}));
    std::vector<CPoint> aLeft = stops(Qt::Key_Left);
    std::reverse(aLeft.begin(), aLeft.end());
    EXPECT_EQ(aLeft, aRight);
    // With Shift the selection grows over the line break alone.
    m_view.PlaceCaret(CPoint(5, 0));
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selection(), Sel(CPoint(5, 0), CPoint(0, 1)));
}

TEST_F(EditView, FunctionKeysTypeNothing)
{
    SetText("abc");
    m_view.PlaceCaret(CPoint(1, 0));
    // Some platforms give a function key a text of its own: a character of
    // the private-use area, or even a letter.
    for (const QString &strText : {QString(), QString(QChar(0xF70D)), QStringLiteral("x")}) {
        for (const Qt::Key key : {Qt::Key_F10, Qt::Key_F12}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, strText);
            QApplication::sendEvent(&m_view, &press);
        }
    }
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(1, 0));
}

TEST_F(EditView, PastingNothingAfterEnterAddsNoIndent)
{
    SetText("  indented\r\nplain");
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "  indented|plain|");
    QApplication::clipboard()->clear();
    m_view.PlaceCaret(CPoint(0, 1));
    m_view.OnEditPaste();
    EXPECT_EQ(Text(), "  indented|plain|");
}

TEST_F(EditView, TypingJoinsOnlyTheTypingJustBefore)
{
    // A second document, with a paste and then typing right after it.
    CCrystalTextBuffer other;
    CCrystalEditView otherView;
    Show(otherView, other, "");
    QApplication::clipboard()->setText(QStringLiteral("xy"));
    otherView.OnEditPaste();
    ASSERT_EQ(otherView.GetCursorPos(), CPoint(2, 0));
    // Typing in this document leaves its caret at the same place.
    QTest::keyClicks(&m_view, "ab");
    ASSERT_EQ(m_view.GetCursorPos(), CPoint(2, 0));
    QTest::keyClicks(&otherView, "z");
    EXPECT_EQ(other.GetLine(0), "xyz");
    QTest::keyClick(&otherView, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(other.GetLine(0), "xy");

    // In one document, typing does not join a paste made elsewhere meanwhile.
    int l = 0;
    int c = 0;
    m_buffer.InsertText(nullptr, 0, 2, "\r\n", l, c, ACTION_INDENT);
    m_view.PlaceCaret(CPoint(0, 1));
    m_view.OnEditPaste();
    m_view.PlaceCaret(CPoint(2, 0));
    QTest::keyClicks(&m_view, "c");
    EXPECT_EQ(Text(), "abc|xy");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "ab|xy");
    otherView.DetachBuffer();
}

TEST_F(EditView, EnterIndentsLikeThePreviousLine)
{
    SetText("\t  if (x)");
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "\t  if (x)|\t  ");
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(3, 1));
    QTest::keyClicks(&m_view, "y");
    EXPECT_EQ(Text(), "\t  if (x)|\t  y");

    m_view.SetAutoIndent(false);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "\t  if (x)|\t  y|");

    // Overwrite mode: Enter moves down, except on the last line.
    m_view.SetOverwriteMode(true);
    m_view.PlaceCaret(CPoint(2, 0));
    Key(Qt::Key_Return);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(0, 1));
    EXPECT_EQ(m_buffer.GetLineCount(), 3);
    m_view.PlaceCaret(CPoint(0, 2));
    Key(Qt::Key_Return);
    EXPECT_EQ(m_buffer.GetLineCount(), 4);
}

TEST_F(EditView, OverwriteReplacesWholeCharacters)
{
    SetText("\x82\xA0" "bc");
    Key(Qt::Key_Insert);
    ASSERT_TRUE(m_view.GetOverwriteMode());
    QTest::keyClicks(&m_view, "x");
    EXPECT_EQ(Text(), "xbc");  // never half of "あ"
    Commit(QStringLiteral("い"));
    EXPECT_EQ(Text(), "x\x82\xA2");  // two cells over two single bytes
    Key(Qt::Key_Insert);
    EXPECT_FALSE(m_view.GetOverwriteMode());
}

TEST_F(EditView, CaretSkipsDoubleByteCharacters)
{
    SetText("a\x82\xA0" "b\r\n\x82\xA0\x82\xA0\x82\xA0\r\nxy");
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(3, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(1, 0));
    // Column 1 lies inside the first character of the next line: after it.
    Key(Qt::Key_Down);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(2, 1));
    // Down through a short line and back to the wanted column.
    m_view.PlaceCaret(CPoint(4, 0));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(2, 2));
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(4, 0));
    // Shift extends from the anchor.
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Selection(), Sel(CPoint(3, 0), CPoint(4, 0)));
}

TEST_F(EditView, HomeTogglesBetweenIndentAndLineStart)
{
    SetText("    text\r\n   ");
    Key(Qt::Key_End);
    std::vector<CPoint> aStops;
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Home);
        aStops.push_back(m_view.GetCursorPos());
    }
    EXPECT_EQ(aStops, (std::vector<CPoint>{CPoint(4, 0), CPoint(0, 0), CPoint(4, 0)}));
    m_view.PlaceCaret(CPoint(2, 1));
    Key(Qt::Key_Home);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(0, 1));
}

TEST_F(EditView, PageDownStopsAtTheLastLine)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\r\n";
    SetText(text);
    for (int i = 0; i < 20; ++i)
        Key(Qt::Key_PageDown);
    EXPECT_EQ(m_view.GetCursorPos().y, 100);
    EXPECT_LE(m_view.GetFirstVisibleLine(), 100);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(m_view.GetFirstVisibleLine(), 0);
}

TEST_F(EditView, CopyAndPasteKeepExactBytes)
{
    // An LF document can hold CR bytes inside its lines; a copy inside the
    // program must bring them back unchanged, NUL bytes and invalid bytes too.
    CCrystalTextBuffer lfBuffer;
    lfBuffer.InitNew(LINEEND_LF);
    int l = 0;
    int c = 0;
    const std::vector<std::string_view> lines = {std::string_view("a\rb\0c", 5), "\x80\xFF\x82", "end\r"};
    lfBuffer.InsertLines(nullptr, 0, 0, lines, l, c, ACTION_INDENT);
    m_view.AttachBuffer(&lfBuffer);
    m_view.SelectAllText();
    Key(Qt::Key_C, Qt::ControlModifier);
    m_view.PlaceCaret(CPoint(0, 0));
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(lfBuffer.GetLineCount(), 5);
    EXPECT_EQ(lfBuffer.GetLine(0), std::string_view("a\rb\0c", 5));
    EXPECT_EQ(lfBuffer.GetLine(2), "end\r" + std::string("a\rb\0c", 5));
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(4, 2));

    // Other programs get Unicode with "\n" line breaks and a mark for bad bytes.
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\rb") + QChar(0) + QStringLiteral("c\n\uFFFD\uFFFD\uFFFD\nend\r"));
    m_view.AttachBuffer(&m_buffer);
}

TEST_F(EditView, PasteOfForeignTextConvertsAndReports)
{
    // A Shift-JIS document (one without a table of extra characters): the
    // emoji goes in as "?" only when the user says so.
    QSignalSpy spy(&m_view, &CCrystalEditView::UnmappableCharacters);
    int nAsked = 0;
    int nAnswer = IDCANCEL;
    SetMessageBoxHook([&](const CMsgBoxRequest &) {
        ++nAsked;
        return nAnswer;
    });
    QApplication::clipboard()->setText(QStringLiteral("日本\n\U0001F600語\r\nend"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "");
    nAnswer = IDOK;
    Key(Qt::Key_V, Qt::ControlModifier);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(Text(), "\x93\xFA\x96\x7B|?\x8C\xEA|end");
    EXPECT_EQ(nAsked, 2);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
    // Cut removes the selection in one undoable step.
    m_view.SelectAllText();
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Text(), "");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "\x93\xFA\x96\x7B|?\x8C\xEA|end");
}

TEST_F(EditView, ReadOnlyBufferIgnoresEditing)
{
    SetText("fixed");
    m_buffer.SetReadOnly(true);
    QTest::keyClicks(&m_view, "abc");
    Key(Qt::Key_Delete);
    Key(Qt::Key_Return);
    Key(Qt::Key_Tab);
    QApplication::clipboard()->setText(QStringLiteral("x"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "fixed");
    // Moving still works.
    Key(Qt::Key_End);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(5, 0));
}

TEST_F(EditView, BookmarkKeys)
{
    SetText("0\r\n1\r\n2\r\n3\r\n4");
    m_view.PlaceCaret(CPoint(0, 1));
    Key(Qt::Key_3, Qt::ControlModifier);
    m_view.PlaceCaret(CPoint(0, 3));
    Key(Qt::Key_3, Qt::ControlModifier);  // moves numbered bookmark 3
    EXPECT_EQ(m_buffer.FindLineWithFlag(LF_NUMBERED_BOOKMARK_3), 3);
    m_view.PlaceCaret(CPoint(0, 0));
    Key(Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(0, 3));

    Key(Qt::Key_F2, Qt::ControlModifier);
    m_view.PlaceCaret(CPoint(0, 1));
    Key(Qt::Key_F2, Qt::ControlModifier);
    EXPECT_TRUE(m_view.HasBookmarks());
    std::vector<CPoint> aJumps;
    for (const auto mods : {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier}) {
        Key(Qt::Key_F2, mods);
        aJumps.push_back(m_view.GetCursorPos());
    }
    EXPECT_EQ(aJumps, (std::vector<CPoint>{CPoint(0, 3), CPoint(0, 1), CPoint(0, 3)}));
    Key(Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(m_view.HasBookmarks());
    EXPECT_EQ(m_buffer.FindLineWithFlag(LF_BOOKMARK), -1);
}

TEST_F(EditView, MouseSelectsWordsAndLines)
{
    SetText("alpha \x82\xD0\x82\xE7\x8A\xBF\r\nsecond line");
    const int cw = m_view.GetCharWidth();
    const int lh = m_view.GetLineHeight();
    const int x0 = m_view.GetMarginWidth();
    // A double click selects the word under it (where words stop is the
    // word classes' business): the hiragana run, not the kanji after it.
    QTest::mouseDClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x0 + 7 * cw, lh / 2));
    QTest::mouseRelease(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x0 + 7 * cw, lh / 2));
    EXPECT_EQ(Selection(), Sel(CPoint(6, 0), CPoint(10, 0)));

    // A click in the margin selects the whole line.
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, lh + lh / 2));
    EXPECT_EQ(Selection(), Sel(CPoint(0, 1), CPoint(11, 1)));

    // A click lands on the nearer character boundary, never inside "ひ".
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x0 + 7 * cw + 1, lh / 2));
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(8, 0));
}

TEST_F(EditView, DroppedTextIsInsertedAndSelected)
{
    SetText("ab");
    QMimeData data;
    data.setText(QStringLiteral("漢\nx"));
    const QPoint pt(m_view.GetMarginWidth() + m_view.GetCharWidth() + 2, m_view.GetLineHeight() / 2);
    QDragEnterEvent enter(pt, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_view.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(pt), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_view.viewport(), &drop);
    EXPECT_EQ(Text(), "a\x8A\xBF|xb");
    EXPECT_EQ(Selection(), Sel(CPoint(1, 0), CPoint(1, 1)));
    std::string name;
    m_buffer.GetUndoDescription(name);
    EXPECT_EQ(name, "ﾄﾞﾗｯｸﾞｱﾝﾄﾞﾄﾞﾛｯﾌﾟ");
}

TEST_F(EditView, PaintsSelectionOnlyWhenShown)
{
    SetText("key\r\n\r\nz");
    m_view.SetColor(COLORINDEX_SELBKGND, 0x0000FF);  // red
    m_view.SetColor(COLORINDEX_WHITESPACE, 0xFFFFFF);
    m_view.SetColor(COLORINDEX_BKGND, 0xFFFFFF);
    m_view.MoveCaret(CPoint(0, 2));
    m_view.SelectRange(CPoint(1, 0), CPoint(0, 2));

    const int cw = m_view.GetCharWidth();
    const int lh = m_view.GetLineHeight();
    const int x0 = m_view.GetMarginWidth();
    const QColor red(0xFF, 0, 0);
    m_view.SetShowInactiveSelection(true);
    QImage image = Render();
    // The selected empty line shows one selected cell, then the empty area.
    EXPECT_EQ(image.pixelColor(x0 + cw / 2, lh + lh / 2), red);
    EXPECT_EQ(image.pixelColor(x0 + cw + cw / 2, lh + lh / 2), QColor(Qt::white));
    // The end of line 0 is selected; its first character is not.
    EXPECT_EQ(image.pixelColor(x0 + 3 * cw + cw / 2, lh / 2), red);
    EXPECT_NE(image.pixelColor(x0 + 1, 1), red);

    m_view.clearFocus();
    QApplication::processEvents();
    m_view.SetShowInactiveSelection(false);
    image = Render();
    EXPECT_NE(image.pixelColor(x0 + cw / 2, lh + lh / 2), red);

    // Colour index rules: 21 reads the normal text colour, 50 and above the
    // white-space colour.
    EXPECT_EQ(m_view.GetColor(21), m_view.GetColor(COLORINDEX_NORMALTEXT));
    EXPECT_EQ(m_view.GetColor(57), m_view.GetColor(COLORINDEX_WHITESPACE));
}

namespace {

// A view whose drag loop drops onto a target view at a text position, as a
// user's drag would, so that the whole move can be checked offscreen.
class CDragTestView : public CCrystalEditView
{
public:
    CCrystalEditView *pTarget = nullptr;
    CPoint ptDrop;
    Qt::KeyboardModifiers mods = Qt::NoModifier;

    void Drag() { StartTextDrag(); }

protected:
    Qt::DropAction ExecDrag(QMimeData *pData, Qt::DropActions allowed) override
    {
        const QPoint pt = pTarget->TextToPoint(ptDrop) + QPoint(1, 1);
        QDragEnterEvent enter(pt, allowed, pData, Qt::LeftButton, mods);
        QApplication::sendEvent(pTarget->viewport(), &enter);
        QDropEvent drop(QPointF(pt), allowed, pData, Qt::LeftButton, mods);
        QApplication::sendEvent(pTarget->viewport(), &drop);
        const Qt::DropAction action = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        delete pData;
        return action;
    }
};

} // namespace

TEST(EditViewDrag, MoveToAnotherViewOfTheBufferUndoesInOneStep)
{
    CCrystalTextBuffer buffer;
    CDragTestView source;
    CCrystalEditView target;
    Show(source, buffer, "alpha beta\r\ngamma", QSize(400, 200));
    Show(target, buffer, "", QSize(400, 200));
    source.MoveCaret(CPoint(5, 0));
    source.SetSelectionAnchor(CPoint(0, 0));
    source.SelectRange(CPoint(0, 0), CPoint(5, 0));
    // The second view keeps its caret on "gamma" through the edits.
    target.PlaceCaret(CPoint(2, 1));

    source.pTarget = &target;
    source.ptDrop = CPoint(5, 1);
    source.Drag();
    EXPECT_EQ(Lines(buffer), " beta|gammaalpha");
    CPoint pt;
    ASSERT_TRUE(buffer.Undo(pt));
    EXPECT_EQ(Lines(buffer), "alpha beta|gamma");
    EXPECT_FALSE(buffer.CanUndo());

    // A copy (Ctrl held) leaves the source text.
    source.SelectRange(CPoint(0, 0), CPoint(5, 0));
    source.mods = Qt::ControlModifier;
    source.Drag();
    EXPECT_EQ(Lines(buffer), "alpha beta|gammaalpha");
}

TEST(EditViewDrag, TwoViewsFollowEachOthersEdits)
{
    CCrystalTextBuffer buffer;
    CCrystalEditView one;
    CCrystalEditView two;
    for (CCrystalEditView *pView : {&one, &two})
        Show(*pView, buffer, "", QSize(400, 300));
    QTest::keyClicks(&one, "line one");
    QTest::keyClick(&one, Qt::Key_Return);
    QTest::keyClicks(&one, "line two");
    two.PlaceCaret(CPoint(5, 1));
    two.SetSelectionAnchor(CPoint(0, 1));
    two.SelectRange(CPoint(0, 1), CPoint(5, 1));
    // Lines inserted above in the first view move the second view's caret and selection down.
    one.PlaceCaret(CPoint(0, 0));
    QTest::keyClick(&one, Qt::Key_Return);
    QTest::keyClick(&one, Qt::Key_Return);
    EXPECT_EQ(two.GetCursorPos(), CPoint(5, 3));
    EXPECT_EQ(SelectionOf(two), Sel(CPoint(0, 3), CPoint(5, 3)));
    // Typing in the second view leaves the first view's caret on its text.
    one.PlaceCaret(CPoint(4, 2));
    QTest::keyClicks(&two, "X");
    EXPECT_EQ(buffer.GetLine(3), "Xtwo");  // over the second view's selection
    EXPECT_EQ(one.GetCursorPos(), CPoint(4, 2));
}

TEST_F(EditView, InputMethodCommitReplacesTheSelectionAndShowsThePreedit)
{
    SetText("abc");
    m_view.SelectRange(CPoint(1, 0), CPoint(2, 0));
    m_view.SetSelectionAnchor(CPoint(1, 0));
    QInputMethodEvent preedit(QStringLiteral("にほ"), {});
    QApplication::sendEvent(&m_view, &preedit);
    EXPECT_EQ(Text(), "abc");  // the pre-edit text is not in the buffer
    QInputMethodQueryEvent query(Qt::ImCursorRectangle);
    QApplication::sendEvent(&m_view, &query);
    const QRect rcCaret = query.value(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(rcCaret.top(), m_view.viewport()->y());
    Commit(QStringLiteral("日本"));
    EXPECT_EQ(Text(), "a\x93\xFA\x96\x7B" "c");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "abc");
}

TEST_F(EditView, MarginShowsBookmarkImages)
{
    SetText("a\r\n\tb");
    m_view.SetColor(COLORINDEX_SELMARGIN, 0xFFFFFF);
    m_buffer.SetLineFlag(1, LF_NUMBERED_BOOKMARK_3, true, true);
    m_buffer.SetLineFlag(1, LF_BOOKMARK, true, false);
    const QImage image = Render();
    const int lh = m_view.GetLineHeight();
    auto nonWhite = [&](int nTop) {
        return CountPixels(image, QRect(0, nTop, m_view.GetMarginWidth(), lh), [](const QColor &c) { return c != QColor(Qt::white); });
    };
    EXPECT_EQ(nonWhite(0), 0);
    EXPECT_GT(nonWhite(lh), 40);

    // The numbered bookmark's image wins over the plain one, and it is the
    // image of its own digit: the whole mark, compared with each digit's.
    const QPoint ptMark(2, lh + (lh - CMarkImages::SIZE) / 2);
    auto sameAsImage = [&](int nImage) {
        QImage expected(CMarkImages::SIZE, CMarkImages::SIZE, QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter p(&expected);
        p.drawPixmap(0, 0, CMarkImages::Get(nImage));
        p.end();
        return image.copy(QRect(ptMark, expected.size())) == expected;
    };
    EXPECT_TRUE(sameAsImage(5));  // digit 3
    for (int nOther : {3, 4, 6, 7, 8, 9, 10, 11, 12, 13})
        EXPECT_FALSE(sameAsImage(nOther)) << nOther;
}

namespace {

class CAutoScrollView : public CCrystalEditView
{
public:
    void Tick() { OnAutoScrollTimer(); }
};

} // namespace

TEST(EditViewMouse, AutoScrollClampsAtTheTextEnds)
{
    CCrystalTextBuffer buffer;
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line\r\n";
    CAutoScrollView view;
    Show(view, buffer, text);
    QApplication::processEvents();
    const QPoint inside(view.GetMarginWidth() + 1, 5);
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, inside);

    // Far above the window: up three lines a tick, never past line 0.
    view.ScrollToFirstLine(4);
    QCursor::setPos(view.viewport()->mapToGlobal(QPoint(inside.x(), -5 * view.GetLineHeight())));
    view.Tick();
    EXPECT_EQ(view.GetFirstVisibleLine(), 1);
    view.Tick();
    EXPECT_EQ(view.GetFirstVisibleLine(), 0);
    EXPECT_EQ(view.GetCursorPos().y, 0);
    // Just below it: one line a tick; far below: three, clamped at the last line.
    QCursor::setPos(view.viewport()->mapToGlobal(QPoint(inside.x(), view.viewport()->height() + 2)));
    view.Tick();
    EXPECT_EQ(view.GetFirstVisibleLine(), 1);
    QCursor::setPos(view.viewport()->mapToGlobal(QPoint(inside.x(), view.viewport()->height() + 5 * view.GetLineHeight())));
    for (int i = 0; i < 100; ++i)
        view.Tick();
    EXPECT_EQ(view.GetFirstVisibleLine(), 200);
    EXPECT_EQ(SelectionOf(view).first, CPoint(0, 0));
    EXPECT_EQ(SelectionOf(view).second.y, 200);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, inside);
}

TEST(EditViewBadInput, AViewWithoutABufferTakesEveryKey)
{
    CCrystalEditView view;
    view.resize(300, 200);
    view.show();
    EXPECT_EQ(view.GetLineCount(), 1);
    EXPECT_EQ(view.GetLineLength(0), 0);
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Right,
                        Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown, Qt::Key_F2})
        QTest::keyClick(&view, key);
    for (auto mods : {Qt::ControlModifier, Qt::AltModifier})
        for (Qt::Key key : {Qt::Key_Z, Qt::Key_Y, Qt::Key_V, Qt::Key_X, Qt::Key_C, Qt::Key_A, Qt::Key_3, Qt::Key_F2})
            QTest::keyClick(&view, key, mods);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 5));
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    view.DrawArea(painter, image.rect());
    EXPECT_EQ(view.GetCursorPos(), CPoint(0, 0));
}
