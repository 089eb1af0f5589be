#include "archive/lzhwriter.h"

#include "archive/lh5encoder.h"
#include "text/filehandle.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t READ_BLOCK = std::size_t(1) << 18;

constexpr unsigned char EXT_HEADER_CRC = 0x00;
constexpr unsigned char EXT_FILE_NAME = 0x01;
constexpr unsigned char EXT_FOLDER_NAME = 0x02;
constexpr unsigned char EXT_UNIX_MODE = 0x50;
constexpr unsigned char FOLDER_SEPARATOR = 0xFF;
constexpr unsigned UNIX_TYPE_FILE = 0100000;
constexpr unsigned UNIX_TYPE_FOLDER = 0040000;

const std::array<std::uint16_t, 256> &CrcTable()
{
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned r = i;
            for (int k = 0; k < 8; ++k)
                r = (r & 1) ? (r >> 1) ^ 0xA001u : r >> 1;
            t[i] = static_cast<std::uint16_t>(r);
        }
        return t;
    }();
    return table;
}

void Put16(std::string &s, unsigned v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string &s, std::uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

void Set16(std::string &s, std::size_t nAt, unsigned v)
{
    s[nAt] = static_cast<char>(v & 0xFF);
    s[nAt + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// Compressed bytes go straight to the archive after those of the entry so far.
class CArchiveSink : public CByteSink
{
public:
    CArchiveSink(int fd, std::int64_t nStart, std::int64_t &nCount) : m_fd(fd), m_nStart(nStart), m_nCount(nCount) {}
    bool Put(const unsigned char *p, std::size_t n) override
    {
        if (!FdWriteFullyAt(m_fd, p, n, m_nStart + m_nCount))
            return false;
        m_nCount += static_cast<std::int64_t>(n);
        return true;
    }

private:
    int m_fd;
    std::int64_t m_nStart;
    std::int64_t &m_nCount;
};

bool IsCancelled(const CLzhWriter::CProgress *pProgress)
{
    return pProgress && pProgress->pCancel && pProgress->pCancel->load(std::memory_order_relaxed);
}

} // namespace

std::uint16_t LzhCrc16(std::uint16_t nCrc, const void *p, std::size_t n)
{
    const std::array<std::uint16_t, 256> &table = CrcTable();
    const unsigned char *pb = static_cast<const unsigned char *>(p);
    unsigned crc = nCrc;
    for (std::size_t i = 0; i < n; ++i)
        crc = table[(crc ^ pb[i]) & 0xFF] ^ (crc >> 8);
    return static_cast<std::uint16_t>(crc);
}

std::string BuildLzhHeader(std::string_view method, const CLzhEntry &entry, std::uint32_t nPacked,
                           std::uint32_t nOriginal, std::uint16_t nCrc)
{
    const bool bFolder = method == "-lhd-";
    std::string strName = entry.strName;
    while (!strName.empty() && strName.back() == '/')
        strName.pop_back();
    // '/' is never the second byte of a Shift-JIS character, so it can be
    // looked for byte by byte.
    std::string strFolder;
    std::string strFile;
    if (bFolder) {
        strFolder = strName;
    } else {
        const std::size_t nSlash = strName.rfind('/');
        strFolder = nSlash == std::string::npos ? std::string() : strName.substr(0, nSlash);
        strFile = nSlash == std::string::npos ? strName : strName.substr(nSlash + 1);
    }
    if (!strFolder.empty()) {
        for (char &ch : strFolder)
            if (ch == '/')
                ch = static_cast<char>(FOLDER_SEPARATOR);
        strFolder += static_cast<char>(FOLDER_SEPARATOR);
    }

    const std::int64_t nTime = entry.nMTime < 0 ? 0 : std::min<std::int64_t>(entry.nMTime, 0xFFFFFFFFLL);
    std::string h;
    Put16(h, 0);  // the header's size, set below
    h.append(method.substr(0, 5));
    Put32(h, nPacked);
    Put32(h, nOriginal);
    Put32(h, static_cast<std::uint32_t>(nTime));
    // Level-2 readers expect 0x20 here whatever the entry is.
    h += static_cast<char>(0x20);
    h += static_cast<char>(2);
    Put16(h, nCrc);
    h += 'U';

    auto addExt = [&h](unsigned char nType, std::string_view data) {
        Put16(h, static_cast<unsigned>(data.size() + 3));
        h += static_cast<char>(nType);
        h.append(data);
    };
    const std::size_t nCrcAt = h.size() + 3;
    addExt(EXT_HEADER_CRC, std::string(2, '\0'));
    if (!bFolder)
        addExt(EXT_FILE_NAME, strFile);
    if (!strFolder.empty())
        addExt(EXT_FOLDER_NAME, strFolder);
    std::string strMode;
    const unsigned nType = (entry.nMode & 0170000) != 0 ? entry.nMode & 0170000
                                                       : (bFolder ? UNIX_TYPE_FOLDER : UNIX_TYPE_FILE);
    Put16(strMode, (entry.nMode & 07777) | nType);
    addExt(EXT_UNIX_MODE, strMode);
    Put16(h, 0);
    // A level-2 header whose size has a zero low byte would read as the end
    // of the archive: one padding byte avoids it.
    if ((h.size() & 0xFF) == 0)
        h += '\0';
    Set16(h, 0, static_cast<unsigned>(h.size()));
    Set16(h, nCrcAt, LzhCrc16(0, h.data(), h.size()));
    return h;
}

CLzhWriter::CLzhWriter(int fd) : m_fd(fd) {}

CLzhWriter::~CLzhWriter() = default;

bool CLzhWriter::WriteAt(std::int64_t nOffset, const std::string &strBytes)
{
    return FdWriteFullyAt(m_fd, strBytes.data(), strBytes.size(), nOffset);
}

bool CLzhWriter::WriteData(const void *p, std::size_t n)
{
    if (!FdWriteFullyAt(m_fd, p, n, m_nDataStart + m_nPacked))
        return false;
    m_nPacked += static_cast<std::int64_t>(n);
    return true;
}

ELzhResult CLzhWriter::AddFolder(const CLzhEntry &entry)
{
    const std::string h = BuildLzhHeader("-lhd-", entry, 0, 0, 0);
    if (h.size() > 0xFFFF || !WriteAt(m_nOffset, h))
        return LZH_WRITE_FAILED;
    m_nOffset += static_cast<std::int64_t>(h.size());
    m_strLastMethod = "-lhd-";
    m_nLastPacked = m_nLastOriginal = 0;
    return LZH_OK;
}

ELzhResult CLzhWriter::BeginFile(const CLzhEntry &entry)
{
    m_entry = entry;
    m_strHeader = BuildLzhHeader("-lh5-", entry, 0, 0, 0);
    if (m_strHeader.size() > 0xFFFF || !WriteAt(m_nOffset, m_strHeader))
        return LZH_WRITE_FAILED;
    m_nDataStart = m_nOffset + static_cast<std::int64_t>(m_strHeader.size());
    m_nOriginal = 0;
    m_nPacked = 0;
    m_nCrc = 0;
    m_bStoring = false;
    m_bFirstSegment = true;
    m_pSink = std::make_unique<CArchiveSink>(m_fd, m_nDataStart, m_nPacked);
    m_pJoiner = std::make_unique<CLhBitJoiner>(*m_pSink);
    return LZH_OK;
}

ELzhResult CLzhWriter::PutSegment(const unsigned char *p, std::size_t n, const CLhBits *pBits)
{
    m_nOriginal += static_cast<std::int64_t>(n);
    if (m_nOriginal > LZH_MAX_FILE_SIZE)
        return LZH_TOO_LARGE;
    m_nCrc = LzhCrc16(m_nCrc, p, n);
    // Compressing that does not pay on the first segment is not tried on.
    if (!m_bStoring && m_bFirstSegment && pBits && (pBits->nBits + 7) / 8 >= n)
        m_bStoring = true;
    m_bFirstSegment = false;
    if (m_bStoring)
        return WriteData(p, n) ? LZH_OK : LZH_WRITE_FAILED;
    if (!pBits || !m_pJoiner->Append(*pBits))
        return LZH_WRITE_FAILED;
    return LZH_OK;
}

ELzhResult CLzhWriter::EndEntry(std::string_view method)
{
    const std::string strFinal = BuildLzhHeader(method, m_entry, static_cast<std::uint32_t>(m_nPacked),
                                                static_cast<std::uint32_t>(m_nOriginal), m_nCrc);
    if (strFinal.size() != m_strHeader.size() || !WriteAt(m_nOffset, strFinal))
        return LZH_WRITE_FAILED;
    m_nOffset = m_nDataStart + m_nPacked;
    m_strLastMethod = method;
    m_nLastPacked = static_cast<std::uint32_t>(m_nPacked);
    m_nLastOriginal = static_cast<std::uint32_t>(m_nOriginal);
    m_pJoiner.reset();
    m_pSink.reset();
    return LZH_OK;
}

ELzhResult CLzhWriter::EndFile(bool &bStoreAgain)
{
    bStoreAgain = false;
    if (m_bStoring || m_nOriginal == 0)
        return EndEntry("-lh0-");
    if (!m_pJoiner->Finish())
        return LZH_WRITE_FAILED;
    if (m_nPacked >= m_nOriginal) {
        bStoreAgain = true;
        return LZH_OK;
    }
    return EndEntry("-lh5-");
}

ELzhResult CLzhWriter::StoreFile(int fdIn, const CProgress *pProgress)
{
    if (::lseek(fdIn, 0, SEEK_SET) != 0)
        return LZH_READ_FAILED;
    if (::ftruncate(m_fd, m_nDataStart) != 0)
        return LZH_WRITE_FAILED;
    m_nOriginal = 0;
    m_nPacked = 0;
    m_nCrc = 0;
    m_bStoring = true;
    if (pProgress && pProgress->fnRead)
        pProgress->fnRead(0);
    std::unique_ptr<unsigned char[]> pBuf = std::make_unique<unsigned char[]>(READ_BLOCK);
    for (;;) {
        if (IsCancelled(pProgress))
            return LZH_CANCELLED;
        const ssize_t n = FdReadFully(fdIn, pBuf.get(), READ_BLOCK);
        if (n < 0)
            return LZH_READ_FAILED;
        if (n == 0)
            break;
        const ELzhResult result = PutSegment(pBuf.get(), static_cast<std::size_t>(n), nullptr);
        if (result != LZH_OK)
            return result;
        if (pProgress && pProgress->fnRead)
            pProgress->fnRead(m_nOriginal);
    }
    return EndEntry("-lh0-");
}

ELzhResult CLzhWriter::AddFile(const CLzhEntry &entry, int fdIn, const CProgress *pProgress)
{
    struct stat st;
    if (::fstat(fdIn, &st) != 0 || ::lseek(fdIn, 0, SEEK_SET) != 0)
        return LZH_READ_FAILED;
    if (st.st_size > LZH_MAX_FILE_SIZE)
        return LZH_TOO_LARGE;
    ELzhResult result = BeginFile(entry);
    if (result != LZH_OK)
        return result;
    if (!m_pCoder)
        m_pCoder = std::make_unique<CLh5SegmentCoder>();
    // The segment being read, after the end of the one before.
    std::vector<unsigned char> &aBuf = m_aReadBuf;
    aBuf.resize(LH5_HISTORY + LH5_SEGMENT);
    std::size_t nHistory = 0;
    CLhBits bits;
    for (;;) {
        if (IsCancelled(pProgress))
            return LZH_CANCELLED;
        const ssize_t n = FdReadFully(fdIn, aBuf.data() + nHistory, LH5_SEGMENT);
        if (n < 0)
            return LZH_READ_FAILED;
        if (n == 0)
            break;
        const std::size_t nRead = static_cast<std::size_t>(n);
        if (!m_bStoring)
            m_pCoder->Code(aBuf.data(), nHistory, nRead, bits);
        result = PutSegment(aBuf.data() + nHistory, nRead, m_bStoring ? nullptr : &bits);
        if (result != LZH_OK)
            return result;
        if (pProgress && pProgress->fnRead)
            pProgress->fnRead(m_nOriginal);
        const std::size_t nKeep = std::min(nHistory + nRead, LH5_HISTORY);
        std::memmove(aBuf.data(), aBuf.data() + nHistory + nRead - nKeep, nKeep);
        nHistory = nKeep;
    }
    bool bStoreAgain = false;
    result = EndFile(bStoreAgain);
    if (result == LZH_OK && bStoreAgain)
        result = StoreFile(fdIn, pProgress);
    return result;
}

ELzhResult CLzhWriter::Finish()
{
    if (!WriteAt(m_nOffset, std::string(1, '\0')) || ::ftruncate(m_fd, m_nOffset + 1) != 0)
        return LZH_WRITE_FAILED;
    ++m_nOffset;
    return LZH_OK;
}
