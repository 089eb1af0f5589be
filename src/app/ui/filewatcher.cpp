#include "app/ui/filewatcher.h"

#include "text/fileio.h"

#include <QFileInfo>

CFileWatcher::CFileWatcher(QObject *pParent) : QObject(pParent), m_watcher(this)
{
    m_timerSettle.setSingleShot(true);
    m_timerSettle.setInterval(150);
    connect(&m_timerSettle, &QTimer::timeout, this, &CFileWatcher::Check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_timerSettle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_timerSettle, qOverload<>(&QTimer::start));
}

void CFileWatcher::SetPath(const std::string &strPath)
{
    if (strPath == m_strPath)
        return;
    const QStringList aWatched = m_watcher.files() + m_watcher.directories();
    if (!aWatched.isEmpty())
        m_watcher.removePaths(aWatched);
    m_timerSettle.stop();
    m_strPath = strPath;
    m_watchedFile = CFileStamp();
    WatchPaths();
}

void CFileWatcher::WatchPaths()
{
    if (m_strPath.empty())
        return;
    // The file and its folder; through a symbolic link, also the file it
    // names and that file's folder, where a rename over it happens.
    QStringList aFiles;
    QStringList aFolders;
    for (const std::string &strPath : {m_strPath, ResolveSymlinks(m_strPath)}) {
        const QFileInfo info(QString::fromStdString(strPath));
        aFiles << info.absoluteFilePath();
        aFolders << info.absolutePath();
    }
    aFiles.removeDuplicates();
    aFolders.removeDuplicates();
    // A watch stays with the file it was set on: once another file has taken
    // the name (renamed over it, or made anew), the watch moves to that one.
    const CFileStamp now = FileStampOf(m_strPath);
    if (now.bExists && (now.nDevice != m_watchedFile.nDevice || now.nInode != m_watchedFile.nInode)) {
        for (const QString &strFile : aFiles)
            if (m_watcher.files().contains(strFile))
                m_watcher.removePath(strFile);
        m_watchedFile = now;
    }
    const QStringList aWatched = m_watcher.files() + m_watcher.directories();
    for (const QString &strPath : aFiles + aFolders)
        if (!aWatched.contains(strPath) && QFileInfo::exists(strPath))
            m_watcher.addPath(strPath);
}

void CFileWatcher::SetKnown(const CFileStamp &stamp)
{
    m_known = stamp;
    m_seen = stamp;
    WatchPaths();
}

void CFileWatcher::MarkSeen()
{
    m_seen = FileStampOf(m_strPath);
}

bool CFileWatcher::ChangedSinceKnown() const
{
    return !m_strPath.empty() && FileStampOf(m_strPath) != m_known;
}

void CFileWatcher::Check()
{
    if (m_strPath.empty())
        return;
    WatchPaths();
    const CFileStamp now = FileStampOf(m_strPath);
    if (now != m_seen) {
        m_seen = now;
        emit Changed();
    }
    emit Checked();
}
