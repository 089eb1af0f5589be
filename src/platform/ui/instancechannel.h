// The per-user channel of the single-instance mode. The first instance takes
// a lock and listens on a local socket in the user's private runtime folder;
// a later one connects, sends its request (the hand-off messages of
// platform/handoff.h) and exits. Connections from another user are refused.
// Plain Unix sockets: the toolkit's network module, with the libraries it
// brings, would cost every start its loading for this alone.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QLockFile;
class QSocketNotifier;

class CInstanceChannel : public QObject
{
    Q_OBJECT

public:
    // strPath: the socket's path; empty for the user's own channel.
    explicit CInstanceChannel(const QString &strPath = QString(), QObject *pParent = nullptr);
    ~CInstanceChannel() override;

    // Takes the lock and listens. False when another instance holds the
    // lock: this process is then the second one. When the lock or the socket
    // cannot be made at all, this process runs as the first one without a
    // channel (IsListening is false).
    bool Listen();
    bool IsListening() const;
    const QString &Path() const { return m_strPath; }

    // Sends one message to the listening instance and waits until it has
    // taken it; false when no instance answers within the time.
    static bool Send(const QString &strPath, int nCode, const QByteArray &payload, int nTimeoutMs = 3000);
    static QString DefaultPath();

signals:
    // A complete, well-formed message from a process of this user.
    void MessageReceived(int nCode, const QByteArray &payload);

private:
    class CConnection;
    void OnNewConnection();
    void OnReadable(CConnection *pConnection);

    QString m_strPath;
    std::unique_ptr<QLockFile> m_pLock;
    int m_nListenFd = -1;
    QSocketNotifier *m_pAccept = nullptr;
};
