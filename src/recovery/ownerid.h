// Which process wrote a recovery record, and whether it still runs. Records
// are also locked by their writer; this is the second opinion, for file
// systems where locks are not kept.
#pragma once

#include "recovery/journalformat.h"

// This process.
COwnerId CurrentOwner();

// Whether the process that wrote a record still runs: the same boot, and a
// process with that id that started at the same moment (ids are reused).
bool IsOwnerRunning(const COwnerId &owner);
