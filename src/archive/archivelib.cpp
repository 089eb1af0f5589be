// The libarchive plumbing of the archive back end, and listing.
#include "archive/archivelib.h"

#include "archive/archive.h"
#include "archive/archivepath.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr std::size_t READ_BLOCK = std::size_t(1) << 16;

} // namespace

bool IsZipArchiveName(const std::string &strPath)
{
    if (strPath.size() < 4)
        return false;
    std::string strTail = strPath.substr(strPath.size() - 4);
    std::transform(strTail.begin(), strTail.end(), strTail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return strTail == ".zip";
}

CUtf8LocaleScope::CUtf8LocaleScope()
{
    m_locale = ::newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (m_locale)
        m_previous = ::uselocale(m_locale);
}

CUtf8LocaleScope::~CUtf8LocaleScope()
{
    if (m_locale) {
        ::uselocale(m_previous);
        ::freelocale(m_locale);
    }
}

CArchiveReader::CArchiveReader(const std::string &strPath) : m_pArchive(archive_read_new())
{
    struct stat st;
    if (::stat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    m_nFileSize = st.st_size;
    if (IsZipArchiveName(strPath)) {
        archive_read_support_format_zip(m_pArchive);
    } else {
        archive_read_support_format_lha(m_pArchive);
        // LZH readers need the names' code to split folders at the right
        // '\', which may be the second byte of a Shift-JIS character.
        archive_read_set_format_option(m_pArchive, "lha", "hdrcharset", "CP932");
    }
    m_bOpen = archive_read_open_filename(m_pArchive, strPath.c_str(), READ_BLOCK) == ARCHIVE_OK;
}

CArchiveReader::~CArchiveReader()
{
    archive_read_free(m_pArchive);
}

std::string CArchiveReader::ErrorText() const
{
    const char *psz = archive_error_string(m_pArchive);
    return psz && *psz ? psz : "書庫を読めません";
}

std::string EntryName(archive_entry *pEntry)
{
    const char *psz = archive_entry_pathname(pEntry);
    if (!psz)
        psz = archive_entry_pathname_utf8(pEntry);
    return psz ? DecodeEntryName(psz) : std::string();
}

std::string FormatEntryTime(std::time_t t)
{
    struct tm tmLocal;
    if (!::localtime_r(&t, &tmLocal))
        return "----/--/-- --:--";
    char sz[32];
    std::strftime(sz, sizeof sz, "%Y/%m/%d %H:%M", &tmLocal);
    return sz;
}

std::string FormatCount(std::int64_t n)
{
    std::string s = std::to_string(n < 0 ? -n : n);
    for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3)
        s.insert(static_cast<std::size_t>(i), 1, ',');
    return n < 0 ? "-" + s : s;
}

int ArchiveList(const std::string &strArchive, std::string &strOutput, const CArchiveProgress *pProgress)
{
    CUtf8LocaleScope locale;
    CArchiveReader reader(strArchive);
    strOutput.clear();
    if (!reader.IsOpen()) {
        strOutput = "エラー: " + PrintableName(strArchive) + ": " + reader.ErrorText() + "\n";
        return ARC_ERROR;
    }
    archive *a = reader.Get();
    std::int64_t nTotal = 0;
    int nFiles = 0;
    int nFolders = 0;
    strOutput += "        サイズ  更新日時          名前\n";
    strOutput += "--------------  ----------------  ------------------------------\n";
    archive_entry *pEntry;
    int r;
    while ((r = archive_read_next_header(a, &pEntry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        if (pProgress) {
            if (pProgress->IsCancelled())
                return ARC_CANCELLED;
            pProgress->Report(std::string(), archive_filter_bytes(a, -1), reader.GetFileSize());
        }
        std::string strName = EntryName(pEntry);
        for (char &ch : strName)
            if (ch == '\\')
                ch = '/';
        strName = PrintableName(strName);
        char szSize[32];
        const mode_t type = archive_entry_filetype(pEntry);
        if (type == AE_IFDIR) {
            std::snprintf(szSize, sizeof szSize, "%14s", "<DIR>");
            if (!strName.empty() && strName.back() != '/')
                strName += '/';
            ++nFolders;
        } else {
            const std::int64_t nSize = archive_entry_size_is_set(pEntry) ? archive_entry_size(pEntry) : 0;
            std::snprintf(szSize, sizeof szSize, "%14s", FormatCount(nSize).c_str());
            nTotal += nSize;
            ++nFiles;
            if (type == AE_IFLNK && archive_entry_symlink(pEntry))
                strName += " -> " + PrintableName(DecodeEntryName(archive_entry_symlink(pEntry)));
        }
        strOutput += std::string(szSize) + "  " + FormatEntryTime(archive_entry_mtime(pEntry)) + "  " + strName + "\n";
    }
    strOutput += "--------------  ----------------  ------------------------------\n";
    char szTotal[32];
    std::snprintf(szTotal, sizeof szTotal, "%14s", FormatCount(nTotal).c_str());
    strOutput += std::string(szTotal) + "  " + std::to_string(nFiles) + "個のファイル, " + std::to_string(nFolders) +
                 "個のフォルダー\n";
    if (r != ARCHIVE_EOF) {
        strOutput += "エラー: " + reader.ErrorText() + "\n";
        return ARC_ERROR;
    }
    return ARC_OK;
}

int ArchiveEntryPaths(const std::string &strArchive, std::vector<std::string> &aPaths, std::string &strError)
{
    CUtf8LocaleScope locale;
    CArchiveReader reader(strArchive);
    aPaths.clear();
    if (!reader.IsOpen()) {
        strError = reader.ErrorText();
        return ARC_ERROR;
    }
    archive_entry *pEntry;
    int r;
    while ((r = archive_read_next_header(reader.Get(), &pEntry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        if (archive_entry_filetype(pEntry) == AE_IFDIR)
            continue;
        std::vector<std::string> aParts;
        if (SplitEntryPath(EntryName(pEntry), aParts) != ENTRY_PATH_OK)
            continue;
        std::string strPath;
        for (const std::string &strPart : aParts)
            strPath += (strPath.empty() ? "" : "/") + strPart;
        aPaths.push_back(std::move(strPath));
    }
    if (r != ARCHIVE_EOF) {
        strError = reader.ErrorText();
        return ARC_ERROR;
    }
    return ARC_OK;
}
