#include "search/foldersearch.h"

#include "search/filesearch.h"
#include "search/wildcard.h"
#include "text/codec.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
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

} // namespace

std::string FormatResultLine(const CSearchResult &result)
{
    // The messages and the path are UTF-8 here; only the text is already CP932.
    const std::string strMarker = "\x01";
    const std::string strLine = Utf8ToCp932(Compose(result, PrintableResultText(result.strPath), strMarker));
    const std::size_t nAt = strLine.find('\x01');
    if (nAt == std::string::npos)
        return strLine;
    return strLine.substr(0, nAt) + PrintableResultText(result.strText) + strLine.substr(nAt + 1);
}

std::string FormatResultLineUtf8(const CSearchResult &result)
{
    if (!result.strTextUtf8.empty())
        return Compose(result, PrintableResultText(result.strPath), result.strTextUtf8);
    return Compose(result, PrintableResultText(result.strPath), Cp932ToUtf8(PrintableResultText(result.strText)));
}


namespace {

// Files queued ahead of the one whose results go out next: enough to keep
// the workers busy while a folder is listed, few enough that the folders
// they keep open stay far below the limit of open files.
constexpr std::size_t QUEUE_AHEAD = 128;

std::size_t WorkerCount()
{
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
}

} // namespace

struct CFolderSearch::CTask
{
    bool bFile = true;             // else aResults is ready to show (a folder that cannot be opened)
    std::shared_ptr<const CFileHandle> pFolder;
    std::string strName;
    std::string strRelative;
    std::string strProgress;       // status line 1 while the file is searched
    std::vector<CSearchResult> aResults;
    std::exception_ptr pError;     // what stopped the worker in this file
    bool bGone = false;            // removed since its folder was listed
    bool bDone = false;            // under the pool's lock
    bool bAnnounced = false;       // its status lines are out (the walking thread only)
};

// The workers take the files in the order they are queued; the walking
// thread shows a file's results once it and every file before it are done.
class CFolderSearch::CPool
{
public:
    CPool(CFileSearchSetup &setup, std::size_t nWorkers) : m_setup(setup)
    {
        try {
            for (std::size_t i = 0; i < nWorkers; ++i)
                m_aWorkers.emplace_back([this] { Work(); });
        } catch (...) {
            Halt();
            throw;
        }
    }
    ~CPool() { Halt(); }
    CPool(const CPool &) = delete;
    CPool &operator=(const CPool &) = delete;

    void Push(std::unique_ptr<CTask> pTask)
    {
        bool bWake = false;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_aTasks.push_back(std::move(pTask));
            bWake = m_nIdle > 0;
        }
        if (bWake)
            m_cvWork.notify_one();
    }
    // Takes the first task off once it is done. While no more than nAhead
    // are queued it does not wait (null if the first is not done);
    // otherwise fnWait is called with the first task before waiting for it.
    template <class Fn>
    std::unique_ptr<CTask> TakeDone(std::size_t nAhead, Fn fnWait)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_aTasks.empty())
            return nullptr;
        if (!m_aTasks.front()->bDone) {
            if (m_aTasks.size() <= nAhead)
                return nullptr;
            // Only this thread takes tasks off: the first stays where it is.
            CTask &front = *m_aTasks.front();
            lock.unlock();
            fnWait(front);
            lock.lock();
            m_bWaiting = true;
            m_cvDone.wait(lock, [this] { return WaitOver(); });
            m_bWaiting = false;
        }
        std::unique_ptr<CTask> pTask = std::move(m_aTasks.front());
        m_aTasks.pop_front();
        --m_nNext;
        return pTask;
    }

private:
    static constexpr std::size_t BATCH = 16;

    // Whether the walking thread's wait is over: the first task is done, and
    // of the next few each is done or being searched. So it is woken once
    // for a run of small files, and at once when a slow file holds up the rest.
    bool WaitOver() const
    {
        if (!m_aTasks.front()->bDone)
            return false;
        const std::size_t n = std::min(BATCH, m_aTasks.size());
        for (std::size_t i = m_nNext; i < n; ++i) {
            if (!m_aTasks[i]->bDone)
                return false;
        }
        return true;
    }
    // Stops the workers where they are and waits for them.
    void Halt()
    {
        m_setup.bStop = true;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bHalt = true;
        }
        m_cvWork.notify_all();
        for (std::jthread &worker : m_aWorkers)
            worker.join();
        m_aWorkers.clear();
    }
    void Work()
    {
        std::optional<CFileSearch> search;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            ++m_nIdle;
            m_cvWork.wait(lock, [this] { return m_bHalt || m_nNext < m_aTasks.size(); });
            --m_nIdle;
            if (m_bHalt)
                return;
            CTask &task = *m_aTasks[m_nNext++];
            if (task.bDone)
                continue;
            // Taking it may be what the walking thread waits for, if this file is slow.
            if (m_bWaiting && WaitOver())
                m_cvDone.notify_one();
            lock.unlock();
            try {
                // Once cancelled, the files still queued are passed over.
                const bool bCancelled = m_setup.pCancelled && m_setup.pCancelled->load();
                if (!bCancelled && !m_setup.bStop.load()) {
                    if (!search)
                        search.emplace(m_setup);
                    task.bGone = !search->Search(*task.pFolder, task.strName, task.strRelative, task.aResults);
                }
            } catch (...) {
                task.pError = std::current_exception();
            }
            task.pFolder.reset();
            lock.lock();
            task.bDone = true;
            if (m_bWaiting && WaitOver())
                m_cvDone.notify_one();
        }
    }

    CFileSearchSetup &m_setup;
    std::mutex m_mutex;
    std::condition_variable m_cvWork;  // a task queued, or the halt
    std::condition_variable m_cvDone;  // the walking thread's wait is over
    std::deque<std::unique_ptr<CTask>> m_aTasks;
    std::size_t m_nNext = 0;           // the first task no worker has taken
    std::size_t m_nIdle = 0;           // workers waiting for a task
    bool m_bWaiting = false;           // the walking thread waits for a batch
    bool m_bHalt = false;
    std::vector<std::jthread> m_aWorkers;
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

    CFileSearchSetup setup;
    setup.params = m_params;
    setup.pCancelled = m_pCancel ? &m_pCancel->bCancelled : nullptr;
    bool bOk = PrepareFileSearch(setup);
    if (!bOk) {
        Append(CSearchResult{SEARCHRESULT_BAD_REGEX, {}, 0, 0, {}, 0}, false);
    } else {
        // The workers are stopped and gone, and every file and folder
        // closed, before Run returns or throws.
        CPool pool(setup, WorkerCount());
        struct CPoolInUse
        {
            CFolderSearch &search;
            ~CPoolInUse() { search.m_pPool = nullptr; }
        } inUse{*this};
        m_pPool = &pool;
        bOk = SearchFolder(std::string(), nullptr, std::string()) && ShowFinished(0);
    }
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

bool CFolderSearch::SearchFolder(const std::string &strRelative, const std::shared_ptr<const CFileHandle> &pParent,
                                 const std::string &strName)
{
    // Folders are opened relative to their parent, which spares the file
    // system walking the whole path again for every file.
    auto pFolder = std::make_shared<const CFileHandle>(
        pParent ? CFileHandle::OpenAt(*pParent, strName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW)
                : CFileHandle::Open(m_strRoot, O_RDONLY | O_DIRECTORY));
    std::vector<CEntry> aEntries;
    if (!pFolder->IsOpen() || !ListFolder(*pFolder, aEntries)) {
        const int nErrno = errno;
        // A subfolder removed since its parent was listed is no trouble.
        if (pParent && nErrno == ENOENT)
            return true;
        auto pTask = std::make_unique<CTask>();
        pTask->bFile = false;
        pTask->aResults.push_back(
            CSearchResult{SEARCHRESULT_CANNOT_OPEN, strRelative.empty() ? m_strRoot : strRelative, 0, 0, {}, nErrno});
        pTask->bDone = true;
        return Queue(std::move(pTask));
    }
    return SearchEntries(strRelative, pFolder, aEntries);
}

bool CFolderSearch::SearchEntries(const std::string &strRelative, const std::shared_ptr<const CFileHandle> &pFolder,
                                  const std::vector<CEntry> &aEntries)
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
    const std::string strProgress = "'" + m_strTextUtf8 + "' を検索中...(" + m_strRoot + strRelative + ")";
    const int nCount = static_cast<int>(aFiles.size());
    for (int i = 0; i < nCount; ++i) {
        auto pTask = std::make_unique<CTask>();
        pTask->pFolder = pFolder;
        pTask->strName = aFiles[static_cast<std::size_t>(i)]->strName;
        pTask->strRelative = strRelative + pTask->strName;
        pTask->strProgress = strProgress + Printf(" - %d/%d", i + 1, nCount);
        if (!Queue(std::move(pTask)))
            return false;
    }
    if (m_params.bSubFolders) {
        for (const CEntry &entry : aEntries) {
            if (entry.bDirectory && !SearchFolder(strRelative + entry.strName + "/", pFolder, entry.strName))
                return false;
        }
    }
    return true;
}

bool CFolderSearch::Queue(std::unique_ptr<CTask> pTask)
{
    m_pPool->Push(std::move(pTask));
    return ShowFinished(QUEUE_AHEAD);
}

bool CFolderSearch::ShowFinished(std::size_t nAhead)
{
    // The first file not shown yet is the one the user waits for.
    auto Announce = [this](CTask &task) {
        if (!task.bFile || task.bAnnounced)
            return;
        task.bAnnounced = true;
        m_sink.OnStatus(1, task.strProgress);
        m_sink.OnStatus(2, task.strRelative);
    };
    while (std::unique_ptr<CTask> pTask = m_pPool->TakeDone(nAhead, Announce)) {
        Announce(*pTask);
        if (!Show(*pTask))
            return false;
    }
    return true;
}

bool CFolderSearch::Show(CTask &task)
{
    if (task.pError)
        std::rethrow_exception(task.pError);
    const std::atomic<bool> *pCancelled = m_pCancel ? &m_pCancel->bCancelled : nullptr;
    for (const CSearchResult &result : task.aResults) {
        if (result.nKind == SEARCHRESULT_CANNOT_OPEN) {
            Append(result, false);
            continue;
        }
        // A cancel shows no more lines of the file.
        if (pCancelled && pCancelled->load())
            break;
        if (!Append(result, true)) {
            Append(CSearchResult{SEARCHRESULT_TOO_MANY, {}, 0, 0, {}, 0}, false);
            return false;
        }
        ++m_nHits;
    }
    if (!task.bFile)
        return true;
    if (!task.bGone)
        ++m_nFiles;
    return !TestCancelEvent();
}
