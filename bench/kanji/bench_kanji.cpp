// The kanji converters beside glibc iconv on the same 50 MB Japanese text.
//
//   wp_bench_kanji [--mb N] [--runs N]
//
// Builds a Shift-JIS text from the Japanese sample texts of the tests (JIS X
// 0208 and ASCII only, so that every converter does the whole job), makes its
// EUC and JIS forms with iconv, then times each conversion of the built-in
// converter and of CNkfLibrary next to iconv doing the same conversion. glibc
// has several names for each code whose speeds differ tenfold; of those that
// give the same bytes as ours, the fastest is the peer. Each side allocates
// its own output; the best of N runs counts, in wall-clock and CPU time.
#include "text/kanji.h"
#include "text/nkf.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iconv.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadAll(const std::string &strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", strPath.c_str());
        std::exit(1);
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    return std::move(ss).str();
}

// iconv over the whole text into an output it allocates, as a caller would;
// false when iconv cannot convert all of it.
bool IconvAll(const char *pszTo, const char *pszFrom, const std::string &in, std::string &out)
{
    iconv_t cd = iconv_open(pszTo, pszFrom);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(in.size() * 2 + 16, '\0');
    char *pin = const_cast<char *>(in.data());
    std::size_t inleft = in.size();
    char *pout = out.data();
    std::size_t outleft = out.size();
    const bool bOk = iconv(cd, &pin, &inleft, &pout, &outleft) != static_cast<std::size_t>(-1)
                     && iconv(cd, nullptr, nullptr, &pout, &outleft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(static_cast<std::size_t>(pout - out.data()));
    return bOk;
}

std::string IconvOrExit(const char *pszTo, const char *pszFrom, const std::string &in)
{
    std::string out;
    if (!IconvAll(pszTo, pszFrom, in, out)) {
        std::fprintf(stderr, "iconv cannot convert the text from %s to %s\n", pszFrom, pszTo);
        std::exit(1);
    }
    return out;
}

// Best wall-clock and CPU time of one conversion over the runs so far. On a
// machine shared with other work the CPU time is the steadier of the two.
struct Timing
{
    double dWall = 1e30;
    double dCpu = 1e30;
};

double CpuSeconds()
{
    timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void Measure(const std::function<std::string()> &run, Timing &timing)
{
    const auto t0 = Clock::now();
    const double dCpu0 = CpuSeconds();
    const std::string out = run();
    timing.dCpu = std::min(timing.dCpu, CpuSeconds() - dCpu0);
    timing.dWall = std::min(timing.dWall, std::chrono::duration<double>(Clock::now() - t0).count());
}

// Our JIS output leaves kanji mode with ESC "(J", iconv's with ESC "(B".
std::string AsciiOutToB(std::string s)
{
    for (std::size_t i = s.find("\x1b(J"); i != std::string::npos; i = s.find("\x1b(J", i))
        s[i + 2] = 'B';
    return s;
}

struct Peer
{
    const char *pszTo;
    const char *pszFrom;
};

struct Row
{
    const char *pszName;
    const std::string *pInput;
    std::function<std::string()> ours;
    std::vector<Peer> peers;
    bool bJisOut;  // our output leaves kanji mode with ESC (J, iconv with ESC (B
};

const std::vector<Peer> SJIS_TO_EUC = {{"EUC-JP-MS", "CP932"}, {"EUC-JP", "SHIFT_JIS"}, {"EUC-JP", "CP932"}};
const std::vector<Peer> SJIS_TO_JIS = {{"ISO-2022-JP", "CP932"}, {"ISO-2022-JP", "SHIFT_JIS"}};
const std::vector<Peer> EUC_TO_SJIS = {{"CP932", "EUC-JP-MS"}, {"SHIFT_JIS", "EUC-JP"}, {"CP932", "EUC-JP"}};
const std::vector<Peer> JIS_TO_SJIS = {{"CP932", "ISO-2022-JP"}, {"SHIFT_JIS", "ISO-2022-JP"}};
const std::vector<Peer> EUC_TO_JIS = {{"ISO-2022-JP", "EUC-JP-MS"}, {"ISO-2022-JP", "EUC-JP"}};
const std::vector<Peer> JIS_TO_EUC = {{"EUC-JP-MS", "ISO-2022-JP"}, {"EUC-JP", "ISO-2022-JP"}};

} // namespace

int main(int argc, char *argv[])
{
    double dMegabytes = 50;
    int nRuns = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--mb") == 0)
            dMegabytes = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--runs") == 0)
            nRuns = std::max(1, std::atoi(argv[i + 1]));
    }
    const std::string strDir = WP_KANJI_DATA_DIR;
    const std::string samples[] = {ReadAll(strDir + "/essay.sjis.txt"), ReadAll(strDir + "/page.sjis.html")};
    std::string sjis;
    const auto nTarget = static_cast<std::size_t>(dMegabytes * 1024 * 1024);
    for (int n = 1; sjis.size() < nTarget; ++n) {
        sjis += "No." + std::to_string(n) + "\r\n";
        sjis += samples[n % 2];
    }
    // The samples' wave dash is 0x8160, which iconv's Shift_JIS and CP932 read
    // as different characters; the JIS X 0208 names (SHIFT_JIS, EUC-JP,
    // ISO-2022-JP) all agree with the arithmetic, so iconv runs under them.
    const std::string euc = IconvOrExit("EUC-JP", "SHIFT_JIS", sjis);
    const std::string jis = IconvOrExit("ISO-2022-JP", "SHIFT_JIS", sjis);

    CNkfLibrary nkf;
    auto nkfRun = [&nkf](const char *pszOption, const std::string &in) {
        nkf.SetNkfOption(pszOption);
        std::string out;
        nkf.NkfConvert(in, out);
        return out;
    };
    const Row rows[] = {
        {"built-in SJIS -> EUC", &sjis, [&] { return ConvertKanjiCode(sjis, OUTCODE_EUC); }, SJIS_TO_EUC, false},
        {"built-in SJIS -> JIS", &sjis, [&] { return ConvertKanjiCode(sjis, OUTCODE_JIS); }, SJIS_TO_JIS, true},
        {"built-in EUC -> SJIS", &euc, [&] { return ConvertKanjiCode(euc, OUTCODE_SJIS); }, EUC_TO_SJIS, false},
        {"built-in JIS -> SJIS", &jis, [&] { return ConvertKanjiCode(jis, OUTCODE_SJIS); }, JIS_TO_SJIS, false},
        {"built-in EUC -> JIS", &euc, [&] { return ConvertKanjiCode(euc, OUTCODE_JIS); }, EUC_TO_JIS, true},
        {"built-in JIS -> EUC", &jis, [&] { return ConvertKanjiCode(jis, OUTCODE_EUC); }, JIS_TO_EUC, false},
        {"NKF e  (SJIS -> EUC)", &sjis, [&] { return nkfRun("e", sjis); }, SJIS_TO_EUC, false},
        {"NKF j  (SJIS -> JIS)", &sjis, [&] { return nkfRun("j", sjis); }, SJIS_TO_JIS, false},
        {"NKF sm (EUC -> SJIS)", &euc, [&] { return nkfRun("sm", euc); }, EUC_TO_SJIS, false},
        {"NKF sm (JIS -> SJIS)", &jis, [&] { return nkfRun("sm", jis); }, JIS_TO_SJIS, false},
    };

    std::printf("input: %.1f MB Shift-JIS (%.1f MB EUC, %.1f MB JIS); best of %d runs\n\n",
                static_cast<double>(sjis.size()) / 1048576, static_cast<double>(euc.size()) / 1048576,
                static_cast<double>(jis.size()) / 1048576, nRuns);
    std::printf("%-22s %-17s   %-26s %-17s %-13s\n", "", "------ ours -----", "", "----- iconv -----",
                "--- ratio ---");
    std::printf("%-22s %8s %8s   %-26s %8s %8s %6s %6s\n", "conversion", "wall ms", "cpu ms", "iconv peer",
                "wall ms", "cpu ms", "wall", "cpu");
    bool bAllWithinGoal = true;
    for (const Row &row : rows) {
        std::string strOurs = row.ours();
        if (row.bJisOut)
            strOurs = AsciiOutToB(std::move(strOurs));
        std::vector<const Peer *> peers;
        for (const Peer &peer : row.peers) {
            std::string strPeer;
            if (IconvAll(peer.pszTo, peer.pszFrom, *row.pInput, strPeer) && strPeer == strOurs)
                peers.push_back(&peer);
        }
        // Ours and the peers take turns, so that a change in the machine's
        // load falls on all of them alike.
        Timing ours;
        std::vector<Timing> timings(peers.size());
        for (int i = 0; i < nRuns; ++i) {
            Measure(row.ours, ours);
            for (std::size_t k = 0; k < peers.size(); ++k) {
                Measure(
                    [&] {
                        std::string out;
                        IconvAll(peers[k]->pszTo, peers[k]->pszFrom, *row.pInput, out);
                        return out;
                    },
                    timings[k]);
            }
        }
        if (peers.empty()) {
            std::printf("%-22s %8.1f %8.1f   no iconv name gives the same bytes\n", row.pszName,
                        ours.dWall * 1000, ours.dCpu * 1000);
            bAllWithinGoal = false;
            continue;
        }
        std::size_t nBest = 0;
        for (std::size_t k = 1; k < peers.size(); ++k) {
            if (timings[k].dCpu < timings[nBest].dCpu)
                nBest = k;
        }
        const Timing &peer = timings[nBest];
        const std::string strPeerName = std::string(peers[nBest]->pszFrom) + " -> " + peers[nBest]->pszTo;
        const double dRatioCpu = ours.dCpu / peer.dCpu;
        bAllWithinGoal = bAllWithinGoal && dRatioCpu <= 1.5;
        std::printf("%-22s %8.1f %8.1f   %-26s %8.1f %8.1f %6.2f %6.2f\n", row.pszName, ours.dWall * 1000,
                    ours.dCpu * 1000, strPeerName.c_str(), peer.dWall * 1000, peer.dCpu * 1000,
                    ours.dWall / peer.dWall, dRatioCpu);
    }
    // The code detection reads until something decides; these texts decide
    // nothing, so it reads all of them: ASCII (the text's single bytes), and
    // half-width katakana written as EUC (SS2 pairs, which Shift-JIS could
    // also hold). The Shift-JIS or EUC decision after an ambiguous pair reads
    // at most 1024 bytes; it runs on each 1024-byte piece of the katakana.
    std::string ascii;
    for (char c : sjis) {
        if (static_cast<unsigned char>(c) < 0x80)
            ascii += c;
    }
    std::string kana;
    while (kana.size() < nTarget)
        kana += "\x8E\xB1\x8E\xB2\x8E\xB3 abc \x8E\xDE\r\n";
    std::printf("\n%-34s %8s %8s %9s\n", "code detection (no peer)", "wall ms", "cpu ms", "MB/s cpu");
    const struct
    {
        const char *pszName;
        const std::string *pInput;
        std::function<int()> run;
    } detections[] = {
        {"DetectKanjiCode, ASCII", &ascii, [&] { return DetectKanjiCode(ascii); }},
        {"DetectKanjiCode, EUC katakana", &kana, [&] { return DetectKanjiCode(kana); }},
        {"ResolveSjisOrEuc, 1 KB pieces", &kana,
         [&] {
             int nEuc = 0;
             const auto *p = reinterpret_cast<const unsigned char *>(kana.data());
             const int nLength = static_cast<int>(kana.size());
             for (int i = 0; i + 1024 <= nLength; i += 1024)
                 nEuc += ResolveSjisOrEuc(p + i, 1024) == KANJI_EUC ? 1 : 0;
             return nEuc;
         }},
    };
    for (const auto &row : detections) {
        Timing timing;
        int nResult = 0;
        for (int i = 0; i < nRuns; ++i)
            Measure([&] { nResult += row.run(); return std::string(); }, timing);
        std::printf("%-34s %8.1f %8.1f %9.0f   (%d)\n", row.pszName, timing.dWall * 1000, timing.dCpu * 1000,
                    static_cast<double>(row.pInput->size()) / 1048576 / timing.dCpu, nResult);
    }

    std::printf("\nratio = ours / iconv. The peer is the fastest (by CPU time) of the iconv names that\n"
                "give the same bytes as ours (JIS: ESC ( J read as ESC ( B).\n"
                "goal, a CPU-time ratio of at most 1.5 on every row: %s\n",
                bAllWithinGoal ? "met" : "NOT met");
    return 0;
}
