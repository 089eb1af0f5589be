// A resizable docking bar: a titled dock window whose content another part
// of the program supplies (the browser preview, the search results). Until
// then it holds an empty placeholder.
//
// A bar that opens beside another in the same dock area takes a usable
// share of it (the size it had when it was last open, else a third of the
// window) and is never made smaller than a readable minimum, whichever bar
// opened last.
#pragma once

#include <QDockWidget>
#include <QSize>

class CSizingControlBar : public QDockWidget
{
    Q_OBJECT

public:
    // nID names the bar (213 the browser bar, 217 the results bar); the size
    // is the one it first takes when docked.
    CSizingControlBar(int nID, const QString &strTitle, QSize sizeInitial, QWidget *pParent = nullptr);

    int GetID() const { return m_nID; }
    // Puts a widget into the bar; the bar owns it and deletes what it held.
    void SetContentWidget(QWidget *pContent);
    QWidget *GetContentWidget() const { return widget(); }
    QSize sizeHint() const override { return m_sizeInitial; }

protected:
    void showEvent(QShowEvent *pEvent) override;
    void hideEvent(QHideEvent *pEvent) override;

private:
    // Gives the docked bar its depth (the first time) and, beside other
    // bars of its area, its share along the area.
    void SizeInWindow();

    int m_nID;
    QSize m_sizeInitial;
    bool m_bSized = false;
    QSize m_sizeLast;  // when it was last hidden while docked
};

// How much of a dock area's length a bar opening beside others takes: the
// length it had when it was last open (0: never), else a third of the
// area's; at least nMinimum, and no more than leaves nMinimum for the rest.
int SharedBarLength(int nLast, int nArea, int nMinimum);
