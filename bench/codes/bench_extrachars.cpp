// Opening and saving a large UTF-8 file full of characters Shift-JIS lacks
// (each taking a code of the document's table) beside a file of the same
// size and shape whose characters all have Shift-JIS codes.
//
//   wp_bench_extrachars [--dir DIR] [--mb N] [--runs N]
//
// The text is HTML-like lines of European and Japanese words: accented
// letters, ©, ®, dashes, non-breaking spaces and emoji (about 300 distinct
// extra characters). The plain file has, in each place, a character with a
// Shift-JIS code of the same UTF-8 length (an emoji becomes two Greek
// letters), so both files are the same number of bytes and lines. Best of
// the runs with a warm page cache, wall clock. The goal is the extra
// characters within twice the time of the plain file.
#include "text/codec.h"
#include "text/codedfile.h"
#include "text/textbuffer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void WriteAll(const std::string &strPath, const std::string &bytes)
{
    std::FILE *f = std::fopen(strPath.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::perror(strPath.c_str());
        std::exit(1);
    }
}

// A character without a Shift-JIS code and one with, of the same UTF-8 length.
struct CPair
{
    std::string extra;
    std::string plain;
};

std::vector<CPair> MakePairs()
{
    std::vector<CPair> a;
    const auto utf8 = [](char32_t c) {
        std::string s;
        AppendUtf8(s, c);
        return s;
    };
    // Latin-1 and Latin Extended-A letters and signs: two bytes, against
    // Greek and Cyrillic letters.
    for (char32_t c = 0xA0; c < 0x180; ++c) {
        if (c == 0xA7 || c == 0xA8 || c == 0xB0 || c == 0xB1 || c == 0xB4 || c == 0xB6 || c == 0xD7 || c == 0xF7)
            continue;  // these have Shift-JIS codes
        a.push_back({utf8(c), utf8(0x391 + (c % 17))});
    }
    // Dashes, quotes, the euro sign: three bytes, against kanji.
    for (char32_t c : {0x2013u, 0x2012u, 0x20ACu, 0x2122u, 0x2026u + 0x100u})
        a.push_back({utf8(c), utf8(0x6F22)});
    // Emoji: four bytes, against two Greek letters.
    for (char32_t c = 0x1F600; c < 0x1F650; ++c)
        a.push_back({utf8(c), utf8(0x3B1) + utf8(0x3B2)});
    return a;
}

const char *const WORDS[] = {
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "<p>", "</p>", "<a href=\"index.html\">", "</a>", "class",
    "caf", "the", "2026", "\xE3\x81\x93\xE3\x82\x8C\xE3\x81\xAF", "r", "sum", "na", "ve",
};

void MakeTexts(std::size_t nBytes, std::string &extra, std::string &plain)
{
    const std::vector<CPair> pairs = MakePairs();
    std::mt19937 rng(29);
    extra.reserve(nBytes + 256);
    plain.reserve(nBytes + 256);
    const std::size_t nWords = sizeof WORDS / sizeof WORDS[0];
    while (extra.size() < nBytes) {
        const int nLen = static_cast<int>(rng() % 120);
        const std::size_t nStart = extra.size();
        while (static_cast<int>(extra.size() - nStart) < nLen) {
            if (rng() % 2) {
                const CPair &pair = pairs[rng() % pairs.size()];
                extra += pair.extra;
                plain += pair.plain;
            } else {
                const char *pszWord = WORDS[rng() % nWords];
                extra += pszWord;
                plain += pszWord;
            }
            if (rng() % 3) {
                extra += ' ';
                plain += ' ';
            }
        }
        extra += '\n';
        plain += '\n';
    }
}

} // namespace

int main(int argc, char *argv[])
{
    std::string strDir = "/tmp/wp-bench-extrachars";
    std::size_t nMB = 100;
    int nRuns = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--dir"))
            strDir = argv[i + 1];
        else if (!std::strcmp(argv[i], "--mb"))
            nMB = static_cast<std::size_t>(std::atol(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--runs"))
            nRuns = std::atoi(argv[i + 1]);
    }
    std::filesystem::create_directories(strDir);
    const std::string apPath[2] = {strDir + "/plain.utf8", strDir + "/extra.utf8"};
    {
        std::string extra;
        std::string plain;
        MakeTexts(nMB << 20, extra, plain);
        WriteAll(apPath[0], plain);
        WriteAll(apPath[1], extra);
        std::printf("UTF-8 files of %.1f MB and %.1f MB\n", plain.size() / 1048576.0, extra.size() / 1048576.0);
    }
    double adLoad[2] = {1e9, 1e9};
    double adSave[2] = {1e9, 1e9};
    for (int k = 0; k < 2; ++k) {
        CCrystalTextBuffer buffer;
        CFileCodeState state;
        for (int i = 0; i < nRuns; ++i) {
            buffer.FreeAll();
            const auto t0 = Clock::now();
            if (!LoadCodedFile(buffer, apPath[k], state))
                return 1;
            adLoad[k] = std::min(adLoad[k], Seconds(t0));
        }
        if (state.eCode != ETextCode::Utf8 || !state.IsExact()) {
            std::fprintf(stderr, "%s: not opened as exact UTF-8\n", apPath[k].c_str());
            return 1;
        }
        std::printf("%s: %zu extra characters\n", apPath[k].c_str(), state.extra.Size());
        for (int i = 0; i < nRuns; ++i) {
            const auto t0 = Clock::now();
            if (!SaveCodedFile(buffer, strDir + "/out", state.eCode, state.forms, nullptr, -1, true, &state.extra))
                return 1;
            adSave[k] = std::min(adSave[k], Seconds(t0));
        }
    }
    std::printf("%-26s %10s %10s %8s\n", "best of runs (s)", "plain", "extra", "ratio");
    std::printf("%-26s %10.3f %10.3f %8.2f\n", "load (in process)", adLoad[0], adLoad[1], adLoad[1] / adLoad[0]);
    std::printf("%-26s %10.3f %10.3f %8.2f\n", "save (in process, fsync)", adSave[0], adSave[1], adSave[1] / adSave[0]);
    return 0;
}
