#include "search/ui/searchprogressdlg.h"

#include "platform/ui/focusreturn.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

std::function<void(CSearchProgressDlg *)> &ShownHook()
{
    static std::function<void(CSearchProgressDlg *)> hook;
    return hook;
}

// Passes the worker's reports to the user-interface thread. Results go one
// queued call each, in order; status texts only keep the latest, with at
// most one call on its way, so that thousands of small files do not flood
// the event queue.
class CQueuedSink : public CFolderSearchSink
{
public:
    CQueuedSink(CSearchProgressDlg &dlg, const std::function<void(const CSearchResult &)> &fnResult)
        : m_dlg(dlg), m_fnResult(fnResult)
    {
    }

    void OnResult(const CSearchResult &result) override
    {
        QMetaObject::invokeMethod(&m_dlg, [this, result] { m_fnResult(result); }, Qt::QueuedConnection);
    }

    void OnStatus(int nLine, const std::string &strText) override
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_astrStatus[nLine == 1 ? 0 : 1] = QString::fromStdString(strText);
        }
        if (m_bPending.exchange(true))
            return;
        QMetaObject::invokeMethod(&m_dlg, [this] { ShowStatus(); }, Qt::QueuedConnection);
    }

    void ShowStatus()
    {
        m_bPending = false;
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_dlg.SetStatus(1, m_astrStatus[0]);
        m_dlg.SetStatus(2, m_astrStatus[1]);
    }

private:
    CSearchProgressDlg &m_dlg;
    const std::function<void(const CSearchResult &)> &m_fnResult;
    std::mutex m_mutex;
    QString m_astrStatus[2];
    std::atomic<bool> m_bPending{false};
};

} // namespace

CSearchProgressDlg::CSearchProgressDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("検索中..."));
    setObjectName(QStringLiteral("searchProgress"));
    auto *pLayout = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        m_apStatus[i] = new QLabel(this);
        m_apStatus[i]->setObjectName(QStringLiteral("status%1").arg(i + 1));
        m_apStatus[i]->setMinimumWidth(360);
        m_apStatus[i]->setTextFormat(Qt::PlainText);
        pLayout->addWidget(m_apStatus[i]);
    }
    auto *pCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    pCancel->setObjectName(QStringLiteral("cancel"));
    connect(pCancel, &QPushButton::clicked, this, &CSearchProgressDlg::reject);
    pLayout->addWidget(pCancel, 0, Qt::AlignHCenter);
}

void CSearchProgressDlg::SetShownHook(std::function<void(CSearchProgressDlg *)> hook)
{
    ShownHook() = std::move(hook);
}

void CSearchProgressDlg::SetStatus(int nLine, const QString &strText)
{
    m_apStatus[nLine == 1 ? 0 : 1]->setText(strText);
}

QString CSearchProgressDlg::GetStatus(int nLine) const
{
    return m_apStatus[nLine == 1 ? 0 : 1]->text();
}

void CSearchProgressDlg::reject()
{
    // The worker closes the dialog once it has stopped.
    if (m_pCancel)
        m_pCancel->Cancel();
}

bool CSearchProgressDlg::Run(const FolderSearchParams &params,
                             const std::function<void(const CSearchResult &)> &fnResult)
{
    const CFocusReturn focus(parentWidget());
    CSearchCancel cancel;
    SetCancel(&cancel);
    CQueuedSink sink(*this, fnResult);
    bool bResult = false;
    std::thread worker;
    QTimer::singleShot(0, this, [&] {
        if (ShownHook())
            ShownHook()(this);
        worker = std::thread([&] {
            try {
                CFolderSearch search(params, sink, &cancel);
                bResult = search.Run();
            } catch (const std::exception &) {
                bResult = false;
            }
            // Queued after every result, so the dialog closes after they are in.
            QMetaObject::invokeMethod(this, [this] { done(QDialog::Accepted); }, Qt::QueuedConnection);
        });
    });
    exec();
    if (worker.joinable())
        worker.join();
    sink.ShowStatus();
    SetCancel(nullptr);
    return bResult;
}
