// The document and its file on disk: what happens when another program
// changes, replaces or deletes the file while it is open, and the question
// before a save would overwrite such a change.
#include "app/ui/wrenpaddoc.h"

#include "app/appsettings.h"
#include "platform/ui/msgbox.h"

#include <QApplication>

namespace {

QWidget *MessageParent()
{
    return QApplication::activeWindow();
}

} // namespace

void CWrenpadDoc::OnFileChangedOnDisk()
{
    // Changes that come while the user answers are part of what is answered.
    if (m_bAskingAboutFile || m_bClosing || m_strPathName.empty())
        return;
    const std::string strPath = m_strPathName;
    const CFileStamp now = FileStampOf(strPath);
    if (!now.bExists) {
        // The text stays, so that saving makes the file again.
        if (!m_bFileDeleted) {
            m_bFileDeleted = true;
            emit StateChanged();
        }
        return;
    }
    if (m_bFileDeleted) {
        m_bFileDeleted = false;
        emit StateChanged();
    }
    // Changed and changed back: the file holds the document's text again.
    if (now == m_watch.GetKnown())
        return;

    const QString strFile = QString::fromStdString(strPath);
    m_bAskingAboutFile = true;
    bool bReload = false;
    if (!IsModified()) {
        bReload = AppSettings().m_bAutoReload != 0
                  || MessageBox(MessageParent(),
                                QStringLiteral("ファイル %1 は他のプログラムで変更されました。再読み込みしますか？").arg(strFile),
                                QStringLiteral("確認"), MB_YESNO | MB_ICONQUESTION)
                         == IDYES;
    } else {
        MessageBox(MessageParent(),
                   QStringLiteral("ファイル %1 は他のプログラムで変更されました。\n"
                                  "このまま保存すると、他のプログラムによる変更は上書きされます。")
                       .arg(strFile),
                   QStringLiteral("警告"), MB_OK | MB_ICONEXCLAMATION);
    }
    m_bAskingAboutFile = false;
    if (bReload)
        ReloadFile();
    else
        m_watch.MarkSeen();
}

bool CWrenpadDoc::ConfirmOverwriteChangedFile(const std::string &strPath)
{
    // A file that is gone is simply written again.
    const CFileStamp now = FileStampOf(strPath);
    if (!now.bExists || now == m_watch.GetKnown())
        return true;
    m_bAskingAboutFile = true;
    const int nAnswer = MessageBox(MessageParent(),
                                   QStringLiteral("ファイル %1 は、読み込んだ後で他のプログラムによって変更されています。\n"
                                                  "上書きしますか？")
                                       .arg(QString::fromStdString(strPath)),
                                   QStringLiteral("確認"), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
    m_bAskingAboutFile = false;
    m_watch.MarkSeen();
    return nAnswer == IDYES;
}
