// Journals written by a document's journal and read back: the text after
// every edit comes back byte for byte, a journal cut anywhere gives the text
// of its last whole edit, damage never crashes the reader, and the record
// follows the document's modified state.
#include "recovery/docjournal.h"
#include "recovery/journalreplay.h"
#include "recovery/recoverymanager.h"
#include "recoverytest.h"
#include "support/testutil.h"
#include "text/fileio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

class Journal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pManager = std::make_shared<CRecoveryManager>(m_dir.File("state/recovery"));
        std::string strError;
        ASSERT_TRUE(m_pManager->Open(strError)) << strError;
    }

    std::string JournalPath(const CDocJournal &journal) const
    {
        return m_pManager->Folder() + "/" + journal.RecordId() + ".wrj";
    }
    std::string BasePath(const std::string &strId) const { return m_pManager->Folder() + "/" + strId + ".base"; }

    // What a journal's bytes give back.
    static CTextImage Replayed(std::string_view data, const std::string &strBase, CReplayResult *pResult = nullptr)
    {
        CCrystalTextBuffer buffer;
        const CReplayResult result = ReplayJournal(data, strBase, std::string(), buffer);
        if (pResult)
            *pResult = result;
        return result.bRestored ? ImageOf(buffer) : CTextImage();
    }

    // The file written with the bytes and loaded into the buffer, and a
    // journal for it that starts from the file as read.
    std::unique_ptr<CDocJournal> Load(CCrystalTextBuffer &buffer, const std::string &strFile, const std::string &strBytes)
    {
        WriteFileBytes(strFile, strBytes);
        EXPECT_TRUE(buffer.LoadFromFile(strFile));
        auto pJournal = std::make_unique<CDocJournal>(m_pManager, buffer);
        pJournal->SetPath(strFile);
        pJournal->SetBaselineLoaded(StatFileIdentity(strFile), buffer.GetLineEndMode());
        return pJournal;
    }

    std::size_t RecordFileCount() const { return ListDir(m_pManager->Folder()).size(); }

    CTempDir m_dir;
    std::shared_ptr<CRecoveryManager> m_pManager;
};

} // namespace

TEST_F(Journal, DamageAnywhereStopsTheReplayAtASoundText)
{
    const std::string strFile = m_dir.File("doc.txt");
    WriteFileBytes(strFile, SJIS_SAMPLE);
    CCrystalTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFromFile(strFile));
    CDocJournal journal(m_pManager, buffer);
    // The text after every single change the buffer makes.
    struct CRecorder : CBufferView
    {
        CCrystalTextBuffer &buffer;
        std::vector<CTextImage> aTexts;
        explicit CRecorder(CCrystalTextBuffer &b) : buffer(b) {}
        void UpdateView(CBufferView *, const ChangeHint *pHint, std::uint32_t, int) override
        {
            if (pHint)
                aTexts.push_back(ImageOf(buffer));
        }
    } recorder(buffer);
    buffer.AttachView(&recorder);
    std::string strPath;
    ApplyEveryKindOfEdit(buffer, [&] { strPath = JournalPath(journal); });
    buffer.DetachView(&recorder);
    const std::vector<CTextImage> &aTexts = recorder.aTexts;
    ASSERT_TRUE(m_pManager->Flush());
    const std::string strData = ReadFileBytes(strPath);

    // Flipped bytes, overwritten lengths, random garbage: the reader stops
    // where the damage begins, so the text is always one the user had, or
    // (the starting text hit) the lines of it before the damage.
    const std::vector<std::string> &aStart = aTexts.front().aLines;
    auto IsStartPrefix = [&](const std::vector<std::string> &aLines) {
        return aLines == std::vector<std::string>{""}
               || (aLines.size() <= aStart.size() && std::equal(aLines.begin(), aLines.end(), aStart.begin()));
    };
    std::mt19937 random(7);
    for (int nTry = 0; nTry < 3000; ++nTry) {
        std::string strBad = strData;
        const int nHits = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < nHits; ++i)
            strBad[random() % strBad.size()] ^= static_cast<char>(1 + random() % 255);
        if (nTry % 5 == 0)
            strBad.resize(random() % strBad.size());
        CReplayResult result;
        const CTextImage image = Replayed(strBad, "", &result);
        if (!result.bRestored)
            continue;
        const bool bUserText = std::any_of(aTexts.begin(), aTexts.end(),
                                           [&](const CTextImage &t) { return t.aLines == image.aLines; });
        EXPECT_TRUE(bUserText || (result.bDamaged && IsStartPrefix(image.aLines))) << nTry;
    }
    // Not a journal at all.
    CReplayResult result;
    Replayed("plain text, no journal", "", &result);
    EXPECT_FALSE(result.bRestored);
    EXPECT_TRUE(result.bDamaged);
}

TEST_F(Journal, ALargeDocumentStartsFromACopyOfItsFileThatOutlivesTheFile)
{
    // Over the snapshot limit, with CR bytes inside lines of an LF file.
    std::string strText = "first\n";
    for (int i = 0; strText.size() <= CRecoveryManager::SNAPSHOT_LIMIT * 5 / 4; ++i)
        strText += "line " + std::to_string(i) + " \x95\x5C\x8E\xA6\r text\n";
    const std::string strFile = m_dir.File("big.txt");
    CCrystalTextBuffer buffer;
    const auto pJournal = Load(buffer, strFile, strText);
    ASSERT_EQ(buffer.GetLineEndMode(), LINEEND_LF);
    Insert(buffer, 5, 3, "\x82\xA0typed");
    buffer.DeleteText(nullptr, 100, 0, 2000, 4, ACTION_DELSEL);
    ASSERT_TRUE(m_pManager->Flush());

    // The journal holds the two edits, not the text.
    const std::string strData = ReadFileBytes(JournalPath(*pJournal));
    EXPECT_LT(strData.size(), 4096u);
    const std::string strBase = BasePath(pJournal->RecordId());
    EXPECT_EQ(ReadFileBytes(strBase), strText);

    // The file changes on disk: the copy still gives the text.
    WriteFileBytes(strFile, "changed\n");
    EXPECT_EQ(Replayed(strData, strBase), ImageOf(buffer));
    // Without the copy the changed file cannot stand in for it.
    CCrystalTextBuffer other;
    CReplayResult result = ReplayJournal(strData, m_dir.File("nothing"), strFile, other);
    EXPECT_TRUE(!result.bRestored && result.bBaseUnreadable);
    // ... but the document's file, while it is still the same, can.
    WriteFileBytes(strFile, strText);
    result = ReplayJournal(strData, m_dir.File("nothing"), strFile, other);
    EXPECT_TRUE(result.bRestored);
    EXPECT_EQ(ImageOf(other), ImageOf(buffer));
}

TEST_F(Journal, AFileChangedBeforeTheFirstEditMakesTheRecordStartFromTheText)
{
    std::string strText(CRecoveryManager::SNAPSHOT_LIMIT + 100, 'a');
    strText += "\r\nlast";
    const std::string strFile = m_dir.File("big.txt");
    CCrystalTextBuffer buffer;
    const auto pJournal = Load(buffer, strFile, strText);

    // Someone else writes the file after we read it; our text is still the old one.
    WriteFileBytes(strFile, "someone else's\r\n");
    Insert(buffer, 1, 4, "!");
    ASSERT_TRUE(m_pManager->Flush());
    m_pManager->RunPosted();  // the worker asks for a snapshot
    Insert(buffer, 1, 5, "?");
    ASSERT_TRUE(m_pManager->Flush());

    EXPECT_FALSE(FileExists(BasePath(pJournal->RecordId())));
    EXPECT_EQ(Replayed(ReadFileBytes(JournalPath(*pJournal)), ""), ImageOf(buffer));
}

TEST_F(Journal, TheRecordLastsWhileTheDocumentIsModified)
{
    const std::string strFile = m_dir.File("doc.txt");
    CCrystalTextBuffer buffer;
    auto pJournal = Load(buffer, strFile, "one\r\ntwo\r\n");
    EXPECT_FALSE(pJournal->HasRecord());
    Insert(buffer, 0, 3, "!");
    ASSERT_TRUE(m_pManager->Flush());
    EXPECT_TRUE(pJournal->HasRecord());
    EXPECT_EQ(RecordFileCount(), 1u);

    // Undone back to the saved text (the document tells the journal).
    CPoint pt;
    buffer.Undo(pt);
    pJournal->OnModifiedChanged(buffer.IsModified());
    ASSERT_TRUE(m_pManager->Flush());
    EXPECT_FALSE(pJournal->HasRecord());
    EXPECT_EQ(RecordFileCount(), 0u);

    // Redone, then saved.
    buffer.Redo(pt);
    ASSERT_TRUE(m_pManager->Flush());
    EXPECT_EQ(RecordFileCount(), 1u);
    ASSERT_TRUE(buffer.SaveToFile(strFile));
    pJournal->OnModifiedChanged(false);
    pJournal->SetBaselineSaved(StatFileIdentity(strFile));
    ASSERT_TRUE(m_pManager->Flush());
    EXPECT_EQ(RecordFileCount(), 0u);

    // Edited and closed without saving: gone; edited and kept for the next start: stays.
    Insert(buffer, 0, 0, "x");
    pJournal.reset();
    ASSERT_TRUE(m_pManager->Flush());
    EXPECT_EQ(RecordFileCount(), 0u);
    pJournal = std::make_unique<CDocJournal>(m_pManager, buffer);
    Insert(buffer, 0, 0, "y");
    m_pManager->KeepRecords();
    pJournal.reset();
    ASSERT_TRUE(m_pManager->Flush());
    EXPECT_EQ(RecordFileCount(), 1u);
}

TEST_F(Journal, ALongJournalStartsAgainFromTheText)
{
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    CDocJournal journal(m_pManager, buffer);
    // Type and delete the same 64 KB over and over: the text stays small
    // while the edits add up past the point where a snapshot is cheaper.
    const std::string strChunk(64 << 10, 'z');
    const int nRounds = static_cast<int>(CRecoveryManager::COMPACT_MINIMUM / strChunk.size()) + 8;
    for (int i = 0; i < nRounds; ++i) {
        Insert(buffer, 0, 0, strChunk, ACTION_PASTE);
        buffer.DeleteText(nullptr, 0, 0, 0, static_cast<int>(strChunk.size()) - 1, ACTION_DELSEL);
    }
    ASSERT_TRUE(m_pManager->Flush());
    const std::string strData = ReadFileBytes(JournalPath(journal));
    EXPECT_LT(strData.size(), CRecoveryManager::COMPACT_MINIMUM);
    EXPECT_EQ(Replayed(strData, ""), ImageOf(buffer));
    EXPECT_EQ(RecordFileCount(), 1u);
}

TEST(JournalFolder, AFolderThatCannotBeMadeTurnsJournalingOffAndEditingGoesOn)
{
    CTempDir dir;
    // A file where the folder should be: no amount of privilege helps.
    WriteFileBytes(dir.File("state"), "");
    auto pManager = std::make_shared<CRecoveryManager>(dir.File("state/wrenpad/recovery"));
    std::string strError;
    EXPECT_FALSE(pManager->Open(strError));
    EXPECT_NE(strError.find("state"), std::string::npos) << strError;

    CCrystalTextBuffer buffer;
    buffer.InitNew();
    CDocJournal journal(pManager, buffer);
    Insert(buffer, 0, 0, "still typing");
    EXPECT_FALSE(journal.HasRecord());
    EXPECT_TRUE(pManager->Flush());
    EXPECT_EQ(ImageOf(buffer).aLines, std::vector<std::string>{"still typing"});
}

TEST(JournalHeader, TheDocumentsCodeAndNameAreKeptAndRecordsOfOlderVersionsReadWithoutThem)
{
    const auto headerPayload = [](const std::string &strJournal) {
        CJournalReader reader(strJournal);
        CJournalRecordView record;
        EXPECT_TRUE(reader.Next(record));
        EXPECT_EQ(record.eType, JREC_HEADER);
        return std::string(record.payload);
    };
    const auto journalWithHeader = [](std::string_view payload) {
        std::string strJournal;
        AppendMagic(strJournal);
        CRecordBuilder rb(strJournal, JREC_HEADER);
        rb.PutRaw(payload);
        rb.Finish();
        return strJournal;
    };
    CJournalHeader header;
    header.strPath = "/home/user/page.html";
    header.strDocCode = "UTF8 0100000 BB0 0 0 0 0";
    header.strTitle = "新規ﾌｧｲﾙ1";
    std::string strJournal;
    AppendMagic(strJournal);
    AppendHeader(strJournal, header);
    CJournalHeader decoded;
    ASSERT_TRUE(DecodeHeader(headerPayload(strJournal), decoded));
    EXPECT_EQ(decoded.strDocCode + "|" + decoded.strTitle, header.strDocCode + "|" + header.strTitle);

    // Older versions ended the header before the name, or before the code.
    header.strDocCode.clear();
    header.strTitle.clear();
    strJournal.clear();
    AppendMagic(strJournal);
    AppendHeader(strJournal, header);
    std::string payload = headerPayload(strJournal);
    ASSERT_EQ(payload.substr(payload.size() - 2), std::string(2, '\0'));  // the empty code's and name's lengths
    for (int nCut : {1, 2}) {
        decoded.strDocCode = "stale";
        decoded.strTitle = "stale";
        ASSERT_TRUE(DecodeHeader(headerPayload(journalWithHeader(payload.substr(0, payload.size() - nCut))), decoded))
            << nCut;
        EXPECT_EQ(decoded.strPath + "|" + decoded.strDocCode + "|" + decoded.strTitle, header.strPath + "||");
    }

    // A code or a name longer than what is left of the header is no header.
    payload.resize(payload.size() - 2);
    EXPECT_FALSE(DecodeHeader(headerPayload(journalWithHeader(payload + "\x09UTF8")), decoded));
    const std::string strCutName = payload + std::string(1, '\0') + "\x09" "abc";
    EXPECT_FALSE(DecodeHeader(headerPayload(journalWithHeader(strCutName)), decoded));
}
