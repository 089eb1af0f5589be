#include "app/mainframe.h"

CMainFrame::CMainFrame(QWidget *pParent) : QMainWindow(pParent)
{
    setWindowTitle(QStringLiteral("Wrenpad"));
    resize(900, 640);
}
