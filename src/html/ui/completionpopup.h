// The completion pop-up of Ctrl+Space: a small list just below the caret's
// line (above it where the screen has no room below, never over it), at most
// seven rows high. Enter or a double-click chooses an item, Escape or a click
// elsewhere closes it; either way the focus goes back to the view.
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
    // fnChosen gets the chosen item's text (Shift-JIS); item nCurrent is the
    // current one as the list opens.
    CCompletionPopup(QWidget *pView, const std::vector<CAlignItem> &aItems, int nCurrent,
                     std::function<void(const std::string &)> fnChosen);
    // Shows the pop-up beside the caret's line, given in global coordinates.
    void ShowBeside(const QRect &rcLine);
    QTreeWidget *Tree() const { return m_pTree; }

    // Where a pop-up of the size goes on the screen's free area: its left
    // edge at the line's, moved left to stay on the screen; its top just
    // below the line, or its bottom just above it when it does not fit
    // below. Where it fits on neither side it goes to the larger one and
    // is made lower to fit.
    static QRect PlaceBesideLine(const QRect &rcLine, const QSize &size, const QRect &rcScreen);

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
