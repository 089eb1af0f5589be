// Syntax colouring of large documents, side by side with KDE's command-line
// highlighter.
//
//   wp_bench_syntax [--dir DIR] [--runs N] [--lines N] [--tool WRENPAD_TOOL] [--peer KATE_TOOL]
//
// Generates a Shift-JIS HTML page and a C++ source of N lines (200,000 by
// default) and a page of one 10 MB line in DIR and times, for each:
//  - colour: every line's state and blocks computed in process, as a view
//    drawing the whole document from the top would (the file already loaded);
//  - wrenpad-tool colour: the same as a process, loading the file and writing
//    every line's blocks to /dev/null, with its peak memory;
//  - the peer, kate-syntax-highlighter, highlighting the file to /dev/null
//    (its faster output format, ANSI), and the ratio of its time to ours.
// Times are CPU time (user and system), which other work on a shared machine
// disturbs far less than elapsed time (also shown for the processes); the
// best of N runs counts and the first run warms the page cache.
#include "syntax/linesource.h"
#include "syntax/statecache.h"
#include "syntax/viewtype.h"
#include "text/codec.h"
#include "text/textbuffer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

double ThreadCpuSeconds()
{
    timespec ts;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double RusageSeconds(const rusage &ru)
{
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec)
           + static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// Shift-JIS bytes of UTF-8 text.
std::string Sjis(const char *pszUtf8)
{
    return Utf8ToCp932(pszUtf8);
}

void WriteLines(const std::string &strPath, int nLines,
                const std::function<void(int, std::vector<std::string> &)> &block)
{
    std::string strText;
    std::vector<std::string> aBlock;
    int n = 0;
    for (int nBlock = 0; n < nLines; ++nBlock) {
        aBlock.clear();
        block(nBlock, aBlock);
        for (const std::string &line : aBlock) {
            if (n++ == nLines)
                break;
            strText += line;
            strText += "\r\n";
        }
    }
    FILE *f = std::fopen(strPath.c_str(), "wb");
    if (!f || std::fwrite(strText.data(), 1, strText.size(), f) != strText.size()
        || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", strPath.c_str());
        std::exit(1);
    }
}

// A page of a small shop: tables, links, images, comments, a script block.
void GenerateHtml(const std::string &strPath, int nLines)
{
    const std::string strItem = Sjis("商品番号");
    const std::string strYen = Sjis("円（税込）");
    const std::string strNote = Sjis("これは説明文です。表示ソフトの紹介");
    const std::string strMore = Sjis("詳細");
    const std::string strPhoto = Sjis("写真");
    const std::string strComment = Sjis("ここから商品");
    const std::string strScript = Sjis("表示");
    WriteLines(strPath, nLines, [&](int n, std::vector<std::string> &a) {
        const std::string s = std::to_string(n);
        a.push_back("<!-- " + strComment + " " + s);
        a.push_back("     -->");
        a.push_back("<table border=1 cellpadding=2 cellspacing=0 width=\"100%\">");
        a.push_back("<tr><td class=\"c1\" width=120 bgcolor=\"#FFEEDD\">" + strItem + " " + s +
                    "</td><td align=right>1,234" + strYen + "</td></tr>");
        a.push_back("</table>");
        a.push_back("<p>" + strNote + "<a href=\"http://www.example.jp/item/" + s +
                    ".html\" target=\"_blank\">" + strMore + "</a><br>");
        a.push_back("<img src=\"img/p" + s + ".gif\" width=100 height=80 alt=\"" + strPhoto + "\">");
        a.push_back("<font color=\"#FF0000\" size=3><b>" + strNote + "</b></font>");
        a.push_back("<script language=\"JavaScript\">");
        a.push_back("<!--");
        a.push_back("document.write(\"" + strScript + "\" + " + s + ");");
        a.push_back("// -->");
        a.push_back("</script>");
        a.push_back("<form action=\"/cgi-bin/bbs.cgi\" method=POST>");
        a.push_back("<input type=\"text\" name=\"q\" value='' size=20 maxlength=40>");
        a.push_back("</form>");
        a.push_back("");
        a.push_back("<h2 align=center>" + strItem + "</h2>");
        a.push_back("<hr size=1 noshade>");
        a.push_back("");
    });
}

// A source file of small functions with comments, literals and directives.
void GenerateCpp(const std::string &strPath, int nLines)
{
    const std::string strFunc = Sjis("関数");
    const std::string strNote = Sjis("表示用の処理");
    const std::string strMulti = Sjis("複数行のコメント");
    const std::string strText = Sjis("表示");
    const std::string strOut = Sjis("出力");
    WriteLines(strPath, nLines, [&](int n, std::vector<std::string> &a) {
        const std::string s = std::to_string(n);
        a.push_back("// " + strFunc + " " + s + ": " + strNote);
        a.push_back("/*");
        a.push_back(" * " + strMulti + " " + s);
        a.push_back(" */");
        a.push_back("#include \"header_" + s + ".h\"");
        a.push_back("#define VALUE_" + s + " (" + s + " * 2) /* " + strText + " */");
        a.push_back("static int Function_" + s + "(int nCount, const char *pszName)");
        a.push_back("{");
        a.push_back("    DWORD dwFlags = 0x1F + " + s + ";");
        a.push_back("    double d = 3.14 * nCount;");
        a.push_back("    if (nCount > 10 && pszName != NULL) {");
        a.push_back("        printf(\"" + strText + ": %s %d\\n\", pszName, nCount);   // " + strOut);
        a.push_back("    }");
        a.push_back("    for (int i = 0; i < nCount; ++i)");
        a.push_back("        dwFlags |= (1 << i);");
        a.push_back("    const char c = '\\\\';");
        a.push_back("    return static_cast<int>(dwFlags);");
        a.push_back("}");
        a.push_back("");
        a.push_back("");
    });
}

// What a process cost: CPU seconds (user and system), elapsed seconds and its
// peak resident memory; negative times when it failed.
struct CProcessCost
{
    double dCpu = -1;
    double dWall = -1;
    long nMaxRssKb = 0;
};

double WallSeconds()
{
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Runs a command with its output to /dev/null, as the child of this process.
CProcessCost SpawnAndWait(char *const *argv)
{
    CProcessCost cost;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const double t0 = WallSeconds();
    const int nSpawn = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nSpawn != 0)
        return cost;
    int nStatus = 0;
    rusage ru{};
    if (::wait4(pid, &nStatus, 0, &ru) != pid || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0)
        return cost;
    cost.dWall = WallSeconds() - t0;
    cost.dCpu = RusageSeconds(ru);
    cost.nMaxRssKb = ru.ru_maxrss;
    return cost;
}

// Runs a command through a fresh copy of this program ("--measure"), which
// reports the command's cost on a pipe. A child's peak memory counts the
// memory of the process it was started from, which is small for the copy
// but not for this process, once it holds the documents.
CProcessCost RunCommand(const std::vector<std::string> &args)
{
    CProcessCost cost;
    int anPipe[2];
    if (::pipe(anPipe) != 0)
        return cost;
    std::vector<std::string> measure = {"/proc/self/exe", "--measure"};
    measure.insert(measure.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (const std::string &a : measure)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, anPipe[1], 1);
    posix_spawn_file_actions_addclose(&actions, anPipe[0]);
    pid_t pid = 0;
    const int nSpawn = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(anPipe[1]);
    char szReport[256] = {};
    std::size_t nRead = 0;
    for (ssize_t n; nSpawn == 0 && nRead + 1 < sizeof szReport
                    && (n = ::read(anPipe[0], szReport + nRead, sizeof szReport - 1 - nRead)) > 0;)
        nRead += static_cast<std::size_t>(n);
    ::close(anPipe[0]);
    int nStatus = 0;
    if (nSpawn != 0 || ::waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0
        || std::sscanf(szReport, "%lf %lf %ld", &cost.dCpu, &cost.dWall, &cost.nMaxRssKb) != 3)
        return CProcessCost();
    return cost;
}

// The best CPU time and the best elapsed time of N runs (each on its own).
CProcessCost BestOf(int nRuns, const std::vector<std::string> &args)
{
    CProcessCost best;
    for (int i = 0; i < nRuns; ++i) {
        const CProcessCost cost = RunCommand(args);
        if (cost.dCpu < 0)
            return cost;
        if (best.dCpu < 0 || cost.dCpu < best.dCpu)
            best.dCpu = cost.dCpu;
        if (best.dWall < 0 || cost.dWall < best.dWall)
            best.dWall = cost.dWall;
        best.nMaxRssKb = std::max(best.nMaxRssKb, cost.nMaxRssKb);
    }
    return best;
}

double Best(int nRuns, const std::function<double()> &run)
{
    double dBest = -1;
    for (int i = 0; i < nRuns; ++i) {
        const double d = run();
        if (d < 0)
            return -1;
        if (dBest < 0 || d < dBest)
            dBest = d;
    }
    return dBest;
}

// Colours every line from the top with a fresh cache; the block count keeps
// the work from being optimised away.
double TimeColour(const CCrystalTextBuffer &buffer, int nViewType, long long &nBlocksTotal)
{
    const CBufferLineSource lines(buffer);
    const double t0 = ThreadCpuSeconds();
    CSyntaxColorer colorer(lines, nViewType);
    std::vector<ColorBlock> aBuffer;
    long long nTotal = 0;
    for (int nLine = 0; nLine < buffer.GetLineCount(); ++nLine) {
        int nBlocks = 0;
        colorer.ParseLineForDrawing(nLine, aBuffer, nBlocks);
        nTotal += nBlocks;
    }
    const double d = ThreadCpuSeconds() - t0;
    nBlocksTotal = nTotal;
    return d;
}

// The peer's time divided by ours, or nothing without a peer.
void PrintRatio(double dOurs, double dPeer)
{
    if (dOurs > 0 && dPeer > 0)
        std::printf("   x%.1f", dPeer / dOurs);
}

void Report(const char *pszWhat, double dSeconds, double dMegabytes, double dPeer)
{
    if (dSeconds < 0) {
        std::printf("  %-34s %12s\n", pszWhat, "failed");
        return;
    }
    std::printf("  %-34s %9.1f ms CPU %28s %7.1f MB/s", pszWhat, dSeconds * 1000, "",
                dMegabytes / dSeconds);
    PrintRatio(dSeconds, dPeer);
    std::printf("\n");
}

void ReportProcess(const char *pszWhat, const CProcessCost &cost, double dMegabytes, const CProcessCost *pPeer)
{
    if (cost.dCpu < 0) {
        std::printf("  %-34s %12s\n", pszWhat, "failed");
        return;
    }
    std::printf("  %-34s %9.1f ms CPU %9.1f ms elapsed %6ld MB peak %7.1f MB/s", pszWhat, cost.dCpu * 1000,
                cost.dWall * 1000, cost.nMaxRssKb / 1024, dMegabytes / cost.dCpu);
    if (pPeer != nullptr) {
        PrintRatio(cost.dCpu, pPeer->dCpu);
        std::printf(" (elapsed x%.1f)", pPeer->dWall / cost.dWall);
    }
    std::printf("\n");
}

// One line of 10 MB: the page's lines joined with blanks.
void GenerateLongLine(const std::string &strPath, const std::string &strPage)
{
    std::string strLine;
    strLine.reserve(10u * 1024 * 1024 + strPage.size());
    while (strLine.size() < 10u * 1024 * 1024) {
        for (char c : strPage)
            strLine += c == '\r' || c == '\n' ? ' ' : c;
    }
    strLine.resize(10u * 1024 * 1024);
    strLine += "\r\n";
    FILE *f = std::fopen(strPath.c_str(), "wb");
    if (!f || std::fwrite(strLine.data(), 1, strLine.size(), f) != strLine.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", strPath.c_str());
        std::exit(1);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 2 && std::strcmp(argv[1], "--measure") == 0) {
        const CProcessCost cost = SpawnAndWait(argv + 2);
        std::printf("%.6f %.6f %ld\n", cost.dCpu, cost.dWall, cost.nMaxRssKb);
        return cost.dCpu < 0 ? 1 : 0;
    }
    std::string strDir = std::filesystem::temp_directory_path() / "wrenpad-bench-syntax";
    std::string strTool;
    std::string strPeer;
    int nRuns = 3;
    int nLines = 200000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            strDir = argv[++i];
        else if (arg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--lines" && i + 1 < argc)
            nLines = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--tool" && i + 1 < argc)
            strTool = argv[++i];
        else if (arg == "--peer" && i + 1 < argc)
            strPeer = argv[++i];
        else {
            std::fprintf(stderr, "usage: wp_bench_syntax [--dir DIR] [--runs N] [--lines N] "
                                 "[--tool WRENPAD_TOOL] [--peer KATE_TOOL]\n");
            return 2;
        }
    }
    std::filesystem::create_directories(strDir);

    struct CSubject
    {
        const char *pszName;
        const char *pszFile;
        int nViewType;
        const char *pszPeerSyntax;  // null: the peer is not run
    } const aSubjects[] = {
        {"HTML (detailed)", "page.html", VIEWTYPE_HTML, "HTML"},
        {"HTML (simple)", "page.html", VIEWTYPE_HTML_SIMPLE, "HTML"},
        {"C++", "source.cpp", VIEWTYPE_CPP, "C++"},
        {"HTML (detailed), one 10 MB line", "longline.html", VIEWTYPE_HTML, nullptr},
    };
    GenerateHtml(strDir + "/page.html", nLines);
    GenerateCpp(strDir + "/source.cpp", nLines);
    {
        std::FILE *f = std::fopen((strDir + "/page.html").c_str(), "rb");
        std::string strPage(static_cast<std::size_t>(std::filesystem::file_size(strDir + "/page.html")), '\0');
        if (f == nullptr || std::fread(strPage.data(), 1, strPage.size(), f) != strPage.size()) {
            std::fprintf(stderr, "cannot read the page\n");
            return 1;
        }
        std::fclose(f);
        GenerateLongLine(strDir + "/longline.html", strPage.substr(0, 64 * 1024));
    }

    std::printf("syntax colouring, %d lines per file, best of %d runs\n", nLines, nRuns);
    std::string strPeerFile;
    CProcessCost peer;
    for (const CSubject &subject : aSubjects) {
        const std::string strPath = strDir + "/" + subject.pszFile;
        CCrystalTextBuffer buffer;
        if (!buffer.LoadFromFile(strPath, -1)) {
            std::fprintf(stderr, "cannot load %s\n", strPath.c_str());
            return 1;
        }
        const double dMegabytes = static_cast<double>(std::filesystem::file_size(strPath)) / 1e6;
        std::printf("\n%s: %s, %d lines, %.1f MB\n", subject.pszName, strPath.c_str(),
                    buffer.GetLineCount(), dMegabytes);

        const bool bPeer = !strPeer.empty() && subject.pszPeerSyntax != nullptr;
        if (bPeer && strPeerFile != strPath) {
            peer = BestOf(nRuns, {strPeer, "-s", subject.pszPeerSyntax, "-f", "ansi", "-o", "/dev/null",
                                  strPath});
            strPeerFile = strPath;
        }
        long long nBlocks = 0;
        const double dColour =
            Best(nRuns, [&] { return TimeColour(buffer, subject.nViewType, nBlocks); });
        Report("colour (in process)", dColour, dMegabytes, bPeer ? peer.dCpu : -1);
        if (!strTool.empty()) {
            const CProcessCost tool = BestOf(nRuns, {strTool, "colour", "--type",
                                                     std::to_string(subject.nViewType), strPath});
            ReportProcess("wrenpad-tool colour > /dev/null", tool, dMegabytes, bPeer ? &peer : nullptr);
        }
        if (bPeer)
            ReportProcess("kate-syntax-highlighter -f ansi", peer, dMegabytes, nullptr);
        std::printf("  (%lld blocks)\n", nBlocks);
    }
    std::printf("\nxN: the peer's time divided by ours (CPU time; elapsed in brackets).\n");
    return 0;
}
