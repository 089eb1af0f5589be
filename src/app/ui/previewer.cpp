#include "app/ui/previewer.h"

#include "app/appoptions.h"
#include "app/appsettings.h"
#include "app/ui/wrenpaddoc.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/shellopen.h"
#include "preview/preview.h"
#include "preview/ui/browserbar.h"
#include "preview/ui/previewengine.h"
#include "res/commands.h"
#include "text/textbuffer.h"
#include "ui/sizingbar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUrl>

#include <string_view>

namespace {

const QString FILE_ERROR_CAPTION = QStringLiteral("ﾌｧｲﾙｴﾗｰ");

std::string WholeText(const CCrystalTextBuffer &buffer)
{
    std::string strText;
    const int nLines = buffer.GetLineCount();
    if (nLines > 0)
        buffer.GetText(0, 0, nLines - 1, buffer.GetLineLength(nLines - 1), strText,
                       std::string(LineEndSeparator(buffer.GetLineEndMode())).c_str());
    return strText;
}

// The URL of the folder a document lives in, with the closing "/" that makes
// it a folder for relative links.
std::string FolderUrlOf(const std::string &strPath)
{
    const QString strFolder = QFileInfo(QString::fromStdString(strPath)).absolutePath();
    return QUrl::fromLocalFile(strFolder.endsWith(QLatin1Char('/')) ? strFolder : strFolder + QLatin1Char('/'))
        .toEncoded()
        .toStdString();
}

const std::string &BrowserProgram(int nTarget)
{
    const CAppSettings &settings = AppSettings();
    switch (nTarget) {
    case PREVIEW_TARGET_BROWSER3:
        return settings.m_strUseBrowser3;
    case PREVIEW_TARGET_BROWSER4:
        return settings.m_strUseBrowser4;
    default:
        return settings.m_strUseBrowser;
    }
}

} // namespace

// Hears every change of the followed document's text.
class CPreviewer::CBufferFollower : public CBufferView
{
public:
    explicit CBufferFollower(CPreviewer *pOwner) : m_pOwner(pOwner) {}
    void UpdateView(CBufferView *, const ChangeHint *, std::uint32_t dwFlags, int) override
    {
        if ((dwFlags & NOTIFY_FLAGS_ONLY) == 0)
            m_pOwner->OnFollowedTextChanged();
    }

private:
    CPreviewer *m_pOwner;
};

CPreviewer::CPreviewer(QWidget *pFrame, CSizingControlBar *pDock)
    : QObject(pFrame), m_pFrame(pFrame), m_pDock(pDock), m_pBar(new CBrowserBar(pDock))
{
    m_pDock->SetContentWidget(m_pBar);
    m_timer.setSingleShot(true);
    m_timer.setInterval(PREVIEW_AUTO_UPDATE_MS);
    connect(&m_timer, &QTimer::timeout, this, &CPreviewer::OnAutoUpdate);
}

CPreviewer::~CPreviewer()
{
    StopFollowing();
}

// ---------------------------------------------------------------------------
// Commands

void CPreviewer::OnUpdatePreview(CCmdUI *pCmdUI, const CCrystalTextBuffer *pBuffer) const
{
    const int nID = pCmdUI->GetID();
    const int nCurrent = EffectivePreviewTarget(AppSettings().m_bUseBrowser);
    const int nTarget = PreviewTargetOfCommand(nID);
    bool bEnable = pBuffer != nullptr;
    // Choosing a target previews at once, which a read-only text may not do
    // by these commands; only 1270 previews it.
    if (nTarget >= 0 && pBuffer && pBuffer->IsReadOnly())
        bEnable = false;
    if (nTarget >= PREVIEW_TARGET_BROWSER2) {
        const std::string &strProgram = BrowserProgram(nTarget);
        bEnable = bEnable && !strProgram.empty();
        if (pCmdUI->IsMenu())
            pCmdUI->SetText(QString::fromStdString(BrowserMenuText(nTarget, strProgram)));
    }
    pCmdUI->Enable(bEnable);
    if (nTarget >= 0)
        pCmdUI->SetCheck(nTarget == nCurrent ? 1 : 0);
}

void CPreviewer::OnPreview(int nID, CWrenpadDoc *pDoc, const CCrystalTextBuffer *pBuffer)
{
    if (!pBuffer)
        return;
    const int nTarget = PreviewTargetOfCommand(nID);
    if (nTarget >= 0) {
        if (pBuffer->IsReadOnly())
            return;
        AppSettings().m_bUseBrowser = nTarget;
    }
    const std::string strDocumentPath = pDoc ? pDoc->GetPathName() : std::string();
    const bool bModified = pDoc ? pDoc->IsModified() : pBuffer->IsModified();
    // Read each time: the options sheet writes it without a cached copy.
    const bool bAutoTempo = AppProfile().GetInt(SECTION_MAIN, "bAutoTempoBrowse", 0) != 0;
    std::string strPath = strDocumentPath;
    switch (DecidePreviewSource(!strDocumentPath.empty(), bModified, bAutoTempo)) {
    case PREVIEW_OWN_FILE:
        break;
    case PREVIEW_ASK_UNTITLED:
        if (MessageBox(m_pFrame,
                       QStringLiteral("ファイルを保存してからでないと実際のイメージなど反映されません。\n"
                                      "テンポラリーファイルから実行してみますか？"),
                       QStringLiteral("警告"), MB_YESNO | MB_ICONEXCLAMATION)
            != IDYES)
            return;
        strPath.clear();
        break;
    case PREVIEW_ASK_MODIFIED:
        if (MessageBox(m_pFrame,
                       QStringLiteral("ファイルは、更新されています。\n上書き保存してからでないと最新の状態を表示できません。"
                                      "テンポラリーファイルから実行してみますか？"),
                       QStringLiteral("Shell警告"), MB_YESNO | MB_ICONEXCLAMATION)
            != IDYES)
            return;
        strPath.clear();
        break;
    case PREVIEW_TEMP_COPY:
        strPath.clear();
        break;
    }
    if (strPath.empty()) {
        strPath = WriteTempCopy(*pBuffer, strDocumentPath, false);
        if (strPath.empty())
            return;
    }
    ShowPath(strPath, AppSettings().m_bUseBrowser, pDoc);
}

void CPreviewer::ShowPath(const std::string &strPath, int nTarget, CWrenpadDoc *pDoc)
{
    const int nEffective = EffectivePreviewTarget(nTarget);
    if (nEffective == PREVIEW_TARGET_BAR) {
        m_pDock->show();
        m_pDock->raise();
        m_pBar->Navigate(strPath);
        Follow(pDoc);
        return;
    }
    // The desktop or a browser reports nothing back; a program that cannot
    // even be started is said so in the status bar.
    if (nEffective == PREVIEW_TARGET_SHELL) {
        if (!ShellOpen(strPath))
            ReportStatus(QStringLiteral("%1 を開くプログラムを起動できませんでした。").arg(QString::fromStdString(strPath)));
        return;
    }
    const std::string &strProgram = BrowserProgram(nEffective);
    if (!StartProgram(strProgram, strPath))
        ReportStatus(QStringLiteral("ブラウザー (%1) を起動できませんでした。").arg(QString::fromStdString(strProgram)));
}

bool CPreviewer::ShowManualPage(const std::string &strPath, const std::string &strAnchor)
{
    // A bar without a browser makes one to learn which engine it gets; an
    // unwanted simple viewer goes again with the hidden bar's idle upkeep.
    if (!m_pBar->HasBrowser() && !m_pBar->CreateBrowser())
        return false;
    if (std::string_view(m_pBar->GetEngine()->GetKind()) == "textbrowser")
        return false;
    StopFollowing();
    m_pDock->show();
    m_pDock->raise();
    m_pBar->NavigateToAnchor(strPath, strAnchor);
    return true;
}

// ---------------------------------------------------------------------------
// The temporary copy

std::string CPreviewer::TempFilePath()
{
    // Made again when something has removed it meanwhile.
    if (m_pTempDir && !QFileInfo(m_pTempDir->path()).isDir())
        m_pTempDir.reset();
    if (!m_pTempDir) {
        // The system's temporary folder comes back empty when TMPDIR names
        // no folder; the copy must never land in the root folder then.
        const QString strSystemTemp = QDir::tempPath();
        if (strSystemTemp.isEmpty() || !QFileInfo(strSystemTemp).isDir())
            return std::string();
        // A folder of this process only, 0700; it goes with the program.
        m_pTempDir = std::make_unique<QTemporaryDir>(strSystemTemp + QStringLiteral("/wrenpad-preview-XXXXXX"));
        if (!m_pTempDir->isValid()) {
            m_pTempDir.reset();
            return std::string();
        }
    }
    return m_pTempDir->filePath(QString::fromLatin1(PREVIEW_TEMP_NAME)).toStdString();
}

std::string CPreviewer::WriteTempCopy(const CCrystalTextBuffer &buffer, const std::string &strDocumentPath,
                                      bool bQuiet)
{
    auto fail = [this, bQuiet](const QString &strText) {
        if (bQuiet)
            ReportStatus(strText);
        else
            MessageBox(m_pFrame, strText, FILE_ERROR_CAPTION, MB_OK | MB_ICONSTOP);
        return std::string();
    };
    const std::string strTemp = TempFilePath();
    if (strTemp.empty())
        return fail(QStringLiteral("ﾃﾝﾎﾟﾗﾘｰﾊﾟｽの取得に失敗しました。"));
    const std::string strBytes =
        PreviewCopyBytes(WholeText(buffer), strDocumentPath.empty() ? std::string() : FolderUrlOf(strDocumentPath),
                         buffer.GetExtraChars());
    QFile file(QString::fromStdString(strTemp));
    const bool bWritten = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                          && file.write(strBytes.data(), static_cast<qint64>(strBytes.size()))
                                 == static_cast<qint64>(strBytes.size())
                          && file.flush();
    file.close();
    if (!bWritten || file.error() != QFileDevice::NoError) {
        file.remove();
        return fail(QStringLiteral("ﾃﾝﾎﾟﾗﾘｰﾌｧｲﾙの作成に失敗しました。"));
    }
    return strTemp;
}

void CPreviewer::RemoveTempFile()
{
    if (m_pTempDir)
        QFile::remove(m_pTempDir->filePath(QString::fromLatin1(PREVIEW_TEMP_NAME)));
}

// ---------------------------------------------------------------------------
// The bar

void CPreviewer::OnIdle()
{
    if (m_pDock->isHidden() && m_pBar->HasBrowser()) {
        m_pBar->DestroyBrowser();
        StopFollowing();
    }
}

void CPreviewer::ReportStatus(const QString &strText) const
{
    if (auto *pWindow = qobject_cast<QMainWindow *>(m_pFrame))
        pWindow->statusBar()->showMessage(strText, 5000);
}

// ---------------------------------------------------------------------------
// Following the text as it is typed

CWrenpadDoc *CPreviewer::GetFollowedDocument() const
{
    return m_pFollowed;
}

void CPreviewer::Follow(CWrenpadDoc *pDoc)
{
    if (pDoc == m_pFollowed)
        return;
    StopFollowing();
    if (!pDoc)
        return;
    m_pFollowed = pDoc;
    m_pFollower = std::make_unique<CBufferFollower>(this);
    pDoc->GetBuffer().AttachView(m_pFollower.get());
}

void CPreviewer::StopFollowing()
{
    m_timer.stop();
    if (m_pFollowed && m_pFollower)
        m_pFollowed->GetBuffer().DetachView(m_pFollower.get());
    m_pFollowed = nullptr;
    m_pFollower.reset();
}

void CPreviewer::OnFollowedTextChanged()
{
    if (m_pBar->HasBrowser() && m_pDock->isVisible())
        m_timer.start();
}

void CPreviewer::FlushAutoUpdate()
{
    if (m_timer.isActive()) {
        m_timer.stop();
        OnAutoUpdate();
    }
}

void CPreviewer::OnAutoUpdate()
{
    if (!m_pFollowed || !m_pBar->HasBrowser() || !m_pDock->isVisible()
        || AppProfile().GetInt(SECTION_MAIN, PREVIEW_AUTO_UPDATE_ENTRY, 0) == 0)
        return;
    const std::string strPath = WriteTempCopy(m_pFollowed->GetBuffer(), m_pFollowed->GetPathName(), true);
    if (!strPath.empty())
        m_pBar->Update(strPath);
}
