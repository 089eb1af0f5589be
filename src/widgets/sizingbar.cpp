#include "widgets/sizingbar.h"

CSizingControlBar::CSizingControlBar(int nID, const QString &strTitle, QSize sizeInitial, QWidget *pParent)
    : QDockWidget(strTitle, pParent), m_nID(nID), m_sizeInitial(sizeInitial)
{
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto *pPlaceholder = new QWidget(this);
    pPlaceholder->setObjectName(QStringLiteral("placeholder"));
    setWidget(pPlaceholder);
}

void CSizingControlBar::SetContentWidget(QWidget *pContent)
{
    QWidget *pOld = widget();
    setWidget(pContent);
    if (pOld && pOld != pContent)
        pOld->deleteLater();
}
