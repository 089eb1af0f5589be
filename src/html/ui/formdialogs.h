// The dialogs of the list, table and form commands: the list kinds, the size
// of a new table and the choice of what to do with a selected one, and the
// form tags. Fields come back as the document's Shift-JIS bytes in the
// structures the markup is composed from (html/listbuild).
#pragma once

#include "html/listbuild.h"

#include <QDialog>

#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

// "箇条書きの設定": disc, circle or square.
class CBulletListDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CBulletListDlg(QWidget *pParent = nullptr);
    std::string GetType() const;

private:
    QButtonGroup *m_pTypes;
};

// "番号付き箇条書きの設定": the numbering kind and the first number.
class CNumberedListDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CNumberedListDlg(QWidget *pParent = nullptr);
    std::string GetType() const;
    int GetStart() const;

private:
    QButtonGroup *m_pTypes;
    QSpinBox *m_pStart;
};

// "テーブルの設定": the size of a new table and its width and border.
class CTableSizeDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CTableSizeDlg(QWidget *pParent = nullptr);
    int GetColumns() const;
    int GetRows() const;
    QString GetWidth() const;
    QString GetBorder() const;

private:
    QSpinBox *m_pCols;
    QSpinBox *m_pRows;
    QLineEdit *m_pWidth;
    QLineEdit *m_pBorder;
};

// "テーブルタグの挿入": what to make of a selection. exec() gives one of the
// results below (0 for "ｷｬﾝｾﾙ").
class CTableInsertDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        TABLEINSERT_AUTO = 1,
        TABLEINSERT_TAGS = 2,
        TABLEINSERT_GRID = 3,
    };
    explicit CTableInsertDlg(QWidget *pParent = nullptr);
    // 0 comma, 1 tab, 2 blank.
    int GetSeparator() const;

private:
    QComboBox *m_pSeparator;
};

// "フォームタグ": the address the form is sent to.
class CFormTagDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CFormTagDlg(QWidget *pParent = nullptr);
    std::string GetUrl() const;

private:
    QLineEdit *m_pUrl;
};

// "ﾌｫｰﾑ標準入力": choosing a type re-labels the captions and enables the
// fields that apply to it.
class CFormInputDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CFormInputDlg(QWidget *pParent = nullptr);
    CFormInputFields GetFields() const;

private:
    void OnTypeChanged();

    QButtonGroup *m_pTypes;
    QLabel *m_pTitleCaption;
    QLabel *m_pNameCaption;
    QLabel *m_pValueCaption;
    QLineEdit *m_pTitle;
    QLineEdit *m_pName;
    QLineEdit *m_pValue;
    QCheckBox *m_pLengthCheck;
    QSpinBox *m_pLength;
    QCheckBox *m_pChecked;
};

// "フォームテキストエリア".
class CTextAreaDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CTextAreaDlg(QWidget *pParent = nullptr);
    CTextAreaFields GetFields() const;

private:
    QLineEdit *m_pTitle;
    QLineEdit *m_pName;
    QCheckBox *m_pColsCheck;
    QSpinBox *m_pCols;
    QCheckBox *m_pRowsCheck;
    QSpinBox *m_pRows;
    QLineEdit *m_pDefault;
};

// "リスト項目の編集": one item of a list box.
class CListItemDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CListItemDlg(const CListBoxItem &item, QWidget *pParent = nullptr);
    CListBoxItem GetItem() const;

private:
    QLineEdit *m_pText;
    QLineEdit *m_pKeyword;
    QCheckBox *m_pSelected;
};

// "フォームリストボックス" with its item list.
class CListBoxDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CListBoxDlg(QWidget *pParent = nullptr);
    CListBoxFields GetFields() const;

private:
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnMove(int nBy);
    void RefreshList(int nCurrent);

    QLineEdit *m_pTitle;
    QLineEdit *m_pName;
    QCheckBox *m_pSizeCheck;
    QSpinBox *m_pSize;
    QCheckBox *m_pMultiple;
    QListWidget *m_pList;
    // Display text, keyword and selected flag of each item, in list order.
    std::vector<CListBoxItem> m_aItems;
};
