// Switching the input method on, against stand-ins of fcitx5 and IBus on a
// private bus: which service is asked and what, what happens when nothing or
// a hung service answers, and that the asking thread never waits for the bus.
#include "platform/ui/inputmethod.h"
#include "support/fakebus.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class InputMethod : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_bus.Address().isEmpty()) << "dbus-daemon did not start"; }

    // A switch that looks at the private bus for both fcitx5 and IBus.
    std::unique_ptr<CInputMethodSwitch> MakeSwitch(int nCallTimeoutMs = 1000, int nContextWaitMs = 3000)
    {
        CInputMethodBuses buses;
        buses.strSessionAddress = m_bus.Address();
        buses.strIBusAddress = m_bus.Address();
        buses.strProgram = QStringLiteral("wptest");
        buses.nCallTimeoutMs = nCallTimeoutMs;
        buses.nContextWaitMs = nContextWaitMs;
        return std::make_unique<CInputMethodSwitch>(buses);
    }

    // Asks to switch on and waits for the outcome.
    static std::pair<EInputMethodKind, bool> Open(CInputMethodSwitch &sw)
    {
        QSignalSpy spy(&sw, &CInputMethodSwitch::OpenFinished);
        sw.RequestOpen();
        if (!spy.wait(20000))
            return {IMK_UNKNOWN, false};
        const QList<QVariant> args = spy.takeFirst();
        return {args.at(0).value<EInputMethodKind>(), args.at(1).toBool()};
    }

    static EInputMethodKind Detect(CInputMethodSwitch &sw)
    {
        QSignalSpy spy(&sw, &CInputMethodSwitch::Detected);
        sw.Detect();
        if (!spy.wait(20000))
            return IMK_UNKNOWN;
        return spy.takeFirst().at(0).value<EInputMethodKind>();
    }

    CPrivateBus m_bus;
};

} // namespace

TEST_F(InputMethod, Fcitx5IsPreferredAndActivatedOnlyOnceItListsThisProgramsContext)
{
    // fcitx5 answers to the IBus name too; only fcitx5 is asked.
    CFakeFcitx5 fcitx(m_bus.Address());
    CFakeIBus ibus(m_bus.Address());
    ASSERT_TRUE(fcitx.IsRegistered() && ibus.IsRegistered());
    // The window's context appears at the third listing; until then the
    // context focused last belongs to another program.
    fcitx.m_nListingsWithoutUs = 2;
    auto sw = MakeSwitch();
    EXPECT_EQ(sw->Running(), IMK_UNKNOWN);
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_FCITX5, true));
    EXPECT_EQ(sw->Running(), IMK_FCITX5);
    EXPECT_EQ(fcitx.m_nState, 2);
    EXPECT_EQ(fcitx.m_aCalls, QStringList({"DebugInfo", "DebugInfo", "DebugInfo", "State", "Activate", "State"}));
    EXPECT_TRUE(ibus.m_aCalls.isEmpty());

    // Already on, it is left as it is.
    fcitx.m_aCalls.clear();
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_FCITX5, true));
    EXPECT_FALSE(fcitx.m_aCalls.contains("Activate"));
    // With nothing but layouts the state stays inactive: not opened.
    fcitx.m_nState = 1;
    fcitx.m_bHasInputMethod = false;
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_FCITX5, false));
}

TEST_F(InputMethod, Fcitx5ThatNeverListsThisProgramIsStillAskedAfterTheWait)
{
    // Programs that talk to fcitx5 through another client library are listed
    // under other names; the request goes on after the wait.
    CFakeFcitx5 fcitx(m_bus.Address());
    ASSERT_TRUE(fcitx.IsRegistered());
    fcitx.m_nListingsWithoutUs = 1000;
    auto sw = MakeSwitch(1000, 300);
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_FCITX5, true));
    EXPECT_GE(fcitx.m_nListings, 2);
    EXPECT_TRUE(fcitx.m_aCalls.contains("Activate"));
}

TEST_F(InputMethod, IBusOnALayoutChangesToTheFirstJapaneseEngineItHas)
{
    CFakeIBus ibus(m_bus.Address());
    ASSERT_TRUE(ibus.IsRegistered());
    auto sw = MakeSwitch();
    EXPECT_EQ(Detect(*sw), IMK_IBUS);

    // mozc is tried first and is missing here; anthy is there.
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_IBUS, true));
    EXPECT_EQ(ibus.m_strEngine, "anthy");
    ASSERT_EQ(ibus.m_aCalls, QStringList({"Get", "SetGlobalEngine", "SetGlobalEngine"}));
    EXPECT_EQ(ibus.m_aArguments.at(1).value(0).toString(), "mozc-jp");
    EXPECT_EQ(ibus.m_aArguments.at(2).value(0).toString(), "anthy");

    // An input method the user chose stays as it is.
    ibus.m_aCalls.clear();
    ibus.m_strEngine = QStringLiteral("kkc");
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_IBUS, true));
    EXPECT_EQ(ibus.m_strEngine, "kkc");
    EXPECT_EQ(ibus.m_aCalls, QStringList({"Get"}));

    // A daemon that has not chosen any engine yet gets one too.
    ibus.m_strEngine.clear();
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_IBUS, true));
    EXPECT_EQ(ibus.m_strEngine, "anthy");

    // Without any Japanese engine the layout stays and the request fails.
    ibus.m_strEngine = QStringLiteral("xkb:us::eng");
    ibus.m_aEngines = QStringList({QStringLiteral("xkb:us::eng")});
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_IBUS, false));
    EXPECT_EQ(ibus.m_strEngine, "xkb:us::eng");
}

TEST_F(InputMethod, NothingRunningMeansNoneWhetherTheBusIsEmptyOrUnreachable)
{
    auto sw = MakeSwitch();
    EXPECT_EQ(Open(*sw), std::make_pair(IMK_NONE, false));
    EXPECT_EQ(sw->Running(), IMK_NONE);

    CTempDir dir;
    CInputMethodBuses buses;
    buses.strSessionAddress = QStringLiteral("unix:path=") + QString::fromStdString(dir.File("no-bus"));
    buses.strIBusAddress = buses.strSessionAddress;
    CInputMethodSwitch unreachable(buses);
    EXPECT_EQ(Detect(unreachable), IMK_NONE);
}

TEST_F(InputMethod, AHungInputMethodNeverHoldsUpTheAskingThread)
{
    CFakeFcitx5 fcitx(m_bus.Address());
    ASSERT_TRUE(fcitx.IsRegistered());
    fcitx.m_aHangOn << QStringLiteral("State");
    auto sw = MakeSwitch(300);
    QSignalSpy finished(sw.get(), &CInputMethodSwitch::OpenFinished);
    sw->RequestOpen();
    // The fake answers on this thread: that it sees the call at all while the
    // request is still under way shows the request did not block this thread.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fcitx.m_aCalls.contains("State"); }, 2000));
    EXPECT_TRUE(finished.isEmpty());
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished.first().at(0).value<EInputMethodKind>(), IMK_FCITX5);
    EXPECT_FALSE(finished.first().at(1).toBool());
    EXPECT_FALSE(fcitx.m_aCalls.contains("Activate"));

    // A switch going away while a call hangs waits out that call only.
    fcitx.m_aCalls.clear();
    sw->RequestOpen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fcitx.m_aCalls.contains("State"); }, 2000));
    sw.reset();
}
