// Switching the running input method on. The toolkit brings compositions to
// the view as input-method events but has no call that opens the input
// method, so the editor asks the input method itself over D-Bus: fcitx5
// through its controller on the session bus, IBus through its own bus.
//
// Every conversation runs on a thread of its own, one request after another,
// and each call gives up after a short time: a hung bus or a stuck input
// method never holds up the window that asked. Results come back as signals
// on the thread that owns the switch.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>

enum EInputMethodKind
{
    IMK_UNKNOWN,  // not looked for yet
    IMK_NONE,     // no input method answers
    IMK_FCITX5,
    IMK_IBUS,
};

// Where the switch looks, and how long it waits.
struct CInputMethodBuses
{
    // The session bus's address; empty for the user's own session bus.
    QString strSessionAddress;
    // IBus's own bus; empty to find it as IBus clients do (IBUS_ADDRESS, or
    // the address file that ibus-daemon leaves for the display).
    QString strIBusAddress;
    // The name under which fcitx5 lists this program's input contexts; empty
    // for this executable's file name, which the toolkit's fcitx5 client sends.
    QString strProgram;
    // How long one call may take before the input method counts as not answering.
    int nCallTimeoutMs = 1000;
    // How long to wait for fcitx5 to list this program's input context.
    int nContextWaitMs = 3000;
};

class CInputMethodSwitch : public QObject
{
    Q_OBJECT

public:
    explicit CInputMethodSwitch(const CInputMethodBuses &buses = CInputMethodBuses(), QObject *pParent = nullptr);
    // Waits for a request that is under way; its calls end within their time-out.
    ~CInputMethodSwitch() override;

    // The input method that answered the last look or request; IMK_UNKNOWN
    // until the first one has finished.
    EInputMethodKind Running() const { return m_eRunning; }

    // Looks for a running input method; Detected tells what was found.
    void Detect();

    // Asks the running input method to switch on for the window that has the
    // focus. fcitx5 activates it (after its input context for this program
    // exists); IBus, when the user types through a plain keyboard layout,
    // changes to its Japanese input method. OpenFinished tells the outcome.
    void RequestOpen();

signals:
    void Detected(EInputMethodKind eKind);
    void OpenFinished(EInputMethodKind eKind, bool bOpened);

private:
    void TakeResult(EInputMethodKind eKind);

    CInputMethodBuses m_buses;
    QThread m_thread;
    QObject *m_pWorkerContext;  // lives on m_thread; requests run in its context
    std::atomic<bool> m_bStopping{false};
    EInputMethodKind m_eRunning = IMK_UNKNOWN;
};

// The application's switch, made on first use; tests put their own in its place.
CInputMethodSwitch &InputMethodSwitch();
void SetInputMethodSwitch(CInputMethodSwitch *pSwitch);
