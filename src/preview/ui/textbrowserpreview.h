// The simple page viewer: QTextBrowser showing a local HTML file, for a
// program built or run without Qt WebEngine. It reads the page in its own
// character code (the program's Shift-JIS table when the page is Shift-JIS),
// loads images and style sheets relative to the page's folder or its <base>,
// opens local links in place and any other link with the desktop.
#pragma once

#include "preview/ui/previewengine.h"

#include <QTextBrowser>
#include <QUrl>

class CPageTextBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    explicit CPageTextBrowser(QWidget *pParent = nullptr);
    void SetBaseUrl(const QUrl &url) { m_baseUrl = url; }
    const QUrl &GetBaseUrl() const { return m_baseUrl; }
    QVariant loadResource(int nType, const QUrl &name) override;

private:
    QUrl m_baseUrl;
};

class CTextBrowserPreview : public CPreviewEngine
{
public:
    explicit CTextBrowserPreview(QWidget *pParent);
    ~CTextBrowserPreview() override;

    QWidget *GetWidget() override;
    void Navigate(const QString &strPath, bool bKeepScroll = false) override;
    void NavigateToAnchor(const QString &strPath, const QString &strAnchor) override;
    void Refresh() override;
    void Stop() override {}
    void SetLoadFinishedHandler(std::function<void(bool)> fn) override { m_fnLoadFinished = std::move(fn); }
    const char *GetKind() const override { return "textbrowser"; }

    // The page's text as Unicode, read in its character code.
    static QString DecodePage(const QByteArray &page);

private:
    bool Load(const QString &strPath);
    void OnAnchorClicked(const QUrl &url);

    CPageTextBrowser *m_pBrowser;
    QString m_strPath;
    std::function<void(bool)> m_fnLoadFinished;
};
