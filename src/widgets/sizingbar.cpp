#include "widgets/sizingbar.h"

#include <QMainWindow>

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

void CSizingControlBar::showEvent(QShowEvent *pEvent)
{
    QDockWidget::showEvent(pEvent);
    // The window lays a dock out by its content; the bar's own size counts
    // the first time it is shown docked.
    auto *pWindow = qobject_cast<QMainWindow *>(parentWidget());
    if (m_bSized || !pWindow || isFloating())
        return;
    m_bSized = true;
    const Qt::DockWidgetArea area = pWindow->dockWidgetArea(this);
    const bool bHorizontal = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    pWindow->resizeDocks({this}, {bHorizontal ? m_sizeInitial.height() : m_sizeInitial.width()},
                         bHorizontal ? Qt::Vertical : Qt::Horizontal);
}
