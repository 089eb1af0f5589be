// Open documents whose files other programs append to, replace by renaming,
// delete and make again while the editor runs; and saves over such files.
// Every wait is for the watcher to have looked at the file, bounded, never a
// pause of a guessed length.
#include "app/ui/appcommands.h"
#include "res/commands.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <fstream>

#include <unistd.h>

namespace {

class FileWatch : public CAppCommands
{
protected:
    void SetUp() override
    {
        CAppCommands::SetUp();
        ASSERT_TRUE(Start());
    }

    static void Append(const std::string &strPath, const std::string &strBytes)
    {
        std::ofstream out(strPath, std::ios::binary | std::ios::app);
        out << strBytes;
    }

    // As editors and version control do: a new file renamed over the old one.
    void RenameOver(const std::string &strPath, const std::string &strBytes)
    {
        const std::string strNew = m_dir.File("new.tmp");
        WriteFileBytes(strNew, strBytes);
        ASSERT_EQ(std::rename(strNew.c_str(), strPath.c_str()), 0);
    }

    static QString Question(const std::string &strPath)
    {
        return QStringLiteral("ファイル %1 は他のプログラムで変更されました。再読み込みしますか？")
            .arg(QString::fromStdString(strPath));
    }
};

} // namespace

TEST_F(FileWatch, AnUnmodifiedDocumentAsksAndReloadsKeepingTheCaretsLine)
{
    const std::string strPath = WriteFile("page.txt", "one\ntwo\nthree\n");
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_TRUE(pDoc);
    View()->PlaceCaret(CPoint(2, 2));

    // Yes (the default) reads the file again.
    m_aAnswers = {IDYES};
    Append(strPath, "four\n");
    ASSERT_TRUE(WaitFor([&] { return !m_aBoxes.empty(); }));
    EXPECT_EQ(m_aBoxes[0].strText, Question(strPath));
    EXPECT_EQ(m_aBoxes[0].nStyle & (0xF | MB_DEFBUTTON2), static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(Text(pDoc), "one|two|three|four|");
    EXPECT_TRUE(!pDoc->IsModified() && View()->GetCursorPos().y == 2);

    // A rename over the file: No keeps the text.
    m_aAnswers = {IDNO};
    RenameOver(strPath, "replaced\n");
    ASSERT_TRUE(WaitFor([&] { return m_aBoxes.size() == 2; }));
    EXPECT_EQ(Text(pDoc), "one|two|three|four|");

    // The watch follows the new file: a further append is seen too.
    m_aAnswers = {IDYES};
    Append(strPath, "more\n");
    ASSERT_TRUE(WaitFor([&] { return m_aBoxes.size() == 3; }));
    EXPECT_EQ(Text(pDoc), "replaced|more|");
}

TEST_F(FileWatch, SavingOverANewerFileAsksWhatEverTheWatcherSaw)
{
    const std::string strPath = WriteFile("page.txt", "a\n");
    CWrenpadDoc *pDoc = Open(strPath);
    QTest::keyClicks(View(), "b");
    // Changed and saved before the event loop runs, so the watcher has told nothing.
    RenameOver(strPath, "a\n");
    m_aAnswers = {IDNO};
    Frame()->ExecuteCommand(ID_FILE_SAVE);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.endsWith(QStringLiteral("上書きしますか？")) && (m_aBoxes[0].nStyle & MB_DEFBUTTON2));
    EXPECT_TRUE(pDoc->IsModified() && ReadFileBytes(strPath) == "a\n");
}

TEST_F(FileWatch, OurOwnSavesAskNothing)
{
    const std::string strPath = WriteFile("page.txt", "a\n");
    CWrenpadDoc *pDoc = Open(strPath);
    QSignalSpy checked(&pDoc->GetFileWatcher(), &CFileWatcher::Checked);
    for (const char *pszText : {"x", "y"}) {
        QTest::keyClicks(View(), pszText);
        const int nBefore = static_cast<int>(checked.count());
        Frame()->ExecuteCommand(ID_FILE_SAVE);
        // The watcher sees the save, looks at the file, and keeps quiet.
        ASSERT_TRUE(WaitFor([&] { return checked.count() > nBefore; }));
        EXPECT_TRUE(m_aBoxes.empty());
    }
    EXPECT_EQ(ReadFileBytes(strPath), "xya\n");

    // Saved under another name, the new file is the one watched.
    const std::string strOther = m_dir.File("other.txt");
    m_aFileAnswers = {{QString::fromStdString(strOther)}};
    Frame()->ExecuteCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(pDoc->GetPathName(), strOther);
    m_aAnswers = {IDNO};
    Append(strPath, "old file\n");
    Append(strOther, "new file\n");
    ASSERT_TRUE(WaitFor([&] { return !m_aBoxes.empty(); }));
    EXPECT_EQ(m_aBoxes[0].strText, Question(strOther));
}

TEST_F(FileWatch, ABurstOfChangesAsksOnce)
{
    const std::string strPath = WriteFile("page.txt", "0\n");
    CWrenpadDoc *pDoc = Open(strPath);
    QSignalSpy checked(&pDoc->GetFileWatcher(), &CFileWatcher::Checked);
    m_aAnswers = {IDYES, IDYES};
    for (int i = 1; i <= 5; ++i)
        Append(strPath, std::to_string(i) + "\n");
    RenameOver(strPath, "new\n");
    Append(strPath, "end\n");
    ASSERT_TRUE(WaitFor([&] { return !m_aBoxes.empty(); }));
    // Whatever the watcher still had to look at, nothing else is asked.
    const int nChecks = static_cast<int>(checked.count());
    Append(m_dir.File("unrelated.txt"), "x");
    ASSERT_TRUE(WaitFor([&] { return checked.count() > nChecks; }));
    EXPECT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(Text(pDoc), "new|end|");
}

TEST_F(FileWatch, ADeletedFileMarksTheTitleAndSavingMakesItAgain)
{
    const std::string strPath = WriteFile("page.txt", "keep me\n");
    CWrenpadDoc *pDoc = Open(strPath);
    ASSERT_EQ(::unlink(strPath.c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return pDoc->IsFileDeleted(); }));
    Idle();
    EXPECT_EQ(Title(), "page.txt(削除されました)");
    EXPECT_TRUE(m_aBoxes.empty() && Text(pDoc) == "keep me|");

    // Made again by another program: the question as for any change.
    m_aAnswers = {IDYES};
    WriteFileBytes(strPath, "back\n");
    ASSERT_TRUE(WaitFor([&] { return !m_aBoxes.empty(); }));
    EXPECT_EQ(m_aBoxes[0].strText, Question(strPath));
    EXPECT_EQ(Text(pDoc), "back|");
    Idle();
    EXPECT_EQ(Title(), "page.txt");

    // Deleted again, then saved: the file is written without a question.
    ASSERT_EQ(::unlink(strPath.c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return pDoc->IsFileDeleted(); }));
    Frame()->ExecuteCommand(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(strPath), "back\n");
    EXPECT_TRUE(!pDoc->IsFileDeleted() && m_aBoxes.size() == 1u);
    Idle();
    EXPECT_EQ(Title(), "page.txt");
}

TEST_F(FileWatch, TheAutomaticReloadOptionReadsUnmodifiedDocumentsWithoutAsking)
{
    AppSettings().m_bAutoReload = 1;
    const std::string strPath = WriteFile("page.txt", "a\n");
    CWrenpadDoc *pDoc = Open(strPath);
    Append(strPath, "b\n");
    ASSERT_TRUE(WaitFor([&] { return Text(pDoc) == "a|b|"; }));
    EXPECT_TRUE(m_aBoxes.empty());

    // A modified document is never thrown away: it is told, not reloaded.
    QTest::keyClicks(View(), "z");
    Append(strPath, "c\n");
    ASSERT_TRUE(WaitFor([&] { return !m_aBoxes.empty(); }));
    EXPECT_EQ(Text(pDoc), "za|b|");
}
