// "ファイルの分割": chooses a file, a destination folder and a part size,
// and splits; it stays open after each split until "閉じる(&C)".
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

class CFileSplitDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CFileSplitDlg(QWidget *pParent = nullptr);

    QString GetFileName() const;
    void SetFileName(const QString &strPath);
    QString GetDestFolder() const;
    void SetDestFolder(const QString &strFolder);
    // 0 720KB, 1 1.25MB, 2 1.44MB; -1 when none is chosen.
    int GetSizeIndex() const;
    void SetSizeIndex(int nIndex);

    // "分割(&V)": splits with the values shown and reports the result.
    void OnSplit();
    void OnBrowseFile();
    void OnBrowseDest();

private:
    QLineEdit *m_pFileName;
    QLineEdit *m_pDestFolder;
    QRadioButton *m_apSize[3];
};
