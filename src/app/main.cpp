#include "app/appsettings.h"
#include "app/mainframe.h"
#include "platform/qsettingsprofile.h"
#include "view/crystaltextview.h"

#include <QApplication>
#include <QPalette>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wrenpad"));
    QApplication::setOrganizationName(QStringLiteral("Orvane Applet"));

    CQSettingsProfileStore profile;
    SetAppProfile(&profile);
    const QPalette pal = QApplication::palette();
    CSystemColors sys;
    sys.crWindow = RefFromColor(pal.color(QPalette::Base));
    sys.crWindowText = RefFromColor(pal.color(QPalette::Text));
    sys.crScrollBar = RefFromColor(pal.color(QPalette::Button));
    AppSettings().Load(profile, sys);

    CMainFrame frame;
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || !frame.OpenFile(args[1].toStdString()))
        frame.NewFile();
    frame.show();
    const int nResult = app.exec();
    SetAppProfile(nullptr);
    return nResult;
}
