// File split. Parts are copied inside the kernel (copy_file_range) where the
// file systems allow it and in large blocks otherwise, so that splitting a
// big file runs at the speed of the disk.
#include "filetools/filesplit.h"

#include "text/codec.h"
#include "text/filehandle.h"
#include "text/fileio.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t COPY_BLOCK = std::size_t(1) << 20;

// Copies up to nCount bytes from the source's current offset to the part.
// Returns the bytes copied (fewer only at the end of the source), or -1.
class CPartCopier
{
public:
    std::int64_t Copy(const CFileHandle &in, const CFileHandle &out, std::int64_t nCount)
    {
        std::int64_t nDone = 0;
        while (nDone < nCount) {
            const std::size_t nWant = static_cast<std::size_t>(std::min<std::int64_t>(nCount - nDone, 1 << 30));
            if (m_bKernelCopy) {
                const ssize_t r = RetryInterrupted(
                    [&] { return ::copy_file_range(in.Get(), nullptr, out.Get(), nullptr, nWant, 0); });
                if (r > 0) {
                    nDone += r;
                    continue;
                }
                if (r == 0)
                    break;
                if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EPERM)
                    return -1;
                // Not between these files: fall back to reading and writing.
                m_bKernelCopy = false;
            }
            if (!m_pBuf)
                m_pBuf = std::make_unique<char[]>(COPY_BLOCK);
            const ssize_t r = in.Read(m_pBuf.get(), std::min(nWant, COPY_BLOCK));
            if (r < 0)
                return -1;
            if (r == 0)
                break;
            if (!out.WriteFully(m_pBuf.get(), static_cast<std::size_t>(r)))
                return -1;
            nDone += r;
        }
        return nDone;
    }

private:
    bool m_bKernelCopy = true;
    std::unique_ptr<char[]> m_pBuf;
};

bool SameFile(const struct stat &a, const std::string &strPath)
{
    struct stat b;
    return ::stat(strPath.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// cmd.exe needs quotes around a name with a blank or one of its operators;
// "+" would otherwise join files in copy itself.
std::string BatchName(const std::string &strUtf8)
{
    const std::string strName = Utf8ToCp932(strUtf8);
    if (strName.find_first_of(" &()[]{}^=;!'+,`~%") == std::string::npos)
        return strName;
    return "\"" + strName + "\"";
}

std::string ShellQuote(const std::string &strName)
{
    std::string s = "'";
    for (char ch : strName) {
        if (ch == '\'')
            s += "'\\''";
        else
            s += ch;
    }
    return s + "'";
}

bool WriteWholeFile(const std::string &strPath, const std::string &strText, mode_t mode, bool bSetMode)
{
    CAtomicFile file;
    if (!file.Open(strPath))
        return false;
    if (bSetMode)
        file.SetMode(mode);
    return file.Write(strText) && file.Commit();
}

} // namespace

CPathParts SplitPathParts(const std::string &strPath)
{
    CPathParts parts;
    const std::size_t nSlash = strPath.rfind('/');
    const std::size_t nNameStart = nSlash == std::string::npos ? 0 : nSlash + 1;
    parts.strFolder = strPath.substr(0, nNameStart);
    const std::string strFile = strPath.substr(nNameStart);
    const std::size_t nDot = strFile.rfind('.');
    if (nDot == std::string::npos || nDot == 0) {
        parts.strName = strFile;
    } else {
        parts.strName = strFile.substr(0, nDot);
        parts.strExt = strFile.substr(nDot);
    }
    return parts;
}

bool CreateFolderPath(const std::string &strPath)
{
    if (strPath.empty())
        return false;
    std::size_t nPos = 0;
    for (;;) {
        const std::size_t nSlash = strPath.find('/', nPos);
        const std::string strPrefix = strPath.substr(0, nSlash);
        if (!strPrefix.empty()) {
            struct stat st;
            if (::stat(strPrefix.c_str(), &st) != 0) {
                if (::mkdir(strPrefix.c_str(), 0777) != 0 && errno != EEXIST)
                    return false;
                if (::stat(strPrefix.c_str(), &st) != 0)
                    return false;
            }
            if (!S_ISDIR(st.st_mode))
                return false;
        }
        if (nSlash == std::string::npos)
            return true;
        nPos = nSlash + 1;
    }
}

std::string SplitPartName(const std::string &strName, int nPart)
{
    char szNumber[16];
    std::snprintf(szNumber, sizeof szNumber, ".%03d", nPart);
    return strName + szNumber;
}

std::string JoinBatchText(const std::string &strName, const std::string &strExt, int nParts)
{
    const std::string strJoined = BatchName(strName + strExt);
    std::string s = "copy /B " + BatchName(SplitPartName(strName, 1)) + " + " + BatchName(SplitPartName(strName, 2)) +
                    " " + strJoined + "\r\n";
    for (int n = 3; n <= nParts; ++n)
        s += "copy /B " + strJoined + " + " + BatchName(SplitPartName(strName, n)) + " " + strJoined + "\r\n";
    return s;
}

std::string JoinScriptText(const std::string &strName, const std::string &strExt, int nParts)
{
    std::string s = "#!/bin/sh\n"
                    "# Joins the parts of a split file again; it may be run from any folder.\n"
                    "cd -- \"$(dirname -- \"$0\")\" || exit 1\n"
                    "cat --";
    for (int n = 1; n <= nParts; ++n) {
        if (n > 1 && (n - 1) % 8 == 0)
            s += " \\\n   ";
        s += ' ';
        s += ShellQuote(SplitPartName(strName, n));
    }
    s += " > " + ShellQuote(strName + strExt) + "\n";
    return s;
}

bool WriteJoinBatch(const std::string &strJoinedPath, int nParts)
{
    const CPathParts parts = SplitPathParts(strJoinedPath);
    return WriteWholeFile(parts.strFolder + parts.strName + ".bat", JoinBatchText(parts.strName, parts.strExt, nParts),
                          0, false);
}

bool WriteJoinScript(const std::string &strJoinedPath, int nParts)
{
    const CPathParts parts = SplitPathParts(strJoinedPath);
    return WriteWholeFile(parts.strFolder + parts.strName + ".sh", JoinScriptText(parts.strName, parts.strExt, nParts),
                          0755, true);
}

int SplitFile(const std::string &strSource, const std::string &strDestFolder, std::int64_t nPartSize, int &nParts,
              const CSplitProgress *pProgress)
{
    nParts = 0;
    const CPathParts parts = SplitPathParts(strSource);
    std::string strFolder = strDestFolder.empty() ? parts.strFolder : strDestFolder;
    if (strFolder.empty())
        strFolder = "./";
    if (strFolder.back() != '/')
        strFolder += '/';
    if (!CreateFolderPath(strFolder))
        return SPLIT_FOLDER_FAILED;

    const CFileHandle source = CFileHandle::Open(strSource, O_RDONLY);
    struct stat st;
    if (!source.IsOpen() || ::fstat(source.Get(), &st) != 0 || S_ISDIR(st.st_mode))
        return SPLIT_OPEN_FAILED;
    if (nPartSize <= 0 || st.st_size <= nPartSize)
        return SPLIT_NOT_NEEDED;
    ::posix_fadvise(source.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    // A part or join file that is the source itself would destroy it while
    // it is read: refuse before writing anything.
    const std::int64_t nTotal = st.st_size;
    const int nExpected = static_cast<int>((nTotal + nPartSize - 1) / nPartSize);
    for (int n = 1; n <= nExpected; ++n)
        if (SameFile(st, strFolder + SplitPartName(parts.strName, n)))
            return SPLIT_WRITE_FAILED;
    if (SameFile(st, strFolder + parts.strName + ".bat") || SameFile(st, strFolder + parts.strName + ".sh"))
        return SPLIT_WRITE_FAILED;

    std::vector<std::string> aWritten;
    auto removeWritten = [&aWritten] {
        for (const std::string &strPart : aWritten)
            ::unlink(strPart.c_str());
    };
    CPartCopier copier;
    std::int64_t nDone = 0;
    // The length seen at the start is what gets split; a file that shrinks
    // meanwhile ends early.
    for (int n = 1; nDone < nTotal; ++n) {
        const std::string strPart = strFolder + SplitPartName(parts.strName, n);
        CFileHandle part = CFileHandle::Open(strPart, O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (!part.IsOpen())
            return SPLIT_WRITE_FAILED;
        aWritten.push_back(strPart);
        const std::int64_t nWant = std::min(nPartSize, nTotal - nDone);
        const std::int64_t nCopied = copier.Copy(source, part, nWant);
        if (nCopied < 0 || !part.Close())
            return SPLIT_WRITE_FAILED;
        if (nCopied == 0) {
            ::unlink(strPart.c_str());
            aWritten.pop_back();
            break;
        }
        nParts = n;
        nDone += nCopied;
        if (pProgress && pProgress->fnProgress)
            pProgress->fnProgress(nDone, nTotal);
        if (pProgress && pProgress->pCancel && pProgress->pCancel->load()) {
            removeWritten();
            nParts = 0;
            return SPLIT_CANCELLED;
        }
        if (nCopied < nWant)
            break;
    }
    // A file that shrank to one part while it was read is no split.
    if (nParts < 2) {
        removeWritten();
        nParts = 0;
        return SPLIT_NOT_NEEDED;
    }

    // The join files' failures are not the split's: the parts are all there.
    const std::string strJoined = strFolder + parts.strName + parts.strExt;
    WriteJoinBatch(strJoined, nParts);
    WriteJoinScript(strJoined, nParts);
    return SPLIT_OK;
}

std::string SplitResultMessage(int nResult, const std::string &strSource, int nParts)
{
    switch (nResult) {
    case SPLIT_OK:
        return strSource + ": " + std::to_string(nParts) +
               "個ファイルに分割しました。(*.001～)\n分割ファイルを結合するにはバッチファイルを実行してください。";
    case SPLIT_OPEN_FAILED:
        return strSource + ": \nファイルのオープンに失敗しました。";
    case SPLIT_NOT_NEEDED:
        return strSource + ": \nファイルは、分割する必要がありません。";
    case SPLIT_WRITE_FAILED:
        return strSource + ": \n分割ファイル作成中に、エラーが発生しました。\n分割処理を中断しました。";
    case SPLIT_FOLDER_FAILED:
        return strSource + ": \n新規フォルダの作成に失敗しました。";
    default:
        return strSource + ": \n分割処理を中断しました。";
    }
}
