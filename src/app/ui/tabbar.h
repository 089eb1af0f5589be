// The file tab bar: one tab per document window, in the order the windows
// were opened. Tab texts follow the window titles at each idle update, the
// selected tab follows the active window, and a click activates a window.
#pragma once

#include <QWidget>

class QTabBar;

class CTabBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MAX_TAB_TEXT = 260;

    explicit CTabBar(QWidget *pParent = nullptr);

    void AddTab(QWidget *pWindow);
    void RemoveTab(QWidget *pWindow);
    // Texts from the windows' titles, and the active window's tab selected.
    void UpdateTabs(QWidget *pActive);

    int GetTabCount() const;
    QString GetTabText(int nIndex) const;
    QWidget *GetTabWindow(int nIndex) const;
    int GetCurrentIndex() const;
    QTabBar *GetTabControl() const { return m_pTabs; }

signals:
    // The user chose a tab.
    void WindowChosen(QWidget *pWindow);

private:
    int IndexOf(QWidget *pWindow) const;

    QTabBar *m_pTabs;
    bool m_bUpdating = false;
};
