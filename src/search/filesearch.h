// One file of a folder search: read through CSearchLineReader in the text
// the editor makes of it, its matching lines collected in the order found.
// The folder search runs one CFileSearch on each of its worker threads; what
// they share is set up once before and only read while they run.
#pragma once

#include "search/foldersearch.h"
#include "search/linereader.h"
#include "search/plainsearch.h"
#include "search/regex.h"
#include "text/extrachars.h"
#include "text/filecode.h"
#include "text/filehandle.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct CFileSearchSetup
{
    FolderSearchParams params;
    std::string strNeedle;   // the plain text as compared (lower-cased when ignoring case)
    CByteFinder prefilter;   // bytes every matching line holds, as they appear in the scanned block
    CRegexPtr pPattern;      // the compiled expression, or null for a plain text
    const std::atomic<bool> *pCancelled = nullptr;  // the user's cancel, if there is one
    // Set when the search ends for another reason (too many results, an
    // error): the workers stop where they are.
    std::atomic<bool> bStop{false};
};

class CFileSearch
{
public:
    explicit CFileSearch(const CFileSearchSetup &setup);
    ~CFileSearch();
    CFileSearch(const CFileSearch &) = delete;
    CFileSearch &operator=(const CFileSearch &) = delete;

    // Searches the file strName of the folder and appends its matching lines
    // to aResults, or a "cannot open" line. It stops early when cancelled or
    // stopped, and once the lines of this file alone reach the result limit:
    // the search shows no line after them. False when the file is gone
    // (removed since its folder was listed): there is nothing to report.
    bool Search(const CFileHandle &folder, const std::string &strName, const std::string &strRelative,
                std::vector<CSearchResult> &aResults);

private:
    enum ESourceSwitch
    {
        SOURCE_KEPT,        // Shift-JIS: the file's bytes are the text
        SOURCE_SWITCHED,    // the reader goes on in the text the file decodes to
        SOURCE_UNREADABLE,  // a read error
    };
    bool IsStopped() const;
    void SearchBlocks(const std::string &strRelative);
    // For a file that its start does not show to be Shift-JIS: the whole of
    // it decides (bWholeInBlock: it is all in the reader's block).
    ESourceSwitch SwitchToText(bool bWholeInBlock);
    // False once the file's lines have reached the result limit.
    bool CheckPiece(const std::string &strRelative, std::string_view piece, int nLine);

    const CFileSearchSetup &m_setup;
    std::vector<CSearchResult> *m_pResults = nullptr;
    int m_nBytes = 0;              // bytes of this file's results
    CRegexContext m_ctx;
    RegexRegisters m_regs;
    CSearchLineReader m_reader;    // the file being searched
    // The reader's block with every ASCII capital lower-cased, for the
    // prefilter when case is ignored.
    std::unique_ptr<char[]> m_pFolded;
    std::string m_strLine;         // a piece as compared
    std::string m_strWhole;        // a file read whole to find its code
    std::string m_strText;         // an EUC-JP or JIS file in Shift-JIS
    // The table of extra characters of the file being searched, when it is
    // not Shift-JIS: the UTF-8 decoder's, or m_extra for EUC-JP and JIS.
    std::shared_ptr<CUtf8StreamDecoder> m_pDecoder;
    CExtraChars m_extra;
    const CExtraChars *m_pFileExtra = nullptr;
};

// Compiles the expression or prepares the plain text of setup.params, and
// the prefilter. False when the expression does not compile.
bool PrepareFileSearch(CFileSearchSetup &setup);

// The text with control bytes shown as spaces, so that a result line stays one line.
std::string PrintableResultText(std::string_view text);
