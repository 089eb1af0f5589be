// The browser bar "IE WebBrowser": the docking bar's content that shows the
// previewed page. Its page view exists only from the first page shown until
// the bar is hidden, so that a hidden bar holds no browser: no page, nothing
// running. An engine that can be emptied is kept hidden for the next time
// the bar shows a page, which then need not start a view and its renderer.
// Showing the page it already shows refreshes it instead.
#pragma once

#include <QWidget>

#include <memory>
#include <string>

class CPreviewEngine;
class QDockWidget;
class QVBoxLayout;

class CBrowserBar : public QWidget
{
    Q_OBJECT

public:
    // The bar's title is the dock's; it names the page shown.
    explicit CBrowserBar(QDockWidget *pDock);
    ~CBrowserBar() override;

    // A new page view (or the emptied one kept from before) in place of any
    // old one; false when none can be made.
    bool CreateBrowser();
    // Shows a file: refreshes when it is the one shown, else opens it and
    // names it in the title ("IE WebBrowser - " + path).
    void Navigate(const std::string &strPath);
    // Shows a file at the element with the id, always loading it afresh.
    void NavigateToAnchor(const std::string &strPath, const std::string &strAnchor);
    // The page shown again from new text: a refresh when it is the same file,
    // else the file opened scrolled to where the page was.
    void Update(const std::string &strPath);
    // Stops and removes the page view; nothing is shown afterwards.
    void DestroyBrowser();

    bool HasBrowser() const { return m_pEngine != nullptr; }
    CPreviewEngine *GetEngine() const { return m_pEngine.get(); }
    // The last path shown, empty when none.
    const std::string &GetCurrentUrl() const { return m_strCurrentUrl; }

signals:
    // A page (opened or refreshed) has loaded, or could not be.
    void LoadFinished(bool bOk);

private:
    QDockWidget *m_pDock;
    QVBoxLayout *m_pLayout;
    std::unique_ptr<CPreviewEngine> m_pEngine;
    // The emptied engine kept, hidden, while the bar shows none.
    std::unique_ptr<CPreviewEngine> m_pParked;
    std::string m_strCurrentUrl;
};
