#include "preview/ui/browserbar.h"

#include "preview/ui/previewengine.h"

#include <QDockWidget>
#include <QVBoxLayout>

namespace {

const QString BAR_TITLE = QStringLiteral("IE WebBrowser");

} // namespace

CBrowserBar::CBrowserBar(QDockWidget *pDock) : QWidget(pDock), m_pDock(pDock), m_pLayout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("browserBarContent"));
    m_pLayout->setContentsMargins(0, 0, 0, 0);
}

CBrowserBar::~CBrowserBar()
{
    DestroyBrowser();
    m_pParked.reset();
}

bool CBrowserBar::CreateBrowser()
{
    m_strCurrentUrl.clear();
    m_pEngine.reset();
    m_pEngine = m_pParked ? std::move(m_pParked) : CreatePreviewEngine(this);
    if (!m_pEngine)
        return false;
    m_pEngine->SetLoadFinishedHandler([this](bool bOk) { emit LoadFinished(bOk); });
    // In the layout the view always fills the bar, however it is resized.
    m_pLayout->addWidget(m_pEngine->GetWidget());
    m_pEngine->GetWidget()->show();
    return true;
}

void CBrowserBar::Navigate(const std::string &strPath)
{
    if (!m_pEngine && !CreateBrowser())
        return;
    if (strPath == m_strCurrentUrl) {
        m_pEngine->Refresh();
        return;
    }
    m_strCurrentUrl = strPath;
    m_pEngine->Navigate(QString::fromStdString(strPath));
    m_pDock->setWindowTitle(BAR_TITLE + QStringLiteral(" - ") + QString::fromStdString(strPath));
}

void CBrowserBar::NavigateToAnchor(const std::string &strPath, const std::string &strAnchor)
{
    if (!m_pEngine && !CreateBrowser())
        return;
    m_strCurrentUrl = strPath;
    m_pEngine->NavigateToAnchor(QString::fromStdString(strPath), QString::fromStdString(strAnchor));
    m_pDock->setWindowTitle(BAR_TITLE + QStringLiteral(" - ") + QString::fromStdString(strPath));
}

void CBrowserBar::Update(const std::string &strPath)
{
    if (!m_pEngine || strPath == m_strCurrentUrl) {
        Navigate(strPath);
        return;
    }
    m_strCurrentUrl = strPath;
    m_pEngine->Navigate(QString::fromStdString(strPath), true);
    m_pDock->setWindowTitle(BAR_TITLE + QStringLiteral(" - ") + QString::fromStdString(strPath));
}

void CBrowserBar::DestroyBrowser()
{
    m_strCurrentUrl.clear();
    if (!m_pEngine)
        return;
    m_pEngine->Stop();
    if (m_pEngine->Park()) {
        m_pEngine->SetLoadFinishedHandler(nullptr);
        m_pEngine->GetWidget()->hide();
        m_pLayout->removeWidget(m_pEngine->GetWidget());
        m_pParked = std::move(m_pEngine);
    }
    m_pEngine.reset();
}
