#include "ui/dialogkeys.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace {

// The toolkit's own dialogs order their controls themselves.
bool IsToolkitDialog(const QWidget *pWindow)
{
    for (const char *pszClass : {"QFileDialog", "QMessageBox", "QColorDialog", "QFontDialog", "QInputDialog",
                                 "QProgressDialog", "QErrorMessage", "QAbstractPrintDialog", "QPageSetupDialog",
                                 "QPrintPreviewDialog", "QWizard"}) {
        if (pWindow->inherits(pszClass))
            return true;
    }
    return false;
}

// A control is one stop of the Tab chain: it takes Tab focus itself rather
// than passing it to a part of it.
bool IsControl(const QWidget *pWidget)
{
    return (pWidget->focusPolicy() & Qt::TabFocus) && !pWidget->focusProxy();
}

// A compound passes the focus to a part of its own (a button box to its
// default button, a tab widget to its bar) and keeps its parts in the chain
// right behind itself: it is moved as one piece. A button box orders its
// buttons itself; the controls on each page of a tab widget are ordered here,
// among themselves.
bool IsCompound(const QWidget *pWidget)
{
    const QWidget *pProxy = pWidget->focusProxy();
    while (pProxy && pProxy->focusProxy())
        pProxy = pProxy->focusProxy();
    return pProxy && pWidget->isAncestorOf(pProxy);
}

class CTabOrderCollector
{
public:
    explicit CTabOrderCollector(QWidget *pWindow) : m_pWindow(pWindow) {}

    std::vector<QWidget *> Collect()
    {
        FromWidget(m_pWindow);
        return m_aControls;
    }
    // The pages of the tab widgets met: each is ordered on its own.
    const std::vector<QWidget *> &GetPages() const { return m_aPages; }

private:
    void FromWidget(QWidget *pWidget)
    {
        if (!m_visited.insert(pWidget).second)
            return;
        if (pWidget != m_pWindow && pWidget->isWindow())
            return;
        if (pWidget != m_pWindow && IsCompound(pWidget)) {
            m_aControls.push_back(pWidget);
            if (auto *pTabs = qobject_cast<QTabWidget *>(pWidget)) {
                for (int i = 0; i < pTabs->count(); ++i)
                    m_aPages.push_back(pTabs->widget(i));
            }
            return;
        }
        if (pWidget != m_pWindow && IsControl(pWidget)) {
            m_aControls.push_back(pWidget);
            // A checkable group box is a stop before the controls it holds.
            if (!qobject_cast<QGroupBox *>(pWidget))
                return;
        }
        if (QLayout *pLayout = pWidget->layout())
            FromLayout(pLayout);
        // Whatever no layout places comes after, in the order it was made.
        for (QObject *pChild : pWidget->children()) {
            if (auto *pChildWidget = qobject_cast<QWidget *>(pChild))
                FromWidget(pChildWidget);
        }
    }

    void FromLayout(QLayout *pLayout)
    {
        // The items as the layout shows them: a grid or form row by row and
        // left to right, a box in its own order.
        std::vector<std::tuple<int, int, int>> aOrder;
        for (int i = 0; i < pLayout->count(); ++i) {
            int nRow = i;
            int nColumn = 0;
            if (auto *pGrid = qobject_cast<QGridLayout *>(pLayout)) {
                int nRowSpan = 0;
                int nColumnSpan = 0;
                pGrid->getItemPosition(i, &nRow, &nColumn, &nRowSpan, &nColumnSpan);
            } else if (auto *pForm = qobject_cast<QFormLayout *>(pLayout)) {
                QFormLayout::ItemRole role = QFormLayout::LabelRole;
                pForm->getItemPosition(i, &nRow, &role);
                nColumn = static_cast<int>(role);
            } else if (auto *pBox = qobject_cast<QBoxLayout *>(pLayout)) {
                if (pBox->direction() == QBoxLayout::RightToLeft || pBox->direction() == QBoxLayout::BottomToTop)
                    nRow = pLayout->count() - 1 - i;
            }
            aOrder.emplace_back(nRow, nColumn, i);
        }
        std::stable_sort(aOrder.begin(), aOrder.end());
        for (const auto &[nRow, nColumn, i] : aOrder) {
            QLayoutItem *pItem = pLayout->itemAt(i);
            if (QWidget *pWidget = pItem->widget())
                FromWidget(pWidget);
            else if (QLayout *pInner = pItem->layout())
                FromLayout(pInner);
        }
    }

    QWidget *m_pWindow;
    std::vector<QWidget *> m_aControls;
    std::vector<QWidget *> m_aPages;
    std::set<QWidget *> m_visited;
};

QWidget *FieldOf(QWidget *pWidget)
{
    // The line edit inside a combo box or spin box belongs to it.
    if (QWidget *pParent = pWidget->parentWidget()) {
        if (qobject_cast<QComboBox *>(pParent) || qobject_cast<QAbstractSpinBox *>(pParent))
            return pParent;
    }
    return pWidget;
}

void SelectWholeText(QWidget *pWidget)
{
    QWidget *pField = FieldOf(pWidget);
    if (auto *pCombo = qobject_cast<QComboBox *>(pField)) {
        if (pCombo->lineEdit())
            pCombo->lineEdit()->selectAll();
    } else if (auto *pSpin = qobject_cast<QAbstractSpinBox *>(pField)) {
        pSpin->selectAll();
    } else if (auto *pEdit = qobject_cast<QLineEdit *>(pField)) {
        pEdit->selectAll();
    }
}

class CDialogKeyboardRules : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        switch (pEvent->type()) {
        case QEvent::Show:
            if (auto *pDialog = qobject_cast<QDialog *>(pWatched); pDialog && pDialog->isWindow()) {
                if (!IsToolkitDialog(pDialog))
                    OrderTabChainByLayout(pDialog);
                m_pOpening = pDialog;
            }
            break;
        case QEvent::FocusIn:
            if (auto *pWidget = qobject_cast<QWidget *>(pWatched))
                OnFocusIn(pWidget, static_cast<QFocusEvent *>(pEvent)->reason());
            break;
        default:
            break;
        }
        return false;
    }

private:
    void OnFocusIn(QWidget *pWidget, Qt::FocusReason reason)
    {
        // The first control of an opening dialog to get the focus is the one
        // it opens with (the dialog itself may hear of focus before it).
        const bool bOpening = m_pOpening && pWidget != m_pOpening && pWidget->window() == m_pOpening;
        if (bOpening)
            m_pOpening = nullptr;
        if (!qobject_cast<QDialog *>(pWidget->window()))
            return;
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
            || (bOpening && reason != Qt::MouseFocusReason))
            SelectWholeText(pWidget);
    }

    QPointer<QDialog> m_pOpening;
};

} // namespace

void InstallDialogKeyboardRules()
{
    static QPointer<CDialogKeyboardRules> s_pRules;
    if (s_pRules || !qApp)
        return;
    s_pRules = new CDialogKeyboardRules(qApp);
    qApp->installEventFilter(s_pRules);
}

void OrderTabChainByLayout(QWidget *pWindow)
{
    CTabOrderCollector collector(pWindow);
    const std::vector<QWidget *> aControls = collector.Collect();
    for (std::size_t i = 0; i + 1 < aControls.size(); ++i)
        QWidget::setTabOrder(aControls[i], aControls[i + 1]);
    for (QWidget *pPage : collector.GetPages())
        OrderTabChainByLayout(pPage);
}
