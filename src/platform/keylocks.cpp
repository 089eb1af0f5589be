#include "platform/keylocks.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {

constexpr unsigned X11_LOCK_MASK = 0x02;
constexpr unsigned X11_MOD2_MASK = 0x10;  // Num Lock in every usual keymap

} // namespace

CKeyLocks &CKeyLocks::Instance()
{
    static CKeyLocks *pWatcher = [] {
        auto *p = new CKeyLocks;
        p->setParent(QCoreApplication::instance());
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            QCoreApplication::instance()->installEventFilter(p);
        return p;
    }();
    return *pWatcher;
}

void CKeyLocks::TakeNativeModifiers(unsigned nMask)
{
    m_bCapsLock = (nMask & X11_LOCK_MASK) != 0;
    m_bNumLock = (nMask & X11_MOD2_MASK) != 0;
}

bool CKeyLocks::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pEvent->type() == QEvent::KeyPress || pEvent->type() == QEvent::KeyRelease)
        TakeNativeModifiers(static_cast<QKeyEvent *>(pEvent)->nativeModifiers());
    return QObject::eventFilter(pWatched, pEvent);
}
