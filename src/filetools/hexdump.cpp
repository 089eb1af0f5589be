#include "filetools/hexdump.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr std::string_view RULE = "--------------------------------------------------------------------------";
static_assert(RULE.size() == 74);

// Offset, two blanks, 16 × "XX ", the blank after the eighth, a blank, the
// 16 characters: the width of every data line without its line break.
constexpr std::size_t LINE_WIDTH = 8 + 16 * 3 + 1 + 1 + 16;

std::size_t HeaderLength(std::size_t nPathLength)
{
    return 15 + nPathLength + 2 + RULE.size() + 2;
}

// Formats the bytes of a file block by block into a string sized once.
class CDumpWriter
{
public:
    CDumpWriter(std::string &strOut, std::uint64_t nSize, std::string_view strHeaderPath)
        : m_strOut(strOut)
    {
        m_strOut.clear();
        m_strOut.reserve(static_cast<std::size_t>(AsciiDumpLength(nSize, strHeaderPath.size())));
        m_strOut += "ASCII Dumping\r\n";
        m_strOut += strHeaderPath;
        m_strOut += "\r\n";
        m_strOut += RULE;
        m_strOut += "\r\n";
    }

    // Each line is put together in a small buffer and appended whole, which
    // keeps a dump of hundreds of megabytes to a few seconds.
    void Append(const unsigned char *p, std::size_t n)
    {
        static constexpr char HEX[] = "0123456789ABCDEF";
        for (std::size_t k = 0; k < n; ++k) {
            const unsigned char c = p[k];
            const unsigned nColumn = static_cast<unsigned>(m_nOffset % 16);
            if (nColumn == 0)
                m_nHexEnd = static_cast<std::size_t>(std::snprintf(m_szLine, sizeof m_szLine, "%06llx  ",
                                                                   static_cast<unsigned long long>(m_nOffset)));
            m_szLine[m_nHexEnd++] = HEX[c >> 4];
            m_szLine[m_nHexEnd++] = HEX[c & 0x0F];
            m_szLine[m_nHexEnd++] = ' ';
            if (nColumn == 7)
                m_szLine[m_nHexEnd++] = ' ';
            m_szColumn[nColumn] = c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : '.';
            if (nColumn == 15) {
                m_strOut.append(m_szLine, m_nHexEnd);
                m_strOut += ' ';
                m_strOut.append(m_szColumn, 16);
                m_strOut += "\r\n";
            }
            ++m_nOffset;
        }
    }

    // Pads a short last line so that its characters line up with the lines
    // above; it keeps no line break.
    void Finish()
    {
        const unsigned nUsed = static_cast<unsigned>(m_nOffset % 16);
        if (nUsed == 0)
            return;
        m_strOut.append(m_szLine, m_nHexEnd);
        m_strOut.append(static_cast<std::size_t>(16 - nUsed) * 3 + (nUsed <= 7 ? 1 : 0), ' ');
        m_strOut += ' ';
        m_strOut.append(m_szColumn, nUsed);
    }

private:
    std::string &m_strOut;
    std::uint64_t m_nOffset = 0;
    char m_szLine[64] = {};  // offset (up to 16 digits) and hexadecimal part
    std::size_t m_nHexEnd = 0;
    char m_szColumn[16] = {};
};

struct CFileCloser
{
    void operator()(std::FILE *pFile) const { std::fclose(pFile); }
};

} // namespace

std::uint64_t AsciiDumpLength(std::uint64_t nSize, std::size_t nPathLength)
{
    const std::uint64_t nFull = nSize / 16;
    const std::uint64_t nRest = nSize % 16;
    std::uint64_t nLength = HeaderLength(nPathLength) + nFull * (LINE_WIDTH + 2) + (nRest ? LINE_WIDTH - 16 + nRest : 0);
    // Offsets of 16 MB and more take a seventh (eighth ...) digit.
    const std::uint64_t nLines = (nSize + 15) / 16;
    for (std::uint64_t nFrom = 0x1000000; nFrom < nLines * 16; nFrom *= 16)
        nLength += nLines - nFrom / 16;
    return nLength;
}

std::string FormatAsciiDump(std::string_view bytes, std::string_view strHeaderPath)
{
    std::string out;
    CDumpWriter writer(out, bytes.size(), strHeaderPath);
    writer.Append(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    writer.Finish();
    return out;
}

EAsciiDumpResult BuildAsciiDump(const std::string &strPath, std::string_view strHeaderPath, std::string &strOut)
{
    strOut.clear();
    std::unique_ptr<std::FILE, CFileCloser> pFile(std::fopen(strPath.c_str(), "rb"));
    if (!pFile)
        return DUMP_CANNOT_READ;
    struct stat st {};
    if (fstat(fileno(pFile.get()), &st) != 0)
        return DUMP_CANNOT_READ;
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return DUMP_CANNOT_READ;
    }
    // The size only sizes the output; what is read is what is dumped, so a
    // file that changes meanwhile still gives a consistent dump.
    const std::uint64_t nSize = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (nSize > ASCII_DUMP_MAX_FILE_SIZE) {
        errno = EFBIG;
        return DUMP_TOO_LARGE;
    }
    CDumpWriter writer(strOut, nSize, strHeaderPath);
    unsigned char block[1 << 16];
    std::uint64_t nRead = 0;
    for (;;) {
        const std::size_t n = std::fread(block, 1, sizeof block, pFile.get());
        nRead += n;
        if (nRead > ASCII_DUMP_MAX_FILE_SIZE) {
            strOut.clear();
            strOut.shrink_to_fit();
            errno = EFBIG;
            return DUMP_TOO_LARGE;
        }
        writer.Append(block, n);
        if (n < sizeof block)
            break;
    }
    if (std::ferror(pFile.get())) {
        const int nError = errno;
        strOut.clear();
        strOut.shrink_to_fit();
        errno = nError;
        return DUMP_CANNOT_READ;
    }
    writer.Finish();
    return DUMP_OK;
}
