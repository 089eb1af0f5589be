// The folder search over a large real tree, side by side with GNU grep and
// ripgrep over the same folders, in the same run.
//
//   wp_bench_foldersearch [--runs N] [--files PATTERN] [FOLDER ...]
//   (default: 5 runs, every file, /usr/include /usr/share/doc)
//
// The goal's case: wp_bench_foldersearch --files '*.h' /usr/include
//
// Each search runs over every folder with subfolders: a rare literal, the
// same ignoring case, and two short expressions (one with a literal prefix,
// one whose only literal comes late). grep runs as "grep -rn" (-i, -E), rg
// as "rg -n --no-ignore" (-i), both limited to the same file pattern; rg
// uses every core, as our search does. The best of N runs counts, after one
// warm-up run that fills the page cache: the wall-clock time and, beside it,
// the user CPU time of all threads; the ratios at the end of each row are
// ours against grep's and rg's wall-clock time. The number of matching lines
// of each tool is printed too: our search skips hidden and binary files, so
// the counts may differ slightly, and it stops at 20000 bytes of results,
// which these patterns never reach.
#include "besttime.h"
#include "search/foldersearch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

class CCountingSink : public CFolderSearchSink
{
public:
    void OnResult(const CSearchResult &result) override
    {
        if (result.nKind == SEARCHRESULT_MATCH || result.nKind == SEARCHRESULT_REGEX_MATCH)
            ++nHits;
        else if (result.nKind == SEARCHRESULT_TOO_MANY)
            bLimited = true;
    }
    int nHits = 0;
    bool bLimited = false;
};

std::string Quote(const std::string &s)
{
    std::string q = "'";
    for (char ch : s)
        q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return q + "'";
}

int CountLines(const std::string &strCommand)
{
    FILE *p = ::popen(strCommand.c_str(), "r");
    if (!p)
        return -1;
    int n = 0;
    char buf[65536];
    while (const std::size_t k = std::fread(buf, 1, sizeof buf, p))
        n += static_cast<int>(std::count(buf, buf + k, '\n'));
    ::pclose(p);
    return n;
}

bool HaveTool(const char *pszTool)
{
    return std::system((std::string("command -v ") + pszTool + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    int nRuns = 5;
    std::string strFiles = "*";
    std::vector<std::string> aFolders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--files" && i + 1 < argc)
            strFiles = argv[++i];
        else
            aFolders.push_back(arg);
    }
    if (aFolders.empty())
        aFolders = {"/usr/include", "/usr/share/doc"};

    std::uintmax_t nBytes = 0;
    int nFiles = 0;
    std::string strFolders;
    for (const std::string &strFolder : aFolders) {
        strFolders += ' ';
        strFolders += Quote(strFolder);
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(strFolder, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_regular_file(ec) && !it->is_symlink(ec)) {
                nBytes += it->file_size(ec);
                ++nFiles;
            }
        }
    }
    std::printf("Folder search over%s: %d files in all, %.0f MB; files %s; best of %d runs after a warm-up\n",
                strFolders.c_str(), nFiles, static_cast<double>(nBytes) / 1e6, strFiles.c_str(), nRuns);
    std::printf("wall-clock seconds / user CPU seconds (matching lines)\n");
    const bool bGrep = HaveTool("grep");
    const bool bRg = HaveTool("rg");
    const std::string strGrepFiles = strFiles == "*" ? std::string() : " --include=" + Quote(strFiles);
    const std::string strRgFiles = strFiles == "*" ? std::string() : " -g " + Quote(strFiles);

    struct CCase
    {
        const char *pszName;
        const char *pszText;
        bool bIgnoreCase;
        bool bRegex;
        const char *pszGrepFlags;
        const char *pszRgFlags;
    };
    const CCase aCases[] = {
        {"rare literal", "wrenpad_zq9", false, false, "-rnF", "-nF"},
        {"rare literal, ignoring case", "wrenpad_zq9", true, false, "-rniF", "-niF"},
        {"expression, literal prefix", "pthread_mutex_[a-z]+lock", false, true, "-rnE", "-n"},
        {"expression, late literal", "[A-Z]+_MUTEX_INITIALIZER", false, true, "-rnE", "-n"},
    };
    std::printf("%-28s %-22s %-22s %-22s %s\n", "search", "wrenpad", "grep -rn", "rg -n", "ours/grep ours/rg");
    auto Cell = [](const CBestRun &run, int nHits, char *psz) {
        std::snprintf(psz, 40, "%.3f/%.3f (%d)", run.dWall, run.dUser, nHits);
    };
    for (const CCase &c : aCases) {
        int nHits = 0;
        bool bLimited = false;
        const CBestRun ours = BestRun(nRuns, [&] {
            nHits = 0;
            for (const std::string &strFolder : aFolders) {
                FolderSearchParams params{strFolder, c.pszText, strFiles, c.bIgnoreCase, true, c.bRegex};
                CCountingSink sink;
                CFolderSearch search(params, sink);
                search.Run();
                nHits += sink.nHits;
                bLimited = bLimited || sink.bLimited;
            }
        });
        CBestRun aPeers[2];
        auto Peer = [&](bool bHave, const std::string &strCommand, CBestRun &run, char *psz) {
            if (!bHave) {
                std::snprintf(psz, 40, "-");
                return;
            }
            int nPeerHits = 0;
            run = BestRun(nRuns, [&] { nPeerHits = CountLines(strCommand); }, true);
            Cell(run, nPeerHits, psz);
        };
        char szOurs[40];
        char szGrep[40];
        char szRg[40];
        Cell(ours, nHits, szOurs);
        if (bLimited)
            std::snprintf(szOurs + std::strlen(szOurs), 40 - std::strlen(szOurs), " lim");
        Peer(bGrep, std::string("LC_ALL=C grep ") + c.pszGrepFlags + strGrepFiles + " " + Quote(c.pszText) + strFolders
                        + " 2>/dev/null",
             aPeers[0], szGrep);
        Peer(bRg, std::string("rg --no-ignore ") + c.pszRgFlags + strRgFiles + " " + Quote(c.pszText) + strFolders
                      + " 2>/dev/null",
             aPeers[1], szRg);
        std::printf("%-28s %-22s %-22s %-22s %5.2f %9.2f\n", c.pszName, szOurs, szGrep, szRg,
                    bGrep ? ours.dWall / aPeers[0].dWall : 0.0, bRg ? ours.dWall / aPeers[1].dWall : 0.0);
    }
    return 0;
}
