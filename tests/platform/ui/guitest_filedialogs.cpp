// The file dialog as the user sees it, not through the tests' answering hook.
#include "platform/ui/filedialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

TEST(FileDialog, TheSaveDialogOpensWithTheFilterNameAndChoiceAsked)
{
    SetFileDialogHook(nullptr);
    CFileDialogRequest request;
    request.bSave = true;
    request.aFilters = {QStringLiteral("Text Files  (*.txt)"), QStringLiteral("Html Files  (*.html *.htm)"),
                        QStringLiteral("All Files  (*)")};
    request.nFilterIndex = 2;
    request.strDefaultSuffix = QStringLiteral("html");
    request.strFileName = QStringLiteral("新規ﾌｧｲﾙ1.html");
    // With and without the list of codes below the name, which makes it the toolkit's own dialog.
    for (bool bChoices : {true, false}) {
        request.aChoices = bChoices ? QStringList{QStringLiteral("Shift-JIS"), QStringLiteral("UTF-8")} : QStringList();
        request.nChoice = 1;
        QString strFilter;
        QString strChoice;
        QString strName;
        bool bSeen = false;
        QTimer::singleShot(0, [&] {
            auto *pDialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(pDialog);
            bSeen = true;
            strFilter = pDialog->selectedNameFilter();
            if (auto *pName = pDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                strName = pName->text();
            if (auto *pChoice = pDialog->findChild<QComboBox *>(QStringLiteral("choice")))
                strChoice = pChoice->currentText();
            pDialog->reject();
        });
        EXPECT_TRUE(RunFileDialog(nullptr, request).isEmpty());
        EXPECT_TRUE(bSeen);
        // The dialog shows the label's blanks tidied.
        EXPECT_EQ(strFilter.toStdString(), "Html Files (*.html *.htm)") << bChoices;
        EXPECT_EQ(strChoice.toStdString(), bChoices ? "UTF-8" : "") << bChoices;
        EXPECT_EQ(strName.toStdString(), "新規ﾌｧｲﾙ1.html") << bChoices;
    }
}
