#include "html/textinsert.h"

#include "text/filehandle.h"
#include "text/fileio.h"
#include "text/textbuffer.h"

#include <cerrno>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NormalAbsolute(const std::string &strPath)
{
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(strPath, ec);
    if (ec)
        path = strPath;
    return path.lexically_normal().string();
}

// The folder components of a path's folder: "/a/b/c.html" gives "", "a", "b".
std::vector<std::string_view> FolderComponents(std::string_view path)
{
    std::vector<std::string_view> aParts;
    const std::size_t nSlash = path.rfind('/');
    if (nSlash == std::string_view::npos)
        return aParts;
    const std::string_view folder = path.substr(0, nSlash);
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nNext = folder.find('/', nStart);
        aParts.push_back(folder.substr(nStart, nNext - nStart));
        if (nNext == std::string_view::npos)
            return aParts;
        nStart = nNext + 1;
    }
}

EInsertFileResult ResultOfErrno(int nErrno)
{
    switch (nErrno) {
    case ENOENT:
    case ENOTDIR:
        return INSERTFILE_NOT_FOUND;
    case EMFILE:
    case ENFILE:
        return INSERTFILE_NO_HANDLES;
    case EIO:
        return INSERTFILE_HARDWARE;
    default:
        return INSERTFILE_UNKNOWN;
    }
}

} // namespace

std::string RelativeLinkPath(const std::string &strDocument, const std::string &strFile)
{
    const std::string strFilePath = NormalAbsolute(strFile);
    if (strDocument.empty())
        return strFilePath;
    const std::string strDocPath = NormalAbsolute(strDocument);
    const std::vector<std::string_view> aDoc = FolderComponents(strDocPath);
    const std::vector<std::string_view> aFile = FolderComponents(strFilePath);
    std::size_t nShared = 0;
    while (nShared < aDoc.size() && nShared < aFile.size() && aDoc[nShared] == aFile[nShared])
        ++nShared;
    std::string out;
    for (std::size_t i = nShared; i < aDoc.size(); ++i)
        out += "../";
    for (std::size_t i = nShared; i < aFile.size(); ++i) {
        out += aFile[i];
        out += '/';
    }
    out += strFilePath.substr(strFilePath.rfind('/') + 1);
    return out;
}

std::string FormatDateTime(std::string_view format, const std::tm &tm)
{
    const std::string strFormat(format.empty() ? std::string_view(DEFAULT_DATE_FORMAT) : format);
    // strftime answers 0 both for a result that does not fit and for an empty
    // one, so the buffer grows until the result fits or is surely empty.
    for (std::size_t nSize = 256 + strFormat.size() * 4; nSize <= (std::size_t{1} << 22); nSize *= 2) {
        std::string out(nSize, '\0');
        const std::size_t n = std::strftime(out.data(), out.size(), strFormat.c_str(), &tm);
        if (n > 0) {
            out.resize(n);
            return out;
        }
    }
    return std::string();
}

EInsertFileResult ReadFileForInsertion(const std::string &strPath, std::string &strBytes, std::int64_t nLimit)
{
    strBytes.clear();
    // Opening does not block on a pipe, and the descriptor is looked at
    // before anything is read from it.
    const CFileHandle fd = CFileHandle::Open(strPath, O_RDONLY | O_NONBLOCK);
    if (!fd.IsOpen())
        return errno == EISDIR ? INSERTFILE_DIRECTORY : ResultOfErrno(errno);
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0)
        return ResultOfErrno(errno);
    if (S_ISDIR(st.st_mode))
        return INSERTFILE_DIRECTORY;
    if (!S_ISREG(st.st_mode))
        return INSERTFILE_NOT_REGULAR;
    if (st.st_size >= nLimit)
        return INSERTFILE_TOO_LARGE;
    constexpr std::size_t BLOCK = 64 * 1024;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size) + BLOCK);
    for (;;) {
        const std::size_t nOld = bytes.size();
        bytes.resize(nOld + BLOCK);
        const ssize_t nRead = fd.Read(bytes.data() + nOld, BLOCK);
        if (nRead < 0)
            return ResultOfErrno(errno);
        bytes.resize(nOld + static_cast<std::size_t>(nRead));
        if (nRead == 0)
            break;
        // The file may have grown since it was measured.
        if (static_cast<std::int64_t>(bytes.size()) >= nLimit)
            return INSERTFILE_TOO_LARGE;
    }
    strBytes = std::move(bytes);
    return INSERTFILE_OK;
}

bool IsLineFeedText(std::string_view bytes)
{
    return DetectLineEndMode(bytes) == LINEEND_LF;
}

std::vector<std::string_view> CutAtLineFeeds(std::string_view bytes)
{
    std::vector<std::string_view> aPieces;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nLF = bytes.find('\n', nStart);
        aPieces.push_back(bytes.substr(nStart, nLF - nStart));
        if (nLF == std::string_view::npos)
            return aPieces;
        nStart = nLF + 1;
    }
}
