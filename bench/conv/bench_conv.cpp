// The edit menu's text conversions on 10 MB of Japanese HTML, beside sed, fold
// and Python doing the same job.
//
//   wp_bench_conv [--mb N] [--runs N] [--no-peer]
//
// The text is the Shift-JIS sample page of the tests repeated, with CR LF line
// ends as the view hands out a selection. Each conversion runs in process and
// allocates its own output; the best of N runs counts, in wall-clock and CPU
// time. The peers read the same text from a file: sed and fold are timed as
// whole processes writing to /dev/null (their start-up is a millisecond or
// two), Python times its own work and prints it. The peers' results are near
// to ours, not the same: sed applies its four replacements one after another,
// fold counts bytes and may cut a double-byte character, Python's reversal
// turns CR LF into LF CR.
#include "benchtext.h"
#include "html/tagcase.h"
#include "html/textconv.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Timing
{
    double dWall = 1e30;  // ms
    double dCpu = 1e30;   // ms
};

Timing BestOf(int nRuns, const std::function<void()> &fn)
{
    Timing best;
    for (int i = 0; i < nRuns; ++i) {
        const std::clock_t cpu0 = std::clock();
        const Clock::time_point t0 = Clock::now();
        fn();
        const double dWall = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        const double dCpu = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
        best.dWall = std::min(best.dWall, dWall);
        best.dCpu = std::min(best.dCpu, dCpu);
    }
    return best;
}

// The time of a shell command's whole process, best of nRuns; negative when
// it fails.
double TimeCommand(const std::string &strCommand, int nRuns)
{
    double dBest = 1e30;
    for (int i = 0; i < nRuns; ++i) {
        const Clock::time_point t0 = Clock::now();
        if (std::system(strCommand.c_str()) != 0)
            return -1;
        dBest = std::min(dBest, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return dBest;
}

// A Python program's own report of the best time of its work, in ms.
double TimePython(const std::string &strProgram, const std::string &strInput, int nRuns)
{
    const std::string strScript = "/tmp/wp_bench_conv_" + std::to_string(::getpid()) + ".py";
    WriteAll(strScript,
             "import re, sys, time\n"
             "data = open(sys.argv[1], 'rb').read()\n"
             "best = 1e30\n"
             "for _ in range(" + std::to_string(nRuns) + "):\n"
             "    t0 = time.perf_counter()\n"
             + strProgram +
             "    best = min(best, time.perf_counter() - t0)\n"
             "print(best * 1000)\n");
    const std::string strCommand = "python3 " + strScript + " " + strInput;
    double dMs = -1;
    if (FILE *pipe = ::popen(strCommand.c_str(), "r")) {
        if (std::fscanf(pipe, "%lf", &dMs) != 1)
            dMs = -1;
        ::pclose(pipe);
    }
    std::remove(strScript.c_str());
    return dMs;
}

struct CSubject
{
    const char *pszID;
    const char *pszName;
    // What the conversion is given (the escaped text for unescaping).
    const std::string *pInput;
    std::function<std::string(std::string_view)> convert;
    // The peers' commands; %s stands for the input file.
    std::string strSed;
    std::string strPython;
};

std::string Format(const std::string &strPattern, const std::string &strFile)
{
    std::string out = strPattern;
    for (std::size_t n; (n = out.find("%s")) != std::string::npos;)
        out.replace(n, 2, strFile);
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    std::size_t nMb = 10;
    int nRuns = 7;
    bool bPeers = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mb" && i + 1 < argc)
            nMb = static_cast<std::size_t>(std::max(1, std::atoi(argv[++i])));
        else if (arg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--no-peer")
            bPeers = false;
    }

    const std::string text = MakeText(nMb << 20);
    const std::string escaped = EscapeHtmlSpecials(text);
    const std::string strDir = "/tmp";
    const std::string strPlain = strDir + "/wp_bench_conv_plain_" + std::to_string(::getpid());
    const std::string strEscaped = strDir + "/wp_bench_conv_escaped_" + std::to_string(::getpid());
    WriteAll(strPlain, text);
    WriteAll(strEscaped, escaped);

    const CSubject subjects[] = {
        {"6002", "escape HTML specials", &text, EscapeHtmlSpecials,
         "LC_ALL=C sed -e 's/&/\\&AMP;/g' -e 's/\"/\\&QUOT;/g' -e 's/</\\&LT;/g' -e 's/>/\\&GT;/g' %s >/dev/null",
         "    out = data.replace(b'&', b'&AMP;').replace(b'\"', b'&QUOT;').replace(b'<', b'&LT;').replace(b'>', b'&GT;')\n"},
        {"6003", "unescape HTML specials", &escaped, UnescapeHtmlSpecials,
         "LC_ALL=C sed -e 's/&quot;/\"/gI' -e 's/&lt;/</gI' -e 's/&gt;/>/gI' -e 's/&amp;/\\&/gI' %s >/dev/null",
         "    table = {b'quot': b'\"', b'amp': b'&', b'lt': b'<', b'gt': b'>'}\n"
         "    out = re.sub(rb'&(quot|amp|lt|gt);', lambda m: table[m.group(1).lower()], data, flags=re.I)\n"},
        {"6009", "reverse characters", &text, ReverseCharacters, "",
         "    out = data.decode('cp932', 'surrogateescape')[::-1].encode('cp932', 'surrogateescape')\n"},
        {"6005", "break lines at 40, kinsoku", &text,
         [](std::string_view t) { return BreakLinesAtWidth(t, 40, true); }, "LC_ALL=C fold -b -w 80 %s >/dev/null",
         "    lines = data.decode('cp932', 'surrogateescape').split('\\r\\n')\n"
         "    out = '\\r\\n'.join('\\r\\n'.join(l[i:i + 40] for i in range(0, max(len(l), 1), 40)) for l in lines)"
         ".encode('cp932', 'surrogateescape')\n"},
        // The peers upper-case whole tags, quoted values too.
        {"1248", "tags to upper case", &text, [](std::string_view t) { return TagCaseB(t, true); },
         "LC_ALL=C sed -e 's/<\\([^!][^>]*\\)>/<\\U\\1>/g' %s >/dev/null",
         "    out = re.sub(rb'<(?!!--)[^>]*', lambda m: m.group(0).upper(), data)\n"},
        {"6010", "lower case", &text, LowerCaseText, "LC_ALL=C sed -e 's/.*/\\L&/' %s >/dev/null",
         "    out = data.lower()\n"},
        {"6006", "reverse lines", &text, ReverseLines, "tac %s >/dev/null",
         "    out = b'\\r\\n'.join(reversed(data.split(b'\\r\\n')))\n"},
    };

    std::printf("%zu MB of Japanese HTML (%zu bytes, %zu escaped), best of %d runs\n", nMb, text.size(),
                escaped.size(), nRuns);
    std::printf("%-6s %-30s %10s %10s %12s %12s\n", "id", "conversion", "wall ms", "cpu ms", "sed/fold ms",
                "python ms");
    for (const CSubject &s : subjects) {
        std::size_t nOut = 0;
        const Timing t = BestOf(nRuns, [&] { nOut += s.convert(*s.pInput).size(); });
        double dSed = -1;
        double dPython = -1;
        if (bPeers) {
            const std::string &strFile = s.pInput == &escaped ? strEscaped : strPlain;
            if (!s.strSed.empty())
                dSed = TimeCommand(Format(s.strSed, strFile), std::min(nRuns, 3));
            dPython = TimePython(s.strPython, strFile, std::min(nRuns, 3));
        }
        auto peer = [](double d) { return d < 0 ? std::string("-") : std::to_string(static_cast<int>(d + 0.5)); };
        std::printf("%-6s %-30s %10.1f %10.1f %12s %12s\n", s.pszID, s.pszName, t.dWall, t.dCpu, peer(dSed).c_str(),
                    peer(dPython).c_str());
        if (nOut == 0)
            std::printf("(no output?)\n");
    }
    std::remove(strPlain.c_str());
    std::remove(strEscaped.c_str());
    return 0;
}
