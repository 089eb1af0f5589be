#include "platform/ui/keylocks.h"

#include "platform/ui/xkbindicators.h"

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
        p->m_bX11 = QGuiApplication::platformName() == QLatin1String("xcb");
        QCoreApplication::instance()->installEventFilter(p);
        // Another program may have switched a lock while this one had no focus.
        if (qGuiApp)
            connect(qGuiApp, &QGuiApplication::applicationStateChanged, p, [p](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    p->ReadIndicators();
            });
        p->SetIndicatorReader(MakeXkbIndicatorReader());
        return p;
    }();
    return *pWatcher;
}

void CKeyLocks::TakeNativeModifiers(unsigned nMask)
{
    const bool bCaps = (nMask & X11_LOCK_MASK) != 0;
    const bool bNum = (nMask & X11_MOD2_MASK) != 0;
    if (bCaps == m_bCapsLock && bNum == m_bNumLock)
        return;
    m_bCapsLock = bCaps;
    m_bNumLock = bNum;
    emit Changed();
}

void CKeyLocks::ReadIndicators()
{
    if (!m_fnReader) {
        m_trigger.Reset(-1);
        return;
    }
    const CLockIndicators state = m_fnReader();
    m_trigger.Reset(state.nGroup);
    const bool bChanged = !state.SameLocks(m_indicators);
    m_indicators = state;
    if (bChanged)
        emit Changed();
}

CKeyLocks::IndicatorReader CKeyLocks::SetIndicatorReader(IndicatorReader fnReader)
{
    IndicatorReader fnOld = std::move(m_fnReader);
    m_fnReader = std::move(fnReader);
    if (m_fnReader) {
        ReadIndicators();
    } else {
        // Nothing to read them from: off, as on a platform without them.
        const bool bChanged = !m_indicators.SameLocks(CLockIndicators());
        m_indicators = CLockIndicators();
        m_trigger.Reset(-1);
        if (bChanged)
            emit Changed();
    }
    return fnOld;
}

bool CKeyLocks::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pEvent->type() == QEvent::KeyPress || pEvent->type() == QEvent::KeyRelease) {
        const auto *pKey = static_cast<QKeyEvent *>(pEvent);
        if (pEvent != m_pLastKey || pEvent->type() != m_nLastKeyType || pKey->timestamp() != m_nLastKeyTime) {
            m_pLastKey = pEvent;
            m_nLastKeyType = pEvent->type();
            m_nLastKeyTime = pKey->timestamp();
            if (m_bX11)
                TakeNativeModifiers(pKey->nativeModifiers());
            if (m_trigger.OnKey(pKey->nativeVirtualKey(), pKey->nativeModifiers()))
                ReadIndicators();
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}
