#include "app/ui/optionsdlg.h"

#include "app/ui/shellmenuswitch.h"
#include "templates/ui/templatedlg.h"
#include "templates/ui/templatepage.h"

#include "platform/ui/filedialogs.h"
#include "platform/ui/inputmethod.h"
#include "platform/ui/msgbox.h"
#include "text/filecode.h"
#include "ui/colorbutton.h"
#include "view/ui/crystaltextview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The colour buttons in the order the display page shows them, with their labels.
struct CColorRow
{
    int nSetting;
    const char *pszLabel;
};
constexpr CColorRow COLOR_ROWS[] = {
    {CLR_PREPRO, "<# プリプロセッサー>"},
    {CLR_TAGOPTION, "< HTMLタグ属性 >"},
    {CLR_TAG, "< HTMLのタグﾞ >"},
    {CLR_NUMBER, "C言語数値1,2,3,0xFF"},
    {CLR_COMMENT, "/* コメント文字列 */"},
    {CLR_KEYWORD, "キーワードテキスト"},
    {CLR_KEYWORD2, "キーワードテキスト2"},
    {CLR_STRING, "\"文字列\", '文字列'"},
    {CLR_OPERATOR, "オペレーター ( + = - ... )"},
    {CLR_SELBKGND, "選択痔の背景カラー"},
    {CLR_SELTEXT, "選択時のテキストカラー"},
    {CLR_NORMALTEXT, "ノーマルテキストカラー"},
    {CLR_SELMARGIN, "左マージンカラー"},
    {CLR_BKGND, "テキスト背景カラー"},
};

QString Text(const std::string &str)
{
    return QString::fromStdString(str);
}

// With no input method running there is nothing the option could switch on;
// its stored value is kept as it is.
void ShowInputMethodState(QCheckBox *pCheck, EInputMethodKind eKind)
{
    const bool bNone = eKind == IMK_NONE;
    pCheck->setEnabled(!bNone);
    pCheck->setToolTip(bNone ? QStringLiteral("入力メソッド (fcitx5 または IBus) が起動していないため、使えません。")
                             : QString());
}

} // namespace

COptionsSheet::COptionsSheet(const COptionsData &data, const CSystemColors &sys, QWidget *pParent)
    : QDialog(pParent), m_sys(sys)
{
    setWindowTitle(QStringLiteral("オプション"));
    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("optionsPages"));
    m_pTabs->addTab(CreateGeneralPage(data), QStringLiteral("全般の設定"));
    m_pTabs->addTab(CreateWebPage(data), QStringLiteral("Webの設定"));
    m_pTabs->addTab(CreateTemplatesPage(), QStringLiteral("ﾃﾝﾌﾟﾚｰﾄの編集"));
    m_pTabs->addTab(CreateDisplayPage(data), QStringLiteral("表示の設定"));
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTabs);
    pLayout->addWidget(pButtons);
}

QCheckBox *COptionsSheet::AddCheck(QWidget *pPage, const char *pszName, const char *pszLabel, bool bChecked)
{
    auto *pCheck = new QCheckBox(QString::fromUtf8(pszLabel), pPage);
    pCheck->setObjectName(QString::fromUtf8(pszName));
    pCheck->setChecked(bChecked);
    return pCheck;
}

QWidget *COptionsSheet::CreateGeneralPage(const COptionsData &data)
{
    auto *pPage = new QWidget;
    pPage->setObjectName(QStringLiteral("generalPage"));
    m_pOpenNewFile = AddCheck(pPage, "openNewFile", "起動時に新規ファイルを開く。", data.bOpenNewFile);
    m_pOpenFileMax = AddCheck(pPage, "openFileMax", "ファイルを開いた後に最大化する", data.bOpenFileMax);
    m_pRestoreSession =
        AddCheck(pPage, "restoreSession", "終了時のファイルを次回起動時に開く", data.bRestoreSession);
    m_pAutoDragOpen = AddCheck(pPage, "autoDragOpen", "ドラッグされたファイルは自動で開く", data.bAutoDragOpen);
    m_pAutoEnter = AddCheck(pPage, "autoEnter", "オートインデントを有効にする", data.bAutoEnter);
    m_pShowSplash = AddCheck(pPage, "showSplash", "スプラッシュウィンドウの表示", data.bShowSplash);
    m_pIMEModeON = AddCheck(pPage, "imeModeOn", "起動時にIMEﾓｰﾄﾞをONにする", data.bIMEModeON);
    // Shown as last known at once, then as the input method answers now.
    CInputMethodSwitch &inputMethod = InputMethodSwitch();
    ShowInputMethodState(m_pIMEModeON, inputMethod.Running());
    connect(&inputMethod, &CInputMethodSwitch::Detected, m_pIMEModeON,
            [pCheck = m_pIMEModeON](EInputMethodKind eKind) { ShowInputMethodState(pCheck, eKind); });
    inputMethod.Detect();
    m_pNotNewAppCreate =
        AddCheck(pPage, "notNewAppCreate", "２重起動をしない ※次回新規起動から有効", data.bNotNewAppCreate);
    // The file manager's menu; nothing to switch where no file manager reads it.
    m_pUseShellMenu = AddCheck(pPage, "useShellMenu", "エクスプローラーのメニューに追加する", data.bUseWpShMenu);
    m_pUseShellMenu->setEnabled(IsShellMenuSupported());
    m_pShowTrayIcon = AddCheck(pPage, "showTrayIcon", "トレイアイコンを表示する", data.bShowTrayIcon);
    m_pAutoReload =
        AddCheck(pPage, "autoReload", "他のプログラムで変更されたファイルを自動で再読み込みする", data.bAutoReload);

    m_pMRUCount = new QLineEdit(QString::number(data.nMRUCount), pPage);
    m_pMRUCount->setObjectName(QStringLiteral("mruCount"));
    m_pMRUCount->setMaxLength(2);
    m_pMRUCount->setFixedWidth(48);
    m_pNowDate = new QComboBox(pPage);
    m_pNowDate->setObjectName(QStringLiteral("dateFormat"));
    m_pNowDate->setEditable(true);
    for (const std::string &strFormat : DateFormatChoices())
        m_pNowDate->addItem(Text(strFormat));
    m_pNowDate->setEditText(Text(data.strNowDate));
    m_pNewFileCode = new QComboBox(pPage);
    m_pNewFileCode->setObjectName(QStringLiteral("newFileCode"));
    for (int i = 0; i < TEXT_CODE_COUNT; ++i) {
        const auto eCode = static_cast<ETextCode>(i);
        m_pNewFileCode->addItem(QString::fromUtf8(TextCodeLabel(eCode)), QString::fromLatin1(TextCodeTag(eCode)));
    }
    ETextCode eNewCode = ETextCode::Sjis;
    ParseTextCodeTag(data.strNewFileCode, eNewCode);
    m_pNewFileCode->setCurrentIndex(static_cast<int>(eNewCode));
    m_pExtensions = new QLineEdit(Text(data.strUseWrenpadExtension), pPage);
    m_pExtensions->setObjectName(QStringLiteral("extensions"));

    auto *pMru = new QHBoxLayout;
    pMru->addWidget(m_pMRUCount);
    pMru->addWidget(new QLabel(QStringLiteral("※次回起動から有効"), pPage));
    pMru->addStretch(1);
    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("ファイル履歴を表示する数"), pMru);
    pForm->addRow(QStringLiteral("日付挿入に使用する形式"), m_pNowDate);
    pForm->addRow(QStringLiteral("拡張子の関連付け"), m_pExtensions);
    pForm->addRow(QStringLiteral("新規ファイルの文字コード"), m_pNewFileCode);

    auto *pLayout = new QVBoxLayout(pPage);
    for (QCheckBox *pCheck : {m_pOpenNewFile, m_pOpenFileMax, m_pRestoreSession, m_pAutoDragOpen, m_pAutoEnter, m_pShowSplash,
                              m_pIMEModeON, m_pNotNewAppCreate, m_pAutoReload})
        pLayout->addWidget(pCheck);
    pLayout->addLayout(pForm);
    pLayout->addWidget(m_pUseShellMenu);
    pLayout->addWidget(m_pShowTrayIcon);
    pLayout->addStretch(1);
    return pPage;
}

QWidget *COptionsSheet::CreateWebPage(const COptionsData &data)
{
    auto *pPage = new QWidget;
    pPage->setObjectName(QStringLiteral("webPage"));
    auto *pCase = new QGroupBox(QStringLiteral("挿入タグの大文字／小文字"), pPage);
    m_pTagLower = new QRadioButton(QStringLiteral("デフォルト(小文字)"), pCase);
    m_pTagLower->setObjectName(QStringLiteral("tagLower"));
    m_pTagUpper = new QRadioButton(QStringLiteral("大文字にする"), pCase);
    m_pTagUpper->setObjectName(QStringLiteral("tagUpper"));
    (data.bTagState ? m_pTagUpper : m_pTagLower)->setChecked(true);
    auto *pCaseLayout = new QHBoxLayout(pCase);
    pCaseLayout->addWidget(m_pTagLower);
    pCaseLayout->addWidget(m_pTagUpper);
    pCaseLayout->addStretch(1);

    m_pWebNoSelectTag = AddCheck(pPage, "webNoSelectTag", "タグ挿入後に一切選択しない。", data.bWebNoSelectTag);
    m_pWebBrEn = AddCheck(pPage, "webBrEn", "<BR>タグ挿入後に改行する。", data.bWebBrEn);
    m_pWebPOnly = AddCheck(pPage, "webPOnly", "<P>タグは、挟まないで単独で使用する。", data.bWebPOnly);

    auto *pBrowsers = new QGroupBox(QStringLiteral("使用するブラウザー"), pPage);
    auto *pGrid = new QGridLayout(pBrowsers);
    const std::array<const std::string *, 3> aPaths = {&data.strUseBrowser, &data.strUseBrowser3, &data.strUseBrowser4};
    const char *const apszNumbers[] = {"１．", "２．", "３．"};
    for (int i = 0; i < 3; ++i) {
        auto *pEdit = new QLineEdit(Text(*aPaths[static_cast<std::size_t>(i)]), pBrowsers);
        pEdit->setObjectName(QStringLiteral("browser%1").arg(i + 1));
        auto *pBrowse = new QPushButton(QStringLiteral("参照"), pBrowsers);
        pBrowse->setObjectName(QStringLiteral("browse%1").arg(i + 1));
        connect(pBrowse, &QPushButton::clicked, this, [this, pEdit] { BrowseFor(pEdit); });
        pGrid->addWidget(new QLabel(QString::fromUtf8(apszNumbers[i]), pBrowsers), i, 0);
        pGrid->addWidget(pEdit, i, 1);
        pGrid->addWidget(pBrowse, i, 2);
        m_aBrowsers[static_cast<std::size_t>(i)] = pEdit;
    }
    m_pAutoTempoBrowse = AddCheck(pPage, "autoTempoBrowse", "未保存の場合、自動でテンポラリーからブラウズする。",
                                  data.bAutoTempoBrowse);
    m_pPreviewAutoUpdate = AddCheck(pPage, "previewAutoUpdate", "入力中に自動更新", data.bPreviewAutoUpdate);
    m_pPreviewAutoUpdate->setToolTip(
        QStringLiteral("ﾌﾞﾗｳｻﾞｰﾊﾞｰに表示中のﾌｧｲﾙを、入力が止まって約1秒後にテンポラリーから表示し直します。"));

    auto *pLayout = new QVBoxLayout(pPage);
    pLayout->addWidget(pCase);
    pLayout->addWidget(m_pWebNoSelectTag);
    pLayout->addWidget(m_pWebBrEn);
    pLayout->addWidget(m_pWebPOnly);
    pLayout->addWidget(pBrowsers);
    pLayout->addWidget(m_pAutoTempoBrowse);
    pLayout->addWidget(m_pPreviewAutoUpdate);
    pLayout->addStretch(1);
    return pPage;
}

void COptionsSheet::BrowseFor(QLineEdit *pEdit)
{
    CFileDialogRequest request;
    request.aFilters << QStringLiteral("Exe Files (*.exe)") << QStringLiteral("All Files (*)");
    // Programs here carry no extension, so the list starts on all files.
    request.nFilterIndex = 2;
    request.strFileName = pEdit->text();
    const QStringList files = RunFileDialog(this, request);
    if (!files.isEmpty())
        pEdit->setText(files.first());
}

QWidget *COptionsSheet::CreateTemplatesPage()
{
    m_pTemplates = new CTemplatesPage(TemplateFolder());
    return m_pTemplates;
}

QWidget *COptionsSheet::CreateDisplayPage(const COptionsData &data)
{
    auto *pPage = new QWidget;
    pPage->setObjectName(QStringLiteral("displayPage"));
    auto *pColors = new QGroupBox(QStringLiteral("カラーの設定"), pPage);
    auto *pGrid = new QGridLayout(pColors);
    int nRow = 0;
    for (const CColorRow &row : COLOR_ROWS) {
        auto *pButton = new CColorButton(pColors);
        pButton->setObjectName(QStringLiteral("color_%1").arg(QLatin1String(ColorSettingInfo(row.nSetting).pszEntry)));
        const QColor color = ColorFromRef(data.crColors[static_cast<std::size_t>(row.nSetting)]);
        pButton->SetColor(color);
        pButton->SetResetColor(color);
        m_aColors[static_cast<std::size_t>(row.nSetting)] = pButton;
        pGrid->addWidget(new QLabel(QString::fromUtf8(row.pszLabel), pColors), nRow / 2, (nRow % 2) * 2);
        pGrid->addWidget(pButton, nRow / 2, (nRow % 2) * 2 + 1);
        ++nRow;
    }
    auto *pDefault = new QPushButton(QStringLiteral("初期設定(&S)"), pPage);
    pDefault->setObjectName(QStringLiteral("presetDefault"));
    connect(pDefault, &QPushButton::clicked, this, [this] { ApplyPreset(PRESET_DEFAULT); });
    auto *pDos = new QPushButton(QStringLiteral("&DOS風"), pPage);
    pDos->setObjectName(QStringLiteral("presetDos"));
    connect(pDos, &QPushButton::clicked, this, [this] { ApplyPreset(PRESET_DOS); });
    auto *pPresets = new QHBoxLayout;
    pPresets->addStretch(1);
    pPresets->addWidget(pDefault);
    pPresets->addWidget(pDos);

    m_pViewTab = AddCheck(pPage, "viewTab", "タブマークの表示する", data.bViewTab);
    m_pViewReturn = AddCheck(pPage, "viewReturn", "改行マークの表示する", data.bViewReturn);
    m_pViewZenSpace = AddCheck(pPage, "viewZenSpace", "全角ｽﾍﾟｰｽの表示する", data.bViewZenSpace);

    auto *pLayout = new QVBoxLayout(pPage);
    pLayout->addWidget(pColors);
    pLayout->addLayout(pPresets);
    pLayout->addWidget(m_pViewTab);
    pLayout->addWidget(m_pViewReturn);
    pLayout->addWidget(m_pViewZenSpace);
    pLayout->addStretch(1);
    return pPage;
}

void COptionsSheet::ApplyPreset(EColorPreset ePreset)
{
    for (int i = 0; i < CLR_COUNT; ++i) {
        const QColor color = ColorFromRef(PresetColor(ePreset, i, m_sys));
        CColorButton *pButton = m_aColors[static_cast<std::size_t>(i)];
        pButton->SetColor(color);
        pButton->SetResetColor(color);
    }
}

void COptionsSheet::accept()
{
    int nCount = 0;
    if (!IsValidMruCountText(m_pMRUCount->text().trimmed().toStdString(), nCount)) {
        MessageBox(this, QStringLiteral("0 から 16 までの整数を入力してください。"), QString(), MB_OK | MB_ICONEXCLAMATION);
        m_pTabs->setCurrentIndex(0);
        m_pMRUCount->setFocus();
        m_pMRUCount->selectAll();
        return;
    }
    QDialog::accept();
}

COptionsData COptionsSheet::GetData() const
{
    COptionsData data;
    data.bOpenNewFile = m_pOpenNewFile->isChecked();
    data.bOpenFileMax = m_pOpenFileMax->isChecked();
    data.bRestoreSession = m_pRestoreSession->isChecked();
    data.bAutoDragOpen = m_pAutoDragOpen->isChecked();
    data.bAutoEnter = m_pAutoEnter->isChecked();
    data.bShowSplash = m_pShowSplash->isChecked();
    data.bIMEModeON = m_pIMEModeON->isChecked();
    data.bNotNewAppCreate = m_pNotNewAppCreate->isChecked();
    int nCount = 4;
    if (IsValidMruCountText(m_pMRUCount->text().trimmed().toStdString(), nCount))
        data.nMRUCount = nCount;
    data.strNowDate = m_pNowDate->currentText().toStdString();
    data.strUseWrenpadExtension = m_pExtensions->text().toStdString();
    data.bUseWpShMenu = m_pUseShellMenu->isChecked();
    data.bShowTrayIcon = m_pShowTrayIcon->isChecked();
    data.bAutoReload = m_pAutoReload->isChecked();
    data.strNewFileCode = m_pNewFileCode->currentData().toString().toStdString();

    data.bTagState = !m_pTagLower->isChecked();
    data.bWebNoSelectTag = m_pWebNoSelectTag->isChecked();
    data.bWebBrEn = m_pWebBrEn->isChecked();
    data.bWebPOnly = m_pWebPOnly->isChecked();
    data.strUseBrowser = m_aBrowsers[0]->text().toStdString();
    data.strUseBrowser3 = m_aBrowsers[1]->text().toStdString();
    data.strUseBrowser4 = m_aBrowsers[2]->text().toStdString();
    data.bAutoTempoBrowse = m_pAutoTempoBrowse->isChecked();
    data.bPreviewAutoUpdate = m_pPreviewAutoUpdate->isChecked();

    for (int i = 0; i < CLR_COUNT; ++i)
        data.crColors[static_cast<std::size_t>(i)] = RefFromColor(m_aColors[static_cast<std::size_t>(i)]->GetColor());
    data.bViewTab = m_pViewTab->isChecked();
    data.bViewReturn = m_pViewReturn->isChecked();
    data.bViewZenSpace = m_pViewZenSpace->isChecked();
    return data;
}
