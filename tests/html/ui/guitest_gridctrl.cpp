// The table editor's grid as the keyboard and the mouse meet it, and the
// editor's buttons on it.
#include "html/tablegrid.h"
#include "html/ui/gridctrl.h"
#include "html/ui/tableeditdlg.h"
#include "html/ui/webtest.h"
#include "platform/ui/msgbox.h"
#include "text/codec.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

class GridCtrl : public ::testing::Test
{
protected:
    void SetUp() override { Reset(); }

    // A 3 x 3 table of texts "11" to "33", the first cell focused.
    void Reset()
    {
        m_grid.resize(500, 300);
        CTableGrid grid(3, 3);
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 3; ++c)
                grid.Cell(r, c).strText = std::to_string(r) + std::to_string(c);
        m_grid.SetGrid(grid);
        m_grid.show();
        m_grid.setFocus();
        QApplication::processEvents();
    }

    std::pair<int, int> Focus() const { return {m_grid.GetFocusRow(), m_grid.GetFocusCol()}; }
    // The selected range as {first row, first column, last row, last column}.
    std::vector<int> Range() const
    {
        const CCellRange range = m_grid.GetSelectedRange();
        return {range.nMinRow, range.nMinCol, range.nMaxRow, range.nMaxCol};
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget *pTarget = m_grid.GetEditor() ? static_cast<QWidget *>(m_grid.GetEditor()) : &m_grid;
        QTest::keyClick(pTarget, key, mods);
    }

    CGridCtrl m_grid;
};

// The editor's questions and colour dialogs are answered through the hooks.
using TableEditor = CWebFixture;

// A key as a test sends it, with the name a failure shows.
struct CKeyCase
{
    QKeyCombination key;
    QString strName;
};

// Every binding of every standard key on this platform, each modifier key
// alone (a real keyboard sends Ctrl before the V of Ctrl+V), the keys the
// grid handles itself, and a few that nothing in the grid knows.
std::vector<CKeyCase> KeysToTry()
{
    std::vector<CKeyCase> aKeys;
    for (int n = QKeySequence::HelpContents; n <= QKeySequence::Cancel; ++n) {
        for (const QKeySequence &seq : QKeySequence::keyBindings(static_cast<QKeySequence::StandardKey>(n)))
            aKeys.push_back({seq[0], seq.toString()});
    }
    const std::pair<Qt::Key, Qt::KeyboardModifiers> aOthers[] = {
        {Qt::Key_Control, Qt::ControlModifier}, {Qt::Key_Shift, Qt::ShiftModifier},
        {Qt::Key_Alt, Qt::AltModifier},         {Qt::Key_Meta, Qt::MetaModifier},
        {Qt::Key_Up, {}},                       {Qt::Key_Down, {}},
        {Qt::Key_Left, {}},                     {Qt::Key_Right, Qt::ShiftModifier},
        {Qt::Key_PageUp, {}},                   {Qt::Key_PageDown, {}},
        {Qt::Key_Home, Qt::ControlModifier},    {Qt::Key_End, Qt::ControlModifier},
        {Qt::Key_Tab, {}},                      {Qt::Key_Backtab, Qt::ShiftModifier},
        {Qt::Key_Return, {}},                   {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_Return, Qt::ShiftModifier},    {Qt::Key_F2, {}},
        {Qt::Key_Delete, {}},                   {Qt::Key_Escape, {}},
        {Qt::Key_X, {}},                        {Qt::Key_F5, {}},
        {Qt::Key_S, Qt::ControlModifier},       {Qt::Key_4, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_Dollar, Qt::ControlModifier | Qt::ShiftModifier},
    };
    for (const auto &[nKey, mods] : aOthers)
        aKeys.push_back({QKeyCombination(mods, nKey), QKeySequence(QKeyCombination(mods, nKey)).toString()});
    return aKeys;
}

// The line edit a cell is edited in, on its own: what a key does to a cell
// being edited is what it does here.
class CEditedAlone
{
public:
    QString TextAfter(const CKeyCase &key)
    {
        // As in the grid: the first letter starts the edit, the rest is typed.
        m_edit.setText(QStringLiteral("a"));
        QTest::keyClicks(&m_edit, "bc");
        QTest::keyClick(&m_edit, key.key.key(), key.key.keyboardModifiers());
        return m_edit.text();
    }

private:
    QLineEdit m_edit;
};

CTableEditSetup Source(const std::string &strText, int nSeparator = 0)
{
    CTableEditSetup setup;
    setup.strSource = strText;
    setup.nSeparator = nSeparator;
    return setup;
}

} // namespace

TEST_F(GridCtrl, ArrowsTabAndEnterMoveTheFocus)
{
    // Each key and the focus after it. Tab goes on to the next row, Shift+Tab
    // back to the end of the one before; the edges hold; the header row and
    // column are never focused.
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        std::pair<int, int> focus;
    } aSteps[] = {{Qt::Key_Tab, {}, {1, 2}},          {Qt::Key_Tab, {}, {1, 3}},   {Qt::Key_Tab, {}, {2, 1}},
                  {Qt::Key_Backtab, Qt::ShiftModifier, {1, 3}}, {Qt::Key_Return, {}, {2, 3}}, {Qt::Key_Down, {}, {3, 3}},
                  {Qt::Key_Down, {}, {3, 3}},         {Qt::Key_Right, {}, {3, 3}}, {Qt::Key_Home, Qt::ControlModifier, {1, 1}},
                  {Qt::Key_Up, {}, {1, 1}},           {Qt::Key_Left, {}, {1, 1}}};
    EXPECT_EQ(Focus(), std::make_pair(1, 1));
    for (const auto &step : aSteps) {
        Key(step.key, step.mods);
        EXPECT_EQ(Focus(), step.focus) << QKeySequence(step.key | step.mods).toString().toStdString();
    }
    // Shift with an arrow widens the range from where it started.
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Range(), (std::vector<int>{1, 1, 2, 2}));
}

TEST_F(GridCtrl, TypingEditsTheFocusedCellInPlace)
{
    // Typing replaces the text; Enter keeps it and moves down.
    QTest::keyClicks(&m_grid, "xy");
    ASSERT_NE(m_grid.GetEditor(), nullptr);
    Key(Qt::Key_Return);
    EXPECT_EQ(m_grid.GetEditor(), nullptr);
    EXPECT_EQ(m_grid.Grid().Cell(1, 1).strText, "xy");
    EXPECT_EQ(Focus(), std::make_pair(2, 1));
    // Escape keeps the old text.
    QTest::keyClicks(&m_grid, "q");
    Key(Qt::Key_Escape);
    EXPECT_EQ(m_grid.Grid().Cell(2, 1).strText, "21");
    // F2 edits the text as it is; Tab keeps it and moves right.
    Key(Qt::Key_F2);
    ASSERT_NE(m_grid.GetEditor(), nullptr);
    EXPECT_EQ(m_grid.GetEditor()->text(), "21");
    Key(Qt::Key_End);
    QTest::keyClicks(m_grid.GetEditor(), "z");
    Key(Qt::Key_Tab);
    EXPECT_EQ(m_grid.Grid().Cell(2, 1).strText, "21z");
    EXPECT_EQ(Focus(), std::make_pair(2, 2));

    // A composition from the input method starts an edit and its text is kept as Shift-JIS.
    QInputMethodEvent preedit(QStringLiteral("ひょう"), {});
    QApplication::sendEvent(&m_grid, &preedit);
    ASSERT_NE(m_grid.GetEditor(), nullptr);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("表"));
    QApplication::sendEvent(m_grid.GetEditor(), &commit);
    Key(Qt::Key_Return);
    EXPECT_EQ(m_grid.Grid().Cell(2, 2).strText, "\x95\x5C");
}

TEST_F(GridCtrl, NoKeyGoesRoundBetweenTheGridAndTheCellBeingEdited)
{
    // Keys are sent both where the window sends them (the cell editor, which
    // has the focus) and to the grid itself, which gets what the editor
    // declines or what came before the focus went over.
    const QString strJapanese = QStringLiteral("日本語");
    CEditedAlone alone;
    QApplication::setActiveWindow(&m_grid);
    int nTried = 0;
    for (const CKeyCase &key : KeysToTry()) {
        for (const bool bToEditor : {true, false}) {
            QGuiApplication::clipboard()->setText(strJapanese);
            QString strExpected = alone.TextAfter(key);
            QGuiApplication::clipboard()->setText(strJapanese);
            Reset();
            QTest::keyClicks(&m_grid, "abc");
            ASSERT_NE(m_grid.GetEditor(), nullptr);
            QWidget *pTarget = bToEditor ? static_cast<QWidget *>(m_grid.GetEditor()) : &m_grid;
            QTest::keyClick(pTarget, key.key.key(), key.key.keyboardModifiers());
            // Escape drops the edit; any other key keeps what it made of the text.
            if (key.key.key() == Qt::Key_Escape)
                strExpected = QStringLiteral("11");
            m_grid.EndEdit(true);
            EXPECT_EQ(m_grid.Grid().Cell(1, 1).strText, Utf8ToCp932(strExpected.toStdString()))
                << key.strName.toStdString() << (bToEditor ? " to the cell editor" : " to the grid");
            ++nTried;
        }
    }
    EXPECT_GT(nTried, 200);
}

TEST_F(GridCtrl, KeysOnTheFocusedCellWhenNothingIsEdited)
{
    const QString strJapanese = QStringLiteral("日本語");
    QApplication::setActiveWindow(&m_grid);
    for (const CKeyCase &key : KeysToTry()) {
        Reset();
        QGuiApplication::clipboard()->setText(strJapanese);
        const QKeyEvent event(QEvent::KeyPress, key.key.key(), key.key.keyboardModifiers());
        // The cell's text after the key, by what the key means.
        std::string strExpected = "11";
        QString strClipboard = strJapanese;
        if (event.matches(QKeySequence::Paste)) {
            strExpected = Utf8ToCp932(strJapanese.toStdString());
        } else if (event.matches(QKeySequence::Cut)) {
            strExpected.clear();
            strClipboard = QStringLiteral("11\r\n");
        } else if (event.matches(QKeySequence::Copy)) {
            strClipboard = QStringLiteral("11\r\n");
        } else if (key.key.key() == Qt::Key_Delete) {
            strExpected.clear();
        } else if (key.key.key() == Qt::Key_X) {
            strExpected = "x";
        }
        QTest::keyClick(&m_grid, key.key.key(), key.key.keyboardModifiers());
        m_grid.EndEdit(true);
        EXPECT_EQ(m_grid.Grid().Cell(1, 1).strText, strExpected) << key.strName.toStdString();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), strClipboard) << key.strName.toStdString();
        // Nothing but a paste changes the size of the table.
        EXPECT_EQ(m_grid.Grid().GetRowCount(), 4) << key.strName.toStdString();
    }
}

TEST_F(GridCtrl, CellsGoToTheClipboardAsTabSeparatedTextAndComeBackGrowingTheTable)
{
    // Ctrl+A takes every cell; a copy pasted at the last cell needs two
    // more rows and columns, which are added rather than losing text.
    QTest::keyClick(&m_grid, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&m_grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("11\t12\t13\r\n21\t22\t23\r\n31\t32\t33\r\n"));
    QTest::keyClick(&m_grid, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&m_grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(std::make_pair(m_grid.Grid().GetRowCount(), m_grid.Grid().GetColumnCount()), std::make_pair(6, 6));
    EXPECT_EQ(m_grid.Grid().Cell(3, 3).strText + m_grid.Grid().Cell(5, 5).strText, "1133");
    EXPECT_EQ(Range(), (std::vector<int>{3, 3, 5, 5}));
}

TEST_F(GridCtrl, ClickingAHeaderSelectsItsColumnOrRow)
{
    QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, {}, m_grid.CellRect(0, 2).center());
    EXPECT_EQ(Range(), (std::vector<int>{1, 2, 3, 2}));
    QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, {}, m_grid.CellRect(3, 0).center());
    EXPECT_EQ(Range(), (std::vector<int>{3, 1, 3, 3}));
    QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, Qt::NoModifier, m_grid.CellRect(2, 3).center());
    EXPECT_EQ(Focus(), std::make_pair(2, 3));
}

TEST_F(TableEditor, DeletesTheRowsOfTheRangeOnlyWhenTheUserAgrees)
{
    CTableEditDlg dlg(Source("a\r\nb\r\nc\r\nd\r\ne"));
    CGridCtrl *pGrid = dlg.GetGrid();
    pGrid->SetFocusCell(2, 1);
    pGrid->SetSelectedRange({2, 1, 4, 1});
    m_aAnswers = {IDNO, IDYES};
    Click(&dlg, "deleteRows");
    EXPECT_EQ(pGrid->Grid().GetRowCount(), 6);
    Click(&dlg, "deleteRows");
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(m_aBoxes[0].strText, QStringLiteral("行を削除してもよろしいですか？"));
    EXPECT_EQ(TableToSeparated(pGrid->Grid(), ','), "a\r\ne\r\n");
    // With no range nothing is asked.
    Click(&dlg, "deleteColumns");
    EXPECT_EQ(m_aBoxes.size(), 2u);

    // A row and a column go in before the focused cell.
    pGrid->SetFocusCell(2, 1);
    Click(&dlg, "insertRow");
    Click(&dlg, "insertColumn");
    EXPECT_EQ(TableToSeparated(pGrid->Grid(), ','), ",a\r\n,\r\n,e\r\n");
}

TEST_F(TableEditor, AlignmentAndColoursGoToTheSelectedCells)
{
    CTableEditDlg dlg(Source("a\tb\r\nc\td", 1));
    CGridCtrl *pGrid = dlg.GetGrid();
    pGrid->SetFocusCell(1, 2);
    pGrid->SetSelectedRange({1, 2, 2, 2});
    m_answerColor = QColor(0x12, 0x34, 0x56);
    Click(&dlg, "alignCenter");
    Click(&dlg, "alignBottom");
    Click(&dlg, "cellBackColor");
    ASSERT_EQ(m_aColorsOffered.size(), 1u);
    EXPECT_EQ(m_aColorsOffered[0], QColor(Qt::black));  // no colour of its own yet
    Click(&dlg, "gridBackColor");
    dlg.accept();
    EXPECT_EQ(dlg.GetResult(), "<table bgcolor=\"#123456\">\r\n"
                               "<tr><td>a</td>\r\n\t<td align=\"center\" valign=\"bottom\" bgcolor=\"#123456\">b</td>\r\n</tr>\r\n"
                               "<tr><td>c</td>\r\n\t<td align=\"center\" valign=\"bottom\" bgcolor=\"#123456\">d</td>\r\n</tr>\r\n"
                               "</table>\r\n");
    // Cancel leaves no result.
    dlg.reject();
    EXPECT_TRUE(dlg.GetResult().empty());
}

TEST_F(TableEditor, TenThousandLinesStayUsable)
{
    std::string strText;
    for (int i = 0; i < 10000; ++i)
        strText += std::to_string(i) + ",\x95\x5C,x\r\n";
    CTableEditDlg dlg(Source(strText));
    dlg.show();
    QApplication::processEvents();
    CGridCtrl *pGrid = dlg.GetGrid();
    ASSERT_EQ(pGrid->Grid().GetRowCount(), 10001);
    pGrid->setFocus();
    QTest::keyClick(pGrid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(pGrid->GetFocusRow(), 10000);
    // The last row is scrolled into view.
    EXPECT_TRUE(pGrid->viewport()->rect().contains(pGrid->CellRect(10000, 3)));
    QTest::keyClick(pGrid, Qt::Key_PageUp);
    EXPECT_LT(pGrid->GetFocusRow(), 10000);
}
