#include "ui/progressdlg.h"

#include "platform/ui/focusreturn.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <thread>

namespace {

std::function<void(CProgressDlg *)> &ShownHook()
{
    static std::function<void(CProgressDlg *)> hook;
    return hook;
}

} // namespace

CProgressDlg::CProgressDlg(const QString &strTitle, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(strTitle);
    setObjectName(QStringLiteral("progress"));
    auto *pLayout = new QVBoxLayout(this);
    m_pText = new QLabel(this);
    m_pText->setObjectName(QStringLiteral("text"));
    m_pText->setTextFormat(Qt::PlainText);
    m_pText->setMinimumWidth(420);
    pLayout->addWidget(m_pText);
    m_pBar = new QProgressBar(this);
    m_pBar->setObjectName(QStringLiteral("bar"));
    m_pBar->setRange(0, 1000);
    m_pBar->setValue(0);
    pLayout->addWidget(m_pBar);
    m_pCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    m_pCancel->setObjectName(QStringLiteral("cancel"));
    connect(m_pCancel, &QPushButton::clicked, this, &CProgressDlg::reject);
    pLayout->addWidget(m_pCancel, 0, Qt::AlignHCenter);
}

void CProgressDlg::SetShownHook(std::function<void(CProgressDlg *)> hook)
{
    ShownHook() = std::move(hook);
}

void CProgressDlg::CReport::Progress(const std::string &strText, std::int64_t nDone, std::int64_t nTotal)
{
    {
        const std::lock_guard<std::mutex> lock(m_dlg.m_mutex);
        m_dlg.m_strText = strText;
        m_dlg.m_nDone = nDone;
        m_dlg.m_nTotal = nTotal;
    }
    // At most one update on its way: thousands of small files must not
    // flood the event queue.
    if (m_dlg.m_bPending.exchange(true))
        return;
    QMetaObject::invokeMethod(&m_dlg, [dlg = &m_dlg] { dlg->ShowLatest(); }, Qt::QueuedConnection);
}

void CProgressDlg::ShowLatest()
{
    m_bPending = false;
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_bCancel)
        m_pText->setText(QString::fromStdString(m_strText));
    if (m_nTotal > 0)
        m_pBar->setValue(static_cast<int>(std::min<std::int64_t>(1000, m_nDone * 1000 / m_nTotal)));
}

QString CProgressDlg::GetText() const
{
    return m_pText->text();
}

int CProgressDlg::GetPercent() const
{
    return m_pBar->value() / 10;
}

void CProgressDlg::reject()
{
    m_bCancel = true;
    m_pCancel->setEnabled(false);
    m_pText->setText(QStringLiteral("中止しています..."));
}

int CProgressDlg::Run(const std::function<int(CReport &)> &fnWork)
{
    const CFocusReturn focus(parentWidget());
    m_bCancel = false;
    CReport report(*this);
    int nResult = 0;
    std::thread worker;
    QTimer::singleShot(0, this, [&] {
        if (ShownHook())
            ShownHook()(this);
        worker = std::thread([&] {
            try {
                nResult = fnWork(report);
            } catch (const std::exception &) {
                // Out of memory, in practice: the work failed.
                nResult = -1;
            }
            // Queued after every report, so the dialog closes after they are in.
            QMetaObject::invokeMethod(this, [this] { done(QDialog::Accepted); }, Qt::QueuedConnection);
        });
    });
    exec();
    if (worker.joinable())
        worker.join();
    // A report still queued must not reach a dialog that may be gone.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    return nResult;
}
