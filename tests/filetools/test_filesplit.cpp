// File split: parts around the size boundaries, the join files (run for
// real), destinations, and the outputs that must never touch the source.
#include "filetools/filesplit.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(FileSplit, AFileThatFitsOnePartIsNotSplit)
{
    CTempDir dir;
    WriteFileBytes(dir.File("exact.txt"), std::string(1440000, 'x'));
    int nParts = -1;
    EXPECT_EQ(SplitFile(dir.File("exact.txt"), std::string(), 1440000, nParts), SPLIT_NOT_NEEDED);
    EXPECT_EQ(nParts, 0);
    EXPECT_EQ(ListDir(dir.Path()).size(), 1u);
}

TEST(FileSplit, JoinBatchFileLines)
{
    EXPECT_EQ(JoinBatchText("name", ".ext", 4), "copy /B name.001 + name.002 name.ext\r\n"
                                                "copy /B name.ext + name.003 name.ext\r\n"
                                                "copy /B name.ext + name.004 name.ext\r\n");
    // Without an extension the joined file is the bare name.
    EXPECT_EQ(JoinBatchText("README", "", 3), "copy /B README.001 + README.002 README\r\n"
                                              "copy /B README + README.003 README\r\n");
    // Names reach cmd.exe in Shift-JIS; one with a blank or a '+' (which copy
    // would take as joining) is quoted.
    EXPECT_EQ(JoinBatchText("表", ".txt", 2), "copy /B \x95\x5c.001 + \x95\x5c.002 \x95\x5c.txt\r\n");
    EXPECT_EQ(JoinBatchText("my file", ".txt", 2),
              "copy /B \"my file.001\" + \"my file.002\" \"my file.txt\"\r\n");
    EXPECT_EQ(JoinBatchText("a+b", "", 2), "copy /B \"a+b.001\" + \"a+b.002\" \"a+b\"\r\n");
}

TEST(FileSplit, TheScriptJoinsNamesThatNeedQuoting)
{
    for (const std::string strName : {"it's a file", "日本語 名前", "-dash", "$(touch pwned)"}) {
        CTempDir dir;
        const std::string strBytes = RandomBytes(720001, 7);
        WriteFileBytes(dir.File(strName + ".dat"), strBytes);
        int nParts = 0;
        ASSERT_EQ(SplitFile(dir.File(strName + ".dat"), dir.File("out"), 720000, nParts), SPLIT_OK) << strName;
        // name.sh run from another folder, as a user would by its path.
        const CToolResult r = RunProgram({dir.File("out/" + strName + ".sh")}, dir.Path());
        EXPECT_EQ(r.nStatus, 0) << r.strErr;
        const std::string strJoined = dir.File("out/" + strName + ".dat");
        EXPECT_EQ(FileExists(strJoined) ? ReadFileBytes(strJoined) : "<not joined>", strBytes) << strName;
        EXPECT_FALSE(FileExists(dir.File("pwned")));
        EXPECT_FALSE(FileExists(dir.File("out/pwned")));
    }
}

TEST(FileSplit, DestinationFolders)
{
    CTempDir dir;
    const std::string strBytes = RandomBytes(1440001, 3);
    WriteFileBytes(dir.File("src.bin"), strBytes);
    int nParts = 0;
    // A missing nested destination is made level by level.
    const std::string strDeep = dir.File("a/b/c");
    ASSERT_EQ(SplitFile(dir.File("src.bin"), strDeep, 1440000, nParts), SPLIT_OK);
    std::string strParts;
    for (int n = 1; n <= nParts; ++n)
        strParts += ReadFileBytes(strDeep + "/" + SplitPartName("src", n));
    EXPECT_EQ(strParts, strBytes);
    EXPECT_EQ(ReadFileBytes(strDeep + "/src.bat"), "copy /B src.001 + src.002 src.bin\r\n");

    // A file where a folder should be.
    WriteFileBytes(dir.File("plain"), "x");
    EXPECT_EQ(SplitFile(dir.File("src.bin"), dir.File("plain/sub"), 1440000, nParts), SPLIT_FOLDER_FAILED);

    // A missing source, and a folder given as the source.
    EXPECT_EQ(SplitFile(dir.File("missing.bin"), std::string(), 1440000, nParts), SPLIT_OPEN_FAILED);
    EXPECT_EQ(SplitFile(dir.File("a"), dir.File("x"), 1440000, nParts), SPLIT_OPEN_FAILED);
}

TEST(FileSplit, NoOutputMayOverwriteTheSource)
{
    // Splitting "run.sh" or "tool.bat" beside itself would replace it with
    // the join file; "data.001" would be its own first part.
    for (const std::string strFile : {"run.sh", "tool.bat", "data.001"}) {
        CTempDir dir;
        const std::string strBytes = RandomBytes(1500000, 5);
        WriteFileBytes(dir.File(strFile), strBytes);
        int nParts = 0;
        EXPECT_EQ(SplitFile(dir.File(strFile), std::string(), 720000, nParts), SPLIT_WRITE_FAILED) << strFile;
        EXPECT_EQ(ReadFileBytes(dir.File(strFile)), strBytes) << strFile;
        EXPECT_EQ(ListDir(dir.Path()).size(), 1u) << strFile;
        // Into another folder it splits as usual.
        EXPECT_EQ(SplitFile(dir.File(strFile), dir.File("elsewhere"), 720000, nParts), SPLIT_OK) << strFile;
    }
}

TEST(FileSplit, APartThatCannotBeWrittenStopsTheSplit)
{
    CTempDir dir;
    WriteFileBytes(dir.File("f.bin"), RandomBytes(2000000, 9));
    // A folder in the place of the second part.
    ASSERT_EQ(::mkdir(dir.File("f.002").c_str(), 0755), 0);
    int nParts = 0;
    EXPECT_EQ(SplitFile(dir.File("f.bin"), std::string(), 720000, nParts), SPLIT_WRITE_FAILED);
    // What was written stays; no join file claims a whole set.
    EXPECT_TRUE(FileExists(dir.File("f.001")));
    EXPECT_FALSE(FileExists(dir.File("f.bat")));
    EXPECT_FALSE(FileExists(dir.File("f.sh")));
}

TEST(FileSplit, CancellingRemovesThePartsOfTheRun)
{
    CTempDir dir;
    WriteFileBytes(dir.File("big.bin"), RandomBytes(3000000, 11));
    std::atomic<bool> bCancel{false};
    std::vector<std::int64_t> aDone;
    CSplitProgress progress;
    progress.pCancel = &bCancel;
    progress.fnProgress = [&](std::int64_t nDone, std::int64_t nTotal) {
        EXPECT_EQ(nTotal, 3000000);
        aDone.push_back(nDone);
        if (aDone.size() == 2)
            bCancel = true;
    };
    int nParts = 0;
    EXPECT_EQ(SplitFile(dir.File("big.bin"), std::string(), 720000, nParts, &progress), SPLIT_CANCELLED);
    EXPECT_EQ(aDone, (std::vector<std::int64_t>{720000, 1440000}));
    EXPECT_EQ(ListDir(dir.Path()), std::vector<std::string>{"big.bin"});
}

TEST(FileSplit, PathParts)
{
    // A path's parts as "folder|name|extension".
    const auto partsOf = [](const std::string &strPath) {
        const CPathParts parts = SplitPathParts(strPath);
        return parts.strFolder + "|" + parts.strName + "|" + parts.strExt;
    };
    EXPECT_EQ(partsOf("/home/u/file.tar.gz"), "/home/u/|file.tar|.gz");
    EXPECT_EQ(partsOf("/home/u.d/.profile"), "/home/u.d/|.profile|");
    EXPECT_EQ(partsOf("bare"), "|bare|");
}
