#include "templates/ui/templatedlg.h"

#include "platform/ui/msgbox.h"
#include "platform/ui/programfolder.h"
#include "preview/ui/previewengine.h"
#include "templates/templatefiles.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

QDialogButtonBox *MakeButtons(QDialog *pDialog)
{
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, pDialog);
    pButtons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    pButtons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, pDialog, &QDialog::reject);
    return pButtons;
}

} // namespace

// ---------------------------------------------------------------------------
// Choosing a template

QString TemplateFolder()
{
    const QString strFolder = ProgramFolder() + QStringLiteral("/templete");
    return QDir().mkpath(strFolder) ? strFolder : QString();
}

CTemplateSelectDlg::CTemplateSelectDlg(const QString &strFolder, QWidget *pParent)
    : QDialog(pParent), m_strFolder(strFolder)
{
    setWindowTitle(QStringLiteral("ﾃﾝﾌﾟﾚｰﾄの選択"));
    setObjectName(QStringLiteral("templateSelectDlg"));
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("templateList"));
    for (const std::string &strName : ListTemplateFiles(strFolder.toStdString()))
        m_pList->addItem(QString::fromStdString(strName));
    m_pPreview = new QCheckBox(QStringLiteral("プレビュー"), this);
    m_pPreview->setObjectName(QStringLiteral("templatePreview"));
    m_pPreview->setChecked(true);

    // The page view is made for the first template shown: the web engine
    // starts only when there is something to show.
    m_pPreviewArea = new QWidget(this);
    m_pPreviewArea->setObjectName(QStringLiteral("templatePreviewArea"));
    m_pPreviewArea->setMinimumSize(360, 280);
    m_pPreviewLayout = new QStackedLayout(m_pPreviewArea);
    auto *pEmpty = new QLabel(m_pPreviewArea);
    pEmpty->setFrameShape(QFrame::StyledPanel);
    m_pPreviewLayout->addWidget(pEmpty);

    auto *pLeft = new QVBoxLayout;
    pLeft->addWidget(m_pList, 1);
    pLeft->addWidget(m_pPreview);
    auto *pTop = new QHBoxLayout;
    pTop->addLayout(pLeft, 1);
    pTop->addWidget(m_pPreviewArea, 2);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop, 1);
    pLayout->addWidget(MakeButtons(this));
    resize(720, 420);

    // The selection, not the current row: the list takes a current row of
    // its own when it takes the focus, before anything was chosen.
    connect(m_pList, &QListWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(m_pList, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    // Ticking the box shows the template chosen before.
    connect(m_pPreview, &QCheckBox::toggled, this, [this](bool bOn) {
        if (bOn)
            OnSelectionChanged();
    });
}

CTemplateSelectDlg::~CTemplateSelectDlg() = default;

QListWidgetItem *CTemplateSelectDlg::SelectedItem() const
{
    const QList<QListWidgetItem *> items = m_pList->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void CTemplateSelectDlg::OnSelectionChanged()
{
    QListWidgetItem *pItem = SelectedItem();
    if (!pItem || !m_pPreview->isChecked())
        return;
    if (!m_pEngine) {
        m_pEngine = CreatePreviewEngine(m_pPreviewArea);
        m_pPreviewLayout->addWidget(m_pEngine->GetWidget());
        m_pPreviewLayout->setCurrentWidget(m_pEngine->GetWidget());
    }
    m_pEngine->Navigate(QDir(m_strFolder).filePath(pItem->text()));
}

void CTemplateSelectDlg::accept()
{
    QListWidgetItem *pItem = SelectedItem();
    if (!pItem) {
        Beep();
        return;
    }
    m_strName = pItem->text();
    QDialog::accept();
}

// ---------------------------------------------------------------------------
// Naming a template

CTemplateNameDlg::CTemplateNameDlg(const QString &strName, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("ﾃﾝﾌﾟﾚｰﾄの登録"));
    setObjectName(QStringLiteral("templateNameDlg"));
    m_pName = new QLineEdit(strName, this);
    m_pName->setObjectName(QStringLiteral("templateName"));
    m_pName->setMinimumWidth(320);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("テンプレートとして、登録する名前を入力してください。"), this));
    pLayout->addWidget(m_pName);
    pLayout->addWidget(MakeButtons(this));
    m_pName->selectAll();
}

QString CTemplateNameDlg::GetName() const
{
    return m_pName->text();
}

void CTemplateNameDlg::SetName(const QString &strName)
{
    m_pName->setText(strName);
}
