// The dialogs that edit the attributes of a whole tag: the body (alone, or
// with the title as the frame of a new page), a table, an image and an
// anchor, the chooser of the tag kind, and the title. Each can be preset
// from an existing tag: the names it knows fill their fields, every other
// attribute goes into "その他" and is written back behind the known ones.
#pragma once

#include "html/tagattr.h"
#include "html/tagparse.h"
#include "html/ui/webdialogs.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// "ボディオプションの設定", or with a title field "HTML文章の設定".
class CBodyDlg : public QDialog
{
    Q_OBJECT

public:
    // bWithTitle: the dialog of the basic HTML frame, with strTitle preset.
    CBodyDlg(bool bWithTitle, const QString &strTitle, const std::string &strDocPath, QWidget *pParent = nullptr);
    // The fields of a body tag, or the usual colours (boxes cleared) for a
    // document without one (strBodyTag empty).
    void PresetFromTag(const std::string &strBodyTag);
    CBodyFields GetFields() const;
    std::string GetOther() const;
    // The attribute text with "その他" behind it.
    std::string GetAttributes() const;
    std::string GetTitle() const;

private:
    QLineEdit *m_pTitle = nullptr;
    CFieldRow m_bgColor;
    CFieldRow m_background;
    CFieldRow m_text;
    CFieldRow m_link;
    CFieldRow m_vLink;
    CFieldRow m_aLink;
    std::vector<CRowBinding<CBodyFields>> m_aRows;
    QLineEdit *m_pOther;
};

// "テーブルオプションの設定".
class CTableOptionDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CTableOptionDlg(QWidget *pParent = nullptr);
    void PresetFromTag(CTagAttributeMap attributes);
    std::string GetAttributes() const;

private:
    CFieldRow m_border;
    CFieldRow m_width;
    CFieldRow m_height;
    CFieldRow m_spacing;
    CFieldRow m_padding;
    CFieldRow m_align;
    CFieldRow m_bgColor;
    std::vector<CRowBinding<CTableFields>> m_aRows;
    QLineEdit *m_pOther;
};

// "ｲﾒｰｼﾞのｵﾌﾟｼｮﾝ設定".
class CImageOptionDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CImageOptionDlg(QWidget *pParent = nullptr);
    void PresetFromTag(CTagAttributeMap attributes);
    std::string GetAttributes() const;

private:
    CFieldRow m_src;
    CFieldRow m_alt;
    CFieldRow m_border;
    CFieldRow m_align;
    CFieldRow m_width;
    CFieldRow m_height;
    CFieldRow m_vSpace;
    CFieldRow m_hSpace;
    std::vector<CRowBinding<CImageOptionFields>> m_aRows;
    QLineEdit *m_pOther;
};

// "アンカーのオプション設定".
class CAnchorOptionDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAnchorOptionDlg(const std::string &strDocPath, QWidget *pParent = nullptr);
    void PresetFromTag(CTagAttributeMap attributes);
    std::string GetAttributes() const;

private:
    void EnableKinds();

    QCheckBox *m_pLink;
    QButtonGroup *m_pKinds;
    QLineEdit *m_pFile;
    CFieldRow m_folder;
    QLineEdit *m_pJump;
    QLineEdit *m_pBookmark;
    CFieldRow m_target;
    QLineEdit *m_pOther;
};

// "タグ属性の挿入": which tag to write when the caret stands in none the
// attribute dialogs know.
class CTagKindDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CTagKindDlg(QWidget *pParent = nullptr);
    // "body", "font", "table", "td", "img" or "a".
    std::string GetTagName() const;

private:
    QButtonGroup *m_pKinds;
};

// "タイトルの設定": one line.
class CTitleDlg : public QDialog
{
    Q_OBJECT

public:
    CTitleDlg(const QString &strTitle, QWidget *pParent = nullptr);
    std::string GetTitle() const;

private:
    QLineEdit *m_pTitle;
};
