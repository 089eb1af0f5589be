// The editor's main window.
#pragma once

#include <QMainWindow>

class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget *pParent = nullptr);
};
