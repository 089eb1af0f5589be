// A resizable docking bar: a titled dock window whose content another part
// of the program supplies (the browser preview, the search results). Until
// then it holds an empty placeholder.
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

private:
    int m_nID;
    QSize m_sizeInitial;
    bool m_bSized = false;
};
