#include "platform/ui/inputmethod.h"

#include "platform/inputmethodinfo.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <optional>

namespace {

const QString DBUS_SERVICE = QStringLiteral("org.freedesktop.DBus");
const QString DBUS_PATH = QStringLiteral("/org/freedesktop/DBus");

const QString FCITX5_SERVICE = QStringLiteral("org.fcitx.Fcitx5");
const QString FCITX5_PATH = QStringLiteral("/controller");
const QString FCITX5_CONTROLLER = QStringLiteral("org.fcitx.Fcitx.Controller1");
// Controller1.State: no input context yet, inactive, active.
constexpr int FCITX5_STATE_NO_CONTEXT = 0;
constexpr int FCITX5_STATE_ACTIVE = 2;

const QString IBUS_SERVICE = QStringLiteral("org.freedesktop.IBus");
const QString IBUS_PATH = QStringLiteral("/org/freedesktop/IBus");
// What IBus answers when asked for an engine it does not have, or for the
// engine in use before any has been chosen.
const QString IBUS_FAILED = QStringLiteral("org.freedesktop.DBus.Error.Failed");

constexpr int CONTEXT_POLL_MS = 100;

// The address in the file that ibus-daemon leaves for this display, found the
// way the toolkit's own IBus client finds it.
QString FindIBusAddress()
{
    const QString strAddress = qEnvironmentVariable("IBUS_ADDRESS");
    if (!strAddress.isEmpty())
        return strAddress;
    QString strFile = qEnvironmentVariable("IBUS_ADDRESS_FILE");
    if (strFile.isEmpty()) {
        const std::string strName = IBusAddressFileName(qEnvironmentVariable("DISPLAY").toStdString(),
                                                        qEnvironmentVariable("WAYLAND_DISPLAY").toStdString(),
                                                        QDBusConnection::localMachineId().toStdString());
        if (strName.empty())
            return {};
        QString strConfig = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (strConfig.isEmpty())
            strConfig = QDir::homePath() + QStringLiteral("/.config");
        strFile = strConfig + QStringLiteral("/ibus/bus/") + QString::fromStdString(strName);
    }
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromStdString(ParseIBusAddressFile(file.read(8192).toStdString()));
}

// Whether the user's session bus can be reached without starting one: with no
// address and no socket in the runtime folder there is none, and asking for it
// would launch a bus of its own.
bool HasUserSessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString strRuntime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !strRuntime.isEmpty() && QFileInfo::exists(strRuntime + QStringLiteral("/bus"));
}

// The engine name in IBus's description of an engine: a structure that starts
// with the type name, a dictionary and the name, wrapped in one or more variants.
QString IBusEngineName(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return {};
    const QDBusArgument arg = qvariant_cast<QDBusArgument>(value);
    if (arg.currentType() != QDBusArgument::StructureType || !arg.currentSignature().startsWith(QStringLiteral("(sa{sv}s")))
        return {};
    QString strType;
    QVariantMap attachments;
    QString strName;
    arg.beginStructure();
    arg >> strType >> attachments >> strName;
    return strType == QStringLiteral("IBusEngineDesc") ? strName : QString();
}

// One request's conversation with the input method, on the worker thread. The
// connections it opens are closed when it ends, so nothing of the bus outlives
// a request.
class CInputMethodTalk
{
public:
    CInputMethodTalk(const CInputMethodBuses &buses, const std::atomic<bool> &bStopping)
        : m_buses(buses), m_bStopping(bStopping)
    {
    }
    ~CInputMethodTalk()
    {
        m_pSession.reset();
        m_pIBus.reset();
        for (const QString &strName : m_aOpened)
            QDBusConnection::disconnectFromBus(strName);
    }
    CInputMethodTalk(const CInputMethodTalk &) = delete;
    CInputMethodTalk &operator=(const CInputMethodTalk &) = delete;

    EInputMethodKind Find()
    {
        if (HasOwner(SessionBus(), FCITX5_SERVICE))
            return IMK_FCITX5;
        // fcitx5 also answers to IBus's name on the session bus, so IBus is
        // asked on its own bus, and only after fcitx5.
        if (HasOwner(IBusBus(), IBUS_SERVICE))
            return IMK_IBUS;
        return IMK_NONE;
    }

    bool Open(EInputMethodKind eKind)
    {
        switch (eKind) {
        case IMK_FCITX5:
            return OpenFcitx5();
        case IMK_IBUS:
            return OpenIBus();
        default:
            return false;
        }
    }

private:
    QDBusConnection SessionBus()
    {
        if (!m_pSession) {
            if (!m_buses.strSessionAddress.isEmpty())
                m_pSession = Connect(m_buses.strSessionAddress);
            else
                m_pSession = HasUserSessionBus() ? QDBusConnection::sessionBus() : QDBusConnection(QString());
        }
        return *m_pSession;
    }

    QDBusConnection IBusBus()
    {
        if (!m_pIBus) {
            const QString strAddress = m_buses.strIBusAddress.isEmpty() ? FindIBusAddress() : m_buses.strIBusAddress;
            m_pIBus = strAddress.isEmpty() ? QDBusConnection(QString()) : Connect(strAddress);
        }
        return *m_pIBus;
    }

    QDBusConnection Connect(const QString &strAddress)
    {
        static std::atomic<int> s_nConnection{0};
        const QString strName = QStringLiteral("wrenpad-input-method-%1").arg(++s_nConnection);
        m_aOpened.push_back(strName);
        return QDBusConnection::connectToBus(strAddress, strName);
    }

    QDBusMessage Call(QDBusConnection bus, const QString &strService, const QString &strPath,
                      const QString &strInterface, const QString &strMethod, const QVariantList &args = {})
    {
        if (!bus.isConnected() || m_bStopping)
            return QDBusMessage::createError(QStringLiteral("org.freedesktop.DBus.Error.Disconnected"), QString());
        QDBusMessage call = QDBusMessage::createMethodCall(strService, strPath, strInterface, strMethod);
        call.setArguments(args);
        return bus.call(call, QDBus::Block, m_buses.nCallTimeoutMs);
    }

    static bool IsReply(const QDBusMessage &reply) { return reply.type() == QDBusMessage::ReplyMessage; }

    bool HasOwner(QDBusConnection bus, const QString &strService)
    {
        const QDBusMessage reply = Call(bus, DBUS_SERVICE, DBUS_PATH, DBUS_SERVICE, QStringLiteral("NameHasOwner"),
                                        {strService});
        return IsReply(reply) && reply.arguments().value(0).toBool();
    }

    // Sleeps in short steps; false when the switch is going away.
    bool Pause(int nMs)
    {
        for (int nSlept = 0; nSlept < nMs && !m_bStopping; nSlept += 20)
            QThread::msleep(20);
        return !m_bStopping;
    }

    QDBusMessage CallFcitx5(const QString &strMethod)
    {
        return Call(SessionBus(), FCITX5_SERVICE, FCITX5_PATH, FCITX5_CONTROLLER, strMethod);
    }

    bool OpenFcitx5()
    {
        // Activate acts on the input context focused last. The toolkit's fcitx5
        // client makes this window's context only when the window first takes
        // the focus, in calls of its own; until fcitx5 lists it, activating would
        // switch on the program used before. When the listing never names this
        // program (another client library, or a listing without names), go on.
        const QString strProgram = m_buses.strProgram.isEmpty()
                                       ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                                       : m_buses.strProgram;
        for (int nWaited = 0;; nWaited += CONTEXT_POLL_MS) {
            const QDBusMessage info = CallFcitx5(QStringLiteral("DebugInfo"));
            if (!IsReply(info))
                return false;
            if (Fcitx5ListsProgram(info.arguments().value(0).toString().toStdString(), strProgram.toStdString()) ||
                nWaited >= m_buses.nContextWaitMs)
                break;
            if (!Pause(CONTEXT_POLL_MS))
                return false;
        }
        QDBusMessage state = CallFcitx5(QStringLiteral("State"));
        if (!IsReply(state))
            return false;
        const int nState = state.arguments().value(0).toInt();
        if (nState == FCITX5_STATE_ACTIVE)
            return true;
        if (nState == FCITX5_STATE_NO_CONTEXT || !IsReply(CallFcitx5(QStringLiteral("Activate"))))
            return false;
        // A group that holds only keyboard layouts has nothing to switch on.
        state = CallFcitx5(QStringLiteral("State"));
        return IsReply(state) && state.arguments().value(0).toInt() == FCITX5_STATE_ACTIVE;
    }

    bool OpenIBus()
    {
        const QDBusConnection bus = IBusBus();
        const QDBusMessage engine =
            Call(bus, IBUS_SERVICE, IBUS_PATH, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {IBUS_SERVICE, QStringLiteral("GlobalEngine")});
        if (!IsReply(engine) && engine.errorName() != IBUS_FAILED)
            return false;
        // An input method chosen by the user stays; only a plain layout, or
        // no engine yet, is replaced. Whether that input method then starts in
        // kana input is its own setting: IBus lets no other program change the
        // mode of another client's input context.
        const QString strEngine = IsReply(engine) ? IBusEngineName(engine.arguments().value(0)) : QString();
        if (!strEngine.isEmpty() && !IsIBusLayoutEngine(strEngine.toStdString()))
            return true;
        for (const std::string &strCandidate : IBusJapaneseEngines()) {
            const QDBusMessage reply = Call(bus, IBUS_SERVICE, IBUS_PATH, IBUS_SERVICE, QStringLiteral("SetGlobalEngine"),
                                            {QString::fromStdString(strCandidate)});
            if (IsReply(reply))
                return true;
            if (reply.errorName() != IBUS_FAILED)
                return false;
        }
        return false;
    }

    const CInputMethodBuses &m_buses;
    const std::atomic<bool> &m_bStopping;
    std::optional<QDBusConnection> m_pSession;
    std::optional<QDBusConnection> m_pIBus;
    QStringList m_aOpened;
};

QPointer<CInputMethodSwitch> g_pOverride;
QPointer<CInputMethodSwitch> g_pDefault;

} // namespace

CInputMethodSwitch::CInputMethodSwitch(const CInputMethodBuses &buses, QObject *pParent)
    : QObject(pParent), m_buses(buses), m_pWorkerContext(new QObject)
{
    m_thread.setObjectName(QStringLiteral("input method"));
    m_pWorkerContext->moveToThread(&m_thread);
    m_thread.start();
}

CInputMethodSwitch::~CInputMethodSwitch()
{
    m_bStopping = true;
    m_thread.quit();
    m_thread.wait();
    // Requests still queued are dropped with it.
    delete m_pWorkerContext;
}

void CInputMethodSwitch::TakeResult(EInputMethodKind eKind)
{
    m_eRunning = eKind;
}

void CInputMethodSwitch::Detect()
{
    QMetaObject::invokeMethod(
        m_pWorkerContext,
        [this] {
            const EInputMethodKind eKind = CInputMethodTalk(m_buses, m_bStopping).Find();
            QMetaObject::invokeMethod(
                this,
                [this, eKind] {
                    TakeResult(eKind);
                    emit Detected(eKind);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void CInputMethodSwitch::RequestOpen()
{
    QMetaObject::invokeMethod(
        m_pWorkerContext,
        [this] {
            CInputMethodTalk talk(m_buses, m_bStopping);
            const EInputMethodKind eKind = talk.Find();
            const bool bOpened = talk.Open(eKind);
            QMetaObject::invokeMethod(
                this,
                [this, eKind, bOpened] {
                    TakeResult(eKind);
                    emit OpenFinished(eKind, bOpened);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

CInputMethodSwitch &InputMethodSwitch()
{
    if (g_pOverride)
        return *g_pOverride;
    if (!g_pDefault) {
        QCoreApplication *pApp = QCoreApplication::instance();
        g_pDefault = new CInputMethodSwitch(CInputMethodBuses(), pApp);
        // Gone before the application takes its bus connections down.
        if (pApp)
            QObject::connect(pApp, &QCoreApplication::aboutToQuit, pApp, [] { delete g_pDefault.data(); });
    }
    return *g_pDefault;
}

void SetInputMethodSwitch(CInputMethodSwitch *pSwitch)
{
    g_pOverride = pSwitch;
}
