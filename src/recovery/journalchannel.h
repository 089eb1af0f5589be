// What a document's journal and the recovery worker share: the operations
// waiting for the worker (under the manager's lock), the journal that owns
// the channel (user-interface thread only) and the record's open files
// (worker only).
#pragma once

#include "recovery/recoverymanager.h"

#include <chrono>

class CDocJournal;

struct CJournalChannel
{
    // Under the manager's lock.
    std::vector<CJournalOp> aOps;
    bool bRegistered = false;  // in the manager's list of channels

    // User-interface thread only: null once the journal has gone.
    CDocJournal *pOwner = nullptr;

    // Worker only.
    std::string strId;
    int fdJournal = -1;
    int fdBase = -1;
    bool bWaitingForRebase = false;  // the base could not be copied: appends wait for a snapshot
    bool bFailed = false;            // writing failed: nothing more is written
    bool bDirty = false;             // written since the last fsync
    bool bClosed = false;
    std::chrono::steady_clock::time_point tLastSync;
};
