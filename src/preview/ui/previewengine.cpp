#include "preview/ui/previewengine.h"

#include "preview/preview.h"
#include "preview/ui/textbrowserpreview.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QtDebug>

namespace {

constexpr const char *MODULE_NAME = "wrenpad-webpreview.so";

PreviewEngineFactory &Factory()
{
    static PreviewEngineFactory factory;
    return factory;
}

// Loaded once, on the first page shown, and never unloaded: the engines it
// makes may live until the program ends.
CreateWebPreviewFn WebPreviewEntry()
{
    static bool bTried = false;
    static CreateWebPreviewFn fnCreate = nullptr;
    if (bTried)
        return fnCreate;
    bTried = true;
    const QString strPath = WebPreviewModulePath();
    if (strPath.isEmpty())
        return nullptr;
    static QLibrary library;
    library.setFileName(strPath);
    if (!library.load()) {
        qWarning().noquote() << "Wrenpad: the web engine for the preview could not be loaded:" << library.errorString();
        return nullptr;
    }
    fnCreate = reinterpret_cast<CreateWebPreviewFn>(library.resolve(WRENPAD_WEBPREVIEW_ENTRY));
    if (!fnCreate)
        qWarning().noquote() << "Wrenpad:" << strPath << "is not this program's web preview module";
    return fnCreate;
}

} // namespace

QString WebPreviewModulePath()
{
    QStringList candidates{QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/wrenpad/")
                           + QLatin1String(MODULE_NAME)};
#ifdef WRENPAD_INSTALL_MODULEDIR
    candidates << QStringLiteral(WRENPAD_INSTALL_MODULEDIR "/") + QLatin1String(MODULE_NAME);
#endif
#ifdef WRENPAD_BUILD_WEBPREVIEW
    candidates << QStringLiteral(WRENPAD_BUILD_WEBPREVIEW);
#endif
    for (const QString &strPath : candidates)
        if (QFileInfo(strPath).isFile())
            return QFileInfo(strPath).canonicalFilePath();
    return QString();
}

std::unique_ptr<CPreviewEngine> CreatePreviewEngine(QWidget *pParent)
{
    if (Factory())
        return Factory()(pParent);
    if (CreateWebPreviewFn fnCreate = WebPreviewEntry())
        if (CPreviewEngine *pEngine = fnCreate(pParent, &PageCharset))
            return std::unique_ptr<CPreviewEngine>(pEngine);
    return std::make_unique<CTextBrowserPreview>(pParent);
}

void SetPreviewEngineFactory(PreviewEngineFactory factory)
{
    Factory() = std::move(factory);
}
