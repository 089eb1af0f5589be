// A grid of text cells for the table editor: one fixed header row and one
// fixed header column, a focused cell and a selected range, per-cell
// alignment and colours, in-place editing (the input method included) and
// keyboard navigation with the arrows, Tab and Enter, and the clipboard keys
// on the selected cells (tab-separated text, as spreadsheets exchange it).
//
// The cells are a CTableGrid (html/tablegrid) that the grid owns; the grid
// paints only the rows in view, so a table of many thousand rows scrolls and
// edits as a small one does. Texts stay the document's Shift-JIS bytes and
// are converted only to be shown or edited.
#pragma once

#include "html/tablegrid.h"

#include <QAbstractScrollArea>
#include <QColor>

class QLineEdit;

class CGridCtrl : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CGridCtrl(QWidget *pParent = nullptr);

    CTableGrid &Grid() { return m_grid; }
    const CTableGrid &Grid() const { return m_grid; }
    // Takes a whole new table; the focus goes to its first data cell.
    void SetGrid(CTableGrid grid);

    // -1, -1 when no cell has the focus.
    int GetFocusRow() const { return m_nFocusRow; }
    int GetFocusCol() const { return m_nFocusCol; }
    void SetFocusCell(int nRow, int nCol);
    CCellRange GetSelectedRange() const { return m_range; }
    void SetSelectedRange(const CCellRange &range);

    // After the table was changed from outside: sizes, focus and range are
    // brought back inside it and the grid is repainted.
    void Refresh();

    // The cell editor while a cell is edited, else nullptr.
    QLineEdit *GetEditor() const { return m_pEditor; }
    // Starts editing the focused cell; strText replaces its text when given.
    void EditFocusCell(const QString *pstrText = nullptr);
    // Ends editing, keeping the typed text (or not).
    void EndEdit(bool bKeep);

    int RowHeight() const { return m_nRowHeight; }
    int ColumnWidth(int nCol) const;
    // The cell at a point of the viewport; false outside the cells.
    bool CellAt(const QPoint &pt, int &nRow, int &nCol) const;
    // The rectangle of a cell in the viewport.
    QRect CellRect(int nRow, int nCol) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *pEvent) override;
    void resizeEvent(QResizeEvent *pEvent) override;
    void mousePressEvent(QMouseEvent *pEvent) override;
    void mouseMoveEvent(QMouseEvent *pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent *pEvent) override;
    void keyPressEvent(QKeyEvent *pEvent) override;
    void inputMethodEvent(QInputMethodEvent *pEvent) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    bool focusNextPrevChild(bool bNext) override;
    bool eventFilter(QObject *pObject, QEvent *pEvent) override;

private:
    // A key of the cell being edited that ends the edit; false for the
    // editor's own keys.
    bool EditKey(QKeyEvent *pEvent);
    // Select all, copy, cut and paste on the cells; false for other keys.
    bool ClipboardKey(QKeyEvent *pEvent);
    void UpdateScrollBars();
    void MoveFocus(int nRow, int nCol, bool bExtend);
    void EnsureVisible(int nRow, int nCol);
    int ColumnX(int nCol) const;  // left edge in table coordinates
    QString CellText(int nRow, int nCol) const;

    CTableGrid m_grid;
    int m_nFocusRow = -1;
    int m_nFocusCol = -1;
    int m_nAnchorRow = -1;
    int m_nAnchorCol = -1;
    CCellRange m_range;
    int m_nRowHeight = 20;
    int m_nHeaderWidth = 40;
    int m_nColWidth = 100;
    QLineEdit *m_pEditor = nullptr;
};
