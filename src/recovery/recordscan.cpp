#include "recovery/recordscan.h"

#include "recovery/ownerid.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool EndsWith(const std::string &str, std::string_view suffix)
{
    return str.size() > suffix.size() && str.compare(str.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::vector<std::string> FolderEntries(const std::string &strFolder)
{
    std::vector<std::string> aNames;
    DIR *pDir = ::opendir(strFolder.c_str());
    if (!pDir)
        return aNames;
    while (const dirent *pEntry = ::readdir(pDir)) {
        const std::string strName = pEntry->d_name;
        if (strName != "." && strName != "..")
            aNames.push_back(strName);
    }
    ::closedir(pDir);
    return aNames;
}

// Whether the descriptor still is the file the path names: a record that
// its writer replaced or removed between our open and our lock is not it.
bool StillNamed(int fd, const std::string &strPath)
{
    struct stat stFd;
    struct stat stPath;
    return ::fstat(fd, &stFd) == 0 && stFd.st_nlink > 0 && ::stat(strPath.c_str(), &stPath) == 0
           && stFd.st_dev == stPath.st_dev && stFd.st_ino == stPath.st_ino;
}

bool OldEnough(const struct stat &st)
{
    return std::time(nullptr) - st.st_mtime >= LEFTOVER_AGE_SECONDS;
}

// Removes a leftover file nobody holds, if it is old enough.
void RemoveLeftover(const std::string &strPath)
{
    const CFileHandle fd = CFileHandle::Open(strPath, O_RDONLY | O_NOFOLLOW);
    struct stat st;
    if (fd.IsOpen() && TryLockFile(fd.Get()) && StillNamed(fd.Get(), strPath) && ::fstat(fd.Get(), &st) == 0
        && OldEnough(st))
        ::unlink(strPath.c_str());
}

} // namespace

COrphanRecord::COrphanRecord(std::string strFolder, std::string strId, CFileHandle fdJournal, CJournalSummary summary,
                             std::int64_t nFileTimeMs)
    : m_strFolder(std::move(strFolder)), m_strId(std::move(strId)), m_fdJournal(std::move(fdJournal)),
      m_summary(std::move(summary)), m_nFileTimeMs(nFileTimeMs)
{
    const CJournalHeader &header = m_summary.header;
    if (header.strPath.empty()) {
        m_eFileState = RECFILE_UNTITLED;
    } else {
        const CFileIdentity now = StatFileIdentity(header.strPath);
        if (!now.bValid)
            m_eFileState = RECFILE_MISSING;
        else if (header.fileAtBase.bValid && !(now == header.fileAtBase))
            m_eFileState = RECFILE_CHANGED;
        else
            m_eFileState = RECFILE_SAME;
    }
}

std::int64_t COrphanRecord::LastChangeMs() const
{
    if (m_summary.bState && m_summary.state.nTimeMs > 0)
        return m_summary.state.nTimeMs;
    return m_nFileTimeMs;
}

std::uint64_t COrphanRecord::TextSize() const
{
    if (m_summary.bState)
        return m_summary.state.FileSize();
    return m_summary.header.nBase == JBASE_FILE ? m_summary.header.nBaseSize : 0;
}

CReplayResult COrphanRecord::Restore(CCrystalTextBuffer &buffer) const
{
    std::string strData;
    if (!m_fdJournal.IsOpen() || !m_fdJournal.ReadToEndAt(strData, 0)) {
        CReplayResult result;
        result.bDamaged = true;
        return result;
    }
    return ReplayJournal(strData, m_strFolder + "/" + m_strId + ".base", m_summary.header.strPath, buffer);
}

bool COrphanRecord::Discard()
{
    if (!m_fdJournal.IsOpen())
        return true;
    ::unlink((m_strFolder + "/" + m_strId + ".base").c_str());
    const bool bGone = ::unlink((m_strFolder + "/" + m_strId + ".wrj").c_str()) == 0 || errno == ENOENT;
    SyncFolder(m_strFolder);
    m_fdJournal.Close();
    return bGone;
}

void COrphanRecord::Release()
{
    m_fdJournal.Close();
}

std::vector<std::unique_ptr<COrphanRecord>> FindOrphanRecords(const std::string &strFolder)
{
    std::vector<std::unique_ptr<COrphanRecord>> aRecords;
    const std::vector<std::string> aNames = FolderEntries(strFolder);
    for (const std::string &strName : aNames) {
        const std::string strPath = strFolder + "/" + strName;
        if (EndsWith(strName, ".tmp")) {
            RemoveLeftover(strPath);
            continue;
        }
        if (EndsWith(strName, ".base")) {
            const std::string strId = strName.substr(0, strName.size() - 5);
            if (std::find(aNames.begin(), aNames.end(), strId + ".wrj") == aNames.end())
                RemoveLeftover(strPath);
            continue;
        }
        if (!EndsWith(strName, ".wrj"))
            continue;

        const std::string strId = strName.substr(0, strName.size() - 4);
        CFileHandle fd = CFileHandle::Open(strPath, O_RDONLY | O_NOFOLLOW);
        // A record whose lock is held belongs to a running editor.
        if (!fd.IsOpen() || !TryLockFile(fd.Get()) || !StillNamed(fd.Get(), strPath))
            continue;
        std::string strData;
        struct stat st;
        if (!fd.ReadToEnd(strData) || ::fstat(fd.Get(), &st) != 0)
            continue;
        CJournalSummary summary = SummarizeJournal(strData);
        if (!summary.bHeader) {
            // Records appear only complete with their header: this one lost
            // it to the disk, and nothing in it can be put back together.
            if (OldEnough(st)) {
                ::unlink(strPath.c_str());
                ::unlink((strFolder + "/" + strId + ".base").c_str());
            }
            continue;
        }
        if (IsOwnerRunning(summary.header.owner))
            continue;
        const std::int64_t nFileTimeMs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        aRecords.push_back(std::make_unique<COrphanRecord>(strFolder, strId, std::move(fd), std::move(summary), nFileTimeMs));
    }
    std::sort(aRecords.begin(), aRecords.end(),
              [](const auto &a, const auto &b) { return a->LastChangeMs() < b->LastChangeMs(); });
    return aRecords;
}
