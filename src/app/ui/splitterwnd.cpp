#include "app/ui/splitterwnd.h"

#include "app/ui/wrenpadview.h"

#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

CSplitterWnd::CSplitterWnd(PaneFactory fnCreatePane, QWidget *pParent)
    : QWidget(pParent), m_fnCreatePane(std::move(fnCreatePane))
{
    m_pRows = new QSplitter(Qt::Vertical, this);
    m_pRows->setObjectName(QStringLiteral("splitterRows"));
    m_pRows->setChildrenCollapsible(true);
    connect(m_pRows, &QSplitter::splitterMoved, this, [this] {
        QTimer::singleShot(0, this, &CSplitterWnd::RemoveCollapsedPanes);
    });
    auto *pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pRows);

    m_aRows[0] = new QSplitter(Qt::Horizontal, m_pRows);
    m_aRows[0]->setChildrenCollapsible(true);
    m_pRows->addWidget(m_aRows[0]);
    connect(m_aRows[0], &QSplitter::splitterMoved, this, [this] { AlignColumns(m_aRows[0]); });
    m_aPanes[0][0] = NewPane(m_aRows[0], nullptr);
}

CWrenpadView *CSplitterWnd::GetPane(int nRow, int nColumn) const
{
    if (nRow < 0 || nRow >= m_nRows || nColumn < 0 || nColumn >= m_nColumns)
        return nullptr;
    return m_aPanes[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nColumn)];
}

std::vector<CWrenpadView *> CSplitterWnd::GetPanes() const
{
    std::vector<CWrenpadView *> aPanes;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nColumns; ++c)
            aPanes.push_back(GetPane(r, c));
    return aPanes;
}

CWrenpadView *CSplitterWnd::NewPane(QSplitter *pRow, CWrenpadView *pLike)
{
    CWrenpadView *pPane = m_fnCreatePane(pRow);
    pPane->setMinimumSize(MIN_PANE_SIZE, MIN_PANE_SIZE);
    pRow->addWidget(pPane);
    pPane->SetSplitPanes([this](CCrystalTextView *pView, bool bVertical) {
        return PanesScrollingWith(pView, bVertical);
    });
    if (pLike) {
        pPane->SetTabSize(pLike->GetTabSize());
        pPane->SetViewType(pLike->GetViewType());
        pPane->MoveCaret(pLike->GetCursorPos());
        pPane->SetSelectionAnchor(pLike->GetCursorPos());
        pPane->ScrollToFirstLine(pLike->GetFirstVisibleLine());
        pPane->ScrollToFirstColumn(pLike->GetFirstVisibleColumn());
    }
    return pPane;
}

bool CSplitterWnd::SplitRow()
{
    if (m_nRows >= MAX_ROWS)
        return false;
    QSplitter *pRow = new QSplitter(Qt::Horizontal, m_pRows);
    pRow->setChildrenCollapsible(true);
    m_pRows->addWidget(pRow);
    m_aRows[1] = pRow;
    connect(pRow, &QSplitter::splitterMoved, this, [this, pRow] { AlignColumns(pRow); });
    for (int c = 0; c < m_nColumns; ++c)
        m_aPanes[1][static_cast<std::size_t>(c)] = NewPane(pRow, m_aPanes[0][static_cast<std::size_t>(c)]);
    m_nRows = 2;
    ResetSizes();
    emit PanesChanged();
    return true;
}

bool CSplitterWnd::SplitColumn()
{
    if (m_nColumns >= MAX_COLUMNS)
        return false;
    for (int r = 0; r < m_nRows; ++r) {
        const auto nRow = static_cast<std::size_t>(r);
        m_aPanes[nRow][1] = NewPane(m_aRows[nRow], m_aPanes[nRow][0]);
    }
    m_nColumns = 2;
    ResetSizes();
    emit PanesChanged();
    return true;
}

void CSplitterWnd::DeleteRow(int nRow)
{
    if (m_nRows < 2 || nRow < 0 || nRow >= m_nRows)
        return;
    QSplitter *pGone = m_aRows[static_cast<std::size_t>(nRow)];
    if (nRow == 0) {
        m_aRows[0] = m_aRows[1];
        m_aPanes[0] = m_aPanes[1];
    }
    m_aRows[1] = nullptr;
    m_aPanes[1] = {};
    m_nRows = 1;
    // The panes' owner goes now, so that no pane outlives its row.
    delete pGone;
    emit PanesChanged();
}

void CSplitterWnd::DeleteColumn(int nColumn)
{
    if (m_nColumns < 2 || nColumn < 0 || nColumn >= m_nColumns)
        return;
    for (int r = 0; r < m_nRows; ++r) {
        auto &row = m_aPanes[static_cast<std::size_t>(r)];
        CWrenpadView *pGone = row[static_cast<std::size_t>(nColumn)];
        if (nColumn == 0)
            row[0] = row[1];
        row[1] = nullptr;
        delete pGone;
    }
    m_nColumns = 1;
    emit PanesChanged();
}

void CSplitterWnd::ToggleSplit(CWrenpadView *pKeep)
{
    if (!IsSplit()) {
        SplitRow();
        SplitColumn();
        return;
    }
    int nKeepRow = 0;
    int nKeepColumn = 0;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nColumns; ++c)
            if (GetPane(r, c) == pKeep) {
                nKeepRow = r;
                nKeepColumn = c;
            }
    if (m_nRows > 1)
        DeleteRow(1 - nKeepRow);
    if (m_nColumns > 1)
        DeleteColumn(1 - nKeepColumn);
}

std::vector<CCrystalTextView *> CSplitterWnd::PanesScrollingWith(CCrystalTextView *pView, bool bVertical) const
{
    std::vector<CCrystalTextView *> aPanes;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nColumns; ++c) {
            if (GetPane(r, c) != pView)
                continue;
            if (bVertical) {
                for (int c2 = 0; c2 < m_nColumns; ++c2)
                    if (c2 != c)
                        aPanes.push_back(GetPane(r, c2));
            } else {
                for (int r2 = 0; r2 < m_nRows; ++r2)
                    if (r2 != r)
                        aPanes.push_back(GetPane(r2, c));
            }
        }
    return aPanes;
}

void CSplitterWnd::AlignColumns(QSplitter *pSource)
{
    for (QSplitter *pRow : m_aRows)
        if (pRow && pRow != pSource)
            pRow->setSizes(pSource->sizes());
    QTimer::singleShot(0, this, &CSplitterWnd::RemoveCollapsedPanes);
}

void CSplitterWnd::RemoveCollapsedPanes()
{
    if (m_nRows > 1) {
        const QList<int> sizes = m_pRows->sizes();
        for (int r = 0; r < sizes.size() && r < m_nRows; ++r)
            if (sizes[r] == 0) {
                DeleteRow(r);
                break;
            }
    }
    if (m_nColumns > 1 && m_aRows[0]) {
        const QList<int> sizes = m_aRows[0]->sizes();
        for (int c = 0; c < sizes.size() && c < m_nColumns; ++c)
            if (sizes[c] == 0) {
                DeleteColumn(c);
                break;
            }
    }
}

std::vector<int> CSplitterWnd::GetRowSizes() const
{
    const QList<int> sizes = m_pRows->sizes();
    return std::vector<int>(sizes.begin(), sizes.end());
}

std::vector<int> CSplitterWnd::GetColumnSizes() const
{
    const QList<int> sizes = m_aRows[0]->sizes();
    return std::vector<int>(sizes.begin(), sizes.end());
}

void CSplitterWnd::SetSizes(const std::vector<int> &aRowSizes, const std::vector<int> &aColumnSizes)
{
    // Sizes of a collapsed pane would remove it: only whole layouts are taken.
    auto Usable = [](const std::vector<int> &a, int nCount) {
        return static_cast<int>(a.size()) == nCount && nCount > 1
               && std::all_of(a.begin(), a.end(), [](int n) { return n >= MIN_PANE_SIZE; });
    };
    if (Usable(aRowSizes, m_nRows))
        m_pRows->setSizes(QList<int>(aRowSizes.begin(), aRowSizes.end()));
    if (Usable(aColumnSizes, m_nColumns))
        for (QSplitter *pRow : m_aRows)
            if (pRow)
                pRow->setSizes(QList<int>(aColumnSizes.begin(), aColumnSizes.end()));
}

void CSplitterWnd::ResetSizes()
{
    const int nHeight = std::max(m_pRows->height(), 2 * MIN_PANE_SIZE);
    if (m_nRows > 1)
        m_pRows->setSizes({nHeight / 2, nHeight - nHeight / 2});
    const int nWidth = std::max(width(), 2 * MIN_PANE_SIZE);
    for (QSplitter *pRow : m_aRows)
        if (pRow && m_nColumns > 1)
            pRow->setSizes({nWidth / 2, nWidth - nWidth / 2});
}
