#include "search/ui/resultsbar.h"

#include "search/ui/resultsedit.h"

#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>

CResultsBar::CResultsBar(QWidget *pParent) : QWidget(pParent)
{
    setObjectName(QStringLiteral("resultsBarContent"));
    m_pSearchButton = new QToolButton(this);
    m_pSearchButton->setObjectName(QStringLiteral("folderSearchButton"));
    m_pSearchButton->setGeometry(0, 0, 10, 10);
    m_pSearchButton->setToolTip(QStringLiteral("ﾌｫﾙﾀﾞｰ内検索"));
    m_pSearchButton->setStatusTip(StatusText());
    connect(m_pSearchButton, &QToolButton::clicked, this, &CResultsBar::FolderSearchRequested);
    m_pResults = new CResultsEdit(this);
    m_pResults->setStatusTip(StatusText());
    setMinimumSize(60, 30);
}

void CResultsBar::resizeEvent(QResizeEvent *pEvent)
{
    QWidget::resizeEvent(pEvent);
    m_pResults->setGeometry(13, 3, std::max(0, width() - 13), std::max(0, height() - 3));
}
