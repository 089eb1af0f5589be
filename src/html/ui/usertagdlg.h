// The user-tag editor "ﾕｰｻﾞｰ定義ﾀｸﾞの登録" (a list of titles to add, remove,
// edit and reorder) and its entry dialog "ユーザータグ" (title, opening and
// closing text). The editor works on its own copy of the list; the caller
// takes it back on OK.
#pragma once

#include "html/usertags.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class CUserTagEntryDlg : public QDialog
{
    Q_OBJECT

public:
    // The texts as the list holds them (Shift-JIS, lines joined by CR LF).
    CUserTagEntryDlg(const std::string &strTitle, const std::string &strOpen, const std::string &strClose,
                     QWidget *pParent = nullptr);
    std::string GetTitle() const;
    std::string GetOpen() const;
    std::string GetClose() const;

protected:
    // Enter ends the dialog; Ctrl+Enter breaks the line of a text field.
    bool eventFilter(QObject *pObject, QEvent *pEvent) override;

private:
    QLineEdit *m_pTitle;
    QPlainTextEdit *m_pOpen;
    QPlainTextEdit *m_pClose;
};

class CUserTagEditDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CUserTagEditDlg(const CUserTagList &list, QWidget *pParent = nullptr);
    const CUserTagList &GetList() const { return m_list; }

private:
    void FillList(int nSelect);
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnMove(int nStep);
    void UpdateButtons();

    CUserTagList m_list;
    QListWidget *m_pList;
    QPushButton *m_pAdd;
    QPushButton *m_pRemove;
    QPushButton *m_pEdit;
    QPushButton *m_pUp;
    QPushButton *m_pDown;
};
