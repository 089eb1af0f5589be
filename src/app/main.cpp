#include "app/mainframe.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wrenpad"));
    QApplication::setOrganizationName(QStringLiteral("Orvane Applet"));
    CMainFrame frame;
    frame.show();
    return app.exec();
}
