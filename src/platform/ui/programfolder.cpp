#include "platform/ui/programfolder.h"

#include "platform/userfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool IsDataFolder(const QString &strPath)
{
    return !strPath.isEmpty() && QFileInfo(strPath).isDir();
}

} // namespace

QString ProgramFolder()
{
    const QString strPath = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(strPath);
    return strPath;
}

QString ShippedDataFolder()
{
    const QString strBeside = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/wrenpad");
    if (IsDataFolder(strBeside))
        return QDir::cleanPath(strBeside);
#ifdef WRENPAD_INSTALL_DATADIR
    if (IsDataFolder(QStringLiteral(WRENPAD_INSTALL_DATADIR)))
        return QStringLiteral(WRENPAD_INSTALL_DATADIR);
#endif
#ifdef WRENPAD_SOURCE_DATADIR
    if (IsDataFolder(QStringLiteral(WRENPAD_SOURCE_DATADIR)))
        return QStringLiteral(WRENPAD_SOURCE_DATADIR);
#endif
    return QString();
}

namespace {

QString &ManualFolderSet()
{
    static QString strFolder;
    return strFolder;
}

bool HoldsManual(const QString &strFolder)
{
    return QFileInfo(strFolder + QStringLiteral("/index.html")).isFile();
}

} // namespace

QString ManualFolder()
{
    if (!ManualFolderSet().isEmpty())
        return ManualFolderSet();
    // Each place on its own: a shipped data folder of an older installation
    // may lack the manual that another place has.
    QStringList candidates{QCoreApplication::applicationDirPath() + QStringLiteral("/../share/wrenpad/help")};
#ifdef WRENPAD_INSTALL_DATADIR
    candidates << QStringLiteral(WRENPAD_INSTALL_DATADIR "/help");
#endif
#ifdef WRENPAD_SOURCE_DATADIR
    candidates << QStringLiteral(WRENPAD_SOURCE_DATADIR "/help");
#endif
    for (const QString &strFolder : candidates) {
        if (HoldsManual(strFolder))
            return QDir::cleanPath(strFolder);
    }
    return QString();
}

void SetManualFolder(const QString &strFolder)
{
    ManualFolderSet() = strFolder;
}

int SeedProgramFolder(const QString &strShippedFolder, const QString &strProgramFolder)
{
    if (!IsDataFolder(strShippedFolder) || strProgramFolder.isEmpty())
        return 0;
    const QDir shipped(strShippedFolder);
    // The templates are the user's to delete: they come once, with the
    // folder, and a template removed later does not come back.
    const bool bHasTemplates = QFileInfo(strProgramFolder + QStringLiteral("/templete")).isDir();
    int nCopied = 0;
    QDirIterator it(strShippedFolder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString strSource = it.next();
        const QString strRelative = shipped.relativeFilePath(strSource);
        // The folder's own description, its build file (a program run from the
        // build tree reads the source folder), the desktop files, the manual
        // and the manual pages are not user data.
        if (strRelative == QLatin1String("README.md") || strRelative == QLatin1String("CMakeLists.txt")
            || strRelative.startsWith(QLatin1String("desktop/")) || strRelative.startsWith(QLatin1String("help/"))
            || strRelative.startsWith(QLatin1String("man/")))
            continue;
        if (bHasTemplates && strRelative.startsWith(QLatin1String("templete/")))
            continue;
        const QString strTarget = strProgramFolder + QLatin1Char('/') + strRelative;
        if (QFileInfo::exists(strTarget))
            continue;
        QDir().mkpath(QFileInfo(strTarget).absolutePath());
        if (QFile::copy(strSource, strTarget)) {
            // Shipped files may be read-only in the installation; the user's copies are theirs.
            QFile::setPermissions(strTarget, QFile::permissions(strTarget) | QFileDevice::WriteOwner);
            ++nCopied;
        }
    }
    return nCopied;
}

namespace {

QStringList &PluginFoldersSet()
{
    static QStringList folders;
    return folders;
}

} // namespace

QStringList PluginFolders()
{
    if (!PluginFoldersSet().isEmpty())
        return PluginFoldersSet();
    QStringList folders{ProgramFolder()};
#ifdef WRENPAD_INSTALL_PLUGINDIR
    const char *pszInstalled = WRENPAD_INSTALL_PLUGINDIR;
#else
    const char *pszInstalled = nullptr;
#endif
    const std::string strInstalled =
        InstalledPluginFolder(QCoreApplication::applicationDirPath().toStdString(), pszInstalled);
    if (!strInstalled.empty())
        folders << QDir::cleanPath(QString::fromStdString(strInstalled));
    return folders;
}

void SetPluginFolders(const QStringList &folders)
{
    PluginFoldersSet() = folders;
}
