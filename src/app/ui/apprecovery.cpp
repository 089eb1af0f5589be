// The application's side of the recovery records: the manager that keeps
// them, the offer at start of what a previous run left, and putting the
// chosen texts back into document windows.
#include "app/ui/wrenpadapp.h"

#include "app/ui/mainframe.h"
#include "app/ui/recoverdlg.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "recovery/docjournal.h"
#include "recovery/recordscan.h"
#include "recovery/recoverymanager.h"
#include "recovery/statefolder.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

namespace {

QString RecordName(const COrphanRecord &record)
{
    return CRecoverDlg::FileText(QString::fromStdString(record.Path()), QString::fromStdString(record.Title()));
}

std::string FileName(const std::string &strPath)
{
    return strPath.substr(strPath.rfind('/') + 1);
}

} // namespace

void CWrenpadApp::StartRecovery()
{
    if (m_pRecovery)
        return;
    m_pRecovery = std::make_shared<CRecoveryManager>(StateFolder() + "/recovery");
    // The worker's reports are handled on this thread, soon.
    QPointer<CWrenpadApp> pThis(this);
    std::weak_ptr<CRecoveryManager> pWeak = m_pRecovery;
    m_pRecovery->SetWakeHandler([pThis, pWeak] {
        if (pThis)
            QMetaObject::invokeMethod(pThis, [pWeak] {
                if (auto pManager = pWeak.lock())
                    pManager->RunPosted();
            }, Qt::QueuedConnection);
    });
    m_pRecovery->SetErrorHandler([this](const std::string &strError) { WarnRecoveryProblem(strError); });
    // Records a keystroke could not hand to the worker at once go from here.
    auto *pTimer = new QTimer(this);
    connect(pTimer, &QTimer::timeout, this, [pWeak] {
        if (auto pManager = pWeak.lock(); pManager && pManager->HasPending())
            pManager->RunPosted();
    });
    pTimer->start(200);
    std::string strError;
    if (!m_pRecovery->Open(strError))
        m_strRecoveryProblem = strError;
}

void CWrenpadApp::WarnRecoveryProblem(const std::string &strError, const QStringList &notes)
{
    if (m_bRecoveryWarned)
        return;
    m_bRecoveryWarned = true;
    m_strRecoveryProblem.clear();
    QString strText = QStringLiteral("未保存の内容を復元するための記録を書き込めません。\n%1\n\n"
                                     "編集は続けられますが、異常終了したときに未保存の内容は復元できません。")
                          .arg(QString::fromStdString(strError));
    if (!notes.isEmpty())
        strText += QStringLiteral("\n\n") + notes.join(QStringLiteral("\n\n"));
    MessageBox(m_pMainFrame, strText, QStringLiteral("復元"), MB_OK | MB_ICONEXCLAMATION);
}

CWrenpadDoc *CWrenpadApp::RestoreRecord(COrphanRecord &record, QStringList &notes)
{
    auto *pDoc = new CWrenpadDoc(this, m_pRecovery);
    pDoc->OnNewDocument();
    CWrenpadTextBuffer &buffer = pDoc->GetBuffer();
    CDocJournal *pJournal = pDoc->GetJournal();
    if (pJournal)
        pJournal->SetPaused(true);
    const CReplayResult result = record.Restore(buffer);
    if (pJournal)
        pJournal->SetPaused(false);
    const QString strName = RecordName(record);
    if (!result.bRestored) {
        delete pDoc;
        record.Release();
        notes << QStringLiteral("%1\n記録を読めないため復元できませんでした。記録は次回の起動時まで残します。").arg(strName);
        return nullptr;
    }
    // However it ended, the text differs from every file: modified, and
    // undo cannot reach a saved state.
    buffer.SetModified(true);
    buffer.ClearUndo();

    // Saved again, the text is written the way its file was.
    const bool bFileThere = record.FileState() == RECFILE_SAME || record.FileState() == RECFILE_CHANGED;
    pDoc->RestoreTextCode(record.Summary().header.strDocCode, bFileThere ? record.Path() : std::string());

    switch (record.FileState()) {
    case RECFILE_SAME:
        pDoc->SetPathName(record.Path());
        break;
    case RECFILE_CHANGED:
        pDoc->SetPathName(record.Path());
        pDoc->SetTitleMark(" [復元・ﾌｧｲﾙ変更あり]");
        notes << QStringLiteral("%1\nファイルは記録の後で変更されています。復元した内容で上書き保存すると、その変更は失われます。")
                     .arg(strName);
        break;
    case RECFILE_MISSING:
        // The file is gone: the text comes back untitled, under the old name.
        pDoc->SetTitle(FileName(record.Path()));
        notes << QStringLiteral("%1\nファイルが見つからないため、無題の文書として復元しました。").arg(strName);
        break;
    case RECFILE_UNTITLED:
        pDoc->SetTitle("新規ﾌｧｲﾙ" + std::to_string(++m_nUntitledCount));
        break;
    }
    if (result.bDamaged)
        notes << QStringLiteral("%1\n記録の途中が壊れていたため、壊れた箇所の手前までを復元しました。").arg(strName);

    // The old record goes only once the new one is on the disk.
    bool bKept = false;
    if (pJournal && m_pRecovery->IsOpen()) {
        // A file restored as untitled is no longer the text's file.
        pJournal->BeginRecord(bFileThere ? record.Summary().header.fileAtBase : CFileIdentity());
        bKept = pJournal->HasRecord() && m_pRecovery->Flush();
    }
    // Without a record of its own the restored text keeps the old one: it is
    // offered again at the next start, which the user must know.
    if (!bKept || !record.Discard()) {
        record.Release();
        notes << QStringLiteral("%1\n新しい記録を書き込めないため、元の記録を残しました。"
                                "次回の起動時にも復元の対象として表示されます。不要になったら破棄してください。")
                     .arg(strName);
    }

    m_aDocs << pDoc;
    if (m_pMainFrame)
        m_pMainFrame->CreateChildFrame(pDoc);
    // Without a file, the colouring is what the text calls for.
    if (pDoc->GetPathName().empty())
        for (CWrenpadView *pView : pDoc->GetViews())
            pView->SetViewType(pDoc->UntitledViewType());
    return pDoc;
}

int CWrenpadApp::OfferRecovery()
{
    if (!m_pRecovery)
        return 0;
    std::vector<std::unique_ptr<COrphanRecord>> aRecords = FindOrphanRecords(m_pRecovery->Folder());
    int nRestored = 0;
    QStringList notes;
    while (!aRecords.empty()) {
        std::vector<CRecoverRow> aRows;
        for (const auto &pRecord : aRecords) {
            CRecoverRow row;
            row.strFile = QString::fromStdString(pRecord->Path());
            row.strTitle = QString::fromStdString(pRecord->Title());
            row.nTimeMs = pRecord->LastChangeMs();
            row.nSize = pRecord->TextSize();
            if (pRecord->IsDamaged())
                row.strNote = QStringLiteral("記録の一部が壊れています");
            else if (pRecord->FileState() == RECFILE_CHANGED)
                row.strNote = QStringLiteral("ファイルが変更されています");
            else if (pRecord->FileState() == RECFILE_MISSING)
                row.strNote = QStringLiteral("ファイルがありません");
            aRows.push_back(row);
        }
        CRecoverDlg dlg(aRows, m_pMainFrame);
        ExecDialog(&dlg);
        const std::vector<int> &aChosen = dlg.GetChosen();
        if (dlg.GetAction() == CRecoverDlg::ACTION_LATER || aChosen.empty())
            break;
        if (dlg.GetAction() == CRecoverDlg::ACTION_DISCARD) {
            for (auto it = aChosen.rbegin(); it != aChosen.rend(); ++it) {
                COrphanRecord &record = *aRecords[static_cast<std::size_t>(*it)];
                if (!record.Discard())
                    notes << QStringLiteral("%1\n記録を削除できませんでした。次回の起動時にも表示されます。")
                                 .arg(RecordName(record));
                aRecords.erase(aRecords.begin() + *it);
            }
            continue;  // the rest are offered again
        }
        for (int nRow : aChosen)
            if (RestoreRecord(*aRecords[static_cast<std::size_t>(nRow)], notes))
                ++nRestored;
        break;
    }
    // Whatever was not restored or discarded waits for a later start.
    for (const auto &pRecord : aRecords)
        pRecord->Release();
    // A folder that cannot be written is told once, with what it meant for
    // the records just handled.
    if (!m_strRecoveryProblem.empty())
        WarnRecoveryProblem(m_strRecoveryProblem, notes);
    else if (!notes.isEmpty())
        MessageBox(m_pMainFrame, notes.join(QStringLiteral("\n\n")), QStringLiteral("復元"), MB_OK | MB_ICONINFORMATION);
    return nRestored;
}
