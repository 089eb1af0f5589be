// Owned descriptors and folder listings: one owner at a time, closed on every path.
#include "support/testutil.h"
#include "text/filehandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <set>
#include <stdexcept>
#include <unistd.h>

namespace {

int OpenDescriptors()
{
    return static_cast<int>(ListDir("/proc/self/fd").size());
}

} // namespace

TEST(FileHandle, OwnershipMovesAndTheLastOwnerCloses)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f"), "0123456789");
    const int nBefore = OpenDescriptors();
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
        EXPECT_EQ(OpenDescriptors(), nBefore + 1);
        // Assigning over an open handle closes what it held.
        c = CFileHandle::Open(dir.File("f"), O_RDONLY);
        EXPECT_EQ(OpenDescriptors(), nBefore + 1);
    }
    EXPECT_EQ(OpenDescriptors(), nBefore);
    // A failed open leaves nothing open and says why.
    const CFileHandle missing = CFileHandle::Open(dir.File("missing"), O_RDONLY);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(errno, ENOENT);
}

TEST(FileHandle, FolderStreamListsEntriesAndClosesOnEveryPath)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a.txt"), "a");
    WriteFileBytes(dir.File("b.txt"), "b");
    const int nBefore = OpenDescriptors();
    const CFileHandle folder = CFileHandle::Open(dir.Path(), O_RDONLY | O_DIRECTORY);
    ASSERT_TRUE(folder.IsOpen());
    try {
        CFolderStream stream(folder);
        ASSERT_TRUE(stream.IsOpen());
        std::set<std::string> names;
        while (const dirent *pEntry = stream.Next())
            names.insert(pEntry->d_name);
        EXPECT_EQ(names, (std::set<std::string>{".", "..", "a.txt", "b.txt"}));
        // The folder handle stays usable beside the stream.
        EXPECT_TRUE(CFileHandle::OpenAt(folder, "a.txt", O_RDONLY).IsOpen());
        throw std::runtime_error("leaving early");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(OpenDescriptors(), nBefore + 1);  // the folder itself
    const CFileHandle file = CFileHandle::OpenAt(folder, "a.txt", O_RDONLY);
    EXPECT_FALSE(CFolderStream(file).IsOpen());  // a file is no folder
    EXPECT_EQ(OpenDescriptors(), nBefore + 2);
}
