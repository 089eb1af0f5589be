// The folder search's worker threads: results in the order of the walk
// however the files finish, a cancel that ends every thread, and files that
// disappear while the search runs.
#include "search/filesearch.h"
#include "search/foldersearch.h"
#include "search/searchsink.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fcntl.h>

namespace fs = std::filesystem;

namespace {

// Three levels of folders, each with many files matched by two patterns;
// every seventh file is large, so that later small files are done first.
// Every file holds two hits naming itself.
class FolderSearchThreads : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *pszFolder : {"", "a/", "a/b/", "c/"}) {
            for (int i = 0; i < 30; ++i) {
                const std::string strName = std::string(pszFolder) + (i % 2 ? "f" : "g") + std::to_string(100 + i)
                                            + (i % 3 ? ".txt" : ".htm");
                std::string strFiller;
                if (i % 7 == 3) {
                    for (int k = 0; k < 20000; ++k)
                        strFiller += "filler line of a large file\r\n";
                }
                WriteFiles(m_dir.Path(), {{strName, "hit " + strName + "\r\nnone\r\n" + strFiller + "hit again\r\n"}});
            }
        }
        // The order of the walk: a folder's files, the patterns in turn and
        // the names sorted, then its subfolders.
        for (const char *pszFolder : {"", "a/", "a/b/", "c/"}) {
            for (const char *pszType : {".htm", ".txt"}) {
                std::vector<std::string> aNames;
                for (const fs::directory_entry &entry : fs::directory_iterator(m_dir.File(pszFolder))) {
                    if (entry.path().extension() == pszType)
                        aNames.push_back(pszFolder + entry.path().filename().string());
                }
                std::sort(aNames.begin(), aNames.end());
                for (const std::string &strName : aNames) {
                    m_aFiles.push_back(strName);
                    const int nLast = ReadFileBytes(m_dir.File(strName)).size() > 1000 ? 20003 : 3;
                    m_aExpected.push_back(strName + "(1): hit " + strName);
                    m_aExpected.push_back(strName + "(" + std::to_string(nLast) + "): hit again");
                }
            }
        }
    }

    CTempDir m_dir;
    std::vector<std::string> m_aFiles;     // in the order of the walk
    std::vector<std::string> m_aExpected;  // every result line in order, without the summary
};

std::size_t Count(const std::string &strFolder)
{
    return ListDir(strFolder).size();
}

std::string Summary(std::size_t nHits, std::size_t nFiles)
{
    return std::to_string(nHits) + " 個、検索されました。(" + std::to_string(nFiles) + "ファイル中)";
}

} // namespace

TEST_F(FolderSearchThreads, ResultsComeInTheOrderOfTheWalk)
{
    // An expression shows the bytes it matched.
    std::vector<std::string> aRegexExpected;
    for (const std::string &strLine : m_aExpected)
        aRegexExpected.push_back(strLine.substr(0, strLine.find("): ")) + "): > hit");
    // Again and again, as the workers may finish in another order each time.
    for (int nRun = 0; nRun < 4; ++nRun) {
        for (bool bRegex : {false, true}) {
            FolderSearchParams params{m_dir.Path(), bRegex ? "h[i]t" : "hit", "*.htm;*.txt", false, true, bRegex};
            CLineCollector sink;
            CFolderSearch search(params, sink);
            EXPECT_TRUE(search.Run());
            std::vector<std::string> aExpected = bRegex ? aRegexExpected : m_aExpected;
            aExpected.push_back(Summary(m_aExpected.size(), m_aFiles.size()));
            ASSERT_EQ(sink.aLines, aExpected) << nRun;
        }
    }
}

TEST_F(FolderSearchThreads, CancelInTheMiddleEndsTheSearchAndItsThreads)
{
    const std::size_t nThreads = Count("/proc/self/task");
    const std::size_t nDescriptors = Count("/proc/self/fd");
    // Cancelled at the first hit of the 13th file: nothing of it or after it
    // shows, and that file is the last counted.
    const std::size_t nAt = 25;
    FolderSearchParams params{m_dir.Path(), "hit", "*.htm;*.txt", false, true, false};
    CSearchCancel cancel;
    CLineCollector sink;
    sink.fnEach = [&](std::size_t nLines) {
        if (nLines == nAt)
            cancel.Cancel();
    };
    CFolderSearch search(params, sink, &cancel);
    EXPECT_FALSE(search.Run());
    EXPECT_TRUE(search.WasCancelled());
    std::vector<std::string> aExpected(m_aExpected.begin(), m_aExpected.begin() + nAt);
    aExpected.push_back(Summary(nAt, 13));
    EXPECT_EQ(sink.aLines, aExpected);
    EXPECT_EQ(Count("/proc/self/task"), nThreads);
    EXPECT_EQ(Count("/proc/self/fd"), nDescriptors);
}

TEST_F(FolderSearchThreads, FilesRemovedWhileTheSearchRunsArePassedOver)
{
    // A file listed and then removed is no trouble, and not counted.
    const CFileHandle folder = CFileHandle::Open(m_dir.Path(), O_RDONLY | O_DIRECTORY);
    CFileSearchSetup setup;
    setup.params = FolderSearchParams{m_dir.Path(), "hit", "*", false, false, false};
    ASSERT_TRUE(PrepareFileSearch(setup));
    CFileSearch file(setup);
    std::vector<CSearchResult> aResults;
    EXPECT_FALSE(file.Search(folder, "gone.txt", "gone.txt", aResults));
    EXPECT_TRUE(aResults.empty());

    // In a whole search the files of a folder removed at the first result
    // show all their lines (searched before) or none, never an error.
    FolderSearchParams params{m_dir.Path(), "hit", "*.htm;*.txt", false, true, false};
    CLineCollector sink;
    sink.fnEach = [&](std::size_t nLines) {
        if (nLines == 1)
            fs::remove_all(m_dir.File("c"));
    };
    CFolderSearch search(params, sink);
    EXPECT_TRUE(search.Run());
    const auto outsideC = [](std::vector<std::string> aLines) {
        std::erase_if(aLines, [](const std::string &strLine) { return strLine.starts_with("c/"); });
        return aLines;
    };
    std::vector<std::string> aShown = outsideC(sink.aLines);
    const std::vector<std::string> aKept = outsideC(m_aExpected);
    ASSERT_EQ(aShown.size(), aKept.size() + 1);
    aShown.pop_back();
    EXPECT_EQ(aShown, aKept);
    const std::size_t nGoneLines = sink.aLines.size() - aKept.size() - 1;
    EXPECT_EQ(nGoneLines % 2, 0u);
    EXPECT_EQ(search.GetFileCount(), static_cast<int>(m_aFiles.size() - 30 + nGoneLines / 2));
}
