// The dialogs of the web commands. The attribute dialogs hand back their
// fields as the document's Shift-JIS bytes; what markup the fields make is
// composed in html/tagattr. Every field has an object name for the tests.
#pragma once

#include "html/lineinsert.h"
#include "html/tagattr.h"
#include "html/tagparse.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// A check box that enables the widgets of its field.
class CFieldRow
{
public:
    CFieldRow() = default;
    CFieldRow(QCheckBox *pCheck, QWidget *pField) : m_pCheck(pCheck), m_pField(pField) {}
    // Ticks the box when the preset value is not empty.
    void Preset(const QString &strValue) const;
    // The field's bytes, the box ticked as the field says.
    void Preset(const CAttrField &field) const;
    bool IsOn() const;
    QString Text() const;
    // The field as the document's bytes, behind its check box.
    CAttrField Field() const;
    QCheckBox *GetCheck() const { return m_pCheck; }

private:
    void Show(const QString &strValue, bool bOn) const;

    QCheckBox *m_pCheck = nullptr;
    QWidget *m_pField = nullptr;  // a line edit or a combo box
};

// Which row of a dialog edits which field of the record that its tag's
// attribute table fills: read into the record, and preset from one.
template <typename Fields>
struct CRowBinding
{
    CAttrField Fields::*pField;
    const CFieldRow *pRow;
};

template <typename Fields>
Fields FieldsOfRows(const std::vector<CRowBinding<Fields>> &aRows)
{
    Fields fields{};
    for (const CRowBinding<Fields> &row : aRows)
        fields.*row.pField = row.pRow->Field();
    return fields;
}

template <typename Fields>
void PresetRows(const std::vector<CRowBinding<Fields>> &aRows, const Fields &fields)
{
    for (const CRowBinding<Fields> &row : aRows)
        row.pRow->Preset(fields.*row.pField);
}

// "ホットリンクの設定".
class CHotLinkDlg : public QDialog
{
    Q_OBJECT

public:
    // strDocPath: the page being edited, which "参照" makes the link relative to.
    explicit CHotLinkDlg(const std::string &strDocPath = std::string(), QWidget *pParent = nullptr);
    CHotLinkFields GetFields() const;
    // The link's file as the field shows it (a dropped file's relative path).
    void SetFile(const QString &strFile);

private:
    QLineEdit *m_pFile;
    CFieldRow m_folder;
    CFieldRow m_target;
};

// "ブックマークの設定" and "ジャンプの設定": one name.
class CAnchorNameDlg : public QDialog
{
    Q_OBJECT

public:
    CAnchorNameDlg(const QString &strTitle, const QString &strLabel, QWidget *pParent = nullptr);
    std::string GetName() const;

private:
    QLineEdit *m_pName;
};

// "フォントタグの設定", preset with the last face and colour and the size "3".
class CFontTagDlg : public QDialog
{
    Q_OBJECT

public:
    CFontTagDlg(const QString &strFace, const QString &strColor, QWidget *pParent = nullptr);
    // Size, colour and face from an existing tag; the rest into "その他".
    // Also hides the style boxes: an existing tag gets attributes only.
    void PresetFromTag(CTagAttributeMap attributes);
    CFontTagFields GetFields() const;
    std::string GetOther() const;
    CFontStyles GetStyles() const;
    // What the face and colour settings keep: empty for "(なし)" or an unticked box.
    QString GetFaceSetting() const;
    QString GetColorSetting() const;

private:
    CFieldRow m_size;
    CFieldRow m_color;
    CFieldRow m_face;
    std::vector<CRowBinding<CFontTagFields>> m_aRows;
    QComboBox *m_pFace;
    QLineEdit *m_pOther;
    QCheckBox *m_pBold;
    QCheckBox *m_pItalic;
    QCheckBox *m_pUnderline;
    QCheckBox *m_pStrike;
};

// "見出しの設定": a size "1"-"6" and an optional position.
class CHeadingDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CHeadingDlg(QWidget *pParent = nullptr);
    CTagTexts GetTagTexts() const;

private:
    QComboBox *m_pSize;
    CFieldRow m_align;
};

// "<P>タグの設定": whether to wrap, and the alignment.
class CParagraphDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CParagraphDlg(QWidget *pParent = nullptr);
    bool IsWrap() const;
    std::string GetAlign() const;

private:
    QCheckBox *m_pWrap;
    QComboBox *m_pAlign;
};

// "タグの設定" of the class tag: two editable lists kept in the settings.
class CClassTagDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CClassTagDlg(QWidget *pParent = nullptr);
    std::string GetTag() const;
    std::string GetClass() const;
    // Writes both lists back, the typed texts first.
    void SaveLists() const;

private:
    QComboBox *m_pTag;
    QComboBox *m_pClass;
};

// "罫線の設定".
class CRuleDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CRuleDlg(QWidget *pParent = nullptr);
    CRuleFields GetFields() const;

private:
    CFieldRow m_size;
    CFieldRow m_width;
    QComboBox *m_pUnit;
    CFieldRow m_align;
};

// "イメージファイルの設定".
class CImageDlg : public QDialog
{
    Q_OBJECT

public:
    // strDocPath: the document's file, which a relative image file is found
    // beside (empty for an unnamed document).
    explicit CImageDlg(const std::string &strDocPath = std::string(), QWidget *pParent = nullptr);
    CImageFields GetFields() const;
    void SetFile(const QString &strFile);

private:
    // "画像ｻｲｽﾞ": the width and height of the image file, through the image plug-in.
    void OnImageSize();

    std::string m_strDocPath;
    QPushButton *m_pImageSize;
    QLineEdit *m_pFile;
    CFieldRow m_folder;
    QLineEdit *m_pName;
    CFieldRow m_width;
    CFieldRow m_height;
    QCheckBox *m_pNoBorder;
};

// "テーブルセルの設定".
class CCellDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CCellDlg(QWidget *pParent = nullptr);
    void PresetFromTag(CTagAttributeMap attributes);
    CCellFields GetFields() const;
    std::string GetOther() const;

private:
    QLineEdit *m_pOther;
    CFieldRow m_width;
    CFieldRow m_height;
    CFieldRow m_colSpan;
    CFieldRow m_rowSpan;
    CFieldRow m_align;
    CFieldRow m_vAlign;
    CFieldRow m_color;
    std::vector<CRowBinding<CCellFields>> m_aRows;
};

// "範囲行に文字挿入": what goes at the start and at the end of every line.
class CLineInsertDlg : public QDialog
{
    Q_OBJECT

public:
    CLineInsertDlg(const QString &strHeadText, const QString &strTailText, QWidget *pParent = nullptr);
    // The comment block: the head's own text at every line start, nothing at the end.
    void PresetCommentBlock();
    bool IsHeadOn() const;
    bool IsTailOn() const;
    ELinePiece GetHeadKind() const;
    ELinePiece GetTailKind() const;
    int GetHeadCount() const;
    int GetTailCount() const;
    QString GetHeadText() const;
    QString GetTailText() const;

private:
    struct CSide
    {
        QCheckBox *pCheck = nullptr;
        QComboBox *pKind = nullptr;
        QSpinBox *pCount = nullptr;
        QLineEdit *pText = nullptr;
    };
    CSide AddSide(QGridLayout *pGrid, int nRow, const QString &strLabel, const QString &strName,
                  const QString &strText);
    CSide m_head;
    CSide m_tail;
};

// "ﾀｸﾞの設定": inserted tags in lower or upper case.
class CTagCaseDlg : public QDialog
{
    Q_OBJECT

public:
    CTagCaseDlg(bool bUpper, QWidget *pParent = nullptr);
    bool IsUpperCase() const;

private:
    QRadioButton *m_pLower;
    QRadioButton *m_pUpper;
};
