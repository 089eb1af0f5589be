#include "app/mainframe.h"

#include "app/wrenpadview.h"

CMainFrame::CMainFrame(QWidget *pParent) : QMainWindow(pParent)
{
    setWindowTitle(QStringLiteral("Wrenpad"));
    resize(900, 640);
}

CMainFrame::~CMainFrame()
{
    // The view detaches from the buffer before the buffer goes.
    delete m_pView;
}

bool CMainFrame::OpenFile(const std::string &strPath)
{
    auto pBuffer = std::make_unique<CCrystalTextBuffer>();
    if (!pBuffer->LoadFromFile(strPath))
        return false;
    ShowBuffer(std::move(pBuffer), strPath);
    return true;
}

void CMainFrame::NewFile()
{
    auto pBuffer = std::make_unique<CCrystalTextBuffer>();
    pBuffer->InitNew(LINEEND_CRLF);
    ShowBuffer(std::move(pBuffer), std::string());
}

void CMainFrame::ShowBuffer(std::unique_ptr<CCrystalTextBuffer> pBuffer, const std::string &strPath)
{
    delete m_pView;
    m_pBuffer = std::move(pBuffer);
    m_pView = new CWrenpadView(this);
    setCentralWidget(m_pView);
    m_pView->AttachBuffer(m_pBuffer.get());
    m_pView->InitialUpdate(strPath);
    m_pView->setFocus();
    const QString strTitle = strPath.empty() ? QStringLiteral("新規ﾌｧｲﾙ")
                                             : QString::fromStdString(strPath.substr(strPath.rfind('/') + 1));
    setWindowTitle(strTitle + QStringLiteral(" - Wrenpad"));
}
