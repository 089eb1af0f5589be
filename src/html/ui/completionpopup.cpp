#include "html/ui/completionpopup.h"

#include "text/ui/codec_qt.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

CCompletionPopup::CCompletionPopup(QWidget *pView, const std::vector<CAlignItem> &aItems, int nCurrent,
                                   std::function<void(const std::string &)> fnChosen)
    : QFrame(pView, Qt::Popup), m_pView(pView), m_fnChosen(std::move(fnChosen))
{
    setObjectName(QStringLiteral("completionPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    m_pTree = new QTreeWidget(this);
    m_pTree->setObjectName(QStringLiteral("completionList"));
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(false);
    m_pTree->setUniformRowHeights(true);
    m_pTree->setIconSize(QSize(16, 16));
    const QIcon icons[2] = {style()->standardIcon(QStyle::SP_FileIcon), style()->standardIcon(QStyle::SP_DirIcon)};
    for (const CAlignItem &item : aItems) {
        auto *pItem = new QTreeWidgetItem(m_pTree, {Cp932ToQString(item.strText)});
        pItem->setIcon(0, icons[item.bSecondIcon ? 1 : 0]);
        m_aTexts.push_back(item.strText);
    }
    if (QTreeWidgetItem *pCurrent = m_pTree->topLevelItem(nCurrent)) {
        m_pTree->setCurrentItem(pCurrent);
        m_pTree->scrollToItem(pCurrent, QAbstractItemView::PositionAtTop);
    } else if (m_pTree->topLevelItemCount() > 0) {
        m_pTree->setCurrentItem(m_pTree->topLevelItem(0));
    }
    auto *pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pTree);
    const int nRow = m_pTree->fontMetrics().height() + 4;
    const int nRows = std::min(7, std::max(1, m_pTree->topLevelItemCount()));
    int nWidest = 0;
    for (int i = 0; i < m_pTree->topLevelItemCount(); ++i)
        nWidest = std::max(nWidest, m_pTree->fontMetrics().horizontalAdvance(m_pTree->topLevelItem(i)->text(0)));
    resize(std::max(144, nWidest + 56), nRows * nRow + 8);
    m_pTree->installEventFilter(this);
    connect(m_pTree, &QTreeWidget::itemActivated, this, [this] { Choose(); });
}

QRect CCompletionPopup::PlaceBesideLine(const QRect &rcLine, const QSize &size, const QRect &rcScreen)
{
    const int nBelow = rcScreen.bottom() - rcLine.bottom();
    const int nAbove = rcLine.top() - rcScreen.top();
    QRect rc(QPoint(rcLine.left(), rcLine.bottom() + 1), size);
    if (size.height() > nBelow) {
        if (size.height() <= nAbove || nAbove > nBelow) {
            rc.setHeight(std::min(size.height(), nAbove));
            rc.moveBottom(rcLine.top() - 1);
        } else {
            rc.setHeight(nBelow);
        }
    }
    rc.moveLeft(std::max(rcScreen.left(), std::min(rc.left(), rcScreen.right() + 1 - rc.width())));
    return rc;
}

void CCompletionPopup::ShowBeside(const QRect &rcLine)
{
    QRect rc(rcLine.bottomLeft() + QPoint(0, 1), size());
    if (const QScreen *pScreen = QApplication::screenAt(rcLine.center()))
        rc = PlaceBesideLine(rcLine, size(), pScreen->availableGeometry());
    setGeometry(rc);
    show();
    m_pTree->setFocus();
}

bool CCompletionPopup::eventFilter(QObject *pObject, QEvent *pEvent)
{
    if (pObject == m_pTree && pEvent->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent *>(pEvent)->key();
        if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter || nKey == Qt::Key_Tab) {
            Choose();
            return true;
        }
        if (nKey == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QFrame::eventFilter(pObject, pEvent);
}

void CCompletionPopup::hideEvent(QHideEvent *pEvent)
{
    QFrame::hideEvent(pEvent);
    if (m_pView)
        m_pView->setFocus();
}

void CCompletionPopup::Choose()
{
    const int nIndex = m_pTree->indexOfTopLevelItem(m_pTree->currentItem());
    // Closed first, so that the view has the focus back when the text goes in.
    auto fnChosen = m_fnChosen;
    close();
    if (nIndex >= 0 && static_cast<std::size_t>(nIndex) < m_aTexts.size() && fnChosen)
        fnChosen(m_aTexts[static_cast<std::size_t>(nIndex)]);
}
