#include "platform/ui/instancechannel.h"

#include "platform/handoff.h"
#include "text/filehandle.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char ACK = 'K';
constexpr int READ_TIMEOUT_MS = 5000;

// The socket address of a path; false when the path is too long for one.
bool SocketAddress(const QString &strPath, sockaddr_un &addr)
{
    const QByteArray path = QFile::encodeName(strPath);
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// Whether the process at the other end of a local socket runs as this user.
bool IsSameUser(int fd)
{
    struct ucred cred = {};
    socklen_t nLength = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &nLength) != 0)
        return false;
    return cred.uid == ::geteuid();
}

// Waits until fd is ready for events, at most until the timer reaches nTimeoutMs.
bool WaitFor(int fd, short events, const QElapsedTimer &timer, int nTimeoutMs)
{
    for (;;) {
        const int nLeft = nTimeoutMs - static_cast<int>(timer.elapsed());
        if (nLeft <= 0)
            return false;
        pollfd pfd = {fd, events, 0};
        const int n = ::poll(&pfd, 1, nLeft);
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

// One client's connection: its socket, what it has sent so far, and the
// notifier that says when it sends more. Dropped after its one message, at
// a fault, or when it is too slow to finish.
class CInstanceChannel::CConnection : public QObject
{
public:
    CConnection(int fd, QObject *pParent)
        : QObject(pParent), m_file(fd), m_notifier(fd, QSocketNotifier::Read, this)
    {
    }

    int Fd() const { return m_file.Get(); }
    QSocketNotifier &Notifier() { return m_notifier; }
    QByteArray &Buffer() { return m_buffer; }
    // Closed once control is back in the event loop: the notifier may be
    // the one that called.
    void Drop()
    {
        m_notifier.setEnabled(false);
        deleteLater();
    }

private:
    CFileHandle m_file;  // closed after the notifier is gone
    QSocketNotifier m_notifier;
    QByteArray m_buffer;
};

CInstanceChannel::CInstanceChannel(const QString &strPath, QObject *pParent)
    : QObject(pParent), m_strPath(strPath.isEmpty() ? DefaultPath() : strPath)
{
}

CInstanceChannel::~CInstanceChannel()
{
    if (m_nListenFd >= 0) {
        delete m_pAccept;
        ::close(m_nListenFd);
        ::unlink(QFile::encodeName(m_strPath).constData());
    }
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
    if (m_nListenFd >= 0 || m_pLock)
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
    sockaddr_un addr;
    if (!SocketAddress(m_strPath, addr))
        return true;
    // Holding the lock, any socket left at the path belongs to a dead instance.
    ::unlink(addr.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return true;
    // The folder is the user's own; the socket is too, and every caller's
    // user is checked as well.
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0
        || ::chmod(addr.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        ::unlink(addr.sun_path);
        return true;
    }
    m_nListenFd = fd;
    m_pAccept = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_pAccept, &QSocketNotifier::activated, this, &CInstanceChannel::OnNewConnection);
    return true;
}

bool CInstanceChannel::IsListening() const
{
    return m_nListenFd >= 0;
}

void CInstanceChannel::OnNewConnection()
{
    for (;;) {
        CFileHandle file(
            RetryInterrupted([this] { return ::accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK); }));
        if (!file.IsOpen()) {
            if (errno == ECONNABORTED)
                continue;
            return;
        }
        if (!IsSameUser(file.Get()))
            continue;
        auto *pConnection = new CConnection(file.Release(), this);
        connect(&pConnection->Notifier(), &QSocketNotifier::activated, pConnection,
                [this, pConnection] { OnReadable(pConnection); });
        // A client that never completes its message is dropped.
        QTimer::singleShot(READ_TIMEOUT_MS, pConnection, [pConnection] { pConnection->Drop(); });
    }
}

void CInstanceChannel::OnReadable(CConnection *pConnection)
{
    QByteArray &buffer = pConnection->Buffer();
    bool bEnded = false;
    char chunk[4096];
    for (;;) {
        const ssize_t n = FdRead(pConnection->Fd(), chunk, sizeof chunk);
        if (n > 0) {
            buffer.append(chunk, static_cast<qsizetype>(n));
            continue;
        }
        // The end, or a fault: what came is all that will.
        bEnded = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    int nCode = 0;
    std::string strPayload;
    switch (DecodeHandoffMessage(std::string_view(buffer.constData(), static_cast<std::size_t>(buffer.size())), nCode,
                                 strPayload)) {
    case HANDOFF_INCOMPLETE:
        if (bEnded)
            pConnection->Drop();
        return;
    case HANDOFF_INVALID:
        pConnection->Drop();
        return;
    case HANDOFF_COMPLETE:
        break;
    }
    (void)::send(pConnection->Fd(), &ACK, 1, MSG_NOSIGNAL);
    pConnection->Drop();
    emit MessageReceived(nCode, QByteArray::fromStdString(strPayload));
}

bool CInstanceChannel::Send(const QString &strPath, int nCode, const QByteArray &payload, int nTimeoutMs)
{
    const std::string message = EncodeHandoffMessage(nCode, std::string_view(payload.constData(),
                                                                            static_cast<std::size_t>(payload.size())));
    sockaddr_un addr;
    if (!SocketAddress(strPath, addr))
        return false;
    QElapsedTimer timer;
    timer.start();
    // The first instance may hold the lock but not listen yet, or have its
    // queue of callers full: try again for a while.
    CFileHandle file;
    for (;;) {
        file = CFileHandle(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (!file.IsOpen())
            return false;
        if (::connect(file.Get(), reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0)
            break;
        if (timer.elapsed() >= nTimeoutMs)
            return false;
        QThread::msleep(50);
    }
    const int fd = file.Get();
    bool bSent = true;
    for (std::size_t nDone = 0; bSent && nDone < message.size();) {
        const ssize_t n =
            RetryInterrupted([&] { return ::send(fd, message.data() + nDone, message.size() - nDone, MSG_NOSIGNAL); });
        if (n > 0)
            nDone += static_cast<std::size_t>(n);
        else
            bSent = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLOUT, timer, nTimeoutMs);
    }
    // The answer: one byte once the message is taken.
    char ch = 0;
    ssize_t nRead = -1;
    while (bSent) {
        nRead = FdRead(fd, &ch, 1);
        if (nRead >= 0 || !((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLIN, timer, nTimeoutMs)))
            break;
    }
    return bSent && nRead == 1 && ch == ACK;
}
