#include "tools/dirtreectrl.h"

#include "tools/dirtreemodel.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>

CDirTreeCtrl::CDirTreeCtrl(QWidget *pParent) : QTreeView(pParent)
{
    setObjectName(QStringLiteral("dirTree"));
    setHeaderHidden(true);
    // Every row is one line of text: the view need not measure 20,000 of them.
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(true);
}

void CDirTreeCtrl::SetDirModel(CDirTreeModel *pModel)
{
    m_pModel = pModel;
    setModel(pModel);
    connect(this, &QTreeView::expanded, pModel, [pModel](const QModelIndex &index) { pModel->SetExpanded(index, true); });
    connect(this, &QTreeView::collapsed, pModel,
            [pModel](const QModelIndex &index) { pModel->SetExpanded(index, false); });
}

bool CDirTreeCtrl::event(QEvent *pEvent)
{
    // Tab would move the focus inside the pane; here it goes back to the text.
    if (pEvent->type() == QEvent::KeyPress) {
        const auto *pKey = static_cast<QKeyEvent *>(pEvent);
        if ((pKey->key() == Qt::Key_Tab || pKey->key() == Qt::Key_Backtab) && state() != EditingState) {
            emit LeaveRequested();
            return true;
        }
    }
    return QTreeView::event(pEvent);
}

void CDirTreeCtrl::keyPressEvent(QKeyEvent *pEvent)
{
    if (state() == EditingState || (pEvent->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QTreeView::keyPressEvent(pEvent);
        return;
    }
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit OpenRequested();
        return;
    case Qt::Key_F2:
        if (currentIndex().isValid() && (model()->flags(currentIndex()) & Qt::ItemIsEditable))
            edit(currentIndex());
        return;
    case Qt::Key_F5:
        emit RefreshRequested();
        return;
    case Qt::Key_Delete:
        emit DeleteRequested();
        return;
    default:
        QTreeView::keyPressEvent(pEvent);
    }
}

void CDirTreeCtrl::contextMenuEvent(QContextMenuEvent *pEvent)
{
    // The event comes from the viewport, in its coordinates.
    const QModelIndex index = indexAt(pEvent->pos());
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    emit MenuRequested(pEvent->globalPos());
}
