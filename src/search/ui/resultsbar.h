// The content of the "検索結果" docking bar: the results control and, at the
// top left, the small button that starts a new folder search (command 401).
// The main frame puts it into its bar and connects FolderSearchRequested.
#pragma once

#include <QWidget>

class CResultsEdit;
class QToolButton;

class CResultsBar : public QWidget
{
    Q_OBJECT

public:
    explicit CResultsBar(QWidget *pParent = nullptr);
    CResultsEdit *GetResultsEdit() const { return m_pResults; }

    // The bar's status-bar text.
    static QString StatusText() { return QStringLiteral("検索結果をダブルクリックするとジャンプします。"); }

signals:
    // The folder-search button was pressed: run command 401.
    void FolderSearchRequested();

protected:
    void resizeEvent(QResizeEvent *pEvent) override;

private:
    CResultsEdit *m_pResults;
    QToolButton *m_pSearchButton;
};
