// Watches a document's file for what other programs do to it. Both the file
// and its folder are watched: many programs save by writing a new file and
// renaming it over the old one, which ends a watch on the old file, and a
// file deleted and made again shows only in its folder. Events come in bursts
// (a program writing in pieces, a rename and its clean-up); the watcher waits
// until they settle and then compares the file's stamp with the one it saw
// last, so that a burst is told once and the editor's own saves, after which
// the document records the new stamp, are not told at all.
#pragma once

#include "text/filestamp.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <string>

class CFileWatcher : public QObject
{
    Q_OBJECT

public:
    explicit CFileWatcher(QObject *pParent = nullptr);

    // Watches another file (none for an empty path); the known stamp stays.
    void SetPath(const std::string &strPath);
    const std::string &GetPath() const { return m_strPath; }

    // The stamp of the file as the document holds it (read or written), which
    // is also the last one seen.
    void SetKnown(const CFileStamp &stamp);
    const CFileStamp &GetKnown() const { return m_known; }
    // The file as it is now counts as seen: changes up to now are not told again.
    void MarkSeen();
    // Whether the file on disk differs from what the document holds.
    bool ChangedSinceKnown() const;

    // How long events must pause before the file is looked at.
    void SetSettleTime(int nMilliseconds) { m_timerSettle.setInterval(nMilliseconds); }

signals:
    // The file was changed, replaced, deleted or made again since it was last seen.
    void Changed();
    // After each look at the file, changed or not; something waiting for the
    // watcher to have seen a change connects here.
    void Checked();

private:
    void WatchPaths();
    void Check();

    QFileSystemWatcher m_watcher;
    QTimer m_timerSettle;
    std::string m_strPath;
    CFileStamp m_known;
    CFileStamp m_seen;
    CFileStamp m_watchedFile;  // the file the watch was set on
};
