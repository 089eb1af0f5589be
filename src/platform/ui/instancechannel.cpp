#include "platform/ui/instancechannel.h"

#include "platform/handoff.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char ACK = 'K';
constexpr int READ_TIMEOUT_MS = 5000;
constexpr const char *BUFFER_PROPERTY = "wpHandoffBuffer";

// Whether the process at the other end of a local socket runs as this user.
bool IsSameUser(QLocalSocket *pSocket)
{
    const qintptr fd = pSocket->socketDescriptor();
    if (fd < 0)
        return false;
    struct ucred cred = {};
    socklen_t nLength = sizeof cred;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &cred, &nLength) != 0)
        return false;
    return cred.uid == ::geteuid();
}

} // namespace

CInstanceChannel::CInstanceChannel(const QString &strPath, QObject *pParent)
    : QObject(pParent), m_strPath(strPath.isEmpty() ? DefaultPath() : strPath)
{
}

CInstanceChannel::~CInstanceChannel()
{
    if (m_pServer)
        m_pServer->close();
}

QString CInstanceChannel::DefaultPath()
{
    // The runtime folder is private to the user (Qt insists on mode 0700).
    QString strFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (strFolder.isEmpty())
        strFolder = QDir::tempPath();
    return strFolder + QStringLiteral("/wrenpad-instance");
}

bool CInstanceChannel::Listen()
{
    if (m_pServer || m_pLock)
        return true;
    m_pLock = std::make_unique<QLockFile>(m_strPath + QStringLiteral(".lock"));
    // Only a dead owner makes the lock stale, never its age.
    m_pLock->setStaleLockTime(0);
    if (!m_pLock->tryLock(0)) {
        // Only a lock that another process holds makes this one the second;
        // a folder where no lock can be made leaves it the first, unreachable.
        const bool bHeld = m_pLock->error() == QLockFile::LockFailedError;
        m_pLock.reset();
        return !bHeld;
    }
    // Holding the lock, any socket left at the path belongs to a dead instance.
    QLocalServer::removeServer(m_strPath);
    m_pServer = new QLocalServer(this);
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_pServer->listen(m_strPath)) {
        delete m_pServer;
        m_pServer = nullptr;
        return true;
    }
    connect(m_pServer, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    return true;
}

bool CInstanceChannel::IsListening() const
{
    return m_pServer && m_pServer->isListening();
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket *pSocket = m_pServer->nextPendingConnection()) {
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        if (!IsSameUser(pSocket)) {
            pSocket->abort();
            pSocket->deleteLater();
            continue;
        }
        connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] { OnReadyRead(pSocket); });
        // A client that never completes its message is dropped.
        QTimer::singleShot(READ_TIMEOUT_MS, pSocket, [pSocket] { pSocket->abort(); });
        if (pSocket->bytesAvailable() > 0)
            OnReadyRead(pSocket);
    }
}

void CInstanceChannel::OnReadyRead(QLocalSocket *pSocket)
{
    QByteArray buffer = pSocket->property(BUFFER_PROPERTY).toByteArray();
    buffer += pSocket->readAll();
    int nCode = 0;
    std::string strPayload;
    switch (DecodeHandoffMessage(std::string_view(buffer.constData(), static_cast<std::size_t>(buffer.size())), nCode,
                                 strPayload)) {
    case HANDOFF_INCOMPLETE:
        pSocket->setProperty(BUFFER_PROPERTY, buffer);
        return;
    case HANDOFF_INVALID:
        pSocket->abort();
        return;
    case HANDOFF_COMPLETE:
        break;
    }
    pSocket->setProperty(BUFFER_PROPERTY, QByteArray());
    pSocket->write(&ACK, 1);
    pSocket->flush();
    pSocket->disconnectFromServer();
    emit MessageReceived(nCode, QByteArray::fromStdString(strPayload));
}

bool CInstanceChannel::Send(const QString &strPath, int nCode, const QByteArray &payload, int nTimeoutMs)
{
    const std::string message = EncodeHandoffMessage(nCode, std::string_view(payload.constData(),
                                                                            static_cast<std::size_t>(payload.size())));
    QElapsedTimer timer;
    timer.start();
    // The first instance may hold the lock but not listen yet: try again for a while.
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(strPath);
        if (socket.waitForConnected(std::max(1, nTimeoutMs - static_cast<int>(timer.elapsed()))))
            break;
        if (timer.elapsed() >= nTimeoutMs)
            return false;
        QThread::msleep(50);
    }
    socket.write(message.data(), static_cast<qint64>(message.size()));
    if (!socket.waitForBytesWritten(nTimeoutMs))
        return false;
    while (socket.bytesAvailable() < 1) {
        const int nLeft = nTimeoutMs - static_cast<int>(timer.elapsed());
        if (nLeft <= 0 || !socket.waitForReadyRead(nLeft))
            return false;
    }
    char ch = 0;
    return socket.read(&ch, 1) == 1 && ch == ACK;
}
