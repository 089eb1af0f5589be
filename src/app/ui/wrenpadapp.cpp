#include "app/ui/wrenpadapp.h"

#include "app/cmdline.h"
#include "app/docnames.h"
#include "app/framestate.h"
#include "app/ui/aboutdlg.h"
#include "app/ui/childframe.h"
#include "app/ui/mainframe.h"
#include "app/ui/shellmenuswitch.h"
#include "app/ui/wrenpaddoc.h"
#include "platform/copydata.h"
#include "platform/handoff.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/instancechannel.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/printer.h"
#include "platform/ui/programfolder.h"
#include "recovery/recoverymanager.h"
#include "res/commands.h"
#include "ui/dialogkeys.h"
#include "view/ui/crystaltextview.h"

#include <QApplication>
#include <QFileInfo>
#include <QPalette>
#include <QPrintDialog>
#include <QSessionManager>

#include <cstdio>

namespace {

CWrenpadApp *&CurrentApp()
{
    static CWrenpadApp *pApp = nullptr;
    return pApp;
}

std::vector<std::string> ToStd(const QStringList &list)
{
    std::vector<std::string> v;
    for (const QString &str : list)
        v.push_back(str.toStdString());
    return v;
}

QString CanonicalOrAbsolute(const QString &strPath)
{
    const QFileInfo info(strPath);
    const QString strCanonical = info.canonicalFilePath();
    return strCanonical.isEmpty() ? info.absoluteFilePath() : strCanonical;
}

} // namespace

CWrenpadApp *WrenpadApp()
{
    return CurrentApp();
}

CWrenpadApp::CWrenpadApp()
{
    CurrentApp() = this;
    const QPalette pal = QApplication::palette();
    m_sysColors.crWindow = RefFromColor(pal.color(QPalette::Base));
    m_sysColors.crWindowText = RefFromColor(pal.color(QPalette::Text));
    m_sysColors.crScrollBar = RefFromColor(pal.color(QPalette::Button));
    RegisterCommands();
}

CWrenpadApp::~CWrenpadApp()
{
    // The worker reports nothing more to an application on its way out.
    if (m_pRecovery)
        m_pRecovery->SetWakeHandler(nullptr);
    // The windows (and their panes) go before the documents they show.
    delete m_pMainFrame;
    m_pMainFrame = nullptr;
    qDeleteAll(m_aDocs);
    m_aDocs.clear();
    if (CurrentApp() == this)
        CurrentApp() = nullptr;
}

void CWrenpadApp::RegisterCommands()
{
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_FILE_SAVE_ALL, [this] { OnFileSaveAll(); });
    OnUpdate(ID_FILE_SAVE_ALL, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!m_aDocs.isEmpty()); });
    OnCommand(ID_FILE_CLOSE_ALL, [this] { OnFileCloseAll(); });
    OnUpdate(ID_FILE_CLOSE_ALL, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(!m_aDocs.isEmpty()); });
    OnCommand(ID_FILE_CLEAR_MRU, [this] { OnFileClearMru(); });
    OnUpdate(ID_FILE_CLEAR_MRU, [this](CCmdUI *pCmdUI) { pCmdUI->Enable(m_recentFiles.GetSize() > 0); });
    OnCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](int nID) { OnOpenRecentFile(nID); });
    OnUpdateRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](CCmdUI *pCmdUI) {
        pCmdUI->Enable(pCmdUI->GetID() - ID_FILE_MRU_FILE1 < m_recentFiles.GetSize());
    });
    OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
}

// ---------------------------------------------------------------------------
// Start and end

bool CWrenpadApp::InitInstance(const QStringList &args)
{
    const std::vector<std::string> aArgs = ToStd(args);
    switch (ParseUnregSwitch(aArgs)) {
    case UNREG_CONFIRM:
        UninstallRegistry(true);
        return false;
    case UNREG_SILENT:
        UninstallRegistry(false);
        return false;
    case UNREG_NONE:
        break;
    }

    CProfileStore &profile = AppProfile();
    AppSettings().Load(profile, m_sysColors);
    profile.WriteString("", "AppPath", QCoreApplication::applicationFilePath().toStdString());
    SeedProgramFolder(ShippedDataFolder(), ProgramFolder());

    QStringList files;
    for (const std::string &strFile : CommandLineFiles(aArgs))
        files << QFileInfo(QString::fromStdString(strFile)).absoluteFilePath();

    if (AppSettings().m_bNotNewAppCreate != 0) {
        m_pChannel = new CInstanceChannel(m_strChannelPath, this);
        if (!m_pChannel->Listen()) {
            HandOffToFirstInstance(files);
            return false;
        }
    }

    m_recentFiles = CRecentFileList(LoadMruCount(profile));
    m_recentFiles.ReadList(profile);

    InstallDialogKeyboardRules();
    m_pMainFrame = new CMainFrame(this);
    m_pMainFrame->RestorePlacement();
    if (m_pChannel)
        connect(m_pChannel, &CInstanceChannel::MessageReceived, m_pMainFrame,
                [this](int nCode, const QByteArray &payload) {
                    m_pMainFrame->OnInstanceMessage(nCode, payload.toStdString());
                });

    // Text a previous run left unsaved comes first: a file named on the
    // command line whose text was restored is then the restored window.
    StartRecovery();
    const int nRestored = OfferRecovery();

    if (files.isEmpty()) {
        const int nSessionWindows = RestoreSession();
        if (nRestored == 0 && nSessionWindows == 0 && profile.GetInt(SECTION_MAIN, "bOpenNewFile", 1) != 0)
            OnFileNew();
    } else {
        OpenCommandLineFiles(files);
    }

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &session) {
        const bool bMayAsk = session.allowsInteraction();
        const bool bEnd = OnEndSession(bMayAsk);
        if (bMayAsk)
            session.release();
        if (!bEnd)
            session.cancel();
    });

    m_pMainFrame->RestoreBarsAndMenus();
    m_pMainFrame->ShowWithPlacement();
    if (profile.GetInt(SECTION_MAIN, "bShowSplash", 1) != 0)
        m_pMainFrame->ShowSplash();
    return true;
}

void CWrenpadApp::OpenCommandLineFiles(const QStringList &files)
{
    for (const QString &strFile : files) {
        // A name that leads nowhere is reported; the program still starts.
        if (!QFileInfo::exists(strFile)) {
            MessageBox(nullptr, QStringLiteral("%1 が見つかりません。").arg(strFile), QString(),
                       MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        OpenDocumentFile(strFile);
    }
}

bool CWrenpadApp::HandOffToFirstInstance(const QStringList &files)
{
    const QString strPath = m_pChannel->Path();
    if (files.isEmpty())
        return CInstanceChannel::Send(strPath, HANDOFF_ACTIVATE, QByteArray());
    bool bAll = true;
    for (const QString &strFile : files)
        bAll = CInstanceChannel::Send(strPath, COPYDATA_OPEN_FILE, strFile.toUtf8()) && bAll;
    return bAll;
}

void CWrenpadApp::ExitInstance()
{
    // Releasing the channel lets the next process be the first one.
    delete m_pChannel;
    m_pChannel = nullptr;
}

bool CWrenpadApp::OnEndSession(bool bMayAsk)
{
    if (m_pMainFrame)
        m_pMainFrame->SaveFrameState();
    // Documents that cannot be offered for saving keep their records for
    // the next start.
    if (!bMayAsk && m_pRecovery)
        m_pRecovery->KeepRecords();
    SaveSession();
    return !bMayAsk || SaveAllModified();
}

bool CWrenpadApp::UninstallRegistry(bool bConfirm)
{
    const QString strFolder = ProgramFolder();
    if (bConfirm
        && MessageBox(nullptr,
                      QStringLiteral("Wrenpadを「アンインストール」しようとしています。\n\nWrenpadの全ての「レジストリー」"
                                     "エントリーを削除してもよろしいですか？"),
                      QString(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2)
               != IDYES)
        return false;
    // Each failure is told as it happens: in a box, or without boxes
    // ("/s") on standard error and in the exit status.
    bool bAllGone = true;
    const auto fail = [&](const QString &strText) {
        bAllGone = false;
        if (bConfirm)
            MessageBox(nullptr, strText, QStringLiteral("エラー"), MB_OK | MB_ICONSTOP);
        else
            std::fprintf(stderr, "wrenpad: %s\n",
                         QString(strText).replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8().constData());
    };
    AppProfile().WriteInt(SECTION_MAIN, "bUseWpShMenu", 0);
    if (ApplyShellMenuSwitch(false, nullptr, true))
        fail(QStringLiteral("ファイルマネージャーのメニューから削除できませんでした。"));
    if (!AppProfile().RemoveAll()) {
        const QString strWhere = QString::fromStdString(AppProfile().GetLocation());
        fail(QStringLiteral("レジストリーエントリーの削除に失敗しました。")
             + (strWhere.isEmpty() ? QString() : QStringLiteral("\n設定ファイル %1 に書き込めません。").arg(strWhere)));
    }
    m_nExitCode = bAllGone ? 0 : 1;
    if (bConfirm && bAllGone)
        MessageBox(nullptr,
                   QStringLiteral("Wrenpadのレジストリーエントリーを全て削除しました。\n後は、Wrenpadフォルダーを手動で削除"
                                  "してください。\n\n場所：")
                       + strFolder,
                   QString(), MB_OK | MB_ICONINFORMATION);
    return bAllGone;
}

// ---------------------------------------------------------------------------
// Documents

CWrenpadDoc *CWrenpadApp::OnFileNew()
{
    auto *pDoc = new CWrenpadDoc(this, m_pRecovery);
    pDoc->OnNewDocument();
    pDoc->SetTitle("新規ﾌｧｲﾙ" + std::to_string(++m_nUntitledCount));
    m_aDocs << pDoc;
    if (m_pMainFrame)
        m_pMainFrame->CreateChildFrame(pDoc);
    return pDoc;
}

CWrenpadDoc *CWrenpadApp::OpenDocumentFile(const QString &strPath)
{
    const QString strAbsolute = QFileInfo(strPath).absoluteFilePath();
    const QString strKey = CanonicalOrAbsolute(strAbsolute);
    for (CWrenpadDoc *pDoc : m_aDocs) {
        // A document on its way out is not the file's window any more.
        if (pDoc->IsClosing() || pDoc->GetPathName().empty() || CanonicalOrAbsolute(QString::fromStdString(pDoc->GetPathName())) != strKey)
            continue;
        if (m_pMainFrame)
            for (CChildFrame *pFrame : m_pMainFrame->GetChildFrames())
                if (pFrame->GetDocument() == pDoc) {
                    m_pMainFrame->ActivateChild(pFrame);
                    break;
                }
        return pDoc;
    }
    auto *pDoc = new CWrenpadDoc(this, m_pRecovery);
    if (!pDoc->OnOpenDocument(strAbsolute.toStdString())) {
        delete pDoc;
        return nullptr;
    }
    pDoc->SetPathName(strAbsolute.toStdString());
    m_aDocs << pDoc;
    if (m_pMainFrame)
        m_pMainFrame->CreateChildFrame(pDoc);
    return pDoc;
}

void CWrenpadApp::OnFileRenamed(const std::string &strOldPath, const std::string &strNewPath)
{
    for (CWrenpadDoc *pDoc : m_aDocs) {
        const std::string &strPath = pDoc->GetPathName();
        if (strPath == strOldPath)
            pDoc->SetPathName(strNewPath);
        else if (strPath.size() > strOldPath.size() && strPath.compare(0, strOldPath.size(), strOldPath) == 0
                 && strPath[strOldPath.size()] == '/')
            pDoc->SetPathName(strNewPath + strPath.substr(strOldPath.size()));
    }
    if (m_pMainFrame)
        m_pMainFrame->ScheduleIdleUpdate();
}

bool CWrenpadApp::SaveAllModified()
{
    for (CWrenpadDoc *pDoc : QList<CWrenpadDoc *>(m_aDocs))
        if (!pDoc->SaveModified())
            return false;
    return true;
}

void CWrenpadApp::CloseAllDocuments()
{
    for (CWrenpadDoc *pDoc : QList<CWrenpadDoc *>(m_aDocs))
        pDoc->CloseWindows();
}

void CWrenpadApp::RemoveDocument(CWrenpadDoc *pDoc)
{
    if (m_aDocs.removeAll(pDoc) > 0) {
        pDoc->EndJournal();
        pDoc->deleteLater();
    }
}

// ---------------------------------------------------------------------------
// Recent files

void CWrenpadApp::AddToRecentFileList(const std::string &strPath)
{
    m_recentFiles.Add(strPath);
    // Written at once, so that a crash keeps the list.
    m_recentFiles.WriteList(AppProfile());
    if (m_pMainFrame)
        m_pMainFrame->UpdateRecentFileMenus();
}

void CWrenpadApp::OnFileClearMru()
{
    m_recentFiles.RemoveAll();
    m_recentFiles.WriteList(AppProfile());
    if (m_pMainFrame)
        m_pMainFrame->UpdateRecentFileMenus();
}

void CWrenpadApp::OnOpenRecentFile(int nID)
{
    const int nIndex = nID - ID_FILE_MRU_FILE1;
    if (nIndex < 0 || nIndex >= m_recentFiles.GetSize())
        return;
    const std::string strPath = m_recentFiles[nIndex];
    if (OpenDocumentFile(QString::fromStdString(strPath)))
        return;
    // A file that cannot be opened any more leaves the list.
    m_recentFiles.Remove(nIndex);
    m_recentFiles.WriteList(AppProfile());
    if (m_pMainFrame)
        m_pMainFrame->UpdateRecentFileMenus();
}

// ---------------------------------------------------------------------------
// Commands

void CWrenpadApp::OnFileOpen()
{
    CFileDialogRequest request;
    for (const std::string &strFilter : DialogFilterStrings(OPEN_FILE_FILTER))
        request.aFilters << QString::fromStdString(strFilter);
    request.bMultiple = true;
    CChildFrame *pFrame = m_pMainFrame ? m_pMainFrame->GetActiveChild() : nullptr;
    if (pFrame && !pFrame->GetDocument()->GetPathName().empty()) {
        const std::string &strPath = pFrame->GetDocument()->GetPathName();
        request.strDirectory = QFileInfo(QString::fromStdString(strPath)).absolutePath();
        request.nFilterIndex = OpenFilterIndexForPath(strPath);
    }
    // Every file chosen is opened.
    for (const QString &strFile : RunFileDialog(m_pMainFrame, request))
        OpenDocumentFile(strFile);
}

void CWrenpadApp::OnFileSaveAll()
{
    for (CWrenpadDoc *pDoc : QList<CWrenpadDoc *>(m_aDocs))
        pDoc->DoFileSave();
}

void CWrenpadApp::OnFileCloseAll()
{
    for (CWrenpadDoc *pDoc : QList<CWrenpadDoc *>(m_aDocs)) {
        if (!pDoc->SaveModified())
            return;
        pDoc->CloseWindows();
    }
}

void CWrenpadApp::OnFilePrintSetup()
{
    QPrintDialog dlg(&AppPrinter(), m_pMainFrame);
    dlg.setWindowTitle(QStringLiteral("ﾌﾟﾘﾝﾀの設定"));
    ExecDialog(&dlg);
}

void CWrenpadApp::OnAppAbout()
{
    CAboutDlg dlg(m_pMainFrame);
    ExecDialog(&dlg);
}
