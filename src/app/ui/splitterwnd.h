// The panes of a document window: at most two rows by two columns of views
// over the same document. Panes of one row scroll up and down together and
// panes of one column left and right together, as if they shared one scroll
// bar. Dragging a divider onto the window's edge removes that row or column.
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class CCrystalTextView;
class CWrenpadView;
class QSplitter;

class CSplitterWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MAX_ROWS = 2;
    static constexpr int MAX_COLUMNS = 2;
    static constexpr int MIN_PANE_SIZE = 30;

    using PaneFactory = std::function<CWrenpadView *(QWidget *pParent)>;
    // The factory makes each pane; the first one at once.
    explicit CSplitterWnd(PaneFactory fnCreatePane, QWidget *pParent = nullptr);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nColumns; }
    CWrenpadView *GetPane(int nRow, int nColumn) const;
    std::vector<CWrenpadView *> GetPanes() const;
    bool IsSplit() const { return m_nRows > 1 || m_nColumns > 1; }

    // A second row (column) starts where the pane above (left of) it shows.
    bool SplitRow();
    bool SplitColumn();
    void DeleteRow(int nRow);
    void DeleteColumn(int nColumn);
    // The heights of the rows and the widths of the columns, in pixels (one
    // entry while there is one row or column); SetSizes puts them back.
    std::vector<int> GetRowSizes() const;
    std::vector<int> GetColumnSizes() const;
    void SetSizes(const std::vector<int> &aRowSizes, const std::vector<int> &aColumnSizes);

    // Window > Split: one pane becomes four; a split window one pane again,
    // keeping the pane that has the keyboard focus.
    void ToggleSplit(CWrenpadView *pKeep);

    // The other panes that scroll with pView: its row for vertical
    // scrolling, its column for horizontal scrolling.
    std::vector<CCrystalTextView *> PanesScrollingWith(CCrystalTextView *pView, bool bVertical) const;

signals:
    void PanesChanged();

private:
    CWrenpadView *NewPane(QSplitter *pRow, CWrenpadView *pLike);
    void AlignColumns(QSplitter *pSource);
    void RemoveCollapsedPanes();
    void ResetSizes();

    PaneFactory m_fnCreatePane;
    QSplitter *m_pRows;
    std::array<QSplitter *, MAX_ROWS> m_aRows{};
    std::array<std::array<CWrenpadView *, MAX_COLUMNS>, MAX_ROWS> m_aPanes{};
    int m_nRows = 1;
    int m_nColumns = 1;
};
