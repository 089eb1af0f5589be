// The recovery records that processes left behind when they ended without
// saving: found at start-up, held locked while the user decides, then
// restored, discarded or let go for a later start.
//
// A record is taken only when its lock can be had (its writer has ended; the
// kernel drops a dead process's locks) and its header does not name a
// process that still runs. Leftovers that cannot be records (files cut short
// before they were complete, copies whose journal is gone) are removed once
// they are old enough not to belong to a record being written right now.
#pragma once

#include "recovery/journalreplay.h"
#include "recovery/recordfiles.h"

#include <memory>
#include <string>
#include <vector>

enum ERecordFileState
{
    RECFILE_UNTITLED,  // the document had no file
    RECFILE_SAME,      // its file is as it was when the text last matched it
    RECFILE_CHANGED,   // its file was replaced or written to since
    RECFILE_MISSING,   // its file is gone
};

class COrphanRecord
{
public:
    COrphanRecord(std::string strFolder, std::string strId, CFileHandle fdJournal, CJournalSummary summary,
                  std::int64_t nFileTimeMs);
    ~COrphanRecord() = default;
    COrphanRecord(const COrphanRecord &) = delete;
    COrphanRecord &operator=(const COrphanRecord &) = delete;

    const std::string &Id() const { return m_strId; }
    const CJournalSummary &Summary() const { return m_summary; }
    // The document's file, empty for an untitled one.
    const std::string &Path() const { return m_summary.header.strPath; }
    // The name an untitled document was shown under; empty when unknown.
    const std::string &Title() const { return m_summary.header.strTitle; }
    ERecordFileState FileState() const { return m_eFileState; }
    // Wall clock of the last change written down (ms since the epoch).
    std::int64_t LastChangeMs() const;
    // Bytes of the text as it would be saved.
    std::uint64_t TextSize() const;
    bool IsDamaged() const { return m_summary.bDamaged; }

    // Rebuilds the text into the buffer.
    CReplayResult Restore(CCrystalTextBuffer &buffer) const;
    // Removes the record's files; it is gone for good. False when the
    // journal could not be removed (a folder that cannot be written): the
    // record is then let go and will be found again.
    bool Discard();
    // Leaves the record for a later start.
    void Release();

private:
    std::string m_strFolder;
    std::string m_strId;
    CFileHandle m_fdJournal;  // locked while we hold the record
    CJournalSummary m_summary;
    std::int64_t m_nFileTimeMs;
    ERecordFileState m_eFileState = RECFILE_UNTITLED;
};

// Takes every record in the folder whose writer no longer runs, oldest
// change first. Records of running processes are left alone.
std::vector<std::unique_ptr<COrphanRecord>> FindOrphanRecords(const std::string &strFolder);

// Leftovers younger than this may belong to a record being written.
inline constexpr int LEFTOVER_AGE_SECONDS = 600;
