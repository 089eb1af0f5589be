// The dialog "復元" offered at start when editors ended without saving:
// one row per recorded document (its file or the name it had untitled, the
// time of its last change, its size), and what to do with them. Enter
// restores all.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

class QTreeWidget;

struct CRecoverRow
{
    QString strFile;       // the path, or empty for an untitled document
    std::int64_t nTimeMs = 0;
    std::uint64_t nSize = 0;
    QString strNote;       // the file changed or went away, the record is damaged
    QString strTitle;      // an untitled document's name ("新規ﾌｧｲﾙ1"), if known
};

class CRecoverDlg : public QDialog
{
    Q_OBJECT

public:
    enum EAction
    {
        ACTION_RESTORE,  // restore the chosen rows; the others wait for a later start
        ACTION_DISCARD,  // throw the chosen rows away
        ACTION_LATER,    // keep every record for a later start
    };

    CRecoverDlg(const std::vector<CRecoverRow> &aRows, QWidget *pParent = nullptr);

    EAction GetAction() const { return m_eAction; }
    // The rows the action applies to, in the order given.
    const std::vector<int> &GetChosen() const { return m_aChosen; }

    // The path; for an untitled document the name its window showed, or
    // "無題" when the record does not tell it.
    static QString FileText(const QString &strFile, const QString &strTitle = QString());
    // Bytes, with thousands separated ("1,234 バイト").
    static QString SizeText(std::uint64_t nSize);

private:
    void Finish(EAction eAction, bool bAll);
    std::vector<int> SelectedRows() const;

    QTreeWidget *m_pList = nullptr;
    EAction m_eAction = ACTION_LATER;
    std::vector<int> m_aChosen;
};
