#include "platform/ui/cmdtarget.h"

namespace {

std::vector<int> &RunningStack()
{
    static std::vector<int> aRunning;
    return aRunning;
}

// Keeps a command on the stack while its handler runs, however it leaves.
class CRunningCommand
{
public:
    explicit CRunningCommand(int nID) { RunningStack().push_back(nID); }
    ~CRunningCommand() { RunningStack().pop_back(); }
    CRunningCommand(const CRunningCommand &) = delete;
    CRunningCommand &operator=(const CRunningCommand &) = delete;
};

} // namespace

const std::vector<int> &RunningCommands()
{
    return RunningStack();
}

bool CCmdTarget::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    if (pCmdUI) {
        for (const UpdateEntry &e : m_aUpdates) {
            if (nID >= e.nFirst && nID <= e.nLast) {
                e.fn(pCmdUI);
                pCmdUI->SetHandled();
                return true;
            }
        }
        // A command with a handler but no update handler is simply enabled.
        if (HasCommand(nID)) {
            pCmdUI->Enable(true);
            pCmdUI->SetHandled();
            return true;
        }
        return false;
    }
    for (const CommandEntry &e : m_aCommands) {
        if (nID >= e.nFirst && nID <= e.nLast) {
            const CRunningCommand running(nID);
            e.fn(nID);
            return true;
        }
    }
    return false;
}

bool CCmdTarget::HasCommand(int nID) const
{
    for (const CommandEntry &e : m_aCommands)
        if (nID >= e.nFirst && nID <= e.nLast)
            return true;
    return false;
}

std::vector<CCmdTarget::CIdRange> CCmdTarget::GetRegisteredIds() const
{
    std::vector<CIdRange> aRanges;
    for (const CommandEntry &e : m_aCommands)
        aRanges.push_back({e.nFirst, e.nLast});
    for (const UpdateEntry &e : m_aUpdates)
        aRanges.push_back({e.nFirst, e.nLast});
    return aRanges;
}

void CCmdTarget::OnCommand(int nID, std::function<void()> fn)
{
    m_aCommands.push_back({nID, nID, [fn = std::move(fn)](int) { fn(); }});
}

void CCmdTarget::OnCommandRange(int nFirst, int nLast, Handler fn)
{
    m_aCommands.push_back({nFirst, nLast, std::move(fn)});
}

void CCmdTarget::OnUpdate(int nID, UpdateHandler fn)
{
    m_aUpdates.push_back({nID, nID, std::move(fn)});
}

void CCmdTarget::OnUpdateRange(int nFirst, int nLast, UpdateHandler fn)
{
    m_aUpdates.push_back({nFirst, nLast, std::move(fn)});
}
