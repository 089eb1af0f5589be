// The explorer pane's tree view (`CDirTreeCtrl`): the folder tree with its
// keys. Enter opens, F2 renames, F5 reads the folder again, Delete deletes,
// and Tab hands the keyboard back to the editor; the pane decides what each
// of them does.
#pragma once

#include <QTreeView>

class CDirTreeModel;

class CDirTreeCtrl : public QTreeView
{
    Q_OBJECT

public:
    explicit CDirTreeCtrl(QWidget *pParent = nullptr);

    void SetDirModel(CDirTreeModel *pModel);
    CDirTreeModel *GetDirModel() const { return m_pModel; }
    // A label is being edited (a rename).
    bool IsEditing() const { return state() == EditingState; }

signals:
    void OpenRequested();
    void RefreshRequested();
    void DeleteRequested();
    void LeaveRequested();
    // A right click: the item under the cursor is current by now.
    void MenuRequested(const QPoint &ptGlobal);

protected:
    bool event(QEvent *pEvent) override;
    void keyPressEvent(QKeyEvent *pEvent) override;
    void contextMenuEvent(QContextMenuEvent *pEvent) override;

private:
    CDirTreeModel *m_pModel = nullptr;
};
