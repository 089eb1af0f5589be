// The recovery journal of one document: an observer of its buffer that
// writes down every primitive edit while the document differs from what was
// last saved, and hands the records to the recovery worker.
//
// A record exists exactly while the document is modified. The first edit
// after a load or a save starts one, from a snapshot of the text (small
// documents: one flat copy of the lines here, made into records by the
// worker) or from the file the text was just read from or written to (large
// ones, copied by the worker), so that the first keystroke costs little more
// than the others. When the document is no longer modified (saved, or
// undone back to the saved text) the record goes; closing the document
// removes it too, unless the manager keeps records because the session ends.
#pragma once

#include "recovery/journalformat.h"
#include "text/textbuffer.h"

#include <functional>
#include <memory>
#include <string>

class CRecoveryManager;
struct CJournalChannel;

class CDocJournal : public CBufferView
{
public:
    // Attaches itself to the buffer.
    CDocJournal(std::shared_ptr<CRecoveryManager> pManager, CCrystalTextBuffer &buffer);
    ~CDocJournal() override;
    CDocJournal(const CDocJournal &) = delete;
    CDocJournal &operator=(const CDocJournal &) = delete;

    // The document's file (empty while untitled), named in the next record.
    void SetPath(const std::string &strPath);
    // Asked whenever a record starts: how the document writes its file (its
    // character code), kept in the record so that a restored text is saved
    // the way its file was written.
    void SetDocCodeSource(std::function<std::string()> fnDocCode) { m_fnDocCode = std::move(fnDocCode); }
    // Asked whenever a record of an untitled document starts: the name its
    // window shows.
    void SetTitleSource(std::function<std::string()> fnTitle) { m_fnTitle = std::move(fnTitle); }
    // The text is the file's with this identity, just read in this line-end
    // mode. A large document's record can start from a copy of the file.
    void SetBaselineLoaded(const CFileIdentity &identity, int nLineEndMode);
    // The text was just written to the file with this identity in the
    // buffer's line-end mode. The file serves as a starting point only if
    // reading it back gives these very lines (no line holds the separator).
    void SetBaselineSaved(const CFileIdentity &identity);
    // The text matches no file: a record starts from a snapshot.
    void SetBaselineSnapshot();
    // The document's modified state; when it clears, the text is the saved
    // one again and the record is removed.
    void OnModifiedChanged(bool bModified);

    // While paused the journal takes no notice of the buffer: the text is
    // being filled from a record and will be written down whole afterwards.
    void SetPaused(bool bPaused) { m_bPaused = bPaused; }
    // Starts a record from a snapshot of the text as it stands now (a text
    // restored from a record matches no file), unless one is being kept.
    // fileAtBase is the document's file as the text last matched it, so
    // that a later look can still tell whether the file changed since.
    void BeginRecord(const CFileIdentity &fileAtBase = CFileIdentity());

    bool HasRecord() const { return m_pChannel != nullptr; }
    const std::string &RecordId() const { return m_strId; }
    // Hands what has been written down to the worker now.
    void Handoff();

    // --- CBufferView ---------------------------------------------------------
    void UpdateView(CBufferView *pSource, const ChangeHint *pHint, std::uint32_t dwFlags, int nLine) override;
    void OnBeforeDelete(int nStartLine, int nStartChar, int nEndLine, int nEndChar) override;
    // Saving writes the new line ends: the record says so in a state record
    // (or starts from a snapshot that holds the new mode).
    void OnLineEndModeChanged() override;

    // The worker could not copy the file the record was to start from (it
    // changed on disk): the record starts again from a snapshot.
    void OnBaseUnavailable(const CJournalChannel *pChannel);

private:
    // Begins a record for the edit just made; false when the edit is already
    // part of the record's starting text.
    bool StartRecord();
    void Rebase();
    void EndRecord(bool bKeep);
    void RecordInsert(const ChangeHint &hint);
    // The whole text for a snapshot, which the worker encodes; gives the
    // bytes of its lines.
    std::unique_ptr<CTextCopy> CopyText(std::uint64_t &nTextBytes) const;
    CJournalHeader MakeHeader(std::uint8_t nBase, int nLineEndMode) const;

    std::shared_ptr<CRecoveryManager> m_pManager;
    CCrystalTextBuffer &m_buffer;
    std::string m_strPath;
    std::function<std::string()> m_fnDocCode;
    mutable std::string m_strHeaderCode;  // the code state of the record's last header
    std::function<std::string()> m_fnTitle;

    // What the text was when the document was last unmodified.
    bool m_bBaseFile = false;          // the file below holds exactly that text
    CFileIdentity m_fileAtBase;        // the document's file then (or invalid)
    int m_nBaseLineEndMode = LINEEND_CRLF;
    std::uint64_t m_nBaseTextBytes = 0;

    // The record being written.
    std::shared_ptr<CJournalChannel> m_pChannel;
    std::string m_strId;
    std::string m_strLocal;            // records not yet handed to the worker
    std::uint64_t m_nJournalBytes = 0; // handed to the worker since the record (re)started
    std::uint64_t m_nTextBytes = 0;
    std::uint64_t m_nPendingDelete = 0; // bytes the deletion under way takes away
    std::int64_t m_nLastChangeMs = 0;
    bool m_bChanged = false;           // written down since the last state record
    bool m_bPaused = false;
};
