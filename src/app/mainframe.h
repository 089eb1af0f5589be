// The editor's main window. Until documents and their windows come, it shows
// one editing view over the file named on the command line, if any.
#pragma once

#include "text/textbuffer.h"

#include <QMainWindow>

#include <memory>
#include <string>

class CWrenpadView;

class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget *pParent = nullptr);
    ~CMainFrame() override;

    // Shows the file in the window's view; false if it cannot be read.
    bool OpenFile(const std::string &strPath);
    // Shows an empty document.
    void NewFile();
    CWrenpadView *GetView() const { return m_pView; }

private:
    void ShowBuffer(std::unique_ptr<CCrystalTextBuffer> pBuffer, const std::string &strPath);

    std::unique_ptr<CCrystalTextBuffer> m_pBuffer;
    CWrenpadView *m_pView = nullptr;
};
