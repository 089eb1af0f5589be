// The dialogs of the text conversions: the line width of "指定文字数で改行"
// ("文字数") and the line-head text that "先頭のｺﾒﾝﾄ削除" removes ("行頭文字削除").
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

class CBreakWidthDlg : public QDialog
{
    Q_OBJECT

public:
    CBreakWidthDlg(int nWidth, bool bKinsoku, QWidget *pParent = nullptr);
    int GetWidth() const;
    bool GetKinsoku() const;
    void SetWidth(int nWidth);
    void SetKinsoku(bool bKinsoku);

private:
    QSpinBox *m_pWidth;
    QCheckBox *m_pKinsoku;
};

class CLinePrefixDlg : public QDialog
{
    Q_OBJECT

public:
    CLinePrefixDlg(const QString &strPrefix, QWidget *pParent = nullptr);
    QString GetPrefix() const;
    bool GetBlanksFirst() const;
    void SetPrefix(const QString &strPrefix);
    void SetBlanksFirst(bool bBlanksFirst);

private:
    QComboBox *m_pPrefix;
    QCheckBox *m_pBlanksFirst;
};
