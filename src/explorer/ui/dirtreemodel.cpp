#include "explorer/ui/dirtreemodel.h"

#include <QFileInfo>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct CDirTreeModel::CNode
{
    enum EChildren : char
    {
        CHILDREN_UNKNOWN,  // not looked at yet: shown with an expand button
        CHILDREN_NONE,
        CHILDREN_SOME,
    };
    enum ELoad : char
    {
        LOAD_NONE,     // children not read
        LOAD_RUNNING,  // being read (again, when it has children already)
        LOAD_DONE,
    };

    std::string strName;  // the top-level item: the full path
    CNode *pParent = nullptr;
    std::vector<std::unique_ptr<CNode>> aChildren;
    int nRow = 0;
    quint64 nId = 0;
    int nLoadSerial = 0;
    bool bFolder = false;
    bool bLink = false;
    bool bExpanded = false;
    EChildren eChildren = CHILDREN_UNKNOWN;
    ELoad eLoad = LOAD_NONE;
};

struct CDirTreeModel::CListedResult
{
    quint64 nId = 0;
    int nSerial = 0;
    bool bCancelled = false;
    // The folder's children, made on the worker so that the window only
    // links them in.
    std::vector<std::unique_ptr<CNode>> aNodes;
};

struct CDirTreeModel::CCheckedResult
{
    std::vector<std::pair<quint64, bool>> aFlags;
    bool bLast = false;
};

// ---------------------------------------------------------------------------
// The worker

// One thread that reads folders for the model. Listings go before the checks
// of expand buttons, so that what the user opens comes first.
class CDirTreeModel::CLoader
{
public:
    struct CJob
    {
        bool bCheck = false;
        quint64 nId = 0;
        int nSerial = 0;
        std::string strPath;
        std::vector<std::pair<quint64, std::string>> aFolders;  // for a check
        CExtensionList filter;
        bool bFiles = true;
    };

    explicit CLoader(CDirTreeModel *pModel) : m_pModel(pModel), m_thread([this] { Run(); }) {}

    ~CLoader()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_bStop = true;
            m_bCancel = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    CLoader(const CLoader &) = delete;
    CLoader &operator=(const CLoader &) = delete;

    void Post(CJob job)
    {
        {
            const std::lock_guard lock(m_mutex);
            (job.bCheck ? m_aChecks : m_aLists).push_back(std::move(job));
        }
        m_wake.notify_one();
    }

    // Drops every job not begun and stops the running one, which still
    // reports. Returns the number dropped and takes the listings among them
    // from *pnListings.
    int CancelAll(int *pnListings)
    {
        const std::lock_guard lock(m_mutex);
        const int nDropped = static_cast<int>(m_aLists.size() + m_aChecks.size());
        *pnListings -= static_cast<int>(m_aLists.size());
        m_aLists.clear();
        m_aChecks.clear();
        m_bCancel = true;
        return nDropped;
    }

private:
    void Run()
    {
        for (;;) {
            CJob job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_bStop || !m_aLists.empty() || !m_aChecks.empty(); });
                if (m_bStop)
                    return;
                std::deque<CJob> &queue = m_aLists.empty() ? m_aChecks : m_aLists;
                job = std::move(queue.front());
                queue.pop_front();
                m_bCancel = false;
            }
            if (job.bCheck)
                RunCheck(job);
            else
                RunList(job);
        }
    }

    void RunList(const CJob &job)
    {
        auto pResult = std::make_shared<CListedResult>();
        pResult->nId = job.nId;
        pResult->nSerial = job.nSerial;
        CFolderListing listing = ListExplorerFolder(job.strPath, job.filter, job.bFiles, &m_bCancel);
        pResult->bCancelled = listing.bCancelled;
        pResult->aNodes.reserve(listing.aEntries.size());
        for (CExplorerEntry &entry : listing.aEntries) {
            auto pNode = std::make_unique<CNode>();
            pNode->strName = std::move(entry.strName);
            pNode->bFolder = entry.bFolder;
            pNode->bLink = entry.bLink;
            pResult->aNodes.push_back(std::move(pNode));
        }
        CDirTreeModel *pModel = m_pModel;
        QMetaObject::invokeMethod(pModel, [pModel, pResult] { pModel->OnListed(*pResult); }, Qt::QueuedConnection);
    }

    void RunCheck(const CJob &job)
    {
        using Clock = std::chrono::steady_clock;
        // Buttons appear in steps while a large folder is checked.
        constexpr auto STEP = std::chrono::milliseconds(150);
        auto pResult = std::make_shared<CCheckedResult>();
        auto tLast = Clock::now();
        CDirTreeModel *pModel = m_pModel;
        for (const auto &[nId, strPath] : job.aFolders) {
            if (m_bCancel)
                break;
            pResult->aFlags.emplace_back(nId, FolderHasShownEntries(strPath, job.filter, job.bFiles));
            if (Clock::now() - tLast > STEP) {
                QMetaObject::invokeMethod(pModel, [pModel, pResult] { pModel->OnChecked(*pResult); },
                                          Qt::QueuedConnection);
                pResult = std::make_shared<CCheckedResult>();
                tLast = Clock::now();
            }
        }
        pResult->bLast = true;
        QMetaObject::invokeMethod(pModel, [pModel, pResult] { pModel->OnChecked(*pResult); }, Qt::QueuedConnection);
    }

    CDirTreeModel *m_pModel;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<CJob> m_aLists;
    std::deque<CJob> m_aChecks;
    std::atomic<bool> m_bCancel = false;
    bool m_bStop = false;
    std::thread m_thread;
};

// ---------------------------------------------------------------------------
// The model

namespace {

// The tree's order: folders first, then by name.
int CompareEntries(bool bFolderA, std::string_view a, bool bFolderB, std::string_view b)
{
    if (bFolderA != bFolderB)
        return bFolderA ? -1 : 1;
    return CompareExplorerNames(a, b);
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; };
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [&fold](char x, char y) { return fold(x) == fold(y); });
}

} // namespace

CDirTreeModel::CDirTreeModel(QObject *pParent) : QAbstractItemModel(pParent), m_pLoader(std::make_unique<CLoader>(this))
{
}

CDirTreeModel::~CDirTreeModel()
{
    m_pLoader.reset();
}

void CDirTreeModel::SetFileFilter(const std::string &strFilter)
{
    m_strFileFilter = strFilter;
    m_filter = CExtensionList(strFilter);
}

void CDirTreeModel::SetRoot(const std::string &strRoot)
{
    std::string strTop = strRoot.empty() ? std::string("/") : strRoot;
    while (strTop.size() > 1 && strTop.back() == '/')
        strTop.pop_back();
    // Listings dropped before they began never report; the running one does.
    const int nListingsBefore = m_nListings;
    m_nOutstanding -= m_pLoader->CancelAll(&m_nListings);
    if (nListingsBefore > 0 && m_nListings == 0)
        emit ListingChanged(false);
    m_bRevealing = false;
    m_aRevealNames.clear();
    beginResetModel();
    if (m_pTop)
        Unregister(m_pTop.get());
    m_pTop = std::make_unique<CNode>();
    m_pTop->strName = strTop;
    m_pTop->bFolder = true;
    endResetModel();
    if (m_nOutstanding == 0)
        emit LoadingFinished();
}

std::string CDirTreeModel::GetRoot() const
{
    return m_pTop ? m_pTop->strName : std::string();
}

QModelIndex CDirTreeModel::RootIndex() const
{
    return m_pTop ? createIndex(0, 0, m_pTop.get()) : QModelIndex();
}

CDirTreeModel::CNode *CDirTreeModel::NodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<CNode *>(index.internalPointer()) : nullptr;
}

QModelIndex CDirTreeModel::IndexOf(const CNode *pNode) const
{
    return pNode ? createIndex(pNode->nRow, 0, const_cast<CNode *>(pNode)) : QModelIndex();
}

std::string CDirTreeModel::PathOfNode(const CNode *pNode) const
{
    if (!pNode)
        return std::string();
    std::vector<const CNode *> aChain;
    for (const CNode *p = pNode; p; p = p->pParent)
        aChain.push_back(p);
    std::string strPath = aChain.back()->strName;
    for (auto it = aChain.rbegin() + 1; it != aChain.rend(); ++it)
        strPath = JoinPath(strPath, (*it)->strName);
    return strPath;
}

std::string CDirTreeModel::PathOf(const QModelIndex &index) const
{
    return PathOfNode(NodeOf(index));
}

bool CDirTreeModel::IsFolder(const QModelIndex &index) const
{
    const CNode *pNode = NodeOf(index);
    return pNode && pNode->bFolder;
}

QModelIndex CDirTreeModel::FindLoaded(const std::string &strPath) const
{
    if (!m_pTop)
        return QModelIndex();
    const std::string &strTop = m_pTop->strName;
    if (strPath == strTop)
        return RootIndex();
    const std::string strPrefix = JoinPath(strTop, "");
    if (!strPath.starts_with(strPrefix))
        return QModelIndex();
    const CNode *pNode = m_pTop.get();
    std::string_view rest = std::string_view(strPath).substr(strPrefix.size());
    while (!rest.empty()) {
        const std::size_t nSlash = rest.find('/');
        const std::string_view name = rest.substr(0, nSlash);
        rest = nSlash == std::string_view::npos ? std::string_view() : rest.substr(nSlash + 1);
        if (name.empty())
            continue;
        const CNode *pFound = nullptr;
        for (const auto &pChild : pNode->aChildren)
            if (pChild->strName == name)
                pFound = pChild.get();
        if (!pFound)
            return QModelIndex();
        pNode = pFound;
    }
    return IndexOf(pNode);
}

quint64 CDirTreeModel::Register(CNode *pNode)
{
    if (pNode->nId == 0) {
        pNode->nId = m_nNextId++;
        m_mapNodes[pNode->nId] = pNode;
    }
    return pNode->nId;
}

void CDirTreeModel::Unregister(CNode *pNode)
{
    if (pNode->nId != 0)
        m_mapNodes.erase(pNode->nId);
    for (const auto &pChild : pNode->aChildren)
        Unregister(pChild.get());
}

// ---------------------------------------------------------------------------
// Loading

void CDirTreeModel::StartLoad(CNode *pNode)
{
    pNode->eLoad = CNode::LOAD_RUNNING;
    ++pNode->nLoadSerial;
    CLoader::CJob job;
    job.nId = Register(pNode);
    job.nSerial = pNode->nLoadSerial;
    job.strPath = PathOfNode(pNode);
    job.filter = m_filter;
    job.bFiles = m_bShowFiles;
    ++m_nOutstanding;
    if (m_nListings++ == 0)
        emit ListingChanged(true);
    m_pLoader->Post(std::move(job));
}

void CDirTreeModel::JobDone()
{
    if (--m_nOutstanding == 0)
        emit LoadingFinished();
}

void CDirTreeModel::OnListed(CListedResult &result)
{
    auto it = m_mapNodes.find(result.nId);
    CNode *pNode = it == m_mapNodes.end() ? nullptr : it->second;
    if (pNode && pNode->nLoadSerial == result.nSerial) {
        if (result.bCancelled) {
            pNode->eLoad = pNode->aChildren.empty() ? CNode::LOAD_NONE : CNode::LOAD_DONE;
        } else {
            MergeChildren(pNode, result.aNodes);
            pNode->eLoad = CNode::LOAD_DONE;
            const CNode::EChildren eNow = pNode->aChildren.empty() ? CNode::CHILDREN_NONE : CNode::CHILDREN_SOME;
            if (eNow != pNode->eChildren && eNow == CNode::CHILDREN_NONE) {
                // The view keeps each row's expand button until it lays the rows out again.
                pNode->eChildren = eNow;
                emit layoutAboutToBeChanged();
                emit layoutChanged();
            }
            pNode->eChildren = eNow;
            CheckChildFolders(pNode);
            if (m_bRevealing)
                ContinueReveal();
        }
    }
    if (--m_nListings == 0)
        emit ListingChanged(false);
    JobDone();
}

void CDirTreeModel::MergeChildren(CNode *pNode, std::vector<std::unique_ptr<CNode>> &aNew)
{
    const QModelIndex parentIndex = IndexOf(pNode);
    auto &aChildren = pNode->aChildren;
    auto renumber = [&aChildren](std::size_t nFrom) {
        for (std::size_t i = nFrom; i < aChildren.size(); ++i)
            aChildren[i]->nRow = static_cast<int>(i);
    };

    // Both lists are in the tree's order: one walk tells what stays.
    std::vector<char> abKeep(aChildren.size(), 0);
    std::vector<char> abNew(aNew.size(), 1);
    for (std::size_t i = 0, j = 0; i < aChildren.size() && j < aNew.size();) {
        const int nCmp =
            CompareEntries(aChildren[i]->bFolder, aChildren[i]->strName, aNew[j]->bFolder, aNew[j]->strName);
        if (nCmp == 0) {
            abKeep[i] = 1;
            abNew[j] = 0;
            aChildren[i]->bLink = aNew[j]->bLink;
            ++i;
            ++j;
        } else if (nCmp < 0) {
            ++i;
        } else {
            ++j;
        }
    }

    // Runs of rows that went, from the end so that the rows before stay put.
    for (int nLast = static_cast<int>(aChildren.size()) - 1; nLast >= 0;) {
        if (abKeep[static_cast<std::size_t>(nLast)]) {
            --nLast;
            continue;
        }
        int nFirst = nLast;
        while (nFirst > 0 && !abKeep[static_cast<std::size_t>(nFirst - 1)])
            --nFirst;
        beginRemoveRows(parentIndex, nFirst, nLast);
        for (int r = nFirst; r <= nLast; ++r)
            Unregister(aChildren[static_cast<std::size_t>(r)].get());
        aChildren.erase(aChildren.begin() + nFirst, aChildren.begin() + nLast + 1);
        renumber(static_cast<std::size_t>(nFirst));
        endRemoveRows();
        nLast = nFirst - 1;
    }

    // Runs of new rows, in order.
    std::size_t nAt = 0;
    for (std::size_t j = 0; j < aNew.size();) {
        if (!abNew[j]) {
            ++nAt;
            ++j;
            continue;
        }
        std::size_t k = j;
        while (k < aNew.size() && abNew[k])
            aNew[k++]->pParent = pNode;
        beginInsertRows(parentIndex, static_cast<int>(nAt), static_cast<int>(nAt + (k - j) - 1));
        aChildren.insert(aChildren.begin() + static_cast<std::ptrdiff_t>(nAt),
                         std::make_move_iterator(aNew.begin() + static_cast<std::ptrdiff_t>(j)),
                         std::make_move_iterator(aNew.begin() + static_cast<std::ptrdiff_t>(k)));
        renumber(nAt);
        endInsertRows();
        nAt += k - j;
        j = k;
    }
}

void CDirTreeModel::CheckChildFolders(CNode *pNode)
{
    CLoader::CJob job;
    job.bCheck = true;
    job.filter = m_filter;
    job.bFiles = m_bShowFiles;
    const std::string strFolder = PathOfNode(pNode);
    for (const auto &pChild : pNode->aChildren)
        if (pChild->bFolder && pChild->eLoad == CNode::LOAD_NONE)
            job.aFolders.emplace_back(Register(pChild.get()), JoinPath(strFolder, pChild->strName));
    if (job.aFolders.empty())
        return;
    ++m_nOutstanding;
    m_pLoader->Post(std::move(job));
}

void CDirTreeModel::OnChecked(const CCheckedResult &result)
{
    bool bChanged = false;
    for (const auto &[nId, bHas] : result.aFlags) {
        auto it = m_mapNodes.find(nId);
        if (it == m_mapNodes.end() || it->second->eLoad != CNode::LOAD_NONE)
            continue;
        const CNode::EChildren eNow = bHas ? CNode::CHILDREN_SOME : CNode::CHILDREN_NONE;
        bChanged = bChanged || (eNow == CNode::CHILDREN_NONE) != (it->second->eChildren == CNode::CHILDREN_NONE);
        it->second->eChildren = eNow;
    }
    if (bChanged) {
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    }
    if (result.bLast)
        JobDone();
}

void CDirTreeModel::Refresh(const QModelIndex &folder)
{
    CNode *pNode = NodeOf(folder);
    if (pNode && pNode->bFolder && pNode->eLoad != CNode::LOAD_NONE)
        StartLoad(pNode);
}

// ---------------------------------------------------------------------------
// Revealing a path

void CDirTreeModel::RevealPath(const std::string &strPath)
{
    if (!m_pTop)
        return;
    m_aRevealNames.clear();
    const std::string strPrefix = JoinPath(m_pTop->strName, "");
    if (strPath != m_pTop->strName) {
        if (!strPath.starts_with(strPrefix)) {
            m_bRevealing = false;
            emit PathRevealed(RootIndex(), false);
            return;
        }
        std::string_view rest = std::string_view(strPath).substr(strPrefix.size());
        while (!rest.empty()) {
            const std::size_t nSlash = rest.find('/');
            if (nSlash != 0)
                m_aRevealNames.emplace_back(rest.substr(0, nSlash));
            rest = nSlash == std::string_view::npos ? std::string_view() : rest.substr(nSlash + 1);
        }
    }
    m_bRevealing = true;
    ContinueReveal();
}

void CDirTreeModel::ContinueReveal()
{
    CNode *pNode = m_pTop.get();
    bool bExact = true;
    for (const std::string &strName : m_aRevealNames) {
        if (!pNode->bFolder) {
            bExact = false;
            break;
        }
        if (pNode->eLoad != CNode::LOAD_DONE) {
            // Carried on when the folder has been read.
            if (pNode->eLoad == CNode::LOAD_NONE)
                StartLoad(pNode);
            return;
        }
        CNode *pFound = nullptr;
        for (const auto &pChild : pNode->aChildren)
            if (pChild->strName == strName)
                pFound = pChild.get();
        for (std::size_t i = 0; !pFound && i < pNode->aChildren.size(); ++i)
            if (SameIgnoringCase(pNode->aChildren[i]->strName, strName))
                pFound = pNode->aChildren[i].get();
        if (!pFound) {
            bExact = false;
            break;
        }
        pNode = pFound;
    }
    m_bRevealing = false;
    m_aRevealNames.clear();
    emit PathRevealed(IndexOf(pNode), bExact);
}

void CDirTreeModel::SetExpanded(const QModelIndex &index, bool bExpanded)
{
    CNode *pNode = NodeOf(index);
    if (!pNode || pNode->bExpanded == bExpanded)
        return;
    pNode->bExpanded = bExpanded;
    emit dataChanged(index, index, {Qt::DecorationRole});
}

// ---------------------------------------------------------------------------
// QAbstractItemModel

QModelIndex CDirTreeModel::index(int nRow, int nColumn, const QModelIndex &parent) const
{
    if (nColumn != 0 || nRow < 0)
        return QModelIndex();
    if (!parent.isValid())
        return nRow == 0 && m_pTop ? RootIndex() : QModelIndex();
    const CNode *pParent = NodeOf(parent);
    if (static_cast<std::size_t>(nRow) >= pParent->aChildren.size())
        return QModelIndex();
    return createIndex(nRow, 0, pParent->aChildren[static_cast<std::size_t>(nRow)].get());
}

QModelIndex CDirTreeModel::parent(const QModelIndex &index) const
{
    const CNode *pNode = NodeOf(index);
    return pNode ? IndexOf(pNode->pParent) : QModelIndex();
}

int CDirTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_pTop ? 1 : 0;
    return static_cast<int>(NodeOf(parent)->aChildren.size());
}

int CDirTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool CDirTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_pTop != nullptr;
    const CNode *pNode = NodeOf(parent);
    if (!pNode->bFolder)
        return false;
    if (!pNode->aChildren.empty())
        return true;
    return pNode->eLoad != CNode::LOAD_DONE && pNode->eChildren != CNode::CHILDREN_NONE;
}

bool CDirTreeModel::canFetchMore(const QModelIndex &parent) const
{
    const CNode *pNode = NodeOf(parent);
    return pNode && pNode->bFolder && pNode->eLoad == CNode::LOAD_NONE;
}

void CDirTreeModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        StartLoad(NodeOf(parent));
}

QVariant CDirTreeModel::data(const QModelIndex &index, int nRole) const
{
    const CNode *pNode = NodeOf(index);
    if (!pNode)
        return QVariant();
    switch (nRole) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromUtf8(pNode->strName);
    case Qt::DecorationRole:
        return IconOf(pNode);
    default:
        return QVariant();
    }
}

bool CDirTreeModel::setData(const QModelIndex &index, const QVariant &value, int nRole)
{
    const CNode *pNode = NodeOf(index);
    if (!pNode || !pNode->pParent || nRole != Qt::EditRole)
        return false;
    const QString strNewName = value.toString();
    if (strNewName == QString::fromUtf8(pNode->strName))
        return false;
    // The rename runs once the editor is gone; the tree is read again then.
    QTimer::singleShot(0, this, [this, strPath = PathOfNode(pNode), strNewName] {
        emit RenameRequested(strPath, strNewName);
    });
    return false;
}

Qt::ItemFlags CDirTreeModel::flags(const QModelIndex &index) const
{
    const CNode *pNode = NodeOf(index);
    if (!pNode)
        return Qt::NoItemFlags;
    Qt::ItemFlags nFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (pNode->pParent)
        nFlags |= Qt::ItemIsEditable;
    if (!pNode->bFolder)
        nFlags |= Qt::ItemNeverHasChildren;
    return nFlags;
}

QIcon CDirTreeModel::IconOf(const CNode *pNode) const
{
    // The desktop's icon for each kind of file, asked for once per extension:
    // asking per file would read every file's type.
    QString strKey;
    if (pNode->bFolder) {
        strKey = pNode->bExpanded ? QStringLiteral("/folder-open") : QStringLiteral("/folder");
    } else {
        const std::size_t nDot = pNode->strName.rfind('.');
        if (nDot != std::string::npos && nDot > 0)
            strKey = QString::fromUtf8(pNode->strName.substr(nDot + 1)).toLower();
    }
    auto it = m_mapIcons.constFind(strKey);
    if (it != m_mapIcons.constEnd())
        return *it;
    QIcon icon;
    if (pNode->bFolder) {
        const QIcon folder = m_iconProvider.icon(QAbstractFileIconProvider::Folder);
        icon = pNode->bExpanded ? QIcon::fromTheme(QStringLiteral("folder-open"), folder) : folder;
    } else {
        icon = m_iconProvider.icon(QFileInfo(QString::fromUtf8(PathOfNode(pNode))));
        if (icon.isNull())
            icon = m_iconProvider.icon(QAbstractFileIconProvider::File);
    }
    m_mapIcons.insert(strKey, icon);
    return icon;
}
