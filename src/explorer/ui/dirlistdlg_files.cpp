// The explorer pane's file operations: new folders and files, a file from a
// template, deleting to the trash, renaming, and opening in the editor or
// with the desktop's program.
#include "explorer/ui/dirlistdlg.h"

#include "app/appoptions.h"
#include "app/appsettings.h"
#include "explorer/explorerfiles.h"
#include "explorer/ui/dirlistdialogs.h"
#include "explorer/ui/dirtreectrl.h"
#include "explorer/ui/dirtreemodel.h"
#include "platform/copydata.h"
#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/shellopen.h"
#include "platform/ui/trash.h"
#include "templates/ui/templatedlg.h"

#include <QFile>

#include <sys/stat.h>

namespace {

QString Shown(const std::string &strPath)
{
    return QString::fromUtf8(strPath);
}

QString FileName(const std::string &strPath)
{
    return Shown(std::string(BaseName(strPath)));
}

enum EItemKind
{
    ITEM_MISSING,
    ITEM_FILE,
    ITEM_FOLDER,
};

EItemKind KindOf(const std::string &strPath)
{
    struct stat st;
    if (strPath.empty() || ::stat(strPath.c_str(), &st) != 0)
        return ITEM_MISSING;
    return S_ISDIR(st.st_mode) ? ITEM_FOLDER : ITEM_FILE;
}

} // namespace

// ---------------------------------------------------------------------------
// New items

void CDirListDlg::OnNewFolder()
{
    const QModelIndex folder = TargetFolder();
    const CFileOpResult result = CreateNewFolder(m_pModel->PathOf(folder), "新しいフォルダ");
    if (!result.bOk) {
        MessageBox(this, Shown(result.strPath) + QStringLiteral("\nフォルダーの作成に失敗しました"), QString(),
                   MB_ICONSTOP);
        return;
    }
    RefreshAndReveal(folder, result.strPath, true);
}

void CDirListDlg::OnNewFile(const char *pszName, const char *pszExt, std::string_view strContent)
{
    const QModelIndex folder = TargetFolder();
    const CFileOpResult result = CreateNewFile(m_pModel->PathOf(folder), pszName, pszExt, strContent);
    if (!result.bOk) {
        MessageBox(this, Shown(result.strPath) + QStringLiteral("\nファイルの作成に失敗しました"), QString(),
                   MB_ICONSTOP);
        return;
    }
    RefreshAndReveal(folder, result.strPath, true);
}

void CDirListDlg::OnNewFromTemplate()
{
    // The same folder and dialog as a new document from a template (4000).
    const QString strFolder = m_strTemplateFolder.isEmpty() ? TemplateFolder() : m_strTemplateFolder;
    CTemplateSelectDlg dlg(strFolder, this);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.GetName().isEmpty())
        return;
    const QString strChosen = dlg.GetName();
    std::string strName;
    std::string strExt;
    SplitTemplateName(strChosen.toStdString(), strName, strExt);
    const QModelIndex folder = TargetFolder();
    const CFileOpResult result = CopyNewFile(QFile::encodeName(strFolder + QLatin1Char('/') + strChosen).toStdString(),
                                             m_pModel->PathOf(folder), strName, strExt);
    if (!result.bOk) {
        MessageBox(this, Shown(result.strPath) + QStringLiteral("\nファイルの作成に失敗しました"), QString(),
                   MB_ICONSTOP);
        return;
    }
    RefreshAndReveal(folder, result.strPath, true);
}

// ---------------------------------------------------------------------------
// Deleting

void CDirListDlg::OnDelete()
{
    const QModelIndex current = m_pTree->currentIndex();
    const QModelIndex folder = current.parent();
    if (!current.isValid() || !folder.isValid())
        return;
    const std::string strPath = m_pModel->PathOf(current);
    const bool bFolder = KindOf(strPath) == ITEM_FOLDER;
    const QString strAsk = bFolder ? QStringLiteral("フォルダー '%1' とその中にあるすべての項目をごみ箱に移動しますか？")
                                   : QStringLiteral("'%1' をごみ箱に移動しますか？");
    if (MessageBox(this, strAsk.arg(FileName(strPath)), QStringLiteral("削除の確認"), MB_YESNO | MB_ICONQUESTION)
        != IDYES)
        return;

    // What is selected afterwards: the next item, else the one before, else the folder.
    std::string strNext = m_pModel->PathOf(current.siblingAtRow(current.row() + 1));
    if (strNext.empty())
        strNext = m_pModel->PathOf(current.siblingAtRow(current.row() - 1));
    if (strNext.empty())
        strNext = m_pModel->PathOf(folder);

    if (!MoveToTrash(strPath)) {
        // No trash where the item lies (or none at all): deleting for good
        // is offered, with No as the answer that Enter gives.
        if (KindOf(strPath) == ITEM_MISSING)
            return;
        if (MessageBox(this,
                       QStringLiteral("'%1' をごみ箱に移動できませんでした。\n完全に削除しますか？ 元に戻すことはできません。")
                           .arg(FileName(strPath)),
                       QStringLiteral("削除の確認"), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2)
            != IDYES)
            return;
        if (DeleteTree(strPath) != 0)
            MessageBox(this, Shown(strPath) + QStringLiteral("\n削除に失敗しました"), QString(), MB_ICONSTOP);
    }
    RefreshAndReveal(folder, strNext, false);
}

// ---------------------------------------------------------------------------
// Renaming

void CDirListDlg::OnRename(const std::string &strPath, const QString &strNewName)
{
    std::string strNewPath;
    int nError = 0;
    switch (RenameExplorerItem(strPath, strNewName.toStdString(), strNewPath, nError)) {
    case RENAME_UNCHANGED:
        return;
    case RENAME_INVALID_NAME:
        MessageBox(this, QStringLiteral("'%1' は名前に使えません。").arg(strNewName), QStringLiteral("エラー"),
                   MB_ICONEXCLAMATION);
        return;
    case RENAME_EXISTS:
        MessageBox(this, QStringLiteral("'%1' はすでにあります。別の名前を指定してください。").arg(strNewName),
                   QStringLiteral("エラー"), MB_ICONEXCLAMATION);
        return;
    case RENAME_FAILED:
        MessageBox(this, Shown(strPath) + QStringLiteral("\n名前の変更に失敗しました"), QString(), MB_ICONSTOP);
        return;
    case RENAME_DONE:
        break;
    }
    emit Renamed(QString::fromStdString(strPath), QString::fromStdString(strNewPath));
    const QModelIndex folder = m_pModel->FindLoaded(ParentPath(strPath));
    if (folder.isValid())
        RefreshAndReveal(folder, strNewPath, false);
}

// ---------------------------------------------------------------------------
// Opening

void CDirListDlg::OpenSelected()
{
    const QModelIndex current = m_pTree->currentIndex();
    switch (KindOf(m_strPath)) {
    case ITEM_MISSING:
        return;
    case ITEM_FOLDER:
        // A folder is not opened; Enter shows or hides what is in it.
        m_pTree->setExpanded(current, !m_pTree->isExpanded(current));
        return;
    case ITEM_FILE:
        break;
    }
    const CExtensionList own(AppProfile().GetString(SECTION_MAIN, "UseWrenpadExtension", DEFAULT_WRENPAD_EXTENSIONS));
    if (own.Matches(BaseName(m_strPath))) {
        // The editor takes it as it takes a file from a second instance.
        if (QWidget *pFrame = window()) {
            pFrame->raise();
            pFrame->activateWindow();
        }
        SendCopyData(COPYDATA_OPEN_FILE, m_strPath);
        return;
    }
    OnOpenWithShell();
}

void CDirListDlg::OnOpenWithShell()
{
    if (KindOf(m_strPath) == ITEM_MISSING)
        return;
    if (!ShellOpen(m_strPath))
        MessageBox(this, Shown(m_strPath) + QStringLiteral("\nを開くプログラムが見つかりません。"), QString(),
                   MB_ICONEXCLAMATION);
}

void CDirListDlg::OnEdit()
{
    if (KindOf(m_strPath) == ITEM_FILE)
        SendCopyData(COPYDATA_OPEN_FILE, m_strPath);
}
