// Packing: the files are gathered first (so the archive being written is
// never among them), then written to a file beside the archive's name that
// takes its place only when complete.
#include "archive/archive.h"
#include "archive/archivelib.h"
#include "archive/archivepath.h"
#include "archive/lzhpackjobs.h"
#include "archive/lzhwriter.h"

#include "text/codec.h"
#include "text/filehandle.h"
#include "text/fileio.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t ZIP_BLOCK = std::size_t(1) << 18;

struct CPackItem
{
    std::string strRel;  // below the base, '/'-separated, as named on disk
    bool bFolder = false;
    struct stat st = {};
};

class CPacker
{
public:
    CPacker(const CPackRequest &request, std::string &strOutput, const CArchiveProgress *pProgress)
        : m_request(request), m_strOutput(strOutput), m_pProgress(pProgress)
    {
        m_strBase = request.strBase.empty() ? "." : request.strBase;
        while (m_strBase.size() > 1 && m_strBase.back() == '/')
            m_strBase.pop_back();
    }

    int Run()
    {
        struct stat st;
        if (::stat(m_strBase.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return Fail(PrintableName(m_request.strBase) + ": フォルダーが見つかりません");
        if (::stat(m_request.strArchive.c_str(), &st) == 0) {
            m_bArchiveExists = true;
            m_stArchive = st;
        }
        if (!Gather())
            return ARC_ERROR;

        CAtomicFile file;
        if (!file.Open(m_request.strArchive))
            return Fail(PrintableName(m_request.strArchive) + ": 書庫を作成できません");
        const int nResult = IsZipArchiveName(m_request.strArchive) ? WriteZip(file) : WriteLzh(file);
        if (nResult != ARC_OK)
            return nResult;
        if (!file.Commit())
            return Fail(PrintableName(m_request.strArchive) + ": 書庫を書き込めません");
        m_strOutput += std::to_string(m_nFiles) + "個のファイルと" + std::to_string(m_nFolders) +
                       "個のフォルダーを圧縮しました。\n";
        return ARC_OK;
    }

private:
    int Fail(const std::string &strText)
    {
        m_strOutput += "エラー: " + strText + "\n";
        return ARC_ERROR;
    }

    // Gathering stops at the first problem; the archive is not begun.
    bool StopGathering(const std::string &strText)
    {
        Fail(strText);
        return false;
    }

    int Cancelled()
    {
        m_strOutput += "中止しました。書庫は作成されていません。\n";
        return ARC_CANCELLED;
    }

    std::string Full(const std::string &strRel) const { return m_strBase + "/" + strRel; }

    bool IsTheArchive(const struct stat &st) const
    {
        return m_bArchiveExists && st.st_dev == m_stArchive.st_dev && st.st_ino == m_stArchive.st_ino;
    }

    // Adds a file or folder found at strRel; links to files count as the
    // file, anything else that is not a file or folder is left out.
    bool AddPath(const std::string &strRel)
    {
        if (!m_setSeen.insert(strRel).second)
            return true;
        struct stat st;
        if (::lstat(Full(strRel).c_str(), &st) != 0)
            return StopGathering(PrintableName(strRel) + ": 見つかりません");
        if (S_ISLNK(st.st_mode)) {
            if (::stat(Full(strRel).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
                m_strOutput += "スキップ: " + PrintableName(strRel) + " (ファイル以外へのリンク)\n";
                return true;
            }
        }
        if (S_ISDIR(st.st_mode)) {
            m_aItems.push_back({strRel, true, st});
            return AddFolderContents(strRel);
        }
        if (!S_ISREG(st.st_mode)) {
            m_strOutput += "スキップ: " + PrintableName(strRel) + " (特殊なファイル)\n";
            return true;
        }
        if (IsTheArchive(st))
            return true;
        m_aItems.push_back({strRel, false, st});
        m_nTotal += st.st_size;
        return true;
    }

    bool AddFolderContents(const std::string &strRel)
    {
        const std::string strFolder = strRel.empty() ? m_strBase : Full(strRel);
        DIR *pDir = ::opendir(strFolder.c_str());
        if (!pDir)
            return StopGathering(PrintableName(strRel.empty() ? m_strBase : strRel) + ": フォルダーを読めません");
        std::vector<std::string> aNames;
        while (const dirent *pEntry = ::readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName != "." && strName != "..")
                aNames.push_back(strName);
        }
        ::closedir(pDir);
        std::sort(aNames.begin(), aNames.end());
        for (const std::string &strName : aNames)
            if (!AddPath(strRel.empty() ? strName : strRel + "/" + strName))
                return false;
        return true;
    }

    bool Gather()
    {
        if (m_request.aFiles.empty())
            return AddFolderContents(std::string());
        for (std::string strFile : m_request.aFiles) {
            // A full path inside the base is taken relative to it.
            if (!strFile.empty() && strFile[0] == '/') {
                if (strFile.compare(0, m_strBase.size() + 1, m_strBase + "/") != 0)
                    return StopGathering(PrintableName(strFile) + ": 基準フォルダーの外にあります");
                strFile.erase(0, m_strBase.size() + 1);
            }
            // On disk only '/' separates; a '\\' is part of a name here.
            std::string strRel;
            bool bBad = strFile.empty();
            std::size_t nStart = 0;
            while (nStart <= strFile.size() && !bBad) {
                const std::size_t nSlash = std::min(strFile.find('/', nStart), strFile.size());
                const std::string strPart = strFile.substr(nStart, nSlash - nStart);
                if (strPart == "..")
                    bBad = true;
                else if (!strPart.empty() && strPart != ".")
                    strRel += (strRel.empty() ? "" : "/") + strPart;
                nStart = nSlash + 1;
            }
            if (bBad || strRel.empty())
                return StopGathering(PrintableName(strFile) + ": 基準フォルダーの中の名前ではありません");
            if (!AddPath(strRel))
                return false;
        }
        return true;
    }

    // The name in the archive's code: Shift-JIS for LZH, UTF-8 for ZIP. A
    // name already in Shift-JIS on disk (unpacked by an older tool) is kept.
    bool ArchiveName(const CPackItem &item, bool bZip, std::string &strName)
    {
        const std::string &strRel = item.strRel;
        int nBad = 0;
        if (IsValidUtf8(strRel)) {
            strName = bZip ? strRel : Utf8ToCp932(strRel, &nBad);
        } else {
            const std::string strUtf8 = Cp932ToUtf8(strRel, &nBad);
            strName = bZip ? strUtf8 : strRel;
        }
        if (nBad != 0) {
            Fail(PrintableName(strRel) + (bZip ? ": 名前の文字コードが分かりません" : ": 名前をShift_JISで表せません"));
            return false;
        }
        if (item.bFolder)
            strName += '/';
        return true;
    }

    void ReportProgress(const std::string &strName, std::int64_t nDone) const
    {
        if (m_pProgress)
            m_pProgress->Report(strName, nDone, m_nTotal);
    }

    static std::string Ratio(std::int64_t nPacked, std::int64_t nOriginal)
    {
        if (nOriginal == 0)
            return "  -   ";
        char sz[16];
        std::snprintf(sz, sizeof sz, "%5.1f%%", 100.0 * static_cast<double>(nPacked) / static_cast<double>(nOriginal));
        return sz;
    }

    static std::string Column(const std::string &strText, int nWidth)
    {
        char sz[64];
        std::snprintf(sz, sizeof sz, "%*s", nWidth, strText.c_str());
        return sz;
    }

    int WriteLzh(CAtomicFile &file)
    {
        // Files are read and coded on worker threads, ahead of this one,
        // which writes them in order.
        std::vector<CLzhPackSource> aSources;
        for (const CPackItem &item : m_aItems)
            if (!item.bFolder)
                aSources.push_back({Full(item.strRel), item.st.st_size});
        CLzhPackPipeline pipeline(std::move(aSources), m_request.nThreads);
        CLzhWriter writer(file.GetFd());
        m_strOutput += "      元サイズ      圧縮後  圧縮率  方式   名前\n";
        std::int64_t nDoneBefore = 0;
        std::int64_t nPackedTotal = 0;
        std::size_t nFile = 0;
        const auto writeFailed = [this] { return Fail(PrintableName(m_request.strArchive) + ": 書庫を書き込めません"); };
        for (const CPackItem &item : m_aItems) {
            if (m_pProgress && m_pProgress->IsCancelled())
                return Cancelled();
            std::string strName;
            if (!ArchiveName(item, false, strName))
                return ARC_ERROR;
            CLzhEntry entry;
            entry.strName = strName;
            entry.nMTime = item.st.st_mtime;
            entry.nMode = item.st.st_mode & 0777;
            const std::string strShown = PrintableName(item.strRel) + (item.bFolder ? "/" : "");
            if (item.bFolder) {
                if (writer.AddFolder(entry) != LZH_OK)
                    return writeFailed();
                m_strOutput += Column("<DIR>", 14) + "  " + Column("", 10) + "  " + Column("", 6) + "  -lhd-  " +
                               strShown + "\n";
                ++m_nFolders;
                continue;
            }
            if (item.st.st_size > LZH_MAX_FILE_SIZE)
                return Fail(PrintableName(item.strRel) + ": 4GB以上のファイルはLZH書庫に入りません");
            const std::size_t nThisFile = nFile++;
            if (writer.BeginFile(entry) != LZH_OK)
                return writeFailed();
            std::int64_t nRead = 0;
            for (std::size_t k = pipeline.SegmentCount(nThisFile); k > 0; --k) {
                const CLzhPackPiece &piece = pipeline.Take();
                if (piece.result != LZH_OK)
                    return Fail(PrintableName(item.strRel) + ": 読み込めません");
                if (writer.PutSegment(piece.Bytes(), piece.nLength, piece.bCoded ? &piece.bits : nullptr) != LZH_OK)
                    return writeFailed();
                if (writer.IsStoring())
                    pipeline.SkipCoding(nThisFile);
                nRead += static_cast<std::int64_t>(piece.nLength);
                ReportProgress(strShown, nDoneBefore + nRead);
                if (m_pProgress && m_pProgress->IsCancelled())
                    return Cancelled();
            }
            bool bStoreAgain = false;
            if (writer.EndFile(bStoreAgain) != LZH_OK)
                return writeFailed();
            if (bStoreAgain) {
                // Compressing did not pay after all: the file goes in as it stands.
                const CFileHandle in = CFileHandle::Open(Full(item.strRel), O_RDONLY);
                if (!in.IsOpen())
                    return Fail(PrintableName(item.strRel) + ": 読み込めません");
                CLzhWriter::CProgress progress;
                progress.fnRead = [this, &strShown, nDoneBefore](std::int64_t nDone) {
                    ReportProgress(strShown, nDoneBefore + nDone);
                };
                progress.pCancel = m_pProgress ? m_pProgress->pCancel : nullptr;
                switch (writer.StoreFile(in.Get(), &progress)) {
                case LZH_OK:
                    break;
                case LZH_CANCELLED:
                    return Cancelled();
                case LZH_READ_FAILED:
                    return Fail(PrintableName(item.strRel) + ": 読み込めません");
                case LZH_TOO_LARGE:
                    return Fail(PrintableName(item.strRel) + ": 4GB以上のファイルはLZH書庫に入りません");
                default:
                    return writeFailed();
                }
            }
            nDoneBefore += item.st.st_size;
            nPackedTotal += writer.GetLastPacked();
            m_nOriginalTotal += writer.GetLastOriginal();
            m_strOutput += Column(FormatCount(writer.GetLastOriginal()), 14) + "  " +
                           Column(FormatCount(writer.GetLastPacked()), 10) + "  " +
                           Ratio(writer.GetLastPacked(), writer.GetLastOriginal()) + "  " + writer.GetLastMethod() +
                           "  " + strShown + "\n";
            ++m_nFiles;
        }
        if (writer.Finish() != LZH_OK)
            return writeFailed();
        m_strOutput += Column(FormatCount(m_nOriginalTotal), 14) + "  " + Column(FormatCount(nPackedTotal), 10) + "  " +
                       Ratio(nPackedTotal, m_nOriginalTotal) + "\n";
        return ARC_OK;
    }

    int WriteZip(CAtomicFile &file)
    {
        CUtf8LocaleScope locale;
        std::unique_ptr<archive, decltype(&archive_write_free)> pArchive(archive_write_new(), archive_write_free);
        archive *a = pArchive.get();
        if (archive_write_set_format_zip(a) != ARCHIVE_OK || archive_write_set_bytes_in_last_block(a, 1) != ARCHIVE_OK ||
            archive_write_set_format_option(a, "zip", "hdrcharset", "UTF-8") != ARCHIVE_OK ||
            archive_write_open_fd(a, file.GetFd()) != ARCHIVE_OK)
            return Fail(PrintableName(m_request.strArchive) + ": 書庫を作成できません");
        auto writeFailed = [this, a] {
            const char *psz = archive_error_string(a);
            return Fail(PrintableName(m_request.strArchive) + ": " + (psz ? psz : "書庫を書き込めません"));
        };
        m_strOutput += "      元サイズ  名前\n";
        std::unique_ptr<char[]> pBuf = std::make_unique<char[]>(ZIP_BLOCK);
        std::int64_t nDone = 0;
        for (const CPackItem &item : m_aItems) {
            if (m_pProgress && m_pProgress->IsCancelled())
                return Cancelled();
            std::string strName;
            if (!ArchiveName(item, true, strName))
                return ARC_ERROR;
            const std::string strShown = PrintableName(item.strRel) + (item.bFolder ? "/" : "");
            std::unique_ptr<archive_entry, decltype(&archive_entry_free)> pEntry(archive_entry_new(),
                                                                                archive_entry_free);
            archive_entry *e = pEntry.get();
            archive_entry_set_pathname_utf8(e, strName.c_str());
            archive_entry_set_filetype(e, item.bFolder ? AE_IFDIR : AE_IFREG);
            archive_entry_set_perm(e, item.st.st_mode & 0777);
            archive_entry_set_mtime(e, item.st.st_mtime, item.st.st_mtim.tv_nsec);
            if (item.bFolder) {
                archive_entry_set_size(e, 0);
                if (archive_write_header(a, e) != ARCHIVE_OK)
                    return writeFailed();
                m_strOutput += Column("<DIR>", 14) + "  " + strShown + "\n";
                ++m_nFolders;
                continue;
            }
            const CFileHandle in = CFileHandle::Open(Full(item.strRel), O_RDONLY);
            struct stat st;
            if (!in.IsOpen() || ::fstat(in.Get(), &st) != 0)
                return Fail(PrintableName(item.strRel) + ": 読み込めません");
            archive_entry_set_size(e, st.st_size);
            if (archive_write_header(a, e) != ARCHIVE_OK)
                return writeFailed();
            std::int64_t nLeft = st.st_size;
            while (nLeft > 0) {
                if (m_pProgress && m_pProgress->IsCancelled())
                    return Cancelled();
                const ssize_t n =
                    in.Read(pBuf.get(), static_cast<std::size_t>(std::min<std::int64_t>(nLeft, ZIP_BLOCK)));
                if (n <= 0)
                    return Fail(PrintableName(item.strRel) + ": 読み込めません");
                if (archive_write_data(a, pBuf.get(), static_cast<std::size_t>(n)) != n)
                    return writeFailed();
                nLeft -= n;
                nDone += n;
                ReportProgress(strShown, nDone);
            }
            m_nOriginalTotal += st.st_size;
            m_strOutput += Column(FormatCount(st.st_size), 14) + "  " + strShown + "\n";
            ++m_nFiles;
        }
        if (archive_write_close(a) != ARCHIVE_OK)
            return writeFailed();
        struct stat st;
        if (::fstat(file.GetFd(), &st) == 0)
            m_strOutput += Column(FormatCount(m_nOriginalTotal), 14) + "  → " + FormatCount(st.st_size) + " (" +
                           Ratio(st.st_size, m_nOriginalTotal) + ")\n";
        return ARC_OK;
    }

    const CPackRequest &m_request;
    std::string &m_strOutput;
    const CArchiveProgress *m_pProgress;
    std::string m_strBase;
    bool m_bArchiveExists = false;
    struct stat m_stArchive = {};
    std::vector<CPackItem> m_aItems;
    std::set<std::string> m_setSeen;
    std::int64_t m_nTotal = 0;
    std::int64_t m_nOriginalTotal = 0;
    int m_nFiles = 0;
    int m_nFolders = 0;
};

} // namespace

int ArchivePack(const CPackRequest &request, std::string &strOutput, const CArchiveProgress *pProgress)
{
    strOutput.clear();
    CPacker packer(request, strOutput, pProgress);
    return packer.Run();
}
