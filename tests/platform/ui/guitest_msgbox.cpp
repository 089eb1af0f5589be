// The message box as the user sees it, not through the tests' answering hook.
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

TEST(MessageBox, QuotedMarkupIsShownAsTyped)
{
    SetMessageBoxHook(nullptr);
    const QString strText = QStringLiteral("\"<HTML>\" が見当たりません。");
    QString strShown;
    QTimer::singleShot(0, [&] {
        auto *pBox = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_TRUE(pBox);
        // What the label paints: a rich-text label would drop the tag.
        for (QLabel *pLabel : pBox->findChildren<QLabel *>())
            if (pLabel->textFormat() == Qt::PlainText && pLabel->text() == strText)
                strShown = pLabel->text();
        pBox->done(QMessageBox::Ok);
    });
    EXPECT_EQ(MessageBox(nullptr, strText, QStringLiteral("検索"), MB_OK), IDOK);
    EXPECT_EQ(strShown, strText);
}
