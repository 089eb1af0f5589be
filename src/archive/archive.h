// The archive back end: packing folders and files into LZH (our own writer)
// or ZIP (libarchive), and listing and unpacking LZH and ZIP (libarchive).
//
// Unpacking is safe by construction: every entry lands below the
// destination or is refused and reported (absolute names, "..", links that
// point out, hard links, special files, entries that expand absurdly or do
// not fit the disk); no folder or link on the way is ever followed; a file
// is written beside its final name and renamed into place, so a failure or a
// cancel leaves no half-written file; existing files are kept unless the
// request says to replace them. Packing writes the archive beside its
// final name too, so a failure or a cancel leaves no half-written archive.
//
// Each call returns a result code and a text for the user (UTF-8, Japanese,
// one entry per line); none of them shows anything.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum EArchiveResult
{
    ARC_OK = 0,
    ARC_ERROR = 1,       // the archive or a file could not be read or written
    ARC_INCOMPLETE = 2,  // some entries were refused, damaged or kept back; the rest is done
    ARC_CANCELLED = 3,
};

// Progress of long work, reported from the thread doing it; the flag, when
// set, stops the work at the next block.
struct CArchiveProgress
{
    // The entry being worked on, and bytes done of a total (0 when unknown).
    std::function<void(const std::string &strEntry, std::int64_t nDone, std::int64_t nTotal)> fnProgress;
    const std::atomic<bool> *pCancel = nullptr;

    bool IsCancelled() const { return pCancel && pCancel->load(std::memory_order_relaxed); }
    void Report(const std::string &strEntry, std::int64_t nDone, std::int64_t nTotal) const
    {
        if (fnProgress)
            fnProgress(strEntry, nDone, nTotal);
    }
};

// An archive is a ZIP archive when its name ends in ".zip" in any case;
// anything else is an LZH archive.
bool IsZipArchiveName(const std::string &strPath);

struct CPackRequest
{
    std::string strArchive;            // LZH, or ZIP by its name
    std::string strBase;               // the folder names are relative to
    // Files and folders below strBase (folders with all they hold); empty:
    // everything in strBase.
    std::vector<std::string> aFiles;
    // Threads coding LZH archives: 0 for one per processor. The archive is
    // the same bytes whatever the number.
    int nThreads = 0;
};
int ArchivePack(const CPackRequest &request, std::string &strOutput, const CArchiveProgress *pProgress = nullptr);

struct CUnpackRequest
{
    std::string strArchive;
    std::string strDest;               // created when missing
    bool bOverwrite = false;           // replace existing files (never folders)
    // The user chose to keep existing files: keeping them is what was asked
    // and leaves the unpacking complete (otherwise it is reported incomplete).
    bool bKeepChosen = false;
};
int ArchiveUnpack(const CUnpackRequest &request, std::string &strOutput,
                  const CArchiveProgress *pProgress = nullptr);

// One line per entry: size (blank for folders), time, name; then a total.
int ArchiveList(const std::string &strArchive, std::string &strOutput, const CArchiveProgress *pProgress = nullptr);

// What unpacking would put where: the entry names below the destination
// ("a/b.txt"), files and links only, for asking about existing files first.
int ArchiveEntryPaths(const std::string &strArchive, std::vector<std::string> &aPaths, std::string &strError);

// Unpacking refuses an entry once it has written this much and expanded
// more than ARCHIVE_MAX_RATIO times the archive bytes read for it.
inline constexpr std::int64_t ARCHIVE_RATIO_FLOOR = std::int64_t(64) << 20;
inline constexpr std::int64_t ARCHIVE_MAX_RATIO = 200;
