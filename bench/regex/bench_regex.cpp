// The regular-expression engine searching a 50 MB text line by line, side by
// side with std::regex (ECMAScript) and PCRE2 (interpreter, no JIT) on the
// same lines and the same patterns.
//
//   wp_bench_regex [--dir DIR] [--mb N] [--runs N]
//
// The text (Shift-JIS: Japanese prose, HTML, C and CSS lines) is generated
// into DIR once and read with the folder search's line reader. Each engine
// runs each pattern over every line; the best of N runs counts (std::regex,
// being slow, runs once). The three engines must find the same matches.
#include "search/linereader.h"
#include "search/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char *const JAPANESE[] = {
    "\x93\xfa\x96\x7b\x8c\xea",                          // 日本語
    "\x83\x65\x83\x4c\x83\x58\x83\x67",                  // テキスト
    "\x95\xd2\x8f\x57",                                  // 編集
    "\x83\x74\x83\x40\x83\x43\x83\x8b",                  // ファイル
    "\x82\xb1\x82\xea\x82\xcd",                          // これは
    "\x95\x5c\x8e\xa6",                                  // 表示
    "\x8c\x9f\x8d\xf5",                                  // 検索
    "\x92\x75\x8a\xb7",                                  // 置換
    "\x95\xb6\x8e\x9a\x97\xf1",                          // 文字列
    "\x90\xb3\x8b\x4b\x95\x5c\x8c\xbb",                  // 正規表現
    "\x83\x5c\x83\x74\x83\x67",                          // ソフト
    "\x83\x7a\x81\x5b\x83\x80\x83\x79\x81\x5b\x83\x57",  // ホームページ
    "\x8d\xec\x90\xac",                                  // 作成
    "\x82\xc5\x82\xb7", "\x82\xdc\x82\xb7", "\x82\xcc", "\x82\xf0", "\x82\xc9",  // です ます の を に
    "\x81\x41", "\x81\x42",                              // 、。
    "\xb6\xc0\xb6\xc5",                                  // ｶﾀｶﾅ
};
const char *const ENGLISH[] = {"HTML", "Table", "form", "the", "page", "style", "Html", "value", "list", "data"};
const char *const TAGS[] = {"b", "i", "p", "td", "tr", "table", "form", "a", "span", "div", "br", "font"};
const char *const CODE[] = {"int", "char", "return", "if", "for", "while", "value", "count", "buffer", "printf"};

template <std::size_t N>
const char *Pick(std::mt19937 &rng, const char *const (&words)[N])
{
    return words[rng() % N];
}

std::string Number(std::mt19937 &rng)
{
    return std::to_string(rng() % 1000);
}

std::string MakeLine(std::mt19937 &rng)
{
    std::string s;
    switch (rng() % 10) {
    case 0:
    case 1:
    case 2:
    case 3: {  // prose
        const int n = 6 + static_cast<int>(rng() % 14);
        for (int i = 0; i < n; ++i)
            s += rng() % 8 ? Pick(rng, JAPANESE) : Pick(rng, ENGLISH);
        break;
    }
    case 4:
    case 5:
    case 6: {  // markup
        const int n = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < n; ++i) {
            const char *pszTag = Pick(rng, TAGS);
            s += std::string("<") + pszTag;
            if (rng() % 3 == 0)
                s += " width=\"" + Number(rng) + "\"";
            if (rng() % 4 == 0)
                s += " class=\"" + std::string(Pick(rng, ENGLISH)) + "\"";
            s += ">";
            s += rng() % 2 ? Pick(rng, JAPANESE) : Pick(rng, ENGLISH);
            s += Pick(rng, JAPANESE);
            s += std::string("</") + pszTag + ">";
        }
        break;
    }
    case 7:
    case 8: {  // code
        s = "    ";
        const int n = 2 + static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i) {
            s += Pick(rng, CODE);
            s += rng() % 3 ? " " : " = " + Number(rng) + "; ";
        }
        if (rng() % 4 == 0)
            s += "// " + std::string(Pick(rng, JAPANESE)) + Pick(rng, JAPANESE);
        break;
    }
    default:  // style sheet
        s = "  margin: " + Number(rng) + "px " + Number(rng) + "px; font-size: " + Number(rng) + "pt;";
        break;
    }
    return s;
}

void Generate(const std::string &strPath, std::size_t nBytes)
{
    if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) >= nBytes)
        return;
    std::mt19937 rng(4242);
    std::string strAll;
    strAll.reserve(nBytes + 4096);
    while (strAll.size() < nBytes)
        strAll += MakeLine(rng) + "\r\n";
    std::FILE *f = std::fopen(strPath.c_str(), "wb");
    if (!f || std::fwrite(strAll.data(), 1, strAll.size(), f) != strAll.size() || std::fclose(f) != 0) {
        std::perror(strPath.c_str());
        std::exit(1);
    }
}

struct Pattern
{
    const char *pszName;
    const char *pszWrenpad;  // the engine's own syntax
    const char *pszPeer;     // the same for PCRE2 and std::regex
    bool bIgnoreCase;
};

const Pattern PATTERNS[] = {
    {"literal", "return", "return", false},
    {"literal, set, closure", "width=\"[0-9]+", "width=\"[0-9]+", false},
    {"alternation of groups", "(table)|(form)", "(table)|(form)", false},
    {"lazy closure", "\\<b.@\\>", "<b.*?>", false},
    {"literal, ignoring case", "html", "html", true},
    {"starts with a set", "[0-9]+px", "[0-9]+px", false},
};

// Matching lines and a sum of their match offsets: equal for engines that agree.
struct Tally
{
    long nLines = 0;
    long long nSum = 0;
    bool operator==(const Tally &) const = default;
};

double Time(int nRuns, const std::function<Tally()> &run, Tally &tally)
{
    double dBest = 1e30;
    for (int i = 0; i < nRuns; ++i) {
        const auto t0 = Clock::now();
        tally = run();
        dBest = std::min(dBest, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return dBest;
}

} // namespace

int main(int argc, char *argv[])
{
    std::string strDir = std::filesystem::temp_directory_path().string() + "/wrenpad-bench-regex";
    std::size_t nMB = 50;
    int nRuns = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--dir") == 0)
            strDir = argv[i + 1];
        else if (std::strcmp(argv[i], "--mb") == 0)
            nMB = static_cast<std::size_t>(std::atol(argv[i + 1]));
        else if (std::strcmp(argv[i], "--runs") == 0)
            nRuns = std::max(1, std::atoi(argv[i + 1]));
    }
    std::filesystem::create_directories(strDir);
    const std::string strPath = strDir + "/text-" + std::to_string(nMB) + "mb.txt";
    Generate(strPath, nMB << 20);

    std::vector<std::string> lines;
    std::size_t nBytes = 0;
    {
        CSearchLineReader reader;
        if (!reader.Open(strPath)) {
            std::perror(strPath.c_str());
            return 1;
        }
        std::string_view line;
        while (reader.NextLine(line)) {
            lines.emplace_back(line);
            nBytes += line.size();
        }
    }
    std::printf("%zu lines, %.1f MB without line ends; best of %d runs (std::regex: 1)\n\n", lines.size(),
                static_cast<double>(nBytes) / (1 << 20), nRuns);
    std::printf("%-24s %10s %10s %12s %9s %9s %8s\n", "pattern", "wrenpad", "PCRE2", "std::regex", "vs std", "vs PCRE2",
                "lines");

    bool bAgree = true;
    for (const Pattern &pat : PATTERNS) {
        const CRegexPtr pRegex(RegexCompile(pat.pszWrenpad));
        int nError = 0;
        PCRE2_SIZE nOffset = 0;
        pcre2_code *pCode = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pat.pszPeer), PCRE2_ZERO_TERMINATED,
                                          pat.bIgnoreCase ? PCRE2_CASELESS : 0, &nError, &nOffset, nullptr);
        if (!pRegex || !pCode) {
            std::fprintf(stderr, "pattern %s does not compile\n", pat.pszName);
            return 1;
        }
        pcre2_match_data *pData = pcre2_match_data_create_from_pattern(pCode, nullptr);
        const std::regex stdRegex(pat.pszPeer, pat.bIgnoreCase ? std::regex::ECMAScript | std::regex::icase
                                                               : std::regex::ECMAScript);

        CRegexContext ctx;
        Tally tWrenpad;
        Tally tPcre;
        Tally tStd;
        const double dWrenpad = Time(nRuns, [&] {
            Tally t;
            RegexRegisters regs;
            for (const std::string &s : lines) {
                if (RegexExecute(pRegex.get(), s.data(), static_cast<int>(s.size()), 0, regs, !pat.bIgnoreCase, &ctx)) {
                    ++t.nLines;
                    t.nSum += regs.nStart[0] + regs.nEnd[0];
                }
            }
            return t;
        }, tWrenpad);
        const double dPcre = Time(nRuns, [&] {
            Tally t;
            for (const std::string &s : lines) {
                if (pcre2_match(pCode, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), 0, 0, pData, nullptr) >= 0) {
                    const PCRE2_SIZE *pOv = pcre2_get_ovector_pointer(pData);
                    ++t.nLines;
                    t.nSum += static_cast<long long>(pOv[0] + pOv[1]);
                }
            }
            return t;
        }, tPcre);
        const double dStd = Time(1, [&] {
            Tally t;
            std::cmatch m;
            for (const std::string &s : lines) {
                if (std::regex_search(s.data(), s.data() + s.size(), m, stdRegex)) {
                    ++t.nLines;
                    t.nSum += m.position(0) * 2 + m.length(0);
                }
            }
            return t;
        }, tStd);
        pcre2_match_data_free(pData);
        pcre2_code_free(pCode);

        std::printf("%-24s %8.0fms %8.0fms %10.0fms %8.1fx %8.2fx %8ld%s\n", pat.pszName, dWrenpad * 1000,
                    dPcre * 1000, dStd * 1000, dStd / dWrenpad, dWrenpad / dPcre, tWrenpad.nLines,
                    tWrenpad == tPcre && tWrenpad == tStd ? "" : "  RESULTS DIFFER");
        bAgree = bAgree && tWrenpad == tPcre && tWrenpad == tStd;
        std::fflush(stdout);
    }
    std::printf("\nvs std = std::regex time / wrenpad time (goal >= 10); vs PCRE2 = wrenpad time / PCRE2 time (goal <= 2)\n");
    return bAgree ? 0 : 1;
}
