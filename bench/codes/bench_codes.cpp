// Opening and saving a large UTF-8 file beside the same text in Shift-JIS.
//
//   wp_bench_codes --tool WRENPAD_TOOL [--dir DIR] [--mb N] [--runs N] [--loops NAME]
//
// Generates a Shift-JIS text (Japanese and ASCII mixed, HTML-like lines) and
// its UTF-8 form of about N MB (default 100), then times, best of the runs
// with a warm page cache, wall clock and CPU time:
//   in this process: LoadCodedFile and SaveCodedFile of each file;
//   whole process:   `wrenpad-tool info FILE` and `wrenpad-tool roundtrip FILE OUT`.
// The goal is UTF-8 within 1.5 times the time of Shift-JIS. --loops chooses the
// UTF-8 loops of this process (portable, SSE2, AVX2, AVX-512; the
// default is the best the processor has) to compare them; the tool always
// runs with its best.
#include "text/codedfile.h"
#include "text/filecode_detail.h"
#include "text/textbuffer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <time.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

const char *const WORDS[] = {
    "\x93\xfa\x96\x7b\x8c\xea",          // 日本語
    "\x83\x65\x83\x4c\x83\x58\x83\x67",  // テキスト
    "\x95\xd2\x8f\x57",                  // 編集
    "\x82\xb1\x82\xea\x82\xcd",          // これは
    "\x95\x5c\x8e\xa6",                  // 表示
    "\x81\x41", "\x81\x42", "\x81\x60",  // 、。～
    "\xb6\xc0\xb6\xc5",                  // ｶﾀｶﾅ
    "<p>", "</p>", "<a href=\"index.html\">", "</a>", "class", "value", "the", "2026",
};

std::string MakeText(std::size_t nUtf8Bytes)
{
    // Shift-JIS grows by about a third in UTF-8.
    const std::size_t nTarget = nUtf8Bytes * 3 / 4;
    std::mt19937 rng(17);
    std::string text;
    text.reserve(nTarget + 256);
    const std::size_t nWords = sizeof WORDS / sizeof WORDS[0];
    while (text.size() < nTarget) {
        const int nLen = static_cast<int>(rng() % 120);
        const std::size_t nStart = text.size();
        while (static_cast<int>(text.size() - nStart) < nLen) {
            text += WORDS[rng() % nWords];
            if (rng() % 3)
                text += ' ';
        }
        text += '\n';
    }
    return text;
}

void WriteAll(const std::string &strPath, const std::string &bytes)
{
    std::FILE *f = std::fopen(strPath.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::perror(strPath.c_str());
        std::exit(1);
    }
}

// CPU time of this process and of the children it has waited for.
double CpuSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    rusage ru{};
    ::getrusage(RUSAGE_CHILDREN, &ru);
    const auto tv = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9 + tv(ru.ru_utime) + tv(ru.ru_stime);
}

struct CTimes
{
    double dWall = 1e9;
    double dCpu = 1e9;
};

// The best wall time and the best CPU time of the runs.
template <typename Fn>
CTimes Best(int nRuns, Fn fn)
{
    CTimes best;
    for (int i = 0; i < nRuns; ++i) {
        const double dCpu0 = CpuSeconds();
        const auto t0 = Clock::now();
        fn();
        best.dWall = std::min(best.dWall, Seconds(t0));
        best.dCpu = std::min(best.dCpu, CpuSeconds() - dCpu0);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    std::string strTool;
    std::string strDir = "/tmp/wp-bench-codes";
    std::size_t nMB = 100;
    int nRuns = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--tool"))
            strTool = argv[i + 1];
        else if (!std::strcmp(argv[i], "--dir"))
            strDir = argv[i + 1];
        else if (!std::strcmp(argv[i], "--mb"))
            nMB = static_cast<std::size_t>(std::atol(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--runs"))
            nRuns = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--loops")) {
            bool bKnown = false;
            for (int n = 0; n <= static_cast<int>(EUtf8Loops::Avx512); ++n) {
                if (!strcasecmp(argv[i + 1], Utf8LoopsName(static_cast<EUtf8Loops>(n)))) {
                    SetUtf8Loops(static_cast<EUtf8Loops>(n));
                    bKnown = true;
                }
            }
            if (!bKnown) {
                std::fprintf(stderr, "unknown loops: %s\n", argv[i + 1]);
                return 2;
            }
        }
    }
    std::filesystem::create_directories(strDir);
    const std::string strSjis = strDir + "/text.sjis";
    const std::string strUtf8 = strDir + "/text.utf8";
    {
        const std::string text = MakeText(nMB << 20);
        std::string utf8;
        if (!EncodeFileText(text, ETextCode::Utf8, CTextForms(), utf8)) {
            std::fprintf(stderr, "the text has no UTF-8 form\n");
            return 1;
        }
        WriteAll(strSjis, text);
        WriteAll(strUtf8, utf8);
        std::printf("Shift-JIS %.1f MB, UTF-8 %.1f MB\n", text.size() / 1048576.0, utf8.size() / 1048576.0);
    }

    std::printf("UTF-8 loops in this process: %s (best here: %s)\n", Utf8LoopsName(Utf8Loops()),
                Utf8LoopsName(BestUtf8Loops()));
    std::printf("%-28s %10s %10s %8s   %10s %10s %8s\n", "best of runs (s)", "Shift-JIS", "UTF-8", "ratio", "CPU SJIS",
                "CPU UTF-8", "ratio");
    auto row = [](const char *pszName, CTimes sjis, CTimes utf8) {
        std::printf("%-28s %10.3f %10.3f %8.2f   %10.3f %10.3f %8.2f\n", pszName, sjis.dWall, utf8.dWall,
                    utf8.dWall / sjis.dWall, sjis.dCpu, utf8.dCpu, utf8.dCpu / sjis.dCpu);
    };
    CTimes aLoad[2];
    CTimes aSave[2];
    const std::string *apPath[2] = {&strSjis, &strUtf8};
    for (int k = 0; k < 2; ++k) {
        CCrystalTextBuffer buffer;
        CFileCodeState state;
        aLoad[k] = Best(nRuns, [&] {
            buffer.FreeAll();
            if (!LoadCodedFile(buffer, *apPath[k], state))
                std::exit(1);
        });
        if (state.eCode != (k == 0 ? ETextCode::Sjis : ETextCode::Utf8) || !state.IsExact()) {
            std::fprintf(stderr, "%s: wrong code\n", apPath[k]->c_str());
            return 1;
        }
        aSave[k] = Best(nRuns, [&] {
            if (!SaveCodedFile(buffer, strDir + "/out", state.eCode, state.forms))
                std::exit(1);
        });
    }
    row("load (in process)", aLoad[0], aLoad[1]);
    row("save (in process, fsync)", aSave[0], aSave[1]);
    if (!strTool.empty()) {
        CTimes aInfo[2];
        CTimes aRound[2];
        for (int k = 0; k < 2; ++k) {
            const std::string strInfo = "'" + strTool + "' info '" + *apPath[k] + "' > /dev/null";
            const std::string strRound = "'" + strTool + "' roundtrip '" + *apPath[k] + "' '" + strDir + "/out'";
            aInfo[k] = Best(nRuns, [&] {
                if (std::system(strInfo.c_str()) != 0)
                    std::exit(1);
            });
            aRound[k] = Best(nRuns, [&] {
                if (std::system(strRound.c_str()) != 0)
                    std::exit(1);
            });
        }
        row("wrenpad-tool info", aInfo[0], aInfo[1]);
        row("wrenpad-tool roundtrip", aRound[0], aRound[1]);
    }
    return 0;
}
