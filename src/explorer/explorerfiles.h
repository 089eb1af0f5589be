// The file side of the explorer pane: which names an extension list takes,
// how a folder is listed and sorted for the tree, and the file operations of
// the pane (new folders and files with their "(n)" names, copies of a
// template, renaming). Paths and names are the file system's bytes (UTF-8 on
// this system, but never assumed valid), '/' between names.
//
// Nothing here shows a message or knows of the tree; the pane decides what
// to say about a result.
#pragma once

#include "platform/pathnames.h"
#include "search/wildcard.h"

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

// The order of the tree: names compared with ASCII letters folded, the bytes
// deciding between names that differ only in case. Negative, 0 or positive.
int CompareExplorerNames(std::string_view a, std::string_view b);

struct CExplorerEntry
{
    std::string strName;
    bool bFolder = false;
    // The entry is a symbolic link (to what bFolder says, or dangling).
    bool bLink = false;
};

struct CFolderListing
{
    // Folders first, then files, each in CompareExplorerNames order.
    std::vector<CExplorerEntry> aEntries;
    // 0, or the errno of opening the folder.
    int nError = 0;
    bool bCancelled = false;
};

// What the tree shows of a folder: its subfolders and, when bFiles, the files
// the filter takes (every file when the filter is empty). Names beginning
// with '.' are hidden, as file managers hide them. A link counts as what it
// points to. pCancel, when set, ends the listing early.
CFolderListing ListExplorerFolder(const std::string &strFolder, const CExtensionList &filter, bool bFiles,
                                  const std::atomic<bool> *pCancel = nullptr);

// Whether the folder holds anything the tree would show under it: the test
// behind a folder's expand button.
bool FolderHasShownEntries(const std::string &strFolder, const CExtensionList &filter, bool bFiles);

// The names a new item tries in turn: "name" + ext, then "name (1)" + ext,
// "name (2)" + ext ... up to "name (98)" + ext. n is 0 for the first.
inline constexpr int NEW_NAME_LAST = 98;
std::string NewItemName(std::string_view strName, std::string_view strExt, int n);

// The outcome of a file operation: the path it made or renamed to, or the
// errno that stopped it (EEXIST when every candidate name was taken).
struct CFileOpResult
{
    bool bOk = false;
    std::string strPath;
    int nError = 0;
};

// A new folder in strFolder under the first free name.
CFileOpResult CreateNewFolder(const std::string &strFolder, std::string_view strName);
// A new file under the first free name holding strContent. The name is taken
// only where nothing exists, so no file is ever replaced, and a file that
// cannot be written whole is removed again.
CFileOpResult CreateNewFile(const std::string &strFolder, std::string_view strName, std::string_view strExt,
                            std::string_view strContent);
// A copy of strSource in strFolder under the first free name, made the same
// way as a new file.
CFileOpResult CopyNewFile(const std::string &strSource, const std::string &strFolder, std::string_view strName,
                          std::string_view strExt);

// The name a copy of a template gets: its own name and extension; a template
// without an extension gives a text file.
void SplitTemplateName(std::string_view strTemplate, std::string &strName, std::string &strExt);

// Deletes a file, or a folder with everything in it, for good. Links are
// removed, never followed. 0, or the errno of the first thing that could not
// be removed (what could be is gone).
int DeleteTree(const std::string &strPath);

enum ERenameResult
{
    RENAME_DONE,
    RENAME_UNCHANGED,     // the same name: nothing to do
    RENAME_INVALID_NAME,  // empty, ".", "..", or holding '/' or a NUL
    RENAME_EXISTS,        // another item already has the name
    RENAME_FAILED,        // the system refused; nError says why
};

// Renames the item at strPath to strNewName in the same folder. An item is
// never renamed over another; a name that differs only in case is a new name
// here, where names are case-sensitive.
ERenameResult RenameExplorerItem(const std::string &strPath, std::string_view strNewName, std::string &strNewPath,
                                 int &nError);
