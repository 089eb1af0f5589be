// Loading and saving large files, side by side with cat, cp and vim.
//
//   wp_bench_fileio [--dir DIR] [--runs N] [--no-big]
//
// Generates Shift-JIS texts (Japanese and ASCII mixed) in DIR, then times, for
// each, Wrenpad's load and save, the peak memory of the loaded buffer, and the
// same file through `cat FILE > /dev/null`, `cp` and `vim -u NONE -es` opening
// and writing it. Every command runs in its own process; the best of N runs
// counts. The page cache is warm for everybody (the first run warms it).
#include "text/textbuffer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

long MaxRssKb()
{
    struct rusage ru;
    ::getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// Words to build lines from: Shift-JIS kanji and kana, half-width kana, ASCII.
const char *const WORDS[] = {
    "\x93\xfa\x96\x7b\x8c\xea",                  // 日本語
    "\x83\x65\x83\x4c\x83\x58\x83\x67",          // テキスト
    "\x95\xd2\x8f\x57",                          // 編集
    "\x83\x74\x83\x40\x83\x43\x83\x8b",          // ファイル
    "\x82\xb1\x82\xea\x82\xcd",                  // これは
    "\x95\x5c\x8e\xa6",                          // 表示 (trail byte 0x5C)
    "\x81\x41", "\x81\x42",                      // 、。
    "\xb6\xc0\xb6\xc5",                          // ｶﾀｶﾅ
    "<p>", "</p>", "<a href=\"index.html\">", "</a>", "int", "return", "value", "the",
    "editor", "=", "{", "}", "0x5C", "2026", "printf(\"%d\\n\", n);",
};

void Generate(const std::string &strPath, std::size_t nTargetBytes, int nMeanLine, const char *pszSep,
              unsigned nSeed)
{
    if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) >= nTargetBytes)
        return;
    std::FILE *f = std::fopen(strPath.c_str(), "wb");
    if (!f) {
        std::perror(strPath.c_str());
        std::exit(1);
    }
    std::mt19937 rng(nSeed);
    std::string line;
    std::size_t nWritten = 0;
    const std::size_t nWords = sizeof WORDS / sizeof WORDS[0];
    while (nWritten < nTargetBytes) {
        line.clear();
        const int nLen = static_cast<int>(rng() % static_cast<unsigned>(2 * nMeanLine));
        while (static_cast<int>(line.size()) < nLen) {
            line += WORDS[rng() % nWords];
            if (rng() % 3)
                line += ' ';
        }
        line += pszSep;
        std::fwrite(line.data(), 1, line.size(), f);
        nWritten += line.size();
    }
    std::fclose(f);
}

struct CRun
{
    double dWall = 0;     // whole command, seconds
    double dInner = 0;    // the operation itself, as the child reports it
    long nPeakKb = 0;     // peak resident memory of the child
    long nBufferKb = 0;   // the child's growth while loading
    bool bOk = false;
};

// Runs argv in a child; if bReport, reads "inner baselineKb" from its stdout.
CRun RunChild(const std::vector<std::string> &args, const char *pszStdout = "/dev/null", bool bReport = false)
{
    int fds[2] = {-1, -1};
    if (bReport && ::pipe(fds) != 0)
        std::exit(1);
    const auto t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (bReport) {
            ::dup2(fds[1], 1);
            ::close(fds[0]);
        } else {
            const int fd = ::open(pszStdout, O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 1);
        }
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 2);
        std::vector<char *> argv;
        for (const auto &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    CRun run;
    std::string strReport;
    if (bReport) {
        ::close(fds[1]);
        char buf[256];
        ssize_t n;
        while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
            strReport.append(buf, static_cast<std::size_t>(n));
        ::close(fds[0]);
    }
    int status = 0;
    struct rusage ru;
    ::wait4(pid, &status, 0, &ru);
    run.dWall = Seconds(t0);
    run.nPeakKb = ru.ru_maxrss;
    run.bOk = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (bReport) {
        long nBaseKb = 0;
        if (std::sscanf(strReport.c_str(), "%lf %ld", &run.dInner, &nBaseKb) == 2)
            run.nBufferKb = run.nPeakKb - nBaseKb;
    }
    return run;
}

CRun Best(int nRuns, const std::function<CRun()> &fn)
{
    CRun best;
    for (int i = 0; i < nRuns; ++i) {
        CRun r = fn();
        if (!r.bOk)
            return r;
        if (i == 0 || r.dWall < best.dWall)
            best.dWall = r.dWall;
        if (i == 0 || r.dInner < best.dInner)
            best.dInner = r.dInner;
        best.nPeakKb = std::max(best.nPeakKb, r.nPeakKb);
        best.nBufferKb = std::max(best.nBufferKb, r.nBufferKb);
        best.bOk = true;
    }
    return best;
}

// Child modes: load FILE, save FILE OUT. Print "seconds baselineKb".
int ChildLoad(const char *pszPath)
{
    const long nBase = MaxRssKb();
    CCrystalTextBuffer buffer;
    const auto t0 = Clock::now();
    if (!buffer.LoadFromFile(pszPath))
        return 1;
    std::printf("%.6f %ld\n", Seconds(t0), nBase);
    return 0;
}

int ChildSave(const char *pszPath, const char *pszOut)
{
    CCrystalTextBuffer buffer;
    if (!buffer.LoadFromFile(pszPath))
        return 1;
    const auto t0 = Clock::now();
    if (!buffer.SaveToFile(pszOut))
        return 1;
    std::printf("%.6f 0\n", Seconds(t0));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && std::strcmp(argv[1], "load") == 0)
        return ChildLoad(argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "save") == 0)
        return ChildSave(argv[2], argv[3]);

    std::string strDir = std::filesystem::temp_directory_path() / "wrenpad-bench";
    int nRuns = 3;
    bool bBig = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc)
            strDir = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--no-big") == 0)
            bBig = false;
    }
    std::filesystem::create_directories(strDir);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");

    struct Subject
    {
        std::string strName;
        std::size_t nBytes;
        int nMeanLine;
        const char *pszSep;
    };
    std::vector<Subject> subjects = {
        {"text100-crlf.txt", 100u << 20, 66, "\r\n"},
        {"text100-lf.txt", 100u << 20, 67, "\n"},
    };
    if (bBig)
        subjects.push_back({"text335-crlf.txt", 335u << 20, 334, "\r\n"});

    std::printf("%-18s %7s %8s | %7s %7s %9s %8s | %7s %7s | %9s %8s | %6s %6s\n", "file", "MB",
                "lines", "load s", "save s", "ld+sv s", "peak x", "cat s", "cp s", "vim ld+sv", "vim x",
                "ld/cat", "vim/us");
    for (const Subject &s : subjects) {
        const std::string path = strDir + "/" + s.strName;
        const std::string out = strDir + "/out-" + s.strName;
        Generate(path, s.nBytes, s.nMeanLine, s.pszSep, 7);
        const double dMB = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
        int nLines = 0;
        {
            CCrystalTextBuffer buffer;
            buffer.LoadFromFile(path);
            nLines = buffer.GetLineCount();
        }
        const CRun load = Best(nRuns, [&] { return RunChild({self, "load", path}, "", true); });
        const CRun save = Best(nRuns, [&] { return RunChild({self, "save", path, out}, "", true); });
        const CRun cat = Best(nRuns, [&] { return RunChild({"cat", path}); });
        const CRun cp = Best(nRuns, [&] { return RunChild({"cp", path, out}); });
        const CRun vim = Best(nRuns, [&] {
            return RunChild({"vim", "-u", "NONE", "-i", "NONE", "-es", "-c", "w! " + out, "-c", "q!", path});
        });
        const double dFileKb = dMB * 1024;
        std::printf("%-18s %7.1f %8d | %7.3f %7.3f %9.3f %8.2f | %7.3f %7.3f | %9.3f %8.2f | %6.1f %6.1f\n",
                    s.strName.c_str(), dMB, nLines, load.dInner, save.dInner, load.dInner + save.dInner,
                    static_cast<double>(load.nBufferKb) / dFileKb, cat.dWall, cp.dWall,
                    vim.bOk ? vim.dWall : -1.0, static_cast<double>(vim.nPeakKb) / dFileKb,
                    load.dInner / cat.dWall, vim.dWall / (load.dWall + save.dInner));
        std::printf("%-18s whole commands: wrenpad load %.3f s, load+save %.3f s; cp %.3f s\n", "",
                    load.dWall, save.dWall, cp.dWall);
        std::filesystem::remove(out);
    }
    std::printf("\nload/save s: the operation inside the process (best of %d); peak x: memory the\n"
                "loaded buffer added, as a multiple of the file size; vim ld+sv: whole command;\n"
                "ld/cat: load time over cat's; vim/us: vim's time over Wrenpad's load+save command.\n",
                nRuns);
    return 0;
}
