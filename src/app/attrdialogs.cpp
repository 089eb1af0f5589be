#include "app/attrdialogs.h"

#include "app/webdialogparts.h"
#include "html/textinsert.h"
#include "platform/filedialogs.h"
#include "text/codec_qt.h"

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

void PresetFromAttribute(const CFieldRow &row, CTagAttributeMap &attributes, const char *pszName)
{
    row.Preset(Cp932ToQString(TakeAttribute(attributes, pszName)));
}

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
    PresetFromTag(std::string());
}

void CBodyDlg::PresetFromTag(const std::string &strBodyTag)
{
    const CFieldRow *apRows[] = {&m_bgColor, &m_background, &m_text, &m_link, &m_vLink, &m_aLink};
    if (strBodyTag.empty()) {
        const CBodyFields defaults = DefaultBodyFields();
        const CAttrField *apDefaults[] = {&defaults.bgColor, &defaults.background, &defaults.text,
                                          &defaults.link,    &defaults.vLink,      &defaults.aLink};
        for (int i = 0; i < 6; ++i) {
            apRows[i]->Preset(Cp932ToQString(apDefaults[i]->strValue));
            apRows[i]->GetCheck()->setChecked(false);
        }
        m_pOther->clear();
        return;
    }
    CTagAttributeMap attributes = ParseTagAttributes(strBodyTag);
    const char *const apszNames[] = {"bgcolor", "background", "text", "link", "vlink", "alink"};
    for (int i = 0; i < 6; ++i)
        PresetFromAttribute(*apRows[i], attributes, apszNames[i]);
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
}

CBodyFields CBodyDlg::GetFields() const
{
    return {m_bgColor.Field(), m_background.Field(), m_text.Field(), m_link.Field(), m_vLink.Field(), m_aLink.Field()};
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
}

void CTableOptionDlg::PresetFromTag(CTagAttributeMap attributes)
{
    PresetFromAttribute(m_border, attributes, "border");
    PresetFromAttribute(m_width, attributes, "width");
    PresetFromAttribute(m_height, attributes, "height");
    PresetFromAttribute(m_spacing, attributes, "cellspacing");
    PresetFromAttribute(m_padding, attributes, "cellpadding");
    PresetFromAttribute(m_align, attributes, "align");
    PresetFromAttribute(m_bgColor, attributes, "bgcolor");
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
}

std::string CTableOptionDlg::GetAttributes() const
{
    return WithOtherAttributes(TableAttributes({m_border.Field(), m_width.Field(), m_height.Field(), m_spacing.Field(),
                                                m_padding.Field(), m_align.Field(), m_bgColor.Field()}),
                               QStringToCp932(m_pOther->text().trimmed()));
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
}

void CImageOptionDlg::PresetFromTag(CTagAttributeMap attributes)
{
    PresetFromAttribute(m_src, attributes, "src");
    PresetFromAttribute(m_alt, attributes, "alt");
    PresetFromAttribute(m_border, attributes, "border");
    PresetFromAttribute(m_align, attributes, "align");
    PresetFromAttribute(m_width, attributes, "width");
    PresetFromAttribute(m_height, attributes, "height");
    PresetFromAttribute(m_vSpace, attributes, "vspace");
    PresetFromAttribute(m_hSpace, attributes, "hspace");
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
}

std::string CImageOptionDlg::GetAttributes() const
{
    return WithOtherAttributes(ImageOptionAttributes({m_src.Field(), m_alt.Field(), m_border.Field(), m_align.Field(),
                                                      m_width.Field(), m_height.Field(), m_vSpace.Field(),
                                                      m_hSpace.Field()}),
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
    const std::string strHref = TakeAttribute(attributes, "href");
    const std::string strName = TakeAttribute(attributes, "name");
    m_pLink->setChecked(!strHref.empty() || !strName.empty());
    // A tag with both keeps its name among the others, so that nothing is lost.
    if (!strHref.empty() && !strName.empty())
        attributes.emplace("name", strName);
    if (!strHref.empty() && strHref[0] == '#') {
        m_pKinds->button(ANCHOR_JUMP)->setChecked(true);
        m_pJump->setText(Cp932ToQString(strHref.substr(1)));
    } else if (!strHref.empty()) {
        m_pKinds->button(ANCHOR_FILE)->setChecked(true);
        m_pFile->setText(Cp932ToQString(strHref));
    } else if (!strName.empty()) {
        m_pKinds->button(ANCHOR_BOOKMARK)->setChecked(true);
        m_pBookmark->setText(Cp932ToQString(strName));
    }
    PresetFromAttribute(m_target, attributes, "target");
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
    const char *const apszNames[] = {"body", "font", "table", "td", "img", "a"};
    const QString aLabels[] = {QStringLiteral("<Body>ﾀｸﾞの属性設定"), QStringLiteral("<Font>ﾀｸﾞの属性設定"),
                               QStringLiteral("<Table>ﾀｸﾞの属性設定"), QStringLiteral("<Td>ﾀｸﾞの属性設定"),
                               QStringLiteral("<Img>ﾀｸﾞの属性設定"), QStringLiteral("<A>ﾀｸﾞの属性設定")};
    for (int i = 0; i < 6; ++i) {
        auto *pRadio = new QRadioButton(aLabels[i], this);
        pRadio->setObjectName(QStringLiteral("kind_") + QString::fromLatin1(apszNames[i]));
        m_pKinds->addButton(pRadio, i);
        pLayout->addWidget(pRadio);
    }
    m_pKinds->button(0)->setChecked(true);
    FinishGridDialog(this);
}

std::string CTagKindDlg::GetTagName() const
{
    static const char *const apszNames[] = {"body", "font", "table", "td", "img", "a"};
    const int nKind = m_pKinds->checkedId();
    return apszNames[nKind >= 0 && nKind < 6 ? nKind : 0];
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
