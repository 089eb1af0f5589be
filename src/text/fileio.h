// File-system helpers shared by loading, saving and the document.
#pragma once

#include "text/filehandle.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// The file a path names after following every symbolic link in its last
// component (a link to a link ...). Relative link targets are taken relative
// to the link's folder. A path that is not a link comes back unchanged.
std::string ResolveSymlinks(const std::string &strPath);

// Whether the user cannot write the existing file at strPath. The superuser
// can write any file, so for it a file without any write permission bit counts
// as read-only, as the permissions say.
bool IsFileReadOnly(const std::string &strPath);

// Decides a text's line-end mode (LINEEND_*) from its first line break,
// wherever in the text it is: an LF means LF, a CR followed by an LF means
// CR LF, any other CR means CR, and a text without a break keeps CR LF. The
// text may come in pieces, as a file is read block by block: a CR that ends
// a piece waits for the first byte of the next. Every place that decides a
// text's line ends asks this, so that a file reads the same everywhere.
class CLineEndDetector
{
public:
    // Looks at the next piece of the text; true once the mode is decided
    // (later pieces are not looked at).
    bool Feed(std::string_view piece);
    // The text has ended: a CR that ended it means CR, no break CR LF.
    void Finish();
    bool IsDecided() const { return m_nMode >= 0; }
    // Whether the last piece ended in a CR that is the first line break,
    // whose kind the next byte decides.
    bool IsAwaitingByteAfterCr() const { return m_bPendingCR; }
    // The mode decided; CR LF before a decision.
    int GetMode() const;

private:
    int m_nMode = -1;
    bool m_bPendingCR = false;
};

// The line-end mode of a whole text, as CLineEndDetector decides it.
int DetectLineEndMode(std::string_view text);

// A file written beside its target and put in the target's place in one
// step. Until Commit the target is untouched; an object given up or destroyed
// without Commit removes its temporary file, so a failed or cancelled write
// leaves nothing behind. Saving, exports, archives and the split's join files
// all write through it.
class CAtomicFile
{
public:
    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile &) = delete;
    CAtomicFile &operator=(const CAtomicFile &) = delete;

    // Starts a file that will replace strPath, following symbolic links to
    // the file they name. False (errno says why) when the target is not a
    // regular file, the user may not write it, or no file can be made in
    // its folder.
    bool Open(const std::string &strPath);
    // Starts a file that will take the name strName in the open folder
    // nFolderFd. Nothing is followed: an existing entry of that name,
    // a symbolic link too, is what gets replaced. The caller keeps the folder
    // open until Commit.
    bool OpenAt(int nFolderFd, const std::string &strName);

    int GetFd() const { return m_file.Get(); }
    const CFileHandle &GetFile() const { return m_file; }
    bool Write(const char *p, std::size_t n);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }

    // The permission bits the file gets; by default those of the file it
    // replaces, or those of a new file under the umask.
    void SetMode(mode_t mode) { m_mode = mode; m_bModeSet = true; }
    // Whether Commit waits for the data to reach the disk (the default);
    // many small files unpacked in a row need not.
    void SetSync(bool bSync) { m_bSync = bSync; }

    // Flushes the data to disk and renames the file over the target; false,
    // with the target untouched and the temporary file removed, on any error.
    bool Commit();
    // Removes the temporary file now.
    void Abandon();

private:
    bool CreateTemp();

    int m_nFolderFd = -1;           // the target's folder: m_ownFolder's, or the caller's
    CFileHandle m_ownFolder;
    CFileHandle m_file;
    std::string m_strName;
    std::string m_strTemp;
    struct stat m_stTarget = {};
    bool m_bTargetExists = false;
    mode_t m_mode = 0;
    bool m_bModeSet = false;
    bool m_bSync = true;
};
