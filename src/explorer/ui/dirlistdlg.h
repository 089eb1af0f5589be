// The explorer pane (`CDirListDlg`, titled "ﾌｧｲﾙｴｸｽﾌﾟﾛｰﾗｰ"): a docking bar beside the
// documents with a tool bar over the folder tree. It opens files in the
// editor through the same hand-off a second instance uses, or with the
// desktop's program, and makes, renames and deletes files and folders.
//
// The main frame makes at most one (command 309) and forgets it when it
// closes; the pane keeps its root, selected path and file filter in the
// settings (section "WpDirList") from one opening to the next.
//
// Commands and settings live in dirlistdlg.cpp; the file operations (new
// items, rename, delete, open) in dirlistdlg_files.cpp.
#pragma once

#include "platform/ui/cmdtarget.h"
#include "ui/sizingbar.h"

#include <QModelIndex>

#include <functional>
#include <string>

class CDirTreeCtrl;
class CDirTreeModel;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

inline constexpr const char *SECTION_DIRLIST = "WpDirList";
inline constexpr const char *DEFAULT_DIRLIST_FILTER = "txt;html;htm;c;cpp;java;h;pl;bmp;jpg;gif";
enum
{
    IDD_DIRLIST = 301,
};

class CDirListDlg : public CSizingControlBar, public CCmdTarget
{
    Q_OBJECT

public:
    // Reads the filter from the settings; SetRoot (or OpenAtSaved) fills it.
    explicit CDirListDlg(QWidget *pFrame);
    ~CDirListDlg() override;

    // Rebuilds the tree at the root and, when strPath is not empty, selects it.
    void SetRoot(const std::string &strRoot, const std::string &strPath);
    // The root and path kept by the last opening (the home folder at first).
    void OpenAtSaved();
    // Root, path and filter into the settings.
    void SaveSettings() const;

    // A command of the tool bar or the context menu: run unless its update
    // handler disables it.
    void ExecuteCommand(int nID);
    // Enables the tool bar's buttons for the selection.
    void UpdateToolBar();

    // Enter or a double click on a file: in the editor when its extension is
    // in `UseWrenpadExtension`, otherwise with the desktop's program.
    void OpenSelected();

    const std::string &GetRoot() const { return m_strRoot; }
    // `m_strPath`: the selected item's full path.
    const std::string &GetPath() const { return m_strPath; }
    CDirTreeCtrl *GetTree() const { return m_pTree; }
    CDirTreeModel *GetModel() const { return m_pModel; }
    QMenu *GetContextMenu() const { return m_pMenu; }
    QToolBar *GetToolBar() const { return m_pToolBar; }

    // Where Tab sends the keyboard: the editor.
    void SetLeaveHandler(std::function<void()> fn) { m_fnLeave = std::move(fn); }
    // The template folder; the program folder's "templete" unless a test says otherwise.
    void SetTemplateFolder(const QString &strFolder) { m_strTemplateFolder = strFolder; }

signals:
    // The pane is closing; it deletes itself once control is back in the event loop.
    void Closing();
    // A file or folder was renamed: documents of the editor open on it (or
    // in it) follow it to its new name.
    void Renamed(const QString &strOldPath, const QString &strNewPath);

protected:
    void closeEvent(QCloseEvent *pEvent) override;

private:
    // dirlistdlg.cpp
    void RegisterCommands();
    void OnSelectionChanged();
    void OnPathRevealed(const QModelIndex &index, bool bExact);
    void OnChooseRoot();
    void OnUp();
    void OnFind();
    void OnProperties();
    void OnOptions();
    void OnRefresh();
    // The folder new items go into: the selected folder, or the selected
    // file's folder, or the root.
    QModelIndex TargetFolder() const;
    // Reads a folder again, then selects the path (and edits its label).
    void RefreshAndReveal(const QModelIndex &folder, const std::string &strPath, bool bEdit);

    // dirlistdlg_files.cpp
    void OnNewFolder();
    void OnNewFile(const char *pszName, const char *pszExt, std::string_view strContent);
    void OnNewFromTemplate();
    void OnDelete();
    void OnRename(const std::string &strPath, const QString &strNewName);
    void OnOpenWithShell();
    void OnEdit();

    std::string m_strRoot;
    std::string m_strPath;
    CDirTreeModel *m_pModel;
    CDirTreeCtrl *m_pTree;
    QToolBar *m_pToolBar;
    QMenu *m_pMenu;
    QLabel *m_pLoading;
    QTimer *m_pLoadingDelay;
    std::function<void()> m_fnLeave;
    QString m_strTemplateFolder;
    // The item to edit once its path has been revealed.
    std::string m_strEditPath;
    bool m_bClosed = false;
};
