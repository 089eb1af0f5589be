#include "support/dialogtest.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A combo box or spin box is the control; the line edit inside is its part.
QWidget *ControlOf(QWidget *pWidget)
{
    for (QWidget *p = pWidget; p; p = p->parentWidget()) {
        if (p->isWindow())
            break;
        if (qobject_cast<QComboBox *>(p) || qobject_cast<QAbstractSpinBox *>(p))
            return p;
    }
    return pWidget;
}

QRect RectIn(const QWidget *pControl, const QWidget *pDialog)
{
    return QRect(pControl->mapTo(pDialog, QPoint(0, 0)), pControl->size());
}

bool OverlapsHorizontally(const QRect &a, const QRect &b)
{
    return std::min(a.right(), b.right()) > std::max(a.left(), b.left());
}

bool OverlapsVertically(const QRect &a, const QRect &b)
{
    return std::min(a.bottom(), b.bottom()) > std::max(a.top(), b.top());
}

QString Describe(const QWidget *pControl)
{
    QString str = pControl->objectName();
    if (str.isEmpty())
        str = QString::fromLatin1(pControl->metaObject()->className());
    if (const auto *pButton = qobject_cast<const QAbstractButton *>(pControl))
        str += QStringLiteral(" \"%1\"").arg(pButton->text());
    return str;
}

// What makes radio buttons one stop of the Tab chain: their button group,
// or the parent they share when they exclude each other by themselves.
const QObject *ExclusiveGroupOf(const QWidget *pWidget)
{
    const auto *pRadio = qobject_cast<const QRadioButton *>(pWidget);
    if (!pRadio)
        return nullptr;
    if (pRadio->group())
        return pRadio->group()->exclusive() ? pRadio->group() : nullptr;
    return pRadio->autoExclusive() ? pRadio->parentWidget() : nullptr;
}

// The controls of the dialog that Tab should reach now.
std::vector<QWidget *> ReachableControls(QDialog *pDialog)
{
    std::vector<QWidget *> aControls;
    for (QWidget *pWidget : pDialog->findChildren<QWidget *>()) {
        if (pWidget->window() != pDialog || !pWidget->isVisible() || !pWidget->isEnabled()
            || !(pWidget->focusPolicy() & Qt::TabFocus) || pWidget->focusProxy())
            continue;
        QWidget *pControl = ControlOf(pWidget);
        if (std::find(aControls.begin(), aControls.end(), pControl) == aControls.end())
            aControls.push_back(pControl);
    }
    return aControls;
}

} // namespace

bool OpenDialog(QDialog *pDialog)
{
    pDialog->show();
    pDialog->activateWindow();
    if (!QTest::qWaitForWindowActive(pDialog))
        return false;
    QApplication::processEvents();
    return QApplication::focusWidget() && QApplication::focusWidget()->window() == pDialog;
}

QWidget *FocusControl()
{
    QWidget *pFocus = QApplication::focusWidget();
    return pFocus ? ControlOf(pFocus) : nullptr;
}

void TypeIntoFocus(const QString &strText)
{
    QWidget *pFocus = QApplication::focusWidget();
    if (pFocus)
        QTest::keyClicks(pFocus, strText);
}

void PressTab(bool bBack)
{
    QWidget *pFocus = QApplication::focusWidget();
    if (pFocus)
        QTest::keyClick(pFocus, bBack ? Qt::Key_Backtab : Qt::Key_Tab, bBack ? Qt::ShiftModifier : Qt::NoModifier);
}

QString FieldText(const QWidget *pControl)
{
    if (const auto *pEdit = qobject_cast<const QLineEdit *>(pControl))
        return pEdit->text();
    if (const auto *pCombo = qobject_cast<const QComboBox *>(pControl))
        return pCombo->currentText();
    if (const auto *pSpin = qobject_cast<const QAbstractSpinBox *>(pControl))
        return pSpin->text();
    return QString();
}

std::vector<QWidget *> TabChain(QDialog *pDialog)
{
    std::vector<QWidget *> aChain;
    QWidget *pFirst = FocusControl();
    if (!pFirst || pFirst->window() != pDialog)
        return aChain;
    aChain.push_back(pFirst);
    for (int i = 0; i < 500; ++i) {
        PressTab();
        QWidget *pNext = FocusControl();
        if (!pNext || pNext == pFirst
            || std::find(aChain.begin(), aChain.end(), pNext) != aChain.end())
            break;
        aChain.push_back(pNext);
    }
    return aChain;
}

std::string TabChainNames(QDialog *pDialog)
{
    QStringList names;
    for (const QWidget *pControl : TabChain(pDialog))
        names << (pControl->objectName().isEmpty() ? Describe(pControl) : pControl->objectName());
    return names.join(QLatin1Char(' ')).toStdString();
}

void ExpectTabOrderFollowsLayout(QDialog *pDialog)
{
    // The round starts at the control nearest the top left, wherever the focus is.
    std::vector<QWidget *> aChain = TabChain(pDialog);
    auto itFirst = std::min_element(aChain.begin(), aChain.end(), [&](QWidget *p, QWidget *q) {
        return RectIn(p, pDialog).top() < RectIn(q, pDialog).top();
    });
    if (itFirst != aChain.end()) {
        const QRect rcTop = RectIn(*itFirst, pDialog);
        for (auto it = aChain.begin(); it != aChain.end(); ++it) {
            const QRect rc = RectIn(*it, pDialog);
            if (OverlapsVertically(rc, rcTop) && rc.left() < RectIn(*itFirst, pDialog).left())
                itFirst = it;
        }
        std::rotate(aChain.begin(), itFirst, aChain.end());
    }
    QStringList described;
    for (const QWidget *pControl : aChain)
        described << Describe(pControl);
    const QString strChain = described.join(QStringLiteral(" > "));
    SCOPED_TRACE("Tab visits: " + strChain.toStdString());
    ASSERT_FALSE(aChain.empty()) << "nothing of the dialog has the focus";

    // Everything is reached, once.
    const std::vector<QWidget *> aReachable = ReachableControls(pDialog);
    for (QWidget *pControl : aReachable) {
        const QObject *pGroup = ExclusiveGroupOf(pControl);
        const auto nVisits = std::count_if(aChain.begin(), aChain.end(), [&](QWidget *p) {
            return p == pControl || (pGroup && ExclusiveGroupOf(p) == pGroup);
        });
        EXPECT_EQ(nVisits, 1) << Describe(pControl).toStdString() << (pGroup ? " (or its group)" : "")
                              << " is reached " << nVisits << " times";
    }

    for (std::size_t i = 0; i + 1 < aChain.size(); ++i) {
        const QRect a = RectIn(aChain[i], pDialog);
        const QRect b = RectIn(aChain[i + 1], pDialog);
        const std::string strStep = Describe(aChain[i]).toStdString() + " > " + Describe(aChain[i + 1]).toStdString();
        auto later = [&](auto fnPassedOver) {
            for (std::size_t j = i + 2; j < aChain.size(); ++j) {
                const QRect c = RectIn(aChain[j], pDialog);
                EXPECT_FALSE(fnPassedOver(c)) << strStep << " passes over " << Describe(aChain[j]).toStdString();
            }
        };
        if (OverlapsVertically(a, b)) {
            // Along a row.
            EXPECT_GT(b.center().x(), a.center().x()) << strStep << " goes back along its row";
            later([&](const QRect &c) {
                return OverlapsVertically(c, a) && OverlapsVertically(c, b) && c.center().x() > a.center().x()
                       && c.center().x() < b.center().x();
            });
        } else if (b.top() > a.top()) {
            // Down: nothing of this column lies between the two.
            later([&](const QRect &c) {
                return OverlapsHorizontally(c, a) && !OverlapsVertically(c, b) && c.center().y() > a.center().y()
                       && c.center().y() < b.center().y();
            });
        } else {
            // Up: only to a column to the right.
            EXPECT_GE(b.left(), a.right()) << strStep << " goes up within its column";
        }
    }
}

void ExpectTabOrdersFollowLayout(const std::vector<std::unique_ptr<QDialog>> &dialogs)
{
    for (const auto &pDialog : dialogs) {
        SCOPED_TRACE(pDialog->windowTitle().toStdString());
        ASSERT_TRUE(OpenDialog(pDialog.get()));
        for (QCheckBox *pCheck : pDialog->findChildren<QCheckBox *>())
            pCheck->setChecked(true);
        QApplication::processEvents();
        ExpectTabOrderFollowsLayout(pDialog.get());
        pDialog->hide();
    }
}
