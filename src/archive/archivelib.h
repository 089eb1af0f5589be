// Shared plumbing of the archive back end over libarchive: the locale its
// name conversions need, handles that are freed on every path, and the
// texts of the listings. Internal to src/tools/archive*.cpp.
#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <cstdint>
#include <ctime>
#include <string>

// libarchive converts names to and from the thread's locale: this thread
// works in UTF-8, as file names here are, for the scope of the object,
// whatever locale the process runs in.
class CUtf8LocaleScope
{
public:
    CUtf8LocaleScope();
    ~CUtf8LocaleScope();
    CUtf8LocaleScope(const CUtf8LocaleScope &) = delete;
    CUtf8LocaleScope &operator=(const CUtf8LocaleScope &) = delete;

private:
    locale_t m_locale = static_cast<locale_t>(0);
    locale_t m_previous = static_cast<locale_t>(0);
};

// An archive opened for reading: LZH with Shift-JIS names, or ZIP whose
// names come as stored (see DecodeEntryName).
class CArchiveReader
{
public:
    explicit CArchiveReader(const std::string &strPath);
    ~CArchiveReader();
    CArchiveReader(const CArchiveReader &) = delete;
    CArchiveReader &operator=(const CArchiveReader &) = delete;

    bool IsOpen() const { return m_bOpen; }
    archive *Get() const { return m_pArchive; }
    // libarchive's own words for the last error, or a fallback.
    std::string ErrorText() const;
    std::int64_t GetFileSize() const { return m_nFileSize; }

private:
    archive *m_pArchive;
    bool m_bOpen = false;
    std::int64_t m_nFileSize = 0;
};

// The entry's name as this system names files; empty when it has none.
std::string EntryName(archive_entry *pEntry);

// "2024/05/01 12:34" in local time.
std::string FormatEntryTime(std::time_t t);
// "12,345"
std::string FormatCount(std::int64_t n);
