// Files dropped on the editing view. With automatic opening set every file is
// opened; otherwise the drop dialog asks, file by file, whether to open it,
// dump it, import it, or put its text, name, path, an image tag or a link
// tag into the text. Cancel ends the whole drop.
#include "app/appsettings.h"
#include "app/ui/dropfiledlg.h"
#include "app/ui/mainframe.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpadview.h"
#include "html/textinsert.h"
#include "platform/ui/dialogs.h"
#include "res/commands.h"
#include "text/codec.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

bool CWrenpadView::OnDropOther(QDropEvent *pEvent)
{
    const QMimeData *pData = pEvent->mimeData();
    if (!pData || !pData->hasUrls())
        return false;
    QStringList files;
    for (const QUrl &url : pData->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    if (files.isEmpty())
        return false;
    // The dialogs run after the drag has ended, not inside its event.
    QPointer<CWrenpadView> pThis(this);
    QTimer::singleShot(0, this, [pThis, files] {
        if (pThis)
            pThis->DropFiles(files);
    });
    return true;
}

void CWrenpadView::DropFiles(const QStringList &files)
{
    CMainFrame *pFrame = WrenpadApp() ? WrenpadApp()->GetMainFrame() : nullptr;
    if (pFrame) {
        pFrame->raise();
        pFrame->activateWindow();
    }
    // The file as the file system has it; empty when it is not there (a
    // file gone since the drag began is passed over).
    auto longForm = [](const QString &strPath) {
        const QFileInfo info(strPath);
        return info.exists() ? info.absoluteFilePath() : QString();
    };
    auto open = [](const QString &strPath) {
        if (WrenpadApp())
            WrenpadApp()->OpenDocumentFile(strPath);
    };

    if (AppSettings().m_bAutoDragOpen) {
        for (const QString &strFile : files) {
            if (const QString strLong = longForm(strFile); !strLong.isEmpty())
                open(strLong);
        }
        return;
    }

    // The view may close while a dialog is up (a file opened in its place).
    QPointer<CWrenpadView> pThis(this);
    CDropFileDlg dlg(this);
    for (const QString &strFile : files) {
        if (!pThis)
            return;
        dlg.SetFileName(strFile);
        if (ExecDialog(&dlg) != QDialog::Accepted)
            return;
        const QString strLong = longForm(strFile);
        switch (dlg.m_nChoice) {
        case DROP_OPEN:
            if (!strLong.isEmpty())
                open(strLong);
            break;
        case DROP_DUMP:
            if (!strLong.isEmpty() && pFrame)
                pFrame->ShowAsciiDump(strLong);
            break;
        case DROP_IMPORT:
            if (pFrame)
                pFrame->ImportKanjiFile(strFile);
            break;
        case DROP_INSERT_TEXT:
            InsertTextFile(strFile);
            break;
        case DROP_INSERT_NAME:
            if (!strLong.isEmpty())
                InsertUnicodeText(QFileInfo(strLong).fileName());
            break;
        case DROP_INSERT_PATH:
            InsertUnicodeText(QFileInfo(strFile).absoluteFilePath());
            break;
        case DROP_IMAGE_TAG:
        case DROP_LINK_TAG:
            // The same dialogs as the web commands, with the file filled in;
            // Cancel there passes over this file only.
            if (CanEdit())
                OnWebDialogCommand(dlg.m_nChoice == DROP_IMAGE_TAG ? ID_WEB_IMAGE : ID_WEB_HOTLINK,
                                   RelativeLinkPath(GetDocumentPath(), QFileInfo(strFile).absoluteFilePath().toStdString()));
            break;
        default:
            break;
        }
    }
}
