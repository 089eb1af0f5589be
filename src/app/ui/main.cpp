#include "app/cmdline.h"
#include "app/ui/printpdf.h"
#include "app/ui/wrenpadapp.h"
#include "platform/ui/qsettingsprofile.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// --print-pdf needs no window and no display: without a platform named by the
// caller it runs on the offscreen one.
void ChoosePlatformForPrinting(const std::vector<std::string> &args)
{
    const bool bPlatformGiven = qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
                                || std::find(args.begin(), args.end(), "-platform") != args.end();
    if (!bPlatformGiven)
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int PrintPdfAndExit(const CPrintPdfArgs &request)
{
    if (!request.strError.empty()) {
        std::fprintf(stderr, "%s\n", request.strError.c_str());
        return 2;
    }
    CQSettingsProfileStore profile;
    SetAppProfile(&profile);
    QString strError;
    const int nResult = PrintFileToPdf(QString::fromStdString(request.strOut), QString::fromStdString(request.strFile),
                                       strError);
    SetAppProfile(nullptr);
    if (nResult != 0)
        std::fprintf(stderr, "wrenpad: %s\n", strError.replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8().constData());
    return nResult;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    switch (ParseInfoSwitch(args)) {
    case INFO_HELP:
        std::fputs(CommandLineUsage(IsJapaneseMessagesLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                                             std::getenv("LANG")))
                       .c_str(),
                   stdout);
        return 0;
    case INFO_VERSION:
        std::printf("wrenpad %s\n", WRENPAD_VERSION);
        return 0;
    case INFO_NONE:
        break;
    }
    const CPrintPdfArgs printPdf = ParsePrintPdfArgs(args);
    if (printPdf.bRequested)
        ChoosePlatformForPrinting(args);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wrenpad"));
    QApplication::setOrganizationName(QStringLiteral("Orvane Applet"));
    QApplication::setApplicationVersion(QStringLiteral(WRENPAD_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("jp.orvane.Wrenpad"));

    // The program speaks Japanese whatever the locale; so do the toolkit's
    // own dialogs and buttons.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    if (printPdf.bRequested)
        return PrintPdfAndExit(printPdf);

    CQSettingsProfileStore profile;
    SetAppProfile(&profile);
    int nResult = 0;
    {
        CWrenpadApp wrenpad;
        if (wrenpad.InitInstance(QApplication::arguments().mid(1)))
            nResult = app.exec();
        else
            nResult = wrenpad.GetExitCode();
        wrenpad.ExitInstance();
    }
    SetAppProfile(nullptr);
    return nResult;
}
