#include "search/linereader.h"

#include "text/sjis.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t BUFFER_SIZE = 1 << 16;
constexpr std::size_t WINDOW = SEARCH_LINE_WINDOW;

} // namespace

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

CSearchLineReader::CSearchLineReader() = default;

CSearchLineReader::~CSearchLineReader()
{
    Close();
}

bool CSearchLineReader::Open(const std::string &strPath)
{
    Close();
    m_fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    m_buffer.resize(BUFFER_SIZE);
    m_nPos = m_nEnd = 0;
    m_bEof = m_bError = false;
    m_nLine = 0;
    return true;
}

void CSearchLineReader::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

// Keeps at least WINDOW bytes ahead of m_nPos unless the file ends first.
bool CSearchLineReader::Fill()
{
    if (m_nEnd - m_nPos >= WINDOW || m_bEof)
        return true;
    std::memmove(m_buffer.data(), m_buffer.data() + m_nPos, m_nEnd - m_nPos);
    m_nEnd -= m_nPos;
    m_nPos = 0;
    while (m_nEnd < m_buffer.size()) {
        const ssize_t n = ::read(m_fd, m_buffer.data() + m_nEnd, m_buffer.size() - m_nEnd);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_bError = true;
            return false;
        }
        if (n == 0) {
            m_bEof = true;
            break;
        }
        m_nEnd += static_cast<std::size_t>(n);
    }
    return true;
}

bool CSearchLineReader::NextLine(std::string_view &line)
{
    if (m_fd < 0 || m_bError || !Fill())
        return false;
    const std::size_t nAvail = m_nEnd - m_nPos;
    if (nAvail == 0)
        return false;
    const char *s = m_buffer.data() + m_nPos;
    std::size_t nLen = 0;
    std::size_t nUsed = 0;
    SearchLinePiece(s, nAvail, nLen, nUsed);
    m_nPos += nUsed;
    ++m_nLine;
    line = std::string_view(s, nLen);
    return true;
}
