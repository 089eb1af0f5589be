// Cutting a file into numbered parts that each fit a floppy disk, with the
// files that join them again: a batch file for the Windows command
// interpreter ("copy /B") and a shell script for this platform ("cat").
// Works on files on disk, independent of any document; never shows anything.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// The part sizes of the split dialog's three choices: 720KB, 1.25MB, 1.44MB.
inline constexpr int SPLIT_SIZE_COUNT = 3;
inline constexpr std::int64_t SPLIT_PART_SIZES[SPLIT_SIZE_COUNT] = {720000, 1230000, 1440000};

enum ESplitResult
{
    SPLIT_OK = 0,
    SPLIT_OPEN_FAILED = 1,    // the source cannot be opened
    SPLIT_NOT_NEEDED = 2,     // the source is not larger than one part
    SPLIT_WRITE_FAILED = 3,   // a part (or reading the source) failed
    SPLIT_FOLDER_FAILED = 4,  // the destination folder cannot be created
    SPLIT_CANCELLED = 5,      // stopped on request; the parts of this run are removed
};

// The pieces of a path: "/a/b/name.ext" gives folder "/a/b/" (with its
// slash, empty for a bare name), name "name" and extension ".ext" (with its
// dot, empty when there is none). A leading dot alone is no extension.
struct CPathParts
{
    std::string strFolder;
    std::string strName;
    std::string strExt;
};
CPathParts SplitPathParts(const std::string &strPath);

// Creates every missing folder along the path; true when the whole path is
// a folder at the end.
bool CreateFolderPath(const std::string &strPath);

// Progress of a long split: bytes done of the total; the flag, when set,
// asks the split to stop.
struct CSplitProgress
{
    std::function<void(std::int64_t nDone, std::int64_t nTotal)> fnProgress;
    const std::atomic<bool> *pCancel = nullptr;
};

// Splits strSource into parts of nPartSize bytes (the last one holds the
// rest) in strDestFolder, or beside the source when it is empty; missing
// folders are created. Parts are named name.001, name.002, ... after the
// source's name without its extension, and an existing part is replaced.
// After all parts, the join files name.bat and name.sh are written beside
// them. nParts receives the number of parts. Parts written before a failure
// stay on disk; no output name may be the source itself.
int SplitFile(const std::string &strSource, const std::string &strDestFolder, std::int64_t nPartSize,
              int &nParts, const CSplitProgress *pProgress = nullptr);

// The name of part n of a source name without extension: "name.001".
std::string SplitPartName(const std::string &strName, int nPart);

// The join batch file's text for the joined file's name and extension
// ("name", ".ext"): "copy /B name.001 + name.002 name.ext" then one line per
// further part appending it, CR LF line ends, names in Shift-JIS.
std::string JoinBatchText(const std::string &strName, const std::string &strExt, int nParts);
// The join shell script's text: runs in its own folder and joins the parts
// with cat into name.ext.
std::string JoinScriptText(const std::string &strName, const std::string &strExt, int nParts);

// Write the join files for the joined file's full path in the destination
// (folder + name + ext): name.bat, and name.sh with mode 0755.
bool WriteJoinBatch(const std::string &strJoinedPath, int nParts);
bool WriteJoinScript(const std::string &strJoinedPath, int nParts);

// The text that reports a split's result to the user (UTF-8): the parts
// made, or why it failed.
std::string SplitResultMessage(int nResult, const std::string &strSource, int nParts);
