// Owned descriptors and folder listings: one owner at a time, closed on every path.
#include "support/testutil.h"
#include "text/filehandle.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace {

void IgnoreSignal(int) {}

// Interrupts a thread with SIGUSR1, whose handler asks for no restart, so
// that a read or write blocked in it fails with EINTR.
class CInterrupter
{
public:
    explicit CInterrupter(pthread_t target) : m_target(target)
    {
        struct sigaction action = {};
        action.sa_handler = IgnoreSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGUSR1, &action, &m_old);
    }
    ~CInterrupter() { sigaction(SIGUSR1, &m_old, nullptr); }
    CInterrupter(const CInterrupter &) = delete;
    CInterrupter &operator=(const CInterrupter &) = delete;

    // A burst of signals while the target waits.
    void Burst() const
    {
        for (int i = 0; i < 20; ++i) {
            pthread_kill(m_target, SIGUSR1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

private:
    pthread_t m_target;
    struct sigaction m_old = {};
};

} // namespace

TEST(FileHandle, OwnershipMovesAndTheLastOwnerCloses)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), "0123456789");
    const int nBefore = OpenDescriptorCount();
    {
        CFileHandle a = CFileHandle::Open(dir.File("f"), O_RDONLY);
        ASSERT_TRUE(a.IsOpen());
        EXPECT_NE(::fcntl(a.Get(), F_GETFD) & FD_CLOEXEC, 0);  // never handed to child processes
        CFileHandle b(std::move(a));
        EXPECT_FALSE(a.IsOpen());
        CFileHandle c;
        c = std::move(b);
        c = std::move(c);
        ASSERT_TRUE(c.IsOpen());
        char buf[16];
        EXPECT_EQ(c.ReadFully(buf, sizeof buf), 10);
        EXPECT_EQ(OpenDescriptorCount(), nBefore + 1);
        // Assigning over an open handle closes what it held.
        c = CFileHandle::Open(dir.File("f"), O_RDONLY);
        EXPECT_EQ(OpenDescriptorCount(), nBefore + 1);
    }
    EXPECT_EQ(OpenDescriptorCount(), nBefore);
    // A failed open leaves nothing open and says why.
    const CFileHandle missing = CFileHandle::Open(dir.File("missing"), O_RDONLY);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(errno, ENOENT);
}

TEST(FileHandle, ReadsAndWritesGoOnAfterSignalsAndShortTransfers)
{
    int aPipe[2];
    ASSERT_EQ(::pipe2(aPipe, O_CLOEXEC), 0);
    CFileHandle in(aPipe[0]);
    CFileHandle out(aPipe[1]);
    const CInterrupter interrupter(pthread_self());

    // The reader waits for bytes that come in pieces, between signals.
    std::thread writer([&] {
        interrupter.Burst();
        out.WriteFully("abc", 3);
        interrupter.Burst();
        out.WriteFully("defgh", 5);
    });
    char buf[8];
    EXPECT_EQ(in.ReadFully(buf, sizeof buf), 8);
    writer.join();
    EXPECT_EQ(std::string(buf, 8), "abcdefgh");

    // The writer fills the pipe and waits for room, between signals; the
    // pipe takes part of each write. The reader takes all up to the end.
    const std::string strBig(1 << 20, 'x');
    std::string strGot = "old";
    bool bRead = false;
    std::thread reader([&] {
        interrupter.Burst();
        bRead = in.ReadToEnd(strGot);
    });
    EXPECT_TRUE(out.WriteFully(strBig.data(), strBig.size()));
    out.Close();
    reader.join();
    EXPECT_TRUE(bRead);
    EXPECT_EQ(strGot, strBig);
}

TEST(FileHandle, PositionedTransfersLeaveThePositionAlone)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), "0123456789");
    const CFileHandle file = CFileHandle::Open(dir.File("f"), O_RDWR);
    ASSERT_TRUE(file.IsOpen());
    char buf[4];
    ASSERT_EQ(file.Read(buf, 2), 2);
    EXPECT_TRUE(file.WriteFullyAt("AB", 2, 5));
    // Past the end the file grows, with a hole before.
    EXPECT_TRUE(file.WriteFullyAt("Z", 1, 12));
    EXPECT_EQ(file.ReadFullyAt(buf, 4, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "4AB7");
    // Short at the end of the file.
    EXPECT_EQ(file.ReadFullyAt(buf, 4, 11), 2);
    EXPECT_EQ(std::string(buf, 2), std::string("\0Z", 2));
    std::string strTail;
    EXPECT_TRUE(file.ReadToEndAt(strTail, 8));
    EXPECT_EQ(strTail, std::string("89\0\0Z", 5));
    // The sequential reads go on where they stopped.
    std::string strRest;
    EXPECT_TRUE(file.ReadToEnd(strRest));
    EXPECT_EQ(strRest, std::string("234AB789\0\0Z", 11));
}

TEST(FileHandle, FailuresSayWhyAndLeaveNothingHalfRead)
{
    const CFileHandle full = CFileHandle::Open("/dev/full", O_WRONLY);
    ASSERT_TRUE(full.IsOpen());
    errno = 0;
    EXPECT_FALSE(full.WriteFully("x", 1));
    EXPECT_EQ(errno, ENOSPC);

    CTempDir dir;
    const CFileHandle folder = CFileHandle::Open(dir.Path(), O_RDONLY | O_DIRECTORY);
    std::string strData = "old";
    EXPECT_FALSE(folder.ReadToEnd(strData));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_TRUE(strData.empty());
    char c;
    EXPECT_EQ(folder.ReadFullyAt(&c, 1, 0), -1);
    EXPECT_EQ(errno, EISDIR);
    const CFileHandle closed;
    EXPECT_FALSE(closed.WriteFullyAt("x", 1, 0));
    EXPECT_EQ(errno, EBADF);
}
