// The results control, the progress dialog with its worker thread, the
// folder-search dialog in both forms and the host the main frame keeps.
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "search/ui/foldersearchdlg.h"
#include "search/ui/foldersearchhost.h"
#include "search/ui/resultsbar.h"
#include "search/ui/searchprogressdlg.h"
#include "support/resultsfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

class FolderSearchUi : public CResultsFixture
{
protected:
    void SetUp() override
    {
        CResultsFixture::SetUp();
        SetBeepHook([this] { ++m_nBeeps; });
        WriteFiles(m_dir.Path(), {{"a.txt", "one\r\nfind me\r\n"}, {"copy (1)/b(2).txt", "x\nfind me too\n"}});
    }
    void TearDown() override
    {
        CSearchProgressDlg::SetShownHook(nullptr);
        SetDialogHook(nullptr);
        SetBeepHook(nullptr);
        CResultsFixture::TearDown();
    }

    FolderSearchParams Params(const std::string &strText, bool bRegex = false) const
    {
        return FolderSearchParams{m_dir.Path(), strText, "*.txt", false, true, bRegex};
    }

    int m_nBeeps = 0;
};

} // namespace

TEST_F(FolderSearchUi, ResultLinesJumpToTheirFileAndLine)
{
    CResultsEdit edit;
    edit.resize(500, 200);
    edit.show();
    EXPECT_TRUE(edit.RunFolderSearch(Params("find")));
    EXPECT_EQ(Lines(edit), QStringList({QStringLiteral("a.txt(2): find me"), QStringLiteral("copy (1)/b(2).txt(2): find me too"),
                                        QStringLiteral("2 個、検索されました。(2ファイル中)")}));
    EXPECT_EQ(edit.GetRootFolder(), m_dir.Path() + "/");

    // A path with parentheses still names its line.
    DoubleClickLine(edit, 1);
    ASSERT_EQ(m_aHandOffs.size(), 1u);
    EXPECT_EQ(m_aHandOffs[0], std::make_pair(int(COPYDATA_OPEN_FILE_AT_LINE), m_dir.Path() + "/copy (1)/b(2).txt\t2"));
    EXPECT_EQ(edit.textCursor().selectedText(), QStringLiteral("copy (1)/b(2).txt(2): find me too"));
    // Enter does the same; the summary line goes nowhere.
    edit.setTextCursor(QTextCursor(edit.document()->findBlockByNumber(0)));
    QTest::keyClick(&edit, Qt::Key_Return);
    ASSERT_EQ(m_aHandOffs.size(), 2u);
    EXPECT_EQ(m_aHandOffs[1].second, m_dir.Path() + "/a.txt\t2");
    DoubleClickLine(edit, 2);
    EXPECT_EQ(m_aHandOffs.size(), 2u);
}

TEST_F(FolderSearchUi, CancelStopsALongSearchAndKeepsWhatWasFound)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += std::string(3000, 'a') + "!\n";
    WriteFileBytes(m_dir.File("z.txt"), text);
    CResultsEdit edit;
    QString strStatus;
    CSearchProgressDlg::SetShownHook([&](CSearchProgressDlg *pDlg) {
        QTimer::singleShot(300, pDlg, [pDlg] { pDlg->findChild<QPushButton *>(QStringLiteral("cancel"))->click(); });
        QObject::connect(pDlg, &QDialog::finished, [pDlg, &strStatus] { strStatus = pDlg->GetStatus(1); });
    });
    // Matches "find me" at once, then backtracks without end on the long
    // lines of z.txt: only the cancel ends the search. What was found stays,
    // and the search went no further (the match in "copy (1)" is not reached).
    EXPECT_FALSE(edit.RunFolderSearch(Params("(a*)*[bcf]", true)));
    const QStringList lines = Lines(edit);
    EXPECT_EQ(lines, QStringList({QStringLiteral("a.txt(2): > f"), QStringLiteral("1 個、検索されました。(2ファイル中)")}));
    EXPECT_EQ(strStatus, QStringLiteral("キャンセルされました。"));
}

TEST_F(FolderSearchUi, ModalSearchRefusesTextThatIsNoUnicodeThenFillsTheBarAndKeepsTheHistories)
{
    m_store.WriteString("WpFolderSerch", "text", "older\n");
    int nShown = 0;
    QWidget frame;
    CFolderSearchHost host(&frame, [&] { ++nShown; }, nullptr);

    // Text Shift-JIS cannot hold is refused with a message: nothing is searched.
    std::vector<QString> aMessages;
    SetMessageBoxHook([&](const CMsgBoxRequest &box) {
        aMessages.push_back(box.strText);
        return IDOK;
    });
    int nResult = -1;
    SetDialogHook([&](QDialog *pDialog) {
        pDialog->findChild<QComboBox *>(QStringLiteral("searchText"))->setEditText(QStringLiteral("me") + QChar(0xD800));
        pDialog->findChild<QComboBox *>(QStringLiteral("folder"))->setEditText(QString::fromStdString(m_dir.Path()));
        pDialog->findChild<QPushButton *>(QStringLiteral("search"))->click();
        nResult = pDialog->result();
        return nResult;
    });
    EXPECT_TRUE(RequestFolderSearch("", ""));
    SetMessageBoxHook(nullptr);
    EXPECT_NE(nResult, QDialog::Accepted);
    EXPECT_EQ(nShown, 0);
    EXPECT_EQ(aMessages, std::vector<QString>({QStringLiteral("\"me") + QChar(0xD800)
                                               + QStringLiteral("\"にはShift-JISで表せない文字があるため、検索できません。")}));
    EXPECT_EQ(m_nBeeps, 0);

    QStringList aProposed;
    SetDialogHook([&](QDialog *pDialog) {
        auto *pText = pDialog->findChild<QComboBox *>(QStringLiteral("searchText"));
        auto *pFolder = pDialog->findChild<QComboBox *>(QStringLiteral("folder"));
        auto *pPatterns = pDialog->findChild<QComboBox *>(QStringLiteral("patterns"));
        aProposed << pText->currentText() << pFolder->currentText() << pPatterns->currentText();
        pFolder->setEditText(QString::fromStdString(m_dir.Path()));
        pPatterns->setEditText(QStringLiteral("*.txt"));
        pDialog->findChild<QCheckBox *>(QStringLiteral("subFolders"))->setChecked(true);
        pDialog->findChild<QPushButton *>(QStringLiteral("search"))->click();
        return pDialog->result();
    });
    // The text proposed by a view (CP932) is what is searched for.
    EXPECT_TRUE(RequestFolderSearch("me too", "/nowhere"));
    EXPECT_EQ(aProposed, QStringList({QStringLiteral("me too"), QStringLiteral("/nowhere"),
                                      CFolderSearchDlg::DefaultPatterns()}));
    EXPECT_EQ(nShown, 1);
    EXPECT_EQ(m_nBeeps, 1);
    EXPECT_EQ(Lines(*host.GetResultsBar()->GetResultsEdit()).first(),
              QStringLiteral("copy (1)/b(2).txt(2): find me too"));
    EXPECT_EQ(m_store.GetString("WpFolderSerch", "text", ""), "me too\nolder\n");
    EXPECT_EQ(m_store.GetString("WpFolderSerch", "file", ""), "*.txt\n" + CFolderSearchDlg::DefaultPatterns().toStdString() + "\n");
    EXPECT_EQ(m_store.GetInt("WpFolderSerch", "flgs", -1), 2);

    // An empty field keeps the dialog open with the focus there.
    bool bAccepted = true;
    SetDialogHook([&](QDialog *pDialog) {
        pDialog->findChild<QComboBox *>(QStringLiteral("searchText"))->setEditText(QString());
        pDialog->findChild<QPushButton *>(QStringLiteral("search"))->click();
        bAccepted = pDialog->result() == QDialog::Accepted;
        return QDialog::Rejected;
    });
    EXPECT_FALSE(host.OpenFolderSearch("", ""));
    EXPECT_FALSE(bAccepted);
}

TEST_F(FolderSearchUi, TheBarsButtonRunsCommand401AndTheWindowKeepsItsOwnResults)
{
    QWidget frame;
    std::vector<int> aRouted;
    CFolderSearchHost host(&frame, nullptr, [&](int nID) {
        aRouted.push_back(nID);
        return true;
    });
    host.GetResultsBar()->findChild<QToolButton *>(QStringLiteral("folderSearchButton"))->click();
    EXPECT_EQ(aRouted, std::vector<int>{ID_FOLDER_SEARCH});

    CFolderSearchDlg *pWindow = host.OpenFolderSearchWindow("find", m_dir.Path());
    ASSERT_NE(pWindow, nullptr);
    EXPECT_EQ(host.OpenFolderSearchWindow(), pWindow);  // one at most
    bool bClosing = false;
    QObject::connect(pWindow, &CFolderSearchDlg::Closing, [&] { bClosing = true; });
    pWindow->findChild<QComboBox *>(QStringLiteral("patterns"))->setEditText(QStringLiteral("a.txt"));
    pWindow->findChild<QPushButton *>(QStringLiteral("search"))->click();
    EXPECT_EQ(Lines(*pWindow->GetResultsEdit()).first(), QStringLiteral("a.txt(2): find me"));
    EXPECT_TRUE(pWindow->isVisible());
    EXPECT_EQ(m_nBeeps, 1);
    pWindow->findChild<QPushButton *>(QStringLiteral("cancel"))->click();
    EXPECT_TRUE(bClosing);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(host.GetFolderSearchWindow(), nullptr);
}
