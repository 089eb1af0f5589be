// Unpacking. Every entry is placed relative to descriptors of folders that
// were opened without following links (openat with O_NOFOLLOW, part by part
// from the destination), so neither a hostile name nor a link met on the way
// — one the archive made or one already on disk — can lead a write outside.
#include "archive/archive.h"
#include "archive/archivelib.h"
#include "archive/archivepath.h"
#include "archive/lhasaentry.h"
#include "archive/lzhwriter.h"
#include "filetools/filesplit.h"

#include "text/filehandle.h"
#include "text/fileio.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t MAX_OPEN_FOLDERS = 64;

mode_t Umask()
{
    static const mode_t mask = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

class CExtractor
{
public:
    CExtractor(archive *pArchive, const CUnpackRequest &request, const CArchiveProgress *pProgress,
               std::int64_t nArchiveSize, std::string &strOutput)
        : m_pArchive(pArchive), m_request(request), m_pProgress(pProgress), m_nArchiveSize(nArchiveSize),
          m_strOutput(strOutput)
    {
    }

    ~CExtractor()
    {
        CloseFolders();
        if (m_nDestFd >= 0)
            ::close(m_nDestFd);
    }

    CExtractor(const CExtractor &) = delete;
    CExtractor &operator=(const CExtractor &) = delete;

    int Run()
    {
        if (!CreateFolderPath(m_request.strDest) ||
            (m_nDestFd = ::open(m_request.strDest.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) < 0) {
            m_strOutput += "エラー: " + PrintableName(m_request.strDest) + ": 解凍先のフォルダーを作成できません\n";
            return ARC_ERROR;
        }
        archive_entry *pEntry;
        int r;
        while ((r = archive_read_next_header(m_pArchive, &pEntry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
            if (m_pProgress && m_pProgress->IsCancelled())
                return Cancelled();
            const int nEntry = Entry(pEntry);
            if (nEntry == ARC_CANCELLED)
                return Cancelled();
            if (nEntry == ARC_ERROR)
                return Summary(ARC_ERROR);
        }
        if (r != ARCHIVE_EOF) {
            m_strOutput += "エラー: " + Error() + "\n";
            return Summary(ARC_ERROR);
        }
        const int nKeptAgainstWish = m_request.bKeepChosen ? 0 : m_nKept;
        return Summary(m_nRefused + nKeptAgainstWish + m_nDamaged > 0 ? ARC_INCOMPLETE : ARC_OK);
    }

private:
    std::string Error() const
    {
        const char *psz = archive_error_string(m_pArchive);
        return psz && *psz ? psz : "書庫が壊れています";
    }

    int Cancelled()
    {
        m_strOutput += "中止しました。\n";
        Summary(ARC_CANCELLED);
        return ARC_CANCELLED;
    }

    int Summary(int nResult)
    {
        m_strOutput += std::to_string(m_nExtracted) + "個のファイルを解凍しました。\n";
        if (m_nRefused > 0)
            m_strOutput += std::to_string(m_nRefused) + "個のエントリーを安全のため解凍しませんでした。\n";
        if (m_nKept > 0)
            m_strOutput += std::to_string(m_nKept) + "個の既存のファイルを上書きしませんでした。\n";
        if (m_nDamaged > 0)
            m_strOutput += std::to_string(m_nDamaged) + "個のエントリーを解凍できませんでした。\n";
        return nResult;
    }

    void Refuse(const std::string &strName, const char *pszReason)
    {
        m_strOutput += "拒否: " + PrintableName(strName) + " (" + pszReason + ")\n";
        ++m_nRefused;
    }

    void CloseFolders()
    {
        for (const auto &[strPath, fd] : m_mapFolders)
            ::close(fd);
        m_mapFolders.clear();
    }

    // The folder of the first nCount parts, created where missing; -1 with
    // errno when a part is a link, a file or cannot be made.
    int OpenFolder(const std::vector<std::string> &aParts, std::size_t nCount)
    {
        int fd = m_nDestFd;
        std::string strKey;
        for (std::size_t i = 0; i < nCount; ++i) {
            strKey += "/" + aParts[i];
            if (auto it = m_mapFolders.find(strKey); it != m_mapFolders.end()) {
                fd = it->second;
                continue;
            }
            int nNext = ::openat(fd, aParts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (nNext < 0 && errno == ENOENT) {
                if (::mkdirat(fd, aParts[i].c_str(), 0777) != 0 && errno != EEXIST)
                    return -1;
                nNext = ::openat(fd, aParts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            }
            if (nNext < 0)
                return -1;
            if (m_mapFolders.size() >= MAX_OPEN_FOLDERS) {
                // Keep the descriptor count bounded; the parents are opened
                // again when needed.
                CloseFolders();
                fd = nNext;
                m_mapFolders.emplace(strKey, nNext);
                continue;
            }
            m_mapFolders.emplace(strKey, nNext);
            fd = nNext;
        }
        return fd;
    }

    // Whether a file of this name may be written: false (after reporting)
    // when it must be kept or cannot be replaced.
    bool MayWrite(int nFolderFd, const std::string &strLeaf, const std::string &strName, bool &bReplacing)
    {
        struct stat st;
        bReplacing = ::fstatat(nFolderFd, strLeaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (!bReplacing)
            return true;
        if (S_ISDIR(st.st_mode)) {
            Refuse(strName, "同名のフォルダーがあります");
            return false;
        }
        if (!m_request.bOverwrite) {
            m_strOutput += "スキップ: " + PrintableName(strName) + " (同名のファイルがあります)\n";
            ++m_nKept;
            return false;
        }
        return true;
    }

    static bool ExpandsAbsurdly(std::int64_t nWritten, std::int64_t nRead)
    {
        return nWritten > ARCHIVE_RATIO_FLOOR && nWritten / std::max<std::int64_t>(1, nRead) > ARCHIVE_MAX_RATIO;
    }

    // An entry whose data cannot be read back whole.
    void Unreadable(const std::string &strName, const std::string &strText)
    {
        m_strOutput += "エラー: " + PrintableName(strName) + ": " + strText + "\n";
        ++m_nDamaged;
    }

    void Damaged(const std::string &strName, const std::string &strWhy)
    {
        Unreadable(strName, "壊れているか、対応していない圧縮方式です (" + strWhy + ")");
    }

    // What became of an entry's data read through CLhasaEntryReader.
    enum
    {
        DATA_WRITTEN = -1,    // all of it, its length and CRC as the header says
        DATA_NOT_TRIED = -2,  // not a method for that reader: libarchive's verdict stands
        DATA_GIVEN_UP = -3,   // refused or damaged, and reported
        // or ARC_ERROR, ARC_CANCELLED
    };

    // Writes the data of the LZH entry whose header is at nHeaderAt through
    // lhasa or our own decoders, under the same limits as libarchive's.
    int LhasaData(archive_entry *pEntry, int fd, std::int64_t nHeaderAt, const std::string &strName,
                  std::int64_t &nWritten)
    {
        CLhasaEntryReader reader(m_request.strArchive, nHeaderAt);
        // The header lhasa reads must be the one libarchive read.
        if (!reader.IsOpen() || IsLibarchiveLzhMethod(reader.GetMethod()) ||
            (archive_entry_size_is_set(pEntry) &&
             reader.GetLength() != static_cast<std::uint64_t>(archive_entry_size(pEntry))))
            return DATA_NOT_TRIED;
        const std::string strMethod = PrintableName(reader.GetMethod());
        if (!reader.CanDecode()) {
            Unreadable(strName, "対応していない圧縮方式です (" + strMethod + ")");
            return DATA_GIVEN_UP;
        }
        std::vector<char> aBuf(std::size_t(1) << 16);
        std::uint16_t nCrc = 0;
        const std::int64_t nLength = static_cast<std::int64_t>(reader.GetLength());
        for (;;) {
            if (m_pProgress && m_pProgress->IsCancelled())
                return ARC_CANCELLED;
            const std::size_t n = reader.Read(aBuf.data(), aBuf.size());
            if (n == 0)
                break;
            if (nWritten + static_cast<std::int64_t>(n) > nLength) {
                Unreadable(strName, "ヘッダーの大きさを超えるデータです (" + strMethod + ")");
                return DATA_GIVEN_UP;
            }
            if (!FdWriteFullyAt(fd, aBuf.data(), n, nWritten)) {
                m_strOutput += "エラー: " + PrintableName(strName) + ": 書き込みに失敗しました\n";
                return ARC_ERROR;
            }
            nWritten += static_cast<std::int64_t>(n);
            nCrc = LzhCrc16(nCrc, aBuf.data(), n);
            if (ExpandsAbsurdly(nWritten, reader.GetArchiveBytesRead())) {
                Refuse(strName, "展開後の大きさが異常です");
                return DATA_GIVEN_UP;
            }
            if (m_pProgress)
                m_pProgress->Report(strName, nHeaderAt + reader.GetArchiveBytesRead(), m_nArchiveSize);
        }
        if (reader.IsDamaged() || nWritten != nLength || nCrc != reader.GetCrc()) {
            Unreadable(strName, "データが壊れています (" + strMethod + ")");
            return DATA_GIVEN_UP;
        }
        return DATA_WRITTEN;
    }

    int Entry(archive_entry *pEntry)
    {
        const std::string strName = EntryName(pEntry);
        if (strName.empty()) {
            Refuse("(名前なし)", "名前を読めません");
            return ARC_OK;
        }
        std::vector<std::string> aParts;
        switch (SplitEntryPath(strName, aParts)) {
        case ENTRY_PATH_OK:
            break;
        case ENTRY_PATH_EMPTY:
            // "./" and the like: the destination itself.
            if (archive_entry_filetype(pEntry) != AE_IFDIR)
                Refuse(strName, "名前がありません");
            return ARC_OK;
        case ENTRY_PATH_ABSOLUTE:
            Refuse(strName, "絶対パスです");
            return ARC_OK;
        case ENTRY_PATH_PARENT:
            Refuse(strName, "解凍先の外を指す名前です");
            return ARC_OK;
        }

        const mode_t type = archive_entry_filetype(pEntry);
        if (type == AE_IFDIR) {
            if (OpenFolder(aParts, aParts.size()) < 0)
                Refuse(strName, "途中にリンクかファイルがあります");
            return ARC_OK;
        }
        if (archive_entry_hardlink(pEntry)) {
            Refuse(strName, "ハードリンクは解凍しません");
            return ARC_OK;
        }
        if (type != AE_IFREG && type != AE_IFLNK) {
            Refuse(strName, "特殊なファイルは解凍しません");
            return ARC_OK;
        }
        const int nFolder = OpenFolder(aParts, aParts.size() - 1);
        if (nFolder < 0) {
            Refuse(strName, "途中にリンクかファイルがあります");
            return ARC_OK;
        }
        if (type == AE_IFLNK)
            return Link(pEntry, nFolder, aParts, strName);
        return File(pEntry, nFolder, aParts.back(), strName);
    }

    // A regular file, written under a temporary name and renamed when whole.
    int File(archive_entry *pEntry, int nFolder, const std::string &strLeaf, const std::string &strName)
    {
        bool bReplacing = false;
        if (!MayWrite(nFolder, strLeaf, strName, bReplacing))
            return ARC_OK;
        if (archive_entry_size_is_set(pEntry)) {
            struct statvfs vfs;
            if (::fstatvfs(nFolder, &vfs) == 0 &&
                static_cast<unsigned long long>(archive_entry_size(pEntry)) >
                    static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize) {
                Refuse(strName, "空き容量が足りません");
                return ARC_OK;
            }
        }

        CAtomicFile file;
        // Unpacked files need not each reach the disk before the next one;
        // they are complete or absent either way.
        file.SetSync(false);
        if (!file.OpenAt(nFolder, strLeaf)) {
            m_strOutput += "エラー: " + PrintableName(strName) + ": ファイルを作成できません\n";
            return ARC_ERROR;
        }
        std::int64_t nWritten = 0;
        const int nData = FileData(pEntry, file, strName, nWritten);
        if (nData != DATA_WRITTEN)
            return nData;
        // Holes at the end of a sparse entry.
        if (::ftruncate(file.GetFd(), nWritten) != 0) {
            m_strOutput += "エラー: " + PrintableName(strName) + ": 書き込みに失敗しました\n";
            return ARC_ERROR;
        }
        file.SetMode(static_cast<mode_t>(archive_entry_perm(pEntry)) & 0777 & ~Umask());
        if (archive_entry_mtime_is_set(pEntry)) {
            const struct timespec times[2] = {{0, UTIME_OMIT},
                                              {archive_entry_mtime(pEntry), archive_entry_mtime_nsec(pEntry)}};
            ::futimens(file.GetFd(), times);
        }
        if (!file.Commit()) {
            m_strOutput += "エラー: " + PrintableName(strName) + ": 書き込みに失敗しました\n";
            return ARC_ERROR;
        }
        m_strOutput += (bReplacing ? "上書き: " : "解凍: ") + PrintableName(strName) + "\n";
        ++m_nExtracted;
        return ARC_OK;
    }

    // Writes a file entry's data: DATA_WRITTEN with its length in nWritten,
    // or what the entry comes to without it (ARC_OK when it was given up and
    // reported, ARC_ERROR, ARC_CANCELLED).
    int FileData(archive_entry *pEntry, const CAtomicFile &file, const std::string &strName, std::int64_t &nWritten)
    {
        const std::int64_t nHeaderAt = archive_read_header_position(m_pArchive);
        const std::int64_t nReadAtStart = archive_filter_bytes(m_pArchive, -1);
        for (;;) {
            const void *pBlock;
            std::size_t nSize;
            la_int64_t nOffset;
            const int r = archive_read_data_block(m_pArchive, &pBlock, &nSize, &nOffset);
            if (r == ARCHIVE_EOF)
                return DATA_WRITTEN;
            if (r != ARCHIVE_OK) {
                if (r == ARCHIVE_FATAL) {
                    m_strOutput += "エラー: " + PrintableName(strName) + ": " + Error() + "\n";
                    return ARC_ERROR;
                }
                // An LZH method libarchive does not know: lhasa or we may.
                if (nWritten == 0 && archive_format(m_pArchive) == ARCHIVE_FORMAT_LHA) {
                    const int nData = LhasaData(pEntry, file.GetFd(), nHeaderAt, strName, nWritten);
                    if (nData == DATA_WRITTEN)
                        return DATA_WRITTEN;
                    if (nData != DATA_NOT_TRIED)
                        return nData == DATA_GIVEN_UP ? ARC_OK : nData;
                }
                // libarchive only warns about a CRC that does not match or a
                // method it cannot decode, and then ends the entry as if
                // whole: the file is given up all the same, since its bytes
                // are wrong or missing. The next entry may still be whole.
                Damaged(strName, Error());
                return ARC_OK;
            }
            if (m_pProgress && m_pProgress->IsCancelled())
                return ARC_CANCELLED;
            if (nSize > 0 && !file.GetFile().WriteFullyAt(pBlock, nSize, nOffset)) {
                m_strOutput += "エラー: " + PrintableName(strName) + ": 書き込みに失敗しました\n";
                return ARC_ERROR;
            }
            nWritten = std::max<std::int64_t>(nWritten, nOffset + static_cast<std::int64_t>(nSize));
            const std::int64_t nRead = std::max<std::int64_t>(1, archive_filter_bytes(m_pArchive, -1) - nReadAtStart);
            if (ExpandsAbsurdly(nWritten, nRead)) {
                Refuse(strName, "展開後の大きさが異常です");
                return ARC_OK;
            }
            if (m_pProgress)
                m_pProgress->Report(strName, archive_filter_bytes(m_pArchive, -1), m_nArchiveSize);
        }
    }

    int Link(archive_entry *pEntry, int nFolder, const std::vector<std::string> &aParts, const std::string &strName)
    {
        const char *pszTarget = archive_entry_symlink(pEntry);
        const std::string strTarget = pszTarget ? DecodeEntryName(pszTarget) : std::string();
        const std::vector<std::string> aFolder(aParts.begin(), aParts.end() - 1);
        if (strTarget.empty() || !IsLinkTargetInside(aFolder, strTarget)) {
            Refuse(strName + " -> " + strTarget, "解凍先の外を指すリンクです");
            return ARC_OK;
        }
        const std::string &strLeaf = aParts.back();
        bool bReplacing = false;
        if (!MayWrite(nFolder, strLeaf, strName, bReplacing))
            return ARC_OK;
        // Made under a temporary name and renamed, as files are.
        for (int nTry = 0; nTry < 100; ++nTry) {
            unsigned char random[6];
            if (::getentropy(random, sizeof random) != 0)
                break;
            std::string strTemp(1, '.');
            strTemp.append(strLeaf, 0, 200).append(".wrenpad-");
            for (unsigned char b : random)
                strTemp += "0123456789abcdef"[b & 15];
            if (::symlinkat(strTarget.c_str(), nFolder, strTemp.c_str()) != 0) {
                if (errno == EEXIST)
                    continue;
                break;
            }
            if (::renameat(nFolder, strTemp.c_str(), nFolder, strLeaf.c_str()) != 0) {
                ::unlinkat(nFolder, strTemp.c_str(), 0);
                break;
            }
            m_strOutput += (bReplacing ? "上書き: " : "解凍: ") + PrintableName(strName) + " -> " +
                           PrintableName(strTarget) + "\n";
            ++m_nExtracted;
            return ARC_OK;
        }
        m_strOutput += "エラー: " + PrintableName(strName) + ": リンクを作成できません\n";
        return ARC_ERROR;
    }

    archive *m_pArchive;
    const CUnpackRequest &m_request;
    const CArchiveProgress *m_pProgress;
    std::int64_t m_nArchiveSize;
    std::string &m_strOutput;
    int m_nDestFd = -1;
    std::map<std::string, int> m_mapFolders;
    int m_nExtracted = 0;
    int m_nRefused = 0;
    int m_nKept = 0;
    int m_nDamaged = 0;  // whose data could not be read back whole
};

} // namespace

int ArchiveUnpack(const CUnpackRequest &request, std::string &strOutput, const CArchiveProgress *pProgress)
{
    CUtf8LocaleScope locale;
    strOutput.clear();
    CArchiveReader reader(request.strArchive);
    if (!reader.IsOpen()) {
        strOutput = "エラー: " + PrintableName(request.strArchive) + ": " + reader.ErrorText() + "\n";
        return ARC_ERROR;
    }
    CExtractor extractor(reader.Get(), request, pProgress, reader.GetFileSize(), strOutput);
    return extractor.Run();
}
