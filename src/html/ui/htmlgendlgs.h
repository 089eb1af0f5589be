// The dialogs of the HTML generators: the rows of the table vertical writing
// ("行数"), the colours of the gradation ("文字のグラデーション") with its
// live sample, and the separator of the table conversion
// ("<Table>タグをCSVに変換").
#pragma once

#include "html/htmlgen.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class CVerticalRowsDlg : public QDialog
{
    Q_OBJECT

public:
    CVerticalRowsDlg(bool bUseRows, int nRows, QWidget *pParent = nullptr);
    // 0 when the row count is not used.
    int GetRows() const;
    bool GetUseRows() const;

private:
    QCheckBox *m_pUseRows;
    QSpinBox *m_pRows;
};

class CGradationDlg : public QDialog
{
    Q_OBJECT

public:
    // strText: the text to colour when nothing is selected (UTF-8); the
    // field is only offered then.
    CGradationDlg(bool bTextField, CGradColor crFrom, CGradColor crTo, bool bRainbow, QWidget *pParent = nullptr);
    QString GetText() const;
    CGradColor GetFrom() const { return m_crFrom; }
    CGradColor GetTo() const { return m_crTo; }
    bool GetRainbow() const;
    void SetColors(CGradColor crFrom, CGradColor crTo);
    // The sample's markup as it stands (for tests and the sample itself).
    QString SampleHtml() const;

private:
    void ChooseColorFor(bool bFrom);
    void UpdateSample();

    QLineEdit *m_pText;
    QLabel *m_pSample;
    QCheckBox *m_pRainbow;
    QPushButton *m_pFrom;
    QPushButton *m_pTo;
    CGradColor m_crFrom;
    CGradColor m_crTo;
};

class CTableCsvDlg : public QDialog
{
    Q_OBJECT

public:
    CTableCsvDlg(int nSeparator, bool bEraseTags, QWidget *pParent = nullptr);
    int GetSeparator() const;
    bool GetEraseTags() const;

private:
    QComboBox *m_pSeparator;
    QCheckBox *m_pEraseTags;
};
