// The archive dialogs: "ファイルの圧縮" (pack a folder or chosen files),
// "圧縮ファイルの解凍" (unpack, list, open the destination) and "情報"
// (the back end's report). The first two stay open after each run until
// "閉じる(&C)"; the work runs on a worker thread behind a progress dialog.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

// Runs an entry of the archive back end ("Unlha" or "UnZip") with a command
// line while a progress dialog is shown; the entry's result (0 success) and
// its report.
int CallArchiveDll(QWidget *pParent, const char *pszEntry, const std::string &strCommandLine,
                   std::string &strOutput);

class CArchiveInfoDlg : public QDialog
{
    Q_OBJECT

public:
    CArchiveInfoDlg(const QString &strText, QWidget *pParent = nullptr);
    QString GetText() const;

private:
    QPlainTextEdit *m_pText;
};

class CArchiveCompressDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CArchiveCompressDlg(QWidget *pParent = nullptr);

    bool IsFolderMode() const;
    void SetFolderMode(bool bFolder);
    QString GetFolder() const;
    void SetFolder(const QString &strFolder);
    // The chosen files: their folder and the list as the command line takes it.
    const std::string &GetBaseDir() const { return m_strBaseDir; }
    const std::string &GetFiles() const { return m_strFiles; }
    // Files chosen in the file dialog or dropped: all from one folder.
    void SetChosenFiles(const QStringList &files);
    // Paths dropped on the dialog.
    void DropPaths(const QStringList &paths);

    void OnCompress();
    void OnBrowseFolder();
    void OnBrowseFiles();

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;
    void dragEnterEvent(QDragEnterEvent *pEvent) override;
    void dropEvent(QDropEvent *pEvent) override;

private:
    QRadioButton *m_pFolderMode;
    QRadioButton *m_pFileMode;
    QLineEdit *m_pFolder;
    QLineEdit *m_pFiles;
    std::string m_strBaseDir;
    std::string m_strFiles;
};

class CArchiveExtractDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CArchiveExtractDlg(QWidget *pParent = nullptr);

    QString GetArchive() const;
    void SetArchive(const QString &strPath);
    QString GetDestFolder() const;
    void SetDestFolder(const QString &strFolder);
    QCheckBox *DesktopBox() const { return m_pDesktop; }
    QCheckBox *SameFolderBox() const { return m_pSameFolder; }
    QCheckBox *NewFolderBox() const { return m_pNewFolder; }
    // Where the archive would be unpacked with the current choices (ending
    // in '/'); empty when a folder is still missing.
    QString DestinationFor(const QString &strArchive) const;

    void OnExtract();
    void OnInfo();
    void OnOpenFolder();
    void OnBrowseArchive();
    void OnBrowseDest();

public slots:
    // Closing writes the three check boxes to the settings.
    void reject() override;

protected:
    void dragEnterEvent(QDragEnterEvent *pEvent) override;
    void dropEvent(QDropEvent *pEvent) override;

private:
    void ApplyDesktopRule();
    void ApplySameFolderRule();

    QLineEdit *m_pArchive;
    QLineEdit *m_pDest;
    QCheckBox *m_pDesktop;
    QCheckBox *m_pSameFolder;
    QCheckBox *m_pNewFolder;
};
