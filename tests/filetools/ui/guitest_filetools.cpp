// The file tools through the real windows: kanji import and export, the
// split dialog, and the archive dialogs with their settings and questions.
#include "archive/archive.h"
#include "archive/archivetest.h"
#include "archive/ui/archivedlg.h"
#include "filetools/ui/filesplitdlg.h"
#include "res/commands.h"
#include "support/appfixture.h"
#include "text/codec.h"
#include "text/kanji.h"
#include "text/nkf.h"
#include "ui/progressdlg.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

using namespace std::string_literals;

namespace {

// A message box as "caption|text|icon".
QString Box(const CMsgBoxRequest &box)
{
    return box.strCaption + "|" + box.strText + "|" + QString::number(box.nStyle & 0xF0);
}

QString Box(const char *pszCaption, const QString &strText, unsigned nIcon)
{
    return QString::fromUtf8(pszCaption) + "|" + strText + "|" + QString::number(nIcon);
}

class FileTools : public CAppFixtureNoNewFile
{
protected:
    void SetUp() override
    {
        CAppFixtureNoNewFile::SetUp();
        ASSERT_TRUE(Start());
        // Every report dialog that comes up is read and closed; the dialog of
        // the command under test is handed to m_fnTool.
        m_fnDialog = [this](QDialog *pDialog) {
            if (auto *pInfo = qobject_cast<CArchiveInfoDlg *>(pDialog)) {
                m_aInfoTexts.push_back(pInfo->GetText());
                return static_cast<int>(QDialog::Accepted);
            }
            if (m_fnTool)
                m_fnTool(pDialog);
            return static_cast<int>(QDialog::Rejected);
        };
    }

    void TearDown() override
    {
        CProgressDlg::SetShownHook(nullptr);
        NkfLibrary().Load();
        CAppFixtureNoNewFile::TearDown();
    }

    bool IsEnabled(int nID)
    {
        CCmdUI ui(nID);
        return Frame()->RouteUpdate(&ui) && ui.IsEnabled();
    }

    template <typename Dlg>
    void RunTool(int nID, const std::function<void(Dlg &)> &fn)
    {
        bool bSeen = false;
        m_fnTool = [&](QDialog *pDialog) {
            auto *pTool = qobject_cast<Dlg *>(pDialog);
            ASSERT_NE(pTool, nullptr);
            bSeen = true;
            fn(*pTool);
        };
        Frame()->ExecuteCommand(nID);
        m_fnTool = nullptr;
        EXPECT_TRUE(bSeen);
    }

    std::vector<QString> m_aInfoTexts;
    std::function<void(QDialog *)> m_fnTool;
};

} // namespace

TEST_F(FileTools, ImportKeepsEveryByteLeavesAnUnmodifiedDocumentAndReportsFailures)
{
    // EUC with LF line ends and a NUL byte in the middle.
    const std::string strPath = WriteFile("euc.txt", "\xb4\xc1\xbb\xfa\nline\0two\n\xa4\xa2"s);
    m_aFileAnswers.push_back({QString::fromStdString(strPath)});
    Frame()->ExecuteCommand(ID_IMPORT_KANJI);
    Idle();
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_EQ(m_aFileRequests[0].aFilters.first() + m_aFileRequests[0].aFilters.last(),
              "ﾃｷｽﾄ･HTML Files  (*.txt *.htm *.html *.asp)All Files  (*)");
    ASSERT_TRUE(Doc());
    EXPECT_EQ(Text(Doc()), "\x8a\xbf\x8e\x9a|line\0two|\x82\xa0"s);
    EXPECT_EQ(Doc()->GetBuffer().GetLineEndMode(), LINEEND_LF);
    EXPECT_FALSE(Doc()->IsModified() || Doc()->GetBuffer().CanUndo());
    EXPECT_TRUE(Doc()->GetPathName().empty() && m_aBoxes.empty());

    // Typing then undoing comes back to the imported, unmodified state.
    QTest::keyClicks(View(), QStringLiteral("x"));
    EXPECT_TRUE(Doc()->IsModified());
    Frame()->ExecuteCommand(ID_EDIT_UNDO);
    EXPECT_FALSE(Doc()->IsModified());

    // An empty file and a missing one are reported, and open no document.
    const int nDocs = m_pApp->GetDocumentCount();
    m_aFileAnswers.push_back({QString::fromStdString(WriteFile("empty.txt", ""))});
    Frame()->ExecuteCommand(ID_IMPORT_KANJI);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(Box(m_aBoxes[0]), Box("ﾌｧｲﾙのｵｰﾌﾟﾝ", "ﾌｧｲﾙのｵｰﾌﾟﾝに失敗しました。", MB_ICONEXCLAMATION));

    m_aFileAnswers.push_back({QString::fromStdString(m_dir.File("gone.txt"))});
    Frame()->ExecuteCommand(ID_IMPORT_KANJI);
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(m_aBoxes[1].strCaption + m_aBoxes[1].strText, "ErrorError: The file could not be located.");
    EXPECT_EQ(m_pApp->GetDocumentCount(), nDocs);

    // Without the converter the command is off and does nothing.
    NkfLibrary().Unload();
    EXPECT_FALSE(IsEnabled(ID_IMPORT_KANJI));
    NkfLibrary().Load();
    EXPECT_TRUE(IsEnabled(ID_IMPORT_KANJI));
}

TEST_F(FileTools, ExportWritesEucOrJisAndLeavesTheDocumentAlone)
{
    CWrenpadDoc *pDoc = Open(WriteFile("doc.txt", Utf8ToCp932("漢字\nｱ")));
    ASSERT_TRUE(pDoc);
    const std::string strEuc = m_dir.File("out.euc");
    m_aFileAnswers.push_back({QString::fromStdString(strEuc)});
    Frame()->ExecuteCommand(ID_EXPORT_EUC);
    ASSERT_EQ(m_aFileRequests.size(), 1u);
    EXPECT_TRUE(m_aFileRequests[0].bSave);
    EXPECT_EQ((QStringList{m_aFileRequests[0].strTitle, m_aFileRequests[0].strDirectory, m_aFileRequests[0].strDefaultSuffix}),
              (QStringList{"EUCｺｰﾄﾞｴｸｽﾎﾟｰﾄ", QString::fromStdString(m_dir.Path() + "/"), "txt"}));
    // The document's own line end is kept.
    EXPECT_EQ(ReadFileBytes(strEuc), NkfFromCp932(Utf8ToCp932("漢字\nｱ"), OUTCODE_EUC));

    const std::string strJis = m_dir.File("out.jis");
    m_aFileAnswers.push_back({QString::fromStdString(strJis)});
    Frame()->ExecuteCommand(ID_EXPORT_JIS);
    EXPECT_EQ(m_aFileRequests.back().strTitle, "JISｺｰﾄﾞｴｸｽﾎﾟｰﾄ");
    EXPECT_EQ(ReadFileBytes(strJis), NkfFromCp932(Utf8ToCp932("漢字\nｱ"), OUTCODE_JIS));
    EXPECT_EQ(pDoc->GetPathName(), m_dir.File("doc.txt"));
    EXPECT_TRUE(!pDoc->IsModified() && m_aBoxes.empty());

    // A file that cannot be written: the message, and nothing left behind.
    m_aFileAnswers.push_back({QString::fromStdString(m_dir.File("no/such/folder/x.euc"))});
    Frame()->ExecuteCommand(ID_EXPORT_EUC);
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strCaption + "|" + m_aBoxes[0].strText, "error|Error: The file could not be saved.");

    // An empty document writes nothing.
    m_pApp->OnFileNew();
    Idle();
    m_aFileAnswers.push_back({QString::fromStdString(m_dir.File("empty.euc"))});
    Frame()->ExecuteCommand(ID_EXPORT_EUC);
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(Box(m_aBoxes[1]), Box("error", "Error: The file could not be saved. (textlength=NULL)", MB_ICONSTOP));
    EXPECT_FALSE(FileExists(m_dir.File("empty.euc")));
}

TEST_F(FileTools, SplitDialogSplitsAndReports)
{
    const std::string strSource = WriteFile("big.dat", std::string(1440001, 'b'));
    RunTool<CFileSplitDlg>(ID_FILE_SPLIT, [&](CFileSplitDlg &dlg) {
        EXPECT_EQ(dlg.GetSizeIndex(), 2);
        // No file: nothing happens.
        dlg.OnSplit();
        EXPECT_TRUE(m_aBoxes.empty());
        dlg.SetFileName(QString::fromStdString(strSource));
        dlg.SetDestFolder(QString::fromStdString(m_dir.File("parts/deep")));
        dlg.OnSplit();
        // It stays open: a second split with another size.
        dlg.SetSizeIndex(0);
        dlg.OnSplit();
    });
    ASSERT_EQ(m_aBoxes.size(), 2u);
    EXPECT_EQ(Box(m_aBoxes[0]), Box("分割", QString::fromStdString(strSource) +
                                                ": 2個ファイルに分割しました。(*.001～)\n分割ファイルを結合するにはバッチファイルを実行してください。",
                                    MB_ICONINFORMATION));
    EXPECT_TRUE(m_aBoxes[1].strText.contains("3個ファイルに分割しました。"));

    RunTool<CFileSplitDlg>(ID_FILE_SPLIT, [&](CFileSplitDlg &dlg) {
        dlg.SetFileName(QString::fromStdString(WriteFile("small.dat", "tiny")));
        dlg.OnSplit();
    });
    ASSERT_EQ(m_aBoxes.size(), 3u);
    EXPECT_EQ(Box(m_aBoxes[2]),
              Box("分割", QString::fromStdString(m_dir.File("small.dat")) + ": \nファイルは、分割する必要がありません。", MB_ICONSTOP));
}

TEST_F(FileTools, CompressDialogPacksAFolderOrChosenFiles)
{
    MakeTree(m_dir.File("site"), {{"index.html", "<p>日本語</p>"}, {"img/", ""}, {"img/a b.png", "png"}});
    const std::string strLzh = m_dir.File("site.lzh");
    RunTool<CArchiveCompressDlg>(ID_ARCHIVE_COMPRESS, [&](CArchiveCompressDlg &dlg) {
        EXPECT_TRUE(dlg.IsFolderMode());
        // Nothing chosen: nothing asked.
        dlg.OnCompress();
        EXPECT_TRUE(m_aFileRequests.empty());
        dlg.SetFolder(QString::fromStdString(m_dir.File("site")));
        m_aFileAnswers.push_back({QString::fromStdString(strLzh)});
        dlg.OnCompress();
        ASSERT_EQ(m_aFileRequests.size(), 1u);
        EXPECT_EQ((QStringList{m_aFileRequests[0].strFileName, m_aFileRequests[0].strDefaultSuffix, m_aFileRequests[0].strDirectory}),
                  (QStringList{"新規書庫.lzh", "lzh", QString::fromStdString(m_dir.Path())}));

        // File mode: two files of one folder.
        dlg.SetFolderMode(false);
        dlg.SetChosenFiles({QString::fromStdString(m_dir.File("site/img/a b.png")),
                            QString::fromStdString(m_dir.File("site/img/../index.html"))});
        EXPECT_EQ(dlg.GetFiles(), "\"a b.png\" \"index.html\" ");
        EXPECT_EQ(dlg.GetBaseDir(), m_dir.File("site/img") + "/");
        dlg.SetChosenFiles({QString::fromStdString(m_dir.File("site/img/a b.png"))});
        EXPECT_EQ(dlg.GetFiles(), "\"a b.png\"");
        m_aFileAnswers.push_back({QString::fromStdString(m_dir.File("one.zip"))});
        dlg.OnCompress();
    });
    EXPECT_TRUE(m_aBoxes.empty()) << m_aBoxes[0].strText.toStdString();
    ASSERT_EQ(m_aInfoTexts.size(), 2u);
    EXPECT_TRUE(m_aInfoTexts[0].contains("2個のファイルと1個のフォルダーを圧縮しました。")) << m_aInfoTexts[0].toStdString();
    EXPECT_EQ(ReadArchiveEntries(m_dir.File("one.zip")), (CTree{{"a b.png", "png"}}));
}

TEST_F(FileTools, CancellingAPackLeavesNoArchive)
{
    MakeTree(m_dir.File("src"), {{"a.txt", "aaa"}});
    CProgressDlg::SetShownHook([](CProgressDlg *pDlg) { pDlg->reject(); });
    RunTool<CArchiveCompressDlg>(ID_ARCHIVE_COMPRESS, [&](CArchiveCompressDlg &dlg) {
        dlg.SetFolder(QString::fromStdString(m_dir.File("src")));
        m_aFileAnswers.push_back({QString::fromStdString(m_dir.File("c.lzh"))});
        dlg.OnCompress();
    });
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.startsWith("圧縮が正常に終了しませんでした。\n"));
    EXPECT_TRUE(m_aBoxes[0].strText.contains("中止しました。書庫は作成されていません。"))
        << m_aBoxes[0].strText.toStdString();
    EXPECT_EQ(m_aBoxes[0].strCaption, "圧縮");
    EXPECT_FALSE(FileExists(m_dir.File("c.lzh")));
    EXPECT_TRUE(m_aInfoTexts.empty());
}

TEST_F(FileTools, ExtractDialogAsksBeforeReplacingAndReportsRefusals)
{
    MakeTree(m_dir.File("src"), {{"a.txt", "new a"}, {"フォルダ/b.txt", "new b"}});
    std::string strOut;
    CPackRequest pack{m_dir.File("Arc.LZH"), m_dir.File("src"), {}};
    ASSERT_EQ(ArchivePack(pack, strOut), ARC_OK);
    MakeTree(m_dir.File("dest/Arc"), {{"a.txt", "old a"}});
    m_profile.WriteInt("UnLhaZip", "UnZipMakeNewFolder", 1);

    RunTool<CArchiveExtractDlg>(ID_ARCHIVE_EXTRACT, [&](CArchiveExtractDlg &dlg) {
        EXPECT_TRUE(dlg.NewFolderBox()->isChecked());
        // The path keeps its case: "Arc.LZH" is not "arc.lzh" here.
        dlg.SetArchive(QString::fromStdString(m_dir.File("Arc.LZH")));
        dlg.SetDestFolder(QString::fromStdString(m_dir.File("dest")));
        EXPECT_EQ(dlg.DestinationFor(dlg.GetArchive()), QString::fromStdString(m_dir.File("dest/Arc/")));
        m_aAnswers = {IDCANCEL, IDNO, IDYES};
        dlg.OnExtract();  // cancelled at the question
        EXPECT_FALSE(FileExists(m_dir.File("dest/Arc/フォルダ/b.txt")));
        dlg.OnExtract();  // keeps a.txt
        EXPECT_EQ(ReadFileBytes(m_dir.File("dest/Arc/a.txt")), "old a");
        EXPECT_EQ(ReadFileBytes(m_dir.File("dest/Arc/フォルダ/b.txt")), "new b");
        dlg.OnExtract();  // replaces both
        EXPECT_EQ(ReadFileBytes(m_dir.File("dest/Arc/a.txt")), "new a");
    });
    ASSERT_EQ(m_aBoxes.size(), 3u);
    EXPECT_EQ(m_aBoxes[0].strText, "1個のファイルが解凍先に既にあります。上書きしますか?\n"
                                   "（いいえ: 既にあるファイルは残して解凍します）");
    EXPECT_EQ(m_aBoxes[0].nStyle & 0xF, static_cast<unsigned>(MB_YESNOCANCEL));
    EXPECT_EQ(m_aBoxes[2].strText, "2個のファイルが解凍先に既にあります。上書きしますか?\n"
                                   "（いいえ: 既にあるファイルは残して解凍します）");
    // Keeping the file, as the user chose, is no failure: the report lists it.
    ASSERT_EQ(m_aInfoTexts.size(), 2u);
    EXPECT_TRUE(m_aInfoTexts[0].contains("スキップ: a.txt") && m_aInfoTexts[0].contains("1個の既存のファイルを上書きしませんでした"))
        << m_aInfoTexts[0].toStdString();
    EXPECT_TRUE(m_aInfoTexts[1].contains("上書き: フォルダ/b.txt"));

    // A hostile archive: its refusals are shown with the failure.
    WriteFileBytes(m_dir.File("evil.zip"), WriteStoredZip({{"../evil.txt", "x"}, {"fine.txt", "ok"}}));
    m_aBoxes.clear();
    RunTool<CArchiveExtractDlg>(ID_ARCHIVE_EXTRACT, [&](CArchiveExtractDlg &dlg) {
        dlg.NewFolderBox()->setChecked(false);
        dlg.SetArchive(QString::fromStdString(m_dir.File("evil.zip")));
        dlg.SetDestFolder(QString::fromStdString(m_dir.File("x/y")));
        dlg.OnExtract();
    });
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strCaption, "解凍");
    EXPECT_TRUE(m_aBoxes[0].strText.contains("拒否: ../evil.txt")) << m_aBoxes[0].strText.toStdString();
    EXPECT_EQ(ReadFileBytes(m_dir.File("x/y/fine.txt")), "ok");
}

TEST_F(FileTools, ExtractDialogSettingsFollowTheirRulesAndInformationListsTheArchive)
{
    m_profile.WriteInt("UnLhaZip", "UnZipDeskTop", 1);
    m_profile.WriteInt("UnLhaZip", "UnZipSameFolder", 1);
    RunTool<CArchiveExtractDlg>(ID_ARCHIVE_EXTRACT, [&](CArchiveExtractDlg &dlg) {
        // The desktop wins; the other place cannot be chosen with it.
        EXPECT_TRUE(dlg.DesktopBox()->isChecked());
        EXPECT_FALSE(dlg.SameFolderBox()->isChecked() || dlg.SameFolderBox()->isEnabled()
                     || dlg.findChild<QLineEdit *>("destFolder")->isEnabled());
        dlg.DesktopBox()->setChecked(false);
        EXPECT_TRUE(dlg.SameFolderBox()->isEnabled());
        dlg.SameFolderBox()->setChecked(true);
        EXPECT_FALSE(dlg.DesktopBox()->isEnabled());
        EXPECT_EQ(dlg.DestinationFor("/some/where/a.zip"), "/some/where/");
        // Saved only when the dialog closes.
        EXPECT_EQ(m_profile.GetInt("UnLhaZip", "UnZipDeskTop", -1), 1);
        dlg.reject();
    });
    EXPECT_EQ((std::vector<int>{m_profile.GetInt("UnLhaZip", "UnZipDeskTop", -1), m_profile.GetInt("UnLhaZip", "UnZipSameFolder", -1),
                                m_profile.GetInt("UnLhaZip", "UnZipMakeNewFolder", -1)}),
              (std::vector<int>{0, 1, 0}));

    // Information on an archive.
    WriteFileBytes(m_dir.File("l.zip"), WriteStoredZip({{"日本語.txt", "12345", true}}));
    WriteFileBytes(m_dir.File("broken.lzh"), "no archive");
    RunTool<CArchiveExtractDlg>(ID_ARCHIVE_EXTRACT, [&](CArchiveExtractDlg &dlg) {
        dlg.OnInfo();  // no archive named: nothing
        dlg.SetArchive(QString::fromStdString(m_dir.File("l.zip")));
        dlg.OnInfo();
        dlg.SetArchive(QString::fromStdString(m_dir.File("broken.lzh")));
        dlg.OnInfo();
    });
    ASSERT_EQ(m_aInfoTexts.size(), 1u);
    EXPECT_TRUE(m_aInfoTexts[0].contains("  日本語.txt\n"));
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.startsWith("エラー: ")) << m_aBoxes[0].strText.toStdString();
}
