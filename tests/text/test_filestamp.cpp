// File stamps: each way another program can change a file under an open
// document changes the stamp, even when the others stay the same.
#include "support/testutil.h"
#include "text/filestamp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

namespace {

// Gives the file the modification time of the stamp, to take time out of a comparison.
void SetModified(const std::string &strPath, const CFileStamp &stamp)
{
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {static_cast<time_t>(stamp.nModifiedNs / 1000000000),
                                       static_cast<long>(stamp.nModifiedNs % 1000000000)}};
    ASSERT_EQ(::utimensat(AT_FDCWD, strPath.c_str(), times, 0), 0);
}

} // namespace

TEST(FileStamp, EveryKindOfChangeShowsAndNothingElseDoesAndALinkIsStampedByItsTarget)
{
    CTempDir dir;
    const std::string strPath = dir.File("page.html");
    const std::string strLink = dir.File("link.html");
    WriteFileBytes(strPath, "<p>one</p>\r\n");
    ASSERT_EQ(::symlink("page.html", strLink.c_str()), 0);
    const CFileStamp first = FileStampOf(strPath);
    ASSERT_TRUE(first.bExists);
    EXPECT_EQ(first.nSize, 12);
    EXPECT_EQ(FileStampOf(strPath), first);
    EXPECT_EQ(FileStampOf(strLink), first);

    // Rewritten in place with the same size at the same time: only the
    // content changed, which a stamp cannot see; the time tells it normally.
    WriteFileBytes(strPath, "<p>two</p>\r\n");
    SetModified(strPath, first);
    EXPECT_EQ(FileStampOf(strPath), first);
    CFileStamp later = first;
    later.nModifiedNs += 1000000;
    SetModified(strPath, later);
    EXPECT_NE(FileStampOf(strPath), first);
    SetModified(strPath, first);

    // Appended: the size.
    WriteFileBytes(strPath, "<p>two</p>\r\nmore");
    SetModified(strPath, first);
    EXPECT_NE(FileStampOf(strPath), first);
    EXPECT_EQ(FileStampOf(strPath).nSize, 16);
    EXPECT_EQ(FileStampOf(strLink).nSize, 16);

    // A new file renamed over it, of the same size and time: the identity.
    WriteFileBytes(strPath, "<p>one</p>\r\n");
    SetModified(strPath, first);
    const CFileStamp before = FileStampOf(strPath);
    const std::string strNew = dir.File("page.html.new");
    WriteFileBytes(strNew, "<p>one</p>\r\n");
    SetModified(strNew, first);
    ASSERT_EQ(std::rename(strNew.c_str(), strPath.c_str()), 0);
    const CFileStamp renamed = FileStampOf(strPath);
    EXPECT_EQ(renamed.nSize, before.nSize);
    EXPECT_EQ(renamed.nModifiedNs, before.nModifiedNs);
    EXPECT_NE(renamed, before);

    // Deleted, and a path that never was.
    ASSERT_EQ(std::remove(strPath.c_str()), 0);
    EXPECT_FALSE(FileStampOf(strPath).bExists);
    EXPECT_NE(FileStampOf(strPath), renamed);
    EXPECT_FALSE(FileStampOf("").bExists);
    EXPECT_EQ(FileStampOf(dir.File("none")), FileStampOf(strPath));
}
