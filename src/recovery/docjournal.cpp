#include "recovery/docjournal.h"

#include "recovery/journalchannel.h"
#include "recovery/ownerid.h"
#include "recovery/recoverymanager.h"

#include <chrono>
#include <cstring>

namespace {

// Records wait on the user-interface side for the end of a batch of edits
// (a replace-all), but no longer than this many bytes.
constexpr std::size_t HANDOFF_BYTES = 1 << 20;

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::uint64_t SeparatorLength(int nLineEndMode)
{
    return LineEndSeparator(nLineEndMode).size();
}

// Whether a line holds the bytes that separate lines in the mode: reading
// the saved file back would then split it.
bool HoldsSeparator(std::string_view line, int nLineEndMode)
{
    if (nLineEndMode == LINEEND_LF)
        return line.find('\n') != std::string_view::npos;
    if (nLineEndMode == LINEEND_CR)
        return line.find('\r') != std::string_view::npos;
    for (std::size_t n = line.find('\r'); n != std::string_view::npos; n = line.find('\r', n + 1))
        if (n + 1 < line.size() && line[n + 1] == '\n')
            return true;
    return false;
}

} // namespace

CDocJournal::CDocJournal(std::shared_ptr<CRecoveryManager> pManager, CCrystalTextBuffer &buffer)
    : m_pManager(std::move(pManager)), m_buffer(buffer)
{
    m_buffer.AttachView(this);
}

CDocJournal::~CDocJournal()
{
    m_buffer.DetachView(this);
    EndRecord(m_pManager->IsKeepingRecords());
}

void CDocJournal::SetPath(const std::string &strPath)
{
    m_strPath = strPath;
}

void CDocJournal::SetBaselineLoaded(const CFileIdentity &identity, int nLineEndMode)
{
    m_fileAtBase = identity;
    m_bBaseFile = identity.bValid;
    m_nBaseLineEndMode = nLineEndMode;
    const std::uint64_t nSeparators =
        static_cast<std::uint64_t>(m_buffer.GetLineCount() - 1) * SeparatorLength(nLineEndMode);
    // A file whose size does not fit its lines is not the text we hold.
    if (identity.nSize < nSeparators)
        m_bBaseFile = false;
    m_nBaseTextBytes = m_bBaseFile ? identity.nSize - nSeparators : 0;
}

void CDocJournal::SetBaselineSaved(const CFileIdentity &identity)
{
    const int nMode = m_buffer.GetLineEndMode();
    SetBaselineLoaded(identity, nMode);
    // Only a large text would start a record from the file; a small one is
    // copied whole anyway, so only then is it worth looking.
    if (!m_bBaseFile || m_nBaseTextBytes < CRecoveryManager::SNAPSHOT_LIMIT)
        return;
    for (int i = 0; i < m_buffer.GetLineCount(); ++i)
        if (HoldsSeparator(m_buffer.GetLine(i), nMode)) {
            m_bBaseFile = false;
            return;
        }
}

void CDocJournal::SetBaselineSnapshot()
{
    m_bBaseFile = false;
    m_fileAtBase = CFileIdentity();
}

void CDocJournal::OnModifiedChanged(bool bModified)
{
    if (!bModified)
        EndRecord(false);
}

// ---------------------------------------------------------------------------
// Edits

void CDocJournal::UpdateView(CBufferView *, const ChangeHint *pHint, std::uint32_t dwFlags, int)
{
    if (m_bPaused)
        return;
    if (dwFlags & NOTIFY_RESET) {
        // The whole text was replaced: whatever it is now, the old record
        // does not lead to it.
        EndRecord(false);
        SetBaselineSnapshot();
        return;
    }
    if (!pHint) {
        // The end of a batch of edits, or bookmarks.
        if (!(dwFlags & NOTIFY_FLAGS_ONLY))
            Handoff();
        return;
    }
    if (!m_pManager->IsOpen())
        return;
    if (!m_pChannel && !StartRecord())
        return;

    if (dynamic_cast<const InsertHint *>(pHint)) {
        RecordInsert(*pHint);
    } else {
        AppendDelete(m_strLocal, pHint->ptStart.y, pHint->ptStart.x, pHint->ptEnd.y, pHint->ptEnd.x);
        m_nTextBytes -= std::min(m_nPendingDelete, m_nTextBytes);
    }
    m_nLastChangeMs = NowMs();
    m_bChanged = true;
    if (!(dwFlags & NOTIFY_BATCH) || m_strLocal.size() >= HANDOFF_BYTES)
        Handoff();
}

void CDocJournal::OnLineEndModeChanged()
{
    if (m_bPaused || !m_pManager->IsOpen())
        return;
    // A snapshot start writes the state of the text as it is now.
    if (!m_pChannel && !StartRecord())
        return;
    m_nLastChangeMs = NowMs();
    m_bChanged = true;
    Handoff();
}

void CDocJournal::OnBeforeDelete(int nStartLine, int nStartChar, int nEndLine, int nEndChar)
{
    if (m_bPaused || !m_pManager->IsOpen())
        return;
    if (nStartLine == nEndLine) {
        m_nPendingDelete = static_cast<std::uint64_t>(nEndChar - nStartChar);
        return;
    }
    std::uint64_t n = static_cast<std::uint64_t>(m_buffer.GetLineLength(nStartLine) - nStartChar) + nEndChar;
    for (int i = nStartLine + 1; i < nEndLine; ++i)
        n += static_cast<std::uint64_t>(m_buffer.GetLineLength(i));
    m_nPendingDelete = n;
}

void CDocJournal::RecordInsert(const ChangeHint &hint)
{
    // The inserted pieces, read back from the lines they went into.
    const CPoint ptStart = hint.ptStart;
    const CPoint ptEnd = hint.ptEnd;
    CRecordBuilder rb(m_strLocal, JREC_INSERT);
    rb.PutVarint(static_cast<std::uint64_t>(ptStart.y));
    rb.PutVarint(static_cast<std::uint64_t>(ptStart.x));
    rb.PutVarint(static_cast<std::uint64_t>(ptEnd.y - ptStart.y + 1));
    for (int nLine = ptStart.y; nLine <= ptEnd.y; ++nLine) {
        std::string_view line = m_buffer.GetLine(nLine);
        const std::size_t nFrom = nLine == ptStart.y ? static_cast<std::size_t>(ptStart.x) : 0;
        const std::size_t nTo = nLine == ptEnd.y ? static_cast<std::size_t>(ptEnd.x) : line.size();
        const std::string_view piece = line.substr(nFrom, nTo - nFrom);
        rb.PutBytes(piece);
        m_nTextBytes += piece.size();
    }
    rb.Finish();
}

void CDocJournal::Handoff()
{
    if (!m_pChannel || (!m_bChanged && m_strLocal.empty()))
        return;
    // The document's code state grew (a character Shift-JIS lacks took a new
    // code): the edits that use it need a header that has it.
    if (m_fnDocCode && m_fnDocCode() != m_strHeaderCode) {
        Rebase();
        return;
    }
    CJournalState state;
    state.nTimeMs = m_nLastChangeMs;
    state.nTextBytes = m_nTextBytes;
    state.nLineCount = static_cast<std::uint64_t>(m_buffer.GetLineCount());
    state.nLineEndMode = m_buffer.GetLineEndMode();
    AppendState(m_strLocal, state);
    m_bChanged = false;

    CJournalOp op;
    op.eKind = CJournalOp::APPEND;
    op.strBytes.swap(m_strLocal);
    m_nJournalBytes += op.strBytes.size();
    m_pManager->Submit(m_pChannel, std::move(op));

    // A journal much longer than its text is worth less than a fresh start.
    if (m_nJournalBytes > std::max<std::uint64_t>(CRecoveryManager::COMPACT_MINIMUM, 2 * m_nTextBytes))
        Rebase();
}

// ---------------------------------------------------------------------------
// Records

CJournalHeader CDocJournal::MakeHeader(std::uint8_t nBase, int nLineEndMode) const
{
    CJournalHeader header;
    header.owner = CurrentOwner();
    header.nCreatedMs = NowMs();
    header.strPath = m_strPath;
    header.nLineEndMode = nLineEndMode;
    header.nBase = nBase;
    header.fileAtBase = m_fileAtBase;
    if (m_fnDocCode)
        header.strDocCode = m_fnDocCode();
    m_strHeaderCode = header.strDocCode;
    if (m_strPath.empty() && m_fnTitle)
        header.strTitle = m_fnTitle();
    return header;
}

bool CDocJournal::StartRecord()
{
    m_pChannel = m_pManager->NewChannel();
    m_pChannel->pOwner = this;
    m_strId = m_pManager->NewRecordId();
    m_strLocal.clear();
    m_nJournalBytes = 0;

    CJournalOp op;
    op.eKind = CJournalOp::OPEN;
    op.strId = m_strId;
    bool bRecordThisEdit;
    if (m_bBaseFile && m_nBaseTextBytes >= CRecoveryManager::SNAPSHOT_LIMIT && !m_strPath.empty()) {
        op.header = MakeHeader(JBASE_FILE, m_nBaseLineEndMode);
        op.strSourcePath = m_strPath;
        op.sourceIdentity = m_fileAtBase;
        m_nTextBytes = m_nBaseTextBytes;
        bRecordThisEdit = true;
    } else {
        op.header = MakeHeader(JBASE_SNAPSHOT, m_buffer.GetLineEndMode());
        op.pText = CopyText(m_nTextBytes);
        bRecordThisEdit = false;
        m_nLastChangeMs = NowMs();
        m_bChanged = true;
    }
    m_nJournalBytes = op.pText ? op.pText->strBytes.size() + op.pText->aLengths.size() : 0;
    m_pManager->Submit(m_pChannel, std::move(op));
    if (!bRecordThisEdit)
        Handoff();
    return bRecordThisEdit;
}

void CDocJournal::BeginRecord(const CFileIdentity &fileAtBase)
{
    if (m_pChannel || !m_pManager->IsOpen())
        return;
    m_bBaseFile = false;
    m_fileAtBase = fileAtBase;
    StartRecord();
}

void CDocJournal::Rebase()
{
    if (!m_pChannel)
        return;
    CJournalOp op;
    op.eKind = CJournalOp::REBASE;
    op.strId = m_strId;
    op.header = MakeHeader(JBASE_SNAPSHOT, m_buffer.GetLineEndMode());
    op.pText = CopyText(m_nTextBytes);
    // Whatever was written down and not yet handed over is in the snapshot.
    m_strLocal.clear();
    m_nJournalBytes = op.pText->strBytes.size() + op.pText->aLengths.size();
    m_pManager->Submit(m_pChannel, std::move(op));
    m_bChanged = true;
    Handoff();
}

void CDocJournal::OnBaseUnavailable(const CJournalChannel *pChannel)
{
    if (pChannel == m_pChannel.get())
        Rebase();
}

void CDocJournal::EndRecord(bool bKeep)
{
    if (!m_pChannel)
        return;
    if (bKeep)
        Handoff();
    CJournalOp op;
    op.eKind = bKeep ? CJournalOp::CLOSE_KEEP : CJournalOp::CLOSE_DISCARD;
    m_pManager->Submit(m_pChannel, std::move(op));
    m_pChannel->pOwner = nullptr;
    m_pChannel.reset();
    m_strId.clear();
    m_strLocal.clear();
    m_bChanged = false;
}

std::unique_ptr<CTextCopy> CDocJournal::CopyText(std::uint64_t &nTextBytes) const
{
    // One allocation and one copy per line: the records, their lengths and
    // checksums are made on the worker, so that a first keystroke in a
    // document of a few megabytes waits for a memory copy and no more.
    std::unique_ptr<CTextCopy> pText = m_pManager->TakeTextCopy();
    const int nLines = m_buffer.GetLineCount();
    pText->aLengths.resize(static_cast<std::size_t>(nLines));
    std::size_t nTotal = 0;
    for (int i = 0; i < nLines; ++i) {
        const auto nLength = static_cast<std::uint32_t>(m_buffer.GetLineLength(i));
        pText->aLengths[static_cast<std::size_t>(i)] = nLength;
        nTotal += nLength;
    }
    pText->strBytes.resize(nTotal);
    char *pOut = pText->strBytes.data();
    for (int i = 0; i < nLines; ++i) {
        const std::string_view line = m_buffer.GetLine(i);
        if (!line.empty())
            std::memcpy(pOut, line.data(), line.size());
        pOut += line.size();
    }
    nTextBytes = nTotal;
    return pText;
}
