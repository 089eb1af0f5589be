// How long a keystroke waits while the document's recovery journal is kept:
// a 100 MB document (and a 4 MB one, the largest that starts its record from
// a snapshot of the text) is typed into at about 50 keys a second, each key
// timed from the call into the buffer to its return, with the journal and
// its worker (the copy of the file, the writes, the syncs) running beside
// it, and the same typing into the same text without a journal as the floor.
//
//   wp_bench_journal --dir FOLDER [--keys N] [--mb N]
#include "recovery/docjournal.h"
#include "recovery/recoverymanager.h"
#include "text/textbuffer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void MakeFile(const std::string &strPath, std::size_t nBytes)
{
    // Lines of Japanese and ASCII, CR LF, as a long hand-written page.
    const std::string strLine =
        "<p>\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67 and some ASCII text, line of a long page</p>\r\n";
    std::ofstream out(strPath, std::ios::binary);
    std::string strBlock;
    while (strBlock.size() < (1 << 20))
        strBlock += strLine;
    for (std::size_t n = 0; n < nBytes; n += strBlock.size())
        out.write(strBlock.data(), static_cast<std::streamsize>(std::min(strBlock.size(), nBytes - n)));
}

struct CResult
{
    std::vector<double> aKeys;  // ms per keystroke
    double dFlushMs = 0;        // after the last key, until the journal was on the disk
};

CResult Type(const std::string &strFile, const std::string &strState, bool bJournal, int nKeys)
{
    CCrystalTextBuffer buffer;
    const CFileIdentity identity = StatFileIdentity(strFile);
    if (!buffer.LoadFromFile(strFile))
        std::exit(2);
    std::shared_ptr<CRecoveryManager> pManager;
    std::unique_ptr<CDocJournal> pJournal;
    if (bJournal) {
        std::filesystem::remove_all(strState);
        pManager = std::make_shared<CRecoveryManager>(strState);
        std::string strError;
        if (!pManager->Open(strError)) {
            std::fprintf(stderr, "%s\n", strError.c_str());
            std::exit(2);
        }
        // The editor opens its manager at start, long before the first
        // edit: its worker has set up what a snapshot needs by then.
        pManager->Flush();
        pJournal = std::make_unique<CDocJournal>(pManager, buffer);
        pJournal->SetPath(strFile);
        pJournal->SetBaselineLoaded(identity, buffer.GetLineEndMode());
    }

    CResult result;
    CPoint pt(0, buffer.GetLineCount() / 2);
    for (int i = 0; i < nKeys; ++i) {
        const Clock::time_point t0 = Clock::now();
        int nEndLine = 0;
        int nEndChar = 0;
        if (i % 40 == 39) {
            buffer.InsertText(nullptr, pt.y, pt.x, "\r\n", nEndLine, nEndChar, ACTION_TYPING);
            pt = CPoint(nEndChar, nEndLine);
        } else if (i % 10 == 9) {
            buffer.DeleteText(nullptr, pt.y, pt.x - 2, pt.y, pt.x, ACTION_BACKSPACE);
            pt.x -= 2;
        } else {
            buffer.InsertText(nullptr, pt.y, pt.x, "\x82\xA0", nEndLine, nEndChar, ACTION_TYPING);
            pt = CPoint(nEndChar, nEndLine);
        }
        if (pManager)
            pManager->RunPosted();  // what the event loop does between keys
        result.aKeys.push_back(Ms(Clock::now() - t0));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (pManager) {
        const Clock::time_point t0 = Clock::now();
        pManager->Flush();
        result.dFlushMs = Ms(Clock::now() - t0);
        pManager->RunPosted();
    }
    return result;
}

void Report(const char *pszName, CResult result)
{
    std::vector<double> &a = result.aKeys;
    const double dFirst = a.front();
    std::sort(a.begin(), a.end());
    std::printf("%-34s keys %5zu  first %8.3f ms  median %7.3f ms  p99 %7.3f ms  max %8.3f ms", pszName, a.size(),
                dFirst, a[a.size() / 2], a[a.size() * 99 / 100], a.back());
    if (result.dFlushMs > 0)
        std::printf("  flush after last key %7.1f ms", result.dFlushMs);
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    std::string strDir = "bench-data/recovery";
    int nKeys = 500;
    std::size_t nMb = 100;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--dir"))
            strDir = argv[i + 1];
        else if (!std::strcmp(argv[i], "--keys"))
            nKeys = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--mb"))
            nMb = static_cast<std::size_t>(std::atoll(argv[i + 1]));
    }
    std::filesystem::create_directories(strDir);
    const std::string strBig = strDir + "/big.html";
    const std::string strSmall = strDir + "/small.html";
    if (!std::filesystem::exists(strBig) || std::filesystem::file_size(strBig) != nMb << 20)
        MakeFile(strBig, nMb << 20);
    MakeFile(strSmall, CRecoveryManager::SNAPSHOT_LIMIT - 4096);

    for (int nRound = 0; nRound < 3; ++nRound) {
        std::printf("round %d\n", nRound + 1);
        Report((std::to_string(nMb) + " MB, no journal (floor)").c_str(), Type(strBig, strDir + "/state", false, nKeys));
        Report((std::to_string(nMb) + " MB, journal").c_str(), Type(strBig, strDir + "/state", true, nKeys));
        Report("4 MB, no journal (floor)", Type(strSmall, strDir + "/state", false, nKeys));
        Report("4 MB, journal (snapshot start)", Type(strSmall, strDir + "/state", true, nKeys));
    }
    std::filesystem::remove_all(strDir + "/state");
    return 0;
}
