#include "app/ui/tabbar.h"

#include <QHBoxLayout>
#include <QTabBar>

CTabBar::CTabBar(QWidget *pParent) : QWidget(pParent)
{
    setObjectName(QStringLiteral("fileTabBar"));
    m_pTabs = new QTabBar(this);
    m_pTabs->setObjectName(QStringLiteral("fileTabs"));
    m_pTabs->setDrawBase(false);
    m_pTabs->setExpanding(false);
    m_pTabs->setUsesScrollButtons(true);
    m_pTabs->setElideMode(Qt::ElideMiddle);
    auto *pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(2, 0, 2, 0);
    pLayout->addWidget(m_pTabs);
    pLayout->addStretch(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_pTabs, &QTabBar::currentChanged, this, [this](int nIndex) {
        if (!m_bUpdating && nIndex >= 0)
            emit WindowChosen(GetTabWindow(nIndex));
    });
}

int CTabBar::IndexOf(QWidget *pWindow) const
{
    // By address: a window being destroyed is no longer a widget.
    for (int i = 0; i < m_pTabs->count(); ++i)
        if (m_pTabs->tabData(i).value<QObject *>() == pWindow)
            return i;
    return -1;
}

void CTabBar::AddTab(QWidget *pWindow)
{
    if (IndexOf(pWindow) >= 0)
        return;
    m_bUpdating = true;
    const int nIndex = m_pTabs->addTab(QString());
    m_pTabs->setTabData(nIndex, QVariant::fromValue(static_cast<QObject *>(pWindow)));
    m_bUpdating = false;
}

void CTabBar::RemoveTab(QWidget *pWindow)
{
    const int nIndex = IndexOf(pWindow);
    if (nIndex < 0)
        return;
    m_bUpdating = true;
    m_pTabs->removeTab(nIndex);
    m_bUpdating = false;
}

void CTabBar::UpdateTabs(QWidget *pActive)
{
    m_bUpdating = true;
    for (int i = 0; i < m_pTabs->count(); ++i) {
        QWidget *pWindow = GetTabWindow(i);
        if (!pWindow)
            continue;
        const QString strTitle = pWindow->windowTitle().left(MAX_TAB_TEXT);
        if (m_pTabs->tabText(i) != strTitle)
            m_pTabs->setTabText(i, strTitle);
        const QString strTip = pWindow->windowFilePath();
        if (m_pTabs->tabToolTip(i) != strTip)
            m_pTabs->setTabToolTip(i, strTip);
        if (pWindow == pActive && m_pTabs->currentIndex() != i)
            m_pTabs->setCurrentIndex(i);
    }
    m_bUpdating = false;
}

int CTabBar::GetTabCount() const
{
    return m_pTabs->count();
}

QString CTabBar::GetTabText(int nIndex) const
{
    return m_pTabs->tabText(nIndex);
}

QWidget *CTabBar::GetTabWindow(int nIndex) const
{
    return qobject_cast<QWidget *>(m_pTabs->tabData(nIndex).value<QObject *>());
}

int CTabBar::GetCurrentIndex() const
{
    return m_pTabs->currentIndex();
}
