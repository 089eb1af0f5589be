// The table editor on a selection of 10,000 comma-separated lines, offscreen:
// opening it (splitting the text into the grid, building the dialog, showing
// it and painting the first screen), paging to the end and back with the
// keys (each page repainted), editing one cell far down, and OK (building
// the HTML table). Beside them, the splitting and the HTML output alone.
//
//   wp_bench_grid [--runs N] [--lines N]
#include "html/tablegrid.h"
#include "html/ui/gridctrl.h"
#include "html/ui/tableeditdlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

int g_nRuns = 5;
int g_nLines = 10000;

double Best(const std::function<void()> &fn)
{
    double dBest = 1e300;
    for (int i = 0; i < g_nRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        dBest = std::min(dBest, timer.nsecsElapsed() / 1e6);
    }
    return dBest;
}

// Lines of five cells: numbers, Japanese words ("表" ends in 0x5C) and a quoted cell with a comma.
std::string MakeText()
{
    std::string s;
    for (int i = 0; i < g_nLines; ++i) {
        s += std::to_string(i) + ",\x95\x5C\x8E\xA6" + std::to_string(i % 97) + ",\"a,b\",\x83\x5C\x83\x74\x83\x67,"
             + std::to_string(i * 7) + "\r\n";
    }
    return s;
}

void Paint(QWidget *pWidget)
{
    pWidget->repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            g_nRuns = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--lines") == 0)
            g_nLines = std::max(1, std::atoi(argv[i + 1]));
    }
    const std::string strText = MakeText();
    std::printf("table editor on %d lines x 5 cells (%zu bytes), best of %d runs\n", g_nLines, strText.size(), g_nRuns);

    std::printf("  split into the grid           %8.2f ms\n",
                Best([&] { (void)GridFromSeparatedText(strText, ','); }));
    const CTableGrid grid = GridFromSeparatedText(strText, ',');
    std::printf("  HTML output                   %8.2f ms\n", Best([&] { (void)TableToHtml(grid, "", ""); }));

    CTableEditSetup setup;
    setup.strSource = strText;
    std::unique_ptr<CTableEditDlg> pDlg;
    std::printf("  open (split, build, show, paint) %5.2f ms\n", Best([&] {
                    pDlg = std::make_unique<CTableEditDlg>(setup);
                    pDlg->show();
                    Paint(pDlg->GetGrid()->viewport());
                }));
    CGridCtrl *pGrid = pDlg->GetGrid();
    pGrid->setFocus();
    const int nPages = g_nLines / std::max(1, pGrid->viewport()->height() / pGrid->RowHeight() - 1) + 1;
    std::printf("  Ctrl+End, Ctrl+Home, painted  %8.2f ms\n", Best([&] {
                    QTest::keyClick(pGrid, Qt::Key_End, Qt::ControlModifier);
                    Paint(pGrid->viewport());
                    QTest::keyClick(pGrid, Qt::Key_Home, Qt::ControlModifier);
                    Paint(pGrid->viewport());
                }));
    const double dPage = Best([&] {
        QTest::keyClick(pGrid, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(pGrid, Qt::Key_PageDown);
            Paint(pGrid->viewport());
        }
    });
    std::printf("  one page down, painted        %8.3f ms (of %d pages)\n", dPage / 20, nPages);
    std::printf("  edit a cell near the end      %8.2f ms\n", Best([&] {
                    pGrid->SetFocusCell(g_nLines - 5, 2);
                    QTest::keyClicks(pGrid, "xyz");
                    QTest::keyClick(pGrid->GetEditor(), Qt::Key_Return);
                    Paint(pGrid->viewport());
                }));
    std::printf("  OK (HTML result)              %8.2f ms\n", Best([&] {
                    pDlg->accept();
                }));
    std::printf("  result %zu bytes\n", pDlg->GetResult().size());
    return 0;
}
