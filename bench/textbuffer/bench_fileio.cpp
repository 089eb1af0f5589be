// Loading and saving large files, whole process, beside the floor.
//
//   wp_bench_fileio --tool WRENPAD_TOOL [--dir DIR] [--runs N] [--no-big] [--no-peer]
//   wp_bench_fileio make DIR        only makes the 100 MB files (if missing)
//
// Generates Shift-JIS texts (Japanese and ASCII mixed) in DIR, then times,
// each command in its own process with a warm page cache, best of N runs:
//   load:      `wrenpad-tool info FILE`             against `cat FILE > /dev/null`
//   load+save: `wrenpad-tool roundtrip FILE OUT`    against `cp FILE OUT; sync OUT`
// (the save makes its copy durable with fsync, so the floor does too), the
// time a process takes to write into as many fresh bytes as the file has
// (`touch`: the kernel clears and maps each fresh page on the first write;
// cat reuses one small buffer and pays none of it, while any editor that holds
// the text in memory of its own pays it at least once for the file), the
// peak resident memory of both tool commands over the file size, and vim
// opening and writing the file as the peer editor. The operation inside the
// process (load, save) is timed too, by this program in a child of its own.
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
#include <sys/mman.h>
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
    double dWall = 0;    // whole command(s), seconds
    double dInner = 0;   // the operation itself, as the child reports it
    long nPeakKb = 0;    // peak resident memory of the (first) command
    std::string strOut;  // what the command printed
    bool bOk = false;
};

// Runs one command; its output is kept when bCapture, else it goes to pszStdout.
CRun RunChild(const std::vector<std::string> &args, bool bCapture = false, const char *pszStdout = "/dev/null")
{
    int fds[2] = {-1, -1};
    if (bCapture && ::pipe(fds) != 0)
        std::exit(1);
    const auto t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (bCapture) {
            ::dup2(fds[1], 1);
            ::close(fds[0]);
            ::close(fds[1]);
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
    if (bCapture) {
        ::close(fds[1]);
        char buf[256];
        ssize_t n;
        while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
            run.strOut.append(buf, static_cast<std::size_t>(n));
        ::close(fds[0]);
    }
    int status = 0;
    struct rusage ru;
    ::wait4(pid, &status, 0, &ru);
    run.dWall = Seconds(t0);
    run.nPeakKb = ru.ru_maxrss;
    run.bOk = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (bCapture)
        std::sscanf(run.strOut.c_str(), "%lf", &run.dInner);
    return run;
}

// Runs the commands one after the other as one measurement.
CRun RunChain(const std::vector<std::vector<std::string>> &commands)
{
    CRun total;
    total.bOk = true;
    for (const auto &args : commands) {
        const CRun r = RunChild(args);
        total.dWall += r.dWall;
        total.nPeakKb = std::max(total.nPeakKb, r.nPeakKb);
        total.bOk = total.bOk && r.bOk;
    }
    return total;
}

// The best time of n runs; the largest peak memory of them. fnBefore runs
// untimed before each run (removing the previous run's output).
CRun Best(int nRuns, const std::function<CRun()> &fn, const std::function<void()> &fnBefore = {})
{
    CRun best;
    for (int i = 0; i < nRuns; ++i) {
        if (fnBefore)
            fnBefore();
        CRun r = fn();
        if (!r.bOk)
            return r;
        if (i == 0 || r.dWall < best.dWall)
            best.dWall = r.dWall;
        if (i == 0 || r.dInner < best.dInner)
            best.dInner = r.dInner;
        best.nPeakKb = std::max(best.nPeakKb, r.nPeakKb);
        best.strOut = r.strOut;
        best.bOk = true;
    }
    return best;
}

// Child modes: load FILE, save FILE OUT. Print the seconds the operation took.
int ChildLoad(const char *pszPath)
{
    CCrystalTextBuffer buffer;
    const auto t0 = Clock::now();
    if (!buffer.LoadFromFile(pszPath))
        return 1;
    std::printf("%.6f\n", Seconds(t0));
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
    std::printf("%.6f\n", Seconds(t0));
    return 0;
}

// Writes one byte into each page of nBytes of fresh memory, asking for huge
// pages as the text buffer does.
int ChildTouch(const char *pszBytes)
{
    const auto nBytes = static_cast<std::size_t>(std::strtoull(pszBytes, nullptr, 10));
    void *p = ::mmap(nullptr, nBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return 1;
    ::madvise(p, nBytes, MADV_HUGEPAGE);
    auto *pBytes = static_cast<volatile char *>(p);
    for (std::size_t i = 0; i < nBytes; i += 4096)
        pBytes[i] = 1;
    return 0;
}

struct Subject
{
    std::string strName;
    std::size_t nBytes;
    int nMeanLine;
    const char *pszSep;
};

const Subject SUBJECTS[] = {
    {"text100-short-crlf.txt", 100u << 20, 28, "\r\n"},  // about 3 million lines
    {"text100-crlf.txt", 100u << 20, 66, "\r\n"},        // about 1.46 million
    {"text100-lf.txt", 100u << 20, 67, "\n"},
    {"text335-crlf.txt", 335u << 20, 334, "\r\n"},
};

// Makes the 100 MB files in strDir (for the memory benchmark).
int MakeFiles(const std::string &strDir)
{
    std::filesystem::create_directories(strDir);
    for (const Subject &s : SUBJECTS)
        if (s.nBytes < (200u << 20))
            Generate(strDir + "/" + s.strName, s.nBytes, s.nMeanLine, s.pszSep, 7);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && std::strcmp(argv[1], "make") == 0)
        return MakeFiles(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "load") == 0)
        return ChildLoad(argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "save") == 0)
        return ChildSave(argv[2], argv[3]);
    if (argc >= 3 && std::strcmp(argv[1], "touch") == 0)
        return ChildTouch(argv[2]);

    std::string strDir = std::filesystem::temp_directory_path() / "wrenpad-bench";
    std::string strTool;
    int nRuns = 3;
    bool bBig = true;
    bool bPeer = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc)
            strDir = argv[++i];
        else if (std::strcmp(argv[i], "--tool") == 0 && i + 1 < argc)
            strTool = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--no-big") == 0)
            bBig = false;
        else if (std::strcmp(argv[i], "--no-peer") == 0)
            bPeer = false;
    }
    if (strTool.empty()) {
        std::fprintf(stderr, "usage: %s --tool WRENPAD_TOOL [--dir DIR] [--runs N] [--no-big] [--no-peer]\n", argv[0]);
        return 2;
    }
    std::filesystem::create_directories(strDir);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");

    std::vector<Subject> subjects(std::begin(SUBJECTS), std::end(SUBJECTS));
    if (!bBig)
        subjects.pop_back();

    std::printf("%-22s %6s %8s | %-26s | %-23s | %-28s | %-11s | %-13s | %s\n", "", "", "",
                "load: info vs cat", "fresh memory: touch", "load+save: roundtrip vs cp", "peak / file",
                "in process", "peer: vim");
    std::printf("%-22s %6s %8s | %7s %7s %9s | %7s %15s | %7s %8s %9s | %5s %5s | %6s %6s | %6s %5s\n", "file",
                "MB", "lines", "ours s", "cat s", "ratio", "touch s", "ours/(cat+tch)", "ours s", "cp+fsync",
                "ratio", "load", "l+s", "load", "save", "ld+sv", "x us");
    for (const Subject &s : subjects) {
        const std::string path = strDir + "/" + s.strName;
        const std::string out = strDir + "/out-" + s.strName;
        Generate(path, s.nBytes, s.nMeanLine, s.pszSep, 7);
        const auto nFileBytes = std::filesystem::file_size(path);
        const double dMB = static_cast<double>(nFileBytes) / (1 << 20);
        const double dFileKb = static_cast<double>(nFileBytes) / 1024;
        auto RemoveOut = [&] { std::filesystem::remove(out); };

        RunChild({"cat", path});  // warms the page cache
        const CRun info = Best(nRuns, [&] { return RunChild({strTool, "info", path}, true); });
        const CRun cat = Best(nRuns, [&] { return RunChild({"cat", path}); });
        const CRun touch = Best(nRuns, [&] { return RunChild({self, "touch", std::to_string(nFileBytes)}); });
        const CRun round = Best(nRuns, [&] { return RunChild({strTool, "roundtrip", path, out}); }, RemoveOut);
        const CRun cp = Best(nRuns, [&] { return RunChain({{"cp", path, out}, {"sync", out}}); }, RemoveOut);
        const CRun load = Best(nRuns, [&] { return RunChild({self, "load", path}, true); });
        const CRun save = Best(nRuns, [&] { return RunChild({self, "save", path, out}, true); }, RemoveOut);
        CRun vim;
        if (bPeer)
            vim = Best(nRuns, [&] {
                return RunChild({"vim", "-u", "NONE", "-i", "NONE", "-es", "-c", "w! " + out, "-c", "q!", path});
            }, RemoveOut);
        RemoveOut();
        if (!info.bOk || !round.bOk || !cat.bOk || !touch.bOk || !cp.bOk || !load.bOk || !save.bOk) {
            std::fprintf(stderr, "%s: a command failed\n", s.strName.c_str());
            return 1;
        }
        int nLines = 0;
        if (const std::size_t nAt = info.strOut.find("lines="); nAt != std::string::npos)
            nLines = std::atoi(info.strOut.c_str() + nAt + 6);
        std::printf("%-22s %6.1f %8d | %7.3f %7.3f %8.1fx | %7.3f %14.2fx | %7.3f %8.3f %8.2fx | %5.2f %5.2f | "
                    "%6.3f %6.3f | ",
                    s.strName.c_str(), dMB, nLines, info.dWall, cat.dWall, info.dWall / cat.dWall, touch.dWall,
                    info.dWall / (cat.dWall + touch.dWall), round.dWall,
                    cp.dWall, round.dWall / cp.dWall, static_cast<double>(info.nPeakKb) / dFileKb,
                    static_cast<double>(round.nPeakKb) / dFileKb, load.dInner, save.dInner);
        if (vim.bOk)
            std::printf("%6.2f %5.1f\n", vim.dWall, vim.dWall / round.dWall);
        else
            std::printf("%6s %5s\n", "-", "-");
        std::fflush(stdout);
    }
    std::printf("\nWhole commands, best of %d, warm page cache. Goals: load at most 3x cat, load+save at\n"
                "most 2.5x cp followed by fsync of the copy, peak resident memory at most 1.5x the file.\n"
                "touch: a process writing into as many fresh bytes as the file has (one byte a page).\n"
                "peak / file: the tool's peak resident memory (info; roundtrip) over the file size.\n"
                "in process: LoadFromFile and SaveToFile alone. vim: -u NONE -es opening the file and\n"
                "writing it; x us: its time over our roundtrip's.\n",
                nRuns);
    return 0;
}
