#include "templates/ui/templatepage.h"

#include "platform/filefilter.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/shellopen.h"
#include "templates/templatefiles.h"
#include "templates/ui/templatedlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const char *const TEMPLATE_FILE_FILTER = "Text/HTML Files (*.txt;*.html)|*.txt;*.htm;*.html|All Files (*.*)|*.*||";

void ShowError(QWidget *pParent, const QString &strText)
{
    MessageBox(pParent, strText, QStringLiteral("エラー"), MB_OK | MB_ICONSTOP);
}

// Copies a file over any template of the same name. The copy is written
// beside it first, so that a failure leaves the old template as it was.
bool CopyReplacing(const QString &strSource, const QString &strTarget)
{
    const QString strPart = strTarget + QStringLiteral(".part");
    QFile::remove(strPart);
    if (!QFile::copy(strSource, strPart))
        return false;
    QFile::setPermissions(strPart, QFile::permissions(strPart) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    // rename(2) replaces the old file in one step, which QFile::rename will not.
    if (QFileInfo(strTarget).isDir() || std::rename(QFile::encodeName(strPart).constData(),
                                                    QFile::encodeName(strTarget).constData())
                                            != 0) {
        QFile::remove(strPart);
        return false;
    }
    return true;
}

} // namespace

CTemplatesPage::CTemplatesPage(const QString &strFolder, QWidget *pParent) : QWidget(pParent), m_strFolder(strFolder)
{
    setObjectName(QStringLiteral("templatesPage"));
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("templateList"));
    if (!m_strFolder.isEmpty())
        for (const std::string &strName : ListTemplateFiles(m_strFolder.toStdString()))
            m_pList->addItem(QString::fromStdString(strName));

    auto *pButtons = new QVBoxLayout;
    pButtons->addWidget(AddButton("ﾌｧｲﾙの追加", "templateAdd", &CTemplatesPage::OnAdd));
    pButtons->addWidget(AddButton("登録削除", "templateDelete", &CTemplatesPage::OnDelete));
    pButtons->addWidget(AddButton("名前の変更", "templateRename", &CTemplatesPage::OnRename));
    pButtons->addWidget(AddButton("ﾌｫﾙﾀﾞｰを開く", "templateFolder", &CTemplatesPage::OnOpenFolder));
    pButtons->addStretch(1);

    auto *pList = new QVBoxLayout;
    pList->addWidget(new QLabel(QStringLiteral("現在の登録リスト"), this));
    pList->addWidget(m_pList);
    auto *pLayout = new QHBoxLayout(this);
    pLayout->addLayout(pList, 1);
    pLayout->addLayout(pButtons);
}

QPushButton *CTemplatesPage::AddButton(const char *pszLabel, const char *pszName, void (CTemplatesPage::*pfn)())
{
    auto *pButton = new QPushButton(QString::fromUtf8(pszLabel), this);
    pButton->setObjectName(QString::fromUtf8(pszName));
    connect(pButton, &QPushButton::clicked, this, [this, pfn] {
        if (m_strFolder.isEmpty())
            Beep();
        else
            (this->*pfn)();
    });
    return pButton;
}

QString CTemplatesPage::SelectedName() const
{
    const QListWidgetItem *pItem = m_pList->currentItem();
    return pItem && pItem->isSelected() ? pItem->text() : QString();
}

void CTemplatesPage::OnAdd()
{
    CFileDialogRequest request;
    for (const std::string &strFilter : DialogFilterStrings(TEMPLATE_FILE_FILTER))
        request.aFilters << QString::fromStdString(strFilter);
    const QStringList files = RunFileDialog(this, request);
    if (files.isEmpty())
        return;
    const QFileInfo source(files.first());
    if (!source.isFile()) {
        ShowError(this, QStringLiteral("ﾌｧｲﾙが見つかりません。登録に失敗しました。"));
        return;
    }
    CTemplateNameDlg dlg(source.fileName(), this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    const QString strName = dlg.GetName();
    const QString strTarget = QDir(m_strFolder).filePath(strName);
    if (!IsValidTemplateName(strName.toStdString()) || !CopyReplacing(source.absoluteFilePath(), strTarget)) {
        ShowError(this, QStringLiteral("登録に失敗しました。"));
        return;
    }
    // Replacing a template keeps its one entry.
    if (m_pList->findItems(strName, Qt::MatchExactly).isEmpty())
        m_pList->addItem(strName);
}

void CTemplatesPage::OnDelete()
{
    const QString strName = SelectedName();
    if (strName.isEmpty()) {
        Beep();
        return;
    }
    if (MessageBox(this, QStringLiteral("リストを削除してもよろしいですか？"), QStringLiteral("確認"), MB_YESNO) != IDYES)
        return;
    if (!QFile::remove(QDir(m_strFolder).filePath(strName))) {
        ShowError(this, QStringLiteral("登録ﾌｧｲﾙの削除にに失敗しました。"));
        return;
    }
    delete m_pList->currentItem();
}

void CTemplatesPage::OnRename()
{
    const QString strOld = SelectedName();
    if (strOld.isEmpty()) {
        Beep();
        return;
    }
    CTemplateNameDlg dlg(strOld, this);
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    const QString strNew = dlg.GetName();
    if (strNew == strOld)
        return;
    const QDir folder(m_strFolder);
    // Renaming onto another template would silently lose it.
    if (!IsValidTemplateName(strNew.toStdString()) || QFileInfo::exists(folder.filePath(strNew))
        || !QFile::rename(folder.filePath(strOld), folder.filePath(strNew))) {
        ShowError(this, QStringLiteral("登録ﾌｧｲﾙの名前の変更に失敗しました。"));
        return;
    }
    delete m_pList->currentItem();
    m_pList->addItem(strNew);
}

void CTemplatesPage::OnOpenFolder()
{
    ShellOpen(m_strFolder.toStdString());
}
