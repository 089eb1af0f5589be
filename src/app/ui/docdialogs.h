// The document's dialogs: the font of its views ("フォント", fixed-pitch faces
// only) and the tab width ("タブストップの設定").
#pragma once

#include "ui/formdialog.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QSpinBox;

class CFontDlg : public QDialog
{
    Q_OBJECT

public:
    // A face that is not installed starts on the face the views fall back to.
    CFontDlg(const QString &strFace, int nPointSize, QWidget *pParent = nullptr);
    QString GetFace() const;
    int GetPointSize() const;
    void SetFace(const QString &strFace);
    void SetPointSize(int nPointSize);

    // The installed faces whose letters all have one width.
    static QStringList FixedPitchFaces();

private:
    void UpdatePreview();

    QListWidget *m_pFaces;
    QSpinBox *m_pSize;
    QLabel *m_pPreview;
};

class CTabStopDlg : public CNumberDlg
{
    Q_OBJECT

public:
    explicit CTabStopDlg(int nTabSize, QWidget *pParent = nullptr);
    int GetTabSize() const { return GetValue(); }
    void SetTabSize(int nTabSize) { SetValue(nTabSize); }
};
