// The explorer pane's tree of folders and files. One top-level item holds the
// root folder, its text the full path; every item below holds one name. A
// folder's children are read when it is first expanded (or when a path
// inside it is revealed), on a worker thread, so that a folder of tens of
// thousands of files never stops the window; what the worker reads arrives
// through the event loop. Whether an unread folder has anything to show is
// found out afterwards, also on the worker, and decides its expand button.
//
// Names are the file system's bytes; they are shown as UTF-8, and paths are
// always built from the bytes, so a name that is not valid UTF-8 still opens.
#pragma once

#include "explorer/explorerfiles.h"

#include <QAbstractItemModel>
#include <QFileIconProvider>
#include <QHash>
#include <QIcon>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CDirTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit CDirTreeModel(QObject *pParent = nullptr);
    ~CDirTreeModel() override;

    // Which files are listed: `m_strFileFilter` (empty: all) and `m_bShowFiles`.
    // They apply to folders read from now on; SetRoot reads everything again.
    void SetFileFilter(const std::string &strFilter);
    const std::string &GetFileFilter() const { return m_strFileFilter; }
    void SetShowFiles(bool bShow) { m_bShowFiles = bShow; }

    // Rebuilds the tree with one top-level item for the folder ("/" when empty).
    void SetRoot(const std::string &strRoot);
    std::string GetRoot() const;
    QModelIndex RootIndex() const;

    // The full path of an item, empty for none.
    std::string PathOf(const QModelIndex &index) const;
    bool IsFolder(const QModelIndex &index) const;
    // The item of a path among the items read so far, or an invalid index.
    QModelIndex FindLoaded(const std::string &strPath) const;

    // Reads a folder's children again. Items that are still there keep what
    // was read below them; the others go, and new ones come.
    void Refresh(const QModelIndex &folder);
    // Looks for a path from the top-level item down, reading folders on the
    // way, and then emits PathRevealed. A name that is not found exactly is
    // looked for ignoring case. A later call replaces an earlier one.
    void RevealPath(const std::string &strPath);
    // Work still under way on the worker (listings and expand-button checks).
    bool IsLoading() const { return m_nOutstanding > 0; }
    // Folders being read, which the user waits for.
    bool IsListing() const { return m_nListings > 0; }
    // Tells the item whether the view shows it expanded (its open icon).
    void SetExpanded(const QModelIndex &index, bool bExpanded);

    // QAbstractItemModel
    QModelIndex index(int nRow, int nColumn, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int nRole = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int nRole = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // The end of RevealPath: the item of the path, or (bExact false) the
    // deepest item found on the way to it.
    void PathRevealed(const QModelIndex &index, bool bExact);
    // A label was edited into a new name; the item is not renamed by the
    // model. Sent once the editor has closed.
    void RenameRequested(const std::string &strPath, const QString &strNewName);
    // The worker has nothing left to do.
    void LoadingFinished();
    // A folder began to be read while none was, or the last one was read.
    void ListingChanged(bool bListing);

private:
    struct CNode;
    class CLoader;
    struct CListedResult;
    struct CCheckedResult;

    CNode *NodeOf(const QModelIndex &index) const;
    QModelIndex IndexOf(const CNode *pNode) const;
    std::string PathOfNode(const CNode *pNode) const;
    void StartLoad(CNode *pNode);
    void OnListed(CListedResult &result);
    void OnChecked(const CCheckedResult &result);
    void MergeChildren(CNode *pNode, std::vector<std::unique_ptr<CNode>> &aNew);
    void CheckChildFolders(CNode *pNode);
    // The node's id for the worker's reports, given when work is first
    // posted for it: most items never need one.
    quint64 Register(CNode *pNode);
    void Unregister(CNode *pNode);
    void ContinueReveal();
    void JobDone();
    QIcon IconOf(const CNode *pNode) const;

    std::unique_ptr<CNode> m_pTop;
    std::unordered_map<quint64, CNode *> m_mapNodes;
    quint64 m_nNextId = 1;
    std::string m_strFileFilter;
    CExtensionList m_filter;
    bool m_bShowFiles = true;
    int m_nOutstanding = 0;
    int m_nListings = 0;

    // The path being revealed, as names below the top-level item.
    std::vector<std::string> m_aRevealNames;
    bool m_bRevealing = false;

    mutable QFileIconProvider m_iconProvider;
    mutable QHash<QString, QIcon> m_mapIcons;

    // Last: the worker stops before anything it reports to goes.
    std::unique_ptr<CLoader> m_pLoader;
};
