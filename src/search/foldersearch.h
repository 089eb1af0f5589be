// The folder search: every file of a folder (and, if asked, of its
// subfolders) whose name matches one of a list of wildcard patterns is read
// line by line, the way CSearchLineReader reads it, and each line holding the
// text (or matching the expression) becomes one result. A file is searched in
// the Shift-JIS text the editor makes of it (a UTF-8, EUC-JP or JIS file
// converted), so its line numbers and result lines are what the editor shows. A file with a NUL
// byte in its first block is taken for binary and shows no lines. The search
// runs on a thread of its caller's, which walks the folders while worker
// threads of its own search the files; the results come out in the order of
// the walk, on the caller's thread, and reach the user interface only
// through the sink.
#pragma once

#include "platform/searchevent.h"
#include "text/extrachars.h"
#include "text/filehandle.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The results stop when they hold this many bytes (each line counting its
// CP932 bytes and a CR LF).
inline constexpr int FOLDER_SEARCH_RESULT_LIMIT = 20000;

struct FolderSearchParams
{
    std::string strFolder;    // the folder to search (UTF-8)
    std::string strText;      // the text or expression (CP932)
    std::string strPatterns;  // wildcard patterns separated by ';' (UTF-8)
    bool bIgnoreCase = false;
    bool bSubFolders = false;
    bool bRegex = false;
    // The codes the text's characters beyond Shift-JIS took, if it has any:
    // every file in another code starts its table with them, so they are
    // the same codes in each; a Shift-JIS file holds none of them.
    CExtraChars extra{};
    // The forms of dual-form characters (～ or 〜 ...) the text was written
    // with (DualFormsIn): in a UTF-8 file the shared code stands for them, so
    // that each form finds only itself, as in a document.
    unsigned nDualForms = 0;
};

enum ESearchResultKind
{
    SEARCHRESULT_MATCH,        // "%s(%d): %s"
    SEARCHRESULT_REGEX_MATCH,  // "%s(%d): > %s"
    SEARCHRESULT_CANNOT_OPEN,  // "（'%s' を開けません。）"
    SEARCHRESULT_TOO_MANY,     // "検索総数が多いので中断します..."
    SEARCHRESULT_BAD_REGEX,    // "正規表現のコンパイルに失敗しました。処理を中断します・・・"
    SEARCHRESULT_SUMMARY,      // "%d 個、検索されました。(%dファイル中)"
};

struct CSearchResult
{
    ESearchResultKind nKind = SEARCHRESULT_MATCH;
    std::string strPath;  // relative to the searched folder, '/' between names (UTF-8)
    int nLine = 0;        // the 1-based line; for the summary, the number of matching lines
    int nFiles = 0;       // for the summary, the number of files searched
    std::string strText;  // the line, or the matched bytes (CP932)
    int nErrno = 0;       // why a file or folder could not be opened
    // The text as UTF-8 when it holds characters of its file's table of
    // extra characters (which CP932 has not); else empty.
    std::string strTextUtf8{};
};

// The result line in the program's bytes (CP932): what wrenpad-tool grep
// prints and what the result limit counts.
std::string FormatResultLine(const CSearchResult &result);
// The same line for the screen (UTF-8): the path as the file system has it.
// Control bytes of the text show as spaces, so a line stays one line.
std::string FormatResultLineUtf8(const CSearchResult &result);

class CFolderSearchSink
{
public:
    virtual ~CFolderSearchSink() = default;
    // Both are called on the searching thread.
    virtual void OnResult(const CSearchResult &result) = 0;
    // Status line 1 (what is searched) or 2 (the file being read), UTF-8.
    virtual void OnStatus(int nLine, const std::string &strText)
    {
        (void)nLine;
        (void)strText;
    }
};

class CFolderSearch
{
public:
    CFolderSearch(const FolderSearchParams &params, CFolderSearchSink &sink, CSearchCancel *pCancel = nullptr);
    ~CFolderSearch();
    CFolderSearch(const CFolderSearch &) = delete;
    CFolderSearch &operator=(const CFolderSearch &) = delete;

    // Searches and ends with the summary line. False when the search ended
    // early (cancelled, too many results, a bad expression) or had nothing
    // to look for (no text or no folder: then nothing is reported).
    bool Run();

    int GetHitCount() const { return m_nHits; }
    int GetFileCount() const { return m_nFiles; }
    bool WasCancelled() const { return m_bCancelled; }

private:
    struct CEntry
    {
        std::string strName;
        bool bDirectory = false;
    };
    struct CTask;
    class CPool;

    bool Append(const CSearchResult &result, bool bLimited);
    bool TestCancelEvent();
    // Each returns false when the whole search must stop (cancelled, too
    // many results). pParent is null for the root folder.
    bool SearchFolder(const std::string &strRelative, const std::shared_ptr<const CFileHandle> &pParent,
                      const std::string &strName);
    bool SearchEntries(const std::string &strRelative, const std::shared_ptr<const CFileHandle> &pFolder,
                       const std::vector<CEntry> &aEntries);
    bool ListFolder(const CFileHandle &folder, std::vector<CEntry> &aEntries) const;
    // Hands a file (or a result ready to show) to the workers, then shows
    // what they have finished.
    bool Queue(std::unique_ptr<CTask> pTask);
    // Shows the results of finished files in the order of the walk, waiting
    // for them while more than nAhead are queued.
    bool ShowFinished(std::size_t nAhead);
    bool Show(CTask &task);

    FolderSearchParams m_params;
    CFolderSearchSink &m_sink;
    CSearchCancel *m_pCancel;
    std::string m_strRoot;         // the folder, ending in '/'
    std::string m_strTextUtf8;     // for the status lines
    std::vector<std::string> m_aPatterns;
    CPool *m_pPool = nullptr;      // while Run runs
    int m_nBytes = 0;              // bytes of the results so far
    int m_nHits = 0;
    int m_nFiles = 0;
    bool m_bCancelled = false;
};
