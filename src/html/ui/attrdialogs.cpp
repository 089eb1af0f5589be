#include "html/ui/attrdialogs.h"

#include "html/textinsert.h"
#include "html/ui/webdialogparts.h"
#include "platform/ui/filedialogs.h"
#include "text/ui/codec_qt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace WebDlg;

namespace {

QLineEdit *AddOtherRow(QGridLayout *pGrid)
{
    QLineEdit *pOther = NewEdit(pGrid->parentWidget(), QStringLiteral("other"));
    AddLabelRow(pGrid, QStringLiteral("その他"), pOther);
    return pOther;
}

CFieldRow AddEditRow(QGridLayout *pGrid, const QString &strLabel, const QString &strName)
{
    return AddFieldRow(pGrid, strLabel, NewEdit(pGrid->parentWidget(), strName));
}

// "参照" for the wallpaper: the picture's path relative to the page.
QPushButton *NewPictureButton(QWidget *pParent, QLineEdit *pEdit, const std::string &strDocPath)
{
    auto *pButton = new QPushButton(QStringLiteral("参照"), pParent);
    pButton->setObjectName(pEdit->objectName() + QStringLiteral("Browse"));
    QObject::connect(pButton, &QPushButton::clicked, pParent, [pParent, pEdit, strDocPath] {
        CFileDialogRequest request;
        request.aFilters = {QStringLiteral("Image Files (*.gif *.jpg *.jpeg)"), QStringLiteral("All Files (*)")};
        if (!strDocPath.empty())
            request.strDirectory = QFileInfo(QString::fromStdString(strDocPath)).absolutePath();
        const QStringList files = RunFileDialog(pParent, request);
        if (files.isEmpty())
            return;
        pEdit->setText(strDocPath.empty() ? QFileInfo(files.first()).fileName()
                                          : QString::fromStdString(RelativeLinkPath(strDocPath, files.first().toStdString())));
    });
    return pButton;
}

} // namespace

// ---------------------------------------------------------------------------
// Body

CBodyDlg::CBodyDlg(bool bWithTitle, const QString &strTitle, const std::string &strDocPath, QWidget *pParent)
    : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, bWithTitle ? QStringLiteral("HTML文章の設定")
                                                          : QStringLiteral("ボディオプションの設定"));
    if (bWithTitle) {
        m_pTitle = NewEdit(this, QStringLiteral("title"));
        m_pTitle->setText(strTitle);
        AddLabelRow(pGrid, QStringLiteral("タイトル"), m_pTitle);
    }
    m_bgColor = AddColorRow(pGrid, QStringLiteral("全体の背景色"), QStringLiteral("bgColor"));
    auto *pBackground = NewEdit(this, QStringLiteral("background"));
    m_background = AddFieldRow(pGrid, QStringLiteral("壁紙の指定"), pBackground,
                               NewPictureButton(this, pBackground, strDocPath));
    m_text = AddColorRow(pGrid, QStringLiteral("基本テキストの色"), QStringLiteral("textColor"));
    m_link = AddColorRow(pGrid, QStringLiteral("ﾘﾝｸｽｲｯﾁの色"), QStringLiteral("linkColor"));
    m_vLink = AddColorRow(pGrid, QStringLiteral("ﾘﾝｸした後の色"), QStringLiteral("vLinkColor"));
    m_aLink = AddColorRow(pGrid, QStringLiteral("ﾘﾝｸの最中の色"), QStringLiteral("aLinkColor"));
    m_pOther = AddOtherRow(pGrid);
    FinishGridDialog(this);
    m_aRows = {{&CBodyFields::bgColor, &m_bgColor}, {&CBodyFields::background, &m_background},
               {&CBodyFields::text, &m_text},       {&CBodyFields::link, &m_link},
               {&CBodyFields::vLink, &m_vLink},     {&CBodyFields::aLink, &m_aLink}};
    PresetFromTag(std::string());
}

void CBodyDlg::PresetFromTag(const std::string &strBodyTag)
{
    if (strBodyTag.empty()) {
        PresetRows(m_aRows, DefaultBodyFields());
        m_pOther->clear();
        return;
    }
    CTagAttributeMap attributes = ParseTagAttributes(strBodyTag);
    PresetRows(m_aRows, TakeAttributes(attributes, BODY_ATTRIBUTES));
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
}

CBodyFields CBodyDlg::GetFields() const
{
    return FieldsOfRows(m_aRows);
}

std::string CBodyDlg::GetOther() const
{
    return QStringToCp932(m_pOther->text().trimmed());
}

std::string CBodyDlg::GetAttributes() const
{
    return WithOtherAttributes(BodyAttributes(GetFields()), GetOther());
}

std::string CBodyDlg::GetTitle() const
{
    return m_pTitle ? QStringToCp932(m_pTitle->text()) : std::string();
}

// ---------------------------------------------------------------------------
// Table and image

CTableOptionDlg::CTableOptionDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("テーブルオプションの設定"));
    m_border = AddEditRow(pGrid, QStringLiteral("罫線の太さ"), QStringLiteral("tableBorder"));
    m_width = AddEditRow(pGrid, QStringLiteral("ﾃｰﾌﾞﾙの幅"), QStringLiteral("tableWidth"));
    m_height = AddEditRow(pGrid, QStringLiteral("ﾃｰﾌﾞﾙの高さ"), QStringLiteral("tableHeight"));
    m_spacing = AddEditRow(pGrid, QStringLiteral("罫線と文字の間隔"), QStringLiteral("cellSpacing"));
    m_padding = AddEditRow(pGrid, QStringLiteral("罫線の高さ"), QStringLiteral("cellPadding"));
    m_align = AddFieldRow(pGrid, QStringLiteral("表組みの回り込み"),
                          NewCombo(this, QStringLiteral("tableAlign"), {QStringLiteral("left"), QStringLiteral("right")}, true));
    m_bgColor = AddColorRow(pGrid, QStringLiteral("ﾃｰﾌﾞﾙの色"), QStringLiteral("tableColor"));
    m_pOther = AddOtherRow(pGrid);
    FinishGridDialog(this);
    m_aRows = {{&CTableFields::border, &m_border},           {&CTableFields::width, &m_width},
               {&CTableFields::height, &m_height},           {&CTableFields::cellSpacing, &m_spacing},
               {&CTableFields::cellPadding, &m_padding},     {&CTableFields::align, &m_align},
               {&CTableFields::bgColor, &m_bgColor}};
}

void CTableOptionDlg::PresetFromTag(CTagAttributeMap attributes)
{
    PresetRows(m_aRows, TakeAttributes(attributes, TABLE_ATTRIBUTES));
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
}

std::string CTableOptionDlg::GetAttributes() const
{
    return WithOtherAttributes(TableAttributes(FieldsOfRows(m_aRows)), QStringToCp932(m_pOther->text().trimmed()));
}

CImageOptionDlg::CImageOptionDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("ｲﾒｰｼﾞのｵﾌﾟｼｮﾝ設定"));
    m_src = AddEditRow(pGrid, QStringLiteral("画像ﾌｧｲﾙの指定"), QStringLiteral("imageSrc"));
    m_alt = AddEditRow(pGrid, QStringLiteral("画像説明"), QStringLiteral("imageAlt"));
    m_border = AddEditRow(pGrid, QStringLiteral("枠線の指定"), QStringLiteral("imageBorder"));
    m_align = AddFieldRow(pGrid, QStringLiteral("文字の回り込み"),
                          NewCombo(this, QStringLiteral("imageAlign"),
                                   {QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("top"),
                                    QStringLiteral("center"), QStringLiteral("bottom")},
                                   true));
    m_width = AddEditRow(pGrid, QStringLiteral("ｲﾒｰｼﾞの幅"), QStringLiteral("imageWidth"));
    m_height = AddEditRow(pGrid, QStringLiteral("ｲﾒｰｼﾞの高さ"), QStringLiteral("imageHeight"));
    m_vSpace = AddEditRow(pGrid, QStringLiteral("上下ﾏｰｼﾞﾝ"), QStringLiteral("vSpace"));
    m_hSpace = AddEditRow(pGrid, QStringLiteral("左右ﾏｰｼﾞﾝ"), QStringLiteral("hSpace"));
    m_pOther = AddOtherRow(pGrid);
    FinishGridDialog(this);
    m_aRows = {{&CImageOptionFields::src, &m_src},       {&CImageOptionFields::alt, &m_alt},
               {&CImageOptionFields::border, &m_border}, {&CImageOptionFields::align, &m_align},
               {&CImageOptionFields::width, &m_width},   {&CImageOptionFields::height, &m_height},
               {&CImageOptionFields::vSpace, &m_vSpace}, {&CImageOptionFields::hSpace, &m_hSpace}};
}

void CImageOptionDlg::PresetFromTag(CTagAttributeMap attributes)
{
    PresetRows(m_aRows, TakeAttributes(attributes, IMAGE_OPTION_ATTRIBUTES));
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
}

std::string CImageOptionDlg::GetAttributes() const
{
    return WithOtherAttributes(ImageOptionAttributes(FieldsOfRows(m_aRows)),
                               QStringToCp932(m_pOther->text().trimmed()));
}

// ---------------------------------------------------------------------------
// Anchor

CAnchorOptionDlg::CAnchorOptionDlg(const std::string &strDocPath, QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("アンカーのオプション設定"));
    m_pLink = NewCheck(this, QStringLiteral("ﾀｰｹﾞｯﾄの指定"), QStringLiteral("linkCheck"));
    pGrid->addWidget(m_pLink, 0, 0, 1, 3);
    m_pKinds = new QButtonGroup(this);
    const QString aLabels[] = {QStringLiteral("ﾘﾝｸ先のﾌｧｲﾙ"), QStringLiteral("ｼﾞｬﾝﾌﾟ先の指定"), QStringLiteral("ﾌﾞｯｸﾏｰｸの指定")};
    const QString aNames[] = {QStringLiteral("linkFile"), QStringLiteral("jump"), QStringLiteral("bookmark")};
    QLineEdit *apEdits[3];
    for (int i = 0; i < 3; ++i) {
        auto *pRadio = new QRadioButton(aLabels[i], this);
        pRadio->setObjectName(aNames[i] + QStringLiteral("Kind"));
        m_pKinds->addButton(pRadio, i);
        apEdits[i] = NewEdit(this, aNames[i]);
        const int nRow = pGrid->rowCount();
        pGrid->addWidget(pRadio, nRow, 0);
        pGrid->addWidget(apEdits[i], nRow, 1);
        if (i == 0) {
            m_pFile = apEdits[0];
            m_folder = AddFieldRow(pGrid, QStringLiteral("階層"), NewEdit(this, QStringLiteral("folder")));
            pGrid->addWidget(NewFileButton(this, m_pFile, m_folder, strDocPath, FILEFILTER_LINK), nRow, 2);
        }
    }
    m_pJump = apEdits[1];
    m_pBookmark = apEdits[2];
    m_pKinds->button(0)->setChecked(true);
    m_target = AddFieldRow(pGrid, QStringLiteral("ﾀｰｹﾞｯﾄのﾌﾚｰﾑ"),
                           NewCombo(this, QStringLiteral("target"),
                                    {QStringLiteral("_self"), QStringLiteral("_top"), QStringLiteral("_blank"),
                                     QStringLiteral("_parent")},
                                    true));
    m_pOther = AddOtherRow(pGrid);
    FinishGridDialog(this);
    connect(m_pLink, &QCheckBox::toggled, this, [this] { EnableKinds(); });
    connect(m_pKinds, &QButtonGroup::idToggled, this, [this] { EnableKinds(); });
    EnableKinds();
}

void CAnchorOptionDlg::EnableKinds()
{
    const bool bLink = m_pLink->isChecked();
    for (QAbstractButton *pButton : m_pKinds->buttons())
        pButton->setEnabled(bLink);
    const int nKind = m_pKinds->checkedId();
    m_pFile->setEnabled(bLink && nKind == ANCHOR_FILE);
    m_folder.GetCheck()->setEnabled(bLink && nKind == ANCHOR_FILE);
    m_pJump->setEnabled(bLink && nKind == ANCHOR_JUMP);
    m_pBookmark->setEnabled(bLink && nKind == ANCHOR_BOOKMARK);
}

void CAnchorOptionDlg::PresetFromTag(CTagAttributeMap attributes)
{
    const CAnchorFields fields = TakeAnchorFields(attributes);
    m_pLink->setChecked(fields.bLink);
    if (fields.bLink) {
        m_pKinds->button(fields.eKind)->setChecked(true);
        QLineEdit *const apEdits[] = {m_pFile, m_pJump, m_pBookmark};
        const std::string *const apTexts[] = {&fields.strFile, &fields.strJump, &fields.strBookmark};
        apEdits[fields.eKind]->setText(Cp932ToQString(*apTexts[fields.eKind]));
    }
    m_target.Preset(fields.target);
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
    EnableKinds();
}

std::string CAnchorOptionDlg::GetAttributes() const
{
    CAnchorFields fields;
    fields.bLink = m_pLink->isChecked();
    fields.eKind = static_cast<EAnchorKind>(m_pKinds->checkedId());
    fields.folder = m_folder.Field();
    fields.strFile = QStringToCp932(m_pFile->text());
    fields.strJump = QStringToCp932(m_pJump->text());
    fields.strBookmark = QStringToCp932(m_pBookmark->text());
    fields.target = m_target.Field();
    return WithOtherAttributes(AnchorAttributes(fields), QStringToCp932(m_pOther->text().trimmed()));
}

// ---------------------------------------------------------------------------
// Tag kind and title

CTagKindDlg::CTagKindDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("タグ属性の挿入"));
    auto *pLayout = new QVBoxLayout(this);
    m_pKinds = new QButtonGroup(this);
    const QString aLabels[] = {QStringLiteral("<Body>ﾀｸﾞの属性設定"), QStringLiteral("<Font>ﾀｸﾞの属性設定"),
                               QStringLiteral("<Table>ﾀｸﾞの属性設定"), QStringLiteral("<Td>ﾀｸﾞの属性設定"),
                               QStringLiteral("<Img>ﾀｸﾞの属性設定"), QStringLiteral("<A>ﾀｸﾞの属性設定")};
    for (int i = 0; i < 6; ++i) {
        auto *pRadio = new QRadioButton(aLabels[i], this);
        pRadio->setObjectName(QStringLiteral("kind_") + QString::fromLatin1(ATTRIBUTE_DIALOG_TAGS[i]));
        m_pKinds->addButton(pRadio, i);
        pLayout->addWidget(pRadio);
    }
    m_pKinds->button(0)->setChecked(true);
    FinishGridDialog(this);
}

std::string CTagKindDlg::GetTagName() const
{
    const int nKind = m_pKinds->checkedId();
    return ATTRIBUTE_DIALOG_TAGS[nKind >= 0 && nKind < int(std::size(ATTRIBUTE_DIALOG_TAGS)) ? nKind : 0];
}

CTitleDlg::CTitleDlg(const QString &strTitle, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("タイトルの設定"));
    auto *pLayout = new QVBoxLayout(this);
    auto *pPrompt = new QLabel(QStringLiteral("タイトルに設定する文字を入力してください。"), this);
    m_pTitle = NewEdit(this, QStringLiteral("title"));
    m_pTitle->setText(strTitle);
    pPrompt->setBuddy(m_pTitle);
    pLayout->addWidget(pPrompt);
    pLayout->addWidget(m_pTitle);
    FinishGridDialog(this);
}

std::string CTitleDlg::GetTitle() const
{
    return QStringToCp932(m_pTitle->text());
}
