#include "recovery/journalreplay.h"

#include "recovery/crc32c.h"
#include "text/filehandle.h"

#include <cstdint>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

bool InsertFits(const CCrystalTextBuffer &buffer, int nLine, int nPos, const std::vector<std::string_view> &aPieces)
{
    if (nLine >= buffer.GetLineCount() || nPos > buffer.GetLineLength(nLine))
        return false;
    // The lines that receive the first and the last piece must stay addressable.
    const auto nLength = static_cast<std::uint64_t>(buffer.GetLineLength(nLine));
    const std::uint64_t nFirst = nPos + aPieces.front().size() + (aPieces.size() == 1 ? nLength - nPos : 0);
    const std::uint64_t nLast = aPieces.back().size() + nLength - nPos;
    constexpr auto LIMIT = static_cast<std::uint64_t>(INT32_MAX - 32);
    return nFirst < LIMIT && nLast < LIMIT
           && static_cast<std::uint64_t>(buffer.GetLineCount()) + aPieces.size() < LIMIT;
}

bool DeleteFits(const CCrystalTextBuffer &buffer, int nStartLine, int nStartChar, int nEndLine, int nEndChar)
{
    if (nStartLine > nEndLine || nEndLine >= buffer.GetLineCount())
        return false;
    if (nStartLine == nEndLine)
        return nStartChar <= nEndChar && nEndChar <= buffer.GetLineLength(nEndLine);
    return nStartChar <= buffer.GetLineLength(nStartLine) && nEndChar <= buffer.GetLineLength(nEndLine);
}

// The starting text from a file read as the journal's writer read it.
bool LoadBase(const CJournalHeader &header, const std::string &strBasePath, const std::string &strFallbackPath,
              CCrystalTextBuffer &buffer)
{
    for (const std::string *pPath : {&strBasePath, &strFallbackPath}) {
        if (pPath->empty() || !FileMatches(*pPath, header.nBaseSize, header.nBaseCrc))
            continue;
        buffer.FreeAll();
        if (buffer.LoadFromFile(*pPath, header.nLineEndMode))
            return true;
    }
    return false;
}

} // namespace

bool FileMatches(const std::string &strPath, std::uint64_t nSize, std::uint32_t nCrc)
{
    const CFileHandle file = CFileHandle::Open(strPath, O_RDONLY);
    if (!file.IsOpen())
        return false;
    std::vector<char> block(1 << 20);
    std::uint64_t nTotal = 0;
    std::uint32_t nSum = 0;
    for (;;) {
        const ssize_t n = file.Read(block.data(), block.size());
        if (n <= 0)
            return n == 0 && nTotal == nSize && nSum == nCrc;
        nSum = Crc32c(block.data(), static_cast<std::size_t>(n), nSum);
        nTotal += static_cast<std::uint64_t>(n);
    }
}

CJournalSummary SummarizeJournal(std::string_view data)
{
    CJournalSummary summary;
    CJournalReader reader(data);
    CJournalRecordView record;
    if (reader.Next(record) && record.eType == JREC_HEADER)
        summary.bHeader = DecodeHeader(record.payload, summary.header);
    if (!summary.bHeader) {
        summary.bDamaged = true;
        return summary;
    }
    while (reader.Next(record)) {
        if (record.eType == JREC_STATE) {
            CJournalState state;
            if (DecodeState(record.payload, state)) {
                summary.state = state;
                summary.bState = true;
            }
        } else if (record.eType == JREC_INSERT || record.eType == JREC_DELETE) {
            ++summary.nEdits;
        }
    }
    summary.bDamaged = reader.IsDamaged();
    return summary;
}

CReplayResult ReplayJournal(std::string_view data, const std::string &strBasePath,
                            const std::string &strFallbackPath, CCrystalTextBuffer &buffer)
{
    CReplayResult result;
    CJournalReader reader(data);
    CJournalRecordView record;
    CJournalHeader header;
    if (!reader.Next(record) || record.eType != JREC_HEADER || !DecodeHeader(record.payload, header)) {
        result.bDamaged = true;
        return result;
    }

    int nLineEndMode = header.nLineEndMode;
    bool bBaseDone = false;
    if (header.nBase == JBASE_FILE) {
        if (!LoadBase(header, strBasePath, strFallbackPath, buffer)) {
            result.bBaseUnreadable = true;
            return result;
        }
        bBaseDone = true;
    } else {
        buffer.FreeAll();
        buffer.InitNew(nLineEndMode);
    }
    buffer.SetReadOnly(false);
    result.bRestored = true;

    // Snapshot lines are gathered and put in at once when the snapshot ends
    // (or the journal does): one insertion, however many lines.
    std::vector<std::string_view> aSnapshot;
    std::uint64_t nSnapshotLines = 0;
    auto PutSnapshot = [&] {
        if (aSnapshot.empty())
            return;
        int nEndLine = 0;
        int nEndChar = 0;
        buffer.InsertLines(nullptr, 0, 0, aSnapshot, nEndLine, nEndChar, ACTION_INDENT);
        aSnapshot.clear();
    };

    std::vector<std::string_view> aPieces;
    bool bBad = false;
    while (!bBad && reader.Next(record)) {
        switch (record.eType) {
        case JREC_SNAPSHOT:
            bBad = bBaseDone || !DecodeSnapshot(record.payload, aSnapshot)
                   || aSnapshot.size() >= static_cast<std::size_t>(INT32_MAX);
            break;
        case JREC_SNAPSHOT_END:
            bBad = bBaseDone || !DecodeSnapshotEnd(record.payload, nSnapshotLines)
                   || nSnapshotLines != aSnapshot.size();
            if (!bBad) {
                PutSnapshot();
                bBaseDone = true;
            }
            break;
        case JREC_INSERT: {
            int nLine = 0;
            int nPos = 0;
            bBad = !bBaseDone || !DecodeInsert(record.payload, nLine, nPos, aPieces)
                   || !InsertFits(buffer, nLine, nPos, aPieces);
            if (!bBad) {
                int nEndLine = 0;
                int nEndChar = 0;
                buffer.InsertLines(nullptr, nLine, nPos, aPieces, nEndLine, nEndChar, ACTION_INDENT);
                result.ptLastChange = CPoint(nEndChar, nEndLine);
                ++result.nEdits;
            }
            break;
        }
        case JREC_DELETE: {
            int nStartLine = 0;
            int nStartChar = 0;
            int nEndLine = 0;
            int nEndChar = 0;
            bBad = !bBaseDone || !DecodeDelete(record.payload, nStartLine, nStartChar, nEndLine, nEndChar)
                   || !DeleteFits(buffer, nStartLine, nStartChar, nEndLine, nEndChar);
            if (!bBad) {
                buffer.DeleteText(nullptr, nStartLine, nStartChar, nEndLine, nEndChar, ACTION_INDENT);
                result.ptLastChange = CPoint(nStartChar, nStartLine);
                ++result.nEdits;
            }
            break;
        }
        case JREC_STATE: {
            CJournalState state;
            if (DecodeState(record.payload, state))
                nLineEndMode = state.nLineEndMode;
            break;
        }
        default:
            // A header in the middle, or a type this version does not know.
            bBad = true;
            break;
        }
    }
    // A snapshot the journal lost the end of still gives the lines it has.
    PutSnapshot();
    result.bDamaged = bBad || reader.IsDamaged() || !bBaseDone;
    buffer.SetLineEndMode(nLineEndMode);
    buffer.ClearUndo();
    return result;
}
