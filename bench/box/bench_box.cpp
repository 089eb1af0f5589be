// Box selections on a 100,000-line document, offscreen: copying, cutting,
// deleting and pasting a box 20 columns wide over every line, each through
// the editing view's keys and including the repaint it causes; and the same
// box as pure buffer work. Beside them, `cut -b` and `colrm` do the column
// copy and delete on the same text in a file (their times include starting
// the process and reading and writing the file).
//
//   wp_bench_box [--runs N] [--dir FOLDER]
#include "view/boxedit.h"
#include "view/ui/crystaleditview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

int g_nRuns = 5;
constexpr int LINES = 100000;
constexpr int LEFT = 10;
constexpr int RIGHT = 30;

// The best time of the runs, in milliseconds; after each run the undo
// function (not timed) puts the text back.
double Best(const std::function<void()> &fn, const std::function<void()> &undo = {})
{
    double dBest = 1e300;
    for (int i = 0; i < g_nRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        dBest = std::min(dBest, timer.nsecsElapsed() / 1e6);
        if (undo)
            undo();
    }
    return dBest;
}

// Lines of different lengths, with Japanese text and tabs cut by the box's edges.
std::string MakeText()
{
    const char *const rows[] = {
        "<td>\x93\xFA\x96\x7B\x8C\xEA</td>\t<td align=\"right\">1234</td>",
        "\tif (x == 1) { return \x82\xB1\x82\xEA\x82\xCD; }",
        "short",
        "",
        "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1\x82\xB3\x82\xB5\x82\xB7",
        "name=value; other=\"a b c d e f g h i j k l m n o p\"",
    };
    std::string s;
    s.reserve(static_cast<std::size_t>(LINES) * 50);
    for (int i = 0; i < LINES; ++i) {
        s += rows[i % 6];
        if (i + 1 < LINES)
            s += "\r\n";
    }
    return s;
}

double Shell(const std::string &strCommand)
{
    double dBest = 1e300;
    for (int i = 0; i < g_nRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (std::system(strCommand.c_str()) != 0) {
            std::printf("failed: %s\n", strCommand.c_str());
            return -1;
        }
        dBest = std::min(dBest, timer.nsecsElapsed() / 1e6);
    }
    return dBest;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::string strDir = QDir::tempPath().toStdString() + "/wp_bench_box";
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc)
            g_nRuns = std::max(1, std::atoi(argv[++i]));
        else if (std::string(argv[i]) == "--dir" && i + 1 < argc)
            strDir = argv[++i];
    }
    QDir().mkpath(QString::fromStdString(strDir));

    const std::string text = MakeText();
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    int nEndLine = 0;
    int nEndChar = 0;
    buffer.InsertText(nullptr, 0, 0, text, nEndLine, nEndChar, ACTION_INDENT);
    buffer.SetModified(false);
    CCrystalEditView view;
    view.resize(800, 600);
    view.AttachBuffer(&buffer);
    view.show();
    view.setFocus();
    QApplication::processEvents();
    auto repaint = [&] {
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
    };
    auto undo = [&] {
        CPoint pt;
        buffer.Undo(pt);
    };
    auto selectBox = [&] { view.SelectBox(0, LEFT, LINES - 1, RIGHT); };

    std::printf("box of columns %d-%d over %d lines (%zu bytes), best of %d runs\n", LEFT, RIGHT, LINES, text.size(),
                g_nRuns);
    std::printf("%-44s %10s\n", "operation", "ms");
    const double dCopy = Best([&] {
        selectBox();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    });
    std::printf("%-44s %10.2f\n", "view: select and copy (Ctrl+C)", dCopy);
    const double dDelete = Best(
        [&] {
            selectBox();
            QTest::keyClick(&view, Qt::Key_Delete);
            repaint();
        },
        undo);
    std::printf("%-44s %10.2f\n", "view: select and delete, repaint", dDelete);
    const double dCut = Best(
        [&] {
            selectBox();
            QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
            repaint();
        },
        undo);
    std::printf("%-44s %10.2f\n", "view: select and cut, repaint", dCut);
    selectBox();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    const double dPaste = Best(
        [&] {
            view.PlaceCaret(CPoint(0, 0));
            QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
            repaint();
        },
        undo);
    std::printf("%-44s %10.2f\n", "view: paste the box at line 1, repaint", dPaste);
    const double dUndo = Best(
        [&] {
            selectBox();
            QTest::keyClick(&view, Qt::Key_Delete);
            undo();
        });
    std::printf("%-44s %10.2f\n", "view: delete and undo", dUndo);

    const CBox box{0, LINES - 1, LEFT, RIGHT};
    const double dCoreCopy = Best([&] { (void)GetBoxText(buffer, box, 4); });
    std::printf("%-44s %10.2f\n", "buffer: box text", dCoreCopy);
    const double dCoreDelete = Best([&] { ReplaceBox(buffer, nullptr, box, 4, "", ACTION_DELETE); }, undo);
    std::printf("%-44s %10.2f\n", "buffer: remove the box", dCoreDelete);

    const std::string strFile = strDir + "/box.txt";
    {
        std::ofstream out(strFile, std::ios::binary);
        for (int i = 0; i < buffer.GetLineCount(); ++i) {
            out << buffer.GetLine(i) << '\n';
        }
    }
    const std::string strOut = strDir + "/out.txt";
    std::printf("%-44s %10.2f\n", "cut -b 11-30 file > out",
                Shell("cut -b " + std::to_string(LEFT + 1) + "-" + std::to_string(RIGHT) + " " + strFile + " > " + strOut));
    std::printf("%-44s %10.2f\n", "colrm 11 30 < file > out",
                Shell("colrm " + std::to_string(LEFT + 1) + " " + std::to_string(RIGHT) + " < " + strFile + " > " + strOut));
    return 0;
}
