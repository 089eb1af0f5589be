// Recovery of unsaved text through the real windows: the records follow the
// documents, the dialog "復元" puts what an ended editor left back into
// modified windows (marked, untitled or cut short where it must), a state
// folder that cannot be written costs one warning, and the session list
// brings windows, panes and carets back.
#include "app/ui/appcommands.h"
#include "app/ui/recoverdlg.h"
#include "app/ui/splitterwnd.h"
#include "recovery/docjournal.h"
#include "recovery/journalformat.h"
#include "recovery/journalreplay.h"
#include "recovery/recoverymanager.h"
#include "recovery/recoverytest.h"
#include "recovery/session.h"
#include "recovery/statefolder.h"
#include "res/commands.h"
#include "support/dialogtest.h"
#include "syntax/viewtype.h"
#include "text/codedfile.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::vector<std::string> Journals(const std::string &strFolder)
{
    std::vector<std::string> a = ListDir(strFolder);
    std::erase_if(a, [](const std::string &strName) { return strName.size() <= 4 || !strName.ends_with(".wrj"); });
    std::sort(a.begin(), a.end());
    return a;
}

class Recovery : public CAppCommands
{
protected:
    std::string RecordFolder() const { return m_dir.File("state/recovery"); }
    std::string Record(const std::string &strName) const { return ReadFileBytes(RecordFolder() + "/" + strName); }
    // The records once everything pending is written.
    std::vector<std::string> Flushed()
    {
        EXPECT_TRUE(m_pApp->Recovery()->Flush());
        return Journals(RecordFolder());
    }
    bool Shown(const QString &strRow) const
    {
        return std::find(m_aShownRows.begin(), m_aShownRows.end(), strRow) != m_aShownRows.end();
    }

    // How the record's writer read its file: byte for byte as Shift-JIS, or in
    // the file's code as the editor does (naming the code, or not as older versions).
    enum ERecordCode { RAW_BYTES, FILE_CODE_NAMED, FILE_CODE_UNNAMED };

    // A record as an editor that has ended leaves it: fnEdit's edits to the
    // file's text (or a new text), with the writer's identity taken out.
    CTextImage LeaveRecord(const std::string &strFile, const std::function<void(CCrystalTextBuffer &)> &fnEdit,
                           bool bCutLastEdit = false, ERecordCode eCode = RAW_BYTES)
    {
        CTempDir scratch;
        auto pManager = std::make_shared<CRecoveryManager>(scratch.File("rec"));
        std::string strError;
        EXPECT_TRUE(pManager->Open(strError)) << strError;
        CCrystalTextBuffer buffer;
        auto pJournal = std::make_unique<CDocJournal>(pManager, buffer);
        CFileCodeState code;
        if (strFile.empty()) {
            buffer.InitNew();
            if (!m_strUntitledName.empty())
                pJournal->SetTitleSource([this] { return m_strUntitledName; });
        } else if (eCode != RAW_BYTES) {
            EXPECT_TRUE(LoadCodedFile(buffer, strFile, code));
            buffer.SetReadOnly(false);  // a file that opens read-only, made writable by hand
            pJournal->SetPath(strFile);
            pJournal->SetBaselineSnapshot();
        } else {
            const CFileIdentity identity = StatFileIdentity(strFile);
            EXPECT_TRUE(buffer.LoadFromFile(strFile));
            pJournal->SetPath(strFile);
            pJournal->SetBaselineLoaded(identity, buffer.GetLineEndMode());
        }
        fnEdit(buffer);
        EXPECT_TRUE(pManager->Flush());
        const std::string strId = pJournal->RecordId();
        std::string strData = ReadFileBytes(scratch.File("rec/" + strId + ".wrj"));
        CJournalReader reader(strData);
        CJournalRecordView header;
        CJournalRecordView first;
        CJournalHeader decoded;
        EXPECT_TRUE(reader.Next(header) && reader.Next(first) && DecodeHeader(header.payload, decoded));
        decoded.owner = COwnerId();
        decoded.strDocCode = eCode == FILE_CODE_NAMED ? CodeStateToLine(code) : std::string();
        std::string strOrphan;
        AppendMagic(strOrphan);
        AppendHeader(strOrphan, decoded);
        strOrphan += strData.substr(first.nOffset);
        if (bCutLastEdit) {  // one byte into the last edit's payload, as a write cut short
            CJournalReader edits(strOrphan);
            CJournalRecordView record;
            std::size_t nCut = 0;
            while (edits.Next(record))
                if (record.eType == JREC_INSERT || record.eType == JREC_DELETE)
                    nCut = static_cast<std::size_t>(record.payload.data() - strOrphan.data()) + 1;
            EXPECT_GT(nCut, 0u);
            strOrphan.resize(nCut);
        }
        std::string strFolderError;
        EXPECT_TRUE(EnsurePrivateFolder(RecordFolder(), strFolderError));
        WriteFileBytes(RecordFolder() + "/left-" + std::to_string(++m_nLeft) + ".wrj", strOrphan);
        return ImageOf(buffer);
    }

    // Answers the dialog "復元" with the button of that name, after picking rows.
    void AnswerRecoverDialog(const char *pszButton, std::vector<int> aRows = {})
    {
        m_fnDialog = [this, pszButton, aRows](QDialog *pDialog) {
            auto *pDlg = qobject_cast<CRecoverDlg *>(pDialog);
            EXPECT_TRUE(pDlg);
            if (!pDlg)
                return static_cast<int>(QDialog::Rejected);
            ++m_nDialogs;
            auto *pList = pDlg->findChild<QTreeWidget *>(QStringLiteral("recordList"));
            m_aShownRows.clear();
            for (int i = 0; i < pList->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *pItem = pList->topLevelItem(i);
                m_aShownRows.push_back(pItem->text(0) + "|" + pItem->text(2) + "|" + pItem->text(3));
            }
            for (int nRow : aRows)
                pList->topLevelItem(nRow)->setSelected(true);
            pDlg->findChild<QPushButton *>(QString::fromLatin1(pszButton))->click();
            return pDlg->result();
        };
    }

    // The user closes the main window, and the program ends.
    void CloseFrameAndEnd()
    {
        QCloseEvent event;
        QApplication::sendEvent(Frame(), &event);
        EXPECT_TRUE(event.isAccepted());
        Idle();
        m_pApp.reset();
    }

    CWrenpadDoc *DocWithPath(const std::string &strPath) const
    {
        for (CWrenpadDoc *pDoc : m_pApp->Documents())
            if (pDoc->GetPathName() == strPath)
                return pDoc;
        return nullptr;
    }

    std::string m_strUntitledName;  // of the next untitled record; none as older versions wrote
    int m_nLeft = 0;
    int m_nDialogs = 0;
    std::vector<QString> m_aShownRows;
};

// While this lives, the calling thread (run as root) no longer writes into
// folders without write permission, as a user would not.
class CNoPermissionOverride
{
public:
    CNoPermissionOverride()
    {
        if (::geteuid() != 0 || ::syscall(SYS_capget, &m_header, m_aSaved) != 0)
            return;
        __user_cap_data_struct aData[2] = {m_aSaved[0], m_aSaved[1]};
        aData[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        m_bDropped = ::syscall(SYS_capset, &m_header, aData) == 0;
    }
    ~CNoPermissionOverride()
    {
        if (m_bDropped)
            ::syscall(SYS_capset, &m_header, m_aSaved);
    }
    CNoPermissionOverride(const CNoPermissionOverride &) = delete;
    CNoPermissionOverride &operator=(const CNoPermissionOverride &) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_aSaved[2]{};
    bool m_bDropped = false;
};

} // namespace

TEST_F(Recovery, EveryKindOfRecordComesBackAsAModifiedWindow)
{
    const std::string strSame = WriteFile("same.txt", SJIS_SAMPLE);
    const std::string strChanged = WriteFile("changed.txt", "old\r\n");
    const std::string strGone = WriteFile("gone.html", "<p>\r\n");
    const CTextImage same = LeaveRecord(strSame, [](CCrystalTextBuffer &b) { ApplyEveryKindOfEdit(b, [] {}); });
    const CTextImage changed = LeaveRecord(strChanged, [](CCrystalTextBuffer &b) { Insert(b, 0, 3, "\x95\x5C"); });
    const CTextImage gone = LeaveRecord(strGone, [](CCrystalTextBuffer &b) { Insert(b, 0, 3, "text"); });
    const CTextImage untitled = LeaveRecord("", [](CCrystalTextBuffer &b) { Insert(b, 0, 0, "\x82\xA0\r\nnew"); });
    WriteFileBytes(strChanged, "someone else's\r\n");
    ::unlink(strGone.c_str());

    AnswerRecoverDialog("restoreAll");
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nDialogs, 1);
    ASSERT_EQ(m_aShownRows.size(), 4u);
    EXPECT_TRUE(Shown("無題|7 バイト|"));
    EXPECT_TRUE(Shown(QString::fromStdString(strGone) + "|9 バイト|ファイルがありません"));
    ASSERT_EQ(m_pApp->GetDocumentCount(), 4);

    CWrenpadDoc *pSame = DocWithPath(strSame);
    CWrenpadDoc *pChanged = DocWithPath(strChanged);
    ASSERT_TRUE(pSame && pChanged);
    EXPECT_EQ(ImageOf(pSame->GetBuffer()), same);
    EXPECT_EQ(ImageOf(pChanged->GetBuffer()), changed);
    EXPECT_FALSE(pChanged->GetTitleMark().empty());
    // The deleted file's text and the untitled one have no file now.
    CWrenpadDoc *pGone = nullptr;
    CWrenpadDoc *pUntitled = nullptr;
    for (CWrenpadDoc *pDoc : m_pApp->Documents()) {
        EXPECT_TRUE(pDoc->IsModified());
        if (pDoc->GetPathName().empty())
            (pDoc->GetTitle() == "gone.html" ? pGone : pUntitled) = pDoc;
    }
    ASSERT_TRUE(pGone && pUntitled);
    EXPECT_EQ(ImageOf(pGone->GetBuffer()), gone);
    EXPECT_EQ(ImageOf(pUntitled->GetBuffer()), untitled);
    EXPECT_FALSE(FileExists(strGone));
    EXPECT_EQ(ReadFileBytes(strSame), SJIS_SAMPLE);  // nothing written over the files
    EXPECT_EQ(ReadFileBytes(strChanged), "someone else's\r\n");

    // One message names the changed and the missing file.
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_EQ(m_aBoxes[0].strCaption, "復元");
    EXPECT_TRUE(m_aBoxes[0].strText.contains(QString::fromStdString(strChanged))
                && m_aBoxes[0].strText.contains(QString::fromStdString(strGone)));

    // The old records are gone and the restored texts have records of their
    // own, in which the changed file is still known as changed.
    const std::vector<std::string> aJournals = Flushed();
    EXPECT_EQ(aJournals.size(), 4u);
    bool bChangedStillKnown = false;
    for (const std::string &strName : aJournals) {
        EXPECT_NE(strName.rfind("left-", 0), 0u) << strName;
        const CJournalSummary summary = SummarizeJournal(Record(strName));
        if (summary.header.strPath == strChanged)
            bChangedStillKnown = summary.header.fileAtBase.bValid
                                 && !(summary.header.fileAtBase == StatFileIdentity(strChanged));
    }
    EXPECT_TRUE(bChangedStillKnown);

    // Saving writes the restored text, byte for byte, removes its record and the mark.
    pChanged->DoFileSave();
    pSame->DoFileSave();
    EXPECT_EQ(Flushed().size(), 2u);
    EXPECT_TRUE(pChanged->GetTitleMark().empty());
    CCrystalTextBuffer reread;
    ASSERT_TRUE(reread.LoadFromFile(strSame));
    EXPECT_EQ(ImageOf(reread).aLines, same.aLines);
}

TEST_F(Recovery, AnUntitledTextIsOfferedUnderItsTabsNameAndColouredAsItsTextCallsFor)
{
    // What the editor writes down for a new window: the name on its tab.
    ASSERT_TRUE(Start());
    ASSERT_EQ(m_pApp->OnFileNew()->GetTitle(), "新規ﾌｧｲﾙ1");
    Idle();
    QTest::keyClicks(View(), QStringLiteral("abc"));
    const std::vector<std::string> aOwn = Flushed();
    ASSERT_EQ(aOwn.size(), 1u);
    EXPECT_EQ(SummarizeJournal(Record(aOwn[0])).header.strTitle, "新規ﾌｧｲﾙ1");
    Run(ID_FILE_CLOSE, {IDNO});
    m_pApp.reset();
    m_aBoxes.clear();

    // Records left by an ended editor: one named, one of an older version.
    m_strUntitledName = "新規ﾌｧｲﾙ3";
    LeaveRecord("", [](CCrystalTextBuffer &b) { Insert(b, 0, 0, "  \r\n<!DOCTYPE html>\r\n<p>"); });
    m_strUntitledName.clear();
    LeaveRecord("", [](CCrystalTextBuffer &b) { Insert(b, 0, 0, "plain"); });
    AnswerRecoverDialog("restoreAll");
    ASSERT_TRUE(Start());
    ASSERT_EQ(m_aShownRows.size(), 2u);
    EXPECT_TRUE(Shown("新規ﾌｧｲﾙ3|24 バイト|") && Shown("無題|5 バイト|"));
    // The page comes back coloured as HTML, the plain text as before.
    ASSERT_EQ(m_pApp->GetDocumentCount(), 2);
    for (CChildFrame *pFrame : Frame()->GetChildFrames()) {
        const bool bPage = Text(pFrame->GetDocument()).find("<!DOCTYPE") != std::string::npos;
        EXPECT_EQ(pFrame->GetActiveView()->GetViewType(), bPage ? VIEWTYPE_HTML : VIEWTYPE_STANDARD);
    }
}

TEST_F(Recovery, ADamagedRecordGivesItsSoundPartAndSaysSo)
{
    const std::string strFile = WriteFile("doc.txt", "line\r\n");
    LeaveRecord(strFile, [](CCrystalTextBuffer &b) { Insert(b, 0, 4, " one"), Insert(b, 0, 8, " two"); }, true);
    AnswerRecoverDialog("restoreAll");
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_aShownRows.size(), 1u);
    EXPECT_TRUE(m_aShownRows[0].endsWith("記録の一部が壊れています")) << m_aShownRows[0].toStdString();
    ASSERT_EQ(m_pApp->GetDocumentCount(), 1);
    // The journal lost the end of its last edit (and the state after it).
    EXPECT_EQ(Text(m_pApp->Documents()[0]), "line one|");
    ASSERT_EQ(m_aBoxes.size(), 1u);
    EXPECT_TRUE(m_aBoxes[0].strText.contains("壊れ"));
}

TEST_F(Recovery, ARecordOfAFileInAnotherCodeGivesBackTheTextAsEdited)
{
    // UTF-8, and large enough that a record of a Shift-JIS file would start
    // from the file itself.
    std::string strUtf8;
    while (strUtf8.size() < CRecoveryManager::SNAPSHOT_LIMIT + 4096)
        strUtf8 += "日本語のページ、UTF-8 で保存。\r\n";
    const std::string strFile = WriteFile("page.html", strUtf8);
    ASSERT_TRUE(Start());
    CWrenpadDoc *pDoc = Open(strFile);
    ASSERT_TRUE(pDoc);
    ASSERT_EQ(pDoc->GetTextCode(), ETextCode::Utf8);
    for (const char *pszSaved : {"", "saved"}) {
        if (*pszSaved) {
            // After a save in the file's code the next record starts afresh too.
            Frame()->ExecuteCommand(ID_FILE_SAVE);
            ASSERT_FALSE(pDoc->IsModified());
        }
        QTest::keyClicks(View(), QStringLiteral("abc"));
        const std::vector<std::string> journals = Flushed();
        ASSERT_EQ(journals.size(), 1u) << pszSaved;
        CCrystalTextBuffer replayed;
        ASSERT_TRUE(ReplayJournal(Record(journals[0]), std::string(), strFile, replayed).bRestored) << pszSaved;
        EXPECT_EQ(ImageOf(replayed), ImageOf(pDoc->GetBuffer())) << pszSaved;
    }
}

// Characters Shift-JIS lacks, the file's and those typed after the record
// began: the record's header holds the table each edit needs.
TEST_F(Recovery, ARecordKeepsTheCharactersBeyondShiftJisTypedAfterItBegan)
{
    const std::string strFile = WriteFile("page.html", "<p>\xC2\xA9 2026</p>\n");
    ASSERT_TRUE(Start());
    CWrenpadDoc *pDoc = Open(strFile);
    ASSERT_TRUE(pDoc);
    QTest::keyClicks(View(), QStringLiteral("a"));
    Flushed();
    Commit(QStringLiteral("\U0001F600"));  // after the record began, a character its table lacked
    const std::vector<std::string> journals = Flushed();
    ASSERT_EQ(journals.size(), 1u);
    const std::string strJournal = Record(journals[0]);
    CFileCodeState code;
    ASSERT_TRUE(CodeStateFromLine(SummarizeJournal(strJournal).header.strDocCode, code));
    EXPECT_TRUE(code.extra == pDoc->GetCodeState().extra);
    EXPECT_EQ(code.extra.Size(), 2u);
    CCrystalTextBuffer replayed;
    ASSERT_TRUE(ReplayJournal(strJournal, std::string(), strFile, replayed).bRestored);
    EXPECT_EQ(ImageOf(replayed), ImageOf(pDoc->GetBuffer()));
}

TEST_F(Recovery, ARestoredTextIsSavedTheWayItsFileWasWritten)
{
    // UTF-8 with the wave dash (the form Shift-JIS text does not read back
    // as), and EUC-JP left by a version whose records named no code.
    const std::string strUtf8 = WriteFile("wave.html", "<p>\xE6\xB3\xA2\xE3\x80\x9C</p>\n");
    const std::string strEucText = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\n";
    const std::string strEuc = WriteFile("euc.txt", strEucText);
    const auto typeA = [](CCrystalTextBuffer &b) { Insert(b, 0, 0, "\x82\xA0"); };
    LeaveRecord(strUtf8, typeA, false, FILE_CODE_NAMED);
    LeaveRecord(strEuc, typeA, false, FILE_CODE_UNNAMED);

    AnswerRecoverDialog("restoreAll");
    ASSERT_TRUE(Start());
    CWrenpadDoc *pUtf8 = DocWithPath(strUtf8);
    CWrenpadDoc *pEuc = DocWithPath(strEuc);
    ASSERT_TRUE(pUtf8 && pEuc);
    ASSERT_TRUE(pUtf8->DoFileSave());
    EXPECT_EQ(ReadFileBytes(strUtf8), "\xE3\x81\x82<p>\xE6\xB3\xA2\xE3\x80\x9C</p>\n");
    ASSERT_TRUE(pEuc->DoFileSave());
    EXPECT_EQ(ReadFileBytes(strEuc), "\xA4\xA2" + strEucText);
}

TEST_F(Recovery, RecordsInAFolderThatCannotBeWrittenAreKeptAndTheUserIsToldOnce)
{
    const std::string strFile = WriteFile("a.txt", "a\r\n");
    LeaveRecord(strFile, [](CCrystalTextBuffer &b) { Insert(b, 0, 1, "\x95\x5C"); });
    LeaveRecord("", [](CCrystalTextBuffer &b) { Insert(b, 0, 0, "new"); });
    ASSERT_EQ(::chmod(RecordFolder().c_str(), 0500), 0);
    {
        CNoPermissionOverride noOverride;
        std::string strError;
        if (CanCreateFilesIn(RecordFolder(), strError)) {
            ::chmod(RecordFolder().c_str(), 0700);
            GTEST_SKIP() << "this process writes into folders without write permission";
        }

        // Both come back, and the one message says the old records stay.
        AnswerRecoverDialog("restoreAll");
        ASSERT_TRUE(Start());
        ASSERT_EQ(m_pApp->GetDocumentCount(), 2);
        ASSERT_TRUE(DocWithPath(strFile));
        EXPECT_EQ(Text(DocWithPath(strFile)), "a\x95\x5C|");
        ASSERT_EQ(m_aBoxes.size(), 1u);
        const QString strBox = m_aBoxes[0].strCaption + ": " + m_aBoxes[0].strText;
        EXPECT_TRUE(strBox.startsWith("復元: ") && strBox.contains(QStringLiteral("記録を書き込めません"))
                    && strBox.contains(QString::fromStdString(strFile)))
            << strBox.toStdString();
        EXPECT_EQ(strBox.count(QStringLiteral("元の記録を残しました")), 2);
        QTest::keyClicks(View(), QStringLiteral("more"));
        Idle();
        EXPECT_EQ(m_aBoxes.size(), 1u);
        m_pApp.reset();
        EXPECT_EQ(Journals(RecordFolder()).size(), 2u);

        // Discarding cannot remove them either, and says so in the same one message.
        m_aBoxes.clear();
        m_aAnswers = {IDYES};
        AnswerRecoverDialog("discardSelected", {0, 1});
        ASSERT_TRUE(Start());
        ASSERT_EQ(m_aBoxes.size(), 2u);  // the question, then the warning
        EXPECT_TRUE(m_aBoxes[1].strText.contains(QStringLiteral("記録を書き込めません")));
        EXPECT_EQ(m_aBoxes[1].strText.count(QStringLiteral("記録を削除できませんでした")), 2);
        m_pApp.reset();
    }
    ASSERT_EQ(::chmod(RecordFolder().c_str(), 0700), 0);

    // Once the folder can be written they are offered again, as the message said.
    m_aBoxes.clear();
    AnswerRecoverDialog("keepForLater");
    m_nDialogs = 0;
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_nDialogs, 1);
    EXPECT_EQ(m_aShownRows.size(), 2u);
    EXPECT_TRUE(m_aBoxes.empty());
}

TEST_F(Recovery, EnterInTheDialogRestoresAllAndDiscardingAsksFirst)
{
    CRecoverDlg dlg({{QString(), 0, 5, QString(), QString()},
                     {QStringLiteral("/x/y.txt"), 0, 1234567, QString(), QString()}});
    ASSERT_TRUE(OpenDialog(&dlg));
    EXPECT_EQ(dlg.findChild<QTreeWidget *>(QStringLiteral("recordList"))->topLevelItem(1)->text(2),
              QStringLiteral("1,234,567 バイト"));
    QTest::keyClick(FocusControl(), Qt::Key_Return);
    EXPECT_EQ(std::make_tuple(dlg.result(), dlg.GetAction(), dlg.GetChosen()),
              std::make_tuple(int(QDialog::Accepted), CRecoverDlg::ACTION_RESTORE, std::vector<int>{0, 1}));

    // Discarding, the one step that loses text, asks first: No keeps the dialog open.
    CRecoverDlg other({{QString(), 0, 5, QString(), QString()}});
    ASSERT_TRUE(OpenDialog(&other));
    other.findChild<QTreeWidget *>(QStringLiteral("recordList"))->topLevelItem(0)->setSelected(true);
    m_aAnswers = {IDNO};
    other.findChild<QPushButton *>(QStringLiteral("discardSelected"))->click();
    EXPECT_EQ(std::make_pair(m_aBoxes.size(), other.isVisible()), std::make_pair(std::size_t(1), true));
}

TEST_F(Recovery, TheSessionBringsBackWindowsPanesAndCarets)
{
    m_profile.WriteInt(SECTION_MAIN, "bRestoreSession", 1);
    std::string strText;
    for (int i = 0; i < 200; ++i)
        strText += "line " + std::to_string(i) + "\r\n";
    const std::string strA = WriteFile("a.txt", strText);
    const std::string strB = WriteFile("b.html", "<p>\r\n\x82\xA0\x82\xA2</p>\r\n");
    const std::string strC = WriteFile("c.txt", "c\r\n");
    ASSERT_TRUE(Start());
    m_pApp->OpenDocumentFile(QString::fromStdString(strC));
    ASSERT_TRUE(Open(strA));
    CChildFrame *pFrameA = Frame()->GetActiveChild();
    pFrameA->GetSplitter()->SplitRow();
    Idle();
    pFrameA->GetSplitter()->GetPane(0, 0)->PlaceCaret(CPoint(3, 150));
    pFrameA->GetSplitter()->GetPane(1, 0)->PlaceCaret(CPoint(2, 7));
    m_pApp->OpenDocumentFile(QString::fromStdString(strB));
    Idle();
    View()->PlaceCaret(CPoint(2, 1));
    Frame()->ActivateChild(pFrameA);
    Idle();
    CloseFrameAndEnd();
    CSession written;
    ASSERT_TRUE(ReadSessionFile(SessionFilePath(), written));
    EXPECT_EQ(written.aWindows.size(), 3u);

    // A file gone since is left out.
    ::unlink(strC.c_str());
    ASSERT_TRUE(Start());
    ASSERT_EQ(m_pApp->GetDocumentCount(), 2);
    CChildFrame *pActive = Frame()->GetActiveChild();
    ASSERT_TRUE(pActive);
    EXPECT_EQ(pActive->GetDocument()->GetPathName(), strA);
    CSplitterWnd *pSplitter = pActive->GetSplitter();
    ASSERT_EQ(std::make_pair(pSplitter->GetRowCount(), pSplitter->GetColumnCount()), std::make_pair(2, 1));
    EXPECT_EQ(std::make_pair(pSplitter->GetPane(0, 0)->GetCursorPos(), pSplitter->GetPane(1, 0)->GetCursorPos()),
              std::make_pair(CPoint(3, 150), CPoint(2, 7)));
    CWrenpadDoc *pB = DocWithPath(strB);
    ASSERT_TRUE(pB);
    ASSERT_EQ(pB->GetViews().size(), 1u);
    EXPECT_EQ(pB->GetViews()[0]->GetCursorPos(), CPoint(2, 1));

    // Switched off, nothing comes back.
    CloseFrameAndEnd();
    m_profile.WriteInt(SECTION_MAIN, "bRestoreSession", 0);
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_pApp->GetDocumentCount(), 0);
}
