#include "search/foldersearch.h"

#include "search/linereader.h"
#include "text/filecode.h"
#include "search/plainsearch.h"
#include "search/regex.h"
#include "text/codec.h"
#include "text/doctext.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Printf(const char *pszFormat, int n1, int n2 = 0)
{
    char sz[160];
    std::snprintf(sz, sizeof sz, pszFormat, n1, n2);
    return sz;
}

// Control bytes would break a result into several lines; they are never
// bytes of a double-byte character, so each can be replaced on its own.
std::string Printable(std::string_view text)
{
    std::string s(text);
    for (char &ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            ch = ' ';
    }
    return s;
}

// The line with the path and the messages in UTF-8 and the text as given.
std::string Compose(const CSearchResult &r, const std::string &strPath, const std::string &strText)
{
    switch (r.nKind) {
    case SEARCHRESULT_MATCH:
        return strPath + "(" + std::to_string(r.nLine) + "): " + strText;
    case SEARCHRESULT_REGEX_MATCH:
        return strPath + "(" + std::to_string(r.nLine) + "): > " + strText;
    case SEARCHRESULT_CANNOT_OPEN:
        return "（'" + strPath + "' を開けません。）";
    case SEARCHRESULT_TOO_MANY:
        return "検索総数が多いので中断します...";
    case SEARCHRESULT_BAD_REGEX:
        return "正規表現のコンパイルに失敗しました。処理を中断します・・・";
    case SEARCHRESULT_SUMMARY:
        return Printf("%d 個、検索されました。(%dファイル中)", r.nLine, r.nFiles);
    }
    return std::string();
}

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

std::string FormatResultLine(const CSearchResult &result)
{
    // The messages and the path are UTF-8 here; only the text is already CP932.
    const std::string strMarker = "\x01";
    const std::string strLine = Utf8ToCp932(Compose(result, Printable(result.strPath), strMarker));
    const std::size_t nAt = strLine.find('\x01');
    if (nAt == std::string::npos)
        return strLine;
    return strLine.substr(0, nAt) + Printable(result.strText) + strLine.substr(nAt + 1);
}

std::string FormatResultLineUtf8(const CSearchResult &result)
{
    if (!result.strTextUtf8.empty())
        return Compose(result, Printable(result.strPath), result.strTextUtf8);
    return Compose(result, Printable(result.strPath), Cp932ToUtf8(Printable(result.strText)));
}

struct CFolderSearch::CRegexState
{
    CRegexPtr pPattern;
    CRegexContext ctx;
    RegexRegisters regs;
};

CFolderSearch::CFolderSearch(const FolderSearchParams &params, CFolderSearchSink &sink, CSearchCancel *pCancel)
    : m_params(params), m_sink(sink), m_pCancel(pCancel)
{
}

CFolderSearch::~CFolderSearch() = default;

bool CFolderSearch::Append(const CSearchResult &result, bool bLimited)
{
    const int nLength = static_cast<int>(FormatResultLine(result).size()) + 2;
    if (bLimited && m_nBytes >= FOLDER_SEARCH_RESULT_LIMIT)
        return false;
    m_nBytes += nLength;
    m_sink.OnResult(result);
    return true;
}

bool CFolderSearch::TestCancelEvent()
{
    if (!m_pCancel || !m_pCancel->event.Wait())
        return false;
    m_bCancelled = true;
    m_sink.OnStatus(1, "キャンセルされました。");
    return true;
}

bool CFolderSearch::Run()
{
    if (m_params.strText.empty() || m_params.strFolder.empty())
        return false;
    m_strRoot = m_params.strFolder;
    if (m_strRoot.back() != '/')
        m_strRoot += '/';
    m_strTextUtf8 = Cp932ToUtf8(m_params.strText);
    m_sink.OnStatus(1, "'" + m_strTextUtf8 + "' を検索中...(" + m_strRoot + ")");
    m_sink.OnStatus(2, "ファイルリスト作成中...");

    std::size_t nStart = 0;
    const std::string &strPatterns = m_params.strPatterns;
    while (nStart <= strPatterns.size()) {
        std::size_t nEnd = strPatterns.find(';', nStart);
        if (nEnd == std::string::npos)
            nEnd = strPatterns.size();
        std::string_view part(strPatterns.data() + nStart, nEnd - nStart);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ')
            part.remove_suffix(1);
        if (!part.empty())
            m_aPatterns.emplace_back(part);
        nStart = nEnd + 1;
    }
    if (m_aPatterns.empty())
        m_aPatterns.emplace_back("*");

    bool bOk = true;
    std::string strPrefilter;
    if (m_params.bRegex) {
        // The expression is compiled once: a compiled pattern is read-only
        // and the matching state lives in the context.
        m_pRegex = std::make_unique<CRegexState>();
        m_pRegex->pPattern.reset(RegexCompile(m_params.strText.c_str()));
        if (m_pCancel)
            m_pRegex->ctx.SetCancelFlag(&m_pCancel->bCancelled);
        if (!m_pRegex->pPattern) {
            Append(CSearchResult{SEARCHRESULT_BAD_REGEX, {}, 0, 0, {}, 0}, false);
            bOk = false;
        } else {
            strPrefilter = RegexRequiredText(m_pRegex->pPattern.get(), true);
        }
    } else {
        m_strNeedle = m_params.strText;
        if (m_params.bIgnoreCase)
            LowerCaseSingleBytes(m_strNeedle);
        strPrefilter = m_strNeedle;
    }
    m_prefilter = CByteFinder(m_params.bIgnoreCase ? FoldAsciiCapitals(strPrefilter) : strPrefilter);

    if (bOk)
        bOk = SearchFolder(std::string(), nullptr, std::string());
    const CSearchResult summary{SEARCHRESULT_SUMMARY, {}, m_nHits, m_nFiles, {}, 0};
    if (!m_bCancelled)
        m_sink.OnStatus(1, FormatResultLineUtf8(summary));
    Append(summary, false);
    return bOk;
}

bool CFolderSearch::ListFolder(const CFileHandle &folder, std::vector<CEntry> &aEntries) const
{
    CFolderStream stream(folder);
    if (!stream.IsOpen())
        return false;
    while (const dirent *pEntry = stream.Next()) {
        const char *pszName = pEntry->d_name;
        // Dot names are hidden here ("." and ".." among them).
        if (pszName[0] == '.')
            continue;
        unsigned char nType = pEntry->d_type;
        if (nType == DT_LNK || nType == DT_UNKNOWN) {
            // A link to a file is searched; a link to a folder is not entered,
            // so that links can never make the walk go round in circles.
            struct stat st;
            if (::fstatat(folder.Get(), pszName, &st, nType == DT_LNK ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            nType = S_ISREG(st.st_mode) ? DT_REG : (S_ISDIR(st.st_mode) && pEntry->d_type != DT_LNK) ? DT_DIR : DT_UNKNOWN;
        }
        // Devices, pipes and sockets are not files to search.
        if (nType == DT_REG || nType == DT_DIR)
            aEntries.push_back(CEntry{pszName, nType == DT_DIR});
    }
    std::sort(aEntries.begin(), aEntries.end(),
              [](const CEntry &a, const CEntry &b) { return a.strName < b.strName; });
    return true;
}

bool CFolderSearch::SearchFolder(const std::string &strRelative, const CFileHandle *pParent, const std::string &strName)
{
    // Folders are opened relative to their parent, which spares the file
    // system walking the whole path again for every file.
    const CFileHandle folder = pParent ? CFileHandle::OpenAt(*pParent, strName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW)
                                       : CFileHandle::Open(m_strRoot, O_RDONLY | O_DIRECTORY);
    std::vector<CEntry> aEntries;
    if (!folder.IsOpen() || !ListFolder(folder, aEntries)) {
        const int nErrno = errno;
        Append(CSearchResult{SEARCHRESULT_CANNOT_OPEN, strRelative.empty() ? m_strRoot : strRelative, 0, 0, {}, nErrno},
               false);
        return true;
    }
    return SearchEntries(strRelative, folder, aEntries);
}

bool CFolderSearch::SearchEntries(const std::string &strRelative, const CFileHandle &folder, const std::vector<CEntry> &aEntries)
{
    // Files in the order of the patterns; a file that several patterns
    // match is searched once, for the first of them.
    std::vector<const CEntry *> aFiles;
    std::vector<bool> abTaken(aEntries.size(), false);
    for (const std::string &strPattern : m_aPatterns) {
        for (std::size_t i = 0; i < aEntries.size(); ++i) {
            if (!aEntries[i].bDirectory && !abTaken[i] && MatchWildcard(strPattern, aEntries[i].strName)) {
                abTaken[i] = true;
                aFiles.push_back(&aEntries[i]);
            }
        }
        if (TestCancelEvent())
            return false;
    }
    const std::string strFolder = m_strRoot + strRelative;
    const int nCount = static_cast<int>(aFiles.size());
    for (int i = 0; i < nCount; ++i) {
        m_sink.OnStatus(1, "'" + m_strTextUtf8 + "' を検索中...(" + strFolder + ")" + Printf(" - %d/%d", i + 1, nCount));
        const std::string &strName = aFiles[static_cast<std::size_t>(i)]->strName;
        if (!SearchFile(strRelative + strName, folder, strName))
            return false;
        ++m_nFiles;
        if (TestCancelEvent())
            return false;
    }
    if (m_params.bSubFolders) {
        for (const CEntry &entry : aEntries) {
            if (entry.bDirectory && !SearchFolder(strRelative + entry.strName + "/", &folder, entry.strName))
                return false;
        }
    }
    return true;
}

bool CFolderSearch::CheckPiece(const std::string &strRelative, std::string_view piece, int nLine)
{
    if (piece.empty())
        return true;
    // Characters beyond Shift-JIS in what is looked for: only a file with a
    // table can hold them.
    if (!m_params.extra.IsEmpty() && !m_pFileExtra)
        return true;
    std::string_view text = piece;
    if (m_params.bIgnoreCase) {
        m_strLine.assign(piece);
        LowerCaseSingleBytes(m_strLine);
        text = m_strLine;
    }
    CSearchResult result;
    result.strPath = strRelative;
    result.nLine = nLine;
    if (m_pRegex) {
        RegexRegisters &regs = m_pRegex->regs;
        // The line is lower-cased for ignoring case, the expression is not:
        // its capitals must match without regard to case too.
        if (!RegexExecute(m_pRegex->pPattern.get(), text.data(), static_cast<int>(text.size()), 0, regs,
                          !m_params.bIgnoreCase, &m_pRegex->ctx))
            return true;
        result.nKind = SEARCHRESULT_REGEX_MATCH;
        result.strText.assign(piece.substr(static_cast<std::size_t>(regs.nStart[0]),
                                           static_cast<std::size_t>(regs.nEnd[0] - regs.nStart[0])));
    } else {
        if (FindPlainText(text, m_strNeedle, 0, static_cast<int>(text.size()), false) < 0)
            return true;
        result.nKind = SEARCHRESULT_MATCH;
        result.strText.assign(piece);
    }
    if (m_pFileExtra && FindExtraChar(result.strText, *m_pFileExtra) != 0)
        result.strTextUtf8 = DocTextToUtf8(Printable(result.strText), m_pFileExtra);
    if (!Append(result, true)) {
        Append(CSearchResult{SEARCHRESULT_TOO_MANY, {}, 0, 0, {}, 0}, false);
        return false;
    }
    ++m_nHits;
    return true;
}

bool CFolderSearch::SearchFile(const std::string &strRelative, const CFileHandle &folder, const std::string &strName)
{
    m_sink.OnStatus(2, strRelative);
    if (!m_reader.OpenAt(folder, strName)) {
        const int nErrno = errno;
        Append(CSearchResult{SEARCHRESULT_CANNOT_OPEN, strRelative, 0, 0, {}, nErrno}, false);
        return true;
    }
    // The file is closed however the search of it ends.
    struct CCloseReader
    {
        CFolderSearch &search;
        ~CCloseReader()
        {
            search.m_reader.Close();
            // A large file read whole gives its memory back at once.
            for (std::string *p : {&search.m_strWhole, &search.m_strText}) {
                p->clear();
                if (p->capacity() > (std::size_t(1) << 20))
                    p->shrink_to_fit();
            }
        }
    } closer{*this};
    m_pDecoder.reset();
    m_pFileExtra = nullptr;
    return SearchBlocks(strRelative);
}

CFolderSearch::ESourceSwitch CFolderSearch::SwitchToText(bool bWholeInBlock)
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
    m_extra = m_params.extra;
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
        pDecoder->SeedExtra(m_params.extra);
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

bool CFolderSearch::SearchBlocks(const std::string &strRelative)
{
    CSearchLineReader &reader = m_reader;
    const std::atomic<bool> *pCancelled = m_pCancel ? &m_pCancel->bCancelled : nullptr;
    const bool bFold = m_params.bIgnoreCase && !m_prefilter.IsEmpty();
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
    while (!(pCancelled && pCancelled->load(std::memory_order_relaxed))) {
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
                        Append(CSearchResult{SEARCHRESULT_CANNOT_OPEN, strRelative, 0, 0, {}, nErrno}, false);
                        return true;
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
            if (!m_prefilter.IsEmpty() && (!bCandidateKnown || nCandidate < nPos)) {
                const char *pHit = m_prefilter.Find(pScan + nPos, nHave - nPos);
                nCandidate = pHit ? static_cast<std::size_t>(pHit - pScan) : nHave;
                bCandidateKnown = true;
                // Nothing more in the file: its lines need no counting.
                if (!pHit && bEof)
                    return true;
            }
            if (!m_prefilter.IsEmpty()) {
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
            if (m_prefilter.IsEmpty() || nCandidate < reader.GetPos()) {
                if (pCancelled && pCancelled->load(std::memory_order_relaxed))
                    return true;
                if (!CheckPiece(strRelative, piece, reader.GetLineNumber()))
                    return false;
            }
        }
        if (bEof)
            break;
    }
    return true;
}
