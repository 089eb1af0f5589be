// The worker thread of the recovery records and the queue between it and
// the user-interface thread.
#include "recovery/recoverymanager.h"

#include "recovery/docjournal.h"
#include "recovery/journalchannel.h"
#include "recovery/recordfiles.h"
#include "recovery/statefolder.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int WORKER_NICE = 10;
// The spare text copy holds a snapshot-sized text of this many lines
// without growing.
constexpr std::size_t SPARE_LINES = 1 << 18;

} // namespace

CRecoveryManager::CRecoveryManager(std::string strFolder) : m_strFolder(std::move(strFolder))
{
}

CRecoveryManager::~CRecoveryManager()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_bOpen)
            DrainOutbox();
        m_bStop = true;
    }
    m_cvWork.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

bool CRecoveryManager::Open(std::string &strError)
{
    if (m_bOpen)
        return true;
    if (!EnsurePrivateFolder(m_strFolder, strError) || !CanCreateFilesIn(m_strFolder, strError))
        return false;
    m_bOpen = true;
    m_worker = std::thread([this] { WorkerMain(); });
    return true;
}

std::shared_ptr<CJournalChannel> CRecoveryManager::NewChannel()
{
    // Registered with the worker when its first operation is handed over.
    return std::make_shared<CJournalChannel>();
}

void CRecoveryManager::Submit(const std::shared_ptr<CJournalChannel> &pChannel, CJournalOp &&op)
{
    if (!m_bOpen)
        return;
    // Appends that have not reached the worker yet go out as one write.
    if (op.eKind == CJournalOp::APPEND && !m_aOutbox.empty() && m_aOutbox.back().first == pChannel
        && m_aOutbox.back().second.eKind == CJournalOp::APPEND)
        m_aOutbox.back().second.strBytes += op.strBytes;
    else
        m_aOutbox.emplace_back(pChannel, std::move(op));
    // A worker preempted while it holds the lock must not hold up a keystroke:
    // what cannot be handed over now goes with the next edit or RunPosted.
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    DrainOutbox();
    lock.unlock();
    m_cvWork.notify_one();
}

void CRecoveryManager::DrainOutbox()
{
    for (auto &[pChannel, op] : m_aOutbox) {
        if (!pChannel->bRegistered) {
            pChannel->bRegistered = true;
            m_aChannels.push_back(pChannel);
        }
        std::vector<CJournalOp> &aOps = pChannel->aOps;
        if (op.eKind == CJournalOp::APPEND && !aOps.empty() && aOps.back().eKind == CJournalOp::APPEND)
            aOps.back().strBytes += op.strBytes;
        else
            aOps.push_back(std::move(op));
    }
    m_aOutbox.clear();
}

std::string CRecoveryManager::NewRecordId()
{
    static std::mt19937_64 random{std::random_device{}()};
    char szId[64];
    std::snprintf(szId, sizeof szId, "%u-%u-%016llx", static_cast<unsigned>(::getpid()), ++m_nIdCounter,
                  static_cast<unsigned long long>(random()));
    return szId;
}

bool CRecoveryManager::Flush(int nTimeoutMs)
{
    if (!m_bOpen)
        return true;
    std::unique_lock lock(m_mutex);
    DrainOutbox();
    const std::uint64_t nWanted = ++m_nFlushRequested;
    m_cvWork.notify_one();
    return m_cvFlushed.wait_for(lock, std::chrono::milliseconds(nTimeoutMs),
                                [&] { return m_nFlushDone >= nWanted; });
}

void CRecoveryManager::SetWakeHandler(std::function<void()> fnWake)
{
    std::lock_guard lock(m_mutex);
    m_fnWake = std::move(fnWake);
}

void CRecoveryManager::SetErrorHandler(std::function<void(const std::string &)> fnError)
{
    m_fnError = std::move(fnError);
}

void CRecoveryManager::Post(std::function<void()> fn)
{
    std::function<void()> fnWake;
    {
        std::lock_guard lock(m_mutex);
        m_aPosted.push_back(std::move(fn));
        fnWake = m_fnWake;
    }
    if (fnWake)
        fnWake();
}

void CRecoveryManager::RunPosted()
{
    std::vector<std::function<void()>> aPosted;
    {
        // Called between keystrokes: when the worker has the lock, the next call does the work.
        std::unique_lock lock(m_mutex, std::try_to_lock);
        if (!lock.owns_lock())
            return;
        const bool bHanded = !m_aOutbox.empty();
        DrainOutbox();
        aPosted.swap(m_aPosted);
        lock.unlock();
        if (bHanded)
            m_cvWork.notify_one();
    }
    for (const std::function<void()> &fn : aPosted)
        fn();
}

std::unique_ptr<CTextCopy> CRecoveryManager::TakeTextCopy()
{
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (lock.owns_lock() && m_pSpareText)
        return std::move(m_pSpareText);
    return std::make_unique<CTextCopy>();
}

void CRecoveryManager::KeepSpare(std::unique_ptr<CTextCopy> pText)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_pSpareText)
            return;
    }
    // The copy of a very large text is not worth keeping around.
    if (pText->strBytes.capacity() > 2 * SNAPSHOT_LIMIT || pText->aLengths.capacity() > 4 * SPARE_LINES)
        pText = std::make_unique<CTextCopy>();
    // Filled once to the size it will need, then emptied: the pages stay.
    if (pText->strBytes.capacity() < SNAPSHOT_LIMIT) {
        pText->strBytes.resize(SNAPSHOT_LIMIT);
        pText->strBytes.clear();
    }
    if (pText->aLengths.capacity() < SPARE_LINES) {
        pText->aLengths.resize(SPARE_LINES);
        pText->aLengths.clear();
    }
    std::lock_guard lock(m_mutex);
    if (!m_pSpareText)
        m_pSpareText = std::move(pText);
}

std::string CRecoveryManager::PathOf(const std::string &strId, const char *pszSuffix) const
{
    return m_strFolder + "/" + strId + pszSuffix;
}

// ---------------------------------------------------------------------------
// The worker

void CRecoveryManager::WorkerMain()
{
    // Copying a large file and writing snapshots must not take the processor
    // from the thread the user types on (a thread's nice value is its own).
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), WORKER_NICE);
    KeepSpare(std::make_unique<CTextCopy>());
    std::unique_lock lock(m_mutex);
    for (;;) {
        // Sleep until there is work, a flush is wanted, or a record is due
        // for syncing.
        Clock::time_point tNextSync = Clock::time_point::max();
        for (const auto &pChannel : m_aOpenRecords)
            if (pChannel->bDirty)
                tNextSync = std::min(tNextSync, pChannel->tLastSync + std::chrono::milliseconds(SYNC_INTERVAL_MS));
        auto HasWork = [&] {
            return m_bStop || m_nFlushRequested > m_nFlushDone
                   || std::any_of(m_aChannels.begin(), m_aChannels.end(),
                                  [](const auto &p) { return !p->aOps.empty(); });
        };
        if (!HasWork()) {
            if (tNextSync == Clock::time_point::max())
                m_cvWork.wait(lock, HasWork);
            else
                m_cvWork.wait_until(lock, tNextSync, HasWork);
        }

        std::vector<CWorkItem> aWork;
        for (const auto &pChannel : m_aChannels)
            if (!pChannel->aOps.empty())
                aWork.push_back({pChannel, std::move(pChannel->aOps)});
        for (const auto &pChannel : m_aChannels)
            pChannel->aOps.clear();
        const std::uint64_t nFlush = m_nFlushRequested;
        const bool bFlush = m_nFlushRequested > m_nFlushDone;
        const bool bStop = m_bStop;
        lock.unlock();

        for (CWorkItem &item : aWork) {
            for (CJournalOp &op : item.aOps)
                Process(item.pChannel, op);
            if (!item.pChannel->bClosed && item.pChannel->fdJournal >= 0
                && std::find(m_aOpenRecords.begin(), m_aOpenRecords.end(), item.pChannel) == m_aOpenRecords.end())
                m_aOpenRecords.push_back(item.pChannel);
        }
        SyncDue(bStop || bFlush);
        if (bStop) {
            // Whatever is still open stays for the next start, as after a crash.
            for (const auto &pChannel : m_aOpenRecords)
                Close(*pChannel, false);
            m_aOpenRecords.clear();
        }

        lock.lock();
        m_aOpenRecords.erase(std::remove_if(m_aOpenRecords.begin(), m_aOpenRecords.end(),
                                            [](const auto &p) { return p->bClosed || p->fdJournal < 0; }),
                             m_aOpenRecords.end());
        m_aChannels.erase(std::remove_if(m_aChannels.begin(), m_aChannels.end(),
                                         [](const auto &p) { return p->bClosed && p->aOps.empty(); }),
                          m_aChannels.end());
        if (nFlush > m_nFlushDone) {
            m_nFlushDone = nFlush;
            m_cvFlushed.notify_all();
        }
        if (bStop)
            return;
    }
}

void CRecoveryManager::SyncDue(bool bAll)
{
    const Clock::time_point tNow = Clock::now();
    for (const auto &pChannel : m_aOpenRecords) {
        CJournalChannel &channel = *pChannel;
        if (!channel.bDirty || channel.fdJournal < 0)
            continue;
        if (!bAll && tNow < channel.tLastSync + std::chrono::milliseconds(SYNC_INTERVAL_MS))
            continue;
        if (::fdatasync(channel.fdJournal) != 0)
            Fail(channel, SystemErrorText(PathOf(channel.strId, ".wrj")));
        channel.bDirty = false;
        channel.tLastSync = tNow;
    }
}

void CRecoveryManager::Process(const std::shared_ptr<CJournalChannel> &pChannel, CJournalOp &op)
{
    CJournalChannel &channel = *pChannel;
    if (op.pText) {
        AppendSnapshot(op.strBytes, *op.pText);
        KeepSpare(std::move(op.pText));
    }
    switch (op.eKind) {
    case CJournalOp::OPEN:
        channel.strId = op.strId;
        OpenRecord(pChannel, op);
        break;
    case CJournalOp::REBASE:
        if (!channel.bFailed)
            Rebase(channel, op);
        break;
    case CJournalOp::APPEND:
        if (!channel.bFailed && !channel.bWaitingForRebase && channel.fdJournal >= 0)
            Append(channel, op);
        break;
    case CJournalOp::CLOSE_DISCARD:
        Close(channel, true);
        break;
    case CJournalOp::CLOSE_KEEP:
        Close(channel, false);
        break;
    }
}

void CRecoveryManager::OpenRecord(const std::shared_ptr<CJournalChannel> &pChannel, CJournalOp &op)
{
    CJournalChannel &channel = *pChannel;
    std::string strError;
    if (op.header.nBase == JBASE_FILE) {
        const std::string strTemp = PathOf(channel.strId, ".base.tmp");
        CFileHandle base = CreateLockedFile(strTemp, strError);
        if (!base.IsOpen()) {
            Fail(channel, strError);
            return;
        }
        const ECopyResult eCopy = CopyCheckedFile(op.strSourcePath, op.sourceIdentity, base.Get(),
                                                  op.header.nBaseSize, op.header.nBaseCrc, strError);
        if (eCopy == COPY_OK && (::fdatasync(base.Get()) != 0 || ::rename(strTemp.c_str(), PathOf(channel.strId, ".base").c_str()) != 0)) {
            strError = SystemErrorText(strTemp);
            ::unlink(strTemp.c_str());
            Fail(channel, strError);
            return;
        }
        if (eCopy != COPY_OK) {
            ::unlink(strTemp.c_str());
            if (eCopy == COPY_FAILED) {
                Fail(channel, strError);
                return;
            }
            // The file is no longer the text's starting point: the journal
            // asks its document for a snapshot, and appends wait for it.
            channel.bWaitingForRebase = true;
            Post([pChannel] {
                if (pChannel->pOwner)
                    pChannel->pOwner->OnBaseUnavailable(pChannel.get());
            });
            return;
        }
        channel.fdBase = base.Release();
    }

    std::string strBytes;
    AppendMagic(strBytes);
    AppendHeader(strBytes, op.header);
    const std::string strTemp = PathOf(channel.strId, ".wrj.tmp");
    const std::string strFinal = PathOf(channel.strId, ".wrj");
    CFileHandle journal = CreateLockedFile(strTemp, strError);
    if (!journal.IsOpen()) {
        Fail(channel, strError);
        return;
    }
    // The record appears under its final name complete and locked.
    if (!journal.WriteFully(strBytes.data(), strBytes.size())
        || !journal.WriteFully(op.strBytes.data(), op.strBytes.size()) || ::fdatasync(journal.Get()) != 0
        || ::rename(strTemp.c_str(), strFinal.c_str()) != 0) {
        strError = SystemErrorText(strTemp);
        ::unlink(strTemp.c_str());
        Fail(channel, strError);
        return;
    }
    SyncFolder(m_strFolder);
    channel.fdJournal = journal.Release();
    channel.tLastSync = Clock::now();
    channel.bDirty = false;
}

void CRecoveryManager::Rebase(CJournalChannel &channel, CJournalOp &op)
{
    if (channel.fdJournal < 0 && !channel.bWaitingForRebase)
        return;
    channel.bWaitingForRebase = false;
    std::string strBytes;
    AppendMagic(strBytes);
    AppendHeader(strBytes, op.header);
    std::string strError;
    const std::string strTemp = PathOf(channel.strId, ".wrj.tmp");
    CFileHandle journal = CreateLockedFile(strTemp, strError);
    if (!journal.IsOpen()) {
        Fail(channel, strError);
        return;
    }
    if (!journal.WriteFully(strBytes.data(), strBytes.size())
        || !journal.WriteFully(op.strBytes.data(), op.strBytes.size()) || ::fdatasync(journal.Get()) != 0
        || ::rename(strTemp.c_str(), PathOf(channel.strId, ".wrj").c_str()) != 0) {
        strError = SystemErrorText(strTemp);
        ::unlink(strTemp.c_str());
        Fail(channel, strError);
        return;
    }
    SyncFolder(m_strFolder);
    // The new journal needs no base copy; the old one's lock goes with it.
    if (channel.fdBase >= 0) {
        ::unlink(PathOf(channel.strId, ".base").c_str());
        ::close(channel.fdBase);
        channel.fdBase = -1;
    }
    if (channel.fdJournal >= 0)
        ::close(channel.fdJournal);
    channel.fdJournal = journal.Release();
    channel.tLastSync = Clock::now();
    channel.bDirty = false;
}

void CRecoveryManager::Append(CJournalChannel &channel, const CJournalOp &op)
{
    if (!FdWriteFully(channel.fdJournal, op.strBytes.data(), op.strBytes.size())) {
        Fail(channel, SystemErrorText(PathOf(channel.strId, ".wrj")));
        return;
    }
    if (!channel.bDirty) {
        channel.bDirty = true;
        // After a quiet spell the first change goes to the disk at once; in
        // a run of typing, once a second.
        if (Clock::now() >= channel.tLastSync + std::chrono::milliseconds(SYNC_INTERVAL_MS)) {
            ::fdatasync(channel.fdJournal);
            channel.bDirty = false;
            channel.tLastSync = Clock::now();
        }
    }
}

void CRecoveryManager::Close(CJournalChannel &channel, bool bDiscard)
{
    if (bDiscard && !channel.strId.empty()) {
        // Removed while still locked, so that nobody takes it in between.
        ::unlink(PathOf(channel.strId, ".wrj").c_str());
        ::unlink(PathOf(channel.strId, ".base").c_str());
        SyncFolder(m_strFolder);
    } else if (channel.bDirty && channel.fdJournal >= 0) {
        ::fdatasync(channel.fdJournal);
    }
    if (channel.fdJournal >= 0)
        ::close(channel.fdJournal);
    if (channel.fdBase >= 0)
        ::close(channel.fdBase);
    channel.fdJournal = -1;
    channel.fdBase = -1;
    channel.bDirty = false;
    channel.bClosed = true;
}

void CRecoveryManager::Fail(CJournalChannel &channel, const std::string &strError)
{
    channel.bFailed = true;
    Post([this, strError] {
        if (m_fnError)
            m_fnError(strError);
    });
}
