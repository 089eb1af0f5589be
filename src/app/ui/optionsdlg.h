// The options sheet ("オプション"): the general, web, templates and display
// pages. It edits a copy of the values; the caller writes them on OK.
#pragma once

#include "app/appoptions.h"

#include <QDialog>

#include <array>

class CColorButton;
class CTemplatesPage;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;

class COptionsSheet : public QDialog
{
    Q_OBJECT

public:
    COptionsSheet(const COptionsData &data, const CSystemColors &sys, QWidget *pParent = nullptr);

    // The values as the pages show them.
    COptionsData GetData() const;
    QTabWidget *GetTabs() const { return m_pTabs; }

    void accept() override;

private:
    QWidget *CreateGeneralPage(const COptionsData &data);
    QWidget *CreateWebPage(const COptionsData &data);
    QWidget *CreateTemplatesPage();
    QWidget *CreateDisplayPage(const COptionsData &data);
    QCheckBox *AddCheck(QWidget *pPage, const char *pszName, const char *pszLabel, bool bChecked);
    void ApplyPreset(EColorPreset ePreset);
    void BrowseFor(QLineEdit *pEdit);

    CSystemColors m_sys;
    QTabWidget *m_pTabs;

    // General page.
    QCheckBox *m_pOpenNewFile;
    QCheckBox *m_pOpenFileMax;
    QCheckBox *m_pRestoreSession;
    QCheckBox *m_pAutoDragOpen;
    QCheckBox *m_pAutoEnter;
    QCheckBox *m_pShowSplash;
    QCheckBox *m_pIMEModeON;
    QCheckBox *m_pNotNewAppCreate;
    QLineEdit *m_pMRUCount;
    QComboBox *m_pNowDate;
    QLineEdit *m_pExtensions;
    QCheckBox *m_pUseShellMenu;
    QCheckBox *m_pShowTrayIcon;
    QComboBox *m_pNewFileCode = nullptr;
    QCheckBox *m_pAutoReload;

    // Web page.
    QRadioButton *m_pTagLower;
    QRadioButton *m_pTagUpper;
    QCheckBox *m_pWebNoSelectTag;
    QCheckBox *m_pWebBrEn;
    QCheckBox *m_pWebPOnly;
    std::array<QLineEdit *, 3> m_aBrowsers{};
    QCheckBox *m_pAutoTempoBrowse;
    QCheckBox *m_pPreviewAutoUpdate;

    // Templates page.
    CTemplatesPage *m_pTemplates;

    // Display page.
    std::array<CColorButton *, CLR_COUNT> m_aColors{};
    QCheckBox *m_pViewTab;
    QCheckBox *m_pViewReturn;
    QCheckBox *m_pViewZenSpace;
};
