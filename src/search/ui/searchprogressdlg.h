// The modal "検索中..." dialog of a folder search, and the run of one search
// on a worker thread while it is shown. Results and status texts reach the
// user-interface thread by queued calls; the worker closes the dialog when
// it is done, and "ｷｬﾝｾﾙ" only asks it to stop.
#pragma once

#include "platform/searchevent.h"
#include "search/foldersearch.h"

#include <QDialog>

#include <functional>

class QLabel;

class CSearchProgressDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSearchProgressDlg(QWidget *pParent = nullptr);
    void SetCancel(CSearchCancel *pCancel) { m_pCancel = pCancel; }
    // Status line 1 (what is searched) or 2 (the file being read).
    void SetStatus(int nLine, const QString &strText);
    QString GetStatus(int nLine) const;

    // Searches on a worker thread while this dialog is shown modally;
    // fnResult gets each result on this thread, in order. Returns what the
    // search returned (false when it ended early).
    bool Run(const FolderSearchParams &params, const std::function<void(const CSearchResult &)> &fnResult);

    // Called (on this thread) when the dialog has appeared, before the
    // worker starts; tests use it to press "ｷｬﾝｾﾙ".
    static void SetShownHook(std::function<void(CSearchProgressDlg *)> hook);

public slots:
    void reject() override;

private:
    QLabel *m_apStatus[2];
    CSearchCancel *m_pCancel = nullptr;
};
