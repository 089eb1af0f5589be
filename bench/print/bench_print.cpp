// Printing a long Japanese text to PDF, beside the converters a Linux user
// would reach for.
//
//   wp_bench_print --editor PATH/wrenpad [--lines N] [--runs N] [--no-peers]
//
// Writes an N-line text (100,000 by default: Japanese sentences with kana,
// kanji, punctuation, brackets, some English and tabs, every 50th line long
// enough to wrap) in Shift-JIS for the editor and in UTF-8 for the others,
// then times, best of the runs:
//   - the print job in this process (layout and drawing into a PDF in memory),
//   - "wrenpad --print-pdf" as a whole process,
//   - paps (text to PostScript through Pango) piped into ps2pdf,
//   - LibreOffice Writer's headless conversion,
//   - enscript piped into ps2pdf (it knows no Japanese; shown for scale).
// Each PDF is read back with pdftotext: its page count, and whether a line of
// Japanese from the middle of the text can be found in it as text.
#include "text/codec.h"
#include "text/textbuffer.h"
#include "view/pagesetup.h"
#include "view/ui/fontutil.h"
#include "view/ui/textprint.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <string>

namespace {

int g_nRuns = 3;

double BestSeconds(const std::function<bool()> &fn, int nRuns)
{
    double dBest = -1;
    for (int i = 0; i < nRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!fn())
            return -1;
        const double d = timer.nsecsElapsed() / 1e9;
        dBest = dBest < 0 ? d : std::min(dBest, d);
    }
    return dBest;
}

std::string MakeText(int nLines)
{
    const char *const aSentences[] = {
        "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。",
        "「こんにちは」と彼は言った、そして静かに扉を閉めた。",
        "東京都千代田区の天気は晴れ、最高気温は２５度です。",
        "ﾊﾝｶｸｶﾀｶﾅも混ざる行：ﾃｷｽﾄ ｴﾃﾞｨﾀ",
        "int main(void) {\treturn 0; }\t// 日本語のコメント",
        "<p>段落の中の<b>強調</b>とリンク<a href=\"index.html\">目次</a></p>",
        "English words mixed with 日本語の文章 and numbers 12345.",
    };
    std::string text;
    for (int i = 0; i < nLines; ++i) {
        std::string line = std::to_string(i + 1) + ": " + aSentences[i % 7];
        if (i % 50 == 49) {
            for (int k = 0; k < 4; ++k)
                line += aSentences[(i + k) % 3];
        }
        text += line + "\n";
    }
    return text;
}

bool Run(const QString &strProgram, const QStringList &args, const QString &strStdoutFile = QString())
{
    QProcess process;
    if (!strStdoutFile.isEmpty())
        process.setStandardOutputFile(strStdoutFile);
    process.start(strProgram, args);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(strProgram), process.readAllStandardError().constData());
        return false;
    }
    return true;
}

// Pages and whether the probe text is in the PDF as text.
QString Check(const QString &strPdf, const QString &strProbe)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), strPdf,
                                                QStringLiteral("-")});
    process.waitForFinished(-1);
    const QString strText = QString::fromUtf8(process.readAllStandardOutput());
    const int nPages = static_cast<int>(strText.count(QLatin1Char('\f')));
    return QStringLiteral("%1 pages, Japanese as text: %2")
        .arg(nPages)
        .arg(strText.contains(strProbe) ? QStringLiteral("yes") : QStringLiteral("no"));
}

void Report(const char *pszName, double dSeconds, const QString &strCheck)
{
    if (dSeconds < 0)
        std::printf("%-44s %10s\n", pszName, "failed");
    else
        std::printf("%-44s %10.2f   %s\n", pszName, dSeconds, qPrintable(strCheck));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QString strEditor;
    int nLines = 100000;
    bool bPeers = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--editor" && i + 1 < argc)
            strEditor = QString::fromLocal8Bit(argv[++i]);
        else if (arg == "--lines" && i + 1 < argc)
            nLines = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--runs" && i + 1 < argc)
            g_nRuns = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--no-peers")
            bPeers = false;
    }

    QTemporaryDir dir;
    const std::string utf8 = MakeText(nLines);
    const std::string sjis = Utf8ToCp932(utf8);
    const QString strSjis = dir.filePath(QStringLiteral("text-sjis.txt"));
    const QString strUtf8 = dir.filePath(QStringLiteral("text.txt"));
    for (const auto &[path, bytes] : {std::pair{strSjis, &sjis}, std::pair{strUtf8, &utf8}}) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes->data(), static_cast<qint64>(bytes->size()));
    }
    // A line from the middle, as a reader would search for it.
    const QString strProbe = QStringLiteral("東京都千代田区の天気は晴れ");
    std::printf("%d lines, %.1f MB in Shift-JIS; best of %d runs\n", nLines, sjis.size() / 1e6, g_nRuns);
    std::printf("%-44s %10s\n", "printer", "seconds");

    // In the process: the lines are already in a buffer.
    {
        CCrystalTextBuffer buffer;
        buffer.LoadFromFile(strSjis.toStdString(), -1);
        QByteArray pdf;
        const double d = BestSeconds([&] {
            pdf.clear();
            QBuffer device(&pdf);
            device.open(QIODevice::WriteOnly);
            QPdfWriter writer(&device);
            writer.setPageSize(QPageSize(QPageSize::A4));
            ApplyPageMargins(writer, CPageMargins());
            CTextPrintJob::CSource source;
            source.nLineCount = buffer.GetLineCount();
            source.fnLine = [&buffer](int n) { return buffer.GetLine(n); };
            source.screenFont = MakeViewFont(QString(), 18);
            source.strHeader = QStringLiteral("text-sjis.txt");
            CTextPrintJob job(std::move(source));
            return job.Print(writer);
        }, g_nRuns);
        const QString strPdf = dir.filePath(QStringLiteral("inprocess.pdf"));
        QFile f(strPdf);
        f.open(QIODevice::WriteOnly);
        f.write(pdf);
        f.close();
        Report("Wrenpad print job, in process", d, Check(strPdf, strProbe));
    }
    if (!strEditor.isEmpty()) {
        const QString strPdf = dir.filePath(QStringLiteral("wrenpad.pdf"));
        const double d = BestSeconds([&] { return Run(strEditor, {QStringLiteral("--print-pdf"), strPdf, strSjis}); },
                                     g_nRuns);
        Report("wrenpad --print-pdf (whole process)", d, Check(strPdf, strProbe));
    }
    if (!bPeers)
        return 0;

    const QString strSh = QStringLiteral("/bin/sh");
    if (!QStandardPaths::findExecutable(QStringLiteral("paps")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("ps2pdf")).isEmpty()) {
        const QString strPdf = dir.filePath(QStringLiteral("paps.pdf"));
        const QString strPs = dir.filePath(QStringLiteral("paps.ps"));
        // About the same page: A4, 10 mm margins, a 7-point font, a header.
        const QStringList aPapsArgs{QStringLiteral("--font=IPAGothic 7"), QStringLiteral("--paper=a4"),
                                    QStringLiteral("--header"),           QStringLiteral("--left-margin=28"),
                                    QStringLiteral("--right-margin=28"),  QStringLiteral("--top-margin=28"),
                                    QStringLiteral("--bottom-margin=28")};
        const double dPs = BestSeconds([&] {
            return Run(QStringLiteral("paps"), QStringList(aPapsArgs) << strUtf8, strPs);
        }, g_nRuns);
        Report("paps (PostScript only)", dPs, QString());
        const double d = BestSeconds([&] {
            return Run(strSh, QStringList{QStringLiteral("-c"), QStringLiteral("paps \"$@\" | ps2pdf - \"$0\""), strPdf}
                                  + aPapsArgs + QStringList{strUtf8});
        }, g_nRuns);
        Report("paps | ps2pdf", d, Check(strPdf, strProbe));
    } else {
        std::printf("%-44s %10s\n", "paps | ps2pdf", "not installed");
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
        const QString strOutDir = dir.filePath(QStringLiteral("lo"));
        QDir().mkpath(strOutDir);
        const QString strProfile = QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("lo-profile"));
        const double d = BestSeconds([&] {
            return Run(QStringLiteral("soffice"), {strProfile, QStringLiteral("--headless"),
                                                   QStringLiteral("--infilter=Text (encoded):UTF8,LF,,ja-JP"),
                                                   QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                                   QStringLiteral("--outdir"), strOutDir, strUtf8});
        }, std::min(g_nRuns, 2));
        Report("LibreOffice --headless --convert-to pdf", d, Check(strOutDir + QStringLiteral("/text.pdf"), strProbe));
    } else {
        std::printf("%-44s %10s\n", "LibreOffice", "not installed");
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("enscript")).isEmpty()) {
        const QString strPdf = dir.filePath(QStringLiteral("enscript.pdf"));
        const double d = BestSeconds([&] {
            return Run(strSh, {QStringLiteral("-c"), QStringLiteral("enscript -q -p - \"$1\" | ps2pdf - \"$2\""),
                               QStringLiteral("sh"), strUtf8, strPdf});
        }, g_nRuns);
        Report("enscript | ps2pdf (no Japanese)", d, Check(strPdf, strProbe));
    }
    return 0;
}
