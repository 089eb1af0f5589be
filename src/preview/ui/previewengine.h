// What shows a page inside the program (the browser bar, the template
// dialog's preview): a widget that opens a local file, reloads it and stops.
//
// Two engines stand behind it. The full one runs Qt WebEngine and lives in a
// module of its own, loaded the first time a page is shown, so that the
// program starts without the web engine's libraries. When that module is
// missing (built without Qt WebEngine) or cannot be loaded, a simple viewer
// on QTextBrowser takes its place. Either reads a page in the character code
// it declares, or the one its bytes suggest (Shift-JIS when nothing tells),
// and resolves relative links against the page's folder, or its <base>.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

class CPreviewEngine
{
public:
    virtual ~CPreviewEngine() = default;

    // The widget that shows the page; it belongs to the engine.
    virtual QWidget *GetWidget() = 0;
    // Opens a local file. With bKeepScroll the new page opens scrolled to
    // where the current one was (a refreshed copy of the same page).
    virtual void Navigate(const QString &strPath, bool bKeepScroll = false) = 0;
    // Opens a local file at the element with the id (a page of the manual).
    // An engine that cannot jump opens the page at its top.
    virtual void NavigateToAnchor(const QString &strPath, const QString &strAnchor)
    {
        (void)strAnchor;
        Navigate(strPath);
    }
    // Reads the current page again, keeping its scroll position.
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    // Stops the page and leaves the view empty (no page, no history), ready
    // to show another page later: starting a web engine's view and renderer
    // costs more than a page. False when the engine would rather be
    // destroyed and made anew.
    virtual bool Park() { return false; }
    // Called each time a page has been loaded (true) or could not be (false).
    virtual void SetLoadFinishedHandler(std::function<void(bool bOk)> fn) = 0;
    // "webengine" or "textbrowser".
    virtual const char *GetKind() const = 0;
};

// What the module is given by the program: the one routine that decides a
// page's character code (app/preview.h), so that both engines read pages
// alike without the module carrying a copy of the program's code.
using PageCharsetFn = std::string (*)(std::string_view page, bool *pbDeclared);

// The module's one entry point. The number in the name changes whenever this
// interface does, so that a stale module is never taken for a current one.
#define WRENPAD_WEBPREVIEW_ENTRY "WrenpadCreateWebPreview2"
using CreateWebPreviewFn = CPreviewEngine *(*)(QWidget *pParent, PageCharsetFn fnCharset);

// An engine for a new page view: the web engine when its module loads,
// otherwise the simple viewer.
std::unique_ptr<CPreviewEngine> CreatePreviewEngine(QWidget *pParent);

// Where the web engine module is: beside the program (../lib/wrenpad), in the
// installation, or in the build tree of a program run from there. Empty when
// it was not built.
QString WebPreviewModulePath();

// Tests make their own engines (a recording one, or the simple viewer).
using PreviewEngineFactory = std::function<std::unique_ptr<CPreviewEngine>(QWidget *pParent)>;
void SetPreviewEngineFactory(PreviewEngineFactory factory);
