// A modal dialog that shows the progress of long work done on a worker
// thread: what is being worked on and a bar. "ｷｬﾝｾﾙ" (or Escape, or closing
// the window) only asks the work to stop; the dialog closes when the work
// has ended, so the work is never left running behind it.
#pragma once

#include <QDialog>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CProgressDlg(const QString &strTitle, QWidget *pParent = nullptr);

    // What the work sees: its reports and the request to stop.
    class CReport
    {
    public:
        explicit CReport(CProgressDlg &dlg) : m_dlg(dlg) {}
        // Safe from the worker thread; only the latest report is shown.
        void Progress(const std::string &strText, std::int64_t nDone, std::int64_t nTotal);
        const std::atomic<bool> *CancelFlag() const { return &m_dlg.m_bCancel; }

    private:
        CProgressDlg &m_dlg;
    };

    // Runs fnWork on a worker thread while the dialog is shown; returns what
    // it returned.
    int Run(const std::function<int(CReport &)> &fnWork);

    bool IsCancelRequested() const { return m_bCancel.load(); }
    QString GetText() const;
    int GetPercent() const;

    // Called on this thread once the dialog is up, before the work starts;
    // tests use it to press "ｷｬﾝｾﾙ".
    static void SetShownHook(std::function<void(CProgressDlg *)> hook);

public slots:
    void reject() override;

private:
    void ShowLatest();

    QLabel *m_pText;
    QProgressBar *m_pBar;
    QPushButton *m_pCancel;
    std::atomic<bool> m_bCancel{false};
    std::mutex m_mutex;
    std::string m_strText;
    std::int64_t m_nDone = 0;
    std::int64_t m_nTotal = 0;
    std::atomic<bool> m_bPending{false};
};
