// A 10 MB selection converted in the editing view, offscreen: how long the
// window is held by one conversion, its undo and its redo.
//
//   wp_bench_conv_view [--mb N] [--runs N]
//
// The whole of a 10 MB Japanese HTML document (about 240 000 lines) is
// selected and converted through the command; the time runs from the command
// to the end of the repaint it causes, so it is how long the window does not
// answer. Undo and redo are timed the same way, and the text after the undo is
// checked against the original.
#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "benchtext.h"
#include "html/textconv.h"
#include "res/commands.h"
#include "syntax/viewtype.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// Paints the whole widget now, as the window system would after an update.
void Repaint(QWidget *pWidget)
{
    QImage image(pWidget->size(), QImage::Format_RGB32);
    pWidget->render(&image);
}

// Wall-clock and CPU milliseconds of one call. On a machine shared with
// other work the CPU time tells what an idle machine would take.
struct Timing
{
    double dWall = 1e30;
    double dCpu = 1e30;
    void Take(const std::function<void()> &fn)
    {
        const std::clock_t cpu0 = std::clock();
        QElapsedTimer timer;
        timer.start();
        fn();
        dWall = std::min(dWall, timer.nsecsElapsed() / 1e6);
        dCpu = std::min(dCpu, 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC);
    }
};

std::string WholeText(const CCrystalTextBuffer &buffer)
{
    const int nLast = buffer.GetLineCount() - 1;
    std::string strText;
    buffer.GetText(0, 0, nLast, buffer.GetLineLength(nLast), strText);
    return strText;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    std::size_t nMb = 10;
    int nRuns = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mb" && i + 1 < argc)
            nMb = static_cast<std::size_t>(std::max(1, std::atoi(argv[++i])));
        else if (arg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
    }

    const std::string text = MakeText(nMb << 20);
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    int nEndLine = 0;
    int nEndChar = 0;
    buffer.InsertText(nullptr, 0, 0, text, nEndLine, nEndChar, ACTION_INDENT);
    CWrenpadView view;
    view.AttachBuffer(&buffer);
    view.SetViewType(VIEWTYPE_HTML);
    view.resize(800, view.GetLineHeight() * 50 + 40);
    view.show();
    QApplication::processEvents();
    std::printf("%zu MB selected in the view (%d lines), best of %d runs\n", text.size() >> 20,
                buffer.GetLineCount(), nRuns);
    std::printf("wall-clock ms (cpu ms)\n");
    std::printf("%-6s %-28s %16s %16s %16s %s\n", "id", "conversion", "convert", "undo", "redo",
                "undo gives the text back");

    const struct
    {
        const char *pszID;
        const char *pszName;
        std::function<void()> run;
    } subjects[] = {
        {"6002", "escape HTML specials", [&] { view.RouteCommand(ID_HTML_ESCAPE); }},
        {"6009", "reverse characters", [&] { view.RouteCommand(ID_REVERSE_CHARS); }},
        {"6005", "break lines at 40, kinsoku",
         [&] { view.ConvertSelection([](std::string_view t) { return BreakLinesAtWidth(t, 40, true); }); }},
        {"6010", "lower case", [&] { view.RouteCommand(ID_TO_LOWER); }},
        {"1248", "tags to upper case",
         [&] {
             AppSettings().m_bTagState = 1;
             view.RouteCommand(ID_WEB_TAG_CASE);
         }},
        {"1244", "erase tags", [&] { view.RouteCommand(ID_WEB_ERASE_TAGS); }},
    };
    for (const auto &s : subjects) {
        Timing convert;
        Timing undo;
        Timing redo;
        bool bSame = true;
        for (int i = 0; i < nRuns; ++i) {
            view.SelectAllText();
            convert.Take([&] {
                s.run();
                Repaint(&view);
            });
            undo.Take([&] {
                view.RouteCommand(ID_EDIT_UNDO);
                Repaint(&view);
            });
            bSame = bSame && WholeText(buffer) == text;
            redo.Take([&] {
                view.RouteCommand(ID_EDIT_REDO);
                Repaint(&view);
            });
            view.RouteCommand(ID_EDIT_UNDO);
        }
        auto cell = [](const Timing &t) {
            char sz[32];
            std::snprintf(sz, sizeof sz, "%.0f (%.0f)", t.dWall, t.dCpu);
            return std::string(sz);
        };
        std::printf("%-6s %-28s %16s %16s %16s %s\n", s.pszID, s.pszName, cell(convert).c_str(), cell(undo).c_str(),
                    cell(redo).c_str(), bSame ? "yes" : "NO");
    }
    return 0;
}
