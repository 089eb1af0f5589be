#include "explorer/ui/dirlistdialogs.h"

#include "text/filecodeguess.h"
#include "ui/formdialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <sys/stat.h>

// ---------------------------------------------------------------------------
// Options

CDirListOptionsDlg::CDirListOptionsDlg(const std::string &strFileFilter, const std::string &strOwnExtensions,
                                       QWidget *pParent)
    : QDialog(pParent)
{
    setObjectName(QStringLiteral("dirListOptions"));
    setWindowTitle(QStringLiteral("表示するファイルの種類"));
    m_pFilter = new QLineEdit(QString::fromStdString(strFileFilter), this);
    m_pFilter->setObjectName(QStringLiteral("fileFilter"));
    m_pOwn = new QLineEdit(QString::fromStdString(strOwnExtensions), this);
    m_pOwn->setObjectName(QStringLiteral("ownExtensions"));
    auto *pForm = new QFormLayout;
    pForm->setRowWrapPolicy(QFormLayout::WrapAllRows);
    pForm->addRow(new QLabel(QStringLiteral("表示するファイル拡張子（；で区切って指定）\n"
                                            "例） html;htm;txt; ※入力なしの場合全て表示"),
                             this),
                  m_pFilter);
    pForm->addRow(new QLabel(QStringLiteral("以下のファイル拡張子は、Wrenpadで編集する\n"
                                            "例） html;htm;txt; ※入力なしの場合標準SHELL"),
                             this),
                  m_pOwn);
    LayOutFormDialog(this, pForm);
    setMinimumWidth(360);
}

std::string CDirListOptionsDlg::GetFileFilter() const
{
    return m_pFilter->text().toStdString();
}

std::string CDirListOptionsDlg::GetOwnExtensions() const
{
    return m_pOwn->text().toStdString();
}

// ---------------------------------------------------------------------------
// Properties

namespace {

QString FormatTime(const QDateTime &time)
{
    return time.isValid() ? QLocale(QLocale::Japanese).toString(time.toLocalTime(), QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                          : QString();
}

QString FormatSize(qint64 nBytes)
{
    const QLocale locale(QLocale::Japanese);
    QString strText = locale.toString(nBytes) + QStringLiteral(" バイト");
    if (nBytes >= 1024)
        strText += QStringLiteral(" (%1)").arg(locale.formattedDataSize(nBytes, 1, QLocale::DataSizeTraditionalFormat));
    return strText;
}

} // namespace

CItemPropertiesDlg::CItemPropertiesDlg(const std::string &strPath, QWidget *pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("itemProperties"));
    const QString strShown = QString::fromUtf8(strPath);
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(strPath)));
    setWindowTitle(QStringLiteral("%1のプロパティ").arg(info.fileName().isEmpty() ? strShown : info.fileName()));
    auto *pForm = new QFormLayout;
    auto add = [this, pForm](const char *pszName, const QString &strLabel, const QString &strValue) {
        if (strValue.isEmpty())
            return;
        auto *pValue = new QLabel(strValue, this);
        pValue->setObjectName(QString::fromLatin1(pszName));
        pValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
        pValue->setWordWrap(true);
        pForm->addRow(strLabel, pValue);
    };

    struct stat st;
    const bool bThere = ::lstat(strPath.c_str(), &st) == 0;
    add("propName", QStringLiteral("名前:"), info.fileName().isEmpty() ? strShown : info.fileName());
    add("propFolder", QStringLiteral("場所:"), info.absolutePath());
    if (!bThere) {
        add("propKind", QStringLiteral("種類:"), QStringLiteral("(見つかりません)"));
    } else {
        QString strKind;
        if (S_ISLNK(st.st_mode))
            strKind = QStringLiteral("シンボリックリンク → %1").arg(info.symLinkTarget());
        else if (S_ISDIR(st.st_mode))
            strKind = QStringLiteral("フォルダー");
        else if (S_ISREG(st.st_mode))
            strKind = QStringLiteral("ファイル");
        else
            strKind = QStringLiteral("特殊ファイル");
        add("propKind", QStringLiteral("種類:"), strKind);
        if (info.isDir()) {
            const QDir dir(info.absoluteFilePath());
            const qsizetype nFiles = dir.entryList(QDir::Files | QDir::System).size();
            const qsizetype nFolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
            add("propContents", QStringLiteral("内容:"),
                QStringLiteral("ファイル %1 個、フォルダー %2 個").arg(nFiles).arg(nFolders));
        } else if (info.isFile()) {
            add("propSize", QStringLiteral("サイズ:"), FormatSize(info.size()));
            add("propCode", QStringLiteral("文字コード:"),
                QString::fromUtf8(FileCodeGuessName(GuessCodeOfFile(strPath))));
        }
        add("propModified", QStringLiteral("更新日時:"), FormatTime(info.lastModified()));
        add("propAccessed", QStringLiteral("アクセス日時:"), FormatTime(info.lastRead()));
        add("propCreated", QStringLiteral("作成日時:"), FormatTime(info.birthTime()));
        add("propOwner", QStringLiteral("所有者:"), QStringLiteral("%1 / %2").arg(info.owner(), info.group()));
        const unsigned nMode = st.st_mode & 07777;
        add("propPermissions", QStringLiteral("アクセス権:"),
            QStringLiteral("%1 (%2)")
                .arg(QString::fromStdString(FormatPermissions(nMode)))
                .arg(nMode, 3, 8, QLatin1Char('0')));
    }
    LayOutFormDialog(this, pForm, QDialogButtonBox::Ok);
    setMinimumWidth(360);
}

QString CItemPropertiesDlg::GetValue(const QString &strName) const
{
    const QLabel *pLabel = findChild<QLabel *>(strName);
    return pLabel ? pLabel->text() : QString();
}
