#include "search/filesearch.h"

#include "text/codec.h"
#include "text/doctext.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace {

void FoldAsciiCapitals(const char *pFrom, char *pTo, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(pFrom[i]);
        pTo[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
    }
}

std::string FoldAsciiCapitals(std::string s)
{
    FoldAsciiCapitals(s.data(), s.data(), s.size());
    return s;
}

// The number of pieces in [p, p + n), a run of whole lines (n > 0, p[n - 1]
// is a line feed), when every one of them is one piece: then each block of
// 2000 bytes holds a line feed, so no line reaches the 4000-byte cut. -1
// when a line may be longer and the pieces must be stepped through.
int CountShortLines(const char *p, std::size_t n)
{
    constexpr std::size_t STEP = SEARCH_LINE_MAX / 2;
    int nLines = 0;
    for (std::size_t nAt = 0; nAt < n; nAt += STEP) {
        const std::size_t nEnd = std::min(n, nAt + STEP);
        int nHere = 0;
        for (std::size_t i = nAt; i < nEnd; ++i)
            nHere += p[i] == '\n';
        if (nHere == 0)
            return -1;
        nLines += nHere;
    }
    return nLines;
}

} // namespace

std::string PrintableResultText(std::string_view text)
{
    // Control bytes are never bytes of a double-byte character, so each can
    // be replaced on its own.
    std::string s(text);
    for (char &ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            ch = ' ';
    }
    return s;
}

bool PrepareFileSearch(CFileSearchSetup &setup)
{
    const FolderSearchParams &params = setup.params;
    std::string strPrefilter;
    if (params.bRegex) {
        // The expression is compiled once: a compiled pattern is read-only
        // and the matching state lives in each worker's context.
        setup.pPattern.reset(RegexCompile(params.strText.c_str()));
        if (!setup.pPattern)
            return false;
        strPrefilter = RegexRequiredText(setup.pPattern.get(), true);
    } else {
        setup.strNeedle = params.strText;
        if (params.bIgnoreCase)
            LowerCaseSingleBytes(setup.strNeedle);
        strPrefilter = setup.strNeedle;
    }
    setup.prefilter = CByteFinder(params.bIgnoreCase ? FoldAsciiCapitals(strPrefilter) : strPrefilter);
    return true;
}

CFileSearch::CFileSearch(const CFileSearchSetup &setup) : m_setup(setup)
{
    // Either flag stops a running match.
    m_ctx.SetCancelFlag(setup.pCancelled, &setup.bStop);
}

CFileSearch::~CFileSearch() = default;

bool CFileSearch::IsStopped() const
{
    return (m_setup.pCancelled && m_setup.pCancelled->load(std::memory_order_relaxed))
           || m_setup.bStop.load(std::memory_order_relaxed);
}

bool CFileSearch::CheckPiece(const std::string &strRelative, std::string_view piece, int nLine)
{
    if (piece.empty())
        return true;
    const FolderSearchParams &params = m_setup.params;
    // Characters beyond Shift-JIS in what is looked for: only a file with a
    // table can hold them.
    if (!params.extra.IsEmpty() && !m_pFileExtra)
        return true;
    std::string_view text = piece;
    if (params.bIgnoreCase) {
        m_strLine.assign(piece);
        LowerCaseSingleBytes(m_strLine);
        text = m_strLine;
    }
    CSearchResult result;
    result.strPath = strRelative;
    result.nLine = nLine;
    if (m_setup.pPattern) {
        // The line is lower-cased for ignoring case, the expression is not:
        // its capitals must match without regard to case too.
        if (!RegexExecute(m_setup.pPattern.get(), text.data(), static_cast<int>(text.size()), 0, m_regs,
                          !params.bIgnoreCase, &m_ctx))
            return true;
        result.nKind = SEARCHRESULT_REGEX_MATCH;
        result.strText.assign(piece.substr(static_cast<std::size_t>(m_regs.nStart[0]),
                                           static_cast<std::size_t>(m_regs.nEnd[0] - m_regs.nStart[0])));
    } else {
        if (FindPlainText(text, m_setup.strNeedle, 0, static_cast<int>(text.size()), false) < 0)
            return true;
        result.nKind = SEARCHRESULT_MATCH;
        result.strText.assign(piece);
    }
    if (m_pFileExtra && FindExtraChar(result.strText, *m_pFileExtra) != 0)
        result.strTextUtf8 = DocTextToUtf8(PrintableResultText(result.strText), m_pFileExtra);
    // The results shown before this file's only add to its bytes: once its
    // own reach the limit, the search cannot show a line after the next one.
    const bool bFull = m_nBytes >= FOLDER_SEARCH_RESULT_LIMIT;
    m_nBytes += static_cast<int>(FormatResultLine(result).size()) + 2;
    m_pResults->push_back(std::move(result));
    return !bFull;
}

bool CFileSearch::Search(const CFileHandle &folder, const std::string &strName, const std::string &strRelative,
                         std::vector<CSearchResult> &aResults)
{
    m_pResults = &aResults;
    m_nBytes = 0;
    if (!m_reader.OpenAt(folder, strName)) {
        const int nErrno = errno;
        if (nErrno == ENOENT)
            return false;
        aResults.push_back(CSearchResult{SEARCHRESULT_CANNOT_OPEN, strRelative, 0, 0, {}, nErrno});
        return true;
    }
    // The file is closed however the search of it ends.
    struct CCloseReader
    {
        CFileSearch &search;
        ~CCloseReader()
        {
            search.m_reader.Close();
            // A large file read whole gives its memory back at once.
            for (std::string *p : {&search.m_strWhole, &search.m_strText}) {
                p->clear();
                if (p->capacity() > (std::size_t(1) << 20))
                    p->shrink_to_fit();
            }
            search.m_pDecoder.reset();
        }
    } closer{*this};
    m_pDecoder.reset();
    m_pFileExtra = nullptr;
    SearchBlocks(strRelative);
    return true;
}

CFileSearch::ESourceSwitch CFileSearch::SwitchToText(bool bWholeInBlock)
{
    CSearchLineReader &reader = m_reader;
    std::string_view bytes;
    if (bWholeInBlock) {
        bytes = std::string_view(reader.GetBlock(), reader.GetEnd());
    } else {
        if (!reader.ReadWholeFile(m_strWhole))
            return SOURCE_UNREADABLE;
        bytes = m_strWhole;
    }
    // The one detection the editor opens files with.
    m_extra = m_setup.params.extra;
    const ETextCode eCode = DetectTextCode(bytes, ETextCode::Sjis, &m_strText, &m_extra);
    if (eCode == ETextCode::Sjis)
        return SOURCE_KEPT;
    m_pFileExtra = &m_extra;
    if (bWholeInBlock) {
        // The block is about to be filled from the text.
        m_strWhole.assign(bytes);
        bytes = m_strWhole;
    }
    // What was read so far is plain and reads the same in the text.
    const std::size_t nRead = reader.GetOffset();
    if (eCode == ETextCode::Utf8 || eCode == ETextCode::Utf8Bom) {
        // Decoded as it is searched: no second copy of a large file.
        auto pDecoder = std::make_shared<CUtf8StreamDecoder>(bytes, false, eCode == ETextCode::Utf8Bom);
        pDecoder->SeedExtra(m_setup.params.extra);
        pDecoder->SeedForms(m_setup.params.nDualForms);
        m_pDecoder = pDecoder;
        m_pFileExtra = &pDecoder->Extra();
        reader.UseSource(
            [pDecoder](char *p, std::size_t n) { return pDecoder->Decode(p, n); },
            nRead);
    } else {
        reader.UseSource(
            [this, nAt = std::size_t(0)](char *p, std::size_t n) mutable {
                const std::size_t k = std::min(n, m_strText.size() - nAt);
                std::memcpy(p, m_strText.data() + nAt, k);
                nAt += k;
                return k;
            },
            nRead);
    }
    return SOURCE_SWITCHED;
}

void CFileSearch::SearchBlocks(const std::string &strRelative)
{
    CSearchLineReader &reader = m_reader;
    const CByteFinder &prefilter = m_setup.prefilter;
    const bool bFold = m_setup.params.bIgnoreCase && !prefilter.IsEmpty();
    if (bFold && !m_pFolded)
        m_pFolded = std::make_unique<char[]>(CSearchLineReader::BLOCK_BYTES);
    const char *const pBlock = reader.GetBlock();
    const char *const pScan = bFold ? m_pFolded.get() : pBlock;
    bool bFirst = true;
    // Until the code of the file is known, every byte read is plain: below
    // 0x80 and none of ESC, SO and SI, the same in every code. nPlainEnd is
    // the offset in the file up to which that has been checked.
    bool bProbing = true;
    std::size_t nPlainEnd = 0;
    while (!IsStopped()) {
        // Keep the unread rest and fill the block up again; the folded copy follows.
        const std::size_t nRest = reader.GetEnd() - reader.GetPos();
        if (bFold)
            std::memmove(m_pFolded.get(), m_pFolded.get() + reader.GetPos(), nRest);
        if (!reader.Refill())
            break;
        const std::size_t nHave = reader.GetEnd();
        if (bFold)
            FoldAsciiCapitals(pBlock + nRest, m_pFolded.get() + nRest, nHave - nRest);
        // Binary or text is decided once, from the start of the file: a NUL
        // byte further on is one more byte of a line, and no line found
        // before it is lost.
        if (bFirst && std::memchr(pBlock, 0, nHave))
            break;
        bFirst = false;
        if (nHave == 0)
            break;
        if (bProbing) {
            const std::size_t nBlockOffset = reader.GetOffset() - reader.GetPos();
            const std::size_t nFrom = std::max(nPlainEnd, nBlockOffset) - nBlockOffset;
            const std::size_t nPlain = nFrom + PlainTextRun(pBlock + nFrom, nHave - nFrom);
            nPlainEnd = nBlockOffset + nPlain;
            if (nPlain < nHave) {
                bProbing = false;
                // Most files show they are Shift-JIS early; the others are
                // read whole and searched in the text the editor makes of them.
                if (!BytesShowSjis(std::string_view(pBlock + nPlain, nHave - nPlain))) {
                    const ESourceSwitch eSwitch = SwitchToText(nBlockOffset == 0 && reader.IsAtEof());
                    if (eSwitch == SOURCE_UNREADABLE) {
                        const int nErrno = errno;
                        m_pResults->push_back(CSearchResult{SEARCHRESULT_CANNOT_OPEN, strRelative, 0, 0, {}, nErrno});
                        return;
                    }
                    if (eSwitch == SOURCE_SWITCHED) {
                        // The reader may already hold some of the text.
                        if (bFold)
                            FoldAsciiCapitals(pBlock, m_pFolded.get(), reader.GetEnd());
                        continue;
                    }
                }
            }
        }

        // Pieces are stepped through one by one for their numbers; only those
        // where the prefilter's bytes occur are looked at closely.
        const bool bEof = reader.IsAtEof();
        std::size_t nCandidate = 0;
        bool bCandidateKnown = false;
        while (reader.HasWholePiece()) {
            const std::size_t nPos = reader.GetPos();
            if (!prefilter.IsEmpty() && (!bCandidateKnown || nCandidate < nPos)) {
                const char *pHit = prefilter.Find(pScan + nPos, nHave - nPos);
                nCandidate = pHit ? static_cast<std::size_t>(pHit - pScan) : nHave;
                bCandidateKnown = true;
                // Nothing more in the file: its lines need no counting.
                if (!pHit && bEof)
                    return;
            }
            if (!prefilter.IsEmpty()) {
                // Whole lines before the candidate are counted, not read.
                const std::size_t nLimit = std::min(nCandidate, bEof ? nHave : nHave - SEARCH_LINE_WINDOW + 1);
                const void *pLF = nLimit > nPos ? memrchr(pBlock + nPos, '\n', nLimit - nPos) : nullptr;
                if (pLF) {
                    const std::size_t nSkip = static_cast<std::size_t>(static_cast<const char *>(pLF) - pBlock) + 1;
                    const int nLines = CountShortLines(pBlock + nPos, nSkip - nPos);
                    if (nLines > 0) {
                        reader.Skip(nSkip - nPos, nLines);
                        continue;
                    }
                }
            }
            const std::string_view piece = reader.NextPiece();
            if (prefilter.IsEmpty() || nCandidate < reader.GetPos()) {
                if (IsStopped())
                    return;
                if (!CheckPiece(strRelative, piece, reader.GetLineNumber()))
                    return;
            }
        }
        if (bEof)
            break;
    }
}
