// The main window's file tools: the kanji import and the dialogs of the
// archives and the file split.
#include "app/ui/mainframe.h"

#include "app/docnames.h"
#include "app/ui/childframe.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "archive/ui/archivedlg.h"
#include "filetools/hexdump.h"
#include "filetools/ui/filesplitdlg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "text/kanjiio.h"
#include "text/nkf.h"
#include "text/ui/codec_qt.h"

#include <QFileInfo>

namespace {

const char *const IMPORT_FILE_FILTER =
    "ﾃｷｽﾄ･HTML Files  (*.txt;*.htm;*.html;*.asp)|*.txt;*.htm;*.html;*.asp|C/C++ Files  (*.cpp;*.c;*.h)|*.cpp;*.c;*.h|"
    "Java Files  (*.java)|*.java|Perl/CGI Files  (*.pl;*.cgi)|*.pl;*.cgi|All Files  (*.*)|*.*||";

} // namespace

void CMainFrame::RegisterFileToolCommands()
{
    OnCommand(ID_IMPORT_KANJI, [this] { OnImportKanji(); });
    OnUpdate(ID_IMPORT_KANJI, [](CCmdUI *pCmdUI) { pCmdUI->Enable(NkfLibrary().IsLoaded()); });
    OnCommand(ID_ARCHIVE_EXTRACT, [this] {
        CArchiveExtractDlg dlg(this);
        ExecDialog(&dlg);
    });
    OnCommand(ID_ARCHIVE_COMPRESS, [this] {
        CArchiveCompressDlg dlg(this);
        ExecDialog(&dlg);
    });
    OnCommand(ID_FILE_SPLIT, [this] {
        CFileSplitDlg dlg(this);
        ExecDialog(&dlg);
    });
}

void CMainFrame::OnImportKanji()
{
    if (!NkfLibrary().IsLoaded())
        return;
    CFileDialogRequest request;
    for (const std::string &strFilter : DialogFilterStrings(IMPORT_FILE_FILTER))
        request.aFilters << QString::fromStdString(strFilter);
    if (CChildFrame *pFrame = GetActiveChild(); pFrame && !pFrame->GetDocument()->GetPathName().empty())
        request.strDirectory = QFileInfo(QString::fromStdString(pFrame->GetDocument()->GetPathName())).absolutePath();
    const QStringList files = RunFileDialog(this, request);
    if (!files.isEmpty())
        ImportKanjiFile(files.first());
}

void CMainFrame::ImportKanjiFile(const QString &strPath)
{
    if (!NkfLibrary().IsLoaded())
        return;
    // The whole file, NUL bytes and all: a NUL must not cut the text short.
    std::string strBytes;
    if (const int nError = ReadWholeFile(strPath.toStdString(), strBytes); nError != FILEERR_NONE) {
        MessageBox(this, QString::fromLatin1(FileErrorText(nError)), QStringLiteral("Error"), MB_OK | MB_ICONSTOP);
        return;
    }
    if (strBytes.empty()) {
        MessageBox(this, QStringLiteral("ﾌｧｲﾙのｵｰﾌﾟﾝに失敗しました。"), QStringLiteral("ﾌｧｲﾙのｵｰﾌﾟﾝ"),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string strText;
    CNkfLibrary &nkf = NkfLibrary();
    nkf.SetNkfOption("sm");
    if (!nkf.NkfConvert(strBytes, strText))
        return;
    if (!m_pApp->OnFileNew())
        return;
    if (CWrenpadView *pView = GetActiveView())
        pView->ReplaceAllText(strText);
}

bool CMainFrame::ShowAsciiDump(const QString &strPath)
{
    std::string strDump;
    EAsciiDumpResult eResult;
    {
        CWaitCursor wait;
        eResult = BuildAsciiDump(strPath.toStdString(), QStringToCp932(strPath), strDump);
    }
    if (eResult == DUMP_TOO_LARGE) {
        MessageBox(this, QStringLiteral("%1\nは256MBを超えるため、ダンプ表示できません。").arg(strPath),
                   QStringLiteral("エラー"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (eResult != DUMP_OK) {
        MessageBox(this, QStringLiteral("%1\nを読み込めません。").arg(strPath), QStringLiteral("エラー"),
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!m_pApp->OnFileNew())
        return false;
    CWrenpadView *pView = GetActiveView();
    return pView && pView->ReplaceAllText(strDump);
}
