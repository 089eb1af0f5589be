// "テーブル": the table editor. A grid of the table's cells with buttons to
// add and delete rows and columns, align cells and colour them; OK gives
// the table as HTML or as separated text.
#pragma once

#include <QDialog>

#include <string>

class CGridCtrl;
class QComboBox;
class QLineEdit;

// What the editor opens on: a new table of a size, or separated text.
struct CTableEditSetup
{
    int nRows = 1;
    int nCols = 1;
    std::string strSource;  // selected text to edit; empty for a new table
    int nSeparator = 0;     // how strSource is separated: 0 comma, 1 tab, 2 blank
    QString strWidth;
    QString strBorder;
};

class CTableEditDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CTableEditDlg(const CTableEditSetup &setup, QWidget *pParent = nullptr);

    CGridCtrl *GetGrid() const { return m_pGrid; }
    // The table in the chosen format after OK; empty until then and after Cancel.
    const std::string &GetResult() const { return m_strResult; }

    void OnInsertRow();
    void OnInsertColumn();
    void OnDeleteRows();
    void OnDeleteColumns();

public slots:
    void accept() override;
    void reject() override;

private:
    void ChooseCellColor(bool bBack);
    void ChooseGridColor(bool bBack);

    CGridCtrl *m_pGrid;
    QComboBox *m_pFormat;
    QLineEdit *m_pWidth;
    QLineEdit *m_pBorder;
    std::string m_strResult;
};
