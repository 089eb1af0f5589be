#include "search/linereader.h"

#include "text/sjis.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t PAGE = 4096;
// The least room a source is given.
constexpr std::size_t SOURCE_MIN_ROOM = 8;

} // namespace

const std::size_t CSearchLineReader::BLOCK_BYTES =
    (std::size_t(1) << 17) + (SEARCH_LINE_WINDOW + PAGE - 1) / PAGE * PAGE;

void SearchLinePiece(const char *s, std::size_t nAvail, std::size_t &nLen, std::size_t &nUsed)
{
    const std::size_t nMax = SEARCH_LINE_MAX;
    const void *pLF = std::memchr(s, '\n', nAvail < nMax + 1 ? nAvail : nMax + 1);
    if (pLF) {
        nLen = static_cast<std::size_t>(static_cast<const char *>(pLF) - s);
        nUsed = nLen + 1;
    } else if (nAvail <= nMax) {
        nLen = nUsed = nAvail;  // the last line, without a line end
    } else {
        // Cut a long line, but never between the two bytes of a character.
        nLen = static_cast<std::size_t>(SjisCharStart(s, SEARCH_LINE_MAX + 1, SEARCH_LINE_MAX));
        nUsed = nLen;
        // CR bytes between the cut and the LF are this piece's line end, not a piece of their own.
        std::size_t k = nLen;
        while (k < nAvail && s[k] == '\r')
            ++k;
        if (k > nLen && k < nAvail && s[k] == '\n')
            nUsed = k + 1;
    }
    while (nLen > 0 && s[nLen - 1] == '\r')
        --nLen;
}

void CSearchLineReader::CFreeDeleter::operator()(char *p) const
{
    std::free(p);
}

CSearchLineReader::CSearchLineReader() = default;

CSearchLineReader::~CSearchLineReader() = default;

void CSearchLineReader::Reset(CFileHandle &&file)
{
    // The block outlives the files, so that a search through thousands of
    // files takes its memory once.
    if (!m_pBlock) {
        m_pBlock.reset(static_cast<char *>(std::aligned_alloc(PAGE, BLOCK_BYTES)));
        if (!m_pBlock)
            throw std::bad_alloc();
    }
    m_file = std::move(file);
    m_fnSource = nullptr;
    m_nBlockOffset = 0;
    m_nPos = m_nEnd = 0;
    m_bEof = m_bError = false;
    m_nLine = 0;
    m_nOpenSize = 0;
}

bool CSearchLineReader::Open(const std::string &strPath)
{
    Close();
    CFileHandle file = CFileHandle::Open(strPath, O_RDONLY);
    if (!file.IsOpen())
        return false;
    Reset(std::move(file));
    return true;
}

bool CSearchLineReader::OpenAt(const CFileHandle &folder, const std::string &strName)
{
    Close();
    CFileHandle file = CFileHandle::OpenAt(folder, strName, O_RDONLY | O_NONBLOCK);
    struct stat st;
    if (!file.IsOpen() || ::fstat(file.Get(), &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    Reset(std::move(file));
    m_nOpenSize = static_cast<std::size_t>(st.st_size);
    return true;
}

void CSearchLineReader::Close()
{
    m_file.Close();
    m_fnSource = nullptr;
    m_nPos = m_nEnd = 0;
    m_bEof = true;
}

bool CSearchLineReader::Refill()
{
    if (!m_file.IsOpen() || m_bError)
        return false;
    char *const pBlock = m_pBlock.get();
    std::memmove(pBlock, pBlock + m_nPos, m_nEnd - m_nPos);
    m_nBlockOffset += m_nPos;
    m_nEnd -= m_nPos;
    m_nPos = 0;
    if (m_bEof)
        return true;
    if (m_fnSource) {
        // A source may leave a few bytes of room (a character that does not
        // fit); only its returning nothing ends it.
        while (BLOCK_BYTES - m_nEnd >= SOURCE_MIN_ROOM) {
            const std::size_t n = m_fnSource(pBlock + m_nEnd, BLOCK_BYTES - m_nEnd);
            if (n == 0) {
                m_bEof = true;
                break;
            }
            m_nEnd += n;
        }
        return true;
    }
    const std::size_t nRoom = BLOCK_BYTES - m_nEnd;
    ssize_t n = m_file.Read(pBlock + m_nEnd, nRoom);
    // A read that stops short at the size the file had when it was opened
    // has met its end: most files searched are small, and this spares each
    // a second read. Any other short read goes on to the end.
    if (n > 0 && static_cast<std::size_t>(n) < nRoom
        && !(m_nOpenSize > 0 && m_nBlockOffset + m_nEnd + static_cast<std::size_t>(n) >= m_nOpenSize)) {
        const ssize_t nMore = m_file.ReadFully(pBlock + m_nEnd + n, nRoom - static_cast<std::size_t>(n));
        n = nMore < 0 ? -1 : n + nMore;
    }
    if (n < 0) {
        m_bError = true;
        return false;
    }
    m_nEnd += static_cast<std::size_t>(n);
    m_bEof = m_nEnd < BLOCK_BYTES;
    return true;
}

std::string_view CSearchLineReader::NextPiece()
{
    const char *s = m_pBlock.get() + m_nPos;
    std::size_t nLen = 0;
    std::size_t nUsed = 0;
    SearchLinePiece(s, m_nEnd - m_nPos, nLen, nUsed);
    m_nPos += nUsed;
    ++m_nLine;
    return std::string_view(s, nLen);
}

bool CSearchLineReader::ReadWholeFile(std::string &bytes) const
{
    // Read by offset, so that the file's own position stays where the
    // search has read up to.
    return m_file.ReadToEndAt(bytes, 0);
}

void CSearchLineReader::UseSource(CSourceRead fnRead, std::size_t nSkip)
{
    m_fnSource = std::move(fnRead);
    m_nBlockOffset = 0;
    m_nPos = m_nEnd = 0;
    m_bEof = false;
    char *const pBlock = m_pBlock.get();
    while (nSkip > 0) {
        const std::size_t n = m_fnSource(pBlock, BLOCK_BYTES);
        if (n == 0) {
            m_bEof = true;
            break;
        }
        // Of the bytes that reach past the skipped ones, the rest is kept.
        const std::size_t nDrop = std::min(n, nSkip);
        m_nBlockOffset += nDrop;
        nSkip -= nDrop;
        std::memmove(pBlock, pBlock + nDrop, n - nDrop);
        m_nEnd = n - nDrop;
    }
}

bool CSearchLineReader::NextLine(std::string_view &line)
{
    if (!m_file.IsOpen() || m_bError)
        return false;
    if (!HasWholePiece() && !m_bEof && !Refill())
        return false;
    if (m_nPos >= m_nEnd)
        return false;
    line = NextPiece();
    return true;
}
