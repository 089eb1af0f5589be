#include "app/wrenpadapp.h"
#include "platform/qsettingsprofile.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
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

    CQSettingsProfileStore profile;
    SetAppProfile(&profile);
    int nResult = 0;
    {
        CWrenpadApp wrenpad;
        if (wrenpad.InitInstance(QApplication::arguments().mid(1)))
            nResult = app.exec();
        wrenpad.ExitInstance();
    }
    SetAppProfile(nullptr);
    return nResult;
}
