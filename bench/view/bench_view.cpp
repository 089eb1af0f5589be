// The editing view on large documents, offscreen, beside QPlainTextEdit.
//
//   wp_bench_view [--runs N]
//
// A 1.5 million line HTML document (Japanese and ASCII): typing a character at
// the end and at the start, Page Down, a full repaint of a 50-line window,
// Ctrl+End with every parse state computed, and copying all of it to the
// clipboard (its exact bytes and its Unicode text). A document of one 10 MB line:
// caret moves, typing and a repaint. Each figure is the best of N runs of the
// operation including the repaint it causes; QPlainTextEdit holding the same
// text does the same typing and repaint.
#include "app/ui/wrenpadview.h"
#include "syntax/viewtype.h"
#include "text/codec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <cstdio>
#include <functional>
#include <string>

namespace {

int g_nRuns = 5;

// The best time of n runs, in milliseconds.
double Best(const std::function<void()> &fn, int nRuns = g_nRuns)
{
    double dBest = 1e300;
    for (int i = 0; i < nRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        dBest = std::min(dBest, timer.nsecsElapsed() / 1e6);
    }
    return dBest;
}

// Paints the whole widget now, as the window system would after an update.
void Repaint(QWidget *pWidget)
{
    QImage image(pWidget->size(), QImage::Format_RGB32);
    pWidget->render(&image);
}

std::string MakeHtml(int nLines)
{
    const char *const rows[] = {
        "<tr><td class=\"name\">\x93\xFA\x96\x7B\x8C\xEA</td><td align=\"right\">1234</td></tr>",
        "<p>\x82\xB1\x82\xEA\x82\xCD\x83\x65\x83\x58\x83\x67\x82\xC5\x82\xB7\x81\x42 Some English text &amp; more.</p>",
        "<!-- \x83\x52\x83\x81\x83\x93\x83\x67 comment -->",
        "<a href=\"http://example.com/page.html\">\x83\x8A\x83\x93\x83\x4E</a><br>",
        "  <div style=\"color: #336699\"><span>\x95\x5C\x8E\xA6</span></div>",
    };
    std::string s;
    s.reserve(static_cast<std::size_t>(nLines) * 70);
    for (int i = 0; i < nLines; ++i) {
        s += rows[i % 5];
        s += "\r\n";
    }
    return s;
}

template <typename View>
void Prepare(View &view)
{
    view.resize(800, view.fontMetrics().height() * 50 + 40);
    view.show();
    view.setFocus();
    QApplication::processEvents();
}

struct CWrenpadSubject
{
    CCrystalTextBuffer buffer;
    CWrenpadView view;

    explicit CWrenpadSubject(const std::string &strText)
    {
        buffer.InitNew();
        int l = 0;
        int c = 0;
        buffer.InsertText(nullptr, 0, 0, strText, l, c, ACTION_INDENT);
        view.AttachBuffer(&buffer);
        view.SetViewType(VIEWTYPE_HTML);
        view.resize(800, view.GetLineHeight() * 50 + 40);
        view.show();
        view.setFocus();
        QApplication::processEvents();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    bool bLongOnly = false;
    bool bNoPeer = false;
    bool bLinesOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc)
            g_nRuns = std::max(1, std::atoi(argv[i + 1]));
        else if (std::string(argv[i]) == "--long-only")
            bLongOnly = true;
        else if (std::string(argv[i]) == "--no-peer")
            bNoPeer = true;
        else if (std::string(argv[i]) == "--lines-only")
            bLinesOnly = true;
    }

    // --long-only: a small document instead of 1.5 million lines (for profiling
    // the one-line case); --no-peer: without QPlainTextEdit.
    const int nLines = bLongOnly ? 1000 : 1500000;
    std::printf("building a %d-line HTML document...\n", nLines);
    const std::string html = MakeHtml(nLines);
    std::printf("%-42s %10s %14s\n", "operation (1.5M lines)", "Wrenpad ms", "QPlainText ms");

    double dType = 0, dTypeStart = 0, dPgDn = 0, dPaint = 0, dCtrlEnd = 0, dCopy = 0;
    {
        CWrenpadSubject w(html);
        // Ctrl+End from a fresh view: every parse state down to the end.
        w.view.LineStates().Reset();
        dCtrlEnd = Best([&] {
            w.view.LineStates().Reset();
            QTest::keyClick(&w.view, Qt::Key_Home, Qt::ControlModifier);
            QTest::keyClick(&w.view, Qt::Key_End, Qt::ControlModifier);
            Repaint(&w.view);
        }, 3);
        dType = Best([&] {
            QTest::keyClick(&w.view, Qt::Key_A);
            Repaint(&w.view);
        });
        QTest::keyClick(&w.view, Qt::Key_Home, Qt::ControlModifier);
        Repaint(&w.view);
        dTypeStart = Best([&] {
            QTest::keyClick(&w.view, Qt::Key_A);
            Repaint(&w.view);
        });
        dPgDn = Best([&] {
            QTest::keyClick(&w.view, Qt::Key_PageDown);
            Repaint(&w.view);
        });
        dPaint = Best([&] { Repaint(&w.view); });
        w.view.SelectAllText();
        dCopy = Best([&] { w.view.OnEditCopy(); }, 3);
    }

    double dQType = -1, dQTypeStart = -1, dQPgDn = -1, dQPaint = -1;
    if (!bNoPeer) {
        QPlainTextEdit edit;
        edit.setFont(QFont(QStringLiteral("Noto Sans Mono CJK JP"), 12));
        QElapsedTimer t;
        t.start();
        edit.setPlainText(QString::fromStdU16String(Cp932ToUtf16(html)));
        Prepare(edit);
        std::printf("(QPlainTextEdit took %.1f s to take the text)\n", t.nsecsElapsed() / 1e9);
        QTest::keyClick(&edit, Qt::Key_End, Qt::ControlModifier);
        dQType = Best([&] {
            QTest::keyClick(&edit, Qt::Key_A);
            Repaint(&edit);
        });
        QTest::keyClick(&edit, Qt::Key_Home, Qt::ControlModifier);
        dQTypeStart = Best([&] {
            QTest::keyClick(&edit, Qt::Key_A);
            Repaint(&edit);
        });
        dQPgDn = Best([&] {
            QTest::keyClick(&edit, Qt::Key_PageDown);
            Repaint(&edit);
        });
        dQPaint = Best([&] { Repaint(&edit); });
    }
    std::printf("%-42s %10.2f %14.2f\n", "type a character at the end", dType, dQType);
    std::printf("%-42s %10.2f %14.2f\n", "type a character at the start", dTypeStart, dQTypeStart);
    std::printf("%-42s %10.2f %14.2f\n", "Page Down", dPgDn, dQPgDn);
    std::printf("%-42s %10.2f %14.2f\n", "full repaint, 50 lines", dPaint, dQPaint);
    std::printf("%-42s %10.2f %14s\n", "Ctrl+End, all parse states computed", dCtrlEnd, "-");
    std::printf("%-42s %10.2f %14s\n", "copy everything to the clipboard", dCopy, "-");

    if (bLinesOnly)
        return 0;
    // One 10 MB line.
    std::string longLine;
    while (longLine.size() < 10u << 20)
        longLine += "<b>\x93\xFA\x96\x7B</b> text ";
    std::printf("\n%-42s %10s %14s\n", "operation (one 10 MB line)", "Wrenpad ms", "QPlainText ms");
    double dMove = 0, dEnd = 0, dType2 = 0, dPaint2 = 0;
    {
        CWrenpadSubject w(longLine);
        QTest::keyClick(&w.view, Qt::Key_End);
        Repaint(&w.view);
        dMove = Best([&] {
            QTest::keyClick(&w.view, Qt::Key_Left);
            Repaint(&w.view);
        });
        dEnd = Best([&] {
            QTest::keyClick(&w.view, Qt::Key_Home);
            QTest::keyClick(&w.view, Qt::Key_End);
            Repaint(&w.view);
        }, 3);
        dType2 = Best([&] {
            QTest::keyClick(&w.view, Qt::Key_A);
            Repaint(&w.view);
        });
        dPaint2 = Best([&] { Repaint(&w.view); });
    }
    double dQMove = -1, dQType2 = -1, dQPaint2 = -1;
    if (!bNoPeer) {
        QPlainTextEdit edit;
        edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        edit.setPlainText(QString::fromStdU16String(Cp932ToUtf16(longLine)));
        Prepare(edit);
        QTest::keyClick(&edit, Qt::Key_End);
        dQMove = Best([&] {
            QTest::keyClick(&edit, Qt::Key_Left);
            Repaint(&edit);
        }, 3);
        dQType2 = Best([&] {
            QTest::keyClick(&edit, Qt::Key_A);
            Repaint(&edit);
        }, 3);
        dQPaint2 = Best([&] { Repaint(&edit); }, 3);
    }
    std::printf("%-42s %10.2f %14.2f\n", "caret left at the line end", dMove, dQMove);
    std::printf("%-42s %10.2f %14s\n", "Home then End", dEnd, "-");
    std::printf("%-42s %10.2f %14.2f\n", "type a character at the end", dType2, dQType2);
    std::printf("%-42s %10.2f %14.2f\n", "full repaint", dPaint2, dQPaint2);
    return 0;
}
