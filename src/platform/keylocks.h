// The state of the Caps Lock and Num Lock keys for the status bar. The
// toolkit has no call for it; on X11 every key event carries the server's
// modifier mask, so the state is known from the first key pressed on.
#pragma once

#include <QObject>

class CKeyLocks : public QObject
{
    Q_OBJECT

public:
    // The application's watcher, installed on first use.
    static CKeyLocks &Instance();

    bool IsCapsLock() const { return m_bCapsLock; }
    bool IsNumLock() const { return m_bNumLock; }

    // Reads the X11 modifier mask of a key event (LockMask and Mod2Mask).
    void TakeNativeModifiers(unsigned nMask);

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;

private:
    CKeyLocks() = default;

    bool m_bCapsLock = false;
    bool m_bNumLock = false;
};
