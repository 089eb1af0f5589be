// The two template dialogs: choosing a template ("ﾃﾝﾌﾟﾚｰﾄの選択", with a
// preview of the chosen one) and naming one ("ﾃﾝﾌﾟﾚｰﾄの登録").
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class CPreviewEngine;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QStackedLayout;

// The template folder, created when missing; empty when it cannot be.
QString TemplateFolder();

class CTemplateSelectDlg : public QDialog
{
    Q_OBJECT

public:
    // Lists the templates of the folder.
    explicit CTemplateSelectDlg(const QString &strFolder, QWidget *pParent = nullptr);
    ~CTemplateSelectDlg() override;

    // The chosen template's file name.
    QString GetName() const { return m_strName; }
    QListWidget *GetList() const { return m_pList; }
    QCheckBox *GetPreviewCheck() const { return m_pPreview; }
    // The page view, made when the first template is previewed; null before.
    CPreviewEngine *GetPreviewEngine() const { return m_pEngine.get(); }

    // OK: with no template chosen the dialog beeps and stays.
    void accept() override;

private:
    QListWidgetItem *SelectedItem() const;
    void OnSelectionChanged();

    QString m_strFolder;
    QString m_strName;
    QListWidget *m_pList;
    QCheckBox *m_pPreview;
    QWidget *m_pPreviewArea;
    QStackedLayout *m_pPreviewLayout;
    std::unique_ptr<CPreviewEngine> m_pEngine;
};

class CTemplateNameDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CTemplateNameDlg(const QString &strName = QString(), QWidget *pParent = nullptr);
    QString GetName() const;
    void SetName(const QString &strName);

private:
    QLineEdit *m_pName;
};
