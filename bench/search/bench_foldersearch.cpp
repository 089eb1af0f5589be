// The folder search over a large real tree, side by side with GNU grep and
// ripgrep over the same folders, in the same run.
//
//   wp_bench_foldersearch [--runs N] [FOLDER ...]   (default /usr/include /usr/share/doc)
//
// Each search runs over every folder with subfolders: a rare literal, the
// same ignoring case, and two short expressions (one with a literal prefix,
// one whose only literal comes late). grep runs as "grep -rn" (-i, -E), rg
// as "rg -n --no-ignore" (-i). The best of N runs counts, after one warm-up
// run that fills the page cache. The number of matching lines of each tool
// is printed beside its time: our search skips hidden and binary files, so
// the counts may differ slightly, and it stops at 20000 bytes of results,
// which these patterns never reach.
#include "besttime.h"
#include "search/foldersearch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    int nRuns = 3;
    std::vector<std::string> aFolders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
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
    std::printf("Folder search over%s: %d files, %.0f MB; best of %d runs after a warm-up\n", strFolders.c_str(), nFiles,
                static_cast<double>(nBytes) / 1e6, nRuns);
    const bool bGrep = HaveTool("grep");
    const bool bRg = HaveTool("rg");

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
        {"expression with a literal prefix", "pthread_mutex_[a-z]+lock", false, true, "-rnE", "-n"},
        {"expression with a late literal", "[A-Z]+_MUTEX_INITIALIZER", false, true, "-rnE", "-n"},
    };
    std::printf("%-34s %14s %14s %14s\n", "search", "wrenpad", "grep -rn", "rg -n");
    for (const CCase &c : aCases) {
        int nHits = 0;
        bool bLimited = false;
        const double dOurs = BestSeconds(nRuns, [&] {
            nHits = 0;
            for (const std::string &strFolder : aFolders) {
                FolderSearchParams params{strFolder, c.pszText, "*", c.bIgnoreCase, true, c.bRegex};
                CCountingSink sink;
                CFolderSearch search(params, sink);
                search.Run();
                nHits += sink.nHits;
                bLimited = bLimited || sink.bLimited;
            }
        });
        auto Peer = [&](bool bHave, const std::string &strCommand, char *psz) {
            if (!bHave) {
                std::snprintf(psz, 32, "-");
                return;
            }
            int nPeerHits = 0;
            const double d = BestSeconds(nRuns, [&] { nPeerHits = CountLines(strCommand); });
            std::snprintf(psz, 32, "%6.3f s (%d)", d, nPeerHits);
        };
        char szGrep[32];
        char szRg[32];
        Peer(bGrep, std::string("LC_ALL=C grep ") + c.pszGrepFlags + " " + Quote(c.pszText) + strFolders + " 2>/dev/null", szGrep);
        Peer(bRg, std::string("rg --no-ignore ") + c.pszRgFlags + " " + Quote(c.pszText) + strFolders + " 2>/dev/null", szRg);
        std::printf("%-34s %6.3f s (%d)%s %14s %14s\n", c.pszName, dOurs, nHits, bLimited ? " limited" : "", szGrep, szRg);
    }
    return 0;
}
