#include "html/ui/gridctrl.h"

#include "text/ui/codec_qt.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

QColor FromRgb(std::uint32_t nColor)
{
    return QColor((nColor >> 16) & 0xFF, (nColor >> 8) & 0xFF, nColor & 0xFF);
}

Qt::Alignment CellAlignment(std::uint32_t nFormat)
{
    Qt::Alignment align = Qt::AlignLeft;
    if (nFormat & CELLFMT_CENTER)
        align = Qt::AlignHCenter;
    else if (nFormat & CELLFMT_RIGHT)
        align = Qt::AlignRight;
    if (nFormat & CELLFMT_VCENTER)
        align |= Qt::AlignVCenter;
    else if (nFormat & CELLFMT_BOTTOM)
        align |= Qt::AlignBottom;
    else
        align |= Qt::AlignTop;
    return align;
}

// The in-place editor. Whatever of a cell's keys and input-method text
// reaches the grid is handed to the editor's own handlers by a direct call,
// never sent to it as an event: an event the editor declines travels up to
// the grid again, and sending it down once more would go round for ever.
class CCellEditor : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    void TakeKey(QKeyEvent *pEvent) { QLineEdit::keyPressEvent(pEvent); }
    void TakeInputMethod(QInputMethodEvent *pEvent) { QLineEdit::inputMethodEvent(pEvent); }
};

} // namespace

CGridCtrl::CGridCtrl(QWidget *pParent) : QAbstractScrollArea(pParent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_InputMethodEnabled);
    m_nRowHeight = fontMetrics().height() + 6;
    m_nColWidth = std::max(80, fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    m_nHeaderWidth = std::max(40, fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8);
    SetGrid(CTableGrid());
}

void CGridCtrl::SetGrid(CTableGrid grid)
{
    EndEdit(false);
    m_grid = std::move(grid);
    m_nFocusRow = m_nFocusCol = -1;
    m_range = CCellRange();
    SetFocusCell(1, 1);
    Refresh();
}

int CGridCtrl::ColumnWidth(int nCol) const
{
    return nCol == 0 ? m_nHeaderWidth : m_nColWidth;
}

int CGridCtrl::ColumnX(int nCol) const
{
    return nCol == 0 ? 0 : m_nHeaderWidth + (nCol - 1) * m_nColWidth;
}

QRect CGridCtrl::CellRect(int nRow, int nCol) const
{
    // The header row and column stay put while the rest scrolls.
    const int x = nCol == 0 ? 0 : ColumnX(nCol) - horizontalScrollBar()->value();
    const int y = nRow == 0 ? 0 : nRow * m_nRowHeight - verticalScrollBar()->value() * m_nRowHeight;
    return QRect(x, y, ColumnWidth(nCol), m_nRowHeight);
}

bool CGridCtrl::CellAt(const QPoint &pt, int &nRow, int &nCol) const
{
    if (pt.x() < 0 || pt.y() < 0)
        return false;
    nRow = pt.y() < m_nRowHeight ? 0 : pt.y() / m_nRowHeight + verticalScrollBar()->value();
    if (pt.x() < m_nHeaderWidth)
        nCol = 0;
    else
        nCol = (pt.x() - m_nHeaderWidth + horizontalScrollBar()->value()) / m_nColWidth + 1;
    return m_grid.IsValidCell(nRow, nCol);
}

QString CGridCtrl::CellText(int nRow, int nCol) const
{
    return Cp932ToQString(m_grid.Cell(nRow, nCol).strText);
}

QSize CGridCtrl::sizeHint() const
{
    return QSize(m_nHeaderWidth + m_nColWidth * 4 + 20, m_nRowHeight * 8 + 20);
}

void CGridCtrl::UpdateScrollBars()
{
    // The vertical bar counts rows, so that a very long table needs no
    // pixel range beyond what the bar can hold.
    const int nVisibleRows = std::max(1, viewport()->height() / m_nRowHeight - 1);
    const int nDataRows = m_grid.GetRowCount() - 1;
    verticalScrollBar()->setRange(0, std::max(0, nDataRows - nVisibleRows));
    verticalScrollBar()->setPageStep(nVisibleRows);
    const int nWidth = ColumnX(m_grid.GetColumnCount());
    horizontalScrollBar()->setRange(0, std::max(0, nWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(m_nColWidth / 4);
}

void CGridCtrl::Refresh()
{
    EndEdit(true);
    const int nRows = m_grid.GetRowCount();
    const int nCols = m_grid.GetColumnCount();
    if (m_nFocusRow >= nRows || m_nFocusCol >= nCols)
        SetFocusCell(std::min(m_nFocusRow, nRows - 1), std::min(m_nFocusCol, nCols - 1));
    if (m_range.IsValid()) {
        m_range.nMaxRow = std::min(m_range.nMaxRow, nRows - 1);
        m_range.nMaxCol = std::min(m_range.nMaxCol, nCols - 1);
        if (!m_range.IsValid())
            m_range = CCellRange();
    }
    UpdateScrollBars();
    viewport()->update();
}

void CGridCtrl::SetFocusCell(int nRow, int nCol)
{
    if (!m_grid.IsValidCell(nRow, nCol) || nRow == 0 || nCol == 0) {
        m_nFocusRow = m_nFocusCol = -1;
    } else {
        m_nFocusRow = nRow;
        m_nFocusCol = nCol;
        m_nAnchorRow = nRow;
        m_nAnchorCol = nCol;
        m_range = {nRow, nCol, nRow, nCol};
    }
    viewport()->update();
}

void CGridCtrl::SetSelectedRange(const CCellRange &range)
{
    m_range = range;
    viewport()->update();
}

void CGridCtrl::EnsureVisible(int nRow, int nCol)
{
    const int nVisibleRows = std::max(1, viewport()->height() / m_nRowHeight - 1);
    QScrollBar *pV = verticalScrollBar();
    if (nRow >= 1) {
        if (nRow - 1 < pV->value())
            pV->setValue(nRow - 1);
        else if (nRow - 1 >= pV->value() + nVisibleRows)
            pV->setValue(nRow - nVisibleRows);
    }
    QScrollBar *pH = horizontalScrollBar();
    if (nCol >= 1) {
        const int nLeft = ColumnX(nCol) - m_nHeaderWidth;
        const int nRight = ColumnX(nCol) + m_nColWidth;
        if (nLeft < pH->value())
            pH->setValue(nLeft);
        else if (nRight - pH->value() > viewport()->width())
            pH->setValue(nRight - viewport()->width());
    }
}

void CGridCtrl::MoveFocus(int nRow, int nCol, bool bExtend)
{
    nRow = std::clamp(nRow, 1, m_grid.GetRowCount() - 1);
    nCol = std::clamp(nCol, 1, m_grid.GetColumnCount() - 1);
    if (bExtend && m_nAnchorRow >= 1) {
        m_nFocusRow = nRow;
        m_nFocusCol = nCol;
        m_range = {std::min(nRow, m_nAnchorRow), std::min(nCol, m_nAnchorCol), std::max(nRow, m_nAnchorRow),
                   std::max(nCol, m_nAnchorCol)};
        viewport()->update();
    } else {
        SetFocusCell(nRow, nCol);
    }
    EnsureVisible(nRow, nCol);
}

void CGridCtrl::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QPalette pal = palette();
    const QColor gridBack = m_grid.m_nGridBackColor == TABLE_COLOR_DEFAULT ? pal.color(QPalette::Base)
                                                                            : FromRgb(m_grid.m_nGridBackColor);
    const QColor gridText = m_grid.m_nGridTextColor == TABLE_COLOR_DEFAULT ? pal.color(QPalette::Text)
                                                                            : FromRgb(m_grid.m_nGridTextColor);
    painter.fillRect(viewport()->rect(), gridBack);
    const int nFirstRow = verticalScrollBar()->value() + 1;
    const int nLastRow = std::min(m_grid.GetRowCount() - 1, nFirstRow + viewport()->height() / m_nRowHeight + 1);
    const int nFirstCol = std::max(1, (horizontalScrollBar()->value()) / m_nColWidth + 1);
    const int nLastCol =
        std::min(m_grid.GetColumnCount() - 1, nFirstCol + viewport()->width() / std::max(1, m_nColWidth) + 1);
    auto drawCell = [&](int nRow, int nCol) {
        const QRect rect = CellRect(nRow, nCol);
        const CTableCell &cell = m_grid.Cell(nRow, nCol);
        const bool bHeader = nRow == 0 || nCol == 0;
        QColor back = bHeader ? pal.color(QPalette::Button) : gridBack;
        QColor text = bHeader ? pal.color(QPalette::ButtonText) : gridText;
        if (!bHeader && cell.nBackColor != TABLE_COLOR_DEFAULT)
            back = FromRgb(cell.nBackColor);
        if (!bHeader && cell.nTextColor != TABLE_COLOR_DEFAULT)
            text = FromRgb(cell.nTextColor);
        if (!bHeader && m_range.Contains(nRow, nCol) && !(nRow == m_nFocusRow && nCol == m_nFocusCol)) {
            back = pal.color(QPalette::Highlight);
            text = pal.color(QPalette::HighlightedText);
        }
        painter.fillRect(rect, back);
        painter.setPen(pal.color(QPalette::Mid));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.setPen(text);
        QString strText = CellText(nRow, nCol);
        if (bHeader && strText.trimmed().isEmpty() && nRow + nCol > 0)
            strText = nRow == 0 ? QString::number(nCol) : QString::number(nRow);
        painter.drawText(rect.adjusted(3, 1, -3, -1), static_cast<int>(CellAlignment(cell.nFormat)) | Qt::TextSingleLine,
                         strText.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r')));
        if (nRow == m_nFocusRow && nCol == m_nFocusCol) {
            painter.setPen(QPen(pal.color(QPalette::Highlight), 2));
            painter.drawRect(rect.adjusted(1, 1, -1, -1));
        }
    };
    for (int nRow = nFirstRow; nRow <= nLastRow; ++nRow)
        for (int nCol = nFirstCol; nCol <= nLastCol; ++nCol)
            drawCell(nRow, nCol);
    // The headers last, over what scrolled beneath them.
    for (int nRow = nFirstRow; nRow <= nLastRow; ++nRow)
        drawCell(nRow, 0);
    for (int nCol = nFirstCol; nCol <= nLastCol; ++nCol)
        drawCell(0, nCol);
    drawCell(0, 0);
}

void CGridCtrl::resizeEvent(QResizeEvent *pEvent)
{
    QAbstractScrollArea::resizeEvent(pEvent);
    UpdateScrollBars();
}

void CGridCtrl::mousePressEvent(QMouseEvent *pEvent)
{
    EndEdit(true);
    setFocus();
    int nRow = 0;
    int nCol = 0;
    if (pEvent->button() != Qt::LeftButton || !CellAt(pEvent->position().toPoint(), nRow, nCol))
        return;
    const int nLastRow = m_grid.GetRowCount() - 1;
    const int nLastCol = m_grid.GetColumnCount() - 1;
    if (nRow == 0 && nCol == 0) {
        // The corner: the whole table.
        SetFocusCell(1, 1);
        m_range = {1, 1, nLastRow, nLastCol};
    } else if (nRow == 0) {
        SetFocusCell(1, nCol);
        m_range = {1, nCol, nLastRow, nCol};
        m_nAnchorRow = -1;
    } else if (nCol == 0) {
        SetFocusCell(nRow, 1);
        m_range = {nRow, 1, nRow, nLastCol};
        m_nAnchorCol = -1;
    } else {
        MoveFocus(nRow, nCol, (pEvent->modifiers() & Qt::ShiftModifier) != 0);
    }
    viewport()->update();
}

void CGridCtrl::mouseMoveEvent(QMouseEvent *pEvent)
{
    int nRow = 0;
    int nCol = 0;
    if ((pEvent->buttons() & Qt::LeftButton) && m_nAnchorRow >= 1 && m_nAnchorCol >= 1
        && CellAt(pEvent->position().toPoint(), nRow, nCol) && nRow > 0 && nCol > 0)
        MoveFocus(nRow, nCol, true);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent *pEvent)
{
    int nRow = 0;
    int nCol = 0;
    if (CellAt(pEvent->position().toPoint(), nRow, nCol) && nRow > 0 && nCol > 0) {
        SetFocusCell(nRow, nCol);
        EditFocusCell();
    }
}

void CGridCtrl::EditFocusCell(const QString *pstrText)
{
    if (m_nFocusRow < 1 || m_nFocusCol < 1)
        return;
    EndEdit(true);
    EnsureVisible(m_nFocusRow, m_nFocusCol);
    m_pEditor = new CCellEditor(viewport());
    m_pEditor->setObjectName(QStringLiteral("cellEditor"));
    m_pEditor->setFrame(false);
    m_pEditor->setGeometry(CellRect(m_nFocusRow, m_nFocusCol).adjusted(1, 1, -1, -1));
    m_pEditor->setText(pstrText ? *pstrText : CellText(m_nFocusRow, m_nFocusCol));
    if (!pstrText)
        m_pEditor->selectAll();
    m_pEditor->installEventFilter(this);
    m_pEditor->show();
    m_pEditor->setFocus();
}

void CGridCtrl::EndEdit(bool bKeep)
{
    if (!m_pEditor)
        return;
    QLineEdit *pEditor = m_pEditor;
    // Cleared first: losing the focus below comes back here.
    m_pEditor = nullptr;
    if (bKeep && m_grid.IsValidCell(m_nFocusRow, m_nFocusCol))
        m_grid.Cell(m_nFocusRow, m_nFocusCol).strText = QStringToCp932(pEditor->text());
    pEditor->removeEventFilter(this);
    pEditor->hide();
    pEditor->deleteLater();
    setFocus();
    viewport()->update();
}

bool CGridCtrl::eventFilter(QObject *pObject, QEvent *pEvent)
{
    if (pObject != m_pEditor)
        return QAbstractScrollArea::eventFilter(pObject, pEvent);
    switch (pEvent->type()) {
    case QEvent::FocusOut:
        EndEdit(true);
        return false;
    case QEvent::ShortcutOverride:
        // Escape ends the edit rather than closing the dialog.
        if (static_cast<QKeyEvent *>(pEvent)->key() == Qt::Key_Escape) {
            pEvent->accept();
            return true;
        }
        return false;
    case QEvent::KeyPress:
        return EditKey(static_cast<QKeyEvent *>(pEvent));
    default:
        return false;
    }
}

bool CGridCtrl::EditKey(QKeyEvent *pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Escape:
        EndEdit(false);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // The edit ends with the text kept, and the key moves on as it
        // would have without an edit.
        EndEdit(true);
        keyPressEvent(pEvent);
        return true;
    default:
        return false;
    }
}

bool CGridCtrl::ClipboardKey(QKeyEvent *pEvent)
{
    const CCellRange range =
        m_range.IsValid() ? m_range : CCellRange{m_nFocusRow, m_nFocusCol, m_nFocusRow, m_nFocusCol};
    if (pEvent->matches(QKeySequence::SelectAll)) {
        if (m_grid.GetRowCount() > 1 && m_grid.GetColumnCount() > 1) {
            SetFocusCell(1, 1);
            m_range = {1, 1, m_grid.GetRowCount() - 1, m_grid.GetColumnCount() - 1};
        }
    } else if (pEvent->matches(QKeySequence::Copy) || pEvent->matches(QKeySequence::Cut)) {
        if (!range.IsValid())
            return true;
        // Tab-separated, as spreadsheets copy and paste cells.
        const std::string strText = TableToSeparated(m_grid.CopyTexts(range), '\t');
        QGuiApplication::clipboard()->setText(Cp932ToQString(strText));
        if (pEvent->matches(QKeySequence::Cut))
            m_grid.ClearTexts(range);
    } else if (pEvent->matches(QKeySequence::Paste)) {
        const QString strClip = QGuiApplication::clipboard()->text();
        if (!range.IsValid() || strClip.isEmpty())
            return true;
        const CTableGrid block = GridFromSeparatedText(QStringToCp932(strClip), '\t');
        const CCellRange pasted = m_grid.PasteTexts(range.nMinRow, range.nMinCol, block);
        SetFocusCell(pasted.nMinRow, pasted.nMinCol);
        m_range = pasted;
        Refresh();
    } else {
        return false;
    }
    viewport()->update();
    return true;
}

bool CGridCtrl::focusNextPrevChild(bool)
{
    // Tab moves between cells; the dialog's other controls are reached with the mouse or their keys.
    return false;
}

void CGridCtrl::keyPressEvent(QKeyEvent *pEvent)
{
    // While a cell is edited every key is the edit's: one the editor passed
    // up, or one that came before the focus went over to it. What the editor
    // declines stays declined and goes on to the dialog.
    if (m_pEditor) {
        if (!EditKey(pEvent))
            static_cast<CCellEditor *>(m_pEditor)->TakeKey(pEvent);
        return;
    }
    if (ClipboardKey(pEvent))
        return;
    const bool bShift = (pEvent->modifiers() & Qt::ShiftModifier) != 0;
    int nRow = std::max(m_nFocusRow, 1);
    int nCol = std::max(m_nFocusCol, 1);
    const int nLastRow = m_grid.GetRowCount() - 1;
    const int nLastCol = m_grid.GetColumnCount() - 1;
    const int nPage = std::max(1, viewport()->height() / m_nRowHeight - 1);
    switch (pEvent->key()) {
    case Qt::Key_Up:
        MoveFocus(nRow - 1, nCol, bShift);
        return;
    case Qt::Key_Down:
        MoveFocus(nRow + 1, nCol, bShift);
        return;
    case Qt::Key_Left:
        MoveFocus(nRow, nCol - 1, bShift);
        return;
    case Qt::Key_Right:
        MoveFocus(nRow, nCol + 1, bShift);
        return;
    case Qt::Key_PageUp:
        MoveFocus(nRow - nPage, nCol, bShift);
        return;
    case Qt::Key_PageDown:
        MoveFocus(nRow + nPage, nCol, bShift);
        return;
    case Qt::Key_Home:
        MoveFocus((pEvent->modifiers() & Qt::ControlModifier) ? 1 : nRow, 1, bShift);
        return;
    case Qt::Key_End:
        MoveFocus((pEvent->modifiers() & Qt::ControlModifier) ? nLastRow : nRow, nLastCol, bShift);
        return;
    case Qt::Key_Tab:
        // Along the row, then on to the next one.
        if (nCol < nLastCol)
            MoveFocus(nRow, nCol + 1, false);
        else if (nRow < nLastRow)
            MoveFocus(nRow + 1, 1, false);
        return;
    case Qt::Key_Backtab:
        if (nCol > 1)
            MoveFocus(nRow, nCol - 1, false);
        else if (nRow > 1)
            MoveFocus(nRow - 1, nLastCol, false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        MoveFocus(bShift ? nRow - 1 : nRow + 1, nCol, false);
        return;
    case Qt::Key_F2:
        EditFocusCell();
        return;
    case Qt::Key_Delete:
        for (int r = std::max(m_range.nMinRow, 1); m_range.IsValid() && r <= m_range.nMaxRow; ++r)
            for (int c = std::max(m_range.nMinCol, 1); c <= m_range.nMaxCol; ++c)
                m_grid.Cell(r, c).strText.clear();
        viewport()->update();
        return;
    default:
        break;
    }
    const QString strText = pEvent->text();
    if (!strText.isEmpty() && strText.at(0).isPrint() && !(pEvent->modifiers() & Qt::ControlModifier)) {
        EditFocusCell(&strText);
        return;
    }
    QAbstractScrollArea::keyPressEvent(pEvent);
}

void CGridCtrl::inputMethodEvent(QInputMethodEvent *pEvent)
{
    // Composition starts an edit of the focused cell, which takes it over.
    if (!m_pEditor && (!pEvent->preeditString().isEmpty() || !pEvent->commitString().isEmpty())) {
        const QString strEmpty;
        EditFocusCell(&strEmpty);
    }
    if (m_pEditor)
        static_cast<CCellEditor *>(m_pEditor)->TakeInputMethod(pEvent);
}

QVariant CGridCtrl::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle && m_nFocusRow >= 1)
        return CellRect(m_nFocusRow, m_nFocusCol);
    if (query == Qt::ImEnabled)
        return true;
    return QAbstractScrollArea::inputMethodQuery(query);
}
