#include "ui/sizingbar.h"

#include <QHideEvent>
#include <QMainWindow>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace {

// The smallest a bar is made, across and along its area: a few lines of
// text of about twenty characters.
constexpr int BAR_MIN_WIDTH = 160;
constexpr int BAR_MIN_HEIGHT = 80;

} // namespace

int SharedBarLength(int nLast, int nArea, int nMinimum)
{
    const int nWanted = std::max(nLast > 0 ? nLast : nArea / 3, nMinimum);
    return std::max(nMinimum, std::min(nWanted, nArea - nMinimum));
}

CSizingControlBar::CSizingControlBar(int nID, const QString &strTitle, QSize sizeInitial, QWidget *pParent)
    : QDockWidget(strTitle, pParent), m_nID(nID), m_sizeInitial(sizeInitial)
{
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    setMinimumSize(BAR_MIN_WIDTH, BAR_MIN_HEIGHT);
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
    if (pEvent->spontaneous())
        return;
    // The window lays out its docks once control is back in the event loop.
    QTimer::singleShot(0, this, &CSizingControlBar::SizeInWindow);
}

void CSizingControlBar::hideEvent(QHideEvent *pEvent)
{
    QDockWidget::hideEvent(pEvent);
    if (!pEvent->spontaneous() && !isFloating())
        m_sizeLast = size();
}

void CSizingControlBar::SizeInWindow()
{
    auto *pWindow = qobject_cast<QMainWindow *>(parentWidget());
    if (!pWindow || isHidden() || isFloating())
        return;
    const Qt::DockWidgetArea area = pWindow->dockWidgetArea(this);
    if (area == Qt::NoDockWidgetArea)
        return;
    // A bar along the top or bottom edge is as deep as it is high; bars
    // beside it in its area share the window's width.
    const bool bAlongWidth = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    const Qt::Orientation depth = bAlongWidth ? Qt::Vertical : Qt::Horizontal;
    const Qt::Orientation length = bAlongWidth ? Qt::Horizontal : Qt::Vertical;
    // The others of the area keep what they have, less what this one takes.
    QList<QDockWidget *> aOthers;
    for (QDockWidget *pOther : pWindow->findChildren<QDockWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (pOther != this && !pOther->isHidden() && !pOther->isFloating() && pWindow->dockWidgetArea(pOther) == area)
            aOthers << pOther;
    if (aOthers.isEmpty()) {
        // Alone in its area: the depth it was made with, the first time.
        if (!m_bSized)
            pWindow->resizeDocks({this}, {bAlongWidth ? m_sizeInitial.height() : m_sizeInitial.width()}, depth);
        m_bSized = true;
        return;
    }
    m_bSized = true;
    const int nLast = m_sizeLast.isValid() ? (bAlongWidth ? m_sizeLast.width() : m_sizeLast.height()) : 0;
    const int nArea = bAlongWidth ? pWindow->width() : pWindow->height();
    const int nMinimum = bAlongWidth ? BAR_MIN_WIDTH : BAR_MIN_HEIGHT;
    const int nWanted = SharedBarLength(nLast, nArea, nMinimum);
    int nOthers = 0;
    for (QDockWidget *pOther : aOthers)
        nOthers += bAlongWidth ? pOther->width() : pOther->height();
    QList<QDockWidget *> aDocks{this};
    QList<int> aSizes{nWanted};
    const int nLeft = std::max(nArea - nWanted, nMinimum * static_cast<int>(aOthers.size()));
    for (QDockWidget *pOther : aOthers) {
        const int nHas = bAlongWidth ? pOther->width() : pOther->height();
        aDocks << pOther;
        aSizes << std::max(nMinimum, nOthers > 0 ? nLeft * nHas / nOthers : nLeft / static_cast<int>(aOthers.size()));
    }
    pWindow->resizeDocks(aDocks, aSizes, length);
}
