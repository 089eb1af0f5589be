// The browser preview of a 1 MB Japanese HTML page (Shift-JIS, no charset
// declaration, images beside it), offscreen, timed from the command to the
// page's load finished, through the whole program: the command, the copy,
// the bar, the web engine module.
//
//   wp_bench_preview [--runs N]     every case below, best and median of N
//   wp_bench_preview --cold         the first preview of a fresh process only
//   wp_bench_preview --cold-floor   a bare view's first page in a fresh process
//
// Cases:
//   cold        first preview in the process: module load, engine start, page
//   engine      the web engine's start alone: module load and the first view
//   first page  the first page once the engine is there (starts the renderer)
//   refresh     the same saved page again (a reload)
//   reopen      the bar hidden (its browser destroyed) and shown again
//   copy        a modified page through the temporary copy (a new file)
//   typing      the text followed as it is typed (copy written, reloaded)
//   floor       a bare QWebEngineView loading the same file by its file: URL,
//               its runs alternating with each case's above
//   scheme floor  a bare view loading the same file through a scheme of its
//               own, whose handler replies with the whole file and its code
//               as the program's does: what the engine's way for pages of
//               such a scheme costs by itself (the program needs one to tell
//               the engine the code of a page that declares none)
//   cold floor  a fresh process's bare view: engine start and first page
//
// Beside each wall-clock time stands the CPU time that this process and the
// web engine's processes (its children) spent on the case. On a machine
// shared with other work the wall-clock times grow with the load while the
// CPU time hardly does: it tells what the case costs on an idle machine.
//
// Below each case a second line says where its time went (medians, ms from
// the command): the program's own work before the engine has the page
// ("ours"), and then, as the page itself reports it, the last byte of the
// page received, the page parsed and its load event. (The page's time of its
// first byte is left out: for a page of the program's own scheme the engine
// records the start of the request there.)
#include "app/appoptions.h"
#include "app/ui/mainframe.h"
#include "app/ui/previewer.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "platform/profile.h"
#include "preview/ui/browserbar.h"
#include "preview/ui/previewengine.h"
#include "res/commands.h"
#include "ui/sizingbar.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef WP_HAVE_WEBENGINE
#include <QBuffer>
#include <QFile>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#endif

#include <QDirIterator>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

constexpr int LOAD_TIMEOUT_MS = 120000;

std::string MakePage(std::size_t nBytes)
{
    // Shift-JIS text of the kind these pages hold, no charset declaration.
    const char *const rows[] = {
        "<h2>\x91\xE6%d\x8F\xCD \x93\xFA\x96\x7B\x82\xCC\x8E\x6C\x8B\x47</h2>\r\n",
        "<p>\x8F\x74\x82\xCD\x82\xA0\x82\xAF\x82\xDC\x82\xCC\x81\x42\x82\xE6\x82\xA4\x82\xE2\x82\xAD\x94\x92\x82\xAD"
        "\x82\xC8\x82\xE8\x82\xE4\x82\xAD\x8E\x52\x8D\xDB\x81\x41\x8F\xAD\x82\xB5\x82\xA0\x82\xA9\x82\xE8\x82\xC4"
        "\x81\x41\x8E\x87\x82\xBE\x82\xBF\x82\xBD\x82\xE9\x89\x5F\x82\xCC\x8D\xD7\x82\xAD\x82\xBD\x82\xC8\x82\xD1"
        "\x82\xAB\x82\xBD\x82\xE9\x81\x42 %d</p>\r\n",
        "<table border=\"1\"><tr><td>\xB6\xC0\xB6\xC5</td><td>%d</td><td>\x95\x5C\x8E\xA6</td></tr></table>\r\n",
        "<ul><li><a href=\"page%d.html\">\x83\x8A\x83\x93\x83\x4E</a></li><li>\x8D\x80\x96\xDA</li></ul>\r\n",
    };
    std::string strPage = "<html>\r\n<head>\r\n<title>\x83\x65\x83\x58\x83\x67</title>\r\n</head>\r\n<body>\r\n";
    char buf[1024];
    for (int i = 0; strPage.size() < nBytes - 200; ++i) {
        std::snprintf(buf, sizeof buf, rows[i % 4], i);
        strPage += buf;
        if (i % 500 == 0)
            strPage += "<p><img src=\"img.png\" width=\"64\" height=\"32\"></p>\r\n";
    }
    strPage += "</body>\r\n</html>\r\n";
    return strPage;
}

// The CPU time in ms used so far by this process and every process below it
// (the engine's zygote and renderers), with the children they have reaped.
double TreeCpuMs()
{
    struct CProc
    {
        int nParent = 0;
        double dTicks = 0;
    };
    std::map<int, CProc> procs;
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        bool bNumber = false;
        const int nPid = it.fileName().toInt(&bNumber);
        if (!bNumber)
            continue;
        std::ifstream file("/proc/" + std::to_string(nPid) + "/stat");
        std::string strStat;
        std::getline(file, strStat);
        // The name in parentheses may hold blanks; the fields follow the last ')'.
        const std::size_t nClose = strStat.rfind(')');
        if (nClose == std::string::npos)
            continue;
        std::vector<std::string> aFields;
        std::size_t nPos = nClose + 2;
        while (nPos < strStat.size()) {
            const std::size_t nEnd = strStat.find(' ', nPos);
            aFields.push_back(strStat.substr(nPos, nEnd == std::string::npos ? std::string::npos : nEnd - nPos));
            nPos = nEnd == std::string::npos ? strStat.size() : nEnd + 1;
        }
        if (aFields.size() < 15)
            continue;
        // Fields from the state on: ppid is the 2nd, utime..cstime the 12th to
        // 15th. A child's time moves into its parent's cutime when it is
        // reaped (a renderer of a destroyed view, by the zygote), so both count.
        CProc proc;
        proc.nParent = std::atoi(aFields[1].c_str());
        for (std::size_t i = 11; i <= 14; ++i)
            proc.dTicks += std::atof(aFields[i].c_str());
        procs[nPid] = proc;
    }
    const double dMsPerTick = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    double dTotal = 0;
    for (const auto &[nPid, proc] : procs) {
        // Counted when this process is among its ancestors.
        int nAt = nPid;
        for (int nDepth = 0; nAt > 1 && nDepth < 64; ++nDepth) {
            if (nAt == getpid()) {
                dTotal += proc.dTicks * dMsPerTick;
                break;
            }
            const auto found = procs.find(nAt);
            if (found == procs.end())
                break;
            nAt = found->second.nParent;
        }
    }
    return dTotal;
}

// The steps of one load, in ms from the command; -1 where not known.
struct CSteps
{
    double dOurs = -1;
    double dLastByte = -1;
    double dParsed = -1;
    double dLoad = -1;
};

#ifdef WP_HAVE_WEBENGINE
// The page's own record of its load, on the same clock as dCommandEpochMs
// (ms since the epoch at the command).
void ReadSteps(QWebEngineView *pView, double dCommandEpochMs, CSteps &steps)
{
    if (!pView)
        return;
    bool bDone = false;
    QVariantList marks;
    pView->page()->runJavaScript(
        QStringLiteral("(function () { var n = performance.getEntriesByType('navigation')[0];"
                       " var t = performance.timeOrigin; if (!n) return [];"
                       " return [t + n.responseEnd, t + n.domInteractive, t + n.loadEventStart]; })()"),
        [&](const QVariant &value) {
            marks = value.toList();
            bDone = true;
        });
    if (!QTest::qWaitFor([&] { return bDone; }, 10000) || marks.size() != 3)
        return;
    steps.dLastByte = marks[0].toDouble() - dCommandEpochMs;
    steps.dParsed = marks[1].toDouble() - dCommandEpochMs;
    steps.dLoad = marks[2].toDouble() - dCommandEpochMs;
}
#endif

#ifdef WP_HAVE_WEBENGINE
constexpr char BARE_SCHEME[] = "wpbare";

// The scheme floor's handler: the page whole, in a buffer, with the code of
// the benchmark's page; the page's images by their file: URLs, as the
// program sends them.
class CBareSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob *pJob) override
    {
        const QString strPath = pJob->requestUrl().path();
        if (!strPath.endsWith(QLatin1String(".html"))) {
            pJob->redirect(QUrl::fromLocalFile(strPath));
            return;
        }
        QFile file(strPath);
        if (!file.open(QIODevice::ReadOnly)) {
            pJob->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *pBody = new QBuffer(pJob);
        pBody->setData(file.readAll());
        pBody->open(QIODevice::ReadOnly);
        pJob->reply("text/html;charset=Shift_JIS", pBody);
    }
};
#endif

double MedianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

struct CStats
{
    std::vector<double> aTimes;
    std::vector<double> aCpu;
    std::vector<CSteps> aSteps;
    double Best() const { return *std::min_element(aTimes.begin(), aTimes.end()); }
    double BestCpu() const { return aCpu.empty() ? 0 : *std::min_element(aCpu.begin(), aCpu.end()); }
    void Add(double dWall, double dCpu, const CSteps &steps = CSteps())
    {
        aTimes.push_back(dWall);
        aCpu.push_back(dCpu);
        aSteps.push_back(steps);
    }
    double MedianStep(double CSteps::*pStep) const
    {
        std::vector<double> v;
        for (const CSteps &steps : aSteps)
            if (steps.*pStep >= 0)
                v.push_back(steps.*pStep);
        return MedianOf(v);
    }
    double Median() const { return MedianOf(aTimes); }
};

class CBench
{
public:
    explicit CBench(const QString &strFolder) : m_strFolder(strFolder)
    {
        m_strPage = (strFolder + QStringLiteral("/page.html")).toStdString();
        const std::string strBytes = MakePage(1 << 20);
        std::ofstream(m_strPage, std::ios::binary).write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(strFolder + QStringLiteral("/img.png"));

        SetAppProfile(&m_profile);
        m_profile.WriteInt(SECTION_MAIN, "bShowSplash", 0);
        m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
        m_profile.WriteInt(SECTION_MAIN, "bNotNewAppCreate", 0);
        m_profile.WriteInt(SECTION_MAIN, "bAutoTempoBrowse", 1);
        m_profile.WriteInt(SECTION_MAIN, PREVIEW_AUTO_UPDATE_ENTRY, 1);
        m_pApp = std::make_unique<CWrenpadApp>();
        m_pApp->InitInstance({QString::fromStdString(m_strPage)});
        m_pFrame = m_pApp->GetMainFrame();
        m_pFrame->resize(1200, 900);
        QObject::connect(m_pFrame->GetPreviewer()->GetBrowserBar(), &CBrowserBar::LoadFinished,
                         [this](bool bOk) {
                             m_bLoaded = true;
                             m_bLoadOk = bOk;
                         });
        QApplication::processEvents();
    }

    ~CBench()
    {
        m_pApp.reset();
        SetAppProfile(nullptr);
    }

    const std::string &GetPage() const { return m_strPage; }
    CMainFrame *Frame() const { return m_pFrame; }
    CPreviewer *Previewer() const { return m_pFrame->GetPreviewer(); }

    // Milliseconds from fn to the bar's page loaded; negative when it failed.
    // The CPU time spent meanwhile is kept for LastCpu().
    double TimeToLoad(const std::function<void()> &fn)
    {
        m_bLoaded = false;
        m_lastSteps = CSteps();
        const double dCpuBefore = TreeCpuMs();
        const double dEpochMs = static_cast<double>(QDateTime::currentMSecsSinceEpoch());
        QElapsedTimer timer;
        timer.start();
        fn();
        m_lastSteps.dOurs = timer.nsecsElapsed() / 1e6;
        const bool bDone = QTest::qWaitFor([this] { return m_bLoaded; }, LOAD_TIMEOUT_MS) && m_bLoadOk;
        const double dMs = timer.nsecsElapsed() / 1e6;
        m_dLastCpu = TreeCpuMs() - dCpuBefore;
#ifdef WP_HAVE_WEBENGINE
        if (bDone)
            ReadSteps(qobject_cast<QWebEngineView *>(Previewer()->GetBrowserBar()->GetEngine()->GetWidget()), dEpochMs,
                      m_lastSteps);
#endif
        return bDone ? dMs : -1;
    }
    double LastCpu() const { return m_dLastCpu; }
    const CSteps &LastSteps() const { return m_lastSteps; }

    void Settle() { QTest::qWait(300); }

private:
    QString m_strFolder;
    std::string m_strPage;
    CMemoryProfileStore m_profile;
    std::unique_ptr<CWrenpadApp> m_pApp;
    CMainFrame *m_pFrame = nullptr;
    bool m_bLoaded = false;
    bool m_bLoadOk = false;
    double m_dLastCpu = 0;
    CSteps m_lastSteps;
};

// With the floor given, the ratios of the best and of the median times to
// the floor's stand beside them.
void Print(const char *pszCase, const CStats &stats, const CStats *pFloor = nullptr)
{
    for (double d : stats.aTimes)
        if (d < 0) {
            std::printf("%-11s  failed to load\n", pszCase);
            return;
        }
    std::printf("%-11s  best %8.1f ms   median %8.1f ms   cpu %7.1f ms   (%zu runs)", pszCase, stats.Best(),
                stats.Median(), stats.BestCpu(), stats.aTimes.size());
    if (pFloor && pFloor->Best() > 0)
        std::printf("   %.2fx / %.2fx the floor", stats.Best() / pFloor->Best(), stats.Median() / pFloor->Median());
    std::printf("\n");
    if (stats.MedianStep(&CSteps::dLoad) >= 0) {
        const double dOurs = stats.MedianStep(&CSteps::dOurs);
        std::printf("             ");
        if (dOurs >= 0)
            std::printf(" ours %.0f,", dOurs);
        std::printf(" last byte %.0f, parsed %.0f, load event %.0f\n", stats.MedianStep(&CSteps::dLastByte),
                    stats.MedianStep(&CSteps::dParsed), stats.MedianStep(&CSteps::dLoad));
    }
}

int RunCold(CBench &bench)
{
    const double dMs = bench.TimeToLoad([&] { bench.Frame()->ExecuteCommand(ID_WEB_PREVIEW_BAR); });
    const char *pszKind = bench.Previewer()->GetBrowserBar()->GetEngine()->GetKind();
    const CSteps &steps = bench.LastSteps();
    std::printf("cold         %8.1f ms   cpu %7.1f ms   (%s)   ours %.0f, last byte %.0f, parsed %.0f\n", dMs,
                bench.LastCpu(), pszKind, steps.dOurs, steps.dLastByte, steps.dParsed);
    return dMs < 0 ? 1 : 0;
}

int RunColdFloor(const QString &strFolder)
{
#ifdef WP_HAVE_WEBENGINE
    const QString strPage = strFolder + QStringLiteral("/page.html");
    const std::string strBytes = MakePage(1 << 20);
    std::ofstream(strPage.toStdString(), std::ios::binary)
        .write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    const double dCpuBefore = TreeCpuMs();
    const double dEpochMs = static_cast<double>(QDateTime::currentMSecsSinceEpoch());
    QElapsedTimer timer;
    timer.start();
    QWebEngineView view;
    view.resize(1200, 300);
    view.show();
    bool bLoaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&bLoaded](bool) { bLoaded = true; });
    view.load(QUrl::fromLocalFile(strPage));
    const bool bDone = QTest::qWaitFor([&bLoaded] { return bLoaded; }, LOAD_TIMEOUT_MS);
    const double dMs = timer.nsecsElapsed() / 1e6;
    const double dCpu = TreeCpuMs() - dCpuBefore;
    CSteps steps;
    if (bDone)
        ReadSteps(&view, dEpochMs, steps);
    std::printf("cold floor   %8.1f ms   cpu %7.1f ms   last byte %.0f, parsed %.0f\n", bDone ? dMs : -1, dCpu,
                steps.dLastByte, steps.dParsed);
    return bDone ? 0 : 1;
#else
    (void)strFolder;
    return 1;
#endif
}

int RunAll(CBench &bench, int nRuns)
{
    CBrowserBar *pBar = bench.Previewer()->GetBrowserBar();
    QElapsedTimer timer;
    const double dCpuBefore = TreeCpuMs();
    timer.start();
    pBar->CreateBrowser();
    const double dEngine = timer.nsecsElapsed() / 1e6;
    std::printf("engine       %8.1f ms   cpu %7.1f ms   (%s)\n", dEngine, TreeCpuMs() - dCpuBefore,
                pBar->GetEngine()->GetKind());
    CStats first;
    const double dFirst = bench.TimeToLoad([&] { bench.Frame()->ExecuteCommand(ID_WEB_PREVIEW_BAR); });
    first.Add(dFirst, bench.LastCpu(), bench.LastSteps());
    Print("first page", first);

    // The floor: the web engine alone on the same file, in a view of its own
    // that lives beside ours. Each case's runs alternate with the floor's, so
    // that both see the same load on the machine.
    CStats floor;
    CStats schemeFloor;
    std::function<void()> fnFloor = [] {};
#ifdef WP_HAVE_WEBENGINE
    // Bare views, each loading the page as it is asked and timed as ours.
    const auto showBare = [](QWebEngineView &bare, bool &bLoaded) {
        bare.resize(1200, 300);
        bare.show();
        QObject::connect(&bare, &QWebEngineView::loadFinished, [&bLoaded](bool) { bLoaded = true; });
    };
    const auto timeLoad = [&](QWebEngineView &bare, bool &bLoaded, const QUrl &url, CStats &stats) {
        bench.Settle();
        bLoaded = false;
        const double dCpuBefore = TreeCpuMs();
        const double dEpochMs = static_cast<double>(QDateTime::currentMSecsSinceEpoch());
        QElapsedTimer t;
        t.start();
        bare.load(url);
        const bool bDone = QTest::qWaitFor([&bLoaded] { return bLoaded; }, LOAD_TIMEOUT_MS);
        const double dMs = bDone ? t.nsecsElapsed() / 1e6 : -1;
        const double dCpu = TreeCpuMs() - dCpuBefore;
        CSteps steps;
        if (bDone)
            ReadSteps(&bare, dEpochMs, steps);
        stats.Add(dMs, dCpu, steps);
    };
    const QUrl fileUrl = QUrl::fromLocalFile(QString::fromStdString(bench.GetPage()));
    QUrl schemeUrl;
    schemeUrl.setScheme(BARE_SCHEME);
    schemeUrl.setPath(QString::fromStdString(bench.GetPage()));

    QWebEngineView view;
    bool bFloorLoaded = false;
    showBare(view, bFloorLoaded);
    QWebEngineProfile schemeProfile;
    schemeProfile.installUrlSchemeHandler(BARE_SCHEME, new CBareSchemeHandler(&schemeProfile));
    QWebEngineView schemeView;
    schemeView.setPage(new QWebEnginePage(&schemeProfile, &schemeView));
    bool bSchemeLoaded = false;
    showBare(schemeView, bSchemeLoaded);
    // Warms both renderers up, as the first page did ours.
    CStats warmUp;
    timeLoad(view, bFloorLoaded, fileUrl, warmUp);
    timeLoad(schemeView, bSchemeLoaded, schemeUrl, warmUp);
    fnFloor = [&]() {
        timeLoad(view, bFloorLoaded, fileUrl, floor);
        timeLoad(schemeView, bSchemeLoaded, schemeUrl, schemeFloor);
    };
#endif

    CStats refresh, reopen, copy, typing;
    for (int i = 0; i < nRuns; ++i) {
        fnFloor();
        bench.Settle();
        const double dMs = bench.TimeToLoad([&] { bench.Frame()->ExecuteCommand(ID_WEB_PREVIEW); });
        refresh.Add(dMs, bench.LastCpu(), bench.LastSteps());
    }
    for (int i = 0; i < nRuns; ++i) {
        fnFloor();
        bench.Frame()->GetBrowserBar()->hide();
        bench.Frame()->OnIdleUpdate();
        bench.Settle();
        const double dMs = bench.TimeToLoad([&] { bench.Frame()->ExecuteCommand(ID_WEB_PREVIEW); });
        reopen.Add(dMs, bench.LastCpu(), bench.LastSteps());
    }
    // A change makes the document modified: every preview goes through the copy.
    CWrenpadView *pView = bench.Frame()->GetActiveView();
    for (int i = 0; i < nRuns; ++i) {
        fnFloor();
        pView->PlaceCaret(CPoint(0, 5));
        QTest::keyClicks(pView, QStringLiteral("x"));
        bench.Frame()->GetBrowserBar()->hide();
        bench.Frame()->OnIdleUpdate();
        bench.Settle();
        const double dMs = bench.TimeToLoad([&] { bench.Frame()->ExecuteCommand(ID_WEB_PREVIEW); });
        copy.Add(dMs, bench.LastCpu(), bench.LastSteps());
    }
    for (int i = 0; i < nRuns; ++i) {
        fnFloor();
        QTest::keyClicks(pView, QStringLiteral("y"));
        bench.Settle();
        const double dMs = bench.TimeToLoad([&] { bench.Previewer()->FlushAutoUpdate(); });
        typing.Add(dMs, bench.LastCpu(), bench.LastSteps());
    }
    const CStats *pFloor = floor.aTimes.empty() ? nullptr : &floor;
    Print("refresh", refresh, pFloor);
    Print("reopen", reopen, pFloor);
    Print("copy", copy, pFloor);
    Print("typing", typing, pFloor);
    if (pFloor) {
        Print("floor", floor);
        Print("scheme floor", schemeFloor, pFloor);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
#ifdef WP_HAVE_WEBENGINE
    // Before the engine starts, as the program's own scheme is.
    QWebEngineUrlScheme scheme(BARE_SCHEME);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
#endif
    bool bCold = false;
    bool bColdFloor = false;
    int nRuns = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string strArg = argv[i];
        if (strArg == "--cold")
            bCold = true;
        else if (strArg == "--cold-floor")
            bColdFloor = true;
        else if (strArg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
    }
    QTemporaryDir folder;
    int nResult = 0;
    if (bColdFloor)
        return RunColdFloor(folder.path());
    {
        CBench bench(folder.path());
        nResult = bCold ? RunCold(bench) : RunAll(bench, nRuns);
    }
    return nResult;
}
