// The web engine behind the preview, built as a module of its own and loaded
// on the first page shown (app/previewengine.cpp): linking Qt WebEngine into
// the program would cost every start the loading of its libraries.
//
// Pages are not opened as file: URLs. Chromium guesses the code of a page
// that declares none, and reads short Shift-JIS pages as Latin text. They go
// through the scheme "wpfile:" instead, whose handler reads the file and says
// in the reply which code it is in, decided by the program's own routine; a
// page that declares its code is served without one, so its declaration
// counts. Relative links resolve within the scheme, and links to file: URLs
// (the <base> of a temporary copy) are allowed to it.
//
// A page may do what a browser lets a page opened from a file do, and no
// more: its scripts run, its tags show images, style sheets, fonts, scripts
// and media from any folder, but no script reads a local file (see
// CLocalFileGuard). Every page view is made by NewPageView().
#include "preview/ui/previewengine.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QOpenGLContext>
#include <QPointer>
#include <QQuickWindow>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <unistd.h>

// QtGui's own (declared in its private headers, exported with its public
// interface): the context every OpenGL context of the program shares with.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *pContext);

namespace {

constexpr char PAGE_SCHEME[] = "wpfile";

class CPageSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    CPageSchemeHandler(PageCharsetFn fnCharset, QObject *pParent)
        : QWebEngineUrlSchemeHandler(pParent), m_fnCharset(fnCharset)
    {
    }

    void requestStarted(QWebEngineUrlRequestJob *pJob) override
    {
        const QString strPath = pJob->requestUrl().path();
        QFile file(strPath);
        if (!QFileInfo(strPath).isFile()) {
            pJob->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            pJob->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        auto *pBody = new QBuffer(pJob);
        pBody->setData(file.readAll());
        pBody->open(QIODevice::ReadOnly);
        QByteArray contentType =
            m_mimeTypes.mimeTypeForFile(strPath, QMimeDatabase::MatchExtension).name().toLatin1();
        if (contentType.startsWith("text/")) {
            const QByteArray &data = pBody->data();
            bool bDeclared = false;
            const std::string strCharset =
                m_fnCharset(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), &bDeclared);
            if (!bDeclared)
                contentType += ";charset=" + QByteArray::fromStdString(strCharset);
        }
        pJob->reply(contentType, pBody);
    }

private:
    PageCharsetFn m_fnCharset;
    QMimeDatabase m_mimeTypes;
};

// Keeps local files from a page's scripts, whatever the page's settings say:
// the engine lets a page of a local scheme fetch file: URLs, and any URL of
// its own scheme, which is one origin for every file on the disk.
//
// Only pages (the page shown and those in its frames) come through the page
// scheme. Whatever else a page loads of it (images, style sheets, fonts,
// scripts, media) is sent on to the same file's file: URL, which is how a
// browser loads it for a page opened from a file: being of another origin
// than the page, it is shown but cannot be read back (no pixels through a
// canvas, no rules of a style sheet, no text in a script's error message).
// A script's own requests (fetch, XMLHttpRequest) of a local URL fail.
class CLocalFileGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl &url = info.requestUrl();
        const bool bPageScheme = url.scheme() == QLatin1String(PAGE_SCHEME);
        if (!bPageScheme && !url.isLocalFile())
            return;
        switch (info.resourceType()) {
        case QWebEngineUrlRequestInfo::ResourceTypeXhr:
            info.block(true);
            break;
        case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
        case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
            break;
        default:
            if (bPageScheme)
                info.redirect(QUrl::fromLocalFile(url.path(QUrl::FullyDecoded)));
            break;
        }
    }
};

// The engine's defaults that a page opened from a file in a browser does not
// have. The other settings stay the engine's: they either grant nothing more
// (scroll bars, focus, printing of backgrounds) or are off already and stay
// off (clipboard, remote access, plug-ins, insecure content).
void SetUpLocalPageSettings(QWebEngineSettings *pSettings)
{
    // No script looks into a frame or window that shows another local file;
    // the engine's default lets it into any page of the page scheme.
    pSettings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    // As a browser's pop-up blocker: a script opens no window unasked.
    pSettings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
}

// One profile for every preview, kept in memory only: a preview leaves no
// cache, cookies or history on disk. Its settings are those of every page.
QWebEngineProfile *PreviewProfile(PageCharsetFn fnCharset)
{
    static QPointer<QWebEngineProfile> pProfile;
    if (!pProfile) {
        pProfile = new QWebEngineProfile(qApp);
        pProfile->installUrlSchemeHandler(PAGE_SCHEME, new CPageSchemeHandler(fnCharset, pProfile));
        pProfile->setUrlRequestInterceptor(new CLocalFileGuard(pProfile));
        SetUpLocalPageSettings(pProfile->settings());
    }
    return pProfile;
}

// Every page view of the program (the browser bar, the manual shown in it,
// the template dialog's preview) is made here, on the one profile.
QWebEngineView *NewPageView(QWidget *pParent, PageCharsetFn fnCharset)
{
    auto *pView = new QWebEngineView(pParent);
    auto *pPage = new QWebEnginePage(PreviewProfile(fnCharset), pView);
    // Location, camera, microphone, notifications, the screen: a preview
    // gives none, and says so at once rather than leaving the page waiting.
    QObject::connect(pPage, &QWebEnginePage::featurePermissionRequested, pPage,
                     [pPage](const QUrl &origin, QWebEnginePage::Feature feature) {
                         pPage->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                     });
    pView->setPage(pPage);
    return pView;
}

void PrepareWebEngine()
{
    static bool bDone = false;
    if (bDone)
        return;
    bDone = true;
    // The engine's sandbox refuses to run for the superuser (a container,
    // a test run as root); without this the preview would stay empty there.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine expects the context that the application makes at its start
    // when asked to (Qt::AA_ShareOpenGLContexts); asking would cost every
    // start of the program the setting up of OpenGL, so it is made here, on
    // the first preview. The engine reads it even when it draws in software,
    // and, as the application does, it is kept whether OpenGL works or not.
    if (!QOpenGLContext::globalShareContext()) {
        auto *pShared = new QOpenGLContext(qApp);
        pShared->setFormat(QSurfaceFormat::defaultFormat());
        pShared->create();
        qt_gl_set_global_share_context(pShared);
    }
    // Pages are composed in software: the windows of the program stay as they
    // are (no OpenGL surface), and the engine rasterizes without a GPU anyway.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // Schemes must be known before the engine starts, which it does with the
    // first profile.
    QWebEngineUrlScheme scheme(PAGE_SCHEME);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

class CWebEnginePreview : public CPreviewEngine
{
public:
    CWebEnginePreview(QWidget *pParent, PageCharsetFn fnCharset) : m_pView(NewPageView(pParent, fnCharset))
    {
        m_pView->setObjectName(QStringLiteral("previewWebView"));
        m_loadFinished = QObject::connect(m_pView->page(), &QWebEnginePage::loadingChanged, m_pView,
                                          [this](const QWebEngineLoadingInfo &info) { OnLoadingChanged(info); });
    }

    ~CWebEnginePreview() override
    {
        // A page stopped while the view goes reports nothing to whoever
        // listened; the page goes with its view, before the profile.
        QObject::disconnect(m_loadFinished);
        delete m_pView;
    }

    QWidget *GetWidget() override { return m_pView; }

    void Navigate(const QString &strPath, bool bKeepScroll) override
    {
        m_bRestoreScroll = bKeepScroll;
        if (bKeepScroll)
            m_ptScroll = m_pView->page()->scrollPosition();
        QUrl url;
        url.setScheme(QString::fromLatin1(PAGE_SCHEME));
        url.setPath(QFileInfo(strPath).absoluteFilePath());
        m_pView->load(url);
    }

    void NavigateToAnchor(const QString &strPath, const QString &strAnchor) override
    {
        m_bRestoreScroll = false;
        QUrl url;
        url.setScheme(QString::fromLatin1(PAGE_SCHEME));
        url.setPath(QFileInfo(strPath).absoluteFilePath());
        if (!strAnchor.isEmpty())
            url.setFragment(strAnchor);
        m_pView->load(url);
    }

    // A reload keeps the scroll position by itself.
    void Refresh() override { m_pView->reload(); }
    void Stop() override { m_pView->stop(); }

    // The blank page ends whatever the page ran; it is nobody's load.
    bool Park() override
    {
        m_pView->stop();
        m_fnLoadFinished = nullptr;
        m_bRestoreScroll = false;
        m_bBlanking = true;
        m_bClearHistory = true;
        m_pView->load(QUrl(QStringLiteral("about:blank")));
        return true;
    }
    void SetLoadFinishedHandler(std::function<void(bool)> fn) override { m_fnLoadFinished = std::move(fn); }
    const char *GetKind() const override { return "webengine"; }

private:
    void OnLoadingChanged(const QWebEngineLoadingInfo &info)
    {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            return;
        if (m_bBlanking && info.url() == QUrl(QStringLiteral("about:blank"))) {
            m_bBlanking = false;
            return;
        }
        // The first page after the blank one keeps no way back to it.
        if (m_bClearHistory) {
            m_bClearHistory = false;
            m_pView->history()->clear();
        }
        OnLoadFinished(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
    }

    void OnLoadFinished(bool bOk)
    {
        if (m_bRestoreScroll && bOk)
            m_pView->page()->runJavaScript(
                QStringLiteral("window.scrollTo(%1, %2);").arg(m_ptScroll.x()).arg(m_ptScroll.y()));
        m_bRestoreScroll = false;
        if (m_fnLoadFinished)
            m_fnLoadFinished(bOk);
    }

    QWebEngineView *m_pView;
    QMetaObject::Connection m_loadFinished;
    std::function<void(bool)> m_fnLoadFinished;
    QPointF m_ptScroll;
    bool m_bRestoreScroll = false;
    bool m_bBlanking = false;
    bool m_bClearHistory = false;
};

} // namespace

extern "C" Q_DECL_EXPORT CPreviewEngine *WrenpadCreateWebPreview2(QWidget *pParent, PageCharsetFn fnCharset)
{
    PrepareWebEngine();
    return new CWebEnginePreview(pParent, fnCharset);
}
