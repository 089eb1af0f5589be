// Keeps a recovery record for every modified document, in a folder private
// to the user, so that text typed since the last save survives a crash, a
// killed process or a power cut.
//
// Each document's journal (CDocJournal, which shares the manager) turns the buffer's edits into records
// on the user-interface thread, which costs about as much as copying the
// typed bytes. One worker thread does all the file work: it creates the
// record files, copies a large document's file as the starting point, appends
// the records the moment they arrive and makes them durable (fsync) at most a
// second after they were written. Typing never waits for the disk.
//
// A record is two files named by its id in the recovery folder: "<id>.wrj",
// the journal, and for a large document "<id>.base", a copy of its file. The
// writer holds an exclusive lock (flock) on both for as long as they are its
// own; files appear only under their final names while locked, so another
// instance of the editor never takes the records of one that still runs.
#pragma once

#include "recovery/journalformat.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CJournalChannel;

// What the user-interface side asks the worker to do with one journal.
struct CJournalOp
{
    enum EKind
    {
        OPEN,           // create the record (new id)
        REBASE,         // replace the journal by one that starts from a snapshot (same id)
        APPEND,         // add records
        CLOSE_DISCARD,  // remove the record: its text is saved or thrown away
        CLOSE_KEEP,     // let go of the record, leaving it for the next start
    };
    EKind eKind = APPEND;
    std::string strId;
    CJournalHeader header;        // OPEN, REBASE
    std::string strBytes;         // APPEND: records; OPEN, REBASE: snapshot records
    // OPEN, REBASE from a snapshot: the text, made into snapshot records (in
    // strBytes) by the worker.
    std::unique_ptr<CTextCopy> pText;
    std::string strSourcePath;    // OPEN from a file: the file to copy
    CFileIdentity sourceIdentity; // ... and what it must still be
};

class CRecoveryManager
{
public:
    // Documents smaller than this start their journal with a snapshot of the
    // text (one flat copy of its lines, a few milliseconds at most, which the
    // worker encodes); larger ones from a copy of their file made by the
    // worker.
    static constexpr std::uint64_t SNAPSHOT_LIMIT = 4 << 20;
    // A journal that has grown past this many bytes, and past twice the text,
    // starts again from a snapshot: the copy is paid for by the edits it ends.
    static constexpr std::uint64_t COMPACT_MINIMUM = 16 << 20;
    // Records reach the disk at most this long after they were written.
    static constexpr int SYNC_INTERVAL_MS = 1000;

    // strFolder is where the records go; nothing is written until Open.
    explicit CRecoveryManager(std::string strFolder);
    ~CRecoveryManager();
    CRecoveryManager(const CRecoveryManager &) = delete;
    CRecoveryManager &operator=(const CRecoveryManager &) = delete;

    // Makes the folder (private to the user) and checks that files can be
    // created in it. False with the reason when not: the journals then stay
    // idle and the editor works on without them.
    bool Open(std::string &strError);
    bool IsOpen() const { return m_bOpen; }
    const std::string &Folder() const { return m_strFolder; }

    // From now on a journal that closes leaves its record for the next start
    // instead of removing it: the session ends and the documents were not
    // offered for saving.
    void KeepRecords() { m_bKeepRecords = true; }
    bool IsKeepingRecords() const { return m_bKeepRecords; }

    // Waits until everything handed to the worker is on the disk; false when
    // that took longer than nTimeoutMs.
    bool Flush(int nTimeoutMs = 30000);

    // The worker reports to the user-interface thread through a queue that
    // RunPosted empties there. fnWake (called on the worker thread) asks for
    // that to happen soon; the journals also empty the queue as they write.
    // RunPosted also hands the worker what the journals could not hand over
    // at once; call it now and then (a few times a second) while HasPending.
    void SetWakeHandler(std::function<void()> fnWake);
    void RunPosted();
    bool HasPending() const { return !m_aOutbox.empty(); }
    // Called on the user-interface thread when a record cannot be written.
    void SetErrorHandler(std::function<void(const std::string &strError)> fnError);

    // --- For the journals ----------------------------------------------------
    std::shared_ptr<CJournalChannel> NewChannel();
    void Submit(const std::shared_ptr<CJournalChannel> &pChannel, CJournalOp &&op);
    // A fresh record id, unique across processes.
    std::string NewRecordId();
    // Room for a snapshot's copy of the text. Fresh memory costs a page
    // fault per page on first touch (about 25 ms for 4 MB on a loaded
    // machine), so the worker keeps one copy's worth ready, touched, and
    // takes it back once the snapshot is written; a fresh one when that is
    // in use.
    std::unique_ptr<CTextCopy> TakeTextCopy();

private:
    struct CWorkItem
    {
        std::shared_ptr<CJournalChannel> pChannel;
        std::vector<CJournalOp> aOps;
    };

    void WorkerMain();
    void Process(const std::shared_ptr<CJournalChannel> &pChannel, CJournalOp &op);
    void OpenRecord(const std::shared_ptr<CJournalChannel> &pChannel, CJournalOp &op);
    void Rebase(CJournalChannel &channel, CJournalOp &op);
    void Append(CJournalChannel &channel, const CJournalOp &op);
    void Close(CJournalChannel &channel, bool bDiscard);
    void SyncDue(bool bAll);
    void Fail(CJournalChannel &channel, const std::string &strError);
    void Post(std::function<void()> fn);
    // Moves the outbox to the channels; under m_mutex.
    void DrainOutbox();
    std::string PathOf(const std::string &strId, const char *pszSuffix) const;
    // Worker: makes the copy the spare again, its memory in place.
    void KeepSpare(std::unique_ptr<CTextCopy> pText);

    std::string m_strFolder;
    bool m_bOpen = false;
    bool m_bKeepRecords = false;
    unsigned m_nIdCounter = 0;

    std::mutex m_mutex;
    std::condition_variable m_cvWork;
    std::condition_variable m_cvFlushed;
    std::vector<std::shared_ptr<CJournalChannel>> m_aChannels;  // under m_mutex
    std::vector<std::function<void()>> m_aPosted;                 // under m_mutex
    std::uint64_t m_nFlushRequested = 0;                          // under m_mutex
    std::uint64_t m_nFlushDone = 0;                               // under m_mutex
    bool m_bStop = false;                                         // under m_mutex
    std::unique_ptr<CTextCopy> m_pSpareText;                      // under m_mutex
    // Operations submitted while the worker held the lock: the typing thread
    // never waits for it. User-interface thread only.
    std::vector<std::pair<std::shared_ptr<CJournalChannel>, CJournalOp>> m_aOutbox;
    std::function<void()> m_fnWake;
    std::function<void(const std::string &)> m_fnError;
    // Open records of the worker thread, for syncing.
    std::vector<std::shared_ptr<CJournalChannel>> m_aOpenRecords;
    std::thread m_worker;
};
