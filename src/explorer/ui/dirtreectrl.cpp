#include "explorer/ui/dirtreectrl.h"

#include "explorer/ui/dirtreemodel.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

// A file's label opens for editing with the name before its extension
// selected, so that typing a new name keeps the kind of file.
class CNameDelegate : public QStyledItemDelegate
{
public:
    CNameDelegate(CDirTreeCtrl *pTree) : QStyledItemDelegate(pTree), m_pTree(pTree) {}

    void setEditorData(QWidget *pEditor, const QModelIndex &index) const override
    {
        QStyledItemDelegate::setEditorData(pEditor, index);
        QPointer<QLineEdit> pEdit = qobject_cast<QLineEdit *>(pEditor);
        const int nDot = pEdit ? pEdit->text().lastIndexOf(QLatin1Char('.')) : -1;
        if (nDot <= 0 || m_pTree->GetDirModel()->IsFolder(index))
            return;
        // After the view has selected everything.
        QTimer::singleShot(0, pEdit, [pEdit, nDot] {
            if (pEdit)
                pEdit->setSelection(0, nDot);
        });
    }

private:
    CDirTreeCtrl *m_pTree;
};

} // namespace

CDirTreeCtrl::CDirTreeCtrl(QWidget *pParent) : QTreeView(pParent)
{
    setObjectName(QStringLiteral("dirTree"));
    setHeaderHidden(true);
    // Every row is one line of text: the view need not measure 20,000 of them.
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(true);
    setItemDelegate(new CNameDelegate(this));
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
