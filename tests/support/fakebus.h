// A private D-Bus daemon for one test, and stand-ins for the input methods on
// it: a fake fcitx5 controller and a fake IBus that answer as the test says
// and record every call. The daemon runs with a configuration of its own, so
// nothing is started on demand and no service of the machine answers.
#pragma once

#include "support/testutil.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStringList>

#include <functional>

class CPrivateBus
{
public:
    CPrivateBus()
    {
        const std::string strConfig = m_dir.File("bus.conf");
        WriteFileBytes(strConfig,
                       "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig>\n"
                       "  <type>session</type>\n"
                       "  <listen>unix:dir=" + m_dir.Path() + "</listen>\n"
                       "  <auth>EXTERNAL</auth>\n"
                       "  <policy context=\"default\">\n"
                       "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                       "    <allow eavesdrop=\"true\"/>\n"
                       "    <allow own=\"*\"/>\n"
                       "  </policy>\n"
                       "</busconfig>\n");
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                        QStringLiteral("--config-file=") + QString::fromStdString(strConfig)});
        if (m_daemon.waitForStarted(5000)) {
            while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
            }
            m_strAddress = QString::fromUtf8(m_daemon.readLine()).trimmed();
        }
    }
    ~CPrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    CPrivateBus(const CPrivateBus &) = delete;
    CPrivateBus &operator=(const CPrivateBus &) = delete;

    // Empty when the daemon could not be started.
    const QString &Address() const { return m_strAddress; }

private:
    CTempDir m_dir;
    QProcess m_daemon;
    QString m_strAddress;
};

// One service on the private bus: an object that answers every call with what
// Answer returns, and records the calls' members in order. A member listed in
// aHangOn is never answered.
class CFakeService : public QDBusVirtualObject
{
public:
    CFakeService(const QString &strAddress, const QString &strService, const QString &strPath)
        : m_strConnection(QStringLiteral("fake-") + strService), m_strPath(strPath),
          m_bus(QDBusConnection::connectToBus(strAddress, m_strConnection))
    {
        m_bRegistered = m_bus.registerVirtualObject(strPath, this) && m_bus.registerService(strService);
    }
    ~CFakeService() override
    {
        m_bus.unregisterObject(m_strPath);
        QDBusConnection::disconnectFromBus(m_strConnection);
    }

    bool IsRegistered() const { return m_bRegistered; }
    QStringList m_aCalls;
    QList<QVariantList> m_aArguments;
    QStringList m_aHangOn;
    std::function<QDBusMessage(const QDBusMessage &)> Answer;

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        m_aCalls << message.member();
        m_aArguments << message.arguments();
        if (m_aHangOn.contains(message.member()))
            return true;
        connection.send(Answer ? Answer(message) : message.createReply());
        return true;
    }

private:
    QString m_strConnection;
    QString m_strPath;
    QDBusConnection m_bus;
    bool m_bRegistered = false;
};

// fcitx5's controller as this program uses it: the debug listing, State and Activate.
class CFakeFcitx5 : public CFakeService
{
public:
    explicit CFakeFcitx5(const QString &strAddress)
        : CFakeService(strAddress, QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"))
    {
        Answer = [this](const QDBusMessage &call) {
            const QString &strMember = call.member();
            if (strMember == QStringLiteral("DebugInfo")) {
                ++m_nListings;
                const bool bListed = m_nListings > m_nListingsWithoutUs;
                return call.createReply(QStringLiteral("Group [x11::0] has 2 InputContext(s)\n"
                                                       "  IC [1] program:konsole frontend:dbus focus:0\n") +
                                        (bListed ? QStringLiteral("  IC [2] program:") + m_strProgram +
                                                       QStringLiteral(" frontend:dbus focus:1\n")
                                                 : QString()));
            }
            if (strMember == QStringLiteral("State"))
                return call.createReply(m_nState);
            if (strMember == QStringLiteral("Activate")) {
                if (m_bHasInputMethod)
                    m_nState = 2;
                return call.createReply();
            }
            return call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), strMember);
        };
    }

    QString m_strProgram = QStringLiteral("wptest");
    int m_nListingsWithoutUs = 0;  // listings before this program's context appears
    int m_nListings = 0;
    int m_nState = 1;              // inactive
    bool m_bHasInputMethod = true; // false: the group holds only layouts
};

// IBus's own object as this program uses it: the GlobalEngine property and SetGlobalEngine.
class CFakeIBus : public CFakeService
{
public:
    explicit CFakeIBus(const QString &strAddress)
        : CFakeService(strAddress, QStringLiteral("org.freedesktop.IBus"), QStringLiteral("/org/freedesktop/IBus"))
    {
        Answer = [this](const QDBusMessage &call) {
            const QString &strMember = call.member();
            if (strMember == QStringLiteral("Get") &&
                call.arguments().value(1).toString() == QStringLiteral("GlobalEngine")) {
                if (m_strEngine.isEmpty())
                    return call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"),
                                                 QStringLiteral("No global engine."));
                // An engine description travels as a variant inside the property's variant.
                QDBusArgument desc;
                desc.beginStructure();
                desc << QStringLiteral("IBusEngineDesc") << QVariantMap() << m_strEngine << QStringLiteral("long name")
                     << QStringLiteral("description") << QStringLiteral("ja");
                desc.endStructure();
                const QDBusVariant inner(QVariant::fromValue(desc));
                return call.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(inner))));
            }
            if (strMember == QStringLiteral("SetGlobalEngine")) {
                const QString strEngine = call.arguments().value(0).toString();
                if (!m_aEngines.contains(strEngine))
                    return call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"),
                                                 QStringLiteral("Cannot find engine ") + strEngine);
                m_strEngine = strEngine;
                return call.createReply();
            }
            return call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), strMember);
        };
    }

    QString m_strEngine = QStringLiteral("xkb:jp::jpn");  // empty: none chosen yet
    QStringList m_aEngines = {QStringLiteral("xkb:jp::jpn"), QStringLiteral("anthy")};
};
