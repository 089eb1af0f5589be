// The state of the lock keys for the status bar. The toolkit has no call for
// it. Caps Lock and Num Lock come with every key event: on X11 each carries
// the server's modifier mask. Scroll Lock and the Kana lock are not in that
// mask; they are read from the server's indicators at start, when the program
// gets the focus back, and after the keys that can switch them.
#pragma once

#include "platform/lockindicators.h"

#include <QObject>

#include <functional>

class CKeyLocks : public QObject
{
    Q_OBJECT

public:
    using IndicatorReader = std::function<CLockIndicators()>;

    // The application's watcher, installed on first use.
    static CKeyLocks &Instance();

    bool IsCapsLock() const { return m_bCapsLock; }
    bool IsNumLock() const { return m_bNumLock; }
    bool IsScrollLock() const { return m_indicators.bScrollLock; }
    bool IsKanaLock() const { return m_indicators.bKanaLock; }

    // Reads the X11 modifier mask of a key event (LockMask and Mod2Mask).
    void TakeNativeModifiers(unsigned nMask);
    // Reads the indicators now; nothing without a reader.
    void ReadIndicators();
    // Replaces how the indicators are read (the X server's, or none away from
    // X11) and reads them. Returns the reader it replaces.
    IndicatorReader SetIndicatorReader(IndicatorReader fnReader);

signals:
    // A lock was switched on or off.
    void Changed();

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;

private:
    CKeyLocks() = default;

    bool m_bX11 = false;
    bool m_bCapsLock = false;
    bool m_bNumLock = false;
    CLockIndicators m_indicators;
    IndicatorReader m_fnReader;
    CIndicatorTrigger m_trigger;
    // A key event is seen once per widget it is offered to.
    const QEvent *m_pLastKey = nullptr;
    int m_nLastKeyType = 0;
    quint64 m_nLastKeyTime = 0;
};
