#include "app/ui/templates.h"

#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/msgbox.h"
#include "syntax/viewtype.h"
#include "templates/templatefiles.h"
#include "templates/ui/templatedlg.h"

#include <QDir>
#include <QFileInfo>

void OpenTemplate(CWrenpadApp *pApp, QWidget *pParent)
{
    const QString strFolder = TemplateFolder();
    CTemplateSelectDlg dlg(strFolder, pParent);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    const QString strName = dlg.GetName();
    CWrenpadDoc *pDoc = pApp->OnFileNew();
    if (!pDoc)
        return;
    const QString strPath = QDir(strFolder).filePath(strName);
    if (strFolder.isEmpty() || !pDoc->ReplaceFromFile(strPath.toStdString())) {
        MessageBox(pParent, QStringLiteral("ﾃﾝﾌﾟﾚｰﾄﾌｧｲﾙのｵｰﾌﾟﾝに失敗しました。"), QStringLiteral("ﾌｧｲﾙのｵｰﾌﾟﾝ"),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The document stays untitled, but is coloured as what the template is.
    const int nViewType = ViewTypeFromPath(strName.toStdString());
    for (CWrenpadView *pView : pDoc->GetViews())
        pView->SetViewType(nViewType);
}

void RegisterTemplate(CCrystalTextBuffer &buffer, QWidget *pParent)
{
    CTemplateNameDlg dlg(QString(), pParent);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    const std::string strName = dlg.GetName().toStdString();
    // A name that would reach into or out of another folder is refused as an
    // empty one is, before anything is written.
    if (!IsValidTemplateName(strName)) {
        MessageBox(pParent, QStringLiteral("登録名が不正です。"), QStringLiteral("エラー"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const QString strFolder = TemplateFolder();
    if (strFolder.isEmpty()) {
        MessageBox(pParent, QStringLiteral("ﾃﾝﾌﾟﾚｰﾄﾌｫﾙﾀﾞｰの作成に失敗しました。"), QStringLiteral("エラー"),
                   MB_OK | MB_ICONSTOP);
        return;
    }
    const QString strPath = QDir(strFolder).filePath(QString::fromStdString(strName));
    if (QFileInfo::exists(strPath)
        && MessageBox(pParent, QStringLiteral("すでに同名で登録されています。上書きしますか？"),
                      QStringLiteral("ﾃﾝﾌﾟﾚｰﾄの保存"), MB_YESNO | MB_ICONINFORMATION)
               != IDYES)
        return;
    // A copy: the buffer's modified state and saved position stay as they are.
    if (!buffer.SaveToFile(strPath.toStdString(), -1, false))
        MessageBox(pParent, QStringLiteral("ﾃﾝﾌﾟﾚｰﾄの登録に失敗しました。"), QStringLiteral("エラー"),
                   MB_OK | MB_ICONEXCLAMATION);
}
