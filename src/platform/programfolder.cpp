#include "platform/programfolder.h"

#include "tools/userfolders.h"

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
        // build tree reads the source folder) and the desktop files are not
        // user data; an installation leaves them out as well.
        if (strRelative == QLatin1String("README.md") || strRelative == QLatin1String("CMakeLists.txt")
            || strRelative.startsWith(QLatin1String("desktop/")))
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
