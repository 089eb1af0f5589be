// The explorer pane on large folders, offscreen, beside QFileSystemModel.
//
//   wp_bench_explorer [--runs N] [--files N]
//
// Two folders are made in the temporary folder: one of 20,000 files (half
// HTML, a quarter text, a quarter other files the default filter hides) and
// 100 subfolders, and one of 2,000 subfolders of five files each. For each,
// the pane is pointed at the folder and the event loop runs until the tree
// has everything. Measured from the command:
//   first rows  the first paint of the tree that shows rows of the folder
//   all rows    every row in the tree and, for the pane, every expand button
//               decided
//   UI stall    the longest the event loop went without running (a 1 ms
//               timer ticks throughout), and the time of all ticks that came
//               more than 16 ms late
// QFileSystemModel (Qt's own file model, which also reads on a thread) in a
// QTreeView with the same name filter does the same. The floor is reading
// and sorting the folder in the calling thread. Each figure is the best and
// the median of N runs.
#include "explorer/explorerfiles.h"
#include "explorer/ui/dirlistdlg.h"
#include "explorer/ui/dirtreectrl.h"
#include "explorer/ui/dirtreemodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileSystemModel>
#include <QMainWindow>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

int g_nRuns = 5;

struct CMeasure
{
    double dFirstRows = -1;  // ms
    double dAllRows = -1;
    double dMaxStall = 0;
    double dLateTotal = 0;
};

// Watches the event loop while something loads: a 1 ms timer notes how late
// each tick comes, and the test for "done" runs on every tick.
class CLoopWatch : public QObject
{
public:
    CLoopWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    }

    // Runs fnStart from the event loop, then the loop until fnDone says so
    // (or 60 s pass).
    void Run(const std::function<void()> &fnStart, const std::function<bool()> &fnDone, CMeasure &measure)
    {
        m_pMeasure = &measure;
        m_fnDone = fnDone;
        m_bFinished = false;
        m_timer.start();
        QTimer::singleShot(5, this, [this, fnStart] {
            m_clock.start();
            m_nLast = 0;
            fnStart();
            m_bStarted = true;
        });
        QElapsedTimer guard;
        guard.start();
        while (!m_bFinished && guard.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_timer.stop();
        m_bStarted = false;
    }

    double Now() const { return m_clock.nsecsElapsed() / 1e6; }

private:
    void Tick()
    {
        if (!m_bStarted || m_bFinished)
            return;
        const qint64 nNow = m_clock.nsecsElapsed();
        const double dGap = (nNow - m_nLast) / 1e6;
        m_nLast = nNow;
        m_pMeasure->dMaxStall = std::max(m_pMeasure->dMaxStall, dGap);
        if (dGap > 16)
            m_pMeasure->dLateTotal += dGap;
        if (m_pMeasure->dAllRows < 0 && m_fnDone())
            m_pMeasure->dAllRows = nNow / 1e6;
        // The loop runs on until the rows have been painted too.
        if (m_pMeasure->dAllRows >= 0 && m_pMeasure->dFirstRows >= 0)
            m_bFinished = true;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_nLast = 0;
    bool m_bStarted = false;
    bool m_bFinished = false;
    CMeasure *m_pMeasure = nullptr;
    std::function<bool()> m_fnDone;
};

// Notes the first paint of a view's viewport that shows rows.
class CPaintWatch : public QObject
{
public:
    CPaintWatch(QAbstractItemView *pView, const CLoopWatch &loop, CMeasure &measure, std::function<int()> fnRows)
        : m_loop(loop), m_measure(measure), m_fnRows(std::move(fnRows))
    {
        pView->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::Paint && m_measure.dFirstRows < 0 && m_fnRows() > 1)
            m_measure.dFirstRows = m_loop.Now();
        return false;
    }

private:
    const CLoopWatch &m_loop;
    CMeasure &m_measure;
    std::function<int()> m_fnRows;
};

void WriteFile(const std::string &strPath)
{
    std::ofstream(strPath) << "<p>x</p>\n";
}

std::string MakeFolderOfFiles(const std::string &strBase, int nFiles)
{
    const std::string strFolder = strBase + "/files";
    ::mkdir(strFolder.c_str(), 0777);
    char szName[64];
    for (int i = 0; i < nFiles; ++i) {
        const char *pszExt = i % 4 < 2 ? "html" : i % 4 == 2 ? "txt" : "dat";
        std::snprintf(szName, sizeof szName, "/ページ%05d.%s", (i * 7919) % nFiles, pszExt);
        WriteFile(strFolder + szName);
    }
    for (int i = 0; i < 100; ++i) {
        std::snprintf(szName, sizeof szName, "/folder%03d", i);
        ::mkdir((strFolder + szName).c_str(), 0777);
        if (i % 2)
            WriteFile(strFolder + szName + "/a.html");
    }
    return strFolder;
}

std::string MakeFolderOfFolders(const std::string &strBase, int nFolders)
{
    const std::string strFolder = strBase + "/folders";
    ::mkdir(strFolder.c_str(), 0777);
    char szName[64];
    for (int i = 0; i < nFolders; ++i) {
        std::snprintf(szName, sizeof szName, "/sub%05d", i);
        const std::string strSub = strFolder + szName;
        ::mkdir(strSub.c_str(), 0777);
        for (int k = 0; k < 5; ++k)
            WriteFile(strSub + "/" + std::to_string(k) + (i % 3 ? ".html" : ".dat"));
    }
    return strFolder;
}

int CountShown(const std::string &strFolder, const char *pszFilter)
{
    return static_cast<int>(ListExplorerFolder(strFolder, CExtensionList(pszFilter), true).aEntries.size());
}

CMeasure MeasurePane(const std::string &strFolder, int nExpected)
{
    QMainWindow window;
    window.resize(900, 700);
    auto *pPane = new CDirListDlg(&window);
    window.addDockWidget(Qt::LeftDockWidgetArea, pPane);
    window.show();
    QApplication::processEvents();
    CMeasure measure;
    CLoopWatch loop;
    CDirTreeModel *pModel = pPane->GetModel();
    CPaintWatch paint(pPane->GetTree(), loop, measure, [pModel] {
        return pModel->rowCount(pModel->RootIndex());
    });
    loop.Run([pPane, &strFolder] { pPane->SetRoot(strFolder, std::string()); },
             [pModel, nExpected] { return !pModel->IsLoading() && pModel->rowCount(pModel->RootIndex()) == nExpected; },
             measure);
    return measure;
}

CMeasure MeasurePeer(const std::string &strFolder, int nExpected, const QStringList &filters)
{
    QMainWindow window;
    window.resize(900, 700);
    auto *pView = new QTreeView(&window);
    window.setCentralWidget(pView);
    pView->setUniformRowHeights(true);
    window.show();
    QApplication::processEvents();
    CMeasure measure;
    CLoopWatch loop;
    auto *pModel = new QFileSystemModel(pView);
    pModel->setNameFilters(filters);
    pModel->setNameFilterDisables(false);
    pModel->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    const QString strRoot = QString::fromStdString(strFolder);
    bool bLoaded = false;
    QObject::connect(pModel, &QFileSystemModel::directoryLoaded, pView,
                     [&bLoaded, strRoot](const QString &strPath) { bLoaded = bLoaded || strPath == strRoot; });
    CPaintWatch paint(pView, loop, measure, [pModel, strRoot] { return pModel->rowCount(pModel->index(strRoot)); });
    loop.Run(
        [pView, pModel, strRoot] {
            pView->setModel(pModel);
            pView->setRootIndex(pModel->setRootPath(strRoot));
        },
        [pModel, strRoot, nExpected, &bLoaded] { return bLoaded && pModel->rowCount(pModel->index(strRoot)) == nExpected; },
        measure);
    return measure;
}

double Floor(const std::string &strFolder, const char *pszFilter)
{
    QElapsedTimer timer;
    timer.start();
    const CFolderListing listing = ListExplorerFolder(strFolder, CExtensionList(pszFilter), true);
    (void)listing;
    return timer.nsecsElapsed() / 1e6;
}

struct CSummary
{
    std::vector<double> aFirst, aAll, aStall, aLate;
    void Add(const CMeasure &m)
    {
        aFirst.push_back(m.dFirstRows);
        aAll.push_back(m.dAllRows);
        aStall.push_back(m.dMaxStall);
        aLate.push_back(m.dLateTotal);
    }
};

std::string BestMedian(std::vector<double> a)
{
    std::sort(a.begin(), a.end());
    char sz[64];
    std::snprintf(sz, sizeof sz, "%8.1f %8.1f", a.front(), a[a.size() / 2]);
    return sz;
}

void Report(const char *pszName, const CSummary &s)
{
    std::printf("  %-22s first rows %s   all rows %s   stall %s   late %s\n", pszName, BestMedian(s.aFirst).c_str(),
                BestMedian(s.aAll).c_str(), BestMedian(s.aStall).c_str(), BestMedian(s.aLate).c_str());
}

void RunCase(const char *pszTitle, const std::string &strFolder)
{
    const char *pszFilter = DEFAULT_DIRLIST_FILTER;
    const QStringList filters{"*.txt", "*.html", "*.htm", "*.c", "*.cpp", "*.java", "*.h", "*.pl", "*.bmp", "*.jpg", "*.gif"};
    const int nExpected = CountShown(strFolder, pszFilter);
    std::printf("%s: %d rows (ms, best and median of %d)\n", pszTitle, nExpected, g_nRuns);
    CSummary ours;
    CSummary peer;
    std::vector<double> aFloor;
    for (int i = 0; i < g_nRuns; ++i) {
        ours.Add(MeasurePane(strFolder, nExpected));
        peer.Add(MeasurePeer(strFolder, nExpected, filters));
        aFloor.push_back(Floor(strFolder, pszFilter));
    }
    Report("Wrenpad explorer pane", ours);
    Report("QFileSystemModel", peer);
    std::printf("  %-22s read and sort %s\n", "floor (one thread)", BestMedian(aFloor).c_str());
}

} // namespace

int main(int argc, char **argv)
{
    int nFiles = 20000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--runs")
            g_nRuns = std::max(1, std::atoi(argv[++i]));
        else if (std::string(argv[i]) == "--files")
            nFiles = std::max(10, std::atoi(argv[++i]));
    }
    QApplication app(argc, argv);
    char szBase[] = "/tmp/wp-bench-explorer-XXXXXX";
    if (!::mkdtemp(szBase))
        return 1;
    const std::string strBase = szBase;
    std::printf("making the folders in %s...\n", szBase);
    const std::string strFiles = MakeFolderOfFiles(strBase, nFiles);
    const std::string strFolders = MakeFolderOfFolders(strBase, nFiles / 10);
    {
        std::ifstream load("/proc/loadavg");
        std::string strLoad;
        std::getline(load, strLoad);
        std::printf("load average: %s\n", strLoad.c_str());
    }
    RunCase("a folder of files", strFiles);
    RunCase("a folder of folders", strFolders);
    DeleteTree(strBase);
    return 0;
}
