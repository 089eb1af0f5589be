// The application view: block indent, the bracket jump, the line jump, the
// character code, view types and the settings it draws with.
#include "app/ui/dialoganswer.h"
#include "res/commands.h"
#include "support/dialogtest.h"
#include "support/webfixture.h"
#include "syntax/viewtype.h"
#include "view/ui/viewdialogs.h"

#include <QTest>

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {

class WrenpadView : public CWebFixture
{
protected:
    void TearDown() override
    {
        CWebFixture::TearDown();
        SetBeepHook(nullptr);
    }
};

} // namespace

TEST_F(WrenpadView, IndentAndOutdentTakeOneStepEachAndWithinOneLineKeepTheSelectionOnItsText)
{
    m_view.SetTabSize(4);
    SetText("  two\r\n\t  tab\r\n      six\r\nnone");
    Select(CPoint(0, 0), CPoint(4, 3));
    QTest::keyClick(&m_view, Qt::Key_Tab);
    EXPECT_EQ(Text(), "\t  two|\t\t  tab|\t      six|\tnone");
    QTest::keyClick(&m_view, Qt::Key_Z, Qt::ControlModifier);
    Select(CPoint(0, 0), CPoint(4, 3));
    QTest::keyClick(&m_view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "two|  tab|  six|none");

    // On one line Shift+Tab only moves the caret back to a tab stop.
    m_view.PlaceCaret(CPoint(5, 2));
    for (const CPoint pt : {CPoint(4, 2), CPoint(0, 2)}) {
        QTest::keyClick(&m_view, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(m_view.GetCursorPos(), pt);
    }
    EXPECT_EQ(Text(), "two|  tab|  six|none");

    // The indent commands on a selection within one line indent the line.
    Reset("abc def");
    Select(CPoint(4, 0), CPoint(7, 0));
    m_view.RouteCommand(ID_INDENT);
    EXPECT_EQ(Text(), "\tabc def");
    EXPECT_EQ(Selection(), std::make_pair(CPoint(5, 0), CPoint(8, 0)));
    m_view.RouteCommand(ID_UNINDENT);
    EXPECT_EQ(Text(), "abc def");
    EXPECT_EQ(Selection(), std::make_pair(CPoint(4, 0), CPoint(7, 0)));
}

TEST_F(WrenpadView, TabAndTheIndentCommandsWorkOnABoxAtItsColumn)
{
    m_view.SetTabSize(4);
    SetText("ab  cd\r\nx\r\nab  ef");
    m_view.SelectBox(0, 2, 2, 2);
    QTest::keyClick(&m_view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "abcd|x|abef");
    m_view.RouteCommand(ID_INDENT);
    EXPECT_EQ(Text(), "ab\tcd|x|ab\tef");
    ASSERT_TRUE(m_view.IsBoxSelection());
    QTest::keyClick(&m_view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "abcd|x|abef");
    QTest::keyClick(&m_view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "ab  cd|x|ab  ef");
}

TEST_F(WrenpadView, BracketJumpFindsThePartner)
{
    int nBeeps = 0;
    SetBeepHook([&] { ++nBeeps; });
    SetText("f(a(b)c)\r\n\x83\x5B(");
    m_view.PlaceCaret(CPoint(1, 0));
    QTest::keyClick(&m_view, Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(7, 0));
    QTest::keyClick(&m_view, Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(1, 0));

    // With Shift the brackets and what lies between them are selected.
    QTest::keyClick(&m_view, Qt::Key_BracketRight, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selection(), std::make_pair(CPoint(1, 0), CPoint(8, 0)));

    // An opening bracket without partner beeps and moves nothing.
    m_view.PlaceCaret(CPoint(2, 1));
    QTest::keyClick(&m_view, Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(nBeeps, 1);
    EXPECT_EQ(m_view.GetCursorPos(), CPoint(2, 1));
}

TEST_F(WrenpadView, LineJumpReachesEveryLineAndKeepsWhatIsTyped)
{
    // More lines than the old limit of 100,000.
    std::string strText;
    for (int i = 1; i < 150000; ++i)
        strText += "x\r\n";
    SetText(strText + "last");
    QString strProposed;
    QString strAfterRefusal;
    bool bOpenAfterRefusal = false;
    m_fnDialog = [&](QDialog *pDlg) {
        if (!OpenDialog(pDlg))
            return int(QDialog::Rejected);
        strProposed = FieldText(FocusControl());
        // Beyond the last line: refused, and the number stays as typed.
        TypeIntoFocus(QStringLiteral("1200000"));
        QTest::keyClick(FocusControl(), Qt::Key_Return);
        bOpenAfterRefusal = pDlg->isVisible();
        strAfterRefusal = FieldText(FocusControl());
        TypeIntoFocus(QStringLiteral("150000"));
        QTest::keyClick(FocusControl(), Qt::Key_Return);
        return pDlg->result();
    };
    m_view.PlaceCaret(CPoint(0, 123456));
    m_view.RouteCommand(ID_EDIT_GOTO_LINE);
    EXPECT_EQ(strProposed, "123457");
    EXPECT_TRUE(bOpenAfterRefusal);
    EXPECT_EQ(strAfterRefusal, "1200000");
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("1 から 150000 までの整数を入力してください。"));
    EXPECT_EQ(Selection(), std::make_pair(CPoint(0, 149999), CPoint(4, 149999)));
}

// The code's text is the geometry's business; here that the dialog shows it.
TEST_F(WrenpadView, CharacterCodeShowsTheBytes)
{
    SetText("\x82\xA0" "A");
    QString strChar;
    int nShown = 0;
    m_fnDialog = Answer<CCharCodeDlg>([&](CCharCodeDlg *pCode) { strChar = pCode->GetCharText(), ++nShown; });
    m_view.RouteCommand(ID_CHAR_CODE);
    EXPECT_EQ(strChar, QStringLiteral("あ"));
    m_view.PlaceCaret(CPoint(3, 0));
    m_view.RouteCommand(ID_CHAR_CODE);
    EXPECT_EQ(nShown, 1);  // nothing to show at the line end
}

TEST_F(WrenpadView, ViewTypesFromCommandsAndExtensions)
{
    EXPECT_EQ(m_view.GetViewType(), VIEWTYPE_STANDARD);
    m_view.RouteCommand(1703);
    EXPECT_EQ(m_view.GetViewType(), VIEWTYPE_HTML);
    for (const int nID : {1703, 1701}) {
        CCmdUI ui(nID, true);
        m_view.RouteUpdate(&ui);
        EXPECT_EQ(ui.GetCheck(), nID == 1703) << nID;
    }

    CWrenpadView view;
    view.InitialUpdate("/home/u/site/INDEX.HTML");
    EXPECT_EQ(view.GetViewType(), VIEWTYPE_HTML);
}

TEST_F(WrenpadView, AppliesColourAndMarkSettings)
{
    m_store.WriteInt(SECTION_MAIN, "clBkGnd", 0x102030);
    m_store.WriteInt(SECTION_MAIN, "bViewTab", 1);
    m_store.WriteInt(SECTION_MAIN, "bAutoEnter", 0);
    m_store.WriteInt(SECTION_MAIN, "FontSize", 12);
    AppSettings().Load(m_store, CSystemColors());
    m_view.ApplyViewSettings();
    EXPECT_EQ((std::vector<unsigned>{m_view.GetColor(COLORINDEX_BKGND), m_view.GetColor(COLORINDEX_WHITESPACE),
                                     m_view.GetColor(COLORINDEX_KEYWORD)}),
              (std::vector<unsigned>{0x102030u, 0x102030u, 0xC60000u}));
    EXPECT_EQ(std::make_tuple(m_view.m_bShowTabs, m_view.m_bShowLineEnds, m_view.GetAutoIndent(),
                              m_view.GetViewFont().pixelSize()),
              std::make_tuple(true, false, false, 16));
}

TEST_F(WrenpadView, LongLinesKeepTheirColoursWhenScrolledAcrossAndTypedIn)
{
    // A line long enough to be drawn from its first visible byte: the run
    // that covers the window's left edge must keep its colour.
    std::string line(20000, 'x');
    line += "<b>tag</b>";
    SetText(line);
    m_view.SetViewType(VIEWTYPE_HTML);
    m_view.SetColor(COLORINDEX_TAG, 0x00FF00);
    m_view.SetColor(COLORINDEX_NORMALTEXT, 0x000000);
    m_view.SetColor(COLORINDEX_BKGND, 0xFFFFFF);
    m_view.PlaceCaret(CPoint(20001, 0));  // inside "<b>": the view scrolls there
    ASSERT_GT(m_view.GetFirstVisibleColumn(), 19000);
    auto greenInCell = [&](int nCell) { return CountPixels(Render(), Cell(nCell), IsGreen); };
    // The window starts at the "b" of "<b>": its run began left of the window.
    m_view.ScrollToFirstColumn(20001);
    EXPECT_GT(greenInCell(0), 0);
    m_view.ScrollToFirstColumn(19990);
    EXPECT_EQ(greenInCell(0), 0);
    EXPECT_GT(greenInCell(11), 0);

    // The runs of a long line move with the text at once; the line is parsed
    // again shortly after typing pauses, and then the colours are exact.
    m_view.PlaceCaret(CPoint(20008, 0));
    // Whether the cell showing byte nByte of the line holds green (tag) pixels.
    auto isGreen = [&](int nByte) { return greenInCell(nByte - m_view.GetFirstVisibleColumn()) > 0; };
    ASSERT_TRUE(isGreen(20001));  // the tag name "b"
    ASSERT_FALSE(isGreen(19999));
    m_view.PlaceCaret(CPoint(19998, 0));
    QTest::keyClicks(&m_view, "yy");
    EXPECT_TRUE(isGreen(20003));
    EXPECT_FALSE(isGreen(20001));
    // A new tag typed there is coloured once the typing pauses.
    QTest::keyClicks(&m_view, "<i>");
    EXPECT_FALSE(isGreen(20001));
    EXPECT_TRUE(QTest::qWaitFor([&] { return isGreen(20001); }, 5000));
    EXPECT_TRUE(isGreen(20006));  // "b", now after "yy<i><"
}

// Where the mark goes is the painter's business; here that the view asks for it.
TEST_F(WrenpadView, TabMarksAreDrawnInTheTabCell)
{
    SetText("ab\tc");
    m_view.SetTabSize(4);
    m_view.SetColor(COLORINDEX_BKGND, 0xFFFFFF);
    m_view.SetColor(COLORINDEX_WHITESPACE, 0xFFFFFF);
    // The mark is grey; text is black.
    auto isGrey = [](const QColor &c) { return std::abs(c.red() - 0x90) < 40 && std::abs(c.green() - 0x90) < 40; };
    auto marked = [&](int nCell) { return CountPixels(Render(), Cell(nCell), isGrey); };
    m_view.m_bShowTabs = false;
    EXPECT_EQ(marked(2) + marked(3), 0);
    m_view.m_bShowTabs = true;
    EXPECT_GT(marked(2), 0);  // the tab's first cell (column 2)
}
