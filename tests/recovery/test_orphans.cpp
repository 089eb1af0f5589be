// Records left by a process that was killed: found by the next one, restored
// byte for byte, and never taken while their writer still runs.
#include "recovery/docjournal.h"
#include "recovery/recordscan.h"
#include "recovery/recoverymanager.h"
#include "recoverytest.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <deque>
#include <functional>
#include <map>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Ends the process as a crash would, with everything still open.
[[noreturn]] void Die()
{
    ::raise(SIGKILL);
    ::_exit(4);
}

// Serialised lines, to pass a text from a child process to the test.
std::string Pack(const CTextImage &image)
{
    std::string s = std::to_string(image.nLineEndMode) + "\n";
    for (const std::string &line : image.aLines)
        s += std::to_string(line.size()) + ":" + line;
    return s;
}

class Orphans : public ::testing::Test
{
protected:
    std::string Folder() const { return m_dir.File("recovery"); }

    // Runs fnWork in a child process that keeps a recovery manager of its
    // own; fnWork ends by killing the child with SIGKILL (Die).
    void RunAndKill(const std::function<void(const std::shared_ptr<CRecoveryManager> &)> &fnWork)
    {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto pManager = std::make_shared<CRecoveryManager>(Folder());
            std::string strError;
            if (!pManager->Open(strError))
                ::_exit(3);
            fnWork(pManager);
            ::_exit(4);
        }
        int nStatus = 0;
        ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(nStatus) && WTERMSIG(nStatus) == SIGKILL) << nStatus;
    }

    CTempDir m_dir;
};

} // namespace

TEST_F(Orphans, TextTypedBeforeAKillComesBackByteForByte)
{
    const std::string strFile = m_dir.File("doc.txt");
    WriteFileBytes(strFile, SJIS_SAMPLE);
    const std::string strExpected = m_dir.File("expected");
    RunAndKill([&](const std::shared_ptr<CRecoveryManager> &pManager) {
        CCrystalTextBuffer buffer;
        buffer.LoadFromFile(strFile);
        CDocJournal journal(pManager, buffer);
        journal.SetPath(strFile);
        journal.SetBaselineLoaded(StatFileIdentity(strFile), buffer.GetLineEndMode());
        ApplyEveryKindOfEdit(buffer, [] {});
        // What the screen shows; the journal is handed over as it would be
        // while the user types, and given the worker's usual moment.
        WriteFileBytes(strExpected, Pack(ImageOf(buffer)));
        pManager->Flush();
        Die();
    });

    auto aRecords = FindOrphanRecords(Folder());
    ASSERT_EQ(aRecords.size(), 1u);
    const COrphanRecord &record = *aRecords[0];
    EXPECT_EQ(record.Path(), strFile);
    EXPECT_EQ(record.FileState(), RECFILE_SAME);
    EXPECT_FALSE(record.IsDamaged());
    CCrystalTextBuffer restored;
    const CReplayResult result = record.Restore(restored);
    EXPECT_TRUE(result.bRestored && !result.bDamaged);
    EXPECT_EQ(Pack(ImageOf(restored)), ReadFileBytes(strExpected));
    // The size shown is the size of the text as it will be saved.
    std::uint64_t nSize = 0;
    for (int i = 0; i < restored.GetLineCount(); ++i)
        nSize += static_cast<std::uint64_t>(restored.GetLineLength(i)) + (i > 0 ? 2 : 0);
    EXPECT_EQ(record.TextSize(), nSize);
    const std::int64_t nNowMs = static_cast<std::int64_t>(std::time(nullptr)) * 1000;
    EXPECT_TRUE(record.LastChangeMs() <= nNowMs + 1000 && record.LastChangeMs() > nNowMs - 600000) << record.LastChangeMs();

    // Kept for later: the next look finds it again; discarded: gone.
    aRecords[0]->Release();
    aRecords = FindOrphanRecords(Folder());
    ASSERT_EQ(aRecords.size(), 1u);
    aRecords[0]->Discard();
    EXPECT_TRUE(FindOrphanRecords(Folder()).empty());
    EXPECT_TRUE(ListDir(Folder()).empty());
}

TEST_F(Orphans, ARecordSaysWhetherItsFileChangedOrWentAway)
{
    const std::string strSame = m_dir.File("same.txt");
    const std::string strChanged = m_dir.File("changed.txt");
    const std::string strGone = m_dir.File("gone.txt");
    for (const std::string *p : {&strSame, &strChanged, &strGone})
        WriteFileBytes(*p, "text\r\n");
    RunAndKill([&](const std::shared_ptr<CRecoveryManager> &pManager) {
        std::deque<CCrystalTextBuffer> aBuffers;
        std::deque<CDocJournal> aJournals;
        for (const std::string *p : {&strSame, &strChanged, &strGone, static_cast<const std::string *>(nullptr)}) {
            CCrystalTextBuffer &buffer = aBuffers.emplace_back();
            CDocJournal &journal = aJournals.emplace_back(pManager, buffer);
            if (p) {
                buffer.LoadFromFile(*p);
                journal.SetPath(*p);
                journal.SetBaselineLoaded(StatFileIdentity(*p), buffer.GetLineEndMode());
            } else {
                buffer.InitNew();
            }
            Insert(buffer, 0, 0, "\x95\x5C");
        }
        pManager->Flush();
        Die();
    });
    WriteFileBytes(strChanged, "edited elsewhere\r\n");
    ::unlink(strGone.c_str());

    auto aRecords = FindOrphanRecords(Folder());
    ASSERT_EQ(aRecords.size(), 4u);
    std::map<std::string, ERecordFileState> mapStates;
    for (const auto &pRecord : aRecords) {
        mapStates[pRecord->Path()] = pRecord->FileState();
        CCrystalTextBuffer restored;
        EXPECT_TRUE(pRecord->Restore(restored).bRestored);
        EXPECT_EQ(restored.GetLine(0), pRecord->Path().empty() ? "\x95\x5C" : "\x95\x5Ctext");
    }
    EXPECT_EQ(mapStates, (std::map<std::string, ERecordFileState>{{strSame, RECFILE_SAME}, {strChanged, RECFILE_CHANGED},
                                                                {strGone, RECFILE_MISSING}, {"", RECFILE_UNTITLED}}));
}

TEST_F(Orphans, RecordsOfARunningEditorAreNeverTaken)
{
    // A child that writes a record and waits; the test's process is the
    // second editor.
    int aToChild[2];
    int aFromChild[2];
    ASSERT_EQ(::pipe(aToChild), 0);
    ASSERT_EQ(::pipe(aFromChild), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        auto pManager = std::make_shared<CRecoveryManager>(Folder());
        std::string strError;
        pManager->Open(strError);
        CCrystalTextBuffer buffer;
        buffer.InitNew();
        CDocJournal journal(pManager, buffer);
        Insert(buffer, 0, 0, "mine");
        pManager->Flush();
        char ch = 'r';
        (void)!::write(aFromChild[1], &ch, 1);
        (void)!::read(aToChild[0], &ch, 1);
        // Told to look for records itself while the test holds the one it took.
        ch = static_cast<char>('0' + FindOrphanRecords(Folder()).size());
        (void)!::write(aFromChild[1], &ch, 1);
        (void)!::read(aToChild[0], &ch, 1);
        ::_exit(0);
    }
    char ch = 0;
    ASSERT_EQ(::read(aFromChild[0], &ch, 1), 1);
    EXPECT_TRUE(FindOrphanRecords(Folder()).empty());
    ASSERT_EQ(ListDir(Folder()).size(), 1u);

    // A record left by a third editor that ended: the test takes it, and
    // the child, looking now, finds nothing to take.
    RunAndKill([](const std::shared_ptr<CRecoveryManager> &pManager) {
        CCrystalTextBuffer buffer;
        buffer.InitNew();
        CDocJournal journal(pManager, buffer);
        Insert(buffer, 0, 0, "orphan");
        pManager->Flush();
        Die();
    });
    auto aTaken = FindOrphanRecords(Folder());
    ASSERT_EQ(aTaken.size(), 1u);
    ch = 'g';
    ASSERT_EQ(::write(aToChild[1], &ch, 1), 1);
    ASSERT_EQ(::read(aFromChild[0], &ch, 1), 1);
    EXPECT_EQ(ch, '0');

    // Once the first editor has ended, its record is there for the taking.
    ASSERT_EQ(::write(aToChild[1], &ch, 1), 1);
    int nStatus = 0;
    ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
    aTaken.clear();
    EXPECT_EQ(FindOrphanRecords(Folder()).size(), 2u);
    for (int fd : {aToChild[0], aToChild[1], aFromChild[0], aFromChild[1]})
        ::close(fd);
}

TEST_F(Orphans, OldLeftoversGoAndYoungOnesStay)
{
    ASSERT_EQ(::mkdir(Folder().c_str(), 0700), 0);
    const std::string strOldTemp = Folder() + "/1-1-aa.wrj.tmp";
    const std::string strYoungTemp = Folder() + "/1-2-bb.wrj.tmp";
    const std::string strOldBase = Folder() + "/1-3-cc.base";
    const std::string strHeadless = Folder() + "/1-4-dd.wrj";
    for (const std::string *p : {&strOldTemp, &strYoungTemp, &strOldBase, &strHeadless})
        WriteFileBytes(*p, "WRPJRNL1");
    const timespec aOld[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
    for (const std::string *p : {&strOldTemp, &strOldBase, &strHeadless})
        ASSERT_EQ(::utimensat(AT_FDCWD, p->c_str(), aOld, 0), 0);

    EXPECT_TRUE(FindOrphanRecords(Folder()).empty());
    EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"1-2-bb.wrj.tmp"});
}
