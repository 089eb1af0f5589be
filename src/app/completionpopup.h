// The completion pop-up of Ctrl+Space: a small list just below the caret,
// at most seven rows high. Enter or a double-click chooses an item, Escape or
// a click elsewhere closes it; either way the focus goes back to the view.
#pragma once

#include "html/tagalign.h"

#include <QFrame>

#include <functional>
#include <string>
#include <vector>

class QTreeWidget;

class CCompletionPopup : public QFrame
{
    Q_OBJECT

public:
    // fnChosen gets the chosen item's text (Shift-JIS).
    CCompletionPopup(QWidget *pView, const std::vector<CAlignItem> &aItems,
                     std::function<void(const std::string &)> fnChosen);
    // Shows the pop-up with its top left corner at ptGlobal (moved up or left
    // to stay on the screen).
    void ShowAt(const QPoint &ptGlobal);
    QTreeWidget *Tree() const { return m_pTree; }

protected:
    bool eventFilter(QObject *pObject, QEvent *pEvent) override;
    void hideEvent(QHideEvent *pEvent) override;

private:
    void Choose();

    QWidget *m_pView;
    QTreeWidget *m_pTree;
    std::vector<std::string> m_aTexts;
    std::function<void(const std::string &)> m_fnChosen;
};
