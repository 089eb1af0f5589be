// Replace all in a 1.5 million line document with 100,000 matches, through
// the view's replace dialog (answered by the dialog hook) with two views on
// the buffer, then one undo that must restore the text exactly.
//
//   wp_bench_replace [--runs N]
//
// Times include the repaint of both views afterwards. Each run starts from
// the original text (the undo of the run before).
#include "app/ui/wrenpadview.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"

#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr int LINES = 1500000;
constexpr int EVERY = 15;  // one line in 15 holds the text: 100,000 matches

std::string Line(int i)
{
    static const char *const rows[] = {
        "<tr><td class=\"name\">\x93\xFA\x96\x7B\x8C\xEA</td><td align=\"right\">1234</td></tr>",
        "<p>\x82\xB1\x82\xEA\x82\xCD\x83\x65\x83\x58\x83\x67 Some English text &amp; more.</p>",
        "  <div style=\"color: #336699\"><span>\x95\x5C\x8E\xA6</span></div>",
    };
    std::string s = rows[i % 3];
    if (i % EVERY == 0)
        s += " needle";
    return s;
}

void Repaint(QWidget *pWidget)
{
    QImage image(pWidget->size(), QImage::Format_RGB32);
    pWidget->render(&image);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    int nRuns = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[i + 1]));
    }

    std::string text;
    text.reserve(static_cast<std::size_t>(LINES) * 80);
    for (int i = 0; i < LINES; ++i) {
        text += Line(i);
        if (i + 1 < LINES)
            text += "\r\n";
    }
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    int l = 0;
    int c = 0;
    buffer.InsertText(nullptr, 0, 0, text, l, c, ACTION_INDENT);
    text.clear();
    CWrenpadView view;
    CWrenpadView pane;
    for (CWrenpadView *pView : {&view, &pane}) {
        pView->AttachBuffer(&buffer);
        pView->resize(800, 600);
        pView->show();
        Repaint(pView);
    }
    // Both views have drawn the end of the text too, so their caches are full.
    pane.RouteCommand(ID_EDIT_TEXT_END);
    Repaint(&pane);
    QApplication::processEvents();
    SetMessageBoxHook([](const CMsgBoxRequest &) { return IDOK; });

    auto Check = [&](const char *pszWhat, const std::function<bool(int)> &fnLineOk) {
        for (int i = 0; i < buffer.GetLineCount(); ++i) {
            if (!fnLineOk(i)) {
                std::printf("FAILED: %s, line %d: %.*s\n", pszWhat, i + 1, buffer.GetLineLength(i), buffer.GetLineText(i));
                std::exit(1);
            }
        }
    };
    struct CCase
    {
        const char *pszName;
        const char *pszFind;
        const char *pszReplace;
        bool bRegex;
        const char *pszResult;  // what " needle" becomes
    };
    const CCase aCases[] = {
        {"plain text", "needle", "pin", false, " pin"},
        {"expression with a group", "n(e+)dle", "<\\1>", true, " <ee>"},
    };
    std::printf("Replace all: %d lines, %d matches, two views; best of %d runs\n", LINES, LINES / EVERY, nRuns);
    std::printf("%-26s %14s %14s\n", "replace", "replace all", "one undo");
    for (const CCase &rc : aCases) {
        double dBestReplace = 1e300;
        double dBestUndo = 1e300;
        for (int nRun = 0; nRun < nRuns; ++nRun) {
            view.PlaceCaret(CPoint(0, 0));
            SetDialogHook([&](QDialog *pDialog) {
                pDialog->findChild<QComboBox *>(QStringLiteral("searchText"))->setEditText(QString::fromLatin1(rc.pszFind));
                pDialog->findChild<QComboBox *>(QStringLiteral("replaceText"))->setEditText(QString::fromLatin1(rc.pszReplace));
                pDialog->findChild<QCheckBox *>(QStringLiteral("regex"))->setChecked(rc.bRegex);
                pDialog->findChild<QCheckBox *>(QStringLiteral("matchCase"))->setChecked(true);
                pDialog->findChild<QPushButton *>(QStringLiteral("replaceAll"))->click();
                return QDialog::Rejected;
            });
            QElapsedTimer timer;
            timer.start();
            view.RouteCommand(ID_EDIT_REPLACE);
            Repaint(&view);
            Repaint(&pane);
            dBestReplace = std::min(dBestReplace, timer.nsecsElapsed() / 1e9);
            Check("replaced", [&](int i) { return std::string(buffer.GetLine(i)) == (i % EVERY == 0 ? Line(i).substr(0, Line(i).size() - 7) + rc.pszResult : Line(i)); });

            timer.restart();
            view.RouteCommand(ID_EDIT_UNDO);
            Repaint(&view);
            Repaint(&pane);
            dBestUndo = std::min(dBestUndo, timer.nsecsElapsed() / 1e9);
            Check("undone", [&](int i) { return std::string(buffer.GetLine(i)) == Line(i); });
            if (buffer.CanUndo()) {
                std::printf("FAILED: more than one step of undo\n");
                return 1;
            }
        }
        std::printf("%-26s %12.3f s %12.3f s\n", rc.pszName, dBestReplace, dBestUndo);
    }
    SetDialogHook(nullptr);
    SetMessageBoxHook(nullptr);
    return 0;
}
