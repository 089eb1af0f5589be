// Start-up time of an editor, measured from outside as a user sees it: from
// the moment the process is started to the first moment the screen shows the
// editor's finished first picture (the file open, coloured, drawn).
//
// A reference run records the finished picture: the screen once it has not
// changed for a while. Each timed run then grabs the screen again and again
// from the start and stops at the first grab that matches the reference, up
// to a few pixels (a blinking caret). The time printed is the end of that
// grab, so it is an upper bound, finer than one grab.
//
//   wp_startup_timer make-html FILE              writes the 10 MB test page
//   wp_startup_timer time NAME RUNS -- PROGRAM ARGS...
//
// The display is $DISPLAY; the screen must show nothing else.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int SETTLE_MS = 1500;     // unchanged this long: finished
constexpr int GIVE_UP_MS = 20000;   // a run that never finishes
constexpr double TOLERANCE = 0.002; // share of the watched pixels that may differ

struct CRect
{
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

class CScreen
{
public:
    CScreen()
    {
        m_pConn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_pConn)) {
            std::fprintf(stderr, "cannot connect to the display\n");
            std::exit(2);
        }
        const xcb_screen_t *pScreen = xcb_setup_roots_iterator(xcb_get_setup(m_pConn)).data;
        m_root = pScreen->root;
        m_nWidth = pScreen->width_in_pixels;
        m_nHeight = pScreen->height_in_pixels;
    }
    ~CScreen() { xcb_disconnect(m_pConn); }

    CRect Whole() const { return {0, 0, m_nWidth, m_nHeight}; }

    std::vector<std::uint32_t> Grab(const CRect &rc)
    {
        xcb_get_image_cookie_t cookie = xcb_get_image(m_pConn, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root,
                                                      static_cast<int16_t>(rc.x), static_cast<int16_t>(rc.y),
                                                      static_cast<uint16_t>(rc.w), static_cast<uint16_t>(rc.h), ~0u);
        xcb_get_image_reply_t *pReply = xcb_get_image_reply(m_pConn, cookie, nullptr);
        std::vector<std::uint32_t> pixels;
        if (pReply) {
            const std::uint8_t *p = xcb_get_image_data(pReply);
            const int n = xcb_get_image_data_length(pReply);
            pixels.resize(static_cast<std::size_t>(n) / 4);
            std::memcpy(pixels.data(), p, pixels.size() * 4);
            std::free(pReply);
        }
        return pixels;
    }

private:
    xcb_connection_t *m_pConn;
    xcb_window_t m_root;
    int m_nWidth;
    int m_nHeight;
};

long Differing(const std::vector<std::uint32_t> &a, const std::vector<std::uint32_t> &b)
{
    if (a.size() != b.size())
        return static_cast<long>(std::max(a.size(), b.size()));
    long n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return n;
}

pid_t Spawn(const std::vector<std::string> &command)
{
    std::vector<char *> argv;
    for (const std::string &arg : command)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawnp");
        std::exit(2);
    }
    return pid;
}

void Stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The bounding box of the pixels that differ between two grabs of the same rectangle.
CRect ChangedArea(const std::vector<std::uint32_t> &a, const std::vector<std::uint32_t> &b, const CRect &rc)
{
    int x0 = rc.w;
    int y0 = rc.h;
    int x1 = -1;
    int y1 = -1;
    for (int y = 0; y < rc.h; ++y)
        for (int x = 0; x < rc.w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(rc.w) + static_cast<std::size_t>(x);
            if ((a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    if (x1 < 0)
        return {};
    return {rc.x + x0, rc.y + y0, x1 - x0 + 1, y1 - y0 + 1};
}

int MakeHtml(const char *pszPath)
{
    // 200,000 lines of 50 bytes on average: 10 MB of tags, attributes,
    // comments and text, as a long hand-written page has.
    std::ofstream out(pszPath, std::ios::binary);
    std::mt19937 rng(1);
    const char *const apszWords[] = {"lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing",
                                     "elit", "sed", "do", "eiusmod", "tempor", "labore", "magna"};
    std::size_t nBytes = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string line;
        switch (i % 8) {
        case 0:
            line = "<div class=\"section\" id=\"s" + std::to_string(i) + "\">";
            break;
        case 1:
            line = "  <h2>Heading " + std::to_string(i) + "</h2>";
            break;
        case 2:
        case 3:
            line = "  <p>";
            for (int w = 0; w < 7; ++w)
                line += std::string(apszWords[rng() % 14]) + " ";
            line += "<a href=\"page" + std::to_string(i) + ".html\">link</a></p>";
            break;
        case 4:
            line = "  <!-- comment " + std::to_string(i) + " -->";
            break;
        case 5:
            line = "  <img src=\"img/" + std::to_string(i) + ".png\" alt=\"picture\" width=\"32\" height=\"32\">";
            break;
        case 6:
            line = "  <table border=\"1\"><tr><td>" + std::to_string(i) + "</td><td>cell</td></tr></table>";
            break;
        default:
            line = "</div>";
            break;
        }
        line += "\r\n";
        nBytes += line.size();
        out << line;
    }
    std::printf("%s: %zu bytes, 200000 lines\n", pszPath, nBytes);
    return out ? 0 : 1;
}

int Time(const std::string &strName, int nRuns, const std::vector<std::string> &command)
{
    CScreen screen;
    const CRect whole = screen.Whole();
    const std::vector<std::uint32_t> empty = screen.Grab(whole);

    // The reference: run until the screen stops changing.
    const pid_t ref = Spawn(command);
    const Clock::time_point tStart = Clock::now();
    std::vector<std::uint32_t> last = screen.Grab(whole);
    Clock::time_point tLastChange = Clock::now();
    // Settling counts from the first change: on a busy machine the window
    // may take longer than the settling time to appear at all.
    bool bChanged = false;
    while ((!bChanged || Ms(Clock::now() - tLastChange) < SETTLE_MS) && Ms(Clock::now() - tStart) < GIVE_UP_MS) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::vector<std::uint32_t> now = screen.Grab(whole);
        if (Differing(now, last) > static_cast<long>(TOLERANCE * static_cast<double>(now.size()))) {
            tLastChange = Clock::now();
            last = std::move(now);
            bChanged = true;
        }
    }
    int status = 0;
    if (::waitpid(ref, &status, WNOHANG) == ref) {
        std::fprintf(stderr, "%s ended by itself before showing its picture\n", strName.c_str());
        return 1;
    }
    Stop(ref);
    const CRect area = ChangedArea(empty, last, whole);
    if (area.w == 0) {
        std::fprintf(stderr, "%s showed nothing\n", strName.c_str());
        return 1;
    }
    std::vector<std::uint32_t> reference;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            reference.push_back(last[static_cast<std::size_t>(y) * static_cast<std::size_t>(whole.w) + static_cast<std::size_t>(x)]);
    // The finished picture, to look at: WP_STARTUP_PICTURES=FOLDER.
    if (const char *pszFolder = std::getenv("WP_STARTUP_PICTURES")) {
        std::ofstream ppm(std::string(pszFolder) + "/" + strName + ".ppm", std::ios::binary);
        ppm << "P6\n" << area.w << " " << area.h << "\n255\n";
        for (std::uint32_t px : reference)
            ppm.put(static_cast<char>((px >> 16) & 0xFF)).put(static_cast<char>((px >> 8) & 0xFF)).put(static_cast<char>(px & 0xFF));
    }
    const long nTolerance = static_cast<long>(TOLERANCE * static_cast<double>(reference.size()));

    std::vector<double> aTimes;
    double dGrab = 0;
    int nGrabs = 0;
    for (int r = 0; r < nRuns; ++r) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const Clock::time_point t0 = Clock::now();
        const pid_t pid = Spawn(command);
        double dShown = -1;
        while (Ms(Clock::now() - t0) < GIVE_UP_MS) {
            const Clock::time_point tGrab = Clock::now();
            const std::vector<std::uint32_t> now = screen.Grab(area);
            dGrab += Ms(Clock::now() - tGrab);
            ++nGrabs;
            if (Differing(now, reference) <= nTolerance) {
                dShown = Ms(Clock::now() - t0);
                break;
            }
        }
        Stop(pid);
        if (dShown < 0) {
            std::fprintf(stderr, "%s run %d: never matched its finished picture\n", strName.c_str(), r + 1);
            continue;
        }
        aTimes.push_back(dShown);
    }
    if (aTimes.empty())
        return 1;
    std::sort(aTimes.begin(), aTimes.end());
    std::printf("%-12s median %7.0f ms   best %7.0f ms   worst %7.0f ms   (%zu runs, window %dx%d, one grab %.1f ms)\n",
                strName.c_str(), aTimes[aTimes.size() / 2], aTimes.front(), aTimes.back(), aTimes.size(), area.w,
                area.h, nGrabs ? dGrab / nGrabs : 0.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "make-html") == 0)
        return MakeHtml(argv[2]);
    if (argc >= 6 && std::strcmp(argv[1], "time") == 0 && std::strcmp(argv[4], "--") == 0) {
        std::vector<std::string> command(argv + 5, argv + argc);
        return Time(argv[2], std::atoi(argv[3]), command);
    }
    std::fprintf(stderr, "usage: %s make-html FILE | time NAME RUNS -- PROGRAM ARGS...\n", argv[0]);
    return 2;
}
