// "ファイルのドラッグ": what to do with a file dropped on the editing view.
// The dialog is shown once per file of a drop and keeps the last choice.
#pragma once

#include <QDialog>

class QButtonGroup;
class QLabel;

enum EDropChoice
{
    DROP_OPEN = 0,
    DROP_DUMP = 1,
    DROP_IMPORT = 2,
    DROP_INSERT_TEXT = 3,
    DROP_INSERT_NAME = 4,
    DROP_INSERT_PATH = 5,
    DROP_IMAGE_TAG = 6,
    DROP_LINK_TAG = 7,
    DROP_CHOICE_COUNT = 8,
};

class CDropFileDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDropFileDlg(QWidget *pParent = nullptr);
    // The checked button; set before each showing, read after it.
    int m_nChoice = DROP_OPEN;
    // The file the dialog is about (shown above the choices).
    void SetFileName(const QString &strName);

protected:
    void showEvent(QShowEvent *pEvent) override;
    void done(int nResult) override;

private:
    QButtonGroup *m_pGroup;
    QLabel *m_pFile;
};
