// Rebuilding a document's text from its recovery journal: the starting text
// (a snapshot, or the base copy of the file read as it was loaded), then every
// edit in order through the buffer's own operations, so that the lines come
// back exactly, CR and LF bytes inside lines included.
//
// A journal cut short or damaged gives the text as it stood after the last
// sound record; an edit that does not fit the text (a damaged journal whose
// checksums happen to hold) ends the replay the same way. Nothing read from
// the journal is trusted further than its bounds have been checked.
#pragma once

#include "recovery/journalformat.h"
#include "text/textbuffer.h"

#include <string>
#include <string_view>

struct CJournalSummary
{
    bool bHeader = false;        // the header was read
    CJournalHeader header;
    bool bState = false;         // a state record was read
    CJournalState state;         // the last one
    bool bDamaged = false;       // bytes after the last sound record
    std::size_t nEdits = 0;      // insertions and deletions recorded
};

// Reads a journal's header, its last state and whether it is damaged.
CJournalSummary SummarizeJournal(std::string_view data);

struct CReplayResult
{
    bool bRestored = false;      // the buffer holds a text (maybe cut short)
    bool bDamaged = false;       // the journal was damaged: the text stops there
    bool bBaseUnreadable = false; // the starting text could not be read
    std::size_t nEdits = 0;      // edits applied
    CPoint ptLastChange;         // where the last applied edit left its end
};

// Fills the buffer (emptied first) with the text the journal describes.
// strBasePath is the base copy of a journal that starts from the file; when
// it is missing or does not match the header, strFallbackPath (the document's
// own file) is used if it matches instead. The buffer is left editable,
// modified, with no undo history, in the line-end mode of the last state.
CReplayResult ReplayJournal(std::string_view data, const std::string &strBasePath,
                            const std::string &strFallbackPath, CCrystalTextBuffer &buffer);

// Whether a file holds exactly nSize bytes with the given checksum.
bool FileMatches(const std::string &strPath, std::uint64_t nSize, std::uint32_t nCrc);
