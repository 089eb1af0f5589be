// Documents whose files are UTF-8, EUC-JP or JIS: opened and saved in their
// own code, the read-only refusal of files that would not come back, the
// status pane, reopening in another code and the code of new documents.
#include "app/ui/appcommands.h"
#include "app/ui/printpdf.h"
#include "res/commands.h"
#include "support/pdftext.h"

#include <QStatusBar>

namespace {

class FileCode : public CAppCommands
{
protected:
    // Starts with the status bar shown, where the code pane is.
    bool StartWithStatusBar()
    {
        if (!Start())
            return false;
        if (Frame()->statusBar()->isHidden())
            Frame()->ExecuteCommand(ID_VIEW_STATUS_BAR);
        return !Frame()->statusBar()->isHidden();
    }

    QString CodePane() { return Frame()->GetStatusPaneText(ID_INDICATOR_FILECODE); }
};

} // namespace

TEST_F(FileCode, TheCodePaneNamesACharacterOfTheTableUnderTheCaret)
{
    ASSERT_TRUE(StartWithStatusBar());
    ASSERT_TRUE(Open(WriteFile("marks.html", "a\xC2\xA9\xF0\x9F\x98\x80\n")));
    const std::pair<int, const char *> panes[] = {{0, "UTF-8"}, {1, "UTF-8 U+00A9"}, {3, "UTF-8 U+1F600"}};
    for (const auto &[nAt, pszPane] : panes) {
        View()->PlaceCaret(CPoint(nAt, 0));
        Idle();
        EXPECT_EQ(CodePane(), pszPane);
    }
}

TEST_F(FileCode, AFileThatWouldLoseCharactersOpensReadOnlyAndIsNeverWrittenOver)
{
    ASSERT_TRUE(StartWithStatusBar());
    // JIS with an escape sequence the writer does not repeat.
    const std::string bytes = "ok\n\x1B$B\x1B$B4A\x1B(B smile\n";
    const std::string strPath = WriteFile("odd.txt", bytes);
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    const QString &strBox = m_aBoxes[0].strText;
    EXPECT_TRUE(strBox.contains("2 行目") && strBox.contains("エスケープシーケンス") && strBox.contains("書込み禁止"))
        << strBox.toStdString();
    EXPECT_TRUE(pDoc->GetBuffer().IsReadOnly());
    EXPECT_TRUE(Title().contains("(書込禁止)"));

    // Saving goes through the dialog (cancelled here), not over the file.
    m_aBoxes.clear();
    Run(ID_FILE_SAVE);
    EXPECT_EQ(m_aFileRequests.size(), 1u);
    // Made writable by hand, the text still is not written over the file.
    Frame()->ExecuteCommand(ID_READ_ONLY);
    Commit(QStringLiteral("x"));
    Idle();
    ASSERT_TRUE(pDoc->IsModified());
    m_aFileAnswers = {{QString::fromStdString(strPath)}};
    Run(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(strPath), bytes);
    ASSERT_FALSE(m_aBoxes.empty());
    EXPECT_TRUE(m_aBoxes.back().strText.contains("上書きできません")) << m_aBoxes.back().strText.toStdString();

    // Under another name the text is a file of its own.
    const std::string strCopy = m_dir.File("copy.txt");
    m_aFileAnswers = {{QString::fromStdString(strCopy)}};
    Run(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadFileBytes(strCopy), "xok\n\x1B$B4A\x1B(B smile\n");
    EXPECT_EQ(pDoc->GetPathName(), strCopy);
}

TEST_F(FileCode, ReopenInTheCodeTheUserNames)
{
    ASSERT_TRUE(StartWithStatusBar());
    // Half-width katakana in Shift-JIS, which EUC-JP would read as the kanji 渦慨.
    const std::string strPath = WriteFile("kana.txt", "\xB1\xB2\xB3\xB4\n");
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    EXPECT_EQ(std::make_pair(pDoc->GetTextCode(), CodePane()), std::make_pair(ETextCode::Sjis, QString("Shift-JIS")));

    Run(ID_FILE_REOPEN_EUC);
    EXPECT_EQ(std::make_pair(pDoc->GetTextCode(), CodePane()), std::make_pair(ETextCode::Euc, QString("EUC-JP")));
    EXPECT_EQ(Text(pDoc), "\x89\x51\x8A\x53|");
    // The choice holds when the file is read again.
    Run(ID_FILE_REVERT, {IDYES});
    EXPECT_EQ(pDoc->GetTextCode(), ETextCode::Euc);
    Run(ID_FILE_REOPEN_SJIS);
    EXPECT_EQ(pDoc->GetTextCode(), ETextCode::Sjis);
    EXPECT_EQ(Text(pDoc), "\xB1\xB2\xB3\xB4|");

    // A code the bytes are not: read-only, with the reason.
    m_aBoxes.clear();
    Run(ID_FILE_REOPEN_UTF8);
    EXPECT_EQ(pDoc->GetTextCode(), ETextCode::Utf8);
    EXPECT_TRUE(pDoc->GetBuffer().IsReadOnly());
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.contains("1 行目")) << m_aBoxes[0].strText.toStdString();
    EXPECT_EQ(ReadFileBytes(strPath), "\xB1\xB2\xB3\xB4\n");
}

TEST_F(FileCode, SaveAsOffersTheCodeAndKeepsTheChoice)
{
    ASSERT_TRUE(StartWithStatusBar());
    const std::string strPath = WriteFile("a.txt", "\x8A\xBF\x8E\x9A\n");  // 漢字 in Shift-JIS
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    ASSERT_EQ(pDoc->GetTextCode(), ETextCode::Sjis);
    const std::string strEuc = m_dir.File("b.txt");
    std::vector<CFileDialogRequest> aAsked;
    SetFileDialogHook([&](CFileDialogRequest &request) {
        aAsked.push_back(request);
        request.nChoice = static_cast<int>(ETextCode::Euc);
        return QStringList{QString::fromStdString(strEuc)};
    });
    Run(ID_FILE_SAVE_AS);
    ASSERT_EQ(aAsked.size(), 1u);
    EXPECT_EQ(std::make_pair(aAsked[0].aChoices.size(), aAsked[0].nChoice),
              std::make_pair(qsizetype(5), static_cast<int>(ETextCode::Sjis)));
    EXPECT_EQ(ReadFileBytes(strEuc), "\xB4\xC1\xBB\xFA\n");
    EXPECT_EQ(std::make_pair(pDoc->GetTextCode(), CodePane()), std::make_pair(ETextCode::Euc, QString("EUC-JP")));
    EXPECT_EQ(ReadFileBytes(strPath), "\x8A\xBF\x8E\x9A\n");
}

// New documents take the code of the settings, and a page made from a
// template declares it.
TEST_F(FileCode, APageFromATemplateDeclaresTheDocumentsCode)
{
    m_profile.WriteString(SECTION_MAIN, "strNewFileCode", "UTF8");
    ASSERT_TRUE(StartWithStatusBar());
    const std::string strTemplate =
        WriteFile("t.html", "<head><meta charset=\"Shift_JIS\"></head>\r\n<p>\x93\xFA\x96\x7B</p>\r\n");
    Run(ID_FILE_NEW);
    CWrenpadDoc *pDoc = Doc();
    ASSERT_TRUE(pDoc);
    EXPECT_EQ(pDoc->GetTextCode(), ETextCode::Utf8);
    ASSERT_TRUE(pDoc->ReplaceFromFile(strTemplate));
    EXPECT_EQ(Text(pDoc), "<head><meta charset=\"UTF-8\"></head>|<p>\x93\xFA\x96\x7B</p>|");
}

TEST_F(FileCode, AUtf8FilePrintsAsTheEditorShowsIt)
{
    const std::string strPath = WriteFile("u.txt", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n");
    QString strError;
    const QString strPdf = QString::fromStdString(m_dir.File("u.pdf"));
    ASSERT_EQ(PrintFileToPdf(strPdf, QString::fromStdString(strPath), strError), 0) << strError.toStdString();
    const QStringList pages = PdfPagesText(strPdf);
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages[0].contains(QStringLiteral("日本語"))) << pages[0].toStdString();
}
