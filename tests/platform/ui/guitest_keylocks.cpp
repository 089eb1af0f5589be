// The lock-key watcher: which key events make it read the indicators, that a
// key event offered to several widgets is one read, what it reports when
// nothing can be read, and that a change is announced once.
#include "platform/ui/keylocks.h"
#include "platform/ui/xkbindicators.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr quint32 XK_A = 0x61;
constexpr quint32 XK_SCROLL_LOCK = 0xff14;
constexpr quint32 XK_KANA_LOCK = 0xff2d;
constexpr quint32 GROUP2 = 1u << 13;

class KeyLocks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_state.nGroup = 0;
        m_fnOld = Locks().SetIndicatorReader([this] {
            ++m_nReads;
            return m_state;
        });
        m_nReads = 0;
        // Keys land on a label, which passes them on to its parent.
        m_pLabel = new QLabel(QStringLiteral("x"), &m_window);
    }
    void TearDown() override { Locks().SetIndicatorReader(m_fnOld); }

    static CKeyLocks &Locks() { return CKeyLocks::Instance(); }

    // A key event as the X11 platform delivers it: the keysym and the
    // server's state travel with it.
    void SendKey(QEvent::Type type, quint32 nKeysym, quint32 nState = 0)
    {
        QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, 0, nKeysym, nState);
        event.setTimestamp(++m_nTime);
        QApplication::sendEvent(m_pLabel, &event);
    }
    void Press(quint32 nKeysym, quint32 nState = 0)
    {
        SendKey(QEvent::KeyPress, nKeysym, nState);
        SendKey(QEvent::KeyRelease, nKeysym, nState);
    }

    CLockIndicators m_state;
    int m_nReads = 0;
    CKeyLocks::IndicatorReader m_fnOld;
    QWidget m_window;
    QLabel *m_pLabel = nullptr;
    quint64 m_nTime = 1000;
};

} // namespace

TEST_F(KeyLocks, ReadsAfterLockKeysAndGroupChangesNotForEachKeyTyped)
{
    Press(XK_A);
    EXPECT_EQ(m_nReads, 0);

    // Both the press and the release of Scroll Lock are looked at: a lock
    // that follows the key while it is held changes on both. The event is
    // offered to the label and then to its parent, and read once each.
    m_state.bScrollLock = true;
    QSignalSpy changed(&Locks(), &CKeyLocks::Changed);
    Press(XK_SCROLL_LOCK);
    EXPECT_EQ(m_nReads, 2);
    EXPECT_TRUE(Locks().IsScrollLock());
    EXPECT_EQ(changed.count(), 1);

    // Kana_Lock switches the group: the keys after it carry the new one,
    // which the read after the lock key saw, so they ask nothing.
    m_state = {true, true, 1};
    SendKey(QEvent::KeyPress, XK_KANA_LOCK, 0);
    EXPECT_EQ(m_nReads, 3);
    EXPECT_TRUE(Locks().IsKanaLock());
    Press(XK_A, GROUP2);
    EXPECT_EQ(m_nReads, 3);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(KeyLocks, NothingToReadFromMeansOff)
{
    // The widget tests run on the offscreen platform: no X server to ask.
    EXPECT_FALSE(MakeXkbIndicatorReader());

    m_state = {true, true};
    Locks().ReadIndicators();
    ASSERT_TRUE(Locks().IsScrollLock() && Locks().IsKanaLock());
    QSignalSpy changed(&Locks(), &CKeyLocks::Changed);
    Locks().SetIndicatorReader({});
    EXPECT_FALSE(Locks().IsScrollLock());
    EXPECT_FALSE(Locks().IsKanaLock());
    EXPECT_EQ(changed.count(), 1);
    // Lock keys then ask nothing and change nothing.
    Press(XK_SCROLL_LOCK);
    Locks().ReadIndicators();
    EXPECT_FALSE(Locks().IsScrollLock());
    EXPECT_EQ(changed.count(), 1);
    // Reading the same state again is no change.
    Locks().SetIndicatorReader([] { return CLockIndicators{false, true}; });
    Locks().ReadIndicators();
    EXPECT_EQ(changed.count(), 2);
}
