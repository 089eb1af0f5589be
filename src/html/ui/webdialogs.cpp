#include "html/ui/webdialogs.h"

#include "html/ui/webdialogparts.h"

#include "app/recentfiles.h"
#include "filetools/imagesize.h"
#include "html/textinsert.h"
#include "platform/profile.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "plugin/pluginlibrary.h"
#include "plugin/ui/appplugins.h"
#include "text/ui/codec_qt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace WebDlg {

QLineEdit *NewEdit(QWidget *pParent, const QString &strName)
{
    auto *pEdit = new QLineEdit(pParent);
    pEdit->setObjectName(strName);
    return pEdit;
}

QComboBox *NewCombo(QWidget *pParent, const QString &strName, const QStringList &items, bool bEditable)
{
    auto *pCombo = new QComboBox(pParent);
    pCombo->setObjectName(strName);
    pCombo->setEditable(bEditable);
    pCombo->addItems(items);
    return pCombo;
}

QCheckBox *NewCheck(QWidget *pParent, const QString &strLabel, const QString &strName)
{
    auto *pCheck = new QCheckBox(strLabel, pParent);
    pCheck->setObjectName(strName);
    return pCheck;
}

// A row of the grid: the check box, its field and one more widget (a unit or
// a button) that the check box enables with the field. The check box is
// named after the field with "Check" behind.
CFieldRow AddFieldRow(QGridLayout *pGrid, const QString &strLabel, QWidget *pField, QWidget *pExtra)
{
    const int nRow = pGrid->rowCount();
    QCheckBox *pCheck = NewCheck(pGrid->parentWidget(), strLabel, pField->objectName() + QStringLiteral("Check"));
    pGrid->addWidget(pCheck, nRow, 0);
    pGrid->addWidget(pField, nRow, 1);
    if (pExtra)
        pGrid->addWidget(pExtra, nRow, 2);
    auto enable = [pField, pExtra](bool bOn) {
        pField->setEnabled(bOn);
        if (pExtra)
            pExtra->setEnabled(bOn);
    };
    QObject::connect(pCheck, &QCheckBox::toggled, pField, enable);
    enable(false);
    return CFieldRow(pCheck, pField);
}

void AddLabelRow(QGridLayout *pGrid, const QString &strLabel, QWidget *pField)
{
    const int nRow = pGrid->rowCount();
    auto *pLabel = new QLabel(strLabel, pGrid->parentWidget());
    pLabel->setBuddy(pField);
    pGrid->addWidget(pLabel, nRow, 0);
    pGrid->addWidget(pField, nRow, 1);
}

// The grid of the fields; FinishGridDialog puts OK and Cancel below it.
QGridLayout *StartGridDialog(QDialog *pDialog, const QString &strTitle)
{
    pDialog->setWindowTitle(strTitle);
    auto *pLayout = new QVBoxLayout(pDialog);
    auto *pGrid = new QGridLayout;
    pLayout->addLayout(pGrid);
    return pGrid;
}

// OK and Cancel below the fields. Tab follows the layout (the program's
// dialog rules order every dialog so as it opens).
void FinishGridDialog(QDialog *pDialog)
{
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, pDialog);
    pDialog->layout()->addWidget(pButtons);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, pDialog, &QDialog::reject);
}

// "参照" beside a colour field: the colour dialog starts from the field's
// "#rrggbb" (black when it holds none) and writes the chosen colour back.
QPushButton *NewColorButton(QWidget *pParent, QLineEdit *pEdit)
{
    auto *pButton = new QPushButton(QStringLiteral("参照"), pParent);
    pButton->setObjectName(pEdit->objectName() + QStringLiteral("Browse"));
    QObject::connect(pButton, &QPushButton::clicked, pParent, [pParent, pEdit] {
        int r = 0;
        int g = 0;
        int b = 0;
        ParseHexColor(pEdit->text().toStdString(), r, g, b);
        QColor chosen;
        if (ChooseColor(pParent, QColor(r, g, b), chosen))
            pEdit->setText(QString::fromStdString(FormatHexColor(chosen.red(), chosen.green(), chosen.blue())));
    });
    return pButton;
}

CFieldRow AddColorRow(QGridLayout *pGrid, const QString &strLabel, const QString &strName)
{
    auto *pEdit = NewEdit(pGrid->parentWidget(), strName);
    return AddFieldRow(pGrid, strLabel, pEdit, NewColorButton(pGrid->parentWidget(), pEdit));
}

QPushButton *NewFileButton(QWidget *pParent, QLineEdit *pFile, const CFieldRow &folder, const std::string &strDocPath,
                           EFileFilter eFilter)
{
    auto *pButton = new QPushButton(QStringLiteral("参照"), pParent);
    pButton->setObjectName(pFile->objectName() + QStringLiteral("Browse"));
    pButton->setAutoDefault(false);
    QObject::connect(pButton, &QPushButton::clicked, pParent, [pParent, pFile, folder, strDocPath, eFilter] {
        CFileDialogRequest request;
        const QString strImages = QStringLiteral("Image Files (*.gif *.jpg *.jpeg)");
        if (eFilter == FILEFILTER_LINK)
            request.aFilters = {QStringLiteral("Html Files (*.htm *.html)"), strImages};
        else
            request.aFilters = {strImages};
        request.aFilters << QStringLiteral("All Files (*)");
        // An unsaved page starts where the last file opened lies.
        const std::string strStart = !strDocPath.empty()
                                         ? strDocPath
                                         : AppProfile().GetString(SECTION_RECENT_FILES, "File1", "");
        if (!strStart.empty())
            request.strDirectory = QFileInfo(QString::fromStdString(strStart)).absolutePath();
        const QStringList files = RunFileDialog(pParent, request);
        if (files.isEmpty())
            return;
        const QString strChosen = files.first();
        pFile->setText(QFileInfo(strChosen).fileName());
        if (strDocPath.empty())
            return;
        const QString strLink = QString::fromStdString(RelativeLinkPath(strDocPath, strChosen.toStdString()));
        const int nSlash = static_cast<int>(strLink.lastIndexOf(QLatin1Char('/')));
        const QString strFolder = nSlash > 0 ? strLink.left(nSlash) : QString();
        folder.Preset(strFolder);
    });
    return pButton;
}

QStringList Positions()
{
    return {QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right")};
}

} // namespace WebDlg

using namespace WebDlg;

namespace {

const char *const SECTION_CLASS_TAG = "WebClassTag";

QStringList StoredList(const char *pszEntry, const char *pszDefault)
{
    QStringList items;
    for (const std::string &strEntry : SplitClassList(AppProfile().GetString(SECTION_CLASS_TAG, pszEntry, pszDefault)))
        if (!strEntry.empty())
            items << QString::fromStdString(strEntry);
    return items;
}

void SaveList(const char *pszEntry, const QComboBox *pCombo)
{
    std::vector<std::string> aEntries;
    for (int i = 0; i < pCombo->count(); ++i)
        aEntries.push_back(pCombo->itemText(i).toStdString());
    AppProfile().WriteString(SECTION_CLASS_TAG, pszEntry, JoinClassList(pCombo->currentText().toStdString(), aEntries));
}

} // namespace

// ---------------------------------------------------------------------------
// A field behind its check box

void CFieldRow::Preset(const QString &strValue) const
{
    Show(strValue, !strValue.isEmpty());
}

void CFieldRow::Preset(const CAttrField &field) const
{
    Show(Cp932ToQString(field.strValue), field.bOn);
}

void CFieldRow::Show(const QString &strValue, bool bOn) const
{
    if (auto *pEdit = qobject_cast<QLineEdit *>(m_pField))
        pEdit->setText(strValue);
    else if (auto *pCombo = qobject_cast<QComboBox *>(m_pField))
        pCombo->setCurrentText(strValue);
    m_pCheck->setChecked(bOn);
}

bool CFieldRow::IsOn() const
{
    return m_pCheck->isChecked();
}

QString CFieldRow::Text() const
{
    if (auto *pEdit = qobject_cast<QLineEdit *>(m_pField))
        return pEdit->text();
    if (auto *pCombo = qobject_cast<QComboBox *>(m_pField))
        return pCombo->currentText();
    return QString();
}

CAttrField CFieldRow::Field() const
{
    return {IsOn(), QStringToCp932(Text())};
}

// ---------------------------------------------------------------------------
// Links

CHotLinkDlg::CHotLinkDlg(const std::string &strDocPath, QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("ホットリンクの設定"));
    m_pFile = NewEdit(this, QStringLiteral("linkFile"));
    const int nFileRow = pGrid->rowCount();
    AddLabelRow(pGrid, QStringLiteral("ﾘﾝｸ先のﾌｧｲﾙ"), m_pFile);
    m_folder = AddFieldRow(pGrid, QStringLiteral("階層"), NewEdit(this, QStringLiteral("folder")));
    pGrid->addWidget(NewFileButton(this, m_pFile, m_folder, strDocPath, FILEFILTER_LINK), nFileRow, 2);
    m_pFile->setFocus();
    m_target = AddFieldRow(pGrid, QStringLiteral("ﾀｰｹﾞｯﾄのﾌﾚｰﾑ"),
                           NewCombo(this, QStringLiteral("target"),
                                    {QStringLiteral("_self"), QStringLiteral("_top"), QStringLiteral("_blank"),
                                     QStringLiteral("_parent")},
                                    true));
    FinishGridDialog(this);
}

CHotLinkFields CHotLinkDlg::GetFields() const
{
    return {m_folder.Field(), QStringToCp932(m_pFile->text()), m_target.Field()};
}

CAnchorNameDlg::CAnchorNameDlg(const QString &strTitle, const QString &strLabel, QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, strTitle);
    m_pName = NewEdit(this, QStringLiteral("anchorName"));
    AddLabelRow(pGrid, strLabel, m_pName);
    FinishGridDialog(this);
}

std::string CAnchorNameDlg::GetName() const
{
    return QStringToCp932(m_pName->text());
}

// ---------------------------------------------------------------------------
// Font and heading

CFontTagDlg::CFontTagDlg(const QString &strFace, const QString &strColor, QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("フォントタグの設定"));
    QStringList sizes;
    for (int i = 1; i <= 7; ++i)
        sizes << QString::number(i);
    sizes << QStringLiteral("+3") << QStringLiteral("+2") << QStringLiteral("+1") << QStringLiteral("-1")
          << QStringLiteral("-2") << QStringLiteral("-3");
    m_size = AddFieldRow(pGrid, QStringLiteral("サイズ："), NewCombo(this, QStringLiteral("size"), sizes, true));
    auto *pColor = NewEdit(this, QStringLiteral("color"));
    m_color = AddFieldRow(pGrid, QStringLiteral("色の指定："), pColor, NewColorButton(this, pColor));
    m_pFace = NewCombo(this, QStringLiteral("face"), QStringList(QStringLiteral("(なし)")) << QFontDatabase::families(),
                       true);
    m_face = AddFieldRow(pGrid, QStringLiteral("ﾌｫﾝﾄの指定："), m_pFace);
    m_pOther = NewEdit(this, QStringLiteral("other"));
    AddLabelRow(pGrid, QStringLiteral("その他"), m_pOther);
    m_pBold = NewCheck(this, QStringLiteral("太字"), QStringLiteral("bold"));
    m_pItalic = NewCheck(this, QStringLiteral("斜体"), QStringLiteral("italic"));
    m_pUnderline = NewCheck(this, QStringLiteral("下線"), QStringLiteral("underline"));
    m_pStrike = NewCheck(this, QStringLiteral("取消し線"), QStringLiteral("strike"));
    auto *pStyles = new QHBoxLayout;
    for (QCheckBox *pCheck : {m_pBold, m_pItalic, m_pUnderline, m_pStrike})
        pStyles->addWidget(pCheck);
    pGrid->addLayout(pStyles, pGrid->rowCount(), 0, 1, 3);

    m_aRows = {{&CFontTagFields::size, &m_size}, {&CFontTagFields::color, &m_color}, {&CFontTagFields::face, &m_face}};

    m_size.Preset(QStringLiteral("3"));
    m_color.Preset(strColor);
    m_face.Preset(strFace);
    if (strFace.isEmpty())
        m_pFace->setCurrentIndex(0);
    FinishGridDialog(this);
}

void CFontTagDlg::PresetFromTag(CTagAttributeMap attributes)
{
    const CFontTagFields fields = TakeAttributes(attributes, FONT_TAG_ATTRIBUTES);
    PresetRows(m_aRows, fields);
    if (fields.face.strValue.empty())
        m_pFace->setCurrentIndex(0);
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
    for (QCheckBox *pStyle : {m_pBold, m_pItalic, m_pUnderline, m_pStrike}) {
        pStyle->setChecked(false);
        pStyle->hide();
    }
}

CFontTagFields CFontTagDlg::GetFields() const
{
    CFontTagFields fields = FieldsOfRows(m_aRows);
    // "(なし)" names no face.
    if (m_pFace->currentIndex() == 0 && m_pFace->currentText() == m_pFace->itemText(0))
        fields.face.strValue.clear();
    return fields;
}

std::string CFontTagDlg::GetOther() const
{
    return QStringToCp932(m_pOther->text());
}

CFontStyles CFontTagDlg::GetStyles() const
{
    return {m_pBold->isChecked(), m_pItalic->isChecked(), m_pUnderline->isChecked(), m_pStrike->isChecked()};
}

QString CFontTagDlg::GetFaceSetting() const
{
    const CFontTagFields fields = GetFields();
    return fields.face.bOn && !fields.face.strValue.empty() ? m_pFace->currentText() : QString();
}

QString CFontTagDlg::GetColorSetting() const
{
    return m_color.IsOn() ? m_color.Text() : QString();
}

CHeadingDlg::CHeadingDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("見出しの設定"));
    QStringList sizes;
    for (int i = 1; i <= 6; ++i)
        sizes << QString::number(i);
    m_pSize = NewCombo(this, QStringLiteral("headingSize"), sizes);
    AddLabelRow(pGrid, QStringLiteral("サイズ"), m_pSize);
    m_align = AddFieldRow(pGrid, QStringLiteral("位置"), NewCombo(this, QStringLiteral("headingAlign"), Positions()));
    FinishGridDialog(this);
}

CTagTexts CHeadingDlg::GetTagTexts() const
{
    return HeadingTagTexts(QStringToCp932(m_pSize->currentText()),
                           m_align.IsOn() ? QStringToCp932(m_align.Text()) : std::string());
}

CParagraphDlg::CParagraphDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("<P>タグの設定"));
    m_pAlign = NewCombo(this, QStringLiteral("paragraphAlign"), Positions());
    m_pWrap = AddFieldRow(pGrid, QStringLiteral("タグを挟む"), m_pAlign).GetCheck();
    FinishGridDialog(this);
}

bool CParagraphDlg::IsWrap() const
{
    return m_pWrap->isChecked();
}

std::string CParagraphDlg::GetAlign() const
{
    return QStringToCp932(m_pAlign->currentText());
}

// ---------------------------------------------------------------------------
// Class tag

CClassTagDlg::CClassTagDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("タグの設定"));
    m_pTag = NewCombo(this, QStringLiteral("classTag"), StoredList("Tag", "p\ndiv\nspan\nfont"), true);
    AddLabelRow(pGrid, QStringLiteral("使用タグ"), m_pTag);
    m_pClass = NewCombo(this, QStringLiteral("className"),
                        StoredList("Class", "title1\ntitle2\ntext\nindent1\nindent2"), true);
    AddLabelRow(pGrid, QStringLiteral("クラス名"), m_pClass);
    FinishGridDialog(this);
}

std::string CClassTagDlg::GetTag() const
{
    return QStringToCp932(m_pTag->currentText());
}

std::string CClassTagDlg::GetClass() const
{
    return QStringToCp932(m_pClass->currentText());
}

void CClassTagDlg::SaveLists() const
{
    SaveList("Tag", m_pTag);
    SaveList("Class", m_pClass);
}

// ---------------------------------------------------------------------------
// Rule, image, cell

CRuleDlg::CRuleDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("罫線の設定"));
    m_size = AddFieldRow(pGrid, QStringLiteral("太さ："), NewEdit(this, QStringLiteral("ruleSize")));
    m_pUnit = NewCombo(this, QStringLiteral("ruleUnit"), {QStringLiteral("ﾊﾟｰｾﾝﾄ"), QStringLiteral("ﾋﾟｸｾﾙ")});
    m_width = AddFieldRow(pGrid, QStringLiteral("長さ："), NewEdit(this, QStringLiteral("ruleWidth")), m_pUnit);
    m_align = AddFieldRow(pGrid, QStringLiteral("位置："), NewCombo(this, QStringLiteral("ruleAlign"), Positions()));
    FinishGridDialog(this);
}

CRuleFields CRuleDlg::GetFields() const
{
    return {m_size.Field(), m_width.Field(), m_pUnit->currentIndex() == 0, m_align.Field()};
}

CImageDlg::CImageDlg(const std::string &strDocPath, QWidget *pParent) : QDialog(pParent), m_strDocPath(strDocPath)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("イメージファイルの設定"));
    m_pFile = NewEdit(this, QStringLiteral("imageFile"));
    const int nFileRow = pGrid->rowCount();
    AddLabelRow(pGrid, QStringLiteral("画像ﾌｧｲﾙ"), m_pFile);
    m_folder = AddFieldRow(pGrid, QStringLiteral("階層"), NewEdit(this, QStringLiteral("folder")));
    pGrid->addWidget(NewFileButton(this, m_pFile, m_folder, strDocPath, FILEFILTER_IMAGE), nFileRow, 2);
    m_pName = NewEdit(this, QStringLiteral("imageName"));
    AddLabelRow(pGrid, QStringLiteral("画像の名前"), m_pName);
    m_width = AddFieldRow(pGrid, QStringLiteral("幅"), NewEdit(this, QStringLiteral("imageWidth")));
    m_height = AddFieldRow(pGrid, QStringLiteral("高さ"), NewEdit(this, QStringLiteral("imageHeight")));
    // Offered only while the image plug-in is there to measure the image.
    m_pImageSize = new QPushButton(QStringLiteral("画像ｻｲｽﾞ"), this);
    m_pImageSize->setObjectName(QStringLiteral("imageSize"));
    m_pImageSize->setEnabled(!FindPluginFile(AppPluginFolders(), IMAGEMAP_PLUGIN).empty());
    connect(m_pImageSize, &QPushButton::clicked, this, [this] { OnImageSize(); });
    pGrid->addWidget(m_pImageSize, pGrid->rowCount() - 2, 2, 2, 1);
    m_pNoBorder = NewCheck(this, QStringLiteral("画像の枠線なし"), QStringLiteral("noBorder"));
    pGrid->addWidget(m_pNoBorder, pGrid->rowCount(), 0, 1, 3);
    FinishGridDialog(this);
}

void CImageDlg::OnImageSize()
{
    const std::string strFolder = m_folder.IsOn() ? m_folder.Text().trimmed().toStdString() : std::string();
    const std::string strPath = ImageDialogFilePath(m_strDocPath, strFolder, m_pFile->text().trimmed().toStdString(),
                                                    QDir::currentPath().toStdString());
    int nWidth = 0;
    int nHeight = 0;
    if (strPath.empty() || GetImageSizeThroughPlugin(AppPluginFolders(), strPath, nWidth, nHeight) != IMAGEMAP_OK) {
        Beep();
        return;
    }
    m_width.Preset(QString::number(nWidth));
    m_height.Preset(QString::number(nHeight));
}

CImageFields CImageDlg::GetFields() const
{
    return {m_folder.Field(), QStringToCp932(m_pFile->text()), QStringToCp932(m_pName->text()),
            m_width.Field(),  m_height.Field(),                m_pNoBorder->isChecked()};
}

CCellDlg::CCellDlg(QWidget *pParent) : QDialog(pParent)
{
    QGridLayout *pGrid = StartGridDialog(this, QStringLiteral("テーブルセルの設定"));
    m_width = AddFieldRow(pGrid, QStringLiteral("セルの幅"), NewEdit(this, QStringLiteral("cellWidth")));
    m_height = AddFieldRow(pGrid, QStringLiteral("セルの高さ"), NewEdit(this, QStringLiteral("cellHeight")));
    m_colSpan = AddFieldRow(pGrid, QStringLiteral("列方向の結合"), NewEdit(this, QStringLiteral("colSpan")));
    m_rowSpan = AddFieldRow(pGrid, QStringLiteral("行方向に結合"), NewEdit(this, QStringLiteral("rowSpan")));
    m_align = AddFieldRow(pGrid, QStringLiteral("水平方向の位置"), NewCombo(this, QStringLiteral("cellAlign"), Positions()));
    m_vAlign = AddFieldRow(pGrid, QStringLiteral("垂直方向の位置"),
                           NewCombo(this, QStringLiteral("cellVAlign"),
                                    {QStringLiteral("top"), QStringLiteral("center"), QStringLiteral("bottom")}));
    auto *pColor = NewEdit(this, QStringLiteral("cellColor"));
    m_color = AddFieldRow(pGrid, QStringLiteral("色の指定："), pColor, NewColorButton(this, pColor));
    m_pOther = NewEdit(this, QStringLiteral("other"));
    AddLabelRow(pGrid, QStringLiteral("その他"), m_pOther);
    FinishGridDialog(this);
    m_aRows = {{&CCellFields::width, &m_width}, {&CCellFields::height, &m_height},
               {&CCellFields::colSpan, &m_colSpan}, {&CCellFields::rowSpan, &m_rowSpan},
               {&CCellFields::align, &m_align}, {&CCellFields::vAlign, &m_vAlign},
               {&CCellFields::bgColor, &m_color}};
}

void CCellDlg::PresetFromTag(CTagAttributeMap attributes)
{
    PresetRows(m_aRows, TakeAttributes(attributes, CELL_ATTRIBUTES));
    m_pOther->setText(Cp932ToQString(OtherAttributesText(attributes)));
}

std::string CCellDlg::GetOther() const
{
    return QStringToCp932(m_pOther->text().trimmed());
}

CCellFields CCellDlg::GetFields() const
{
    return FieldsOfRows(m_aRows);
}

void CHotLinkDlg::SetFile(const QString &strFile)
{
    m_pFile->setText(strFile);
}

void CImageDlg::SetFile(const QString &strFile)
{
    m_pFile->setText(strFile);
}
