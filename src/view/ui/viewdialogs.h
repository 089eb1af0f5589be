// The small dialogs of the view: the line jump ("ジャンプ") and the character
// code ("文字コード").
#pragma once

#include "ui/formdialog.h"

class QLineEdit;

class CGotoLineDlg : public CNumberDlg
{
    Q_OBJECT

public:
    // Asks for a line from 1 to nLineCount, proposing nLine.
    CGotoLineDlg(int nLine, int nLineCount, QWidget *pParent = nullptr);
    int GetLine() const { return GetValue(); }
    void SetLine(int nLine) { SetValue(nLine); }
};

class CCharCodeDlg : public QDialog
{
    Q_OBJECT

public:
    CCharCodeDlg(const QString &strChar, const QString &strCode, QWidget *pParent = nullptr);
    QString GetCharText() const;
    QString GetCodeText() const;

private:
    QLineEdit *m_pChar;
    QLineEdit *m_pCode;
};
